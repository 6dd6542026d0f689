#ifndef TESSIVO_IMPORT_FACADEPROPOSAL_H
#define TESSIVO_IMPORT_FACADEPROPOSAL_H

#include "FacadeCamera.h"

#include <QImage>

#include <array>

// The automatic guess of where the facade is in a photograph: the two
// vanishing points of the facade plane found from the photograph's straight
// lines, and the quadrilateral bounded by the outermost dominant facade lines.
namespace FacadeImport {

struct VanishingDirection {
    bool found = false;
    std::array<double, 3> point{}; // homogeneous, photo pixels; the third component is 0 at infinity
    int lines = 0;                 // segments that meet in it
    // The point in photo pixels; meaningless when the third component is 0.
    QPointF position() const;
};

struct FacadeProposal {
    FacadeQuad corners{};
    bool fromLines = false;         // false: no usable lines, the corners are the photograph's extent
    VanishingDirection horizontal;  // where the facade's horizontal lines meet
    VanishingDirection vertical;    // where its vertical lines meet
    int segments = 0;               // straight segments found in the photograph
};

// Runs on a reduced copy of the photograph (at most 1024 pixels on a side);
// corners and vanishing points are given in the photograph's own pixels.
FacadeProposal proposeFacade(const QImage &photo);

} // namespace FacadeImport

#endif
