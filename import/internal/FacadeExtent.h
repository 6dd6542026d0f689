#ifndef TESSIVO_IMPORT_FACADEEXTENT_H
#define TESSIVO_IMPORT_FACADEEXTENT_H

// Where a facade is in its own frame: the rectangle over which both of its
// families of lines, rows (window tops and bottoms, courses, cornices) and
// columns (window sides, piers), are dense, as repeated windows draw them.
// Trees, sky, street and a neighbour seen at another angle hold at most one
// family. Internal to import/.
#include "FacadeFrame.h"

#include <opencv2/core.hpp>

#include <vector>

namespace FacadeImport {

struct FrameSegment {
    cv::Point2d a, b; // ends in the facade frame
};

struct ExtentInput {
    std::vector<FrameSegment> rows;    // segments along the facade's horizontal lines
    std::vector<FrameSegment> columns; // segments along its vertical lines
    std::vector<cv::Point2d> visible;  // the photograph's border in the frame, densely sampled
};

struct Extent {
    FrameRect rect;
    double density = 0.0; // how densely both families of lines fill the rectangle, 0 to 1
    double rowBin = 0.0;  // the frame's rows are told apart at this spacing
    // Sides at the photograph's frame: the facade runs on beyond it, and the
    // side is the facade's own line that just covers what is visible.
    bool atFrame[4] = {false, false, false, false}; // left, top, right, bottom
};

// The rectangle of densest structure; false when no part of the frame holds
// both families.
bool structuredExtent(const ExtentInput &input, Extent *out);

// The top of a facade whose top line runs a part of its width only (the
// ledge of a tower or a gable standing above it): the highest line below
// it, within a quarter of its height, that runs most of its width (its
// cornice, parapet or eaves), where the photograph shows what stands above
// whole. The top as it is where its own line runs most of the width, or no
// such line lies below. bin: the rows' spacing.
double fullWidthTop(const ExtentInput &input, const FrameRect &r, double bin);

// The extreme positions of the visible border points within a band: along x
// for the points whose y lies in [from, to] (alongX), or along y for those
// whose x does. False when no point lies in the band.
bool visibleRange(const std::vector<cv::Point2d> &visible, bool alongX, double from, double to, double *lo,
                  double *hi);

} // namespace FacadeImport

#endif
