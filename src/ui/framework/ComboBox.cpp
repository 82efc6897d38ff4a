#include "ComboBox.h"

#include "ListBox.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>

// The Qt combo box inside: the closed field of an owner-drawn combo box shows the chosen item as
// the owner draws it.
class TComboWidget : public QComboBox
{
public:
    explicit TComboWidget(TComboBox* Owner) : QComboBox(Owner), FOwner(Owner) {}

protected:
    void paintEvent(QPaintEvent* Event) override
    {
        if (!FOwner->OwnerDrawn()) {
            QComboBox::paintEvent(Event);
            return;
        }
        QStylePainter Painter(this);
        QStyleOptionComboBox Option;
        initStyleOption(&Option);
        Option.currentText.clear();
        Option.currentIcon = QIcon();
        Painter.drawComplexControl(QStyle::CC_ComboBox, Option);
        const QRect Field =
            style()->subControlRect(QStyle::CC_ComboBox, &Option, QStyle::SC_ComboBoxEditField, this);
        TOwnerDrawState State = odComboBoxEdit;
        if (hasFocus()) {
            State |= odSelected | odFocused;
        }
        if (!isEnabled()) {
            State |= odDisabled | odGrayed;
        }
        FOwner->PaintItem(Painter, currentIndex(), Field, State);
    }

private:
    TComboBox* FOwner;
};

// Draws and measures the items of the drop-down list through the owner.
class TComboDelegate : public QAbstractItemDelegate
{
public:
    TComboDelegate(TComboBox* Owner, QObject* Parent) : QAbstractItemDelegate(Parent), FOwner(Owner) {}

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        TOwnerDrawState State;
        if (Option.state.testFlag(QStyle::State_Selected)) {
            State |= odSelected;
        }
        if (Option.state.testFlag(QStyle::State_HasFocus)) {
            State |= odFocused;
        }
        if (!Option.state.testFlag(QStyle::State_Enabled)) {
            State |= odDisabled | odGrayed;
        }
        FOwner->PaintItem(*Painter, Index.row(), Option.rect, State);
    }

    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        Q_UNUSED(Option);
        return {FOwner->Width(), FOwner->ItemHeightOf(Index.row())};
    }

private:
    TComboBox* FOwner;
};

TComboBox::TComboBox(QWidget* Parent, const QString& Name) : TWrappedControl(Parent, Name)
{
    FCombo = new TComboWidget(this);
    FDelegate = new TComboDelegate(this, FCombo);
    FCombo->setItemDelegate(FDelegate);
    FCombo->setInsertPolicy(QComboBox::NoInsert);
    connect(FCombo, &QComboBox::activated, this, [this] { Changed(); });

    FItems.OnInserted = [this](int Index) {
        FHeights.insert(Index, 1);
        FHeights[Index] = MeasureItem(Index);
        // A Qt combo box chooses the first item added to an empty list; this one keeps its choice.
        const int Before = FCombo->currentIndex();
        const QString EditText = FCombo->isEditable() ? FCombo->currentText() : QString();
        FCombo->insertItem(Index, FItems.Strings(Index));
        if (Before < 0 && FCombo->currentIndex() >= 0) {
            FCombo->setCurrentIndex(-1);
            if (FCombo->isEditable()) {
                FCombo->setEditText(EditText);
            }
        }
    };
    FItems.OnDeleted = [this](int Index) {
        FHeights.removeAt(Index);
        const int Before = FCombo->currentIndex();
        FCombo->removeItem(Index);
        if (Before == Index) {
            FCombo->setCurrentIndex(-1);
        }
    };
    FItems.OnCleared = [this] {
        FHeights.clear();
        FCombo->clear();
    };
    FItems.OnStringChanged = [this](int Index) {
        FHeights[Index] = MeasureItem(Index);
        FCombo->setItemText(Index, FItems.Strings(Index));
    };

    SetInnerWidget(FCombo);
    SetStyle(csDropDown);
    SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox()
{
    FItems.OnInserted = nullptr;
    FItems.OnDeleted = nullptr;
    FItems.OnCleared = nullptr;
    FItems.OnStringChanged = nullptr;
}

QComboBox* TComboBox::ComboWidget() const
{
    return FCombo;
}

int TComboBox::ItemIndex() const
{
    return FCombo->currentIndex();
}

void TComboBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItems.Count()) {
        Value = -1;
    }
    FCombo->setCurrentIndex(Value);
}

void TComboBox::SetStyle(TComboBoxStyle Value)
{
    FStyle = Value;
    const bool Editable = Value == csDropDown || Value == csSimple;
    if (Editable != FCombo->isEditable()) {
        const int Index = FCombo->currentIndex();
        FCombo->setEditable(Editable);
        FCombo->setCurrentIndex(Index);
    }
    // With an edit field the keys arrive there first; the combo box only sees those it left.
    SetPassesKeys(FCombo, !Editable);
    if (QLineEdit* Edit = FCombo->lineEdit()) {
        WatchWidget(Edit);
        connect(Edit, &QLineEdit::textEdited, this, &TComboBox::Changed, Qt::UniqueConnection);
    }
    RemeasureItems();
    FCombo->update();
}

int TComboBox::ItemHeight() const
{
    return OwnerDrawn() ? FItemHeight : QFontMetrics(font()).height();
}

void TComboBox::SetItemHeight(int Value)
{
    FItemHeight = std::clamp(Value, 1, TListBox::MaxItemHeight);
    RemeasureItems();
}

int TComboBox::DropDownCount() const
{
    return FCombo->maxVisibleItems();
}

void TComboBox::SetDropDownCount(int Value)
{
    FCombo->setMaxVisibleItems(std::max(1, Value));
}

QString TComboBox::Text() const
{
    return FCombo->isEditable() ? FCombo->currentText() : FItems.Strings(FCombo->currentIndex());
}

void TComboBox::SetText(const QString& Value)
{
    if (FCombo->isEditable()) {
        FCombo->setEditText(Value);
    } else {
        SetItemIndex(FItems.IndexOf(Value));
    }
}

bool TComboBox::DroppedDown() const
{
    return FCombo->view()->isVisible();
}

void TComboBox::SetDroppedDown(bool Value)
{
    if (Value) {
        FCombo->showPopup();
    } else {
        FCombo->hidePopup();
    }
}

int TComboBox::ItemHeightOf(int Index) const
{
    return Index >= 0 && Index < FHeights.size() ? FHeights[Index] : ItemHeight();
}

int TComboBox::MeasureItem(int Index)
{
    int Height = ItemHeight();
    if (FStyle == csOwnerDrawVariable && OnMeasureItem) {
        OnMeasureItem(this, Index, Height);
    }
    return std::clamp(Height, 1, TListBox::MaxItemHeight);
}

void TComboBox::RemeasureItems()
{
    for (int I = 0; I < FHeights.size(); ++I) {
        FHeights[I] = MeasureItem(I);
    }
    // The view asks the sizes again.
    FCombo->view()->doItemsLayout();
}

void TComboBox::PaintItem(QPainter& Painter, int Index, const QRect& Rect, TOwnerDrawState State)
{
    Painter.save();
    PrepareItemCanvas(Painter, *this, State);
    if (Index < 0 || Index >= FItems.Count()) {
        Painter.fillRect(Rect, Painter.brush());
    } else {
        FCanvas = &Painter;
        DrawItem(Index, Rect, State);
        FCanvas = nullptr;
    }
    Painter.restore();
}

void TComboBox::DrawItem(int Index, const QRect& Rect, TOwnerDrawState State)
{
    if (OwnerDrawn() && OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    DrawItemText(*FCanvas, Rect, FItems.Strings(Index));
}

void TComboBox::Changed()
{
    if (OnChange) {
        OnChange(this);
    }
}
