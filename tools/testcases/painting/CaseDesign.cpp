#include "CaseDesign.h"

namespace TestCases {

QRect FacadeLayout::bounds() const
{
    return QRect(sideMargin, topHeight, cols * winW + (cols + 1) * gapX(), rows * winH + (rows + 1) * gapY());
}

QRect FacadeLayout::window(int col, int row) const
{
    const QRect b = bounds();
    return QRect(b.x() + gapX() + col * stepX, b.y() + gapY() + row * stepY, winW, winH);
}

} // namespace TestCases
