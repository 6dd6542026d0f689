#include "PhotoReader.h"

#include "ImageFile.h"
#include "PathText.h"

#include <QByteArray>
#include <QFileInfo>

namespace FacadeImport {

namespace {

// Photographs come as JPEG or PNG; other formats (SVG, TIFF, ...) are not
// taken, so that no other image decoder ever sees a user's file.
ImageFile::Options photoOptions()
{
    ImageFile::Options options;
    options.autoTransform = true;
    options.formats = {"jpeg", "png"};
    return options;
}

// The importer's words for the reader's refusal of the photograph at path
// (name: its file name).
ImportStatus refusal(const Failure &failure, const ImageFile::Image &read, const QString &path, const QString &name)
{
    using ImageFile::Refusal;
    switch (Refusal(failure.code)) {
    case Refusal::CannotOpen:
        return ImportStatus::failure(ImportError::Unreadable, QString("Cannot open %1.").arg(path));
    case Refusal::CannotRead:
        return ImportStatus::failure(ImportError::Unreadable, QString("Cannot read %1.").arg(path));
    case Refusal::FileTooLarge:
        return ImportStatus::failure(ImportError::TooLarge,
                                     QString("%1 is too large a file to be a photograph.").arg(name));
    case Refusal::FormatRefused:
        return ImportStatus::failure(ImportError::NotAnImage,
                                     QString("%1 is a %2 image; a photograph must be JPEG or PNG.")
                                         .arg(name, QString::fromLatin1(read.format.toUpper())));
    case Refusal::TooManyPixels:
        return checkPhotoSize(read.declared);
    case Refusal::CutOff:
        return ImportStatus::failure(ImportError::Truncated,
                                     QString("%1 is cut off: its image data is incomplete.").arg(name));
    case Refusal::Undecodable:
        return ImportStatus::failure(ImportError::NotAnImage,
                                     QString("%1 cannot be decoded: %2").arg(name, read.decoderError));
    default:
        return ImportStatus::failure(ImportError::NotAnImage, QString("%1 is not an image.").arg(name));
    }
}

// The decoded photograph at the importer's minimum size, as RGB888.
Photograph accepted(const QImage &image, const QString &name)
{
    Photograph out;
    out.status = checkPhotoSize(image.size());
    if (!out.status.ok())
        return out;
    out.image = image.convertToFormat(QImage::Format_RGB888);
    if (out.image.isNull())
        out.status = ImportStatus::failure(ImportError::Internal, QString("Not enough memory for %1.").arg(name));
    return out;
}

} // namespace

ImportStatus checkPhotoSize(const QSize &size)
{
    if (size.width() < kMinPhotoSide || size.height() < kMinPhotoSide)
        return ImportStatus::failure(ImportError::TooSmall,
                                     QString("The photograph is %1 x %2 pixels; it needs at least %3 x %3.")
                                         .arg(size.width()).arg(size.height()).arg(kMinPhotoSide));
    if (!ImageFile::withinPixelLimit(size.width(), size.height()))
        return ImportStatus::failure(ImportError::TooLarge,
                                     QString("The photograph is %1 x %2 pixels, over the limit of %3 megapixels.")
                                         .arg(size.width()).arg(size.height()).arg(ImageFile::kMaxPixels / 1'000'000));
    return ImportStatus::success();
}

Photograph readPhotograph(const QString &path)
{
    ImageFile::Image read;
    Failure failure;
    if (!ImageFile::load(read, toNarrowPath(path), photoOptions(), &failure))
        return {QImage(), refusal(failure, read, path, QFileInfo(path).fileName())};
    return accepted(read.image, QFileInfo(path).fileName());
}

Photograph readPhotographData(const QByteArray &data, const QString &name)
{
    ImageFile::Image read;
    Failure failure;
    if (!ImageFile::decode(read, data, toNarrowPath(name), photoOptions(), &failure))
        return {QImage(), refusal(failure, read, name, name)};
    return accepted(read.image, name);
}

} // namespace FacadeImport
