#include "FacadeProposal.h"

#include "Rectification.h"

#include "internal/CvImage.h"
#include "internal/FacadeExtent.h"
#include "internal/FacadeFrame.h"
#include "internal/Guard.h"
#include "internal/LineSegments.h"
#include "internal/WallGrowth.h"

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
constexpr double kPointAngle = 1.0 * kPi / 180.0; // a segment pulls a vanishing point within this angle
constexpr double kVerticalTilt = 20.0;    // the vertical point lies within this many degrees of the photograph's vertical
constexpr int kDensityCells = 16;         // the vertical lines' density is rated on this many cells a side
constexpr double kLoneWeight = 0.1;       // a horizontal segment far from every vertical line weighs this share
constexpr double kInnerBox = 0.5;         // a horizontal point may lie in the photograph, not in this share of its middle
constexpr int kMinLines = 5;              // a vanishing point needs this many lines
constexpr double kMinSupport = 0.5;       // and this much length together, in half the copy's larger side
constexpr int kMaxFacades = 3;            // horizontal vanishing points looked for
constexpr double kMargin = 0.02;          // slack around an outline's lines, frame units
constexpr double kGroupMargin = 0.04;     // vertical lines this far beyond a facade's horizontal ones still count
constexpr int kReachingRows = 3;          // a facade's rows run as far as this many of them reach
constexpr double kRepeatLength = 0.04;    // a row or column of window edges: this much line length at one position
constexpr double kRowReach = 0.06;       // rows this share of the vertical lines' height beyond them still edge the facade
constexpr double kSameFacade = 0.6;       // candidates overlapping this much (box IoU) outline one facade
constexpr double kCorniceReach = 0.35;    // a roof line this share of the facade's height above its structure edges it
constexpr int kBorderSamples = 256;       // the photograph's border is followed in the frame at this many points a side
constexpr double kFrontalWeight = 0.25;   // how much a facade's obliqueness lowers its rank, beyond its smaller area

// Normalised image coordinates: centred on the copy, half its larger side = 1.
struct Normaliser {
    double cx = 0.0, cy = 0.0, scale = 1.0; // scale: copy pixels per unit
    double toCopy = 1.0;                    // copy pixels per photo pixel

    // Normalised coordinates to the copy's pixels, as a homography.
    cv::Matx33d toCopyPixels() const { return cv::Matx33d(scale, 0.0, cx, 0.0, scale, cy, 0.0, 0.0, 1.0); }

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
    cv::Mat rgb;              // the reduced copy, for the wall's colour
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
    ExtentInput extent; // every segment of both families, and the photograph's border, in the frame
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
    // At full size the copy is a view of this function's converted photograph.
    out.rgb = norm.toCopy < 1.0 ? rgb : rgb.clone();
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

// The segments with each length weighted by how dense the vertical lines
// are around its midpoint: a facade's rows lie among its columns, while
// lines of the ground, the sky or a roof have few vertical lines about them.
std::vector<Segment> weightedByColumns(const PhotoSegments &s, const std::vector<int> &columns)
{
    const int n = kDensityCells;
    auto cellOf = [&](const Segment &seg) {
        const cv::Point2d m = 0.5 * (seg.a + seg.b);
        const int x = std::clamp(int((m.x + s.halfW) / (2.0 * s.halfW) * n), 0, n - 1);
        const int y = std::clamp(int((m.y + s.halfH) / (2.0 * s.halfH) * n), 0, n - 1);
        return y * n + x;
    };
    std::vector<double> cells(std::size_t(n * n), 0.0), around(std::size_t(n * n), 0.0);
    for (int i : columns)
        cells[std::size_t(cellOf(s.segments[std::size_t(i)]))] += s.segments[std::size_t(i)].length;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            for (int v = std::max(0, y - 1); v <= std::min(n - 1, y + 1); ++v)
                for (int u = std::max(0, x - 1); u <= std::min(n - 1, x + 1); ++u)
                    around[std::size_t(y * n + x)] += cells[std::size_t(v * n + u)];
    const double densest = *std::max_element(around.begin(), around.end());
    std::vector<Segment> out = s.segments;
    for (Segment &seg : out) {
        const double d = densest > 0.0 ? around[std::size_t(cellOf(seg))] / densest : 1.0;
        seg.length *= kLoneWeight + (1.0 - kLoneWeight) * std::min(1.0, 2.0 * d);
    }
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
    // The point from the segments whose directions are sure, then every
    // segment that meets it within the tolerance belongs to it.
    // Looking down a street, the far end of a facade seen very obliquely,
    // and its horizontal point, lie in the photograph, though not in its middle.
    const ForbiddenBox inner{-kInnerBox * s.halfW, -kInnerBox * s.halfH, kInnerBox * s.halfW, kInnerBox * s.halfH};
    auto estimate = [&](const std::vector<Segment> &segments, const std::vector<int> &candidates, bool vertical) {
        VanishingPoint vp = estimateVanishingPoint(segments, candidates, vertical ? box : inner, s.tolerance, kMinLines, random,
                                                   kPointAngle);
        if (vp.support < kMinSupport)
            return VanishingPoint();
        vp.inliers.clear();
        for (int i : candidates)
            if (vanishingError(s.segments[std::size_t(i)], vp.point) <= s.tolerance)
                vp.inliers.push_back(i);
        return vp;
    };
    VanishingPoints out;
    std::vector<int> candidates;
    for (int i = 0; i < int(s.segments.size()); ++i)
        if (std::abs(s.segments[std::size_t(i)].angle - 90.0) <= kVerticalSpread)
            candidates.push_back(i);
    out.vertical = estimate(s.segments, candidates, true);
    // A camera held for a photograph of a building keeps its verticals near
    // the photograph's: a point far off that is lines of something else.
    const cv::Vec3d &v = out.vertical.point;
    if (out.vertical.found && std::atan2(std::abs(v[0]), std::abs(v[1])) * 180.0 / kPi > kVerticalTilt)
        out.vertical = VanishingPoint();

    const std::vector<Segment> weighted = weightedByColumns(s, out.vertical.inliers);
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
        VanishingPoint horizontal = estimate(weighted, candidates, false);
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
        out.extent.rows.push_back({a, b});
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
        out.extent.columns.push_back({a, b});
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
// steep angle, whose near and far edges differ much in length, counts a
// little less. Its area in the photograph already shrinks as it turns away;
// a street photographed along its main facade has that facade oblique.
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
    const double structure = c.structure > 0.0 ? c.structure : 0.01 * c.lineLength;
    c.score = c.area * structure * (1.0 - kFrontalWeight + kFrontalWeight * c.frontal);
}

// The photograph's border in the facade frame, densely sampled; points
// beyond the frame's line at infinity (sky above a steep view) are left out.
std::vector<cv::Point2d> borderInFrame(const cv::Matx33d &toImage, double halfW, double halfH)
{
    const cv::Matx33d toFrame = toImage.inv();
    const cv::Point2d corners[4] = {{-halfW, -halfH}, {halfW, -halfH}, {halfW, halfH}, {-halfW, halfH}};
    std::vector<cv::Point2d> out;
    out.reserve(4 * kBorderSamples);
    for (int side = 0; side < 4; ++side)
        for (int i = 0; i < kBorderSamples; ++i) {
            const double t = double(i) / kBorderSamples;
            const cv::Point2d p = corners[side] + t * (corners[(side + 1) % 4] - corners[side]);
            cv::Point2d q;
            if (mapPoint(toFrame, p, &q))
                out.push_back(q);
        }
    return out;
}

// The facade's rectangle in its frame: where both families of lines are
// dense, its sides on strong lines or, where the facade runs on beyond the
// photograph, on its own lines that just cover what is visible. Without
// such a place, the outermost dominant lines kept on the photograph.
bool frameRect(const PhotoSegments &s, FacadeLines &lines, FrameRect *r, double *structure)
{
    lines.extent.visible = borderInFrame(lines.toImage, s.halfW, s.halfH);
    Extent extent;
    if (structuredExtent(lines.extent, &extent)) {
        *r = extent.rect;
        // A cornice or a roof line holds rows of the facade but no columns:
        // the top reaches up to the outermost dominant row above the windows.
        const FrameRect o = outline(lines, FrameRect{-s.halfW, -s.halfH, s.halfW, s.halfH});
        if (!extent.atFrame[1] && o.top < r->top && o.top > r->top - kCorniceReach * (r->bottom - r->top))
            r->top = o.top;
        // Above a tower's ledge or a gable's, the facade's own top lies lower.
        if (!extent.atFrame[1])
            r->top = fullWidthTop(lines.extent, *r, extent.rowBin);
        // Sparse windows in a plain wall draw few lines: the wall shows
        // where the facade runs on out of the photograph.
        growOverWall(s.rgb, s.norm.toCopyPixels() * lines.toImage, *r);
        *structure = extent.density;
        return true;
    }
    *r = outline(lines, FrameRect{-s.halfW, -s.halfH, s.halfW, s.halfH});
    *structure = 0.0;
    return fitInside(lines.toImage, *r, s.halfW, s.halfH);
}

bool cornersOf(const PhotoSegments &s, const FacadeLines &lines, const FrameRect &r, FacadeQuad *corners)
{
    const double xs[4] = {r.left, r.right, r.right, r.left};
    const double ys[4] = {r.top, r.top, r.bottom, r.bottom};
    for (std::size_t k = 0; k < 4; ++k) {
        cv::Point2d p;
        if (!mapPoint(lines.toImage, {xs[k], ys[k]}, &p))
            return false;
        (*corners)[k] = s.norm.toPhoto(p);
    }
    return true;
}

// The candidate one horizontal point outlines; false when its lines bound
// no usable quadrilateral. Corners beyond what the validation accepts are
// drawn in to the photograph.
bool candidateFor(const PhotoSegments &s, const VanishingPoint &vertical, const VanishingPoint &horizontal,
                  const QSize &photo, FacadeCandidate *out)
{
    FacadeLines lines = lineSets(s, vertical, horizontal);
    FrameRect r;
    FacadeCandidate c;
    if (!frameRect(s, lines, &r, &c.structure) || !cornersOf(s, lines, r, &c.corners))
        return false;
    if (!validateCorners(c.corners, photo).ok()
        && !(fitInside(lines.toImage, r, s.halfW, s.halfH) && cornersOf(s, lines, r, &c.corners)))
        return false;
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
