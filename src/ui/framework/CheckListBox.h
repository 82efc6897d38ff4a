#pragma once

#include "ListBox.h"

// A list box with a check box in front of every item. The check box column is the control's own;
// owner drawing gets the item rectangle to the right of it. A click on a check box, or Space on the
// selected item, toggles it and fires OnClickCheck; setting Checked in code fires nothing.
class TCheckListBox : public TListBox
{
    Q_OBJECT

public:
    // Width of the check box column.
    static constexpr int CheckWidth = 15;

    explicit TCheckListBox(QWidget* Parent = nullptr, const QString& Name = {});

    // False outside the list.
    bool Checked(int Index) const;
    void SetChecked(int Index, bool Value);
    // Toggles item Index as a click on its check box does, OnClickCheck included.
    void ToggleClickCheck(int Index);

    TNotifyEvent OnClickCheck;

protected:
    void DrawItem(int Index, const QRect& Rect, TOwnerDrawState State) override;
    void ItemInserted(int Index) override;
    void ItemDeleted(int Index) override;
    void ItemsCleared() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(quint16& Key, TShiftState Shift) override;

private:
    QList<bool> FChecked;
};
