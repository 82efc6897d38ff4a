#pragma once

#include "WrappedControl.h"

class QScrollBar;

// A scroll bar. Position lies within Min..Max (the highest reachable by the user is
// Max - PageSize + 1 while PageSize is set). The user's actions reach OnScroll with the position
// they lead to, while Position still holds the old one; the handler may change that position, then
// Position takes it. OnChange follows every change of Position, by the user or in code.
class TScrollBar : public TWrappedControl
{
    Q_OBJECT
    Q_PROPERTY(TScrollBarKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int SmallChange READ SmallChange WRITE SetSmallChange)
    Q_PROPERTY(int LargeChange READ LargeChange WRITE SetLargeChange)
    Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)

public:
    enum TScrollBarKind
    {
        sbHorizontal,
        sbVertical
    };
    Q_ENUM(TScrollBarKind)
    enum TScrollCode
    {
        scLineUp,
        scLineDown,
        scPageUp,
        scPageDown,
        scPosition,
        scTrack,
        scTop,
        scBottom,
        scEndScroll
    };
    Q_ENUM(TScrollCode)

    using TScrollEvent = std::function<void(QObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

    explicit TScrollBar(QWidget* Parent = nullptr, const QString& Name = {});

    // Changing the kind turns the control: width and height swap.
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    void SetMin(int Value) { SetParams(FPosition, Value, std::max(Value, FMax)); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    int Position() const { return FPosition; }
    void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
    // Sets all three at once; Max below Min becomes Min, Position is kept within them.
    void SetParams(int APosition, int AMin, int AMax);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value);
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value);
    // The part of the range one view shows (the thumb's length); 0 for a thumb of the smallest size.
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    // The highest position the user can scroll to.
    int ReachableMax() const;
    QScrollBar* ScrollBarWidget() const { return FBar; }

    // Runs a user action as if the user did it: OnScroll, then Position.
    void Scroll(TScrollCode ScrollCode, int ScrollPos);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

private:
    void SyncBar();
    void ActionTriggered(int Action);

    QScrollBar* FBar = nullptr;
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FSmallChange = 1;
    int FLargeChange = 1;
    int FPageSize = 0;
    bool FSyncing = false;
};
