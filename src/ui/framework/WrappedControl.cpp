#include "WrappedControl.h"

#include "Colors.h"

#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QVariant>

TWrappedControl::TWrappedControl(QWidget* Parent, const QString& Name) : TControl(Parent, Name)
{
    SetColor(clWindow);
}

void TWrappedControl::SetInnerWidget(QWidget* Widget)
{
    FInner = Widget;
    Widget->setParent(this);
    setFocusProxy(Widget);
    Widget->setFocusPolicy(FTabStop ? Qt::StrongFocus : Qt::ClickFocus);
    WatchWidget(Widget);
    if (auto* Area = qobject_cast<QAbstractScrollArea*>(Widget)) {
        WatchWidget(Area->viewport());
    }
    ApplyColors();
    UpdateInnerGeometry();
}

void TWrappedControl::WatchWidget(QWidget* Widget)
{
    Widget->installEventFilter(this);
    Widget->setMouseTracking(true);
}

namespace {

constexpr char NoKeysProperty[] = "autorunPassesNoKeys";

} // namespace

void TWrappedControl::SetPassesKeys(QWidget* Widget, bool Value)
{
    Widget->setProperty(NoKeysProperty, Value ? QVariant() : QVariant(true));
}

void TWrappedControl::SetTabStop(bool Value)
{
    FTabStop = Value;
    if (FInner) {
        FInner->setFocusPolicy(Value ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void TWrappedControl::UpdateInnerGeometry()
{
    if (FInner) {
        FInner->setGeometry(InnerRect());
    }
}

void TWrappedControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    UpdateInnerGeometry();
}

void TWrappedControl::resizeEvent(QResizeEvent* Event)
{
    TControl::resizeEvent(Event);
    UpdateInnerGeometry();
}

void TWrappedControl::SetColor(int Value)
{
    TControl::SetColor(Value);
    ApplyColors();
}

void TWrappedControl::FontChanged()
{
    TControl::FontChanged();
    ApplyColors();
}

void TWrappedControl::ApplyColors()
{
    FAppliedColor = Color();
    FAppliedFontColor = Font()->Color();
    FColorsApplied = true;
    const QColor Back = ColorToRGB(FAppliedColor);
    const QColor Text = ColorToRGB(FAppliedFontColor);
    QPalette Palette = palette();
    for (const QPalette::ColorRole Role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        Palette.setColor(Role, Back);
    }
    for (const QPalette::ColorRole Role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        Palette.setColor(Role, Text);
    }
    Palette.setColor(QPalette::Disabled, QPalette::Text, ColorToRGB(clGrayText));
    Palette.setColor(QPalette::Disabled, QPalette::WindowText, ColorToRGB(clGrayText));
    Palette.setColor(QPalette::Disabled, QPalette::ButtonText, ColorToRGB(clGrayText));
    Palette.setColor(QPalette::Highlight, ColorToRGB(clHighlight));
    Palette.setColor(QPalette::HighlightedText, ColorToRGB(clHighlightText));
    setPalette(Palette);
}

bool TWrappedControl::eventFilter(QObject* Watched, QEvent* Event)
{
    auto* Widget = qobject_cast<QWidget*>(Watched);
    if (!Widget || !FInner) {
        return TControl::eventFilter(Watched, Event);
    }
    switch (Event->type()) {
    case QEvent::Paint:
        // The parent's colour may have changed under ParentColor; the palette catches up before
        // the widget paints.
        if (!FColorsApplied || Color() != FAppliedColor || Font()->Color() != FAppliedFontColor) {
            ApplyColors();
        }
        break;
    case QEvent::KeyPress: {
        if (Widget->property(NoKeysProperty).toBool()) {
            break;
        }
        if (DispatchKeyDown(*static_cast<QKeyEvent*>(Event))) {
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto* MouseEvent = static_cast<QMouseEvent*>(Event);
        const QPoint P = Widget->mapTo(FInner, MouseEvent->position().toPoint());
        const TShiftState Shift = ShiftStateOf(MouseEvent->modifiers(), MouseEvent->buttons());
        const TMouseButton Button = MouseButtonOf(MouseEvent->button());
        if (Event->type() == QEvent::MouseButtonPress) {
            MouseDown(Button, Shift, P.x(), P.y());
        } else if (Event->type() == QEvent::MouseButtonRelease) {
            MouseUp(Button, Shift, P.x(), P.y());
        } else if (Event->type() == QEvent::MouseButtonDblClick) {
            if (MouseEvent->button() == Qt::LeftButton) {
                DblClick();
            }
            MouseDown(Button, Shift | ssDouble, P.x(), P.y());
        } else {
            MouseMove(Shift, P.x(), P.y());
        }
        break;
    }
    default:
        break;
    }
    return TControl::eventFilter(Watched, Event);
}

void TWrappedControl::mousePressEvent(QMouseEvent* Event)
{
    Event->accept();
}

void TWrappedControl::mouseReleaseEvent(QMouseEvent* Event)
{
    Event->accept();
}

void TWrappedControl::mouseDoubleClickEvent(QMouseEvent* Event)
{
    Event->accept();
}

void TWrappedControl::mouseMoveEvent(QMouseEvent* Event)
{
    Event->accept();
}

void TWrappedControl::keyPressEvent(QKeyEvent* Event)
{
    Event->accept();
}
