// Undo and redo in the real dialog: every kind of edit, made with the mouse,
// the keys and the panel as a user makes it, is one step (a slider's keyboard
// steps one each); undo gives back exactly the picture and the grid file of
// before, redo exactly those of after, and neither lays the grid out anew.
// The Undo and Redo actions step the history themselves: a key during a drag,
// a step taken in code and a replaced model leave the history and the picture
// in a state the user made.
#include "DialogFixture.h"
#include "DialogInput.h"
#include "FacadeGLWidget.h"
#include "CaseSession.h"
#include "EditHistory.h"
#include "KeepGLDriver.h"
#include "ModalAnswerer.h"
#include "QWindowData2D.h"
#include "TestCaseBuilder.h"
#include "TestCasePaths.h"

#include <QtTest>

#include <QAction>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

using namespace DialogInput;

namespace {

const CasePlan kBlind{2, 3, 20, 24, 160, 120, false};
const CasePlan kShutter{2, 3, 20, 24, 160, 120, true};
const CasePlan kOtherGrid{3, 2, 20, 24, 160, 120, false};

// What comes between a finished blind drag and the look at the history.
enum Interruption {
    UndoKeyInDrag,
    RedoKeyInDrag,
    UndoTriggeredInDrag,
    RedoTriggeredInDrag,
    CaseLoaded,
    ModelHandedOver
};
// The state the user sees afterwards.
enum Outcome { BeforeEdit, AfterEdit, DragKept, Unchanged };

enum Edit { BlindDrag, AllBlindsDrag, WindowMove, Rows, Columns, Reset, SliderDrag, SliderKeys, RandomAngles, GridFile };

// What the user sees and what a saved grid file would hold.
struct Seen {
    QImage frame;
    QByteArray grid;
    int rows = 0;
    int cols = 0;
};

Seen seen(TessivoDemo &dialog)
{
    return {modelFrame(*dialog.facadeView), gridText(*dialog.windowData), dialog.ui.spinBoxRow->value(),
            dialog.ui.spinBoxCol->value()};
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void undoRedoRestoreExactly_data();
    void undoRedoRestoreExactly();
    void stepsGuardThemselves_data();
    void stepsGuardThemselves();

private:
    void makeEdit(TessivoDemo &dialog, Edit edit);
    void moveWindow(FacadeGLWidget &view, const QRect &window);
    // Drags the blind of window from its top edge down by 12; the button
    // stays held unless release.
    void dragBlind(FacadeGLWidget &view, const QRect &window, bool release);

    QTemporaryDir workDir;
    QString otherGrid;
    std::unique_ptr<ModalAnswerer> answerer;
};

void TestUndo::initTestCase()
{
    QVERIFY(workDir.isValid());
    const QString root = workDir.path() + QStringLiteral("/Tessivo_TestCases");
    QVERIFY(writeTestCase(root + "/blinds", "1_temp.jpg", kBlind));
    QVERIFY(writeTestCase(root + "/shutters", "1.jpg", kShutter));
    otherGrid = workDir.path() + QStringLiteral("/other-grid.txt");
    QVERIFY(writeGridFile(otherGrid, kOtherGrid));
}

void TestUndo::cleanupTestCase()
{
    keepGLDriverLoaded();
}

void TestUndo::undoRedoRestoreExactly_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<int>("steps");   // the edit's undoable steps
    QTest::addColumn<int>("earlier"); // steps made before it

    QTest::newRow("blind drag") << int(BlindDrag) << 1 << 0;
    QTest::newRow("all blinds dragged") << int(AllBlindsDrag) << 1 << 0;
    QTest::newRow("window move and alignment") << int(WindowMove) << 1 << 0;
    QTest::newRow("row count") << int(Rows) << 1 << 0;
    QTest::newRow("column count") << int(Columns) << 1 << 0;
    QTest::newRow("Reset after a move") << int(Reset) << 1 << 1;
    QTest::newRow("slider drag") << int(SliderDrag) << 1 << 0;
    QTest::newRow("two slider keys") << int(SliderKeys) << 2 << 0;
    QTest::newRow("random angles") << int(RandomAngles) << 1 << 0;
    QTest::newRow("grid file") << int(GridFile) << 1 << 0;
}

void TestUndo::undoRedoRestoreExactly()
{
    QFETCH(int, edit);
    QFETCH(int, steps);
    QFETCH(int, earlier);
    // The lattices drawn from rand() are the same in every run.
    std::srand(1234);
    DialogFixture fixture(workDir.path());
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    answerer = std::make_unique<ModalAnswerer>();
    const bool shutter = edit == SliderDrag || edit == SliderKeys || edit == RandomAngles;
    fixture.clickLoad(shutter, 0);
    QVERIFY(fixture.model());
    QVERIFY(activate(dialog));
    auto *undo = dialog.findChild<QAction *>(QStringLiteral("undo"));
    auto *redo = dialog.findChild<QAction *>(QStringLiteral("redo"));
    QVERIFY(undo && redo);
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());

    if (edit == Reset)
        moveWindow(*dialog.facadeView, caseWindowRect(kBlind, 1, 1));
    const Seen before = seen(dialog);
    makeEdit(dialog, Edit(edit));
    if (QTest::currentTestFailed())
        return;
    const Seen after = seen(dialog);
    QVERIFY(after.frame != before.frame);
    QVERIFY(after.grid != before.grid);
    QVERIFY(undo->isEnabled());

    // Undo and redo put states back without running the spin boxes' slots.
    QSignalSpy rowSpy(dialog.ui.spinBoxRow, QOverload<int>::of(&QSpinBox::valueChanged));
    QSignalSpy colSpy(dialog.ui.spinBoxCol, QOverload<int>::of(&QSpinBox::valueChanged));
    for (int i = 0; i < steps; ++i) {
        if (i > 0) // a step of several is only part of the way back
            QVERIFY(seen(dialog).grid != before.grid);
        QVERIFY(typeKeys(dialog, QKeySequence(QKeySequence::Undo)));
    }
    Seen undone = seen(dialog);
    QVERIFY2(undone.frame == before.frame, "undo changed the picture");
    QCOMPARE(undone.grid, before.grid);
    QCOMPARE(undone.rows, before.rows);
    QCOMPARE(undone.cols, before.cols);
    QCOMPARE(undo->isEnabled(), earlier > 0);
    QVERIFY(redo->isEnabled());

    for (int i = 0; i < steps; ++i)
        QVERIFY(typeKeys(dialog, QKeySequence(QKeySequence::Redo)));
    const Seen redone = seen(dialog);
    QVERIFY2(redone.frame == after.frame, "redo changed the picture");
    QCOMPARE(redone.grid, after.grid);
    QCOMPARE(redone.rows, after.rows);
    QCOMPARE(redone.cols, after.cols);
    QVERIFY(!redo->isEnabled());
    QCOMPARE(rowSpy.count() + colSpy.count(), 0);

    // Once more back: the state of before, again exactly.
    for (int i = 0; i < steps; ++i)
        QVERIFY(typeKeys(dialog, QKeySequence(QKeySequence::Undo)));
    undone = seen(dialog);
    QVERIFY(undone.frame == before.frame);
    QCOMPARE(undone.grid, before.grid);
    QVERIFY(answerer->seen().size() <= 1); // the grid file's dialog, nothing else
    answerer.reset();
}

void TestUndo::stepsGuardThemselves_data()
{
    QTest::addColumn<int>("interruption");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<bool>("undoAfter");
    QTest::addColumn<bool>("redoAfter");

    // The key ends the drag first: the drag is a step, and the key takes it.
    QTest::newRow("undo key during a drag") << int(UndoKeyInDrag) << int(AfterEdit) << true << true;
    // The ended drag is a new step, so there is nothing left to redo.
    QTest::newRow("redo key during a drag") << int(RedoKeyInDrag) << int(DragKept) << true << false;
    // A step taken without the key ends the drag itself: the step's state
    // replaces the half-done drag, which the release does not record.
    QTest::newRow("undo triggered during a drag") << int(UndoTriggeredInDrag) << int(BeforeEdit) << false << true;
    QTest::newRow("redo triggered during a drag") << int(RedoTriggeredInDrag) << int(AfterEdit) << true << false;
    QTest::newRow("undo after another case loaded") << int(CaseLoaded) << int(Unchanged) << false << false;
    QTest::newRow("undo after a model handed over") << int(ModelHandedOver) << int(Unchanged) << false << false;
}

void TestUndo::stepsGuardThemselves()
{
    QFETCH(int, interruption);
    QFETCH(int, outcome);
    QFETCH(bool, undoAfter);
    QFETCH(bool, redoAfter);
    DialogFixture fixture(workDir.path());
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    fixture.clickLoad(false, 0);
    QVERIFY(fixture.model());
    QVERIFY(activate(dialog));
    FacadeGLWidget &view = *dialog.facadeView;
    EditHistory &history = dialog.editHistory();
    auto *undo = dialog.findChild<QAction *>(QStringLiteral("undo"));
    auto *redo = dialog.findChild<QAction *>(QStringLiteral("redo"));
    QVERIFY(undo && redo);

    const Seen beforeEdit = seen(dialog);
    dragBlind(view, caseWindowRect(kBlind, 1, 1), true);
    const Seen afterEdit = seen(dialog);
    QVERIFY(afterEdit.grid != beforeEdit.grid);
    if (interruption == RedoKeyInDrag || interruption == RedoTriggeredInDrag) // redo has a step to take
        QVERIFY(typeKeys(dialog, QKeySequence(QKeySequence::Undo)));

    const QRect other = caseWindowRect(kBlind, 0, 0);
    const bool inDrag = interruption != CaseLoaded && interruption != ModelHandedOver;
    if (inDrag) {
        dragBlind(view, other, false);
        QVERIFY(history.stepOpen());
    }
    const Seen dragged = seen(dialog);
    Seen replaced;
    switch (Interruption(interruption)) {
    case UndoKeyInDrag:
        QVERIFY(typeKeys(dialog, QKeySequence(QKeySequence::Undo)));
        break;
    case RedoKeyInDrag:
        QVERIFY(typeKeys(dialog, QKeySequence(QKeySequence::Redo)));
        break;
    case UndoTriggeredInDrag:
        undo->trigger();
        break;
    case RedoTriggeredInDrag:
        redo->trigger();
        break;
    case CaseLoaded:
        QVERIFY(dialog.session().loadCase(TestCaseKind::Blind, dialog.session().folder(), dialog.session().photo()));
        QVERIFY(!undo->isEnabled()); // the old case's steps went with it
        dialog.showLoadedCase();
        replaced = seen(dialog);
        undo->trigger();
        break;
    case ModelHandedOver: {
        auto model = std::make_unique<QWindowData2D>();
        QVERIFY(model->loadBlindTestCase(dialog.session().folder(), dialog.session().photo()));
        view.setWindowData(model.get());
        dialog.windowData = std::move(model);
        replaced = seen(dialog);
        undo->trigger();
        break;
    }
    }
    QVERIFY(!history.stepOpen());
    if (inDrag) // the drag ended already: its release records nothing
        release(view, QPoint(other.center().x(), other.y() + 12));

    const Seen expected[] = {beforeEdit, afterEdit, dragged, replaced};
    const Seen now = seen(dialog);
    QVERIFY2(now.frame == expected[outcome].frame, "the picture is not the state expected");
    QCOMPARE(now.grid, expected[outcome].grid);
    QCOMPARE(undo->isEnabled(), undoAfter);
    QCOMPARE(redo->isEnabled(), redoAfter);
    // The texts stay the commands' own, whatever the step.
    QCOMPARE(undo->text(), QStringLiteral("Undo"));
    QCOMPARE(redo->text(), QStringLiteral("Redo"));
}

void TestUndo::dragBlind(FacadeGLWidget &view, const QRect &window, bool release)
{
    const QPoint edge(window.center().x(), window.y() + 1); // blind extent 0: the top edge
    click(view, window.center());
    move(view, edge);
    QVERIFY(view.draggingBlind);
    press(view, edge);
    for (const int d : {5, 12})
        move(view, QPoint(edge.x(), window.y() + d), Qt::LeftButton);
    if (release)
        DialogInput::release(view, QPoint(edge.x(), window.y() + 12));
}

// Selects the window, then drags it by (6, 4) from its middle.
void TestUndo::moveWindow(FacadeGLWidget &view, const QRect &window)
{
    const QPoint centre = window.center();
    click(view, centre);
    move(view, centre + QPoint(1, 0)); // arms the move
    QVERIFY(view.movingWindow);
    press(view, centre + QPoint(1, 0));
    move(view, centre + QPoint(4, 2), Qt::LeftButton);
    move(view, centre + QPoint(7, 4), Qt::LeftButton);
    release(view, centre + QPoint(7, 4));
}

void TestUndo::makeEdit(TessivoDemo &dialog, Edit edit)
{
    FacadeGLWidget &view = *dialog.facadeView;
    const QRect window = caseWindowRect(kBlind, 1, 1);
    switch (edit) {
    case BlindDrag:
    case AllBlindsDrag: {
        if (edit == AllBlindsDrag)
            QVERIFY(typeKeys(dialog, QKeySequence(QStringLiteral("Ctrl+B"))));
        QCOMPARE(view.dragAllBlinds, edit == AllBlindsDrag);
        const QPoint edge(window.center().x(), window.y() + 1); // blind extent 0: the top edge
        click(view, window.center());
        move(view, edge);
        QVERIFY(view.draggingBlind);
        press(view, edge);
        for (const int d : {5, 12, 18})
            move(view, QPoint(edge.x(), window.y() + d), Qt::LeftButton);
        release(view, QPoint(edge.x(), window.y() + 18));
        QCOMPARE(dialog.windowData->windows[0][4].blindExtent, 18);
        break;
    }
    case WindowMove:
    case Reset:
        if (edit == WindowMove)
            moveWindow(view, window);
        else
            QTest::mouseClick(dialog.ui.pushButtonResetStructure, Qt::LeftButton);
        break;
    case Rows:
        dialog.ui.spinBoxRow->setFocus();
        QTest::keyClick(dialog.ui.spinBoxRow, Qt::Key_Up);
        QCOMPARE(dialog.windowData->rows, 3);
        break;
    case Columns:
        dialog.ui.spinBoxCol->setFocus();
        QTest::keyClick(dialog.ui.spinBoxCol, Qt::Key_Down);
        QCOMPARE(dialog.windowData->cols, 2);
        break;
    case SliderDrag:
    case SliderKeys: {
        click(view, window.center());
        QSlider *left = dialog.ui.horizontalSliderLeftShutter;
        QVERIFY(left->isEnabled());
        QSignalSpy values(left, &QSlider::valueChanged);
        if (edit == SliderDrag) {
            dragSlider(*left, 4, 12);
            QVERIFY(values.count() >= 3);
        } else {
            left->setFocus();
            QTest::keyClick(left, Qt::Key_Right);
            QTest::keyClick(left, Qt::Key_Right);
            QCOMPARE(left->value(), 20);
        }
        QVERIFY(dialog.windowData->windows[0][4].leftAngle > 0.0);
        break;
    }
    case RandomAngles:
        QVERIFY(typeKeys(dialog, QKeySequence(QStringLiteral("Ctrl+R"))));
        break;
    case GridFile:
        answerer->queueFileName(otherGrid);
        QVERIFY(typeKeys(dialog, QKeySequence(QStringLiteral("Ctrl+L"))));
        QCOMPARE(int(answerer->seen().size()), 1);
        break;
    }
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
