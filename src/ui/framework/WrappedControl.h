#pragma once

#include "Control.h"

#include <QPointer>

// A control made around a Qt widget (an edit field, a scroll bar, a list's item area): the widget
// fills the control's client area, and everything the control publishes stays the control's. Its
// colour and font reach the widget through the palette and font the widget inherits; keys and mouse
// actions on the widget reach the control's KeyDown/MouseDown/... and so its events, keys after the
// window's key preview.
class TWrappedControl : public TControl
{
    Q_OBJECT
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)

public:
    QWidget* InnerWidget() const { return FInner; }

    // A control that is no tab stop still takes the focus when clicked or asked to.
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetColor(int Value) override;

protected:
    explicit TWrappedControl(QWidget* Parent = nullptr, const QString& Name = {});

    // Makes Widget (a new child of this control) the inner widget: it fills InnerRect, takes the
    // focus for the control, and its key and mouse events are passed on.
    void SetInnerWidget(QWidget* Widget);
    // Passes another widget's key and mouse events on (the viewport of a scroll area, the line edit
    // of a combo box); positions are given relative to the inner widget. Widget must lie inside the
    // inner widget.
    void WatchWidget(QWidget* Widget);
    // Whether Widget's keys reach KeyDown (they do for every watched widget unless turned off). A
    // widget that only receives keys its focused child left, such as a combo box around its edit
    // field, is turned off so that no key arrives twice.
    void SetPassesKeys(QWidget* Widget, bool Value);
    // Where the inner widget lies; the whole control unless a subclass keeps a border.
    virtual QRect InnerRect() const { return rect(); }
    // Places the inner widget (and whatever else a subclass keeps beside it) after a change of size.
    virtual void UpdateInnerGeometry();
    // Sets the palette the inner widgets inherit from the control's colour and font colour.
    void ApplyColors();

    void FontChanged() override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    // Mouse events reach the control only when the inner widget passed them up; they were passed on
    // already.
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    // Keys reach the control only when the inner widget left them; KeyDown saw them already. They go
    // no further, as keys of a focused control do not reach its parents.
    void keyPressEvent(QKeyEvent* Event) override;

private:
    QPointer<QWidget> FInner;
    bool FTabStop = true;
    qint32 FAppliedColor = 0;
    qint32 FAppliedFontColor = 0;
    bool FColorsApplied = false;
};
