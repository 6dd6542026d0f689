#include "QWindowData2D.h"

#include "ModelTestUtil.h"

#include <QtTest>

#include <climits>
#include <cstdlib>

using namespace ModelTestUtil;

namespace {

// Bounds 300 x 200 at (10, 20), cell 80 x 120, detected 1 row x 3 columns
// whose windows differ in every carried field; one input image per window.
void fillModel(QWindowData2D &model)
{
    model.gridBounds = {QRect(10, 20, 300, 200)};
    model.windowTemplates = {QRect(0, 0, 80, 120)};
    model.rowValues = {{25}};
    model.colValues = {{40, 140, 240}};
    std::vector<FacadeWindow> detected;
    for (int i = 0; i < 3; ++i) {
        FacadeWindow w = makeWindow(15 + 100 * i, 25, 70 + i, 80 + 2 * i, i, 0);
        w.aux = 0.5 * i;
        w.blindExtent = 3 * i;
        w.leftAngle = 0.1 * i;
        w.rightAngle = 0.2 * i;
        detected.push_back(w);
        model.windowImages.push_back(std::make_unique<QImage>(i + 1, 1, QImage::Format_RGB32));
    }
    model.detectedWindows = {detected};
    model.windows = {detected};
    model.rows = 1;
    model.cols = 3;
    for (int i = 0; i < 3; ++i) {
        model.windows[0][std::size_t(i)].sourceIndex = i;
        model.currentImages.push_back(model.windowImages[std::size_t(i)].get());
        model.imageKeys.push_back(i);
    }
}

// Everything restructuring may change, for "nothing changed" checks.
QString snapshot(const QWindowData2D &model)
{
    QString text;
    for (const auto &group : model.windows)
        text += describe(group) + "\n--\n";
    for (std::size_t i = 0; i < model.currentImages.size(); ++i)
        text += QString("%1:%2 ").arg(quintptr(model.currentImages[i])).arg(model.imageKeys.at(i));
    return text + QString(" %1x%2").arg(model.rows).arg(model.cols);
}

} // namespace

class TestRestructure : public QObject
{
    Q_OBJECT

private slots:
    void badCountsChangeNothing_data();
    void badCountsChangeNothing();
    void latticeExample();
    void latticeDrawsInCellOrder();
    void exactFillHasNoGap();
    void gapsRoundHalfUp();
    void detectedShapeRestores();
    void oneGroupAfterwards();
    void incompleteGroupZero_data();
    void incompleteGroupZero();
    void nothingToDrawFrom();
    void sourceBeyondImagesShowsNothing();
    void zeroSizeCellIsLaidOut();
    void hugeLatticeRefused();
    void boundsAtEdgeOfInt();
    void saveAndLoadAfterRestructuring();
};

void TestRestructure::badCountsChangeNothing_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("reason"); // why latticeFits refuses the counts
    const QString tooFew = "a grid needs at least one row and one column";
    QTest::newRow("0 rows") << 0 << 2 << -1 << tooFew;
    QTest::newRow("0 columns") << 1 << 0 << -1 << tooFew;
    QTest::newRow("negative") << -3 << -1 << -1 << tooFew;
    QTest::newRow("too many rows") << 2 << 1 << 0 // 240 > 200
                                   << "2 rows of 120 pixels do not fit into the grid bounds, 200 pixels high: "
                                      "1 row fits";
    QTest::newRow("too many columns") << 1 << 4 << 0 // 320 > 300
                                      << "4 columns of 80 pixels do not fit into the grid bounds, 300 pixels "
                                         "wide: 3 columns fit";
    QTest::newRow("int max") << INT_MAX << INT_MAX << 0
                             << QString("%1 rows of 120 pixels do not fit into the grid bounds, 200 pixels high: "
                                        "1 row fits; %1 columns of 80 pixels do not fit into the grid bounds, "
                                        "300 pixels wide: 3 columns fit").arg(INT_MAX);
}

void TestRestructure::badCountsChangeNothing()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(int, result);
    QFETCH(QString, reason);
    QWindowData2D model;
    fillModel(model);
    model.windows[0][1].blindExtent = 99;
    const QString before = snapshot(model);
    QCOMPARE(model.restructureGrid(rows, cols), result);
    QCOMPARE(snapshot(model), before);
    Failure failure;
    QVERIFY(!model.latticeFits(rows, cols, &failure));
    QCOMPARE(QString::fromStdString(failure.reason), reason);
    // The bounds hold exactly 1 row of 3 columns.
    QVERIFY(model.latticeFits(1, 3));
    QVERIFY(!model.latticeFits(1, 4));
}

// 1 x 2 in 300 x 200 at (10, 20), cell 80 x 120: gaps 47 and 40.
void TestRestructure::latticeExample()
{
    QWindowData2D model;
    fillModel(model);
    QCOMPARE(model.restructureGrid(1, 2), 1);
    QCOMPARE(model.rows, 1);
    QCOMPARE(model.cols, 2);
    QCOMPARE(model.windows.size(), std::size_t(1));
    const std::vector<FacadeWindow> &list = model.windows[0];
    QCOMPARE(list.size(), std::size_t(2));
    QCOMPARE(QPoint(list[0].x, list[0].y), QPoint(57, 60));
    QCOMPARE(QPoint(list[1].x, list[1].y), QPoint(184, 60));
    QCOMPARE(list[1].col, 1);
    QCOMPARE(list[1].row, 0);
    QCOMPARE(model.currentImages.size(), std::size_t(2));
    QCOMPARE(model.imageKeys.size(), std::size_t(2));
}

// One rand() per cell, row by row; each window carries its source's values
// at its cell's corner, and shows the source's input image.
void TestRestructure::latticeDrawsInCellOrder()
{
    QWindowData2D model;
    fillModel(model);
    model.gridBounds = {QRect(0, 0, 1000, 1000)};
    model.windowTemplates = {QRect(0, 0, 100, 100)};
    std::srand(1234);
    std::vector<int> expected;
    for (int i = 0; i < 12; ++i)
        expected.push_back(std::rand() % 3);
    std::srand(1234);
    QCOMPARE(model.restructureGrid(3, 4), 1);
    const std::vector<FacadeWindow> &list = model.windows.at(0);
    QCOMPARE(list.size(), std::size_t(12));
    QCOMPARE(model.imageKeys, expected);
    // gapX = 600 / 5 = 120, gapY = 700 / 4 = 175.
    for (int i = 0; i < 12; ++i) {
        const FacadeWindow &w = list[std::size_t(i)];
        FacadeWindow source = model.detectedWindows[0][std::size_t(expected[std::size_t(i)])];
        source.x = 120 + (i % 4) * 220;
        source.y = 175 + (i / 4) * 275;
        source.col = i % 4;
        source.row = i / 4;
        source.sourceIndex = expected[std::size_t(i)];
        QCOMPARE(describe(w), describe(source));
        QCOMPARE(model.currentImages[std::size_t(i)], model.windowImages[std::size_t(expected[std::size_t(i)])].get());
    }
}

void TestRestructure::exactFillHasNoGap()
{
    QWindowData2D model;
    fillModel(model);
    model.gridBounds = {QRect(5, 7, 300, 240)};
    QCOMPARE(model.restructureGrid(2, 1), 1);
    const std::vector<FacadeWindow> &list = model.windows.at(0);
    QCOMPARE(QPoint(list.at(0).x, list.at(0).y), QPoint(5 + 110, 7));
    QCOMPARE(QPoint(list.at(1).x, list.at(1).y), QPoint(5 + 110, 7 + 120));
}

void TestRestructure::gapsRoundHalfUp()
{
    QWindowData2D model;
    fillModel(model);
    model.gridBounds = {QRect(0, 0, 83, 125)}; // gaps 3 / 2 = 1.5 and 5 / 2 = 2.5
    QCOMPARE(model.restructureGrid(1, 1), 1);
    QCOMPARE(QPoint(model.windows[0][0].x, model.windows[0][0].y), QPoint(2, 3));
}

// The detected shape brings back the detected windows, whatever was edited.
void TestRestructure::detectedShapeRestores()
{
    QWindowData2D model;
    fillModel(model);
    model.blindImages.resize(1);
    model.blindImages[0].push_back(std::make_unique<QImage>(9, 9, QImage::Format_RGB32));
    QCOMPARE(model.restructureGrid(1, 1), 1);
    model.windows[0][0].x += 13;
    model.windows[0][0].blindExtent = 44;
    model.currentImages[0] = model.blindImages[0][0].get();
    model.imageKeys[0] = 3;

    QCOMPARE(model.restructureGrid(1, 3), 1);
    std::vector<FacadeWindow> expected = model.detectedWindows[0];
    for (std::size_t i = 0; i < expected.size(); ++i)
        expected[i].sourceIndex = int(i);
    QCOMPARE(describe(model.windows.at(0)), describe(expected));
    QCOMPARE(model.imageKeys, std::vector<int>({0, 1, 2}));
    for (std::size_t i = 0; i < 3; ++i)
        QCOMPARE(model.currentImages[i], model.windowImages[i].get());
    QCOMPARE(model.rows, 1);
    QCOMPARE(model.cols, 3);
    QCOMPARE(model.detectedWindows.at(0).at(0).sourceIndex, -1);
}

void TestRestructure::oneGroupAfterwards()
{
    QWindowData2D model;
    QVERIFY(loadText(model, exampleGrid() + exampleGrid() + exampleGrid()));
    QCOMPARE(model.windows.size(), std::size_t(3));
    QCOMPARE(model.restructureGrid(1, 2), 1);
    QCOMPARE(model.windows.size(), std::size_t(1));
    QCOMPARE(model.detectedWindows.size(), std::size_t(3));
    QCOMPARE(model.gridBounds.size(), std::size_t(3));
}

// Group 0 without bounds, cell, rows or columns cannot be laid out.
void TestRestructure::incompleteGroupZero_data()
{
    QTest::addColumn<int>("dropped");
    QTest::newRow("bounds") << 0;
    QTest::newRow("cell") << 1;
    QTest::newRow("rows") << 2;
    QTest::newRow("columns") << 3;
}

void TestRestructure::incompleteGroupZero()
{
    QFETCH(int, dropped);
    QWindowData2D model;
    fillModel(model);
    switch (dropped) {
    case 0: model.gridBounds.clear(); break;
    case 1: model.windowTemplates.clear(); break;
    case 2: model.rowValues.clear(); break;
    default: model.colValues.clear(); break;
    }
    const QString before = snapshot(model);
    QCOMPARE(model.restructureGrid(1, 3), 0);
    QCOMPARE(model.restructureGrid(1, 1), 0);
    QCOMPARE(snapshot(model), before);
}

// No detected windows: a lattice has nothing to draw from, the detected
// shape is an empty grid.
void TestRestructure::nothingToDrawFrom()
{
    QWindowData2D model;
    fillModel(model);
    model.detectedWindows = {{}};
    const QString before = snapshot(model);
    QCOMPARE(model.restructureGrid(1, 1), 0);
    QCOMPARE(snapshot(model), before);
    model.detectedWindows.clear();
    QCOMPARE(model.restructureGrid(1, 2), 0);
    QCOMPARE(snapshot(model), before);

    QCOMPARE(model.restructureGrid(1, 3), 1);
    QCOMPARE(model.windows.size(), std::size_t(1));
    QVERIFY(model.windows[0].empty());
    QVERIFY(model.currentImages.empty());
    QVERIFY(model.imageKeys.empty());
}

// A grid file with more windows than loaded images: those windows get a null
// image entry, and nothing is read past the image list.
void TestRestructure::sourceBeyondImagesShowsNothing()
{
    QWindowData2D model;
    fillModel(model);
    model.windowImages.resize(2);
    model.currentImages.resize(2);
    model.imageKeys.resize(2);
    QCOMPARE(model.restructureGrid(1, 3), 1);
    QCOMPARE(model.currentImages.size(), std::size_t(3));
    QCOMPARE(model.currentImages[1], model.windowImages[1].get());
    QCOMPARE(model.currentImages[2], static_cast<QImage *>(nullptr));
    QCOMPARE(model.imageKeys, std::vector<int>({0, 1, 2}));

    // 1 x 2 is a lattice: every draw of window 2 shows nothing.
    std::srand(99);
    QCOMPARE(model.restructureGrid(1, 2), 1);
    for (std::size_t i = 0; i < 2; ++i) {
        const int k = model.imageKeys[i];
        QCOMPARE(model.currentImages[i], k < 2 ? model.windowImages[std::size_t(k)].get() : nullptr);
    }
}

// A cell of size 0 fits any bounds: the gaps share out the whole bounds.
void TestRestructure::zeroSizeCellIsLaidOut()
{
    QWindowData2D model;
    fillModel(model);
    model.windowTemplates = {QRect(0, 0, 0, 0)};
    QCOMPARE(model.restructureGrid(2, 2), 1);
    QCOMPARE(model.windows[0].size(), std::size_t(4));
    // 300 / 3 = 100 and 200 / 3 = 66.67 -> 67, from the corner (10, 20).
    QCOMPARE(model.windows[0][0].x, 110);
    QCOMPARE(model.windows[0][0].y, 87);
    QCOMPARE(model.windows[0][3].x, 210);
    QCOMPARE(model.windows[0][3].y, 154);
    model.windowTemplates = {QRect(0, 0, -5, 10)};
    QCOMPARE(model.restructureGrid(2, 2), 0);
}

// A lattice too large to draw is refused rather than allocated.
void TestRestructure::hugeLatticeRefused()
{
    QWindowData2D model;
    fillModel(model);
    model.gridBounds = {QRect(0, 0, 1000000, 1000000)};
    model.windowTemplates = {QRect(0, 0, 1, 1)};
    const QString before = snapshot(model);
    QCOMPARE(model.restructureGrid(100000, 100000), 0);
    QCOMPARE(snapshot(model), before);
    QCOMPARE(model.restructureGrid(100, 200), 1);
    QCOMPARE(model.windows[0].size(), std::size_t(20000));
}

// A lattice at the far end of the int range is laid out without overflow.
void TestRestructure::boundsAtEdgeOfInt()
{
    QWindowData2D model;
    fillModel(model);
    model.gridBounds = {QRect(INT_MAX - 99, INT_MAX - 99, 99, 99)};
    model.windowTemplates = {QRect(0, 0, 10, 10)};
    QCOMPARE(model.restructureGrid(3, 9), 1);
    // gaps: (99 - 90) / 10 = 0.9 and (99 - 30) / 4 = 17.25, rounded half up.
    const FacadeWindow &last = model.windows.at(0).back();
    QCOMPARE(QPoint(last.x, last.y), QPoint(INT_MAX - 98 + 8 * 11, INT_MAX - 82 + 2 * 27));
}

// The file holds the detected rows and columns with the new windows; reading
// it back takes rows and cols from those sections.
void TestRestructure::saveAndLoadAfterRestructuring()
{
    QWindowData2D model;
    fillModel(model);
    QCOMPARE(model.restructureGrid(1, 2), 1);
    const std::string text = savedText(model);

    QWindowData2D back;
    QVERIFY(loadText(back, text));
    QCOMPARE(back.rows, 1);
    QCOMPARE(back.cols, 3);
    QCOMPARE(back.rowValues, model.rowValues);
    QCOMPARE(back.colValues, model.colValues);
    QCOMPARE(back.gridBounds, model.gridBounds);
    QCOMPARE(back.windowTemplates, model.windowTemplates);
    std::vector<FacadeWindow> expected = model.windows[0];
    for (std::size_t i = 0; i < expected.size(); ++i) {
        expected[i].sourceIndex = int(i);
        expected[i].aux = asWritten(expected[i].aux);
        expected[i].leftAngle = asWritten(expected[i].leftAngle);
        expected[i].rightAngle = asWritten(expected[i].rightAngle);
    }
    QCOMPARE(describe(back.windows.at(0)), describe(expected));
    for (FacadeWindow &w : expected)
        w.sourceIndex = -1;
    QCOMPARE(describe(back.detectedWindows.at(0)), describe(expected));
}

QTEST_GUILESS_MAIN(TestRestructure)
#include "tst_restructure.moc"
