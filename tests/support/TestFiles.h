#ifndef TESSIVO_TESTS_TESTFILES_H
#define TESSIVO_TESTS_TESTFILES_H

#include <QByteArray>
#include <QString>

class QImage;

// Writes bytes to path, creating or truncating it; false when any step fails.
bool writeBytes(const QString &path, const QByteArray &bytes);

// The whole content of a file; empty when it cannot be read.
QByteArray fileBytes(const QString &path);

// image encoded in format ("PNG", "JPG", "BMP", ...) at quality 90.
QByteArray encodedImage(const QImage &image, const char *format);

// A PNG signature and header chunk claiming width x height, and no pixels:
// a few dozen bytes that declare a huge picture.
QByteArray pngHeaderOnly(quint32 width, quint32 height);

#endif
