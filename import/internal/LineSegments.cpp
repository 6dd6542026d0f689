#include "LineSegments.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace FacadeImport {

namespace {

cv::Vec3d homogeneous(const cv::Point2d &p)
{
    return {p.x, p.y, 1.0};
}

// The segment's line (a, b, c) with a^2 + b^2 = 1.
cv::Vec3d normalisedLine(const Segment &s)
{
    cv::Vec3d l = homogeneous(s.a).cross(homogeneous(s.b));
    const double n = std::hypot(l[0], l[1]);
    return n > 0.0 ? l / n : l;
}

bool insideBox(const cv::Vec3d &v, const ForbiddenBox &box)
{
    if (std::abs(v[2]) < 1e-12)
        return false;
    const double x = v[0] / v[2];
    const double y = v[1] / v[2];
    return x > box.left && x < box.right && y > box.top && y < box.bottom;
}

// A segment meets the point when its ends lie within tolerance of the line
// through its midpoint and the point, and, with maxAngle above 0, when its
// direction is within maxAngle (radians) of that line's: a short segment's
// direction is loose, and many short ones agree with any point nearby.
bool meets(const Segment &s, const cv::Vec3d &v, double tolerance, double maxAngle)
{
    const double e = vanishingError(s, v);
    const double length = std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
    return e <= tolerance && (maxAngle <= 0.0 || e <= 0.5 * length * std::sin(maxAngle));
}

std::vector<int> inliersOf(const std::vector<Segment> &segments, const std::vector<int> &candidates,
                           const cv::Vec3d &v, double tolerance, double maxAngle, double *support)
{
    std::vector<int> in;
    double total = 0.0;
    for (int i : candidates) {
        if (meets(segments[std::size_t(i)], v, tolerance, maxAngle)) {
            in.push_back(i);
            total += segments[std::size_t(i)].length;
        }
    }
    if (support)
        *support = total;
    return in;
}

// The unit vector v minimising the sum of w (l . v)^2 over the inliers'
// lines, weighted by squared length: long segments fix directions best.
cv::Vec3d leastSquaresPoint(const std::vector<Segment> &segments, const std::vector<int> &inliers)
{
    cv::Matx33d m = cv::Matx33d::zeros();
    for (int i : inliers) {
        const Segment &s = segments[std::size_t(i)];
        const cv::Vec3d l = normalisedLine(s);
        const double w = s.length * s.length;
        m += w * (l * l.t());
    }
    cv::Mat values, vectors;
    cv::eigen(cv::Mat(m), values, vectors);
    // Eigenvalues come in descending order: the last vector is the minimiser.
    cv::Vec3d v(vectors.at<double>(2, 0), vectors.at<double>(2, 1), vectors.at<double>(2, 2));
    return v / cv::norm(v);
}

} // namespace

std::vector<Segment> detectSegments(const cv::Mat &gray, double minLength)
{
    std::vector<Segment> out;
    if (gray.empty())
        return out;
    cv::Ptr<cv::LineSegmentDetector> lsd = cv::createLineSegmentDetector(cv::LSD_REFINE_STD);
    std::vector<cv::Vec4f> lines;
    lsd->detect(gray, lines);
    out.reserve(lines.size());
    for (const cv::Vec4f &l : lines) {
        Segment s;
        s.a = {l[0], l[1]};
        s.b = {l[2], l[3]};
        s.length = std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
        if (!(s.length >= minLength))
            continue;
        double angle = std::atan2(s.b.y - s.a.y, s.b.x - s.a.x) * 180.0 / kPi;
        if (angle < 0.0)
            angle += 180.0;
        if (angle >= 180.0)
            angle -= 180.0;
        s.angle = angle;
        out.push_back(s);
    }
    return out;
}

double vanishingError(const Segment &segment, const cv::Vec3d &point)
{
    const cv::Point2d mid = 0.5 * (segment.a + segment.b);
    const cv::Vec3d l = homogeneous(mid).cross(point);
    const double n = std::hypot(l[0], l[1]);
    if (!(n > 0.0))
        return 0.0; // the point is the midpoint itself: every direction meets it
    return std::abs(l.dot(homogeneous(segment.a))) / n;
}

VanishingPoint estimateVanishingPoint(const std::vector<Segment> &segments, const std::vector<int> &candidates,
                                      const ForbiddenBox &forbidden, double tolerance, int minInliers,
                                      std::mt19937 &random, double maxAngle)
{
    VanishingPoint best;
    if (int(candidates.size()) < std::max(2, minInliers))
        return best;

    // Pairs are drawn with probability proportional to length.
    std::vector<double> cumulative;
    cumulative.reserve(candidates.size());
    double sum = 0.0;
    for (int i : candidates) {
        sum += segments[std::size_t(i)].length;
        cumulative.push_back(sum);
    }
    std::uniform_real_distribution<double> uniform(0.0, sum);
    auto draw = [&]() {
        const auto it = std::lower_bound(cumulative.begin(), cumulative.end(), uniform(random));
        return candidates[std::size_t(std::min<std::ptrdiff_t>(it - cumulative.begin(), std::ptrdiff_t(candidates.size()) - 1))];
    };

    const int iterations = 600;
    double bestSupport = 0.0;
    cv::Vec3d bestPoint;
    for (int it = 0; it < iterations; ++it) {
        const int i = draw();
        const int j = draw();
        if (i == j)
            continue;
        cv::Vec3d v = normalisedLine(segments[std::size_t(i)]).cross(normalisedLine(segments[std::size_t(j)]));
        const double n = cv::norm(v);
        if (!(n > 1e-12))
            continue;
        v /= n;
        if (insideBox(v, forbidden))
            continue;
        double support = 0.0;
        inliersOf(segments, candidates, v, tolerance, maxAngle, &support);
        if (support > bestSupport) {
            bestSupport = support;
            bestPoint = v;
        }
    }
    if (bestSupport <= 0.0)
        return best;

    // Refine on the inliers, then gather the inliers of the refined point.
    cv::Vec3d v = bestPoint;
    std::vector<int> in = inliersOf(segments, candidates, v, tolerance, maxAngle, nullptr);
    for (int round = 0; round < 3 && int(in.size()) >= 2; ++round) {
        const cv::Vec3d refined = leastSquaresPoint(segments, in);
        if (insideBox(refined, forbidden))
            break;
        v = refined;
        in = inliersOf(segments, candidates, v, tolerance, maxAngle, nullptr);
    }
    if (int(in.size()) < minInliers)
        return best;
    best.found = true;
    best.point = v;
    best.inliers = std::move(in);
    for (int i : best.inliers)
        best.support += segments[std::size_t(i)].length;
    return best;
}

} // namespace FacadeImport
