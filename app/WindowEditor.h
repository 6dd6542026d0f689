#ifndef TESSIVO_WINDOWEDITOR_H
#define TESSIVO_WINDOWEDITOR_H

#include "FittedImage.h"

#include <QImage>
#include <QRect>
#include <QWidget>

#include <vector>

// The rectified facade with its windows as rectangles the user edits: a
// click selects a window, dragging it moves it, dragging one of its corner
// handles resizes it, Delete removes it, and after startAdding() the next
// drag draws a new one. Rectangles are in rectified-image pixels and stay
// inside the image.
class WindowEditor : public QWidget
{
    Q_OBJECT

public:
    explicit WindowEditor(QWidget *parent = nullptr);

    void setFacade(const QImage &rectified);
    void setWindows(const std::vector<QRect> &windows);
    const std::vector<QRect> &windows() const { return m_windows; }

    // The selected window's index, or -1.
    int selected() const { return m_selected; }
    void setSelected(int index);
    void removeSelected();
    // The next drag on the facade draws a new window.
    void startAdding();
    bool adding() const { return m_adding; }

    QPointF toWidget(const QPointF &image) const;
    QPointF toImage(const QPointF &widget) const;

    QSize sizeHint() const override;

signals:
    void windowsChanged();
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Drag { None, Move, Resize, Draw };

    // A corner handle of the selected window under a widget position (0
    // top-left, 1 top-right, 2 bottom-right, 3 bottom-left), or -1.
    int handleAt(const QPointF &widget) const;
    // The topmost window under a widget position, or -1.
    int windowAt(const QPointF &widget) const;
    QPoint imagePixel(const QPointF &widget) const;
    void updateDrag(const QPoint &at);

    FittedImage m_facade;
    std::vector<QRect> m_windows;
    int m_selected = -1;
    bool m_adding = false;
    Drag m_drag = Drag::None;
    int m_handle = -1;      // the corner being dragged when resizing
    QPoint m_pressed;       // image pixel where the drag began
    QRect m_before;         // the window as it was when the drag began
};

#endif
