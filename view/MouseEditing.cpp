// Mouse editing in the facade view: hover, selection, shutter sliders, blind
// drag, window move and the row/column alignment on release.
#include "FacadeGLWidget.h"

#include "FacadeViewMath.h"
#include "QWindowData2D.h"

#include <QMouseEvent>

int FacadeGLWidget::windowAt(int px, int py) const
{
    const auto *windows = windowData ? windowData->currentGroup() : nullptr;
    if (!windows)
        return -1;
    const int count = windowData->windowCount();
    for (int i = 0; i < count; ++i) {
        if (FacadeViewMath::inHitArea((*windows)[std::size_t(i)], px, py))
            return i;
    }
    return -1;
}

// The pointer in rectified pixels: the widget position itself, or in the
// original view the position mapped back from the photograph and rounded.
QPoint FacadeGLWidget::pointerPosition(const QPoint &widgetPos) const
{
    if (!showInOriginalView)
        return widgetPos;
    const QPointF q = windowData->originalToRectified(widgetPos);
    return QPoint(FacadeViewMath::roundToPixel(q.x()), FacadeViewMath::roundToPixel(q.y()));
}

// Tells whether the shutter sliders apply to the new selection (a window of a
// shutter test case) and, when they do, the values for its two leaves. Both
// values are taken before anyone reacts: a listener that sets its sliders may
// write the rounded angles back to the model.
void FacadeGLWidget::announceShutterSelection()
{
    if (!windowData->isShutterCase() || selectedWindow == -1) {
        emit shutterSelectionChanged(false, 0, 0);
        return;
    }
    const FacadeWindow &s = (*windowData->currentGroup())[std::size_t(selectedWindow)];
    emit shutterSelectionChanged(true, FacadeViewMath::sliderValueFromAngle(s.leftAngle),
                                 FacadeViewMath::sliderValueFromAngle(s.rightAngle));
}

void FacadeGLWidget::endMouseEdit()
{
    if (!m_mouseEditOpen)
        return;
    m_mouseEditOpen = false;
    emit mouseEditFinished();
}

void FacadeGLWidget::mousePressEvent(QMouseEvent *event)
{
    if (!windowData || event->button() != Qt::LeftButton)
        return;
    endMouseEdit();
    m_mouseEditOpen = true;
    emit mouseEditStarted();
    selectedWindow = windowData->isWindowIndex(hoveredWindow) ? hoveredWindow : -1;
    lastMousePos = event->pos();
    announceShutterSelection();
    updateGL();
}

void FacadeGLWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!windowData)
        return;
    const QPoint pointer = pointerPosition(event->pos());
    const bool leftHeld = event->buttons() & Qt::LeftButton;

    if (windowData->isWindowIndex(selectedWindow)) {
        if (!leftHeld)
            armEdit((*windowData->currentGroup())[std::size_t(selectedWindow)], pointer);
        if (windowData->isBlindCase() && leftHeld) {
            if (draggingBlind)
                dragBlind(pointer);
            else if (movingWindow)
                moveSelectedWindow(event->pos());
        }
    }

    const int hovered = windowAt(pointer.x(), pointer.y());
    if (hovered != hoveredWindow) {
        hoveredWindow = hovered;
        updateGL();
    }
}

// Arms a blind drag on the selected window's blind band and a window move on the
// rest of its hit area (blind test cases only); elsewhere disarms both. A
// shutter test case edits nothing with the mouse, so it shows the arrow even
// where a blind case left an edit shape.
void FacadeGLWidget::armEdit(const FacadeWindow &selected, const QPoint &pointer)
{
    const bool blind = windowData->isBlindCase();
    if (FacadeViewMath::onBlindBand(selected, pointer.x(), pointer.y())) {
        if (blind) {
            setCursor(Qt::SizeVerCursor);
            draggingBlind = true;
            movingWindow = false;
        } else {
            setCursor(Qt::ArrowCursor);
        }
    } else if (FacadeViewMath::inHitArea(selected, pointer.x(), pointer.y())) {
        if (blind) {
            setCursor(Qt::SizeAllCursor);
            movingWindow = true;
            draggingBlind = false;
        } else {
            setCursor(Qt::ArrowCursor);
        }
    } else {
        setCursor(Qt::ArrowCursor);
        draggingBlind = false;
        movingWindow = false;
    }
}

// Puts the selected window's blind edge at the pointer when it lies strictly
// inside the window, and shows the matching blind image; with dragAllBlinds
// every blind takes the same fraction of its own window's height.
void FacadeGLWidget::dragBlind(const QPoint &pointer)
{
    auto &windows = *windowData->currentGroup();
    FacadeWindow &s = windows[std::size_t(selectedWindow)];
    const long long d = static_cast<long long>(pointer.y()) - s.y;
    if (!(0 < d && d < s.height))
        return;

    s.blindExtent = int(d);
    const double ratio = double(d) / s.height;
    const int level = QWindowData2D::blindLevel(ratio);
    if (!dragAllBlinds) {
        showBlindLevel(selectedWindow, level);
    } else {
        for (std::size_t i = 0; i < windows.size(); ++i) {
            windows[i].blindExtent = FacadeViewMath::roundToPixel(windows[i].height * ratio);
            showBlindLevel(int(i), level);
        }
    }
    updateGL();
}

// Shows blind level `level` of the window's source images (the key as the
// model's showWindowImage gives it). A window whose source has no blind
// images (a grid file can name any source) keeps its image.
void FacadeGLWidget::showBlindLevel(int index, int level)
{
    QWindowData2D &model = *windowData;
    const int source = (*model.currentGroup())[std::size_t(index)].sourceIndex;
    const int blindCount = int(model.blindImages.size());
    if (std::size_t(index) >= model.currentImages.size() || std::size_t(index) >= model.imageKeys.size())
        return;
    if (source < 0 || source >= blindCount || std::size_t(level) >= model.blindImages[source].size())
        return;
    QImage *image = model.blindImages[source][level].get();
    if (!image)
        return;
    model.currentImages[index] = image;
    model.imageKeys[index] = (level + 1) * blindCount + source;
}

// Moves the selected window by the pointer's movement in widget pixels.
void FacadeGLWidget::moveSelectedWindow(const QPoint &widgetPos)
{
    FacadeWindow &s = (*windowData->currentGroup())[std::size_t(selectedWindow)];
    const QPoint delta = widgetPos - lastMousePos;
    lastMousePos = widgetPos;
    s.x = clampedSum(s.x, delta.x());
    s.y = clampedSum(s.y, delta.y());
    updateGL();
}

// A window move is armed only in a blind test case; the flag may outlive a
// load of a shutter case (a load keeps the selection), which must not align it.
void FacadeGLWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (windowData && windowData->isBlindCase() && windowData->isWindowIndex(selectedWindow) && movingWindow) {
        alignRowAndColumn();
        updateGL();
    }
    if (event->button() == Qt::LeftButton)
        endMouseEdit();
}

// Pulls the moved window's column to its left edge and its row to its top edge,
// addressing windows as row * cols + col with the model's counts. Counts that
// disagree with group 0 (after a grid-file load) never reach outside it.
void FacadeGLWidget::alignRowAndColumn()
{
    auto &windows = *windowData->currentGroup();
    const FacadeWindow s = windows[std::size_t(selectedWindow)];
    const long long rows = windowData->rows;
    const long long cols = windowData->cols;
    const long long count = static_cast<long long>(windows.size());
    if (cols <= 0 || s.col < 0 || s.col >= cols || s.row < 0)
        return;

    for (long long i = 0; i < rows; ++i) {
        const long long index = i * cols + s.col;
        if (index >= count)
            break;
        if (i != s.row)
            windows[index].x = s.x;
    }
    for (long long j = 0; j < cols; ++j) {
        const long long index = static_cast<long long>(s.row) * cols + j;
        if (index >= count)
            break;
        if (j != s.col)
            windows[index].y = s.y;
    }
}
