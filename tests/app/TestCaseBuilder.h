#ifndef TESSIVO_TESTS_TESTCASEBUILDER_H
#define TESSIVO_TESTS_TESTCASEBUILDER_H

#include <QColor>
#include <QRect>
#include <QString>

// A small synthetic test case: a rows x cols grid of equal windows laid out
// as the lattice of the grid bounds would place them, plain-coloured images
// and an identity homography (original frame = rectified frame).
struct CasePlan {
    int rows = 2;
    int cols = 3;
    int cellWidth = 20;
    int cellHeight = 24;
    int boundsWidth = 160;  // grid bounds at (0, 0); the images have this size
    int boundsHeight = 120;
    bool shutter = false;
};

// Top-left corner of window (row, col) of the detected grid.
QRect caseWindowRect(const CasePlan &plan, int row, int col);

// Writes the test case into kindFolder (the "blinds" or "shutters" folder)
// under fileName, creating folders as needed. Returns false on any write error.
bool writeTestCase(const QString &kindFolder, const QString &fileName, const CasePlan &plan);

// Writes a grid file of one group, with windows laid out like writeTestCase.
bool writeGridFile(const QString &path, const CasePlan &plan);

// Colour of the original photograph, which differs from every other image.
QColor caseOriginalColor();

#endif
