#ifndef TESSIVO_IMAGEFILE_H
#define TESSIVO_IMAGEFILE_H

#include "Failure.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// The one checked reader of the program's images (the files of a test case,
// a photograph to import): the file is checked before it is decoded, so that
// a hostile file costs a clear refusal instead of a crash, a silently grey
// picture or a multi-gigabyte allocation.
namespace ImageFile {

// Largest image decoded, in pixels (50 megapixels: 200 MB as 32-bit pixels).
constexpr std::int64_t kMaxPixels = 50'000'000;
// Largest file read: an uncompressed image at the pixel limit fits.
constexpr std::int64_t kMaxFileBytes = std::int64_t(256) << 20;

// What a reader accepts; the defaults are those of a test case's images.
struct Options {
    std::int64_t maxPixels = kMaxPixels;
    std::int64_t maxFileBytes = kMaxFileBytes;
    // Refuse a JPEG whose data end before its end marker (Qt would show the
    // missing part grey without a word). What follows a complete JPEG's end
    // marker is never looked at.
    bool completeJpeg = true;
    // Turn the picture as the camera's orientation tag says.
    bool autoTransform = false;
    // The formats taken, as Qt names them ("jpeg", "png"); empty: any Qt reads.
    std::vector<QByteArray> formats;
};

// Why a file was refused, in Failure::code.
enum class Refusal {
    None,
    CannotOpen,     // missing or not readable
    CannotRead,     // opened, but reading its bytes failed
    Empty,          // no bytes
    FileTooLarge,   // more than maxFileBytes
    NotAnImage,     // no image format Qt reads recognises it
    FormatRefused,  // an image, in a format not among Options::formats
    NoSize,         // its header states no size
    TooManyPixels,  // its header declares more than maxPixels
    CutOff,         // a JPEG whose data end before its end marker
    Undecodable     // its data do not decode
};

// What the reader learnt of a file, also when it refused it, for a caller
// that words its own messages.
struct Image {
    QImage image;         // null on failure
    QByteArray format;    // as Qt names it; empty when no format recognises the data
    QSize declared;       // the size its header declares; invalid when unknown
    QString decoderError; // the decoder's words, when the data do not decode
};

// Whether a width x height image stays within kMaxPixels (sizes up to INT_MAX).
bool withinPixelLimit(std::int64_t width, std::int64_t height);

// "<w> x <h> pixels, above the limit of 50 megapixels" (the limit given).
std::string pixelLimitText(std::int64_t width, std::int64_t height, std::int64_t limit = kMaxPixels);

// Reads the file at path into out, the format taken from the content. False,
// with a Refusal code and a reason that names the file (not logged: the
// caller decides): "Cannot read image <path>" when it is missing or
// unreadable, and after that prefix and a colon what is wrong for the other
// refusals.
bool load(Image &out, const std::string &path, const Options &options, Failure *failure);

// The same for a file's bytes already in memory; name stands for the file in
// the reason.
bool decode(Image &out, const QByteArray &data, const std::string &name, const Options &options,
            Failure *failure);

// load() with the defaults, into image; image is left as it was on failure.
bool load(QImage &image, const std::string &path, Failure *failure);

} // namespace ImageFile

#endif
