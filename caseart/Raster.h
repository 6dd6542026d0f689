#ifndef TESSIVO_CASEART_RASTER_H
#define TESSIVO_CASEART_RASTER_H

#include <QImage>
#include <QRect>

#include <vector>

// Floating-point RGB pictures that the case art paints into, and their
// conversion to QImage. Colour components run from 0 to 1.
namespace CaseArt {

struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

inline Rgb operator+(const Rgb &a, const Rgb &b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(float s, const Rgb &a) { return {s * a.r, s * a.g, s * a.b}; }
inline Rgb operator*(const Rgb &a, const Rgb &b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb mix(const Rgb &a, const Rgb &b, float t) { return (1.0f - t) * a + t * b; }
// Colour from 8-bit components, for readable palettes.
inline Rgb rgb8(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

class Raster
{
public:
    Raster() = default;
    Raster(int width, int height, const Rgb &fill = Rgb{});

    int width() const { return m_w; }
    int height() const { return m_h; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_w && y < m_h; }

    // Unchecked access; callers stay inside the picture.
    Rgb &at(int x, int y) { return m_px[std::size_t(y) * std::size_t(m_w) + std::size_t(x)]; }
    const Rgb &at(int x, int y) const { return m_px[std::size_t(y) * std::size_t(m_w) + std::size_t(x)]; }

    // Bilinear sample at a continuous position; pixel (i, j) has its centre at
    // (i + 0.5, j + 0.5). Positions outside repeat the nearest edge pixel.
    Rgb sample(double x, double y) const;

    // The part of the picture inside rect (clipped to the picture).
    Raster crop(const QRect &rect) const;
    // Copies src with its top-left corner at (x, y), clipped to this picture.
    void paste(const Raster &src, int x, int y);
    // Mirror image left to right.
    Raster mirrored() const;

    QImage toImage() const;
    // A picture from any QImage (a photograph's crop, say); toImage gives
    // the same 8-bit colours back.
    static Raster fromImage(const QImage &image);

private:
    int m_w = 0;
    int m_h = 0;
    std::vector<Rgb> m_px;
};

} // namespace CaseArt

#endif
