#include "PhotoDrawing.h"

#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include <algorithm>

using namespace PhotoScore;

namespace {

void drawQuad(QPainter &painter, const Quad &q)
{
    painter.drawPolygon(QPolygonF({q[0], q[1], q[2], q[3]}));
}

} // namespace

QImage drawMeasurement(const QImage &photo, const PhotoAnnotation &truth, const PhotoMeasurement &measured)
{
    // Large enough to see a window a few pixels wide; the facade may lie
    // partly outside the photograph, so a margin shows it.
    const int scale = std::max(1, 1200 / std::max(1, photo.width()));
    const int margin = 40;
    QImage canvas(photo.width() * scale + 2 * margin, photo.height() * scale + 2 * margin, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.translate(margin, margin);
    painter.drawImage(QRect(0, 0, photo.width() * scale, photo.height() * scale), photo);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    auto pen = [&](const QColor &colour) {
        QPen p(colour);
        p.setCosmetic(true);
        p.setWidth(1);
        painter.setPen(p);
    };
    pen(Qt::gray);
    for (const Quad &q : truth.ignored)
        drawQuad(painter, q);
    pen(Qt::darkGreen);
    for (const Quad &q : truth.others)
        drawQuad(painter, q);
    pen(Qt::green);
    drawQuad(painter, truth.facade);
    for (const Quad &q : truth.windows)
        drawQuad(painter, q);
    pen(Qt::red);
    if (measured.planned)
        drawQuad(painter, measured.facade);
    for (const Quad &q : measured.found)
        drawQuad(painter, q);
    return canvas;
}
