// A session of the real dialog that tst_recovery kills: it loads the first
// case of a kind from the test-case tree in WORKDIR, edits it through the
// dialog's own slots, and once the dialog has kept the edits in the case's
// recovery file writes the grid the dialog holds to EXPECTED and prints
// "kept" on standard output. Then it waits to be killed (it gives up after a
// minute, so that a failed suite leaves no process behind).
//
//   tessivo-recovery-child WORKDIR blind|shutter EXPECTED PAUSE_MS
#include "CrashRecovery.h"
#include "DialogInput.h"
#include "TessivoDemo.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 5 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: tessivo-recovery-child WORKDIR blind|shutter EXPECTED PAUSE_MS\n");
        return 2;
    }
    const bool shutter = qstrcmp(argv[2], "shutter") == 0;
    const QString expected = QString::fromLocal8Bit(argv[3]);

    TessivoDemo dialog;
    dialog.crashRecovery().setPause(std::atoi(argv[4]));
    dialog.show();
    (shutter ? dialog.ui.comboBox2DWindowShutter : dialog.ui.comboBox2DWindowBlind)->setCurrentIndex(0);
    QMetaObject::invokeMethod(&dialog, shutter ? "loadWindowShutterSlot" : "loadWindowBlindSlot");
    if (!dialog.windowData) {
        std::fprintf(stderr, "the case did not load\n");
        return 2;
    }

    QObject::connect(&dialog.crashRecovery(), &CrashRecovery::written, &dialog, [&dialog, &expected] {
        if (!writeBytes(expected, DialogInput::sessionText(*dialog.windowData)))
            std::_Exit(2);
        std::printf("kept\n");
        std::fflush(stdout);
    });
    if (shutter)
        QMetaObject::invokeMethod(&dialog, "randomShutterAngleSlot");
    else
        dialog.ui.spinBoxRow->setValue(dialog.ui.spinBoxRow->value() + 1);

    QTimer::singleShot(60000, [] { std::_Exit(3); });
    return app.exec();
}
