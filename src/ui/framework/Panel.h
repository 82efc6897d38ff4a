#pragma once

#include "Control.h"

// A plain container: a filled rectangle with optional raised or lowered bevels and a centred caption.
class TPanel : public TControl
{
    Q_OBJECT
    Q_PROPERTY(TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)

public:
    enum TBevelCut
    {
        bvNone,
        bvLowered,
        bvRaised,
        bvSpace
    };
    Q_ENUM(TBevelCut)

    explicit TPanel(QWidget* Parent = nullptr, const QString& Name = {});

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);

protected:
    void Paint(QPainter& Painter) override;

private:
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
};
