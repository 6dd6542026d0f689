#ifndef TESSIVO_IMPORT_INTERNAL_MILLISECONDS_H
#define TESSIVO_IMPORT_INTERNAL_MILLISECONDS_H

#include <QElapsedTimer>

namespace FacadeImport {

// The time a timer has run, in milliseconds, for the timings of the import steps.
inline double millisecondsOf(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1.0e6;
}

} // namespace FacadeImport

#endif
