#pragma once

#include "Control.h"
#include "Picture.h"

// A flat push button that takes no focus: a caption and an optional glyph, a frame while the mouse
// is over it (flat) or always (not flat), drawn sunken while pressed or down.
class TSpeedButton : public TControl
{
    Q_OBJECT
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)

public:
    explicit TSpeedButton(QWidget* Parent = nullptr, const QString& Name = {});

    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    TPicture& Glyph() { return FGlyph; }
    bool MouseInControl() const { return FMouseInControl; }

protected:
    void Paint(QPainter& Painter) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    bool FFlat = false;
    bool FDown = false;
    bool FPressed = false;
    bool FMouseInControl = false;
    int FGroupIndex = 0;
    TPicture FGlyph;
};
