#ifndef TESSIVO_IMPORT_FACADEPROPOSAL_H
#define TESSIVO_IMPORT_FACADEPROPOSAL_H

#include "FacadeCamera.h"

#include <QImage>

#include <array>
#include <vector>

// The automatic guess of where the facade is in a photograph: the two
// vanishing points of the facade plane found from the photograph's straight
// lines, and the quadrilateral bounded by the outermost dominant facade lines;
// with several facades in view, one such quadrilateral for each, ranked.
namespace FacadeImport {

struct VanishingDirection {
    bool found = false;
    std::array<double, 3> point{}; // homogeneous, photo pixels; the third component is 0 at infinity
    int lines = 0;                 // segments that meet in it
    // The point in photo pixels; meaningless when the third component is 0.
    QPointF position() const;
};

// One facade the photograph's lines outline: a street scene or a corner
// shows several, each with its own horizontal vanishing point.
struct FacadeCandidate {
    FacadeQuad corners{};
    VanishingDirection horizontal;  // where this facade's horizontal lines meet
    double score = 0.0;             // higher is likelier the facade meant
    double area = 0.0;              // share of the photograph the quadrilateral covers
    double lineLength = 0.0;        // its lines' length inside it, in photograph diagonals
    int repeats = 0;                // rows and columns of edges inside it (window-like structure)
    double frontal = 0.0;           // 1 for a facade seen square on, towards 0 the more oblique
    double structure = 0.0;         // how densely rows and columns of edges fill it, 0 to 1
};

struct FacadeProposal {
    FacadeQuad corners{};
    bool fromLines = false;         // false: no usable lines, the corners are the photograph's extent
    VanishingDirection horizontal;  // where the facade's horizontal lines meet
    VanishingDirection vertical;    // where its vertical lines meet (shared by every candidate)
    int segments = 0;               // straight segments found in the photograph
    // Every facade found, best first; corners and horizontal are the first
    // one's. Empty when the corners are the photograph's extent.
    std::vector<FacadeCandidate> candidates;
};

// Runs on a reduced copy of the photograph (at most 1024 pixels on a side);
// corners and vanishing points are given in the photograph's own pixels.
// Where the frame cuts the facade, the cut side is the facade's own line
// that just covers what is visible, and its corners may lie beyond the frame
// (as far as validateCorners accepts).
FacadeProposal proposeFacade(const QImage &photo);

} // namespace FacadeImport

#endif
