#include "Jpeg.h"

#include "PathText.h"

#include <QImageWriter>

namespace TestCases {

namespace {

constexpr int kJpegQuality = 92;

} // namespace

bool saveJpeg(const CaseArt::Raster &image, const std::string &path, Failure *failure)
{
    QImageWriter writer(toQtPath(path), "jpg");
    writer.setQuality(kJpegQuality);
    return writer.write(image.toImage()) || fail(failure, "cannot write " + path);
}

} // namespace TestCases
