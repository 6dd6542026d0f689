#ifndef TESSIVO_CASEART_CAMERA_H
#define TESSIVO_CASEART_CAMERA_H

#include "Geometry.h"

// The pinhole camera of a facade photograph whose camera is known (the test-case
// generator places one for each photograph it paints).
//
// World frame, in metres: the wall is the plane Z = 0, X runs to the right
// along the wall, Y downwards and Z into the wall, so the camera stands at
// negative Z. Rectified pixel (px, py) is the wall point (s px, s py, 0) with
// s the pixel scale. Camera frame: x right, y down, z along the view.
namespace CaseArt {

struct CameraModel {
    Mat3 K;                    // focal lengths and principal point, photo pixels
    Mat3 R;                    // world to camera rotation
    Vec3 t;                    // world to camera translation: x_cam = R X + t
    double pixelScale = 0.02;  // metres per rectified pixel
    int colMin = 0;            // rectified pixel of the rectification frame's origin
    int rowMin = 0;

    Vec3 centre() const;
    // Photo pixel coordinates of a world point (continuous, origin top-left).
    Vec2 project(const Vec3 &world) const;
    // Depth of a world point along the view direction (positive in front).
    double depth(const Vec3 &world) const;
    // World point on the wall of a rectified-image position.
    Vec3 wallPoint(double px, double py) const;
    // H: rectified pixels minus (colMin, rowMin) to photo pixels, with H[2][2] = 1.
    Mat3 homography() const;
    // Where a world point appears in the rectified image: its projection
    // mapped back through the inverse of H, plus the offsets.
    Vec2 rectifiedPosition(const Vec3 &world) const;
};

// How a case wants its photograph taken.
struct CameraSetup {
    double yawDeg = 15.0;      // turn about the vertical; positive looks to the right
    double pitchDeg = 4.0;     // positive looks up
    double focal = 1000.0;     // photo pixels
    int photoWidth = 1024;
    int photoHeight = 768;
    double fill = 0.68;        // share of the photo width the facade spans
    double maxFillHeight = 0.8;
    double shiftX = 0.0;       // facade centre offset in the photo, share of its size
    double shiftY = 0.0;
};

// Rotation with the given view direction angles and no roll.
Mat3 rotationFromYawPitch(double yawDeg, double pitchDeg);

// Places the camera so that the facade of facadeWidth x facadeHeight rectified
// pixels is seen at the given angles and fills the photo as asked. The offsets
// are the rectified pixel of the wall point nearest to the camera.
CameraModel placeCamera(const CameraSetup &setup, int facadeWidth, int facadeHeight, double pixelScale);

} // namespace CaseArt

#endif
