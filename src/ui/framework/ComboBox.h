#pragma once

#include "ControlStrings.h"
#include "OwnerDraw.h"
#include "WrappedControl.h"

#include <QList>

class QComboBox;
class TComboWidget;
class TComboDelegate;

// A drop-down list of text items, with an edit field for csDropDown (and csSimple). The owner-drawn
// styles draw every item, the closed field included (state odComboBoxEdit), through OnDrawItem; the
// items are ItemHeight high, or each as OnMeasureItem says when it is added (csOwnerDrawVariable).
// OnChange fires when the user picks an item or edits the text; setting ItemIndex or Text in code
// fires nothing.
class TComboBox : public TWrappedControl
{
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(TComboBoxStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(int DropDownCount READ DropDownCount WRITE SetDropDownCount)
    Q_PROPERTY(QString Text READ Text WRITE SetText)

public:
    enum TComboBoxStyle
    {
        csDropDown,
        csSimple,
        csDropDownList,
        csOwnerDrawFixed,
        csOwnerDrawVariable
    };
    Q_ENUM(TComboBoxStyle)

    explicit TComboBox(QWidget* Parent = nullptr, const QString& Name = {});
    ~TComboBox() override;

    TControlStrings& Items() { return FItems; }
    const TControlStrings& Items() const { return FItems; }
    // -1 when nothing is chosen; other values outside the list choose nothing.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    // The height of the items of csOwnerDrawFixed (and the default of csOwnerDrawVariable); the
    // font's line height for the other styles.
    int ItemHeight() const;
    void SetItemHeight(int Value);
    int DropDownCount() const;
    void SetDropDownCount(int Value);
    // The edit field's text, or the chosen item's; setting it without an edit field chooses the
    // first item of that text (without regard to case).
    QString Text() const;
    void SetText(const QString& Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    // The height item Index is shown with.
    int ItemHeightOf(int Index) const;
    bool OwnerDrawn() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
    QComboBox* ComboWidget() const;

    // The painter items are drawn with, prepared as PrepareItemCanvas says; only valid in OnDrawItem.
    QPainter* Canvas() const { return FCanvas; }

    TNotifyEvent OnChange;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    // Draws one item; the painter is prepared already. The default calls OnDrawItem for the
    // owner-drawn styles and draws the text otherwise.
    virtual void DrawItem(int Index, const QRect& Rect, TOwnerDrawState State);

private:
    friend class TComboWidget;
    friend class TComboDelegate;
    // Prepares the painter and draws item Index (an empty field for -1).
    void PaintItem(QPainter& Painter, int Index, const QRect& Rect, TOwnerDrawState State);
    int MeasureItem(int Index);
    void RemeasureItems();
    void Changed();

    TControlStrings FItems;
    QList<int> FHeights;
    TComboWidget* FCombo = nullptr;
    TComboDelegate* FDelegate = nullptr;
    QPainter* FCanvas = nullptr;
    TComboBoxStyle FStyle = csDropDown;
    int FItemHeight = 16;
};
