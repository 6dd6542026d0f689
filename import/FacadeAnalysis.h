#ifndef TESSIVO_IMPORT_FACADEANALYSIS_H
#define TESSIVO_IMPORT_FACADEANALYSIS_H

#include "FacadeProposal.h"
#include "ImportStatus.h"
#include "Rectification.h"
#include "WindowGrid.h"
#include "WindowSearch.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

// Everything the importer works out from one facade photograph, ready to be
// edited and written as a test case: the facade's corners and camera, the
// rectified facade, its windows as a grid, the backgrounds without windows
// and the per-window images.
namespace FacadeImport {

struct AnalysisOptions {
    bool useCorners = false;  // take corners instead of proposing them
    FacadeQuad corners{};     // photo pixels, any start, either way round
    QRect window;             // a window marked in rectified pixels; null: search for one
    QRect photoWindow;        // or one marked in photo pixels (its corners' box in the rectified image)
    bool clearLeafZones = false; // also clear the half window beside each window (shutter leaves)
    // False: stop after the window search, leaving the backgrounds and window
    // images to updateWindows (an editor that fills once the windows are final).
    bool fillBackground = true;
};

// Milliseconds per step, for the benchmark and the command line's report.
struct AnalysisTimings {
    double proposal = 0.0;
    double rectification = 0.0;
    double windowSearch = 0.0;
    double background = 0.0;
    double windowImages = 0.0;
};

struct FacadeAnalysis {
    // The first failure. NoWindows leaves everything before the window search
    // valid (the caller may then mark windows and call updateWindows).
    ImportStatus status;
    QImage photo;                  // as read (RGB888)
    FacadeProposal proposal;       // the automatic guess; only with corners not given
    RectificationPlan plan;        // corners, camera, homography, size
    QImage rectified;              // beyond the photograph's frame refilled with the wall
    QImage inside;                 // 255 where the photograph covers rectified (Grayscale8, its size)
    WindowSearchResult search;     // what the window search found
    WindowGrid grid;               // the windows now (found, or as edited)
    bool clearLeafZones = false;
    QImage background;             // rectified facade without its windows
    QImage originalBackground;     // the photograph with that facade warped back over it
    std::vector<QImage> windowImages; // the rectified image inside each window of grid, in grid order
    AnalysisTimings timings;
};

// The whole analysis of a photograph already read.
FacadeAnalysis analysePhotograph(const QImage &photo, const AnalysisOptions &options = AnalysisOptions());

// The same for a file: reading it first, with the reader's limits.
FacadeAnalysis analysePhotographFile(const QString &path, const AnalysisOptions &options = AnalysisOptions());

// After the windows were edited (added, removed, moved, resized): the grid,
// the backgrounds and the window images again, from the new rectangles.
void updateWindows(FacadeAnalysis &analysis, const std::vector<PlacedWindow> &windows);

// A rectangle of the photograph (a window marked on it) in the rectified
// image, clipped to it; each side midway between the two corners that land
// on it. Null when it misses the image.
QRect rectifiedBox(const RectificationPlan &plan, const QRect &photoRect);

// The rectified image inside each window (clipped to the image), in grid order.
std::vector<QImage> cropWindows(const QImage &rectified, const WindowGrid &grid);

} // namespace FacadeImport

#endif
