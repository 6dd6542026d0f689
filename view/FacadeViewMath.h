#ifndef TESSIVO_FACADEVIEWMATH_H
#define TESSIVO_FACADEVIEWMATH_H

#include <vector>

struct FacadeWindow;

// Small rules of the facade view, free of GL and widgets.
namespace FacadeViewMath {

// Vertical tolerance of a window's hit area and half-height of the blind band.
constexpr int kHitTolerance = 2;
constexpr int kBlindBand = 4;

// Integer part of (value + 0.5), as the view rounds mapped positions. Values
// beyond +-2^29 (and infinities) are clamped there and NaN gives -2^29, so the
// result always lies far outside any window and sums of two stay inside int.
int roundToPixel(double value);
// Integer part of value (toward zero), clamped in the same way.
int truncateToPixel(double value);

// Slider position for a leaf angle in radians: the angle in degrees rounded to a
// multiple of 10 (integer part of angle / pi * 18 + 0.5, times 10), clamped to 0..180.
int sliderValueFromAngle(double radians);

// Index of the sample nearest to angle; the first of equally near samples wins.
// -1 for an empty list.
int nearestSampleIndex(const std::vector<double> &angles, double angle);

// A window's hit area: strictly inside horizontally, from 2 pixels above its top
// to 2 pixels below its bottom, both ends excluded.
bool inHitArea(const FacadeWindow &window, int px, int py);

// The band of 4 pixels around the blind's lower edge, strictly inside horizontally.
bool onBlindBand(const FacadeWindow &window, int px, int py);

} // namespace FacadeViewMath

#endif
