// `tessivo export CASE_PHOTO --out DIR [--format obj|glb|html] [state options]`:
// the files of the dialog's facade export, or the facade as one glTF file, or
// a page that shows that file, for the same state of the same case.
#include "CaseState.h"
#include "CommandLine.h"
#include "ExportFiles.h"
#include "GltfExport.h"
#include "PathText.h"
#include "WebPage.h"

#include <QDir>
#include <QFileInfo>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// The name the facade's OBJ file gets in the output folder; its material file
// and the window and leaf files go next to it.
constexpr const char *kFacadeObj = "facade.obj";
// The name of the glTF file, alone or in the page's folder.
constexpr const char *kFacadeGlb = "facade.glb";

enum class Format { Obj, Glb, Html };

bool readFormat(const CommandLine::Arguments &arguments, Format &format, Failure *failure)
{
    const std::string name = arguments.has("--format") ? arguments.value("--format") : "obj";
    if (name == "obj")
        format = Format::Obj;
    else if (name == "glb")
        format = Format::Glb;
    else if (name == "html")
        format = Format::Html;
    else
        return fail(failure, "--format must be obj, glb or html, not '" + name + "'");
    return true;
}

// The facade width in metres, when given; a number that is not positive is
// refused with its reason.
bool readFacadeWidth(const CommandLine::Arguments &arguments, double &metres, Failure *failure)
{
    if (!arguments.has("--facade-width"))
        return true;
    const std::string text = arguments.value("--facade-width");
    const char *end = text.data() + text.size();
    double parsed = 0.0;
    const std::from_chars_result result = std::from_chars(text.data(), end, parsed);
    if (result.ec != std::errc() || result.ptr != end)
        return fail(failure, "--facade-width needs a number of metres, not '" + text + "'");
    if (!(parsed > 0.0) || parsed == HUGE_VAL)
        return fail(failure, "--facade-width " + text + " is not a positive width");
    metres = parsed;
    return true;
}

// The files a glTF or page export would replace in folder.
QStringList existingOutputs(const QString &folder, Format format)
{
    QStringList names{QString::fromLatin1(kFacadeGlb)};
    if (format == Format::Html)
        for (const std::string &name : WebPage::pageFiles())
            names << toQtPath(name);
    QStringList existing;
    for (const QString &name : names)
        if (QFileInfo::exists(folder + "/" + name))
            existing << name;
    return existing;
}

// Writes the loaded case's facade into folder in the chosen format.
bool writeExport(const CaseState::LoadedCase &loaded, Format format, const std::string &folder, double facadeWidth,
                 const WebPage::Viewer &viewer, Failure *failure)
{
    if (format == Format::Obj)
        return loaded.model().saveFacadeToMesh(folder + "/" + kFacadeObj, failure);
    double metresPerPixel = GltfExport::kDefaultMetresPerPixel;
    std::string glb;
    return (facadeWidth <= 0.0 || GltfExport::metresPerPixelFor(loaded.model(), facadeWidth, metresPerPixel, failure))
           && GltfExport::glbBytes(loaded.model(), metresPerPixel, glb, failure)
           && ExportFiles::createAndWrite(folder + "/" + kFacadeGlb, glb, failure)
           && (format != Format::Html || WebPage::write(folder, glb, viewer, failure));
}

int runExport(const std::vector<std::string> &args)
{
    using namespace CommandLine;
    std::vector<OptionRule> rules = CaseState::optionRules();
    rules.push_back({"--out", true});
    rules.push_back({"--format", true});
    rules.push_back({"--facade-width", true});
    rules.push_back({"--replace", false});
    Failure failure;
    Arguments arguments;
    std::string path;
    CaseState::Steps steps;
    Format format = Format::Obj;
    double facadeWidth = 0.0;
    if (!arguments.parse(args, rules, &failure) || !arguments.single("CASE_PHOTO", path, &failure)
        || !CaseState::readSteps(arguments, steps, &failure) || !readFormat(arguments, format, &failure)
        || !readFacadeWidth(arguments, facadeWidth, &failure))
        return exitWith(failure.reason);
    if (!arguments.has("--out"))
        return exitWith("export needs --out DIR");
    if (format == Format::Obj && (arguments.has("--facade-width") || arguments.has("--replace")))
        return exitWith("--facade-width and --replace belong to --format glb and html; the OBJ export writes pixels "
                    "and replaces its files");
    const QString out = QDir::cleanPath(toQtPath(arguments.value("--out")));

    // The page needs the viewer before anything is loaded or written.
    WebPage::Viewer viewer;
    if (format == Format::Html && !WebPage::findViewer(viewer, &failure))
        return exitWith(failure.reason);

    CaseState::LoadedCase loaded;
    if (!CaseState::locate(path, loaded, &failure))
        return exitWith(failure.reason);
    // As in the dialog, only the facade of a shutter case is exported.
    if (loaded.kind != TestCaseKind::Shutter)
        return exitWith("only shutter cases are exported; " + path + " is a blind case");
    if (format != Format::Obj) {
        const QStringList existing = existingOutputs(out, format);
        if (!existing.isEmpty() && !arguments.has("--replace"))
            return exitWith(toNarrowPath(out) + " already holds " + toNarrowPath(existing.join(", "))
                        + "; --replace replaces them");
    }
    if (!CaseState::prepare(path, steps, loaded, &failure))
        return exitWith(failure.reason);
    if (!QDir().mkpath(out))
        return exitWith("cannot create the folder " + toNarrowPath(out));
    const std::string folder = toNarrowPath(out);
    if (!writeExport(loaded, format, folder, facadeWidth, viewer, &failure))
        return exitWith(failure.reason);
    // What the export left out (windows without a leaf pair) is worth a word.
    for (const std::string &line : QuietLibraries::lines())
        tell(line);
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
        "  --out DIR           the output folder (required)\n"
        "  --format FORMAT     obj (the default): the files above, in image pixels;\n"
        "                      glb: DIR/facade.glb, one glTF 2.0 file for 3D tools (y up,\n"
        "                      the outside towards +z, the ground line at y = 0, metres,\n"
        "                      textures inside, each leaf a node turning about its hinge);\n"
        "                      html: facade.glb and a page that shows it, opened from\n"
        "                      disk: DIR/index.html, facade-glb.js, viewer.js, three.js\n"
        "  --facade-width M    the facade's width in metres (glb, html); default: one\n"
        "                      pixel is one centimetre\n"
        "  --replace           replace the glb or page files DIR holds already (glb, html)\n")
        + CaseState::kOptionHelp;
    return {"export",
            "export CASE_PHOTO --out DIR [--rows R] [--cols C] [--seed N] [--random-angles] [--left DEG] "
            "[--right DEG] [--format obj|glb|html] [--facade-width M] [--replace]",
            "Export the facade of a shutter case as textured OBJ/MTL files, glTF or a web page", help.c_str(),
            runExport};
}

} // namespace CommandLine
