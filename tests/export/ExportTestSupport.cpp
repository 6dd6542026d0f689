#include "ExportTestSupport.h"

#include <QColor>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <set>

std::unique_ptr<QWindowData2D> makeShutterModel(int width, int height, const std::vector<Box> &boxes,
                                                double leftAngle, double rightAngle)
{
    auto model = std::make_unique<QWindowData2D>();
    model->caseKind = int(TestCaseKind::Shutter);
    model->rectifiedImage = QImage(width, height, QImage::Format_RGB32);
    model->rectifiedImage.fill(QColor(200, 190, 170));
    model->background = model->rectifiedImage.copy();
    model->background.fill(QColor(180, 170, 150));
    model->leftShutterImage = QImage(8, 16, QImage::Format_RGB32);
    model->leftShutterImage.fill(QColor(20, 90, 40));
    model->rightShutterImage = QImage(8, 16, QImage::Format_RGB32);
    model->rightShutterImage.fill(QColor(40, 20, 90));
    model->windows.resize(1);
    model->detectedWindows.resize(1);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box &b = boxes[i];
        FacadeWindow window;
        window.x = b.minx;
        window.y = b.miny;
        window.width = b.maxx - b.minx;
        window.height = b.maxy - b.miny;
        window.col = int(i);
        window.sourceIndex = int(i);
        window.leftAngle = leftAngle;
        window.rightAngle = rightAngle;
        model->windows[0].push_back(window);
        window.sourceIndex = -1;
        model->detectedWindows[0].push_back(window);

        ShutterPair pair;
        pair.left.hinge1 = QPoint(b.minx, b.miny);
        pair.left.hinge2 = QPoint(b.minx, b.maxy);
        pair.right.hinge1 = QPoint(b.maxx, b.miny);
        pair.right.hinge2 = QPoint(b.maxx, b.maxy);
        model->shutters.push_back(pair);

        auto image = std::make_unique<QImage>(std::max(1, window.width), std::max(1, window.height),
                                              QImage::Format_RGB32);
        image->fill(QColor(30 + 20 * int(i % 10), 60, 120));
        model->currentImages.push_back(image.get());
        model->imageKeys.push_back(int(i));
        model->windowImages.push_back(std::move(image));
    }
    model->rows = 1;
    model->cols = int(boxes.size());
    return model;
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

ErrorOutputCapture::ErrorOutputCapture()
{
    if (!file.open())
        return;
    std::fflush(stderr);
    saved = ::dup(2);
    ::dup2(file.handle(), 2);
}

ErrorOutputCapture::~ErrorOutputCapture()
{
    take();
}

QString ErrorOutputCapture::take()
{
    if (saved < 0)
        return QString();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    saved = -1;
    file.seek(0);
    return QString::fromLocal8Bit(file.readAll());
}
