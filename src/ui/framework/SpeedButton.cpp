#include "SpeedButton.h"

#include "Bevel.h"
#include "Colors.h"

#include <QPainter>

TSpeedButton::TSpeedButton(QWidget* Parent, const QString& Name) : TControl(Parent, Name)
{
    resize(23, 22);
    setFocusPolicy(Qt::NoFocus);
    FGlyph.OnChange = [this] { update(); };
}

void TSpeedButton::SetFlat(bool Value)
{
    FFlat = Value;
    update();
}

void TSpeedButton::SetDown(bool Value)
{
    FDown = Value;
    update();
}

void TSpeedButton::Paint(QPainter& Painter)
{
    const bool Sunken = FDown || FPressed;
    const bool Framed = !FFlat || FMouseInControl || Sunken;
    if (Framed) {
        const QColor Light = ColorToRGB(static_cast<qint32>(0x80000014u));
        const QColor Dark = ColorToRGB(static_cast<qint32>(0x80000010u));
        DrawBevelRing(Painter, rect().adjusted(0, 0, -1, -1), Sunken ? Dark : Light, Sunken ? Light : Dark);
    }
    const int Shift = Sunken ? 1 : 0;
    QRect Text = rect().translated(Shift, Shift);
    if (FGlyph.HasGraphic()) {
        const int GW = FGlyph.Width();
        const int GH = FGlyph.Height();
        const int TextWidth =
            Caption().isEmpty() ? 0 : Painter.fontMetrics().horizontalAdvance(Caption()) + 4;
        const int X = (Width() - GW - TextWidth) / 2 + Shift;
        FGlyph.Draw(Painter, QRectF(X, (Height() - GH) / 2 + Shift, GW, GH), true);
        Text.setLeft(X + GW + 4);
    }
    if (!Caption().isEmpty()) {
        Painter.setFont(font());
        Painter.setPen(Enabled() ? ColorToRGB(Font()->Color()) : ColorToRGB(clGrayText));
        const int Flags = Qt::AlignVCenter | Qt::TextShowMnemonic |
                          (FGlyph.HasGraphic() ? Qt::AlignLeft : Qt::AlignHCenter);
        Painter.drawText(Text, Flags, Caption());
    }
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        FPressed = true;
        update();
    }
    TControl::MouseDown(Button, Shift, X, Y);
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        FPressed = false;
        update();
    }
    TControl::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::MouseEnter()
{
    FMouseInControl = true;
    update();
    TControl::MouseEnter();
}

void TSpeedButton::MouseLeave()
{
    FMouseInControl = false;
    update();
    TControl::MouseLeave();
}
