#pragma once

#include "Font.h"

#include <QFlags>
#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>

class QKeyEvent;
class QPainter;

// Size limits of a control; 0 means no limit.
class TSizeConstraints : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int MaxHeight READ MaxHeight WRITE SetMaxHeight)
    Q_PROPERTY(int MaxWidth READ MaxWidth WRITE SetMaxWidth)
    Q_PROPERTY(int MinHeight READ MinHeight WRITE SetMinHeight)
    Q_PROPERTY(int MinWidth READ MinWidth WRITE SetMinWidth)

public:
    using QObject::QObject;
    int MaxHeight() const { return FMaxHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MinHeight() const { return FMinHeight; }
    int MinWidth() const { return FMinWidth; }
    void SetMaxHeight(int Value) { Set(FMaxHeight, Value); }
    void SetMaxWidth(int Value) { Set(FMaxWidth, Value); }
    void SetMinHeight(int Value) { Set(FMinHeight, Value); }
    void SetMinWidth(int Value) { Set(FMinWidth, Value); }
    // Width and height brought within the limits.
    int ClampWidth(int Value) const;
    int ClampHeight(int Value) const;

    std::function<void()> OnChange;

private:
    void Set(int& Field, int Value);
    int FMaxHeight = 0;
    int FMaxWidth = 0;
    int FMinHeight = 0;
    int FMinWidth = 0;
};

// The base of every control of the program's windows: the framework's published properties as Qt
// properties (so "controls.ini" can set them by name), its events as function members, and the
// framework's alignment and anchoring of child controls. A control's name is its objectName.
class TControl : public QWidget
{
    Q_OBJECT
    Q_CLASSINFO("AutorunControl", "")
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE SetClientWidth)
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE SetClientHeight)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TAnchors Anchors READ Anchors WRITE SetAnchors)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(TSizeConstraints* Constraints READ Constraints)

public:
    enum TAlign
    {
        alNone,
        alTop,
        alBottom,
        alLeft,
        alRight,
        alClient,
        alCustom
    };
    Q_ENUM(TAlign)
    enum TAnchorKind
    {
        akLeft = 1,
        akTop = 2,
        akRight = 4,
        akBottom = 8
    };
    Q_DECLARE_FLAGS(TAnchors, TAnchorKind)
    Q_FLAG(TAnchors)
    enum TMouseButton
    {
        mbLeft,
        mbRight,
        mbMiddle
    };
    Q_ENUM(TMouseButton)
    enum TShiftStateFlag
    {
        ssShift = 1,
        ssAlt = 2,
        ssCtrl = 4,
        ssLeft = 8,
        ssRight = 16,
        ssMiddle = 32,
        ssDouble = 64
    };
    Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
    Q_FLAG(TShiftState)

    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TMouseEvent =
        std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
    using TMouseMoveEvent = std::function<void(QObject* Sender, TShiftState Shift, int X, int Y)>;
    using TKeyEvent = std::function<void(QObject* Sender, quint16& Key, TShiftState Shift)>;

    explicit TControl(QWidget* Parent = nullptr, const QString& Name = {});
    ~TControl() override;

    QString Name() const { return objectName(); }
    void SetName(const QString& Value) { setObjectName(Value); }
    // The parent control, if the parent is one.
    TControl* ParentControl() const;

    int Left() const;
    int Top() const;
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetLeft(int Value) { SetBounds(Value, Top(), Width(), Height()); }
    void SetTop(int Value) { SetBounds(Left(), Value, Width(), Height()); }
    void SetWidth(int Value) { SetBounds(Left(), Top(), Value, Height()); }
    void SetHeight(int Value) { SetBounds(Left(), Top(), Width(), Value); }
    // The inner size, less the borders and scroll bars of controls that have them.
    virtual int ClientWidth() const { return width(); }
    virtual int ClientHeight() const { return height(); }
    void SetClientWidth(int Value) { SetWidth(Width() - ClientWidth() + Value); }
    void SetClientHeight(int Value) { SetHeight(Height() - ClientHeight() + Value); }
    int BoundsRight() const { return Left() + Width(); }
    int BoundsBottom() const { return Top() + Height(); }
    // Moves and sizes the control within its constraints, then aligns its children.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

    bool Visible() const { return !isHidden(); }
    virtual void SetVisible(bool Value);
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    QString Caption() const { return FCaption; }
    virtual void SetCaption(const QString& Value);
    QString Hint() const { return FHint; }
    void SetHint(const QString& Value);
    bool ShowHint() const;
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value) { FParentShowHint = Value; }
    // The colour the control is filled with (the parent's while ParentColor is set).
    int Color() const;
    virtual void SetColor(int Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    int Cursor() const { return FCursor; }
    void SetCursor(int Value);
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value) { FAnchors = Value; }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TSizeConstraints* Constraints() const { return FConstraints; }

    void Invalidate() { update(); }
    void Repaint() { repaint(); }
    void BringToFront() { raise(); }
    void SendToBack() { lower(); }
    // Lays the child controls out by their Align values.
    void AlignControls();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TKeyEvent OnKeyDown;
    TNotifyEvent OnResize;

    // The shift state of Qt's modifiers and buttons.
    static TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons = {});

    // Simulated input, for code that drives a control the way the user would.
    virtual void Click();
    virtual void DblClick();

protected:
    // Draws the control; the background has already been filled unless the control is transparent.
    virtual void Paint(QPainter& Painter);
    // The size the control takes when AutoSize is on; an invalid size leaves it alone.
    virtual QSize AutoSizeExtent() const { return {}; }
    // Re-applies AutoSize; subclasses call it when what decides their size changed.
    void AdjustAutoSize();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void KeyDown(quint16& Key, TShiftState Shift);
    // Hands a key press with a virtual-key code to KeyDown; true when the handler swallowed it
    // (set the key to 0).
    bool DispatchKeyDown(const QKeyEvent& Event);
    virtual void FontChanged();
    virtual void EnabledChanged() { update(); }

    bool event(QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void ParentFontChanged();
    void ApplyAnchors(QSize OldSize);
    void SizeChanged(QSize OldSize);

    bool FEnabled = true;
    QString FCaption;
    QString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    int FColor = static_cast<int>(0x8000000Fu); // clBtnFace
    bool FParentColor = false;
    TFont* FFont = nullptr;
    bool FParentFont = true;
    bool FCopyingFont = false;
    int FCursor = 0;
    bool FTransparent = false;
    TAlign FAlign = alNone;
    TAnchors FAnchors = TAnchors(akLeft | akTop);
    int FTag = 0;
    bool FAutoSize = false;
    bool FAligning = false;
    bool FPressed = false;
    QSize FLayoutSize;
    TSizeConstraints* FConstraints = nullptr;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TControl::TAnchors)
Q_DECLARE_OPERATORS_FOR_FLAGS(TControl::TShiftState)

// The mouse button of a Qt button.
TControl::TMouseButton MouseButtonOf(Qt::MouseButton Button);
