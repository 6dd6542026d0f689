#ifndef TESSIVO_IMPORT_WINDOWSEARCH_H
#define TESSIVO_IMPORT_WINDOWSEARCH_H

#include "ImportStatus.h"
#include "WindowGrid.h"

#include <QImage>
#include <QRect>

// Finds the windows of a rectified facade. Windows repeat: one window (the
// one the caller marks, or else the most salient repeated rectangle) is
// searched for by normalised cross-correlation; its good matches, clustered
// into columns and rows, give a lattice whose regular spacing fills in the
// columns and rows the matches missed; a lattice cell is kept where a window
// stands out from the wall there with the right height. The windows' common
// extent is what stands out from the wall in nearly all of them, so that
// blinds, curtains and open shutter leaves beside a window do not widen it.
namespace FacadeImport {

struct WindowSearchResult {
    ImportStatus status; // NoWindows when nothing repeats (and no window was marked)
    WindowGrid grid;
    QRect seed;          // the rectangle whose repeats were searched for
    int matches = 0;     // places where it matched well, itself included
};

// marked: a window the caller points out, in rectified pixels; a null
// rectangle lets the search choose. inside: where the photograph covers the
// rectified facade (8-bit, non-zero inside, the rectified size); a facade cut
// by the photograph's frame has no windows to find beyond it. A null image:
// the photograph covers all of it.
WindowSearchResult findWindows(const QImage &rectified, const QRect &marked = QRect(),
                               const QImage &inside = QImage());

} // namespace FacadeImport

#endif
