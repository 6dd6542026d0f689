#include "CaseState.h"

#include "PathText.h"
#include "TestCasePaths.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace CaseState {

namespace {

// The row and column spin boxes of the control panel as far as the grid sees
// them: both at 1 in a freshly started demo, ranging from 1 to the generated
// cases' largest count or, for a case with more, to its own counts. A box set
// to a value it does not show yet restructures the grid with both boxes'
// values, as the dialog's grid slots do (and so draws the same random
// numbers); the value it shows already changes nothing.
class GridSpinBoxes
{
public:
    static constexpr int kMinimum = 1;

    explicit GridSpinBoxes(QWindowData2D &model)
        : m_model(model),
          m_maxRows(std::max(TestCasePaths::kMaxGridCount, model.detectedRowCount())),
          m_maxCols(std::max(TestCasePaths::kMaxGridCount, model.detectedColCount()))
    {
    }

    // What restructureGrid returned, or 1 when the box kept its value.
    int setRows(int value)
    {
        value = std::clamp(value, kMinimum, m_maxRows);
        if (value == m_rows)
            return 1;
        m_rows = value;
        return m_model.restructureGrid(m_rows, m_cols);
    }

    int setCols(int value)
    {
        value = std::clamp(value, kMinimum, m_maxCols);
        if (value == m_cols)
            return 1;
        m_cols = value;
        return m_model.restructureGrid(m_rows, m_cols);
    }

    // False, with the option's out-of-range line, for a count the box does
    // not offer.
    bool offersRows(const std::optional<int> &count, Failure *failure) const
    {
        return offers("--rows", count, m_maxRows, failure);
    }
    bool offersCols(const std::optional<int> &count, Failure *failure) const
    {
        return offers("--cols", count, m_maxCols, failure);
    }

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }

private:
    static bool offers(const char *option, const std::optional<int> &count, int maximum, Failure *failure)
    {
        if (!count || (*count >= kMinimum && *count <= maximum))
            return true;
        return CommandLine::Arguments::outOfRange(option, std::to_string(*count), kMinimum, maximum, failure);
    }

    QWindowData2D &m_model;
    const int m_maxRows;
    const int m_maxCols;
    int m_rows = kMinimum;
    int m_cols = kMinimum;
};

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
    auto model = std::make_unique<QWindowData2D>();
    Failure why;
    const bool read = loaded.kind == TestCaseKind::Shutter
        ? model->loadShutterTestCase(loaded.folder, loaded.photo, &why)
        : model->loadBlindTestCase(loaded.folder, loaded.photo, &why);
    if (!read)
        return fail(failure, "cannot load the " + std::string(loaded.kind == TestCaseKind::Shutter ? "shutter" : "blind")
                                 + " case " + loaded.folder + "/" + loaded.photo
                                 + (why.reason.empty() ? std::string() : ": " + why.reason));
    loaded.model = std::move(model);
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
    QWindowData2D &model = *loaded.model;

    // The demo's load sets both spin boxes to the loaded grid's counts, row
    // first; a change that does not fit leaves the grid as it was, as there.
    GridSpinBoxes boxes(model);
    if (!boxes.offersRows(steps.rows, failure) || !boxes.offersCols(steps.cols, failure))
        return false;
    boxes.setRows(model.detectedRowCount());
    boxes.setCols(model.detectedColCount());

    if ((steps.rows && boxes.setRows(*steps.rows) != 1) || (steps.cols && boxes.setCols(*steps.cols) != 1)) {
        // The model says how many rows or columns of what size fit; a grid
        // without bounds says nothing, and the line says that much.
        Failure why;
        if (model.latticeFits(boxes.rows(), boxes.cols(), &why))
            fail(&why, "the grid cannot be laid out with " + std::to_string(boxes.rows()) + " rows and "
                           + std::to_string(boxes.cols()) + " columns");
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
