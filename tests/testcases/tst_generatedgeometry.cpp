// The geometry of the generated tree, checked from the files alone: H agrees
// with K, R and a translation; leaf samples are the camera's view of a rigid
// leaf turning on its hinge; the photograph shows the rectified facade where
// the model's mapping puts it, leaves included.
#include "GeneratedTree.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>

using namespace generated;

namespace {

constexpr double kPi = 3.1415926;

using V3 = std::array<double, 3>;
using M3 = std::array<V3, 3>;

M3 fromModel(const Matrix3 &m)
{
    M3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[std::size_t(i)][std::size_t(j)] = m[std::size_t(i)][std::size_t(j)];
    return r;
}

V3 column(const M3 &m, int j)
{
    return {m[0][std::size_t(j)], m[1][std::size_t(j)], m[2][std::size_t(j)]};
}

V3 times(const M3 &m, const V3 &v)
{
    V3 r{};
    for (std::size_t i = 0; i < 3; ++i)
        r[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return r;
}

M3 times(const M3 &a, const M3 &b)
{
    M3 r{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return r;
}

M3 transposed(const M3 &m)
{
    M3 r{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            r[i][j] = m[j][i];
    return r;
}

M3 inverse(const M3 &m)
{
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
                     - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
                     + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    M3 r{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j) {
            const std::size_t a = (j + 1) % 3, b = (j + 2) % 3, c = (i + 1) % 3, d = (i + 2) % 3;
            r[i][j] = (m[a][c] * m[b][d] - m[a][d] * m[b][c]) / det;
        }
    return r;
}

double dot(const V3 &a, const V3 &b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double length(const V3 &a) { return std::sqrt(dot(a, a)); }

// The camera recovered from the reconstruction file, in rectified-pixel
// units: with M = K^-1 H = k [r1 r2 t'] (t' the translation over the pixel
// scale, in the frame shifted by the offsets), k = |m1| and the remaining
// column gives t'. The photograph sees wall pixel (x, y) at K (R (x, y, 0) + T).
struct RecoveredCamera {
    M3 K{}, R{}, H{}, Hinv{};
    int colMin = 0, rowMin = 0;
    double k = 0.0;
    V3 T{};

    explicit RecoveredCamera(const QWindowData2D &model)
    {
        K = fromModel(model.cameraK);
        R = fromModel(model.cameraR);
        H = fromModel(model.homography);
        Hinv = inverse(H);
        colMin = model.colMin;
        rowMin = model.rowMin;
        const M3 M = times(inverse(K), H);
        k = length(column(M, 0));
        if (dot(column(M, 0), column(R, 0)) < 0.0)
            k = -k;
        const V3 m3 = column(M, 2);
        for (std::size_t i = 0; i < 3; ++i)
            T[i] = m3[i] / k - colMin * R[i][0] - rowMin * R[i][1];
    }

    V3 cameraFrame(const V3 &p) const
    {
        const V3 c = times(R, p);
        return {c[0] + T[0], c[1] + T[1], c[2] + T[2]};
    }
    QPointF project(const V3 &p) const
    {
        const V3 c = times(K, cameraFrame(p));
        return {c[0] / c[2], c[1] / c[2]};
    }
    V3 centre() const
    {
        const V3 c = times(transposed(R), T);
        return {-c[0], -c[1], -c[2]};
    }
    QPointF toRectified(const QPointF &q) const
    {
        const V3 x = times(Hinv, V3{q.x(), q.y(), 1.0});
        return {x[0] / x[2] + colMin, x[1] / x[2] + rowMin};
    }
};

QPoint rounded(const QPointF &p)
{
    return QPoint(int(std::lround(p.x())), int(std::lround(p.y())));
}

// Mean colour of the photograph at the mapped positions of the pixels of a
// rectified square.
QColor mappedMean(const QWindowData2D &model, const QImage &photo, const QPoint &centre, int radius)
{
    double sum[3] = {0, 0, 0};
    int n = 0;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPointF q = model.rectifiedToOriginal(centre + QPoint(dx, dy));
            const QPoint p(int(std::floor(q.x())), int(std::floor(q.y())));
            if (!photo.rect().contains(p))
                continue;
            const QRgb c = photo.pixel(p);
            sum[0] += qRed(c);
            sum[1] += qGreen(c);
            sum[2] += qBlue(c);
            ++n;
        }
    if (n == 0)
        return QColor();
    return QColor(int(sum[0] / n + 0.5), int(sum[1] / n + 0.5), int(sum[2] / n + 0.5));
}

// The rectified square whose pixels rectifiedToOriginal maps: pixel (x, y)
// covers [x, x + 1), so its mapped corner sits at its top-left.
QColor rectifiedMean(const QImage &image, const QPoint &centre, int radius)
{
    return meanColour(image, QRect(centre - QPoint(radius, radius), QSize(2 * radius + 1, 2 * radius + 1)));
}

// The photograph's colour balance and exposure against the rectified image:
// per component, the ratio of the sums over a lattice of facade points.
std::array<double, 3> colourGains(const QWindowData2D &model, const QImage &rectified, const QImage &photo)
{
    double sumPhoto[3] = {0, 0, 0}, sumRect[3] = {0, 0, 0};
    for (int y = 5; y < rectified.height() - 5; y += 29)
        for (int x = 5; x < rectified.width() - 5; x += 29) {
            const QColor a = mappedMean(model, photo, QPoint(x, y), 1);
            const QColor b = rectifiedMean(rectified, QPoint(x, y), 1);
            if (!a.isValid())
                continue;
            sumPhoto[0] += a.red(), sumPhoto[1] += a.green(), sumPhoto[2] += a.blue();
            sumRect[0] += b.red(), sumRect[1] += b.green(), sumRect[2] += b.blue();
        }
    return {sumPhoto[0] / std::max(1.0, sumRect[0]), sumPhoto[1] / std::max(1.0, sumRect[1]),
            sumPhoto[2] / std::max(1.0, sumRect[2])};
}

QColor balanced(const QColor &c, const std::array<double, 3> &gain)
{
    auto f = [](double v) { return std::clamp(int(v + 0.5), 0, 255); };
    return QColor(f(c.red() * gain[0]), f(c.green() * gain[1]), f(c.blue() * gain[2]));
}

double quadArea(const std::array<QPoint, 4> &q)
{
    double a = 0.0;
    for (std::size_t i = 0; i < 4; ++i)
        a += double(q[i].x()) * q[(i + 1) % 4].y() - double(q[(i + 1) % 4].x()) * q[i].y();
    return std::abs(a) / 2.0;
}

std::size_t nearestSample(const ShutterLeaf &leaf, double angle)
{
    std::size_t best = 0;
    for (std::size_t k = 1; k < leaf.angles.size(); ++k)
        if (std::abs(leaf.angles[k] - angle) < std::abs(leaf.angles[best] - angle))
            best = k;
    return best;
}

} // namespace

class TestGeneratedGeometry : public QObject
{
    Q_OBJECT

private slots:
    void homographyAgreesWithCamera_data() { addCaseRows(); }
    void homographyAgreesWithCamera();
    void leavesClosedAndFlat_data();
    void leavesClosedAndFlat();
    void leafSamplesAreTheCameraView_data();
    void leafSamplesAreTheCameraView();
    void windowCentresMatchPhotograph_data() { addCaseRows(); }
    void windowCentresMatchPhotograph();
    void facadeMatchesPhotographEverywhere_data() { addCaseRows(); }
    void facadeMatchesPhotographEverywhere();
    void leavesShownAtGridAngles_data();
    void leavesShownAtGridAngles();

private:
    static void shutterRows();
};

void TestGeneratedGeometry::homographyAgreesWithCamera()
{
    QFETCH(int, index);
    const Case c = cases()[std::size_t(index)];
    QWindowData2D model;
    QVERIFY(load(model, c));
    const RecoveredCamera cam(model);

    // K: positive focal lengths, principal point inside the photograph.
    QVERIFY(cam.K[0][0] > 0.0 && cam.K[1][1] > 0.0);
    QVERIFY(cam.K[0][2] > 0.0 && cam.K[0][2] < model.originalImage.width());
    QVERIFY(cam.K[1][2] > 0.0 && cam.K[1][2] < model.originalImage.height());
    // R is a rotation turned 10 to 25 degrees about the vertical, tilted a little.
    const M3 rrt = times(cam.R, transposed(cam.R));
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            QVERIFY(std::abs(rrt[i][j] - (i == j ? 1.0 : 0.0)) < 1e-9);
    const V3 forward = {cam.R[2][0], cam.R[2][1], cam.R[2][2]};
    const double yaw = std::abs(std::atan2(forward[0], forward[2])) * 180.0 / M_PI;
    const double pitch = std::abs(std::asin(forward[1])) * 180.0 / M_PI;
    QVERIFY2(yaw >= 10.0 && yaw <= 25.0, qPrintable(QString::number(yaw)));
    QVERIFY2(pitch > 0.5 && pitch <= 10.0, qPrintable(QString::number(pitch)));
    QVERIFY(model.colMin != 0 && model.rowMin != 0);

    // H = k K [r1 r2 t'] up to scale: the first two columns of K^-1 H are the
    // first two columns of R times one common factor.
    const M3 M = times(inverse(cam.K), cam.H);
    for (int j = 0; j < 2; ++j)
        for (std::size_t i = 0; i < 3; ++i)
            QVERIFY2(std::abs(column(M, j)[i] / cam.k - cam.R[i][std::size_t(j)]) < 1e-7,
                     qPrintable(QString("column %1 row %2").arg(j).arg(i)));
    // With the translation it gives, the whole facade lies in front of the
    // camera, inside the photograph, and projects exactly as H maps it.
    const QSize size = model.rectifiedImage.size();
    for (const QPoint p : {QPoint(0, 0), QPoint(size.width(), 0), QPoint(0, size.height()),
                           QPoint(size.width(), size.height()), QPoint(size.width() / 3, size.height() / 2)}) {
        const V3 wall = {double(p.x()), double(p.y()), 0.0};
        QVERIFY(cam.cameraFrame(wall)[2] > 0.0);
        const QPointF viaCamera = cam.project(wall);
        const QPointF viaModel = model.rectifiedToOriginal(p);
        QVERIFY(std::abs(viaCamera.x() - viaModel.x()) < 1e-6 && std::abs(viaCamera.y() - viaModel.y()) < 1e-6);
        QVERIFY(QRectF(10, 10, model.originalImage.width() - 20, model.originalImage.height() - 20)
                    .contains(viaModel));
    }
}

void TestGeneratedGeometry::shutterRows()
{
    QTest::addColumn<int>("index");
    const std::vector<Case> all = cases();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (!all[i].blind)
            QTest::newRow(qPrintable(all[i].fileName)) << int(i);
}

void TestGeneratedGeometry::leavesClosedAndFlat_data()
{
    shutterRows();
}

// At 180 degrees a leaf covers its half of the window; at 0 it lies on the
// wall outside the window, next to its hinge. Hinges: left leaf on the left
// edge, right leaf on the right edge, hinge1 at the top.
void TestGeneratedGeometry::leavesClosedAndFlat()
{
    QFETCH(int, index);
    QWindowData2D model;
    QVERIFY(load(model, cases()[std::size_t(index)]));
    const std::vector<FacadeWindow> &windows = model.detectedWindows.at(0);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const FacadeWindow &w = windows[i];
        const int top = w.y, bottom = w.y + w.height, half = w.width / 2;
        const ShutterLeaf &l = model.shutters[i].left;
        const ShutterLeaf &r = model.shutters[i].right;
        QCOMPARE(l.hinge1, QPoint(w.x, top));
        QCOMPARE(l.hinge2, QPoint(w.x, bottom));
        QCOMPARE(r.hinge1, QPoint(w.x + w.width, top));
        QCOMPARE(r.hinge2, QPoint(w.x + w.width, bottom));
        QCOMPARE(l.outer1.back(), QPoint(w.x + half, bottom));
        QCOMPARE(l.outer2.back(), QPoint(w.x + half, top));
        QCOMPARE(r.outer1.back(), QPoint(w.x + w.width - half, bottom));
        QCOMPARE(r.outer2.back(), QPoint(w.x + w.width - half, top));
        QCOMPARE(l.outer1.front(), QPoint(w.x - half, bottom));
        QCOMPARE(l.outer2.front(), QPoint(w.x - half, top));
        QCOMPARE(r.outer1.front(), QPoint(w.x + w.width + half, bottom));
        QCOMPARE(r.outer2.front(), QPoint(w.x + w.width + half, top));
    }
}

void TestGeneratedGeometry::leafSamplesAreTheCameraView_data()
{
    shutterRows();
}

// Every sample, recomputed from the reconstruction file alone: the leaf is
// half the window wide and as high, turns about its hinge towards the side
// of the wall the camera is on, and is seen through K, R and T, then mapped
// back through H^-1. Rounding may differ by a pixel where a value is .5.
void TestGeneratedGeometry::leafSamplesAreTheCameraView()
{
    QFETCH(int, index);
    QWindowData2D model;
    QVERIFY(load(model, cases()[std::size_t(index)]));
    const RecoveredCamera cam(model);
    const double towards = cam.centre()[2] < 0.0 ? -1.0 : 1.0;
    const std::vector<FacadeWindow> &windows = model.detectedWindows.at(0);
    int exact = 0, total = 0;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const FacadeWindow &w = windows[i];
        for (bool left : {true, false}) {
            const ShutterLeaf &leaf = left ? model.shutters[i].left : model.shutters[i].right;
            const double hingeX = left ? w.x : w.x + w.width;
            for (std::size_t k = 0; k < 19; ++k) {
                const double a = double(10 * k) * kPi / 180.0;
                const double dx = (left ? -std::cos(a) : std::cos(a)) * w.width / 2.0;
                const double dz = towards * std::sin(a) * w.width / 2.0;
                const V3 bottom = {hingeX + dx, double(w.y + w.height), dz};
                const V3 top = {hingeX + dx, double(w.y), dz};
                const QPoint o1 = rounded(cam.toRectified(cam.project(bottom)));
                const QPoint o2 = rounded(cam.toRectified(cam.project(top)));
                const QString where = QString("window %1 %2 leaf, %3 degrees").arg(i).arg(left ? "left" : "right").arg(10 * k);
                QVERIFY2((o1 - leaf.outer1[k]).manhattanLength() <= 1, qPrintable(where));
                QVERIFY2((o2 - leaf.outer2[k]).manhattanLength() <= 1, qPrintable(where));
                exact += (o1 == leaf.outer1[k]) + (o2 == leaf.outer2[k]);
                total += 2;
                if (k > 0 && k < 18) // standing out, the leaf's corners are nearer than the wall's
                    QVERIFY(cam.cameraFrame(top)[2] < cam.cameraFrame({hingeX + dx, double(w.y), 0.0})[2]);
            }
        }
    }
    QVERIFY(exact >= total * 95 / 100);
}

void TestGeneratedGeometry::windowCentresMatchPhotograph()
{
    QFETCH(int, index);
    QWindowData2D model;
    QVERIFY(load(model, cases()[std::size_t(index)]));
    const QImage rectified = model.rectifiedImage.convertToFormat(QImage::Format_RGB32);
    const QImage photo = model.originalImage.convertToFormat(QImage::Format_RGB32);
    const std::array<double, 3> gain = colourGains(model, rectified, photo);
    for (double g : gain)
        QVERIFY(g > 0.8 && g < 1.1); // a photograph of the same facade, not of something else
    const QColor wall = balanced(meanColour(model.background, model.gridBounds.at(0)), gain);
    int worst = 0;
    for (const FacadeWindow &w : model.detectedWindows.at(0)) {
        const QPoint centre(w.x + w.width / 2, w.y + w.height / 2);
        const QColor expected = balanced(rectifiedMean(rectified, centre, 2), gain);
        const QColor seen = mappedMean(model, photo, centre, 2);
        QVERIFY(seen.isValid());
        worst = std::max(worst, colourDistance(expected, seen));
        // The window's centre must not look like the wall around it.
        QVERIFY(colourDistance(expected, seen) < colourDistance(wall, seen));
    }
    // What remains is the lens shading across the picture, filtering and JPEG;
    // a mapping two pixels off already fails here or in the wall comparison.
    QVERIFY2(worst <= 30, qPrintable(QString("worst difference %1").arg(worst)));
}

// A lattice of points over the whole facade: the photograph shows at each the
// colour of the rectified image, up to filtering, lens shading and JPEG.
void TestGeneratedGeometry::facadeMatchesPhotographEverywhere()
{
    QFETCH(int, index);
    QWindowData2D model;
    QVERIFY(load(model, cases()[std::size_t(index)]));
    const QImage rectified = model.rectifiedImage.convertToFormat(QImage::Format_RGB32);
    const QImage photo = model.originalImage.convertToFormat(QImage::Format_RGB32);
    const std::array<double, 3> gain = colourGains(model, rectified, photo);
    std::vector<int> differences;
    for (int y = 5; y < rectified.height() - 5; y += 17)
        for (int x = 5; x < rectified.width() - 5; x += 17) {
            const QColor seen = mappedMean(model, photo, QPoint(x, y), 1);
            QVERIFY(seen.isValid());
            differences.push_back(colourDistance(balanced(rectifiedMean(rectified, QPoint(x, y), 1), gain), seen));
        }
    std::sort(differences.begin(), differences.end());
    const int median = differences[differences.size() / 2];
    const int p90 = differences[differences.size() * 9 / 10];
    QVERIFY2(median <= 12 && p90 <= 24, qPrintable(QString("median %1, 90%% %2").arg(median).arg(p90)));
}

void TestGeneratedGeometry::leavesShownAtGridAngles_data()
{
    shutterRows();
}

// Where a leaf stands at its window's grid angle (the stored sample nearest
// to it), the rectified image and the photograph show the leaf's paint, not
// what lies behind it.
void TestGeneratedGeometry::leavesShownAtGridAngles()
{
    QFETCH(int, index);
    QWindowData2D model;
    QVERIFY(load(model, cases()[std::size_t(index)]));
    const QImage rectified = model.rectifiedImage.convertToFormat(QImage::Format_RGB32);
    const QImage background = model.background.convertToFormat(QImage::Format_RGB32);
    const QImage photo = model.originalImage.convertToFormat(QImage::Format_RGB32);
    const std::vector<FacadeWindow> &windows = model.detectedWindows.at(0);
    int checked = 0;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const FacadeWindow &w = windows[i];
        const QRect rect(w.x, w.y, w.width, w.height);
        for (bool left : {true, false}) {
            const ShutterLeaf &leaf = left ? model.shutters[i].left : model.shutters[i].right;
            const QImage &texture = left ? model.leftShutterImage : model.rightShutterImage;
            const std::size_t k = nearestSample(leaf, left ? w.leftAngle : w.rightAngle);
            const std::array<QPoint, 4> quad = {leaf.hinge1, leaf.hinge2, leaf.outer1[k], leaf.outer2[k]};
            if (quadArea(quad) < 0.4 * (w.width / 2.0) * w.height)
                continue; // seen edge-on: too thin to sample
            const QPoint centre = (quad[0] + quad[1] + quad[2] + quad[3]) / 4;
            const QColor paint = meanColour(texture, texture.rect());
            const QImage &behindImage = rect.contains(centre) ? *model.windowImages[i] : background;
            const QPoint behindAt = rect.contains(centre) ? centre - rect.topLeft() : centre;
            const QColor behind = rectifiedMean(behindImage, behindAt, 2);
            const QColor shown = rectifiedMean(rectified, centre, 2);
            const QColor photographed = mappedMean(model, photo, centre, 2);
            const QString where = QString("window %1 %2 leaf").arg(i).arg(left ? "left" : "right");
            QVERIFY2(colourDistance(shown, paint) < colourDistance(shown, behind), qPrintable(where));
            QVERIFY2(colourDistance(photographed, paint) < colourDistance(photographed, behind), qPrintable(where));
            ++checked;
        }
    }
    QVERIFY(checked >= 4);
}

QTEST_GUILESS_MAIN(TestGeneratedGeometry)
#include "tst_generatedgeometry.moc"
