// `tessivo import PHOTO --kind blinds|shutters [--corners ...] [--window ...]
// [--root DIR] [--name NAME] [--replace]`: turns a facade photograph into a
// test case and tells what it found and where the case went.
#include "ImportCommand.h"

#include "CaseWriter.h"
#include "CommandLine.h"
#include "FacadeAnalysis.h"
#include "FoundWords.h"
#include "PathText.h"
#include "PhotoReader.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <optional>

using namespace FacadeImport;

namespace {

struct ImportArguments {
    QString photo;
    TestCaseKind kind = TestCaseKind::None;
    std::optional<FacadeQuad> corners;
    QRect window;
    QString root;
    QString name;
    bool replace = false;
};

// n numbers separated by commas; nothing when the text is not exactly that.
std::optional<std::vector<double>> numbers(const std::string &text, int n)
{
    const QStringList parts = QString::fromStdString(text).split(',');
    if (parts.size() != n)
        return std::nullopt;
    std::vector<double> values;
    for (const QString &part : parts) {
        bool ok = false;
        const double v = part.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return std::nullopt;
        values.push_back(v);
    }
    return values;
}

// Reads the arguments into out, with the option parser the other
// subcommands use; an error line otherwise.
std::optional<std::string> parse(const std::vector<std::string> &args, ImportArguments &out)
{
    static const std::vector<CommandLine::OptionRule> rules{{"--kind", true}, {"--corners", true},
                                                            {"--window", true}, {"--root", true},
                                                            {"--name", true}, {"--replace", false}};
    CommandLine::Arguments arguments;
    Failure failure;
    if (!arguments.parse(args, rules, &failure))
        return failure.reason + " (see 'tessivo help import')";
    const std::vector<std::string> &positional = arguments.positional();
    if (positional.size() != 1)
        return positional.empty() ? "no photograph given (see 'tessivo help import')"
                                  : "one photograph at a time, not " + std::to_string(positional.size());
    out.photo = toQtPath(positional.front());

    if (!arguments.has("--kind"))
        return "--kind blinds|shutters is required";
    const std::string kind = arguments.value("--kind");
    if (kind == "blinds")
        out.kind = TestCaseKind::Blind;
    else if (kind == "shutters")
        out.kind = TestCaseKind::Shutter;
    else
        return "--kind is 'blinds' or 'shutters', not '" + kind + "'";

    if (arguments.has("--corners")) {
        const auto v = numbers(arguments.value("--corners"), 8);
        if (!v)
            return "--corners takes eight numbers x1,y1,x2,y2,x3,y3,x4,y4";
        FacadeQuad q;
        for (std::size_t k = 0; k < 4; ++k)
            q[k] = QPointF((*v)[2 * k], (*v)[2 * k + 1]);
        out.corners = q;
    }
    if (arguments.has("--window")) {
        const auto v = numbers(arguments.value("--window"), 4);
        const bool whole = v && std::all_of(v->begin(), v->end(), [](double d) {
            return d == std::floor(d) && std::abs(d) < 1e7;
        });
        if (!whole || (*v)[2] <= 0.0 || (*v)[3] <= 0.0)
            return "--window takes four whole numbers x,y,w,h with w and h above 0";
        out.window = QRect(int((*v)[0]), int((*v)[1]), int((*v)[2]), int((*v)[3]));
    }
    out.root = toQtPath(arguments.value("--root"));
    out.name = toQtPath(arguments.value("--name"));
    out.replace = arguments.has("--replace");
    return std::nullopt;
}

std::string text(const QString &s)
{
    return s.toStdString();
}

// A status line with something added in the same sentence.
std::string extended(std::string line, const char *addition)
{
    if (!line.empty() && line.back() == '.')
        line.pop_back();
    return line + addition;
}

QString point(const QPointF &p)
{
    return QString("(%1, %2)").arg(p.x(), 0, 'f', 1).arg(p.y(), 0, 'f', 1);
}

// A homogeneous point: where it lies, or the direction it lies in when it
// is at infinity (or so far that its position means nothing).
QString vanishingPoint(const std::array<double, 3> &h)
{
    if (std::abs(h[2]) > 1e-9) {
        const QPointF p(h[0] / h[2], h[1] / h[2]);
        if (std::abs(p.x()) < 1e7 && std::abs(p.y()) < 1e7)
            return point(p);
    }
    const double n = std::hypot(h[0], h[1]);
    return n > 0.0 ? QString("at infinity, direction %1").arg(point(QPointF(h[0] / n, h[1] / n)))
                   : QString("none");
}

void report(const ImportArguments &args, const FacadeAnalysis &a)
{
    std::printf("Photograph: %s, %d x %d pixels\n", text(args.photo).c_str(), a.photo.width(), a.photo.height());
    const FacadeQuad &c = a.plan.corners;
    QString source = "given";
    if (!args.corners)
        source = a.proposal.fromLines
                     ? QString("proposed from %1 straight segments").arg(a.proposal.segments)
                     : QString("the photograph's extent (no dominant straight lines)");
    if (!args.corners && a.proposal.candidates.size() > 1)
        source += QString(", the likeliest of %1 facades").arg(a.proposal.candidates.size());
    std::printf("Facade corners: %s %s %s %s, %s\n", text(point(c[0])).c_str(), text(point(c[1])).c_str(),
                text(point(c[2])).c_str(), text(point(c[3])).c_str(), text(source).c_str());
    std::printf("Vanishing points: horizontal %s, vertical %s\n", text(vanishingPoint(a.plan.horizontalPoint)).c_str(),
                text(vanishingPoint(a.plan.verticalPoint)).c_str());
    const CameraEstimate &cam = a.plan.camera;
    std::printf("Focal length: %.1f pixels (%s)\n", cam.focal,
                cam.focalFromVanishingPoints ? "from the vanishing points"
                                             : "1.2 times the larger side: the vanishing points do not give it");
    std::printf("Rectified size: %d x %d\n", a.rectified.width(), a.rectified.height());
    if (!a.grid.empty())
        std::printf("Windows: %s\n", text(gridSummary(a.grid)).c_str());
}

int runImport(const std::vector<std::string> &argv)
{
    ImportArguments args;
    if (const auto error = parse(argv, args))
        return CommandLine::exitWith(*error);

    const Photograph photo = readPhotograph(args.photo);
    if (!photo.status.ok())
        return CommandLine::exitWith(photo.status.reason);
    AnalysisOptions options;
    options.useCorners = bool(args.corners);
    if (args.corners)
        options.corners = *args.corners;
    options.photoWindow = args.window;
    options.clearLeafZones = args.kind == TestCaseKind::Shutter;
    const FacadeAnalysis analysis = analysePhotograph(photo.image, options);
    if (!analysis.plan.status.ok() || analysis.rectified.isNull())
        return CommandLine::exitWith(analysis.status.reason);
    report(args, analysis);
    if (analysis.status.error() == ImportError::NoWindows)
        return CommandLine::exitWith("no window found on the facade; mark one with --window x,y,w,h (photo pixels)");
    if (!analysis.status.ok())
        return CommandLine::exitWith(analysis.status.reason);

    CaseTarget target;
    target.kind = args.kind;
    target.root = args.root.isEmpty() ? defaultCaseRoot(QDir::currentPath()) : args.root;
    target.name = args.name.isEmpty() ? QFileInfo(args.photo).completeBaseName() : args.name;
    target.replace = args.replace;
    WrittenCase written;
    const ImportStatus status = writeCase(analysis, target, &written);
    if (status.error() == ImportError::NameTaken)
        return CommandLine::exitWith(extended(status.reason, "; --replace replaces it."));
    if (!status.ok())
        return CommandLine::exitWith(status.reason);
    std::printf("Case written: %s\n", toNarrowPath(QDir(written.folder).filePath(written.photo)).c_str());
    return 0;
}

} // namespace

namespace CommandLine {

Subcommand importSubcommand()
{
    static const Subcommand command = {
        "import",
        "import PHOTO --kind blinds|shutters [--corners x1,y1,x2,y2,x3,y3,x4,y4] [--window x,y,w,h] [--root DIR] "
        "[--name NAME] [--replace]",
        "turn a facade photograph into a blind or shutter test case",
        "  --kind blinds|shutters  the kind of case to write (required)\n"
        "  --corners ...           the facade's four corners in photo pixels, in order around it;\n"
        "                          without them the facade is found from the photograph's lines\n"
        "  --window x,y,w,h        one window in photo pixels, whose repeats are searched for;\n"
        "                          without it the most salient repeated rectangle is taken\n"
        "  --root DIR              the test-case folder (default: the Tessivo_TestCases found in\n"
        "                          the working folder or an ancestor, else a new one here)\n"
        "  --name NAME             the case's name, NAME.jpg in the kind's folder (default: the\n"
        "                          photograph's name)\n"
        "  --replace               replace a case of that name that an earlier import made\n"
        "Prints the vanishing points, focal length, rectified size and windows found and where\n"
        "the case was written. Exit 0 on success, 1 with one line on standard error otherwise.",
        runImport};
    return command;
}

} // namespace CommandLine
