#include "PhotoReader.h"

#include "ImageFile.h"
#include "JpegSegments.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace FacadeImport {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("FacadeImport", text);
}

} // namespace

ImportStatus checkPhotoSize(const QSize &size)
{
    if (size.width() < kMinPhotoSide || size.height() < kMinPhotoSide)
        return ImportStatus::failure(ImportError::TooSmall,
                                     tr("The photograph is %1 x %2 pixels; it needs at least %3 x %3.")
                                         .arg(size.width()).arg(size.height()).arg(kMinPhotoSide));
    if (qint64(size.width()) * size.height() > kMaxPhotoPixels)
        return ImportStatus::failure(ImportError::TooLarge,
                                     tr("The photograph is %1 x %2 pixels, over the limit of 50 megapixels.")
                                         .arg(size.width()).arg(size.height()));
    return ImportStatus::success();
}

Photograph readPhotograph(const QString &path)
{
    Photograph out;
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.status = ImportStatus::failure(ImportError::Unreadable, tr("Cannot open %1.").arg(path));
        return out;
    }
    if (file.size() > ImageFile::kMaxFileBytes) {
        out.status = ImportStatus::failure(ImportError::TooLarge, tr("%1 is too large a file to be a photograph.").arg(name));
        return out;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        out.status = ImportStatus::failure(ImportError::Unreadable, tr("Cannot read %1.").arg(path));
        return out;
    }
    return readPhotographData(data, name);
}

Photograph readPhotographData(const QByteArray &bytes, const QString &name)
{
    Photograph out;
    if (bytes.size() > ImageFile::kMaxFileBytes) {
        out.status = ImportStatus::failure(ImportError::TooLarge, tr("%1 is too large a file to be a photograph.").arg(name));
        return out;
    }
    QByteArray data = bytes; // shared, not copied: the buffer only reads it
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format.isEmpty() || !reader.canRead()) {
        out.status = ImportStatus::failure(ImportError::NotAnImage, tr("%1 is not an image.").arg(name));
        return out;
    }
    // Photographs come as JPEG or PNG; other formats (SVG, TIFF, ...) are not
    // taken, so that no other image decoder ever sees a user's file.
    if (format != "jpeg" && format != "png") {
        out.status = ImportStatus::failure(ImportError::NotAnImage,
                                           tr("%1 is a %2 image; a photograph must be JPEG or PNG.")
                                               .arg(name, QString::fromLatin1(format.toUpper())));
        return out;
    }
    // The declared size, from the header alone. Formats that cannot tell it
    // before decoding are checked after.
    const QSize declared = reader.size();
    if (declared.isValid()) {
        out.status = checkPhotoSize(declared);
        if (!out.status.ok())
            return out;
    }
    if (format == "jpeg" && !jpegComplete(data)) {
        out.status = ImportStatus::failure(ImportError::Truncated, tr("%1 is cut off: its image data is incomplete.").arg(name));
        return out;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        out.status = ImportStatus::failure(ImportError::NotAnImage,
                                           tr("%1 cannot be decoded: %2").arg(name, reader.errorString()));
        return out;
    }
    out.status = checkPhotoSize(image.size());
    if (!out.status.ok())
        return out;
    out.image = image.convertToFormat(QImage::Format_RGB888);
    if (out.image.isNull())
        out.status = ImportStatus::failure(ImportError::Internal, tr("Not enough memory for %1.").arg(name));
    return out;
}

} // namespace FacadeImport
