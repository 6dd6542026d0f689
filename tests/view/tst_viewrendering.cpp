// What the facade view draws, checked on pixels read back from GL.
#include "FacadeGLWidget.h"
#include "KeepGLDriver.h"
#include "QWindowData2D.h"
#include "ViewFixtures.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <set>

using namespace ViewFixtures;

namespace {

const QColor white(255, 255, 255);
const QColor grey(128, 128, 128);
const QColor brown(90, 60, 30);
const QColor green(30, 160, 60);
const QColor magenta(255, 0, 255);
const QColor cyan(0, 255, 255);
const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);
const QColor yellow(255, 255, 0);
const QColor interior(200, 200, 0);
const QColor leftLeaf(0, 128, 0);
const QColor rightLeaf(128, 0, 128);

// Quadrant colours of the orientation texture, as seen in the upright image.
const QColor topLeft(200, 40, 40);
const QColor topRight(40, 200, 40);
const QColor bottomLeft(40, 40, 200);
const QColor bottomRight(200, 200, 40);

QImage quadrantImage()
{
    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const QColor c = y < 32 ? (x < 32 ? topLeft : topRight) : (x < 32 ? bottomLeft : bottomRight);
            image.setPixelColor(x, y, c);
        }
    }
    return image;
}

// Writes the two shutter-leaf images (and the interior image the model's
// loader needs beside them) of a test case "<stem>.jpg" under folder.
bool writeShutterImages(const QString &folder, const QString &stem, const QImage &left, const QImage &right)
{
    const QString dir = folder + "/" + stem + "/windows";
    return QDir().mkpath(dir) && left.save(dir + "/shutter_in_1.jpg", "JPG", 100)
        && right.save(dir + "/shutter_in_2.jpg", "JPG", 100)
        && ViewFixtures::solidImage(8, 8, QColor(200, 200, 0)).save(dir + "/interior.jpg", "JPG", 100);
}

// A model holding only the leaf images of the test case folder/fileName, read by
// the model's own loader (no detected windows, so no window images).
std::unique_ptr<QWindowData2D> leafImagesOf(const QString &folder, const QString &fileName)
{
    auto model = std::make_unique<QWindowData2D>();
    model->detectedWindows = {{}};
    model->loadInteriorImages(folder.toStdString(), fileName.toStdString());
    return model;
}

enum Defect { CaseKindNone, ImageCountDiffers, NullCurrentImage, NoWindowGroup };
enum DisplayOption { ShowGrid, ShowInOriginalView, ShowOriginalImage, DragAllBlinds };

} // namespace

class TestViewRendering : public QObject
{
    Q_OBJECT

private slots:
    // Pins the GL driver for the exit-time leak check.
    void cleanupTestCase() { keepGLDriverLoaded(); }
    void construction();
    void emptyViewIsWhite();
    void blindCaseInRectifiedView();
    void selectionAndBlindEdge_data();
    void selectionAndBlindEdge();
    void hoverHighlight_data();
    void hoverHighlight();
    void inconsistentBlindModels_data();
    void inconsistentBlindModels();
    void changedImagesAreRedrawn();
    void backgroundTallerThanView();
    void shutterLeavesAtNearestSample_data();
    void shutterLeavesAtNearestSample();
    void shutterTextureOrientation();
    void shutterWindowImageFillsItsBox();
    void shutterDefects();
    void originalView();
    void originalViewSkipsWindowsWithoutTexture();
    void originalViewShutters();
    void originalImageAlone_data();
    void originalImageAlone();
    void displayOptionsRepaint_data();
    void displayOptionsRepaint();
    void screenshotEqualsFrame_data();
    void screenshotEqualsFrame();
    void screenshotOfAViewSmallerThanTheImage();
    void screenshotWithoutModelWritesNothing();
    void windowTextureKeys();
    void windowTexturesNeedMatchingCounts();
    void rebindingDeletesOldTextures();
    void shutterTextureFiles_data();
    void shutterTextureFiles();
    void setImageResizesOnly();
    void operationsBeforeShow();

private:
    // A shutter model with its leaf textures loaded into the view.
    std::unique_ptr<QWindowData2D> loadShutterCase(FacadeGLWidget &view, const QImage &left,
                                                   const QImage &right);

    QTemporaryDir tempDir;
};

std::unique_ptr<QWindowData2D> TestViewRendering::loadShutterCase(FacadeGLWidget &view, const QImage &left,
                                                                  const QImage &right)
{
    static int caseNumber = 0;
    const QString stem = QString::number(++caseNumber);
    if (!writeShutterImages(tempDir.path(), stem, left, right))
        return nullptr;
    auto model = shutterModel();
    const auto leaves = leafImagesOf(tempDir.path(), stem + ".jpg");
    model->leftShutterImage = leaves->leftShutterImage;
    model->rightShutterImage = leaves->rightShutterImage;
    view.loadShutterTextures(tempDir.path().toStdString(), (stem + ".jpg").toStdString());
    view.setWindowData(model.get());
    view.bindWindowTextures();
    return model;
}

void TestViewRendering::construction()
{
    FacadeGLWidget view;
    QVERIFY(view.hasMouseTracking());
    QVERIFY(view.parentWidget() == nullptr);
    QCOMPARE(view.demoDialog, static_cast<TessivoDemo *>(nullptr));
    QCOMPARE(view.windowData, static_cast<QWindowData2D *>(nullptr));
    QCOMPARE(view.loadedImage, static_cast<QImage *>(nullptr));
    QVERIFY(view.glImage.isNull());
    QCOMPARE(QColor::fromRgbF(view.clearColor[0], view.clearColor[1], view.clearColor[2]), white);
    QCOMPARE(view.leftShutterTexture, GLuint(0));
    QCOMPARE(view.rightShutterTexture, GLuint(0));
    QVERIFY(view.windowTextures.empty());
    QCOMPARE(view.selectedWindowIndex(), -1);
    QCOMPARE(view.hoveredWindow, -1);
    QVERIFY(!view.draggingBlind && !view.movingWindow);
    QCOMPARE(view.lastMousePos, QPoint(0, 0));
    QVERIFY(view.showGrid);
    QVERIFY(!view.showInOriginalView && !view.showOriginalImage && !view.dragAllBlinds);
    // What was asked for, not what the display could give.
    QVERIFY(view.context()->requestedFormat().sampleBuffers());

    QVERIFY(showView(view, 160, 120));
    QCOMPARE(QSize(view.viewWidth, view.viewHeight), QSize(160, 120));
}

void TestViewRendering::emptyViewIsWhite()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 120, 90));
    const QImage image = frame(view);
    QCOMPARE(image.size(), QSize(120, 90));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(image.pixelColor(x, y), white);
    }
}

void TestViewRendering::blindCaseInRectifiedView()
{
    FacadeGLWidget view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model));
    const QImage image = frame(view);

    COMPARE_PIXEL(image, 5, 5, grey);       // background from the origin
    COMPARE_PIXEL(image, 199, 149, grey);
    COMPARE_PIXEL(image, 200, 100, white);  // beyond the background
    COMPARE_PIXEL(image, 100, 150, white);
    // Window images at their own size from the window's corner.
    COMPARE_PIXEL(image, 25, 35, magenta);
    COMPARE_PIXEL(image, 49, 49, magenta);
    COMPARE_PIXEL(image, 50, 40, grey);
    COMPARE_PIXEL(image, 40, 50, grey);
    COMPARE_PIXEL(image, 145, 85, cyan);    // larger than its window: overlaps the facade
    COMPARE_PIXEL(image, 150, 85, grey);
    // Red outlines two pixels wide, over the images.
    for (const QPoint &p : {QPoint(40, 29), QPoint(40, 30), QPoint(19, 60), QPoint(20, 60),
                            QPoint(40, 79), QPoint(40, 80), QPoint(59, 60), QPoint(60, 60),
                            QPoint(120, 30), QPoint(139, 60)})
        COMPARE_PIXEL(image, p.x(), p.y(), red);
    COMPARE_PIXEL(image, 40, 27, grey);
    COMPARE_PIXEL(image, 40, 32, magenta);
    COMPARE_PIXEL(image, 17, 60, grey);
    COMPARE_PIXEL(image, 22, 60, grey);
}

void TestViewRendering::selectionAndBlindEdge_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("grid");
    QTest::addColumn<QColor>("topEdge");   // at (40, 30), top edge of window 0
    QTest::addColumn<QColor>("blindEdge"); // at (40, 55), blind edge of window 0
    QTest::addColumn<QColor>("otherTop");  // at (120, 30), top edge of window 1

    QTest::newRow("no selection") << -1 << true << red << grey << red;
    QTest::newRow("window 0 selected") << 0 << true << blue << yellow << red;
    QTest::newRow("window 1 selected") << 1 << true << red << grey << blue;
    QTest::newRow("index beyond group 0") << 2 << true << red << grey << red;
    QTest::newRow("grid hidden") << 0 << false << magenta << grey << cyan;
}

void TestViewRendering::selectionAndBlindEdge()
{
    QFETCH(int, selected);
    QFETCH(bool, grid);
    QFETCH(QColor, topEdge);
    QFETCH(QColor, blindEdge);
    QFETCH(QColor, otherTop);

    FacadeGLWidget view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model));
    view.selectedWindow = selected;
    view.setShowGrid(grid);
    const QImage image = frame(view);

    COMPARE_PIXEL(image, 40, 30, topEdge);
    COMPARE_PIXEL(image, 40, 55, blindEdge);
    COMPARE_PIXEL(image, 120, 30, otherTop);
}

void TestViewRendering::hoverHighlight_data()
{
    QTest::addColumn<int>("hovered");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QColor>("insideWindow1"); // (120, 70): cyan image of window 1
    QTest::addColumn<QColor>("insideWindow0"); // (55, 60): background inside window 0

    QTest::newRow("nothing hovered") << -1 << -1 << cyan << grey;
    QTest::newRow("window 1 hovered") << 1 << -1 << hoverBlend(cyan) << grey;
    QTest::newRow("window 0 hovered, 1 selected") << 0 << 1 << cyan << hoverBlend(grey);
    QTest::newRow("hovered window is selected") << 1 << 1 << cyan << grey;
    QTest::newRow("index beyond group 0") << 5 << -1 << cyan << grey;
}

void TestViewRendering::hoverHighlight()
{
    QFETCH(int, hovered);
    QFETCH(int, selected);
    QFETCH(QColor, insideWindow1);
    QFETCH(QColor, insideWindow0);

    FacadeGLWidget view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model));
    view.hoveredWindow = hovered;
    view.selectedWindow = selected;
    const QImage image = frame(view);

    COMPARE_PIXEL(image, 120, 70, insideWindow1);
    COMPARE_PIXEL(image, 55, 60, insideWindow0);
    COMPARE_PIXEL(image, 150, 100, grey); // outside every window
}

void TestViewRendering::inconsistentBlindModels_data()
{
    QTest::addColumn<int>("defect");
    QTest::addColumn<QColor>("window0");  // (25, 35)
    QTest::addColumn<QColor>("window1");  // (145, 85)
    QTest::addColumn<QColor>("outline");  // (40, 30)

    QTest::newRow("case kind none") << int(CaseKindNone) << grey << grey << red;
    QTest::newRow("fewer images than windows") << int(ImageCountDiffers) << grey << grey << red;
    QTest::newRow("null current image") << int(NullCurrentImage) << grey << cyan << red;
    QTest::newRow("no window group") << int(NoWindowGroup) << grey << grey << grey;
}

void TestViewRendering::inconsistentBlindModels()
{
    QFETCH(int, defect);
    QFETCH(QColor, window0);
    QFETCH(QColor, window1);
    QFETCH(QColor, outline);

    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = twoWindowBlindModel();
    switch (Defect(defect)) {
    case CaseKindNone:
        model->caseKind = int(TestCaseKind::None);
        break;
    case ImageCountDiffers:
        model->currentImages.pop_back();
        break;
    case NullCurrentImage:
        model->currentImages[0] = nullptr;
        break;
    case NoWindowGroup:
        model->windows.clear();
        break;
    }
    view.setWindowData(model.get());
    view.selectedWindow = 0;
    view.hoveredWindow = 1;

    for (bool original : {false, true}) {
        view.setShowInOriginalView(original);
        view.bindWindowTextures();
        const QImage image = frame(view);
        if (!original) {
            COMPARE_PIXEL(image, 25, 35, window0);
            COMPARE_PIXEL(image, 145, 85, window1);
            COMPARE_PIXEL(image, 40, 30, defect == NoWindowGroup ? grey : blue);
            COMPARE_PIXEL(image, 120, 29, outline);
        } else {
            // Original view: window 0 fills (40, 60)-(120, 160), window 1 (200, 60)-(280, 160).
            COMPARE_PIXEL(image, 80, 130, window0 == grey ? brown : magenta);
            COMPARE_PIXEL(image, 240, 120, window1 == cyan ? hoverBlend(cyan) : (defect == NoWindowGroup ? brown : hoverBlend(brown)));
        }
    }
}

void TestViewRendering::changedImagesAreRedrawn()
{
    FacadeGLWidget view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model));
    COMPARE_PIXEL(frame(view), 25, 35, magenta);

    // Pixels changed in place, a replaced background and a window pointing at another image.
    model->windowImages[0]->fill(QColor(10, 20, 30));
    model->background = solidImage(200, 150, QColor(70, 80, 90));
    model->currentImages[1] = model->blindImages[1][4].get();
    const QImage image = frame(view);
    COMPARE_PIXEL(image, 25, 35, QColor(10, 20, 30));
    COMPARE_PIXEL(image, 5, 5, QColor(70, 80, 90));
    COMPARE_PIXEL(image, 101, 31, blindColor(1, 4));
    COMPARE_PIXEL(image, 145, 85, QColor(70, 80, 90));
}

void TestViewRendering::backgroundTallerThanView()
{
    // The background's lower-left corner (y = 150) and window 1's image corner
    // (y = 90) lie below an 85-pixel view: neither is drawn; window 0's image is.
    FacadeGLWidget view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model, 320, 85));
    const QImage image = frame(view);
    COMPARE_PIXEL(image, 5, 5, white);
    COMPARE_PIXEL(image, 25, 35, magenta);
    COMPARE_PIXEL(image, 120, 45, white);
    COMPARE_PIXEL(image, 40, 30, red);
}

void TestViewRendering::shutterLeavesAtNearestSample_data()
{
    QTest::addColumn<double>("leftAngle");
    QTest::addColumn<double>("rightAngle");
    QTest::addColumn<QColor>("at50");
    QTest::addColumn<QColor>("at62");
    QTest::addColumn<QColor>("at78");
    QTest::addColumn<QColor>("at90");

    QTest::newRow("closed") << 0.0 << 0.0 << leftLeaf << leftLeaf << rightLeaf << rightLeaf;
    QTest::newRow("half open") << 0.5 << 0.5 << leftLeaf << interior << interior << rightLeaf;
    QTest::newRow("open") << 1.0 << 1.0 << interior << interior << interior << interior;
    QTest::newRow("halfway ties take the first sample") << 0.25 << 0.75 << leftLeaf << leftLeaf << interior << rightLeaf;
    QTest::newRow("nearest") << 0.9 << 0.2 << interior << interior << rightLeaf << rightLeaf;
    QTest::newRow("beyond the samples") << 3.0 << -1.0 << interior << interior << rightLeaf << rightLeaf;
}

void TestViewRendering::shutterLeavesAtNearestSample()
{
    QFETCH(double, leftAngle);
    QFETCH(double, rightAngle);
    QFETCH(QColor, at50);
    QFETCH(QColor, at62);
    QFETCH(QColor, at78);
    QFETCH(QColor, at90);

    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = loadShutterCase(view, solidImage(32, 32, leftLeaf), solidImage(32, 32, rightLeaf));
    QVERIFY(model);
    model->windows[0][0].leftAngle = leftAngle;
    model->windows[0][0].rightAngle = rightAngle;
    view.selectedWindow = 0;
    const QImage image = frame(view);

    COMPARE_PIXEL(image, 50, 80, at50);
    COMPARE_PIXEL(image, 62, 80, at62);
    COMPARE_PIXEL(image, 78, 80, at78);
    COMPARE_PIXEL(image, 90, 80, at90);
    COMPARE_PIXEL(image, 20, 80, grey);
    // Leaves lie over the outlines; a shutter case has no blind edge.
    COMPARE_PIXEL(image, 55, 40, (leftAngle <= 0.25) ? leftLeaf : blue);
}

void TestViewRendering::shutterTextureOrientation()
{
    // Left leaf: the image's right edge on the hinge (x = 40), its top at hinge1 (y = 40).
    // Right leaf: the image's left edge on the hinge (x = 100), its top at hinge1.
    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = loadShutterCase(view, quadrantImage(), quadrantImage());
    QVERIFY(model);
    const QImage image = frame(view);
    COMPARE_PIXEL(image, 47, 60, topRight);
    COMPARE_PIXEL(image, 63, 60, topLeft);
    COMPARE_PIXEL(image, 47, 100, bottomRight);
    COMPARE_PIXEL(image, 63, 100, bottomLeft);
    COMPARE_PIXEL(image, 93, 60, topLeft);
    COMPARE_PIXEL(image, 77, 60, topRight);
    COMPARE_PIXEL(image, 93, 100, bottomLeft);
    COMPARE_PIXEL(image, 77, 100, bottomRight);
}

void TestViewRendering::shutterWindowImageFillsItsBox()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = loadShutterCase(view, solidImage(32, 32, leftLeaf), solidImage(32, 32, rightLeaf));
    QVERIFY(model);
    // Left half and right half of a 30 x 40 interior, stretched over the 60 x 80 box.
    QImage halves = solidImage(30, 40, QColor(220, 120, 0));
    for (int y = 0; y < 40; ++y) {
        for (int x = 15; x < 30; ++x)
            halves.setPixelColor(x, y, QColor(0, 120, 220));
    }
    *model->windowImages[0] = halves;
    model->windows[0][0].leftAngle = model->windows[0][0].rightAngle = 1.0;
    const QImage image = frame(view);
    COMPARE_PIXEL(image, 50, 60, QColor(220, 120, 0));
    COMPARE_PIXEL(image, 68, 110, QColor(220, 120, 0));
    COMPARE_PIXEL(image, 72, 60, QColor(0, 120, 220));
    COMPARE_PIXEL(image, 93, 110, QColor(0, 120, 220));
    COMPARE_PIXEL(image, 36, 80, grey);
}

void TestViewRendering::shutterDefects()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = loadShutterCase(view, solidImage(32, 32, leftLeaf), solidImage(32, 32, rightLeaf));
    QVERIFY(model);

    // A leaf without samples is left out; its partner is drawn.
    model->shutters[0].left.angles.clear();
    QImage image = frame(view);
    COMPARE_PIXEL(image, 50, 80, interior);
    COMPARE_PIXEL(image, 90, 80, rightLeaf);

    // Fewer outer corners than samples: that leaf is left out too.
    model->shutters[0].left.angles = {0.0, 0.5, 1.0};
    model->shutters[0].left.outer1.resize(1);
    model->windows[0][0].leftAngle = 1.0;
    image = frame(view);
    COMPARE_PIXEL(image, 50, 80, interior);

    // No leaf pairs: neither leaves nor window images.
    model->shutters.clear();
    image = frame(view);
    COMPARE_PIXEL(image, 50, 80, grey);
    COMPARE_PIXEL(image, 90, 80, grey);
    COMPARE_PIXEL(image, 40, 80, red);
}

void TestViewRendering::originalView()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = twoWindowBlindModel();
    // Window 0 shows a top half and a bottom half, to see it upright.
    QImage halves = solidImage(30, 20, QColor(220, 40, 40));
    for (int y = 10; y < 20; ++y) {
        for (int x = 0; x < 30; ++x)
            halves.setPixelColor(x, y, QColor(40, 220, 40));
    }
    *model->windowImages[0] = halves;
    view.setWindowData(model.get());
    view.bindWindowTextures();
    view.setShowInOriginalView(true);
    view.selectedWindow = 0;
    view.hoveredWindow = 1;
    const QImage image = frame(view);

    // H = diag(2, 2, 1): window 0 covers (40, 60)-(120, 160), window 1 (200, 60)-(280, 160).
    COMPARE_PIXEL(image, 5, 5, brown);
    COMPARE_PIXEL(image, 299, 219, brown);
    COMPARE_PIXEL(image, 310, 100, white);
    COMPARE_PIXEL(image, 80, 75, QColor(220, 40, 40));
    COMPARE_PIXEL(image, 80, 150, QColor(40, 220, 40));
    COMPARE_PIXEL(image, 115, 155, QColor(40, 220, 40)); // fitted to the window, not its own size
    COMPARE_PIXEL(image, 285, 100, brown);
    COMPARE_PIXEL(image, 240, 140, hoverBlend(cyan));
    // Outlines along the mapped edges; the selection loop and the blind edge at 2 * (30 + 25).
    COMPARE_PIXEL(image, 240, 59, red);
    COMPARE_PIXEL(image, 199, 110, red);
    COMPARE_PIXEL(image, 80, 60, blue);
    COMPARE_PIXEL(image, 120, 90, blue);
    COMPARE_PIXEL(image, 80, 110, yellow);
    COMPARE_PIXEL(image, 30, 60, brown);
}

void TestViewRendering::originalViewSkipsWindowsWithoutTexture()
{
    FacadeGLWidget view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model));
    view.bindWindowTextures();
    view.setShowInOriginalView(true);
    model->imageKeys[1] = 999; // no texture under this key
    const QImage image = frame(view);
    COMPARE_PIXEL(image, 80, 110, magenta);
    COMPARE_PIXEL(image, 240, 110, brown);
}

void TestViewRendering::originalViewShutters()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 260));
    auto model = loadShutterCase(view, solidImage(32, 32, leftLeaf), solidImage(32, 32, rightLeaf));
    QVERIFY(model);
    model->windows[0][0].leftAngle = 0.0;
    model->windows[0][0].rightAngle = 1.0;
    view.setShowInOriginalView(true);
    const QImage image = frame(view);
    // The window's box maps to (80, 80)-(200, 240); the left leaf closed to x = 140,
    // the right leaf open from x = 190.
    COMPARE_PIXEL(image, 100, 150, leftLeaf);
    COMPARE_PIXEL(image, 130, 230, leftLeaf);
    COMPARE_PIXEL(image, 160, 150, interior);
    COMPARE_PIXEL(image, 195, 150, rightLeaf);
    COMPARE_PIXEL(image, 60, 150, brown);
}

void TestViewRendering::originalImageAlone_data()
{
    QTest::addColumn<bool>("grid");
    QTest::addColumn<bool>("originalView");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("hovered");

    QTest::newRow("plain") << false << false << -1 << -1;
    QTest::newRow("grid, selection and hover") << true << false << 0 << 1;
    QTest::newRow("in original view") << true << true << 1 << 0;
}

void TestViewRendering::originalImageAlone()
{
    QFETCH(bool, grid);
    QFETCH(bool, originalView);
    QFETCH(int, selected);
    QFETCH(int, hovered);

    FacadeGLWidget view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model));
    view.bindWindowTextures();
    view.setShowOriginalImage(true);
    view.setShowGrid(grid);
    view.setShowInOriginalView(originalView);
    view.selectedWindow = selected;
    view.hoveredWindow = hovered;
    const QImage image = frame(view);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor expected = (x < 300 && y < 220) ? green : white;
            if (image.pixelColor(x, y) != expected)
                COMPARE_PIXEL(image, x, y, expected);
        }
    }
}

void TestViewRendering::displayOptionsRepaint_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<bool>("value");
    QTest::addColumn<int>("repaints");

    // From the defaults: grid shown, rectified view, no original image, single blinds.
    QTest::newRow("grid hidden") << int(ShowGrid) << false << 1;
    QTest::newRow("grid shown again") << int(ShowGrid) << true << 0;
    QTest::newRow("original view") << int(ShowInOriginalView) << true << 1;
    QTest::newRow("rectified view again") << int(ShowInOriginalView) << false << 0;
    QTest::newRow("original image") << int(ShowOriginalImage) << true << 1;
    QTest::newRow("original image off again") << int(ShowOriginalImage) << false << 0;
    QTest::newRow("drag all blinds changes no picture") << int(DragAllBlinds) << true << 0;
}

// An option that changes the picture repaints the view once, at once; one that
// changes nothing drawn does not.
void TestViewRendering::displayOptionsRepaint()
{
    QFETCH(int, option);
    QFETCH(bool, value);
    QFETCH(int, repaints);

    CountingView view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model));
    const int before = view.paints;
    switch (DisplayOption(option)) {
    case ShowGrid: view.setShowGrid(value); break;
    case ShowInOriginalView: view.setShowInOriginalView(value); break;
    case ShowOriginalImage: view.setShowOriginalImage(value); break;
    case DragAllBlinds: view.setDragAllBlinds(value); break;
    }
    QCOMPARE(view.paints - before, repaints);
}

void TestViewRendering::screenshotEqualsFrame_data()
{
    QTest::addColumn<bool>("originalView");
    QTest::addColumn<bool>("originalImage");
    QTest::addColumn<QSize>("size");

    QTest::newRow("rectified") << false << false << QSize(200, 150);
    QTest::newRow("original view") << true << false << QSize(300, 220);
    QTest::newRow("original image") << false << true << QSize(300, 220);
}

void TestViewRendering::screenshotEqualsFrame()
{
    QFETCH(bool, originalView);
    QFETCH(bool, originalImage);
    QFETCH(QSize, size);

    FacadeGLWidget view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model));
    view.bindWindowTextures();
    view.setShowInOriginalView(originalView);
    view.setShowOriginalImage(originalImage);
    view.selectedWindow = 0;
    view.hoveredWindow = 1;
    const QImage shown = frame(view).convertToFormat(QImage::Format_RGB32);

    const QString path = tempDir.filePath(QStringLiteral("shot-%1.png").arg(QTest::currentDataTag()));
    view.saveScreenshot(path);
    QImage saved;
    QVERIFY(saved.load(path, "PNG"));
    QCOMPARE(saved.size(), size);
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), shown.copy(QRect(QPoint(0, 0), size)));
}

// A view smaller than the image still saves an image-sized picture: the frame
// where the view reaches, zeros (black) beyond it.
void TestViewRendering::screenshotOfAViewSmallerThanTheImage()
{
    FacadeGLWidget view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model, 120, 90));
    const QImage shown = frame(view).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), QSize(120, 90));

    const QString path = tempDir.filePath("smaller-view.png");
    view.saveScreenshot(path);
    QImage saved;
    QVERIFY(saved.load(path, "PNG"));
    saved = saved.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(saved.size(), QSize(200, 150));
    QCOMPARE(saved.copy(0, 0, 120, 90), shown);
    QCOMPARE(saved.pixelColor(150, 120), QColor(0, 0, 0));
    QCOMPARE(saved.pixelColor(199, 10), QColor(0, 0, 0));
}

void TestViewRendering::screenshotWithoutModelWritesNothing()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 100, 80));
    const QString path = tempDir.filePath("no-model.png");
    view.saveScreenshot(path);
    QVERIFY(!QFile::exists(path));
}

void TestViewRendering::windowTextureKeys()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 100, 80));
    auto blind = twoWindowBlindModel();
    view.setWindowData(blind.get());
    view.bindWindowTextures();

    // Keys 0 and 1 name the window images; blind level s of window j is (s + 1) * 2 + j.
    std::set<int> expected = {0, 1};
    for (int s = 0; s <= 10; ++s) {
        for (int j = 0; j < 2; ++j)
            expected.insert((s + 1) * 2 + j);
    }
    std::set<int> keys;
    std::set<GLuint> names;
    view.makeCurrent();
    for (const auto &entry : view.windowTextures) {
        keys.insert(entry.first);
        names.insert(entry.second);
        QVERIFY(glIsTexture(entry.second));
    }
    QCOMPARE(keys, expected);
    QCOMPARE(names.size(), expected.size());

    // A shutter case has no blind images: only the window image keys.
    auto shutter = shutterModel();
    view.setWindowData(shutter.get());
    view.bindWindowTextures();
    QCOMPARE(view.windowTextures.size(), std::size_t(1));
    QCOMPARE(view.windowTextures.begin()->first, 0);
}

void TestViewRendering::windowTexturesNeedMatchingCounts()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 100, 80));
    auto model = twoWindowBlindModel();
    model->currentImages.push_back(model->currentImages[0]);
    view.setWindowData(model.get());
    view.bindWindowTextures();
    QVERIFY(view.windowTextures.empty());

    view.setWindowData(nullptr);
    view.bindWindowTextures();
    QVERIFY(view.windowTextures.empty());
}

void TestViewRendering::rebindingDeletesOldTextures()
{
    FacadeGLWidget view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model, 100, 80));
    view.bindWindowTextures();
    std::vector<GLuint> old;
    for (const auto &entry : view.windowTextures)
        old.push_back(entry.second);
    QVERIFY(!old.empty());

    // The next test case: a model whose counts differ binds nothing new.
    auto other = twoWindowBlindModel();
    other->currentImages.pop_back();
    view.setWindowData(other.get());
    view.bindWindowTextures();
    QVERIFY(view.windowTextures.empty());
    view.makeCurrent();
    for (GLuint name : old)
        QVERIFY2(!glIsTexture(name), qPrintable(QStringLiteral("texture %1 still alive").arg(name)));
}

void TestViewRendering::shutterTextureFiles_data()
{
    QTest::addColumn<QString>("stem");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("found");

    QTest::newRow("plain name") << "7" << "7.jpg" << true;
    QTest::newRow("name without a dot") << "facade" << "facade" << true;
    QTest::newRow("several dots") << "a.b" << "a.b.jpg" << true;
    QTest::newRow("missing folder") << "x" << "missing.jpg" << false;
}

void TestViewRendering::shutterTextureFiles()
{
    QFETCH(QString, stem);
    QFETCH(QString, fileName);
    QFETCH(bool, found);

    QTemporaryDir dir;
    QVERIFY(writeShutterImages(dir.path(), stem, solidImage(16, 16, leftLeaf), solidImage(16, 16, rightLeaf)));
    FacadeGLWidget view;
    QVERIFY(showView(view, 100, 80));

    // Textures of an earlier case are deleted when new ones are loaded. The
    // textures come from the leaf images the model of each case has read.
    QVERIFY(writeShutterImages(dir.path(), "earlier", solidImage(8, 8, red), solidImage(8, 8, blue)));
    const auto earlier = leafImagesOf(dir.path(), "earlier.jpg");
    view.loadShutterTextures(dir.path().toStdString(), "earlier.jpg");
    view.setWindowData(earlier.get());
    const GLuint earlierLeft = view.leftShutterTexture;
    const GLuint earlierRight = view.rightShutterTexture;
    QVERIFY(earlierLeft != 0 && earlierRight != 0 && earlierLeft != earlierRight);

    const auto loaded = leafImagesOf(dir.path(), fileName);
    view.loadShutterTextures(dir.path().toStdString(), fileName.toStdString());
    view.setWindowData(loaded.get());
    view.makeCurrent();
    QCOMPARE(view.leftShutterTexture != 0, found);
    QCOMPARE(view.rightShutterTexture != 0, found);
    if (!found) {
        QVERIFY(!glIsTexture(earlierLeft));
        QVERIFY(!glIsTexture(earlierRight));
    } else {
        QVERIFY(glIsTexture(view.leftShutterTexture));
        QVERIFY(view.leftShutterTexture != view.rightShutterTexture);
    }
}

void TestViewRendering::setImageResizesOnly()
{
    FacadeGLWidget view;
    auto model = twoWindowBlindModel();
    QVERIFY(showWithModel(view, *model));

    auto image = std::make_unique<QImage>(solidImage(263, 177, QColor(1, 2, 3)));
    view.setImage(image.get());
    QCOMPARE(view.loadedImage, image.get());
    QCOMPARE(view.size(), QSize(263, 177));
    // The drawing still shows the model's background, not the image.
    COMPARE_PIXEL(frame(view), 5, 5, grey);

    view.setImage(nullptr);
    QCOMPARE(view.loadedImage, static_cast<QImage *>(nullptr));
    QCOMPARE(view.size(), QSize(263, 177));

    QImage failedLoad;
    QVERIFY(!failedLoad.load(tempDir.filePath("does-not-exist.png")));
    view.setImage(&failedLoad);
    QCOMPARE(view.size(), QSize(0, 0));
}

void TestViewRendering::operationsBeforeShow()
{
    // A load can reach the view before the dialog is on screen.
    FacadeGLWidget view;
    auto model = shutterModel();
    model->leftShutterImage = solidImage(8, 8, leftLeaf);
    model->rightShutterImage = solidImage(8, 8, rightLeaf);
    view.loadShutterTextures(tempDir.path().toStdString(), "hidden.jpg");
    view.setWindowData(model.get());
    view.bindWindowTextures();
    QCOMPARE(view.windowTextures.size(), std::size_t(1));
    view.saveScreenshot(tempDir.filePath("hidden.png"));
    QVERIFY(QFile::exists(tempDir.filePath("hidden.png")));

    QVERIFY(showView(view, 320, 240));
    const QImage image = frame(view);
    COMPARE_PIXEL(image, 50, 80, leftLeaf);
    COMPARE_PIXEL(image, 5, 5, grey);
}

QTEST_MAIN(TestViewRendering)
#include "tst_viewrendering.moc"
