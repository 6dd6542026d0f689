#ifndef TESSIVO_TESTCASES_WINDOWART_H
#define TESSIVO_TESTCASES_WINDOWART_H

#include "CaseDesign.h"
#include "Raster.h"

#include <cstdint>

// One window as it appears in the rectified facade: reveal, sill, framed
// sashes with glazing bars, glass that mirrors the sky over a dim room, and,
// in blind cases, the guide rails and the external blind lowered to a given
// extent. Everything of a window lies inside its rectangle.
namespace TestCases {

struct WindowLook {
    std::uint32_t seed = 1;
    int blindExtent = 0;   // rows covered by the blind from the top; 0 for none
    bool blindRails = false;
};

Raster paintWindow(const WindowStyle &style, int width, int height, const WindowLook &look);

} // namespace TestCases

#endif
