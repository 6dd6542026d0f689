#include "WallGrowth.h"

#include "Median.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace FacadeImport {

namespace {

constexpr int kSamples = 48;         // samples across the rectangle each way, and along a band
constexpr int kBandSamples = 4;      // samples across a band's depth
constexpr double kBandDepth = 1.0 / 16.0; // a band is this share of the rectangle's size deep
constexpr double kWallShare = 0.75;  // a band of wall has this share of the wall's colour
constexpr double kMinSpread = 6.0;   // Lab units: the wall's colour spreads at least this much
constexpr double kMaxSpread = 15.0;  // and at most this much (a wall with much in front of it)
constexpr double kSpreads = 2.5;     // a sample within this many spreads is of the wall's colour
constexpr double kSeenShare = 0.5;   // a band needs this share of its samples on the photograph
constexpr int kMaxBands = 48;        // a side moves at most this many bands (three times the rectangle's size)

// The Lab colours of the photograph at a grid of across x down points over a
// frame rectangle, of the points that lie on it. Only the samples are
// converted: the whole photograph would cost more than all of them.
std::vector<cv::Vec3d> colours(const cv::Mat &rgb, const cv::Matx33d &toPixels, const FrameRect &r, int across, int down)
{
    std::vector<cv::Vec3b> seen;
    seen.reserve(std::size_t(across) * std::size_t(down));
    for (int j = 0; j < down; ++j)
        for (int i = 0; i < across; ++i) {
            const cv::Point2d p(r.left + (i + 0.5) / across * (r.right - r.left),
                                r.top + (j + 0.5) / down * (r.bottom - r.top));
            cv::Point2d q;
            if (!mapPoint(toPixels, p, &q))
                continue;
            const int x = int(std::floor(q.x)), y = int(std::floor(q.y));
            if (x >= 0 && y >= 0 && x < rgb.cols && y < rgb.rows)
                seen.push_back(rgb.at<cv::Vec3b>(y, x));
        }
    std::vector<cv::Vec3d> out;
    if (seen.empty())
        return out;
    cv::Mat lab;
    cv::cvtColor(cv::Mat(1, int(seen.size()), CV_8UC3, seen.data()), lab, cv::COLOR_RGB2Lab);
    for (int k = 0; k < lab.cols; ++k) {
        const cv::Vec3b v = lab.at<cv::Vec3b>(0, k);
        out.push_back(cv::Vec3d(v[0], v[1], v[2]));
    }
    return out;
}

} // namespace

void growOverWall(const cv::Mat &rgb, const cv::Matx33d &frameToPixels, FrameRect &r)
{
    if (rgb.empty() || !(r.right > r.left) || !(r.bottom > r.top))
        return;
    // The wall's colour: the median of the rectangle's samples, windows and
    // all, since the wall is most of a facade.
    const std::vector<cv::Vec3d> inside = colours(rgb, frameToPixels, r, kSamples, kSamples);
    if (inside.size() < std::size_t(kSamples))
        return;
    const cv::Vec3d wall = medianColour(inside);
    std::vector<double> distances;
    for (const cv::Vec3d &c : inside)
        distances.push_back(cv::norm(c - wall));
    // How far the samples lie from it, windows and all: a brick or stone
    // wall spreads more than a rendered one.
    const double spread = std::clamp(medianOf(distances), kMinSpread, kMaxSpread);
    enum class Band { Wall, Other, Beyond };
    const auto bandAt = [&](const FrameRect &band, int across, int down) {
        const std::vector<cv::Vec3d> seen = colours(rgb, frameToPixels, band, across, down);
        if (double(seen.size()) < kSeenShare * across * down)
            return Band::Beyond;
        const auto near = std::count_if(seen.begin(), seen.end(),
                                        [&](const cv::Vec3d &c) { return cv::norm(c - wall) <= kSpreads * spread; });
        return double(near) >= kWallShare * double(seen.size()) ? Band::Wall : Band::Other;
    };
    // A side moves out band by band while the bands are of the wall, and
    // keeps the move only where the wall runs on out of the photograph: a
    // wall that ends in it, under the sky or a roof, or beside a neighbour,
    // is a tower's, a gable's or the next house's as often as its own, and
    // there the lines already found the side. Bands towards a vanishing
    // point inside the photograph never leave it, so a side moves a bounded
    // number of bands. bandAtStep(k): the k-th band beyond the side; the
    // bands it moves over, or -1 where it stays.
    const auto bandsToFrame = [&](auto bandAtStep, int across, int down) {
        for (int k = 0; k < kMaxBands; ++k) {
            const Band b = bandAt(bandAtStep(k), across, down);
            if (b != Band::Wall)
                return b == Band::Beyond ? k : -1;
        }
        return -1;
    };
    const double dy = kBandDepth * (r.bottom - r.top), dx = kBandDepth * (r.right - r.left);
    const int up = bandsToFrame(
        [&](int k) { return FrameRect{r.left, r.top - (k + 1) * dy, r.right, r.top - k * dy}; }, kSamples, kBandSamples);
    if (up >= 0)
        r.top -= up * dy;
    const int left = bandsToFrame(
        [&](int k) { return FrameRect{r.left - (k + 1) * dx, r.top, r.left - k * dx, r.bottom}; }, kBandSamples, kSamples);
    const int right = bandsToFrame(
        [&](int k) { return FrameRect{r.right + k * dx, r.top, r.right + (k + 1) * dx, r.bottom}; }, kBandSamples, kSamples);
    if (left >= 0)
        r.left -= left * dx;
    if (right >= 0)
        r.right += right * dx;
}

} // namespace FacadeImport
