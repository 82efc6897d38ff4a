#pragma once

#include "Control.h"

// A text control: one line or word-wrapped text in the control's font, aligned horizontally and
// vertically; "&" marks an accelerator unless ShowAccelChar is off.
class TLabel : public TControl
{
    Q_OBJECT
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(TTextLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)

public:
    enum TAlignment
    {
        taLeftJustify,
        taRightJustify,
        taCenter
    };
    Q_ENUM(TAlignment)
    enum TTextLayout
    {
        tlTop,
        tlCenter,
        tlBottom
    };
    Q_ENUM(TTextLayout)

    explicit TLabel(QWidget* Parent = nullptr, const QString& Name = {});

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);

    // The Qt text flags of the label's alignment, layout, wrapping and accelerator setting.
    int TextFlags() const;

protected:
    void Paint(QPainter& Painter) override;
    QSize AutoSizeExtent() const override;

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
};
