#ifndef TESSIVO_EXPORTGEOMETRY_H
#define TESSIVO_EXPORTGEOMETRY_H

#include "QWindowData2D.h"

#include <array>

// Window rectangles, hinges and leaf placement shared by the box export and the
// template placement, so that placed leaves coincide with the exported boxes.
// The window rectangle is the model's hingeBounds of the window's shutter pair.
namespace ExportGeometry {

struct Point3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// Scales a unit leaf to half the window width and the full height, turns it
// about its hinge line (x = 0, z = 0) and moves it to the hinge point.
struct LeafPlacement {
    double sx = 1.0;
    double sy = 1.0;
    double turn = 0.0;
    double hx = 0.0;
    double hy = 0.0;

    Point3 place(const Point3 &unit) const;
};

// Left leaf: hinge at the inner (larger) x of the left pair, turned by pi - angle.
LeafPlacement leftLeafPlacement(const ShutterPair &pair, double leftAngle);
// Right leaf: hinge at the inner (smaller) x of the right pair, turned by -(pi - angle).
LeafPlacement rightLeafPlacement(const ShutterPair &pair, double rightAngle);

// The leaf box before it is placed: corners 4 to 7 are corners 0 to 3 moved
// by the thickness 1 towards negative z; the hinge is the line x = 0, z = 0.
// The left leaf reaches towards positive x, the right one towards negative x.
struct LeafCorner {
    Point3 unit;
    double u = 0.0; // texture coordinates, v counted upwards as in OBJ
    double v = 0.0;
};
const LeafCorner (&leafUnitBox(bool left))[8];

// The faces of the leaf box as corner numbers (from 0): the front and the
// back, which carry the leaf texture, then the four sides.
constexpr int kLeafFaceCount = 6;
constexpr int kTexturedLeafFaces = 2;
extern const int kLeafFaces[kLeafFaceCount][4];

// A corner of the window quad: a corner of its box in pixels and its texture
// coordinates, v counted upwards as in OBJ.
struct QuadCorner {
    int x = 0;
    int y = 0;
    int u = 0;
    int v = 0;
};
// Top left, bottom left, bottom right, top right in the picture.
std::array<QuadCorner, 4> windowQuad(const HingeBounds &box);

// The window template's unit square fills the window box; z stays.
Point3 placeInWindow(const HingeBounds &box, const Point3 &unit);

// Number of windows that can be exported: those that have an image, a shutter
// pair and a window record. Logs one line when some are left out.
int exportableWindowCount(const QWindowData2D &model);

} // namespace ExportGeometry

#endif
