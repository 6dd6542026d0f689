// Median repaint times of the facade view for every test case, in the rectified
// view, the original view and with the original image alone, next to a bare
// frame that only blits the same background; then a blind-drag step and a
// window-move step on the largest blind case.
//
//   bench_view [TESSIVO_TESTCASES_ROOT]
//
// Without a readable test-case tree it measures fixtures of the same size.
#include "../BenchTiming.h"
#include "FacadeGLWidget.h"
#include "QWindowData2D.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRepetitions = 200;
constexpr int kViewWidth = 1248; // the dialog's scroll area
constexpr int kViewHeight = 894;

double medianMs(const std::function<void()> &step)
{
    return BenchTiming::medianMs(kRepetitions, step, 5);
}

// Medians of two steps timed alternately, so that both see the same machine load.
std::pair<double, double> interleavedMedians(const std::function<void()> &a, const std::function<void()> &b)
{
    for (int i = 0; i < 5; ++i) {
        a();
        b();
    }
    std::vector<double> timesA, timesB;
    for (int i = 0; i < kRepetitions; ++i) {
        timesA.push_back(BenchTiming::timeMs(a));
        timesB.push_back(BenchTiming::timeMs(b));
    }
    return {BenchTiming::median(timesA), BenchTiming::median(timesB)};
}

// A frame that clears the colour buffer and blits one image already in GL
// layout: the floor of a repaint that shows that image. Same format as the view.
class BlitWidget : public QGLWidget
{
public:
    explicit BlitWidget(const QImage &image)
        : QGLWidget(QGLFormat(QGL::SampleBuffers)), converted(convertToGLFormat(image)) {}

protected:
    void resizeGL(int w, int h) override
    {
        glViewport(0, 0, w, h);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, w, h, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
    }
    void paintGL() override
    {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        if (converted.isNull())
            return;
        glRasterPos2i(0, converted.height());
        glDrawPixels(converted.width(), converted.height(), GL_RGBA, GL_UNSIGNED_BYTE, converted.constBits());
    }

private:
    QImage converted;
};

struct TestCase {
    std::string name;
    bool blind;
    std::string folder;
    std::string fileName;
    std::unique_ptr<QWindowData2D> model;
};

QImage noise(int width, int height, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    unsigned state = seed;
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            line[x] = 0xff000000u | (state >> 8);
        }
    }
    return image;
}

// A stand-in of the generated cases' size: a 1024 x 768 photograph and a 4 x 6 grid.
std::unique_ptr<QWindowData2D> fixtureModel(bool blind)
{
    auto model = std::make_unique<QWindowData2D>();
    model->caseKind = int(blind ? TestCaseKind::Blind : TestCaseKind::Shutter);
    model->originalImage = noise(1024, 768, 1);
    model->originalBackground = noise(1024, 768, 2);
    model->background = noise(980, 720, 3);
    model->rectifiedImage = model->background;
    std::vector<FacadeWindow> windows;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 6; ++c) {
            FacadeWindow w;
            w.x = 40 + 155 * c;
            w.y = 40 + 170 * r;
            w.width = 90;
            w.height = 130;
            w.col = c;
            w.row = r;
            w.sourceIndex = int(windows.size());
            w.blindExtent = 40;
            windows.push_back(w);
        }
    }
    model->windows = {windows};
    model->detectedWindows = model->windows;
    model->rows = 4;
    model->cols = 6;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        model->windowImages.push_back(std::make_unique<QImage>(noise(90, 130, 10 + unsigned(i))));
        model->currentImages.push_back(model->windowImages.back().get());
        model->imageKeys.push_back(int(i));
        if (blind) {
            std::vector<std::unique_ptr<QImage>> levels;
            for (int l = 0; l <= 10; ++l)
                levels.push_back(std::make_unique<QImage>(noise(90, 130, 100 + unsigned(i * 11 + l))));
            model->blindImages.push_back(std::move(levels));
        } else {
            const FacadeWindow &w = windows[i];
            ShutterPair pair;
            pair.left.hinge1 = QPoint(w.x, w.y);
            pair.left.hinge2 = QPoint(w.x, w.y + w.height);
            pair.right.hinge1 = QPoint(w.x + w.width, w.y);
            pair.right.hinge2 = QPoint(w.x + w.width, w.y + w.height);
            for (int k = 0; k < 19; ++k) {
                pair.left.angles.push_back(k * 10 * QWindowData2D::pi / 180);
                pair.right.angles.push_back(k * 10 * QWindowData2D::pi / 180);
                const int reach = w.width / 2 - k * 5;
                pair.left.outer1.push_back(QPoint(w.x + reach, w.y + w.height + k));
                pair.left.outer2.push_back(QPoint(w.x + reach, w.y - k));
                pair.right.outer1.push_back(QPoint(w.x + w.width - reach, w.y + w.height + k));
                pair.right.outer2.push_back(QPoint(w.x + w.width - reach, w.y - k));
            }
            model->shutters.push_back(pair);
        }
    }
    const double h[3][3] = {{1.02, 0.04, 20}, {0.01, 0.98, 15}, {0.00002, 0.00001, 1}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            model->homography[r][c] = h[r][c];
    }
    // The inverse is only needed for mapping the pointer; the identity is close enough here.
    model->homographyInv[0][0] = model->homographyInv[1][1] = model->homographyInv[2][2] = 1.0;
    return model;
}

std::vector<TestCase> loadCases(const QString &root)
{
    const struct {
        const char *name;
        bool blind;
        const char *fileName;
    } table[] = {{"blind Facade1", true, "1_temp.jpg"}, {"blind Facade2", true, "5.jpg"},
                 {"blind Facade3", true, "7.jpg"},      {"shutter Facade1", false, "1.jpg"},
                 {"shutter Facade2", false, "6.jpg"}};
    std::vector<TestCase> cases;
    for (const auto &entry : table) {
        TestCase tc{entry.name, entry.blind, (root + (entry.blind ? "/blinds" : "/shutters")).toStdString(),
                    entry.fileName, std::make_unique<QWindowData2D>()};
        const bool loaded = !root.isEmpty()
            && (entry.blind ? tc.model->loadBlindTestCase(tc.folder, tc.fileName)
                            : tc.model->loadShutterTestCase(tc.folder, tc.fileName));
        if (!loaded) {
            tc.name += " (fixture)";
            tc.model = fixtureModel(entry.blind);
        }
        cases.push_back(std::move(tc));
    }
    return cases;
}

void sendMouse(QWidget &view, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, view.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

std::size_t pixelCount(const QWindowData2D &model)
{
    return std::size_t(model.background.width()) * std::size_t(model.background.height())
        * std::size_t(std::max(model.windowCount(), 1));
}

// Shows a widget at the view's size; false (with a message) when it is not exposed.
bool showAtViewSize(QWidget &widget)
{
    widget.resize(kViewWidth, kViewHeight);
    widget.show();
    if (QTest::qWaitForWindowExposed(&widget))
        return true;
    std::fprintf(stderr, "bench_view: a view was not exposed\n");
    return false;
}

// One line per case: the view and the bare blit of the same background in the
// rectified view, the original view and with the original image alone.
bool timeRepaints(FacadeGLWidget &view, std::vector<TestCase> &cases)
{
    std::printf("median updateGL() of %d repaints, view %d x %d, in ms; each mode: view, bare blit of\n"
                "the same background (colour clear, glDrawPixels, swap), ratio\n",
                kRepetitions, kViewWidth, kViewHeight);
    std::printf("%-24s %-11s %3s | %-20s | %-20s | %-20s\n", "case", "background", "win", "rectified view",
                "original view", "original image");
    {
        BlitWidget empty{QImage()};
        if (!showAtViewSize(empty))
            return false;
        std::printf("%-40s %6.2f\n", "empty frame (clear and swap only)", medianMs([&empty] { empty.updateGL(); }));
    }

    for (TestCase &tc : cases) {
        QWindowData2D &model = *tc.model;
        if (!tc.blind)
            view.loadShutterTextures(tc.folder, tc.fileName);
        view.setWindowData(&model);
        view.bindWindowTextures();
        view.resetSelection();
        view.hoveredWindow = 1;
        view.selectedWindow = 0;

        const bool modes[3][2] = {{false, false}, {true, false}, {false, true}};
        const QImage *backgrounds[3] = {&model.background, &model.originalBackground, &model.originalImage};
        std::pair<double, double> times[3];
        for (int m = 0; m < 3; ++m) {
            view.setShowInOriginalView(modes[m][0]);
            view.setShowOriginalImage(modes[m][1]);
            BlitWidget blit(*backgrounds[m]);
            if (!showAtViewSize(blit))
                return false;
            times[m] = interleavedMedians([&view] { view.updateGL(); }, [&blit] { blit.updateGL(); });
        }
        view.setShowInOriginalView(false);
        view.setShowOriginalImage(false);
        const QSize size = model.background.size();
        std::printf("%-24s %4d x %-4d %3d |", tc.name.c_str(), size.width(), size.height(), model.windowCount());
        for (const auto &t : times)
            std::printf(" %6.2f %6.2f %4.2f |", t.first, t.second, t.first / t.second);
        std::printf("\n");
        std::fflush(stdout);
    }
    return true;
}

// Interaction on the largest blind case: each step is one move event, whose
// handler repaints the view before it returns.
void timeInteraction(FacadeGLWidget &view, std::vector<TestCase> &cases)
{
    TestCase *largest = nullptr;
    for (TestCase &tc : cases) {
        if (tc.blind && (!largest || pixelCount(*tc.model) > pixelCount(*largest->model)))
            largest = &tc;
    }
    if (!largest || largest->model->windowCount() == 0)
        return;
    QWindowData2D &model = *largest->model;
    view.setWindowData(&model);
    view.bindWindowTextures();
    view.resetSelection();
    const FacadeWindow w = model.windows[0][0];
    const QPoint inside(w.x + w.width / 2, w.y + w.height / 2 + w.height / 4);
    const QPoint edge(w.x + w.width / 2, w.y + w.blindExtent);

    // Select window 0, arm the blind drag on its edge, then drag up and down.
    sendMouse(view, QEvent::MouseMove, inside, Qt::NoButton, Qt::NoButton);
    sendMouse(view, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    sendMouse(view, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
    sendMouse(view, QEvent::MouseMove, edge, Qt::NoButton, Qt::NoButton);
    sendMouse(view, QEvent::MouseButtonPress, edge, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    const double blindStep = medianMs([&] {
        const int d = 1 + (step++ * 7) % (w.height - 1);
        sendMouse(view, QEvent::MouseMove, QPoint(edge.x(), w.y + d), Qt::NoButton, Qt::LeftButton);
    });
    sendMouse(view, QEvent::MouseButtonRelease, edge, Qt::LeftButton, Qt::NoButton);

    // Arm a window move inside the window, away from its blind edge, then move it back and forth.
    model.windows[0][0].blindExtent = 0;
    const QPoint centre(w.x + w.width / 2, w.y + w.height / 2);
    sendMouse(view, QEvent::MouseMove, centre, Qt::NoButton, Qt::NoButton);
    sendMouse(view, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    step = 0;
    const double moveStep = medianMs([&] {
        const QPoint pos = centre + QPoint((step++ % 2) * 3, 0);
        sendMouse(view, QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton);
    });
    sendMouse(view, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);

    std::printf("\n%s, median of %d steps, ms: blind drag %.2f, window move %.2f\n", largest->name.c_str(),
                kRepetitions, blindStep, moveStep);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (root.isEmpty() && qEnvironmentVariableIsSet("TESSIVO_TESTDATA"))
        root = qEnvironmentVariable("TESSIVO_TESTDATA") + "/Tessivo_TestCases";
    std::vector<TestCase> cases = loadCases(root);

    FacadeGLWidget view;
    if (!showAtViewSize(view) || !timeRepaints(view, cases))
        return 1;
    timeInteraction(view, cases);
    return 0;
}
