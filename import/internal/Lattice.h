#ifndef TESSIVO_IMPORT_LATTICE_H
#define TESSIVO_IMPORT_LATTICE_H

// The lattice of windows on a rectified facade: where the columns and rows
// are, and which of their crossings hold a window. Internal to import/.
#include <opencv2/core.hpp>

#include <vector>

namespace FacadeImport {

struct Lattice {
    std::vector<double> cols;            // centre x of each column, ascending
    std::vector<double> rows;            // centre y of each row, ascending
    std::vector<std::vector<char>> held; // [row][col]: a window stands there

    int windows() const;
};

// A window as the stand-out mask shows it: its size, and where the blob at
// its centre starts above and ends below that centre (negative above).
struct WindowShape {
    cv::Size size;
    double top = 0.0;
    double bottom = 0.0;
};

// The shape of the window of the given size centred at centre, measured in
// the mask; where the blob there is not clear, its rectangle's own top and
// bottom.
WindowShape windowShapeAt(const cv::Mat &mask, const cv::Point2d &centre, const cv::Size &size);

// Whether a window of the given shape centred at (x, y) stands out from the
// wall there (mask: non-zero where something stands out): most of its middle
// does, and the blob there starts and ends about where the shape's does, so
// that a string course or a differently sized ground-floor window does not
// pass.
bool cellHoldsWindow(const cv::Mat &mask, double x, double y, const WindowShape &shape);

// The lattice of windows of the given shape whose centres include the given
// ones (good matches of one window): the centres clustered into columns and
// rows; gaps of a whole number of steps filled in where windows stand; one
// step more outwards while they do; irregularly spaced end rows and columns
// (a ground floor) dropped; every position settled where the matches on the
// lattice put it (positions without matches on the line through the others);
// then rows and columns in which fewer than half the cells hold a window
// dropped, the emptiest first.
Lattice latticeFromMatches(const cv::Mat &mask, const std::vector<cv::Point2d> &centres, const WindowShape &shape);

} // namespace FacadeImport

#endif
