// The one file that uses CGAL: constrained Delaunay triangulation of the facade
// wall, refined to Triangle's "pzqQa500" quality (20 degrees, area 500).
#include "FacadeWall.h"

#include "TextFormat.h"

// CGAL's own checks stay on in release builds: a broken invariant then throws
// (and the export fails cleanly) instead of corrupting memory.
#define CGAL_DEBUG 1

#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Delaunay_mesh_criteria_2.h>
#include <CGAL/Delaunay_mesh_face_base_2.h>
#include <CGAL/Delaunay_mesh_vertex_base_2.h>
#include <CGAL/Delaunay_mesher_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_face_base_with_info_2.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <vector>

namespace {

// Number of the vertex in the output; -1 until numbered.
struct VertexInfo {
    int index = -1;
};

// Connected region (between constraints) the face belongs to; -1 until visited.
struct FaceInfo {
    int region = -1;
};

// --- The triangulation types, all in one place. ---
using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using VertexBase = CGAL::Triangulation_vertex_base_with_info_2<VertexInfo, Kernel,
                                                               CGAL::Delaunay_mesh_vertex_base_2<Kernel>>;
using FaceBase = CGAL::Delaunay_mesh_face_base_2<
    Kernel, CGAL::Triangulation_face_base_with_info_2<FaceInfo, Kernel,
                                                      CGAL::Constrained_triangulation_face_base_2<Kernel>>>;
using Tds = CGAL::Triangulation_data_structure_2<VertexBase, FaceBase>;
// Exact_predicates_tag: crossing constraints get an intersection vertex instead of throwing.
using Cdt = CGAL::Constrained_Delaunay_triangulation_2<Kernel, Tds, CGAL::Exact_predicates_tag>;
using Point = Cdt::Point;

// Triangle's "q" (smallest angle 20 degrees) and "a500" (largest area 500). The
// shape measure is the squared sine of the smallest angle, as in CGAL's own criteria.
// Own class because CGAL's Delaunay_mesh_area_criteria_2 measures the sine from
// the undoubled area, off the scale of the angle bound, and cannot order size first.
class WallCriteria : public CGAL::Delaunay_mesh_criteria_2<Cdt>
{
public:
    static constexpr double kMinAngleDegrees = 20.0;
    static constexpr double kMaxArea = 500.0;

    // sine: squared sine of the smallest angle; size: area / kMaxArea.
    // A smaller Quality is refined first: oversized faces, then the flattest.
    struct Quality {
        double sine = 1.0;
        double size = 0.0;

        bool operator<(const Quality &other) const
        {
            if (size > 1.0)
                return other.size > 1.0 ? size > other.size : true;
            if (other.size > 1.0)
                return false;
            return sine < other.sine;
        }
    };

    class Is_bad
    {
    public:
        explicit Is_bad(double sineBound) : m_sineBound(sineBound) {}

        CGAL::Mesh_2::Face_badness operator()(const Quality &q) const
        {
            if (q.size > 1.0)
                return CGAL::Mesh_2::IMPERATIVELY_BAD;
            return q.sine < m_sineBound ? CGAL::Mesh_2::BAD : CGAL::Mesh_2::NOT_BAD;
        }

        CGAL::Mesh_2::Face_badness operator()(const Cdt::Face_handle &face, Quality &q) const
        {
            const Point &a = face->vertex(0)->point();
            const Point &b = face->vertex(1)->point();
            const Point &c = face->vertex(2)->point();
            const double ab = CGAL::to_double(CGAL::squared_distance(a, b));
            const double bc = CGAL::to_double(CGAL::squared_distance(b, c));
            const double ca = CGAL::to_double(CGAL::squared_distance(c, a));
            const double area = std::abs(CGAL::to_double(CGAL::area(a, b, c)));
            // The smallest angle faces the shortest edge: sin = 2 area / (product of the other two).
            const double shortest = std::min({ab, bc, ca});
            const double otherTwo = ab * bc * ca / shortest;
            q.size = area / kMaxArea;
            q.sine = otherTwo > 0.0 ? 4.0 * area * area / otherTwo : 0.0;
            return (*this)(q);
        }

    private:
        double m_sineBound;
    };

    WallCriteria() : CGAL::Delaunay_mesh_criteria_2<Cdt>(squaredSineOfMinAngle()) {}

    Is_bad is_bad_object() const { return Is_bad(bound()); }

private:
    static double squaredSineOfMinAngle()
    {
        const double s = std::sin(kMinAngleDegrees * 3.14159265358979323846 / 180.0);
        return s * s;
    }
};

// Even-odd point-in-polygon test; a polygon of fewer than 3 points holds nothing.
bool insidePolygon(const std::vector<QPointF> &polygon, double x, double y)
{
    bool inside = false;
    const std::size_t n = polygon.size();
    if (n < 3)
        return false;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const QPointF &pi = polygon[i];
        const QPointF &pj = polygon[j];
        if ((pi.y() > y) != (pj.y() > y)) {
            const double crossX = pj.x() + (y - pj.y()) * (pi.x() - pj.x()) / (pi.y() - pj.y());
            if (x < crossX)
                inside = !inside;
        }
    }
    return inside;
}

bool isWall(const FacadeWall::Polygons &polygons, double x, double y)
{
    if (!insidePolygon(polygons[0], x, y))
        return false;
    for (std::size_t k = 1; k < polygons.size(); ++k)
        if (insidePolygon(polygons[k], x, y))
            return false;
    return true;
}

// Marks the wall faces. The constraints cut the plane into regions that lie
// wholly inside or outside each polygon, so one face per region decides for all
// of it: its largest face, whose centroid is safely away from every edge.
void markWall(Cdt &cdt, const FacadeWall::Polygons &polygons)
{
    for (auto face = cdt.all_faces_begin(); face != cdt.all_faces_end(); ++face) {
        face->info().region = -1;
        face->set_in_domain(false);
    }
    std::vector<Cdt::Face_handle> region;
    std::vector<Cdt::Face_handle> pending;
    int regionCount = 0;
    for (auto start = cdt.all_faces_begin(); start != cdt.all_faces_end(); ++start) {
        if (start->info().region >= 0)
            continue;
        region.clear();
        pending.assign(1, start);
        start->info().region = regionCount;
        bool unbounded = false;
        while (!pending.empty()) {
            const Cdt::Face_handle face = pending.back();
            pending.pop_back();
            region.push_back(face);
            unbounded = unbounded || cdt.is_infinite(face);
            for (int i = 0; i < 3; ++i) {
                const Cdt::Face_handle next = face->neighbor(i);
                if (!face->is_constrained(i) && next->info().region < 0) {
                    next->info().region = regionCount;
                    pending.push_back(next);
                }
            }
        }
        ++regionCount;
        if (unbounded)
            continue;
        double largest = -1.0;
        Point centroid;
        for (const Cdt::Face_handle &face : region) {
            const double area = CGAL::to_double(cdt.triangle(face).area());
            if (area > largest) {
                largest = area;
                centroid = CGAL::centroid(face->vertex(0)->point(), face->vertex(1)->point(),
                                          face->vertex(2)->point());
            }
        }
        if (isWall(polygons, centroid.x(), centroid.y()))
            for (const Cdt::Face_handle &face : region)
                face->set_in_domain(true);
    }
}

// Spacing of the seed lattice: its equilateral triangles (area 443) already
// meet both bounds, so the mesher only refines along the edges.
constexpr double kSeedSpacing = 32.0;
// Seeds keep this distance from every edge, where the mesher places its own points.
constexpr double kSeedMargin = 0.75 * kSeedSpacing;

// The polygon edges bucketed in square cells, to find the edges near a point.
class EdgeGrid
{
public:
    EdgeGrid(double minX, double minY, double maxX, double maxY, double margin)
        : m_minX(minX), m_minY(minY), m_margin(margin)
    {
        // At most about a million cells, whatever the facade's size.
        const double area = std::max(1.0, (maxX - minX) * (maxY - minY));
        m_cell = std::max(kSeedSpacing, std::sqrt(area / 1.0e6));
        m_columns = int((maxX - minX) / m_cell) + 1;
        m_rows = int((maxY - minY) / m_cell) + 1;
        m_cells.resize(std::size_t(m_columns) * std::size_t(m_rows));
    }

    void add(const QPointF &a, const QPointF &b)
    {
        const int c0 = column(std::min(a.x(), b.x()) - m_margin), c1 = column(std::max(a.x(), b.x()) + m_margin);
        const int r0 = row(std::min(a.y(), b.y()) - m_margin), r1 = row(std::max(a.y(), b.y()) + m_margin);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                m_cells[std::size_t(r) * std::size_t(m_columns) + std::size_t(c)].push_back({a, b});
    }

    // True when an edge passes within the margin of (x, y).
    bool near(double x, double y) const
    {
        for (const auto &edge : m_cells[std::size_t(row(y)) * std::size_t(m_columns) + std::size_t(column(x))]) {
            const double ex = edge.second.x() - edge.first.x();
            const double ey = edge.second.y() - edge.first.y();
            const double length2 = ex * ex + ey * ey;
            double t = length2 > 0.0 ? ((x - edge.first.x()) * ex + (y - edge.first.y()) * ey) / length2 : 0.0;
            t = std::clamp(t, 0.0, 1.0);
            const double dx = edge.first.x() + t * ex - x;
            const double dy = edge.first.y() + t * ey - y;
            if (dx * dx + dy * dy < m_margin * m_margin)
                return true;
        }
        return false;
    }

private:
    int column(double x) const { return std::clamp(int((x - m_minX) / m_cell), 0, m_columns - 1); }
    int row(double y) const { return std::clamp(int((y - m_minY) / m_cell), 0, m_rows - 1); }

    double m_minX, m_minY, m_margin;
    double m_cell = 1.0;
    int m_columns = 1, m_rows = 1;
    std::vector<std::vector<std::pair<QPointF, QPointF>>> m_cells;
};

// Points of a triangular lattice that lie in the marked wall, away from its edges.
std::vector<Point> wallSeeds(const Cdt &cdt, const FacadeWall::Polygons &polygons)
{
    const auto &outline = polygons[0];
    if (outline.size() < 3)
        return {};
    double minX = outline[0].x(), maxX = minX, minY = outline[0].y(), maxY = minY;
    for (const QPointF &p : outline) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    EdgeGrid edges(minX, minY, maxX, maxY, kSeedMargin);
    for (const auto &polygon : polygons)
        for (std::size_t j = 0; j < polygon.size(); ++j)
            edges.add(polygon[j], polygon[(j + 1) % polygon.size()]);

    std::vector<Point> seeds;
    const double rowHeight = kSeedSpacing * std::sqrt(3.0) / 2.0;
    Cdt::Face_handle hint;
    for (int r = 0; minY + (r + 1) * rowHeight < maxY; ++r) {
        const double y = minY + (r + 1) * rowHeight;
        const double shift = (r % 2 == 0) ? kSeedSpacing / 2.0 : kSeedSpacing;
        for (double x = minX + shift; x < maxX; x += kSeedSpacing) {
            if (edges.near(x, y))
                continue;
            Cdt::Locate_type type;
            int index = 0;
            const Cdt::Face_handle face = cdt.locate(Point(x, y), type, index, hint);
            hint = face;
            if (type == Cdt::FACE && !cdt.is_infinite(face) && face->is_in_domain())
                seeds.emplace_back(x, y);
        }
    }
    return seeds;
}

// One edge of the polygon list, with the crossing points found on it.
struct Edge {
    QPointF a;
    QPointF b;
    std::vector<QPointF> splits;

    bool horizontal() const { return a.y() == b.y() && a.x() != b.x(); }
    bool vertical() const { return a.x() == b.x() && a.y() != b.y(); }
};

// Finds where a vertical edge crosses a horizontal one inside both, and notes
// the exact crossing point (the x of one, the y of the other) on each. Left to
// CGAL, these points would be computed in floating point slightly off both edges,
// and such near-duplicates can break the mesher. Facade rectangles only cross
// like this; oblique crossings are still left to CGAL.
void splitAxisCrossings(std::vector<Edge> &edges)
{
    std::vector<Edge *> horizontals;
    for (Edge &edge : edges)
        if (edge.horizontal())
            horizontals.push_back(&edge);
    std::sort(horizontals.begin(), horizontals.end(),
              [](const Edge *p, const Edge *q) { return p->a.y() < q->a.y(); });
    for (Edge &vertical : edges) {
        if (!vertical.vertical())
            continue;
        const double x = vertical.a.x();
        const double low = std::min(vertical.a.y(), vertical.b.y());
        const double high = std::max(vertical.a.y(), vertical.b.y());
        auto it = std::upper_bound(horizontals.begin(), horizontals.end(), low,
                                   [](double y, const Edge *edge) { return y < edge->a.y(); });
        for (; it != horizontals.end() && (*it)->a.y() < high; ++it) {
            Edge &horizontal = **it;
            if (x > std::min(horizontal.a.x(), horizontal.b.x()) && x < std::max(horizontal.a.x(), horizontal.b.x())) {
                const QPointF crossing(x, horizontal.a.y());
                vertical.splits.push_back(crossing);
                horizontal.splits.push_back(crossing);
            }
        }
    }
}

// Inserts an edge as constraints between its end points and its crossing points
// in order along it.
void insertEdge(Cdt &cdt, Edge &edge, Cdt::Vertex_handle from, Cdt::Vertex_handle to)
{
    if (edge.splits.empty()) {
        if (from != to)
            cdt.insert_constraint(from, to);
        return;
    }
    const QPointF start = edge.a;
    std::sort(edge.splits.begin(), edge.splits.end(), [&](const QPointF &p, const QPointF &q) {
        return std::abs(p.x() - start.x()) + std::abs(p.y() - start.y())
               < std::abs(q.x() - start.x()) + std::abs(q.y() - start.y());
    });
    Cdt::Vertex_handle previous = from;
    for (const QPointF &split : edge.splits) {
        const Cdt::Vertex_handle next = cdt.insert(Point(split.x(), split.y()), previous->face());
        if (next != previous)
            cdt.insert_constraint(previous, next);
        previous = next;
    }
    if (previous != to)
        cdt.insert_constraint(previous, to);
}

bool lessXY(const Cdt::Vertex_handle &a, const Cdt::Vertex_handle &b)
{
    const Point &p = a->point();
    const Point &q = b->point();
    return p.x() < q.x() || (p.x() == q.x() && p.y() < q.y());
}

// Bounding box of the outline (polygon 0) and the number of input points.
struct Extent {
    std::size_t points = 0;
    double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
};

// Checks every point (finite, within kMaxCoordinate) and measures the
// outline alone: only the wall inside it is refined, so an opening far
// outside costs nothing and is no reason to refuse. False, with the reason,
// for input the mesher must not see; too few points are left to the caller.
bool validatedExtent(const FacadeWall::Polygons &polygons, Extent &extent, Failure *failure)
{
    for (const auto &polygon : polygons)
        for (const QPointF &p : polygon) {
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                return failAndLog(failure, "Facade triangulation: a point is not a finite number");
            if (std::abs(p.x()) > FacadeWall::kMaxCoordinate || std::abs(p.y()) > FacadeWall::kMaxCoordinate) {
                std::string reason = "Facade triangulation: a point lies too far out (";
                appendGeneral(reason, p.x(), 6);
                reason += ", ";
                appendGeneral(reason, p.y(), 6);
                return failAndLog(failure, reason + ")");
            }
            if (&polygon == &polygons.front()) {
                const bool firstPoint = extent.points == 0;
                extent.minX = firstPoint ? p.x() : std::min(extent.minX, p.x());
                extent.maxX = firstPoint ? p.x() : std::max(extent.maxX, p.x());
                extent.minY = firstPoint ? p.y() : std::min(extent.minY, p.y());
                extent.maxY = firstPoint ? p.y() : std::max(extent.maxY, p.y());
            }
            ++extent.points;
        }
    if (extent.points >= 3
        && (extent.maxX - extent.minX) * (extent.maxY - extent.minY) > FacadeWall::kMaxExtentArea)
        return failAndLog(failure, "Facade triangulation: the outline is too large");
    return true;
}

// Inserts every input point and every polygon closed on itself as
// constraints, split at the exact crossings of axis-parallel edges. Returns
// the vertex of each input point, in input order; a point that repeats an
// earlier one shares its vertex and keeps the earlier number.
std::vector<Cdt::Vertex_handle> insertPolygons(Cdt &cdt, const FacadeWall::Polygons &polygons, std::size_t total)
{
    std::vector<Cdt::Vertex_handle> inputVertices;
    inputVertices.reserve(total);
    Cdt::Face_handle hint;
    for (const auto &polygon : polygons)
        for (const QPointF &p : polygon) {
            const Cdt::Vertex_handle v = cdt.insert(Point(p.x(), p.y()), hint);
            if (v->info().index < 0)
                v->info().index = int(inputVertices.size());
            hint = v->face();
            inputVertices.push_back(v);
        }
    // Edge j of a polygon joins its points j and j + 1.
    std::vector<Edge> edges;
    std::vector<std::pair<std::size_t, std::size_t>> ends;
    edges.reserve(total);
    ends.reserve(total);
    std::size_t first = 0;
    for (const auto &polygon : polygons) {
        const std::size_t n = polygon.size();
        for (std::size_t j = 0; j < n; ++j) {
            edges.push_back(Edge{polygon[j], polygon[(j + 1) % n], {}});
            ends.emplace_back(first + j, first + (j + 1) % n);
        }
        first += n;
    }
    splitAxisCrossings(edges);
    for (std::size_t e = 0; e < edges.size(); ++e)
        insertEdge(cdt, edges[e], inputVertices[ends[e].first], inputVertices[ends[e].second]);
    return inputVertices;
}

// Marks the wall, seeds its inside with a lattice and refines it to the
// quality and size bounds. A triangulation without area has nothing to refine.
void refineWall(Cdt &cdt, const FacadeWall::Polygons &polygons)
{
    if (cdt.dimension() != 2)
        return;
    markWall(cdt, polygons);
    const std::vector<Point> seeds = wallSeeds(cdt, polygons);
    if (!seeds.empty()) {
        cdt.insert(seeds.begin(), seeds.end());
        markWall(cdt, polygons); // the faces made by the insertion start unmarked
    }
    CGAL::refine_Delaunay_mesh_2(cdt, WallCriteria(), true);
}

// The mesh: the input points first, in input order, then the added points
// (crossings, seeds, refinement) ordered by x, then y; then the wall faces.
std::unique_ptr<FacadePolyMesh> toPolyMesh(const Cdt &cdt, const FacadeWall::Polygons &polygons, std::size_t total,
                                           Failure *failure)
{
    std::vector<Cdt::Vertex_handle> added;
    for (auto v = cdt.finite_vertices_begin(); v != cdt.finite_vertices_end(); ++v)
        if (v->info().index < 0)
            added.push_back(v);
    std::sort(added.begin(), added.end(), lessXY);
    for (std::size_t k = 0; k < added.size(); ++k)
        added[k]->info().index = int(total + k);

    auto mesh = std::make_unique<FacadePolyMesh>();
    mesh->reserve(total + added.size(), 3 * cdt.number_of_faces(), 2 * cdt.number_of_faces());
    std::vector<FacadePolyMesh::VertexHandle> handles;
    handles.reserve(total + added.size());
    for (const auto &polygon : polygons)
        for (const QPointF &p : polygon)
            handles.push_back(mesh->add_vertex(FacadePolyMesh::Point(float(p.x()), float(p.y()), 0.0f)));
    for (const Cdt::Vertex_handle &v : added)
        handles.push_back(mesh->add_vertex(FacadePolyMesh::Point(float(CGAL::to_double(v->point().x())),
                                                                 float(CGAL::to_double(v->point().y())), 0.0f)));
    if (cdt.dimension() < 2)
        return mesh;
    std::size_t lost = 0;
    for (auto face = cdt.finite_faces_begin(); face != cdt.finite_faces_end(); ++face) {
        if (!face->is_in_domain())
            continue;
        const FacadePolyMesh::FaceHandle made = mesh->add_face(handles[std::size_t(face->vertex(0)->info().index)],
                                                               handles[std::size_t(face->vertex(1)->info().index)],
                                                               handles[std::size_t(face->vertex(2)->info().index)]);
        if (!made.is_valid())
            ++lost;
    }
    if (lost > 0)
        failAndLog(failure, formatText("Facade triangulation: %zu faces could not be added", lost));
    return mesh;
}

std::unique_ptr<FacadePolyMesh> triangulateChecked(const FacadeWall::Polygons &polygons, Failure *failure)
{
    Extent extent;
    if (!validatedExtent(polygons, extent, failure) || extent.points < 3)
        return nullptr;
    Cdt cdt;
    insertPolygons(cdt, polygons, extent.points);
    refineWall(cdt, polygons);
    return toPolyMesh(cdt, polygons, extent.points, failure);
}

} // namespace

std::unique_ptr<FacadePolyMesh> FacadeWall::triangulate(const Polygons &polygons, Failure *failure)
{
    try {
        return triangulateChecked(polygons, failure);
    } catch (const std::exception &error) {
        failAndLog(failure, std::string("Facade triangulation failed: ") + error.what());
    } catch (...) {
        failAndLog(failure, "Facade triangulation failed");
    }
    return nullptr;
}
