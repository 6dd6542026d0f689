// Fuzz target: the shutter-file reader on arbitrary bytes and the writer's
// round trip.
//
// Input: a first line with the number of detected windows the reader takes
// blocks for (0 to 64; a line that is no number means none, and no window
// group at all), then the shutter file.
// Checks: the reader accepts any stream and gives one pair per detected
// window, every leaf with 19 samples; what the writer writes reads back to
// the same text, the same points and the same angles (to the writer's six
// significant digits).
#include "FuzzCheck.h"

#include "QWindowData2D.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

constexpr int kMaxWindows = 64;

// The model the reader fills: count detected windows, or no group for -1.
void prepare(QWindowData2D &model, int count)
{
    model.detectedWindows.clear();
    if (count >= 0)
        model.detectedWindows.push_back(std::vector<FacadeWindow>(std::size_t(count)));
}

void checkRead(const QWindowData2D &model, int count)
{
    FUZZ_CHECK(model.shutters.size() == std::size_t(count < 0 ? 0 : count));
    for (const ShutterPair &pair : model.shutters)
        for (const ShutterLeaf *leaf : {&pair.left, &pair.right})
            FUZZ_CHECK(leaf->angles.size() == 19 && leaf->outer1.size() == 19 && leaf->outer2.size() == 19);
}

bool nearAngle(double written, double read)
{
    return std::abs(written - read) <= std::abs(written) * 1e-5 + 1e-300;
}

void checkSameLeaf(const ShutterLeaf &a, const ShutterLeaf &b)
{
    FUZZ_CHECK(a.hinge1 == b.hinge1 && a.hinge2 == b.hinge2 && a.outer1 == b.outer1 && a.outer2 == b.outer2);
    for (std::size_t k = 0; k < a.angles.size(); ++k)
        FUZZ_CHECK(nearAngle(a.angles[k], b.angles[k]));
}

std::string saved(const QWindowData2D &model)
{
    std::ostringstream out;
    FUZZ_CHECK(model.saveShutters(out));
    return out.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    const std::size_t lineEnd = input.find('\n');
    const std::string countLine = input.substr(0, lineEnd);
    int count = -1;
    if (!countLine.empty() && countLine.size() <= 2 && countLine.find_first_not_of("0123456789") == std::string::npos)
        count = std::min(std::stoi(countLine), kMaxWindows);

    QWindowData2D model;
    prepare(model, count);
    std::istringstream in(lineEnd == std::string::npos ? std::string() : input.substr(lineEnd + 1));
    FUZZ_CHECK(model.loadShutters(in));
    checkRead(model, count);

    const std::string first = saved(model);
    QWindowData2D reread;
    prepare(reread, count);
    std::istringstream again(first);
    FUZZ_CHECK(reread.loadShutters(again));
    checkRead(reread, count);
    for (std::size_t i = 0; i < model.shutters.size(); ++i) {
        checkSameLeaf(model.shutters[i].left, reread.shutters[i].left);
        checkSameLeaf(model.shutters[i].right, reread.shutters[i].right);
    }
    FUZZ_CHECK(saved(reread) == first);
    return 0;
}
