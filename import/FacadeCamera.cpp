#include "FacadeCamera.h"

#include <cmath>

namespace FacadeImport {

namespace {

// The inverse of h; the identity when h is singular.
Matrix3 inverseOrIdentity(const Matrix3 &h)
{
    Matrix3 inverse = Homography::identity();
    Homography::inverse(h, &inverse);
    return inverse;
}

Matrix3 kInverseH(const Matrix3 &K, const Matrix3 &H, bool *ok)
{
    Matrix3 Ki{};
    *ok = Homography::inverse(K, &Ki);
    return Homography::compose(Ki, H);
}

double scaleOf(const Matrix3 &M)
{
    const double n1 = std::sqrt(M[0][0] * M[0][0] + M[1][0] * M[1][0] + M[2][0] * M[2][0]);
    const double n2 = std::sqrt(M[0][1] * M[0][1] + M[1][1] * M[1][1] + M[2][1] * M[2][1]);
    const double lambda = 2.0 / (n1 + n2);
    return lambda * M[2][2] < 0.0 ? -lambda : lambda;
}

} // namespace

double wallScale(const Matrix3 &K, const Matrix3 &H)
{
    bool ok = false;
    const Matrix3 M = kInverseH(K, H, &ok);
    return ok ? scaleOf(M) : 0.0;
}

Matrix3 wallInCamera(const Matrix3 &K, const Matrix3 &H)
{
    bool ok = false;
    Matrix3 M = kInverseH(K, H, &ok);
    const double lambda = ok ? scaleOf(M) : 0.0;
    for (auto &row : M)
        for (double &v : row)
            v *= lambda;
    return M;
}

QPointF rectifiedToPhoto(const CameraEstimate &camera, const QPointF &rectified)
{
    return Homography::apply(camera.H, rectified.x() - camera.colMin, rectified.y() - camera.rowMin);
}

QPointF photoToRectified(const CameraEstimate &camera, const QPointF &photo)
{
    return Homography::apply(inverseOrIdentity(camera.H), photo.x(), photo.y()) + QPointF(camera.colMin, camera.rowMin);
}

QPointF photoPointOf(const CameraEstimate &camera, double x, double y, double z)
{
    // On the wall the homography itself, so that z = 0 agrees with it to the
    // last digit: K^-1 H at the wall point, scaled into the camera's units
    // (the scale that makes the wall's axes unit vectors, as R and t were
    // found), plus z along the wall's normal, R's third column.
    const Matrix3 M = wallInCamera(camera.K, camera.H);
    const double u = x - camera.colMin, v = y - camera.rowMin;
    double c[3];
    for (std::size_t i = 0; i < 3; ++i)
        c[i] = M[i][0] * u + M[i][1] * v + M[i][2] + z * camera.R[i][2];
    double p[3];
    for (std::size_t i = 0; i < 3; ++i)
        p[i] = camera.K[i][0] * c[0] + camera.K[i][1] * c[1] + camera.K[i][2] * c[2];
    return QPointF(p[0] / p[2], p[1] / p[2]);
}

} // namespace FacadeImport
