#include "ImageFile.h"

#include "PathText.h"
#include "TextFormat.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace ImageFile {

namespace {

// Markers that stand alone, without a length: TEM and RST0 to RST7.
bool standalone(unsigned char marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// Whether JPEG data reach their end-of-image marker: walks the segments by
// their lengths (so a thumbnail inside an APP segment is skipped whole) and
// the entropy-coded data after each start of scan up to the next marker.
bool jpegComplete(const QByteArray &data)
{
    const auto *d = reinterpret_cast<const unsigned char *>(data.constData());
    const std::size_t n = std::size_t(data.size());
    if (n < 2 || d[0] != 0xFF || d[1] != 0xD8)
        return false;
    std::size_t i = 2;
    while (i < n) {
        // Bytes between segments are tolerated, as the decoder does.
        while (i < n && d[i] != 0xFF)
            ++i;
        while (i < n && d[i] == 0xFF)
            ++i;
        if (i >= n)
            return false;
        const unsigned char marker = d[i++];
        if (marker == 0xD9)
            return true;
        if (standalone(marker))
            continue;
        if (n - i < 2)
            return false;
        const std::size_t length = (std::size_t(d[i]) << 8) | d[i + 1];
        if (length < 2 || n - i < length)
            return false;
        i += length;
        if (marker != 0xDA)
            continue;
        // Scan data: 0xFF is followed by 0 (a stuffed byte) or RSTn inside it.
        while (i + 1 < n && (d[i] != 0xFF || d[i + 1] == 0x00 || (d[i + 1] >= 0xD0 && d[i + 1] <= 0xD7)))
            ++i;
        if (i + 1 >= n)
            return false;
    }
    return false;
}

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
