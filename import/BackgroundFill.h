#ifndef TESSIVO_IMPORT_BACKGROUNDFILL_H
#define TESSIVO_IMPORT_BACKGROUNDFILL_H

#include "FacadeCamera.h"
#include "WindowGrid.h"

#include <QImage>
#include <QRect>

#include <vector>

// The facade without its windows: every window's area (with a small margin
// for its frame's shadow) refilled with the facade's own wall, so that the
// view can draw any window anywhere over it. A fill is the wall's smooth
// shading carried in from around the hole (inpainting) plus the fine texture
// of a piece of wall from the same storey (or, failing that, from anywhere on
// the facade) whose surroundings best continue the hole's: the filled area
// has the mean and the texture strength of the wall around it, not a smear.
namespace FacadeImport {

// The rectangles to remove for a grid: its windows, and with leafZones also
// the half window beside each where open shutter leaves lie.
std::vector<QRect> holesOf(const WindowGrid &grid, bool leafZones);

// The rectified facade with the holes refilled (RGB888). Holes are clipped to
// the image; an empty list returns the image unchanged. A null image when
// memory runs out.
QImage fillHoles(const QImage &rectified, const std::vector<QRect> &holes);

// The rectified facade with what lies beyond the photograph's frame (0 in
// inside, Format_Grayscale8 of the same size) refilled the same way: the
// wall's shading carried out from what the photograph shows, and its texture
// mirrored from across the frame's edge. The image unchanged when inside
// covers it all or does not fit it; a null image when memory runs out.
QImage fillOutside(const QImage &rectified, const QImage &inside);

// The photograph with the refilled parts of the facade warped back over it
// through the camera's homography, blended softly at their edges; a null
// image when memory runs out.
QImage warpIntoPhoto(const QImage &photo, const QImage &filled, const std::vector<QRect> &holes,
                     const CameraEstimate &camera);

} // namespace FacadeImport

#endif
