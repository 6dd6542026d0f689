#include "FacadeCamera.h"

#include <cmath>

namespace FacadeImport {

QPointF applyHomography(const Matrix3 &h, const QPointF &p)
{
    const double x = h[0][0] * p.x() + h[0][1] * p.y() + h[0][2];
    const double y = h[1][0] * p.x() + h[1][1] * p.y() + h[1][2];
    const double w = h[2][0] * p.x() + h[2][1] * p.y() + h[2][2];
    return QPointF(x / w, y / w);
}

Matrix3 invertedHomography(const Matrix3 &h)
{
    Matrix3 adj{};
    for (int n = 0; n < 3; ++n)
        for (int m = 0; m < 3; ++m)
            adj[std::size_t(n)][std::size_t(m)] =
                h[std::size_t((m + 1) % 3)][std::size_t((n + 1) % 3)] * h[std::size_t((m + 2) % 3)][std::size_t((n + 2) % 3)]
                - h[std::size_t((m + 1) % 3)][std::size_t((n + 2) % 3)] * h[std::size_t((m + 2) % 3)][std::size_t((n + 1) % 3)];
    double det = 0.0;
    for (int l = 0; l < 3; ++l)
        det += h[0][std::size_t(l)] * adj[std::size_t(l)][0];
    if (!std::isfinite(det) || std::abs(det) < 1e-300)
        return {{{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}};
    for (auto &row : adj)
        for (double &v : row)
            v /= det;
    return adj;
}

QPointF rectifiedToPhoto(const CameraEstimate &camera, const QPointF &rectified)
{
    return applyHomography(camera.H, rectified - QPointF(camera.colMin, camera.rowMin));
}

QPointF photoToRectified(const CameraEstimate &camera, const QPointF &photo)
{
    return applyHomography(invertedHomography(camera.H), photo) + QPointF(camera.colMin, camera.rowMin);
}

QPointF photoPointOf(const CameraEstimate &camera, double x, double y, double z)
{
    // On the wall the homography itself, so that z = 0 agrees with it to the
    // last digit: K^-1 H at the wall point, scaled into the camera's units
    // (the scale that makes the wall's axes unit vectors, as R and t were
    // found), plus z along the wall's normal, R's third column.
    const Matrix3 Ki = invertedHomography(camera.K);
    Matrix3 M{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            M[i][j] = Ki[i][0] * camera.H[0][j] + Ki[i][1] * camera.H[1][j] + Ki[i][2] * camera.H[2][j];
    const double n1 = std::sqrt(M[0][0] * M[0][0] + M[1][0] * M[1][0] + M[2][0] * M[2][0]);
    const double n2 = std::sqrt(M[0][1] * M[0][1] + M[1][1] * M[1][1] + M[2][1] * M[2][1]);
    double lambda = 2.0 / (n1 + n2);
    if (lambda * M[2][2] < 0.0)
        lambda = -lambda;
    const double u = x - camera.colMin, v = y - camera.rowMin;
    double c[3];
    for (std::size_t i = 0; i < 3; ++i)
        c[i] = lambda * (M[i][0] * u + M[i][1] * v + M[i][2]) + z * camera.R[i][2];
    double p[3];
    for (std::size_t i = 0; i < 3; ++i)
        p[i] = camera.K[i][0] * c[0] + camera.K[i][1] * c[1] + camera.K[i][2] * c[2];
    return QPointF(p[0] / p[2], p[1] / p[2]);
}

} // namespace FacadeImport
