#include "BackgroundFill.h"

#include "internal/CvImage.h"
#include "internal/Guard.h"
#include "internal/WallMap.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/photo.hpp>

#include <algorithm>
#include <cmath>

namespace FacadeImport {

namespace {

constexpr double kTextureSigma = 8.0; // finer detail than this is texture, coarser is shading
constexpr int kInpaintShrink = 4;     // shading is inpainted on a copy this many times smaller
constexpr int kRing = 4;              // width of the wall ring compared around a hole
constexpr int kFeather = 3;           // pixels over which a fill blends into the wall
constexpr int kMinStrip = 6;          // holes are not cut into strips narrower than this

// Margin around a window: its frame casts a shadow and its edge may be off by
// a pixel or two.
int marginOf(const QRect &r)
{
    return 3 + int(std::lround(0.08 * std::min(r.width(), r.height())));
}

cv::Mat holeMask(const cv::Size &size, const std::vector<QRect> &holes)
{
    cv::Mat mask = cv::Mat::zeros(size, CV_8U);
    const cv::Rect image(cv::Point(), size);
    for (const QRect &h : holes) {
        if (h.width() <= 0 || h.height() <= 0)
            continue;
        const int m = marginOf(h);
        const cv::Rect r = cv::Rect(h.x() - m, h.y() - m, h.width() + 2 * m, h.height() + 2 * m) & image;
        if (r.area() > 0)
            mask(r).setTo(255);
    }
    return mask;
}

// 1 deep inside the holes, falling to 0 at their edges over kFeather pixels.
cv::Mat featherWeight(const cv::Mat &mask)
{
    cv::Mat distance;
    cv::Mat padded;
    // The image border is not an edge of a hole: the padding repeats the
    // mask, so that holes reaching the border stay fully filled there.
    cv::copyMakeBorder(mask, padded, 1, 1, 1, 1, cv::BORDER_REPLICATE);
    cv::distanceTransform(padded, distance, cv::DIST_L2, 3);
    cv::Mat weight = distance(cv::Rect(1, 1, mask.cols, mask.rows)) / double(kFeather);
    cv::min(weight, 1.0, weight);
    return weight;
}

// Gaussian blur of the wall alone: pixels under the mask do not count. The
// result is smooth, so it is worked out on a copy kInpaintShrink times smaller.
cv::Mat wallBlur(const cv::Mat &image, const cv::Mat &mask, double sigma)
{
    cv::Mat weighted = image.clone();
    weighted.setTo(cv::Scalar::all(0.0), mask);
    cv::Mat valid;
    cv::Mat(mask == 0).convertTo(valid, CV_32F, 1.0 / 255.0);
    const cv::Size small(std::max(1, image.cols / kInpaintShrink), std::max(1, image.rows / kInpaintShrink));
    cv::Mat num, den;
    cv::resize(weighted, num, small, 0.0, 0.0, cv::INTER_AREA);
    cv::resize(valid, den, small, 0.0, 0.0, cv::INTER_AREA);
    const double s = sigma * small.width / image.cols;
    cv::GaussianBlur(num, num, cv::Size(0, 0), s);
    cv::GaussianBlur(den, den, cv::Size(0, 0), s);
    cv::max(den, 1e-4, den);
    cv::Mat den3, ratio, out;
    cv::merge(std::vector<cv::Mat>{den, den, den}, den3);
    cv::divide(num, den3, ratio);
    cv::resize(ratio, out, image.size(), 0.0, 0.0, cv::INTER_LINEAR);
    return out;
}

// The wall's shading carried into the holes: inpainted on a reduced copy,
// where it is smooth anyway, then brought back to full size.
cv::Mat inpaintShading(const cv::Mat &shading, const cv::Mat &mask)
{
    const cv::Size small(std::max(1, shading.cols / kInpaintShrink), std::max(1, shading.rows / kInpaintShrink));
    cv::Mat shading8, smallShading, smallMask, filled;
    shading.convertTo(shading8, CV_8UC3);
    cv::resize(shading8, smallShading, small, 0.0, 0.0, cv::INTER_AREA);
    cv::resize(mask, smallMask, small, 0.0, 0.0, cv::INTER_AREA);
    smallMask = smallMask > 0;
    cv::dilate(smallMask, smallMask, cv::Mat());
    cv::inpaint(smallShading, smallMask, filled, 5.0, cv::INPAINT_TELEA);
    cv::Mat out;
    cv::resize(filled, out, shading.size(), 0.0, 0.0, cv::INTER_LINEAR);
    out.convertTo(out, CV_32FC3);
    return out;
}

// How well the wall ring around a candidate source continues the ring around
// the hole: summed squared texture difference over the ring pixels that are
// wall around the hole. Stops early once it passes limit.
double ringCost(const cv::Mat &texture, const std::vector<cv::Point> &ring, const cv::Point &shift, double limit)
{
    double sum = 0.0;
    for (const cv::Point &p : ring) {
        const cv::Vec3f &a = texture.at<cv::Vec3f>(p);
        const cv::Vec3f &b = texture.at<cv::Vec3f>(p + shift);
        const cv::Vec3f d = a - b;
        sum += d.dot(d);
        if (sum > limit)
            break;
    }
    return sum;
}

// Finds clean pieces of wall (nothing but wall in or next to them) whose
// ring of texture best continues the ring around a hole.
class TextureSearch
{
public:
    enum class Scope { Storey, Nearby, Anywhere };

    TextureSearch(const cv::Mat &texture, const cv::Mat &notWall) : texture_(texture), notWall_(notWall)
    {
        cv::integral(notWall / 255, integral_, CV_32S);
    }

    // The best clean piece of the hole's size: along the hole's own rows
    // (every position), in the storeys next to it or anywhere (every other
    // position); an empty rectangle when there is none.
    cv::Rect find(const cv::Rect &hole, Scope scope) const
    {
        const cv::Rect image(cv::Point(), texture_.size());
        const cv::Rect outer(hole.x - kRing, hole.y - kRing, hole.width + 2 * kRing, hole.height + 2 * kRing);
        if (outer.width > texture_.cols || outer.height > texture_.rows)
            return cv::Rect();
        // The ring's wall pixels, every other one: plenty to compare.
        std::vector<cv::Point> ring;
        for (int y = outer.y; y < outer.y + outer.height; ++y)
            for (int x = outer.x; x < outer.x + outer.width; ++x) {
                const cv::Point p(x, y);
                if (!hole.contains(p) && ((x + y) & 1) == 0 && image.contains(p) && notWall_.at<uchar>(p) == 0)
                    ring.push_back(p);
            }
        int fromY = hole.y, toY = hole.y, step = 1;
        if (scope == Scope::Nearby) {
            fromY = hole.y - 2 * outer.height;
            toY = hole.y + 2 * outer.height;
            step = 2;
        } else if (scope == Scope::Anywhere) {
            fromY = 0;
            toY = texture_.rows;
            step = 2;
        }
        cv::Rect best;
        double bestCost = 0.0;
        for (int y = std::max(kRing, fromY); y <= std::min(toY, texture_.rows - hole.height - kRing); y += step)
            for (int x = kRing; x <= texture_.cols - hole.width - kRing; x += step) {
                const cv::Rect source(x, y, hole.width, hole.height);
                if ((source & hole).area() > 0 || covered(cv::Rect(x - kRing, y - kRing, outer.width, outer.height)) > 0)
                    continue;
                const double c = ringCost(texture_, ring, source.tl() - hole.tl(), best.area() ? bestCost : 1e300);
                if (best.area() == 0 || c < bestCost) {
                    best = source;
                    bestCost = c;
                }
            }
        return best;
    }

    // The piece of the hole's size least covered by what is not wall.
    cv::Rect leastCovered(const cv::Rect &hole) const
    {
        cv::Rect best;
        int least = 0;
        for (int y = 0; y + hole.height <= texture_.rows; y += 2)
            for (int x = 0; x + hole.width <= texture_.cols; x += 2) {
                const cv::Rect source(x, y, hole.width, hole.height);
                if ((source & hole).area() > 0)
                    continue;
                const int c = covered(source);
                if (best.area() == 0 || c < least) {
                    best = source;
                    least = c;
                }
            }
        return best;
    }

private:
    int covered(const cv::Rect &r) const
    {
        const cv::Rect c = r & cv::Rect(cv::Point(), texture_.size());
        return integral_.at<int>(c.y + c.height, c.x + c.width) - integral_.at<int>(c.y, c.x + c.width)
             - integral_.at<int>(c.y + c.height, c.x) + integral_.at<int>(c.y, c.x);
    }

    const cv::Mat &texture_;
    const cv::Mat &notWall_;
    cv::Mat integral_;
};

// Adds wall texture to a hole: one piece from the same storey when there is
// one; else the hole is cut into narrower strips that each take their own
// piece of the storey (windows often stand closer together than they are
// wide); a strip that still finds none takes the best piece from the storeys
// nearby, or anywhere.
void addTexture(cv::Mat &filled, const cv::Mat &texture, const TextureSearch &search, const cv::Rect &hole)
{
    using Scope = TextureSearch::Scope;
    cv::Rect source = search.find(hole, Scope::Storey);
    if (source.area() == 0 && hole.width >= 2 * kMinStrip) {
        const int half = hole.width / 2;
        addTexture(filled, texture, search, cv::Rect(hole.x, hole.y, half, hole.height));
        addTexture(filled, texture, search, cv::Rect(hole.x + half, hole.y, hole.width - half, hole.height));
        return;
    }
    if (source.area() == 0)
        source = search.find(hole, Scope::Nearby);
    if (source.area() == 0)
        source = search.find(hole, Scope::Anywhere);
    if (source.area() == 0)
        source = search.leastCovered(hole);
    if (source.area() == 0)
        return;
    cv::Mat piece = filled(hole);
    piece += texture(source);
}

} // namespace

std::vector<QRect> holesOf(const WindowGrid &grid, bool leafZones)
{
    std::vector<QRect> holes;
    for (const FacadeWindow &w : grid.windows) {
        QRect r(w.x, w.y, w.width, w.height);
        if (leafZones)
            r.adjust(-w.width / 2, 0, w.width / 2, 0);
        holes.push_back(r);
    }
    return holes;
}

namespace {

// The fill inside the mask, the picture outside, softly across the edge.
cv::Mat blendedOver(const cv::Mat &filled, const cv::Mat &rgb, const cv::Mat &mask)
{
    const cv::Mat weight = featherWeight(mask);
    const cv::Mat rest = 1.0 - weight;
    cv::Mat filled8, out;
    filled.convertTo(filled8, CV_8UC3);
    cv::blendLinear(filled8, rgb, weight, rest, out);
    return out;
}

// The wall of a facade as its slow shading and its fine texture, and where it
// is not plain wall: the pixels to fill (mask) and whatever else stands out
// from the wall (shutter leaves, a drainpipe), which give neither.
struct WallParts {
    cv::Mat notWall;
    cv::Mat shading;
    cv::Mat texture;
};

WallParts wallPartsOf(const cv::Mat &rgb, const cv::Mat &image, const cv::Mat &mask)
{
    WallParts parts;
    parts.notWall = standOutOfWall(rgb);
    parts.notWall |= mask;
    parts.shading = wallBlur(image, parts.notWall, kTextureSigma);
    parts.texture = image - parts.shading;
    parts.texture.setTo(cv::Scalar::all(0.0), parts.notWall);
    return parts;
}

QImage fillFrom(const QImage &rectified, const std::vector<QRect> &holes)
{
    if (rectified.isNull())
        return QImage();
    const cv::Mat rgb = toMat(rectified);
    const cv::Mat mask = holeMask(rgb.size(), holes);
    if (cv::countNonZero(mask) == 0)
        return toQImage(rgb);

    cv::Mat image;
    rgb.convertTo(image, CV_32FC3);
    const WallParts wall = wallPartsOf(rgb, image, mask);
    const cv::Mat &notWall = wall.notWall;
    const cv::Mat &texture = wall.texture;
    const cv::Mat fill = inpaintShading(wall.shading, mask);
    const TextureSearch search(texture, notWall);

    // Texture for each connected hole.
    cv::Mat labels, stats, centroids;
    const int n = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S);
    cv::Mat filled = fill.clone();
    for (int i = 1; i < n; ++i)
        addTexture(filled, texture, search,
                   cv::Rect(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                            stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT)));

    return toQImage(blendedOver(filled, rgb, mask));
}

// Texture for each pixel under the mask from its mirror image across the
// mask's edge (its nearest pixel outside the mask reflected past it), or
// from that nearest pixel where the mirror image falls under the mask too.
cv::Mat mirroredTexture(const cv::Mat &texture, const cv::Mat &mask)
{
    cv::Mat distance, labels;
    cv::distanceTransform(mask, distance, labels, cv::DIST_L2, 3, cv::DIST_LABEL_PIXEL);
    // Labels number the pixels outside the mask in raster order, from 1.
    std::vector<cv::Point> source(1);
    for (int y = 0; y < mask.rows; ++y)
        for (int x = 0; x < mask.cols; ++x)
            if (mask.at<uchar>(y, x) == 0)
                source.emplace_back(x, y);
    cv::Mat out = cv::Mat::zeros(texture.size(), texture.type());
    const cv::Rect image(cv::Point(), mask.size());
    for (int y = 0; y < mask.rows; ++y)
        for (int x = 0; x < mask.cols; ++x) {
            if (mask.at<uchar>(y, x) == 0)
                continue;
            const int label = labels.at<int>(y, x);
            if (label <= 0 || label >= int(source.size()))
                continue;
            const cv::Point q = source[std::size_t(label)];
            const cv::Point mirror(2 * q.x - x, 2 * q.y - y);
            const cv::Point from = image.contains(mirror) && mask.at<uchar>(mirror) == 0 ? mirror : q;
            out.at<cv::Vec3f>(y, x) = texture.at<cv::Vec3f>(from);
        }
    return out;
}

QImage outsideFrom(const QImage &rectified, const QImage &inside)
{
    if (rectified.isNull())
        return QImage();
    const cv::Mat rgb = toMat(rectified);
    if (inside.size() != rectified.size())
        return toQImage(rgb);
    const QImage grey = inside.convertToFormat(QImage::Format_Grayscale8);
    const cv::Mat shown(grey.height(), grey.width(), CV_8U, const_cast<uchar *>(grey.constBits()),
                        std::size_t(grey.bytesPerLine()));
    const cv::Mat mask = shown == 0;
    const int outside = cv::countNonZero(mask);
    if (outside == 0 || outside == mask.rows * mask.cols)
        return toQImage(rgb);

    cv::Mat image;
    rgb.convertTo(image, CV_32FC3);
    const WallParts wall = wallPartsOf(rgb, image, mask);
    cv::Mat filled = inpaintShading(wall.shading, mask) + mirroredTexture(wall.texture, mask);

    return toQImage(blendedOver(filled, rgb, mask));
}

QImage warpFrom(const QImage &photo, const QImage &filled, const std::vector<QRect> &holes,
                const CameraEstimate &camera)
{
    QImage result = photo.convertToFormat(QImage::Format_RGB888);
    if (result.isNull() || filled.isNull())
        return result;
    const QImage facadeImage = filled.convertToFormat(QImage::Format_RGB888);
    const cv::Mat facade = viewOf(facadeImage);
    const cv::Mat weight = featherWeight(holeMask(facade.size(), holes));
    cv::Mat out = writableViewOf(result);
    const cv::Rect photoRect(cv::Point(), out.size());

    // Rectified pixel index -> photograph pixel index, pixel centres at +0.5.
    const Matrix3 &H = camera.H;
    const cv::Matx33d h(H[0][0], H[0][1], H[0][2], H[1][0], H[1][1], H[1][2], H[2][0], H[2][1], H[2][2]);
    const cv::Matx33d fromIndex(1.0, 0.0, 0.5 - camera.colMin, 0.0, 1.0, 0.5 - camera.rowMin, 0.0, 0.0, 1.0);
    const cv::Matx33d forward = h * fromIndex;

    // Only the parts of the photograph where holes land are warped: each
    // hole's box there, overlapping boxes joined so that no pixel is blended
    // twice.
    std::vector<cv::Rect> boxes;
    const cv::Rect facadeRect(cv::Point(), facade.size());
    for (const QRect &hole : holes) {
        const int m = marginOf(hole) + 1;
        const cv::Rect r = cv::Rect(hole.x() - m, hole.y() - m, hole.width() + 2 * m, hole.height() + 2 * m) & facadeRect;
        if (r.area() == 0)
            continue;
        double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
        bool finite = true;
        for (const cv::Point2d &c : {cv::Point2d(r.x, r.y), cv::Point2d(r.x + r.width, r.y),
                                     cv::Point2d(r.x + r.width, r.y + r.height), cv::Point2d(r.x, r.y + r.height)}) {
            const cv::Vec3d q = h * cv::Vec3d(c.x - camera.colMin, c.y - camera.rowMin, 1.0);
            finite = finite && q[2] > 0.0;
            if (!finite)
                break;
            left = std::min(left, q[0] / q[2]);
            right = std::max(right, q[0] / q[2]);
            top = std::min(top, q[1] / q[2]);
            bottom = std::max(bottom, q[1] / q[2]);
        }
        if (!finite || !(left < photoRect.width && top < photoRect.height && right > 0.0 && bottom > 0.0))
            continue;
        const int x0 = std::max(0, int(std::floor(left)) - 2);
        const int y0 = std::max(0, int(std::floor(top)) - 2);
        const cv::Rect box = cv::Rect(x0, y0, std::min(photoRect.width, int(std::ceil(right)) + 3) - x0,
                                      std::min(photoRect.height, int(std::ceil(bottom)) + 3) - y0)
                           & photoRect;
        if (box.area() > 0)
            boxes.push_back(box);
    }
    for (bool joined = true; joined;) {
        joined = false;
        for (std::size_t i = 0; i < boxes.size() && !joined; ++i)
            for (std::size_t j = i + 1; j < boxes.size() && !joined; ++j)
                if ((boxes[i] & boxes[j]).area() > 0) {
                    boxes[i] |= boxes[j];
                    boxes.erase(boxes.begin() + std::ptrdiff_t(j));
                    joined = true;
                }
    }

    for (const cv::Rect &box : boxes) {
        const cv::Matx33d toBox(1.0, 0.0, -0.5 - box.x, 0.0, 1.0, -0.5 - box.y, 0.0, 0.0, 1.0);
        const cv::Mat map(toBox * forward);
        cv::Mat warped, warpedWeight, blended;
        cv::warpPerspective(facade, warped, map, box.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT);
        cv::warpPerspective(weight, warpedWeight, map, box.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT);
        const cv::Mat rest = 1.0 - warpedWeight;
        cv::Mat part = out(box);
        cv::blendLinear(warped, part, warpedWeight, rest, blended);
        blended.copyTo(part);
    }
    return result;
}

} // namespace

QImage fillHoles(const QImage &rectified, const std::vector<QRect> &holes)
{
    QImage out;
    if (!runGuarded([&] { out = fillFrom(rectified, holes); }))
        out = QImage();
    return out;
}

QImage fillOutside(const QImage &rectified, const QImage &inside)
{
    QImage out;
    if (!runGuarded([&] { out = outsideFrom(rectified, inside); }))
        out = QImage();
    return out;
}

QImage warpIntoPhoto(const QImage &photo, const QImage &filled, const std::vector<QRect> &holes,
                     const CameraEstimate &camera)
{
    QImage out;
    if (!runGuarded([&] { out = warpFrom(photo, filled, holes, camera); }))
        out = QImage();
    return out;
}

} // namespace FacadeImport
