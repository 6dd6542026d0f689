#ifndef TESSIVO_TESTS_TESTFILES_H
#define TESSIVO_TESTS_TESTFILES_H

#include <QByteArray>
#include <QString>

// Writes bytes to path, creating or truncating it; false when any step fails.
bool writeBytes(const QString &path, const QByteArray &bytes);

// The whole content of a file; empty when it cannot be read.
QByteArray fileBytes(const QString &path);

#endif
