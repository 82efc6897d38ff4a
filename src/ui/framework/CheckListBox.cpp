#include "CheckListBox.h"

#include "Colors.h"
#include "Keys.h"

#include <QPainter>

TCheckListBox::TCheckListBox(QWidget* Parent, const QString& Name) : TListBox(Parent, Name) {}

bool TCheckListBox::Checked(int Index) const
{
    return Index >= 0 && Index < FChecked.size() && FChecked[Index];
}

void TCheckListBox::SetChecked(int Index, bool Value)
{
    if (Index >= 0 && Index < FChecked.size() && FChecked[Index] != Value) {
        FChecked[Index] = Value;
        InnerWidget()->update();
    }
}

void TCheckListBox::ToggleClickCheck(int Index)
{
    if (Index < 0 || Index >= FChecked.size() || !Enabled()) {
        return;
    }
    SetChecked(Index, !FChecked[Index]);
    if (OnClickCheck) {
        OnClickCheck(this);
    }
}

void TCheckListBox::DrawItem(int Index, const QRect& Rect, TOwnerDrawState State)
{
    QPainter& Painter = *Canvas();
    const QRect Column(Rect.left(), Rect.top(), CheckWidth, Rect.height());
    Painter.fillRect(Column, ColorToRGB(Color()));
    // A flat 13-pixel box: white inside a grey frame, a tick when checked.
    const QRect Box(Column.left() + 1, Column.top() + (Column.height() - 13) / 2, 13, 13);
    Painter.save();
    Painter.fillRect(Box, ColorToRGB(Enabled() ? clWindow : clBtnFace));
    Painter.setPen(ColorToRGB(static_cast<qint32>(0x80000010u))); // button shadow
    Painter.setBrush(Qt::NoBrush);
    Painter.drawRect(Box.adjusted(0, 0, -1, -1));
    if (Checked(Index)) {
        Painter.setPen(QPen(ColorToRGB(Enabled() ? clWindowText : clGrayText), 2));
        const QPoint O = Box.topLeft();
        Painter.drawPolyline(QList<QPoint>{O + QPoint(3, 6), O + QPoint(5, 9), O + QPoint(10, 3)});
    }
    Painter.restore();
    TListBox::DrawItem(Index, Rect.adjusted(CheckWidth, 0, 0, 0), State);
}

void TCheckListBox::ItemInserted(int Index)
{
    FChecked.insert(Index, false);
}

void TCheckListBox::ItemDeleted(int Index)
{
    FChecked.removeAt(Index);
}

void TCheckListBox::ItemsCleared()
{
    FChecked.clear();
}

void TCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TListBox::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && X >= 0 && X < CheckWidth) {
        ToggleClickCheck(ItemAtPos(QPoint(X, Y), true));
    }
}

void TCheckListBox::KeyDown(quint16& Key, TShiftState Shift)
{
    TListBox::KeyDown(Key, Shift);
    if (Key == VK_SPACE && ItemIndex() >= 0) {
        Key = 0;
        ToggleClickCheck(ItemIndex());
    }
}
