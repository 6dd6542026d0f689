#include "WindowEditor.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kHandleRadius = 7.0; // widget pixels
constexpr int kMinSide = 4;           // image pixels of the smallest window

// The rectangle with corners a and b (image pixels, either order), the far
// edges exclusive.
QRect spanned(const QPoint &a, const QPoint &b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()) - 1, std::max(a.y(), b.y()) - 1));
}

// Corner k of r with exclusive far edges: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
QPoint cornerOf(const QRect &r, int k)
{
    const int right = r.x() + r.width();
    const int bottom = r.y() + r.height();
    switch (k) {
    case 0: return r.topLeft();
    case 1: return QPoint(right, r.y());
    case 2: return QPoint(right, bottom);
    default: return QPoint(r.x(), bottom);
    }
}

} // namespace

WindowEditor::WindowEditor(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 240);
}

void WindowEditor::setFacade(const QImage &rectified)
{
    m_facade.setImage(rectified);
    update();
}

void WindowEditor::setWindows(const std::vector<QRect> &windows)
{
    m_windows = windows;
    m_selected = -1;
    m_drag = Drag::None;
    update();
    emit windowsChanged();
    emit selectionChanged();
}

void WindowEditor::setSelected(int index)
{
    const int next = index >= 0 && index < int(m_windows.size()) ? index : -1;
    if (next == m_selected)
        return;
    m_selected = next;
    update();
    emit selectionChanged();
}

void WindowEditor::removeSelected()
{
    if (m_selected < 0)
        return;
    m_windows.erase(m_windows.begin() + m_selected);
    m_selected = -1;
    update();
    emit windowsChanged();
    emit selectionChanged();
}

void WindowEditor::startAdding()
{
    m_adding = true;
    setCursor(Qt::CrossCursor);
    setFocus();
}

QSize WindowEditor::sizeHint() const
{
    return QSize(900, 640);
}

QPointF WindowEditor::toWidget(const QPointF &image) const
{
    return m_facade.toWidget(size(), image);
}

QPointF WindowEditor::toImage(const QPointF &widget) const
{
    return m_facade.toImage(size(), widget);
}

QPoint WindowEditor::imagePixel(const QPointF &widget) const
{
    const QPointF p = toImage(widget);
    return QPoint(std::clamp(int(std::lround(p.x())), 0, m_facade.image().width()),
                  std::clamp(int(std::lround(p.y())), 0, m_facade.image().height()));
}

int WindowEditor::handleAt(const QPointF &widget) const
{
    if (m_selected < 0)
        return -1;
    for (int k = 0; k < 4; ++k) {
        const QPointF d = toWidget(cornerOf(m_windows[std::size_t(m_selected)], k)) - widget;
        if (std::hypot(d.x(), d.y()) <= kHandleRadius)
            return k;
    }
    return -1;
}

int WindowEditor::windowAt(const QPointF &widget) const
{
    const QPointF p = toImage(widget);
    for (int i = int(m_windows.size()) - 1; i >= 0; --i) {
        const QRect &r = m_windows[std::size_t(i)];
        if (p.x() >= r.x() && p.x() < r.x() + r.width() && p.y() >= r.y() && p.y() < r.y() + r.height())
            return i;
    }
    return -1;
}

void WindowEditor::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    if (m_facade.isNull())
        return;
    m_facade.paint(painter, size());

    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < m_windows.size(); ++i) {
        const QRect &r = m_windows[i];
        const QRectF shownRect(toWidget(r.topLeft()), toWidget(cornerOf(r, 2)));
        const bool chosen = int(i) == m_selected;
        painter.setPen(QPen(chosen ? QColor(255, 120, 0) : QColor(0, 200, 255), chosen ? 2.5 : 1.5));
        painter.setBrush(chosen ? QColor(255, 120, 0, 50) : QColor(0, 200, 255, 30));
        painter.drawRect(shownRect);
        if (!chosen)
            continue;
        painter.setBrush(QColor(255, 120, 0));
        painter.setPen(QPen(Qt::black, 1.0));
        for (int k = 0; k < 4; ++k)
            painter.drawEllipse(toWidget(cornerOf(r, k)), kHandleRadius - 2, kHandleRadius - 2);
    }
}

void WindowEditor::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_facade.isNull())
        return;
    setFocus();
    m_pressed = imagePixel(event->localPos());
    if (m_adding) {
        m_drag = Drag::Draw;
        m_windows.push_back(QRect(m_pressed, QSize(1, 1)));
        m_selected = int(m_windows.size()) - 1;
        emit selectionChanged();
        update();
        return;
    }
    m_handle = handleAt(event->localPos());
    if (m_handle >= 0) {
        m_drag = Drag::Resize;
        m_before = m_windows[std::size_t(m_selected)];
        return;
    }
    setSelected(windowAt(event->localPos()));
    if (m_selected >= 0) {
        m_drag = Drag::Move;
        m_before = m_windows[std::size_t(m_selected)];
    }
}

void WindowEditor::updateDrag(const QPoint &at)
{
    QRect &r = m_windows[std::size_t(m_selected)];
    const QRect image = m_facade.image().rect();
    switch (m_drag) {
    case Drag::Move: {
        const QPoint delta = at - m_pressed;
        const int x = std::clamp(m_before.x() + delta.x(), 0, image.width() - m_before.width());
        const int y = std::clamp(m_before.y() + delta.y(), 0, image.height() - m_before.height());
        r = QRect(QPoint(x, y), m_before.size());
        break;
    }
    case Drag::Resize: {
        // The opposite corner stays; the window keeps a usable size.
        const QPoint fixed = cornerOf(m_before, (m_handle + 2) % 4);
        QPoint moving = at;
        if (std::abs(moving.x() - fixed.x()) < kMinSide)
            moving.setX(fixed.x() + (moving.x() < fixed.x() ? -kMinSide : kMinSide));
        if (std::abs(moving.y() - fixed.y()) < kMinSide)
            moving.setY(fixed.y() + (moving.y() < fixed.y() ? -kMinSide : kMinSide));
        r = spanned(fixed, moving).intersected(image);
        break;
    }
    case Drag::Draw:
        r = spanned(m_pressed, at).intersected(image);
        break;
    case Drag::None:
        break;
    }
    update();
}

void WindowEditor::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drag == Drag::None || m_selected < 0) {
        const bool onHandle = handleAt(event->localPos()) >= 0;
        if (!m_adding)
            setCursor(onHandle ? Qt::SizeFDiagCursor : windowAt(event->localPos()) >= 0 ? Qt::SizeAllCursor
                                                                                        : Qt::ArrowCursor);
        return;
    }
    updateDrag(imagePixel(event->localPos()));
}

void WindowEditor::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_drag == Drag::None || m_selected < 0)
        return;
    updateDrag(imagePixel(event->localPos()));
    const Drag finished = m_drag;
    m_drag = Drag::None;
    if (finished == Drag::Draw) {
        m_adding = false;
        unsetCursor();
        const QRect &drawn = m_windows[std::size_t(m_selected)];
        // A click, or a box too small to be a window, adds nothing.
        if (drawn.width() < kMinSide || drawn.height() < kMinSide) {
            m_windows.pop_back();
            m_selected = -1;
            emit selectionChanged();
            update();
            return;
        }
    }
    if (m_windows[std::size_t(m_selected)] != m_before || finished == Drag::Draw)
        emit windowsChanged();
}

void WindowEditor::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) && m_selected >= 0) {
        removeSelected();
        return;
    }
    if (event->key() == Qt::Key_Escape && m_adding) {
        m_adding = false;
        unsetCursor();
        return;
    }
    QWidget::keyPressEvent(event);
}
