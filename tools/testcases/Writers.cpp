#include "Writers.h"

#include <QByteArray>
#include <QFile>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <ostream>

namespace testcases {

namespace {

constexpr int kJpegQuality = 92;

void appendFormat(std::string &text, const char *format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n > 0)
        text.append(buffer, std::size_t(std::min<int>(n, int(sizeof buffer) - 1)));
}

void appendMatrix(std::string &text, const Mat3 &m)
{
    for (const auto &row : m.m)
        appendFormat(text, "%.15g %.15g %.15g\n", row[0], row[1], row[2]);
}

void appendLeaf(std::string &text, const ShutterLeaf &leaf, int number)
{
    appendFormat(text, "shutter %d\n", number);
    appendFormat(text, "%d %d %d %d\n", leaf.hinge1.x(), leaf.hinge1.y(), leaf.hinge2.x(), leaf.hinge2.y());
    const std::size_t n = std::min({leaf.angles.size(), leaf.outer1.size(), leaf.outer2.size()});
    for (std::size_t k = 0; k < n; ++k) {
        // Degrees back from the program's radians; whole degrees print whole.
        const double degrees = leaf.angles[k] * 180.0 / QWindowData2D::pi;
        appendFormat(text, "%.6g %d %d %d %d\n", degrees, leaf.outer1[k].x(), leaf.outer1[k].y(),
                     leaf.outer2[k].x(), leaf.outer2[k].y());
    }
}

bool writeText(const std::string &path, const std::string &text)
{
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::string reconstructionText(const CameraModel &camera)
{
    std::string text;
    text += "#Camera K:\n";
    appendMatrix(text, camera.K);
    text += "#Camera R:\n";
    appendMatrix(text, camera.R);
    text += "#Homography H for rectification\n";
    text += "#x1 in rectified image, x2 in original image, then x2 = H * x1 \n";
    appendMatrix(text, camera.homography());
    text += "#Offsets: col_min row_min\n";
    appendFormat(text, "%d %d\n", camera.colMin, camera.rowMin);
    return text;
}

std::string shutterText(const std::vector<ShutterPair> &shutters)
{
    std::string text;
    for (std::size_t i = 0; i < shutters.size(); ++i) {
        appendFormat(text, "window %d\n", int(i));
        appendLeaf(text, shutters[i].left, 1);
        appendLeaf(text, shutters[i].right, 2);
    }
    return text;
}

} // namespace

bool writeReconstruction(std::ostream &out, const CameraModel &camera)
{
    const std::string text = reconstructionText(camera);
    out.write(text.data(), std::streamsize(text.size()));
    return bool(out);
}

bool writeReconstruction(const std::string &path, const CameraModel &camera)
{
    return writeText(path, reconstructionText(camera));
}

bool writeShutters(std::ostream &out, const std::vector<ShutterPair> &shutters)
{
    const std::string text = shutterText(shutters);
    out.write(text.data(), std::streamsize(text.size()));
    return bool(out);
}

bool writeShutters(const std::string &path, const std::vector<ShutterPair> &shutters)
{
    return writeText(path, shutterText(shutters));
}

bool saveJpeg(const Raster &image, const std::string &path)
{
    QImageWriter writer(QFile::decodeName(QByteArray::fromStdString(path)), "jpg");
    writer.setQuality(kJpegQuality);
    return writer.write(image.toImage());
}

} // namespace testcases
