#include "QuadEditor.h"

#include "Rectification.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kHandleRadius = 9.0;  // widget pixels within which a corner is taken
constexpr int kMagnifierRadius = 70;   // widget pixels
constexpr double kMagnification = 4.0; // times the photograph's shown scale, at least 2 to 1
constexpr double kViewMargin = 0.1;    // shown around the photograph and the quadrilateral: this share of its size

} // namespace

QuadEditor::QuadEditor(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(320, 240);
}

void QuadEditor::setPhoto(const QImage &photo)
{
    m_photo = photo;
    m_shown = QImage();
    fitView();
    update();
}

void QuadEditor::setQuad(const FacadeImport::FacadeQuad &quad)
{
    m_quad = quad;
    fitView();
    update();
    emit quadChanged();
}

QSize QuadEditor::sizeHint() const
{
    return QSize(900, 640);
}

void QuadEditor::fitView()
{
    const QRectF photo(QPointF(0.0, 0.0), QSizeF(m_photo.size()));
    const double mx = kViewMargin * photo.width();
    const double my = kViewMargin * photo.height();
    QRectF view = photo.adjusted(-mx, -my, mx, my);
    for (const QPointF &p : m_quad)
        if (std::isfinite(p.x()) && std::isfinite(p.y()))
            view = view.united(QRectF(p.x() - mx, p.y() - my, 2.0 * mx, 2.0 * my));
    const double ox = FacadeImport::kMaxCornerOutside * photo.width();
    const double oy = FacadeImport::kMaxCornerOutside * photo.height();
    m_view = view.intersected(photo.adjusted(-ox, -oy, ox, oy));
}

double QuadEditor::scale() const
{
    if (m_photo.isNull() || m_view.isEmpty())
        return 1.0;
    return std::min(double(width()) / m_view.width(), double(height()) / m_view.height());
}

// Where the photograph's origin is shown: the view centred in the widget.
QPointF QuadEditor::offset() const
{
    const double s = scale();
    return QPointF(0.5 * (width() - s * m_view.width()), 0.5 * (height() - s * m_view.height())) - s * m_view.topLeft();
}

QPointF QuadEditor::toWidget(const QPointF &photo) const
{
    return offset() + scale() * photo;
}

QPointF QuadEditor::toPhoto(const QPointF &widget) const
{
    return (widget - offset()) / scale();
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
    // A big photograph is scaled once per size, not on every repaint.
    const QSize shown = (QSizeF(m_photo.size()) * scale()).toSize().expandedTo(QSize(1, 1));
    if (m_shown.size() != shown)
        m_shown = m_photo.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(QRectF(offset(), QSizeF(m_photo.size()) * scale()), m_shown);

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
    const double zoom = std::max(2.0, kMagnification * scale()); // widget pixels per photo pixel
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
    const QRect pixels = source.toAlignedRect().intersected(m_photo.rect());
    painter.drawImage(QRectF(pixels), m_photo, QRectF(pixels));
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
    // Corners stay within the shown part, which reaches no farther beyond
    // the photograph than a corner may lie.
    const QPointF p = toPhoto(m_pointer);
    m_quad[std::size_t(m_dragged)] = QPointF(std::clamp(p.x(), m_view.left(), m_view.right()),
                                             std::clamp(p.y(), m_view.top(), m_view.bottom()));
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
    if (m_dragged >= 0) {
        moveDraggedCorner();
        fitView();
    }
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
