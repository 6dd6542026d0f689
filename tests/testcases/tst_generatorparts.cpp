// The painting and camera parts of the test-case generator: matrices and
// homographies, the placed camera and its H, pictures and their sampling,
// deterministic noise, leaf geometry and texture mapping, blinds.
#include "Camera.h"
#include "CaseDesign.h"
#include "Geometry.h"
#include "Noise.h"
#include "Raster.h"
#include "ShutterArt.h"
#include "WindowArt.h"

#include <QtTest>

#include <cmath>

using namespace CaseArt;
using namespace TestCases;

Q_DECLARE_METATYPE(CaseArt::Mat3)

namespace {

Mat3 matrix(std::initializer_list<double> values)
{
    Mat3 m;
    auto it = values.begin();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m.m[std::size_t(i)][std::size_t(j)] = *it++;
    return m;
}

double maxDifference(const Mat3 &a, const Mat3 &b)
{
    double d = 0.0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            d = std::max(d, std::abs(a.m[std::size_t(i)][std::size_t(j)] - b.m[std::size_t(i)][std::size_t(j)]));
    return d;
}

bool near(const Vec2 &a, double x, double y, double tolerance)
{
    return std::abs(a.x - x) <= tolerance && std::abs(a.y - y) <= tolerance;
}

Rgb red() { return {1.0f, 0.0f, 0.0f}; }
Rgb blue() { return {0.0f, 0.0f, 1.0f}; }

bool isRed(const Rgb &c) { return c.r > 0.8f && c.b < 0.2f; }
bool isBlue(const Rgb &c) { return c.b > 0.8f && c.r < 0.2f; }

// Mean absolute difference of two equally sized pictures over rows [y0, y1).
double rowDifference(const Raster &a, const Raster &b, int y0, int y1)
{
    double sum = 0.0;
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(y1, a.height()); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const Rgb &p = a.at(x, y);
            const Rgb &q = b.at(x, y);
            sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
            n += 3;
        }
    return n ? sum / n : 0.0;
}

} // namespace

class TestGeneratorParts : public QObject
{
    Q_OBJECT

private slots:
    void inverse_data();
    void inverse();
    void squareToQuadHitsCorners_data();
    void squareToQuadHitsCorners();
    void squareToQuadRefusesDegenerateQuads();

    void cameraOfEveryCase_data();
    void cameraOfEveryCase();
    void rotationLooksAsAsked();

    void rasterSampling();
    void rasterCropPasteMirror();
    void rasterToImageRoundsAndClamps();

    void pcgIsDeterministic();
    void pcgRangeStaysInBounds();
    void noiseStaysInRangeAndIsSmooth();
    void noiseFieldFollowsTheNoise();

    void leafAtClosedAndFlatAngles_data();
    void leafAtClosedAndFlatAngles();
    void leafStandsOutTowardsTheCamera();
    void leafTextureHingeEdgeLiesOnTheHinge_data();
    void leafTextureHingeEdgeLiesOnTheHinge();

    void blindCoversFromTheTop_data();
    void blindCoversFromTheTop();
};

void TestGeneratorParts::inverse_data()
{
    QTest::addColumn<Mat3>("m");
    QTest::newRow("identity") << Mat3::identity();
    QTest::newRow("scale and shift") << matrix({2, 0, 5, 0, 3, -7, 0, 0, 1});
    QTest::newRow("projective") << matrix({1.2, 0.1, 300, -0.05, 0.9, 120, 2e-4, -1e-4, 1});
    QTest::newRow("rotation") << matrix({0, -1, 0, 1, 0, 0, 0, 0, 1});
}

void TestGeneratorParts::inverse()
{
    QFETCH(Mat3, m);
    QVERIFY(maxDifference(m * m.inverse(), Mat3::identity()) < 1e-12);
    QVERIFY(maxDifference(m.inverse() * m, Mat3::identity()) < 1e-12);
}

void TestGeneratorParts::squareToQuadHitsCorners_data()
{
    QTest::addColumn<QPolygonF>("quad");
    QTest::newRow("unit square") << QPolygonF({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    QTest::newRow("rectangle") << QPolygonF({{10, 20}, {50, 20}, {50, 80}, {10, 80}});
    QTest::newRow("trapezoid") << QPolygonF({{0, 0}, {40, 5}, {40, 35}, {0, 40}});
    QTest::newRow("mirrored") << QPolygonF({{40, 0}, {0, 0}, {0, 40}, {40, 40}});
    QTest::newRow("general") << QPolygonF({{3, 4}, {61, -2}, {70, 55}, {-5, 47}});
}

void TestGeneratorParts::squareToQuadHitsCorners()
{
    QFETCH(QPolygonF, quad);
    std::array<Vec2, 4> corners;
    for (int i = 0; i < 4; ++i)
        corners[std::size_t(i)] = {quad[i].x(), quad[i].y()};
    Mat3 h;
    QVERIFY(squareToQuad(corners, &h));
    const double unit[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i)
        QVERIFY2(near(applyHomography(h, unit[i][0], unit[i][1]), quad[i].x(), quad[i].y(), 1e-9),
                 qPrintable(QString("corner %1").arg(i)));
    // The centre of the square lands where the quad's diagonals cross.
    const Vec2 c = applyHomography(h, 0.5, 0.5);
    const QLineF d1(quad[0], quad[2]);
    const QLineF d2(quad[1], quad[3]);
    QPointF crossing;
    QCOMPARE(d1.intersects(d2, &crossing), QLineF::BoundedIntersection);
    QVERIFY(near(c, crossing.x(), crossing.y(), 1e-9));
}

void TestGeneratorParts::squareToQuadRefusesDegenerateQuads()
{
    Mat3 h = Mat3::identity();
    const std::array<Vec2, 4> line = {Vec2{0, 0}, Vec2{1, 1}, Vec2{2, 2}, Vec2{3, 3}};
    QVERIFY(!squareToQuad(line, &h));
    const std::array<Vec2, 4> point = {Vec2{5, 5}, Vec2{5, 5}, Vec2{5, 5}, Vec2{5, 5}};
    QVERIFY(!squareToQuad(point, &h));
    QCOMPARE(maxDifference(h, Mat3::identity()), 0.0); // left untouched
}

void TestGeneratorParts::cameraOfEveryCase_data()
{
    QTest::addColumn<int>("index");
    const std::vector<CaseDesign> cases = allCases();
    for (std::size_t i = 0; i < cases.size(); ++i)
        QTest::newRow(cases[i].fileName.c_str()) << int(i);
}

// H must be exactly K [r1 r2 t] applied to the wall point of a rectified
// pixel (minus the offsets), and map back through its inverse.
void TestGeneratorParts::cameraOfEveryCase()
{
    QFETCH(int, index);
    const CaseDesign design = allCases()[std::size_t(index)];
    const int w = design.layout.width();
    const int h = design.layout.height();
    const CameraModel cam = placeCamera(design.camera, w, h, design.pixelScale);
    const Mat3 H = cam.homography();
    QCOMPARE(H.m[2][2], 1.0);
    QVERIFY(cam.colMin != 0 || cam.rowMin != 0);
    Pcg32 rng(42);
    for (int k = 0; k < 50; ++k) {
        const double px = rng.uniform(0.0, w);
        const double py = rng.uniform(0.0, h);
        const Vec2 direct = cam.project(cam.wallPoint(px, py));
        const Vec2 viaH = applyHomography(H, px - cam.colMin, py - cam.rowMin);
        QVERIFY(near(direct, viaH.x, viaH.y, 1e-6));
        const Vec2 back = cam.rectifiedPosition(cam.wallPoint(px, py));
        QVERIFY(near(back, px, py, 1e-6));
    }
    // The whole facade is in front of the camera and inside the photograph,
    // with room for its surroundings.
    const double xs[2] = {0.0, double(w)};
    const double ys[2] = {0.0, double(h)};
    for (double x : xs)
        for (double y : ys) {
            QVERIFY(cam.depth(cam.wallPoint(x, y)) > 0.0);
            const Vec2 q = cam.project(cam.wallPoint(x, y));
            QVERIFY2(q.x > 0.0 && q.y > 0.0 && q.x < design.camera.photoWidth && q.y < design.camera.photoHeight,
                     qPrintable(QString("corner at %1, %2").arg(q.x).arg(q.y)));
        }
    // The camera stands in front of the wall, above the street.
    const Vec3 c = cam.centre();
    QVERIFY(c.z < 0.0);
    QVERIFY(c.y < h * design.pixelScale - 1.0);
}

void TestGeneratorParts::rotationLooksAsAsked()
{
    const double cases[][2] = {{18.0, 5.0}, {-14.0, 6.0}, {22.0, 0.0}, {0.0, -3.0}};
    for (const auto &c : cases) {
        const Mat3 r = rotationFromYawPitch(c[0], c[1]);
        QVERIFY(maxDifference(r * r.transposed(), Mat3::identity()) < 1e-12);
        QVERIFY(std::abs(r.determinant() - 1.0) < 1e-12);
        const Vec3 f = r.row(2);
        QVERIFY(std::abs(std::atan2(f.x, f.z) * 180.0 / M_PI - c[0]) < 1e-9);
        QVERIFY(std::abs(std::asin(-f.y) * 180.0 / M_PI - c[1]) < 1e-9);
        QVERIFY(std::abs(r.row(0).y) < 1e-12); // no roll: the camera's x axis stays level
    }
}

void TestGeneratorParts::rasterSampling()
{
    Raster r(2, 2);
    r.at(0, 0) = {0.0f, 0.0f, 0.0f};
    r.at(1, 0) = {1.0f, 0.0f, 0.0f};
    r.at(0, 1) = {0.0f, 1.0f, 0.0f};
    r.at(1, 1) = {1.0f, 1.0f, 1.0f};
    const Rgb centre = r.sample(1.0, 1.0);
    QCOMPARE(centre.r, 0.5f);
    QCOMPARE(centre.g, 0.5f);
    QCOMPARE(centre.b, 0.25f);
    QCOMPARE(r.sample(1.5, 0.5).r, 1.0f);
    QCOMPARE(r.sample(0.5, 1.5).g, 1.0f);
    // Far outside: the nearest edge pixel, never a read past the picture.
    QCOMPARE(r.sample(-100.0, -100.0).r, 0.0f);
    QCOMPARE(r.sample(100.0, 100.0).b, 1.0f);
    QCOMPARE(Raster().sample(1.0, 1.0).r, 0.0f);
}

void TestGeneratorParts::rasterCropPasteMirror()
{
    Raster r(5, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            r.at(x, y) = {float(x), float(y), 0.0f};
    const Raster c = r.crop(QRect(3, 2, 10, 10)); // clipped to the picture
    QCOMPARE(c.width(), 2);
    QCOMPARE(c.height(), 2);
    QCOMPARE(c.at(1, 1).r, 4.0f);
    QCOMPARE(c.at(1, 1).g, 3.0f);

    Raster target(3, 3, {9.0f, 9.0f, 9.0f});
    target.paste(r, -3, -2); // only r's pixels (3..4, 2..3) land inside
    QCOMPARE(target.at(0, 0).r, 3.0f);
    QCOMPARE(target.at(1, 1).r, 4.0f);
    QCOMPARE(target.at(1, 1).g, 3.0f);
    QCOMPARE(target.at(2, 2).r, 9.0f);

    const Raster m = r.mirrored();
    QCOMPARE(m.at(0, 1).r, 4.0f);
    QCOMPARE(m.at(4, 1).r, 0.0f);
    QCOMPARE(m.at(4, 1).g, 1.0f);
}

void TestGeneratorParts::rasterToImageRoundsAndClamps()
{
    Raster r(3, 1);
    r.at(0, 0) = {-0.5f, 0.5f, 2.0f};
    r.at(1, 0) = {1.0f / 255.0f * 100.4f, 1.0f / 255.0f * 100.6f, 0.0f};
    const QImage img = r.toImage();
    QCOMPARE(img.size(), QSize(3, 1));
    QCOMPARE(img.pixel(0, 0), qRgb(0, 128, 255));
    QCOMPARE(img.pixel(1, 0), qRgb(100, 101, 0));
    // Back from 8 bits and out again: the same picture, from any format.
    QCOMPARE(Raster::fromImage(img.convertToFormat(QImage::Format_RGB888)).toImage(), img);
}

void TestGeneratorParts::pcgIsDeterministic()
{
    Pcg32 a(7), b(7), c(8);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        const std::uint32_t x = a.next();
        QCOMPARE(x, b.next());
        differs = differs || x != c.next();
    }
    QVERIFY(differs);
    // The published first output of PCG32 for seed 42, stream 54.
    Pcg32 reference(42u, 54u);
    QCOMPARE(reference.next(), 0xa15c02b7u);
}

void TestGeneratorParts::pcgRangeStaysInBounds()
{
    Pcg32 rng(3);
    int seen[5] = {};
    for (int i = 0; i < 2000; ++i) {
        const int v = rng.range(-2, 2);
        QVERIFY(v >= -2 && v <= 2);
        ++seen[v + 2];
        const double u = rng.uniform(1.5, 2.5);
        QVERIFY(u >= 1.5 && u < 2.5);
    }
    for (int n : seen)
        QVERIFY(n > 300); // every value turns up
    QCOMPARE(rng.range(4, 4), 4);
    QCOMPARE(rng.range(5, 1), 5);
    QVERIFY(rng.range(INT_MIN, INT_MAX) >= INT_MIN); // no overflow in the span
}

void TestGeneratorParts::noiseStaysInRangeAndIsSmooth()
{
    Pcg32 rng(11);
    for (int i = 0; i < 500; ++i) {
        const double x = rng.uniform(-500.0, 500.0);
        const double y = rng.uniform(-500.0, 500.0);
        const float v = valueNoise(x, y, 5);
        QVERIFY(v >= 0.0f && v <= 1.0f);
        QVERIFY(std::abs(valueNoise(x + 1e-4, y, 5) - v) < 1e-3f);
        const float f = fractalNoise(x, y, 4, 0.5, 5);
        QVERIFY(f >= 0.0f && f <= 1.0f);
    }
    // Lattice points carry the hash value; other seeds give other noise.
    QCOMPARE(valueNoise(3.0, 4.0, 9), hashUnit(3, 4, 9));
    QVERIFY(valueNoise(3.5, 4.5, 9) != valueNoise(3.5, 4.5, 10));
}

void TestGeneratorParts::noiseFieldFollowsTheNoise()
{
    const NoiseField field(64, 48, 16.0, 8.0, 3, 0.5, 4, 21u);
    for (int y = 0; y <= 48; y += 4)
        for (int x = 0; x <= 64; x += 4)
            QVERIFY(std::abs(field.at(x, y) - fractalNoise(x / 16.0, y / 8.0, 3, 0.5, 21u)) < 1e-6f);
    // Outside its area the field repeats its border instead of reading past it.
    QCOMPARE(field.at(-50.0, -50.0), field.at(0.0, 0.0));
    const float far = field.at(1000.0, 1000.0);
    QVERIFY(far >= 0.0f && far <= 1.0f);
    QCOMPARE(NoiseField().at(3.0, 3.0), 0.5f);
}

void TestGeneratorParts::leafAtClosedAndFlatAngles_data()
{
    QTest::addColumn<bool>("left");
    QTest::addColumn<double>("angle");
    QTest::addColumn<QPoint>("outer1");
    QTest::addColumn<QPoint>("outer2");
    // Window (200, 100) 60 x 110: the left half ends at x 230, the right
    // half starts there; flat open leaves reach 30 pixels beyond the edges.
    QTest::newRow("left closed") << true << kProgramPi << QPoint(230, 210) << QPoint(230, 100);
    QTest::newRow("right closed") << false << kProgramPi << QPoint(230, 210) << QPoint(230, 100);
    QTest::newRow("left flat") << true << 0.0 << QPoint(170, 210) << QPoint(170, 100);
    QTest::newRow("right flat") << false << 0.0 << QPoint(290, 210) << QPoint(290, 100);
}

void TestGeneratorParts::leafAtClosedAndFlatAngles()
{
    QFETCH(bool, left);
    QFETCH(double, angle);
    QFETCH(QPoint, outer1);
    QFETCH(QPoint, outer2);
    const CaseDesign design = allCases()[3];
    const CameraModel cam = placeCamera(design.camera, design.layout.width(), design.layout.height(), design.pixelScale);
    const QRect window(200, 100, 60, 110);
    const LeafQuad q = leafQuad(cam, window, left, angle);
    const int hingeX = left ? 200 : 260;
    QVERIFY(near(q.corners[0], hingeX, 100, 1e-6));
    QVERIFY(near(q.corners[1], hingeX, 210, 1e-6));
    QVERIFY(near(q.corners[2], outer1.x(), outer1.y(), 1e-3));
    QVERIFY(near(q.corners[3], outer2.x(), outer2.y(), 1e-3));
    const std::array<QPoint, 4> r = roundedCorners(q);
    QCOMPARE(r[2], outer1);
    QCOMPARE(r[3], outer2);
}

// Between the two, the leaf leaves the wall towards the camera: a rigid leaf
// half the window wide whose outer edge hides the wall behind it, and whose
// rectified outline moves smoothly from sample to sample.
void TestGeneratorParts::leafStandsOutTowardsTheCamera()
{
    const CaseDesign design = allCases()[4];
    const CameraModel cam = placeCamera(design.camera, design.layout.width(), design.layout.height(), design.pixelScale);
    const QRect window(300, 200, 56, 104);
    const double half = 28 * design.pixelScale;
    for (bool left : {true, false}) {
        Vec2 previous = leafQuad(cam, window, left, 0.0).corners[2];
        for (int deg = 0; deg <= 180; deg += 10) {
            const double a = deg * kProgramPi / 180.0;
            const std::array<Vec3, 4> c = leafCorners(cam, window, left, a);
            QVERIFY(std::abs(norm(c[2] - c[1]) - half) < 1e-12);
            QVERIFY(std::abs(norm(c[3] - c[0]) - half) < 1e-12);
            QVERIFY(std::abs(c[2].y - c[1].y) < 1e-12);
            if (deg == 0 || deg == 180) {
                QVERIFY(std::abs(c[2].z) < 1e-6);
                continue;
            }
            QVERIFY2(c[2].z < 0.0 && c[3].z < 0.0, qPrintable(QString::number(deg))); // the camera's side
            for (int k : {2, 3}) {
                const Vec2 seen = cam.rectifiedPosition(c[std::size_t(k)]);
                QVERIFY(cam.depth(c[std::size_t(k)]) < cam.depth(cam.wallPoint(seen.x, seen.y)));
            }
            const Vec2 p = leafQuad(cam, window, left, a).corners[2];
            QVERIFY(std::hypot(p.x - previous.x, p.y - previous.y) < 0.25 * 28);
            previous = p;
        }
    }
}

void TestGeneratorParts::leafTextureHingeEdgeLiesOnTheHinge_data()
{
    QTest::addColumn<bool>("left");
    QTest::addColumn<double>("angle");
    QTest::newRow("left closed") << true << kProgramPi;
    QTest::newRow("left flat") << true << 0.0;
    QTest::newRow("right closed") << false << kProgramPi;
    QTest::newRow("right flat") << false << 0.0;
}

// A texture red on its right half and blue on its left: on a left leaf the
// red (s = 1) side must touch the hinge, on a right leaf the blue (s = 0)
// side, whichever way the leaf is turned; and the top stays on top.
void TestGeneratorParts::leafTextureHingeEdgeLiesOnTheHinge()
{
    QFETCH(bool, left);
    QFETCH(double, angle);
    Raster texture(20, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 20; ++x)
            texture.at(x, y) = x < 10 ? blue() : red();
    for (int x = 0; x < 20; ++x)
        texture.at(x, 0) = {0.0f, 1.0f, 0.0f}; // green top row

    LeafQuad q;
    const double hinge = left ? 40.0 : 80.0;
    const double outer = (left == (angle > 1.0)) ? hinge + 20.0 : hinge - 20.0;
    q.corners = {Vec2{hinge, 10.0}, Vec2{hinge, 90.0}, Vec2{outer, 90.0}, Vec2{outer, 10.0}};
    Raster image(120, 100, {1.0f, 1.0f, 1.0f});
    paintLeaf(image, q, texture, left, 1.0f);

    const int towardsOuter = outer > hinge ? 1 : -1;
    const int nearHinge = int(hinge) + (towardsOuter > 0 ? 1 : -2);
    const int nearOuter = int(outer) + (towardsOuter > 0 ? -2 : 1);
    const Rgb atHinge = image.at(nearHinge, 50);
    const Rgb atOuter = image.at(nearOuter, 50);
    QVERIFY2(left ? isRed(atHinge) : isBlue(atHinge), "hinge edge of the texture");
    QVERIFY2(left ? isBlue(atOuter) : isRed(atOuter), "outer edge of the texture");
    QVERIFY(image.at(nearHinge, 10).g > 0.25f); // top row along hinge1
    QVERIFY(image.at(nearHinge, 88).g < 0.05f);
    // Nothing outside the quad is touched.
    QCOMPARE(image.at(5, 50).r, 1.0f);
    QCOMPARE(image.at(int(hinge) + 30 * towardsOuter, 50).g, 1.0f);
}

void TestGeneratorParts::blindCoversFromTheTop_data()
{
    QTest::addColumn<int>("extent");
    QTest::newRow("a little") << 12;
    QTest::newRow("half") << 40;
    QTest::newRow("nearly down") << 70;
}

// The blind hangs from the top down to its extent; below it (past its short
// shadow) the window is exactly the window without a blind.
void TestGeneratorParts::blindCoversFromTheTop()
{
    QFETCH(int, extent);
    const CaseDesign design = allCases()[0];
    WindowLook up;
    up.seed = 77;
    up.blindRails = true;
    WindowLook down = up;
    down.blindExtent = extent;
    const Raster open = paintWindow(design.window, 64, 80, up);
    const Raster lowered = paintWindow(design.window, 64, 80, down);
    QCOMPARE(lowered.width(), 64);
    QCOMPARE(lowered.height(), 80);
    QCOMPARE(rowDifference(open, lowered, extent + 3, 80), 0.0);
    QVERIFY(rowDifference(open, lowered, 0, extent) > 0.05);
    QVERIFY(rowDifference(open, lowered, extent, extent + 3) > 0.0); // its shadow
}

QTEST_GUILESS_MAIN(TestGeneratorParts)
#include "tst_generatorparts.moc"
