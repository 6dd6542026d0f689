#ifndef TESSIVO_IMPORT_WINDOWGRID_H
#define TESSIVO_IMPORT_WINDOWGRID_H

#include "QWindowData2D.h"

#include <QRect>
#include <QSize>

#include <vector>

// Windows of a rectified facade arranged as a grid file holds them: each
// window with its column and row, listed row by row with columns ascending,
// the grid bounds, the window template and one value per row and column.
namespace FacadeImport {

struct WindowGrid {
    std::vector<FacadeWindow> windows; // row by row, columns ascending; aux holds the detection score
    QRect bounds;                      // the windows' bounding box with half a gap of margin, inside the image
    QRect windowTemplate;              // the first window's corner with the median window size
    std::vector<int> rowValues;        // centre y of each row
    std::vector<int> colValues;        // centre x of each column

    int rows() const { return int(rowValues.size()); }
    int cols() const { return int(colValues.size()); }
    bool empty() const { return windows.empty(); }
};

// A window rectangle in the rectified image and how sure the search is of it
// (0 to 1; 1 for windows the user placed).
struct PlacedWindow {
    QRect rect;
    double score = 1.0;
};

// Builds the grid from window rectangles in any order, as found or as edited
// (added, removed, moved, resized): windows whose centres lie within half the
// median window width of each other share a column, within half the median
// height a row. Rectangles that are empty or outside the image are left out.
WindowGrid arrangeWindows(const std::vector<PlacedWindow> &placed, const QSize &imageSize);

} // namespace FacadeImport

#endif
