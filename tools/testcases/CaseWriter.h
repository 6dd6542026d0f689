#ifndef TESSIVO_TESTCASES_CASEWRITER_H
#define TESSIVO_TESTCASES_CASEWRITER_H

#include "CaseDesign.h"

#include <string>

// Writes every file of one test case below the tree's root folder:
// the photograph, the rectified image, both backgrounds, the grid and
// reconstruction files, and the window images (blind levels, or interiors,
// leaf textures and the shutter file).
namespace testcases {

struct CaseReport {
    bool ok = false;
    std::string error;  // first failure, when not ok
    int files = 0;
    int windows = 0;
    int rectifiedWidth = 0, rectifiedHeight = 0;
    int photoWidth = 0, photoHeight = 0;
    int rows = 0, cols = 0;
};

CaseReport writeCase(const CaseDesign &design, const std::string &root);

} // namespace testcases

#endif
