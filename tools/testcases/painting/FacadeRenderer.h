#ifndef TESSIVO_TESTCASES_FACADERENDERER_H
#define TESSIVO_TESTCASES_FACADERENDERER_H

#include "Camera.h"
#include "CaseDesign.h"
#include "Raster.h"
#include "WindowArt.h"

#include <QRect>

#include <vector>

// Lays out a case's windows, chooses their blinds and leaf angles, and paints
// the rectified facade, its background and the two photographs.
namespace TestCases {

struct PlannedWindow {
    QRect rect;
    int col = 0;
    int row = 0;
    WindowLook look;          // blind extent of the grid file and paint seed
    int leftDegrees = 180;    // shutter cases: leaf angles, whole degrees
    int rightDegrees = 180;
};

struct FacadePlan {
    std::vector<PlannedWindow> windows; // row by row, columns ascending
};

FacadePlan planFacade(const CaseDesign &design);

// Radians of whole degrees with the program's value of pi.
double degreesToRadians(int degrees);

struct RenderedFacade {
    CameraModel camera;
    Raster wall;      // background.jpg: the facade without windows
    Raster rectified; // rec<name>: the facade with windows, blinds and leaves
    std::vector<Raster> windowImages; // per window, as pasted (without leaves)
    Raster leftLeaf;  // shutter cases: textures as the view maps them
    Raster rightLeaf;
    Raster photo;
    Raster photoBackground;
};

RenderedFacade renderFacade(const CaseDesign &design, const FacadePlan &plan);

} // namespace TestCases

#endif
