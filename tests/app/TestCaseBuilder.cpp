#include "TestCaseBuilder.h"
#include "TestFiles.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

std::string format(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char *fmt, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    return buffer;
}

bool writeImage(const QString &path, int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    // A darker frame makes a misplaced image visible in a picture.
    QPainter painter(&image);
    painter.setPen(color.darker(150));
    painter.drawRect(0, 0, width - 1, height - 1);
    painter.end();
    return image.save(path, "JPEG", 100);
}

std::string gridText(const CasePlan &plan)
{
    std::string text = format("b\n%d %d %d %d\n", 0, 0, plan.boundsWidth, plan.boundsHeight);
    text += format("w\n%d %d %d %d\n", 0, 0, plan.cellWidth, plan.cellHeight);
    text += format("h %d\n", plan.rows);
    for (int r = 0; r < plan.rows; ++r)
        text += format("%d ", caseWindowRect(plan, r, 0).y());
    text += format("\nv %d\n", plan.cols);
    for (int c = 0; c < plan.cols; ++c)
        text += format("%d ", caseWindowRect(plan, 0, c).x());
    text += format("\ne %d", plan.rows * plan.cols);
    for (int r = 0; r < plan.rows; ++r)
        for (int c = 0; c < plan.cols; ++c) {
            const QRect w = caseWindowRect(plan, r, c);
            text += format("\n%d %d %d %d %d %d %f %d %f %f", w.x(), w.y(), w.width(), w.height(),
                           c, r, 0.0, 0, 0.0, 0.0);
        }
    return text;
}

const char kReconstruction[] =
    "#Camera K:\n1 0 0\n0 1 0\n0 0 1\n"
    "#Camera R:\n1 0 0\n0 1 0\n0 0 1\n"
    "#Homography H for rectification\n"
    "#x1 in rectified image, x2 in original image, then x2 = H * x1 \n"
    "1 0 0\n0 1 0\n0 0 1\n"
    "#Offsets: col_min row_min\n0 0\n";

// Leaves turning on the window's left and right edges; at 180 degrees each
// covers its half of the window.
std::string shutterText(const CasePlan &plan)
{
    std::string text;
    int index = 0;
    for (int r = 0; r < plan.rows; ++r)
        for (int c = 0; c < plan.cols; ++c, ++index) {
            const QRect w = caseWindowRect(plan, r, c);
            text += format("window %d\n", index);
            for (int leaf = 0; leaf < 2; ++leaf) {
                const int hx = leaf == 0 ? w.x() : w.x() + w.width();
                const int sign = leaf == 0 ? 1 : -1;
                text += format("shutter %d\n", leaf + 1);
                text += format("%d %d %d %d\n", hx, w.y() + w.height(), hx, w.y());
                for (int k = 0; k < 19; ++k) {
                    const double degrees = 10.0 * k;
                    const int ox = hx - sign * int(std::lround(w.width() / 2.0
                                                               * std::cos(degrees * 3.1415926 / 180)));
                    text += format("%f %d %d %d %d\n", degrees, ox, w.y(), ox, w.y() + w.height());
                }
            }
        }
    return text;
}

}

QRect caseWindowRect(const CasePlan &plan, int row, int col)
{
    const double gapX = double(plan.boundsWidth - plan.cols * plan.cellWidth) / (plan.cols + 1);
    const double gapY = double(plan.boundsHeight - plan.rows * plan.cellHeight) / (plan.rows + 1);
    const int gx = int(gapX + 0.5);
    const int gy = int(gapY + 0.5);
    return QRect(gx + col * (plan.cellWidth + gx), gy + row * (plan.cellHeight + gy),
                 plan.cellWidth, plan.cellHeight);
}

QColor caseOriginalColor()
{
    return QColor(30, 160, 60);
}

bool writeGridFile(const QString &path, const CasePlan &plan)
{
    return writeBytes(path, QByteArray::fromStdString(gridText(plan)));
}

bool writeTestCase(const QString &kindFolder, const QString &fileName, const CasePlan &plan)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? fileName : fileName.left(dot);
    const QString caseDir = kindFolder + QLatin1Char('/') + base;
    const QString windowsDir = caseDir + QStringLiteral("/windows");
    if (!QDir().mkpath(windowsDir + QStringLiteral("/input")))
        return false;

    const int w = plan.boundsWidth;
    const int h = plan.boundsHeight;
    bool ok = writeImage(kindFolder + QLatin1Char('/') + fileName, w, h, caseOriginalColor())
              && writeImage(caseDir + QStringLiteral("/rec") + fileName, w, h, QColor(200, 200, 200))
              && writeImage(caseDir + QStringLiteral("/background.jpg"), w, h, QColor(230, 220, 190))
              && writeImage(caseDir + QStringLiteral("/original_background.jpg"), w, h,
                            QColor(190, 220, 230))
              && writeGridFile(caseDir + QStringLiteral("/grids.txt"), plan)
              && writeBytes(caseDir + QLatin1Char('/') + base + QStringLiteral(".reconstruction.txt"),
                            kReconstruction);
    const int count = plan.rows * plan.cols;
    if (plan.shutter) {
        ok = ok && writeImage(windowsDir + QStringLiteral("/interior.jpg"), 8, 8, QColor(40, 40, 90))
             && writeImage(windowsDir + QStringLiteral("/shutter_in_1.jpg"), 8, 16, QColor(120, 60, 20))
             && writeImage(windowsDir + QStringLiteral("/shutter_in_2.jpg"), 8, 16, QColor(20, 60, 120))
             && writeBytes(caseDir + QStringLiteral("/shutters.txt"),
                           QByteArray::fromStdString(shutterText(plan)));
        for (int i = 0; ok && i < count; ++i)
            ok = writeImage(windowsDir + QStringLiteral("/interior_%1.jpg").arg(i), plan.cellWidth,
                            plan.cellHeight, QColor(60 + 10 * (i % 10), 40, 100));
        return ok;
    }
    for (int i = 0; ok && i < count; ++i) {
        ok = writeImage(windowsDir + QStringLiteral("/input/inputwin_%1.jpg").arg(i), plan.cellWidth,
                        plan.cellHeight, QColor(60, 60 + 10 * (i % 10), 140));
        for (int level = 0; ok && level <= 10; ++level)
            ok = writeImage(windowsDir + QStringLiteral("/win_%1_%2.jpg").arg(i).arg(10 * level),
                            plan.cellWidth, plan.cellHeight, QColor(250 - 20 * level, 120, 80));
    }
    return ok;
}
