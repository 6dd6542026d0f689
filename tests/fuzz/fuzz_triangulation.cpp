// Fuzz target: the triangulation of the facade wall around its openings.
//
// Input, one byte per number: the outline's width and height (1 to 256
// pixels), then up to 20 windows of four bytes each, two corners whose
// coordinates run from -8 to 247, so that windows reach past the outline,
// overlap, touch, cross and shrink to lines or points.
// Checks: the triangulation succeeds (no exception reached it); the input
// points come first, in order; every face is a counter-clockwise triangle of
// valid vertices, of area at most 500 and no angle below 20 degrees (both to
// the rounding of float coordinates); the faces cover the outline minus the
// union of the windows.
#include "FuzzCheck.h"

#include "ExportTestSupport.h"
#include "FacadeWall.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::size_t kMaxWindows = 20;

double smallestAngleDegrees(const std::array<QPointF, 3> &t)
{
    double smallest = 180.0;
    for (int i = 0; i < 3; ++i) {
        const QPointF u = t[std::size_t((i + 1) % 3)] - t[std::size_t(i)];
        const QPointF w = t[std::size_t((i + 2) % 3)] - t[std::size_t(i)];
        const double cross = u.x() * w.y() - u.y() * w.x();
        const double dot = u.x() * w.x() + u.y() * w.y();
        smallest = std::min(smallest, std::atan2(std::abs(cross), dot) * 180.0 / 3.14159265358979323846);
    }
    return smallest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int width = 1 + data[0];
    const int height = 1 + data[1];
    std::vector<Box> boxes;
    FacadeWall::Polygons polygons{{QPointF(0, 0), QPointF(0, height), QPointF(width, height), QPointF(width, 0)}};
    for (std::size_t at = 2; at + 4 <= size && boxes.size() < kMaxWindows; at += 4) {
        const int x0 = data[at] - 8, y0 = data[at + 1] - 8, x1 = data[at + 2] - 8, y1 = data[at + 3] - 8;
        const Box box{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
        boxes.push_back(box);
        polygons.push_back({QPointF(box.minx, box.miny), QPointF(box.maxx, box.miny), QPointF(box.maxx, box.maxy),
                            QPointF(box.minx, box.maxy)});
    }

    Failure failure;
    const std::unique_ptr<FacadePolyMesh> mesh = FacadeWall::triangulate(polygons, &failure);
    FUZZ_CHECK(mesh && failure.reason.empty());

    std::size_t index = 0;
    for (const auto &polygon : polygons)
        for (const QPointF &p : polygon) {
            FUZZ_CHECK(index < mesh->n_vertices());
            const FacadePolyMesh::Point &q = mesh->point(FacadePolyMesh::VertexHandle(int(index++)));
            FUZZ_CHECK(q[0] == float(p.x()) && q[1] == float(p.y()) && q[2] == 0.0f);
        }

    double total = 0.0;
    for (const auto face : mesh->faces()) {
        std::array<QPointF, 3> t;
        int corners = 0;
        for (const auto vertex : mesh->fv_range(face)) {
            FUZZ_CHECK(corners < 3 && vertex.is_valid() && std::size_t(vertex.idx()) < mesh->n_vertices());
            const FacadePolyMesh::Point &p = mesh->point(vertex);
            t[std::size_t(corners++)] = QPointF(p[0], p[1]);
        }
        FUZZ_CHECK(corners == 3);
        const double area = ((t[1].x() - t[0].x()) * (t[2].y() - t[0].y())
                             - (t[2].x() - t[0].x()) * (t[1].y() - t[0].y())) / 2.0;
        FUZZ_CHECK(area > 0.0);
        FUZZ_CHECK(area <= 500.0 + 1e-3);
        FUZZ_CHECK(smallestAngleDegrees(t) >= 20.0 - 0.05);
        total += area;
    }
    const double wall = wallAreaOf(width, height, boxes);
    FUZZ_CHECK(std::abs(total - wall) <= 1e-6 * width * height + 1e-3);
    return 0;
}
