#include "CaseArt.h"

#include "BlindArt.h"
#include "ShutterArt.h"

#include <algorithm>
#include <cmath>

namespace FacadeImport {

namespace {

// A plain aluminium blind; slats about a twentieth of the window high, as
// on the generator's facades.
CaseArt::WindowStyle blindStyle(const QSize &window)
{
    CaseArt::WindowStyle style;
    style.slat = CaseArt::rgb8(182, 184, 186);
    style.slatPitch = std::clamp(int(std::lround(window.height() / 22.0)), 3, 8);
    return style;
}

// Painted wooden leaves with dark iron straps.
CaseArt::ShutterStyle leafStyle()
{
    CaseArt::ShutterStyle style;
    style.paint = CaseArt::rgb8(74, 104, 86);
    style.hardware = CaseArt::rgb8(40, 38, 36);
    style.textureScale = 3;
    return style;
}

// The estimated camera in the leaf geometry's terms: world units are
// rectified pixels, the wall point of rectified position (x, y) is (x, y, 0),
// and a point off the wall is seen where photoPointOf places it, then mapped
// back through the inverse of H. A camera too degenerate to see the point
// (no finite position) leaves it on the wall, so the file gets no garbage.
class EstimateLeafCamera final : public CaseArt::LeafCamera
{
public:
    explicit EstimateLeafCamera(const CameraEstimate &camera) : m_camera(camera) {}

    CaseArt::Vec3 wallPoint(double px, double py) const override { return {px, py, 0.0}; }
    double pixelScale() const override { return 1.0; }
    CaseArt::Vec2 rectifiedPosition(const CaseArt::Vec3 &world) const override
    {
        const QPointF p = photoToRectified(m_camera, photoPointOf(m_camera, world.x, world.y, world.z));
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || std::abs(p.x()) > kFar || std::abs(p.y()) > kFar)
            return {world.x, world.y};
        return {p.x(), p.y()};
    }

private:
    static constexpr double kFar = 1.0e7; // rectified pixels; rounds to int safely
    const CameraEstimate &m_camera;
};

} // namespace

QImage blindLevel(const QImage &window, int percent, std::uint32_t seed)
{
    if (window.isNull())
        return QImage();
    CaseArt::Raster picture = CaseArt::Raster::fromImage(window);
    const int extent = int(std::lround(std::clamp(percent, 0, 100) / 100.0 * window.height()));
    // As on the generator's windows, level 0 is the window without a blind
    // (not even the rail's shadow).
    if (extent > 0) {
        const int margin = std::clamp(int(std::lround(0.04 * window.width())), 1, 6);
        CaseArt::paintBlind(picture, blindStyle(window.size()), extent, margin, seed);
    }
    return picture.toImage();
}

QImage rightLeafTexture(const QSize &windowSize, std::uint32_t seed)
{
    const CaseArt::ShutterStyle style = leafStyle();
    const int width = std::max(1, windowSize.width() / 2) * style.textureScale;
    const int height = std::max(1, windowSize.height()) * style.textureScale;
    return CaseArt::paintLeafTexture(style, width, height, seed).toImage();
}

QImage mirroredLeaf(const QImage &rightLeaf)
{
    return rightLeaf.mirrored(true, false);
}

std::vector<ShutterPair> shutterLeaves(const CameraEstimate &camera, const WindowGrid &grid)
{
    const EstimateLeafCamera leafCamera(camera);
    std::vector<ShutterPair> pairs;
    pairs.reserve(grid.windows.size());
    for (const FacadeWindow &w : grid.windows) {
        const QRect rect(w.x, w.y, w.width, w.height);
        pairs.push_back({CaseArt::sampleLeaf(leafCamera, rect, true), CaseArt::sampleLeaf(leafCamera, rect, false)});
    }
    return pairs;
}

} // namespace FacadeImport
