#ifndef TESSIVO_IMPORT_FOUNDWORDS_H
#define TESSIVO_IMPORT_FOUNDWORDS_H

#include "WindowGrid.h"

#include <QString>

// How the importer tells what it found, in the same words in the wizard and
// on the command line: counts with the noun in the right number.
namespace FacadeImport {

// "1 window in 1 row x 1 column", "18 windows in 3 rows x 6 columns".
QString gridSummary(const WindowGrid &grid);

// What a search for a window's repeats added to the windows there were:
// "14 more windows found", "1 more window found", "No repeats found: add them
// with Add window" when it found the marked window alone, and "No more
// windows found" when its repeats were all there already.
QString searchOutcome(int before, int found);

} // namespace FacadeImport

#endif
