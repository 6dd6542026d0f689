#include "FacadeRenderer.h"

#include "Materials.h"
#include "Noise.h"
#include "Scene.h"
#include "ShutterArt.h"

#include <algorithm>
#include <cmath>

namespace TestCases {

namespace {

// Blind positions people leave their windows in: many fully up, some right
// down, the rest anywhere between.
int pickBlindPercent(Pcg32 &rng)
{
    const double r = rng.uniform();
    if (r < 0.25)
        return 0;
    if (r < 0.37)
        return 100;
    return rng.range(8, 92);
}

// Leaves are mostly folded back against the wall or closed; a few stand
// ajar. Whole tens of degrees, so that every angle is one of the samples.
int pickLeafDegrees(Pcg32 &rng)
{
    static const int choices[] = {0, 0, 0, 10, 20, 30, 60, 90, 120, 150, 170, 180, 180, 180};
    return choices[rng.range(0, int(sizeof choices / sizeof choices[0]) - 1)];
}

} // namespace

double degreesToRadians(int degrees)
{
    return degrees * kProgramPi / 180.0;
}

FacadePlan planFacade(const CaseDesign &design)
{
    FacadePlan plan;
    Pcg32 rng(design.seed, 11u);
    const FacadeLayout &l = design.layout;
    for (int r = 0; r < l.rows; ++r)
        for (int c = 0; c < l.cols; ++c) {
            PlannedWindow w;
            w.rect = l.window(c, r);
            w.col = c;
            w.row = r;
            w.look.seed = design.seed * 1000u + std::uint32_t(r * l.cols + c) * 17u + 5u;
            if (design.kind == TestCaseKind::Blind) {
                w.look.blindRails = true;
                w.look.blindExtent = int(std::lround(pickBlindPercent(rng) / 100.0 * l.winH));
            } else {
                w.leftDegrees = pickLeafDegrees(rng);
                // Neighbours usually open their pair alike.
                w.rightDegrees = rng.uniform() < 0.6 ? w.leftDegrees : pickLeafDegrees(rng);
            }
            plan.windows.push_back(w);
        }
    return plan;
}

RenderedFacade renderFacade(const CaseDesign &design, const FacadePlan &plan)
{
    RenderedFacade out;
    const FacadeLayout &l = design.layout;
    out.camera = placeCamera(design.camera, l.width(), l.height(), design.pixelScale);
    out.wall = paintWall(design);
    out.rectified = out.wall;
    for (const PlannedWindow &w : plan.windows) {
        out.windowImages.push_back(paintWindow(design.window, w.rect.width(), w.rect.height(), w.look));
        out.rectified.paste(out.windowImages.back(), w.rect.x(), w.rect.y());
    }

    if (design.kind == TestCaseKind::Shutter) {
        const int scale = std::max(1, design.shutter.textureScale);
        out.rightLeaf = paintLeafTexture(design.shutter, l.winW / 2 * scale, l.winH * scale, design.seed + 300u);
        out.leftLeaf = out.rightLeaf.mirrored();
        // Paint the leaves far to near, so that nearer ones cover the others.
        struct Leaf {
            double depth;
            std::size_t window;
            bool left;
        };
        std::vector<Leaf> leaves;
        for (std::size_t i = 0; i < plan.windows.size(); ++i) {
            const PlannedWindow &w = plan.windows[i];
            leaves.push_back({leafDepth(out.camera, w.rect, true, degreesToRadians(w.leftDegrees)), i, true});
            leaves.push_back({leafDepth(out.camera, w.rect, false, degreesToRadians(w.rightDegrees)), i, false});
        }
        std::stable_sort(leaves.begin(), leaves.end(),
                         [](const Leaf &a, const Leaf &b) { return a.depth > b.depth; });
        for (const Leaf &leaf : leaves) {
            const PlannedWindow &w = plan.windows[leaf.window];
            const double angle = degreesToRadians(leaf.left ? w.leftDegrees : w.rightDegrees);
            // Leaves standing out from the wall catch less of the daylight.
            const float shade = float(1.0 - (leaf.left ? 0.22 : 0.12) * std::sin(angle));
            paintLeaf(out.rectified, leafQuad(out.camera, w.rect, leaf.left, angle),
                      leaf.left ? out.leftLeaf : out.rightLeaf, leaf.left, shade);
        }
    }

    Photographs photos = takePhotographs(design, out.camera, out.rectified, out.wall);
    out.photo = std::move(photos.photo);
    out.photoBackground = std::move(photos.background);
    return out;
}

} // namespace TestCases
