// The importer on the generator's own photographs, whose truth is known: the
// camera and homography in the reconstruction file, the windows in grids.txt.
// Given the true facade corners it must rectify as well as the true
// homography does and find exactly the true windows; on its own it must find
// vanishing points that make the true rows level and the true columns upright
// to 2 pixels, and the true number of rows and columns; with trees, cars and
// a lamp post painted over the photograph it must still do the first and
// report no window that is not one.
#include "FacadeAnalysis.h"
#include "WindowSearch.h"
#include "ImportTestSupport.h"
#include "QWindowData2D.h"

#include <QtTest>

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace FacadeImport;

namespace {

// Bilinear sample of an RGB888 image at a continuous position (pixel centres
// at +0.5), edges repeated.
void sample(const QImage &img, double x, double y, double out[3])
{
    x -= 0.5;
    y -= 0.5;
    const int x0 = std::clamp(int(std::floor(x)), 0, img.width() - 1);
    const int y0 = std::clamp(int(std::floor(y)), 0, img.height() - 1);
    const int x1 = std::min(x0 + 1, img.width() - 1);
    const int y1 = std::min(y0 + 1, img.height() - 1);
    const double fx = std::clamp(x - std::floor(x), 0.0, 1.0);
    const double fy = std::clamp(y - std::floor(y), 0.0, 1.0);
    const uchar *r0 = img.constScanLine(y0);
    const uchar *r1 = img.constScanLine(y1);
    for (int c = 0; c < 3; ++c)
        out[c] = (1 - fy) * ((1 - fx) * r0[3 * x0 + c] + fx * r0[3 * x1 + c])
               + fy * ((1 - fx) * r1[3 * x0 + c] + fx * r1[3 * x1 + c]);
}

// The photograph (scaled by photoScale from the generator's) rectified with
// the true homography at the given size, sampled bilinearly once per pixel.
QImage trueRectification(const Truth &t, const QImage &photo, const QSize &size, double photoScale = 1.0)
{
    QImage out(size, QImage::Format_RGB888);
    const double sx = double(t.size().width()) / size.width();
    const double sy = double(t.size().height()) / size.height();
    const auto &H = t.model->homography;
    for (int j = 0; j < size.height(); ++j) {
        uchar *row = out.scanLine(j);
        for (int i = 0; i < size.width(); ++i) {
            const double u = (i + 0.5) * sx - t.model->colMin;
            const double v = (j + 0.5) * sy - t.model->rowMin;
            const double w = H[2][0] * u + H[2][1] * v + H[2][2];
            double rgb[3];
            sample(photo, photoScale * (H[0][0] * u + H[0][1] * v + H[0][2]) / w,
                   photoScale * (H[1][0] * u + H[1][1] * v + H[1][2]) / w, rgb);
            for (int c = 0; c < 3; ++c)
                row[3 * i + c] = uchar(std::clamp(int(std::lround(rgb[c])), 0, 255));
        }
    }
    return out;
}

// Both RGB888 of one size (Qt's smooth scaling hands back 32-bit images).
double psnr(const QImage &a, const QImage &b)
{
    if (a.format() != QImage::Format_RGB888 || b.format() != QImage::Format_RGB888 || a.size() != b.size())
        return -1.0;
    double sum = 0.0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *p = a.constScanLine(y);
        const uchar *q = b.constScanLine(y);
        for (int x = 0; x < 3 * a.width(); ++x)
            sum += double(p[x] - q[x]) * double(p[x] - q[x]);
    }
    const double mse = sum / (3.0 * a.width() * a.height());
    return 10.0 * std::log10(255.0 * 255.0 / std::max(mse, 1e-12));
}

// Every true window (scaled into the detected image) matched by its own
// detected window with IoU >= 0.8, and nothing else detected.
void checkWindows(const Truth &t, const WindowGrid &grid, const QSize &size)
{
    const double sx = double(size.width()) / t.size().width();
    const double sy = double(size.height()) / t.size().height();
    QCOMPARE(int(grid.windows.size()), int(t.windows().size()));
    QCOMPARE(grid.rows(), int(t.model->rowValues[0].size()));
    QCOMPARE(grid.cols(), int(t.model->colValues[0].size()));
    std::vector<char> used(grid.windows.size(), 0);
    for (const FacadeWindow &w : t.windows()) {
        const QRectF truth(w.x * sx, w.y * sy, w.width * sx, w.height * sy);
        double best = 0.0;
        std::size_t at = 0;
        for (std::size_t i = 0; i < grid.windows.size(); ++i) {
            const FacadeWindow &d = grid.windows[i];
            const double v = iou(truth, QRectF(d.x, d.y, d.width, d.height));
            if (v > best) {
                best = v;
                at = i;
            }
        }
        QVERIFY2(best >= 0.8, qPrintable(QString("window at column %1, row %2: IoU %3").arg(w.col).arg(w.row).arg(best)));
        QVERIFY2(!used[at], "two true windows matched by one detected window");
        used[at] = 1;
        // Grid position: the true column and row.
        QCOMPARE(grid.windows[at].col, w.col);
        QCOMPARE(grid.windows[at].row, w.row);
    }
}

double grey(const QImage &img, int x, int y)
{
    const QRgb c = img.pixel(x, y);
    return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
}

// Mean and strength of the fine texture (standard deviation of grey minus
// its 5 x 5 box mean) of the pixels of img inside r for which keep is true.
void texture(const QImage &img, const QRect &r, const std::function<bool(int, int)> &keep, double *mean, double *strength)
{
    double s = 0.0, s2 = 0.0, m = 0.0;
    int n = 0;
    for (int y = std::max(r.top(), 2); y <= std::min(r.bottom(), img.height() - 3); ++y)
        for (int x = std::max(r.left(), 2); x <= std::min(r.right(), img.width() - 3); ++x) {
            if (!keep(x, y))
                continue;
            double box = 0.0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    box += grey(img, x + dx, y + dy);
            const double g = grey(img, x, y);
            const double d = g - box / 25.0;
            m += g;
            s += d;
            s2 += d * d;
            ++n;
        }
    *mean = n ? m / n : 0.0;
    *strength = n ? std::sqrt(std::max(0.0, s2 / n - (s / n) * (s / n))) : 0.0;
}

// Each filled window has the mean and the texture strength of the wall
// beside it at the same height (out to one window width on either side).
void checkBackground(const FacadeAnalysis &a)
{
    const std::vector<QRect> holes = [&] {
        std::vector<QRect> h;
        for (const FacadeWindow &w : a.grid.windows) {
            QRect r(w.x, w.y, w.width, w.height);
            if (a.clearLeafZones)
                r.adjust(-w.width / 2, 0, w.width / 2, 0);
            h.push_back(r);
        }
        return h;
    }();
    auto inAnyHole = [&](int x, int y) {
        return std::any_of(holes.begin(), holes.end(), [&](const QRect &h) { return h.adjusted(-8, -8, 8, 8).contains(x, y); });
    };
    for (const QRect &h : holes) {
        double inMean, inTexture, wallMean, wallTexture;
        texture(a.background, h, [](int, int) { return true; }, &inMean, &inTexture);
        texture(a.background, h.adjusted(-h.width(), 0, h.width(), 0), [&](int x, int y) { return !inAnyHole(x, y); },
                &wallMean, &wallTexture);
        const QString where = QString("hole at %1,%2: mean %3 against %4, texture %5 against %6")
                                  .arg(h.x()).arg(h.y()).arg(inMean).arg(wallMean).arg(inTexture).arg(wallTexture);
        QVERIFY2(std::abs(inMean - wallMean) <= 8.0, qPrintable(where));
        QVERIFY2(inTexture >= 0.6 * wallTexture && inTexture <= 1.6 * wallTexture, qPrintable(where));
    }
}


// A street tree: a trunk and a crown of a few thousand short leafy strokes.
void paintTree(QPainter &p, QRandomGenerator &random, const QPointF &foot, double height)
{
    p.setPen(QPen(QColor(70, 50, 35), height * 0.05, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(foot, foot - QPointF(0.0, 0.45 * height));
    const QPointF crown = foot - QPointF(0.0, 0.7 * height);
    for (int i = 0; i < 2500; ++i) {
        const double r = 0.35 * height * std::sqrt(random.generateDouble());
        const double a = 6.2832 * random.generateDouble();
        const QPointF q = crown + QPointF(r * std::cos(a), 0.8 * r * std::sin(a));
        const double b = 6.2832 * random.generateDouble();
        const double length = 3.0 + 6.0 * random.generateDouble();
        const int g = 60 + int(random.bounded(90));
        p.setPen(QPen(QColor(g / 3, g, g / 4), 2 + int(random.bounded(3)), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(q, q + QPointF(length * std::cos(b), length * std::sin(b)));
    }
}

// A parked car, wheels on the given point's line.
void paintCar(QPainter &p, const QPointF &at, double w, const QColor &paint)
{
    QPainterPath body;
    body.addRoundedRect(QRectF(at.x(), at.y() - 0.28 * w, w, 0.22 * w), 0.05 * w, 0.05 * w);
    body.addRoundedRect(QRectF(at.x() + 0.2 * w, at.y() - 0.45 * w, 0.55 * w, 0.2 * w), 0.06 * w, 0.06 * w);
    p.setPen(Qt::NoPen);
    p.setBrush(paint);
    p.drawPath(body.simplified());
    p.setBrush(QColor(40, 50, 60));
    p.drawRect(QRectF(at.x() + 0.25 * w, at.y() - 0.42 * w, 0.2 * w, 0.14 * w));
    p.drawRect(QRectF(at.x() + 0.5 * w, at.y() - 0.42 * w, 0.2 * w, 0.14 * w));
    p.setBrush(QColor(20, 20, 20));
    p.drawEllipse(QPointF(at.x() + 0.2 * w, at.y() - 0.06 * w), 0.08 * w, 0.08 * w);
    p.drawEllipse(QPointF(at.x() + 0.8 * w, at.y() - 0.06 * w), 0.08 * w, 0.08 * w);
}

// The photograph with two trees, two cars and a lamp post in front.
QImage withClutter(const QImage &photo)
{
    QImage out = photo.convertToFormat(QImage::Format_RGB32);
    QRandomGenerator random(7);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = out.width(), h = out.height();
    paintTree(p, random, QPointF(0.12 * w, 0.98 * h), 0.75 * h);
    paintTree(p, random, QPointF(0.9 * w, 0.97 * h), 0.6 * h);
    paintCar(p, QPointF(0.3 * w, 0.93 * h), 0.22 * w, QColor(160, 30, 30));
    paintCar(p, QPointF(0.55 * w, 0.95 * h), 0.2 * w, QColor(200, 200, 210));
    p.setPen(QPen(QColor(40, 40, 40), 5));
    p.drawLine(QPointF(0.75 * w, h), QPointF(0.75 * w, 0.45 * h));
    p.end();
    return out.convertToFormat(QImage::Format_RGB888);
}

// Mapped through the true homography into the photograph and back through
// the recovered one, the true windows' corners of each row share one y and
// those of each column one x, within 2 pixels.
void checkLevelAndUpright(const Truth &t, const CameraEstimate &camera)
{
    auto mapped = [&](int x, int y) { return photoToRectified(camera, t.model->rectifiedToOriginal(QPoint(x, y))); };
    for (int vertical = 0; vertical < 2; ++vertical) {
        const int lines = int(vertical ? t.model->colValues[0].size() : t.model->rowValues[0].size());
        for (int line = 0; line < lines; ++line)
            for (int edge = 0; edge < 2; ++edge) {
                double lo = 1e9, hi = -1e9;
                for (const FacadeWindow &w : t.windows()) {
                    if ((vertical ? w.col : w.row) != line)
                        continue;
                    for (int side = 0; side < 2; ++side) {
                        const QPointF q = vertical ? mapped(w.x + edge * w.width, w.y + side * w.height)
                                                   : mapped(w.x + side * w.width, w.y + edge * w.height);
                        const double v = vertical ? q.x() : q.y();
                        lo = std::min(lo, v);
                        hi = std::max(hi, v);
                    }
                }
                QVERIFY2(hi - lo <= 2.0, qPrintable(QString("%1 %2 spreads over %3 px")
                                                        .arg(vertical ? "column" : "row").arg(line).arg(hi - lo)));
            }
    }
}

} // namespace

class TestImportAccuracy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void givenCorners_data();
    void givenCorners();
    void markedWindow_data() { givenCorners_data(); }
    void markedWindow();
    void automatic_data() { givenCorners_data(); }
    void automatic();
    void cluttered_data() { givenCorners_data(); }
    void cluttered();
    void shrinking();
    void mullionedWindows_data();
    void mullionedWindows();
};

void TestImportAccuracy::initTestCase()
{
    const QString tree = qEnvironmentVariable("TESSIVO_TESTDATA") + "/Tessivo_TestCases";
    QVERIFY2(QFileInfo(tree).isDir(), qPrintable(tree + " is missing: run through ctest, which generates it"));
}

void TestImportAccuracy::givenCorners_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("blinds 1_temp") << "blinds" << "1_temp.jpg";
    QTest::newRow("blinds 5") << "blinds" << "5.jpg";
    QTest::newRow("blinds 7") << "blinds" << "7.jpg";
    QTest::newRow("shutters 1") << "shutters" << "1.jpg";
    QTest::newRow("shutters 6") << "shutters" << "6.jpg";
}

void TestImportAccuracy::givenCorners()
{
    QFETCH(QString, kind);
    QFETCH(QString, fileName);
    const Truth t = loadTruth(kind, fileName);
    QVERIFY(t.model && !t.rectified.isNull());
    AnalysisOptions options;
    options.useCorners = true;
    options.corners = trueCorners(t);
    options.clearLeafZones = t.shutters;
    const FacadeAnalysis a = analysePhotographFile(t.photoPath, options);
    QVERIFY2(a.status.ok(), a.status.reason.c_str());

    // The camera: the focal length of the true corners' vanishing points, a
    // rotation, and H mapping the rectified corners onto the given corners
    // as the model maps rectified points.
    const CameraEstimate &cam = a.plan.camera;
    QVERIFY(cam.focalFromVanishingPoints);
    QVERIFY2(std::abs(cam.focal - t.model->cameraK[0][0]) <= 0.005 * t.model->cameraK[0][0],
             qPrintable(QString("focal %1, truth %2").arg(cam.focal).arg(t.model->cameraK[0][0])));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double d = 0.0;
            for (int k = 0; k < 3; ++k)
                d += cam.R[std::size_t(k)][std::size_t(i)] * cam.R[std::size_t(k)][std::size_t(j)];
            QVERIFY(std::abs(d - (i == j ? 1.0 : 0.0)) < 1e-9);
        }
    // The rotation is the camera's own, and the world point on the wall at a
    // rectified position is seen where the homography puts it.
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            QVERIFY2(std::abs(cam.R[std::size_t(i)][std::size_t(j)] - t.model->cameraR[i][j]) < 2e-3,
                     qPrintable(QString("R[%1][%2] = %3, truth %4").arg(i).arg(j).arg(cam.R[std::size_t(i)][std::size_t(j)])
                                    .arg(t.model->cameraR[i][j])));
    const QPointF onWall = photoPointOf(cam, 123.0, 45.0, 0.0) - rectifiedToPhoto(cam, QPointF(123.0, 45.0));
    QVERIFY(std::hypot(onWall.x(), onWall.y()) < 0.01);
    QWindowData2D mine;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            mine.homography[i][j] = cam.H[std::size_t(i)][std::size_t(j)];
    mine.colMin = cam.colMin;
    mine.rowMin = cam.rowMin;
    const QSize size = a.rectified.size();
    const QPoint ours[4] = {QPoint(0, 0), QPoint(size.width(), 0), QPoint(size.width(), size.height()), QPoint(0, size.height())};
    for (int k = 0; k < 4; ++k) {
        const QPointF d = mine.rectifiedToOriginal(ours[k]) - options.corners[std::size_t(k)];
        QVERIFY2(std::hypot(d.x(), d.y()) < 0.01, qPrintable(QString("corner %1 off by %2, %3").arg(k).arg(d.x()).arg(d.y())));
    }
    // The size keeps the facade's true aspect ratio.
    const double aspect = double(size.width()) / size.height();
    const double trueAspect = double(t.size().width()) / t.size().height();
    QVERIFY2(std::abs(aspect / trueAspect - 1.0) < 0.01, qPrintable(QString("aspect %1, truth %2").arg(aspect).arg(trueAspect)));

    // Within 1 dB of the true homography at the same size, both against the
    // generator's own rectified image.
    const QImage reference =
        t.rectified.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB888);
    const double mineDb = psnr(a.rectified, reference);
    const double trueDb = psnr(trueRectification(t, a.photo, size), reference);
    QVERIFY2(trueDb > 20.0, qPrintable(QString("the true homography reaches only %1 dB").arg(trueDb)));
    QVERIFY2(mineDb >= trueDb - 1.0, qPrintable(QString("PSNR %1 dB, true homography %2 dB").arg(mineDb).arg(trueDb)));

    checkWindows(t, a.grid, size);
    checkBackground(a);

    // Shutter leaves turned out of the wall, placed with the recovered
    // camera, land where the generator's camera put them (its shutter file,
    // in its rectified pixels).
    if (t.shutters) {
        QVERIFY(t.model->loadShutters(QFileInfo(t.photoPath).path().toStdString(), fileName.toStdString()));
        const double sx = double(size.width()) / t.size().width();
        const double sy = double(size.height()) / t.size().height();
        double worst = 0.0;
        for (std::size_t i = 0; i < t.windows().size(); ++i) {
            const FacadeWindow &w = t.windows()[i];
            for (int left = 0; left < 2; ++left) {
                const ShutterLeaf &leaf = left ? t.model->shutters[i].left : t.model->shutters[i].right;
                const double hingeX = (left ? w.x : w.x + w.width) * sx;
                const double half = 0.5 * w.width * sx;
                for (std::size_t k = 0; k < leaf.angles.size(); ++k) {
                    const double angle = leaf.angles[k];
                    const double dx = left ? -std::cos(angle) : std::cos(angle);
                    const QPointF q = photoToRectified(cam, photoPointOf(cam, hingeX + half * dx, w.y * sy, -half * std::sin(angle)));
                    const QPointF d = QPointF(q.x() / sx, q.y() / sy) - QPointF(leaf.outer2[k]);
                    worst = std::max(worst, std::hypot(d.x(), d.y()));
                }
            }
        }
        QVERIFY2(worst <= 1.5, qPrintable(QString("a leaf corner %1 px off").arg(worst)));
    }

    // One image per window, the rectified image's pixels there.
    QCOMPARE(a.windowImages.size(), a.grid.windows.size());
    for (std::size_t i = 0; i < a.grid.windows.size(); ++i) {
        const FacadeWindow &w = a.grid.windows[i];
        QCOMPARE(a.windowImages[i].size(), QSize(w.width, w.height));
        QCOMPARE(a.windowImages[i].pixel(w.width / 2, w.height / 2), a.rectified.pixel(w.x + w.width / 2, w.y + w.height / 2));
    }
    // The original background: the photograph, with the filled facade where
    // the windows were.
    QCOMPARE(a.originalBackground.size(), a.photo.size());
    QCOMPARE(a.originalBackground.pixel(2, 2), a.photo.pixel(2, 2));
    auto around = [](const QImage &img, const QPoint &p) {
        double s = 0.0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                s += grey(img, p.x() + dx, p.y() + dy);
        return s / 25.0;
    };
    for (const FacadeWindow &w : a.grid.windows) {
        const QPoint centre(w.x + w.width / 2, w.y + w.height / 2);
        const QPointF q = mine.rectifiedToOriginal(centre) + QPointF(0.5, 0.5);
        const QPoint pixel(int(std::floor(q.x())), int(std::floor(q.y())));
        const double there = around(a.originalBackground, pixel);
        const double filled = around(a.background, centre);
        QVERIFY2(std::abs(there - filled) <= 10.0,
                 qPrintable(QString("window at %1, %2: %3 in the photograph, %4 in the background")
                                .arg(w.x).arg(w.y).arg(there).arg(filled)));
    }
}

void TestImportAccuracy::markedWindow()
{
    QFETCH(QString, kind);
    QFETCH(QString, fileName);
    const Truth t = loadTruth(kind, fileName);
    QVERIFY(t.model && !t.rectified.isNull());
    AnalysisOptions options;
    options.useCorners = true;
    options.corners = trueCorners(t);
    // The plan gives the rectified size before anything is searched, so that
    // a true window can be marked where the rectified image has it.
    const RectificationPlan plan = planRectification(options.corners, QImageReader(t.photoPath).size());
    QVERIFY(plan.status.ok());
    const double sx = double(plan.size.width()) / t.size().width();
    const double sy = double(plan.size.height()) / t.size().height();
    // The first, middle and last windows: whatever the marked one shows
    // (leaves open over it, a blind down), all windows are found.
    const std::vector<FacadeWindow> &truth = t.windows();
    for (const std::size_t index : {std::size_t(0), truth.size() / 2, truth.size() - 1}) {
        const FacadeWindow &w = truth[index];
        options.window = QRect(int(std::lround(w.x * sx)), int(std::lround(w.y * sy)), int(std::lround(w.width * sx)),
                               int(std::lround(w.height * sy)));
        const FacadeAnalysis a = analysePhotographFile(t.photoPath, options);
        QVERIFY2(a.status.ok(), a.status.reason.c_str());
        QCOMPARE(a.search.seed, options.window);
        checkWindows(t, a.grid, a.rectified.size());
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QString("marking window %1").arg(index)));
        // Every window takes the marked window's size.
        for (const FacadeWindow &d : a.grid.windows)
            QVERIFY(std::abs(d.width - options.window.width()) <= 1 && std::abs(d.height - options.window.height()) <= 1);
    }
}

void TestImportAccuracy::automatic()
{
    QFETCH(QString, kind);
    QFETCH(QString, fileName);
    const Truth t = loadTruth(kind, fileName);
    QVERIFY(t.model && !t.rectified.isNull());
    const FacadeAnalysis a = analysePhotographFile(t.photoPath);
    QVERIFY2(a.status.ok(), a.status.reason.c_str());
    QVERIFY(a.proposal.fromLines && a.proposal.horizontal.found && a.proposal.vertical.found);
    QVERIFY(a.plan.camera.focalFromVanishingPoints);
    QVERIFY2(std::abs(a.plan.camera.focal / t.model->cameraK[0][0] - 1.0) < 0.03,
             qPrintable(QString("focal %1, truth %2").arg(a.plan.camera.focal).arg(t.model->cameraK[0][0])));

    checkLevelAndUpright(t, a.plan.camera);
    const int rows = int(t.model->rowValues[0].size());
    const int cols = int(t.model->colValues[0].size());
    QCOMPARE(a.grid.rows(), rows);
    QCOMPARE(a.grid.cols(), cols);
    QCOMPARE(int(a.grid.windows.size()), int(t.windows().size()));
}

void TestImportAccuracy::cluttered()
{
    QFETCH(QString, kind);
    QFETCH(QString, fileName);
    const Truth t = loadTruth(kind, fileName);
    QVERIFY(t.model && !t.rectified.isNull());
    const FacadeAnalysis a = analysePhotograph(withClutter(QImage(t.photoPath)));
    QVERIFY2(a.status.ok(), a.status.reason.c_str());
    checkLevelAndUpright(t, a.plan.camera);

    // Every window found is a true one (its centre inside a true window, no
    // two in the same one): none in the sky, on a tree, a car or the house
    // next door; and most true windows are found.
    std::vector<char> taken(t.windows().size(), 0);
    for (const FacadeWindow &d : a.grid.windows) {
        const QPointF centre(d.x + 0.5 * d.width, d.y + 0.5 * d.height);
        const QPointF there = t.model->originalToRectified(rectifiedToPhoto(a.plan.camera, centre).toPoint());
        bool found = false;
        for (std::size_t i = 0; i < t.windows().size() && !found; ++i) {
            const FacadeWindow &w = t.windows()[i];
            if (QRectF(w.x, w.y, w.width, w.height).contains(there)) {
                QVERIFY2(!taken[i], "two windows found in one true window");
                taken[i] = 1;
                found = true;
            }
        }
        QVERIFY2(found, qPrintable(QString("a window at %1, %2 that is none").arg(d.x).arg(d.y)));
    }
    QVERIFY2(a.grid.windows.size() >= 0.75 * t.windows().size(),
             qPrintable(QString("%1 of %2 windows found").arg(a.grid.windows.size()).arg(t.windows().size())));
}

// A 4000 x 3000 photograph: its facade is more than twice as large as the
// largest rectified image, so the rectification shrinks it; within 1 dB of
// one bilinear sample per pixel through the true homography, against the
// generator's rectified image, and the same windows.
void TestImportAccuracy::shrinking()
{
    const Truth t = loadTruth("blinds", "5.jpg");
    QVERIFY(t.model && !t.rectified.isNull());
    const QImage photo = QImage(t.photoPath).convertToFormat(QImage::Format_RGB888);
    const double scale = 4000.0 / photo.width();
    const QImage large = photo.scaled(4000, 3000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_RGB888);
    AnalysisOptions options;
    options.useCorners = true;
    options.corners = trueCorners(t);
    for (QPointF &c : options.corners)
        c *= scale;
    const FacadeAnalysis a = analysePhotograph(large, options);
    QVERIFY2(a.status.ok(), a.status.reason.c_str());
    const QSize size = a.rectified.size();
    QVERIFY(size.width() == kMaxRectifiedWidth || size.height() == kMaxRectifiedHeight);
    QVERIFY(size.width() <= kMaxRectifiedWidth && size.height() <= kMaxRectifiedHeight);
    const QImage reference =
        t.rectified.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB888);
    const double mineDb = psnr(a.rectified, reference);
    const double pointDb = psnr(trueRectification(t, large, size, scale), reference);
    QVERIFY2(pointDb > 20.0, qPrintable(QString("the true homography reaches only %1 dB").arg(pointDb)));
    QVERIFY2(mineDb >= pointDb - 1.0, qPrintable(QString("PSNR %1 dB, true homography %2 dB").arg(mineDb).arg(pointDb)));
    checkWindows(t, a.grid, size);
}

void TestImportAccuracy::mullionedWindows_data()
{
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<int>("scale");
    QTest::newRow("two panes") << 2 << 1 << 1;
    QTest::newRow("three panes") << 3 << 1 << 1;
    QTest::newRow("four panes, a cross") << 2 << 2 << 1;
    QTest::newRow("two panes, twice as large") << 2 << 1 << 2;
}

// Real windows are divided by mullions, each pane standing out from the
// wall on its own: the search finds the windows, not their panes. A plaster
// wall with some grain, 3 rows of 5 dark windows, mullions of the wall's
// stone between the panes.
void TestImportAccuracy::mullionedWindows()
{
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(int, scale);
    const int w = 36 * scale, h = 48 * scale, mullion = 3 * scale;
    const int rows = 3, cols = 5, bayX = 2 * w, bayY = 2 * h;
    QImage facade(cols * bayX, rows * bayY, QImage::Format_RGB888);
    QRandomGenerator random(7);
    for (int y = 0; y < facade.height(); ++y)
        for (int x = 0; x < facade.width(); ++x) {
            const int grain = int(random.bounded(17)) - 8;
            facade.setPixelColor(x, y, QColor(205 + grain, 190 + grain, 165 + grain));
        }
    std::vector<QRect> truth;
    QPainter p(&facade);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const QRect window(c * bayX + w / 2, r * bayY + h / 2, w, h);
            truth.push_back(window);
            p.fillRect(window, QColor(45 + 10 * ((r + c) % 3), 55, 70));
            for (int k = 1; k < across; ++k)
                p.fillRect(window.x() + k * w / across - mullion / 2, window.y(), mullion, h, QColor(205, 190, 165));
            for (int k = 1; k < down; ++k)
                p.fillRect(window.x(), window.y() + k * h / down - mullion / 2, w, mullion, QColor(205, 190, 165));
        }
    p.end();
    // Searched for unmarked, and from one whole window marked whose drawn
    // curtain its neighbours do not share: the lattice of the salient panes
    // must not then be taken for the windows'.
    QImage curtained = facade;
    QPainter(&curtained).fillRect(QRect(truth[7].topLeft(), QSize(w / 3, h)), QColor(225, 215, 190));
    for (const QRect &marked : {QRect(), truth[7]}) {
        const WindowSearchResult found = findWindows(marked.isNull() ? facade : curtained, marked);
        QVERIFY2(found.status.ok(), found.status.reason.c_str());
        QCOMPARE(int(found.grid.windows.size()), rows * cols);
        for (const FacadeWindow &fw : found.grid.windows) {
            double best = 0.0;
            for (const QRect &t : truth)
                best = std::max(best, iou(QRectF(fw.x, fw.y, fw.width, fw.height), QRectF(t)));
            QVERIFY2(best >= 0.7, qPrintable(QString("window at %1, %2 (%3 x %4): IoU %5, marked: %6")
                                                 .arg(fw.x).arg(fw.y).arg(fw.width).arg(fw.height).arg(best)
                                                 .arg(!marked.isNull())));
        }
    }
}

QTEST_GUILESS_MAIN(TestImportAccuracy)
#include "tst_importaccuracy.moc"
