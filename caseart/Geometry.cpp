#include "Geometry.h"

namespace CaseArt {

Mat3 Mat3::identity()
{
    Mat3 r;
    r.m[0][0] = r.m[1][1] = r.m[2][2] = 1.0;
    return r;
}

Mat3 Mat3::fromRows(const Vec3 &r0, const Vec3 &r1, const Vec3 &r2)
{
    Mat3 r;
    r.m = {{{r0.x, r0.y, r0.z}, {r1.x, r1.y, r1.z}, {r2.x, r2.y, r2.z}}};
    return r;
}

Mat3 Mat3::fromColumns(const Vec3 &c0, const Vec3 &c1, const Vec3 &c2)
{
    return fromRows(c0, c1, c2).transposed();
}

Mat3 Mat3::transposed() const
{
    Mat3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = m[j][i];
    return r;
}

double Mat3::determinant() const
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
         - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
         + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

Mat3 Mat3::inverse() const
{
    Mat3 r = identity();
    Homography::inverse(m, &r.m);
    return r;
}

Mat3 Mat3::normalizedByLast() const
{
    Mat3 r = *this;
    const double s = m[2][2];
    for (auto &row : r.m)
        for (double &v : row)
            v /= s;
    return r;
}

Vec3 operator*(const Mat3 &a, const Vec3 &v)
{
    return {dot(a.row(0), v), dot(a.row(1), v), dot(a.row(2), v)};
}

Mat3 operator*(const Mat3 &a, const Mat3 &b)
{
    Mat3 r;
    r.m = Homography::compose(a.m, b.m);
    return r;
}

Vec2 applyHomography(const Mat3 &h, double x, double y)
{
    const QPointF q = Homography::apply(h.m, x, y);
    return {q.x(), q.y()};
}

// Classic construction: the projective map of the unit square onto a quad,
// solved in closed form from the quad's corners (Heckbert's method).
bool squareToQuad(const std::array<Vec2, 4> &quad, Mat3 *result)
{
    const double x0 = quad[0].x, y0 = quad[0].y;
    const double x1 = quad[1].x, y1 = quad[1].y;
    const double x2 = quad[2].x, y2 = quad[2].y;
    const double x3 = quad[3].x, y3 = quad[3].y;
    const double sx = x0 - x1 + x2 - x3;
    const double sy = y0 - y1 + y2 - y3;
    const double dx1 = x1 - x2, dx2 = x3 - x2;
    const double dy1 = y1 - y2, dy2 = y3 - y2;
    const double den = dx1 * dy2 - dx2 * dy1;
    if (std::abs(den) < 1e-12)
        return false;
    const double g = (sx * dy2 - dx2 * sy) / den;
    const double h = (dx1 * sy - sx * dy1) / den;
    Mat3 r;
    r.m = {{{x1 - x0 + g * x1, x3 - x0 + h * x3, x0},
            {y1 - y0 + g * y1, y3 - y0 + h * y3, y0},
            {g, h, 1.0}}};
    if (std::abs(r.determinant()) < 1e-12)
        return false;
    *result = r;
    return true;
}

} // namespace CaseArt
