// The unsaved edits of a session survive its death: the dialog keeps them in
// the case's recovery file a pause after the last edit (never during a drag,
// never in the case's own files), lets the file go when the edits are saved,
// discarded or undone or the dialog ends normally, and offers them at the
// next load of the case. The last test kills a real session and restores its
// edits.
#include "CrashRecovery.h"
#include "DialogFixture.h"
#include "DialogInput.h"
#include "EditHistory.h"
#include "FacadeGLWidget.h"
#include "KeepGLDriver.h"
#include "ModalAnswerer.h"
#include "QWindowData2D.h"
#include "StderrCapture.h"
#include "TestCaseBuilder.h"
#include "TestFiles.h"

#include <QtTest>

#include <QDirIterator>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

using namespace DialogInput;

namespace {

const CasePlan kBlind{2, 3, 20, 24, 160, 120, false};
const CasePlan kShutter{2, 3, 20, 24, 160, 120, true};

// Short enough for a quick suite, long enough that a few edits fall within it.
constexpr int kPause = 600;

enum Edit { Rows, Angles, HeldDrag, Columns, BlindDrag, AllBlindsDrag };
enum Ending { SaveGrid, CloseDiscard, CloseSave, CloseCancel, LoadDiscard, LoadCancel, UndoToSaved };
enum Found { EditsFound, NotAGrid, CutShort, EmptyFile };

// One blind and one shutter case in a fresh test-case tree.
struct CaseTree {
    QTemporaryDir dir;
    bool write()
    {
        return dir.isValid() && writeTestCase(root() + "/blinds", "1_temp.jpg", kBlind)
               && writeTestCase(root() + "/shutters", "1.jpg", kShutter);
    }
    QString root() const { return dir.path() + QStringLiteral("/Tessivo_TestCases"); }
    // Beside the photograph, named after it.
    QString recovery(bool shutter) const
    {
        return root() + (shutter ? QStringLiteral("/shutters/1.recovery.txt") : QStringLiteral("/blinds/1_temp.recovery.txt"));
    }
};

// Every file of the tree but the recovery files, with its bytes.
std::map<QString, QByteArray> caseFiles(const QString &root)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith(QLatin1String(".recovery.txt")))
            files[path] = fileBytes(path);
    }
    return files;
}

// A loaded case in a shown dialog whose edits are kept after kPause.
struct Session {
    Session(const CaseTree &tree, bool shutter) : fixture(tree.dir.path())
    {
        fixture.dialog().crashRecovery().setPause(kPause);
        // The lattices drawn from rand() are the same in every session.
        std::srand(1234);
        fixture.clickLoad(shutter, 0);
    }
    TessivoDemo &dialog() { return fixture.dialog(); }
    CrashRecovery &recovery() { return fixture.dialog().crashRecovery(); }
    QByteArray grid() { return gridText(*fixture.model()); }
    QByteArray session() { return sessionText(*fixture.model()); }

    DialogFixture fixture;
};

// An edit as the panel makes it: a row more or less, or new leaf angles.
void editOnce(TessivoDemo &dialog, bool shutter)
{
    if (shutter) {
        QMetaObject::invokeMethod(&dialog, "randomShutterAngleSlot");
    } else {
        QSpinBox *rows = dialog.ui.spinBoxRow;
        rows->setValue(rows->value() == 3 ? 2 : 3);
    }
}

// Presses on the top edge of the blind of window (row, col) and drags it down
// by `depth`; the release is left to the caller.
void holdBlindDrag(FacadeGLWidget &view, int row, int col, int depth)
{
    const QRect window = caseWindowRect(kBlind, row, col);
    const QPoint edge(window.center().x(), window.y() + 1);
    click(view, window.center());
    move(view, edge);
    QVERIFY(view.draggingBlind);
    press(view, edge);
    move(view, QPoint(edge.x(), window.y() + depth / 2), Qt::LeftButton);
    move(view, QPoint(edge.x(), window.y() + depth), Qt::LeftButton);
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void cleanupTestCase();
    void keptAfterThePause_data();
    void keptAfterThePause();
    void letGoWhenEditsEnd_data();
    void letGoWhenEditsEnd();
    void writeFailureOnlyLogged();
    void offeredAtTheNextLoad_data();
    void offeredAtTheNextLoad();
    void killedSessionComesBack_data();
    void killedSessionComesBack();
    void restoredAsSeen_data();
    void restoredAsSeen();
    void failedRestoreKeepsTheFile();
};

void TestRecovery::cleanupTestCase()
{
    keepGLDriverLoaded();
}

void TestRecovery::keptAfterThePause_data()
{
    QTest::addColumn<int>("edit");
    QTest::newRow("row counts, edit after edit") << int(Rows);
    QTest::newRow("leaf angles, edit after edit") << int(Angles);
    QTest::newRow("a blind drag held past the pause") << int(HeldDrag);
}

// Each edit starts the pause anew, so a run of edits closer together than
// the pause is written once, after the last; a drag in progress is not
// written until it ends. The file holds the grid the dialog holds.
void TestRecovery::keptAfterThePause()
{
    QFETCH(int, edit);
    const bool shutter = edit == Angles;
    CaseTree tree;
    QVERIFY(tree.write());
    const auto before = caseFiles(tree.root());
    Session session(tree, shutter);
    QVERIFY(session.fixture.exposed() && session.fixture.model());
    QCOMPARE(session.recovery().filePath(), tree.recovery(shutter));
    QSignalSpy written(&session.recovery(), &CrashRecovery::written);
    FacadeGLWidget &view = *session.dialog().facadeView;

    if (edit == HeldDrag) {
        holdBlindDrag(view, 1, 1, 12);
        release(view, caseWindowRect(kBlind, 1, 1).topLeft() + QPoint(10, 12));
        holdBlindDrag(view, 1, 0, 8); // the pause ends while this one is held
        if (QTest::currentTestFailed())
            return;
        QTest::qWait(3 * kPause);
        QCOMPARE(written.count(), 0);
        QVERIFY(!QFileInfo::exists(tree.recovery(shutter)));
        const QRect held = caseWindowRect(kBlind, 1, 0);
        release(view, QPoint(held.center().x(), held.y() + 8));
        QCOMPARE(session.fixture.model()->windows[0][3].blindExtent, 8);
    } else {
        for (int i = 0; i < 5; ++i) {
            editOnce(session.dialog(), shutter);
            QTest::qWait(kPause / 3);
        }
        QCOMPARE(written.count(), 0);
    }
    QVERIFY(session.dialog().editHistory().hasUnsavedEdits());

    QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, 20 * kPause);
    QTest::qWait(2 * kPause);
    QCOMPARE(written.count(), 1); // one write per pause
    QCOMPARE(fileBytes(tree.recovery(shutter)), session.session());
    QVERIFY(caseFiles(tree.root()) == before);
}

void TestRecovery::letGoWhenEditsEnd_data()
{
    QTest::addColumn<int>("ending");
    QTest::addColumn<bool>("kept");
    QTest::newRow("grid file saved") << int(SaveGrid) << false;
    QTest::newRow("closed, edits discarded") << int(CloseDiscard) << false;
    QTest::newRow("closed, edits saved") << int(CloseSave) << false;
    QTest::newRow("close cancelled") << int(CloseCancel) << true;
    QTest::newRow("other case loaded, edits discarded") << int(LoadDiscard) << false;
    QTest::newRow("other case not loaded") << int(LoadCancel) << true;
    QTest::newRow("undone back to the loaded case") << int(UndoToSaved) << false;
}

// The file goes with the unsaved edits, and no write left pending brings it
// back; as long as the edits stay unsaved it stays.
void TestRecovery::letGoWhenEditsEnd()
{
    QFETCH(int, ending);
    QFETCH(bool, kept);
    CaseTree tree;
    QVERIFY(tree.write());
    Session session(tree, false);
    QVERIFY(session.fixture.exposed() && session.fixture.model());
    TessivoDemo &dialog = session.dialog();
    QSignalSpy written(&session.recovery(), &CrashRecovery::written);
    editOnce(dialog, false);
    QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, 20 * kPause);
    const QString recovery = tree.recovery(false);
    QVERIFY(QFileInfo::exists(recovery));
    if (ending != UndoToSaved)
        editOnce(dialog, false); // a write still pending when the edits end

    ModalAnswerer answerer;
    const QString saved = tree.dir.path() + QStringLiteral("/saved.txt");
    switch (ending) {
    case SaveGrid:
        answerer.queueFileName(saved);
        QMetaObject::invokeMethod(&dialog, "saveGridSlot");
        break;
    case CloseDiscard:
    case CloseSave:
    case CloseCancel:
        answerer.queueButton(ending == CloseDiscard ? QMessageBox::Discard
                             : ending == CloseSave  ? QMessageBox::Save
                                                    : QMessageBox::Cancel);
        answerer.queueFileName(saved);
        QCOMPARE(dialog.close(), ending != CloseCancel);
        break;
    case LoadDiscard:
    case LoadCancel:
        answerer.queueButton(ending == LoadDiscard ? QMessageBox::Discard : QMessageBox::Cancel);
        session.fixture.clickLoad(true, 0);
        QCOMPARE(session.fixture.model()->isShutterCase(), ending == LoadDiscard);
        break;
    case UndoToSaved:
        dialog.editHistory().undo();
        QVERIFY(!dialog.editHistory().hasUnsavedEdits());
        break;
    }
    if (ending == SaveGrid || ending == CloseSave)
        QCOMPARE(fileBytes(saved), session.grid());
    QTest::qWait(3 * kPause);
    QCOMPARE(QFileInfo::exists(recovery), kept);
    QCOMPARE(written.count(), kept ? 2 : 1);
}

// A recovery file that cannot be written (here a folder is in its place)
// shows the user nothing and is logged once, however many pauses fail; the
// next write that can be made is made.
void TestRecovery::writeFailureOnlyLogged()
{
    CaseTree tree;
    QVERIFY(tree.write());
    Session session(tree, true);
    QVERIFY(session.fixture.exposed() && session.fixture.model());
    const QString recovery = tree.recovery(true);
    QVERIFY(QDir().mkdir(recovery));
    QSignalSpy written(&session.recovery(), &CrashRecovery::written);
    ModalAnswerer answerer;
    std::string logged;
    {
        StderrCapture capture;
        for (int i = 0; i < 2; ++i) {
            editOnce(session.dialog(), true);
            QTest::qWait(3 * kPause);
        }
        logged = capture.text();
    }
    QCOMPARE(written.count(), 0);
    QVERIFY(answerer.seen().empty());
    QCOMPARE(QString::fromStdString(logged).count(QLatin1Char('\n')), 1);
    QVERIFY2(logged.find(recovery.toStdString()) != std::string::npos, logged.c_str());

    QVERIFY(QDir().rmdir(recovery));
    editOnce(session.dialog(), true);
    QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, 20 * kPause);
    QCOMPARE(fileBytes(recovery), session.session());
}

void TestRecovery::offeredAtTheNextLoad_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::addColumn<int>("found");
    QTest::addColumn<int>("answer");
    QTest::newRow("blind, restored") << false << int(EditsFound) << int(QMessageBox::Yes);
    QTest::newRow("shutter, restored") << true << int(EditsFound) << int(QMessageBox::Yes);
    QTest::newRow("blind, discarded") << false << int(EditsFound) << int(QMessageBox::Discard);
    QTest::newRow("not a grid file") << false << int(NotAGrid) << int(QMessageBox::NoButton);
    QTest::newRow("a file cut short") << true << int(CutShort) << int(QMessageBox::NoButton);
    QTest::newRow("an empty file") << false << int(EmptyFile) << int(QMessageBox::NoButton);
}

// The file a dead session left is asked about at the next load of the case.
// Restore gives back exactly the edited grid as one unsaved step whose undo
// returns to the case; Discard and a file that does not read leave the case
// as loaded and remove the file.
void TestRecovery::offeredAtTheNextLoad()
{
    QFETCH(bool, shutter);
    QFETCH(int, found);
    QFETCH(int, answer);
    CaseTree tree;
    QVERIFY(tree.write());
    const QString recovery = tree.recovery(shutter);
    QByteArray loaded;
    QByteArray edited;
    QByteArray kept;
    {
        Session earlier(tree, shutter);
        QVERIFY(earlier.fixture.exposed() && earlier.fixture.model());
        loaded = earlier.grid();
        QSignalSpy written(&earlier.recovery(), &CrashRecovery::written);
        editOnce(earlier.dialog(), shutter);
        QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, 20 * kPause);
        edited = earlier.grid();
        QVERIFY(edited != loaded);
        kept = fileBytes(recovery);
        QCOMPARE(kept, earlier.session());
    }
    // A session that ends normally takes its file along; one that dies
    // leaves what it wrote.
    QVERIFY(!QFileInfo::exists(recovery));
    QVERIFY(writeBytes(recovery, kept));
    if (found == NotAGrid)
        QVERIFY(writeBytes(recovery, "these are no edits\n"));
    else if (found == CutShort)
        QVERIFY(writeBytes(recovery, edited.left(edited.size() - 12)));
    else if (found == EmptyFile)
        QVERIFY(writeBytes(recovery, QByteArray()));

    ModalAnswerer answerer;
    if (answer != QMessageBox::NoButton)
        answerer.queueButton(QMessageBox::StandardButton(answer));
    Session next(tree, shutter);
    QVERIFY(next.fixture.model());
    QCOMPARE(int(answerer.seen().size()), 1);
    const ModalRecord &asked = answerer.seen().front();
    QCOMPARE(asked.title, QStringLiteral("Restore edits"));
    QVERIFY2(asked.informativeText.contains(QDir::toNativeSeparators(recovery)), qPrintable(asked.informativeText));
    EditHistory &history = next.dialog().editHistory();

    if (found != EditsFound) {
        QCOMPARE(asked.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(asked.text.contains(QLatin1String("could not be restored")));
    } else {
        QCOMPARE(asked.buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::Discard));
        QVERIFY(asked.text.contains(QLatin1String("ended unexpectedly")));
    }
    if (answer == QMessageBox::Yes) {
        QCOMPARE(next.grid(), edited);
        QVERIFY(history.hasUnsavedEdits());
        QCOMPARE(history.stepCount(), 1);
        QVERIFY(QFileInfo::exists(recovery));
        history.undo();
        QCOMPARE(next.grid(), loaded);
    } else {
        QCOMPARE(next.grid(), loaded);
        QVERIFY(!history.hasUnsavedEdits());
        QVERIFY(!QFileInfo::exists(recovery));
    }
}

void TestRecovery::killedSessionComesBack_data()
{
    QTest::addColumn<bool>("shutter");
    QTest::newRow("blind case") << false;
    QTest::newRow("shutter case, leaf angles") << true;
}

// The real thing: a dialog in another process keeps its edits and is killed
// with SIGKILL; a new dialog on the same case restores exactly its grid.
void TestRecovery::killedSessionComesBack()
{
    QFETCH(bool, shutter);
    CaseTree tree;
    QVERIFY(tree.write());
    const QString expected = tree.dir.path() + QStringLiteral("/expected.txt");
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(TESSIVO_RECOVERY_CHILD),
                {tree.dir.path(), shutter ? QStringLiteral("shutter") : QStringLiteral("blind"), expected,
                 QString::number(kPause)});
    QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
    QByteArray said;
    while (!said.contains("kept\n") && child.state() == QProcess::Running && child.waitForReadyRead(30000))
        said += child.readAllStandardOutput();
    QVERIFY2(said.contains("kept\n"), said.constData());
    child.kill();
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    const QByteArray edited = fileBytes(expected);
    QVERIFY(!edited.isEmpty());
    QCOMPARE(fileBytes(tree.recovery(shutter)), edited);
    ModalAnswerer answerer;
    answerer.queueButton(QMessageBox::Yes);
    Session next(tree, shutter);
    QVERIFY(next.fixture.model());
    QCOMPARE(int(answerer.seen().size()), 1);
    QCOMPARE(next.session(), edited);
    next.dialog().editHistory().undo();
    QVERIFY(next.session() != edited); // the edit was real: the case itself differs
}

void TestRecovery::restoredAsSeen_data()
{
    QTest::addColumn<int>("edit");
    QTest::newRow("a row more") << int(Rows);
    QTest::newRow("a column less") << int(Columns);
    QTest::newRow("one blind lowered") << int(BlindDrag);
    QTest::newRow("every blind lowered") << int(AllBlindsDrag);
}

// Restore brings back the picture the user saw, not only the grid: the
// images a new lattice drew and the blinds the drags chose, with the counts
// the spin boxes showed; Reset then still returns to the case's own grid.
void TestRecovery::restoredAsSeen()
{
    QFETCH(int, edit);
    CaseTree tree;
    QVERIFY(tree.write());
    QImage seen;
    QImage loaded;
    QByteArray kept;
    int rows = 0;
    int cols = 0;
    {
        Session earlier(tree, false);
        QVERIFY(earlier.fixture.exposed() && earlier.fixture.model());
        TessivoDemo &dialog = earlier.dialog();
        FacadeGLWidget &view = *dialog.facadeView;
        loaded = modelFrame(view);
        QSignalSpy written(&earlier.recovery(), &CrashRecovery::written);
        if (edit == Rows)
            dialog.ui.spinBoxRow->setValue(3);
        else if (edit == Columns)
            dialog.ui.spinBoxCol->setValue(2);
        if (edit == AllBlindsDrag)
            QMetaObject::invokeMethod(&dialog, "dragAllBlindsToggledSlot", Q_ARG(bool, true));
        if (edit == BlindDrag || edit == AllBlindsDrag) {
            holdBlindDrag(view, 1, 1, 17);
            if (QTest::currentTestFailed())
                return;
            release(view, caseWindowRect(kBlind, 1, 1).topLeft() + QPoint(10, 17));
        }
        QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, 20 * kPause);
        kept = fileBytes(tree.recovery(false));
        seen = modelFrame(view);
        QVERIFY(seen != loaded);
        rows = dialog.ui.spinBoxRow->value();
        cols = dialog.ui.spinBoxCol->value();
    }
    QVERIFY(writeBytes(tree.recovery(false), kept));

    ModalAnswerer answerer;
    answerer.queueButton(QMessageBox::Yes);
    Session next(tree, false);
    QVERIFY(next.fixture.model());
    QCOMPARE(int(answerer.seen().size()), 1);
    QVERIFY2(modelFrame(*next.dialog().facadeView) == seen, "the restored case draws another picture");
    QCOMPARE(next.dialog().ui.spinBoxRow->value(), rows);
    QCOMPARE(next.dialog().ui.spinBoxCol->value(), cols);
    QMetaObject::invokeMethod(&next.dialog(), "resetWindowGridStructureSlot");
    if (edit == Rows || edit == Columns)
        QVERIFY2(modelFrame(*next.dialog().facadeView) == loaded, "Reset did not return to the case's grid");
}

// A recovery file that passed the first look but does not read at the
// restore (here it turns into a link to a folder while the question is
// open) stays where it is for another try, and the user is told.
void TestRecovery::failedRestoreKeepsTheFile()
{
    CaseTree tree;
    QVERIFY(tree.write());
    const QString recovery = tree.recovery(false);
    QByteArray kept;
    {
        Session earlier(tree, false);
        QVERIFY(earlier.fixture.exposed() && earlier.fixture.model());
        QSignalSpy written(&earlier.recovery(), &CrashRecovery::written);
        editOnce(earlier.dialog(), false);
        QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, 20 * kPause);
        kept = fileBytes(recovery);
    }
    QVERIFY(writeBytes(recovery, kept));

    ModalAnswerer answerer;
    answerer.queueStep("QMessageBox", [&tree, &recovery](QWidget *box) {
        QFile::remove(recovery);
        QFile::link(tree.dir.path(), recovery);
        static_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
    });
    Session next(tree, false);
    QVERIFY(next.fixture.model());
    QCOMPARE(answerer.pendingSteps(), 0);
    QVERIFY2(QFileInfo(recovery).isSymLink(), "the file the user tried to restore was removed");
    QVERIFY(std::any_of(answerer.seen().begin(), answerer.seen().end(), [](const ModalRecord &r) {
        return r.text.contains(QLatin1String("could not be restored"));
    }));
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
