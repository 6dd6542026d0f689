// `tessivo info CASE_PHOTO`: what a test case holds, one "name: value" line
// each, for scripts to read.
#include "CaseState.h"
#include "CommandLine.h"

#include <QImage>

#include <cstdio>

namespace {

void printSize(const char *name, const QImage &image)
{
    std::printf("%s: %d x %d\n", name, image.width(), image.height());
}

int runInfo(const std::vector<std::string> &args)
{
    using namespace CommandLine;
    Failure failure;
    Arguments arguments;
    std::string path;
    CaseState::LoadedCase loaded;
    if (!arguments.parse(args, {}, &failure) || !arguments.single("CASE_PHOTO", path, &failure)
        || !CaseState::locate(path, loaded, &failure) || !CaseState::load(loaded, &failure))
        return exitWith(failure.reason);

    const QWindowData2D &model = loaded.model();
    std::printf("kind: %s\n", loaded.kind == TestCaseKind::Shutter ? "shutter" : "blind");
    std::printf("grid: %d rows x %d columns\n", model.detectedRowCount(), model.detectedColCount());
    std::printf("windows: %d\n", model.windowCount());
    printSize("photograph", model.originalImage);
    printSize("rectified image", model.rectifiedImage);
    printSize("background", model.background);
    printSize("original background", model.originalBackground);
    return 0;
}

} // namespace

namespace CommandLine {

// The table entry (Subcommands.cpp).
Subcommand infoSubcommand()
{
    return {"info", "info CASE_PHOTO",
            "Print the kind, grid, window count and image sizes of a test case",
            "CASE_PHOTO is the photograph of a test case in a folder named 'blinds' or\n"
            "'shutters' (its kind), such as Tessivo_TestCases/shutters/6.jpg. The grid is\n"
            "the detected one, as the grid file gives it.",
            runInfo};
}

} // namespace CommandLine
