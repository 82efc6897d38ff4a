#pragma once

#include "ControlStrings.h"
#include "OwnerDraw.h"
#include "WrappedControl.h"

#include <QList>

class QScrollBar;
class TListViewport;

// A list of text items with one selected item, painted by the control itself: standard items are a
// line of text; owner-drawn items are drawn by OnDrawItem, with one height for all (ItemHeight) or
// each its own, asked from OnMeasureItem when the item is added. The list scrolls by whole items
// with a vertical scroll bar that appears when the items do not fit. Geometry is in client
// coordinates (inside the border and left of the scroll bar); see ListLayout.h.
//
// OnClick fires when the user selects an item (mouse or keys), OnDblClick on a double click.
class TListBox : public TWrappedControl
{
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(TListBoxStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int TopIndex READ TopIndex WRITE SetTopIndex)
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)

public:
    enum TListBoxStyle
    {
        lbStandard,
        lbOwnerDrawFixed,
        lbOwnerDrawVariable
    };
    Q_ENUM(TListBoxStyle)
    enum TBorderStyle
    {
        bsNone,
        bsSingle
    };
    Q_ENUM(TBorderStyle)

    // Width of the vertical scroll bar.
    static constexpr int ScrollBarWidth = 17;
    // Largest height an item may take.
    static constexpr int MaxItemHeight = 32767;

    explicit TListBox(QWidget* Parent = nullptr, const QString& Name = {});
    ~TListBox() override;

    TControlStrings& Items() { return FItems; }
    const TControlStrings& Items() const { return FItems; }
    int Count() const { return FItems.Count(); }
    void Clear() { FItems.Clear(); }

    // -1 when nothing is selected; other values outside the list select nothing. Setting it scrolls
    // the item into view and fires no event.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // The height of every item of the fixed styles: the font's line height for lbStandard.
    int ItemHeight() const;
    void SetItemHeight(int Value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    int ClientWidth() const override;
    int ClientHeight() const override;
    // The rectangle of item Index in client coordinates (empty outside the list).
    QRect ItemRect(int Index) const;
    // The item at Pos (client coordinates); below the last item -1 when Existing, Count otherwise.
    int ItemAtPos(QPoint Pos, bool Existing) const;
    // The heights of all items, in order.
    const QList<int>& ItemHeights() const { return FHeights; }
    // Asks every item's height again (after a change that OnMeasureItem depends on).
    void RemeasureItems();
    // True while the vertical scroll bar is shown.
    bool ScrollBarVisible() const;

    // The painter items are drawn with, prepared as PrepareItemCanvas says; only valid in OnDrawItem
    // (nullptr otherwise).
    QPainter* Canvas() const { return FCanvas; }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    // Draws one item; the painter is prepared already. The default calls OnDrawItem for the
    // owner-drawn styles and draws the text otherwise.
    virtual void DrawItem(int Index, const QRect& Rect, TOwnerDrawState State);
    // The height of item Index as the style gives it.
    virtual int MeasureItem(int Index);
    // Called after an item was inserted, deleted, or all were cleared (the heights follow already).
    virtual void ItemInserted(int Index) { Q_UNUSED(Index); }
    virtual void ItemDeleted(int Index) { Q_UNUSED(Index); }
    virtual void ItemsCleared() {}
    // Selects Index as the user does: scrolled into view, then OnClick.
    void SelectByUser(int Index);

    QRect InnerRect() const override;
    void Paint(QPainter& Painter) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(quint16& Key, TShiftState Shift) override;
    void FontChanged() override;
    void EnabledChanged() override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void UpdateInnerGeometry() override;

private:
    friend class TListViewport;
    void PaintItems(QPainter& Painter);
    void ScrollIntoView(int Index);

    TControlStrings FItems;
    QList<int> FHeights;
    TListViewport* FViewport = nullptr;
    QScrollBar* FScrollBar = nullptr;
    QPainter* FCanvas = nullptr;
    int FItemIndex = -1;
    int FItemHeight = 16;
    int FTopIndex = 0;
    TListBoxStyle FStyle = lbStandard;
    TBorderStyle FBorderStyle = bsSingle;
    bool FUpdatingLayout = false;
};
