#ifndef TESSIVO_IMPORT_PHOTOREADER_H
#define TESSIVO_IMPORT_PHOTOREADER_H

#include "ImageFile.h"
#include "ImportStatus.h"

#include <QImage>
#include <QSize>
#include <QString>

// Reads a facade photograph (any format Qt reads: JPEG, PNG, ...) with the
// limits the importer works within. The size declared in the file's header
// is checked before anything is decoded, so a small file that claims a huge
// picture costs nothing.
namespace FacadeImport {

// The pixel limit of every image the program reads.
constexpr qint64 kMaxPhotoPixels = ImageFile::kMaxPixels;
constexpr int kMinPhotoSide = 64;

struct Photograph {
    QImage image; // RGB888, orientation of the camera's tag applied; null on failure
    ImportStatus status;
};

// Whether a picture of this size is accepted; the message names the limit.
ImportStatus checkPhotoSize(const QSize &size);

Photograph readPhotograph(const QString &path);

// The same for a file's bytes already in memory; name is the file's name for
// the messages.
Photograph readPhotographData(const QByteArray &data, const QString &name);

} // namespace FacadeImport

#endif
