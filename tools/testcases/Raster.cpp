#include "Raster.h"

#include <algorithm>
#include <cmath>

namespace testcases {

Raster::Raster(int width, int height, const Rgb &fill)
    : w_(std::max(0, width)), h_(std::max(0, height)), px_(std::size_t(w_) * std::size_t(h_), fill)
{
}

Rgb Raster::sample(double x, double y) const
{
    if (w_ == 0 || h_ == 0)
        return {};
    const double fx = std::clamp(x - 0.5, 0.0, double(w_ - 1));
    const double fy = std::clamp(y - 0.5, 0.0, double(h_ - 1));
    const int x0 = int(fx);
    const int y0 = int(fy);
    const int x1 = std::min(x0 + 1, w_ - 1);
    const int y1 = std::min(y0 + 1, h_ - 1);
    const float ax = float(fx - x0);
    const float ay = float(fy - y0);
    const Rgb top = mix(at(x0, y0), at(x1, y0), ax);
    const Rgb bottom = mix(at(x0, y1), at(x1, y1), ax);
    return mix(top, bottom, ay);
}

Raster Raster::crop(const QRect &rect) const
{
    const QRect r = rect.intersected(QRect(0, 0, w_, h_));
    Raster out(r.width(), r.height());
    for (int y = 0; y < out.h_; ++y)
        for (int x = 0; x < out.w_; ++x)
            out.at(x, y) = at(r.x() + x, r.y() + y);
    return out;
}

void Raster::paste(const Raster &src, int x, int y)
{
    for (int j = 0; j < src.h_; ++j)
        for (int i = 0; i < src.w_; ++i)
            if (contains(x + i, y + j))
                at(x + i, y + j) = src.at(i, j);
}

Raster Raster::mirrored() const
{
    Raster out(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            out.at(x, y) = at(w_ - 1 - x, y);
    return out;
}

QImage Raster::toImage() const
{
    QImage img(w_, h_, QImage::Format_RGB32);
    auto byte = [](float v) { return int(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (int y = 0; y < h_; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w_; ++x) {
            const Rgb &c = at(x, y);
            line[x] = qRgb(byte(c.r), byte(c.g), byte(c.b));
        }
    }
    return img;
}

} // namespace testcases
