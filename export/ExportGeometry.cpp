#include "ExportGeometry.h"

#include "TextFormat.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace ExportGeometry {

Point3 LeafPlacement::place(const Point3 &unit) const
{
    const double x = unit.x * sx;
    const double y = unit.y * sy;
    const double z = unit.z;
    const double c = std::cos(turn);
    const double s = std::sin(turn);
    const double turnedX = c * x + s * z;
    const double turnedZ = c * z - s * x;
    return Point3{turnedX + hx, y + hy, turnedZ};
}

namespace {

// Leaf size from the window box: half its width by its full height (in reals).
LeafPlacement sizedFor(const ShutterPair &pair)
{
    const HingeBounds box = hingeBounds(pair);
    LeafPlacement leaf;
    // In doubles: hinge points may lie anywhere in int, and their span may not.
    leaf.sx = (double(box.maxx) - box.minx) / 2.0;
    leaf.sy = double(box.maxy) - box.miny;
    return leaf;
}

} // namespace

LeafPlacement leftLeafPlacement(const ShutterPair &pair, double leftAngle)
{
    LeafPlacement leaf = sizedFor(pair);
    leaf.turn = QWindowData2D::pi - leftAngle;
    leaf.hx = std::max(pair.left.hinge1.x(), pair.left.hinge2.x());
    leaf.hy = pair.left.hinge1.y();
    return leaf;
}

LeafPlacement rightLeafPlacement(const ShutterPair &pair, double rightAngle)
{
    LeafPlacement leaf = sizedFor(pair);
    leaf.turn = -(QWindowData2D::pi - rightAngle);
    leaf.hx = std::min(pair.right.hinge1.x(), pair.right.hinge2.x());
    leaf.hy = pair.right.hinge1.y();
    return leaf;
}

namespace {

const LeafCorner kLeftUnitBox[8] = {{{0, 1, 0}, 0, 0},  {{1, 1, 0}, 1, 0},  {{1, 0, 0}, 1, 1},  {{0, 0, 0}, 0, 1},
                                    {{0, 1, -1}, 0, 0}, {{1, 1, -1}, 1, 0}, {{1, 0, -1}, 1, 1}, {{0, 0, -1}, 0, 1}};
const LeafCorner kRightUnitBox[8] = {{{0, 1, 0}, 0, 0},   {{-1, 1, 0}, 1, 0},  {{-1, 0, 0}, 1, 1},
                                     {{0, 0, 0}, 0, 1},   {{0, 1, -1}, 0, 0},  {{-1, 1, -1}, 1, 0},
                                     {{-1, 0, -1}, 1, 1}, {{0, 0, -1}, 0, 1}};

} // namespace

const LeafCorner (&leafUnitBox(bool left))[8]
{
    return left ? kLeftUnitBox : kRightUnitBox;
}

const int kLeafFaces[kLeafFaceCount][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1},
                                           {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}};

std::array<QuadCorner, 4> windowQuad(const HingeBounds &box)
{
    return {QuadCorner{box.minx, box.miny, 0, 1}, QuadCorner{box.minx, box.maxy, 0, 0},
            QuadCorner{box.maxx, box.maxy, 1, 0}, QuadCorner{box.maxx, box.miny, 1, 1}};
}

Point3 placeInWindow(const HingeBounds &box, const Point3 &unit)
{
    const double width = double(box.maxx) - box.minx;
    const double height = double(box.maxy) - box.miny;
    return Point3{width * unit.x + box.minx, height * unit.y + box.miny, unit.z};
}

int exportableWindowCount(const QWindowData2D &model)
{
    const std::size_t wanted = model.currentImages.size();
    const std::size_t usable = std::min({wanted, model.shutters.size(), std::size_t(model.windowCount())});
    if (usable < wanted)
        logLine(formatText("Export: %zu of %zu windows left out (no shutter pair or window record)", wanted - usable,
                           wanted));
    return int(std::min<std::size_t>(usable, INT_MAX));
}

} // namespace ExportGeometry
