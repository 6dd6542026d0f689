#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace CaseArt {

float smoothStep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

Pcg32::Pcg32(std::uint64_t seed, std::uint64_t stream) : m_inc((stream << 1u) | 1u)
{
    next();
    m_state += seed;
    next();
}

std::uint32_t Pcg32::next()
{
    const std::uint64_t old = m_state;
    m_state = old * 6364136223846793005ULL + m_inc;
    const auto xorshifted = std::uint32_t(((old >> 18u) ^ old) >> 27u);
    const auto rot = std::uint32_t(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

double Pcg32::uniform()
{
    return double(next()) * (1.0 / 4294967296.0);
}

double Pcg32::uniform(double lo, double hi)
{
    return lo + (hi - lo) * uniform();
}

int Pcg32::range(int lo, int hi)
{
    if (hi <= lo)
        return lo;
    const auto span = std::uint64_t(std::int64_t(hi) - std::int64_t(lo) + 1);
    return int(std::int64_t(lo) + std::int64_t(std::uint64_t(next()) % span));
}

std::uint32_t hash2(std::int32_t x, std::int32_t y, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= std::uint32_t(x) * 0x85EBCA77u;
    h = (h << 13u) | (h >> 19u);
    h ^= std::uint32_t(y) * 0xC2B2AE3Du;
    h ^= h >> 16u;
    h *= 0x7FEB352Du;
    h ^= h >> 15u;
    h *= 0x846CA68Bu;
    h ^= h >> 16u;
    return h;
}

float valueNoise(double x, double y, std::uint32_t seed)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const auto ix = std::int32_t(fx);
    const auto iy = std::int32_t(fy);
    double tx = x - fx;
    double ty = y - fy;
    tx = tx * tx * (3.0 - 2.0 * tx);
    ty = ty * ty * (3.0 - 2.0 * ty);
    const double a = hashUnit(ix, iy, seed);
    const double b = hashUnit(ix + 1, iy, seed);
    const double c = hashUnit(ix, iy + 1, seed);
    const double d = hashUnit(ix + 1, iy + 1, seed);
    const double top = a + (b - a) * tx;
    const double bottom = c + (d - c) * tx;
    return float(top + (bottom - top) * ty);
}

float fractalNoise(double x, double y, int octaves, double gain, std::uint32_t seed)
{
    double sum = 0.0;
    double amplitude = 1.0;
    double total = 0.0;
    double frequency = 1.0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(x * frequency, y * frequency, seed + std::uint32_t(o) * 101u);
        total += amplitude;
        amplitude *= gain;
        frequency *= 2.0;
    }
    return total > 0.0 ? float(sum / total) : 0.5f;
}

NoiseField::NoiseField(int width, int height, double featureX, double featureY, int octaves, double gain,
                       int step, std::uint32_t seed)
    : m_step(std::max(1, step))
{
    m_cols = std::max(1, width) / m_step + 2;
    m_rows = std::max(1, height) / m_step + 2;
    m_values.resize(std::size_t(m_cols) * std::size_t(m_rows));
    const double invX = 1.0 / std::max(1e-6, featureX);
    const double invY = 1.0 / std::max(1e-6, featureY);
    for (int j = 0; j < m_rows; ++j)
        for (int i = 0; i < m_cols; ++i)
            m_values[std::size_t(j) * std::size_t(m_cols) + std::size_t(i)] =
                fractalNoise(i * m_step * invX, j * m_step * invY, octaves, gain, seed);
}

float NoiseField::at(double x, double y) const
{
    if (m_values.empty())
        return 0.5f;
    // The grid has at least two columns and rows (see the constructor).
    const double gx = std::clamp(x / m_step, 0.0, double(m_cols - 1));
    const double gy = std::clamp(y / m_step, 0.0, double(m_rows - 1));
    const int i = std::min(int(gx), m_cols - 2);
    const int j = std::min(int(gy), m_rows - 2);
    const float ax = float(gx - i);
    const float ay = float(gy - j);
    const float *row0 = &m_values[std::size_t(j) * std::size_t(m_cols) + std::size_t(i)];
    const float *row1 = row0 + m_cols;
    const float top = row0[0] + (row0[1] - row0[0]) * ax;
    const float bottom = row1[0] + (row1[1] - row1[0]) * ax;
    return top + (bottom - top) * ay;
}

} // namespace CaseArt
