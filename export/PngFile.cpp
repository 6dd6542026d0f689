#include "PngFile.h"

#include "ExportFiles.h"

#include <QImage>

#include <libdeflate.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

// libdeflate's fastest level: files some 7 % larger than zlib's default level
// in a small part of its time (the export writes them once; speed counts).
constexpr int kLevel = 1;

// PNG colour types.
constexpr std::uint8_t kGrey = 0;
constexpr std::uint8_t kRgb = 2;
constexpr std::uint8_t kRgba = 6;
constexpr std::uint8_t kFilterUp = 2;

struct CompressorFree {
    void operator()(libdeflate_compressor *c) const { libdeflate_free_compressor(c); }
};

// Buffers of the encoder: left uninitialised (every byte is written before
// it is read), since zero-filling megabytes cost as much as compressing them.
// Null when the memory is not there.
using Bytes = std::unique_ptr<std::uint8_t[]>;

Bytes uninitialised(std::size_t size)
{
    return Bytes(new (std::nothrow) std::uint8_t[size]);
}

// One compressor per thread, kept: allocating libdeflate's tables for every
// file cost more than compressing a window image.
libdeflate_compressor *compressor()
{
    thread_local const std::unique_ptr<libdeflate_compressor, CompressorFree> kept(libdeflate_alloc_compressor(kLevel));
    return kept.get();
}

void appendBigEndian(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(value >> shift));
}

// Length, type, data and the CRC of type and data.
void appendChunk(std::vector<std::uint8_t> &out, const char type[4], const std::uint8_t *data, std::size_t size)
{
    appendBigEndian(out, std::uint32_t(size));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    if (size > 0)
        out.insert(out.end(), data, data + size);
    appendBigEndian(out, libdeflate_crc32(0, out.data() + start, size + 4));
}

// The samples of one row: RGB from a 32-bit opaque image read directly
// (converting the whole image first cost a copy of it), else the row as it is.
const std::uint8_t *rowSamples(const QImage &pixels, int y, int channels, std::uint8_t *scratch)
{
    const std::uint8_t *row = pixels.constScanLine(y);
    if (pixels.format() != QImage::Format_RGB32 || channels != 3)
        return row;
    const QRgb *from = reinterpret_cast<const QRgb *>(row);
    const int width = pixels.width();
    for (int x = 0; x < width; ++x) {
        scratch[3 * x] = std::uint8_t(qRed(from[x]));
        scratch[3 * x + 1] = std::uint8_t(qGreen(from[x]));
        scratch[3 * x + 2] = std::uint8_t(qBlue(from[x]));
    }
    return scratch;
}

// The image's rows as PNG scanlines into to: a filter byte, then each byte
// minus the byte above it (the row above the first is zeros).
void filterRows(const QImage &pixels, int channels, std::uint8_t *to)
{
    const std::size_t rowBytes = std::size_t(pixels.width()) * std::size_t(channels);
    std::vector<std::uint8_t> previous(rowBytes, 0), scratch(rowBytes);
    for (int y = 0; y < pixels.height(); ++y) {
        const std::uint8_t *row = rowSamples(pixels, y, channels, scratch.data());
        *to++ = kFilterUp;
        for (std::size_t i = 0; i < rowBytes; ++i)
            to[i] = std::uint8_t(row[i] - previous[i]);
        std::memcpy(previous.data(), row, rowBytes);
        to += rowBytes;
    }
}

// A PNG file in three parts, so that the compressed data is neither
// zero-filled nor copied on its way to a file: the signature and header
// chunk, the image data chunk's length and type, then its data (filled only
// as far as it is compressed), then its CRC and the end chunk. Fresh pages
// are costly to touch, and an image's worth of them is touched only once.
struct Parts {
    // The filtered rows, freed with the rest: freed as soon as they were
    // compressed, the allocator gave their pages back to the system and
    // every export faulted them in afresh (measured: the whole export of a
    // case 60 % slower).
    Bytes rows;
    std::vector<std::uint8_t> head;
    Bytes data;
    std::size_t dataSize = 0;
    std::vector<std::uint8_t> tail;
};

// False when the image cannot be compressed (out of memory).
bool encodeParts(const QImage &image, Parts &parts)
{
    const bool grey = image.format() == QImage::Format_Grayscale8;
    const bool alpha = !grey && image.hasAlphaChannel();
    const QImage::Format samples = grey ? QImage::Format_Grayscale8 : alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    const bool direct = image.format() == samples || (!alpha && image.format() == QImage::Format_RGB32);
    const QImage pixels = direct ? image : image.convertToFormat(samples);
    const int channels = grey ? 1 : alpha ? 4 : 3;
    const std::size_t rowsSize = (std::size_t(pixels.width()) * std::size_t(channels) + 1) * std::size_t(pixels.height());
    parts.rows = uninitialised(rowsSize);
    libdeflate_compressor *const deflate = compressor();
    if (!parts.rows || !deflate)
        return false;
    filterRows(pixels, channels, parts.rows.get());
    const std::size_t bound = libdeflate_zlib_compress_bound(deflate, rowsSize);
    parts.data = uninitialised(bound);
    if (!parts.data)
        return false;
    parts.dataSize = libdeflate_zlib_compress(deflate, parts.rows.get(), rowsSize, parts.data.get(), bound);
    if (parts.dataSize == 0)
        return false;

    std::vector<std::uint8_t> header;
    appendBigEndian(header, std::uint32_t(pixels.width()));
    appendBigEndian(header, std::uint32_t(pixels.height()));
    // 8 bits per sample, the colour type, deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, grey ? kGrey : alpha ? kRgba : kRgb, 0, 0, 0});
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    parts.head.assign(kSignature, kSignature + 8);
    appendChunk(parts.head, "IHDR", header.data(), header.size());
    appendBigEndian(parts.head, std::uint32_t(parts.dataSize));
    parts.head.insert(parts.head.end(), {'I', 'D', 'A', 'T'});
    const std::uint32_t crc = libdeflate_crc32(libdeflate_crc32(0, "IDAT", 4), parts.data.get(), parts.dataSize);
    appendBigEndian(parts.tail, crc);
    appendChunk(parts.tail, "IEND", nullptr, 0);
    return true;
}

} // namespace

namespace PngFile {

bool encode(const QImage &image, std::string &png, Failure *failure)
{
    Parts parts;
    if (image.isNull())
        return fail(failure, "no image to encode");
    if (!encodeParts(image, parts))
        return fail(failure, "cannot compress an image");
    png.clear();
    png.reserve(parts.head.size() + parts.dataSize + parts.tail.size());
    png.append(reinterpret_cast<const char *>(parts.head.data()), parts.head.size());
    png.append(reinterpret_cast<const char *>(parts.data.get()), parts.dataSize);
    png.append(reinterpret_cast<const char *>(parts.tail.data()), parts.tail.size());
    return true;
}

bool write(const QImage &image, const std::string &path, Failure *failure)
{
    if (image.isNull())
        return fail(failure, "no image to write to " + path);
    Parts parts;
    if (!encodeParts(image, parts))
        return fail(failure, "cannot compress " + path);
    const ExportFiles::CreatedFile out(std::fopen(path.c_str(), "wb"));
    if (!out)
        return fail(failure, "cannot create " + path);
    const bool written = std::fwrite(parts.head.data(), 1, parts.head.size(), out.get()) == parts.head.size()
                      && std::fwrite(parts.data.get(), 1, parts.dataSize, out.get()) == parts.dataSize
                      && std::fwrite(parts.tail.data(), 1, parts.tail.size(), out.get()) == parts.tail.size();
    return (written && std::fflush(out.get()) == 0) || fail(failure, "cannot write " + path);
}

} // namespace PngFile
