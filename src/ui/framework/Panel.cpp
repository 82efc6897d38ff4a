#include "Panel.h"

#include "Bevel.h"
#include "Colors.h"

#include <QPainter>

namespace {

// Draws one bevel ring inside Rect and shrinks Rect by its width.
void DrawBevel(QPainter& Painter, QRect& Rect, TPanel::TBevelCut Cut, int Width)
{
    if (Cut == TPanel::bvNone) {
        return;
    }
    if (Cut != TPanel::bvSpace) {
        const QColor Light = ColorToRGB(static_cast<qint32>(0x80000014u)); // button highlight
        const QColor Dark = ColorToRGB(static_cast<qint32>(0x80000010u));  // button shadow
        const QColor TopLeft = Cut == TPanel::bvRaised ? Light : Dark;
        const QColor BottomRight = Cut == TPanel::bvRaised ? Dark : Light;
        for (int I = 0; I < Width; ++I) {
            DrawBevelRing(Painter, Rect.adjusted(I, I, -I, -I), TopLeft, BottomRight);
        }
    }
    Rect.adjust(Width, Width, -Width, -Width);
}

} // namespace

TPanel::TPanel(QWidget* Parent, const QString& Name) : TControl(Parent, Name)
{
    resize(185, 41);
}

void TPanel::SetBevelOuter(TBevelCut Value)
{
    FBevelOuter = Value;
    update();
}

void TPanel::SetBevelInner(TBevelCut Value)
{
    FBevelInner = Value;
    update();
}

void TPanel::SetBevelWidth(int Value)
{
    FBevelWidth = std::max(1, Value);
    update();
}

void TPanel::Paint(QPainter& Painter)
{
    QRect Rect = rect();
    DrawBevel(Painter, Rect, FBevelOuter, FBevelWidth);
    DrawBevel(Painter, Rect, FBevelInner, FBevelWidth);
    if (!Caption().isEmpty()) {
        Painter.setFont(font());
        Painter.setPen(ColorToRGB(Font()->Color()));
        Painter.drawText(Rect, Qt::AlignCenter | Qt::TextShowMnemonic, Caption());
    }
}
