#ifndef TESSIVO_TESTCASES_JPEG_H
#define TESSIVO_TESTCASES_JPEG_H

#include "Raster.h"

#include <QWindowData2D.h>

#include <string>

namespace TestCases {

// Writes a picture as a JPEG file at the tree's fixed quality.
bool saveJpeg(const CaseArt::Raster &image, const std::string &path, Failure *failure = nullptr);

} // namespace TestCases

#endif
