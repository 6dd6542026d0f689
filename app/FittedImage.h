#ifndef TESSIVO_FITTEDIMAGE_H
#define TESSIVO_FITTEDIMAGE_H

#include <QImage>
#include <QPointF>
#include <QSize>

class QPainter;

// An image shown as large as it fits, centred, in an area of a widget (the
// import wizard's editors): the mapping between image and widget positions,
// and the drawing, with the scaled copy made once per size rather than on
// every repaint.
class FittedImage
{
public:
    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }
    bool isNull() const { return m_image.isNull(); }

    // In an area of the given size at the widget's top-left corner (the
    // widget's size): widget pixels per image pixel (1 without an image),
    // and where the image's top-left corner is shown.
    double scale(const QSize &area) const;
    QPointF offset(const QSize &area) const;
    // Where an image point is shown, and which image point a widget position shows.
    QPointF toWidget(const QSize &area, const QPointF &image) const;
    QPointF toImage(const QSize &area, const QPointF &widget) const;

    // Draws the image where it is shown; nothing without an image.
    void paint(QPainter &painter, const QSize &area);

private:
    QImage m_image;
    QImage m_shown; // m_image at the size it is shown
};

#endif
