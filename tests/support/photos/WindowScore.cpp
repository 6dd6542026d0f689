#include "WindowScore.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace PhotoScore {

namespace {

double cross(const QPointF &o, const QPointF &a, const QPointF &b)
{
    return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

// The quadrilateral's corners turning counter-clockwise in y-up terms
// (positive area), so that clipping knows which side is inside.
std::vector<QPointF> positive(const Quad &q)
{
    std::vector<QPointF> p(q.begin(), q.end());
    double twice = 0.0;
    for (std::size_t i = 0; i < p.size(); ++i)
        twice += p[i].x() * p[(i + 1) % p.size()].y() - p[(i + 1) % p.size()].x() * p[i].y();
    if (twice < 0.0)
        std::reverse(p.begin(), p.end());
    return p;
}

// Sutherland-Hodgman: the part of subject inside the convex polygon clip.
std::vector<QPointF> clipped(std::vector<QPointF> subject, const std::vector<QPointF> &clip)
{
    for (std::size_t i = 0; i < clip.size() && !subject.empty(); ++i) {
        const QPointF &a = clip[i];
        const QPointF &b = clip[(i + 1) % clip.size()];
        std::vector<QPointF> kept;
        for (std::size_t j = 0; j < subject.size(); ++j) {
            const QPointF &p = subject[j];
            const QPointF &q = subject[(j + 1) % subject.size()];
            const double sp = cross(a, b, p);
            const double sq = cross(a, b, q);
            if (sp >= 0.0)
                kept.push_back(p);
            if ((sp >= 0.0) != (sq >= 0.0)) {
                const double t = sp / (sp - sq);
                kept.push_back(p + t * (q - p));
            }
        }
        subject = std::move(kept);
    }
    return subject;
}

double intersectionArea(const Quad &a, const Quad &b)
{
    return polygonArea(clipped(positive(a), positive(b)));
}

} // namespace

double polygonArea(const std::vector<QPointF> &polygon)
{
    double twice = 0.0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const QPointF &p = polygon[i];
        const QPointF &q = polygon[(i + 1) % polygon.size()];
        twice += p.x() * q.y() - q.x() * p.y();
    }
    return std::abs(twice) / 2.0;
}

double quadIoU(const Quad &a, const Quad &b)
{
    const double areaA = polygonArea({a.begin(), a.end()});
    const double areaB = polygonArea({b.begin(), b.end()});
    if (!(areaA > 0.0) || !(areaB > 0.0))
        return 0.0;
    const double common = intersectionArea(a, b);
    return common / (areaA + areaB - common);
}

double insideShare(const Quad &a, const Quad &b)
{
    const double areaA = polygonArea({a.begin(), a.end()});
    return areaA > 0.0 ? std::min(1.0, intersectionArea(a, b) / areaA) : 0.0;
}

double cornerError(const Quad &found, const Quad &truth)
{
    const double diagonal = std::max(std::hypot(truth[2].x() - truth[0].x(), truth[2].y() - truth[0].y()),
                                     std::hypot(truth[3].x() - truth[1].x(), truth[3].y() - truth[1].y()));
    double worst = 0.0;
    for (std::size_t k = 0; k < 4; ++k)
        worst = std::max(worst, std::hypot(found[k].x() - truth[k].x(), found[k].y() - truth[k].y()));
    return diagonal > 0.0 ? worst / diagonal : INFINITY;
}

double WindowScore::recall() const
{
    return annotated > 0 ? double(matched) / annotated : 1.0;
}

double WindowScore::precision() const
{
    const int counted = found - ignored;
    return counted > 0 ? double(matched) / counted : 0.0;
}

WindowScore scoreWindows(const std::vector<Quad> &found, const PhotoAnnotation &truth, double minIoU)
{
    WindowScore score;
    score.annotated = int(truth.windows.size());
    score.found = int(found.size());
    // Every pair that overlaps enough, best first; boxes compared first,
    // since a dense lattice has thousands of windows.
    std::vector<std::tuple<double, std::size_t, std::size_t>> pairs;
    std::vector<QRectF> truthBoxes;
    for (const Quad &t : truth.windows)
        truthBoxes.push_back(boundingBox(t));
    for (std::size_t f = 0; f < found.size(); ++f) {
        const QRectF box = boundingBox(found[f]);
        for (std::size_t t = 0; t < truth.windows.size(); ++t) {
            if (!box.intersects(truthBoxes[t]))
                continue;
            const double overlap = quadIoU(found[f], truth.windows[t]);
            if (overlap >= minIoU)
                pairs.emplace_back(overlap, f, t);
        }
    }
    std::sort(pairs.begin(), pairs.end(), [](const auto &a, const auto &b) { return std::get<0>(a) > std::get<0>(b); });
    std::vector<bool> foundUsed(found.size(), false), truthUsed(truth.windows.size(), false);
    for (const auto &[overlap, f, t] : pairs) {
        (void)overlap;
        if (foundUsed[f] || truthUsed[t])
            continue;
        foundUsed[f] = truthUsed[t] = true;
        ++score.matched;
    }
    for (std::size_t f = 0; f < found.size(); ++f) {
        if (foundUsed[f])
            continue;
        const bool hidden = std::any_of(truth.ignored.begin(), truth.ignored.end(),
                                        [&](const Quad &region) { return insideShare(found[f], region) >= 0.5; });
        if (hidden)
            ++score.ignored;
    }
    return score;
}

} // namespace PhotoScore
