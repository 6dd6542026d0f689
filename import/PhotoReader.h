#ifndef TESSIVO_IMPORT_PHOTOREADER_H
#define TESSIVO_IMPORT_PHOTOREADER_H

#include "ImageFile.h"
#include "ImportStatus.h"

#include <QImage>
#include <QSize>
#include <QString>

// Reads a facade photograph (JPEG or PNG) through the program's checked
// image reader (ImageFile), with its limits: the size declared in the file's
// header is checked before anything is decoded, so a small file that claims
// a huge picture costs nothing. The camera's orientation tag is applied.
namespace FacadeImport {

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
