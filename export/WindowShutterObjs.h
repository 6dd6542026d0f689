#ifndef TESSIVO_WINDOWSHUTTEROBJS_H
#define TESSIVO_WINDOWSHUTTEROBJS_H

#include "ExportGeometry.h"
#include "QWindowData2D.h"

#include <string>

// The per-window quads and shutter-leaf boxes, for a given number of windows
// (QWindowData2D::writeWindowObjs/writeShutterObjs pass the exportable count).
// Textures that cannot be saved are no failure.
namespace WindowShutterObjs {

// OBJ text of the quad of window i.
std::string windowObjText(int i, const HingeBounds &box);

// OBJ text of a leaf box placed by leaf; left chooses the left leaf's unit box
// and material.
std::string leafObjText(bool left, const ExportGeometry::LeafPlacement &leaf);

bool writeWindows(const QWindowData2D &model, const std::string &folder, int count, Failure *failure = nullptr);
bool writeShutters(const QWindowData2D &model, const std::string &folder, int count, Failure *failure = nullptr);

} // namespace WindowShutterObjs

#endif
