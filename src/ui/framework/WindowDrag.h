#pragma once

#include "Control.h"

#include <QPoint>

// Moving a captionless window by one of its pictures: the left button pressed on the handle starts a
// drag, every move while dragging shifts the window by the mouse's offset from where the drag began,
// and releasing (or pressing another button) ends it. Coordinates are the handle's own.
class TWindowDrag
{
public:
    void MouseDown(TControl::TMouseButton Button, int X, int Y)
    {
        FDragging = Button == TControl::mbLeft;
        if (FDragging) {
            FStart = QPoint(X, Y);
        }
    }
    void MouseMove(QWidget* Window, int X, int Y) const
    {
        if (FDragging && Window) {
            Window->move(Window->x() + X - FStart.x(), Window->y() + Y - FStart.y());
        }
    }
    void MouseUp() { FDragging = false; }
    bool Dragging() const { return FDragging; }

    // Connects Handle's mouse events so that it drags Window.
    void Attach(TControl* Handle, QWidget* Window)
    {
        Handle->OnMouseDown = [this](QObject*, TControl::TMouseButton Button, TControl::TShiftState, int X,
                                     int Y) { MouseDown(Button, X, Y); };
        Handle->OnMouseMove = [this, Window](QObject*, TControl::TShiftState, int X, int Y) {
            MouseMove(Window, X, Y);
        };
        Handle->OnMouseUp = [this](QObject*, TControl::TMouseButton, TControl::TShiftState, int, int) {
            MouseUp();
        };
    }

private:
    bool FDragging = false;
    QPoint FStart;
};
