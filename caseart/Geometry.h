#ifndef TESSIVO_CASEART_GEOMETRY_H
#define TESSIVO_CASEART_GEOMETRY_H

#include "Homography.h"

#include <array>
#include <cmath>

// Small fixed-size vector and matrix types for the camera model of the case art.
namespace CaseArt {

struct Vec2 {
    double x = 0.0;
    double y = 0.0;
};

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline Vec3 operator+(const Vec3 &a, const Vec3 &b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3 &a, const Vec3 &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(double s, const Vec3 &a) { return {s * a.x, s * a.y, s * a.z}; }
inline double dot(const Vec3 &a, const Vec3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(const Vec3 &a, const Vec3 &b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double norm(const Vec3 &a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalized(const Vec3 &a) { return (1.0 / norm(a)) * a; }

// The program's 3 x 3 matrix (Homography.h) with the vector algebra the
// camera model needs; inverse, products and homographies are Homography's.
struct Mat3 {
    Matrix3 m{};

    static Mat3 identity();
    static Mat3 fromRows(const Vec3 &r0, const Vec3 &r1, const Vec3 &r2);
    static Mat3 fromColumns(const Vec3 &c0, const Vec3 &c1, const Vec3 &c2);

    Vec3 row(int i) const { return {m[i][0], m[i][1], m[i][2]}; }
    Vec3 column(int j) const { return {m[0][j], m[1][j], m[2][j]}; }
    Mat3 transposed() const;
    double determinant() const;
    // Adjugate divided by the determinant; the caller makes sure it is not 0
    // (a singular matrix gives the identity).
    Mat3 inverse() const;
    // The matrix divided by its bottom-right entry (which must not be 0).
    Mat3 normalizedByLast() const;
};

Vec3 operator*(const Mat3 &a, const Vec3 &v);
Mat3 operator*(const Mat3 &a, const Mat3 &b);

// Applies a homography to (x, y, 1) and divides by the third component.
Vec2 applyHomography(const Mat3 &h, double x, double y);

// The homography that maps the unit-square corners (0,0), (1,0), (1,1), (0,1)
// to the four given points, in this order. Returns false for a degenerate quad.
bool squareToQuad(const std::array<Vec2, 4> &quad, Mat3 *result);

} // namespace CaseArt

#endif
