#ifndef TESSIVO_FACADEWALL_H
#define TESSIVO_FACADEWALL_H

#include "FacadeMesh.h"

#include <QPointF>

#include <memory>
#include <string>
#include <vector>

// The facade wall: its polygon list, its triangulation and its OBJ text
// (FacadeWall.cpp; the triangulation in FacadeTriangulation.cpp).
namespace FacadeWall {

using Polygons = std::vector<std::vector<QPointF>>;

// Largest outline bounding-box area (square pixels) that is triangulated; beyond it the
// wall would need hundreds of millions of triangles of at most 500 square pixels.
constexpr double kMaxExtentArea = 4.0e9;
// Largest coordinate accepted: mesh points are floats, exact for pixel
// coordinates only up to 2^24.
constexpr double kMaxCoordinate = 1.0e7;

// Outline (0, 0), (0, H), (W, H), (W, 0), then the rectangle of each of the
// first count windows: (minx, miny), (maxx, miny), (maxx, maxy), (minx, maxy).
Polygons facadePolygons(const QWindowData2D &model, int count);

// Quality triangulation of the wall: polygon 0 is the outline, the others are
// openings. Input points come first in input order (duplicates keep their own
// unused numbers), then the added points ordered by x, then y. Faces are
// counter-clockwise in (x, y), every angle at least 20 degrees and every area
// at most 500. A face belongs to the wall when it lies inside the outline and
// outside every opening. Null for fewer than 3 points, a non-finite, too far
// out or too large input, or a failure inside the mesher (with the reason,
// except for too few points, which is no failure but nothing to mesh).
// Defined in FacadeTriangulation.cpp, the one file that includes CGAL.
std::unique_ptr<FacadePolyMesh> triangulate(const Polygons &polygons, Failure *failure = nullptr);

// The wall lies in the plane z = kWallZ, one pixel behind the window quads.
constexpr double kWallZ = 1.0;

// Texture coordinates of wall point (x, y) in a width by height texture,
// v counted upwards as in OBJ; both 0 for a texture of no width or height.
void wallTextureCoordinates(double x, double y, int width, int height, double &u, double &v);

// OBJ text of the wall at z = 1 with texture coordinates from a width by height
// texture (v flipped); vertex i and texture coordinate i share their number.
std::string facadeObjText(const FacadePolyMesh &mesh, int width, int height, const std::string &baseName);

// The wall OBJ and its MTL for the first count windows.
bool writeFacadeMesh(const QWindowData2D &model, const std::string &objPath, int count, Failure *failure = nullptr);

// The wall's texture, "materialFacade.png" in folder (the model's
// background); false when it cannot be saved. Logs nothing, so that it may
// run beside the rest of an export.
bool writeTexture(const QWindowData2D &model, const std::string &folder);

// The path writeTexture writes, for the line that says it could not.
std::string texturePath(const std::string &folder);

// writeFacadeMesh, then writeTexture into the OBJ's folder; a texture that
// cannot be saved is no failure (it is logged).
bool writeFacade(const QWindowData2D &model, const std::string &objPath, int count, Failure *failure = nullptr);

} // namespace FacadeWall

#endif
