#pragma once

#include <QColor>
#include <QRect>

class QPainter;

// One ring of a 3D border along the edges of R (inclusive): TopLeft along the top and left edges,
// BottomRight along the others. Raised borders pass a light and a dark colour, sunken ones the reverse.
void DrawBevelRing(QPainter& Painter, const QRect& R, const QColor& TopLeft, const QColor& BottomRight);
