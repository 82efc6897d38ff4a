#include "ScrollBar.h"

#include <QScrollBar>

#include <algorithm>

TScrollBar::TScrollBar(QWidget* Parent, const QString& Name) : TWrappedControl(Parent, Name)
{
    SetColor(static_cast<int>(0x8000000Fu)); // button face
    FBar = new QScrollBar(Qt::Horizontal, this);
    connect(FBar, &QScrollBar::actionTriggered, this, &TScrollBar::ActionTriggered);
    connect(FBar, &QScrollBar::sliderReleased, this, [this] {
        Scroll(scPosition, FPosition);
        Scroll(scEndScroll, FPosition);
    });
    SetInnerWidget(FBar);
    SyncBar();
    SetBounds(0, 0, 121, 17);
}

void TScrollBar::SetKind(TScrollBarKind Value)
{
    if (Value == FKind) {
        return;
    }
    FKind = Value;
    FBar->setOrientation(Value == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    SetBounds(Left(), Top(), Height(), Width());
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax)
{
    AMax = std::max(AMin, AMax);
    APosition = std::clamp(APosition, AMin, AMax);
    const bool PositionChanged = APosition != FPosition;
    FMin = AMin;
    FMax = AMax;
    FPageSize = std::min(FPageSize, FMax - FMin + 1);
    FPosition = APosition;
    SyncBar();
    if (PositionChanged && OnChange) {
        OnChange(this);
    }
}

void TScrollBar::SetSmallChange(int Value)
{
    FSmallChange = std::max(1, Value);
    SyncBar();
}

void TScrollBar::SetLargeChange(int Value)
{
    FLargeChange = std::max(1, Value);
    SyncBar();
}

void TScrollBar::SetPageSize(int Value)
{
    FPageSize = std::clamp(Value, 0, FMax - FMin + 1);
    SyncBar();
}

int TScrollBar::ReachableMax() const
{
    return std::max(FMin, FMax - std::max(0, FPageSize - 1));
}

void TScrollBar::SyncBar()
{
    FSyncing = true;
    FBar->setRange(FMin, ReachableMax());
    FBar->setSingleStep(FSmallChange);
    FBar->setPageStep(FPageSize);
    FBar->setValue(std::min(FPosition, ReachableMax()));
    FSyncing = false;
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int ScrollPos)
{
    if (OnScroll) {
        OnScroll(this, ScrollCode, ScrollPos);
    }
    SetPosition(ScrollPos);
}

void TScrollBar::ActionTriggered(int Action)
{
    if (FSyncing) {
        return;
    }
    TScrollCode Code = scTrack;
    int Pos = FPosition;
    switch (Action) {
    case QAbstractSlider::SliderSingleStepAdd:
        Code = scLineDown;
        Pos = FPosition + FSmallChange;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        Code = scLineUp;
        Pos = FPosition - FSmallChange;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        Code = scPageDown;
        Pos = FPosition + FLargeChange;
        break;
    case QAbstractSlider::SliderPageStepSub:
        Code = scPageUp;
        Pos = FPosition - FLargeChange;
        break;
    case QAbstractSlider::SliderToMinimum:
        Code = scTop;
        Pos = FMin;
        break;
    case QAbstractSlider::SliderToMaximum:
        Code = scBottom;
        Pos = FMax;
        break;
    case QAbstractSlider::SliderMove:
        Code = scTrack;
        Pos = FBar->sliderPosition();
        break;
    default:
        return;
    }
    Pos = std::clamp(Pos, FMin, ReachableMax());
    Scroll(Code, Pos);
    // Qt moves its slider to this position once the action returns.
    FSyncing = true;
    FBar->setSliderPosition(std::min(FPosition, ReachableMax()));
    FSyncing = false;
}
