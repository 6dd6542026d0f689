#include "FacadeProposal.h"

#include "Rectification.h"

#include "internal/CvImage.h"
#include "internal/FacadeFrame.h"
#include "internal/Guard.h"
#include "internal/LineSegments.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace FacadeImport {

namespace {

constexpr int kAnalysisSide = 1024;   // the proposal works on a copy at most this large
constexpr double kMinSegmentShare = 0.02; // shortest segment, share of the copy's larger side
constexpr double kTolerancePixels = 1.5;  // inlier distance, pixels of the copy
constexpr double kVerticalSpread = 35.0;  // candidates for the vertical point: degrees from vertical
constexpr double kHorizontalSpread = 50.0; // and for the horizontal one: degrees from horizontal
constexpr double kDominantShare = 0.45;   // a dominant line's longest run: this share of the longest of all
constexpr double kLongShare = 0.25;       // long vertical lines: this share of the longest one
constexpr int kMinLines = 5;              // a vanishing point needs this many lines
constexpr double kMinSupport = 0.5;       // and this much length together, in half the copy's larger side
constexpr int kMaxFacades = 3;            // horizontal vanishing points looked for
constexpr double kMargin = 0.02;          // slack around an outline's lines, frame units
constexpr double kGroupMargin = 0.04;     // vertical lines this far beyond a facade's horizontal ones still count
constexpr int kReachingRows = 3;          // a facade's rows run as far as this many of them reach
constexpr double kRepeatLength = 0.04;    // a row or column of window edges: this much line length at one position
constexpr double kRowReach = 0.06;       // rows this share of the vertical lines' height beyond them still edge the facade
constexpr double kSameFacade = 0.6;       // candidates overlapping this much (box IoU) outline one facade

// Normalised image coordinates: centred on the copy, half its larger side = 1.
struct Normaliser {
    double cx = 0.0, cy = 0.0, scale = 1.0; // scale: copy pixels per unit
    double toCopy = 1.0;                    // copy pixels per photo pixel

    QPointF toPhoto(const cv::Point2d &p) const
    {
        return QPointF((p.x * scale + cx) / toCopy, (p.y * scale + cy) / toCopy);
    }
    // A homogeneous point of normalised coordinates in photo pixels.
    std::array<double, 3> toPhoto(const cv::Vec3d &v) const
    {
        const double k = scale / toCopy;
        const double w = v[2];
        return {v[0] * k + w * cx / toCopy, v[1] * k + w * cy / toCopy, w};
    }
};

// The photograph's straight segments in normalised coordinates.
struct PhotoSegments {
    Normaliser norm;
    std::vector<Segment> segments;
    int found = 0;            // segments detected (before any grouping)
    double halfW = 0.0;       // the photograph's half extent, normalised
    double halfH = 0.0;
    double tolerance = 0.0;   // inlier distance, normalised
};

// The vertical vanishing point every facade shares, and one horizontal point
// for each facade in view, the best supported first.
struct VanishingPoints {
    VanishingPoint vertical;
    std::vector<VanishingPoint> horizontals;
};

// One facade's lines in its own frame.
struct FacadeLines {
    cv::Matx33d toImage;
    LineSet columns, rows;
    double spanTop = -1e9, spanBottom = 1e9; // the height its long vertical lines span
    std::vector<std::pair<cv::Point2d, double>> midpoints; // of its segments in the frame, with their lengths
};

FacadeQuad photoExtent(const QImage &photo)
{
    const double w = photo.width();
    const double h = photo.height();
    return {QPointF(0.0, 0.0), QPointF(w, 0.0), QPointF(w, h), QPointF(0.0, h)};
}

// Detects the segments on a reduced grey copy and moves them into the
// normalised frame, where the vanishing point estimate is well conditioned.
PhotoSegments normaliseSegments(const QImage &photo)
{
    PhotoSegments out;
    const QImage rgbPhoto = photo.convertToFormat(QImage::Format_RGB888);
    const cv::Mat full = viewOf(rgbPhoto);
    const int side = std::max(full.cols, full.rows);
    Normaliser &norm = out.norm;
    norm.toCopy = std::min(1.0, double(kAnalysisSide) / side);
    cv::Mat rgb = full;
    if (norm.toCopy < 1.0)
        cv::resize(full, rgb, cv::Size(), norm.toCopy, norm.toCopy, cv::INTER_AREA);
    cv::Mat gray;
    cv::cvtColor(rgb, gray, cv::COLOR_RGB2GRAY);
    norm.cx = 0.5 * gray.cols;
    norm.cy = 0.5 * gray.rows;
    norm.scale = 0.5 * std::max(gray.cols, gray.rows);

    const std::vector<Segment> found = detectSegments(gray, kMinSegmentShare * std::max(gray.cols, gray.rows));
    out.found = int(found.size());
    out.segments.reserve(found.size());
    for (const Segment &s : found) {
        Segment n = s;
        n.a = {(s.a.x - norm.cx) / norm.scale, (s.a.y - norm.cy) / norm.scale};
        n.b = {(s.b.x - norm.cx) / norm.scale, (s.b.y - norm.cy) / norm.scale};
        n.length = s.length / norm.scale;
        out.segments.push_back(n);
    }
    out.halfW = norm.cx / norm.scale;
    out.halfH = norm.cy / norm.scale;
    out.tolerance = kTolerancePixels / norm.scale;
    return out;
}

// The vertical point from the near-vertical segments, then horizontal points
// one after another from the near-horizontal segments no earlier point took:
// each facade of a street or a corner has its own.
VanishingPoints vanishingPoints(const PhotoSegments &s)
{
    const ForbiddenBox box{-s.halfW, -s.halfH, s.halfW, s.halfH};
    std::mt19937 random(20240611u);
    // A few short pieces of curves meet somewhere by chance: a vanishing
    // point needs several lines and some length of them.
    auto estimate = [&](const std::vector<int> &candidates) {
        VanishingPoint vp = estimateVanishingPoint(s.segments, candidates, box, s.tolerance, kMinLines, random);
        return vp.support < kMinSupport ? VanishingPoint() : vp;
    };
    VanishingPoints out;
    std::vector<int> candidates;
    for (int i = 0; i < int(s.segments.size()); ++i)
        if (std::abs(s.segments[std::size_t(i)].angle - 90.0) <= kVerticalSpread)
            candidates.push_back(i);
    out.vertical = estimate(candidates);

    std::vector<char> used(s.segments.size(), 0);
    for (int i : out.vertical.inliers)
        used[std::size_t(i)] = 1;
    for (int k = 0; k < kMaxFacades; ++k) {
        candidates.clear();
        for (int i = 0; i < int(s.segments.size()); ++i) {
            const double a = s.segments[std::size_t(i)].angle;
            if (!used[std::size_t(i)] && std::min(a, 180.0 - a) <= kHorizontalSpread)
                candidates.push_back(i);
        }
        VanishingPoint horizontal = estimate(candidates);
        if (!horizontal.found)
            break;
        for (int i : horizontal.inliers)
            used[std::size_t(i)] = 1;
        out.horizontals.push_back(std::move(horizontal));
    }
    return out;
}

// A facade's rows (its horizontal point's segments) and its columns (the
// vertical point's segments that stand within the rows' extent), in the frame
// of the two points.
FacadeLines lineSets(const PhotoSegments &s, const VanishingPoint &vertical, const VanishingPoint &horizontal)
{
    FacadeLines out;
    // Without one of the points its lines are taken as the photograph's axis.
    const cv::Vec3d vh = horizontal.found ? horizontal.point : cv::Vec3d(1.0, 0.0, 0.0);
    const cv::Vec3d vv = vertical.found ? vertical.point : cv::Vec3d(0.0, 1.0, 0.0);
    out.toImage = frameToImage(vh, vv);
    const cv::Matx33d toFrame = out.toImage.inv();
    auto inFrame = [&](int i, cv::Point2d *a, cv::Point2d *b) {
        const Segment &seg = s.segments[std::size_t(i)];
        return mapPoint(toFrame, seg.a, a) && mapPoint(toFrame, seg.b, b);
    };

    for (int i : horizontal.inliers) {
        cv::Point2d a, b;
        if (!inFrame(i, &a, &b))
            continue;
        out.rows.add(0.5 * (a.y + b.y), a.x, b.x);
        out.midpoints.push_back({0.5 * (a + b), s.segments[std::size_t(i)].length});
    }
    // Where the facade's rows run; one stray line does not widen it.
    double lo = -1e9, hi = 1e9;
    out.rows.reach(-1e9, 1e9, kReachingRows, kRepeatLength, &lo, &hi);

    struct Span {
        double from, to;
    };
    std::vector<Span> spans;
    double longest = 0.0;
    for (int i : vertical.inliers) {
        cv::Point2d a, b;
        if (!inFrame(i, &a, &b))
            continue;
        const double x = 0.5 * (a.x + b.x);
        if (x < lo - kGroupMargin || x > hi + kGroupMargin)
            continue;
        out.columns.add(x, a.y, b.y);
        spans.push_back({std::min(a.y, b.y), std::max(a.y, b.y)});
        longest = std::max(longest, spans.back().to - spans.back().from);
        out.midpoints.push_back({0.5 * (a + b), s.segments[std::size_t(i)].length});
    }
    // The height the long vertical lines span (short ones may come from
    // clutter in the street).
    if (!spans.empty()) {
        out.spanTop = 1e9;
        out.spanBottom = -1e9;
        for (const Span &sp : spans) {
            if (sp.to - sp.from < kLongShare * longest)
                continue;
            out.spanTop = std::min(out.spanTop, sp.from - kMargin);
            out.spanBottom = std::max(out.spanBottom, sp.to + kMargin);
        }
    }
    return out;
}

// The facade's outline: the outermost dominant vertical lines within the
// height that vertical lines span (a kerb or a road marking shares the
// horizontal point but lies below every vertical line), then the outermost
// dominant horizontal lines between those two, then the vertical ones again
// between the horizontal ones.
FrameRect outline(const FacadeLines &lines, const FrameRect &start)
{
    FrameRect r = start;
    double a = 0.0, b = 0.0;
    // A cornice or a plinth edges the facade a little beyond where its
    // vertical lines end.
    const double reach = kRowReach * (lines.spanBottom - lines.spanTop);
    const double top = lines.spanTop - reach, bottom = lines.spanBottom + reach;
    // Without two dominant vertical lines (a facade whose one side the
    // frame or a neighbour hides), its sides are where its rows run.
    const bool haveSides = lines.columns.dominantRange(-1e9, 1e9, lines.spanTop, lines.spanBottom, kDominantShare, &a, &b)
                        || lines.rows.reach(top, bottom, kReachingRows, kRepeatLength, &a, &b);
    if (haveSides) {
        r.left = a;
        r.right = b;
    }
    const double across = haveSides ? kMargin : 1e9;
    if (lines.rows.dominantRange(top, bottom, r.left - across, r.right + across, kDominantShare, &a, &b)) {
        r.top = a;
        r.bottom = b;
        if (lines.columns.dominantRange(-1e9, 1e9, r.top - kMargin, r.bottom + kMargin, kDominantShare, &a, &b)) {
            r.left = a;
            r.right = b;
        }
    }
    return r;
}

double quadArea(const FacadeQuad &q)
{
    double s = 0.0;
    for (std::size_t i = 0; i < 4; ++i)
        s += q[i].x() * q[(i + 1) % 4].y() - q[(i + 1) % 4].x() * q[i].y();
    return 0.5 * std::abs(s);
}

double distance(const QPointF &a, const QPointF &b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// How much of the facade's structure the outline holds, and how squarely it
// is seen: what ranks the candidates. Lines inside count by length; rows and
// columns of edges (repeated windows) multiply that; a facade seen at a
// steep angle, whose near and far edges differ much in length, counts less.
void rate(FacadeCandidate &c, const FacadeLines &lines, const FrameRect &r, const QSize &photo, double diagonal)
{
    double length = 0.0;
    for (const auto &[p, l] : lines.midpoints)
        if (p.x >= r.left - kMargin && p.x <= r.right + kMargin && p.y >= r.top - kMargin && p.y <= r.bottom + kMargin)
            length += l;
    c.lineLength = length / diagonal;
    c.repeats = lines.rows.repeatedPositions(r.top, r.bottom, r.left, r.right, kRepeatLength)
              + lines.columns.repeatedPositions(r.left, r.right, r.top, r.bottom, kRepeatLength);
    c.area = quadArea(c.corners) / (double(photo.width()) * photo.height());
    const FacadeQuad &q = c.corners;
    const double near = std::max(distance(q[0], q[3]), distance(q[1], q[2]));
    const double far = std::min(distance(q[0], q[3]), distance(q[1], q[2]));
    c.frontal = near > 0.0 ? far / near : 0.0;
    c.score = c.lineLength * std::sqrt(1.0 + c.repeats) * (0.5 + 0.5 * c.frontal);
}

// The candidate one horizontal point outlines; false when its lines bound
// no usable quadrilateral.
bool candidateFor(const PhotoSegments &s, const VanishingPoint &vertical, const VanishingPoint &horizontal,
                  const QSize &photo, FacadeCandidate *out)
{
    const FacadeLines lines = lineSets(s, vertical, horizontal);
    FrameRect r = outline(lines, FrameRect{-s.halfW, -s.halfH, s.halfW, s.halfH});
    // The corners stay on the photograph: where the frame cuts the facade,
    // at the frame. (A corner beyond it may be given, but lines seen in the
    // photograph do not tell how far the facade goes on.)
    if (!fitInside(lines.toImage, r, s.halfW, s.halfH))
        return false;
    const double xs[4] = {r.left, r.right, r.right, r.left};
    const double ys[4] = {r.top, r.top, r.bottom, r.bottom};
    FacadeCandidate c;
    for (std::size_t k = 0; k < 4; ++k) {
        cv::Point2d p;
        if (!mapPoint(lines.toImage, {xs[k], ys[k]}, &p))
            return false;
        c.corners[k] = s.norm.toPhoto(p);
    }
    if (!validateCorners(c.corners, photo).ok())
        return false;
    if (horizontal.found) {
        c.horizontal.found = true;
        c.horizontal.point = s.norm.toPhoto(horizontal.point);
        c.horizontal.lines = int(horizontal.inliers.size());
    }
    rate(c, lines, r, photo, std::hypot(2.0 * s.halfW, 2.0 * s.halfH));
    *out = c;
    return true;
}

double boxOverlap(const FacadeQuad &a, const FacadeQuad &b)
{
    auto box = [](const FacadeQuad &q) {
        QRectF r(q[0], q[0]);
        for (const QPointF &p : q)
            r = r.united(QRectF(p, p));
        return r;
    };
    const QRectF ra = box(a), rb = box(b);
    const QRectF both = ra.intersected(rb);
    const double i = both.width() * both.height();
    const double u = ra.width() * ra.height() + rb.width() * rb.height() - i;
    return u > 0.0 ? i / u : 0.0;
}

// Best first; of two candidates that outline the same facade (two horizontal
// points of one facade whose lines a lens bends), the better stays.
std::vector<FacadeCandidate> ranked(std::vector<FacadeCandidate> all)
{
    std::stable_sort(all.begin(), all.end(),
                     [](const FacadeCandidate &a, const FacadeCandidate &b) { return a.score > b.score; });
    std::vector<FacadeCandidate> out;
    for (const FacadeCandidate &c : all) {
        const bool seen = std::any_of(out.begin(), out.end(), [&](const FacadeCandidate &kept) {
            return boxOverlap(kept.corners, c.corners) > kSameFacade;
        });
        if (!seen)
            out.push_back(c);
    }
    return out;
}

FacadeProposal proposeFrom(const QImage &photo)
{
    FacadeProposal out;
    out.corners = photoExtent(photo);
    if (photo.isNull())
        return out;
    const PhotoSegments segments = normaliseSegments(photo);
    out.segments = segments.found;
    const VanishingPoints points = vanishingPoints(segments);
    if (points.vertical.found) {
        out.vertical.found = true;
        out.vertical.point = segments.norm.toPhoto(points.vertical.point);
        out.vertical.lines = int(points.vertical.inliers.size());
    }
    std::vector<VanishingPoint> horizontals = points.horizontals;
    if (horizontals.empty() && !points.vertical.found)
        return out;
    if (horizontals.empty())
        horizontals.emplace_back(); // the photograph's horizontal axis

    std::vector<FacadeCandidate> all;
    for (const VanishingPoint &h : horizontals) {
        FacadeCandidate c;
        if (candidateFor(segments, points.vertical, h, photo.size(), &c))
            all.push_back(c);
    }
    out.candidates = ranked(std::move(all));
    if (out.candidates.empty()) {
        // Lines that bound no usable quadrilateral leave the photograph's
        // extent; the best supported horizontal point is still told.
        if (!points.horizontals.empty()) {
            out.horizontal.found = true;
            out.horizontal.point = segments.norm.toPhoto(points.horizontals.front().point);
            out.horizontal.lines = int(points.horizontals.front().inliers.size());
        }
        return out;
    }
    out.corners = out.candidates.front().corners;
    out.horizontal = out.candidates.front().horizontal;
    out.fromLines = true;
    return out;
}

} // namespace

QPointF VanishingDirection::position() const
{
    return QPointF(point[0] / point[2], point[1] / point[2]);
}

FacadeProposal proposeFacade(const QImage &photo)
{
    FacadeProposal out;
    out.corners = photoExtent(photo);
    runGuarded([&] { out = proposeFrom(photo); });
    return out;
}

} // namespace FacadeImport
