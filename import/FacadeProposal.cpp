#include "FacadeProposal.h"

#include "Rectification.h"

#include "internal/CvImage.h"
#include "internal/Guard.h"
#include "internal/LineSegments.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <map>

namespace FacadeImport {

namespace {

constexpr int kAnalysisSide = 1024;   // the proposal works on a copy at most this large
constexpr double kMinSegmentShare = 0.02; // shortest segment, share of the copy's larger side
constexpr double kTolerancePixels = 1.5;  // inlier distance, pixels of the copy
constexpr double kVerticalSpread = 35.0;  // candidates for the vertical point: degrees from vertical
constexpr double kHorizontalSpread = 50.0; // and for the horizontal one: degrees from horizontal
constexpr double kDominantShare = 0.45;   // a dominant line's longest run: this share of the longest of all
constexpr double kBin = 0.005;            // line positions are binned at this width (frame units)
constexpr double kLongShare = 0.25;       // long vertical lines: this share of the longest one
constexpr int kMinLines = 5;              // a vanishing point needs this many lines
constexpr double kMinSupport = 0.5;       // and this much length together, in half the copy's larger side

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

// Lines of one direction in the facade frame: each at a position across the
// direction, covering an interval along it. A facade's outline is drawn by
// long unbroken lines, while a column of windows only adds short pieces at
// one position; so a position is rated by its longest run of (nearly)
// touching pieces, not by their summed length.
class LineSet
{
public:
    void add(double position, double from, double to)
    {
        bins_[long(std::floor(position / kBin))].push_back({std::min(from, to), std::max(from, to)});
    }
    bool empty() const { return bins_.empty(); }

    // Outermost positions in [lo, hi] whose longest run inside [from, to]
    // reaches share times the longest of all; false when they are not at
    // least a few bins apart.
    bool dominantRange(double lo, double hi, double from, double to, double share, double *first, double *last) const
    {
        std::map<long, double> runs;
        double top = 0.0;
        for (const auto &entry : bins_) {
            const long bin = entry.first;
            const double centre = (bin + 0.5) * kBin;
            if (centre < lo || centre > hi)
                continue;
            std::vector<std::pair<double, double>> pieces;
            for (long d = -1; d <= 1; ++d) {
                const auto it = bins_.find(bin + d);
                if (it == bins_.end())
                    continue;
                for (const auto &p : it->second) {
                    const double a = std::max(p.first, from);
                    const double b = std::min(p.second, to);
                    if (b > a)
                        pieces.push_back({a, b});
                }
            }
            const double run = longestRun(pieces);
            runs[bin] = run;
            top = std::max(top, run);
        }
        if (top <= 0.0)
            return false;
        bool any = false;
        long a = 0, b = 0;
        for (const auto &[bin, run] : runs) {
            if (run < share * top)
                continue;
            if (!any)
                a = bin;
            b = bin;
            any = true;
        }
        *first = (a + 0.5) * kBin;
        *last = (b + 0.5) * kBin;
        return any && b - a > 4;
    }

private:
    // Length of the longest chain of intervals with gaps of at most kGap.
    static double longestRun(std::vector<std::pair<double, double>> &pieces)
    {
        std::sort(pieces.begin(), pieces.end());
        double best = 0.0, start = 0.0, end = 0.0;
        bool open = false;
        for (const auto &p : pieces) {
            if (!open || p.first > end + kGap) {
                if (open)
                    best = std::max(best, end - start);
                start = p.first;
                end = p.second;
                open = true;
            } else {
                end = std::max(end, p.second);
            }
        }
        if (open)
            best = std::max(best, end - start);
        return best;
    }

    static constexpr double kGap = 0.02;
    std::map<long, std::vector<std::pair<double, double>>> bins_;
};

// The frame of the facade plane given by its two vanishing points: frame x
// runs along the horizontal lines, frame y along the vertical ones, both
// increasing like the photograph's axes, with unit scale at the photo centre.
cv::Matx33d frameToImage(const cv::Vec3d &horizontal, const cv::Vec3d &vertical)
{
    const double nh = std::hypot(horizontal[0], horizontal[1]);
    const double nv = std::hypot(vertical[0], vertical[1]);
    const double sh = (horizontal[0] >= 0.0 ? 1.0 : -1.0) / nh;
    const double sv = (vertical[1] >= 0.0 ? 1.0 : -1.0) / nv;
    return cv::Matx33d(sh * horizontal[0], sv * vertical[0], 0.0,
                       sh * horizontal[1], sv * vertical[1], 0.0,
                       sh * horizontal[2], sv * vertical[2], 1.0);
}

bool mapPoint(const cv::Matx33d &m, const cv::Point2d &p, cv::Point2d *out)
{
    const cv::Vec3d v = m * cv::Vec3d(p.x, p.y, 1.0);
    if (!(v[2] > 1e-9))
        return false;
    *out = {v[0] / v[2], v[1] / v[2]};
    return true;
}

struct FrameRect {
    double left, top, right, bottom;
};

// Moves the edges of a frame rectangle inwards until its four corners lie
// inside the photograph (normalised box), each edge as little as it takes.
bool fitInside(const cv::Matx33d &toImage, FrameRect &r, double halfW, double halfH)
{
    auto cornerInside = [&](double x, double y, bool checkX, bool checkY) {
        cv::Point2d p;
        if (!mapPoint(toImage, {x, y}, &p))
            return false;
        return (!checkX || std::abs(p.x) <= halfW) && (!checkY || std::abs(p.y) <= halfH);
    };
    // Each edge moves towards the rectangle's middle by bisection until the
    // corners it carries satisfy their bound across that edge.
    for (int round = 0; round < 3; ++round) {
        const double midX = 0.5 * (r.left + r.right);
        const double midY = 0.5 * (r.top + r.bottom);
        auto settle = [&](double &edge, double mid, auto ok) {
            if (ok(edge))
                return;
            double good = mid, bad = edge;
            for (int i = 0; i < 40; ++i) {
                const double m = 0.5 * (good + bad);
                (ok(m) ? good : bad) = m;
            }
            edge = good;
        };
        settle(r.left, midX, [&](double x) { return cornerInside(x, r.top, true, false) && cornerInside(x, r.bottom, true, false); });
        settle(r.right, midX, [&](double x) { return cornerInside(x, r.top, true, false) && cornerInside(x, r.bottom, true, false); });
        settle(r.top, midY, [&](double y) { return cornerInside(r.left, y, false, true) && cornerInside(r.right, y, false, true); });
        settle(r.bottom, midY, [&](double y) { return cornerInside(r.left, y, false, true) && cornerInside(r.right, y, false, true); });
    }
    return cornerInside(r.left, r.top, true, true) && cornerInside(r.right, r.top, true, true)
        && cornerInside(r.right, r.bottom, true, true) && cornerInside(r.left, r.bottom, true, true);
}

FacadeQuad photoExtent(const QImage &photo)
{
    const double w = photo.width();
    const double h = photo.height();
    return {QPointF(0.0, 0.0), QPointF(w, 0.0), QPointF(w, h), QPointF(0.0, h)};
}

FacadeProposal proposeFrom(const QImage &photo)
{
    FacadeProposal out;
    out.corners = photoExtent(photo);
    if (photo.isNull())
        return out;

    const QImage rgbPhoto = photo.convertToFormat(QImage::Format_RGB888);
    const cv::Mat full = viewOf(rgbPhoto);
    const int side = std::max(full.cols, full.rows);
    Normaliser norm;
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
    out.segments = int(found.size());
    std::vector<Segment> segments;
    segments.reserve(found.size());
    for (const Segment &s : found) {
        Segment n = s;
        n.a = {(s.a.x - norm.cx) / norm.scale, (s.a.y - norm.cy) / norm.scale};
        n.b = {(s.b.x - norm.cx) / norm.scale, (s.b.y - norm.cy) / norm.scale};
        n.length = s.length / norm.scale;
        segments.push_back(n);
    }
    const double halfW = norm.cx / norm.scale;
    const double halfH = norm.cy / norm.scale;
    const ForbiddenBox box{-halfW, -halfH, halfW, halfH};
    const double tolerance = kTolerancePixels / norm.scale;
    std::mt19937 random(20240611u);

    std::vector<int> verticalCandidates;
    for (int i = 0; i < int(segments.size()); ++i)
        if (std::abs(segments[std::size_t(i)].angle - 90.0) <= kVerticalSpread)
            verticalCandidates.push_back(i);
    // A few short pieces of curves meet somewhere by chance: a vanishing
    // point needs several lines and some length of them.
    auto enough = [](VanishingPoint vp) {
        if (vp.support < kMinSupport)
            vp = VanishingPoint();
        return vp;
    };
    const VanishingPoint vertical =
        enough(estimateVanishingPoint(segments, verticalCandidates, box, tolerance, kMinLines, random));

    std::vector<char> used(segments.size(), 0);
    for (int i : vertical.inliers)
        used[std::size_t(i)] = 1;
    std::vector<int> horizontalCandidates;
    for (int i = 0; i < int(segments.size()); ++i) {
        const double a = segments[std::size_t(i)].angle;
        if (!used[std::size_t(i)] && std::min(a, 180.0 - a) <= kHorizontalSpread)
            horizontalCandidates.push_back(i);
    }
    const VanishingPoint horizontal =
        enough(estimateVanishingPoint(segments, horizontalCandidates, box, tolerance, kMinLines, random));

    if (vertical.found) {
        out.vertical.found = true;
        out.vertical.point = norm.toPhoto(vertical.point);
        out.vertical.lines = int(vertical.inliers.size());
    }
    if (horizontal.found) {
        out.horizontal.found = true;
        out.horizontal.point = norm.toPhoto(horizontal.point);
        out.horizontal.lines = int(horizontal.inliers.size());
    }
    if (!vertical.found && !horizontal.found)
        return out;

    // Without one of the points its lines are taken as the photograph's axis.
    const cv::Vec3d vh = horizontal.found ? horizontal.point : cv::Vec3d(1.0, 0.0, 0.0);
    const cv::Vec3d vv = vertical.found ? vertical.point : cv::Vec3d(0.0, 1.0, 0.0);
    const cv::Matx33d toImage = frameToImage(vh, vv);
    const cv::Matx33d toFrame = toImage.inv();

    LineSet columns, rows;
    struct Span {
        double from, to, length;
    };
    std::vector<Span> columnSpans;
    auto collect = [&](const VanishingPoint &vp, bool isVertical) {
        for (int i : vp.inliers) {
            const Segment &s = segments[std::size_t(i)];
            cv::Point2d a, b;
            if (!mapPoint(toFrame, s.a, &a) || !mapPoint(toFrame, s.b, &b))
                continue;
            if (isVertical) {
                columns.add(0.5 * (a.x + b.x), a.y, b.y);
                columnSpans.push_back({std::min(a.y, b.y), std::max(a.y, b.y), std::abs(b.y - a.y)});
            } else {
                rows.add(0.5 * (a.y + b.y), a.x, b.x);
            }
        }
    };
    collect(vertical, true);
    collect(horizontal, false);

    // The facade's outline: the outermost dominant vertical lines within the
    // height that vertical lines span (a kerb or a road marking shares the
    // horizontal point but lies below every vertical line), then the
    // outermost dominant horizontal lines between those two, then the
    // vertical ones again between the horizontal ones.
    FrameRect r{-halfW, -halfH, halfW, halfH};
    const double margin = 0.02;
    // The height the long vertical lines span (short ones may come from
    // clutter in the street).
    double longest = 0.0;
    for (const Span &sp : columnSpans)
        longest = std::max(longest, sp.length);
    double spanTop = 1e9, spanBottom = -1e9;
    for (const Span &sp : columnSpans) {
        if (sp.length < kLongShare * longest)
            continue;
        spanTop = std::min(spanTop, sp.from - margin);
        spanBottom = std::max(spanBottom, sp.to + margin);
    }
    if (columnSpans.empty()) {
        spanTop = -1e9;
        spanBottom = 1e9;
    }
    double a = 0.0, b = 0.0;
    const bool haveColumns = columns.dominantRange(-1e9, 1e9, spanTop, spanBottom, kDominantShare, &a, &b);
    if (haveColumns) {
        r.left = a;
        r.right = b;
    }
    const double across = haveColumns ? margin : 1e9;
    if (rows.dominantRange(spanTop, spanBottom, r.left - across, r.right + across, kDominantShare, &a, &b)) {
        r.top = a;
        r.bottom = b;
        if (columns.dominantRange(-1e9, 1e9, r.top - margin, r.bottom + margin, kDominantShare, &a, &b)) {
            r.left = a;
            r.right = b;
        }
    }
    if (!fitInside(toImage, r, halfW, halfH))
        return out;
    const double xs[4] = {r.left, r.right, r.right, r.left};
    const double ys[4] = {r.top, r.top, r.bottom, r.bottom};
    FacadeQuad corners;
    for (int k = 0; k < 4; ++k) {
        cv::Point2d p;
        mapPoint(toImage, {xs[k], ys[k]}, &p);
        const QPointF q = norm.toPhoto(p);
        corners[std::size_t(k)] = QPointF(std::clamp(q.x(), 0.0, double(photo.width())),
                                          std::clamp(q.y(), 0.0, double(photo.height())));
    }
    // Lines that bound no usable quadrilateral leave the photograph's extent.
    if (validateCorners(corners, photo.size()).ok()) {
        out.corners = corners;
        out.fromLines = true;
    }
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
