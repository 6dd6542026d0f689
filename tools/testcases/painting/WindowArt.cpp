#include "WindowArt.h"

#include "BlindArt.h"
#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace TestCases {

namespace {

constexpr float kTwoPi = 6.2831853f;

enum class Part { Reveal, Sill, Frame, Sash, Glass };

// Where the parts of a window lie, in window pixels.
struct WindowParts {
    int w = 0, h = 0;
    int rv = 0, fw = 0, sill = 0;
    int glassL = 0, glassR = 0, glassT = 0, glassB = 0; // glass area inside the frame
    int mullionL = 0, mullionR = 0;                      // empty when one sash
    int transomT = 0, transomB = 0;                      // empty when no top light
    int sashBorder = 1;
    int paneRows = 1;

    WindowParts(const WindowStyle &s, int width, int height)
        : w(width), h(height)
    {
        rv = std::clamp(s.revealWidth, 1, std::max(1, w / 6));
        fw = std::clamp(s.frameWidth, 1, std::max(1, w / 8));
        sill = std::clamp(s.sillHeight, 1, std::max(1, h / 8));
        glassL = rv + fw;
        glassR = w - rv - fw;
        glassT = rv + fw;
        glassB = h - sill - fw;
        const int mw = std::max(2, fw * 3 / 4);
        if (s.casements >= 2) {
            mullionL = (w - mw) / 2;
            mullionR = mullionL + mw;
        }
        if (s.transom > 0.0) {
            transomT = glassT + int((glassB - glassT) * s.transom);
            transomB = transomT + mw;
        }
        sashBorder = std::max(1, fw / 2);
        paneRows = std::max(1, s.paneRows);
    }

    Part partAt(int x, int y) const
    {
        if (y >= h - sill)
            return Part::Sill;
        if (x < rv || x >= w - rv || y < rv)
            return Part::Reveal;
        if (x < glassL || x >= glassR || y < glassT || y >= glassB)
            return Part::Frame;
        if (x >= mullionL && x < mullionR)
            return Part::Frame;
        if (y >= transomT && y < transomB)
            return Part::Frame;
        // Sash borders and glazing bars of the lower sashes.
        if (y >= transomB) {
            const int left = x < mullionL || mullionR == 0 ? glassL : mullionR;
            const int right = mullionR != 0 && x < mullionL ? mullionL : glassR;
            const int top = transomB > 0 ? transomB : glassT;
            if (x < left + sashBorder || x >= right - sashBorder || y < top + sashBorder || y >= glassB - sashBorder)
                return Part::Sash;
            const int paneH = (glassB - top) / paneRows;
            for (int k = 1; k < paneRows; ++k) {
                const int bar = top + k * paneH;
                if (y >= bar - 1 && y < bar + 1)
                    return Part::Sash;
            }
        }
        return Part::Glass;
    }
};

// What the glass shows: the sky and the street mirrored, over a dim room
// with curtains at the sides and now and then a lamp.
struct GlassLook {
    float streakPhase = 0.0f;
    float curtainL = 0.0f; // share of each sash width hidden by a curtain
    float curtainR = 0.0f;
    bool sheer = false;    // a net curtain over the whole glass
    bool lamp = false;
    float lampX = 0.5f;
    float roomShade = 1.0f;
};

Rgb glassColour(const WindowStyle &s, const WindowParts &g, const GlassLook &look, std::uint32_t seed,
                int x, int y)
{
    const float gx = float(x - g.glassL) / float(std::max(1, g.glassR - g.glassL));
    const float gy = float(y - g.glassT) / float(std::max(1, g.glassB - g.glassT));

    // Room: darker at the ceiling, lit floor, furniture blurred by the glass.
    Rgb room = look.roomShade * (0.75f + 0.35f * gy) * s.interior;
    room = (0.85f + 0.3f * valueNoise(x * 0.15, y * 0.08, seed + 3u)) * room;
    if (look.lamp) {
        const float dx = gx - look.lampX;
        const float dy = gy - 0.15f;
        room = room + (0.35f * std::exp(-(dx * dx + dy * dy) * 30.0f)) * rgb8(255, 214, 150);
    }
    // Curtains: folds run down, lit a little from the window.
    const int sashL = x < g.mullionL || g.mullionR == 0 ? g.glassL : g.mullionR;
    const int sashR = g.mullionR != 0 && x < g.mullionL ? g.mullionL : g.glassR;
    const float sx = float(x - sashL) / float(std::max(1, sashR - sashL));
    const bool leftSash = g.mullionR == 0 || x < g.mullionL;
    const bool rightSash = g.mullionR == 0 || x >= g.mullionR;
    if ((leftSash && sx < look.curtainL) || (rightSash && sx > 1.0f - look.curtainR)) {
        const float fold = 0.78f + 0.22f * std::cos(kTwoPi * float(x) / 4.5f + 0.7f * gy);
        room = (fold * (0.6f + 0.15f * gy)) * s.curtain;
    } else if (look.sheer) {
        room = mix(room, 0.55f * s.curtain, 0.4f + 0.1f * std::cos(kTwoPi * float(x) / 3.0f));
    }

    // Reflection: bright sky above, the opposite houses lower down, and a
    // diagonal sheen across the pane.
    Rgb mirror = (0.95f - 0.4f * gy) * s.sky;
    mirror = mix(mirror, rgb8(70, 68, 66), 0.65f * smoothStep(0.35f, 1.0f, gy));
    const float d = std::fmod(gx * 0.9f + gy * 0.55f + look.streakPhase, 1.0f);
    const float sheen = smoothStep(0.0f, 0.08f, d) * (1.0f - smoothStep(0.12f, 0.3f, d));
    mirror = mirror + (0.16f * sheen) * Rgb{1.0f, 1.0f, 1.0f};

    const float fresnel = 0.35f + 0.2f * (1.0f - gy);
    Rgb c = mix(room, mirror, fresnel);
    // The frame above and at the left casts a short shadow on the glass.
    const int dy = y - (y < g.transomT || g.transomB == 0 ? g.glassT : g.transomB);
    if (dy >= 0 && dy < 3)
        c = (0.7f + 0.1f * float(dy)) * c;
    const int dx = x - sashL;
    if (dx >= 0 && dx < 2)
        c = (0.8f + 0.1f * float(dx)) * c;
    return c;
}

Rgb frameColour(const WindowStyle &s, const WindowParts &g, Part part, std::uint32_t seed, int x, int y)
{
    const float grain = (hashUnit(x, y, seed + 17u) - 0.5f) * 0.05f;
    float shade = 1.0f + grain;
    switch (part) {
    case Part::Reveal: {
        Rgb c = s.reveal;
        if (y < g.rv)
            shade *= 0.5f + 0.15f * float(y) / float(g.rv);
        else if (x < g.rv)
            shade *= 0.72f;
        else
            shade *= 0.92f;
        return (shade + (hashUnit(x, y, seed + 18u) - 0.5f) * 0.08f) * c;
    }
    case Part::Sill: {
        const int ly = y - (g.h - g.sill);
        if (ly == 0)
            shade *= 1.2f;
        else if (ly == g.sill - 1)
            shade *= 0.55f;
        else if (ly == g.sill - 2)
            shade *= 0.8f;
        return shade * s.sill;
    }
    case Part::Frame:
    case Part::Sash: {
        // Lit faces on the upper left, shaded ones at the lower right edge
        // of every bar; sashes sit slightly deeper than the outer frame.
        if (part == Part::Sash)
            shade *= 0.93f;
        const bool topEdge = y == g.rv || (g.transomB > 0 && y == g.transomT);
        const bool leftEdge = x == g.rv || (g.mullionR > 0 && x == g.mullionL);
        const bool glassEdge = y == g.glassT - 1 || x == g.glassL - 1 || y == g.glassB || x == g.glassR
                            || (g.mullionR > 0 && x == g.mullionR - 1);
        if (topEdge || leftEdge)
            shade *= 1.1f;
        if (glassEdge)
            shade *= 0.8f;
        if (x == g.w - g.rv - 1 || y == g.h - g.sill - 1)
            shade *= 0.7f;
        return shade * s.frame;
    }
    case Part::Glass:
        break;
    }
    return s.frame;
}

// Aluminium guide rails at both sides of the opening.
void paintRails(Raster &out, const WindowStyle &s, const WindowParts &g)
{
    const Rgb metal = mix(s.slat, rgb8(150, 152, 156), 0.5f);
    for (int y = 0; y < g.h - g.sill; ++y) {
        const int xs[4] = {g.rv - 1, g.rv, g.w - g.rv - 1, g.w - g.rv};
        for (int i = 0; i < 4; ++i) {
            const int x = xs[i];
            if (x < 0 || x >= g.w)
                continue;
            const float shade = (i % 2 == 0) ? 1.1f : 0.75f;
            out.at(x, y) = shade * metal;
        }
    }
}

} // namespace

Raster paintWindow(const WindowStyle &style, int width, int height, const WindowLook &look)
{
    Raster out(width, height);
    if (width <= 0 || height <= 0)
        return out;
    const WindowParts g(style, width, height);
    Pcg32 rng(look.seed, 7u);
    GlassLook glass;
    glass.streakPhase = float(rng.uniform());
    if (rng.uniform() < style.curtainChance) {
        glass.curtainL = float(rng.uniform(0.12, 0.35));
        glass.curtainR = float(rng.uniform(0.12, 0.35));
    }
    glass.sheer = rng.uniform() < 0.3;
    glass.lamp = rng.uniform() < 0.25;
    glass.lampX = float(rng.uniform(0.3, 0.7));
    glass.roomShade = float(rng.uniform(0.75, 1.15));

    for (int y = 0; y < height; ++y) {
        // The lintel's shadow falls on the top of the opening.
        const float lintel = 0.72f + 0.28f * smoothStep(0.0f, float(g.rv + g.fw + 6), float(y));
        for (int x = 0; x < width; ++x) {
            const Part part = g.partAt(x, y);
            Rgb c = part == Part::Glass ? glassColour(style, g, glass, look.seed, x, y)
                                        : frameColour(style, g, part, look.seed, x, y);
            if (part != Part::Sill)
                c = lintel * c;
            out.at(x, y) = c;
        }
    }
    if (look.blindRails)
        paintRails(out, style, g);
    if (look.blindExtent > 0)
        paintBlind(out, style, look.blindExtent, g.rv, look.seed);
    return out;
}

} // namespace TestCases
