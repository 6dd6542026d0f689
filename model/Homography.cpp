#include "Homography.h"

#include <cmath>

namespace Homography {

Matrix3 identity()
{
    return {{{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}};
}

QPointF apply(const Matrix3 &h, double x, double y)
{
    const double u = h[0][0] * x + h[0][1] * y + h[0][2];
    const double v = h[1][0] * x + h[1][1] * y + h[1][2];
    const double w = h[2][0] * x + h[2][1] * y + h[2][2];
    return QPointF(u / w, v / w);
}

Matrix3 compose(const Matrix3 &a, const Matrix3 &b)
{
    Matrix3 r{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return r;
}

bool inverse(const Matrix3 &h, Matrix3 *result)
{
    // Entry (n, m) of the adjugate: the cofactor of h's entry (m, n).
    auto cofactor = [&h](std::size_t n, std::size_t m) {
        return h[(m + 1) % 3][(n + 1) % 3] * h[(m + 2) % 3][(n + 2) % 3]
             - h[(m + 1) % 3][(n + 2) % 3] * h[(m + 2) % 3][(n + 1) % 3];
    };
    double det = 0.0;
    for (std::size_t l = 0; l < 3; ++l)
        det += h[0][l] * cofactor(l, 0);
    if (det == 0.0 || !std::isfinite(det))
        return false;
    Matrix3 inv{};
    for (std::size_t n = 0; n < 3; ++n)
        for (std::size_t m = 0; m < 3; ++m) {
            inv[n][m] = cofactor(n, m) / det;
            if (!std::isfinite(inv[n][m]))
                return false;
        }
    *result = inv;
    return true;
}

} // namespace Homography
