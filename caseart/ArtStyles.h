#ifndef TESSIVO_CASEART_ARTSTYLES_H
#define TESSIVO_CASEART_ARTSTYLES_H

#include "Raster.h"

// How windows, blinds and shutter leaves look: the parts of a case's design
// that the case art (blinds, leaves) and the window painting share.
namespace CaseArt {

struct WindowStyle {
    Rgb frame;            // painted frame
    Rgb reveal;           // the wall's reveal around the frame
    Rgb sill;             // the ledge at the bottom
    Rgb interior;         // dim room colour
    Rgb curtain;          // curtain fabric
    Rgb sky;              // sky reflected in the glass
    int revealWidth = 4;
    int frameWidth = 4;
    int sillHeight = 5;
    int casements = 2;    // 1 or 2 sashes side by side
    int paneRows = 1;     // glazing bar rows per sash
    double transom = 0.0; // share of the glass height taken by a top light
    double curtainChance = 0.6;
    // External blind (blind cases).
    Rgb slat;
    int slatPitch = 4;
    float gapDarkness = 0.45f; // how much of the room shows between slats
};

struct ShutterStyle {
    Rgb paint;
    Rgb hardware;
    int textureScale = 3; // texture pixels per rectified pixel of a closed leaf
};

} // namespace CaseArt

#endif
