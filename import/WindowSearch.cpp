#include "WindowSearch.h"

#include "internal/CvImage.h"
#include "internal/Guard.h"
#include "internal/Lattice.h"
#include "internal/Median.h"
#include "internal/FacadePeriod.h"
#include "internal/WindowLayout.h"
#include "internal/WallMap.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace FacadeImport {

namespace {

constexpr int kMinMarked = 2;      // a marked window is at least this many pixels on a side
constexpr int kWorkSide = 800;      // the search runs on a copy at most this large
constexpr int kMinWorkWindow = 8;  // a marked window is read at least this large
constexpr double kMaxEnlargement = 4.0; // enlarging the facade at most this much
constexpr int kMaxWorkSide = 2400; // to at most this many pixels on a side
constexpr int kCoarseSide = 400;    // and chooses its window on one at most this large
constexpr float kGoodMatch = 0.7f;  // correlation of a good match
constexpr int kMaxCandidates = 24;  // candidate windows tried as the seed
constexpr int kMinMatches = 3;      // a seed must match at least this often, itself included
constexpr double kConsensus = 0.85; // share of windows in which a pixel must stand out to be window
constexpr double kFinePeriod = 2.0 * kMinWorkWindow; // a lattice this fine (work pixels) is too fine for blobs
constexpr int kPeriodSide = 640;    // its period is read on a copy at most this large
constexpr double kTinyShare = 0.025; // windows this share of the facade's width are of a dense lattice
constexpr double kSeedShare = 0.5;   // a fine lattice's windows are about this share of its period
constexpr int kMinLayoutRepeats = 3; // blobs that found fewer windows found none
constexpr double kMinFilledCells = 0.2; // a fine lattice fills at least this share of its cells
constexpr double kMarkKept = 0.7;  // a fitted mark this close to the drawn one stays as drawn
constexpr double kCrowded = 0.9;    // windows this share of their size apart overlap
constexpr double kSlid = 0.2;       // a lattice box this share of its size off its window slid there
constexpr double kSameWindow = 0.3; // two boxes overlapping this much (IoU) show one window
constexpr double kConfirmed = 0.8;  // share of the lattice's windows the layout search must show
constexpr double kConfirmOverlap = 0.4; // and how much (IoU) it must show each: a pane of the layout's
                                        // window (a third or half of it) is not that window
constexpr double kOwnKind = 0.3;     // windows this close in size (log) are of the lattice's kind
constexpr double kMissedShare = 0.2; // a lattice missing more than this share of its kind is not the finer
constexpr double kInLine = 0.35;      // centres this share of a window apart stand in one row or column
constexpr double kLatticeShare = 0.5; // and the least share of the layout's windows the lattice holds
constexpr const char *kNoWindows = "No repeated windows were found.";

// One resolution of the facade with what the search needs of it.
struct Level {
    double scale = 1.0; // pixels of this level per rectified pixel
    cv::Mat gray;       // CV_32F lightness
    cv::Mat mask;       // CV_8U: stands out from the wall
};

// inside: CV_8U of rgb's size, non-zero where the photograph covers the
// facade; empty when it covers all of it. Nothing stands out beyond it.
Level makeLevel(const cv::Mat &rgb, double scale, const cv::Mat &inside)
{
    Level level;
    level.scale = scale;
    cv::Mat small = rgb;
    if (scale < 1.0)
        cv::resize(rgb, small, cv::Size(), scale, scale, cv::INTER_AREA);
    level.mask = standOutOfWall(small, &level.gray);
    if (!inside.empty()) {
        cv::Mat covered;
        cv::resize(inside, covered, level.mask.size(), 0, 0, cv::INTER_NEAREST);
        level.mask.setTo(0, covered == 0);
    }
    return level;
}

// The coverage mask as a matrix of the facade's size; empty when it is
// missing or of another size (then the whole facade counts).
cv::Mat insideOf(const QImage &inside, const cv::Size &size)
{
    if (inside.isNull() || inside.width() != size.width || inside.height() != size.height)
        return cv::Mat();
    const QImage gray = inside.convertToFormat(QImage::Format_Grayscale8);
    cv::Mat view(gray.height(), gray.width(), CV_8UC1, const_cast<uchar *>(gray.constBits()),
                 std::size_t(gray.bytesPerLine()));
    return view.clone();
}

cv::Rect scaled(const cv::Rect &r, double s)
{
    const int x0 = int(std::lround(r.x * s));
    const int y0 = int(std::lround(r.y * s));
    const int x1 = int(std::lround((r.x + r.width) * s));
    const int y1 = int(std::lround((r.y + r.height) * s));
    return cv::Rect(x0, y0, std::max(1, x1 - x0), std::max(1, y1 - y0));
}

// Blobs that may be windows: not tiny, not a band across the facade, about
// as full as a rectangle; the largest first.
std::vector<cv::Rect> candidateBoxes(const cv::Mat &mask)
{
    cv::Mat labels, stats, centroids;
    const int n = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S);
    std::vector<std::pair<int, cv::Rect>> boxes;
    for (int i = 1; i < n; ++i) {
        const cv::Rect b(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                         stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT));
        const int area = stats.at<int>(i, cv::CC_STAT_AREA);
        if (b.width < std::max(5, mask.cols / 80) || b.height < std::max(7, mask.rows / 60))
            continue;
        if (b.width > mask.cols * 3 / 10 || b.height > mask.rows * 4 / 10)
            continue;
        const double aspect = double(b.height) / b.width;
        if (aspect < 0.4 || aspect > 5.0 || area < 0.4 * b.area())
            continue;
        boxes.push_back({area, b});
    }
    std::sort(boxes.begin(), boxes.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    std::vector<cv::Rect> out;
    for (std::size_t i = 0; i < boxes.size() && int(i) < kMaxCandidates; ++i)
        out.push_back(boxes[i].second);
    return out;
}

// The good matches of a window, with some wall around it so that its outline
// against the wall counts too, as the centres of the windows they find.
struct Matches {
    std::vector<cv::Point2d> centres;
    std::vector<float> scores;
    cv::Mat correlation; // per position of the template's corner
    cv::Point toCentre;  // from a template corner to its window's centre
};

Matches matchesOf(const Level &level, const cv::Rect &box)
{
    Matches m;
    const cv::Size image = level.gray.size();
    const int mx = std::max(1, box.width / 4);
    const int my = std::max(1, box.height / 8);
    const cv::Rect templ = cv::Rect(box.x - mx, box.y - my, box.width + 2 * mx, box.height + 2 * my)
                         & cv::Rect(cv::Point(), image);
    if (templ.width >= image.width || templ.height >= image.height || templ.area() == 0)
        return m;
    cv::Scalar mean, dev;
    cv::meanStdDev(level.gray(templ), mean, dev);
    if (dev[0] < 1.0)
        return m; // a flat patch matches anything
    cv::matchTemplate(level.gray, level.gray(templ), m.correlation, cv::TM_CCOEFF_NORMED);
    m.toCentre = cv::Point(box.x - templ.x + box.width / 2, box.y - templ.y + box.height / 2);

    // Local maxima at or above the bar, strongest first, none within most of
    // a template of a stronger one.
    cv::Mat dilated;
    cv::dilate(m.correlation, dilated, cv::Mat());
    std::vector<std::pair<float, cv::Point>> peaks;
    for (int y = 0; y < m.correlation.rows; ++y) {
        const float *r = m.correlation.ptr<float>(y);
        const float *d = dilated.ptr<float>(y);
        for (int x = 0; x < m.correlation.cols; ++x)
            if (r[x] >= kGoodMatch && r[x] >= d[x] && std::isfinite(r[x]))
                peaks.push_back({r[x], cv::Point(x, y)});
    }
    std::sort(peaks.begin(), peaks.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    const int sx = std::max(1, templ.width * 6 / 10);
    const int sy = std::max(1, templ.height * 6 / 10);
    std::vector<cv::Point> kept;
    for (const auto &peak : peaks) {
        const auto score = peak.first;
        const cv::Point p = peak.second; // named, not a structured binding: lambdas capture it
        const bool near = std::any_of(kept.begin(), kept.end(), [&](const cv::Point &k) {
            return std::abs(k.x - p.x) < sx && std::abs(k.y - p.y) < sy;
        });
        if (near)
            continue;
        kept.push_back(p);
        m.centres.push_back(cv::Point2d(p.x + box.x - templ.x + 0.5 * box.width, p.y + box.y - templ.y + 0.5 * box.height));
        m.scores.push_back(score);
    }
    return m;
}

// The most salient repeated rectangle: the candidate whose matches make up
// the lattice with the most windows (ties: the better matches).
bool chooseSeed(const Level &coarse, cv::Rect *seed)
{
    int bestWindows = 1;
    double bestScore = 0.0;
    for (const cv::Rect &box : candidateBoxes(coarse.mask)) {
        const Matches m = matchesOf(coarse, box);
        if (int(m.centres.size()) < kMinMatches)
            continue;
        const WindowShape shape = windowShapeAt(coarse.mask, m.centres.front(), box.size());
        const int windows = latticeFromMatches(coarse.mask, m.centres, shape).windows();
        double score = 0.0;
        for (float s : m.scores)
            score += s;
        if (windows > bestWindows || (windows == bestWindows && score > bestScore)) {
            bestWindows = windows;
            bestScore = score;
            *seed = box;
        }
    }
    return bestScore > 0.0;
}

// The windows' common extent around their cell centres: the part that stands
// out from the wall in nearly every window. Blinds, curtains and shutter
// leaves folded back beside some windows but not others drop out.
cv::Rect2d commonExtent(const cv::Mat &mask, const std::vector<cv::Point2d> &cells, const cv::Size &size)
{
    const cv::Rect2d fallback(-0.5 * size.width, -0.5 * size.height, size.width, size.height);
    if (cells.size() < 2)
        return fallback;
    const int ax = size.width * 7 / 10, ay = size.height * 4 / 10; // room around the expected window
    const cv::Size area(size.width + 2 * ax, size.height + 2 * ay);
    cv::Mat votes = cv::Mat::zeros(area, CV_32F);
    const cv::Rect image(cv::Point(), mask.size());
    for (const cv::Point2d &c : cells) {
        const cv::Rect from(int(std::lround(c.x - 0.5 * size.width)) - ax, int(std::lround(c.y - 0.5 * size.height)) - ay,
                            area.width, area.height);
        const cv::Rect inside = from & image;
        if (inside.area() == 0)
            continue;
        cv::Mat crop = cv::Mat::zeros(area, CV_32F);
        mask(inside).convertTo(crop(inside - from.tl()), CV_32F, 1.0 / 255.0);
        votes += crop;
    }
    const cv::Mat common = votes >= float(kConsensus * double(cells.size()));
    cv::Mat labels;
    cv::connectedComponents(common, labels, 4, CV_32S);
    const int centre = labels.at<int>(ay + size.height / 2, ax + size.width / 2);
    if (centre <= 0)
        return fallback;
    const cv::Rect box = cv::boundingRect(labels == centre);
    return cv::Rect2d(box.x - ax - 0.5 * size.width, box.y - ay - 0.5 * size.height, box.width, box.height);
}

std::vector<cv::Point2d> heldCells(const Lattice &lattice)
{
    std::vector<cv::Point2d> cells;
    for (std::size_t r = 0; r < lattice.rows.size(); ++r)
        for (std::size_t c = 0; c < lattice.cols.size(); ++c)
            if (lattice.held[r][c])
                cells.push_back({lattice.cols[c], lattice.rows[r]});
    return cells;
}

// Whether boxes of the given size centred on the cells would overlap (by
// more than a pixel's slack at their sides).
bool crowded(std::vector<cv::Point2d> cells, const cv::Size &size)
{
    std::sort(cells.begin(), cells.end(), [](const cv::Point2d &a, const cv::Point2d &b) { return a.x < b.x; });
    const double w = kCrowded * size.width, h = kCrowded * size.height;
    for (std::size_t i = 0; i < cells.size(); ++i)
        for (std::size_t j = i + 1; j < cells.size() && cells[j].x - cells[i].x < w; ++j)
            if (std::abs(cells[j].y - cells[i].y) < h)
                return true;
    return false;
}

// A marked window that its neighbours resemble only in part (shutter leaves
// open over it, a blind down, a curtain) matches few of them. The lattice of
// the most salient repeated rectangle is then taken when it holds more
// windows and one of its cells lies on the marked window: its cells, moved so
// that this one falls on the marked window's centre.
void preferSalientLattice(const cv::Mat &rgb, const cv::Mat &inside, const Level &work, const cv::Rect &marked,
                          std::vector<cv::Point2d> &cells)
{
    const Level coarse = makeLevel(rgb, std::min(1.0, double(kCoarseSide) / std::max(rgb.cols, rgb.rows)), inside);
    cv::Rect coarseSeed;
    if (!chooseSeed(coarse, &coarseSeed))
        return;
    const cv::Rect other = scaled(coarseSeed, work.scale / coarse.scale) & cv::Rect(cv::Point(), work.gray.size());
    const Matches m = matchesOf(work, other);
    const cv::Point2d otherCentre(other.x + 0.5 * other.width, other.y + 0.5 * other.height);
    const std::vector<cv::Point2d> found =
        heldCells(latticeFromMatches(work.mask, m.centres, windowShapeAt(work.mask, otherCentre, other.size())));
    if (found.size() <= cells.size())
        return;
    const cv::Point2d centre(marked.x + 0.5 * marked.width, marked.y + 0.5 * marked.height);
    const auto nearest = std::min_element(found.begin(), found.end(), [&](const cv::Point2d &a, const cv::Point2d &b) {
        return cv::norm(a - centre) < cv::norm(b - centre);
    });
    const cv::Point2d shift = centre - *nearest;
    if (std::abs(shift.x) > 0.5 * marked.width || std::abs(shift.y) > 0.5 * marked.height)
        return;
    // Windows of the marked size cannot stand closer than their size: a
    // lattice that fine is of something smaller (the panes of a window).
    if (crowded(found, marked.size()))
        return;
    cells.clear();
    for (const cv::Point2d &c : found)
        cells.push_back(c + shift);
}

// Why a marked window cannot lead the search, or an empty string.
QString markedRefusal(const QRect &marked, const QSize &size)
{
    if (marked.isNull())
        return QString();
    if (!QRect(QPoint(0, 0), size).contains(marked))
        return QString("The marked window must lie inside the %1 x %2 facade image.").arg(size.width()).arg(size.height());
    if (marked.width() < kMinMarked || marked.height() < kMinMarked)
        return QString("The marked window must be at least %1 x %1 pixels of the facade image.").arg(kMinMarked);
    return QString();
}

// The seed on the work level: the marked window, or the most salient
// repeated rectangle. False when nothing repeats.
bool seedOn(const cv::Mat &rgb, const cv::Mat &inside, const Level &work, const QRect &marked, cv::Rect *seed)
{
    if (!marked.isNull()) {
        *seed = scaled(cv::Rect(marked.x(), marked.y(), marked.width(), marked.height()), work.scale);
    } else {
        const int side = std::max(rgb.cols, rgb.rows);
        const Level coarse = makeLevel(rgb, std::min(1.0, double(kCoarseSide) / side), inside);
        cv::Rect coarseSeed;
        if (!chooseSeed(coarse, &coarseSeed))
            return false;
        *seed = scaled(coarseSeed, work.scale / coarse.scale);
    }
    *seed &= cv::Rect(cv::Point(), work.gray.size());
    return true;
}

// The box of each cell round its centre: the marked window's own size;
// otherwise what the windows share, but never more than the spacing of the
// lattice, so that neighbours cannot overlap.
cv::Rect2d cellExtent(const Level &work, const Lattice &lattice, const std::vector<cv::Point2d> &cells,
                      const cv::Rect &seed, bool marked)
{
    const cv::Rect2d own(-0.5 * seed.width, -0.5 * seed.height, seed.width, seed.height);
    if (marked)
        return own;
    double stepX = 1e300, stepY = 1e300;
    for (std::size_t c = 1; c < lattice.cols.size(); ++c)
        stepX = std::min(stepX, lattice.cols[c] - lattice.cols[c - 1]);
    for (std::size_t r = 1; r < lattice.rows.size(); ++r)
        stepY = std::min(stepY, lattice.rows[r] - lattice.rows[r - 1]);
    return commonExtent(work.mask, cells, seed.size())
        & cv::Rect2d(-0.5 * stepX + 0.5, -0.5 * stepY + 0.5, stepX - 1.0, stepY - 1.0);
}

// The cells as windows of the rectified facade, each scored by the
// correlation at its place (the grid file's score).
std::vector<PlacedWindow> placedCells(const std::vector<cv::Point2d> &cells, const cv::Rect2d &extent,
                                      const Matches &m, double inv)
{
    std::vector<PlacedWindow> placed;
    for (const cv::Point2d &c : cells) {
        const double x0 = (c.x + extent.x) * inv;
        const double y0 = (c.y + extent.y) * inv;
        const int x = int(std::lround(x0));
        const int y = int(std::lround(y0));
        const int w = int(std::lround(x0 + extent.width * inv)) - x;
        const int h = int(std::lround(y0 + extent.height * inv)) - y;
        const cv::Point corner(int(std::lround(c.x)) - m.toCentre.x, int(std::lround(c.y)) - m.toCentre.y);
        double score = 0.0;
        if (!m.correlation.empty() && corner.x >= 0 && corner.y >= 0 && corner.x < m.correlation.cols
            && corner.y < m.correlation.rows)
            score = std::clamp(double(m.correlation.at<float>(corner)), 0.0, 1.0);
        placed.push_back({QRect(x, y, w, h), score});
    }
    return placed;
}

WindowSearchResult latticeSearch(const QImage &rectified, const QRect &marked, const QImage &insideImage)
{
    WindowSearchResult result;
    const QString none(kNoWindows);
    if (rectified.isNull()) {
        result.status = ImportStatus::failure(ImportError::NoWindows, none);
        return result;
    }
    const QString refusal = markedRefusal(marked, rectified.size());
    if (!refusal.isEmpty()) {
        result.status = ImportStatus::failure(ImportError::BadWindow, refusal);
        return result;
    }
    const cv::Mat rgb = toMat(rectified);
    const cv::Mat inside = insideOf(insideImage, rgb.size());
    const Level work = makeLevel(rgb, std::min(1.0, double(kWorkSide) / std::max(rgb.cols, rgb.rows)), inside);
    cv::Rect seed;
    if (!seedOn(rgb, inside, work, marked, &seed)) {
        result.status = ImportStatus::failure(ImportError::NoWindows, none);
        return result;
    }
    const Matches m = matchesOf(work, seed);
    const double inv = 1.0 / work.scale;
    result.seed = QRect(int(std::lround(seed.x * inv)), int(std::lround(seed.y * inv)),
                        int(std::lround(seed.width * inv)), int(std::lround(seed.height * inv)));
    result.matches = int(m.centres.size());

    const cv::Point2d seedCentre(seed.x + 0.5 * seed.width, seed.y + 0.5 * seed.height);
    const Lattice lattice = latticeFromMatches(work.mask, m.centres, windowShapeAt(work.mask, seedCentre, seed.size()));
    std::vector<cv::Point2d> cells = heldCells(lattice);
    if (!marked.isNull())
        preferSalientLattice(rgb, inside, work, seed, cells);
    // A marked window stands even when it repeats nowhere.
    if (cells.empty() && !marked.isNull())
        cells.push_back(seedCentre);
    if (cells.empty()) {
        result.status = ImportStatus::failure(ImportError::NoWindows, none);
        return result;
    }
    const cv::Rect2d extent = cellExtent(work, lattice, cells, seed, !marked.isNull());
    result.grid = arrangeWindows(placedCells(cells, extent, m, inv), rectified.size());
    if (result.grid.empty())
        result.status = ImportStatus::failure(ImportError::NoWindows, none);
    return result;
}

double overlapOf(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    const double shared = common.isEmpty() ? 0.0 : double(common.width()) * common.height();
    const double all = double(a.width()) * a.height() + double(b.width()) * b.height() - shared;
    return all > 0.0 ? shared / all : 0.0;
}

// The facade and the share of it the photograph covers, read at a scale.
struct ScaledFacade {
    cv::Mat rgb, inside;
};

ScaledFacade scaledFacade(const cv::Mat &rgb, const cv::Mat &inside, double scale)
{
    ScaledFacade out{rgb, inside};
    if (scale != 1.0) {
        cv::resize(rgb, out.rgb, cv::Size(), scale, scale, scale < 1.0 ? cv::INTER_AREA : cv::INTER_LINEAR);
        if (!inside.empty())
            cv::resize(inside, out.inside, out.rgb.size(), 0, 0, cv::INTER_NEAREST);
    }
    return out;
}

// The layout maps of the facade read at a scale.
LayoutMaps mapsAt(const cv::Mat &rgb, const cv::Mat &inside, double scale)
{
    const ScaledFacade s = scaledFacade(rgb, inside, scale);
    return layoutMapsOf(s.rgb, s.inside);
}

// The scale at which windows at least `least` pixels on a side at scale 1
// are read at least kMinWorkWindow large: windows of a few pixels (a
// distant, dense facade) are read enlarged, so that the smoothing keeps the
// wall between them.
double enlargedFor(double least, double scale, int side)
{
    if (least * scale >= kMinWorkWindow)
        return scale;
    return std::min({kMaxEnlargement, double(kMinWorkWindow) / least, double(kMaxWorkSide) / side});
}

// The windows of a lattice too fine for blobs (a distant, dense facade),
// from the facade's period, read enlarged; none where the facade shows no
// such lattice. scale: that of the maps; updated when windows are found.
// small: the facade as read at *scale.
std::vector<LayoutBox> fineLatticeWindows(const cv::Mat &rgb, const cv::Mat &inside, const ScaledFacade &small,
                                          double *scale)
{
    // The period from the facade as it is, not smoothed as the maps are, read
    // at a size that does not hang on the photograph's resolution: a fine
    // lattice is fine for its facade, not for its pixels.
    const double periodScale = std::min(*scale, double(kPeriodSide) / std::max(rgb.cols, rgb.rows));
    const ScaledFacade read = periodScale == *scale ? small : scaledFacade(rgb, inside, periodScale);
    cv::Mat grey;
    cv::cvtColor(read.rgb, grey, cv::COLOR_RGB2GRAY);
    grey.convertTo(grey, CV_32F, 1.0 / 255.0);
    const cv::Size2d period = facadePeriod(grey, read.inside);
    const double least = std::min(period.width, period.height);
    if (least <= 0.0 || least >= kFinePeriod)
        return {};
    const double enlarged = enlargedFor(kSeedShare * least / periodScale, *scale, std::max(rgb.cols, rgb.rows));
    const double k = enlarged / periodScale;
    // A fine texture (brick courses, stone, slats) repeats too, but few of
    // its cells hold a window-like box; a lattice of windows fills a fair
    // share of its cells.
    const double covered = inside.empty() ? double(rgb.total()) : double(cv::countNonZero(inside));
    const double cells = covered * periodScale * periodScale / (period.width * period.height);
    const std::size_t filled = std::size_t(std::ceil(kMinFilledCells * cells));
    std::vector<LayoutBox> found =
        repeatsOfPeriod(mapsAt(rgb, inside, enlarged), cv::Size2d(period.width * k, period.height * k), filled);
    if (found.size() < filled)
        return {};
    *scale = enlarged;
    return found;
}

// Whether the blobs are of a lattice's size of windows dozens across: a
// distant, dense facade, whose windows its period finds better than blobs,
// however many pixels they have.
bool tiny(const std::vector<LayoutBox> &boxes, const cv::Size &size)
{
    std::vector<double> widths;
    for (const LayoutBox &b : boxes)
        widths.push_back(b.box.width);
    return medianOf(std::move(widths)) < kTinyShare * size.width;
}

// Windows found without a mark: blobs that repeat; where blobs show no
// windows, or tiny ones, those of a lattice too fine for them when it holds
// more; tiny blobs without such a lattice are none. scale: that of the maps;
// updated when the windows come from enlarged ones.
std::vector<LayoutBox> unmarkedWindows(const cv::Mat &rgb, const cv::Mat &inside, double *scale)
{
    const ScaledFacade small = scaledFacade(rgb, inside, *scale);
    std::vector<LayoutBox> boxes = layoutWindows(layoutMapsOf(small.rgb, small.inside));
    const bool specks = !boxes.empty() && tiny(boxes, small.rgb.size());
    if (boxes.size() >= std::size_t(kMinLayoutRepeats) && !specks)
        return boxes;
    double fineScale = *scale;
    std::vector<LayoutBox> fine = fineLatticeWindows(rgb, inside, small, &fineScale);
    // Blobs that small and no fine lattice: the letters of a sign, the
    // specks of a texture.
    if (fine.empty())
        return specks ? std::vector<LayoutBox>() : boxes;
    if (fine.size() <= boxes.size())
        return boxes;
    *scale = fineScale;
    return fine;
}

// The windows the layout search finds (or the repeats of the marked one), in
// rectified pixels.
std::vector<PlacedWindow> layoutSearch(const cv::Mat &rgb, const cv::Mat &inside, const QRect &marked)
{
    const int side = std::max(rgb.cols, rgb.rows);
    double scale = std::min(1.0, double(kWorkSide) / side);
    std::vector<LayoutBox> boxes;
    if (marked.isNull()) {
        boxes = unmarkedWindows(rgb, inside, &scale);
    } else {
        scale = enlargedFor(std::min(marked.width(), marked.height()), scale, side);
        boxes = repeatsOfWindow(mapsAt(rgb, inside, scale),
                                scaled(cv::Rect(marked.x(), marked.y(), marked.width(), marked.height()), scale));
    }
    std::vector<PlacedWindow> placed;
    const double inv = 1.0 / scale;
    for (const LayoutBox &b : boxes) {
        const int x = int(std::lround(b.box.x * inv)), y = int(std::lround(b.box.y * inv));
        const int w = int(std::lround((b.box.x + b.box.width) * inv)) - x;
        const int h = int(std::lround((b.box.y + b.box.height) * inv)) - y;
        placed.push_back({QRect(x, y, w, h), b.score});
    }
    // The marked window stands as marked, unless it was fitted to a window
    // clearly smaller than the box drawn around it.
    if (!marked.isNull() && !placed.empty() && overlapOf(placed.front().rect, marked) >= kMarkKept)
        placed.front().rect = marked;
    return placed;
}

// Share of the windows of one set that a window of the other shows: covers
// most of it, not one pane.
double agreement(const std::vector<QRect> &of, const std::vector<QRect> &in)
{
    if (of.empty())
        return 0.0;
    int held = 0;
    for (const QRect &a : of)
        held += std::any_of(in.begin(), in.end(), [&](const QRect &b) { return overlapOf(a, b) >= kConfirmOverlap; });
    return double(held) / double(of.size());
}

// The grid's windows as rectangles, in its order.
std::vector<QRect> rectsOf(const WindowGrid &grid)
{
    std::vector<QRect> rects;
    for (const FacadeWindow &w : grid.windows)
        rects.push_back(QRect(w.x, w.y, w.width, w.height));
    return rects;
}

// Whether two windows are of one kind: close in width and in height.
bool sizeLike(const QRect &a, const QRect &b)
{
    return std::abs(std::log(double(a.width()) / b.width())) < kOwnKind
        && std::abs(std::log(double(a.height()) / b.height())) < kOwnKind;
}

// The lattice search places windows as its template shows them, to the
// pixel, where windows are alike (as the generator paints them); the layout
// search finds real windows that differ. Where both find the same windows,
// the lattice's boxes are the finer ones.
// layoutRows: the rows the layout's windows stand in.
bool latticeConfirmed(const WindowSearchResult &lattice, const std::vector<PlacedWindow> &layout, int layoutRows)
{
    if (!lattice.status.ok() || layout.size() < 2)
        return false;
    // Windows repeat up the facade: a lattice of one row is not the facade's
    // where the layout search finds several (the rest of its floors, whose
    // windows are a little taller, fell out of the template's match).
    if (lattice.grid.rows() < 2 && layoutRows >= 2)
        return false;
    const std::vector<QRect> a = rectsOf(lattice.grid);
    std::vector<QRect> b;
    for (const PlacedWindow &p : layout)
        b.push_back(p.rect);
    // The layout search may find more (a ground floor, a shopfront) than the
    // lattice's one kind; the lattice, the facade's main kind, must hold at
    // least half of them (a lattice of one pane in one row does not), and
    // miss few of its own kind (a row its template did not match).
    if (agreement(a, b) < kConfirmed || double(a.size()) < kLatticeShare * double(b.size()))
        return false;
    std::vector<double> widths, heights;
    for (const QRect &r : a) {
        widths.push_back(r.width());
        heights.push_back(r.height());
    }
    const QRect typical(0, 0, int(std::lround(medianOf(widths))), int(std::lround(medianOf(heights))));
    // Below the lattice is the ground floor, whose openings (doors, barred
    // or shop windows) a lattice of the floors above rightly leaves out.
    int bottom = 0;
    for (const QRect &r : a)
        bottom = std::max(bottom, r.bottom());
    int missed = 0;
    for (const QRect &r : b) {
        const bool held = std::any_of(a.begin(), a.end(), [&](const QRect &l) { return overlapOf(l, r) >= kSameWindow; });
        missed += !held && sizeLike(r, typical) && r.top() < bottom;
    }
    return double(missed) <= kMissedShare * double(a.size() + std::size_t(missed));
}

// A template that matches a window unlike the marked one (a curtain drawn
// in one but not the other) may slide part of the way off it, onto a pane
// and the wall beside it; the layout search's box of that window, of the
// same size, shows where it is. The box moves there; true when it did.
bool slidBack(QRect &box, const std::vector<PlacedWindow> &layout)
{
    const PlacedWindow *best = nullptr;
    double bestOverlap = kSameWindow;
    for (const PlacedWindow &l : layout) {
        const double o = overlapOf(box, l.rect);
        if (o >= bestOverlap) {
            bestOverlap = o;
            best = &l;
        }
    }
    if (!best || !sizeLike(box, best->rect))
        return false;
    const QPoint shift = best->rect.center() - box.center();
    if (std::abs(shift.x()) <= kSlid * box.width() && std::abs(shift.y()) <= kSlid * box.height())
        return false;
    box.translate(shift);
    return true;
}

// A confirmed lattice keeps its boxes (where the layout search finds its
// windows at another size, it saw more than the window: its shutters, its
// frame); the few windows of the lattice's kind that its template missed in
// its own rows and columns (a window at the facade's edge) join it.
void mergeLayout(WindowSearchResult &lattice, const std::vector<PlacedWindow> &layout, const QSize &size)
{
    std::vector<QRect> own = rectsOf(lattice.grid);
    std::vector<PlacedWindow> placed;
    bool moved = false;
    for (std::size_t i = 0; i < own.size(); ++i) {
        moved = slidBack(own[i], layout) || moved;
        placed.push_back({own[i], lattice.grid.windows[i].aux});
    }
    const std::size_t before = placed.size();
    for (const PlacedWindow &l : layout) {
        const bool apart = std::none_of(placed.begin(), placed.end(),
                                        [&](const PlacedWindow &p) { return p.rect.intersects(l.rect); });
        const bool ownKind = std::any_of(own.begin(), own.end(), [&](const QRect &r) { return sizeLike(r, l.rect); });
        const QPointF c = QRectF(l.rect).center();
        const bool inRow = std::any_of(own.begin(), own.end(), [&](const QRect &r) {
            return std::abs(QRectF(r).center().y() - c.y()) < kInLine * r.height();
        });
        const bool inColumn = std::any_of(own.begin(), own.end(), [&](const QRect &r) {
            return std::abs(QRectF(r).center().x() - c.x()) < kInLine * r.width();
        });
        if (apart && ownKind && inRow && inColumn)
            placed.push_back(l);
    }
    if (moved || placed.size() > before)
        lattice.grid = arrangeWindows(placed, size);
}

// Windows repeat along the floors and up the facade. A layout search that
// finds one row only, which a lattice of several rows holding more windows
// does not confirm, found something that repeats along a line (the letters
// of a name painted across the wall, a frieze): the lattice holds the windows.
bool rowAgainstLattice(const WindowSearchResult &lattice, const WindowGrid &layout)
{
    return lattice.status.ok() && lattice.grid.rows() >= 2 && lattice.grid.windows.size() > layout.windows.size()
        && layout.windows.size() >= 2 && layout.rows() == 1;
}

WindowSearchResult searchFrom(const QImage &rectified, const QRect &marked, const QImage &insideImage)
{
    const QRect imageRect(QPoint(0, 0), rectified.size());
    if (rectified.isNull() || (!marked.isNull() && (marked.width() < kMinMarked || marked.height() < kMinMarked
                                                    || !imageRect.contains(marked))))
        return latticeSearch(rectified, marked, insideImage); // its refusals
    const cv::Mat rgb = toMat(rectified);
    const std::vector<PlacedWindow> placed = layoutSearch(rgb, insideOf(insideImage, rgb.size()), marked);
    WindowGrid layout = arrangeWindows(placed, rectified.size());
    // The lattice search's template needs a window of a few pixels.
    const bool latticeCanMatch = marked.isNull() || (marked.width() >= 4 && marked.height() >= 4);
    if (latticeCanMatch) {
        WindowSearchResult lattice = latticeSearch(rectified, marked, insideImage);
        if (latticeConfirmed(lattice, placed, layout.rows())) {
            mergeLayout(lattice, placed, rectified.size());
            return lattice;
        }
        if (rowAgainstLattice(lattice, layout))
            return lattice;
    }
    WindowSearchResult result;
    result.seed = marked.isNull() ? (placed.empty() ? QRect() : placed.front().rect) : marked;
    result.matches = int(placed.size());
    result.grid = std::move(layout);
    if (result.grid.empty())
        result.status = ImportStatus::failure(ImportError::NoWindows, kNoWindows);
    return result;
}

} // namespace

WindowSearchResult findWindows(const QImage &rectified, const QRect &marked, const QImage &inside)
{
    WindowSearchResult result;
    if (!runGuarded([&] { result = searchFrom(rectified, marked, inside); })) {
        result = WindowSearchResult();
        result.status = ImportStatus::failure(ImportError::Internal, "Not enough memory to search for windows.");
    }
    return result;
}

} // namespace FacadeImport
