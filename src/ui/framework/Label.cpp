#include "Label.h"

#include "Colors.h"

#include <QFontMetrics>
#include <QPainter>

TLabel::TLabel(QWidget* Parent, const QString& Name) : TControl(Parent, Name)
{
    SetParentColor(true);
    resize(65, 13);
    SetAutoSize(true);
}

void TLabel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    update();
}

void TLabel::SetLayout(TTextLayout Value)
{
    FLayout = Value;
    update();
}

void TLabel::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    AdjustAutoSize();
    update();
}

void TLabel::SetShowAccelChar(bool Value)
{
    FShowAccelChar = Value;
    AdjustAutoSize();
    update();
}

int TLabel::TextFlags() const
{
    int Flags = 0;
    switch (FAlignment) {
    case taRightJustify:
        Flags |= Qt::AlignRight;
        break;
    case taCenter:
        Flags |= Qt::AlignHCenter;
        break;
    default:
        Flags |= Qt::AlignLeft;
        break;
    }
    switch (FLayout) {
    case tlCenter:
        Flags |= Qt::AlignVCenter;
        break;
    case tlBottom:
        Flags |= Qt::AlignBottom;
        break;
    default:
        Flags |= Qt::AlignTop;
        break;
    }
    if (FWordWrap) {
        Flags |= Qt::TextWordWrap;
    }
    Flags |= FShowAccelChar ? Qt::TextShowMnemonic : 0;
    return Flags;
}

void TLabel::Paint(QPainter& Painter)
{
    Painter.setFont(font());
    Painter.setPen(Enabled() ? ColorToRGB(Font()->Color()) : ColorToRGB(clGrayText));
    Painter.drawText(rect(), TextFlags(), Caption());
}

QSize TLabel::AutoSizeExtent() const
{
    const QFontMetrics Metrics(font());
    if (FWordWrap) {
        const QRect Bounds =
            Metrics.boundingRect(QRect(0, 0, std::max(1, Width()), 100000), TextFlags(), Caption());
        return {Width(), Bounds.height()};
    }
    const QRect Bounds = Metrics.boundingRect(QRect(0, 0, 100000, 100000), TextFlags(), Caption());
    return {Bounds.width(), std::max(Bounds.height(), Metrics.height())};
}
