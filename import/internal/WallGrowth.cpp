#include "WallGrowth.h"

#include "Median.h"

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

// The colour at a frame point, or false where it lies off the photograph.
bool colourAt(const cv::Mat &lab, const cv::Matx33d &toPixels, const cv::Point2d &p, cv::Vec3d *out)
{
    cv::Point2d q;
    if (!mapPoint(toPixels, p, &q))
        return false;
    const int x = int(std::floor(q.x)), y = int(std::floor(q.y));
    if (x < 0 || y < 0 || x >= lab.cols || y >= lab.rows)
        return false;
    const cv::Vec3b v = lab.at<cv::Vec3b>(y, x);
    *out = cv::Vec3d(v[0], v[1], v[2]);
    return true;
}

// The colours of a grid of samples over a frame rectangle.
std::vector<cv::Vec3d> colours(const cv::Mat &lab, const cv::Matx33d &toPixels, const FrameRect &r, int across, int down)
{
    std::vector<cv::Vec3d> out;
    for (int j = 0; j < down; ++j)
        for (int i = 0; i < across; ++i) {
            const cv::Point2d p(r.left + (i + 0.5) / across * (r.right - r.left),
                                r.top + (j + 0.5) / down * (r.bottom - r.top));
            cv::Vec3d c;
            if (colourAt(lab, toPixels, p, &c))
                out.push_back(c);
        }
    return out;
}

} // namespace

void growOverWall(const cv::Mat &lab, const cv::Matx33d &frameToPixels, FrameRect &r)
{
    if (lab.empty() || !(r.right > r.left) || !(r.bottom > r.top))
        return;
    // The wall's colour: the median of the rectangle's samples, windows and
    // all, since the wall is most of a facade.
    const std::vector<cv::Vec3d> inside = colours(lab, frameToPixels, r, kSamples, kSamples);
    if (inside.size() < std::size_t(kSamples))
        return;
    std::vector<double> channel[3];
    for (const cv::Vec3d &c : inside)
        for (int k = 0; k < 3; ++k)
            channel[k].push_back(c[k]);
    const cv::Vec3d wall(medianOf(channel[0]), medianOf(channel[1]), medianOf(channel[2]));
    std::vector<double> distances;
    for (const cv::Vec3d &c : inside)
        distances.push_back(cv::norm(c - wall));
    // How far the samples lie from it, windows and all: a brick or stone
    // wall spreads more than a rendered one.
    const double spread = std::clamp(medianOf(distances), kMinSpread, kMaxSpread);
    enum class Band { Wall, Other, Beyond };
    const auto bandAt = [&](const FrameRect &band, int across, int down) {
        const std::vector<cv::Vec3d> seen = colours(lab, frameToPixels, band, across, down);
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
    // there the lines already found the side.
    const double dy = kBandDepth * (r.bottom - r.top), dx = kBandDepth * (r.right - r.left);
    double top = r.top;
    Band band = Band::Wall;
    while ((band = bandAt(FrameRect{r.left, top - dy, r.right, top}, kSamples, kBandSamples)) == Band::Wall)
        top -= dy;
    if (band == Band::Beyond)
        r.top = top;
    double left = r.left;
    while ((band = bandAt(FrameRect{left - dx, r.top, left, r.bottom}, kBandSamples, kSamples)) == Band::Wall)
        left -= dx;
    if (band == Band::Beyond)
        r.left = left;
    double right = r.right;
    while ((band = bandAt(FrameRect{right, r.top, right + dx, r.bottom}, kBandSamples, kSamples)) == Band::Wall)
        right += dx;
    if (band == Band::Beyond)
        r.right = right;
}

} // namespace FacadeImport
