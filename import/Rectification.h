#ifndef TESSIVO_IMPORT_RECTIFICATION_H
#define TESSIVO_IMPORT_RECTIFICATION_H

#include "FacadeCamera.h"
#include "ImportStatus.h"

#include <QImage>
#include <QSize>

#include <array>

// From four facade corners in a photograph to the fronto-parallel facade
// image: the camera (K from the corners' vanishing points, R from K^-1 H),
// the homography, the rectified size from the facade's metric aspect ratio,
// and the warp itself.
namespace FacadeImport {

constexpr int kMaxRectifiedWidth = 1240;
constexpr int kMaxRectifiedHeight = 890;
// How far beyond the photograph's edge a facade corner may lie (where the
// frame cuts the facade), as a share of the photograph's width or height.
constexpr double kMaxCornerOutside = 0.5;

struct RectificationPlan {
    ImportStatus status;
    FacadeQuad corners{};  // clockwise from the top-left corner
    CameraEstimate camera;
    QSize size;            // of the rectified image
    double aspect = 1.0;   // metric width over height of the facade
    // Where the quadrilateral's opposite edges meet (homogeneous, photo pixels).
    std::array<double, 3> horizontalPoint{};
    std::array<double, 3> verticalPoint{};
};

// Corners must be finite, at most kMaxCornerOutside of the photograph's
// width or height beyond its edges, at least 16 pixels apart along each edge
// and form a convex quadrilateral in the order given, either way round. A
// corner too far out is named by where it lies in the quadrilateral
// ("The top-left corner lies too far outside the photograph.").
ImportStatus validateCorners(const FacadeQuad &corners, const QSize &photoSize);

// Everything about the rectification except the pixels. The corners may start
// anywhere and run either way round; the plan holds them clockwise from the
// top-left.
RectificationPlan planRectification(const FacadeQuad &corners, const QSize &photoSize);

// The rectified facade (RGB888, plan.size), warped once from the full-size
// photograph. Where the facade shrinks, it is warped at an integer multiple
// of the size and area-averaged down, so that fine detail does not alias.
// A null image for a failed plan, or when memory runs out.
QImage rectifyPhoto(const QImage &photo, const RectificationPlan &plan);

// Where the photograph covers the rectified facade: Format_Grayscale8 of
// plan.size, 255 at each rectified pixel whose centre the photograph shows,
// 0 where the facade lies beyond the photograph's frame. A null image for a
// failed plan, or when memory runs out.
QImage photoCoverage(const RectificationPlan &plan, const QSize &photoSize);

} // namespace FacadeImport

#endif
