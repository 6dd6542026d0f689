#ifndef TESSIVO_TESTS_WINDOWSCORE_H
#define TESSIVO_TESTS_WINDOWSCORE_H

#include "PhotoAnnotation.h"

#include <vector>

// How well found windows and a found facade agree with an annotation, all in
// photo pixels: polygon overlap, the one-to-one matching of windows at an
// overlap threshold, and the facade's corner error.
namespace PhotoScore {

// Area of a simple polygon (either way round).
double polygonArea(const std::vector<QPointF> &polygon);

// Intersection over union of two convex quadrilaterals (either way round);
// 0 when either has no area.
double quadIoU(const Quad &a, const Quad &b);

// The share of a's area that lies inside the convex quadrilateral b (0 to 1).
double insideShare(const Quad &a, const Quad &b);

// The largest distance between corresponding corners of found and truth over
// the longer diagonal of truth. Both clockwise from the top-left.
double cornerError(const Quad &found, const Quad &truth);

struct WindowScore {
    int annotated = 0; // windows in the annotation
    int found = 0;     // windows found, all of them
    int matched = 0;   // found windows paired one to one with an annotated window
    int ignored = 0;   // unmatched found windows lying at least half inside an ignored region

    // matched / annotated; 1 when nothing is annotated.
    double recall() const;
    // matched / (found - ignored); 0 when nothing counted was found, since
    // finding nothing is not finding well.
    double precision() const;
};

// Pairs found windows with annotated ones, best overlap first, each at most
// once and only at IoU >= minIoU; found windows left over count against
// precision unless at least half of them lies in an ignored region.
WindowScore scoreWindows(const std::vector<Quad> &found, const PhotoAnnotation &truth, double minIoU = 0.5);

} // namespace PhotoScore

#endif
