#ifndef TESSIVO_IMPORT_WALLMAP_H
#define TESSIVO_IMPORT_WALLMAP_H

// How far each pixel of a rectified facade is from the wall's own colour, and
// the blobs that stand out from it. Internal to import/.
#include <opencv2/core.hpp>

#include <vector>

namespace FacadeImport {

// Robust colour statistics of the wall in Lab: the wall covers most of a
// facade, so the median is its colour and the median deviation its spread.
struct WallModel {
    cv::Vec3f centre;
    cv::Vec3f spread;
};

// From an 8-bit Lab image of a facade. Only its middle counts: a facade
// proposed from a cluttered photograph may take in sky, trees or the house
// next door at its sides, but its middle is the facade.
WallModel estimateWall(const cv::Mat &lab);

// Per-pixel distance from the wall in units of its spread (CV_32F).
cv::Mat wallDistance(const cv::Mat &lab, const WallModel &wall);

// A blob mask (CV_8U) joined across thin gaps, cleared of specks, and with
// each blob's holes up to maxHoleShare of the picture filled.
cv::Mat cleanedMask(cv::Mat mask, double maxHoleShare);

// Pixels farther than threshold from the wall, joined across thin gaps, with
// the holes inside each blob filled (CV_8U, 255 inside).
cv::Mat standOutMask(const cv::Mat &distance, float threshold);

// Distance from the wall (in wall spreads) of what stands out from it.
constexpr float kStandOut = 3.5f;

// What stands out from the wall in an 8-bit RGB image (slightly smoothed
// first, against sensor noise), and optionally its lightness (CV_32F, Lab L).
cv::Mat standOutOfWall(const cv::Mat &rgb, cv::Mat *lightness = nullptr);

} // namespace FacadeImport

#endif
