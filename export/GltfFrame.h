#ifndef TESSIVO_GLTFFRAME_H
#define TESSIVO_GLTFFRAME_H

#include "ExportGeometry.h"

// The frame of 3D tools and the web, from the frame of the OBJ export: the
// OBJ export works in image pixels with y down and the outside facing -z;
// here y is up, the outside faces +z, the facade's bottom edge (its ground
// line) lies at y = 0 and lengths are in metres. The change is a turn by half
// a circle about the x axis (so shapes keep their handedness), a shift and a
// scale.
struct GltfFrame {
    double metresPerPixel = 0.01;
    double imageHeight = 0.0; // pixels

    // A point of the OBJ frame in this frame.
    ExportGeometry::Point3 point(const ExportGeometry::Point3 &p) const
    {
        return {p.x * metresPerPixel, (imageHeight - p.y) * metresPerPixel, -p.z * metresPerPixel};
    }

    // A difference of two points (no shift).
    ExportGeometry::Point3 vector(const ExportGeometry::Point3 &d) const
    {
        return {d.x * metresPerPixel, -d.y * metresPerPixel, -d.z * metresPerPixel};
    }

    // A turn by `turn` about the OBJ frame's y axis is a turn by -turn about
    // this frame's y axis.
    static double turnAboutY(double objTurn) { return -objTurn; }
};

#endif
