#ifndef TESSIVO_TESTCASES_SCENE_H
#define TESSIVO_TESTCASES_SCENE_H

#include "Camera.h"
#include "CaseDesign.h"
#include "Raster.h"

// The photograph of a facade: the rectified facade warped through H into the
// camera's view, set between its neighbours, under the sky, above the street.
namespace TestCases {

struct Photographs {
    Raster photo;      // with the windows ("original" photograph)
    Raster background; // the same view of the wall without windows
};

// Warps both facade pictures (same size) with the case's camera. Facade
// pixels are filtered bilinearly and supersampled where the facade shrinks
// or where an edge of the scene crosses a pixel.
Photographs takePhotographs(const CaseDesign &design, const CameraModel &camera, const Raster &facade,
                            const Raster &facadeBackground);

} // namespace TestCases

#endif
