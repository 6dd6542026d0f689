#ifndef TESSIVO_CASEART_NOISE_H
#define TESSIVO_CASEART_NOISE_H

#include <cstdint>
#include <vector>

// Deterministic randomness of the case art: a seeded PCG32 stream for choices,
// and hash-based value noise for textures. Nothing depends on the platform's
// rand(), so every run paints the same pictures.
namespace CaseArt {

class Pcg32
{
public:
    explicit Pcg32(std::uint64_t seed, std::uint64_t stream = 54u);

    std::uint32_t next();
    // Uniform in [0, 1).
    double uniform();
    // Uniform in [lo, hi).
    double uniform(double lo, double hi);
    // Uniform integer in [lo, hi]; lo when hi < lo.
    int range(int lo, int hi);

private:
    std::uint64_t m_state = 0;
    std::uint64_t m_inc = 0;
};

// Integer hash of a lattice point, mixed with a seed.
std::uint32_t hash2(std::int32_t x, std::int32_t y, std::uint32_t seed);
// Hash to [0, 1).
inline float hashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed)
{
    return float(hash2(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

// Smooth step from 0 at edge0 to 1 at edge1.
float smoothStep(float edge0, float edge1, float x);

// Smooth value noise in [0, 1], one lattice cell per unit.
float valueNoise(double x, double y, std::uint32_t seed);
// Sum of octaves of value noise, each at twice the frequency and gain times the
// amplitude of the previous one, normalised to [0, 1].
float fractalNoise(double x, double y, int octaves, double gain, std::uint32_t seed);

// Fractal noise precomputed on a coarse grid and read back bilinearly: textures
// need it at every pixel, and the grid makes that cheap even in debug builds.
class NoiseField
{
public:
    NoiseField() = default;
    // Covers [0, width) x [0, height) in pixels; the noise's lattice cell is
    // featureX by featureY pixels, and the grid keeps one value every `step` pixels.
    NoiseField(int width, int height, double featureX, double featureY, int octaves, double gain, int step,
               std::uint32_t seed);

    float at(double x, double y) const;

private:
    int m_cols = 0;
    int m_rows = 0;
    int m_step = 1;
    std::vector<float> m_values;
};

} // namespace CaseArt

#endif
