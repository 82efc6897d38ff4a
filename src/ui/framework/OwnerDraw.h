#pragma once

#include <QFlags>
#include <QRect>
#include <QString>

#include <functional>

class QPainter;
class TControl;

// What an owner-drawn item is to show: selected, focused, disabled, or the edit field of a combo box.
enum TOwnerDrawStateFlag
{
    odSelected = 0x0001,
    odGrayed = 0x0002,
    odDisabled = 0x0004,
    odChecked = 0x0008,
    odFocused = 0x0010,
    odDefault = 0x0020,
    odHotLight = 0x0040,
    odInactive = 0x0080,
    odNoAccel = 0x0100,
    odNoFocusRect = 0x0200,
    odReserved1 = 0x0400,
    odReserved2 = 0x0800,
    odComboBoxEdit = 0x1000
};
Q_DECLARE_FLAGS(TOwnerDrawState, TOwnerDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOwnerDrawState)

// Draws item Index into Rect on the control's Canvas(), which is prepared as PrepareItemCanvas does.
using TDrawItemEvent =
    std::function<void(TControl* Control, int Index, const QRect& Rect, TOwnerDrawState State)>;
// Sets the height of item Index; Height arrives holding the control's item height.
using TMeasureItemEvent = std::function<void(TControl* Control, int Index, int& Height)>;

// Prepares a painter for drawing one item of Control: the control's font, the brush in the highlight
// colour for a selected item and in the control's colour otherwise, the pen in the matching text
// colour (highlight text, the font's colour, or grey text when disabled).
void PrepareItemCanvas(QPainter& Painter, const TControl& Control, TOwnerDrawState State);
// The drawing of an item that nobody draws: Rect filled with the brush, Text on one line, 2 pixels
// from the left edge, centred vertically.
void DrawItemText(QPainter& Painter, const QRect& Rect, const QString& Text);
