#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace CaseArt {

Raster::Raster(int width, int height, const Rgb &fill)
    : m_w(std::max(0, width)), m_h(std::max(0, height)), m_px(std::size_t(m_w) * std::size_t(m_h), fill)
{
}

Rgb Raster::sample(double x, double y) const
{
    if (m_w == 0 || m_h == 0)
        return {};
    const double fx = std::clamp(x - 0.5, 0.0, double(m_w - 1));
    const double fy = std::clamp(y - 0.5, 0.0, double(m_h - 1));
    const int x0 = int(fx);
    const int y0 = int(fy);
    const int x1 = std::min(x0 + 1, m_w - 1);
    const int y1 = std::min(y0 + 1, m_h - 1);
    const float ax = float(fx - x0);
    const float ay = float(fy - y0);
    const Rgb top = mix(at(x0, y0), at(x1, y0), ax);
    const Rgb bottom = mix(at(x0, y1), at(x1, y1), ax);
    return mix(top, bottom, ay);
}

Raster Raster::crop(const QRect &rect) const
{
    const QRect r = rect.intersected(QRect(0, 0, m_w, m_h));
    Raster out(r.width(), r.height());
    for (int y = 0; y < out.m_h; ++y)
        for (int x = 0; x < out.m_w; ++x)
            out.at(x, y) = at(r.x() + x, r.y() + y);
    return out;
}

void Raster::paste(const Raster &src, int x, int y)
{
    for (int j = 0; j < src.m_h; ++j)
        for (int i = 0; i < src.m_w; ++i)
            if (contains(x + i, y + j))
                at(x + i, y + j) = src.at(i, j);
}

Raster Raster::mirrored() const
{
    Raster out(m_w, m_h);
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x)
            out.at(x, y) = at(m_w - 1 - x, y);
    return out;
}

QImage Raster::toImage() const
{
    QImage img(m_w, m_h, QImage::Format_RGB32);
    auto byte = [](float v) { return int(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (int y = 0; y < m_h; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < m_w; ++x) {
            const Rgb &c = at(x, y);
            line[x] = qRgb(byte(c.r), byte(c.g), byte(c.b));
        }
    }
    return img;
}

Raster Raster::fromImage(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Raster out(rgb.width(), rgb.height());
    for (int y = 0; y < out.m_h; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < out.m_w; ++x)
            out.at(x, y) = rgb8(qRed(line[x]), qGreen(line[x]), qBlue(line[x]));
    }
    return out;
}

} // namespace CaseArt
