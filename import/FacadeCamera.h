#ifndef TESSIVO_IMPORT_FACADECAMERA_H
#define TESSIVO_IMPORT_FACADECAMERA_H

#include "Homography.h"

#include <QPointF>

#include <array>

// The camera and homography that relate a rectified facade image to the
// photograph it was cut from, in the form the reconstruction file stores.
namespace FacadeImport {

// Corners of the facade in the photograph, in photo pixels (continuous, origin
// at the top-left corner of the first pixel): top-left, top-right,
// bottom-right, bottom-left.
using FacadeQuad = std::array<QPointF, 4>;

// The world of a facade: x to the right along the wall, y down, z into the
// wall, in rectified pixels, with the wall at z = 0 and rectified pixel p at
// (p.x - colMin, p.y - rowMin, 0). The camera sees a world point X at
// K (R X + t), divided by the third component.
struct CameraEstimate {
    Matrix3 K{};  // focal length and principal point (the photograph's centre)
    Matrix3 R{};  // rotation of the world into the camera
    std::array<double, 3> t{}; // the world's origin in camera coordinates
    // Rectified pixel p minus (colMin, rowMin) to photo pixels: q = H (p, 1),
    // divided by the third component; H[2][2] is 1.
    Matrix3 H{};
    int colMin = 0;
    int rowMin = 0;
    double focal = 0.0;
    bool focalFromVanishingPoints = false; // otherwise 1.2 times the larger photo side
};

// The scale of the wall in the camera: K^-1 H's first two columns are the
// world's x and y axes in camera coordinates up to one scale, which makes
// them unit vectors (2 over the sum of their lengths); its sign is the one
// that puts the wall in front of the camera. 0 when K is singular.
double wallScale(const Matrix3 &K, const Matrix3 &H);
// wallScale(K, H) K^-1 H: the world's x axis, y axis and origin in camera
// coordinates, as its columns.
Matrix3 wallInCamera(const Matrix3 &K, const Matrix3 &H);

// Rectified position to photograph and back, offsets included.
QPointF rectifiedToPhoto(const CameraEstimate &camera, const QPointF &rectified);
QPointF photoToRectified(const CameraEstimate &camera, const QPointF &photo);

// Where the camera sees the world point in front of or behind rectified
// position (x, y) at depth z (negative: towards the camera), in photo pixels;
// on the wall (z = 0) the same as rectifiedToPhoto. Shutter leaves turning
// out of the wall are placed with it.
QPointF photoPointOf(const CameraEstimate &camera, double x, double y, double z);

} // namespace FacadeImport

#endif
