#include "QWindowData2D.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Mapped coordinates are kept within this distance of the origin, far off any
// image, so that callers can round them to int even for points near the
// vanishing line, where the projective division explodes.
constexpr double kFarAway = 1.0e9;

double bounded(double q)
{
    if (std::isnan(q))
        return kFarAway;
    if (q > kFarAway)
        return kFarAway;
    if (q < -kFarAway)
        return -kFarAway;
    return q;
}

} // namespace

HingeBounds hingeBounds(const ShutterPair &pair)
{
    const QPoint points[4] = {pair.left.hinge1, pair.left.hinge2, pair.right.hinge1, pair.right.hinge2};
    HingeBounds box;
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

QWindowData2D::QWindowData2D(QObject *parent) : QObject(parent) {}

QWindowData2D::~QWindowData2D()
{
    clearWindowImages();
}

// Releases the owned window and blind images and forgets the borrowed list.
void QWindowData2D::clearWindowImages()
{
    currentImages.clear();
    imageKeys.clear();
    windowImages.clear();
    blindImages.clear();
}

// Whole degrees from 0 to 179 for both leaves of every window of group 0,
// left leaf first, from the unseeded standard generator.
void QWindowData2D::setRandomShutterAngles()
{
    std::vector<FacadeWindow> *group = currentGroup();
    if (!group)
        return;
    for (FacadeWindow &w : *group) {
        const int left = std::rand() % 180;
        w.leftAngle = left * pi / 180;
        const int right = std::rand() % 180;
        w.rightAngle = right * pi / 180;
    }
}

// Sets one leaf angle of one window of group 0 (single) or of all of them.
// Only shutter test cases have leaves; an index outside group 0 is ignored.
void QWindowData2D::setShutterAngle(double angle, bool left, bool single, int window)
{
    std::vector<FacadeWindow> *group = currentGroup();
    if (!isShutterCase() || !group)
        return;
    auto set = [&](FacadeWindow &w) { (left ? w.leftAngle : w.rightAngle) = angle; };
    if (single) {
        if (isWindowIndex(window))
            set((*group)[std::size_t(window)]);
        return;
    }
    for (FacadeWindow &w : *group)
        set(w);
}

const std::vector<FacadeWindow> *QWindowData2D::currentGroup() const
{
    return windows.empty() ? nullptr : &windows.front();
}

std::vector<FacadeWindow> *QWindowData2D::currentGroup()
{
    return windows.empty() ? nullptr : &windows.front();
}

int QWindowData2D::windowCount() const
{
    return windows.empty() ? 0 : int(std::min<std::size_t>(windows.front().size(), INT_MAX));
}

namespace {

int firstListLength(const std::vector<std::vector<int>> &lists)
{
    return lists.empty() ? 0 : int(std::min<std::size_t>(lists.front().size(), INT_MAX));
}

} // namespace

int QWindowData2D::detectedRowCount() const
{
    return firstListLength(rowValues);
}

int QWindowData2D::detectedColCount() const
{
    return firstListLength(colValues);
}

bool QWindowData2D::isWindowIndex(int i) const
{
    return i >= 0 && i < windowCount();
}

// x2 = H * (p - offsets), divided by its third component.
QPointF QWindowData2D::rectifiedToOriginal(const QPoint &p) const
{
    const QPointF q = Homography::apply(homography, double(p.x()) - colMin, double(p.y()) - rowMin);
    return QPointF(bounded(q.x()), bounded(q.y()));
}

// x1 = H^-1 * q, divided by its third component, plus the offsets.
QPointF QWindowData2D::originalToRectified(const QPoint &q) const
{
    const QPointF p = Homography::apply(homographyInv, q.x(), q.y());
    return QPointF(bounded(p.x() + colMin), bounded(p.y() + rowMin));
}
