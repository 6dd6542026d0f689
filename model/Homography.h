#ifndef TESSIVO_HOMOGRAPHY_H
#define TESSIVO_HOMOGRAPHY_H

#include <QPointF>

#include <array>

// The one 3 x 3 matrix of the program, for the camera and the homography of
// the reconstruction file and everything that maps between a rectified facade
// and its photograph: the model, the importer and the case art use it; the
// importer converts to OpenCV's types only at OpenCV's calls.
using Matrix3 = std::array<std::array<double, 3>, 3>; // row-major

namespace Homography {

Matrix3 identity();

// h applied to (x, y, 1) and divided by the third component.
QPointF apply(const Matrix3 &h, double x, double y);

// a b: first b, then a.
Matrix3 compose(const Matrix3 &a, const Matrix3 &b);

// The inverse of h as its adjugate divided by its determinant. False (and
// *result untouched) when h is singular or not finite, or the inverse would
// not be finite.
bool inverse(const Matrix3 &h, Matrix3 *result);

} // namespace Homography

#endif
