// Fuzz target: the grid-file reader on arbitrary bytes, the writer's round
// trip, and a restructuring of whatever grid was read.
//
// Checks: the reader accepts any stream; detected and current windows are
// parallel lists that differ only in sourceIndex; rows and cols follow the
// first rows and columns sections; what the writer writes reads back to the
// same text and the same values (reals to the writer's six decimals); a
// restructuring answers -1, 0 or 1 and, when it rebuilds, gives a window and
// an image entry per cell, each drawn from the detected windows.
#include "FuzzCheck.h"

#include "QWindowData2D.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

bool sameInts(const FacadeWindow &a, const FacadeWindow &b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.col == b.col
        && a.row == b.row && a.blindExtent == b.blindExtent;
}

// A real written with six decimals and read back as a float.
bool nearReal(double written, double read)
{
    return std::abs(written - read) <= 5e-7 + std::abs(written) * 1e-7;
}

// What a plain grid file (no session section) reads as: each group's
// current windows are its detected ones, each showing itself.
void checkReadGrid(const QWindowData2D &model)
{
    FUZZ_CHECK(model.detectedWindows.size() == model.windows.size());
    for (std::size_t g = 0; g < model.windows.size(); ++g) {
        FUZZ_CHECK(model.detectedWindows[g].size() == model.windows[g].size());
        for (std::size_t i = 0; i < model.windows[g].size(); ++i) {
            const FacadeWindow &detected = model.detectedWindows[g][i];
            const FacadeWindow &current = model.windows[g][i];
            FUZZ_CHECK(detected.sourceIndex == -1 && current.sourceIndex == int(i));
            FUZZ_CHECK(sameInts(detected, current) && detected.aux == current.aux
                       && detected.leftAngle == current.leftAngle && detected.rightAngle == current.rightAngle);
        }
    }
    FUZZ_CHECK(model.rows == (model.rowValues.empty() ? 0 : int(model.rowValues[0].size())));
    FUZZ_CHECK(model.cols == (model.colValues.empty() ? 0 : int(model.colValues[0].size())));
}

std::string saved(const QWindowData2D &model)
{
    std::ostringstream out;
    FUZZ_CHECK(model.saveGridFile(out));
    return out.str();
}

std::string sessionSaved(const QWindowData2D &model)
{
    std::ostringstream out;
    FUZZ_CHECK(model.saveSessionGridFile(out));
    return out.str();
}

// The values of the first model survive in the second, group by group, as far
// as the first holds them (the writer pads short lists).
void checkSameGrid(const QWindowData2D &first, const QWindowData2D &second)
{
    for (std::size_t g = 0; g < first.gridBounds.size(); ++g)
        FUZZ_CHECK(g < second.gridBounds.size() && first.gridBounds[g] == second.gridBounds[g]);
    for (std::size_t g = 0; g < first.windowTemplates.size(); ++g)
        FUZZ_CHECK(g < second.windowTemplates.size() && first.windowTemplates[g] == second.windowTemplates[g]);
    for (std::size_t g = 0; g < first.rowValues.size(); ++g)
        FUZZ_CHECK(g < second.rowValues.size() && first.rowValues[g] == second.rowValues[g]);
    for (std::size_t g = 0; g < first.colValues.size(); ++g)
        FUZZ_CHECK(g < second.colValues.size() && first.colValues[g] == second.colValues[g]);
    for (std::size_t g = 0; g < first.windows.size(); ++g) {
        FUZZ_CHECK(g < second.windows.size() && first.windows[g].size() == second.windows[g].size());
        for (std::size_t i = 0; i < first.windows[g].size(); ++i) {
            const FacadeWindow &a = first.windows[g][i];
            const FacadeWindow &b = second.windows[g][i];
            FUZZ_CHECK(sameInts(a, b));
            FUZZ_CHECK(nearReal(a.aux, b.aux) && nearReal(a.leftAngle, b.leftAngle)
                       && nearReal(a.rightAngle, b.rightAngle));
        }
    }
}

void checkRestructuring(QWindowData2D &model, int rowCount, int colCount)
{
    std::srand(1); // the layout draws windows with rand(): the same input, the same run
    const std::vector<FacadeWindow> detected = model.detectedWindows.empty() ? std::vector<FacadeWindow>()
                                                                             : model.detectedWindows[0];
    const int result = model.restructureGrid(rowCount, colCount);
    FUZZ_CHECK(result == -1 || result == 0 || result == 1);
    if (result != 1)
        return;
    FUZZ_CHECK(model.windows.size() == 1 && model.rows == rowCount && model.cols == colCount);
    const std::vector<FacadeWindow> &rebuilt = model.windows[0];
    const bool detectedShape = std::size_t(rowCount) == model.rowValues[0].size()
        && std::size_t(colCount) == model.colValues[0].size();
    FUZZ_CHECK(rebuilt.size() == (detectedShape ? detected.size() : std::size_t(rowCount) * std::size_t(colCount)));
    FUZZ_CHECK(model.currentImages.size() == rebuilt.size() && model.imageKeys.size() == rebuilt.size());
    for (std::size_t i = 0; i < rebuilt.size(); ++i) {
        const int source = rebuilt[i].sourceIndex;
        FUZZ_CHECK(source >= 0 && std::size_t(source) < detected.size() && model.imageKeys[i] == source);
        FUZZ_CHECK(rebuilt[i].width == detected[std::size_t(source)].width
                   && rebuilt[i].height == detected[std::size_t(source)].height);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    QWindowData2D model;
    FUZZ_CHECK(model.loadGridFile(in));
    // A session section (words no plain grid file holds) may set the counts,
    // the detected windows and the sources; the plain rules hold without it.
    if (std::string(reinterpret_cast<const char *>(data), size).find("session-") == std::string::npos)
        checkReadGrid(model);

    // What the session writer writes reads back to the same.
    const std::string session = sessionSaved(model);
    QWindowData2D restored;
    std::istringstream sessionIn(session);
    FUZZ_CHECK(restored.loadGridFile(sessionIn));
    FUZZ_CHECK(sessionSaved(restored) == session);

    const std::string first = saved(model);
    QWindowData2D reread;
    std::istringstream again(first);
    FUZZ_CHECK(reread.loadGridFile(again));
    checkReadGrid(reread);
    checkSameGrid(model, reread);
    FUZZ_CHECK(saved(reread) == first);

    // The detected shape, and a small lattice picked by the input's size.
    checkRestructuring(model, model.rows, model.cols);
    checkRestructuring(model, 1 + int(size % 5), 1 + int(size / 5 % 5));
    return 0;
}
