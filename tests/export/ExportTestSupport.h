#ifndef TESSIVO_TESTS_EXPORTTESTSUPPORT_H
#define TESSIVO_TESTS_EXPORTTESTSUPPORT_H

#include "QWindowData2D.h"
#include "TestFiles.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

// A window rectangle given by its edges, in facade pixels.
struct Box {
    int minx = 0;
    int miny = 0;
    int maxx = 0;
    int maxy = 0;
};

// A shutter model as a shutter test-case load leaves it: a width x height
// facade, window i spanning boxes[i] with its left hinge on the left edge and
// its right hinge on the right edge, a plain image per window, shutter images
// and the given leaf angles (radians) on every window.
std::unique_ptr<QWindowData2D> makeShutterModel(int width, int height, const std::vector<Box> &boxes,
                                                double leftAngle = 3.1415926, double rightAngle = 3.1415926);

// The rows x cols lattice of windows of a facade (cells of cellWidth x cellHeight,
// windows of winWidth x winHeight centred in them).
std::vector<Box> latticeBoxes(int rows, int cols, int cellWidth, int cellHeight, int winWidth, int winHeight);


// An OBJ file read back: v, vt and faces (vertex and texture number per corner,
// from 1, 0 when absent) and every line in order.
struct ObjData {
    std::vector<std::array<double, 3>> v;
    std::vector<std::array<double, 2>> vt;
    std::vector<std::vector<std::array<int, 2>>> faces;
    QStringList lines;
};
bool readObj(const QString &path, ObjData &obj);

// Area of the rectangle [0, width] x [0, height] that no box covers,
// by coordinate compression (independent of any triangulation).
double wallAreaOf(int width, int height, const std::vector<Box> &boxes);

#endif
