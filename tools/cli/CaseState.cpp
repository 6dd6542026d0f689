#include "CaseState.h"

#include "PathText.h"
#include "TestCasePaths.h"

#include <QFileInfo>

#include <cstdlib>
#include <limits>

namespace CaseState {

namespace {

// False, with the option's out-of-range line, for a count the session does
// not offer.
bool offers(const char *option, const std::optional<int> &count, int maximum, Failure *failure)
{
    if (!count || (*count >= CaseSession::kMinCount && *count <= maximum))
        return true;
    return CommandLine::Arguments::outOfRange(option, std::to_string(*count), CaseSession::kMinCount, maximum,
                                              failure);
}

// A slider's whole degrees as the dialog turns them into radians.
double radiansOf(int degrees)
{
    return degrees * QWindowData2D::pi / 180;
}

} // namespace

bool locate(const std::string &path, LoadedCase &loaded, Failure *failure)
{
    const QFileInfo photo(toQtPath(path));
    if (!photo.isFile())
        return fail(failure, "no test case photograph " + path);
    loaded.folder = toNarrowPath(photo.absolutePath());
    loaded.photo = toNarrowPath(photo.fileName());
    loaded.kind = TestCasePaths::kindOfFolder(loaded.folder);
    if (loaded.kind == TestCaseKind::None)
        return fail(failure, "cannot tell the kind of " + path + ": its folder must be named '"
                                 + TestCasePaths::kindFolder(TestCaseKind::Blind) + "' or '"
                                 + TestCasePaths::kindFolder(TestCaseKind::Shutter) + "'");
    return true;
}

bool load(LoadedCase &loaded, Failure *failure)
{
    Failure why;
    if (!loaded.session.loadCase(loaded.kind, loaded.folder, loaded.photo, &why))
        return fail(failure, "cannot load the " + std::string(loaded.kind == TestCaseKind::Shutter ? "shutter" : "blind")
                                 + " case " + loaded.folder + "/" + loaded.photo
                                 + (why.reason.empty() ? std::string() : ": " + why.reason));
    return true;
}

const std::vector<CommandLine::OptionRule> &optionRules()
{
    static const std::vector<CommandLine::OptionRule> rules = {
        {"--rows", true}, {"--cols", true},  {"--seed", true},
        {"--left", true}, {"--right", true}, {"--random-angles", false},
    };
    return rules;
}

const char *const kOptionHelp =
    "  --rows R, --cols C  window rows and columns, 1 to 10 (or to the loaded\n"
    "                      counts when they are larger), set as the row and then\n"
    "                      the column spin box sets them (a new lattice of randomly\n"
    "                      chosen windows; the loaded counts give the detected grid)\n"
    "  --seed N            std::srand(N) before the first random draw, N from 0 to\n"
    "                      4294967295; without it the draws are those of a freshly\n"
    "                      started demo (the C library's default seed)\n"
    "  --random-angles     random angles for both leaves of every window (shutter\n"
    "                      cases), as the dialog's random shutter command\n"
    "  --left DEG          the left leaf of every window at DEG whole degrees, 0 to\n"
    "                      180 (shutter cases), as the left slider with \"turn all\"\n"
    "  --right DEG         the same for the right leaves\n"
    "Steps in this order: the load as a fresh demo loads the case, rows, columns,\n"
    "random angles, left leaves, right leaves.";

bool readSteps(const CommandLine::Arguments &args, Steps &steps, Failure *failure)
{
    long long seed = -1;
    long long rows = 0;
    long long cols = 0;
    long long left = -1;
    long long right = -1;
    if (!args.number("--seed", 0, 4294967295LL, seed, failure)
        || !args.number("--rows", std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), rows, failure)
        || !args.number("--cols", std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), cols, failure)
        || !args.number("--left", 0, 180, left, failure) || !args.number("--right", 0, 180, right, failure))
        return false;
    if (args.has("--seed"))
        steps.seed = unsigned(seed);
    if (args.has("--rows"))
        steps.rows = int(rows);
    if (args.has("--cols"))
        steps.cols = int(cols);
    if (args.has("--left"))
        steps.leftDegrees = int(left);
    if (args.has("--right"))
        steps.rightDegrees = int(right);
    steps.randomAngles = args.has("--random-angles");
    return true;
}

bool prepare(const std::string &path, const Steps &steps, LoadedCase &loaded, Failure *failure)
{
    if (!locate(path, loaded, failure))
        return false;
    // Shutter angles are refused before the case is read: the kind is known.
    if (loaded.kind != TestCaseKind::Shutter) {
        for (const auto &[given, option] : {std::pair{steps.randomAngles, "--random-angles"},
                                            std::pair{steps.leftDegrees.has_value(), "--left"},
                                            std::pair{steps.rightDegrees.has_value(), "--right"}}) {
            if (given)
                return fail(failure, std::string(option) + " needs a shutter case; " + path + " is a blind case");
        }
    }
    if (steps.seed)
        std::srand(*steps.seed);
    if (!load(loaded, failure))
        return false;
    CaseSession &session = loaded.session;
    QWindowData2D &model = loaded.model();

    // The demo's load sets both counts to the loaded grid's, row first; a
    // change that does not fit leaves the grid as it was, as there.
    session.beginEditing();
    if (!offers("--rows", steps.rows, session.maxRows(), failure)
        || !offers("--cols", steps.cols, session.maxCols(), failure))
        return false;
    if ((steps.rows && session.showRows(*steps.rows) != 1) || (steps.cols && session.showCols(*steps.cols) != 1)) {
        // The model says how many rows or columns of what size fit; a grid
        // without bounds says nothing, and the line says that much.
        const CaseSession::Counts shown = session.shownCounts();
        Failure why;
        if (model.latticeFits(shown.rows, shown.cols, &why))
            fail(&why, "the grid cannot be laid out with " + std::to_string(shown.rows) + " rows and "
                           + std::to_string(shown.cols) + " columns");
        return fail(failure, path + ": " + why.reason);
    }

    if (steps.randomAngles)
        model.setRandomShutterAngles();
    if (steps.leftDegrees)
        model.setShutterAngle(radiansOf(*steps.leftDegrees), true, false, 0);
    if (steps.rightDegrees)
        model.setShutterAngle(radiansOf(*steps.rightDegrees), false, false, 0);
    return true;
}

} // namespace CaseState
