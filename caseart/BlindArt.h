#ifndef TESSIVO_CASEART_BLINDART_H
#define TESSIVO_CASEART_BLINDART_H

#include "ArtStyles.h"
#include "Raster.h"

#include <cstdint>

// External venetian blinds drawn over a picture of a window, whatever made
// the picture: a painted window of the test-case generator or a crop of a
// photograph.
namespace CaseArt {

// Lowers a blind over window from its top edge down to extent rows (clamped
// to the picture): slats with a lit upper edge and a dark gap below, a
// heavier bottom rail, and its shadow on the rows underneath. The blind runs
// between side margins of margin pixels (clamped to half the width); seed
// varies the slats. A test case draws it at the eleven levels 0, 10, ... 100
// percent of the window's height.
void paintBlind(Raster &window, const WindowStyle &style, int extent, int margin, std::uint32_t seed);

} // namespace CaseArt

#endif
