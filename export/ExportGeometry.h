#ifndef TESSIVO_EXPORTGEOMETRY_H
#define TESSIVO_EXPORTGEOMETRY_H

#include "QWindowData2D.h"

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

// The window template's unit square fills the window box; z stays.
Point3 placeInWindow(const HingeBounds &box, const Point3 &unit);

// Number of windows that can be exported: those that have an image, a shutter
// pair and a window record. Logs one line when some are left out.
int exportableWindowCount(const QWindowData2D &model);

} // namespace ExportGeometry

#endif
