#include "Scene.h"

#include "Materials.h"
#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace TestCases {

namespace {

// A homography as nine plain numbers: the scene applies two of them at every
// sample, and plain arithmetic keeps that fast in unoptimised builds too.
struct PlainHomography {
    double m[9] = {};

    explicit PlainHomography(const Mat3 &h)
    {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[3 * i + j] = h.m[std::size_t(i)][std::size_t(j)];
    }
    // Homogeneous image of (u, v, 1).
    void apply(double u, double v, double *x, double *y, double *w) const
    {
        *x = m[0] * u + m[1] * v + m[2];
        *y = m[3] * u + m[4] * v + m[5];
        *w = m[6] * u + m[7] * v + m[8];
    }
};

enum Region : unsigned char { Sky, Facade, Roof, Neighbour, Ground };

// Scene points farther than this (rectified pixels) are left to the sky, so
// that texture lookups only ever see coordinates that fit an int.
constexpr double kFar = 1.0e6;

// One pixel sample of the scene, in rectified pixel units.
struct Hit {
    Region region = Sky;
    double x = 0.0; // facade, roof, neighbour: wall position; ground: along the wall
    double y = 0.0; // facade, roof, neighbour: wall position; ground: distance from the wall
};

class SceneSampler
{
public:
    SceneSampler(const CaseDesign &design, const CameraModel &camera, const Raster &facade, const Raster &background)
        : m_design(design), m_facade(facade), m_background(background),
          m_toWall(camera.homography().inverse()), m_toGround(groundToPhoto(camera, facade.height()).inverse())
    {
        const double s = camera.pixelScale;
        m_wallW = facade.width();
        m_wallH = facade.height();
        m_colMin = camera.colMin;
        m_rowMin = camera.rowMin;
        m_invScale = 1.0 / s;
        m_roofH = design.scene.roofHeight * m_invScale;
        m_leftTop = design.scene.leftTop * m_invScale;
        m_rightTop = design.scene.rightTop * m_invScale;
        m_sidewalk = design.scene.sidewalk * m_invScale;
        for (int c = 0; c < design.layout.cols; ++c)
            m_dormers.push_back(design.layout.window(c, 0).center().x() + 0.5);
    }

    Hit hit(double u, double v) const
    {
        Hit h;
        double wx, wy, wz;
        m_toWall.apply(u, v, &wx, &wy, &wz);
        if (wz > 0.0) {
            h.x = wx / wz + m_colMin;
            h.y = wy / wz + m_rowMin;
            if (std::abs(h.x) > kFar || std::abs(h.y) > kFar)
                return h; // towards the wall's vanishing line: sky
            if (h.y <= m_wallH) {
                if (h.x >= 0.0 && h.x <= m_wallW) {
                    h.region = h.y >= 0.0 ? Facade : (h.y >= -m_roofH ? Roof : Sky);
                    return h;
                }
                const double top = h.x < 0.0 ? m_leftTop : m_rightTop;
                h.region = h.y >= top ? Neighbour : Sky;
                return h;
            }
        }
        double gx, gy, gz;
        m_toGround.apply(u, v, &gx, &gy, &gz);
        if (gz > 0.0) {
            h.x = gx / gz * m_invScale;
            h.y = -gy / gz * m_invScale;
            if (std::abs(h.x) < kFar && std::abs(h.y) < kFar)
                h.region = Ground;
            return h;
        }
        h.region = Sky;
        return h;
    }

    // Colours of a sample in the photograph and in its background.
    void shade(const Hit &h, const Rgb &sky, Rgb *photo, Rgb *bg) const
    {
        switch (h.region) {
        case Facade:
            *photo = m_facade.sample(h.x, h.y);
            *bg = m_background.sample(h.x, h.y);
            return;
        case Roof:
            *photo = *bg = roof(h.x, h.y);
            return;
        case Neighbour:
            *photo = *bg = neighbour(h.x, h.y);
            return;
        case Ground:
            *photo = *bg = ground(h.x, h.y);
            return;
        case Sky:
            break;
        }
        *photo = *bg = sky;
    }

private:
    // A dormer above every window column of a tall roof: a framed window
    // under a metal cap. False when (x, y) is not on a dormer.
    bool dormer(double x, double y, Rgb *colour) const
    {
        if (m_roofH < 1.8 * m_invScale)
            return false;
        const double half = 0.45 * m_design.layout.winW;
        const double up = -y / m_roofH;
        for (double cx : m_dormers) {
            const double dx = std::abs(x - cx) / half;
            if (dx > 1.0 || up > 0.78)
                continue;
            const Rgb trim = m_design.wall.trim;
            if (up > 0.66)
                *colour = (0.7f + 0.5f * float(up - 0.66)) * rgb8(88, 94, 104);
            else if (dx > 0.82 || up < 0.1 || up > 0.58 || dx < 0.05)
                *colour = (x < cx ? 1.0f : 0.86f) * trim;
            else
                *colour = mix(rgb8(40, 44, 52), m_design.window.sky, float(0.5 * (up - 0.1)));
            return true;
        }
        return false;
    }

    // Slate roof rising behind the attic: courses of tiles, darker upwards.
    Rgb roof(double x, double y) const
    {
        Rgb d;
        if (dormer(x, y, &d))
            return d;
        const double tileH = 0.22 * m_invScale;
        const double tileW = 0.3 * m_invScale;
        const int course = int(std::floor(-y / tileH));
        const double shifted = x + (course % 2) * 0.5 * tileW;
        const int tile = int(std::floor(shifted / tileW));
        const double ly = -y / tileH - course;
        float s = 0.85f + 0.2f * hashUnit(tile, course, m_design.seed + 61u);
        if (ly < 0.12)
            s *= 0.6f;
        if (shifted / tileW - tile < 0.04)
            s *= 0.75f;
        s *= 1.0f - 0.25f * float(std::min(1.0, -y / std::max(1.0, m_roofH)));
        return s * m_design.scene.roof;
    }

    // The houses next door: plaster, a storey grid of plain windows, a shop
    // front on the ground floor, a drainpipe at the party wall.
    Rgb neighbour(double x, double y) const
    {
        const bool left = x < 0.0;
        const double d = left ? -x : x - m_wallW;
        const Rgb base = left ? m_design.scene.leftWall : m_design.scene.rightWall;
        const std::uint32_t seed = m_design.seed + (left ? 70u : 80u);
        const double pipe = 0.12 * m_invScale;
        if (d < pipe)
            return (d < 0.3 * pipe ? 0.55f : 0.8f) * rgb8(120, 118, 112);
        const double top = left ? m_leftTop : m_rightTop;
        if (y - top < 0.45 * m_invScale)
            return (y - top < 0.1 * m_invScale ? 1.1f : 0.8f) * base;
        Rgb c = (0.95f + 0.06f * valueNoise(d * 0.02, y * 0.02, seed)
                 + (hashUnit(int(d), int(y), seed) - 0.5f) * 0.06f) * base;
        const double cell = 2.9 * m_invScale;
        const double storey = 3.1 * m_invScale;
        const double up = m_wallH - y; // height above the street
        const double lx = std::fmod(d + 0.4 * cell, cell) / cell;
        if (up < 3.4 * m_invScale) {
            // Shop fronts: a framed shop window with a top light under a
            // dark fascia carrying a sign.
            const double m = up / m_invScale; // metres above the street
            const bool opening = lx > 0.08 && lx < 0.92;
            if (m > 2.85 && m < 3.3 && opening) {
                const bool letters = lx > 0.25 && lx < 0.75 && m > 2.98 && m < 3.17
                                  && hashUnit(int(d * 0.25), 0, seed) > 0.35f;
                return letters ? rgb8(226, 214, 180) : rgb8(46, 52, 58);
            }
            if (m > 0.45 && m < 2.85 && opening) {
                const bool frame = lx < 0.11 || lx > 0.89 || m < 0.52 || std::abs(m - 2.3) < 0.05 || m > 2.78;
                if (frame)
                    return rgb8(70, 72, 74);
                return mix(rgb8(34, 40, 48), m_design.scene.skyHorizon, float(0.45 * (m - 0.45) / 2.4));
            }
            if (m < 0.45)
                c = 0.7f * base;
            return c;
        }
        const double ly = std::fmod(up - 3.4 * m_invScale, storey) / storey;
        if (lx > 0.32 && lx < 0.68 && ly > 0.25 && ly < 0.8) {
            const bool frame = lx < 0.35 || lx > 0.65 || ly < 0.29 || ly > 0.76 || std::abs(lx - 0.5) < 0.012;
            if (frame)
                return rgb8(214, 210, 200);
            return mix(rgb8(46, 50, 58), m_design.scene.skyHorizon, float(0.35 * (ly - 0.25) / 0.55));
        }
        if (lx > 0.3 && lx < 0.7 && ly > 0.22 && ly <= 0.25)
            return 1.15f * base; // sill
        return c;
    }

    // Pavement slabs along the wall, a kerb, then the asphalt of the road.
    Rgb ground(double x, double dist) const
    {
        const std::uint32_t seed = m_design.seed + 90u;
        if (dist < m_sidewalk) {
            const double slab = 0.6 * m_invScale;
            const double fx = x / slab;
            const double fz = dist / slab + 0.37;
            const int ix = int(std::floor(fx));
            const int iz = int(std::floor(fz));
            float s = 0.9f + 0.12f * hashUnit(ix, iz, seed) + (hashUnit(int(x), int(dist), seed + 1u) - 0.5f) * 0.08f;
            if (fx - ix < 0.03 || fz - iz < 0.03)
                s *= 0.7f;
            s *= 0.8f + 0.2f * float(std::min(1.0, dist / (0.8 * m_invScale)));
            return s * m_design.scene.pavement;
        }
        if (dist < m_sidewalk + 0.25 * m_invScale)
            return (dist < m_sidewalk + 0.18 * m_invScale ? 1.15f : 0.6f) * m_design.scene.pavement;
        const double lane = m_sidewalk + 5.5 * m_invScale;
        float s = 0.85f + 0.25f * hashUnit(int(x * 0.7), int(dist * 0.7), seed + 2u)
                + 0.1f * valueNoise(x * 0.01, dist * 0.03, seed + 3u);
        if (std::abs(dist - lane) < 0.07 * m_invScale && std::fmod(x / m_invScale + 100.0, 6.0) < 3.0)
            return 0.9f * rgb8(225, 225, 215);
        return s * m_design.scene.road;
    }

    // The street is the plane Y = facade bottom; its points (X, Z) map to
    // the photo by K [r1 r3 (Yg r2 + t)].
    static Mat3 groundToPhoto(const CameraModel &camera, int facadeHeight)
    {
        const double groundY = facadeHeight * camera.pixelScale;
        const Vec3 third = groundY * camera.R.column(1) + camera.t;
        return camera.K * Mat3::fromColumns(camera.R.column(0), camera.R.column(2), third);
    }

    const CaseDesign &m_design;
    const Raster &m_facade;
    const Raster &m_background;
    PlainHomography m_toWall;
    PlainHomography m_toGround;
    double m_wallW = 0.0, m_wallH = 0.0;
    int m_colMin = 0, m_rowMin = 0;
    double m_invScale = 1.0;
    double m_roofH = 0.0, m_leftTop = 0.0, m_rightTop = 0.0, m_sidewalk = 0.0;
    std::vector<double> m_dormers; // column centres, rectified pixels
};

// Sky colour along the ray through a photo pixel: pale at the horizon, deeper
// blue above, with soft clouds drifting across. The sky is smooth, so it is
// worked out on a coarse grid and read back bilinearly.
Raster paintSky(const CaseDesign &design, const CameraModel &camera)
{
    constexpr int kStep = 4;
    const int W = design.camera.photoWidth;
    const int H = design.camera.photoHeight;
    const SceneStyle &sc = design.scene;
    const PlainHomography toRay(camera.R.transposed() * camera.K.inverse());
    Raster coarse(W / kStep + 2, H / kStep + 2);
    for (int j = 0; j < coarse.height(); ++j)
        for (int i = 0; i < coarse.width(); ++i) {
            Vec3 d;
            toRay.apply(i * kStep + 0.5, j * kStep + 0.5, &d.x, &d.y, &d.z);
            d = normalized(d);
            const float up = float(std::max(0.0, -d.y));
            Rgb c = mix(sc.skyHorizon, sc.skyZenith, smoothStep(0.0f, 0.45f, up));
            const double along = std::atan2(d.x, d.z);
            const float cloud = fractalNoise(along * 7.0, up * 14.0, 4, 0.55, design.seed + 50u);
            const float amount = sc.clouds * smoothStep(0.5f, 0.75f, cloud);
            c = mix(c, (0.92f + 0.1f * cloud) * rgb8(246, 246, 244), amount);
            coarse.at(i, j) = c;
        }
    Raster sky(W, H);
    for (int v = 0; v < H; ++v)
        for (int u = 0; u < W; ++u)
            sky.at(u, v) = coarse.sample(double(u) / kStep + 0.5, double(v) / kStep + 0.5);
    return sky;
}

// Samples per side of a pixel whose corners hit the scene at a, b, c and d:
// more where regions meet, and on the facade and the roof as many as the
// pixel spans scene pixels (up to 4); one in the sky.
int samplesPerSide(const Hit &a, const Hit &b, const Hit &c, const Hit &d)
{
    const bool same = a.region == b.region && a.region == c.region && a.region == d.region;
    const double span = std::max({std::abs(b.x - a.x), std::abs(b.y - a.y), std::abs(c.x - a.x),
                                  std::abs(c.y - a.y), std::abs(d.x - a.x), std::abs(d.y - a.y)});
    if (!same)
        return 3;
    if (a.region == Facade || a.region == Roof)
        return span <= 1.0 ? 1 : std::min(4, int(std::ceil(span)));
    return a.region != Sky ? 2 : 1;
}

// The lens: a gentle vignette, the colour balance of the day and a little
// sensor noise, the same on both pictures.
void applyLens(const CaseDesign &design, Photographs &out)
{
    const int W = out.photo.width();
    const int H = out.photo.height();
    const SceneStyle &sc = design.scene;
    for (int v = 0; v < H; ++v)
        for (int u = 0; u < W; ++u) {
            const float dx = (u + 0.5f) / W - 0.5f;
            const float dy = (v + 0.5f) / H - 0.5f;
            const float vignette = 1.0f - 0.35f * (dx * dx + dy * dy);
            const float noise = (hashUnit(u, v, design.seed + 99u) - 0.5f) * 0.025f;
            auto finish = [&](const Rgb &c) { return (vignette + noise) * (c * sc.tint); };
            out.photo.at(u, v) = finish(out.photo.at(u, v));
            out.background.at(u, v) = finish(out.background.at(u, v));
        }
}

} // namespace

Photographs takePhotographs(const CaseDesign &design, const CameraModel &camera, const Raster &facade,
                            const Raster &facadeBackground)
{
    const int W = design.camera.photoWidth;
    const int H = design.camera.photoHeight;
    const SceneSampler scene(design, camera, facade, facadeBackground);
    const Raster sky = paintSky(design, camera);

    // Scene hits at every pixel corner, shared by the four pixels around it.
    std::vector<Hit> corners(std::size_t(W + 1) * std::size_t(H + 1));
    for (int v = 0; v <= H; ++v)
        for (int u = 0; u <= W; ++u)
            corners[std::size_t(v) * std::size_t(W + 1) + std::size_t(u)] = scene.hit(u, v);
    auto corner = [&](int u, int v) -> const Hit & {
        return corners[std::size_t(v) * std::size_t(W + 1) + std::size_t(u)];
    };

    Photographs out{Raster(W, H), Raster(W, H)};
    for (int v = 0; v < H; ++v)
        for (int u = 0; u < W; ++u) {
            const Hit &a = corner(u, v);
            const Hit &b = corner(u + 1, v);
            const Hit &c = corner(u, v + 1);
            const Hit &d = corner(u + 1, v + 1);
            const int n = samplesPerSide(a, b, c, d);
            Rgb photo{}, bg{};
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    const Hit h = scene.hit(u + (i + 0.5) / n, v + (j + 0.5) / n);
                    Rgb p, q;
                    scene.shade(h, sky.at(u, v), &p, &q);
                    photo = photo + p;
                    bg = bg + q;
                }
            const float inv = 1.0f / float(n * n);
            out.photo.at(u, v) = inv * photo;
            out.background.at(u, v) = inv * bg;
        }
    applyLens(design, out);
    return out;
}

} // namespace TestCases
