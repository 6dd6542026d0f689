#include "PngFile.h"

#include "ExportFiles.h"

#include <QImage>

#include <libdeflate.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
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
    out.insert(out.end(), data, data + size);
    appendBigEndian(out, libdeflate_crc32(0, out.data() + start, size + 4));
}

// The image's rows as PNG scanlines: a filter byte, then each byte minus the
// byte above it (the row above the first is zeros).
std::vector<std::uint8_t> filteredRows(const QImage &image, int channels)
{
    const std::size_t rowBytes = std::size_t(image.width()) * std::size_t(channels);
    std::vector<std::uint8_t> out((rowBytes + 1) * std::size_t(image.height()));
    std::vector<std::uint8_t> previous(rowBytes, 0);
    std::uint8_t *to = out.data();
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t *row = image.constScanLine(y);
        *to++ = kFilterUp;
        for (std::size_t i = 0; i < rowBytes; ++i)
            to[i] = std::uint8_t(row[i] - previous[i]);
        std::memcpy(previous.data(), row, rowBytes);
        to += rowBytes;
    }
    return out;
}

} // namespace

namespace PngFile {

bool write(const QImage &image, const std::string &path, Failure *failure)
{
    if (image.isNull())
        return fail(failure, "no image to write to " + path);
    const bool grey = image.format() == QImage::Format_Grayscale8;
    const bool alpha = !grey && image.hasAlphaChannel();
    const QImage pixels = image.convertToFormat(grey ? QImage::Format_Grayscale8
                                                : alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const int channels = grey ? 1 : alpha ? 4 : 3;
    const std::vector<std::uint8_t> rows = filteredRows(pixels, channels);

    const std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(libdeflate_alloc_compressor(kLevel));
    if (!compressor)
        return fail(failure, "cannot compress " + path + ": out of memory");
    std::vector<std::uint8_t> compressed(libdeflate_zlib_compress_bound(compressor.get(), rows.size()));
    compressed.resize(
        libdeflate_zlib_compress(compressor.get(), rows.data(), rows.size(), compressed.data(), compressed.size()));
    if (compressed.empty())
        return fail(failure, "cannot compress " + path);

    std::vector<std::uint8_t> header;
    appendBigEndian(header, std::uint32_t(pixels.width()));
    appendBigEndian(header, std::uint32_t(pixels.height()));
    // 8 bits per sample, the colour type, deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, grey ? kGrey : alpha ? kRgba : kRgb, 0, 0, 0});

    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> file(kSignature, kSignature + 8);
    file.reserve(compressed.size() + 64);
    appendChunk(file, "IHDR", header.data(), header.size());
    appendChunk(file, "IDAT", compressed.data(), compressed.size());
    appendChunk(file, "IEND", nullptr, 0);
    const ExportFiles::CreatedFile out(std::fopen(path.c_str(), "wb"));
    if (!out)
        return fail(failure, "cannot create " + path);
    const bool written = std::fwrite(file.data(), 1, file.size(), out.get()) == file.size();
    return (written && std::fflush(out.get()) == 0) || fail(failure, "cannot write " + path);
}

} // namespace PngFile
