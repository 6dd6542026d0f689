// The importer's answers to bad input and to photographs that give it nothing
// to work with, and the grid it builds from windows as found or edited.
#include "FacadeAnalysis.h"
#include "FoundWords.h"
#include "PhotoReader.h"
#include "TestFiles.h"

#include <QtTest>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace FacadeImport;

Q_DECLARE_METATYPE(FacadeImport::ImportError)

namespace {

// Smooth shading with soft dark spots: nothing in it is a straight line.
QImage plainPhoto(int w, int h, const std::vector<QPoint> &spots = {})
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        uchar *row = img.scanLine(y);
        for (int x = 0; x < w; ++x) {
            double v = 150.0 + 40.0 * std::sin(x * 0.013) * std::cos(y * 0.017);
            for (const QPoint &s : spots) {
                const double d2 = (x - s.x()) * (x - s.x()) + (y - s.y()) * (y - s.y());
                v -= 90.0 * std::exp(-d2 / (2.0 * 9.0 * 9.0));
            }
            const int g = std::clamp(int(std::lround(v)), 0, 255);
            row[3 * x] = uchar(g);
            row[3 * x + 1] = uchar(std::min(255, g + 10));
            row[3 * x + 2] = uchar(std::max(0, g - 20));
        }
    }
    return img;
}

double grey(const QImage &img, const QPoint &p)
{
    const QRgb c = img.pixel(p);
    return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
}

} // namespace

class TestImportInput : public QObject
{
    Q_OBJECT

private slots:
    void refusals_data();
    void refusals();
    void jpegTrailers_data();
    void jpegTrailers();
    void withoutLinesOrWindows();
    void shrinkingAveragesFineDetail();
    void arrangement_data();
    void arrangement();
    void words_data();
    void words();
};

void TestImportInput::refusals_data()
{
    QTest::addColumn<QByteArray>("file");      // the file's bytes; empty with name "missing": no file
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("corners");          // 0: proposed; 1 bow tie; 2 outside; 3 not a number; 4 too close
    QTest::addColumn<QRect>("window");         // a marked window, in rectified pixels
    QTest::addColumn<FacadeImport::ImportError>("error");
    QTest::addColumn<QString>("says");

    const QByteArray jpeg = encodedImage(plainPhoto(320, 240), "JPG");
    const QByteArray png = encodedImage(plainPhoto(320, 240), "PNG");
    QTest::newRow("missing file") << QByteArray() << "missing.jpg" << 0 << QRect() << ImportError::Unreadable << "Cannot open";
    QTest::newRow("text") << QByteArray("#Camera K:\n1 0 0\n") << "notes.jpg" << 0 << QRect() << ImportError::NotAnImage
                          << "is not an image";
    QTest::newRow("empty file") << QByteArray() << "empty.png" << 0 << QRect() << ImportError::NotAnImage << "is not an image";
    QTest::newRow("truncated jpeg") << jpeg.left(jpeg.size() * 6 / 10) << "cut.jpg" << 0 << QRect()
                                    << ImportError::Truncated << "cut off";
    QTest::newRow("truncated png") << png.left(png.size() / 2) << "cut.png" << 0 << QRect() << ImportError::NotAnImage
                                   << "cannot be decoded";
    QTest::newRow("over 50 megapixels") << pngHeaderOnly(10000, 5001) << "huge.png" << 0 << QRect()
                                        << ImportError::TooLarge << "50 megapixels";
    QTest::newRow("bitmap") << encodedImage(plainPhoto(200, 200), "BMP") << "photo.bmp" << 0 << QRect()
                            << ImportError::NotAnImage << "JPEG or PNG";
    QTest::newRow("under 64 x 64") << encodedImage(plainPhoto(200, 63), "PNG") << "small.png" << 0 << QRect()
                                   << ImportError::TooSmall << "64 x 64";
    QTest::newRow("corners crossed") << png << "photo.png" << 1 << QRect() << ImportError::BadCorners << "convex";
    QTest::newRow("corner far outside") << png << "photo.png" << 2 << QRect() << ImportError::BadCorners
                                        << "The top-right corner lies too far outside the photograph.";
    QTest::newRow("corner not a number") << png << "photo.png" << 3 << QRect() << ImportError::BadCorners << "numbers";
    QTest::newRow("corners together") << png << "photo.png" << 4 << QRect() << ImportError::BadCorners << "apart";
    QTest::newRow("window outside") << png << "photo.png" << 0 << QRect(300, 10, 40, 40) << ImportError::BadWindow
                                    << "inside";
    QTest::newRow("window of one pixel") << png << "photo.png" << 0 << QRect(100, 100, 1, 1) << ImportError::BadWindow
                                         << "at least 2 x 2 pixels";
}

// Each bad input gets its own error and a message saying what is wrong, and
// nothing of an analysis after the step that refused it.
void TestImportInput::refusals()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, name);
    QFETCH(int, corners);
    QFETCH(QRect, window);
    QFETCH(FacadeImport::ImportError, error);
    QFETCH(QString, says);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(name);
    if (name != "missing.jpg")
        QVERIFY(writeBytes(path, file));

    AnalysisOptions options;
    options.window = window;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    switch (corners) {
    case 1:
        options.corners = {QPointF(10, 10), QPointF(300, 10), QPointF(10, 200), QPointF(300, 200)};
        break;
    case 2:
        options.corners = {QPointF(10, 10), QPointF(481, 10), QPointF(300, 200), QPointF(10, 200)};
        break;
    case 3:
        options.corners = {QPointF(10, 10), QPointF(nan, 10), QPointF(300, 200), QPointF(10, 200)};
        break;
    case 4:
        options.corners = {QPointF(10, 10), QPointF(300, 10), QPointF(300, 200), QPointF(295, 195)};
        break;
    default:
        break;
    }
    options.useCorners = corners != 0;
    const FacadeAnalysis a = analysePhotographFile(path, options);
    QCOMPARE(a.status.error(), error);
    QVERIFY2(QString::fromStdString(a.status.reason).contains(says), a.status.reason.c_str());
    QVERIFY(a.grid.empty());
    QVERIFY(a.background.isNull() && a.originalBackground.isNull() && a.windowImages.empty());
    if (error != ImportError::BadWindow)
        QVERIFY(a.rectified.isNull());
}

void TestImportInput::jpegTrailers_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("complete");
    const QByteArray jpeg = encodedImage(plainPhoto(320, 240), "JPG");
    QTest::newRow("complete") << jpeg << true;
    // A phone's motion photo: a video after the end of image, whose bytes
    // hold both markers, the start of scan last.
    QTest::newRow("trailer with both markers") << jpeg + QByteArray("ftypmp42\xFF\xD9\x12\x34\xFF\xDA\x00\x08", 16)
                                               << true;
    QTest::newRow("trailer with a start of scan") << jpeg + QByteArray("\x00\xFF\xDA\x01\x02", 5) << true;
    QTest::newRow("cut before its end") << jpeg.left(jpeg.size() - 2) << false;
    QTest::newRow("cut in its scan") << jpeg.left(jpeg.size() * 6 / 10) << false;
}

// One segment walk decides for photographs as for case images: a complete
// JPEG is read whatever follows its end of image; one cut short is refused.
void TestImportInput::jpegTrailers()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, complete);
    const Photograph photo = readPhotographData(file, QStringLiteral("photo.jpg"));
    QVERIFY2(photo.status.ok() == complete, photo.status.reason.c_str());
    if (complete)
        QCOMPARE(photo.image.size(), QSize(320, 240));
    else
        QCOMPARE(photo.status.error(), ImportError::Truncated);
}

// A photograph without straight lines falls back to its own extent with the
// default focal length; with no repeated windows the analysis says so and
// keeps the rectified facade, and windows placed by hand then get filled.
void TestImportInput::withoutLinesOrWindows()
{
    const std::vector<QPoint> spots{QPoint(100, 90), QPoint(260, 90)};
    const QImage photo = plainPhoto(400, 300, spots);
    FacadeAnalysis a = analysePhotograph(photo);
    QVERIFY(!a.proposal.fromLines);
    QVERIFY(!a.proposal.horizontal.found && !a.proposal.vertical.found);
    const FacadeQuad extent{QPointF(0, 0), QPointF(400, 0), QPointF(400, 300), QPointF(0, 300)};
    QCOMPARE(a.proposal.corners, extent);
    QVERIFY(!a.plan.camera.focalFromVanishingPoints);
    QCOMPARE(a.plan.camera.focal, 1.2 * 400);
    QCOMPARE(a.rectified.size(), QSize(400, 300));
    QVERIFY(std::abs(grey(a.rectified, QPoint(200, 150)) - grey(photo, QPoint(200, 150))) <= 1.0);

    QCOMPARE(a.status.error(), ImportError::NoWindows);
    QCOMPARE(a.status.reason, std::string("No repeated windows were found."));
    QVERIFY(a.grid.empty());
    QCOMPARE(a.background, a.rectified);
    QCOMPARE(a.originalBackground, a.photo);

    // The user marks the two dark spots as windows: the background there
    // shows the shading the photograph has without them.
    updateWindows(a, {{QRect(85, 75, 30, 30), 1.0}, {QRect(245, 75, 30, 30), 1.0}});
    QVERIFY2(a.status.ok(), a.status.reason.c_str());
    QCOMPARE(a.grid.rows(), 1);
    QCOMPARE(a.grid.cols(), 2);
    QCOMPARE(int(a.windowImages.size()), 2);
    const QImage wallOnly = plainPhoto(400, 300);
    for (const QPoint &s : spots) {
        const double wall = grey(wallOnly, s);
        QVERIFY(grey(a.rectified, s) < wall - 50.0);
        QVERIFY2(std::abs(grey(a.background, s) - wall) < 12.0,
                 qPrintable(QString("filled with %1 where the wall is %2").arg(grey(a.background, s)).arg(wall)));
        QVERIFY2(std::abs(grey(a.originalBackground, s) - grey(a.background, s)) <= 2.0, qPrintable(QString("%1 %2 %3").arg(grey(a.originalBackground, s)).arg(grey(a.background, s)).arg(grey(a.photo, s))));
    }
}

// Rectifying a large photograph shrinks it: detail finer than a rectified
// pixel is averaged, not sampled. Black and white lines one photo pixel wide
// become a nearly even grey (a box of 2.4 photo pixels leaves a faint beat,
// a deviation near 17), where one bilinear sample per pixel keeps a strong
// moire (near 75).
void TestImportInput::shrinkingAveragesFineDetail()
{
    QImage photo(3000, 2000, QImage::Format_RGB888);
    for (int y = 0; y < photo.height(); ++y) {
        uchar *row = photo.scanLine(y);
        for (int x = 0; x < photo.width(); ++x)
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = (x + y / 700) % 2 ? 255 : 0;
    }
    AnalysisOptions options;
    options.useCorners = true;
    options.corners = {QPointF(0, 0), QPointF(3000, 0), QPointF(3000, 2000), QPointF(0, 2000)};
    const FacadeAnalysis a = analysePhotograph(photo, options);
    QVERIFY(!a.rectified.isNull());
    QVERIFY(a.rectified.width() <= kMaxRectifiedWidth && a.rectified.height() <= kMaxRectifiedHeight);
    double sum = 0.0, sum2 = 0.0;
    int n = 0;
    for (int y = 2; y < a.rectified.height() - 2; ++y)
        for (int x = 2; x < a.rectified.width() - 2; ++x) {
            const double g = grey(a.rectified, QPoint(x, y));
            sum += g;
            sum2 += g * g;
            ++n;
        }
    const double mean = sum / n;
    const double deviation = std::sqrt(std::max(0.0, sum2 / n - mean * mean));
    QVERIFY2(std::abs(mean - 127.5) < 4.0, qPrintable(QString("mean %1").arg(mean)));
    QVERIFY2(deviation < 30.0, qPrintable(QString("deviation %1").arg(deviation)));
}

void TestImportInput::arrangement_data()
{
    QTest::addColumn<QList<QRect>>("rects");
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QList<QPoint>>("cells"); // expected (column, row), in the grid's order
    QTest::addColumn<QList<int>>("colValues");
    QTest::addColumn<QList<int>>("rowValues");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QSize>("cell");

    // Two rows of three 40 x 60 windows, 30 apart across and 40 down,
    // listed out of order.
    const QList<QRect> lattice{QRect(170, 200, 40, 60), QRect(100, 100, 40, 60), QRect(30, 200, 40, 60),
                               QRect(30, 100, 40, 60), QRect(170, 100, 40, 60), QRect(100, 200, 40, 60)};
    const QList<QPoint> all{QPoint(0, 0), QPoint(1, 0), QPoint(2, 0), QPoint(0, 1), QPoint(1, 1), QPoint(2, 1)};
    QTest::newRow("found, any order") << lattice << QSize(400, 400) << all << QList<int>{50, 120, 190}
                                      << QList<int>{130, 230} << QRect(15, 80, 210, 200) << QSize(40, 60);

    // Edited: the middle window of the top row removed, one moved by a few
    // pixels and resized, one added beside the grid, one dragged off the image.
    QList<QRect> edited = lattice;
    edited.removeAt(1);
    edited[0] = QRect(174, 203, 44, 60);
    edited << QRect(240, 100, 40, 60) << QRect(500, 500, 40, 60);
    const QList<QPoint> cells{QPoint(0, 0), QPoint(2, 0), QPoint(3, 0), QPoint(0, 1), QPoint(1, 1), QPoint(2, 1)};
    QTest::newRow("edited") << edited << QSize(400, 400) << cells << QList<int>{50, 120, 193, 260} << QList<int>{130, 230}
                            << QRect(15, 80, 280, 203) << QSize(40, 60);

    // Bounds stay inside the image.
    QTest::newRow("at the border") << QList<QRect>{QRect(0, 0, 40, 60), QRect(60, 0, 40, 60)} << QSize(100, 60)
                                   << QList<QPoint>{QPoint(0, 0), QPoint(1, 0)} << QList<int>{20, 80} << QList<int>{30}
                                   << QRect(0, 0, 100, 60) << QSize(40, 60);
}

void TestImportInput::arrangement()
{
    QFETCH(QList<QRect>, rects);
    QFETCH(QSize, image);
    QFETCH(QList<QPoint>, cells);
    QFETCH(QList<int>, colValues);
    QFETCH(QList<int>, rowValues);
    QFETCH(QRect, bounds);
    QFETCH(QSize, cell);

    std::vector<PlacedWindow> placed;
    for (const QRect &r : rects)
        placed.push_back({r, 0.9});
    const WindowGrid grid = arrangeWindows(placed, image);
    QCOMPARE(int(grid.windows.size()), cells.size());
    for (int i = 0; i < cells.size(); ++i) {
        QCOMPARE(QPoint(grid.windows[std::size_t(i)].col, grid.windows[std::size_t(i)].row), cells[i]);
        QVERIFY(rects.contains(QRect(grid.windows[std::size_t(i)].x, grid.windows[std::size_t(i)].y,
                                     grid.windows[std::size_t(i)].width, grid.windows[std::size_t(i)].height)));
        QCOMPARE(grid.windows[std::size_t(i)].aux, 0.9);
    }
    QCOMPARE(QList<int>(grid.colValues.begin(), grid.colValues.end()), colValues);
    QCOMPARE(QList<int>(grid.rowValues.begin(), grid.rowValues.end()), rowValues);
    QCOMPARE(grid.bounds, bounds);
    QCOMPARE(grid.windowTemplate.size(), cell);
    QCOMPARE(grid.windowTemplate.topLeft(), QPoint(grid.windows[0].x, grid.windows[0].y));
}

void TestImportInput::words_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("before"); // windows before a search for repeats
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("one") << 1 << 1 << 1 << "1 window in 1 row x 1 column" << "No repeats found: add them with Add window";
    QTest::newRow("one row") << 1 << 2 << 1 << "2 windows in 1 row x 2 columns" << "1 more window found";
    QTest::newRow("one column") << 3 << 1 << 3 << "3 windows in 3 rows x 1 column" << "No more windows found";
    QTest::newRow("many") << 3 << 5 << 1 << "15 windows in 3 rows x 5 columns" << "14 more windows found";
}

// Counts in the wizard and on the command line take the noun's number from
// the count; a search tells what it added.
void TestImportInput::words()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(int, before);
    QFETCH(QString, summary);
    QFETCH(QString, outcome);

    std::vector<PlacedWindow> placed;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            placed.push_back({QRect(20 + 60 * c, 20 + 80 * r, 30, 40), 1.0});
    const WindowGrid grid = arrangeWindows(placed, QSize(400, 300));
    QCOMPARE(int(grid.windows.size()), rows * cols);
    QCOMPARE(gridSummary(grid), summary);
    QCOMPARE(searchOutcome(before, int(grid.windows.size())), outcome);
}

QTEST_GUILESS_MAIN(TestImportInput)
#include "tst_importinput.moc"
