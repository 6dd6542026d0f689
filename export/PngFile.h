#ifndef TESSIVO_PNGFILE_H
#define TESSIVO_PNGFILE_H

#include <string>

class QImage;
struct Failure;

// The export's PNG writer: lossless 8-bit grey, RGB or RGBA (as the image
// has colour and alpha), every row with the "up" filter, compressed in one
// go by libdeflate. The wall texture is the largest file of an export, and
// libpng's adaptive filtering with zlib spent most of the export's time on it.
namespace PngFile {

// False, with the reason, for a null image or a file that cannot be written.
bool write(const QImage &image, const std::string &path, Failure *failure = nullptr);

} // namespace PngFile

#endif
