#ifndef TESSIVO_TESTCASES_CASEWRITER_H
#define TESSIVO_TESTCASES_CASEWRITER_H

#include "Camera.h"
#include "CaseDesign.h"

#include <string>

// Paints one test case and writes it below the tree's root folder with the
// model's case writer (TestCaseWriter.h).
namespace TestCases {

// What a written case holds, for the generator's summary.
struct CaseSummary {
    int files = 0;
    int windows = 0;
    int rectifiedWidth = 0, rectifiedHeight = 0;
    int photoWidth = 0, photoHeight = 0;
    int rows = 0, cols = 0;
};

// False, with the first file that could not be written, as Failure.h says.
bool writeCase(const CaseDesign &design, const std::string &root, CaseSummary &summary,
               Failure *failure = nullptr);

// The camera's K, R, H and offsets as the model's reconstruction fields,
// ready for QWindowData2D::saveReconstruction.
void setReconstruction(QWindowData2D &model, const CameraModel &camera);

} // namespace TestCases

#endif
