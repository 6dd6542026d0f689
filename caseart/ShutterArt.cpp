#include "ShutterArt.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace CaseArt {

// The hinge line is the window's left (or right) edge; the leaf turns about
// it, its free edge at half the window's width.
std::array<Vec3, 4> leafCorners(const LeafCamera &camera, const QRect &window, bool left, double angle)
{
    const double hingeX = left ? window.x() : window.x() + window.width();
    const double top = window.y();
    const double bottom = window.y() + window.height();
    const double half = 0.5 * window.width() * camera.pixelScale();
    // Direction of the free edge from the hinge; -Z is towards the camera.
    const Vec3 dir{left ? -std::cos(angle) : std::cos(angle), 0.0, -std::sin(angle)};
    const Vec3 hinge1 = camera.wallPoint(hingeX, top);
    const Vec3 hinge2 = camera.wallPoint(hingeX, bottom);
    return {hinge1, hinge2, hinge2 + half * dir, hinge1 + half * dir};
}

std::array<Vec3, 4> leafCorners(const CameraModel &camera, const QRect &window, bool left, double angle)
{
    return leafCorners(ModelLeafCamera(camera), window, left, angle);
}

namespace {

// Where the parts of a leaf lie: stiles at its sides, rails at its top, its
// bottom and across its middle, louvres in the two panels between.
struct LeafLayout {
    LeafLayout(int w, int h)
        : width(w), height(h), stile(std::max(3, w * 14 / 100)), topRail(std::max(3, h * 6 / 100)),
          bottomRail(std::max(3, h * 8 / 100)), midTop(h * 46 / 100), midBottom(midTop + std::max(3, h * 6 / 100)),
          pitch(std::max(4, h / 26))
    {
    }

    bool inFrame(int x, int y) const
    {
        const bool inStile = x < stile || x >= width - stile;
        const bool inRail = y < topRail || y >= height - bottomRail || (y >= midTop && y < midBottom);
        return inStile || inRail;
    }

    int width;
    int height;
    int stile;
    int topRail;
    int bottomRail;
    int midTop;
    int midBottom;
    int pitch;
};

// Frame: bevelled inner edges around the louvre panels.
void shadeFrame(const LeafLayout &l, int x, int y, float &shade)
{
    const bool inStile = x < l.stile || x >= l.width - l.stile;
    const bool innerTop = (y == l.topRail - 1 || y == l.midBottom - 1 || y == l.height - l.bottomRail - 1) && !inStile;
    const bool innerBottom = (y == l.topRail || y == l.midBottom || y == l.height - l.bottomRail) && !inStile;
    if (x == l.stile - 1 || y == l.midTop || innerBottom)
        shade *= 1.14f;
    if (x == l.width - l.stile || innerTop)
        shade *= 0.72f;
    if (x == 0 || y == 0)
        shade *= 1.1f;
    if (x == l.width - 1 || y == l.height - 1)
        shade *= 0.7f;
}

// Louvres: each slat has a lit upper lip, a face that darkens downwards and
// a dark gap beneath it.
void shadeLouvre(const LeafLayout &l, int x, int y, float &shade)
{
    const int panelTop = y < l.midTop ? l.topRail : l.midBottom;
    const int k = (y - panelTop) % l.pitch;
    const float f = float(k) / float(l.pitch);
    if (f < 0.15f)
        shade *= 1.2f;
    else if (f < 0.78f)
        shade *= 1.04f - 0.22f * (f - 0.15f);
    else
        shade *= 0.42f;
    if (x == l.stile || x == l.width - l.stile - 1)
        shade *= 0.75f;
}

// Iron straps from the hinge across the top and bottom rails, ending in a
// rounded tip, with the hinge knuckles on the edge.
void paintStraps(const LeafLayout &l, const ShutterStyle &style, Raster &out)
{
    const int width = l.width;
    const int height = l.height;
    const int strapH = std::max(2, height / 60);
    const int strapLen = width * 7 / 10;
    const int strapYs[2] = {l.topRail / 2 - strapH / 2, height - l.bottomRail / 2 - strapH / 2};
    for (int s = 0; s < 2; ++s)
        for (int y = strapYs[s] - 1; y < strapYs[s] + strapH + 1; ++y)
            for (int x = 0; x < strapLen + strapH; ++x) {
                if (!out.contains(x, y))
                    continue;
                const bool body = y >= strapYs[s] && y < strapYs[s] + strapH && x < strapLen;
                const double dx = x - strapLen;
                const double dy = y - (strapYs[s] + 0.5 * strapH);
                const bool tip = dx >= 0 && dx * dx + dy * dy <= 0.25 * strapH * strapH + 1.0;
                const bool knuckle = x < std::max(2, width / 30) && y >= strapYs[s] - 1;
                if (body || tip || knuckle)
                    out.at(x, y) = (y == strapYs[s] ? 1.3f : 1.0f) * style.hardware;
                else if (y == strapYs[s] + strapH)
                    out.at(x, y) = 0.7f * out.at(x, y);
            }
}

} // namespace

Raster paintLeafTexture(const ShutterStyle &style, int width, int height, std::uint32_t seed)
{
    Raster out(width, height);
    if (width <= 0 || height <= 0)
        return out;
    const LeafLayout layout(width, height);
    const NoiseField wear(width, height, 40.0, 60.0, 3, 0.5, 2, seed + 1u);
    const NoiseField grain(width, height, 1.5, 30.0, 2, 0.5, 1, seed + 2u);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float shade = 1.0f + (grain.at(x, y) - 0.5f) * 0.12f + (hashUnit(x, y, seed + 3u) - 0.5f) * 0.05f;
            if (layout.inFrame(x, y))
                shadeFrame(layout, x, y, shade);
            else
                shadeLouvre(layout, x, y, shade);
            // Worn paint and dirt collecting at the bottom.
            const float w = wear.at(x, y);
            shade *= 1.0f - 0.1f * smoothStep(0.6f, 0.9f, w) - 0.08f * smoothStep(0.7f, 1.0f, float(y) / height);
            Rgb c = shade * style.paint;
            if (w > 0.78f && hashUnit(x / 2, y / 2, seed + 4u) > 0.6f)
                c = mix(c, rgb8(190, 180, 160), 0.5f);
            out.at(x, y) = c;
        }
    paintStraps(layout, style, out);
    return out;
}

LeafQuad leafQuad(const LeafCamera &camera, const QRect &window, bool left, double angle)
{
    const std::array<Vec3, 4> c = leafCorners(camera, window, left, angle);
    LeafQuad q;
    for (int i = 0; i < 4; ++i)
        q.corners[std::size_t(i)] = camera.rectifiedPosition(c[std::size_t(i)]);
    return q;
}

LeafQuad leafQuad(const CameraModel &camera, const QRect &window, bool left, double angle)
{
    return leafQuad(ModelLeafCamera(camera), window, left, angle);
}

double leafDepth(const CameraModel &camera, const QRect &window, bool left, double angle)
{
    const std::array<Vec3, 4> c = leafCorners(camera, window, left, angle);
    return camera.depth(0.25 * (c[0] + c[1] + c[2] + c[3]));
}

std::array<QPoint, 4> roundedCorners(const LeafQuad &quad)
{
    std::array<QPoint, 4> out;
    for (std::size_t i = 0; i < 4; ++i)
        out[i] = QPoint(int(std::lround(quad.corners[i].x)), int(std::lround(quad.corners[i].y)));
    return out;
}

ShutterLeaf sampleLeaf(const LeafCamera &camera, const QRect &window, bool left)
{
    ShutterLeaf leaf;
    const int hingeX = left ? window.x() : window.x() + window.width();
    leaf.hinge1 = QPoint(hingeX, window.y());
    leaf.hinge2 = QPoint(hingeX, window.y() + window.height());
    for (int k = 0; k < TestCasePaths::kLeafSamples; ++k) {
        const double angle = TestCasePaths::kLeafSampleStep * k * kProgramPi / 180.0;
        const std::array<QPoint, 4> c = roundedCorners(leafQuad(camera, window, left, angle));
        leaf.angles.push_back(angle);
        leaf.outer1.push_back(c[2]);
        leaf.outer2.push_back(c[3]);
    }
    return leaf;
}

ShutterLeaf sampleLeaf(const CameraModel &camera, const QRect &window, bool left)
{
    return sampleLeaf(ModelLeafCamera(camera), window, left);
}

void paintLeaf(Raster &image, const LeafQuad &quad, const Raster &texture, bool left, float shade)
{
    // Texture coordinates (s, t) of hinge1, hinge2, outer1, outer2 as the
    // view assigns them: s = 1 on the left leaf's hinge, s = 0 on the right
    // leaf's; t = 1 at hinge1's (top) side.
    const double sHinge = left ? 1.0 : 0.0;
    const std::array<Vec2, 4> st = {Vec2{sHinge, 1.0}, Vec2{sHinge, 0.0}, Vec2{1.0 - sHinge, 0.0},
                                    Vec2{1.0 - sHinge, 1.0}};
    // Map the unit square of (s, t) onto the quad; the quad is a projective
    // image of the flat leaf, so this mapping is exact perspective.
    std::array<Vec2, 4> unitOrder;
    for (std::size_t i = 0; i < 4; ++i) {
        const int idx = st[i].x == 0.0 ? (st[i].y == 0.0 ? 0 : 3) : (st[i].y == 0.0 ? 1 : 2);
        unitOrder[std::size_t(idx)] = quad.corners[i];
    }
    Mat3 toQuad;
    if (!squareToQuad(unitOrder, &toQuad))
        return;
    const Mat3 toSquare = toQuad.inverse();

    double minX = 1e30, minY = 1e30, maxX = -1e30, maxY = -1e30;
    for (const Vec2 &p : quad.corners) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return;
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const int x0 = std::max(0, int(std::floor(minX)));
    const int x1 = std::min(image.width() - 1, int(std::ceil(maxX)));
    const int y0 = std::max(0, int(std::floor(minY)));
    const int y1 = std::min(image.height() - 1, int(std::ceil(maxY)));
    constexpr int kSub = 3;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            Rgb sum{};
            int hits = 0;
            for (int j = 0; j < kSub; ++j)
                for (int i = 0; i < kSub; ++i) {
                    const Vec2 u = applyHomography(toSquare, x + (i + 0.5) / kSub, y + (j + 0.5) / kSub);
                    if (u.x < 0.0 || u.x > 1.0 || u.y < 0.0 || u.y > 1.0)
                        continue;
                    // t = 1 is the top row of the upright texture.
                    sum = sum + texture.sample(u.x * texture.width(), (1.0 - u.y) * texture.height());
                    ++hits;
                }
            if (hits == 0)
                continue;
            const float cover = float(hits) / float(kSub * kSub);
            const Rgb leaf = (shade / float(hits)) * sum;
            image.at(x, y) = mix(image.at(x, y), leaf, cover);
        }
}

} // namespace CaseArt
