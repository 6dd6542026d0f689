#ifndef TESSIVO_CASEART_SHUTTERART_H
#define TESSIVO_CASEART_SHUTTERART_H

#include "ArtStyles.h"
#include "Camera.h"
#include "QWindowData2D.h"
#include "Raster.h"
#include "TestCasePaths.h"

#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <vector>

// Louvred shutter leaves: their painted texture, their position in space at
// an opening angle, and how they are painted into the rectified facade.
//
// Angles are radians with pi = 3.1415926, the program's constant: at pi a
// leaf is closed over its half of the window, at 0 it lies flat on the wall
// outside the window, in between it stands out towards the camera.
namespace CaseArt {

constexpr double kProgramPi = QWindowData2D::pi;

// Texture of a right leaf as its image file holds it: hinge on the left edge,
// louvres between a frame of stiles and rails, iron straps at the hinge.
// The left leaf's texture is its mirror image.
Raster paintLeafTexture(const ShutterStyle &style, int width, int height, std::uint32_t seed);

// One leaf at one angle: its four corners in the rectified image as real
// numbers, in the order hinge1 (top hinge), hinge2 (bottom hinge), outer1
// (outer corner on hinge2's side), outer2 (outer corner on hinge1's side).
struct LeafQuad {
    std::array<Vec2, 4> corners;
};

// The camera as the leaf geometry needs it, whatever form the camera takes:
// the world point of a position on the wall (world frame as in Camera.h: the
// wall at Z = 0, -Z towards the camera), the world length of one rectified
// pixel, and where a world point appears in the rectified image (its
// projection into the photograph mapped back through the inverse of H). The
// CameraModel is one (ModelLeafCamera); the importer, which estimated
// its camera from a photograph, adapts its own.
class LeafCamera
{
public:
    virtual ~LeafCamera() = default;
    virtual Vec3 wallPoint(double px, double py) const = 0;
    virtual double pixelScale() const = 0;
    virtual Vec2 rectifiedPosition(const Vec3 &world) const = 0;
};

class ModelLeafCamera final : public LeafCamera
{
public:
    explicit ModelLeafCamera(const CameraModel &camera) : m_camera(camera) {}
    Vec3 wallPoint(double px, double py) const override { return m_camera.wallPoint(px, py); }
    double pixelScale() const override { return m_camera.pixelScale; }
    Vec2 rectifiedPosition(const Vec3 &world) const override { return m_camera.rectifiedPosition(world); }

private:
    const CameraModel &m_camera;
};

// The leaf of a window rectangle (rectified pixels) at an angle: hinged on
// the rectangle's left edge (left leaf) or right edge, half its width wide,
// as the camera sees it and mapped back into the rectified image.
LeafQuad leafQuad(const LeafCamera &camera, const QRect &window, bool left, double angle);
LeafQuad leafQuad(const CameraModel &camera, const QRect &window, bool left, double angle);

// World corners of the same leaf (hinge1, hinge2, outer1, outer2), in the
// camera's world units (metres for a CameraModel).
std::array<Vec3, 4> leafCorners(const LeafCamera &camera, const QRect &window, bool left, double angle);
std::array<Vec3, 4> leafCorners(const CameraModel &camera, const QRect &window, bool left, double angle);

// Depth of the leaf's middle from the camera, for painting far leaves first.
double leafDepth(const CameraModel &camera, const QRect &window, bool left, double angle);

// Paints a textured leaf into the rectified image with the texture mapping
// the view uses: the hinge edge of the texture on the hinge, its top edge at
// hinge1. Edges are antialiased; shade darkens leaves turned from the light.
void paintLeaf(Raster &image, const LeafQuad &quad, const Raster &texture, bool left, float shade);

// Rounded corner points of a leaf quad.
std::array<QPoint, 4> roundedCorners(const LeafQuad &quad);

// A leaf of a window rectangle as the shutter file holds it: the hinge on
// the rectangle's edge, and for each of the layout's sample angles
// (TestCasePaths::kLeafSamples) the outer corners of the
// rigid leaf turned on its hinge, projected with the camera's K, R and t and
// mapped back through the inverse of H into the rectified image, rounded to
// pixels.
ShutterLeaf sampleLeaf(const LeafCamera &camera, const QRect &window, bool left);
ShutterLeaf sampleLeaf(const CameraModel &camera, const QRect &window, bool left);

} // namespace CaseArt

#endif
