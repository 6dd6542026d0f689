#include "FacadeExtent.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace FacadeImport {

namespace {

constexpr int kCells = 32;           // the frame is rated on a grid of this many cells a side
constexpr int kSpread = 2;           // a cell's density counts the lines this many cells around it
constexpr double kTypical = 0.5;     // a family's density is full at its median over the cells it reaches
constexpr double kEmpty = 0.45;      // a cell with less structure than this counts against a rectangle
constexpr double kStep = 0.25;       // segments are sampled at this share of a cell
constexpr double kReach = 2.0;       // a side moves to a strong line or the frame this many cells away
constexpr double kFarReach = 2.0;   // or this many times as far when no strong line stands between
constexpr double kLineBin = 0.25;    // lines a side may move to are binned at this share of a cell
constexpr int kReachingRows = 3;     // a facade's rows run as far as this many of them reach
constexpr double kStrong = 0.3;      // a strong line runs this share of the side it would edge
constexpr double kFullLine = 0.8;    // a cornice, a parapet or the eaves run this share of the facade's width
constexpr double kCorniceDepth = 0.25; // a facade's cornice lies at most this share of its height below a tower's ledge

// A grid of cells over the part of the frame the lines cover.
struct Grid {
    double x0 = 0.0, y0 = 0.0, cw = 1.0, ch = 1.0;
    std::vector<double> rows = std::vector<double>(kCells * kCells, 0.0);
    std::vector<double> columns = std::vector<double>(kCells * kCells, 0.0);

    int cellX(double x) const { return std::clamp(int(std::floor((x - x0) / cw)), 0, kCells - 1); }
    int cellY(double y) const { return std::clamp(int(std::floor((y - y0) / ch)), 0, kCells - 1); }
};

// The frame's box the lines cover, within the box the photograph shows.
bool gridBox(const ExtentInput &in, Grid *g)
{
    double l = 1e300, t = 1e300, r = -1e300, b = -1e300;
    for (const auto *family : {&in.rows, &in.columns})
        for (const FrameSegment &s : *family)
            for (const cv::Point2d &p : {s.a, s.b}) {
                l = std::min(l, p.x);
                r = std::max(r, p.x);
                t = std::min(t, p.y);
                b = std::max(b, p.y);
            }
    double vl = 0.0, vr = 0.0, vt = 0.0, vb = 0.0;
    if (visibleRange(in.visible, true, -1e300, 1e300, &vl, &vr) && visibleRange(in.visible, false, -1e300, 1e300, &vt, &vb)) {
        l = std::max(l, vl);
        r = std::min(r, vr);
        t = std::max(t, vt);
        b = std::min(b, vb);
    }
    if (!(r > l && b > t))
        return false;
    g->x0 = l;
    g->y0 = t;
    g->cw = (r - l) / kCells;
    g->ch = (b - t) / kCells;
    return true;
}

// Adds each segment's length to the cells it runs through.
void rasterise(Grid &g, const std::vector<FrameSegment> &segments, std::vector<double> &cells)
{
    for (const FrameSegment &s : segments) {
        const double length = std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
        const double across = std::abs(s.b.x - s.a.x) / g.cw + std::abs(s.b.y - s.a.y) / g.ch;
        const int steps = 1 + int(across / kStep);
        for (int i = 0; i < steps; ++i) {
            const double t = (i + 0.5) / steps;
            const cv::Point2d p = s.a + t * (s.b - s.a);
            cells[std::size_t(g.cellY(p.y) * kCells + g.cellX(p.x))] += length / steps;
        }
    }
}

// Each cell's lines summed over its neighbourhood, over the family's typical
// dense cell: 1 where the family is as dense as on the facade.
std::vector<double> density(const std::vector<double> &cells)
{
    std::vector<double> sums(cells.size(), 0.0);
    for (int y = 0; y < kCells; ++y)
        for (int x = 0; x < kCells; ++x)
            for (int dy = -kSpread; dy <= kSpread; ++dy)
                for (int dx = -kSpread; dx <= kSpread; ++dx) {
                    const int u = x + dx, v = y + dy;
                    if (u >= 0 && v >= 0 && u < kCells && v < kCells)
                        sums[std::size_t(y * kCells + x)] += cells[std::size_t(v * kCells + u)];
                }
    std::vector<double> dense;
    for (double s : sums)
        if (s > 0.0)
            dense.push_back(s);
    if (dense.empty())
        return sums;
    const std::size_t k = std::size_t(kTypical * double(dense.size() - 1));
    std::nth_element(dense.begin(), dense.begin() + std::ptrdiff_t(k), dense.end());
    const double typical = dense[k];
    for (double &s : sums)
        s = std::min(1.0, s / typical);
    return sums;
}

struct Best {
    int left = 0, top = 0, right = -1, bottom = -1;
    double sum = 0.0;
};

// The rectangle of cells with the largest sum (Kadane's method over every
// pair of rows).
Best largestSum(const std::vector<double> &score)
{
    Best best;
    std::vector<double> column(kCells);
    for (int top = 0; top < kCells; ++top) {
        std::fill(column.begin(), column.end(), 0.0);
        for (int bottom = top; bottom < kCells; ++bottom) {
            double run = 0.0;
            int start = 0;
            for (int x = 0; x < kCells; ++x) {
                column[std::size_t(x)] += score[std::size_t(bottom * kCells + x)];
                if (run <= 0.0) {
                    run = 0.0;
                    start = x;
                }
                run += column[std::size_t(x)];
                if (run > best.sum)
                    best = {start, top, x, bottom, run};
            }
        }
    }
    return best;
}

// The strongest line of the family near a side: of the positions within
// reach, the one whose segments cover most of the span [from, to]; with
// outward -1 or +1, of those that cover kStrong of it, the one farthest
// towards lower or higher positions. False when no line covers kStrong of
// the span.
bool strongestLine(const std::vector<FrameSegment> &family, bool vertical, double side, double reach, double bin,
                   double from, double to, double *at, int outward = 0, double share = kStrong)
{
    std::map<long, double> bins; // covered length by position
    for (const FrameSegment &s : family) {
        const double position = vertical ? 0.5 * (s.a.x + s.b.x) : 0.5 * (s.a.y + s.b.y);
        if (std::abs(position - side) > reach)
            continue;
        const double a = vertical ? s.a.y : s.a.x, b = vertical ? s.b.y : s.b.x;
        const double covered = std::min(std::max(a, b), to) - std::max(std::min(a, b), from);
        if (covered > 0.0)
            bins[long(std::floor(position / bin))] += covered;
    }
    // Two neighbouring bins hold one line split by the binning.
    double best = 0.0;
    for (const auto &[b, length] : bins) {
        const auto next = bins.find(b + 1);
        const double sum = length + (next == bins.end() ? 0.0 : next->second);
        const double position = (next == bins.end() ? b + 0.5 : b + 1.0) * bin;
        const bool better = outward == 0 ? sum > best : best == 0.0 || outward * (position - *at) > 0.0;
        if (sum >= share * (to - from) && better) {
            *at = position;
            best = sum;
        }
    }
    return best > 0.0;
}

// The side's position on the strongest line near it (or the outermost
// strong one, see strongestLine), or where it is when none is strong.
double strongLine(const std::vector<FrameSegment> &family, bool vertical, double side, double reach, double bin,
                  double from, double to, int outward = 0)
{
    double at = side;
    strongestLine(family, vertical, side, reach, bin, from, to, &at, outward);
    return at;
}

// How far the rows between top and bottom reach along x: the k-th
// smallest start and the k-th largest end, so that one stray line does not
// stretch it. Where two facades meet at a corner, a facade's rows end at
// the corner while its density, spread over a few cells, runs on past it.
bool rowsReach(const std::vector<FrameSegment> &rows, const FrameRect &r, double *first, double *last)
{
    std::vector<double> starts, ends;
    for (const FrameSegment &s : rows) {
        const double y = 0.5 * (s.a.y + s.b.y);
        const double a = std::min(s.a.x, s.b.x), b = std::max(s.a.x, s.b.x);
        if (y < r.top || y > r.bottom || b < r.left || a > r.right)
            continue;
        starts.push_back(a);
        ends.push_back(b);
    }
    if (int(starts.size()) < kReachingRows)
        return false;
    std::nth_element(starts.begin(), starts.begin() + (kReachingRows - 1), starts.end());
    std::nth_element(ends.begin(), ends.begin() + (kReachingRows - 1), ends.end(), std::greater<double>());
    *first = starts[std::size_t(kReachingRows - 1)];
    *last = ends[std::size_t(kReachingRows - 1)];
    return true;
}

// Whether a side of the facade's structure at `side` is the frame's cut
// rather than the facade's end: the frame lies within reach, or a little
// farther with no strong line between (a corner or an edge of the wall
// draws one; plain wall after the last bay does not).
bool cutByFrame(const std::vector<FrameSegment> &columns, double side, double frame, double reach, const Grid &g,
                double from, double to)
{
    const double gap = std::abs(frame - side);
    if (gap < reach)
        return true;
    if (gap >= kFarReach * reach)
        return false;
    double line = 0.0;
    return !strongestLine(columns, true, 0.5 * (side + frame), 0.5 * gap, kLineBin * g.cw, from, to, &line);
}

// Each side of the coarse rectangle settles: at the frame when the
// photograph ends within reach (the facade's own line that just covers
// what is visible), else on the strongest line near it. A left or right
// side takes the outermost strong vertical line within reach: inside the
// facade's edge stand the full-height edges of a tower, a wing or a column
// of windows, and the strongest of them would cut off the bays beyond.
void settleSides(const ExtentInput &in, const Grid &g, Extent *out)
{
    FrameRect &r = out->rect;
    const double reachX = kReach * g.cw, reachY = kReach * g.ch;
    double lo = 0.0, hi = 0.0;
    if (rowsReach(in.rows, r, &lo, &hi)) {
        r.left = std::max(r.left, lo);
        r.right = std::min(r.right, hi);
    }
    if (visibleRange(in.visible, true, r.top, r.bottom, &lo, &hi)) {
        out->atFrame[0] = cutByFrame(in.columns, r.left, lo, reachX, g, r.top, r.bottom);
        out->atFrame[2] = cutByFrame(in.columns, r.right, hi, reachX, g, r.top, r.bottom);
        r.left = out->atFrame[0] ? lo : strongLine(in.columns, true, r.left, reachX, kLineBin * g.cw, r.top, r.bottom, -1);
        r.right = out->atFrame[2] ? hi : strongLine(in.columns, true, r.right, reachX, kLineBin * g.cw, r.top, r.bottom, 1);
    }
    if (visibleRange(in.visible, false, r.left, r.right, &lo, &hi)) {
        out->atFrame[1] = r.top - lo < reachY;
        out->atFrame[3] = hi - r.bottom < reachY;
        r.top = out->atFrame[1] ? lo : strongLine(in.rows, false, r.top, reachY, kLineBin * g.ch, r.left, r.right);
        r.bottom = out->atFrame[3] ? hi : strongLine(in.rows, false, r.bottom, reachY, kLineBin * g.ch, r.left, r.right);
    }
}

} // namespace

bool visibleRange(const std::vector<cv::Point2d> &visible, bool alongX, double from, double to, double *lo,
                  double *hi)
{
    bool any = false;
    for (const cv::Point2d &p : visible) {
        const double band = alongX ? p.y : p.x;
        const double along = alongX ? p.x : p.y;
        if (band < from || band > to)
            continue;
        *lo = any ? std::min(*lo, along) : along;
        *hi = any ? std::max(*hi, along) : along;
        any = true;
    }
    return any;
}

double fullWidthTop(const ExtentInput &input, const FrameRect &r, double bin)
{
    const std::vector<FrameSegment> &rows = input.rows;
    double at = r.top;
    if (strongestLine(rows, false, r.top, 2.0 * bin, bin, r.left, r.right, &at, 0, kFullLine))
        return r.top;
    const double depth = kCorniceDepth * (r.bottom - r.top);
    at = r.top;
    if (!strongestLine(rows, false, r.top + 0.5 * depth, 0.5 * depth, bin, r.left, r.right, &at, -1, kFullLine))
        return r.top;
    // A tower or a gable stands free above the facade, seen whole; where the
    // frame cuts close above the top, what lies between is the facade's own
    // upper floors, whose rows run on beyond it.
    double lo = 0.0, hi = 0.0;
    const bool seenAbove = visibleRange(input.visible, false, r.left, r.right, &lo, &hi) && lo < r.top - (at - r.top);
    return seenAbove ? at : r.top;
}

bool structuredExtent(const ExtentInput &input, Extent *out)
{
    Grid g;
    if (input.rows.empty() || input.columns.empty() || !gridBox(input, &g))
        return false;
    rasterise(g, input.rows, g.rows);
    rasterise(g, input.columns, g.columns);
    const std::vector<double> rows = density(g.rows), columns = density(g.columns);
    std::vector<double> score(rows.size());
    for (std::size_t i = 0; i < score.size(); ++i)
        score[i] = std::sqrt(rows[i] * columns[i]) - kEmpty; // both families, or nothing
    const Best b = largestSum(score);
    if (b.right < b.left)
        return false;
    out->rect = {g.x0 + b.left * g.cw, g.y0 + b.top * g.ch, g.x0 + (b.right + 1) * g.cw, g.y0 + (b.bottom + 1) * g.ch};
    const double cells = double(b.right - b.left + 1) * (b.bottom - b.top + 1);
    out->density = b.sum / cells + kEmpty;
    out->rowBin = kLineBin * g.ch;
    settleSides(input, g, out);
    return out->rect.right > out->rect.left && out->rect.bottom > out->rect.top;
}

} // namespace FacadeImport
