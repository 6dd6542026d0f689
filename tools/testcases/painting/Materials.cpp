#include "Materials.h"

#include "Noise.h"
#include "WindowArt.h"

#include <algorithm>
#include <cmath>

namespace TestCases {

namespace {

// Noise layers shared by every material of one facade.
struct WallNoise {
    NoiseField stains;  // large, soft patches
    NoiseField texture; // medium grain
    NoiseField streaks; // long vertical rain marks
    std::uint32_t seed;

    WallNoise(int w, int h, std::uint32_t s)
        : stains(w, h, 90.0, 70.0, 4, 0.5, 4, s + 1u),
          texture(w, h, 5.0, 5.0, 2, 0.5, 1, s + 2u),
          streaks(w, h, 3.5, 90.0, 2, 0.5, 2, s + 3u),
          seed(s)
    {
    }
};

Rgb plaster(const WallStyle &st, const WallNoise &n, int x, int y)
{
    const float stain = (n.stains.at(x, y) - 0.5f) * 2.0f * st.blotch;
    const float tex = (n.texture.at(x, y) - 0.5f) * 2.0f * st.grain;
    const float grain = (hashUnit(x, y, n.seed) - 0.5f) * st.grain;
    const float streak = std::max(0.0f, n.streaks.at(x, y) - 0.55f) * 2.0f * st.streaks;
    return (1.0f + stain + tex + grain - streak) * st.base;
}

// Running-bond brickwork with one-pixel joints; every brick has its own
// tint, a few are darker, and the joints catch light above and shade below.
Rgb brick(const WallStyle &st, const WallNoise &n, int x, int y)
{
    const int course = y / st.unitH;
    const int ly = y % st.unitH;
    const int shifted = x + (course % 2) * (st.unitW / 2);
    const int unit = shifted / st.unitW;
    const int lx = shifted % st.unitW;
    const float grain = (hashUnit(x, y, n.seed) - 0.5f) * st.grain;
    if (ly == st.unitH - 1 || lx == st.unitW - 1) {
        const float m = 0.92f + grain + (n.texture.at(x, y) - 0.5f) * 0.15f;
        return m * st.joint;
    }
    const float tint = hashUnit(unit, course, n.seed + 7u);
    const float burn = hashUnit(unit, course, n.seed + 8u) > 0.88f ? 0.72f : 1.0f;
    Rgb c = st.base;
    c.r *= 0.86f + 0.26f * tint;
    c.g *= 0.84f + 0.22f * hashUnit(unit, course, n.seed + 9u);
    c.b *= 0.84f + 0.2f * tint;
    float shade = burn * (1.0f + (n.texture.at(x, y) - 0.5f) * 2.0f * st.grain + grain);
    shade *= 1.0f + (n.stains.at(x, y) - 0.5f) * 2.0f * st.blotch;
    if (ly == 0)
        shade *= 1.08f;
    else if (ly == st.unitH - 2)
        shade *= 0.86f;
    if (lx == 0)
        shade *= 1.04f;
    return shade * c;
}

// Dressed stone blocks in courses, with thin joints, a chamfer on every
// block edge, per-block tint and a speckled surface.
Rgb ashlar(const WallStyle &st, const WallNoise &n, int x, int y)
{
    const int course = y / st.unitH;
    const int ly = y % st.unitH;
    const int shifted = x + (course % 2) * (st.unitW / 2) + (course % 3) * 7;
    const int unit = shifted / st.unitW;
    const int lx = shifted % st.unitW;
    const float speck = (hashUnit(x, y, n.seed) - 0.5f) * st.grain * 1.6f;
    if (ly == st.unitH - 1 || lx == st.unitW - 1)
        return (0.95f + speck) * st.joint;
    const float tint = hashUnit(unit, course, n.seed + 11u) - 0.5f;
    float shade = 1.0f + tint * 0.06f + speck + (n.texture.at(x, y) - 0.5f) * st.grain * 1.5f;
    shade *= 1.0f + (n.stains.at(x, y) - 0.5f) * 1.2f * st.blotch;
    shade -= std::max(0.0f, n.streaks.at(x, y) - 0.55f) * 2.0f * st.streaks;
    if (ly == 0 || lx == 0)
        shade *= 1.06f;
    if (ly == st.unitH - 2 || lx == st.unitW - 2)
        shade *= 0.88f;
    Rgb c = st.base;
    c.r *= 1.0f + tint * 0.03f;
    return shade * c;
}

Rgb material(const WallStyle &st, const WallNoise &n, int x, int y)
{
    switch (st.kind) {
    case WallKind::Brick:
        return brick(st, n, x, y);
    case WallKind::Ashlar:
        return ashlar(st, n, x, y);
    case WallKind::Plaster:
        break;
    }
    return plaster(st, n, x, y);
}

// A horizontal moulded band from y0 to y0 + h: lit top edge, trim body, a
// dark undercut, and a soft shadow cast on the wall below it.
void band(Raster &out, const WallStyle &st, const WallNoise &n, int y0, int h, int shadow)
{
    for (int y = y0; y < y0 + h + shadow; ++y) {
        if (y < 0 || y >= out.height())
            continue;
        for (int x = 0; x < out.width(); ++x) {
            if (y >= y0 + h) {
                const float d = float(y - (y0 + h)) / float(std::max(1, shadow));
                out.at(x, y) = (0.72f + 0.28f * d) * out.at(x, y);
                continue;
            }
            const int ly = y - y0;
            float shade = 1.0f + (hashUnit(x, y, n.seed + 5u) - 0.5f) * st.grain
                        + (n.stains.at(x, y) - 0.5f) * st.blotch;
            if (ly == 0)
                shade *= 1.15f;
            else if (ly == 1)
                shade *= 1.05f;
            else if (ly >= h - 2)
                shade *= 0.7f - 0.1f * float(ly - (h - 2));
            else if (h > 8 && ly == h / 2)
                shade *= 0.9f;
            out.at(x, y) = shade * st.trim;
        }
    }
}

// Dentils under the attic cornice: small blocks with a shadow between them.
void dentils(Raster &out, const WallStyle &st, int y0, int h, int pitch)
{
    for (int y = y0; y < y0 + h && y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const int lx = x % pitch;
            const float shade = lx < pitch / 2 ? (lx == 0 ? 1.1f : 0.98f) : 0.6f;
            const float depth = y == y0 + h - 1 ? 0.8f : 1.0f;
            out.at(x, y) = shade * depth * st.trim;
        }
}

// The entrance: a stone surround, two panelled leaves and a glazed fanlight.
void door(Raster &out, const CaseDesign &design, const WallNoise &n)
{
    const FacadeLayout &l = design.layout;
    const int col = std::clamp(l.doorCol, 0, l.cols - 1);
    const QRect above = l.window(col, l.rows - 1);
    const int w = std::max(l.winW + 10, int(l.winW * 1.25));
    const int bottom = l.height() - std::max(6, l.groundHeight / 12);
    const int h = std::min(int(1.0 / design.pixelScale * 2.6), bottom - l.groundTop() - 12);
    const int x0 = above.center().x() - w / 2;
    const int y0 = bottom - h;
    if (h < 24)
        return; // no room for a door on so low a ground floor
    const int surround = std::max(4, w / 10);
    const Rgb wood = rgb8(78, 52, 36);
    for (int y = y0 - surround; y < bottom; ++y)
        for (int x = x0 - surround; x < x0 + w + surround; ++x) {
            if (!out.contains(x, y))
                continue;
            const bool inside = x >= x0 && x < x0 + w && y >= y0;
            const float grain = (hashUnit(x, y, n.seed + 21u) - 0.5f) * 0.06f;
            if (!inside) {
                float s = 1.05f + grain;
                if (y == y0 - surround || x == x0 - surround)
                    s = 1.18f;
                if (x == x0 + w + surround - 1)
                    s = 0.8f;
                out.at(x, y) = s * design.wall.trim;
                continue;
            }
            const int lx = x - x0;
            const int ly = y - y0;
            const int fan = h / 4;
            float s = 1.0f + grain + (n.texture.at(x * 0.3, y * 3.0) - 0.5f) * 0.2f;
            Rgb c = wood;
            if (ly < fan) {
                // Fanlight: dark glass with a glazing bar pattern.
                const bool bar = lx % (w / 4) == 0 || ly == fan - 1 || ly == 0;
                c = bar ? wood : mix(rgb8(40, 46, 58), design.window.sky, 0.25f * (1.0f - float(ly) / fan));
            } else {
                const int leafW = w / 2;
                const int px = lx % leafW;
                const int py = ly - fan;
                const int ph = (h - fan) / 2;
                const bool panelEdge = px == 4 || px == leafW - 5 || py % ph == 5 || py % ph == ph - 5;
                const bool inPanel = px > 4 && px < leafW - 5 && py % ph > 5 && py % ph < ph - 5;
                if (lx == leafW || lx == leafW - 1)
                    s *= 0.55f;
                else if (panelEdge)
                    s *= 0.7f;
                else if (inPanel)
                    s *= 0.9f;
            }
            if (lx < 2 || ly < 2)
                s *= 0.6f; // shadow of the surround in the reveal
            out.at(x, y) = s * c;
        }
}

// Ground-floor windows beside the entrance: smaller, barred, part of the wall
// (they are not windows of the grid).
void groundWindows(Raster &out, const CaseDesign &design)
{
    const FacadeLayout &l = design.layout;
    const int top = l.groundTop() + l.groundHeight * 22 / 100;
    const int h = std::min(l.winH * 85 / 100, l.groundHeight * 55 / 100);
    if (h < 12)
        return;
    const int door = std::clamp(l.doorCol, 0, l.cols - 1);
    WindowStyle style = design.window;
    style.curtainChance = 0.2;
    for (int c = 0; c < l.cols; ++c) {
        if (c == door)
            continue;
        const int x0 = l.window(c, l.rows - 1).x();
        WindowLook look;
        look.seed = design.seed * 31u + std::uint32_t(c) * 7u + 900u;
        Raster w = paintWindow(style, l.winW, h, look);
        // Iron bars in front of the glass.
        for (int y = style.revealWidth; y < h - style.sillHeight; ++y)
            for (int x = style.revealWidth + 3; x < l.winW - style.revealWidth; x += 7) {
                w.at(x, y) = rgb8(44, 44, 46);
                if (x + 1 < l.winW)
                    w.at(x + 1, y) = 0.8f * w.at(x + 1, y);
            }
        out.paste(w, x0, top);
    }
}

// Stone plinth along the foot of the wall.
void plinth(Raster &out, const CaseDesign &design, const WallNoise &n, int height)
{
    const int y0 = out.height() - height;
    for (int y = std::max(0, y0); y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const int ly = y - y0;
            const int block = (x + (ly > height / 2 ? 23 : 0)) / 57;
            float s = 0.92f + 0.1f * hashUnit(block, ly > height / 2, n.seed + 31u)
                    + (hashUnit(x, y, n.seed + 32u) - 0.5f) * 0.1f
                    + (n.texture.at(x, y) - 0.5f) * 0.12f;
            if (ly == 0)
                s = 1.2f;
            else if (ly == 1 || ly == 2)
                s *= 0.75f;
            if (x % 57 == 0 || ly == height / 2)
                s *= 0.7f;
            out.at(x, y) = s * design.wall.plinth;
        }
}

} // namespace

Raster paintWall(const CaseDesign &design)
{
    const FacadeLayout &l = design.layout;
    const int W = l.width();
    const int H = l.height();
    const WallStyle &st = design.wall;
    const WallNoise n(W, H, design.seed * 7919u + 3u);
    Raster out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            out.at(x, y) = material(st, n, x, y);

    const int groundTop = l.groundTop();
    if (st.rusticatedGround) {
        for (int y = groundTop; y < H; ++y) {
            const int ly = (y - groundTop) % 18;
            const float s = ly == 17 ? 0.72f : (ly == 16 ? 0.9f : (ly == 0 ? 1.08f : 1.0f));
            for (int x = 0; x < W; ++x)
                out.at(x, y) = s * out.at(x, y);
        }
    }

    // String courses between the storeys and above the ground floor.
    const int bandH = std::max(5, l.gapY() / 8);
    for (int r = 1; r < l.rows; ++r) {
        const int y = l.window(0, r).top() - l.gapY() / 2 - bandH / 2;
        band(out, st, n, y, bandH, 3);
    }
    band(out, st, n, groundTop - bandH - 2, bandH + 4, 4);

    // Attic: parapet, cornice with dentils below it.
    const int corniceH = std::max(10, l.topHeight / 4);
    const int corniceY = std::max(2, l.topHeight / 6);
    band(out, st, n, 0, corniceY, 0);
    band(out, st, n, corniceY, corniceH, 0);
    dentils(out, st, corniceY + corniceH, std::max(4, corniceH / 2), std::max(6, corniceH / 2 + 2));
    band(out, st, n, corniceY + corniceH + std::max(4, corniceH / 2), 3, 6);

    door(out, design, n);
    groundWindows(out, design);
    plinth(out, design, n, std::max(12, l.groundHeight / 6));

    // Daylight from the upper left: brighter high up, a touch darker on the
    // right, and the wall darkens near the street.
    for (int y = 0; y < H; ++y) {
        const float fy = float(y) / float(H);
        const float ground = 1.0f - 0.12f * smoothStep(0.8f, 1.0f, fy);
        for (int x = 0; x < W; ++x) {
            const float fx = float(x) / float(W);
            const float light = (1.06f - 0.12f * fy - 0.06f * fx) * ground;
            out.at(x, y) = light * out.at(x, y);
        }
    }
    return out;
}

} // namespace TestCases
