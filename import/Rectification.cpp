#include "Rectification.h"

#include "internal/CvImage.h"
#include "internal/Guard.h"

#include <opencv2/calib3d.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace FacadeImport {

namespace {

constexpr double kMinEdge = 16.0;          // pixels between neighbouring corners
constexpr double kDefaultFocal = 1.2;      // times the larger side, without vanishing points
constexpr double kMinFocal = 0.3;          // plausible focal lengths, times the larger side
constexpr double kMaxFocal = 4.0;
constexpr double kFiniteLimit = 50.0;      // farther vanishing points (times the larger side) count as infinite
constexpr int kMaxSupersampling = 3;

double cross(const QPointF &o, const QPointF &a, const QPointF &b)
{
    return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

double signedArea(const FacadeQuad &q)
{
    double s = 0.0;
    for (std::size_t i = 0; i < 4; ++i) {
        const QPointF &a = q[i];
        const QPointF &b = q[(i + 1) % 4];
        s += a.x() * b.y() - b.x() * a.y();
    }
    return 0.5 * s;
}

double length(const QPointF &a, const QPointF &b)
{
    return std::hypot(b.x() - a.x(), b.y() - a.y());
}

// "top-left" and so on: where a corner lies against the quadrilateral's
// centre, so that a message names it whatever order the corners came in.
QString cornerName(const FacadeQuad &q, std::size_t i)
{
    const QPointF centre = 0.25 * (q[0] + q[1] + q[2] + q[3]);
    const bool top = q[i].y() < centre.y();
    const bool left = q[i].x() < centre.x();
    if (top)
        return left ? "top-left" : "top-right";
    return left ? "bottom-left" : "bottom-right";
}

cv::Vec3d homogeneous(const QPointF &p)
{
    return {p.x(), p.y(), 1.0};
}

std::array<double, 3> meet(const QPointF &a, const QPointF &b, const QPointF &c, const QPointF &d)
{
    const cv::Vec3d v = homogeneous(a).cross(homogeneous(b)).cross(homogeneous(c).cross(homogeneous(d)));
    const double n = cv::norm(v);
    return n > 0.0 ? std::array<double, 3>{v[0] / n, v[1] / n, v[2] / n} : std::array<double, 3>{0.0, 0.0, 0.0};
}

// Clockwise from the corner nearest the photograph's top-left.
FacadeQuad normalisedOrder(const FacadeQuad &q)
{
    FacadeQuad c = q;
    if (signedArea(c) < 0.0)
        std::swap(c[1], c[3]);
    std::size_t first = 0;
    for (std::size_t i = 1; i < 4; ++i)
        if (c[i].x() + c[i].y() < c[first].x() + c[first].y())
            first = i;
    FacadeQuad out;
    for (std::size_t i = 0; i < 4; ++i)
        out[i] = c[(first + i) % 4];
    return out;
}

// f^2 = -(v1 - c) . (v2 - c) for two vanishing points of orthogonal
// directions and the principal point c; 0 when it does not apply.
double focalFromPoints(const std::array<double, 3> &h, const std::array<double, 3> &v, const QPointF &centre,
                       double side)
{
    const double limit = kFiniteLimit * side;
    if (std::abs(h[2]) < 1e-12 || std::abs(v[2]) < 1e-12)
        return 0.0;
    const QPointF a(h[0] / h[2] - centre.x(), h[1] / h[2] - centre.y());
    const QPointF b(v[0] / v[2] - centre.x(), v[1] / v[2] - centre.y());
    if (std::hypot(a.x(), a.y()) > limit || std::hypot(b.x(), b.y()) > limit)
        return 0.0;
    const double f2 = -(a.x() * b.x() + a.y() * b.y());
    if (!(f2 > 0.0))
        return 0.0;
    const double f = std::sqrt(f2);
    return f >= kMinFocal * side && f <= kMaxFocal * side ? f : 0.0;
}

cv::Matx33d toMatx(const Matrix3 &m)
{
    return cv::Matx33d(m[0][0], m[0][1], m[0][2], m[1][0], m[1][1], m[1][2], m[2][0], m[2][1], m[2][2]);
}

Matrix3 fromMatx(const cv::Matx33d &m)
{
    return {{{m(0, 0), m(0, 1), m(0, 2)}, {m(1, 0), m(1, 1), m(1, 2)}, {m(2, 0), m(2, 1), m(2, 2)}}};
}

// R and t from the wall in the camera (wallInCamera): its first two columns
// are the world's x and y axes, its third the world's origin. R's third
// column is the cross product of the first two, and R the nearest rotation
// by SVD.
void rotationFrom(CameraEstimate &camera)
{
    const Matrix3 M = wallInCamera(camera.K, camera.H);
    const cv::Vec3d m1(M[0][0], M[1][0], M[2][0]);
    const cv::Vec3d m2(M[0][1], M[1][1], M[2][1]);
    const cv::Vec3d m3r = m1.cross(m2);
    const cv::Matx33d A(m1[0], m2[0], m3r[0], m1[1], m2[1], m3r[1], m1[2], m2[2], m3r[2]);
    cv::Mat w, u, vt;
    cv::SVD::compute(cv::Mat(A), w, u, vt);
    cv::Mat r = u * vt;
    if (cv::determinant(r) < 0.0) {
        u.col(2) *= -1.0;
        r = u * vt;
    }
    camera.R = fromMatx(cv::Matx33d(reinterpret_cast<const double *>(r.data)));
    camera.t = {M[0][2], M[1][2], M[2][2]};
}

} // namespace

ImportStatus validateCorners(const FacadeQuad &corners, const QSize &photoSize)
{
    for (const QPointF &p : corners)
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return ImportStatus::failure(ImportError::BadCorners, "The facade corners must be numbers.");
    const double dx = kMaxCornerOutside * photoSize.width();
    const double dy = kMaxCornerOutside * photoSize.height();
    for (std::size_t i = 0; i < 4; ++i) {
        const QPointF &p = corners[i];
        if (p.x() < -dx || p.y() < -dy || p.x() > photoSize.width() + dx || p.y() > photoSize.height() + dy)
            return ImportStatus::failure(ImportError::BadCorners,
                                         QString("The %1 corner lies too far outside the photograph.")
                                             .arg(cornerName(corners, i)));
    }
    for (std::size_t i = 0; i < 4; ++i)
        if (length(corners[i], corners[(i + 1) % 4]) < kMinEdge)
            return ImportStatus::failure(ImportError::BadCorners,
                                         QString("The facade corners must be at least %1 pixels apart.").arg(kMinEdge));
    // Convex, in the given order: every turn the same way.
    int positive = 0, negative = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const double c = cross(corners[i], corners[(i + 1) % 4], corners[(i + 2) % 4]);
        if (c > 0.0)
            ++positive;
        else if (c < 0.0)
            ++negative;
    }
    if (positive != 4 && negative != 4)
        return ImportStatus::failure(ImportError::BadCorners,
                                     "The facade corners do not form a convex quadrilateral.");
    return ImportStatus::success();
}

namespace {

// Camera: the principal point in the middle, the focal length from the
// quadrilateral's two vanishing points when both are finite.
void estimateCamera(RectificationPlan &plan, const QSize &photoSize)
{
    const FacadeQuad &c = plan.corners;
    const double side = std::max(photoSize.width(), photoSize.height());
    const QPointF centre(0.5 * photoSize.width(), 0.5 * photoSize.height());
    plan.horizontalPoint = meet(c[0], c[1], c[3], c[2]);
    plan.verticalPoint = meet(c[0], c[3], c[1], c[2]);
    CameraEstimate &cam = plan.camera;
    cam.focal = focalFromPoints(plan.horizontalPoint, plan.verticalPoint, centre, side);
    cam.focalFromVanishingPoints = cam.focal > 0.0;
    if (!cam.focalFromVanishingPoints)
        cam.focal = kDefaultFocal * side;
    cam.K = {{{cam.focal, 0.0, centre.x()}, {0.0, cam.focal, centre.y()}, {0.0, 0.0, 1.0}}};
}

// The homography from the unit square onto the corners; false when they are
// degenerate.
bool squareOnto(const FacadeQuad &c, Matrix3 *H0)
{
    const std::vector<cv::Point2d> square{{0.0, 0.0}, {1.0, 0.0}, {1.0, 1.0}, {0.0, 1.0}};
    std::vector<cv::Point2d> quad;
    for (const QPointF &p : c)
        quad.emplace_back(p.x(), p.y());
    const cv::Mat h0 = cv::findHomography(square, quad, 0);
    if (h0.empty() || h0.type() != CV_64F)
        return false;
    *H0 = fromMatx(cv::Matx33d(reinterpret_cast<const double *>(h0.data)));
    return true;
}

// As many pixels as the photograph gives the facade along its better
// resolved edges, then shrunk to fit the view.
QSize rectifiedSize(const FacadeQuad &c, double aspect)
{
    const double along = std::max(length(c[0], c[1]), length(c[3], c[2]));
    const double across = std::max(length(c[0], c[3]), length(c[1], c[2]));
    double h = std::max(across, along / aspect);
    double w = h * aspect;
    const double fit = std::min({1.0, kMaxRectifiedWidth / w, kMaxRectifiedHeight / h});
    w *= fit;
    h *= fit;
    return QSize(std::clamp(int(std::lround(w)), 1, kMaxRectifiedWidth),
                 std::clamp(int(std::lround(h)), 1, kMaxRectifiedHeight));
}

RectificationPlan planFrom(const FacadeQuad &corners, const QSize &photoSize)
{
    RectificationPlan plan;
    plan.status = validateCorners(corners, photoSize);
    if (!plan.status.ok())
        return plan;
    plan.corners = normalisedOrder(corners);
    estimateCamera(plan, photoSize);
    CameraEstimate &cam = plan.camera;

    // The unit square's columns through K^-1 give the facade's metric
    // aspect ratio.
    Matrix3 H0{};
    if (!squareOnto(plan.corners, &H0)) {
        plan.status = ImportStatus::failure(ImportError::BadCorners, "The facade corners are degenerate.");
        return plan;
    }
    Matrix3 Ki{};
    Homography::inverse(cam.K, &Ki);
    const Matrix3 M = Homography::compose(Ki, H0);
    const double width = std::hypot(M[0][0], M[1][0], M[2][0]);
    const double height = std::hypot(M[0][1], M[1][1], M[2][1]);
    plan.aspect = width / height;
    if (!std::isfinite(plan.aspect) || !(plan.aspect > 0.0)) {
        plan.status = ImportStatus::failure(ImportError::BadCorners, "The facade corners are degenerate.");
        return plan;
    }
    plan.size = rectifiedSize(plan.corners, plan.aspect);

    const Matrix3 scale{{{1.0 / plan.size.width(), 0.0, 0.0}, {0.0, 1.0 / plan.size.height(), 0.0}, {0.0, 0.0, 1.0}}};
    cam.H = Homography::compose(H0, scale);
    const double last = cam.H[2][2];
    for (auto &row : cam.H)
        for (double &v : row)
            v /= last;
    cam.colMin = 0;
    cam.rowMin = 0;
    rotationFrom(cam);
    return plan;
}

QImage warpFrom(const QImage &photo, const RectificationPlan &plan)
{
    if (photo.isNull() || !plan.status.ok() || plan.size.isEmpty())
        return QImage();
    const QImage rgbPhoto = photo.convertToFormat(QImage::Format_RGB888);
    const cv::Mat src = viewOf(rgbPhoto);
    const FacadeQuad &c = plan.corners;
    // Photo pixels per rectified pixel along the facade's edges.
    const double shrink = std::max({length(c[0], c[1]) / plan.size.width(), length(c[3], c[2]) / plan.size.width(),
                                    length(c[0], c[3]) / plan.size.height(), length(c[1], c[2]) / plan.size.height()});
    const int k = shrink > 1.2 ? std::min(kMaxSupersampling, int(std::ceil(shrink))) : 1;

    // Destination pixel index -> photo pixel index: pixel centres sit at
    // index + 0.5 in the continuous frames that H relates.
    const cv::Matx33d toCentre(1.0 / k, 0.0, 0.5 / k - plan.camera.colMin, 0.0, 1.0 / k, 0.5 / k - plan.camera.rowMin,
                               0.0, 0.0, 1.0);
    const cv::Matx33d toIndex(1.0, 0.0, -0.5, 0.0, 1.0, -0.5, 0.0, 0.0, 1.0);
    const cv::Matx33d map = toIndex * toMatx(plan.camera.H) * toCentre;
    cv::Mat warped;
    cv::warpPerspective(src, warped, cv::Mat(map), cv::Size(plan.size.width() * k, plan.size.height() * k),
                        cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_REPLICATE);
    if (k > 1)
        cv::resize(warped, warped, cv::Size(plan.size.width(), plan.size.height()), 0.0, 0.0, cv::INTER_AREA);
    return toQImage(warped);
}

QImage coverageFrom(const RectificationPlan &plan, const QSize &photoSize)
{
    if (!plan.status.ok() || plan.size.isEmpty())
        return QImage();
    QImage inside(plan.size, QImage::Format_Grayscale8);
    if (inside.isNull())
        return inside;
    const QRectF photo(QPointF(0.0, 0.0), QSizeF(photoSize));
    const bool allInside = std::all_of(plan.corners.begin(), plan.corners.end(),
                                       [&](const QPointF &p) { return photo.contains(p); });
    if (allInside) {
        // A convex quadrilateral inside the photograph: all of it is shown.
        inside.fill(255);
        return inside;
    }
    const cv::Matx33d h = toMatx(plan.camera.H);
    for (int y = 0; y < inside.height(); ++y) {
        uchar *row = inside.scanLine(y);
        for (int x = 0; x < inside.width(); ++x) {
            const cv::Vec3d q =
                h * cv::Vec3d(x + 0.5 - plan.camera.colMin, y + 0.5 - plan.camera.rowMin, 1.0);
            const bool shown = q[2] > 0.0 && q[0] >= 0.0 && q[1] >= 0.0 && q[0] <= photoSize.width() * q[2]
                            && q[1] <= photoSize.height() * q[2];
            row[x] = shown ? 255 : 0;
        }
    }
    return inside;
}

} // namespace

RectificationPlan planRectification(const FacadeQuad &corners, const QSize &photoSize)
{
    RectificationPlan plan;
    if (!runGuarded([&] { plan = planFrom(corners, photoSize); })) {
        plan = RectificationPlan();
        plan.status = ImportStatus::failure(ImportError::Internal, "The facade corners cannot be rectified.");
    }
    return plan;
}

QImage rectifyPhoto(const QImage &photo, const RectificationPlan &plan)
{
    QImage out;
    if (!runGuarded([&] { out = warpFrom(photo, plan); }))
        out = QImage();
    return out;
}

QImage photoCoverage(const RectificationPlan &plan, const QSize &photoSize)
{
    QImage out;
    if (!runGuarded([&] { out = coverageFrom(plan, photoSize); }))
        out = QImage();
    return out;
}

} // namespace FacadeImport
