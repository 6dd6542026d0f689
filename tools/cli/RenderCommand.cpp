// `tessivo render CASE_PHOTO --out FILE.png [view and state options]`: the
// dialog's screenshot of a case in a given state, drawn by the real view in
// the real dialog on a private virtual display, so that no window appears.
#include "CaseSession.h"
#include "CaseState.h"
#include "CommandLine.h"
#include "FacadeGLWidget.h"
#include "PathText.h"
#include "KeepGLDriver.h"
#include "PrivateDisplay.h"
#include "TessivoDemo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QWindow>

#include <cstdlib>

namespace {

// The private display's screen, as large as the tests' one; the dialog (1474
// x 914) fits, and a view enlarged for a larger picture may reach beyond it.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1200;
// Largest picture side the software renderer draws.
constexpr int kLargestSide = 16384;
constexpr int kExposeMilliseconds = 10000;

// The picture must not depend on the caller's desktop: Qt takes its platform,
// style, theme and scaling from the environment, and Mesa its renderer.
void setDrawingEnvironment()
{
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    for (const char *name : {"QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR",
                             "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING",
                             "QT_FONT_DPI", "QT_DEVICE_PIXEL_RATIO", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"})
        ::unsetenv(name);
}

bool waitUntilExposed(QWidget &widget)
{
    QElapsedTimer clock;
    clock.start();
    while (!widget.windowHandle() || !widget.windowHandle()->isExposed()) {
        if (clock.elapsed() > kExposeMilliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(2);
    }
    return true;
}

struct ViewOptions {
    bool originalView = false;
    bool originalPhoto = false;
    bool grid = true;
    int width = 0; // scale the saved picture to this width; 0 keeps the view's pixels
};

// Scales the saved picture smoothly to width pixels, keeping its aspect: a
// smaller file for documentation, no longer the view's own pixels.
bool scaleSaved(const QString &out, int width, Failure *failure)
{
    QImage picture;
    return (picture.load(out, "PNG") && picture.scaledToWidth(width, Qt::SmoothTransformation).save(out, "PNG"))
        || fail(failure, "cannot scale the picture " + toNarrowPath(out));
}

// Shows the dialog with the prepared case in its view, sets the display
// options through the dialog's own controls and slots, and saves the view's
// screenshot. The dialog's session takes the prepared case over and the
// dialog shows it, as after its own load.
bool drawAndSave(CaseState::LoadedCase &loaded, const ViewOptions &options, const QString &out, Failure *failure)
{
    static char programName[] = "tessivo";
    static char *argv[] = {programName, nullptr};
    int argc = 1;
    QApplication application(argc, argv);
    TessivoDemo dialog;
    FacadeGLWidget &view = *dialog.facadeView;

    // The view keeps its place and size in the dialog; a picture larger than
    // it enlarges it (the scroll area then scrolls), since the part below a
    // smaller view would lose its background.
    const QWindowData2D &model = loaded.model();
    const QImage &shown =
        (options.originalView || options.originalPhoto) ? model.originalImage : model.background;
    view.setMinimumSize(shown.size());

    dialog.show();
    if (!waitUntilExposed(dialog))
        return fail(failure, "the dialog did not appear on the private display");

    dialog.session().takeCaseOf(loaded.session);
    dialog.showLoadedCase();

    dialog.ui.checkBoxShowGrid->setChecked(options.grid);
    dialog.ui.checkBoxShowInOriginalView->setChecked(options.originalView);
    if (options.originalPhoto)
        QMetaObject::invokeMethod(&dialog, "showOriginalImageToggledSlot", Q_ARG(bool, true));
    // No selection and no hover: the private display's pointer may rest on the view.
    view.resetSelection();
    const bool done = view.saveScreenshot(out, failure)
                      && (options.width == 0 || scaleSaved(out, options.width, failure));
    // The work is done: Mesa's driver stays mapped, and a sanitized build runs
    // its one leak check now, as the test suites do.
    keepGLDriverLoaded();
    return done;
}

int runRender(const std::vector<std::string> &args)
{
    using namespace CommandLine;
    std::vector<OptionRule> rules = CaseState::optionRules();
    for (const OptionRule &rule : std::vector<OptionRule>{
             {"--out", true}, {"--original-view", false}, {"--original-photo", false}, {"--no-grid", false},
             {"--width", true}})
        rules.push_back(rule);
    Failure failure;
    Arguments arguments;
    std::string path;
    CaseState::Steps steps;
    long long width = 0;
    if (!arguments.parse(args, rules, &failure) || !arguments.single("CASE_PHOTO", path, &failure)
        || !CaseState::readSteps(arguments, steps, &failure)
        || !arguments.number("--width", 1, kLargestSide, width, &failure))
        return exitWith(failure.reason);
    if (!arguments.has("--out"))
        return exitWith("render needs --out FILE.png");
    const std::string out = arguments.value("--out");
    const QFileInfo outInfo(toQtPath(out));
    if (outInfo.isDir())
        return exitWith("--out " + out + " is a folder, not a file name");
    if (!outInfo.absoluteDir().exists())
        return exitWith("no folder " + toNarrowPath(outInfo.absolutePath()) + " for " + out);

    ViewOptions options;
    options.originalView = arguments.has("--original-view");
    options.originalPhoto = arguments.has("--original-photo");
    options.grid = !arguments.has("--no-grid");
    options.width = int(width);

    CaseState::LoadedCase loaded;
    if (!CaseState::prepare(path, steps, loaded, &failure))
        return exitWith(failure.reason);
    const QImage &shown = (options.originalView || options.originalPhoto) ? loaded.model().originalImage
                                                                          : loaded.model().background;
    if (shown.width() > kLargestSide || shown.height() > kLargestSide)
        return exitWith(path + ": a picture of " + std::to_string(shown.width()) + " x " + std::to_string(shown.height())
                    + " pixels is larger than the view draws (" + std::to_string(kLargestSide) + " a side)");

    setDrawingEnvironment();
    PrivateDisplay display;
    if (!display.start(kScreenWidth, kScreenHeight, &failure) || !drawAndSave(loaded, options, outInfo.filePath(), &failure))
        return exitWith(failure.reason);
    return 0;
}

} // namespace

namespace CommandLine {

// The table entry (Subcommands.cpp).
Subcommand renderSubcommand()
{
    static const std::string help = std::string(
        "Writes the picture the dialog's \"Save to image\" writes for the same state of\n"
        "the case: the view's pixels, cropped to the shown image (the rectified\n"
        "background, or the photograph in the original view). The view draws in the\n"
        "real dialog on a private virtual display (Xvfb, started and stopped by the\n"
        "command), so no window appears and the pixels are those of Mesa's software\n"
        "renderer. No window is selected or under the pointer.\n\n"
        "  --out FILE.png      the picture, written as PNG (required)\n"
        "  --original-view     warped into the original photograph\n"
        "  --original-photo    the original photograph alone\n"
        "  --no-grid           without the window outlines\n"
        "  --width PIXELS      the saved picture scaled smoothly to this width, aspect\n"
        "                      kept (for documentation; no longer the view's pixels)\n")
        + CaseState::kOptionHelp;
    return {"render",
            "render CASE_PHOTO --out FILE.png [--original-view] [--original-photo] [--no-grid] [--width PIXELS] "
            "[--rows R] [--cols C] [--seed N] [--random-angles] [--left DEG] [--right DEG]",
            "Draw a test case as the facade view shows it and save the picture as PNG", help.c_str(), runRender};
}

} // namespace CommandLine
