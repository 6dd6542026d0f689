#include "WindowGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace WindowGeometry {

WindowBox windowBoxOf(const ShutterPair &pair)
{
    const QPoint points[4] = {pair.left.hinge1, pair.left.hinge2, pair.right.hinge1, pair.right.hinge2};
    WindowBox box;
    box.minx = box.maxx = points[0].x();
    box.miny = box.maxy = points[0].y();
    for (const QPoint &p : points) {
        box.minx = std::min(box.minx, p.x());
        box.maxx = std::max(box.maxx, p.x());
        box.miny = std::min(box.miny, p.y());
        box.maxy = std::max(box.maxy, p.y());
    }
    return box;
}

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
    const WindowBox box = windowBoxOf(pair);
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

Point3 placeInWindow(const WindowBox &box, const Point3 &unit)
{
    const double width = double(box.maxx) - box.minx;
    const double height = double(box.maxy) - box.miny;
    return Point3{width * unit.x + box.minx, height * unit.y + box.miny, unit.z};
}

int exportableWindowCount(const QWindowData2D &model, const char *command)
{
    const std::size_t wanted = model.currentImages.size();
    const std::size_t records = model.windows.empty() ? 0 : model.windows[0].size();
    const std::size_t usable = std::min({wanted, model.shutters.size(), records});
    if (usable < wanted)
        std::fprintf(stderr, "%s: %zu of %zu windows left out (no shutter pair or window record)\n",
                     command, wanted - usable, wanted);
    return int(usable);
}

} // namespace WindowGeometry
