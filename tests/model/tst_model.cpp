#include "QWindowData2D.h"

#include "ModelBuilder.h"
#include "ModelTestUtil.h"

#include <QtTest>

#include <climits>
#include <functional>
#include <limits>
#include <cmath>
#include <cstdlib>
#include <sstream>

using namespace ModelTestUtil;

namespace {

constexpr double kPi = 3.1415926;

void setWindows(QWindowData2D &model, int count)
{
    std::vector<FacadeWindow> list;
    for (int i = 0; i < count; ++i) {
        FacadeWindow w = makeWindow(i, i, 10, 10, i, 0);
        w.leftAngle = 0.25 + i;
        w.rightAngle = 0.75 + i;
        list.push_back(w);
    }
    model.windows = {list};
}

// Loads H and the offsets through the reconstruction reader, which also
// computes the inverse the mapping back uses.
bool setHomography(QWindowData2D &model, const double h[3][3], int colMin, int rowMin)
{
    std::ostringstream text;
    text.precision(17);
    text << "#Camera K:\n1 0 0 0 1 0 0 0 1\n#Camera R:\n1 0 0 0 1 0 0 0 1\n"
         << "#Homography H for rectification\n"
         << "#x1 in rectified image, x2 in original image, then x2 = H * x1 \n";
    for (int r = 0; r < 3; ++r)
        text << h[r][0] << ' ' << h[r][1] << ' ' << h[r][2] << '\n';
    text << "#Offsets: col_min row_min\n" << colMin << ' ' << rowMin << '\n';
    std::istringstream in(text.str());
    return model.loadReconstruction(in);
}

} // namespace

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    void newModelIsEmpty();
    void randomAnglesAreWholeDegrees();
    void setShutterAngle_data();
    void setShutterAngle();
    void mapping_data();
    void mapping();
    void mappingStaysFiniteAtVanishingLine();
    void snapshotCoversEveryEditableField_data();
    void snapshotCoversEveryEditableField();
    void snapshotsCompareRealsByBits();
};

void TestModel::newModelIsEmpty()
{
    QWindowData2D model;
    QCOMPARE(model.caseKind, 0);
    QCOMPARE(model.rows, 0);
    QCOMPARE(model.cols, 0);
    QVERIFY(model.parent() == nullptr);
    QVERIFY(model.originalImage.isNull() && model.originalBackground.isNull());
    QVERIFY(model.rectifiedImage.isNull() && model.background.isNull());
    QVERIFY(model.leftShutterImage.isNull() && model.rightShutterImage.isNull());
    QVERIFY(model.windowImages.empty() && model.blindImages.empty());
    QVERIFY(model.currentImages.empty() && model.imageKeys.empty());
    QVERIFY(model.gridBounds.empty() && model.windowTemplates.empty());
    QVERIFY(model.detectedWindows.empty() && model.windows.empty());
    QVERIFY(model.rowValues.empty() && model.colValues.empty() && model.shutters.empty());

    std::srand(3);
    const int next = std::rand();
    std::srand(3);
    model.setRandomShutterAngles();
    QVERIFY(model.windows.empty());
    QCOMPARE(std::rand(), next); // no draw was spent
    model.setShutterAngle(1.0, true, false, 0);
    QVERIFY(model.windows.empty());
}

// Two draws per window, left first, whole degrees 0 to 179.
void TestModel::randomAnglesAreWholeDegrees()
{
    QWindowData2D model;
    setWindows(model, 500);
    model.caseKind = int(TestCaseKind::Blind); // not checked here
    std::srand(77);
    std::vector<int> draws;
    for (int i = 0; i < 1000; ++i)
        draws.push_back(std::rand() % 180);
    std::srand(77);
    model.setRandomShutterAngles();
    double largest = 0.0;
    for (std::size_t i = 0; i < 500; ++i) {
        const FacadeWindow &w = model.windows[0][i];
        QCOMPARE(w.leftAngle, draws[2 * i] * kPi / 180);
        QCOMPARE(w.rightAngle, draws[2 * i + 1] * kPi / 180);
        largest = std::max({largest, w.leftAngle, w.rightAngle});
        QVERIFY(w.leftAngle >= 0.0 && w.rightAngle >= 0.0);
    }
    QVERIFY(largest <= kPi * 179 / 180);
    QVERIFY(largest > kPi * 170 / 180); // 1000 draws reach near the top
}

void TestModel::setShutterAngle_data()
{
    QTest::addColumn<int>("caseKind");
    QTest::addColumn<bool>("left");
    QTest::addColumn<bool>("single");
    QTest::addColumn<int>("window");
    QTest::addColumn<QString>("changedLeft");  // one flag per window
    QTest::addColumn<QString>("changedRight");
    QTest::newRow("single left") << 2 << true << true << 1 << "010" << "000";
    QTest::newRow("single right") << 2 << false << true << 2 << "000" << "001";
    QTest::newRow("all left") << 2 << true << false << 1 << "111" << "000";
    QTest::newRow("all right, index ignored") << 2 << false << false << 99 << "000" << "111";
    QTest::newRow("blind case") << 1 << true << false << 0 << "000" << "000";
    QTest::newRow("nothing loaded") << 0 << false << true << 0 << "000" << "000";
    QTest::newRow("index -1") << 2 << true << true << -1 << "000" << "000";
    QTest::newRow("index past the end") << 2 << true << true << 3 << "000" << "000";
    QTest::newRow("index INT_MAX") << 2 << false << true << INT_MAX << "000" << "000";
}

void TestModel::setShutterAngle()
{
    QFETCH(int, caseKind);
    QFETCH(bool, left);
    QFETCH(bool, single);
    QFETCH(int, window);
    QFETCH(QString, changedLeft);
    QFETCH(QString, changedRight);
    QWindowData2D model;
    setWindows(model, 3);
    model.caseKind = caseKind;
    const double angle = 90 * kPi / 180;
    model.setShutterAngle(angle, left, single, window);
    for (int i = 0; i < 3; ++i) {
        const FacadeWindow &w = model.windows[0][std::size_t(i)];
        QCOMPARE(w.leftAngle, changedLeft[i] == '1' ? angle : 0.25 + i);
        QCOMPARE(w.rightAngle, changedRight[i] == '1' ? angle : 0.75 + i);
    }
}

void TestModel::mapping_data()
{
    QTest::addColumn<QVariantList>("h");
    QTest::addColumn<int>("colMin");
    QTest::addColumn<int>("rowMin");
    QTest::addColumn<QPoint>("rectified");
    QTest::addColumn<QPointF>("original");
    const QVariantList identity = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    QTest::newRow("identity with offsets") << identity << 5 << 7 << QPoint(10, 10) << QPointF(5, 3);
    QTest::newRow("scale by 2") << QVariantList{2, 0, 0, 0, 2, 0, 0, 0, 1} << 0 << 0 << QPoint(3, 4)
                                << QPointF(6, 8);
    QTest::newRow("translation") << QVariantList{1, 0, 30, 0, 1, -20, 0, 0, 1} << 2 << 3 << QPoint(12, 23)
                                 << QPointF(40, 0);
    // W = 0.5 * 4 + 2 = 4: (2 * 4 + 4, 3 * 2 + 8) / 4.
    QTest::newRow("projective") << QVariantList{2, 0, 4, 0, 3, 8, 0.5, 0, 2} << -1 << 0 << QPoint(3, 2)
                                << QPointF(3, 3.5);
}

void TestModel::mapping()
{
    QFETCH(QVariantList, h);
    QFETCH(int, colMin);
    QFETCH(int, rowMin);
    QFETCH(QPoint, rectified);
    QFETCH(QPointF, original);
    double matrix[3][3];
    for (int i = 0; i < 9; ++i)
        matrix[i / 3][i % 3] = h[i].toDouble();
    QWindowData2D model;
    QVERIFY(setHomography(model, matrix, colMin, rowMin));
    const QPointF there = model.rectifiedToOriginal(rectified);
    QVERIFY2(std::abs(there.x() - original.x()) < 1e-9 && std::abs(there.y() - original.y()) < 1e-9,
             qPrintable(QString("got %1, %2").arg(there.x()).arg(there.y())));
    if (original == original.toPoint()) {
        const QPointF back = model.originalToRectified(original.toPoint());
        QVERIFY2(std::abs(back.x() - rectified.x()) < 1e-9 && std::abs(back.y() - rectified.y()) < 1e-9,
                 qPrintable(QString("got %1, %2").arg(back.x()).arg(back.y())));
    }
}

// Points on or near the vanishing line give finite coordinates that fit int.
void TestModel::mappingStaysFiniteAtVanishingLine()
{
    const double h[3][3] = {{1, 0, 0}, {0, 1, 0}, {0.01, 0, 1}};
    QWindowData2D model;
    QVERIFY(setHomography(model, h, 0, 0));
    for (const QPoint &p : {QPoint(-100, 0), QPoint(-100, 5), QPoint(-101, 5), QPoint(-99, -5)}) {
        const QPointF q = model.rectifiedToOriginal(p);
        QVERIFY(std::isfinite(q.x()) && std::isfinite(q.y()));
        QVERIFY(std::abs(q.x()) <= 1e9 && std::abs(q.y()) <= 1e9);
    }
    QVERIFY(model.rectifiedToOriginal(QPoint(-100, 5)).y() > 1e8);
    QVERIFY(model.rectifiedToOriginal(QPoint(-101, 5)).y() < -1e2);
    // The inverse has the same line: original x = -100.
    const QPointF r = model.originalToRectified(QPoint(-100, 1));
    QVERIFY(std::isfinite(r.x()) && std::abs(r.x()) <= 1e9 && std::abs(r.y()) <= 1e9);
}

namespace {

using Edit = std::function<void(QWindowData2D &)>;

// One edit of each field the editable state holds, by the row's name.
const std::vector<std::pair<const char *, Edit>> &editsOfEachField()
{
    static const std::vector<std::pair<const char *, Edit>> edits = {
        {"gridBounds", [](QWindowData2D &m) { m.gridBounds[0].translate(1, 0); }},
        {"windowTemplates", [](QWindowData2D &m) { m.windowTemplates[0].setWidth(7); }},
        {"detectedWindows", [](QWindowData2D &m) { m.detectedWindows[0][1].y += 1; }},
        {"colValues", [](QWindowData2D &m) { m.colValues[0].push_back(99); }},
        {"rowValues", [](QWindowData2D &m) { m.rowValues[0][0] += 1; }},
        {"rows", [](QWindowData2D &m) { m.rows += 1; }},
        {"cols", [](QWindowData2D &m) { m.cols += 1; }},
        {"window position", [](QWindowData2D &m) { m.windows[0][0].x += 3; }},
        {"window blind", [](QWindowData2D &m) { m.windows[0][1].blindExtent += 5; }},
        {"window source", [](QWindowData2D &m) { m.windows[0][1].sourceIndex = 0; }},
        {"window aux", [](QWindowData2D &m) { m.windows[0][0].aux = 0.5; }},
        {"left angle", [](QWindowData2D &m) { m.windows[0][0].leftAngle = 0.25; }},
        {"right angle", [](QWindowData2D &m) { m.windows[0][1].rightAngle = 0.25; }},
        {"window count", [](QWindowData2D &m) { m.windows[0].pop_back(); }},
        {"shown image", [](QWindowData2D &m) { m.currentImages[0] = m.blindImages[0][3].get(); }},
        {"image keys", [](QWindowData2D &m) { m.imageKeys[1] = 7; }},
    };
    return edits;
}

std::string gridText(const QWindowData2D &model)
{
    std::ostringstream text;
    model.saveGridFile(text);
    return text.str();
}

std::unique_ptr<QWindowData2D> twoWindowCase()
{
    return ModelBuilder(TestCaseKind::Blind, 200, 100)
        .grid(QRect(10, 10, 180, 80), QSize(40, 60), {40}, {50, 140})
        .window(QRect(30, 20, 40, 60), 0, 0)
        .window(QRect(120, 20, 40, 60), 1, 0)
        .build();
}

} // namespace

// Each edit makes the snapshot differ from the one before it, and restoring
// the earlier snapshot undoes the edit: a field left out of the snapshot,
// the comparison or the restore fails its row.
void TestModel::snapshotCoversEveryEditableField_data()
{
    QTest::addColumn<int>("edit");
    for (std::size_t i = 0; i < editsOfEachField().size(); ++i)
        QTest::newRow(editsOfEachField()[i].first) << int(i);
}

void TestModel::snapshotCoversEveryEditableField()
{
    QFETCH(int, edit);
    const std::unique_ptr<QWindowData2D> model = twoWindowCase();
    const EditableState before = model->snapshot();
    QVERIFY(before == model->snapshot());
    const std::string gridBefore = gridText(*model);

    editsOfEachField()[std::size_t(edit)].second(*model);
    const EditableState after = model->snapshot();
    QVERIFY(after != before);

    model->restore(before);
    QVERIFY(model->snapshot() == before);
    QCOMPARE(gridText(*model), gridBefore);
    model->restore(after);
    QVERIFY(model->snapshot() == after);
}

// A grid file may hold NaN, which must not make a state differ from itself;
// the sign of a zero angle is a difference the grid text keeps.
void TestModel::snapshotsCompareRealsByBits()
{
    const std::unique_ptr<QWindowData2D> model = twoWindowCase();
    model->windows[0][0].aux = std::numeric_limits<double>::quiet_NaN();
    QVERIFY(model->snapshot() == model->snapshot());
    model->windows[0][0].leftAngle = 0.0;
    const EditableState zero = model->snapshot();
    model->windows[0][0].leftAngle = -0.0;
    QVERIFY(model->snapshot() != zero);
}

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
