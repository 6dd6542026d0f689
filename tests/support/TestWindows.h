#ifndef TESSIVO_TESTS_TESTWINDOWS_H
#define TESSIVO_TESTS_TESTWINDOWS_H

#include "QWindowData2D.h"

// A window with the given box and grid cell; the other fields keep their
// defaults (sourceIndex -1 as in a detected list, unless given).
inline FacadeWindow makeWindow(int x, int y, int width, int height, int col = 0, int row = 0,
                               int sourceIndex = -1)
{
    FacadeWindow w;
    w.x = x;
    w.y = y;
    w.width = width;
    w.height = height;
    w.col = col;
    w.row = row;
    w.sourceIndex = sourceIndex;
    return w;
}

#endif
