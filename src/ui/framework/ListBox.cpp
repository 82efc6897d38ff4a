#include "ListBox.h"

#include "Bevel.h"

#include "Colors.h"
#include "Keys.h"
#include "ListLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

// The client area of a list box: the items are painted here, in client coordinates.
class TListViewport : public QWidget
{
public:
    explicit TListViewport(TListBox* Owner) : QWidget(Owner), FOwner(Owner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* Event) override
    {
        Q_UNUSED(Event);
        QPainter Painter(this);
        FOwner->PaintItems(Painter);
    }

private:
    TListBox* FOwner;
};

namespace {

// The system colours of a sunken border.
constexpr qint32 BorderShadow = static_cast<qint32>(0x80000010u);
constexpr qint32 BorderHighlight = static_cast<qint32>(0x80000014u);
constexpr qint32 BorderDarkShadow = static_cast<qint32>(0x80000015u);
constexpr qint32 BorderLight = static_cast<qint32>(0x80000016u);

} // namespace

TListBox::TListBox(QWidget* Parent, const QString& Name) : TWrappedControl(Parent, Name)
{
    FViewport = new TListViewport(this);
    FScrollBar = new QScrollBar(Qt::Vertical, this);
    FScrollBar->setFocusPolicy(Qt::NoFocus);
    FScrollBar->hide();
    connect(FScrollBar, &QScrollBar::valueChanged, this, [this](int Value) {
        if (!FUpdatingLayout) {
            SetTopIndex(Value);
        }
    });
    FItems.OnInserted = [this](int Index) {
        FHeights.insert(Index, 1);
        FHeights[Index] = MeasureItem(Index);
        if (FItemIndex >= Index) {
            ++FItemIndex;
        }
        ItemInserted(Index);
        UpdateInnerGeometry();
        FViewport->update();
    };
    FItems.OnDeleted = [this](int Index) {
        FHeights.removeAt(Index);
        if (FItemIndex == Index) {
            FItemIndex = -1;
        } else if (FItemIndex > Index) {
            --FItemIndex;
        }
        ItemDeleted(Index);
        UpdateInnerGeometry();
        FViewport->update();
    };
    FItems.OnCleared = [this] {
        FHeights.clear();
        FItemIndex = -1;
        FTopIndex = 0;
        ItemsCleared();
        UpdateInnerGeometry();
        FViewport->update();
    };
    FItems.OnStringChanged = [this](int Index) {
        FHeights[Index] = MeasureItem(Index);
        UpdateInnerGeometry();
        FViewport->update();
    };
    SetInnerWidget(FViewport);
    SetBounds(0, 0, 121, 97);
}

TListBox::~TListBox()
{
    // The hooks refer to this control; the list itself goes with the members.
    FItems.OnInserted = nullptr;
    FItems.OnDeleted = nullptr;
    FItems.OnCleared = nullptr;
    FItems.OnStringChanged = nullptr;
}

void TListBox::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= Count()) {
        Value = -1;
    }
    if (Value != FItemIndex) {
        FItemIndex = Value;
        FViewport->update();
    }
    ScrollIntoView(Value);
}

int TListBox::ItemHeight() const
{
    return FStyle == lbStandard ? QFontMetrics(font()).height() : FItemHeight;
}

void TListBox::SetItemHeight(int Value)
{
    Value = std::clamp(Value, 1, MaxItemHeight);
    if (Value != FItemHeight) {
        FItemHeight = Value;
        if (FStyle != lbStandard) {
            RemeasureItems();
        }
    }
}

void TListBox::SetStyle(TListBoxStyle Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        RemeasureItems();
    }
}

void TListBox::SetTopIndex(int Value)
{
    Value = std::clamp(Value, 0, ListMaxTopIndex(FHeights, ClientHeight()));
    if (Value != FTopIndex) {
        FTopIndex = Value;
        FViewport->update();
    }
    if (FScrollBar->value() != FTopIndex) {
        FUpdatingLayout = true;
        FScrollBar->setValue(FTopIndex);
        FUpdatingLayout = false;
    }
}

void TListBox::SetBorderStyle(TBorderStyle Value)
{
    if (Value != FBorderStyle) {
        FBorderStyle = Value;
        UpdateInnerGeometry();
        update();
    }
}

int TListBox::ClientWidth() const
{
    return InnerRect().width();
}

int TListBox::ClientHeight() const
{
    return InnerRect().height();
}

QRect TListBox::ItemRect(int Index) const
{
    return ListItemRect(FHeights, FTopIndex, Index, ClientWidth());
}

int TListBox::ItemAtPos(QPoint Pos, bool Existing) const
{
    if (Pos.x() < 0 || Pos.x() >= ClientWidth()) {
        return -1;
    }
    const int Index = ListItemAt(FHeights, FTopIndex, Pos.y());
    if (Index < 0 && !Existing && Pos.y() >= 0) {
        return Count();
    }
    return Index;
}

void TListBox::RemeasureItems()
{
    for (int I = 0; I < FHeights.size(); ++I) {
        FHeights[I] = MeasureItem(I);
    }
    UpdateInnerGeometry();
    ScrollIntoView(FItemIndex);
    FViewport->update();
}

bool TListBox::ScrollBarVisible() const
{
    return !FScrollBar->isHidden();
}

int TListBox::MeasureItem(int Index)
{
    int Height = ItemHeight();
    if (FStyle == lbOwnerDrawVariable && OnMeasureItem) {
        OnMeasureItem(this, Index, Height);
    }
    return std::clamp(Height, 1, MaxItemHeight);
}

void TListBox::DrawItem(int Index, const QRect& Rect, TOwnerDrawState State)
{
    if (FStyle != lbStandard && OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    DrawItemText(*FCanvas, Rect, FItems.Strings(Index));
}

void TListBox::SelectByUser(int Index)
{
    if (Index < 0 || Index >= Count()) {
        return;
    }
    SetItemIndex(Index);
    Click();
}

void TListBox::ScrollIntoView(int Index)
{
    if (Index >= 0 && Index < Count()) {
        SetTopIndex(ListTopIndexShowing(FHeights, FTopIndex, Index, ClientHeight()));
    }
}

QRect TListBox::InnerRect() const
{
    const int Border = FBorderStyle == bsSingle ? 2 : 0;
    QRect R = rect().adjusted(Border, Border, -Border, -Border);
    if (ListNeedsScrolling(FHeights, R.height())) {
        R.setRight(R.right() - ScrollBarWidth);
    }
    R.setWidth(std::max(0, R.width()));
    R.setHeight(std::max(0, R.height()));
    return R;
}

void TListBox::UpdateInnerGeometry()
{
    TWrappedControl::UpdateInnerGeometry();
    if (!FScrollBar) {
        return;
    }
    const QRect Inner = InnerRect();
    const int Border = FBorderStyle == bsSingle ? 2 : 0;
    const bool Scrolling = ListNeedsScrolling(FHeights, height() - 2 * Border);
    const int MaxTop = ListMaxTopIndex(FHeights, Inner.height());
    FUpdatingLayout = true;
    FScrollBar->setGeometry(Inner.right() + 1, Inner.top(), ScrollBarWidth, Inner.height());
    FScrollBar->setRange(0, MaxTop);
    FScrollBar->setPageStep(
        std::max(1, ListLastVisible(FHeights, FTopIndex, Inner.height()) - FTopIndex + 1));
    FScrollBar->setVisible(Scrolling);
    FUpdatingLayout = false;
    if (FTopIndex > MaxTop) {
        SetTopIndex(MaxTop);
    } else if (FScrollBar->value() != FTopIndex) {
        SetTopIndex(FTopIndex);
    }
}

void TListBox::Paint(QPainter& Painter)
{
    if (FBorderStyle == bsSingle) {
        const QRect R = rect();
        DrawBevelRing(Painter, R, ColorToRGB(BorderShadow), ColorToRGB(BorderHighlight));
        DrawBevelRing(Painter, R.adjusted(1, 1, -1, -1), ColorToRGB(BorderDarkShadow),
                      ColorToRGB(BorderLight));
    }
}

void TListBox::PaintItems(QPainter& Painter)
{
    const QRect Area = FViewport->rect();
    Painter.fillRect(Area, ColorToRGB(Color()));
    const bool Focused = FViewport->hasFocus();
    int Top = 0;
    for (int I = FTopIndex; I < Count() && Top < Area.height(); ++I) {
        const QRect R(0, Top, Area.width(), FHeights[I]);
        Top += FHeights[I];
        TOwnerDrawState State;
        if (I == FItemIndex) {
            State |= odSelected;
            if (Focused) {
                State |= odFocused;
            }
        }
        if (!Enabled()) {
            State |= odDisabled | odGrayed;
        }
        Painter.save();
        PrepareItemCanvas(Painter, *this, State);
        FCanvas = &Painter;
        DrawItem(I, R, State);
        FCanvas = nullptr;
        Painter.restore();
    }
}

void TListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        const int Index = ItemAtPos(QPoint(X, Y), true);
        // The second press of a double click selects nothing new.
        if (Index >= 0 && !(Shift.testFlag(ssDouble) && Index == FItemIndex)) {
            SelectByUser(Index);
        }
    }
    TWrappedControl::MouseDown(Button, Shift, X, Y);
}

void TListBox::KeyDown(quint16& Key, TShiftState Shift)
{
    TWrappedControl::KeyDown(Key, Shift);
    const int N = Count();
    if (Key == 0 || N == 0) {
        return;
    }
    const int Current = FItemIndex;
    const int From = std::max(0, Current);
    const int Height = ClientHeight();
    int Target = Current;
    switch (Key) {
    case VK_UP:
        Target = Current < 0 ? 0 : std::max(0, Current - 1);
        break;
    case VK_DOWN:
        Target = Current < 0 ? 0 : std::min(N - 1, Current + 1);
        break;
    case VK_HOME:
        Target = 0;
        break;
    case VK_END:
        Target = N - 1;
        break;
    case VK_NEXT: {
        // To the last item of the page, then a page further.
        const int Last = ListLastVisible(FHeights, FTopIndex, Height);
        Target = Current < Last ? Last : ListLastVisible(FHeights, From, Height);
        if (Target == Current) {
            Target = std::min(N - 1, Current + 1);
        }
        break;
    }
    case VK_PRIOR:
        Target = Current > FTopIndex ? FTopIndex : ListPageTopEndingAt(FHeights, From, Height);
        if (Target == Current) {
            Target = std::max(0, Current - 1);
        }
        break;
    default:
        return;
    }
    Key = 0;
    if (Target != Current) {
        SelectByUser(Target);
    }
}

void TListBox::FontChanged()
{
    TWrappedControl::FontChanged();
    if (FStyle == lbStandard) {
        RemeasureItems();
    }
}

void TListBox::EnabledChanged()
{
    TWrappedControl::EnabledChanged();
    FViewport->update();
}

bool TListBox::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FViewport) {
        switch (Event->type()) {
        case QEvent::Wheel: {
            const int Delta = static_cast<QWheelEvent*>(Event)->angleDelta().y();
            int Lines = -Delta / 120 * 3;
            if (Lines == 0 && Delta != 0) {
                Lines = Delta > 0 ? -1 : 1;
            }
            SetTopIndex(FTopIndex + Lines);
            return true;
        }
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            FViewport->update();
            break;
        default:
            break;
        }
    }
    return TWrappedControl::eventFilter(Watched, Event);
}
