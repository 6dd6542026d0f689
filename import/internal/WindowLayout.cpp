#include "WindowLayout.h"

#include "DisjointSets.h"
#include "FacadePeriod.h"
#include "Median.h"
#include "WallMap.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace FacadeImport {

namespace {

constexpr float kWallLow = 1.5f;       // wall spreads below which a pixel is plainly wall
constexpr float kWallHigh = 4.0f;      // and above which it is plainly not
constexpr double kMinFill = 0.3;       // share of a window's box that must be window-like
constexpr double kMinContrast = 0.25;  // and how much more than the wall around it
constexpr double kMinBlobFill = 0.55;  // share of its box a window's blob fills
constexpr double kMaxWidthShare = 0.3; // a window is at most this share of the facade's width
constexpr double kMaxHeightShare = 0.4; // and of its height
constexpr double kSizeSlack = 0.3;     // windows of one kind differ in size by less than this (log)
constexpr int kMinRepeats = 3;         // blobs of the main kind found without a marked window
constexpr double kMaxHoleShare = 0.01; // holes up to this share of the facade are glass, not wall
constexpr double kMinKindArea = 0.5;   // other kinds of window are at least this share of the main kind's area
constexpr double kAlignShare = 0.35;   // centres this share of a width apart share a column
constexpr double kColourSlack = 2.5;   // windows' colours lie within this many of their spreads
constexpr double kMinColourSpread = 14.0; // Lab units: windows differ at least this much among themselves
constexpr double kMarkedLike = 0.7;   // a repeat stands out at least this share of what the marked one does
constexpr double kMinLightness = 0.05; // and at least this much (of black to white) on every side
constexpr double kSeedShares[] = {0.5, 0.7}; // a seed's sides, shares of the period
constexpr double kPlentyRepeats = 2.5; // a seed finding this many times enough repeats is not bettered
constexpr double kSeedReach = 0.5;    // a seed's sides move this share of its size to fit its window
constexpr double kMarkShrink = 0.6;   // a box is fitted to a window down to this share of its sides
constexpr double kMullion = 0.35;     // panes this share of a pane apart, or less, are one window's
constexpr double kPaneAlign = 0.15;   // and line up to this share of their height (or width)

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

bool aligned(const LayoutBox &a, const LayoutBox &b)
{
    const double ca = a.box.x + 0.5 * a.box.width, cb = b.box.x + 0.5 * b.box.width;
    return std::abs(ca - cb) < kAlignShare * std::max(a.box.width, b.box.width);
}

// Whether a box on a facade of the given size has a window's shape: not a
// band across the facade, neither a sliver nor a tower.
bool windowShaped(const cv::Rect2d &b, const cv::Size &size)
{
    const double aspect = b.height / b.width;
    return b.width <= kMaxWidthShare * size.width && b.height <= kMaxHeightShare * size.height && aspect >= 0.2
        && aspect <= 4.5;
}

// Blobs of the windowness map at one level that may be windows: about as
// full as their box, not a band across the facade, clearly more window-like
// than the wall around them, wholly on the photograph.
std::vector<LayoutBox> blobsAt(const LayoutMaps &maps, float level)
{
    // The glass inside a frame may look like the wall (curtains, the sky
    // reflected): the holes of a blob are part of it.
    const cv::Mat mask = cleanedMask(maps.windowness > level, kMaxHoleShare);
    cv::Mat labels, stats, centroids;
    const int n = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 4, CV_32S);
    const cv::Size size = mask.size();
    std::vector<LayoutBox> out;
    for (int i = 1; i < n; ++i) {
        const cv::Rect2d b(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                           stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT));
        const double fill = stats.at<int>(i, cv::CC_STAT_AREA) / b.area();
        if (b.width < 3 || b.height < 3 || fill < kMinBlobFill || !windowShaped(b, size))
            continue;
        const double contrast = ringContrast(maps, b);
        if (contrast < kMinContrast || meanInCovered(maps, b) < 0.95)
            continue;
        out.push_back({b, std::min(1.0, contrast * fill)});
    }
    return out;
}

// Whether two blobs are panes of one window: side by side (or one above
// the other) with a mullion between them much narrower than a pane, their
// tops and bottoms (or sides) in line.
bool panesOfOne(const cv::Rect2d &a, const cv::Rect2d &b)
{
    auto inLine = [](double a0, double a1, double b0, double b1) {
        const double size = std::max(a1 - a0, b1 - b0);
        return std::abs(a0 - b0) < kPaneAlign * size && std::abs(a1 - b1) < kPaneAlign * size;
    };
    auto close = [](double a0, double a1, double b0, double b1) {
        const double gap = std::max(b0 - a1, a0 - b1);
        return gap >= 0.0 && gap <= kMullion * std::min(a1 - a0, b1 - b0);
    };
    return (inLine(a.y, a.br().y, b.y, b.br().y) && close(a.x, a.br().x, b.x, b.br().x))
        || (inLine(a.x, a.br().x, b.x, b.br().x) && close(a.y, a.br().y, b.y, b.br().y));
}

// Windows divided by mullions stand out as several blobs, one per pane: the
// panes of one window together are a candidate too, when the whole stands
// out from the wall around it.
std::vector<LayoutBox> mergedPanes(const LayoutMaps &maps, const std::vector<LayoutBox> &blobs)
{
    const std::size_t n = blobs.size();
    DisjointSets windows(n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (panesOfOne(blobs[i].box, blobs[j].box))
                windows.join(i, j);
    std::vector<cv::Rect2d> unions(n);
    std::vector<double> scores(n, 0.0);
    std::vector<int> panes(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t r = windows.root(i);
        unions[r] = panes[r] ? (unions[r] | blobs[i].box) : blobs[i].box;
        scores[r] += blobs[i].score;
        ++panes[r];
    }
    std::vector<LayoutBox> out;
    const cv::Size size = maps.windowness.size();
    for (std::size_t r = 0; r < n; ++r) {
        if (panes[r] < 2)
            continue;
        const cv::Rect2d &b = unions[r];
        if (!windowShaped(b, size))
            continue;
        if (ringContrast(maps, b) < kMinContrast || meanInCovered(maps, b) < 0.95)
            continue;
        out.push_back({b, scores[r] / panes[r]});
    }
    return out;
}

// Blobs at several levels (windows stand out from the wall by more or less),
// the better of two overlapping ones kept.
std::vector<LayoutBox> candidateBlobs(const LayoutMaps &maps)
{
    std::vector<LayoutBox> all;
    for (const float level : {0.3f, 0.5f, 0.7f}) {
        const std::vector<LayoutBox> at = blobsAt(maps, level);
        all.insert(all.end(), at.begin(), at.end());
    }
    std::sort(all.begin(), all.end(), [](const LayoutBox &a, const LayoutBox &b) { return a.score > b.score; });
    // The same blob at two levels is one; a blob and a piece of it (a pane,
    // half a window) both stay, for the kinds to tell apart.
    std::vector<LayoutBox> kept;
    for (const LayoutBox &b : all) {
        const bool clash = std::any_of(kept.begin(), kept.end(), [&](const LayoutBox &k) {
            const double common = (k.box & b.box).area();
            return common > 0.5 * (k.box.area() + b.box.area() - common);
        });
        if (!clash)
            kept.push_back(b);
    }
    const std::vector<LayoutBox> windows = mergedPanes(maps, kept);
    kept.insert(kept.end(), windows.begin(), windows.end());
    return kept;
}

// A box's size on a log scale, where sizes of one kind lie within kSizeSlack
// of each other; computed once per box, since kinds compare every pair.
struct LogSize {
    double width = 0.0, height = 0.0;
};

LogSize logSizeOf(const cv::Rect2d &box)
{
    return {std::log(box.width), std::log(box.height)};
}

std::vector<LogSize> logSizesOf(const std::vector<LayoutBox> &boxes)
{
    std::vector<LogSize> out;
    out.reserve(boxes.size());
    for (const LayoutBox &b : boxes)
        out.push_back(logSizeOf(b.box));
    return out;
}

bool sameSize(const LogSize &a, const LogSize &b)
{
    return std::abs(a.width - b.width) < kSizeSlack && std::abs(a.height - b.height) < kSizeSlack;
}

bool sameSize(const LayoutBox &a, const LayoutBox &b)
{
    return sameSize(logSizeOf(a.box), logSizeOf(b.box));
}

// The boxes of a list, which may grow, by their centres down and across: the
// boxes near a row or a column, or whether any of them meets a test, without
// reading every box. The list is the caller's; each box is added once it is
// in it.
class BoxIndex {
public:
    explicit BoxIndex(const std::vector<LayoutBox> &boxes) : m_boxes(boxes)
    {
        for (std::size_t k = 0; k < boxes.size(); ++k)
            add(k);
    }

    void add(std::size_t k)
    {
        const cv::Rect2d &b = m_boxes[k].box;
        m_down.emplace(b.y + 0.5 * b.height, k);
        m_across.emplace(b.x + 0.5 * b.width, k);
        m_maxWidth = std::max(m_maxWidth, b.width);
        m_maxHeight = std::max(m_maxHeight, b.height);
    }

    double maxWidth() const { return m_maxWidth; }
    double maxHeight() const { return m_maxHeight; }

    // Whether a box whose centre lies within reach of y (down) or of x
    // (across) meets the test.
    template <typename Test>
    bool anyDown(double y, double reach, Test test) const
    {
        return anyIn(m_down, y, reach, [&](std::size_t k) { return test(m_boxes[k]); });
    }
    template <typename Test>
    bool anyAcross(double x, double reach, Test test) const
    {
        return anyIn(m_across, x, reach, [&](std::size_t k) { return test(m_boxes[k]); });
    }

    // Adds the indices of the boxes whose centres lie within reach of y
    // (down) or of x (across).
    void nearDown(double y, double reach, std::vector<std::size_t> &out) const { collect(m_down, y, reach, out); }
    void nearAcross(double x, double reach, std::vector<std::size_t> &out) const { collect(m_across, x, reach, out); }

private:
    template <typename Test>
    static bool anyIn(const std::multimap<double, std::size_t> &by, double at, double reach, Test test)
    {
        for (auto it = by.lower_bound(at - reach); it != by.end() && it->first <= at + reach; ++it)
            if (test(it->second))
                return true;
        return false;
    }
    static void collect(const std::multimap<double, std::size_t> &by, double at, double reach,
                        std::vector<std::size_t> &out)
    {
        anyIn(by, at, reach, [&](std::size_t k) {
            out.push_back(k);
            return false;
        });
    }

    const std::vector<LayoutBox> &m_boxes;
    std::multimap<double, std::size_t> m_down, m_across;
    double m_maxWidth = 0.0, m_maxHeight = 0.0;
};

bool sameRow(const LayoutBox &a, const LayoutBox &b)
{
    const double ca = a.box.y + 0.5 * a.box.height, cb = b.box.y + 0.5 * b.box.height;
    return std::abs(ca - cb) < kAlignShare * std::max(a.box.height, b.box.height);
}

// Windows repeat: a blob counts as a window when others of its size stand
// in its row or its column. The kind of window that repeats most (weighted
// by size and by how clearly its blobs stand out, so that the specks of a
// textured wall do not win by number) is the facade's main kind; blobs of
// other sizes that repeat too (a ground floor's windows) join it when they
// are not much smaller and look like it. A lone blob (a sign, a lamp) does
// not count.
// main: the index of a blob known to be a window of the main kind (a marked
// one), or -1 to choose the kind that repeats most. The main kind's blobs
// then need not repeat, when they look like it.
std::vector<LayoutBox> repeatedBlobs(const LayoutMaps &maps, const std::vector<LayoutBox> &blobs, int main = -1)
{
    const std::size_t n = blobs.size();
    const std::vector<LogSize> sizes = logSizesOf(blobs);
    std::vector<int> mates(n, 0);
    std::vector<double> weight(n, 0.0);
    const BoxIndex index(blobs);
    // A mate is of about a blob's size, so its centre lies within this share
    // of that size of the blob's row or column.
    const double grow = kAlignShare * std::exp(kSizeSlack);
    std::vector<std::size_t> near;
    for (std::size_t i = 0; i < n; ++i) {
        weight[i] = blobs[i].score * std::sqrt(blobs[i].box.area());
        near.clear();
        const cv::Rect2d &b = blobs[i].box;
        index.nearDown(b.y + 0.5 * b.height, grow * b.height, near);
        index.nearAcross(b.x + 0.5 * b.width, grow * b.width, near);
        std::sort(near.begin(), near.end());
        near.erase(std::unique(near.begin(), near.end()), near.end());
        for (const std::size_t j : near)
            if (j != i && sameSize(sizes[i], sizes[j]) && (sameRow(blobs[i], blobs[j]) || aligned(blobs[i], blobs[j]))) {
                ++mates[i];
                weight[i] += blobs[j].score * std::sqrt(blobs[j].box.area());
            }
    }
    std::size_t best = main >= 0 ? std::size_t(main) : 0;
    for (std::size_t i = 1; i < n && main < 0; ++i)
        if (weight[i] > weight[best])
            best = i;
    std::vector<LayoutBox> kept;
    // Two alike blobs may be chance; a kind of window repeats at least thrice.
    if (n == 0 || best >= n || (main < 0 && mates[best] < kMinRepeats - 1))
        return kept;
    if (main >= 0)
        for (std::size_t i = 0; i < n; ++i)
            if (sameSize(sizes[i], sizes[best]))
                mates[i] = std::max(mates[i], 1);
    std::vector<double> areas;
    std::vector<cv::Vec3d> colours;
    for (std::size_t i = 0; i < n; ++i)
        if (mates[i] > 0 && sameSize(sizes[i], sizes[best])) {
            areas.push_back(blobs[i].box.area());
            colours.push_back(colourIn(maps.lab, blobs[i].box));
        }
    const double mainArea = medianOf(areas);
    const cv::Vec3d mainColour = medianColour(colours);
    // The main kind first, then the others that do not overlap a window
    // already kept (a piece of one, or one and its neighbour run together).
    for (const bool mainKind : {true, false})
        for (std::size_t i = 0; i < n; ++i) {
            if (mates[i] == 0 || blobs[i].box.area() < kMinKindArea * mainArea
                || sameSize(sizes[i], sizes[best]) != mainKind)
                continue;
            if (!mainKind && cv::norm(colourIn(maps.lab, blobs[i].box) - mainColour) > kColourSlack * kMinColourSpread)
                continue;
            const bool overlaps = std::any_of(kept.begin(), kept.end(), [&](const LayoutBox &k) {
                return (k.box & blobs[i].box).area() > 0.2 * std::min(k.box.area(), blobs[i].box.area());
            });
            if (!overlaps)
                kept.push_back(blobs[i]);
        }
    return kept;
}

// Boxes whose colour is far from that of the windows as a whole (white
// lettering among dark windows, a tree) are dropped.
void dropOddColours(const LayoutMaps &maps, std::vector<LayoutBox> &boxes)
{
    if (boxes.size() < 4)
        return;
    std::vector<cv::Vec3d> colours;
    for (const LayoutBox &b : boxes)
        colours.push_back(colourIn(maps.lab, b.box));
    const cv::Vec3d centre = medianColour(colours);
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

// Boxes of one row share its top and bottom, boxes of one column its sides,
// where they differ from them only a little: the rectification and the
// blobs' edges move single edges, a real window of another size differs
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

// The rows (horizontal) or columns of a set of boxes: boxes whose centres
// lie within a third of their size of the next one's share one; each line
// as the median start and size of its boxes.
std::vector<std::pair<double, double>> linesOf(const std::vector<LayoutBox> &boxes, bool horizontal)
{
    std::vector<std::pair<double, double>> spans; // start, size
    for (const LayoutBox &b : boxes)
        spans.push_back(horizontal ? std::make_pair(b.box.y, b.box.height) : std::make_pair(b.box.x, b.box.width));
    std::sort(spans.begin(), spans.end(), [](const auto &a, const auto &b) {
        return a.first + 0.5 * a.second < b.first + 0.5 * b.second;
    });
    std::vector<std::pair<double, double>> lines;
    std::size_t start = 0;
    for (std::size_t k = 1; k <= spans.size(); ++k) {
        if (k < spans.size()
            && (spans[k].first + 0.5 * spans[k].second) - (spans[k - 1].first + 0.5 * spans[k - 1].second)
                   < 0.3 * spans[k - 1].second)
            continue;
        std::vector<double> starts, sizes;
        for (std::size_t j = start; j < k; ++j) {
            starts.push_back(spans[j].first);
            sizes.push_back(spans[j].second);
        }
        lines.push_back({medianOf(starts), medianOf(sizes)});
        start = k;
    }
    return lines;
}

// Cells of the lattice of rows and columns that hold no box but look like
// the windows around them get one; an occluded cell (a tree, a car) does not.
void fillLatticeGaps(const LayoutMaps &maps, std::vector<LayoutBox> &boxes)
{
    if (boxes.size() < 4)
        return;
    std::vector<double> fills;
    std::vector<cv::Vec3d> colours;
    for (const LayoutBox &b : boxes) {
        fills.push_back(meanIn(maps.windowness, b.box));
        colours.push_back(colourIn(maps.lab, b.box));
    }
    const double usualFill = medianOf(fills);
    const cv::Vec3d usualColour = medianColour(colours);
    const BoxIndex foundIndex(boxes); // the windows found, not the cells filled
    BoxIndex all(boxes);
    for (const auto &row : linesOf(boxes, true))
        for (const auto &col : linesOf(boxes, false)) {
            const cv::Rect2d cell(col.first, row.first, col.second, row.second);
            const LogSize cellSize = logSizeOf(cell);
            const double cx = cell.x + 0.5 * cell.width, cy = cell.y + 0.5 * cell.height;
            // Only where windows of this size stand in the row and in the column:
            // their tops (or sides) within 0.3 of the cell's size of its own.
            const auto likeCell = [&](const LayoutBox &b) { return sameSize(logSizeOf(b.box), cellSize); };
            const bool inRow = foundIndex.anyDown(cy, 0.3 * cell.height + 0.5 * (cell.height + foundIndex.maxHeight()),
                                                  [&](const LayoutBox &b) {
                                                      return std::abs(b.box.y - cell.y) < 0.3 * cell.height && likeCell(b);
                                                  });
            const bool inCol = inRow
                            && foundIndex.anyAcross(cx, 0.3 * cell.width + 0.5 * (cell.width + foundIndex.maxWidth()),
                                                    [&](const LayoutBox &b) {
                                                        return std::abs(b.box.x - cell.x) < 0.3 * cell.width && likeCell(b);
                                                    });
            const bool overlaps = inCol && all.anyDown(cy, 0.5 * (cell.height + all.maxHeight()), [&](const LayoutBox &b) {
                return (b.box & cell).area() > 0.2 * cell.area();
            });
            if (!inRow || !inCol || overlaps)
                continue;
            if (meanInCovered(maps, cell) < 0.95)
                continue;
            const double fill = meanIn(maps.windowness, cell);
            if (fill < std::max(kMinFill, 0.7 * usualFill) || ringContrast(maps, cell) < kMinContrast)
                continue;
            if (cv::norm(colourIn(maps.lab, cell) - usualColour) > kColourSlack * kMinColourSpread)
                continue;
            boxes.push_back({cell, std::min(1.0, fill)});
            all.add(boxes.size() - 1);
        }
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
    return maps;
}

std::vector<LayoutBox> layoutWindows(const LayoutMaps &maps)
{
    const cv::Size size = maps.windowness.size();
    if (size.width < 8 || size.height < 8)
        return {};
    const std::vector<LayoutBox> blobs = candidateBlobs(maps);
    std::vector<LayoutBox> boxes = repeatedBlobs(maps, blobs);
    dropOddColours(maps, boxes);
    fillLatticeGaps(maps, boxes);
    snapToLines(boxes);
    return boxes;
}

namespace {

// The facade's windows with the marked one as the main kind: its repeats
// take its size, centred where their blobs are; then the lattice's gaps.
// candidates: the facade's candidate blobs.
std::vector<LayoutBox> blobsLike(const LayoutMaps &maps, const std::vector<LayoutBox> &candidates, const cv::Rect &mark)
{
    const LayoutBox marked{cv::Rect2d(mark), 1.0};
    std::vector<LayoutBox> blobs{marked};
    for (const LayoutBox &b : candidates)
        if ((b.box & marked.box).area() == 0.0)
            blobs.push_back(b);
    std::vector<LayoutBox> found = repeatedBlobs(maps, blobs, 0);
    for (LayoutBox &b : found)
        if (sameSize(b, marked)) {
            const cv::Point2d centre(b.box.x + 0.5 * b.box.width, b.box.y + 0.5 * b.box.height);
            b.box = cv::Rect2d(centre.x - 0.5 * mark.width, centre.y - 0.5 * mark.height, mark.width, mark.height);
        }
    if (found.size() > 1)
        fillLatticeGaps(maps, found);
    return found;
}

// Sums over boxes of one map, from its integral image; boxes are clipped to
// the map.
class BoxSums {
public:
    explicit BoxSums(const cv::Mat &map) : m_size(map.size()) { cv::integral(map, m_integral, CV_64F); }

    // Mean and area of the box from (x0, y0) to (x1, y1), clipped.
    std::pair<double, double> mean(int x0, int y0, int x1, int y1) const
    {
        x0 = std::clamp(x0, 0, m_size.width);
        x1 = std::clamp(x1, 0, m_size.width);
        y0 = std::clamp(y0, 0, m_size.height);
        y1 = std::clamp(y1, 0, m_size.height);
        const double area = double(x1 - x0) * double(y1 - y0);
        if (area < 1.0)
            return {0.0, 0.0};
        const double s = m_integral.at<double>(y1, x1) - m_integral.at<double>(y0, x1)
                       - m_integral.at<double>(y1, x0) + m_integral.at<double>(y0, x0);
        return {s / area, area};
    }

    // How a w x h box at (x, y) stands out on its least side, and its mean.
    // A window stands out from the wall on each of its four sides; a band
    // across the facade (a string course) only above and below it.
    std::pair<double, double> standOut(int x, int y, int w, int h) const
    {
        const auto in = mean(x, y, x + w, y + h);
        if (in.second < 1.0)
            return {0.0, 0.0};
        const int mx = std::max(1, w / 4), my = std::max(1, h / 4);
        const std::pair<double, double> sides[4] = {mean(x, y - my, x + w, y), mean(x, y + h, x + w, y + h + my),
                                                    mean(x - mx, y, x, y + h), mean(x + w, y, x + w + mx, y + h)};
        double least = 1.0;
        for (const auto &side : sides)
            if (side.second >= 1.0)
                least = std::min(least, in.first - side.first);
        return {least, in.first};
    }

private:
    cv::Size m_size;
    cv::Mat m_integral;
};

// The facade's lightness, 0 (black) to 1 (white).
cv::Mat lightnessOf(const LayoutMaps &maps)
{
    cv::Mat lightness;
    cv::extractChannel(maps.lab, lightness, 0);
    lightness.convertTo(lightness, CV_32F, 1.0 / 255.0);
    return lightness;
}

// The facade's lightness (0 to 1) turned so that the marked window is the
// high side: most windows are darker than their wall by day, some lighter
// (lit rooms, the sky reflected). Windows that differ little from the wall
// in colour (grey glass in a white wall, seen from afar) still differ in
// lightness from the wall right around them. A box drawn generously round
// a window of a few pixels in a dense lattice holds about as much wall as
// window, and its neighbours' windows darken the ring around it: its middle
// then tells which way the window differs.
cv::Mat lightnessLike(const LayoutMaps &maps, const cv::Rect &mark)
{
    cv::Mat lightness = lightnessOf(maps);
    const BoxSums sums(lightness);
    const int mx = std::max(1, mark.width / 2), my = std::max(1, mark.height / 2);
    const auto whole = sums.mean(mark.x, mark.y, mark.x + mark.width, mark.y + mark.height);
    const auto middle = sums.mean(mark.x + mark.width / 4, mark.y + mark.height / 4,
                                  mark.x + mark.width - mark.width / 4, mark.y + mark.height - mark.height / 4);
    const auto outer = sums.mean(mark.x - mx, mark.y - my, mark.x + mark.width + mx, mark.y + mark.height + my);
    const double ring = (outer.first * outer.second - whole.first * whole.second) / std::max(1.0, outer.second - whole.second);
    // Of the whole and its middle, the one that differs more from the ring
    // tells: a window with light frames or shutter leaves in the mark stands
    // out as a whole, its glass alone barely.
    const double byWhole = whole.first - ring, byMiddle = middle.first - ring;
    if ((std::abs(byMiddle) > std::abs(byWhole) ? byMiddle : byWhole) < 0.0)
        lightness = 1.0 - lightness;
    return lightness;
}

// Every place where a box of the marked window's size stands out from the
// map around it about as much as the marked window does, best first, none
// within most of a window of a better one.
std::vector<LayoutBox> standingOutOn(const LayoutMaps &maps, const cv::Mat &map, const cv::Rect &mark, double like,
                                     double floor)
{
    const BoxSums sums(map);
    const int w = mark.width, h = mark.height;
    const auto own = sums.standOut(mark.x, mark.y, w, h);
    if (own.first <= 0.0)
        return {};
    const double bar = std::max(floor, like * own.first);
    cv::Mat score(std::max(1, map.rows - h + 1), std::max(1, map.cols - w + 1), CV_32F, cv::Scalar(0));
    for (int y = 0; y + h <= map.rows; ++y) {
        float *row = score.ptr<float>(y);
        for (int x = 0; x + w <= map.cols; ++x) {
            const auto s = sums.standOut(x, y, w, h);
            if (s.first >= bar)
                row[x] = float(s.first);
        }
    }
    // Best first; nothing within most of a window of one taken is another
    // window.
    struct Place {
        float score;
        cv::Point at;
    };
    std::vector<Place> places;
    for (int y = 0; y < score.rows; ++y)
        for (int x = 0; x < score.cols; ++x)
            if (score.at<float>(y, x) > 0.0f)
                places.push_back({score.at<float>(y, x), cv::Point(x, y)});
    std::stable_sort(places.begin(), places.end(), [](const Place &a, const Place &b) { return a.score > b.score; });
    cv::Mat cleared(score.size(), CV_8U, cv::Scalar(0));
    std::vector<LayoutBox> found;
    const cv::Vec3d markColour = colourIn(maps.lab, mark);
    for (const Place &p : places) {
        if (cleared.at<uchar>(p.at))
            continue;
        const cv::Rect2d box(p.at.x, p.at.y, w, h);
        cleared(cv::Rect(p.at.x - w * 7 / 10, p.at.y - h * 7 / 10, w * 7 / 5 + 1, h * 7 / 5 + 1)
                & cv::Rect(cv::Point(), score.size()))
            .setTo(1);
        if (meanInCovered(maps, box) < 0.95 || (box & cv::Rect2d(mark)).area() > 0.25 * box.area())
            continue;
        if (cv::norm(colourIn(maps.lab, box) - markColour) > kColourSlack * kMinColourSpread)
            continue;
        found.push_back({box, std::min(1.0, p.score / own.first)});
    }
    return found;
}

// Where a window's edges lie along one profile across it (the window the
// high side): the half-way crossings between its peak inside the mark and the
// wall's level on either side, which is where a blurred edge of a small
// window lies. False when the profile shows no window.
bool edgesOnProfile(const std::vector<double> &p, int from, int to, double *low, double *high)
{
    const int n = int(p.size());
    if (to <= from || from < 0 || to > n)
        return false;
    const int peak = int(std::max_element(p.begin() + from, p.begin() + to) - p.begin());
    const double before = *std::min_element(p.begin(), p.begin() + peak + 1);
    const double after = *std::min_element(p.begin() + peak, p.end());
    auto crossing = [&](int step, double base) {
        const double half = 0.5 * (p[std::size_t(peak)] + base);
        for (int i = peak; i + step >= 0 && i + step < n; i += step)
            if (p[std::size_t(i + step)] < half) // between i and i + step
                return i + step * (p[std::size_t(i)] - half) / (p[std::size_t(i)] - p[std::size_t(i + step)]);
        return double(step < 0 ? 0 : n - 1);
    };
    *low = crossing(-1, before) + 0.5;
    *high = crossing(1, after) + 0.5;
    return *high - *low >= 1.0;
}

// A box fitted to the window in and around it on the lightness turned the
// window's way: its sides go where the lightness across the middle of the
// box crosses half way from the window to the wall, which is where a blurred
// edge lies. The fit stays within `reach` of the box's sides (a share of its
// size); a fit that keeps less than most of the box (one pane of a window
// with mullions) does not stand, and the box is returned as it was.
cv::Rect2d fittedBox(const cv::Mat &lightness, const cv::Rect2d &boxIn, double reach)
{
    const cv::Rect box(boxIn);
    const cv::Rect image(cv::Point(), lightness.size());
    const int dx = std::max(1, box.width / 2), dy = std::max(1, box.height / 2);
    const cv::Rect across = cv::Rect(box.x - dx, box.y + box.height / 4, box.width + 2 * dx, std::max(1, box.height / 2)) & image;
    const cv::Rect down = cv::Rect(box.x + box.width / 4, box.y - dy, std::max(1, box.width / 2), box.height + 2 * dy) & image;
    if (across.empty() || down.empty() || box.width < 2 || box.height < 2)
        return boxIn;
    cv::Mat columns, rows;
    cv::reduce(lightness(across), columns, 0, cv::REDUCE_AVG, CV_64F);
    cv::reduce(lightness(down), rows, 1, cv::REDUCE_AVG, CV_64F);
    double left, right, top, bottom;
    if (!edgesOnProfile(std::vector<double>(columns.begin<double>(), columns.end<double>()), box.x - across.x,
                        box.x + box.width - across.x, &left, &right)
        || !edgesOnProfile(std::vector<double>(rows.begin<double>(), rows.end<double>()), box.y - down.y,
                           box.y + box.height - down.y, &top, &bottom))
        return boxIn;
    const double rx = reach * box.width, ry = reach * box.height;
    const cv::Rect2d within(box.x - rx, box.y - ry, box.width + 2 * rx, box.height + 2 * ry);
    const cv::Rect2d fitted = cv::Rect2d(cv::Point2d(std::round(across.x + left), std::round(down.y + top)),
                                         cv::Point2d(std::round(across.x + right), std::round(down.y + bottom)))
                            & within;
    if (fitted.width < kMarkShrink * box.width || fitted.height < kMarkShrink * box.height)
        return boxIn;
    return fitted;
}

// The box of the window a user marked, fitted to the window inside it: a
// box drawn by hand is a little larger than the window (whole pixels of the
// photograph around a window of a few), and its repeats take its size.
cv::Rect fittedMark(const LayoutMaps &maps, const cv::Rect &mark)
{
    return cv::Rect(fittedBox(lightnessLike(maps, mark), cv::Rect2d(mark), 0.0));
}

// Places that stand out from the wall as the marked window does, on the
// windowness map and on the lightness turned the mark's way.
std::vector<LayoutBox> standingOutLike(const LayoutMaps &maps, const cv::Rect &mark)
{
    std::vector<LayoutBox> found{{cv::Rect2d(mark), 1.0}};
    std::vector<LayoutBox> more = standingOutOn(maps, maps.windowness, mark, kMarkedLike, 0.08);
    for (const LayoutBox &b : standingOutOn(maps, lightnessLike(maps, mark), mark, kMarkedLike, kMinLightness))
        more.push_back(b);
    std::stable_sort(more.begin(), more.end(), [](const LayoutBox &a, const LayoutBox &b) { return a.score > b.score; });
    for (const LayoutBox &b : more) {
        const bool apart = std::none_of(found.begin(), found.end(), [&](const LayoutBox &f) {
            return (f.box & b.box).area() > 0.25 * b.box.area();
        });
        if (apart)
            found.push_back(b);
    }
    return found;
}

} // namespace

namespace {

// The repeats of a window whose box is already fitted to it, the window
// first. candidates: the facade's candidate blobs, which do not hang on the
// window.
std::vector<LayoutBox> repeatsOfFitted(const LayoutMaps &maps, const std::vector<LayoutBox> &candidates,
                                       const cv::Rect &mark)
{
    // Clean blobs first; then places that stand out as the marked window
    // does, where they line up with a window already found (a window whose
    // blob ran into its frame or its neighbour's).
    std::vector<LayoutBox> found = blobsLike(maps, candidates, mark);
    BoxIndex index(found);
    for (const LayoutBox &b : standingOutLike(maps, mark)) {
        const double cx = b.box.x + 0.5 * b.box.width, cy = b.box.y + 0.5 * b.box.height;
        const bool taken = index.anyDown(cy, 0.5 * (b.box.height + index.maxHeight()), [&](const LayoutBox &f) {
            return (f.box & b.box).area() > 0.25 * std::min(f.box.area(), b.box.area());
        });
        const bool inLine =
            index.anyDown(cy, kAlignShare * std::max(b.box.height, index.maxHeight()),
                          [&](const LayoutBox &f) { return sameRow(f, b); })
            || index.anyAcross(cx, kAlignShare * std::max(b.box.width, index.maxWidth()),
                               [&](const LayoutBox &f) { return aligned(f, b); });
        if (!taken && inLine) {
            found.push_back(b);
            index.add(found.size() - 1);
        }
    }
    snapToLines(found);
    found.front() = LayoutBox{cv::Rect2d(mark), 1.0};
    return found;
}

} // namespace

std::vector<LayoutBox> repeatsOfWindow(const LayoutMaps &maps, const cv::Rect &marked)
{
    const cv::Rect clipped = marked & cv::Rect(cv::Point(), maps.windowness.size());
    if (clipped.width < 2 || clipped.height < 2)
        return {};
    return repeatsOfFitted(maps, candidateBlobs(maps), fittedMark(maps, clipped));
}


namespace {

// Typical windows of a fine lattice: of boxes a share of the period in
// size, darker or lighter than the wall, the kind that stands out most on
// the whole; of its places that stand out, not the clearest (its repeats
// must stand out nearly as much, which few would) but the middle one of
// how much they stand out, then those at the upper and the lower quarter:
// real windows differ (curtains, reflections), and which of them finds the
// most repeats cannot be told from the seed alone. None when none stands out.
std::vector<cv::Rect> seedsOfPeriod(const LayoutMaps &maps, const cv::Size2d &period)
{
    const cv::Mat lightness = lightnessOf(maps);
    const cv::Mat inverse = 1.0 - lightness;
    // A seed need not sit exactly on its window: fitting moves it there.
    const int step = std::max(1, int(std::min(period.width, period.height) / 4.0));
    std::vector<std::pair<double, cv::Rect>> bestPeaks;
    double bestTotal = 0.0;
    const cv::Mat *bestTurned = &inverse;
    for (const cv::Mat *map : {&inverse, &lightness}) {
        const BoxSums sums(*map);
        for (const double across : kSeedShares)
            for (const double down : kSeedShares) {
                const int w = std::max(2, int(std::lround(across * period.width)));
                const int h = std::max(2, int(std::lround(down * period.height)));
                // The best place in each cell of the period's size.
                std::vector<std::pair<double, cv::Rect>> peaks;
                double total = 0.0;
                for (int cy = 0; cy + h <= map->rows; cy += int(period.height))
                    for (int cx = 0; cx + w <= map->cols; cx += int(period.width)) {
                        std::pair<double, cv::Rect> peak{kMinLightness, cv::Rect()};
                        for (int y = cy; y < cy + int(period.height) && y + h <= map->rows; y += step)
                            for (int x = cx; x < cx + int(period.width) && x + w <= map->cols; x += step) {
                                const double s = sums.standOut(x, y, w, h).first;
                                if (s > peak.first && meanInCovered(maps, cv::Rect2d(x, y, w, h)) >= 0.95)
                                    peak = {s, cv::Rect(x, y, w, h)};
                            }
                        if (!peak.second.empty()) {
                            peaks.push_back(peak);
                            total += peak.first;
                        }
                    }
                if (total > bestTotal) {
                    bestTotal = total;
                    bestTurned = map;
                    bestPeaks.swap(peaks);
                }
            }
    }
    if (bestPeaks.empty())
        return {};
    std::sort(bestPeaks.begin(), bestPeaks.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    // The window's size: the median of the clearest quarter's boxes, each
    // fitted to its window (larger or smaller than the share guessed).
    const cv::Mat turned = bestTurned == &inverse ? inverse : lightness;
    std::vector<double> widths, heights;
    for (std::size_t i = 0; i <= bestPeaks.size() / 4; ++i) {
        const cv::Rect2d f = fittedBox(turned, cv::Rect2d(bestPeaks[i].second), kSeedReach);
        widths.push_back(f.width);
        heights.push_back(f.height);
    }
    const double w = medianOf(widths), h = medianOf(heights);
    std::vector<cv::Rect> seeds;
    for (const std::size_t at : {bestPeaks.size() / 2, bestPeaks.size() / 4, 3 * bestPeaks.size() / 4}) {
        const cv::Rect2d typical = fittedBox(turned, cv::Rect2d(bestPeaks[at].second), kSeedReach);
        const cv::Rect seed = cv::Rect(int(std::lround(typical.x + 0.5 * typical.width - 0.5 * w)),
                                       int(std::lround(typical.y + 0.5 * typical.height - 0.5 * h)),
                                       int(std::lround(w)), int(std::lround(h)))
                            & cv::Rect(cv::Point(), maps.lab.size());
        if (!seed.empty() && std::find(seeds.begin(), seeds.end(), seed) == seeds.end())
            seeds.push_back(seed);
    }
    return seeds;
}

} // namespace

std::vector<LayoutBox> repeatsOfPeriod(const LayoutMaps &maps, const cv::Size2d &period, std::size_t enough)
{
    if (period.width < 2.0 || period.height < 2.0)
        return {};
    // The next seed unless the last one found plenty: each search reads the
    // whole enlarged facade. A seed whose light differs from most windows'
    // (the ground floor's, the row under the roof) finds enough to pass, and
    // still only a part of the lattice.
    std::vector<LayoutBox> found;
    const std::vector<LayoutBox> candidates = candidateBlobs(maps);
    for (const cv::Rect &seed : seedsOfPeriod(maps, period)) {
        std::vector<LayoutBox> repeats = repeatsOfFitted(maps, candidates, seed);
        if (repeats.size() > found.size())
            found.swap(repeats);
        if (double(found.size()) >= kPlentyRepeats * double(enough))
            break;
    }
    if (found.size() < std::size_t(kMinRepeats))
        return {};
    return found;
}

} // namespace FacadeImport
