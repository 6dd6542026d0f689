#include "FittedImage.h"

#include <QPainter>

#include <algorithm>

void FittedImage::setImage(const QImage &image)
{
    m_image = image;
    m_shown = QImage();
}

double FittedImage::scale(const QSize &area) const
{
    if (m_image.isNull())
        return 1.0;
    return std::min(double(area.width()) / m_image.width(), double(area.height()) / m_image.height());
}

QPointF FittedImage::offset(const QSize &area) const
{
    const double s = scale(area);
    return QPointF(0.5 * (area.width() - s * m_image.width()), 0.5 * (area.height() - s * m_image.height()));
}

QPointF FittedImage::toWidget(const QSize &area, const QPointF &image) const
{
    return offset(area) + scale(area) * image;
}

QPointF FittedImage::toImage(const QSize &area, const QPointF &widget) const
{
    return (widget - offset(area)) / scale(area);
}

void FittedImage::paint(QPainter &painter, const QSize &area)
{
    if (m_image.isNull())
        return;
    const double s = scale(area);
    const QSize shown = (QSizeF(m_image.size()) * s).toSize().expandedTo(QSize(1, 1));
    if (m_shown.size() != shown)
        m_shown = m_image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(QRectF(offset(area), QSizeF(m_image.size()) * s), m_shown);
}
