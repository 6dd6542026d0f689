#include "QuadEditor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kHandleRadius = 9.0;  // widget pixels within which a corner is taken
constexpr int kMagnifierRadius = 70;   // widget pixels
constexpr double kMagnification = 4.0; // times the photograph's shown scale, at least 2 to 1

} // namespace

QuadEditor::QuadEditor(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(320, 240);
}

void QuadEditor::setPhoto(const QImage &photo)
{
    m_photo.setImage(photo);
    update();
}

void QuadEditor::setQuad(const FacadeImport::FacadeQuad &quad)
{
    m_quad = quad;
    update();
    emit quadChanged();
}

QSize QuadEditor::sizeHint() const
{
    return QSize(900, 640);
}

QPointF QuadEditor::toWidget(const QPointF &photo) const
{
    return m_photo.toWidget(size(), photo);
}

QPointF QuadEditor::toPhoto(const QPointF &widget) const
{
    return m_photo.toImage(size(), widget);
}

int QuadEditor::cornerAt(const QPointF &widget) const
{
    int best = -1;
    double bestDistance = kHandleRadius;
    for (int i = 0; i < 4; ++i) {
        const QPointF d = toWidget(m_quad[std::size_t(i)]) - widget;
        const double distance = std::hypot(d.x(), d.y());
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

void QuadEditor::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    if (m_photo.isNull())
        return;
    m_photo.paint(painter, size());

    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF outline;
    for (const QPointF &p : m_quad)
        outline << toWidget(p);
    painter.setPen(QPen(QColor(255, 220, 0), 2.0));
    painter.setBrush(QColor(255, 220, 0, 40));
    painter.drawPolygon(outline);
    for (int i = 0; i < 4; ++i) {
        const bool active = i == m_dragged || i == m_magnifierAt;
        painter.setBrush(active ? QColor(255, 120, 0) : QColor(255, 220, 0));
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawEllipse(outline[i], kHandleRadius - 3, kHandleRadius - 3);
    }
    if (m_magnifierAt >= 0)
        paintMagnifier(painter);
}

// A disc beside the pointer (flipped to stay inside the widget) showing the
// photograph around the corner enlarged, with the quadrilateral's edges and
// a cross on the corner.
void QuadEditor::paintMagnifier(QPainter &painter) const
{
    const double zoom = std::max(2.0, kMagnification * m_photo.scale(size())); // widget pixels per photo pixel
    const QPointF corner = m_quad[std::size_t(m_magnifierAt)];
    const double r = kMagnifierRadius;
    const double gap = 24.0 + r;
    QPointF centre = m_pointer + QPointF(-gap, -gap);
    if (centre.x() - r < 0)
        centre.setX(m_pointer.x() + gap);
    if (centre.y() - r < 0)
        centre.setY(m_pointer.y() + gap);

    painter.save();
    QPainterPath disc;
    disc.addEllipse(centre, r, r);
    painter.setClipPath(disc);
    painter.fillPath(disc, Qt::black);
    // Photo point p is drawn at centre + zoom (p - corner).
    painter.translate(centre);
    painter.scale(zoom, zoom);
    painter.translate(-corner);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRectF source(corner - QPointF(r / zoom + 1, r / zoom + 1), QSizeF(2 * r / zoom + 2, 2 * r / zoom + 2));
    const QRect pixels = source.toAlignedRect().intersected(m_photo.image().rect());
    painter.drawImage(QRectF(pixels), m_photo.image(), QRectF(pixels));
    QPolygonF outline;
    for (const QPointF &p : m_quad)
        outline << p;
    painter.setPen(QPen(QColor(255, 220, 0), 1.5 / zoom));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(outline);
    painter.restore();

    painter.setPen(QPen(QColor(255, 60, 0), 1.0));
    painter.drawLine(centre - QPointF(10, 0), centre + QPointF(10, 0));
    painter.drawLine(centre - QPointF(0, 10), centre + QPointF(0, 10));
    painter.setPen(QPen(Qt::white, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, r, r);
}

void QuadEditor::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pointer = event->localPos();
    m_dragged = cornerAt(m_pointer);
    m_magnifierAt = m_dragged;
    update();
}

void QuadEditor::moveDraggedCorner()
{
    // Corners stay on the photograph.
    const QPointF p = toPhoto(m_pointer);
    m_quad[std::size_t(m_dragged)] = QPointF(std::clamp(p.x(), 0.0, double(m_photo.image().width())),
                                             std::clamp(p.y(), 0.0, double(m_photo.image().height())));
    emit quadChanged();
}

void QuadEditor::mouseMoveEvent(QMouseEvent *event)
{
    m_pointer = event->localPos();
    if (m_dragged >= 0)
        moveDraggedCorner();
    else
        m_magnifierAt = cornerAt(m_pointer);
    update();
}

// The corner ends where the button is released, whatever moves came before.
void QuadEditor::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pointer = event->localPos();
    if (m_dragged >= 0)
        moveDraggedCorner();
    m_dragged = -1;
    m_magnifierAt = cornerAt(event->localPos());
    update();
}

void QuadEditor::leaveEvent(QEvent *)
{
    if (m_dragged < 0) {
        m_magnifierAt = -1;
        update();
    }
}
