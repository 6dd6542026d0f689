// The facade wall: OBJ layout, texture coordinates, triangle quality and the
// geometric marking of the wall around (and across) the window openings.
#include "ExportTestSupport.h"
#include "CommaLocale.h"
#include "FacadeWall.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>
#include <random>

Q_DECLARE_METATYPE(std::vector<Box>)
Q_DECLARE_METATYPE(FacadeWall::Polygons)

namespace {

constexpr double kDegrees = 180.0 / 3.14159265358979323846;

double signedArea(const std::array<double, 3> &a, const std::array<double, 3> &b, const std::array<double, 3> &c)
{
    return 0.5 * ((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]));
}

double smallestAngle(const std::array<double, 3> &a, const std::array<double, 3> &b, const std::array<double, 3> &c)
{
    const std::array<double, 3> *p[3] = {&a, &b, &c};
    double smallest = 180.0;
    for (int i = 0; i < 3; ++i) {
        const auto &o = *p[i];
        const auto &u = *p[(i + 1) % 3];
        const auto &w = *p[(i + 2) % 3];
        const double ux = u[0] - o[0], uy = u[1] - o[1], wx = w[0] - o[0], wy = w[1] - o[1];
        const double angle = std::atan2(std::abs(ux * wy - uy * wx), ux * wx + uy * wy) * kDegrees;
        smallest = std::min(smallest, angle);
    }
    return smallest;
}

// True when (x, y) lies within distance eps of an edge line of the outline or a box.
bool nearAnEdge(double x, double y, int width, int height, const std::vector<Box> &boxes, double eps)
{
    auto near = [&](double a, double b) { return std::abs(a - b) < eps; };
    if (near(x, 0) || near(x, width) || near(y, 0) || near(y, height))
        return true;
    for (const Box &b : boxes)
        if (near(x, b.minx) || near(x, b.maxx) || near(y, b.miny) || near(y, b.maxy))
            return true;
    return false;
}

bool isWallPoint(double x, double y, int width, int height, const std::vector<Box> &boxes)
{
    if (!(x > 0 && x < width && y > 0 && y < height))
        return false;
    for (const Box &b : boxes)
        if (x > b.minx && x < b.maxx && y > b.miny && y < b.maxy)
            return false;
    return true;
}

bool triangleHolds(const ObjData &obj, const std::vector<std::array<int, 2>> &face, double x, double y)
{
    const std::array<double, 3> p{x, y, 0};
    const auto &a = obj.v[std::size_t(face[0][0] - 1)];
    const auto &b = obj.v[std::size_t(face[1][0] - 1)];
    const auto &c = obj.v[std::size_t(face[2][0] - 1)];
    return signedArea(a, b, p) > 0 && signedArea(b, c, p) > 0 && signedArea(c, a, p) > 0;
}

// Checks the faces of a wall: corners valid and numbered alike for v and vt,
// counter-clockwise, area at most 500, smallest angle at least 20 degrees (within
// the rounding of printed coordinates), total area that of the wall, and every
// sampled wall point in exactly one triangle, every other point in none.
void checkWallFaces(const ObjData &obj, int width, int height, const std::vector<Box> &boxes, int samples)
{
    const int vertexCount = int(obj.v.size());
    double total = 0.0;
    for (const auto &face : obj.faces) {
        QCOMPARE(int(face.size()), 3);
        for (const auto &corner : face) {
            QVERIFY(corner[0] >= 1 && corner[0] <= vertexCount);
            QCOMPARE(corner[1], corner[0]);
        }
        const auto &a = obj.v[std::size_t(face[0][0] - 1)];
        const auto &b = obj.v[std::size_t(face[1][0] - 1)];
        const auto &c = obj.v[std::size_t(face[2][0] - 1)];
        const double area = signedArea(a, b, c);
        QVERIFY2(area > 0.0, "faces are counter-clockwise in (x, y)");
        QVERIFY2(area <= 500.0 + 1e-3, qPrintable(QString("area %1").arg(area)));
        const double angle = smallestAngle(a, b, c);
        QVERIFY2(angle >= 20.0 - 0.05, qPrintable(QString("smallest angle %1").arg(angle)));
        total += area;
    }
    const double expected = wallAreaOf(width, height, boxes);
    QVERIFY2(std::abs(total - expected) <= 0.05 + 1e-7 * expected,
             qPrintable(QString("wall area %1, expected %2").arg(total, 0, 'f', 4).arg(expected)));

    std::mt19937 random(20240611u);
    std::uniform_real_distribution<double> xs(-15.0, width + 15.0);
    std::uniform_real_distribution<double> ys(-15.0, height + 15.0);
    int checked = 0;
    for (int n = 0; n < samples; ++n) {
        const double x = xs(random);
        const double y = ys(random);
        if (nearAnEdge(x, y, width, height, boxes, 1e-3))
            continue;
        int holders = 0;
        for (const auto &face : obj.faces)
            holders += triangleHolds(obj, face, x, y) ? 1 : 0;
        const int wanted = isWallPoint(x, y, width, height, boxes) ? 1 : 0;
        QVERIFY2(holders == wanted, qPrintable(QString("(%1, %2) lies in %3 triangles").arg(x).arg(y).arg(holders)));
        ++checked;
    }
    QVERIFY(checked > samples * 2 / 3);
}

std::vector<QPointF> polygonPoints(int width, int height, const std::vector<Box> &boxes)
{
    std::vector<QPointF> points{QPointF(0, 0), QPointF(0, height), QPointF(width, height), QPointF(width, 0)};
    for (const Box &b : boxes) {
        points.emplace_back(b.minx, b.miny);
        points.emplace_back(b.maxx, b.miny);
        points.emplace_back(b.maxx, b.maxy);
        points.emplace_back(b.minx, b.maxy);
    }
    return points;
}

} // namespace

class TestFacadeWall : public QObject
{
    Q_OBJECT

private slots:
    void wallInvariants_data();
    void wallInvariants();
    void randomLayouts();
    void obliqueOpenings();
    void tooFewOrBadPoints_data();
    void tooFewOrBadPoints();
    void numberingIsTrianglesAndRepeatable();
    void fileNames_data();
    void fileNames();
    void filesThatCannotBeCreated();
    void shortShutterListExportsWhatItHas();
    void decimalPointWhateverTheLocale();
};

void TestFacadeWall::wallInvariants_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<std::vector<Box>>("boxes");

    QTest::newRow("no windows") << 200 << 150 << std::vector<Box>{};
    QTest::newRow("windows inside") << 300 << 200 << latticeBoxes(2, 3, 100, 100, 40, 60);
    QTest::newRow("crossing the outline")
        << 200 << 150 << std::vector<Box>{{-20, 30, 40, 80}, {180, -10, 220, 40}, {90, 120, 130, 170}};
    QTest::newRow("covering a corner and reaching far out")
        << 200 << 150 << std::vector<Box>{{-50, -50, 30, 30}, {100, 60, 400, 90}};
    QTest::newRow("overlapping") << 200 << 150 << std::vector<Box>{{20, 20, 80, 80}, {50, 50, 120, 100}};
    QTest::newRow("one inside another") << 200 << 150 << std::vector<Box>{{20, 20, 120, 120}, {40, 40, 60, 60}};
    QTest::newRow("shared edge") << 200 << 150 << std::vector<Box>{{20, 20, 60, 80}, {60, 20, 100, 80}};
    QTest::newRow("partly shared edge") << 200 << 150 << std::vector<Box>{{20, 20, 60, 80}, {60, 40, 100, 120}};
    QTest::newRow("shared corner") << 200 << 150 << std::vector<Box>{{20, 20, 60, 60}, {60, 60, 100, 100}};
    QTest::newRow("four windows around one corner")
        << 200 << 150 << std::vector<Box>{{20, 20, 60, 60}, {60, 60, 100, 100}, {60, 20, 100, 60}, {20, 60, 60, 100}};
    QTest::newRow("the same window twice") << 200 << 150 << std::vector<Box>{{30, 30, 90, 90}, {30, 30, 90, 90}};
    QTest::newRow("on the outline edge") << 200 << 150 << std::vector<Box>{{0, 20, 40, 60}, {160, 110, 200, 150}};
    QTest::newRow("zero width window") << 200 << 150 << std::vector<Box>{{50, 20, 50, 90}, {100, 40, 140, 40}};
    QTest::newRow("window covering the facade") << 100 << 80 << std::vector<Box>{{-1, -1, 101, 81}};
    QTest::newRow("thin gap between windows") << 200 << 150 << std::vector<Box>{{20, 20, 60, 120}, {61, 20, 100, 120}};
    QTest::newRow("windows crossing each other") << 200 << 150 << std::vector<Box>{{20, 40, 120, 60}, {60, 0, 80, 140}};
    QTest::newRow("flat window across the outline beside a corner window")
        << 100 << 100 << std::vector<Box>{{-20, 60, 10, 60}, {0, 0, 40, 20}};
    QTest::newRow("small facade, windows reaching far outside")
        << 200 << 100 << std::vector<Box>{{150, 50, 70000, 60}, {150, 50, 160, 70000}};
    QTest::newRow("lattice 4 x 5") << 1000 << 800 << latticeBoxes(4, 5, 200, 200, 80, 120);
}

void TestFacadeWall::wallInvariants()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(std::vector<Box>, boxes);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto model = makeShutterModel(width, height, boxes);
    const QString objPath = dir.filePath("wall.obj");
    QVERIFY(model->writeFacadeObj(objPath.toStdString()));

    ObjData obj;
    QVERIFY(readObj(objPath, obj));
    QVERIFY(obj.lines.size() >= 4);
    QCOMPARE(obj.lines[0], QString("mtllib wall.mtl"));
    QCOMPARE(obj.lines[1], QString("usemtl materialFacade"));
    QCOMPARE(obj.lines[2], QString("v 0.000000 0.000000 1.000000"));
    QCOMPARE(obj.lines[3], QString("vt 0.000000 1.000000"));
    QCOMPARE(fileBytes(dir.filePath("wall.mtl")), QByteArray("newmtl materialFacade\nmap_Kd materialFacade.png\n"));
    QCOMPARE(QImage(dir.filePath("materialFacade.png")).size(), QSize(width, height));

    // v and vt alternate, then faces only.
    const int vertexCount = int(obj.v.size());
    QCOMPARE(int(obj.vt.size()), vertexCount);
    for (int i = 0; i < vertexCount; ++i) {
        QVERIFY2(obj.lines[2 + 2 * i].startsWith("v "), qPrintable(obj.lines[2 + 2 * i]));
        QVERIFY(obj.lines[3 + 2 * i].startsWith("vt "));
    }
    QCOMPARE(obj.lines.size(), 2 + 2 * vertexCount + int(obj.faces.size()));

    // The polygon points come first, in order.
    const std::vector<QPointF> points = polygonPoints(width, height, boxes);
    QVERIFY(vertexCount >= int(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        QCOMPARE(obj.v[i][0], points[i].x());
        QCOMPARE(obj.v[i][1], points[i].y());
    }
    // Texture coordinates: clamped, v flipped; every z is 1.
    for (int i = 0; i < vertexCount; ++i) {
        const auto &p = obj.v[std::size_t(i)];
        const auto &t = obj.vt[std::size_t(i)];
        QCOMPARE(p[2], 1.0);
        QVERIFY(t[0] >= 0.0 && t[0] <= 1.0 && t[1] >= 0.0 && t[1] <= 1.0);
        QVERIFY(std::abs(t[0] - std::clamp(p[0] / width, 0.0, 1.0)) < 1e-6);
        QVERIFY(std::abs(t[1] - (1.0 - std::clamp(p[1] / height, 0.0, 1.0))) < 1e-6);
    }

    checkWallFaces(obj, width, height, boxes, 1500);
}

void TestFacadeWall::randomLayouts()
{
    // Windows anywhere: crossing the outline and each other, touching, flat.
    std::mt19937 random(5u);
    std::uniform_int_distribution<int> count(1, 9), corner(-15, 115), size(0, 45);
    QTemporaryDir dir;
    for (int layout = 0; layout < 60; ++layout) {
        std::vector<Box> boxes;
        const int n = count(random);
        for (int i = 0; i < n; ++i) {
            const int x = corner(random), y = corner(random);
            boxes.push_back(Box{x, y, x + size(random), y + size(random)});
        }
        auto model = makeShutterModel(100, 100, boxes);
        const QString objPath = dir.filePath(QString("layout%1.obj").arg(layout));
        QVERIFY(model->writeFacadeObj(objPath.toStdString()));
        ObjData obj;
        QVERIFY(readObj(objPath, obj));
        checkWallFaces(obj, 100, 100, boxes, 300);
        if (QTest::currentTestFailed()) {
            for (const Box &b : boxes)
                qWarning("window %d %d %d %d", b.minx, b.miny, b.maxx, b.maxy);
            return;
        }
    }
}

void TestFacadeWall::obliqueOpenings()
{
    // Openings of any shape: every face lies inside the outline and outside
    // every opening (even-odd rule), and every such point is covered once.
    std::mt19937 random(11u);
    std::uniform_real_distribution<double> coordinate(-10.0, 110.0);
    std::uniform_real_distribution<double> sample(-5.0, 105.0);
    std::uniform_int_distribution<int> corners(3, 5), openings(1, 4);
    const auto inside = [](const std::vector<QPointF> &polygon, double x, double y) {
        bool in = false;
        for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++)
            if ((polygon[i].y() > y) != (polygon[j].y() > y)
                && x < polygon[j].x() + (y - polygon[j].y()) * (polygon[i].x() - polygon[j].x()) / (polygon[i].y() - polygon[j].y()))
                in = !in;
        return in;
    };
    const auto wall = [&](const FacadeWall::Polygons &polygons, double x, double y) {
        if (!inside(polygons[0], x, y))
            return false;
        for (std::size_t k = 1; k < polygons.size(); ++k)
            if (inside(polygons[k], x, y))
                return false;
        return true;
    };
    const auto nearEdge = [](const FacadeWall::Polygons &polygons, double x, double y) {
        for (const auto &polygon : polygons)
            for (std::size_t j = 0; j < polygon.size(); ++j) {
                const QPointF a = polygon[j], b = polygon[(j + 1) % polygon.size()];
                const double ex = b.x() - a.x(), ey = b.y() - a.y();
                const double t = std::clamp(((x - a.x()) * ex + (y - a.y()) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
                if (std::hypot(a.x() + t * ex - x, a.y() + t * ey - y) < 1e-3)
                    return true;
            }
        return false;
    };
    QWindowData2D model;
    for (int layout = 0; layout < 40; ++layout) {
        FacadeWall::Polygons polygons{{QPointF(0, 0), QPointF(0, 100), QPointF(100, 100), QPointF(100, 0)}};
        for (int k = openings(random); k > 0; --k) {
            std::vector<QPointF> polygon;
            for (int c = corners(random); c > 0; --c)
                polygon.emplace_back(coordinate(random), coordinate(random));
            polygons.push_back(polygon);
        }
        const std::unique_ptr<FacadePolyMesh> mesh(model.triangulateFacade(polygons));
        QVERIFY(mesh);
        std::vector<std::array<FacadePolyMesh::Point, 3>> triangles;
        for (const auto f : mesh->faces()) {
            std::array<FacadePolyMesh::Point, 3> t;
            int k = 0;
            for (const auto v : mesh->fv_range(f))
                t[std::size_t(k++)] = mesh->point(v);
            QCOMPARE(k, 3);
            const double cx = (t[0][0] + t[1][0] + t[2][0]) / 3.0, cy = (t[0][1] + t[1][1] + t[2][1]) / 3.0;
            QVERIFY(nearEdge(polygons, cx, cy) || wall(polygons, cx, cy));
            triangles.push_back(t);
        }
        for (int n = 0; n < 200; ++n) {
            const double x = sample(random), y = sample(random);
            if (nearEdge(polygons, x, y))
                continue;
            int holders = 0;
            for (const auto &t : triangles) {
                const auto side = [&](const FacadePolyMesh::Point &a, const FacadePolyMesh::Point &b) {
                    return (b[0] - a[0]) * (y - a[1]) - (x - a[0]) * (b[1] - a[1]) > 0;
                };
                holders += side(t[0], t[1]) && side(t[1], t[2]) && side(t[2], t[0]) ? 1 : 0;
            }
            QCOMPARE(holders, wall(polygons, x, y) ? 1 : 0);
        }
    }
}

void TestFacadeWall::tooFewOrBadPoints_data()
{
    QTest::addColumn<FacadeWall::Polygons>("polygons");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("no polygon") << FacadeWall::Polygons{};
    QTest::newRow("two points") << FacadeWall::Polygons{{QPointF(0, 0), QPointF(5, 5)}};
    QTest::newRow("two points in two polygons") << FacadeWall::Polygons{{QPointF(0, 0)}, {QPointF(5, 5)}};
    QTest::newRow("not a number")
        << FacadeWall::Polygons{{QPointF(0, 0), QPointF(0, 10), QPointF(nan, 10), QPointF(10, 0)}};
    QTest::newRow("infinite") << FacadeWall::Polygons{{QPointF(0, 0), QPointF(0, inf), QPointF(10, 10)}};
    QTest::newRow("beyond a mesh point's precision")
        << FacadeWall::Polygons{{QPointF(2e7, 0), QPointF(2e7, 100), QPointF(2e7 + 100, 100), QPointF(2e7 + 100, 0)}};
    QTest::newRow("far too large")
        << FacadeWall::Polygons{{QPointF(0, 0), QPointF(0, 1e6), QPointF(1e6, 1e6), QPointF(1e6, 0)}};
}

void TestFacadeWall::tooFewOrBadPoints()
{
    QFETCH(FacadeWall::Polygons, polygons);
    QWindowData2D model;
    const std::unique_ptr<FacadePolyMesh> mesh(model.triangulateFacade(polygons));
    QVERIFY(!mesh);
}

void TestFacadeWall::numberingIsTrianglesAndRepeatable()
{
    // Duplicate points (a repeated outline corner, a window sharing outline
    // corners) keep their own numbers and stay unused; collinear input works.
    const FacadeWall::Polygons polygons{
        {QPointF(0, 0), QPointF(0, 0), QPointF(0, 90), QPointF(120, 90), QPointF(120, 0)},
        {QPointF(0, 0), QPointF(30, 0), QPointF(30, 30), QPointF(0, 30)},
        {QPointF(60, 40), QPointF(90, 40), QPointF(90, 70), QPointF(60, 70)}};
    const int inputCount = 13;
    QWindowData2D model;
    std::unique_ptr<FacadePolyMesh> first(model.triangulateFacade(polygons));
    QVERIFY(first);
    for (int repeat = 0; repeat < 3; ++repeat) {
        std::unique_ptr<FacadePolyMesh> again(model.triangulateFacade(polygons));
        QVERIFY(again);
        QCOMPARE(again->n_vertices(), first->n_vertices());
        QCOMPARE(again->n_faces(), first->n_faces());
        for (const auto v : first->vertices())
            QCOMPARE(again->point(v), first->point(v));
        for (const auto f : first->faces()) {
            auto a = first->cfv_begin(f);
            auto b = again->cfv_begin(FacadePolyMesh::FaceHandle(f.idx()));
            for (int k = 0; k < 3; ++k, ++a, ++b)
                QCOMPARE(b->idx(), a->idx());
        }
    }
    int k = 0;
    for (const auto &polygon : polygons)
        for (const QPointF &p : polygon) {
            const auto point = first->point(FacadePolyMesh::VertexHandle(k++));
            QCOMPARE(double(point[0]), p.x());
            QCOMPARE(double(point[1]), p.y());
        }
    // Later copies of a point are not used by any face; the first copy is.
    QVERIFY(first->is_isolated(FacadePolyMesh::VertexHandle(1)));
    QVERIFY(first->is_isolated(FacadePolyMesh::VertexHandle(5)));
    QVERIFY(!first->is_isolated(FacadePolyMesh::VertexHandle(2)));
    // Added points follow in x, then y order, each distinct from the input points.
    for (int i = inputCount; i < int(first->n_vertices()); ++i) {
        const auto p = first->point(FacadePolyMesh::VertexHandle(i));
        for (int j = 0; j < inputCount; ++j)
            QVERIFY(p != first->point(FacadePolyMesh::VertexHandle(j)));
        if (i > inputCount) {
            const auto q = first->point(FacadePolyMesh::VertexHandle(i - 1));
            QVERIFY(q[0] < p[0] || (q[0] == p[0] && q[1] < p[1]));
        }
    }
    QVERIFY(int(first->n_vertices()) > inputCount);
    for (const auto f : first->faces())
        QCOMPARE(first->valence(f), 3u);

    // Collinear points: no triangle, but no failure either.
    std::unique_ptr<FacadePolyMesh> line(
        model.triangulateFacade({{QPointF(0, 0), QPointF(5, 5), QPointF(10, 10)}}));
    QVERIFY(line);
    QCOMPARE(int(line->n_vertices()), 3);
    QCOMPARE(int(line->n_faces()), 0);
}

void TestFacadeWall::fileNames_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("mtl");
    QTest::addColumn<QString>("mtllib");
    QTest::newRow("with extension") << "scene.obj" << "scene.mtl" << "mtllib scene.mtl";
    QTest::newRow("without extension") << "out" << "out.mtl" << "mtllib out.mtl";
    QTest::newRow("two dots") << "a.b.obj" << "a.b.mtl" << "mtllib a.b.mtl";
    QTest::newRow("dot in a folder name") << "dir.v2/out" << "dir.v2/out.mtl" << "mtllib out.mtl";
}

void TestFacadeWall::fileNames()
{
    QFETCH(QString, chosen);
    QFETCH(QString, mtl);
    QFETCH(QString, mtllib);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("dir.v2"));
    auto model = makeShutterModel(60, 40, {{10, 10, 30, 30}});
    QVERIFY(model->saveFacadeToMesh(dir.filePath(chosen).toStdString()));
    ObjData obj;
    QVERIFY(readObj(dir.filePath(chosen), obj));
    QCOMPARE(obj.lines.value(0), mtllib);
    QVERIFY(QFileInfo::exists(dir.filePath(mtl)));
    const QString folder = QFileInfo(dir.filePath(chosen)).path();
    for (const char *name : {"materialFacade.png", "window_0.obj", "leftshutter_0.obj", "rightshutter.png"})
        QVERIFY2(QFileInfo::exists(folder + "/" + name), name);
}

void TestFacadeWall::filesThatCannotBeCreated()
{
    QTemporaryDir dir;
    auto model = makeShutterModel(60, 40, {{10, 10, 30, 30}});

    // No such folder: nothing is written, and no window files follow.
    QVERIFY(!model->saveFacadeToMesh(dir.filePath("missing/wall.obj").toStdString()));
    QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    // The MTL name is taken by a folder: false, an empty OBJ remains.
    QVERIFY(QDir(dir.path()).mkdir("wall.mtl"));
    QVERIFY(!model->saveFacadeToMesh(dir.filePath("wall.obj").toStdString()));
    QCOMPARE(fileBytes(dir.filePath("wall.obj")), QByteArray());
    QVERIFY(!QFileInfo::exists(dir.filePath("window_0.obj")));

    // A window file that cannot be created fails the whole export.
    QTemporaryDir other;
    QVERIFY(QDir(other.path()).mkdir("window_0.mtl"));
    QVERIFY(!model->saveFacadeToMesh(other.filePath("wall.obj").toStdString()));
    QVERIFY(QFileInfo(other.filePath("wall.obj")).size() > 0);
    QVERIFY(!QFileInfo::exists(other.filePath("leftshutter_0.obj")));

    // A model without a facade image has nothing to export.
    QWindowData2D empty;
    QVERIFY(!empty.writeFacadeObj(other.filePath("empty.obj").toStdString()));
    QVERIFY(!QFileInfo::exists(other.filePath("empty.obj")));
}

void TestFacadeWall::shortShutterListExportsWhatItHas()
{
    QTemporaryDir dir;
    auto model = makeShutterModel(300, 100, {{10, 10, 50, 60}, {110, 10, 150, 60}, {210, 10, 250, 60}});
    model->shutters.pop_back(); // as after a restructuring to more windows than were detected
    QVERIFY(model->saveFacadeToMesh(dir.filePath("wall.obj").toStdString()));
    ObjData obj;
    QVERIFY(readObj(dir.filePath("wall.obj"), obj));
    // Two openings only: the third window's rectangle is wall.
    const std::vector<Box> exported{{10, 10, 50, 60}, {110, 10, 150, 60}};
    double total = 0.0;
    for (const auto &face : obj.faces)
        total += signedArea(obj.v[std::size_t(face[0][0] - 1)], obj.v[std::size_t(face[1][0] - 1)],
                            obj.v[std::size_t(face[2][0] - 1)]);
    QVERIFY(std::abs(total - wallAreaOf(300, 100, exported)) < 0.05);
    QVERIFY(obj.v.size() >= 12);
    QCOMPARE(obj.v[8][0], 110.0);
    QCOMPARE(obj.v[11][1], 60.0);
    QVERIFY(QFileInfo::exists(dir.filePath("window_1.obj")));
    QVERIFY(!QFileInfo::exists(dir.filePath("window_2.obj")));
    QVERIFY(!QFileInfo::exists(dir.filePath("leftshutter_2.obj")));
}

void TestFacadeWall::decimalPointWhateverTheLocale()
{
    // Skip where no locale with a decimal comma can be made.
    CommaLocale comma;
    if (!comma.enter())
        QSKIP("no locale with a decimal comma could be made");

    QTemporaryDir dir;
    auto model = makeShutterModel(60, 40, {{10, 10, 30, 30}}, 0.3, 0.3);
    const bool saved = model->saveFacadeToMesh(dir.filePath("wall.obj").toStdString());
    comma.leave();
    QVERIFY(saved);
    const QByteArray wall = fileBytes(dir.filePath("wall.obj"));
    QVERIFY(wall.contains("v 0.000000 0.000000 1.000000\nvt 0.000000 1.000000\n"));
    QVERIFY(!wall.contains(','));
    QVERIFY(!fileBytes(dir.filePath("leftshutter_0.obj")).contains(','));
}

QTEST_GUILESS_MAIN(TestFacadeWall)
#include "tst_facadewall.moc"
