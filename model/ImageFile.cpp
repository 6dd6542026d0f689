#include "ImageFile.h"

#include "JpegSegments.h"
#include "PathText.h"
#include "TextFormat.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <algorithm>

namespace ImageFile {

namespace {

bool refuse(Failure *failure, Refusal why, const std::string &name, const std::string &text)
{
    return fail(failure, why, "Cannot read image " + name + ": " + text);
}

bool formatTaken(const QByteArray &format, const Options &options)
{
    return options.formats.empty()
           || std::find(options.formats.begin(), options.formats.end(), format) != options.formats.end();
}

bool refuseFileSize(Failure *failure, const std::string &name, const Options &options)
{
    return refuse(failure, Refusal::FileTooLarge, name,
                  formatText("the file is larger than %lld MiB", static_cast<long long>(options.maxFileBytes >> 20)));
}

// The checks on what the header says, before anything is decoded.
bool checkHeader(QImageReader &reader, const QByteArray &data, Image &out, const std::string &name,
                 const Options &options, Failure *failure)
{
    out.format = reader.format();
    if (out.format.isEmpty() || !reader.canRead())
        return refuse(failure, Refusal::NotAnImage, name, "it is no image in a format the program reads");
    if (!formatTaken(out.format, options))
        return refuse(failure, Refusal::FormatRefused, name,
                      "it is a " + out.format.toUpper().toStdString() + " image, a format not taken here");
    out.declared = reader.size();
    if (!out.declared.isValid())
        return refuse(failure, Refusal::NoSize, name, "its header states no size");
    const std::int64_t width = out.declared.width(), height = out.declared.height();
    if (width * height > options.maxPixels)
        return refuse(failure, Refusal::TooManyPixels, name, "it declares " + pixelLimitText(width, height, options.maxPixels));
    if (options.completeJpeg && out.format == "jpeg" && !jpegComplete(data))
        return refuse(failure, Refusal::CutOff, name, "its JPEG data end before the end of the image (a cut-off file)");
    return true;
}

} // namespace

bool withinPixelLimit(std::int64_t width, std::int64_t height)
{
    return width <= 0 || height <= 0 || width * height <= kMaxPixels;
}

std::string pixelLimitText(std::int64_t width, std::int64_t height, std::int64_t limit)
{
    return formatText("%lld x %lld pixels, above the limit of %lld megapixels", static_cast<long long>(width),
                      static_cast<long long>(height), static_cast<long long>(limit / 1'000'000));
}

bool decode(Image &out, const QByteArray &data, const std::string &name, const Options &options, Failure *failure)
{
    out = Image();
    if (data.isEmpty())
        return refuse(failure, Refusal::Empty, name, "the file is empty");
    if (data.size() > options.maxFileBytes)
        return refuseFileSize(failure, name, options);
    QByteArray bytes = data; // shared, not copied: the buffer only reads it
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(options.autoTransform);
    if (!checkHeader(reader, data, out, name, options, failure))
        return false;
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull()) {
        out.decoderError = reader.errorString();
        return refuse(failure, Refusal::Undecodable, name,
                      "its data do not decode (" + out.decoderError.toStdString() + ")");
    }
    out.image = std::move(decoded);
    return true;
}

bool load(Image &out, const std::string &path, const Options &options, Failure *failure)
{
    out = Image();
    QFile file(toQtPath(path));
    if (!file.open(QIODevice::ReadOnly))
        return fail(failure, Refusal::CannotOpen, "Cannot read image " + path);
    const qint64 size = file.size();
    if (size > options.maxFileBytes)
        return refuseFileSize(failure, path, options);
    const QByteArray data = file.readAll();
    if (data.size() != size || file.error() != QFileDevice::NoError)
        return fail(failure, Refusal::CannotRead, "Cannot read image " + path);
    return decode(out, data, path, options, failure);
}

bool load(QImage &image, const std::string &path, Failure *failure)
{
    Image read;
    if (!load(read, path, Options(), failure))
        return false;
    image = std::move(read.image);
    return true;
}

} // namespace ImageFile
