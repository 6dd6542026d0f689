// The generated tree as the program reads it: every case loads through the
// model's own loaders, with the counts and sizes the view relies on, grids
// that vary, blind levels that lower from the top, and backgrounds without
// windows.
#include "GeneratedTree.h"

#include <QtTest>

#include <QFileInfo>

#include <set>

using namespace generated;

namespace {

// Mean absolute difference per component of two equally sized images over
// the rows [y0, y1).
double bandDifference(const QImage &a, const QImage &b, int y0, int y1)
{
    double sum = 0.0;
    long n = 0;
    for (int y = std::max(0, y0); y < std::min({y1, a.height(), b.height()}); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
            n += 3;
        }
    return n ? sum / double(n) : 0.0;
}

QRect rectOf(const FacadeWindow &w)
{
    return QRect(w.x, w.y, w.width, w.height);
}

// The blind lowered to `extent` rows must cover the top rows (it differs from
// the window with its blind up there) and leave the rows below its shadow as
// they are. JPEG noise stays well under the thresholds.
void checkBlindBand(const QImage &lowered, const QImage &up, int extent, const QString &what)
{
    if (extent > 8)
        QVERIFY2(bandDifference(lowered, up, 0, extent - 3) > 8.0, qPrintable(what + ": blind missing"));
    if (extent + 6 < up.height())
        QVERIFY2(bandDifference(lowered, up, extent + 6, up.height()) < 4.0,
                 qPrintable(what + ": window below the blind changed"));
}

} // namespace

class TestGeneratedTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void loadsWithMatchingCounts_data() { addCaseRows(); }
    void loadsWithMatchingCounts();
    void imagesFitTheView_data() { addCaseRows(); }
    void imagesFitTheView();
    void gridVariesAndRestructures_data() { addCaseRows(); }
    void gridVariesAndRestructures();
    void blindLevelsLowerFromTheTop_data();
    void blindLevelsLowerFromTheTop();
    void backgroundsHaveNoWindows_data() { addCaseRows(); }
    void backgroundsHaveNoWindows();
};

void TestGeneratedTree::initTestCase()
{
    QVERIFY2(QFileInfo(treeRoot()).isDir(), qPrintable(treeRoot() + " is missing"));
    QVERIFY(QFileInfo(treeRoot() + "/.tessivo-make-testcases").isFile());
}

void TestGeneratedTree::loadsWithMatchingCounts()
{
    QFETCH(int, index);
    const Case c = cases()[std::size_t(index)];
    QWindowData2D model;
    QVERIFY(load(model, c));
    QCOMPARE(model.caseKind, int(c.blind ? TestCaseKind::Blind : TestCaseKind::Shutter));
    QCOMPARE(model.rowValues.size(), std::size_t(1));
    QCOMPARE(model.colValues.size(), std::size_t(1));
    QVERIFY(model.rows >= 2 && model.rows <= 8);
    QVERIFY(model.cols >= 2 && model.cols <= 8);
    const std::vector<FacadeWindow> &windows = model.detectedWindows.at(0);
    const std::size_t n = windows.size();
    QCOMPARE(int(n), model.rows * model.cols);
    for (std::size_t i = 0; i < n; ++i)
        QCOMPARE(windows[i].col + windows[i].row * model.cols, int(i));

    QCOMPARE(model.windowImages.size(), n);
    QCOMPARE(model.currentImages.size(), n);
    for (std::size_t i = 0; i < n; ++i)
        QCOMPARE(model.windowImages[i]->size(), QSize(windows[i].width, windows[i].height));
    if (c.blind) {
        QCOMPARE(model.blindImages.size(), n);
        for (std::size_t i = 0; i < n; ++i) {
            QCOMPARE(model.blindImages[i].size(), std::size_t(11));
            for (const auto &level : model.blindImages[i])
                QCOMPARE(level->size(), QSize(windows[i].width, windows[i].height));
        }
        QVERIFY(model.shutters.empty());
    } else {
        QVERIFY(model.blindImages.empty());
        QCOMPARE(model.shutters.size(), n);
        for (const ShutterPair &pair : model.shutters)
            for (const ShutterLeaf *leaf : {&pair.left, &pair.right}) {
                QCOMPARE(leaf->angles.size(), std::size_t(19));
                QCOMPARE(leaf->outer1.size(), std::size_t(19));
                QCOMPARE(leaf->outer2.size(), std::size_t(19));
                for (std::size_t k = 0; k < 19; ++k)
                    QVERIFY(std::abs(leaf->angles[k] - double(10 * k) / 180 * 3.1415926) < 1e-9);
            }
        QVERIFY(!model.leftShutterImage.isNull());
        QVERIFY(!model.rightShutterImage.isNull());
        QCOMPARE(model.leftShutterImage.size(), model.rightShutterImage.size());
        QVERIFY(QImage(c.baseFolder() + "/windows/interior.jpg").size().isValid());
    }
}

void TestGeneratedTree::imagesFitTheView()
{
    QFETCH(int, index);
    const Case c = cases()[std::size_t(index)];
    QWindowData2D model;
    QVERIFY(model.loadImages(c.folder().toStdString(), c.fileName.toStdString()));
    for (const QImage *img : {&model.originalImage, &model.rectifiedImage}) {
        QVERIFY(!img->isNull());
        QVERIFY2(img->width() <= 1100 && img->height() <= 820,
                 qPrintable(QString("%1 x %2").arg(img->width()).arg(img->height())));
        QVERIFY(img->width() >= 400 && img->height() >= 300);
    }
    QCOMPARE(model.background.size(), model.rectifiedImage.size());
    QCOMPARE(model.originalBackground.size(), model.originalImage.size());
}

void TestGeneratedTree::gridVariesAndRestructures()
{
    QFETCH(int, index);
    const Case c = cases()[std::size_t(index)];
    QWindowData2D model;
    QVERIFY(load(model, c));
    const std::vector<FacadeWindow> windows = model.detectedWindows.at(0);
    const QRect bounds = model.gridBounds.at(0);
    const QRect cell = model.windowTemplates.at(0);
    QVERIFY(QRect(QPoint(0, 0), model.rectifiedImage.size()).contains(bounds));
    std::set<int> extents;
    std::set<std::pair<double, double>> angles;
    for (const FacadeWindow &w : windows) {
        QVERIFY(bounds.contains(rectOf(w)));
        QCOMPARE(QSize(w.width, w.height), cell.size());
        QVERIFY(w.blindExtent >= 0 && w.blindExtent <= w.height);
        for (double a : {w.leftAngle, w.rightAngle})
            QVERIFY(a >= 0.0 && a <= 3.1415926 + 1e-6);
        extents.insert(w.blindExtent);
        angles.insert({w.leftAngle, w.rightAngle});
    }
    if (c.blind) {
        QVERIFY(extents.size() >= 3);
        QVERIFY(angles.size() == 1);
    } else {
        QVERIFY(angles.size() >= 3);
        QCOMPARE(extents, std::set<int>{0});
    }

    // The detected shape laid out anew on the lattice of bounds and cell (a
    // model whose detected rows differ, so that the lattice is used) puts
    // every window where it was detected.
    QWindowData2D lattice;
    lattice.gridBounds = model.gridBounds;
    lattice.windowTemplates = model.windowTemplates;
    lattice.rowValues = {std::vector<int>(std::size_t(model.rows + 1))};
    lattice.colValues = model.colValues;
    lattice.detectedWindows = {std::vector<FacadeWindow>(1, windows.front())};
    lattice.windowImages.push_back(std::make_unique<QImage>(1, 1, QImage::Format_RGB32));
    QCOMPARE(lattice.restructureGrid(model.rows, model.cols), 1);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        QCOMPARE(lattice.windows[0][i].x, windows[i].x);
        QCOMPARE(lattice.windows[0][i].y, windows[i].y);
    }
    // The user can add a row and a column: they still fit the bounds.
    QCOMPARE(model.restructureGrid(model.rows + 1, model.cols + 1), 1);
}

void TestGeneratedTree::blindLevelsLowerFromTheTop_data()
{
    QTest::addColumn<int>("index");
    const std::vector<Case> all = cases();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].blind)
            QTest::newRow(qPrintable(all[i].fileName)) << int(i);
}

// win_i_p shows the blind lowered to p percent (p = 0: fully up), and the
// input image shows it at the grid's extent, as cut from the rectified image.
void TestGeneratedTree::blindLevelsLowerFromTheTop()
{
    QFETCH(int, index);
    const Case c = cases()[std::size_t(index)];
    QWindowData2D model;
    QVERIFY(load(model, c));
    const std::vector<FacadeWindow> &windows = model.detectedWindows.at(0);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const FacadeWindow &w = windows[i];
        const QImage &up = *model.blindImages[i][0];
        for (int level = 1; level <= 10; ++level) {
            const int extent = int(std::lround(level / 10.0 * w.height));
            checkBlindBand(*model.blindImages[i][std::size_t(level)], up, extent,
                           QString("window %1 level %2").arg(i).arg(level));
        }
        const QImage &input = *model.windowImages[i];
        checkBlindBand(input, up, w.blindExtent, QString("input %1").arg(i));
        const QImage crop = model.rectifiedImage.copy(rectOf(w));
        // JPEG noise stays near 3; a crop one pixel off differs by more than 15.
        const double fromCrop = bandDifference(input, crop, 0, w.height);
        QVERIFY2(fromCrop < 6.0, qPrintable(QString("input %1 differs by %2").arg(i).arg(fromCrop)));
    }
}

// Backgrounds keep the wall and lose the windows: inside a window they
// differ from the picture with windows, around it they agree.
void TestGeneratedTree::backgroundsHaveNoWindows()
{
    QFETCH(int, index);
    const Case c = cases()[std::size_t(index)];
    QWindowData2D model;
    QVERIFY(load(model, c));
    const QImage rectified = model.rectifiedImage.convertToFormat(QImage::Format_RGB32);
    const QImage background = model.background.convertToFormat(QImage::Format_RGB32);
    for (const FacadeWindow &w : model.detectedWindows.at(0)) {
        const QImage withWindow = rectified.copy(rectOf(w));
        const QImage without = background.copy(rectOf(w));
        QVERIFY(bandDifference(withWindow, without, 0, w.height) > 10.0);
        // The wall just above a window is the same (shutter leaves standing
        // out may be seen in front of it, so only where there are none).
        if (c.blind) {
            const QRect above(w.x, w.y - 12, w.width, 8);
            QVERIFY(bandDifference(rectified.copy(above), background.copy(above), 0, 8) < 4.0);
        }
    }
    // So is the ground floor below the grid.
    const int groundTop = model.gridBounds.at(0).bottom() + 8;
    QVERIFY(bandDifference(rectified, background, groundTop, rectified.height()) < 2.0);
    // In the photographs the sky and the street agree; the facade does not.
    const QImage photo = model.originalImage.convertToFormat(QImage::Format_RGB32);
    const QImage photoBackground = model.originalBackground.convertToFormat(QImage::Format_RGB32);
    const QRect sky(0, 0, photo.width(), 12);
    const QRect street(0, photo.height() - 12, photo.width(), 12);
    QVERIFY(bandDifference(photo.copy(sky), photoBackground.copy(sky), 0, 12) < 3.0);
    QVERIFY(bandDifference(photo.copy(street), photoBackground.copy(street), 0, 12) < 3.0);
    QVERIFY(bandDifference(photo, photoBackground, 0, photo.height()) > 1.0);
}

QTEST_GUILESS_MAIN(TestGeneratedTree)
#include "tst_generatedtree.moc"
