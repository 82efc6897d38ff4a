#pragma once

#include <QObject>
#include <QStringList>

// Small stand-ins for the framework's controls: plain QObjects that publish the framework's
// properties, so that "controls.ini" can be tested in the core layer without widgets. A file that
// includes this header ends with #include "moc_ControlsTestControls.cpp".

// The font sub-object a control's Font property holds.
class TTestFont : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Name MEMBER Name)
    Q_PROPERTY(int Size MEMBER Size)
    Q_PROPERTY(int Height MEMBER Height)
    Q_PROPERTY(int Color MEMBER Color)
    Q_PROPERTY(TFontStyles Style READ GetStyle WRITE SetStyle)
    Q_PROPERTY(uchar Charset MEMBER Charset)

public:
    enum TFontStyle
    {
        fsBold = 1,
        fsItalic = 2,
        fsUnderline = 4,
        fsStrikeOut = 8
    };
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG(TFontStyles)

    using QObject::QObject;
    // Read and written through functions: moc cannot give a set type a MEMBER.
    TFontStyles GetStyle() const { return Style; }
    void SetStyle(TFontStyles Value) { Style = Value; }

    QString Name = QStringLiteral("MS Sans Serif");
    int Size = 8;
    int Height = -11;
    int Color = static_cast<int>(0x80000008u); // clWindowText
    TFontStyles Style;
    uchar Charset = 1;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TTestFont::TFontStyles)

// Size limits: a second sub-object, as the framework publishes it.
class TTestConstraints : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int MaxHeight MEMBER MaxHeight)
    Q_PROPERTY(int MaxWidth MEMBER MaxWidth)
    Q_PROPERTY(int MinHeight MEMBER MinHeight)
    Q_PROPERTY(int MinWidth MEMBER MinWidth)

public:
    using QObject::QObject;
    int MaxHeight = 0;
    int MaxWidth = 0;
    int MinHeight = 0;
    int MinWidth = 0;
};

// The control base: every published property of the framework's visible controls that the tests use.
class TTestControl : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("AutorunControl", "")
    Q_PROPERTY(int Left MEMBER Left)
    Q_PROPERTY(int Top MEMBER Top)
    Q_PROPERTY(int Width MEMBER Width)
    Q_PROPERTY(int Height MEMBER Height)
    Q_PROPERTY(bool Visible MEMBER Visible)
    Q_PROPERTY(bool Enabled MEMBER Enabled)
    Q_PROPERTY(QString Caption MEMBER Caption)
    Q_PROPERTY(QString Hint MEMBER Hint)
    Q_PROPERTY(bool ShowHint MEMBER ShowHint)
    Q_PROPERTY(int Color MEMBER Color)
    Q_PROPERTY(TTestFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TTestConstraints* Constraints READ Constraints)
    Q_PROPERTY(int Cursor MEMBER Cursor)
    Q_PROPERTY(bool Transparent MEMBER Transparent)
    Q_PROPERTY(TAlign Align MEMBER Align)
    Q_PROPERTY(TAnchors Anchors READ GetAnchors WRITE SetAnchors)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(bool AutoSize MEMBER AutoSize)
    Q_PROPERTY(int ComponentCount READ ComponentCount)

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

    explicit TTestControl(const QString& Name = {}, QObject* Owner = nullptr) : QObject(Owner)
    {
        setObjectName(Name);
    }

    TTestFont* Font() const { return FFont; }
    void SetFont(TTestFont* Value)
    {
        if (FFont && Value) {
            FFont->Name = Value->Name;
            FFont->Size = Value->Size;
            FFont->Color = Value->Color;
            FFont->Style = Value->Style;
        }
    }
    TTestConstraints* Constraints() const { return FConstraints; }
    TAnchors GetAnchors() const { return Anchors; }
    void SetAnchors(TAnchors Value) { Anchors = Value; }
    int ComponentCount() const { return static_cast<int>(children().size()); }
    // Removes the font, as a control without one would have.
    void DropFont()
    {
        delete FFont;
        FFont = nullptr;
    }

    int Left = 0;
    int Top = 0;
    int Width = 100;
    int Height = 50;
    bool Visible = true;
    bool Enabled = true;
    QString Caption = QStringLiteral("before");
    QString Hint;
    bool ShowHint = false;
    int Color = static_cast<int>(0x8000000Fu); // clBtnFace
    int Cursor = 0;
    bool Transparent = false;
    TAlign Align = alNone;
    TAnchors Anchors = TAnchors(akLeft | akTop);
    int Tag = 0;
    bool AutoSize = false;

private:
    TTestFont* FFont = new TTestFont(this);
    TTestConstraints* FConstraints = new TTestConstraints(this);
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TTestControl::TAnchors)

// A label: text alignment and word wrap, and a colour property that is not named Color.
class TTestLabel : public TTestControl
{
    Q_OBJECT
    Q_PROPERTY(TAlignment Alignment MEMBER Alignment)
    Q_PROPERTY(bool WordWrap MEMBER WordWrap)
    Q_PROPERTY(int HighlightColor MEMBER HighlightColor)

public:
    enum TAlignment
    {
        taLeftJustify,
        taRightJustify,
        taCenter
    };
    Q_ENUM(TAlignment)

    using TTestControl::TTestControl;

    TAlignment Alignment = taLeftJustify;
    bool WordWrap = false;
    int HighlightColor = 0;
};

// An edit: a character, a list of lines, a floating-point value, a narrow integer.
class TTestEdit : public TTestControl
{
    Q_OBJECT
    Q_PROPERTY(QChar PasswordChar MEMBER PasswordChar)
    Q_PROPERTY(QStringList Lines MEMBER Lines)
    Q_PROPERTY(double Opacity MEMBER Opacity)
    Q_PROPERTY(short MaxLength MEMBER MaxLength)
    Q_PROPERTY(uint BorderColor MEMBER BorderColor)
    // Differs from the base's Hint only in case: the derived class's declaration hides the base's.
    Q_PROPERTY(QString HINT MEMBER OwnHint)

public:
    using TTestControl::TTestControl;

    QChar PasswordChar;
    QStringList Lines;
    double Opacity = 1.0;
    short MaxLength = 0;
    uint BorderColor = 0;
    QString OwnHint;
};

// A window: a control that holds the others.
class TTestForm : public TTestControl
{
    Q_OBJECT
    Q_PROPERTY(bool KeyPreview MEMBER KeyPreview)

public:
    using TTestControl::TTestControl;
    bool KeyPreview = false;
};

// A component that is not a control (like a timer): never given values, nor is anything it holds.
class TTestComponent : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled MEMBER Enabled)
    Q_PROPERTY(int Interval MEMBER Interval)

public:
    explicit TTestComponent(const QString& Name = {}, QObject* Owner = nullptr) : QObject(Owner)
    {
        setObjectName(Name);
    }
    bool Enabled = true;
    int Interval = 1000;
};

// A panel whose Remove property deletes the sibling of that name, as a property whose setter
// rebuilds part of a window would.
class TTestPanel : public TTestControl
{
    Q_OBJECT
    Q_PROPERTY(QString Remove READ Remove WRITE SetRemove)

public:
    using TTestControl::TTestControl;
    QString Remove() const { return {}; }
    void SetRemove(const QString& Name)
    {
        if (parent()) {
            delete parent()->findChild<QObject*>(Name, Qt::FindDirectChildrenOnly);
        }
    }
};
