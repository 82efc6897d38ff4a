#include "Control.h"

#include "Colors.h"
#include "CursorSlots.h"
#include "Keys.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QToolTip>

#include <algorithm>

int TSizeConstraints::ClampWidth(int Value) const
{
    if (FMaxWidth > 0) {
        Value = std::min(Value, FMaxWidth);
    }
    return std::max(Value, FMinWidth);
}

int TSizeConstraints::ClampHeight(int Value) const
{
    if (FMaxHeight > 0) {
        Value = std::min(Value, FMaxHeight);
    }
    return std::max(Value, FMinHeight);
}

void TSizeConstraints::Set(int& Field, int Value)
{
    if (Field != Value) {
        Field = std::max(0, Value);
        if (OnChange) {
            OnChange();
        }
    }
}

TControl::TMouseButton MouseButtonOf(Qt::MouseButton Button)
{
    switch (Button) {
    case Qt::RightButton:
        return TControl::mbRight;
    case Qt::MiddleButton:
        return TControl::mbMiddle;
    default:
        return TControl::mbLeft;
    }
}

TControl::TControl(QWidget* Parent, const QString& Name) : QWidget(Parent)
{
    setObjectName(Name);
    setMouseTracking(true);
    FFont = new TFont(this);
    FConstraints = new TSizeConstraints(this);
    FConstraints->OnChange = [this] { SetBounds(Left(), Top(), Width(), Height()); };
    if (const TControl* Owner = ParentControl()) {
        FFont->Assign(*Owner->Font());
    }
    FFont->OnChange = [this] {
        if (!FCopyingFont) {
            FParentFont = false;
        }
        FontChanged();
    };
    QWidget::setFont(FFont->ToQFont());
}

TControl::~TControl()
{
    // The font's handler refers to this control; the font goes with the QObject children later.
    FFont->OnChange = nullptr;
    FConstraints->OnChange = nullptr;
}

TControl* TControl::ParentControl() const
{
    return qobject_cast<TControl*>(parentWidget());
}

int TControl::Left() const
{
    return x();
}

int TControl::Top() const
{
    return y();
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(0, FConstraints->ClampWidth(AWidth));
    AHeight = std::max(0, FConstraints->ClampHeight(AHeight));
    const QSize Old = size();
    if (isWindow()) {
        move(ALeft, ATop);
        resize(AWidth, AHeight);
    } else {
        setGeometry(ALeft, ATop, AWidth, AHeight);
    }
    // A hidden widget gets its resize event only when shown; its children are laid out now.
    if (size() != FLayoutSize) {
        SizeChanged(Old);
    }
}

void TControl::SizeChanged(QSize OldSize)
{
    FLayoutSize = size();
    ApplyAnchors(OldSize);
    AlignControls();
    if (OnResize) {
        OnResize(this);
    }
}

void TControl::SetVisible(bool Value)
{
    setVisible(Value);
}

void TControl::SetEnabled(bool Value)
{
    if (FEnabled == Value) {
        return;
    }
    FEnabled = Value;
    setEnabled(Value);
    EnabledChanged();
}

void TControl::SetCaption(const QString& Value)
{
    if (FCaption == Value) {
        return;
    }
    FCaption = Value;
    if (isWindow()) {
        setWindowTitle(Value);
    }
    AdjustAutoSize();
    update();
}

void TControl::SetHint(const QString& Value)
{
    FHint = Value;
    setToolTip(Value);
}

bool TControl::ShowHint() const
{
    if (FParentShowHint) {
        if (const TControl* Owner = ParentControl()) {
            return Owner->ShowHint();
        }
    }
    return FShowHint;
}

void TControl::SetShowHint(bool Value)
{
    FShowHint = Value;
    FParentShowHint = false;
}

int TControl::Color() const
{
    if (FParentColor) {
        if (const TControl* Owner = ParentControl()) {
            return Owner->Color();
        }
    }
    return FColor;
}

void TControl::SetColor(int Value)
{
    FParentColor = false;
    if (FColor != Value) {
        FColor = Value;
        update();
    }
}

void TControl::SetParentColor(bool Value)
{
    FParentColor = Value;
    update();
}

void TControl::SetFont(TFont* Value)
{
    if (Value && Value != FFont) {
        FFont->Assign(*Value);
    }
}

void TControl::SetParentFont(bool Value)
{
    FParentFont = Value;
    if (Value) {
        ParentFontChanged();
    }
}

void TControl::ParentFontChanged()
{
    const TControl* Owner = ParentControl();
    if (!FParentFont || !Owner) {
        return;
    }
    FCopyingFont = true;
    FFont->Assign(*Owner->Font());
    FCopyingFont = false;
}

void TControl::FontChanged()
{
    QWidget::setFont(FFont->ToQFont());
    for (QObject* Child : children()) {
        if (auto* ChildControl = qobject_cast<TControl*>(Child)) {
            ChildControl->ParentFontChanged();
        }
    }
    AdjustAutoSize();
    update();
}

void TControl::SetCursor(int Value)
{
    FCursor = Value;
    setCursor(CursorFor(Value));
}

void TControl::SetTransparent(bool Value)
{
    if (FTransparent != Value) {
        FTransparent = Value;
        update();
    }
}

void TControl::SetAlign(TAlign Value)
{
    if (FAlign == Value) {
        return;
    }
    FAlign = Value;
    if (TControl* Owner = ParentControl()) {
        Owner->AlignControls();
    }
}

void TControl::SetAutoSize(bool Value)
{
    if (FAutoSize != Value) {
        FAutoSize = Value;
        AdjustAutoSize();
    }
}

void TControl::AdjustAutoSize()
{
    if (!FAutoSize) {
        return;
    }
    const QSize Extent = AutoSizeExtent();
    if (Extent.isValid()) {
        SetBounds(Left(), Top(), Extent.width(), Extent.height());
    }
}

void TControl::AlignControls()
{
    if (FAligning) {
        return;
    }
    FAligning = true;
    QRect Rest = rect();
    for (TAlign Pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (QObject* Child : children()) {
            auto* C = qobject_cast<TControl*>(Child);
            if (!C || C->isWindow() || C->FAlign != Pass || !C->Visible()) {
                continue;
            }
            switch (Pass) {
            case alTop:
                C->SetBounds(Rest.left(), Rest.top(), Rest.width(), C->Height());
                Rest.setTop(Rest.top() + C->Height());
                break;
            case alBottom:
                C->SetBounds(Rest.left(), Rest.bottom() + 1 - C->Height(), Rest.width(), C->Height());
                Rest.setBottom(Rest.bottom() - C->Height());
                break;
            case alLeft:
                C->SetBounds(Rest.left(), Rest.top(), C->Width(), Rest.height());
                Rest.setLeft(Rest.left() + C->Width());
                break;
            case alRight:
                C->SetBounds(Rest.right() + 1 - C->Width(), Rest.top(), C->Width(), Rest.height());
                Rest.setRight(Rest.right() - C->Width());
                break;
            default:
                C->SetBounds(Rest.left(), Rest.top(), std::max(0, Rest.width()), std::max(0, Rest.height()));
                break;
            }
        }
    }
    FAligning = false;
}

void TControl::ApplyAnchors(QSize OldSize)
{
    if (!OldSize.isValid()) {
        return;
    }
    const int DW = width() - OldSize.width();
    const int DH = height() - OldSize.height();
    if (DW == 0 && DH == 0) {
        return;
    }
    for (QObject* Child : children()) {
        auto* C = qobject_cast<TControl*>(Child);
        if (!C || C->isWindow() || C->FAlign != alNone) {
            continue;
        }
        int L = C->Left();
        int T = C->Top();
        int W = C->Width();
        int H = C->Height();
        if (C->FAnchors.testFlag(akRight)) {
            if (C->FAnchors.testFlag(akLeft)) {
                W += DW;
            } else {
                L += DW;
            }
        }
        if (C->FAnchors.testFlag(akBottom)) {
            if (C->FAnchors.testFlag(akTop)) {
                H += DH;
            } else {
                T += DH;
            }
        }
        if (L != C->Left() || T != C->Top() || W != C->Width() || H != C->Height()) {
            C->SetBounds(L, T, W, H);
        }
    }
}

TControl::TShiftState TControl::ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState Result;
    Result.setFlag(ssShift, Modifiers.testFlag(Qt::ShiftModifier));
    Result.setFlag(ssAlt, Modifiers.testFlag(Qt::AltModifier));
    Result.setFlag(ssCtrl, Modifiers.testFlag(Qt::ControlModifier));
    Result.setFlag(ssLeft, Buttons.testFlag(Qt::LeftButton));
    Result.setFlag(ssRight, Buttons.testFlag(Qt::RightButton));
    Result.setFlag(ssMiddle, Buttons.testFlag(Qt::MiddleButton));
    return Result;
}

void TControl::Click()
{
    if (OnClick) {
        OnClick(this);
    }
}

void TControl::DblClick()
{
    if (OnDblClick) {
        OnDblClick(this);
    }
}

void TControl::Paint(QPainter& Painter)
{
    Q_UNUSED(Painter);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown) {
        OnMouseDown(this, Button, Shift, X, Y);
    }
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp) {
        OnMouseUp(this, Button, Shift, X, Y);
    }
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove) {
        OnMouseMove(this, Shift, X, Y);
    }
}

void TControl::MouseEnter()
{
    if (OnMouseEnter) {
        OnMouseEnter(this);
    }
}

void TControl::MouseLeave()
{
    if (OnMouseLeave) {
        OnMouseLeave(this);
    }
}

void TControl::KeyDown(quint16& Key, TShiftState Shift)
{
    if (OnKeyDown) {
        OnKeyDown(this, Key, Shift);
    }
}

bool TControl::event(QEvent* Event)
{
    if (Event->type() == QEvent::ToolTip && (!ShowHint() || FHint.isEmpty())) {
        QToolTip::hideText();
        Event->ignore();
        return true;
    }
    return QWidget::event(Event);
}

void TControl::paintEvent(QPaintEvent* Event)
{
    Q_UNUSED(Event);
    QPainter Painter(this);
    if (!FTransparent) {
        const QColor Fill = ColorToRGB(Color());
        if (Fill.alpha() != 0) {
            Painter.fillRect(rect(), Fill);
        }
    }
    Paint(Painter);
}

void TControl::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    if (size() != FLayoutSize) {
        SizeChanged(Event->oldSize());
    }
}

void TControl::mousePressEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    if (Event->button() == Qt::LeftButton) {
        FPressed = true;
    }
    MouseDown(MouseButtonOf(Event->button()), ShiftStateOf(Event->modifiers(), Event->buttons()), P.x(),
              P.y());
}

void TControl::mouseReleaseEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    const bool WasPressed = FPressed && Event->button() == Qt::LeftButton;
    if (Event->button() == Qt::LeftButton) {
        FPressed = false;
    }
    MouseUp(MouseButtonOf(Event->button()), ShiftStateOf(Event->modifiers(), Event->buttons()), P.x(), P.y());
    if (WasPressed && rect().contains(P)) {
        Click();
    }
}

void TControl::mouseDoubleClickEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    if (Event->button() == Qt::LeftButton) {
        DblClick();
    }
    MouseDown(MouseButtonOf(Event->button()), ShiftStateOf(Event->modifiers(), Event->buttons()) | ssDouble,
              P.x(), P.y());
}

void TControl::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    MouseMove(ShiftStateOf(Event->modifiers(), Event->buttons()), P.x(), P.y());
}

void TControl::enterEvent(QEnterEvent* Event)
{
    QWidget::enterEvent(Event);
    MouseEnter();
}

void TControl::leaveEvent(QEvent* Event)
{
    QWidget::leaveEvent(Event);
    MouseLeave();
}

bool TControl::DispatchKeyDown(const QKeyEvent& Event)
{
    quint16 Key = VirtualKeyOf(Event);
    if (Key == 0) {
        return false;
    }
    KeyDown(Key, ShiftStateOf(Event.modifiers()));
    return Key == 0;
}

void TControl::keyPressEvent(QKeyEvent* Event)
{
    if (DispatchKeyDown(*Event)) {
        Event->accept();
        return;
    }
    QWidget::keyPressEvent(Event);
}
