#ifndef TESSIVO_IMPORT_MEDIAN_H
#define TESSIVO_IMPORT_MEDIAN_H

// Order statistics of measurements (window sizes, steps, colours): the value
// at a share of the way from the smallest to the largest, rounded to the
// nearer one; the median is the upper middle value of an even count.
// Internal to import/.
#include <opencv2/core.hpp>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace FacadeImport {

// 0 for no values.
inline double percentile(std::vector<double> v, double share)
{
    if (v.empty())
        return 0.0;
    const std::size_t k = std::min(v.size() - 1, std::size_t(share * double(v.size() - 1) + 0.5));
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(k), v.end());
    return v[k];
}

inline double medianOf(std::vector<double> v)
{
    return percentile(std::move(v), 0.5);
}

// Each channel's median: the colour most of them share (a wall, the glass of
// windows), which one odd colour does not pull.
inline cv::Vec3d medianColour(const std::vector<cv::Vec3d> &colours)
{
    std::vector<double> channel[3];
    for (const cv::Vec3d &c : colours)
        for (int k = 0; k < 3; ++k)
            channel[k].push_back(c[k]);
    return {medianOf(channel[0]), medianOf(channel[1]), medianOf(channel[2])};
}

} // namespace FacadeImport

#endif
