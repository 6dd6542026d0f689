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
        const double aspect = b.height / b.width;
        if (b.width < 3 || b.height < 3 || b.width > kMaxWidthShare * size.width || b.height > kMaxHeightShare * size.height)
            continue;
        if (fill < kMinBlobFill || aspect < 0.2 || aspect > 4.5)
            continue;
        const double contrast = ringContrast(maps, b);
        if (contrast < kMinContrast || meanInCovered(maps, b) < 0.95)
            continue;
        out.push_back({b, std::min(1.0, contrast * fill)});
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
    return kept;
}

bool sameSize(const LayoutBox &a, const LayoutBox &b)
{
    return std::abs(std::log(a.box.width / b.box.width)) < kSizeSlack
        && std::abs(std::log(a.box.height / b.box.height)) < kSizeSlack;
}

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
    std::vector<int> mates(n, 0);
    std::vector<double> weight(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        weight[i] = blobs[i].score * std::sqrt(blobs[i].box.area());
        for (std::size_t j = 0; j < n; ++j)
            if (j != i && sameSize(blobs[i], blobs[j]) && (sameRow(blobs[i], blobs[j]) || aligned(blobs[i], blobs[j]))) {
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
            if (sameSize(blobs[i], blobs[best]))
                mates[i] = std::max(mates[i], 1);
    std::vector<double> areas;
    std::vector<cv::Vec3d> colours;
    for (std::size_t i = 0; i < n; ++i)
        if (mates[i] > 0 && sameSize(blobs[i], blobs[best])) {
            areas.push_back(blobs[i].box.area());
            colours.push_back(colourIn(maps.lab, blobs[i].box));
        }
    const double mainArea = medianOf(areas);
    std::vector<double> channel[3];
    for (const cv::Vec3d &c : colours)
        for (int k = 0; k < 3; ++k)
            channel[k].push_back(c[k]);
    const cv::Vec3d mainColour(medianOf(channel[0]), medianOf(channel[1]), medianOf(channel[2]));
    // The main kind first, then the others that do not overlap a window
    // already kept (a piece of one, or one and its neighbour run together).
    for (const bool mainKind : {true, false})
        for (std::size_t i = 0; i < n; ++i) {
            if (mates[i] == 0 || blobs[i].box.area() < kMinKindArea * mainArea
                || sameSize(blobs[i], blobs[best]) != mainKind)
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
    const std::size_t found = boxes.size();
    for (const auto &row : linesOf(boxes, true))
        for (const auto &col : linesOf(boxes, false)) {
            const cv::Rect2d cell(col.first, row.first, col.second, row.second);
            // Only where windows of this size stand in the row and in the column.
            const auto likeCell = [&](const LayoutBox &b) {
                return std::abs(std::log(b.box.width / cell.width)) < kSizeSlack
                    && std::abs(std::log(b.box.height / cell.height)) < kSizeSlack;
            };
            const auto inRow = [&](const LayoutBox &b) { return likeCell(b) && std::abs(b.box.y - cell.y) < 0.3 * cell.height; };
            const auto inCol = [&](const LayoutBox &b) { return likeCell(b) && std::abs(b.box.x - cell.x) < 0.3 * cell.width; };
            const auto overlaps = [&](const LayoutBox &b) { return (b.box & cell).area() > 0.2 * cell.area(); };
            const auto firstFound = boxes.begin(), lastFound = boxes.begin() + std::ptrdiff_t(found);
            if (std::none_of(firstFound, lastFound, inRow) || std::none_of(firstFound, lastFound, inCol)
                || std::any_of(boxes.begin(), boxes.end(), overlaps))
                continue;
            if (meanInCovered(maps, cell) < 0.95)
                continue;
            const double fill = meanIn(maps.windowness, cell);
            if (fill < std::max(kMinFill, 0.7 * usualFill) || ringContrast(maps, cell) < kMinContrast)
                continue;
            if (cv::norm(colourIn(maps.lab, cell) - usualColour) > kColourSlack * kMinColourSpread)
                continue;
            boxes.push_back({cell, std::min(1.0, fill)});
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
std::vector<LayoutBox> blobsLike(const LayoutMaps &maps, const cv::Rect &mark)
{
    const LayoutBox marked{cv::Rect2d(mark), 1.0};
    std::vector<LayoutBox> blobs{marked};
    for (const LayoutBox &b : candidateBlobs(maps))
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

std::vector<LayoutBox> standingOutLike(const LayoutMaps &maps, const cv::Rect &marked)
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
    // A window stands out from the wall on each of its four sides; a band
    // across the facade (a string course) only above and below it.
    auto standOut = [&](int x, int y) { // x, y: the box's corner
        const auto in = sumOf(x, y, x + w, y + h);
        if (in.second < 1.0)
            return std::make_pair(0.0, 0.0);
        const double fill = in.first / in.second;
        const std::pair<double, double> sides[4] = {sumOf(x, y - my, x + w, y), sumOf(x, y + h, x + w, y + h + my),
                                                    sumOf(x - mx, y, x, y + h), sumOf(x + w, y, x + w + mx, y + h)};
        double least = 1.0;
        for (const auto &side : sides)
            if (side.second >= 1.0)
                least = std::min(least, fill - side.first / side.second);
        return std::make_pair(least, fill);
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
        if (cv::norm(colourIn(maps.lab, box) - markColour) > kColourSlack * kMinColourSpread)
            continue;
        found.push_back({box, std::min(1.0, best / std::max(1e-6, own.first))});
    }
    return found;
}

} // namespace

std::vector<LayoutBox> repeatsOfWindow(const LayoutMaps &maps, const cv::Rect &marked)
{
    const cv::Rect mark = marked & cv::Rect(cv::Point(), maps.windowness.size());
    if (mark.width < 2 || mark.height < 2)
        return {};
    // Clean blobs first; then places that stand out as the marked window
    // does, where they line up with a window already found (a window whose
    // blob ran into its frame or its neighbour's).
    std::vector<LayoutBox> found = blobsLike(maps, mark);
    for (const LayoutBox &b : standingOutLike(maps, mark)) {
        const bool taken = std::any_of(found.begin(), found.end(), [&](const LayoutBox &f) {
            return (f.box & b.box).area() > 0.25 * std::min(f.box.area(), b.box.area());
        });
        const bool inLine = std::any_of(found.begin(), found.end(), [&](const LayoutBox &f) {
            return sameRow(f, b) || aligned(f, b);
        });
        if (!taken && inLine)
            found.push_back(b);
    }
    snapToLines(found);
    found.front() = LayoutBox{cv::Rect2d(mark), 1.0};
    return found;
}

} // namespace FacadeImport
