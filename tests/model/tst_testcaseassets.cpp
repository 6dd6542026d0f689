#include "QWindowData2D.h"

#include "ImageFile.h"
#include "StderrCapture.h"
#include "TestCasePaths.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>

namespace {

// Window i of the generated grids: distinct, odd widths so halving shows.
QSize windowSize(int i)
{
    return QSize(41 + 2 * i, 30 + i);
}

// Writes a tiny test case: every image has its own size so that a test can
// tell which file ended up where.
class CaseBuilder
{
public:
    CaseBuilder(const QString &folder, const QString &fileName, int windows)
        : m_folder(folder), m_fileName(fileName), m_windows(windows)
    {
        const int dot = fileName.lastIndexOf('.');
        m_base = m_folder + "/" + (dot < 0 ? fileName : fileName.left(dot));
        QDir().mkpath(m_base + "/windows/input");
    }

    QString base() const { return m_base; }
    QString windowsDir() const { return m_base + "/windows"; }

    bool facade(bool withWindowSection = true)
    {
        std::string grid = "b\n0 0 1000 500\nw\n0 0 40 40\nh 1\n5 \nv " + std::to_string(m_windows) + "\n";
        for (int i = 0; i < m_windows; ++i)
            grid += std::to_string(i) + " ";
        if (withWindowSection) {
            grid += "\ne " + std::to_string(m_windows);
            for (int i = 0; i < m_windows; ++i) {
                char line[128];
                std::snprintf(line, sizeof line, "\n%d 10 %d %d %d 0 0.000000 0 0.000000 0.000000", 60 * i,
                              windowSize(i).width(), windowSize(i).height(), i);
                grid += line;
            }
        }
        const std::string reconstruction = "#Camera K:\n1 0 0\n0 1 0\n0 0 1\n#Camera R:\n1 0 0\n0 1 0\n0 0 1\n"
                                           "#Homography H for rectification\n"
                                           "#x1 in rectified image, x2 in original image, then x2 = H * x1 \n"
                                           "1 0 0\n0 1 0\n0 0 1\n#Offsets: col_min row_min\n3 4\n";
        const QString baseName = QFileInfo(m_base).fileName();
        return image(m_folder + "/" + m_fileName, QSize(101, 51))
            && image(m_base + "/rec" + m_fileName, QSize(102, 52))
            && image(m_base + "/background.jpg", QSize(103, 53))
            && image(m_base + "/original_background.jpg", QSize(104, 54))
            && text(m_base + "/grids.txt", grid)
            && text(m_base + "/" + baseName + ".reconstruction.txt", reconstruction);
    }

    bool blinds()
    {
        for (int i = 0; i < m_windows; ++i) {
            if (!image(windowsDir() + QString("/input/inputwin_%1.jpg").arg(i), QSize(10 + i, 5)))
                return false;
            for (int level = 0; level <= 10; ++level) {
                if (!image(windowsDir() + QString("/win_%1_%2.jpg").arg(i).arg(10 * level), QSize(10 + i, 20 + level)))
                    return false;
            }
        }
        return true;
    }

    bool shutters()
    {
        std::string shutterText;
        for (int i = 0; i < m_windows; ++i) {
            shutterText += "window " + std::to_string(i) + "\n";
            for (int leaf = 1; leaf <= 2; ++leaf) {
                shutterText += "shutter " + std::to_string(leaf) + "\n" + std::to_string(i) + " 0 0 0\n";
                for (int k = 0; k < 19; ++k)
                    shutterText += std::to_string(10 * k) + " 1 2 3 4\n";
            }
        }
        for (int i = 0; i < m_windows; ++i) {
            if (!image(windowsDir() + QString("/interior_%1.jpg").arg(i), QSize(60 + i, 7)))
                return false;
        }
        return image(windowsDir() + "/interior.jpg", QSize(64, 48))
            && image(windowsDir() + "/shutter_in_1.jpg", QSize(8, 9))
            && image(windowsDir() + "/shutter_in_2.jpg", QSize(11, 12))
            && text(m_base + "/shutters.txt", shutterText);
    }

private:
    static bool image(const QString &path, const QSize &size)
    {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(QColor(200, 120, 40));
        QPainter painter(&picture);
        painter.fillRect(0, 0, size.width() / 2, size.height() / 2, Qt::blue);
        painter.end();
        return picture.save(path, "JPG");
    }

    static bool text(const QString &path, const std::string &content)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly)
            && file.write(content.data(), qint64(content.size())) == qint64(content.size());
    }

    QString m_folder;
    QString m_fileName;
    QString m_base;
    int m_windows;
};

bool listsEmpty(const QWindowData2D &model)
{
    return model.windowImages.empty() && model.blindImages.empty() && model.currentImages.empty()
        && model.imageKeys.empty();
}

} // namespace

class TestTestCaseAssets : public QObject
{
    Q_OBJECT

private slots:
    void blindCaseLoads();
    void blindCaseMissingImage_data();
    void blindCaseMissingImage();
    void facadeImagesInOrder_data();
    void facadeImagesInOrder();
    void missingGridFileFails();
    void baseNames_data();
    void baseNames();
    void noWindowSection();
    void shutterCaseLoads();
    void interiorFallback();
    void oversizedInteriorFallbackFails();
    void shutterTexturesRequired_data();
    void shutterTexturesRequired();
    void destructionReleasesImages();
    void clearWindowImagesEmptiesLists();
    void layoutCatalogue_data();
    void layoutCatalogue();
    void imageReader_data();
    void imageReader();
};

void TestTestCaseAssets::blindCaseLoads()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), "5.jpg", 4);
    QVERIFY(builder.facade());
    QVERIFY(builder.blinds());

    QWindowData2D model;
    QVERIFY(model.loadBlindTestCase(dir.path().toStdString(), "5.jpg"));
    QCOMPARE(model.caseKind, int(TestCaseKind::Blind));
    QCOMPARE(model.originalImage.size(), QSize(101, 51));
    QCOMPARE(model.rectifiedImage.size(), QSize(102, 52));
    QCOMPARE(model.background.size(), QSize(103, 53));
    QCOMPARE(model.originalBackground.size(), QSize(104, 54));
    QCOMPARE(model.rows, 1);
    QCOMPARE(model.cols, 4);
    QCOMPARE(model.colMin, 3);
    QCOMPARE(model.windowImages.size(), std::size_t(4));
    QCOMPARE(model.blindImages.size(), std::size_t(4));
    QCOMPARE(model.currentImages.size(), std::size_t(4));
    QCOMPARE(model.imageKeys, std::vector<int>({0, 1, 2, 3}));
    for (std::size_t i = 0; i < 4; ++i) {
        QCOMPARE(model.windowImages[i]->size(), QSize(10 + int(i), 5));
        QCOMPARE(model.currentImages[i], model.windowImages[i].get());
        QCOMPARE(model.windows[0][i].sourceIndex, int(i));
        QCOMPARE(model.blindImages[i].size(), std::size_t(11));
        for (std::size_t level = 0; level < 11; ++level)
            QCOMPARE(model.blindImages[i][level]->size(), QSize(10 + int(i), 20 + int(level)));
    }
    QVERIFY(model.shutters.empty());
}

// One missing image fails the whole load and leaves every image list empty,
// with one line naming the file.
void TestTestCaseAssets::blindCaseMissingImage_data()
{
    QTest::addColumn<QString>("missing");
    QTest::newRow("level image") << "windows/win_2_70.jpg";
    QTest::newRow("last level") << "windows/win_3_100.jpg";
    QTest::newRow("first input") << "windows/input/inputwin_0.jpg";
    QTest::newRow("last input") << "windows/input/inputwin_3.jpg";
}

void TestTestCaseAssets::blindCaseMissingImage()
{
    QFETCH(QString, missing);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), "5.jpg", 4);
    QVERIFY(builder.facade());
    QVERIFY(builder.blinds());
    const QString path = builder.base() + "/" + missing;
    QVERIFY(QFile::remove(path));

    QWindowData2D model;
    StderrCapture capture;
    QVERIFY(!model.loadBlindTestCase(dir.path().toStdString(), "5.jpg"));
    QCOMPARE(capture.text(), "Cannot read image " + path.toStdString() + "\n");
    QVERIFY(listsEmpty(model));
    QCOMPARE(model.caseKind, int(TestCaseKind::None));
}

// The four facade images load in order and stop at the first that fails.
void TestTestCaseAssets::facadeImagesInOrder_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<int>("loaded");
    QTest::newRow("photograph") << "5.jpg" << 0;
    QTest::newRow("rectified") << "5/rec5.jpg" << 1;
    QTest::newRow("background") << "5/background.jpg" << 2;
    QTest::newRow("original background") << "5/original_background.jpg" << 3;
}

void TestTestCaseAssets::facadeImagesInOrder()
{
    QFETCH(QString, missing);
    QFETCH(int, loaded);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), "5.jpg", 2);
    QVERIFY(builder.facade());
    QVERIFY(QFile::remove(dir.filePath(missing)));

    QWindowData2D model;
    StderrCapture capture;
    QVERIFY(!model.loadImages(dir.path().toStdString(), "5.jpg"));
    QCOMPARE(capture.text(), "Cannot read image " + dir.filePath(missing).toStdString() + "\n");
    const QImage *inOrder[] = {&model.originalImage, &model.rectifiedImage, &model.background,
                               &model.originalBackground};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(inOrder[i]->isNull(), i >= loaded);
}

void TestTestCaseAssets::missingGridFileFails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), "5.jpg", 2);
    QVERIFY(builder.facade());
    QVERIFY(builder.blinds());
    QVERIFY(QFile::remove(builder.base() + "/grids.txt"));
    QWindowData2D model;
    StderrCapture capture;
    QVERIFY(!model.loadBlindTestCase(dir.path().toStdString(), "5.jpg"));
    QCOMPARE(capture.text(), std::string("Can't open input file!\n"));
    QVERIFY(listsEmpty(model));
}

void TestTestCaseAssets::baseNames_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("baseFolder");
    QTest::newRow("two dots") << "a.b.jpg" << "a.b";
    QTest::newRow("upper-case extension") << "facade-1.JPG" << "facade-1";
    QTest::newRow("png") << "7.png" << "7";
}

void TestTestCaseAssets::baseNames()
{
    QFETCH(QString, fileName);
    QFETCH(QString, baseFolder);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), fileName, 1);
    QCOMPARE(QFileInfo(builder.base()).fileName(), baseFolder);
    QVERIFY(builder.facade());
    QVERIFY(builder.blinds());
    QVERIFY(QFileInfo::exists(builder.base() + "/rec" + fileName));
    QWindowData2D model;
    QVERIFY(model.loadBlindTestCase(dir.path().toStdString(), fileName.toStdString()));
    QCOMPARE(model.rowMin, 4);
    QCOMPARE(model.blindImages.size(), std::size_t(1));
}

// Without an "e" section there are no windows: the blind step loads nothing,
// the shutter step still needs the fallback interior and both textures.
void TestTestCaseAssets::noWindowSection()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), "5.jpg", 3);
    QVERIFY(builder.facade(false));
    QVERIFY(builder.shutters());

    QWindowData2D blind;
    QVERIFY(blind.loadBlindTestCase(dir.path().toStdString(), "5.jpg"));
    QVERIFY(listsEmpty(blind));
    QVERIFY(blind.detectedWindows.empty());

    QWindowData2D shutter;
    QVERIFY(shutter.loadShutterTestCase(dir.path().toStdString(), "5.jpg"));
    QVERIFY(shutter.shutters.empty());
    QVERIFY(listsEmpty(shutter));

    QVERIFY(QFile::remove(builder.windowsDir() + "/interior.jpg"));
    QWindowData2D failing;
    StderrCapture capture;
    QVERIFY(!failing.loadShutterTestCase(dir.path().toStdString(), "5.jpg"));
    QCOMPARE(capture.text(), "Cannot read image " + (builder.windowsDir() + "/interior.jpg").toStdString() + "\n");
}

void TestTestCaseAssets::shutterCaseLoads()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), "6.jpg", 3);
    QVERIFY(builder.facade());
    QVERIFY(builder.shutters());

    QWindowData2D model;
    QVERIFY(model.loadShutterTestCase(dir.path().toStdString(), "6.jpg"));
    QCOMPARE(model.caseKind, int(TestCaseKind::Shutter));
    QCOMPARE(model.windowImages.size(), std::size_t(3));
    QVERIFY(model.blindImages.empty());
    QCOMPARE(model.imageKeys, std::vector<int>({0, 1, 2}));
    for (std::size_t i = 0; i < 3; ++i) {
        QCOMPARE(model.windowImages[i]->size(), QSize(60 + int(i), 7));
        QCOMPARE(model.currentImages[i], model.windowImages[i].get());
    }
    QCOMPARE(model.leftShutterImage.size(), QSize(8, 9));
    QCOMPARE(model.rightShutterImage.size(), QSize(11, 12));
    QCOMPARE(model.shutters.size(), std::size_t(3));
    QCOMPARE(model.shutters[2].right.hinge1, QPoint(2, 0));
}

// A missing per-window interior is no error: the shared interior image
// squeezed to half the detected window's width and its full height stands in.
void TestTestCaseAssets::interiorFallback()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), "6.jpg", 5);
    QVERIFY(builder.facade());
    QVERIFY(builder.shutters());
    QVERIFY(QFile::remove(builder.windowsDir() + "/interior_3.jpg"));

    QWindowData2D model;
    StderrCapture capture;
    QVERIFY(model.loadShutterTestCase(dir.path().toStdString(), "6.jpg"));
    QCOMPARE(capture.text(), std::string());
    QCOMPARE(model.windowImages.size(), std::size_t(5));
    QCOMPARE(model.windowImages[3]->size(), QSize(windowSize(3).width() / 2, windowSize(3).height()));
    QCOMPARE(model.windowImages[3]->size(), QSize(23, 33));
    QCOMPARE(model.windowImages[4]->size(), QSize(64, 7));
}

// A grid window so large that its stand-in interior would exceed the pixel
// limit of the images fails the load instead of allocating gigabytes.
void TestTestCaseAssets::oversizedInteriorFallbackFails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), "6.jpg", 3);
    QVERIFY(builder.facade());
    QVERIFY(builder.shutters());
    QVERIFY(QFile::remove(builder.windowsDir() + "/interior_1.jpg"));
    const std::string grid = (builder.base() + "/grids.txt").toStdString();
    QWindowData2D gridOnly;
    QVERIFY(gridOnly.loadGridFile(grid));
    gridOnly.windows[0][1].width = 20001;
    gridOnly.windows[0][1].height = 10000;
    QVERIFY(gridOnly.saveGridFile(grid));

    QWindowData2D model;
    StderrCapture capture;
    QVERIFY(!model.loadShutterTestCase(dir.path().toStdString(), "6.jpg"));
    QCOMPARE(capture.text(), std::string("Window 1 of the grid file would need an interior image of 10000 x 10000 "
                                         "pixels, above the limit of 50 megapixels\n"));
    QCOMPARE(model.caseKind, int(TestCaseKind::None));
}

void TestTestCaseAssets::shutterTexturesRequired_data()
{
    QTest::addColumn<QString>("missing");
    QTest::newRow("left leaf") << "windows/shutter_in_1.jpg";
    QTest::newRow("right leaf") << "windows/shutter_in_2.jpg";
}

// Without a leaf texture the load fails; the interior images stay until the
// model goes.
void TestTestCaseAssets::shutterTexturesRequired()
{
    QFETCH(QString, missing);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), "6.jpg", 2);
    QVERIFY(builder.facade());
    QVERIFY(builder.shutters());
    QVERIFY(QFile::remove(builder.base() + "/" + missing));
    QWindowData2D model;
    StderrCapture capture;
    QVERIFY(!model.loadShutterTestCase(dir.path().toStdString(), "6.jpg"));
    QCOMPARE(capture.text(), "Cannot read image " + (builder.base() + "/" + missing).toStdString() + "\n");
    QCOMPARE(model.caseKind, int(TestCaseKind::None));
    QCOMPARE(model.windowImages.size(), std::size_t(2));
    QVERIFY(model.shutters.empty());
}

// Copies share the model's image data until the model lets go of it.
void TestTestCaseAssets::destructionReleasesImages()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), "5.jpg", 3);
    QVERIFY(builder.facade());
    QVERIFY(builder.blinds());
    auto model = std::make_unique<QWindowData2D>();
    QVERIFY(model->loadBlindTestCase(dir.path().toStdString(), "5.jpg"));
    std::vector<QImage> copies;
    for (const auto &image : model->windowImages)
        copies.push_back(*image);
    for (const auto &levels : model->blindImages)
        for (const auto &image : levels)
            copies.push_back(*image);
    QCOMPARE(copies.size(), std::size_t(3 + 11 * 3));
    for (const QImage &copy : copies)
        QVERIFY(!copy.isDetached());
    model.reset();
    for (const QImage &copy : copies)
        QVERIFY(copy.isDetached());
}

void TestTestCaseAssets::clearWindowImagesEmptiesLists()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CaseBuilder builder(dir.path(), "5.jpg", 2);
    QVERIFY(builder.facade());
    QVERIFY(builder.blinds());
    QWindowData2D model;
    QVERIFY(model.loadBlindTestCase(dir.path().toStdString(), "5.jpg"));
    const QImage kept = *model.blindImages[1][10];
    QVERIFY(!kept.isDetached());
    model.clearWindowImages();
    QVERIFY(listsEmpty(model));
    QVERIFY(kept.isDetached());
    QCOMPARE(model.windows.at(0).size(), std::size_t(2)); // grid data stays
}

// Every name of the test-case layout, for one folder and a photograph whose
// name holds two dots (its base keeps the first).
void TestTestCaseAssets::layoutCatalogue_data()
{
    using namespace TestCasePaths;
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    const std::string f = "T/shutters";
    const std::string p = "a.b.jpg";
    auto row = [](const char *name, const std::string &path, const char *expected) {
        QTest::newRow(name) << QString::fromStdString(path) << QString::fromLatin1(expected);
    };
    row("root", kRootName, "Tessivo_TestCases");
    row("blind folder", kindFolder(TestCaseKind::Blind), "blinds");
    row("shutter folder", kindFolder(TestCaseKind::Shutter), "shutters");
    row("no kind", kindFolder(TestCaseKind::None), "");
    // The kind of a folder by its last component, case and all.
    const auto kindOf = [](const char *folder) { return kindFolder(kindOfFolder(folder)); };
    row("kind of a folder", kindOf("T/shutters") + " " + kindOf("blinds") + "|" + kindOf("T/Blinds")
                                + kindOf("shutters/x") + kindOf("") + kindOf("T/blinds.old"),
        "shutters blinds|");
    row("blind photos", photoName(TestCaseKind::Blind, 0) + " " + photoName(TestCaseKind::Blind, 1) + " "
                            + photoName(TestCaseKind::Blind, 2) + "|" + photoName(TestCaseKind::Blind, 3),
        "1_temp.jpg 5.jpg 7.jpg|");
    row("shutter photos", photoName(TestCaseKind::Shutter, 0) + " " + photoName(TestCaseKind::Shutter, 1) + "|"
                              + photoName(TestCaseKind::Shutter, -1) + photoName(TestCaseKind::Shutter, 2),
        "1.jpg 6.jpg|");
    row("photograph", photograph(f, p), "T/shutters/a.b.jpg");
    row("rectified", rectifiedImage(f, p), "T/shutters/a.b/reca.b.jpg");
    row("background", background(f, p), "T/shutters/a.b/background.jpg");
    row("original background", originalBackground(f, p), "T/shutters/a.b/original_background.jpg");
    row("grid", gridFile(f, p), "T/shutters/a.b/grids.txt");
    row("shutters", shutterFile(f, p), "T/shutters/a.b/shutters.txt");
    row("reconstruction", reconstructionFile(f, p), "T/shutters/a.b/a.b.reconstruction.txt");
    row("input window", inputWindowImage(f, p, 12), "T/shutters/a.b/windows/input/inputwin_12.jpg");
    row("blind level", blindLevelImage(f, p, 3, 70), "T/shutters/a.b/windows/win_3_70.jpg");
    row("interior", interiorImage(f, p), "T/shutters/a.b/windows/interior.jpg");
    row("interior of a window", interiorImage(f, p, 4), "T/shutters/a.b/windows/interior_4.jpg");
    row("left leaf", leftShutterImage(f, p), "T/shutters/a.b/windows/shutter_in_1.jpg");
    row("right leaf", rightShutterImage(f, p), "T/shutters/a.b/windows/shutter_in_2.jpg");
    row("no dot", reconstructionFile(f, "photo"), "T/shutters/photo/photo.reconstruction.txt");
}

void TestTestCaseAssets::layoutCatalogue()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(path, expected);
}


Q_DECLARE_METATYPE(ImageFile::Refusal)

namespace {

QImage halfBlue(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(QColor(200, 120, 40));
    QPainter painter(&picture);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::blue);
    return picture;
}

} // namespace

void TestTestCaseAssets::imageReader_data()
{
    QTest::addColumn<QByteArray>("file");  // the file's bytes; a null array: no file at all
    QTest::addColumn<qint64>("maxPixels");
    QTest::addColumn<qint64>("maxFileBytes");
    QTest::addColumn<bool>("completeJpeg");
    QTest::addColumn<bool>("jpegOrPng");   // only JPEG and PNG taken
    QTest::addColumn<ImageFile::Refusal>("refusal");
    QTest::addColumn<QString>("says");     // in the reason after the file's name

    using R = ImageFile::Refusal;
    const qint64 pixels = ImageFile::kMaxPixels, bytes = ImageFile::kMaxFileBytes;
    const QByteArray jpeg = encodedImage(halfBlue(40, 30), "JPG");
    const QByteArray png = encodedImage(halfBlue(40, 30), "PNG");
    QTest::newRow("jpeg") << jpeg << pixels << bytes << true << false << R::None << QString();
    QTest::newRow("png, JPEG and PNG taken") << png << pixels << bytes << true << true << R::None << QString();
    // A phone's motion photo: a video after the end of image, whose bytes
    // hold both markers, the start of scan last.
    QTest::newRow("jpeg with a trailer") << jpeg + QByteArray("ftypmp42\xFF\xD9\x12\x34\xFF\xDA\x00\x08", 16)
                                         << pixels << bytes << true << false << R::None << QString();
    QTest::newRow("jpeg cut before its end") << jpeg.left(jpeg.size() - 2) << pixels << bytes << true << true
                                             << R::CutOff << "(a cut-off file)";
    QTest::newRow("jpeg cut, completeness not asked") << jpeg.left(jpeg.size() - 2) << pixels << bytes << false
                                                      << false << R::None << QString();
    QTest::newRow("missing file") << QByteArray() << pixels << bytes << true << false << R::CannotOpen << QString();
    QTest::newRow("empty file") << QByteArray("") << pixels << bytes << true << false << R::Empty
                                << "the file is empty";
    QTest::newRow("text") << QByteArray("#Camera K:\n1 0 0\n") << pixels << bytes << true << false << R::NotAnImage
                          << "no image in a format";
    QTest::newRow("bitmap, JPEG and PNG taken") << encodedImage(halfBlue(40, 30), "BMP") << pixels << bytes << true
                                                << true << R::FormatRefused << "a BMP image";
    QTest::newRow("over 50 megapixels") << pngHeaderOnly(10000, 5001) << pixels << bytes << true << false
                                        << R::TooManyPixels << "10000 x 5001 pixels, above the limit of 50 megapixels";
    QTest::newRow("over a lower pixel limit") << png << qint64(1000) << bytes << true << false << R::TooManyPixels
                                              << "40 x 30 pixels";
    QTest::newRow("larger than the file limit") << png << pixels << qint64(png.size() - 1) << true << false
                                                << R::FileTooLarge << "the file is larger than";
    QTest::newRow("png cut in half") << png.left(png.size() / 2) << pixels << bytes << true << false
                                     << R::Undecodable << "its data do not decode";
}

// The one checked reader, from a file and from bytes in memory: what it
// refuses, with its code and a reason naming the file, and what it reads.
void TestTestCaseAssets::imageReader()
{
    QFETCH(QByteArray, file);
    QFETCH(qint64, maxPixels);
    QFETCH(qint64, maxFileBytes);
    QFETCH(bool, completeJpeg);
    QFETCH(bool, jpegOrPng);
    QFETCH(ImageFile::Refusal, refusal);
    QFETCH(QString, says);

    ImageFile::Options options;
    options.maxPixels = maxPixels;
    options.maxFileBytes = maxFileBytes;
    options.completeJpeg = completeJpeg;
    if (jpegOrPng)
        options.formats = {"jpeg", "png"};
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string path = dir.filePath("picture").toStdString();
    if (!file.isNull())
        QVERIFY(writeBytes(dir.filePath("picture"), file));

    ImageFile::Image read;
    Failure failure;
    const bool loaded = ImageFile::load(read, path, options, &failure);
    QCOMPARE(loaded, refusal == ImageFile::Refusal::None);
    QCOMPARE(ImageFile::Refusal(failure.code), refusal);
    if (loaded) {
        QCOMPARE(read.image.size(), QSize(40, 30));
        QVERIFY(failure.reason.empty());
        return;
    }
    QVERIFY(read.image.isNull());
    const std::string prefix = "Cannot read image " + path;
    QCOMPARE(failure.reason.substr(0, prefix.size()), prefix);
    QVERIFY2(QString::fromStdString(failure.reason).contains(says), failure.reason.c_str());

    // The same bytes in memory meet the same checks.
    if (!file.isNull()) {
        Failure fromBytes;
        QVERIFY(!ImageFile::decode(read, file, "picture", options, &fromBytes));
        QCOMPARE(ImageFile::Refusal(fromBytes.code), refusal);
    }
}

QTEST_GUILESS_MAIN(TestTestCaseAssets)
#include "tst_testcaseassets.moc"
