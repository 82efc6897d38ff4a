#include "Bevel.h"

#include <QPainter>

void DrawBevelRing(QPainter& Painter, const QRect& R, const QColor& TopLeft, const QColor& BottomRight)
{
    Painter.setPen(TopLeft);
    Painter.drawLine(R.topLeft(), R.topRight());
    Painter.drawLine(R.topLeft(), R.bottomLeft());
    Painter.setPen(BottomRight);
    Painter.drawLine(R.bottomLeft(), R.bottomRight());
    Painter.drawLine(R.topRight(), R.bottomRight());
}
