// Median time of one undo and one redo in the real dialog, each with the
// synchronous repaint it ends with, on the two largest generated blind cases
// (20 windows each), for a blind drag and for a row-count change; each next
// to a bare repaint of the state it left.
//
//   bench_undo [FOLDER_HOLDING_Tessivo_TestCases]
//
// Without the folder argument the working directory (or an ancestor) must
// hold the tree, as for the demo itself.
#include "../BenchTiming.h"
#include "EditHistory.h"
#include "FacadeGLWidget.h"
#include "QWindowData2D.h"
#include "TessivoDemo.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QtTest>

#include <cstdio>
#include <functional>

namespace {

constexpr int kRepetitions = 100;

void sendMouse(FacadeGLWidget &view, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, view.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// Selects window 0 and drags its blind down to two thirds of its height.
bool dragBlind(TessivoDemo &dialog)
{
    FacadeGLWidget &view = *dialog.facadeView;
    const FacadeWindow w = (*dialog.windowData->currentGroup())[0];
    const QPoint centre(w.x + w.width / 2, w.y + w.height / 2);
    const QPoint edge(centre.x(), w.y + w.blindExtent + 1);
    sendMouse(view, QEvent::MouseMove, centre, Qt::NoButton, Qt::NoButton);
    sendMouse(view, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
    sendMouse(view, QEvent::MouseMove, edge, Qt::NoButton, Qt::NoButton);
    if (!view.draggingBlind)
        return false;
    sendMouse(view, QEvent::MouseButtonPress, edge, Qt::LeftButton, Qt::LeftButton);
    const QPoint to(edge.x(), w.y + 2 * w.height / 3);
    sendMouse(view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    return dialog.editHistory().canUndo();
}

bool changeRows(TessivoDemo &dialog)
{
    QSpinBox *rows = dialog.ui.spinBoxRow;
    rows->setValue(rows->value() > 1 ? rows->value() - 1 : 2);
    return dialog.editHistory().canUndo();
}

// Undo and redo alternately; each time includes the repaint and the GL
// pipeline's end (glFinish), as the user waits for both.
void measure(TessivoDemo &dialog, const char *caseName, const char *editName)
{
    FacadeGLWidget &view = *dialog.facadeView;
    EditHistory &history = dialog.editHistory();
    const auto finished = [&view](const std::function<void()> &step) {
        return [&view, step] {
            step();
            view.makeCurrent();
            glFinish();
        };
    };
    const auto undo = finished([&history] { history.undo(); });
    const auto redo = finished([&history] { history.redo(); });
    const auto repaint = finished([&view] { view.updateGL(); });
    for (int i = 0; i < 3; ++i) {
        undo();
        redo();
    }
    // Each step is followed by a bare repaint of the state it left, so that
    // the difference is the cost of the step itself.
    std::vector<double> undoTimes, undoneRepaints, redoTimes, redoneRepaints;
    for (int i = 0; i < kRepetitions; ++i) {
        undoTimes.push_back(BenchTiming::timeMs(undo));
        undoneRepaints.push_back(BenchTiming::timeMs(repaint));
        redoTimes.push_back(BenchTiming::timeMs(redo));
        redoneRepaints.push_back(BenchTiming::timeMs(repaint));
    }
    std::printf("%-11s %-11s undo %6.2f ms (its repaint alone %6.2f ms)  redo %6.2f ms (its repaint alone %6.2f ms)\n",
                caseName, editName, BenchTiming::median(undoTimes), BenchTiming::median(undoneRepaints),
                BenchTiming::median(redoTimes), BenchTiming::median(redoneRepaints));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc > 1)
        QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    TessivoDemo dialog;
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        std::fprintf(stderr, "bench_undo: the dialog was not shown\n");
        return 1;
    }
    const struct {
        int index;
        const char *name;
    } cases[] = {{0, "1_temp.jpg"}, {2, "7.jpg"}};
    for (const auto &c : cases) {
        for (const auto &[editName, edit] :
             {std::pair<const char *, bool (*)(TessivoDemo &)>{"blind drag", dragBlind}, {"rows", changeRows}}) {
            dialog.ui.comboBox2DWindowBlind->setCurrentIndex(c.index);
            // A load asks nothing: the previous case's edits are discarded here.
            dialog.editHistory().markSaved();
            QTest::mouseClick(dialog.ui.pushButton2DWindowBlindLoad, Qt::LeftButton);
            if (!dialog.windowData || !edit(dialog)) {
                std::fprintf(stderr, "bench_undo: cannot load %s or edit it (is Tessivo_TestCases here?)\n", c.name);
                return 1;
            }
            measure(dialog, c.name, editName);
        }
    }
    return 0;
}
