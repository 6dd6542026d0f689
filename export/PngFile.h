#ifndef TESSIVO_PNGFILE_H
#define TESSIVO_PNGFILE_H

#include <string>

class QImage;
struct Failure;

// The export's PNG encoder, for the OBJ export's files and the glTF
// export's embedded textures: lossless 8-bit grey, RGB or RGBA (as the image
// has colour and alpha), every row with the "up" filter, compressed in one
// go by libdeflate. The wall texture is the largest file of an export, and
// libpng's adaptive filtering with zlib spent most of the export's time on it.
namespace PngFile {

// The image as the bytes of a PNG file; false, with the reason, for a null
// image or one that cannot be compressed.
bool encode(const QImage &image, std::string &png, Failure *failure = nullptr);

// The image written as a PNG file; false, with the reason, for a null image
// or a file that cannot be written.
bool write(const QImage &image, const std::string &path, Failure *failure = nullptr);

} // namespace PngFile

#endif
