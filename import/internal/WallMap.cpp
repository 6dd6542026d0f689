#include "WallMap.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace FacadeImport {

namespace {

// Lowest spreads per channel (L, a, b): a perfectly even wall still has some
// noise, and a zero spread would call every pixel a window.
const float kMinSpread[3] = {4.0f, 2.0f, 2.0f};
// The wall's own pixels lie within this many spreads of its colour.
constexpr float kTrim = 3.5f;
// Holes larger than this share of the picture are wall, not glass.
constexpr double kMaxHoleShare = 0.02;

float medianOf(std::vector<float> &v)
{
    if (v.empty())
        return 0.0f;
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
}

} // namespace

WallModel estimateWall(const cv::Mat &lab)
{
    WallModel wall;
    std::vector<float> values[3];
    const int x0 = lab.cols / 5, x1 = lab.cols - lab.cols / 5;
    const int y0 = lab.rows / 5, y1 = lab.rows - lab.rows / 5;
    // Every other pixel in both directions is plenty for a median.
    for (int y = y0; y < y1; y += 2) {
        const cv::Vec3b *row = lab.ptr<cv::Vec3b>(y);
        for (int x = x0; x < x1; x += 2)
            for (int c = 0; c < 3; ++c)
                values[c].push_back(row[x][c]);
    }
    // What is not wall (windows, a tree in front) widens the spread of all
    // pixels; the wall is the main mode, so the estimate is narrowed to the
    // pixels near it, twice.
    for (int c = 0; c < 3; ++c) {
        std::vector<float> &v = values[c];
        float centre = medianOf(v);
        float spread = 0.0f;
        for (int round = 0; round < 3 && !v.empty(); ++round) {
            std::vector<float> deviation(v.size());
            for (std::size_t i = 0; i < v.size(); ++i)
                deviation[i] = std::abs(v[i] - centre);
            spread = std::max(kMinSpread[c], 1.4826f * medianOf(deviation));
            if (round == 2)
                break;
            std::vector<float> near;
            for (float x : v)
                if (std::abs(x - centre) <= kTrim * spread)
                    near.push_back(x);
            v.swap(near);
            centre = medianOf(v);
        }
        wall.centre[c] = centre;
        wall.spread[c] = spread;
    }
    return wall;
}

cv::Mat wallDistance(const cv::Mat &lab, const WallModel &wall)
{
    cv::Mat out(lab.size(), CV_32F);
    for (int y = 0; y < lab.rows; ++y) {
        const cv::Vec3b *row = lab.ptr<cv::Vec3b>(y);
        float *o = out.ptr<float>(y);
        for (int x = 0; x < lab.cols; ++x) {
            float s = 0.0f;
            for (int c = 0; c < 3; ++c) {
                const float d = (row[x][c] - wall.centre[c]) / wall.spread[c];
                s += d * d;
            }
            o[x] = std::sqrt(s);
        }
    }
    return out;
}

cv::Mat cleanedMask(cv::Mat mask, double maxHoleShare)
{
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3));
    cv::morphologyEx(mask, mask, cv::MORPH_CLOSE, kernel);
    cv::morphologyEx(mask, mask, cv::MORPH_OPEN, kernel);
    // Holes: pieces of background enclosed by a blob and small (the glass
    // inside a frame), not the whole wall inside a line along the border.
    cv::Mat background = mask == 0;
    cv::Mat labels, stats, centroids;
    const int n = cv::connectedComponentsWithStats(background, labels, stats, centroids, 4, CV_32S);
    const double largest = maxHoleShare * double(mask.total());
    std::vector<uchar> fill(std::size_t(std::max(n, 1)), 0);
    for (int i = 1; i < n; ++i) {
        const int x = stats.at<int>(i, cv::CC_STAT_LEFT);
        const int y = stats.at<int>(i, cv::CC_STAT_TOP);
        const int w = stats.at<int>(i, cv::CC_STAT_WIDTH);
        const int h = stats.at<int>(i, cv::CC_STAT_HEIGHT);
        const bool border = x == 0 || y == 0 || x + w == mask.cols || y + h == mask.rows;
        fill[std::size_t(i)] = !border && stats.at<int>(i, cv::CC_STAT_AREA) <= largest;
    }
    for (int y = 0; y < mask.rows; ++y) {
        const int *l = labels.ptr<int>(y);
        uchar *m = mask.ptr<uchar>(y);
        for (int x = 0; x < mask.cols; ++x)
            if (fill[std::size_t(l[x])])
                m[x] = 255;
    }
    return mask;
}

cv::Mat standOutMask(const cv::Mat &distance, float threshold)
{
    return cleanedMask(distance > threshold, kMaxHoleShare);
}

cv::Mat standOutOfWall(const cv::Mat &rgb, cv::Mat *lightness)
{
    cv::Mat blurred, lab;
    cv::GaussianBlur(rgb, blurred, cv::Size(0, 0), 1.0);
    cv::cvtColor(blurred, lab, cv::COLOR_RGB2Lab);
    if (lightness) {
        cv::extractChannel(lab, *lightness, 0);
        lightness->convertTo(*lightness, CV_32F);
    }
    return standOutMask(wallDistance(lab, estimateWall(lab)), kStandOut);
}

} // namespace FacadeImport
