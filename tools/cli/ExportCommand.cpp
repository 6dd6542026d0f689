// `tessivo export CASE_PHOTO --out DIR [state options]`: the files of the
// dialog's facade export, for the same state of the same case.
#include "CaseState.h"
#include "CommandLine.h"
#include "PathText.h"

#include <QDir>

#include <cstdio>

namespace {

// The name the facade's OBJ file gets in the output folder; its material file
// and the window and leaf files go next to it.
constexpr const char *kFacadeObj = "facade.obj";

int runExport(const std::vector<std::string> &args)
{
    using namespace CommandLine;
    std::vector<OptionRule> rules = CaseState::optionRules();
    rules.push_back({"--out", true});
    Failure failure;
    Arguments arguments;
    std::string path;
    CaseState::Steps steps;
    if (!arguments.parse(args, rules, &failure) || !arguments.single("CASE_PHOTO", path, &failure)
        || !CaseState::readSteps(arguments, steps, &failure))
        return exitWith(failure.reason);
    if (!arguments.has("--out"))
        return exitWith("export needs --out DIR");
    const QString out = QDir::cleanPath(toQtPath(arguments.value("--out")));

    CaseState::LoadedCase loaded;
    if (!CaseState::locate(path, loaded, &failure))
        return exitWith(failure.reason);
    // As in the dialog, only the facade of a shutter case is exported.
    if (loaded.kind != TestCaseKind::Shutter)
        return exitWith("only shutter cases are exported; " + path + " is a blind case");
    if (!CaseState::prepare(path, steps, loaded, &failure))
        return exitWith(failure.reason);
    if (!QDir().mkpath(out))
        return exitWith("cannot create the folder " + toNarrowPath(out));
    if (!loaded.model->saveFacadeToMesh(toNarrowPath(out) + "/" + kFacadeObj, &failure))
        return exitWith(failure.reason);
    // What the export left out (windows without a leaf pair) is worth a word.
    for (const std::string &line : QuietLibraries::lines())
        std::fprintf(stderr, "tessivo: %s\n", line.c_str());
    return 0;
}

} // namespace

namespace CommandLine {

// The table entry (Subcommands.cpp).
Subcommand exportSubcommand()
{
    static const std::string help = std::string(
        "Writes what the dialog's facade export writes for the same state of the case,\n"
        "byte for byte: DIR/facade.obj, facade.mtl and materialFacade.png (the wall),\n"
        "window_<i>.obj/.mtl/.png, leftshutter_<i>.obj, rightshutter_<i>.obj and the two\n"
        "leaf materials and textures. DIR is created when missing; files of the same\n"
        "names in it are replaced. Only shutter cases are exported.\n\n"
        "  --out DIR           the output folder (required)\n")
        + CaseState::kOptionHelp;
    return {"export",
            "export CASE_PHOTO --out DIR [--rows R] [--cols C] [--seed N] [--random-angles] "
            "[--left DEG] [--right DEG]",
            "Export the facade of a shutter case as textured OBJ/MTL files", help.c_str(), runExport};
}

} // namespace CommandLine
