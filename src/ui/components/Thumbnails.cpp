#include "Thumbnails.h"

#include "Colors.h"
#include "CursorSlots.h"

#include <QEvent>
#include <QPainter>
#include <QThread>
#include <QThreadPool>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Rectangles are kept with exclusive right and bottom edges: x() + width() is the right edge.
QRect FromEdges(int Left, int Top, int Right, int Bottom)
{
    return QRect(Left, Top, Right - Left, Bottom - Top);
}

int RightOf(const QRect& R)
{
    return R.x() + R.width();
}

int BottomOf(const QRect& R)
{
    return R.y() + R.height();
}

} // namespace

bool CalcThumbnailLayout(TPreviewImages& Previews, int Width, int Height, int ImageWidth, int ImageHeight,
                         int ScrollBarWidth, bool Close)
{
    const int Count = Previews.Count();
    if (Count == 0 || Height <= 0 || ImageWidth <= 0 || ImageHeight <= 0) {
        return false;
    }
    const int CellW = ImageWidth + 16;
    const int CellH = ImageHeight + 16;
    auto Columns = [&](int Avail) { return std::min(Avail / CellW, Count); };
    int Avail = Width;
    int Cols = Columns(Avail);
    if (Cols <= 0) {
        return false;
    }
    const int Rows = (Count + Cols - 1) / Cols;
    if (qint64(Rows) * CellH > Height - 2) {
        Avail -= ScrollBarWidth + 4;
        // A strip that holds one column only beside the scroll bar keeps that column.
        Cols = std::max(1, Columns(Avail));
    }
    const int GapX = Avail / Cols - CellW;
    const int ColW = CellW + GapX;
    const int GapY = std::max(0, Height / Rows - CellH);
    const int RowH = CellH + GapY;

    int X = 0;
    int Y = 0;
    for (int K = 1; K <= Count; ++K) {
        TPreviewImage& Item = Previews[K - 1];
        const int L = X, T = Y, R = X + ColW, B = Y + RowH;
        const int DX = (ImageWidth - Item.Bitmap.width()) / 2 + (GapX + 16) / 2;
        const int DY = (ImageHeight - Item.Bitmap.height()) / 2 + (GapY + 16) / 2;
        Item.ImageRect = FromEdges(L + DX, T + DY, R - DX, B - DY);
        const int FX = Close ? GapX / 2 : 0;
        Item.FrameRect = FromEdges(L + FX, T + GapY / 2, R - FX, B - GapY / 2);
        if (K % Cols == 0) {
            X = 0;
            Y += RowH;
        } else {
            X += ColW;
        }
    }
    return true;
}

int ThumbIndexAt(const TPreviewImages& Previews, int ScrollOffset, int X, int Y)
{
    for (int I = 0; I < Previews.Count(); ++I) {
        const QRect& R = Previews[I].FrameRect;
        if (X >= R.x() + 3 && X <= RightOf(R) - 3 && Y >= R.y() + ScrollOffset + 3 &&
            Y <= BottomOf(R) + ScrollOffset - 3) {
            return I;
        }
    }
    return -1;
}

int LastFrameBottom(const TPreviewImages& Previews)
{
    return Previews.Count() > 0 ? BottomOf(Previews[Previews.Count() - 1].FrameRect) : 0;
}

int ThumbnailScrollMaximum(int LastBottom, int Height)
{
    if (LastBottom <= Height) {
        return 0;
    }
    return int((qint64(LastBottom) - Height + ThumbnailScrollStep - 1) / ThumbnailScrollStep) + 1;
}

int ThumbnailWheelPosition(int Position, int Maximum, int Delta)
{
    if (Delta == 0) {
        return -1;
    }
    const int P = Position + (Delta > 0 ? -1 : 1);
    return P >= 0 && P <= Maximum ? P : -1;
}

QRect ThumbnailFrameOutline(const QRect& FrameRect, int ScrollOffset)
{
    return FromEdges(FrameRect.x() + 3, FrameRect.y() + 3 + ScrollOffset, RightOf(FrameRect) - 3,
                     BottomOf(FrameRect) - 3 + ScrollOffset);
}

TThumbnails::TThumbnails(QWidget* Parent, const QString& Name) : TControl(Parent, Name)
{
    // The parent shows through between the previews.
    SetTransparent(true);
    FThumbnailFrame = new TThumbnailFrame(this);
    FPreviews.OnClear = [this](TPreviewImages*) { PreviewsCleared(); };

    FScrollBar = new TScrollBar(parentWidget());
    FScrollBar->SetKind(TScrollBar::sbVertical);
    FScrollBar->SetTabStop(false);
    FScrollBar->OnScroll = [this](QObject*, TScrollBar::TScrollCode, int& Position) {
        ScrollBarScroll(Position);
    };
    PlaceScrollBar();
    FScrollBarVisible = true;
    ApplyScrollBarVisible();
    UpdateMouseThrough();
}

TThumbnails::~TThumbnails()
{
    // A worker still making a thumbnail finishes before the strip goes; what it posts goes with the
    // strip.
    DropBackgroundWork();
    if (FPool) {
        FPool->waitForDone();
    }
    FPreviews.OnClear = nullptr;
    // The scroll bar lives in the parent but belongs to the strip.
    delete FScrollBar.data();
}

void TThumbnails::SetImageWidth(int Value)
{
    if (FImageWidth == Value) {
        return;
    }
    FImageWidth = Value;
    RebuildThumbnails();
    CalcLayout();
    Invalidate();
}

void TThumbnails::SetImageHeight(int Value)
{
    if (FImageHeight == Value) {
        return;
    }
    FImageHeight = Value;
    RebuildThumbnails();
    CalcLayout();
    Invalidate();
}

void TThumbnails::SetGoodQuality(bool Value)
{
    if (FGoodQuality == Value) {
        return;
    }
    FGoodQuality = Value;
    RebuildThumbnails();
    Invalidate();
}

void TThumbnails::RebuildThumbnails()
{
    // Everything is made again here, also what the workers had not delivered.
    DropBackgroundWork();
    // A setter has nobody to tell of a picture that cannot be read: its preview stays black.
    FPreviews.MakeThumbnails(FImageWidth, FImageHeight, FGoodQuality);
}

int TThumbnails::AddImage(const QString& FileName, QString* Error)
{
    QString Reason;
    const int Index = FPreviews.AddPreview(FileName, FImageWidth, FGoodQuality, FImageHeight, &Reason);
    if (Error) {
        *Error = Reason;
    }
    UpdateMouseThrough();
    if (Reason.isEmpty() && FArrangeOnAdd) {
        Arrange();
    }
    return Index;
}

bool TThumbnails::AddImages(const QStringList& FileNames, QString* Error)
{
    const bool Ok = FPreviews.AddPreviews(FileNames, FImageWidth, FGoodQuality, FImageHeight, Error);
    UpdateMouseThrough();
    if (FArrangeOnAdd) {
        Arrange();
    }
    return Ok;
}

void TThumbnails::AddImagesInBackground(const QStringList& FileNames)
{
    if (!FPool) {
        FPool = new QThreadPool(this);
        FPool->setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    }
    const int First = FPreviews.Count();
    for (const QString& FileName : FileNames) {
        FPreviews.Add().FileName = FileName;
    }
    FPending += int(FileNames.size());
    UpdateMouseThrough();
    const quint64 Generation = FGeneration;
    for (int I = 0; I < int(FileNames.size()); ++I) {
        // Each task owns what it reads; it reaches the strip only through the posted call, which is
        // dropped with the strip.
        FPool->start([this, Generation, Index = First + I, FileName = FileNames[I], Width = FImageWidth,
                      Height = FImageHeight, Good = FGoodQuality, Maker = FPreviews.Maker] {
            TPreviewImage Item;
            Item.FileName = FileName;
            Item.MakeThumbnail(Width, Height, Good, nullptr, Maker);
            QMetaObject::invokeMethod(
                this, [this, Generation, Index, Bitmap = std::move(Item.Bitmap)] {
                    ThumbnailMade(Generation, Index, Bitmap);
                },
                Qt::QueuedConnection);
        });
    }
    if (FArrangeOnAdd) {
        Arrange();
    }
}

void TThumbnails::ThumbnailMade(quint64 Generation, int Index, const QImage& Bitmap)
{
    if (Generation != FGeneration || Index < 0 || Index >= FPreviews.Count()) {
        return;
    }
    --FPending;
    FPreviews[Index].Bitmap = Bitmap;
    // The bitmap's size centres it in its cell; the cells themselves stay where they are.
    CalcLayout();
    DrawThumb(Index, Index == FFocusedIndex ? TOwnerDrawState(odFocused) : TOwnerDrawState(odDefault));
    if (OnThumbnailReady) {
        OnThumbnailReady(this, Index);
    }
}

void TThumbnails::DropBackgroundWork()
{
    ++FGeneration;
    FPending = 0;
    if (FPool) {
        FPool->clear();
    }
}

void TThumbnails::Arrange()
{
    UpdateMouseThrough();
    CalcLayout();
    if (!FScrollBar) {
        Repaint();
        return;
    }
    const int Bottom = LastFrameBottom(FPreviews);
    FScrollBarVisible = FPreviews.Count() > 0 && Bottom > Height() && !isHidden();
    ApplyScrollBarVisible();
    // The maximum always follows the previews, so that the wheel cannot scroll previews that fit
    // (or stop short of a new, longer list) while the scroll bar is hidden. A position the new
    // maximum cuts back takes the offset along.
    FScrollBar->SetMax(ThumbnailScrollMaximum(Bottom, Height()));
    FScrollOffset = -FScrollBar->Position() * ThumbnailScrollStep;
    Repaint();
}

void TThumbnails::CalcLayout()
{
    const int BarWidth = FScrollBar ? FScrollBar->Width() : ThumbnailScrollBarWidth;
    CalcThumbnailLayout(FPreviews, Width(), Height(), FImageWidth, FImageHeight, BarWidth,
                        FThumbnailFrame->FrameStyle().testFlag(TThumbnailFrame::tfClose));
}

int TThumbnails::ThumbAt(int X, int Y) const
{
    return ThumbIndexAt(FPreviews, FScrollOffset, X, Y);
}

void TThumbnails::DrawThumb(int Index, TOwnerDrawState State)
{
    Q_UNUSED(State);
    if (Index < 0 || Index >= FPreviews.Count()) {
        return;
    }
    // Widgets paint only in their paint event: the preview's area is painted again, in the state
    // FocusedIndex gives it, which is the state callers pass.
    const TPreviewImage& Item = FPreviews[Index];
    update(Item.FrameRect.united(Item.ImageRect).translated(0, FScrollOffset));
}

void TThumbnails::PaintThumb(QPainter& Painter, int Index, TOwnerDrawState State) const
{
    if (Index < 0 || Index >= FPreviews.Count()) {
        return;
    }
    const TPreviewImage& Item = FPreviews[Index];
    const bool Focused = State.testFlag(odFocused);
    const TThumbnailFrame::TThumbnailFrameStyle Style = FThumbnailFrame->FrameStyle();
    const bool Frame =
        ((Style & (TThumbnailFrame::tfDefault | TThumbnailFrame::tfClose)) && State.testFlag(odDefault)) ||
        (Style.testFlag(TThumbnailFrame::tfFocused) && Focused);
    if (Frame) {
        const QRect R = ThumbnailFrameOutline(Item.FrameRect, FScrollOffset);
        if (R.width() > 0 && R.height() > 0) {
            const QColor Colour =
                ColorToRGB(Focused ? FThumbnailFrame->FocusedColor() : FThumbnailFrame->Color());
            // A one-pixel outline on the rectangle's own pixels.
            Painter.fillRect(R.x(), R.y(), R.width(), 1, Colour);
            Painter.fillRect(R.x(), R.y() + R.height() - 1, R.width(), 1, Colour);
            Painter.fillRect(R.x(), R.y(), 1, R.height(), Colour);
            Painter.fillRect(R.x() + R.width() - 1, R.y(), 1, R.height(), Colour);
        }
    }
    if (!Item.Bitmap.isNull()) {
        Painter.drawImage(Item.ImageRect.topLeft() + QPoint(0, FScrollOffset), Item.Bitmap);
    }
}

void TThumbnails::Paint(QPainter& Painter)
{
    const QRect Dirty = Painter.clipBoundingRect().toAlignedRect();
    const bool Clipped = Painter.hasClipping() && !Dirty.isEmpty();
    for (int I = 0; I < FPreviews.Count(); ++I) {
        const TPreviewImage& Item = FPreviews[I];
        if (Clipped &&
            !Dirty.intersects(Item.FrameRect.united(Item.ImageRect).translated(0, FScrollOffset))) {
            continue;
        }
        PaintThumb(Painter, I, I == FFocusedIndex ? TOwnerDrawState(odFocused) : TOwnerDrawState(odDefault));
    }
}

void TThumbnails::ScrollTo(int Position)
{
    if (!FScrollBar) {
        return;
    }
    ScrollBarScroll(Position);
    FScrollBar->SetPosition(Position);
}

void TThumbnails::ScrollBarScroll(int Position)
{
    // Runs before the scroll bar takes the new position.
    if (!FScrollBar) {
        return;
    }
    FScrollOffset += (FScrollBar->Position() - Position) * ThumbnailScrollStep;
    Invalidate();
}

void TThumbnails::PreviewsCleared()
{
    DropBackgroundWork();
    FScrollOffset = 0;
    if (FScrollBar) {
        FScrollBar->SetPosition(0);
    }
    FScrollBarVisible = false;
    ApplyScrollBarVisible();
    // No preview is under the mouse any more.
    FFocusedIndex = -1;
    UpdateMouseThrough();
    Invalidate();
}

void TThumbnails::UpdateMouseThrough()
{
    // An empty strip paints nothing, so what lies under it is what the user sees and points at: the
    // mouse and the wheel go through to it.
    setAttribute(Qt::WA_TransparentForMouseEvents, FPreviews.Count() == 0);
}

void TThumbnails::FrameColorChanged()
{
    Repaint();
}

void TThumbnails::FocusedColorChanged()
{
    if (FFocusedIndex > -1) {
        DrawThumb(FFocusedIndex, odFocused);
    }
}

void TThumbnails::FrameStyleChanged()
{
    CalcLayout();
    Invalidate();
}

void TThumbnails::PlaceScrollBar()
{
    if (!FScrollBar) {
        return;
    }
    FScrollBar->SetBounds(Left() + Width() - FScrollBar->Width(), Top(), FScrollBar->Width(), Height());
}

void TThumbnails::UpdateScrollBarVisibility()
{
    FScrollBarVisible = LastFrameBottom(FPreviews) > Height() && FPreviews.Count() > 0 && !isHidden();
    ApplyScrollBarVisible();
}

void TThumbnails::ApplyScrollBarVisible()
{
    // Without a parent the scroll bar would be a window of its own.
    if (!FScrollBar) {
        return;
    }
    FScrollBar->setVisible(FScrollBarVisible && FScrollBar->parentWidget() != nullptr);
}

void TThumbnails::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    PlaceScrollBar();
    CalcLayout();
    Invalidate();
}

void TThumbnails::moveEvent(QMoveEvent* Event)
{
    TControl::moveEvent(Event);
    PlaceScrollBar();
}

void TThumbnails::resizeEvent(QResizeEvent* Event)
{
    TControl::resizeEvent(Event);
    PlaceScrollBar();
    CalcLayout();
    Invalidate();
}

bool TThumbnails::event(QEvent* Event)
{
    const bool Result = TControl::event(Event);
    switch (Event->type()) {
    case QEvent::ParentChange:
        if (parentWidget() && FScrollBar) {
            FScrollBar->setParent(parentWidget());
            PlaceScrollBar();
            ApplyScrollBarVisible();
        }
        break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        UpdateScrollBarVisibility();
        break;
    default:
        break;
    }
    return Result;
}

void TThumbnails::MouseMove(TShiftState Shift, int X, int Y)
{
    TControl::MouseMove(Shift, X, Y);
    const int Index = ThumbAt(X, Y);
    const int Wanted = Index >= 0 ? FFocusedCursor : crDefault;
    if (Cursor() != Wanted) {
        SetCursor(Wanted);
    }
    if (Index != FFocusedIndex) {
        DrawThumb(FFocusedIndex, odDefault);
        FFocusedIndex = Index;
        if (Index > -1) {
            DrawThumb(Index, odFocused);
        }
    }
}

void TThumbnails::MouseLeave()
{
    TControl::MouseLeave();
    if (FFocusedIndex > -1) {
        DrawThumb(FFocusedIndex, odDefault);
        FFocusedIndex = -1;
    }
}

void TThumbnails::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && OnThumbnailClick) {
        const int Index = ThumbAt(X, Y);
        if (Index > -1) {
            OnThumbnailClick(this, Index);
        }
    }
}

void TThumbnails::wheelEvent(QWheelEvent* Event)
{
    // Only the vertical wheel scrolls; a sideways turn is left to the parent.
    const int Delta = Event->angleDelta().y();
    if (Delta == 0) {
        Event->ignore();
        return;
    }
    Event->accept();
    if (!FScrollBar) {
        return;
    }
    const int Position = ThumbnailWheelPosition(FScrollBar->Position(), FScrollBar->Max(), Delta);
    if (Position >= 0) {
        ScrollTo(Position);
    }
}
