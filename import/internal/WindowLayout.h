#ifndef TESSIVO_IMPORT_WINDOWLAYOUT_H
#define TESSIVO_IMPORT_WINDOWLAYOUT_H

// The windows of a rectified facade read from where it differs from its wall.
// Whatever stands out from the wall's own colour on every side, as blobs at
// several levels, may be a window; windows repeat, so the kind of blob that
// repeats most in rows and columns is the facade's main kind of window, and
// blobs of other sizes that repeat and look like it (a ground floor, a
// shopfront) join it. This copes with what a single template does not:
// windows that differ from each other (curtains, reflections), rows of other
// heights, missing cells, and relief that an inexact rectification leaves.
// Internal to import/.
#include <opencv2/core.hpp>

#include <vector>

namespace FacadeImport {

// A window found: its box in the pixels of the map it was found on, and how
// sure the search is of it (0 to 1).
struct LayoutBox {
    cv::Rect2d box;
    double score = 0.0;
};

// What the layout search reads of a facade, all of one size.
struct LayoutMaps {
    cv::Mat windowness; // CV_32F, 0 (wall) to 1 (clearly not wall)
    cv::Mat inside;     // CV_8U, non-zero where the photograph covers the facade
    cv::Mat lab;        // CV_8UC3, the facade in Lab, slightly smoothed
};

// The maps of an 8-bit RGB facade; inside: non-zero where the photograph
// covers it, or empty for all of it.
LayoutMaps layoutMapsOf(const cv::Mat &rgb, const cv::Mat &inside);

// Every window the profiles show, row by row.
std::vector<LayoutBox> layoutWindows(const LayoutMaps &maps);

// The windows that look like the marked one (of its size, standing out from
// the wall as it does), the marked one first.
std::vector<LayoutBox> repeatsOfWindow(const LayoutMaps &maps, const cv::Rect &marked);

// The windows of a facade whose windows are too small or too faint for
// blobs (a distant, dense lattice): a typical box a share of the period in
// size that stands out from the wall around it is taken as a marked window,
// and its repeats are found; unless they are plenty (a few times `enough`,
// the fewest a lattice needs), other typical boxes are tried, and the one
// that finds most is kept.
std::vector<LayoutBox> repeatsOfPeriod(const LayoutMaps &maps, const cv::Size2d &period, std::size_t enough);

} // namespace FacadeImport

#endif
