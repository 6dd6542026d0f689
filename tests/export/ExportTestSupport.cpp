#include "ExportTestSupport.h"

#include "ModelBuilder.h"

#include <QColor>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <set>

std::unique_ptr<QWindowData2D> makeShutterModel(int width, int height, const std::vector<Box> &boxes,
                                                double leftAngle, double rightAngle)
{
    ModelBuilder builder(TestCaseKind::Shutter, width, height);
    builder.angles(leftAngle, rightAngle);
    for (const Box &b : boxes)
        builder.window(QRect(b.minx, b.miny, b.maxx - b.minx, b.maxy - b.miny));
    return builder.build();
}

std::vector<Box> latticeBoxes(int rows, int cols, int cellWidth, int cellHeight, int winWidth, int winHeight)
{
    std::vector<Box> boxes;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const int x = c * cellWidth + (cellWidth - winWidth) / 2;
            const int y = r * cellHeight + (cellHeight - winHeight) / 2;
            boxes.push_back(Box{x, y, x + winWidth, y + winHeight});
        }
    return boxes;
}

bool readObj(const QString &path, ObjData &obj)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    obj = ObjData();
    const QString text = QString::fromUtf8(file.readAll());
    obj.lines = text.split('\n');
    if (!obj.lines.isEmpty() && obj.lines.last().isEmpty())
        obj.lines.removeLast();
    for (const QString &line : obj.lines) {
        const QStringList words = line.split(' ', Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        if (words[0] == "v" && words.size() == 4) {
            obj.v.push_back({words[1].toDouble(), words[2].toDouble(), words[3].toDouble()});
        } else if (words[0] == "vt" && words.size() == 3) {
            obj.vt.push_back({words[1].toDouble(), words[2].toDouble()});
        } else if (words[0] == "f") {
            std::vector<std::array<int, 2>> corners;
            for (int k = 1; k < words.size(); ++k) {
                const QStringList parts = words[k].split('/');
                corners.push_back({parts[0].toInt(), parts.size() > 1 ? parts[1].toInt() : 0});
            }
            obj.faces.push_back(corners);
        }
    }
    return true;
}

double wallAreaOf(int width, int height, const std::vector<Box> &boxes)
{
    std::set<int> xs{0, width};
    std::set<int> ys{0, height};
    for (const Box &b : boxes) {
        xs.insert(std::clamp(b.minx, 0, width));
        xs.insert(std::clamp(b.maxx, 0, width));
        ys.insert(std::clamp(b.miny, 0, height));
        ys.insert(std::clamp(b.maxy, 0, height));
    }
    const std::vector<int> x(xs.begin(), xs.end());
    const std::vector<int> y(ys.begin(), ys.end());
    double area = 0.0;
    for (std::size_t i = 0; i + 1 < x.size(); ++i)
        for (std::size_t j = 0; j + 1 < y.size(); ++j) {
            const double cx = 0.5 * (x[i] + x[i + 1]);
            const double cy = 0.5 * (y[j] + y[j + 1]);
            const bool covered = std::any_of(boxes.begin(), boxes.end(), [&](const Box &b) {
                return cx > b.minx && cx < b.maxx && cy > b.miny && cy < b.maxy;
            });
            if (!covered)
                area += double(x[i + 1] - x[i]) * double(y[j + 1] - y[j]);
        }
    return area;
}

