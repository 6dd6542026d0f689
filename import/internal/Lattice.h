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

// Whether a window of the given size centred at (x, y) stands out from the
// wall there (mask: non-zero where something stands out): most of its middle
// does, and the blob there starts and ends about where the window's top and
// bottom should be, so that a string course or a differently sized ground
// floor window does not pass.
bool cellHoldsWindow(const cv::Mat &mask, double x, double y, const cv::Size &size);

// The lattice of windows of the given size whose centres include the given
// ones (good matches of one window): the centres clustered into columns and
// rows; gaps of a whole number of steps filled in where windows stand; one
// step more outwards while they do; irregularly spaced end rows and columns
// (a ground floor) dropped; every position settled where the matches on the
// lattice put it (positions without matches on the line through the others);
// then rows and columns in which fewer than half the cells hold a window
// dropped, the emptiest first.
Lattice latticeFromMatches(const cv::Mat &mask, const std::vector<cv::Point2d> &centres, const cv::Size &size);

} // namespace FacadeImport

#endif
