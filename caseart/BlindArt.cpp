#include "BlindArt.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace CaseArt {

void paintBlind(Raster &window, const WindowStyle &style, int extent, int margin, std::uint32_t seed)
{
    const int width = window.width();
    const int height = window.height();
    const int x0 = std::clamp(margin, 0, width / 2);
    const int x1 = width - x0;
    extent = std::clamp(extent, 0, height);
    const int pitch = std::max(2, style.slatPitch);
    const int rail = std::min(3, extent);
    for (int y = 0; y < extent; ++y) {
        const int slatIndex = y / pitch;
        const int k = y % pitch;
        const float jitter = 0.94f + 0.08f * hashUnit(slatIndex, 3, seed + 40u);
        for (int x = x0; x < x1; ++x) {
            const float across = float(x - x0) / float(std::max(1, x1 - x0));
            const float curve = 0.94f + 0.1f * std::sin(3.14159f * across);
            float shade = jitter * curve + (hashUnit(x, y, seed + 41u) - 0.5f) * 0.04f;
            if (y >= extent - rail) {
                shade *= y == extent - rail ? 1.05f : (y == extent - 1 ? 0.55f : 0.78f);
                window.at(x, y) = shade * style.slat;
                continue;
            }
            if (k == 0)
                shade *= 1.16f;
            else if (k == pitch - 1) {
                window.at(x, y) = mix(0.4f * style.slat, 0.6f * window.at(x, y), style.gapDarkness);
                continue;
            } else {
                shade *= 1.0f - 0.12f * float(k) / float(pitch);
            }
            window.at(x, y) = shade * style.slat;
        }
    }
    // The blind's shadow on what lies below it.
    for (int y = extent; y < std::min(height, extent + 3); ++y)
        for (int x = x0; x < x1; ++x)
            window.at(x, y) = (0.68f + 0.1f * float(y - extent)) * window.at(x, y);
}

} // namespace CaseArt
