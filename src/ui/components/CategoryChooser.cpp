#include "CategoryChooser.h"

#include "Colors.h"
#include "CursorSlots.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <limits>

// ---------------------------------------------------------------------------------------------------
// TCategory

TCategory::TCategory(TCategories* ACollection) : FCollection(ACollection) {}

void TCategory::SetCaption(const QString& Value)
{
    if (FCaption != Value) {
        FCaption = Value;
        Changed(false);
    }
}

void TCategory::SetImageIndex(int Value)
{
    if (FImageIndex != Value) {
        FImageIndex = Value;
        Changed(false);
    }
}

void TCategory::SetVisible(bool Value)
{
    if (FVisible != Value) {
        FVisible = Value;
        Changed(true);
    }
}

int TCategory::Index() const
{
    return FCollection ? static_cast<int>(FCollection->FItems.indexOf(this)) : -1;
}

void TCategory::SetIndex(int Value)
{
    if (FCollection) {
        FCollection->Move(Index(), Value);
    }
}

void TCategory::Assign(const TCategory& Source)
{
    if (&Source == this) {
        return;
    }
    // One notification for the whole copy.
    if (FCollection) {
        FCollection->BeginUpdate();
    }
    SetCaption(Source.FCaption);
    SetImageIndex(Source.FImageIndex);
    SetVisible(Source.FVisible);
    if (FCollection) {
        FCollection->EndUpdate();
    }
}

void TCategory::Changed(bool AllItems)
{
    if (FCollection) {
        FCollection->ItemChanged(this, AllItems);
    }
}

// ---------------------------------------------------------------------------------------------------
// TCategories

TCategories::TCategories(QObject* Parent) : QObject(Parent) {}

TCategories::~TCategories()
{
    // Going away tells nobody.
    FChooser = nullptr;
    qDeleteAll(FItems);
}

TCategory* TCategories::Items(int Index) const
{
    return Index >= 0 && Index < Count() ? FItems.at(Index) : nullptr;
}

TCategory* TCategories::Add()
{
    return Insert(Count());
}

TCategory* TCategories::Insert(int Index)
{
    if (Count() >= MaxCount) {
        return nullptr;
    }
    auto* Item = new TCategory(this);
    FItems.insert(std::clamp(Index, 0, Count()), Item);
    Changed();
    return Item;
}

void TCategories::Delete(int Index)
{
    if (Index < 0 || Index >= Count()) {
        return;
    }
    TCategory* Item = FItems.takeAt(Index);
    delete Item;
    Changed();
}

void TCategories::Clear()
{
    if (FItems.isEmpty()) {
        return;
    }
    const QList<TCategory*> Old = std::exchange(FItems, {});
    qDeleteAll(Old);
    Changed();
}

void TCategories::Assign(const TCategories& Source)
{
    // Copying a list onto itself would empty it first.
    if (&Source == this) {
        return;
    }
    BeginUpdate();
    const QList<TCategory*> Old = std::exchange(FItems, {});
    qDeleteAll(Old);
    for (const TCategory* From : Source.FItems) {
        if (TCategory* Item = Add()) {
            Item->FCaption = From->FCaption;
            Item->FImageIndex = From->FImageIndex;
            Item->FVisible = From->FVisible;
        }
    }
    EndUpdate();
}

void TCategories::BeginUpdate()
{
    ++FUpdateCount;
}

void TCategories::EndUpdate()
{
    if (FUpdateCount > 0) {
        --FUpdateCount;
    }
    Changed();
}

void TCategories::Update(TCategory* Item)
{
    if (!FChooser) {
        return;
    }
    if (Item) {
        FChooser->CategoryChanged(Item);
    } else {
        FChooser->CategoriesChanged();
    }
}

void TCategories::Changed()
{
    if (FUpdateCount == 0) {
        Update(nullptr);
    }
}

void TCategories::ItemChanged(TCategory* Item, bool AllItems)
{
    if (FUpdateCount == 0) {
        Update(AllItems ? nullptr : Item);
    }
}

void TCategories::Move(int From, int To)
{
    if (From < 0 || From >= Count()) {
        return;
    }
    To = std::clamp(To, 0, Count() - 1);
    if (From == To) {
        return;
    }
    FItems.move(From, To);
    Changed();
}

// ---------------------------------------------------------------------------------------------------
// Layout and hit-testing

namespace {

// Tab sizes come from properties without range checks; the products must not overflow.
int Saturated(qint64 Value)
{
    return static_cast<int>(
        std::clamp<qint64>(Value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The tab of category Index when K visible categories come before it.
TTabRect TabRectAt(const TCategoryChooser::TLayout& Layout, int Index, int K)
{
    TTabRect R;
    if (Layout.ViewStyle == TCategoryChooser::cvsHorizontal) {
        R.Left = Saturated(qint64(K) * Layout.TabWidth);
        R.Right = Saturated(qint64(R.Left) + Layout.TabWidth);
        R.Top = 0;
        R.Bottom = Saturated(qint64(Layout.TabHeight) + 1);
    } else {
        R.Left = 0;
        R.Right = Layout.Width;
        R.Top = Saturated(qint64(K) * Layout.TabHeight + (Index > 0 ? 1 : 0));
        R.Bottom = Saturated((qint64(K) + 1) * Layout.TabHeight);
    }
    return R;
}

// A line as the framework draws it with a one-pixel pen: from the first point up to, but not
// including, the second. Only horizontal and vertical lines occur.
void DrawLine(QPainter& Painter, const QColor& Color, int X1, int Y1, int X2, int Y2)
{
    if (Y1 == Y2 && X1 != X2) {
        const int From = X1 < X2 ? X1 : X2 + 1;
        Painter.fillRect(QRect(From, Y1, std::abs(X2 - X1), 1), Color);
    } else if (X1 == X2 && Y1 != Y2) {
        const int From = Y1 < Y2 ? Y1 : Y2 + 1;
        Painter.fillRect(QRect(X1, From, 1, std::abs(Y2 - Y1)), Color);
    }
}

const QString Ellipsis = QStringLiteral("...");

} // namespace

TTabRect TCategoryChooser::TabRectOf(const TLayout& Layout, int Index)
{
    const int Below = std::clamp(Index, 0, static_cast<int>(Layout.Visible.size()));
    const int K =
        static_cast<int>(std::count(Layout.Visible.cbegin(), Layout.Visible.cbegin() + Below, true));
    return TabRectAt(Layout, Index, K);
}

int TCategoryChooser::TabAtOf(const TLayout& Layout, int X, int Y)
{
    int K = 0;
    for (int I = 0; I < Layout.Visible.size(); ++I) {
        if (!Layout.Visible.at(I)) {
            continue;
        }
        if (TabRectAt(Layout, I, K).Contains(X, Y)) {
            return I;
        }
        ++K;
    }
    return -1;
}

bool TCategoryChooser::PointInTabs(const TLayout& Layout, int X, int Y)
{
    const auto Last = std::find(Layout.Visible.crbegin(), Layout.Visible.crend(), true);
    if (Last == Layout.Visible.crend()) {
        return false;
    }
    const int Index = static_cast<int>(Layout.Visible.crend() - Last) - 1;
    const TTabRect R = TabRectOf(Layout, Index);
    return X >= 0 && Y >= 0 && X <= R.Right && Y <= R.Bottom;
}

QString TCategoryChooser::EllipsisText(const QString& Text, int MaxWidth, const TTextWidthFunc& TextWidth)
{
    if (TextWidth(Text) <= MaxWidth) {
        return Text;
    }
    // The longest start of the text that fits with the ellipsis; widths grow with the length.
    qsizetype Low = 0;
    qsizetype High = Text.size() - 1;
    while (Low < High) {
        const qsizetype Mid = (Low + High + 1) / 2;
        if (TextWidth(Text.left(Mid) + Ellipsis) <= MaxWidth) {
            Low = Mid;
        } else {
            High = Mid - 1;
        }
    }
    // Never cut a surrogate pair in two.
    if (Low > 0 && Text.at(Low - 1).isHighSurrogate()) {
        --Low;
    }
    return Text.left(Low) + Ellipsis;
}

std::optional<int> TCategoryChooser::ReselectIndex(const QList<bool>& Visible, int Selected)
{
    const int Count = static_cast<int>(Visible.size());
    if (Count == 0) {
        return std::nullopt;
    }
    const int S = Selected < 0 || Selected >= Count ? 0 : Selected;
    if (Visible.at(S)) {
        return S != Selected ? std::optional<int>(S) : std::nullopt;
    }
    for (int I = S; I >= 0; --I) {
        if (Visible.at(I)) {
            return I;
        }
    }
    for (int I = S; I < Count; ++I) {
        if (Visible.at(I)) {
            return I;
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------------
// TCategoryChooser

TCategoryChooser::TCategoryChooser(QWidget* Parent, const QString& Name) : TControl(Parent, Name)
{
    FCatList = new TCategories(this);
    FCatList->FChooser = this;
    TFont* Canvas = Font();
    Canvas->SetName(QStringLiteral("Arial"));
    Canvas->SetSize(8);
    Canvas->SetStyle(TFont::fsBold);
    Canvas->SetColor(clWindowText);
    TControl::SetTransparent(true);
    SetBounds(Left(), Top(), 100, 200);
}

TCategoryChooser::~TCategoryChooser()
{
    FCatList->FChooser = nullptr;
}

void TCategoryChooser::SetCatList(TCategories* Value)
{
    if (Value) {
        FCatList->Assign(*Value);
    }
    update();
}

void TCategoryChooser::SetBackgroundColor(int Value)
{
    FBackgroundColor = Value;
    update();
}

void TCategoryChooser::SetActiveColor(int Value)
{
    FActiveColor = Value;
    update();
}

void TCategoryChooser::SetTabImage(const QString& Value)
{
    FTabImage = Value;
    LoadTabPicture(FTabPicture, Value);
    update();
}

void TCategoryChooser::SetFocusedTabImage(const QString& Value)
{
    FFocusedTabImage = Value;
    LoadTabPicture(FFocusedTabPicture, Value);
    update();
}

void TCategoryChooser::LoadTabPicture(std::unique_ptr<TPicture>& Picture, const QString& FileName)
{
    if (!Picture) {
        Picture = std::make_unique<TPicture>();
    }
    // A file that cannot be read keeps the picture shown so far.
    Picture->LoadFromFile(FileName);
}

void TCategoryChooser::SetTabWidth(int Value)
{
    FTabWidth = Value;
    update();
}

void TCategoryChooser::SetTabHeight(int Value)
{
    FTabHeight = Value;
    update();
}

void TCategoryChooser::SetSelectedCat(int Value)
{
    FSelectedCat = Value;
    FHighlighted = Value;
    DoCategoryChange();
    update();
}

void TCategoryChooser::SetViewStyle(TCatViewStyle Value)
{
    if (FViewStyle != Value) {
        FViewStyle = Value;
        update();
    }
}

void TCategoryChooser::SetImages(TImageList* Value)
{
    if (FImages != Value) {
        if (FImages) {
            disconnect(FImages, nullptr, this, nullptr);
        }
        FImages = Value;
        // New or changed icons show at once.
        if (FImages) {
            connect(FImages, &TImageList::Changed, this, qOverload<>(&QWidget::update));
        }
        update();
    }
}

void TCategoryChooser::SetTransparent(bool Value)
{
    if (Transparent() != Value) {
        TControl::SetTransparent(Value);
    }
}

void TCategoryChooser::DoCategoryChange()
{
    if (OnCategoryChange) {
        OnCategoryChange(this);
    }
}

TCategoryChooser::TLayout TCategoryChooser::Layout() const
{
    TLayout Result;
    Result.ViewStyle = FViewStyle;
    Result.TabWidth = FTabWidth;
    Result.TabHeight = FTabHeight;
    Result.Width = Width();
    Result.Visible.reserve(FCatList->Count());
    for (const TCategory* Item : FCatList->FItems) {
        Result.Visible.append(Item->Visible());
    }
    return Result;
}

TTabRect TCategoryChooser::GetTabRect(int Index) const
{
    return TabRectOf(Layout(), Index);
}

int TCategoryChooser::TabAt(int X, int Y) const
{
    return TabAtOf(Layout(), X, Y);
}

bool TCategoryChooser::MouseInTabs(int X, int Y) const
{
    return PointInTabs(Layout(), X, Y);
}

int TCategoryChooser::TextWidth(const QString& Text) const
{
    if (FTextWidth) {
        return FTextWidth(Text);
    }
    return QFontMetrics(Font()->ToQFont()).horizontalAdvance(Text);
}

TTabRect TCategoryChooser::TextRect(int Index) const
{
    TTabRect T = GetTabRect(Index);
    T.Right -= 2;
    if (const TImageList* List = Images()) {
        T.Left += List->Width() + 4;
    }
    T.Left += 6;
    return T;
}

QString TCategoryChooser::TabText(int Index) const
{
    const TCategory* Item = FCatList->Items(Index);
    if (!Item) {
        return {};
    }
    return EllipsisText(Item->Caption(), TextRect(Index).Width(),
                        [this](const QString& Text) { return TextWidth(Text); });
}

void TCategoryChooser::DrawTab(QPainter& Painter, int Index, TOwnerDrawState State) const
{
    const TCategory* Item = FCatList->Items(Index);
    if (!Item || !Item->Visible()) {
        return;
    }
    const TTabRect R = GetTabRect(Index);
    const bool Lit = State.testAnyFlags(TOwnerDrawState(odSelected | odFocused));
    const bool HasTabPicture = FTabPicture && FTabPicture->HasGraphic();

    // Background: the tab's picture at its own size, else a fill. A transparent chooser leaves
    // normal tabs unfilled.
    if (Lit && FFocusedTabPicture && FFocusedTabPicture->HasGraphic()) {
        FFocusedTabPicture->Draw(
            Painter, QRectF(R.Left, R.Top, FFocusedTabPicture->Width(), FFocusedTabPicture->Height()), false);
    } else if (!Lit && HasTabPicture) {
        FTabPicture->Draw(Painter, QRectF(R.Left, R.Top, FTabPicture->Width(), FTabPicture->Height()), false);
    } else if (Lit || !Transparent()) {
        Painter.fillRect(R.FillRect(), ColorToRGB(Lit ? FActiveColor : FBackgroundColor));
    }

    if (const TImageList* List = Images()) {
        const int ImageIndex = Item->ImageIndex();
        if (ImageIndex >= 0 && ImageIndex < List->Count()) {
            List->Draw(Painter, R.Left + 4, R.Top + (FTabHeight - List->Height()) / 2, ImageIndex);
        }
    }

    const TTabRect T = TextRect(Index);
    if (T.Width() > 0 && T.Height() > 0) {
        Painter.save();
        Painter.setFont(Font()->ToQFont());
        Painter.setPen(ColorToRGB(Font()->Color()));
        Painter.setBrush(Qt::NoBrush);
        Painter.drawText(T.FillRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, TabText(Index));
        Painter.restore();
    }

    if (!HasTabPicture) {
        const QColor Line = ColorToRGB(FLineColor);
        if (FViewStyle == cvsVertical) {
            if (Index == 0) {
                DrawLine(Painter, Line, R.Left, R.Top, R.Right, R.Top);
            }
            DrawLine(Painter, Line, R.Left, R.Bottom, R.Right, R.Bottom);
        } else {
            if (Index == 0) {
                DrawLine(Painter, Line, R.Left, R.Top, R.Left, R.Bottom);
            }
            DrawLine(Painter, Line, R.Right - 1, R.Top, R.Right - 1, R.Bottom);
        }
    }
}

void TCategoryChooser::Paint(QPainter& Painter)
{
    if (!Visible()) {
        return;
    }
    for (int I = 0; I < FCatList->Count(); ++I) {
        DrawTab(Painter, I, I == FHighlighted ? TOwnerDrawState(odFocused) : TOwnerDrawState(odDefault));
    }
}

void TCategoryChooser::paintEvent(QPaintEvent* Event)
{
    Q_UNUSED(Event);
    // Only the tabs are painted, opaque or not: between and after them the parent shows through.
    QPainter Painter(this);
    Paint(Painter);
}

void TCategoryChooser::RestoreHighlight()
{
    FHighlighted = FSelectedCat;
    update();
}

void TCategoryChooser::MouseMove(TShiftState Shift, int X, int Y)
{
    TControl::MouseMove(Shift, X, Y);
    const bool Inside = MouseInTabs(X, Y);
    const int Wanted = Inside ? FFocusedCursor : crDefault;
    if (Cursor() != Wanted) {
        SetCursor(Wanted);
    }
    const int I = TabAt(X, Y);
    if (I != FHighlighted) {
        if (Inside) {
            FHighlighted = I;
            update();
        } else if (!FWasOutside) {
            RestoreHighlight();
        }
    }
    FWasOutside = !MouseInTabs(X, Y);
}

void TCategoryChooser::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TControl::MouseUp(Button, Shift, X, Y);
    const int I = TabAt(X, Y);
    if (I < 0) {
        return;
    }
    // A click without a hover before it (a touch) still shows the chosen tab lit.
    if (FHighlighted != I) {
        FHighlighted = I;
        update();
    }
    const int Old = FSelectedCat;
    FSelectedCat = I;
    if (I != Old) {
        DoCategoryChange();
    }
}

void TCategoryChooser::MouseLeave()
{
    TControl::MouseLeave();
    RestoreHighlight();
}

void TCategoryChooser::CategoryChanged(TCategory* Item)
{
    Q_UNUSED(Item);
    update();
}

void TCategoryChooser::CategoriesChanged()
{
    QList<bool> Visible;
    Visible.reserve(FCatList->Count());
    for (const TCategory* Item : FCatList->FItems) {
        Visible.append(Item->Visible());
    }
    if (const std::optional<int> Index = ReselectIndex(Visible, FSelectedCat)) {
        SetSelectedCat(*Index);
    }
    update();
}
