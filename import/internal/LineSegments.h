#ifndef TESSIVO_IMPORT_LINESEGMENTS_H
#define TESSIVO_IMPORT_LINESEGMENTS_H

// Straight line segments of a photograph and the vanishing points they meet
// in. Internal to import/.
#include <opencv2/core.hpp>

#include <random>
#include <vector>

namespace FacadeImport {

// Segment angles are in degrees; this turns them into radians and back.
constexpr double kPi = 3.14159265358979323846;

struct Segment {
    cv::Point2d a;
    cv::Point2d b;
    double length = 0.0; // what the segment weighs in an estimate: its length, unless weighted otherwise
    double angle = 0.0; // of the direction a -> b, degrees in [0, 180)
};

// Segments of at least minLength pixels of an 8-bit grey picture.
std::vector<Segment> detectSegments(const cv::Mat &gray, double minLength);

// A vanishing point in homogeneous coordinates of the frame its segments are
// given in, scaled to unit length; w = 0 when the lines are parallel.
struct VanishingPoint {
    bool found = false;
    cv::Vec3d point;
    std::vector<int> inliers; // indices into the segment list
    double support = 0.0;     // total length of the inliers
};

// Where a homogeneous point may lie: not inside this box of the frame, since
// a facade's lines never meet inside the photograph that shows them.
struct ForbiddenBox {
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
};

// Robust estimate of the vanishing point most of the candidate segments meet
// in: RANSAC over pairs of segments (longer ones drawn more often), then a
// least-squares refinement over the inliers. A segment is an inlier when
// the line from its midpoint to the point passes within tolerance of its
// ends. Needs at least minInliers inliers. The segments should be given in a
// frame centred on the photograph and scaled to about unit size, which keeps
// the least-squares problem well conditioned; tolerance is in that frame.
// With maxAngle above 0 (radians), an inlier's direction must also lie within
// maxAngle of the line to the point, which keeps short segments, whose
// directions are loose, from pulling the point.
VanishingPoint estimateVanishingPoint(const std::vector<Segment> &segments, const std::vector<int> &candidates,
                                      const ForbiddenBox &forbidden, double tolerance, int minInliers,
                                      std::mt19937 &random, double maxAngle = 0.0);

// Distance from the ends of a segment to the line through its midpoint and
// the vanishing point, in the segment's units.
double vanishingError(const Segment &segment, const cv::Vec3d &point);

} // namespace FacadeImport

#endif
