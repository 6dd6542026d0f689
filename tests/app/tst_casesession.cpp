// The editing session without a dialog: its shown counts behave as the
// dialog's spin boxes, its history restores them with the model, and a case
// loads, fails to load and changes hands as the dialog and the command line
// need.
#include "CaseSession.h"
#include "CrashRecovery.h"
#include "ModelBuilder.h"
#include "QWindowData2D.h"
#include "TestCasePaths.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <sstream>

namespace {

// Two rows and three columns of 40 x 50 cells in bounds that hold at most
// three rows and seven columns.
ModelBuilder twoByThree()
{
    ModelBuilder builder(TestCaseKind::Blind, 300, 200);
    builder.grid(QRect(10, 10, 280, 180), QSize(40, 50), {60, 140}, {50, 150, 250});
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col)
            builder.window(QRect(30 + 100 * col, 35 + 80 * row, 40, 50), col, row);
    }
    return builder;
}

// A session editing the 2 x 3 case, its counts as a load leaves them.
void startEditing(CaseSession &session)
{
    session.modelSlot() = twoByThree().build();
    session.beginEditing();
}

std::string gridText(const QWindowData2D &model)
{
    std::ostringstream text;
    model.saveGridFile(text);
    return text.str();
}

} // namespace

Q_DECLARE_METATYPE(CaseSession::Counts)

class TestCaseSession : public QObject
{
    Q_OBJECT

private slots:
    void countsStartAsTheSpinBoxes();
    void showingCountsActsAsASpinBox_data();
    void showingCountsActsAsASpinBox();
    void rangeWidensToALargerGrid();
    void countsThatDoNotFitAreRefused_data();
    void countsThatDoNotFitAreRefused();
    void undoRestoresModelAndCounts();
    void ownFlowsSetCountsThroughTheInput();
    void resetReturnsToTheLoadedGrid_data();
    void resetReturnsToTheLoadedGrid();
    void loadsAndFailsToLoadACase();
    void takingOverACaseKeepsItsStateButNotItsRecovery();
};

void TestCaseSession::countsStartAsTheSpinBoxes()
{
    CaseSession session;
    QCOMPARE(session.shownCounts(), (CaseSession::Counts{1, 1}));
    QCOMPARE(session.maxRows(), TestCasePaths::kMaxGridCount);
    QCOMPARE(session.maxCols(), TestCasePaths::kMaxGridCount);
    QVERIFY(session.model() == nullptr);
    // Without a case a count is only shown.
    QCOMPARE(session.changeRows(4), 1);
    QCOMPARE(session.shownCounts(), (CaseSession::Counts{4, 1}));
}

// A count is kept within 1 and the maximum, and one shown already lays
// nothing out; any other lays the grid out with both shown counts.
void TestCaseSession::showingCountsActsAsASpinBox_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<CaseSession::Counts>("shown");
    QTest::addColumn<int>("layouts");
    QTest::newRow("both as loaded") << 2 << 3 << CaseSession::Counts{2, 3} << 0;
    QTest::newRow("one row more") << 3 << 3 << CaseSession::Counts{3, 3} << 1;
    QTest::newRow("both changed") << 1 << 5 << CaseSession::Counts{1, 5} << 2;
    QTest::newRow("below the minimum") << 0 << -4 << CaseSession::Counts{1, 1} << 2;
    QTest::newRow("above the maximum") << 99 << 3 << CaseSession::Counts{10, 3} << 1;
}

void TestCaseSession::showingCountsActsAsASpinBox()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(CaseSession::Counts, shown);
    QFETCH(int, layouts);
    CaseSession session;
    startEditing(session);
    QCOMPARE(session.shownCounts(), (CaseSession::Counts{2, 3}));
    QSignalSpy laidOut(&session, &CaseSession::gridLaidOut);
    session.showRows(rows);
    session.showCols(cols);
    QCOMPARE(session.shownCounts(), shown);
    QCOMPARE(laidOut.count(), layouts);
    if (layouts > 0 && shown.rows <= 3)
        QCOMPARE((CaseSession::Counts{session.model()->rows, session.model()->cols}), shown);
}

// The range reaches a loaded grid's counts above the largest generated
// count, and narrows again for the next case.
void TestCaseSession::rangeWidensToALargerGrid()
{
    CaseSession session;
    ModelBuilder wide(TestCaseKind::Blind, 1000, 100);
    std::vector<int> colValues;
    for (int col = 0; col < 12; ++col) {
        colValues.push_back(40 + 80 * col);
        wide.window(QRect(20 + 80 * col, 20, 40, 50), col, 0);
    }
    wide.grid(QRect(10, 10, 980, 80), QSize(40, 50), {45}, colValues);
    session.modelSlot() = wide.build();
    QSignalSpy changed(&session, &CaseSession::countsChanged);
    session.beginEditing();
    QVERIFY(!changed.isEmpty());
    QCOMPARE(session.shownCounts(), (CaseSession::Counts{1, 12}));
    QCOMPARE(session.maxCols(), 12);
    QCOMPARE(session.maxRows(), TestCasePaths::kMaxGridCount);

    startEditing(session);
    QCOMPARE(session.shownCounts(), (CaseSession::Counts{2, 3}));
    QCOMPARE(session.maxCols(), TestCasePaths::kMaxGridCount);
}

// The user's count that does not fit returns to the grid's count with the
// reason; asked without a refusal (a load, the command line) it stays.
void TestCaseSession::countsThatDoNotFitAreRefused_data()
{
    QTest::addColumn<bool>("rowsChanged");
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<CaseSession::Counts>("shown");
    QTest::newRow("rows refused") << true << true << CaseSession::Counts{2, 3};
    QTest::newRow("columns refused") << false << true << CaseSession::Counts{2, 3};
    QTest::newRow("rows kept") << true << false << CaseSession::Counts{9, 3};
    QTest::newRow("columns kept") << false << false << CaseSession::Counts{2, 9};
}

void TestCaseSession::countsThatDoNotFitAreRefused()
{
    QFETCH(bool, rowsChanged);
    QFETCH(bool, refuse);
    QFETCH(CaseSession::Counts, shown);
    CaseSession session;
    startEditing(session);
    const std::string before = gridText(*session.model());
    Failure refusal;
    Failure *asked = refuse ? &refusal : nullptr;
    const int rebuilt = rowsChanged ? session.changeRows(9, asked) : session.changeCols(9, asked);
    QCOMPARE(rebuilt, 0);
    QCOMPARE(session.shownCounts(), shown);
    QCOMPARE(refusal.reason.empty(), !refuse);
    QCOMPARE(gridText(*session.model()), before);
}

// A recorded step brings back the grid and the counts shown with it.
void TestCaseSession::undoRestoresModelAndCounts()
{
    CaseSession session;
    startEditing(session);
    EditHistory &history = session.history();
    const std::string loaded = gridText(*session.model());
    std::srand(7);
    session.changeRows(3);
    history.record(QStringLiteral("Change rows"));
    session.changeCols(1);
    history.record(QStringLiteral("Change columns"));
    const std::string edited = gridText(*session.model());
    QCOMPARE(history.stepCount(), 2);
    QVERIFY(history.hasUnsavedEdits());

    QSignalSpy changed(&session, &CaseSession::countsChanged);
    history.undo();
    QCOMPARE(session.shownCounts(), (CaseSession::Counts{3, 3}));
    history.undo();
    QCOMPARE(session.shownCounts(), (CaseSession::Counts{2, 3}));
    QCOMPARE(gridText(*session.model()), loaded);
    QCOMPARE(changed.count(), 2);
    QVERIFY(!history.hasUnsavedEdits());
    history.redo();
    history.redo();
    QCOMPARE(session.shownCounts(), (CaseSession::Counts{3, 1}));
    QCOMPARE(gridText(*session.model()), edited);
}

// A load and a reset set each count that changes through the input (as
// the dialog's spin boxes), row first; the load's own layout is no step.
void TestCaseSession::ownFlowsSetCountsThroughTheInput()
{
    CaseSession session;
    QString calls;
    session.setCountInput([&session, &calls](int CaseSession::Counts::*count, int value) {
        const bool rows = count == &CaseSession::Counts::rows;
        calls += QStringLiteral("%1%2 ").arg(rows ? 'r' : 'c').arg(value);
        rows ? session.changeRows(value) : session.changeCols(value);
    });
    startEditing(session);
    QCOMPARE(calls, QStringLiteral("r2 c3 "));
    QCOMPARE(session.history().stepCount(), 0);

    calls.clear();
    session.showRows(3);
    session.resetCounts();
    QCOMPARE(calls, QStringLiteral("r3 r2 "));
    QCOMPARE(session.shownCounts(), (CaseSession::Counts{2, 3}));
}

void TestCaseSession::resetReturnsToTheLoadedGrid_data()
{
    QTest::addColumn<CaseSession::Counts>("shown");
    QTest::addColumn<int>("layouts");
    QTest::newRow("loaded counts shown") << CaseSession::Counts{2, 3} << 1;
    QTest::newRow("rows differ") << CaseSession::Counts{3, 3} << 1;
    QTest::newRow("both differ") << CaseSession::Counts{1, 1} << 2;
}

// Reset lays the grid out as the detected one: once directly when the
// counts are shown already, else once per count that changes.
void TestCaseSession::resetReturnsToTheLoadedGrid()
{
    QFETCH(CaseSession::Counts, shown);
    QFETCH(int, layouts);
    CaseSession session;
    startEditing(session);
    const std::string loaded = gridText(*session.model());
    session.showRows(shown.rows);
    session.showCols(shown.cols);
    session.model()->windows[0][0].blindExtent = 17;
    QSignalSpy laidOut(&session, &CaseSession::gridLaidOut);
    session.resetCounts();
    QCOMPARE(laidOut.count(), layouts);
    QCOMPARE(session.shownCounts(), (CaseSession::Counts{2, 3}));
    QCOMPARE(gridText(*session.model()), loaded);
}

// A case on disk loads with its kind and follows its recovery file; one
// that does not load leaves nothing behind, not even the earlier case.
void TestCaseSession::loadsAndFailsToLoadACase()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string folder = dir.path().toStdString() + "/blinds";
    QVERIFY(QDir().mkpath(dir.path() + "/blinds"));
    QVERIFY(writeCase(*twoByThree().build(), folder, "1.jpg", Qt::gray));

    CaseSession session;
    QVERIFY(session.loadCase(TestCaseKind::Blind, folder, "1.jpg"));
    session.beginEditing();
    QCOMPARE(session.kind(), TestCaseKind::Blind);
    QCOMPARE(session.shownCounts(), (CaseSession::Counts{2, 3}));
    QCOMPARE(session.recovery().filePath().toStdString(), TestCasePaths::recoveryFile(folder, "1.jpg"));
    QCOMPARE(session.history().stepCount(), 0);

    Failure failure;
    QVERIFY(!session.loadCase(TestCaseKind::Blind, folder, "2.jpg", &failure));
    QVERIFY(!failure.reason.empty());
    QVERIFY(session.model() == nullptr);
    QCOMPARE(session.kind(), TestCaseKind::None);
    QVERIFY(session.recovery().filePath().isEmpty());
    QVERIFY(!session.history().canUndo());
}

// The dialog of `tessivo render` takes the case the command prepared: the
// model and counts move, the recovery file stays with nobody, so that the
// dialog's end removes nothing.
void TestCaseSession::takingOverACaseKeepsItsStateButNotItsRecovery()
{
    CaseSession prepared;
    startEditing(prepared);
    std::srand(3);
    prepared.showRows(3);
    const std::string grid = gridText(*prepared.model());
    const QWindowData2D *model = prepared.model();

    CaseSession shown;
    QSignalSpy changed(&shown, &CaseSession::countsChanged);
    shown.takeCaseOf(prepared);
    QCOMPARE(shown.model(), model);
    QVERIFY(prepared.model() == nullptr);
    QCOMPARE(shown.shownCounts(), (CaseSession::Counts{3, 3}));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(gridText(*shown.model()), grid);
    QVERIFY(shown.recovery().filePath().isEmpty());
    QVERIFY(!shown.history().canUndo());
}

QTEST_GUILESS_MAIN(TestCaseSession)
#include "tst_casesession.moc"
