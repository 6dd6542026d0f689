#include "ViewFixtures.h"

#include "FacadeGLWidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtTest>

#include <cstdlib>

namespace ViewFixtures {

QImage solidImage(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QColor blindColor(int window, int level)
{
    return QColor(20 * level, 15 * window, 200);
}

void setScaleMapping(QWindowData2D &model, double scale, int colMin, int rowMin)
{
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            model.homography[r][c] = 0.0;
            model.homographyInv[r][c] = 0.0;
        }
    }
    model.homography[0][0] = model.homography[1][1] = scale;
    model.homographyInv[0][0] = model.homographyInv[1][1] = 1.0 / scale;
    model.homography[2][2] = model.homographyInv[2][2] = 1.0;
    model.colMin = colMin;
    model.rowMin = rowMin;
}

void addWindowImage(QWindowData2D &model, const QImage &image)
{
    model.windowImages.push_back(std::make_unique<QImage>(image));
    model.currentImages.push_back(model.windowImages.back().get());
    model.imageKeys.push_back(int(model.windowImages.size()) - 1);
}

void addBlindImages(QWindowData2D &model, int window, int size)
{
    std::vector<std::unique_ptr<QImage>> levels;
    for (int level = 0; level <= 10; ++level)
        levels.push_back(std::make_unique<QImage>(solidImage(size, size, blindColor(window, level))));
    model.blindImages.push_back(std::move(levels));
}

std::unique_ptr<QWindowData2D> twoWindowBlindModel()
{
    auto model = std::make_unique<QWindowData2D>();
    model->caseKind = int(TestCaseKind::Blind);
    model->background = solidImage(200, 150, QColor(128, 128, 128));
    model->rectifiedImage = model->background;
    model->originalBackground = solidImage(300, 220, QColor(90, 60, 30));
    model->originalImage = solidImage(300, 220, QColor(30, 160, 60));
    FacadeWindow w0 = makeWindow(20, 30, 40, 50, 0, 0, 0);
    w0.blindExtent = 25;
    FacadeWindow w1 = makeWindow(100, 30, 40, 50, 1, 0, 1);
    w1.blindExtent = 10;
    model->windows = {{w0, w1}};
    model->detectedWindows = model->windows;
    model->rows = 1;
    model->cols = 2;
    addWindowImage(*model, solidImage(30, 20, QColor(255, 0, 255)));
    addWindowImage(*model, solidImage(50, 60, QColor(0, 255, 255)));
    addBlindImages(*model, 0);
    addBlindImages(*model, 1);
    setScaleMapping(*model, 2.0);
    return model;
}

std::unique_ptr<QWindowData2D> gridBlindModel()
{
    auto model = std::make_unique<QWindowData2D>();
    model->caseKind = int(TestCaseKind::Blind);
    model->background = solidImage(260, 200, QColor(128, 128, 128));
    model->originalBackground = solidImage(300, 220, QColor(90, 60, 30));
    model->originalImage = model->originalBackground;
    std::vector<FacadeWindow> windows;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            FacadeWindow w = makeWindow(10 + 60 * c, 10 + 60 * r, 40, 40, c, r, c + 4 * r);
            w.blindExtent = 20;
            windows.push_back(w);
        }
    }
    model->windows = {windows};
    model->detectedWindows = model->windows;
    model->rows = 3;
    model->cols = 4;
    for (int i = 0; i < 12; ++i) {
        addWindowImage(*model, solidImage(8, 8, QColor(10 * i, 220, 60)));
        addBlindImages(*model, i);
    }
    setScaleMapping(*model, 1.0);
    return model;
}

std::unique_ptr<QWindowData2D> shutterModel()
{
    auto model = std::make_unique<QWindowData2D>();
    model->caseKind = int(TestCaseKind::Shutter);
    model->background = solidImage(200, 160, QColor(128, 128, 128));
    model->originalBackground = solidImage(300, 220, QColor(90, 60, 30));
    model->originalImage = solidImage(300, 220, QColor(30, 160, 60));
    model->windows = {{makeWindow(40, 40, 60, 80, 0, 0, 0)}};
    model->detectedWindows = model->windows;
    model->rows = 1;
    model->cols = 1;
    addWindowImage(*model, solidImage(30, 40, QColor(200, 200, 0)));

    ShutterPair pair;
    pair.left.hinge1 = QPoint(40, 40);
    pair.left.hinge2 = QPoint(40, 120);
    pair.right.hinge1 = QPoint(100, 40);
    pair.right.hinge2 = QPoint(100, 120);
    pair.left.angles = pair.right.angles = {0.0, 0.5, 1.0};
    for (int x : {70, 55, 45}) {
        pair.left.outer1.push_back(QPoint(x, 120));
        pair.left.outer2.push_back(QPoint(x, 40));
    }
    for (int x : {70, 85, 95}) {
        pair.right.outer1.push_back(QPoint(x, 120));
        pair.right.outer2.push_back(QPoint(x, 40));
    }
    model->shutters = {pair};
    setScaleMapping(*model, 2.0);
    return model;
}

bool showView(FacadeGLWidget &view, int width, int height)
{
    view.resize(width, height);
    view.show();
    return QTest::qWaitForWindowExposed(&view);
}

bool showWithModel(FacadeGLWidget &view, QWindowData2D &model, int width, int height)
{
    if (!showView(view, width, height))
        return false;
    view.setWindowData(&model);
    return true;
}

QImage frame(FacadeGLWidget &view)
{
    view.updateGL();
    return view.grabFrameBuffer();
}

bool near(const QColor &actual, const QColor &expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance
        && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

QString describe(const QColor &color)
{
    return QStringLiteral("(%1, %2, %3)").arg(color.red()).arg(color.green()).arg(color.blue());
}

namespace {
void sendMouse(FacadeGLWidget &view, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, view.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}
} // namespace

void move(FacadeGLWidget &view, const QPoint &pos, Qt::MouseButtons buttons)
{
    sendMouse(view, QEvent::MouseMove, pos, Qt::NoButton, buttons);
}

void press(FacadeGLWidget &view, const QPoint &pos, Qt::MouseButton button)
{
    sendMouse(view, QEvent::MouseButtonPress, pos, button, button);
}

void release(FacadeGLWidget &view, const QPoint &pos, Qt::MouseButton button)
{
    sendMouse(view, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}

void click(FacadeGLWidget &view, const QPoint &pos)
{
    move(view, pos);
    press(view, pos);
    release(view, pos);
}

QColor hoverBlend(const QColor &under)
{
    return QColor(int(under.red() * 0.7 + 0.5), int(under.green() * 0.7 + 0.5),
                  int(under.blue() * 0.7 + 255 * 0.3 + 0.5));
}

} // namespace ViewFixtures
