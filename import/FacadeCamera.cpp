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

} // namespace FacadeImport
