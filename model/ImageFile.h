#ifndef TESSIVO_IMAGEFILE_H
#define TESSIVO_IMAGEFILE_H

#include "Failure.h"

#include <QImage>

#include <cstdint>
#include <string>

// Reading an image of user data (every image of a test case goes through
// here): the file is checked before it is decoded, so that a hostile file
// costs a clear refusal instead of a crash, a silently grey picture or a
// multi-gigabyte allocation.
namespace ImageFile {

// Largest image decoded, in pixels (50 megapixels: 200 MB as 32-bit pixels).
constexpr std::int64_t kMaxPixels = 50'000'000;
// Largest file read: an uncompressed image at the pixel limit fits.
constexpr std::int64_t kMaxFileBytes = std::int64_t(256) << 20;

// Whether a width x height image stays within kMaxPixels (sizes up to INT_MAX).
bool withinPixelLimit(std::int64_t width, std::int64_t height);

// "<w> x <h> pixels, above the limit of 50 megapixels".
std::string pixelLimitText(std::int64_t width, std::int64_t height);

// Loads path into image, the format taken from the content. False, with a
// reason that names the file (not logged: the caller decides), when it is
// missing or unreadable ("Cannot read image <path>"), or, after that prefix
// and a colon, empty, larger than kMaxFileBytes, no image Qt can read, an
// image whose header declares more than kMaxPixels or states no size, a
// JPEG whose data end before its end marker (Qt would show the missing
// part grey without a word), or data that do not decode. image is left
// as it was on failure.
bool load(QImage &image, const std::string &path, Failure *failure);

} // namespace ImageFile

#endif
