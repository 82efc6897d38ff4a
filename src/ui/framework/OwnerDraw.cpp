#include "OwnerDraw.h"

#include "Colors.h"
#include "Control.h"

#include <QPainter>

void PrepareItemCanvas(QPainter& Painter, const TControl& Control, TOwnerDrawState State)
{
    Painter.setFont(Control.font());
    const bool Selected = State.testFlag(odSelected);
    Painter.setBrush(ColorToRGB(Selected ? clHighlight : Control.Color()));
    QColor Text = ColorToRGB(Selected ? clHighlightText : Control.Font()->Color());
    if (State.testFlag(odDisabled) && !Selected) {
        Text = ColorToRGB(clGrayText);
    }
    Painter.setPen(Text);
}

void DrawItemText(QPainter& Painter, const QRect& Rect, const QString& Text)
{
    Painter.fillRect(Rect, Painter.brush());
    Painter.drawText(Rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Text);
}
