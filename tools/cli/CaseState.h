#ifndef TESSIVO_CLI_CASESTATE_H
#define TESSIVO_CLI_CASESTATE_H

#include "CaseSession.h"
#include "CommandLine.h"
#include "QWindowData2D.h"

#include <optional>
#include <string>
#include <vector>

// A test case loaded as the demo loads it and brought into the state that the
// options of `export` and `render` describe, so that both write what the
// dialog writes after the same steps in a freshly started demo.
namespace CaseState {

// A test case named by its photograph. Its kind comes from the folder it lies
// in, "blinds" or "shutters", the folders the dialog's two Load buttons read.
// It loads into an editing session as the dialog's does.
struct LoadedCase {
    std::string folder; // absolute, "/"-separated
    std::string photo;  // file name of the photograph
    TestCaseKind kind = TestCaseKind::None;
    CaseSession session;

    // The loaded model; only after a successful load.
    QWindowData2D &model() const { return *session.model(); }
};

// Finds the case of photograph path and tells its kind; nothing is read yet.
// Fails for a path that is no file and for a folder of no known kind.
bool locate(const std::string &path, LoadedCase &loaded, Failure *failure = nullptr);

// Reads the located case into the session's model.
bool load(LoadedCase &loaded, Failure *failure = nullptr);

// The steps the options ask for, in the order they are taken.
struct Steps {
    std::optional<unsigned> seed;   // std::srand(seed) before the load's first draw
    std::optional<int> rows;        // then the row spin box,
    std::optional<int> cols;        // then the column spin box,
    bool randomAngles = false;      // then "random shutter angles",
    std::optional<int> leftDegrees; // then every left leaf,
    std::optional<int> rightDegrees; // then every right leaf
};

// The options behind Steps, which `export` and `render` both accept.
const std::vector<CommandLine::OptionRule> &optionRules();

// Their usage text, one option per line.
extern const char *const kOptionHelp;

// Reads Steps from the parsed options; fails on a value that is no number or
// out of range. Row and column counts are checked by prepare, against the
// range the loaded case gives the session's counts.
bool readSteps(const CommandLine::Arguments &args, Steps &steps, Failure *failure = nullptr);

// Locates and loads the case of path and takes the steps: the demo's load
// (the session's counts going from their start values to the loaded
// counts), then the options. Fails on an option the case cannot take (shutter angles in a
// blind case, counts outside the spin boxes' range, a grid that does not fit).
bool prepare(const std::string &path, const Steps &steps, LoadedCase &loaded, Failure *failure = nullptr);

} // namespace CaseState

#endif
