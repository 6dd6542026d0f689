#ifndef TESSIVO_PATHTEXT_H
#define TESSIVO_PATHTEXT_H

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>

// Paths pass between the program's narrow strings and Qt's file and image
// classes in the file system's own encoding, so that any name the file
// system holds survives the round trip.
inline QString toQtPath(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

inline std::string toNarrowPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

#endif
