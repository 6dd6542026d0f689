#include "JpegSegments.h"

#include <cstddef>

namespace {

// Markers that stand alone, without a length: TEM and RST0 to RST7.
bool standalone(unsigned char marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

} // namespace

bool jpegComplete(const QByteArray &data)
{
    const auto *d = reinterpret_cast<const unsigned char *>(data.constData());
    const std::size_t n = std::size_t(data.size());
    if (n < 2 || d[0] != 0xFF || d[1] != 0xD8)
        return false;
    std::size_t i = 2;
    while (i < n) {
        // Bytes between segments are tolerated, as the decoder does.
        while (i < n && d[i] != 0xFF)
            ++i;
        while (i < n && d[i] == 0xFF)
            ++i;
        if (i >= n)
            return false;
        const unsigned char marker = d[i++];
        if (marker == 0xD9)
            return true;
        if (standalone(marker))
            continue;
        if (n - i < 2)
            return false;
        const std::size_t length = (std::size_t(d[i]) << 8) | d[i + 1];
        if (length < 2 || n - i < length)
            return false;
        i += length;
        if (marker != 0xDA)
            continue;
        // Scan data: 0xFF is followed by 0 (a stuffed byte) or RSTn inside it.
        while (i + 1 < n && (d[i] != 0xFF || d[i + 1] == 0x00 || (d[i + 1] >= 0xD0 && d[i + 1] <= 0xD7)))
            ++i;
        if (i + 1 >= n)
            return false;
    }
    return false;
}
