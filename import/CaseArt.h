#ifndef TESSIVO_IMPORT_CASEART_H
#define TESSIVO_IMPORT_CASEART_H

#include "FacadeCamera.h"
#include "QWindowData2D.h"
#include "WindowGrid.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <vector>

// The pictures and leaf geometry an imported case needs beyond the
// photograph's own pixels, drawn with the case art the generator paints with so
// that imported and generated cases look and move alike: blinds lowered over
// a window's crop, louvred leaf textures, and the shutter file's leaf samples
// seen through the camera estimated from the photograph.
namespace FacadeImport {

// The window's crop with a blind lowered to percent of its height (0: the
// crop as it is); seed varies the slats. RGB32; null for a null crop.
QImage blindLevel(const QImage &window, int percent, std::uint32_t seed);

// The right leaf's texture for windows of windowSize, hinge on its left edge,
// at three texture pixels per rectified pixel; the left leaf's is its mirror
// image (mirroredLeaf).
QImage rightLeafTexture(const QSize &windowSize, std::uint32_t seed);
QImage mirroredLeaf(const QImage &rightLeaf);

// The leaf pair of every window of grid (in grid order): hinged on the
// window's left and right edges, each half its width wide, sampled at 0, 10,
// ... 180 degrees as the camera sees a rigid leaf turning out of the wall,
// mapped back through the inverse of H into the rectified image.
std::vector<ShutterPair> shutterLeaves(const CameraEstimate &camera, const WindowGrid &grid);

} // namespace FacadeImport

#endif
