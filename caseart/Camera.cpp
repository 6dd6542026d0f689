#include "Camera.h"

#include <algorithm>
#include <cmath>

namespace CaseArt {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Bounding box of the projected facade corners, in photo pixels.
struct Box {
    double left, top, right, bottom;
};

Box projectedFacade(const CameraModel &cam, int w, int h)
{
    Box b{1e30, 1e30, -1e30, -1e30};
    const double xs[2] = {0.0, double(w)};
    const double ys[2] = {0.0, double(h)};
    for (double x : xs)
        for (double y : ys) {
            const Vec2 q = cam.project(cam.wallPoint(x, y));
            b.left = std::min(b.left, q.x);
            b.right = std::max(b.right, q.x);
            b.top = std::min(b.top, q.y);
            b.bottom = std::max(b.bottom, q.y);
        }
    return b;
}

} // namespace

Vec3 CameraModel::centre() const
{
    const Mat3 rt = R.transposed();
    const Vec3 c = rt * t;
    return {-c.x, -c.y, -c.z};
}

Vec2 CameraModel::project(const Vec3 &world) const
{
    const Vec3 c = K * (R * world + t);
    return {c.x / c.z, c.y / c.z};
}

double CameraModel::depth(const Vec3 &world) const
{
    return (R * world + t).z;
}

Vec3 CameraModel::wallPoint(double px, double py) const
{
    return {pixelScale * px, pixelScale * py, 0.0};
}

Mat3 CameraModel::homography() const
{
    // x1 = p - offsets  ->  wall point (s (x1 + colMin), s (x1 + rowMin), 0)
    // ->  K [r1 r2 t] applied to that point's (X, Y, 1).
    Mat3 toWall;
    toWall.m = {{{pixelScale, 0.0, pixelScale * colMin},
                 {0.0, pixelScale, pixelScale * rowMin},
                 {0.0, 0.0, 1.0}}};
    const Mat3 plane = Mat3::fromColumns(R.column(0), R.column(1), t);
    return (K * plane * toWall).normalizedByLast();
}

Vec2 CameraModel::rectifiedPosition(const Vec3 &world) const
{
    const Vec2 q = project(world);
    const Vec2 x1 = applyHomography(homography().inverse(), q.x, q.y);
    return {x1.x + colMin, x1.y + rowMin};
}

Mat3 rotationFromYawPitch(double yawDeg, double pitchDeg)
{
    const double yaw = yawDeg * kDegree;
    const double pitch = pitchDeg * kDegree;
    const Vec3 forward{std::sin(yaw) * std::cos(pitch), -std::sin(pitch), std::cos(yaw) * std::cos(pitch)};
    const Vec3 down{0.0, 1.0, 0.0};
    const Vec3 right = normalized(cross(down, forward));
    const Vec3 camDown = cross(forward, right);
    return Mat3::fromRows(right, camDown, forward);
}

CameraModel placeCamera(const CameraSetup &setup, int facadeWidth, int facadeHeight, double pixelScale)
{
    CameraModel cam;
    cam.pixelScale = pixelScale;
    cam.K.m = {{{setup.focal, 0.0, 0.5 * setup.photoWidth},
                {0.0, setup.focal, 0.5 * setup.photoHeight},
                {0.0, 0.0, 1.0}}};
    cam.R = rotationFromYawPitch(setup.yawDeg, setup.pitchDeg);
    const Vec3 right = cam.R.row(0);
    const Vec3 down = cam.R.row(1);
    const Vec3 forward = cam.R.row(2);
    const Vec3 aim = cam.wallPoint(0.5 * facadeWidth, 0.5 * facadeHeight);

    auto setCentre = [&cam](const Vec3 &c) {
        const Vec3 rc = cam.R * c;
        cam.t = {-rc.x, -rc.y, -rc.z};
    };
    const double wantW = setup.fill * setup.photoWidth;
    const double wantH = setup.maxFillHeight * setup.photoHeight;
    Vec3 shift{};
    double distance = 0.0;
    // The facade shrinks monotonically with the distance: bisect for the
    // distance at which it has the wanted size, then move the camera sideways
    // so that the facade sits where asked; repeat, as each affects the other.
    for (int round = 0; round < 4; ++round) {
        double nearD = 1.0, farD = 1000.0;
        for (int i = 0; i < 60; ++i) {
            distance = 0.5 * (nearD + farD);
            setCentre(aim + shift - distance * forward);
            const Box b = projectedFacade(cam, facadeWidth, facadeHeight);
            const bool tooBig = b.right - b.left > wantW || b.bottom - b.top > wantH;
            (tooBig ? nearD : farD) = distance;
        }
        const Box b = projectedFacade(cam, facadeWidth, facadeHeight);
        const double cx = 0.5 * (b.left + b.right) - 0.5 * setup.photoWidth - setup.shiftX * (b.right - b.left);
        const double cy = 0.5 * (b.top + b.bottom) - 0.5 * setup.photoHeight - setup.shiftY * (b.bottom - b.top);
        shift = shift + (distance / setup.focal) * (cx * right + cy * down);
    }

    // The rectification frame starts at the foot of the camera on the wall.
    const Vec3 c = cam.centre();
    cam.colMin = int(std::lround(c.x / pixelScale));
    cam.rowMin = int(std::lround(c.y / pixelScale));
    return cam;
}

} // namespace CaseArt
