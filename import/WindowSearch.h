#ifndef TESSIVO_IMPORT_WINDOWSEARCH_H
#define TESSIVO_IMPORT_WINDOWSEARCH_H

#include "ImportStatus.h"
#include "WindowGrid.h"

#include <QImage>
#include <QRect>

// Finds the windows of a rectified facade, two ways. The layout search reads
// where the facade differs from its wall: blobs that stand out from it on
// every side, the kind that repeats most in rows and columns being the main
// kind of window (or the kind of a window the caller marks), other repeating
// kinds that look like it joining, and gaps of the lattice filled where a
// cell looks like its row's and column's windows. The lattice search matches
// one window (the marked one, or the most salient repeated rectangle) by
// normalised cross-correlation and fills the regular lattice its matches
// make; its boxes are exact where windows are alike, and they stand where the
// layout search finds the same windows. Real windows that differ from each
// other, rows of other sizes and occluded cells are the layout search's.
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
