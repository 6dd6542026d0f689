#ifndef TESSIVO_GLTFEXPORT_H
#define TESSIVO_GLTFEXPORT_H

#include "QWindowData2D.h"

#include <string>

// The facade as one binary glTF 2.0 file (.glb) for 3D tools and the web: the
// wall, the window quads and the shutter leaves of the model's current state
// in one scene, textures embedded as PNG. The geometry is the OBJ export's
// (FacadeWall, ExportGeometry), moved into GltfFrame. Nodes:
//   facade                      the scene's root
//     wall
//     window_<i>                the quad of window i (numbered as the OBJ files)
//       window_<i>_left         a leaf: translation = hinge, rotation = angle
//       window_<i>_right
// Each leaf node carries extras {"side": "left"|"right", "angle": degrees,
// "turnAxis": [0, +-1, 0]}: its rotation is the turn by 180 - angle degrees
// about turnAxis, so a viewer can open and close it.
namespace GltfExport {

// 1 pixel = 1 cm.
constexpr double kDefaultMetresPerPixel = 0.01;

// Metres per pixel for a facade facadeWidthMetres wide; fails, saying why,
// for a width that is not a positive finite number or a model without image.
bool metresPerPixelFor(const QWindowData2D &model, double facadeWidthMetres, double &metresPerPixel,
                       Failure *failure = nullptr);

// The .glb bytes of the model's exportable windows
// (ExportGeometry::exportableWindowCount). Fails as the OBJ export does for
// a model without facade image or a wall that cannot be triangulated. A
// texture that cannot be encoded is no failure (its material keeps no
// texture; one line is logged).
bool glbBytes(const QWindowData2D &model, double metresPerPixel, std::string &bytes, Failure *failure = nullptr);

// glbBytes written to path.
bool writeGlb(const QWindowData2D &model, const std::string &path, double metresPerPixel,
              Failure *failure = nullptr);

} // namespace GltfExport

#endif
