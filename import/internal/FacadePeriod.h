#ifndef TESSIVO_IMPORT_FACADEPERIOD_H
#define TESSIVO_IMPORT_FACADEPERIOD_H

// How often a facade's fine detail repeats across and down: the lag of the
// strongest repeat of its lightness (its autocorrelation), which a fine
// lattice of windows shows however the windows differ and wherever cells are
// missing. Lattices of a few pixels' period are what it is for: the detail
// is taken finer than a blur of a few pixels.
// Internal to import/.
#include <opencv2/core.hpp>

namespace FacadeImport {

// The period in pixels across (width) and down (height) of a CV_32F map;
// inside: non-zero where the map holds the facade (or empty for all of it).
// A side is 0 where nothing repeats.
cv::Size2d facadePeriod(const cv::Mat &map, const cv::Mat &inside);

} // namespace FacadeImport

#endif
