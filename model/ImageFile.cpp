#include "ImageFile.h"

#include "JpegSegments.h"
#include "PathText.h"
#include "TextFormat.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace ImageFile {

namespace {

bool refuse(Failure *failure, const std::string &path, const std::string &why)
{
    return fail(failure, "Cannot read image " + path + ": " + why);
}

} // namespace

bool withinPixelLimit(std::int64_t width, std::int64_t height)
{
    return width <= 0 || height <= 0 || width * height <= kMaxPixels;
}

std::string pixelLimitText(std::int64_t width, std::int64_t height)
{
    return formatText("%lld x %lld pixels, above the limit of %lld megapixels", static_cast<long long>(width),
                      static_cast<long long>(height), static_cast<long long>(kMaxPixels / 1'000'000));
}

bool load(QImage &image, const std::string &path, Failure *failure)
{
    QFile file(toQtPath(path));
    if (!file.open(QIODevice::ReadOnly))
        return fail(failure, "Cannot read image " + path);
    const qint64 size = file.size();
    if (size == 0)
        return refuse(failure, path, "the file is empty");
    if (size > kMaxFileBytes)
        return refuse(failure, path,
                      formatText("the file is larger than %lld MiB", static_cast<long long>(kMaxFileBytes >> 20)));
    QByteArray data = file.readAll();
    if (data.size() != size)
        return fail(failure, "Cannot read image " + path);

    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead())
        return refuse(failure, path, "it is no image in a format the program reads");
    const QSize declared = reader.size();
    if (!declared.isValid())
        return refuse(failure, path, "its header states no size");
    if (!withinPixelLimit(declared.width(), declared.height()))
        return refuse(failure, path, "it declares " + pixelLimitText(declared.width(), declared.height()));
    if (reader.format() == "jpeg" && !jpegComplete(data))
        return refuse(failure, path, "its JPEG data end before the end of the image (a cut-off file)");
    QImage decoded;
    if (!reader.read(&decoded))
        return refuse(failure, path, "its data do not decode (" + reader.errorString().toStdString() + ")");
    image = std::move(decoded);
    return true;
}

} // namespace ImageFile
