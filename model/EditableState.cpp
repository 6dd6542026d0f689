#include "EditableState.h"

#include "QWindowData2D.h"

#include <cstring>

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameWindow(const FacadeWindow &a, const FacadeWindow &b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.col == b.col
           && a.row == b.row && sameBits(a.aux, b.aux) && a.blindExtent == b.blindExtent
           && a.sourceIndex == b.sourceIndex && sameBits(a.leftAngle, b.leftAngle)
           && sameBits(a.rightAngle, b.rightAngle);
}

bool sameGroups(const std::vector<std::vector<FacadeWindow>> &a, const std::vector<std::vector<FacadeWindow>> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t g = 0; g < a.size(); ++g) {
        if (a[g].size() != b[g].size())
            return false;
        for (std::size_t i = 0; i < a[g].size(); ++i) {
            if (!sameWindow(a[g][i], b[g][i]))
                return false;
        }
    }
    return true;
}

} // namespace

bool EditableState::operator==(const EditableState &other) const
{
    return gridBounds == other.gridBounds && windowTemplates == other.windowTemplates
           && sameGroups(detectedWindows, other.detectedWindows) && colValues == other.colValues
           && rowValues == other.rowValues && rows == other.rows && cols == other.cols
           && sameGroups(windows, other.windows) && currentImages == other.currentImages
           && imageKeys == other.imageKeys;
}

EditableState QWindowData2D::snapshot() const
{
    EditableState state;
    state.gridBounds = gridBounds;
    state.windowTemplates = windowTemplates;
    state.detectedWindows = detectedWindows;
    state.colValues = colValues;
    state.rowValues = rowValues;
    state.rows = rows;
    state.cols = cols;
    state.windows = windows;
    state.currentImages = currentImages;
    state.imageKeys = imageKeys;
    return state;
}

void QWindowData2D::restore(const EditableState &state)
{
    gridBounds = state.gridBounds;
    windowTemplates = state.windowTemplates;
    detectedWindows = state.detectedWindows;
    colValues = state.colValues;
    rowValues = state.rowValues;
    rows = state.rows;
    cols = state.cols;
    windows = state.windows;
    currentImages = state.currentImages;
    imageKeys = state.imageKeys;
}
