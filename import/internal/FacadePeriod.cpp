#include "FacadePeriod.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <vector>

namespace FacadeImport {

namespace {

constexpr int kMinLag = 3;            // shorter lags are the smoothing, not a repeat
constexpr double kMaxLagShare = 0.25; // a lattice repeats at least four times across the facade
constexpr double kMinRepeat = 0.1;    // a repeat correlates at least this much (of the lag 0)
constexpr double kHarmonic = 0.6;     // half a lag that correlates this share as much is the period
constexpr double kCoarse = 4.0;        // detail finer than this blur (pixels) is what repeats

// The lag of the strongest local maximum of an autocorrelation (value at lag
// 0 first), refined between its neighbours; a maximum at half of it that is
// nearly as strong is the true period (the lag found is then its double).
double periodOf(const std::vector<double> &a)
{
    const int last = int(kMaxLagShare * double(a.size() - 1) * 2.0);
    const int n = std::min(int(a.size()) - 1, last);
    auto isPeak = [&](int i) { return i >= kMinLag && i < n && a[std::size_t(i)] > a[std::size_t(i - 1)] && a[std::size_t(i)] >= a[std::size_t(i + 1)]; };
    int best = -1;
    for (int i = kMinLag; i < n; ++i)
        if (isPeak(i) && a[std::size_t(i)] > kMinRepeat * a[0] && (best < 0 || a[std::size_t(i)] > a[std::size_t(best)]))
            best = i;
    if (best < 0)
        return 0.0;
    for (int half = best / 2; half >= kMinLag;) {
        int at = -1;
        for (int i = std::max(kMinLag, half - 1); i <= half + 1; ++i)
            if (isPeak(i) && a[std::size_t(i)] >= kHarmonic * a[std::size_t(best)])
                at = i;
        if (at < 0)
            break;
        best = at;
        half = best / 2;
    }
    const double l = a[std::size_t(best - 1)], c = a[std::size_t(best)], r = a[std::size_t(best + 1)];
    const double curve = l - 2.0 * c + r;
    return best + (curve < 0.0 ? 0.5 * (l - r) / curve : 0.0);
}

} // namespace

cv::Size2d facadePeriod(const cv::Mat &map, const cv::Mat &inside)
{
    if (map.empty() || map.cols < 4 * kMinLag || map.rows < 4 * kMinLag)
        return {};
    // The facade's fine detail without its larger parts (openings, shading,
    // other materials), zero outside it.
    cv::Mat detail, shading;
    cv::GaussianBlur(map, shading, cv::Size(0, 0), kCoarse);
    cv::subtract(map, shading, detail, cv::noArray(), CV_32F);
    if (!inside.empty())
        detail.setTo(0.0f, inside == 0);
    // Padded to twice its size, so that the correlation does not wrap round.
    const cv::Size padded(cv::getOptimalDFTSize(2 * map.cols), cv::getOptimalDFTSize(2 * map.rows));
    cv::Mat image = cv::Mat::zeros(padded, CV_32F);
    detail.copyTo(image(cv::Rect(cv::Point(), map.size())));
    cv::Mat spectrum, power, correlation;
    cv::dft(image, spectrum, cv::DFT_COMPLEX_OUTPUT);
    cv::mulSpectrums(spectrum, spectrum, power, 0, true);
    cv::dft(power, correlation, cv::DFT_INVERSE | cv::DFT_REAL_OUTPUT);
    std::vector<double> across(std::size_t(map.cols / 2)), down(std::size_t(map.rows / 2));
    for (std::size_t i = 0; i < across.size(); ++i)
        across[i] = correlation.at<float>(0, int(i));
    for (std::size_t i = 0; i < down.size(); ++i)
        down[i] = correlation.at<float>(int(i), 0);
    if (across.empty() || down.empty() || across[0] <= 0.0)
        return {};
    return {periodOf(across), periodOf(down)};
}

} // namespace FacadeImport
