#ifndef TESSIVO_TESTS_VIEWFIXTURES_H
#define TESSIVO_TESTS_VIEWFIXTURES_H

#include "FacadeGLWidget.h"
#include "QWindowData2D.h"
#include "TestWindows.h"

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QPoint>

#include <memory>

// Small facade models and helpers shared by the view suites.
namespace ViewFixtures {

// Counts repaints, to see which events and calls redraw the view.
class CountingView : public FacadeGLWidget
{
public:
    int paints = 0;

protected:
    void paintGL() override
    {
        ++paints;
        FacadeGLWidget::paintGL();
    }
};

QImage solidImage(int width, int height, const QColor &color);

// Colour of blind level `level` of detected window `window`, distinct for every pair.
QColor blindColor(int window, int level);

// H = diag(scale, scale, 1) with the given offsets: rectified p maps to
// ((p.x - colMin) * scale, (p.y - rowMin) * scale) in the photograph.
void setScaleMapping(QWindowData2D &model, double scale, int colMin = 0, int rowMin = 0);

// Appends an owned window image and makes it the current image of the next window.
void addWindowImage(QWindowData2D &model, const QImage &image);

// Appends the 11 blind images of one detected window, coloured by blindColor.
void addBlindImages(QWindowData2D &model, int window, int size = 4);

// Blind test case over a 200 x 150 grey background, photograph 300 x 220 with
// H = diag(2, 2, 1):
//   window 0 at (20, 30) 40 x 50, image 30 x 20 magenta, blind edge 25 below its top;
//   window 1 at (100, 30) 40 x 50, image 50 x 60 cyan (larger than its window).
std::unique_ptr<QWindowData2D> twoWindowBlindModel();

// Blind test case with a 3 x 4 grid of 40 x 40 windows at (10 + 60 c, 10 + 60 r),
// window i showing its own input image, 11 blind images each, blind edges at 20.
std::unique_ptr<QWindowData2D> gridBlindModel();

// Shutter test case: one window at (40, 40) 60 x 80 with a 30 x 40 interior image.
// Left leaf hinged on x = 40, right leaf on x = 100, both from y = 40 to y = 120;
// samples at 0, 0.5 and 1 rad reach x = 70, 55, 45 (left) and 70, 85, 95 (right).
std::unique_ptr<QWindowData2D> shutterModel();

// Shows the view at the given size and waits until it is exposed.
bool showView(FacadeGLWidget &view, int width, int height);

// Shows the view (320 x 240 unless given) and hands it the model.
bool showWithModel(FacadeGLWidget &view, QWindowData2D &model, int width = 320, int height = 240);

// Repaints the view and reads the frame back from GL.
QImage frame(FacadeGLWidget &view);

// True when the two colours differ by at most tolerance in each channel.
bool near(const QColor &actual, const QColor &expected, int tolerance = 12);
QString describe(const QColor &color);

// Mouse events sent to the view as Qt would deliver them: a move with the
// given buttons held, a press, a release, and a click (move, press, release
// with the left button, as a user selecting the window under the point).
void move(FacadeGLWidget &view, const QPoint &pos, Qt::MouseButtons buttons = Qt::NoButton);
void press(FacadeGLWidget &view, const QPoint &pos, Qt::MouseButton button = Qt::LeftButton);
void release(FacadeGLWidget &view, const QPoint &pos, Qt::MouseButton button = Qt::LeftButton);
void click(FacadeGLWidget &view, const QPoint &pos);

// The colour a translucent (0, 0, 1, 0.3) fill gives over `under`.
QColor hoverBlend(const QColor &under);

} // namespace ViewFixtures

// Checks a pixel of an image against an expected colour, naming both on failure.
#define COMPARE_PIXEL(image, x, y, expected)                                                       \
    do {                                                                                           \
        const QColor actual_ = (image).pixelColor((x), (y));                                       \
        QVERIFY2(ViewFixtures::near(actual_, (expected)),                                          \
                 qPrintable(QStringLiteral("pixel (%1, %2) is %3, expected %4")                    \
                                .arg(x).arg(y).arg(ViewFixtures::describe(actual_))                \
                                .arg(ViewFixtures::describe(expected))));                          \
    } while (false)

#endif
