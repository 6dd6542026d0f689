#include "FacadeViewMath.h"

#include "QWindowData2D.h"
#include "TestCasePaths.h"

#include <algorithm>
#include <cmath>

namespace FacadeViewMath {

namespace {
constexpr double kPixelLimit = double(1 << 29);
}

int roundToPixel(double value)
{
    return truncateToPixel(value + 0.5);
}

int truncateToPixel(double value)
{
    if (std::isnan(value))
        return -(1 << 29);
    return int(std::clamp(value, -kPixelLimit, kPixelLimit));
}

int sliderValueFromAngle(double radians)
{
    // The slider moves in the shutter file's sample steps.
    constexpr double kSteps = TestCasePaths::kLeafSamples - 1;
    const double steps = radians / QWindowData2D::pi * kSteps + 0.5;
    // Clamped before the conversion, which would overflow for huge angles.
    if (!(steps >= 0.0))
        return 0;
    if (steps >= kSteps)
        return 180;
    return TestCasePaths::kLeafSampleStep * int(steps);
}

int nearestSampleIndex(const std::vector<double> &angles, double angle)
{
    if (angles.empty())
        return -1;
    double best = 1e30;
    int index = 0;
    for (std::size_t k = 0; k < angles.size(); ++k) {
        const double distance = std::fabs(angles[k] - angle);
        if (distance < best) {
            best = distance;
            index = int(k);
        }
    }
    return index;
}

bool inHitArea(const FacadeWindow &window, int px, int py)
{
    const long long x = window.x, y = window.y;
    return x < px && px - x < window.width
        && y - kHitTolerance < py && py - y < static_cast<long long>(window.height) + kHitTolerance;
}

bool onBlindBand(const FacadeWindow &window, int px, int py)
{
    const long long edge = static_cast<long long>(window.y) + window.blindExtent;
    const long long x = window.x;
    return edge - kBlindBand < py && py < edge + kBlindBand
        && x < px && px < x + window.width;
}

} // namespace FacadeViewMath
