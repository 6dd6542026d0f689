#include "TestFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

namespace {

// CRC-32 of PNG chunks (ISO 3309), bit by bit: only a few bytes are summed.
quint32 crc32(const QByteArray &bytes)
{
    quint32 c = 0xFFFFFFFFu;
    for (char ch : bytes) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

void appendBig32(QByteArray &out, quint32 v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((v >> shift) & 0xFF));
}

} // namespace

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray encodedImage(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

QByteArray pngHeaderOnly(quint32 width, quint32 height)
{
    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    QByteArray chunk("IHDR");
    appendBig32(chunk, width);
    appendBig32(chunk, height);
    chunk.append(char(8)).append(char(2)).append(char(0)).append(char(0)).append(char(0)); // 8-bit RGB
    appendBig32(out, 13);
    out.append(chunk);
    appendBig32(out, crc32(chunk));
    // The first image data chunk ends the header; its content never gets read.
    const QByteArray data("IDAT\x78\x9c\x63\x00\x00", 9);
    appendBig32(out, 5);
    out.append(data);
    appendBig32(out, crc32(data));
    return out;
}
