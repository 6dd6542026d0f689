#ifndef TESSIVO_QUADEDITOR_H
#define TESSIVO_QUADEDITOR_H

#include "FacadeCamera.h"
#include "FittedImage.h"

#include <QImage>
#include <QWidget>

// A photograph with a quadrilateral over it whose four corners the user
// drags into place (the facade's corners, for the import wizard). While a
// corner is dragged, or the pointer rests on one, a magnifier beside the
// pointer shows the photograph around it enlarged, so that a corner can be
// put on the right pixel of a photograph shown much smaller than it is.
class QuadEditor : public QWidget
{
    Q_OBJECT

public:
    explicit QuadEditor(QWidget *parent = nullptr);

    void setPhoto(const QImage &photo);
    void setQuad(const FacadeImport::FacadeQuad &quad);
    const FacadeImport::FacadeQuad &quad() const { return m_quad; }

    // Where a photograph point is shown, and which point a widget position shows.
    QPointF toWidget(const QPointF &photo) const;
    QPointF toPhoto(const QPointF &widget) const;

    // The corner being dragged (0 to 3), or -1.
    int draggedCorner() const { return m_dragged; }
    bool magnifierShown() const { return m_magnifierAt >= 0; }

    QSize sizeHint() const override;

signals:
    void quadChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // The corner whose handle is under a widget position, or -1.
    int cornerAt(const QPointF &widget) const;
    void moveDraggedCorner();
    void paintMagnifier(QPainter &painter) const;

    FittedImage m_photo;
    FacadeImport::FacadeQuad m_quad{};
    int m_dragged = -1;
    int m_magnifierAt = -1; // corner the magnifier shows, or -1
    QPointF m_pointer;      // widget position of the pointer
};

#endif
