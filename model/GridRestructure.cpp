#include "QWindowData2D.h"

#include "TextFormat.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {

// Largest lattice the model builds; more cells than this could not be drawn
// or edited and would only exhaust memory.
constexpr std::int64_t kMaxLatticeWindows = 1 << 20;

// A real rounded the way the layout rounds: plus 0.5, truncated.
int roundHalfUp(double value)
{
    return int(value + 0.5);
}

// "1 row", "3 rows", "no row".
std::string countOf(std::int64_t count, const char *noun)
{
    if (count <= 0)
        return std::string("no ") + noun;
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// Why count cells of size `cell` along `extent` pixels do not fit, or "" when they do.
std::string misfit(std::int64_t count, std::int64_t cell, std::int64_t extent, const char *noun,
                   const char *dimension)
{
    if (count * cell <= extent)
        return std::string();
    const std::int64_t fitting = cell > 0 && extent >= 0 ? extent / cell : 0;
    return countOf(count, noun) + formatText(" of %lld pixels do not fit into the grid bounds, %lld pixels %s: ",
                                             static_cast<long long>(cell), static_cast<long long>(extent),
                                             dimension)
           + countOf(fitting, noun) + (fitting == 1 ? " fits" : " fit");
}

// The detected windows as they are, each showing its own image.
std::vector<FacadeWindow> asDetected(const std::vector<FacadeWindow> &detected)
{
    std::vector<FacadeWindow> out(detected);
    for (std::size_t k = 0; k < out.size(); ++k)
        out[k].sourceIndex = int(k);
    return out;
}

// A rowCount x colCount lattice of windows of cell's size, spread with equal
// gaps over bounds, each a copy of a detected window drawn at random (its
// image and blind with it). False, with out untouched, when there is nothing
// to draw from, the lattice is larger than kMaxLatticeWindows, or its last
// cells would lie beyond int.
bool randomLattice(const QRect &bounds, const QRect &cell, int rowCount, int colCount,
                   const std::vector<FacadeWindow> &detected, std::vector<FacadeWindow> &out)
{
    const std::int64_t cellWidth = cell.width();
    const std::int64_t cellHeight = cell.height();
    if (detected.empty() || cellWidth < 0 || cellHeight < 0 || std::int64_t(rowCount) * colCount > kMaxLatticeWindows)
        return false;
    const int gapX = roundHalfUp(double(bounds.width() - colCount * cellWidth) / (colCount + 1));
    const int gapY = roundHalfUp(double(bounds.height() - rowCount * cellHeight) / (rowCount + 1));
    const std::int64_t x0 = std::int64_t(bounds.left()) + gapX;
    const std::int64_t y0 = std::int64_t(bounds.top()) + gapY;
    const std::int64_t stepX = cellWidth + gapX;
    const std::int64_t stepY = cellHeight + gapY;
    // Rounding up the gaps may push the last cells a few pixels past the
    // bounds; with bounds at the edge of int that would not be representable.
    if (x0 + (colCount - 1) * stepX >= INT_MAX || y0 + (rowCount - 1) * stepY >= INT_MAX)
        return false;
    const int count = int(detected.size());
    std::vector<FacadeWindow> lattice;
    lattice.reserve(std::size_t(rowCount) * std::size_t(colCount));
    for (int row = 0; row < rowCount; ++row) {
        for (int col = 0; col < colCount; ++col) {
            const int k = std::rand() % count;
            FacadeWindow w = detected[std::size_t(k)];
            w.x = roundHalfUp(double(x0 + col * stepX));
            w.y = roundHalfUp(double(y0 + row * stepY));
            w.col = col;
            w.row = row;
            w.sourceIndex = k;
            lattice.push_back(w);
        }
    }
    out = std::move(lattice);
    return true;
}

} // namespace

bool QWindowData2D::latticeFits(int rowCount, int colCount, Failure *failure) const
{
    if (rowCount <= 0 || colCount <= 0)
        return fail(failure, "a grid needs at least one row and one column");
    if (gridBounds.empty() || windowTemplates.empty())
        return true;
    const QRect &bounds = gridBounds.front();
    const QRect &cell = windowTemplates.front();
    const std::string rowsMisfit = misfit(rowCount, cell.height(), bounds.height(), "row", "high");
    const std::string colsMisfit = misfit(colCount, cell.width(), bounds.width(), "column", "wide");
    if (rowsMisfit.empty() && colsMisfit.empty())
        return true;
    return fail(failure, rowsMisfit.empty() ? colsMisfit
                         : colsMisfit.empty() ? rowsMisfit
                                              : rowsMisfit + "; " + colsMisfit);
}

// Rebuilds group 0 as the detected grid (requested shape equals the detected
// one) or as a rowCount x colCount lattice inside the bounds, each cell showing a
// detected window drawn at random. Returns -1 for bad counts, 0 when the grid
// cannot be laid out (does not fit, group 0 incomplete, nothing to draw
// from), 1 when windows[0] and the image lists were rebuilt.
int QWindowData2D::restructureGrid(int rowCount, int colCount)
{
    if (rowCount <= 0 || colCount <= 0)
        return -1;
    if (gridBounds.empty() || windowTemplates.empty() || rowValues.empty() || colValues.empty())
        return 0;
    if (!latticeFits(rowCount, colCount))
        return 0;

    static const std::vector<FacadeWindow> none;
    const std::vector<FacadeWindow> &detected = detectedWindows.empty() ? none : detectedWindows.front();
    const bool detectedShape = std::size_t(rowCount) == rowValues.front().size()
        && std::size_t(colCount) == colValues.front().size();
    std::vector<FacadeWindow> rebuilt;
    if (detectedShape)
        rebuilt = asDetected(detected);
    else if (!randomLattice(gridBounds.front(), windowTemplates.front(), rowCount, colCount, detected, rebuilt))
        return 0;

    windows.clear();
    windows.push_back(std::move(rebuilt));
    // Each window shows its source's photographed image (its blind is the
    // source's); a source beyond the loaded images (a larger grid file was
    // read later) shows none: a null entry, which the view skips.
    showWindowImages();
    rows = rowCount;
    cols = colCount;
    return 1;
}
