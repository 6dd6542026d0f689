#include "WindowLayout.h"

#include "WallMap.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace FacadeImport {

namespace {

constexpr float kWallLow = 1.5f;       // wall spreads below which a pixel is plainly wall
constexpr float kWallHigh = 4.0f;      // and above which it is plainly not
constexpr double kRunLevel = 0.45;     // a profile's run lies this far from its low to its high
constexpr double kMinFill = 0.3;       // share of a window's box that must be window-like
constexpr double kMinContrast = 0.2;   // and how much more than the wall around it
constexpr double kAlignShare = 0.35;   // centres this share of a width apart share a column
constexpr double kColourSlack = 2.5;   // windows' colours lie within this many of their spreads
constexpr double kMinColourSpread = 14.0; // Lab units: windows differ at least this much among themselves
constexpr double kMarkedLike = 0.55;   // a repeat stands out at least this share of what the marked one does

double percentile(std::vector<double> v, double share)
{
    if (v.empty())
        return 0.0;
    const std::size_t k = std::min(v.size() - 1, std::size_t(share * double(v.size() - 1) + 0.5));
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(k), v.end());
    return v[k];
}

double medianOf(const std::vector<double> &v)
{
    return percentile(v, 0.5);
}

// Mean windowness along one axis of an area, counting only covered pixels;
// lines with nothing covered take the mean of the others.
std::vector<double> profileOf(const LayoutMaps &maps, const cv::Rect &area, bool alongX, const cv::Mat &of)
{
    const cv::Mat w = of(area);
    cv::Mat covered;
    maps.inside(area).convertTo(covered, CV_32F, 1.0 / 255.0);
    cv::Mat sums, counts;
    const int dim = alongX ? 0 : 1; // 0: one value per column
    cv::reduce(w.mul(covered), sums, dim, cv::REDUCE_SUM, CV_64F);
    cv::reduce(covered, counts, dim, cv::REDUCE_SUM, CV_64F);
    const int n = int(sums.total());
    std::vector<double> out(std::size_t(n), -1.0);
    double total = 0.0, weight = 0.0;
    for (int i = 0; i < n; ++i) {
        const double c = counts.at<double>(i);
        if (c >= 1.0) {
            out[std::size_t(i)] = sums.at<double>(i) / c;
            total += sums.at<double>(i);
            weight += c;
        }
    }
    const double mean = weight > 0.0 ? total / weight : 0.0;
    for (double &v : out)
        if (v < 0.0)
            v = mean;
    return out;
}

std::vector<double> smoothed(const std::vector<double> &p, double sigma)
{
    if (p.empty() || sigma < 0.5)
        return p;
    cv::Mat in(1, int(p.size()), CV_64F, const_cast<double *>(p.data()));
    cv::Mat out;
    cv::GaussianBlur(in, out, cv::Size(0, 0), sigma, 0.0, cv::BORDER_REPLICATE);
    return std::vector<double>(out.begin<double>(), out.end<double>());
}

struct Run {
    int begin = 0; // first index
    int end = 0;   // one past the last
    int length() const { return end - begin; }
    double centre() const { return 0.5 * (begin + end); }
};

// The runs of a profile above the level between its low and its high; runs
// closer than mergeGap are one, runs shorter than minLength dropped.
std::vector<Run> runsOf(const std::vector<double> &p, int minLength, int mergeGap, double minContrast)
{
    std::vector<Run> runs;
    const double lo = percentile(p, 0.03), hi = percentile(p, 0.97);
    if (hi - lo < minContrast)
        return runs;
    const double level = lo + kRunLevel * (hi - lo);
    int start = -1;
    for (int i = 0; i <= int(p.size()); ++i) {
        const bool above = i < int(p.size()) && p[std::size_t(i)] > level;
        if (above && start < 0)
            start = i;
        if (!above && start >= 0) {
            if (!runs.empty() && start - runs.back().end < mergeGap)
                runs.back().end = i;
            else
                runs.push_back({start, i});
            start = -1;
        }
    }
    runs.erase(std::remove_if(runs.begin(), runs.end(), [&](const Run &r) { return r.length() < minLength; }),
               runs.end());
    return runs;
}

double meanIn(const cv::Mat &m, const cv::Rect2d &box)
{
    const cv::Rect r = cv::Rect(cv::Point(int(std::floor(box.x)), int(std::floor(box.y))),
                                cv::Point(int(std::ceil(box.x + box.width)), int(std::ceil(box.y + box.height))))
                     & cv::Rect(cv::Point(), m.size());
    return r.area() > 0 ? cv::mean(m(r))[0] : 0.0;
}

// Share of a box that the photograph covers.
double meanInCovered(const LayoutMaps &maps, const cv::Rect2d &box)
{
    return meanIn(maps.inside, box) / 255.0;
}

cv::Vec3d colourIn(const cv::Mat &lab, const cv::Rect2d &box)
{
    const cv::Rect r = cv::Rect(box) & cv::Rect(cv::Point(), lab.size());
    if (r.area() == 0)
        return {};
    const cv::Scalar m = cv::mean(lab(r));
    return {m[0], m[1], m[2]};
}

// The window's top and bottom in its own columns: the strongest run of its
// vertical profile within the band, looked for a little beyond it.
cv::Rect2d tightenedVertically(const LayoutMaps &maps, const Run &cols, const Run &band)
{
    const int reach = std::max(2, band.length() / 3);
    const int y0 = std::max(0, band.begin - reach);
    const int y1 = std::min(maps.windowness.rows, band.end + reach);
    const cv::Rect area(cols.begin, y0, cols.length(), y1 - y0);
    const std::vector<double> p = profileOf(maps, area, false, maps.windowness);
    const double lo = percentile(p, 0.03), hi = percentile(p, 0.97);
    const double level = lo + kRunLevel * (hi - lo);
    Run best{band.begin - y0, band.end - y0};
    double bestMass = 0.0;
    for (int i = 0; i < int(p.size());) {
        if (p[std::size_t(i)] <= level) {
            ++i;
            continue;
        }
        Run r{i, i};
        double mass = 0.0;
        while (r.end < int(p.size()) && p[std::size_t(r.end)] > level)
            mass += p[std::size_t(r.end++)] - level;
        // Only runs that overlap the band itself.
        if (r.end > band.begin - y0 && r.begin < band.end - y0 && mass > bestMass) {
            bestMass = mass;
            best = r;
        }
        i = r.end;
    }
    return cv::Rect2d(cols.begin, y0 + best.begin, cols.length(), best.length());
}

// How much more window-like a box is than the ring of wall around it.
double ringContrast(const LayoutMaps &maps, const cv::Rect2d &box)
{
    const double mx = std::max(1.0, 0.3 * box.width), my = std::max(1.0, 0.3 * box.height);
    const cv::Rect2d outer(box.x - mx, box.y - my, box.width + 2 * mx, box.height + 2 * my);
    const cv::Rect2d clipped = outer & cv::Rect2d(0, 0, maps.windowness.cols, maps.windowness.rows);
    const double inner = meanIn(maps.windowness, box);
    const double ringArea = clipped.area() - box.area();
    if (ringArea < 1.0)
        return 0.0;
    const double ring = (meanIn(maps.windowness, clipped) * clipped.area() - inner * box.area()) / ringArea;
    return inner - ring;
}

// The window-like boxes of one row band: the runs of its horizontal profile
// whose width is like the others'.
std::vector<LayoutBox> boxesOfBand(const LayoutMaps &maps, const Run &band)
{
    // The windows' tops and bottoms: along the band (a little beyond it) the
    // rise and fall of windowness from top to bottom is strong at windows,
    // and nil at what runs through the whole band (a pipe, a pier).
    const int reach = std::max(1, band.length() / 4);
    const int y0 = std::max(0, band.begin - reach), y1 = std::min(maps.windowness.rows, band.end + reach);
    const cv::Rect area(0, y0, maps.windowness.cols, y1 - y0);
    const std::vector<double> p = smoothed(profileOf(maps, area, true, maps.edgeY), 0.6);
    const int minWidth = std::max(2, band.length() / 6);
    std::vector<Run> runs = runsOf(p, minWidth, 2, 0.01);
    std::vector<LayoutBox> boxes;
    for (const Run &r : runs) {
        const cv::Rect2d box = tightenedVertically(maps, r, band);
        const double aspect = box.height / std::max(1.0, box.width);
        const double fill = meanIn(maps.windowness, box);
        if (aspect < 0.2 || aspect > 6.0 || fill < kMinFill || ringContrast(maps, box) < kMinContrast)
            continue;
        if (box.width > 0.45 * maps.windowness.cols)
            continue;
        boxes.push_back({box, std::min(1.0, fill)});
    }
    // Runs much wider than the band's usual window are several windows run
    // together or what stands in front of the facade (a tree).
    std::vector<double> widths;
    for (const LayoutBox &b : boxes)
        widths.push_back(b.box.width);
    const double usual = medianOf(widths);
    boxes.erase(std::remove_if(boxes.begin(), boxes.end(),
                               [&](const LayoutBox &b) { return b.box.width > 2.2 * usual || b.box.width < 0.4 * usual; }),
                boxes.end());
    return boxes;
}

bool aligned(const LayoutBox &a, const LayoutBox &b)
{
    const double ca = a.box.x + 0.5 * a.box.width, cb = b.box.x + 0.5 * b.box.width;
    return std::abs(ca - cb) < kAlignShare * std::max(a.box.width, b.box.width);
}

// Bands whose boxes line up with hardly any other band's (painted lettering,
// a frieze) are dropped when other bands line up well.
void dropUnalignedBands(std::vector<std::vector<LayoutBox>> &bands)
{
    if (bands.size() < 3)
        return;
    std::vector<double> share(bands.size(), 0.0);
    int wellAligned = 0;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        int hits = 0;
        for (const LayoutBox &a : bands[i]) {
            bool any = false;
            for (std::size_t j = 0; j < bands.size() && !any; ++j)
                if (j != i)
                    any = std::any_of(bands[j].begin(), bands[j].end(), [&](const LayoutBox &b) { return aligned(a, b); });
            hits += any;
        }
        share[i] = bands[i].empty() ? 0.0 : double(hits) / double(bands[i].size());
        wellAligned += share[i] >= 0.5;
    }
    if (wellAligned < 2)
        return;
    for (std::size_t i = 0; i < bands.size(); ++i)
        if (share[i] < kAlignShare && bands[i].size() >= 2)
            bands[i].clear();
}

// Boxes whose colour is far from that of the windows as a whole (white
// lettering among dark windows, a tree) are dropped.
void dropOddColours(const LayoutMaps &maps, std::vector<LayoutBox> &boxes)
{
    if (boxes.size() < 4)
        return;
    std::vector<cv::Vec3d> colours;
    std::vector<double> channel[3];
    for (const LayoutBox &b : boxes) {
        colours.push_back(colourIn(maps.lab, b.box));
        for (int c = 0; c < 3; ++c)
            channel[c].push_back(colours.back()[c]);
    }
    const cv::Vec3d centre(medianOf(channel[0]), medianOf(channel[1]), medianOf(channel[2]));
    std::vector<double> distances;
    for (const cv::Vec3d &c : colours)
        distances.push_back(cv::norm(c - centre));
    const double spread = std::max(kMinColourSpread, 1.4826 * medianOf(distances));
    std::vector<LayoutBox> kept;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (distances[i] <= kColourSlack * spread)
            kept.push_back(boxes[i]);
    boxes.swap(kept);
}

// Boxes far smaller than the usual window are pieces of something else.
void dropSmall(std::vector<LayoutBox> &boxes)
{
    std::vector<double> areas;
    for (const LayoutBox &b : boxes)
        areas.push_back(b.box.area());
    const double usual = medianOf(areas);
    boxes.erase(std::remove_if(boxes.begin(), boxes.end(), [&](const LayoutBox &b) { return b.box.area() < 0.3 * usual; }),
                boxes.end());
}

// Boxes of one row share its top and bottom, boxes of one column its sides,
// where they differ from them only a little: the rectification and the
// profiles' noise move single edges, a real window of another size differs
// more.
void snapToLines(std::vector<LayoutBox> &boxes)
{
    auto snap = [&](bool horizontal) {
        std::vector<std::size_t> order(boxes.size());
        std::iota(order.begin(), order.end(), 0);
        auto centre = [&](std::size_t i) {
            const cv::Rect2d &b = boxes[i].box;
            return horizontal ? b.y + 0.5 * b.height : b.x + 0.5 * b.width;
        };
        auto extent = [&](std::size_t i) { return horizontal ? boxes[i].box.height : boxes[i].box.width; };
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return centre(a) < centre(b); });
        std::size_t start = 0;
        for (std::size_t k = 1; k <= order.size(); ++k) {
            if (k < order.size() && centre(order[k]) - centre(order[k - 1]) < 0.3 * extent(order[k - 1]))
                continue;
            std::vector<double> lows, highs;
            for (std::size_t j = start; j < k; ++j) {
                const cv::Rect2d &b = boxes[order[j]].box;
                lows.push_back(horizontal ? b.y : b.x);
                highs.push_back(horizontal ? b.y + b.height : b.x + b.width);
            }
            const double low = medianOf(lows), high = medianOf(highs);
            for (std::size_t j = start; j < k; ++j) {
                cv::Rect2d &b = boxes[order[j]].box;
                const double size = high - low;
                double &pos = horizontal ? b.y : b.x;
                double &len = horizontal ? b.height : b.width;
                if (std::abs(pos - low) < 0.25 * size && std::abs(pos + len - high) < 0.25 * size) {
                    pos = low;
                    len = size;
                }
            }
            start = k;
        }
    };
    snap(true);
    snap(false);
}

// Cells of the lattice of rows and columns that hold no box but look like
// the windows around them get one; an occluded cell (a tree, a car) does not.
void fillLatticeGaps(const LayoutMaps &maps, std::vector<LayoutBox> &boxes)
{
    if (boxes.size() < 4)
        return;
    std::vector<LayoutBox> added;
    std::vector<double> fills, colourL, colourA, colourB;
    for (const LayoutBox &b : boxes) {
        fills.push_back(meanIn(maps.windowness, b.box));
        const cv::Vec3d c = colourIn(maps.lab, b.box);
        colourL.push_back(c[0]);
        colourA.push_back(c[1]);
        colourB.push_back(c[2]);
    }
    const double usualFill = medianOf(fills);
    const cv::Vec3d usualColour(medianOf(colourL), medianOf(colourA), medianOf(colourB));
    for (const LayoutBox &row : boxes)
        for (const LayoutBox &col : boxes) {
            const cv::Rect2d cell(col.box.x, row.box.y, col.box.width, row.box.height);
            // Only where the row's and the column's windows are of one size.
            if (std::abs(std::log(col.box.width / row.box.width)) > 0.3
                || std::abs(std::log(col.box.height / row.box.height)) > 0.3)
                continue;
            const auto overlaps = [&](const LayoutBox &b) { return (b.box & cell).area() > 0.2 * cell.area(); };
            if (std::any_of(boxes.begin(), boxes.end(), overlaps) || std::any_of(added.begin(), added.end(), overlaps))
                continue;
            if (meanInCovered(maps, cell) < 0.95)
                continue;
            const double fill = meanIn(maps.windowness, cell);
            if (fill < std::max(kMinFill, 0.7 * usualFill) || ringContrast(maps, cell) < kMinContrast)
                continue;
            if (cv::norm(colourIn(maps.lab, cell) - usualColour) > kColourSlack * kMinColourSpread)
                continue;
            added.push_back({cell, std::min(1.0, fill)});
        }
    boxes.insert(boxes.end(), added.begin(), added.end());
}

} // namespace

LayoutMaps layoutMapsOf(const cv::Mat &rgb, const cv::Mat &inside)
{
    LayoutMaps maps;
    cv::Mat blurred;
    cv::GaussianBlur(rgb, blurred, cv::Size(0, 0), 1.0);
    cv::cvtColor(blurred, maps.lab, cv::COLOR_RGB2Lab);
    const cv::Mat distance = wallDistance(maps.lab, estimateWall(maps.lab));
    distance.convertTo(maps.windowness, CV_32F, 1.0 / (kWallHigh - kWallLow), -kWallLow / (kWallHigh - kWallLow));
    cv::threshold(maps.windowness, maps.windowness, 1.0, 1.0, cv::THRESH_TRUNC);
    cv::threshold(maps.windowness, maps.windowness, 0.0, 0.0, cv::THRESH_TOZERO);
    maps.inside = inside.empty() ? cv::Mat(rgb.size(), CV_8U, cv::Scalar(255)) : inside.clone();
    maps.windowness.setTo(0.0f, maps.inside == 0);
    cv::Mat smooth;
    cv::GaussianBlur(maps.windowness, smooth, cv::Size(0, 0), 1.0);
    cv::Sobel(smooth, maps.edgeX, CV_32F, 1, 0, 3, 0.25);
    cv::Sobel(smooth, maps.edgeY, CV_32F, 0, 1, 3, 0.25);
    maps.edgeX = cv::abs(maps.edgeX);
    maps.edgeY = cv::abs(maps.edgeY);
    return maps;
}

std::vector<LayoutBox> layoutWindows(const LayoutMaps &maps)
{
    const cv::Size size = maps.windowness.size();
    if (size.width < 8 || size.height < 8)
        return {};
    // Rows of windows: along each line the windowness rises and falls at
    // every window; a band across the whole facade (a cornice, a string
    // course) has no such changes.
    const std::vector<double> rows = smoothed(profileOf(maps, cv::Rect(cv::Point(), size), false, maps.edgeX), 0.6);
    const int minHeight = std::max(3, size.height / 120);
    std::vector<std::vector<LayoutBox>> bands;
    for (const Run &band : runsOf(rows, minHeight, 2, 0.005))
        bands.push_back(boxesOfBand(maps, band));
    dropUnalignedBands(bands);
    std::vector<LayoutBox> boxes;
    for (const auto &band : bands)
        boxes.insert(boxes.end(), band.begin(), band.end());
    dropSmall(boxes);
    dropOddColours(maps, boxes);
    fillLatticeGaps(maps, boxes);
    snapToLines(boxes);
    return boxes;
}

std::vector<LayoutBox> repeatsOfWindow(const LayoutMaps &maps, const cv::Rect &marked)
{
    const cv::Rect image(cv::Point(), maps.windowness.size());
    const cv::Rect mark = marked & image;
    if (mark.width < 2 || mark.height < 2)
        return {};
    // Stand-out of a window-sized box against the ring of wall around it,
    // for every position, from integral images.
    cv::Mat integral;
    cv::integral(maps.windowness, integral, CV_64F);
    const int w = mark.width, h = mark.height;
    const int mx = std::max(1, w / 4), my = std::max(1, h / 4);
    auto sumOf = [&](int x0, int y0, int x1, int y1) {
        x0 = std::clamp(x0, 0, image.width);
        x1 = std::clamp(x1, 0, image.width);
        y0 = std::clamp(y0, 0, image.height);
        y1 = std::clamp(y1, 0, image.height);
        const double s = integral.at<double>(y1, x1) - integral.at<double>(y0, x1) - integral.at<double>(y1, x0)
                       + integral.at<double>(y0, x0);
        return std::make_pair(s, double((x1 - x0) * (y1 - y0)));
    };
    auto standOut = [&](int x, int y) { // x, y: the box's corner
        const auto in = sumOf(x, y, x + w, y + h);
        const auto all = sumOf(x - mx, y - my, x + w + mx, y + h + my);
        const double ring = all.second - in.second;
        if (in.second < 1.0 || ring < 1.0)
            return std::make_pair(0.0, 0.0);
        const double fill = in.first / in.second;
        return std::make_pair(fill - (all.first - in.first) / ring, fill);
    };
    const auto own = standOut(mark.x, mark.y);
    const double bar = std::max(0.08, kMarkedLike * own.first);
    const double fillBar = std::max(kMinFill * 0.5, kMarkedLike * own.second);
    cv::Mat score(std::max(1, image.height - h + 1), std::max(1, image.width - w + 1), CV_32F, cv::Scalar(0));
    for (int y = 0; y + h <= image.height; ++y) {
        float *row = score.ptr<float>(y);
        for (int x = 0; x + w <= image.width; ++x) {
            const auto s = standOut(x, y);
            if (s.first >= bar && s.second >= fillBar)
                row[x] = float(s.first);
        }
    }
    std::vector<LayoutBox> found{{cv::Rect2d(mark), 1.0}};
    const cv::Vec3d markColour = colourIn(maps.lab, mark);
    for (;;) {
        double best;
        cv::Point at;
        cv::minMaxLoc(score, nullptr, &best, nullptr, &at);
        if (best <= 0.0)
            break;
        const cv::Rect2d box(at.x, at.y, w, h);
        // Nothing within most of a window of this one is another window.
        const cv::Rect clear = cv::Rect(at.x - w * 7 / 10, at.y - h * 7 / 10, w * 7 / 5 + 1, h * 7 / 5 + 1)
                             & cv::Rect(cv::Point(), score.size());
        score(clear).setTo(0.0f);
        const bool apart = std::none_of(found.begin(), found.end(), [&](const LayoutBox &b) {
            return (b.box & box).area() > 0.25 * box.area();
        });
        if (!apart || meanInCovered(maps, box) < 0.95)
            continue;
        if (cv::norm(colourIn(maps.lab, box) - markColour) > 2.0 * kColourSlack * kMinColourSpread)
            continue;
        found.push_back({box, std::min(1.0, best / std::max(1e-6, own.first))});
    }
    return found;
}

} // namespace FacadeImport
