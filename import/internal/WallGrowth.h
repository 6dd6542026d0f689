#ifndef TESSIVO_IMPORT_WALLGROWTH_H
#define TESSIVO_IMPORT_WALLGROWTH_H

// A facade's rectangle grown over its own wall. The facade's lines are dense
// where its windows are; a plain wall with few small windows draws few lines,
// and a busy ground floor (doors, signs, a shop) outweighs the floors above
// it. The wall itself still shows: where the photograph cuts the wall above
// or beside it, the rectangle grows out to its edge over bands nearly all of
// the wall's colour. Internal to import/.
#include "FacadeFrame.h"

#include <opencv2/core.hpp>

namespace FacadeImport {

// Moves r's top, then its left and right sides, in the facade's frame, out
// to where the photograph ends, each when every band between is nearly all
// of the colour of the wall inside r; otherwise leaves it. Its bottom stays:
// the street below a facade is often of a wall's colour. rgb: the
// photograph (CV_8UC3, RGB); frameToPixels maps frame points to its pixels.
void growOverWall(const cv::Mat &rgb, const cv::Matx33d &frameToPixels, FrameRect &r);

} // namespace FacadeImport

#endif
