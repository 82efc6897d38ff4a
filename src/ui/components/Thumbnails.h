#pragma once

#include "PreviewImages.h"
#include "ThumbnailFrame.h"

#include "Control.h"
#include "OwnerDraw.h"
#include "ScrollBar.h"

#include <QPointer>
#include <QStringList>

class QThreadPool;

#include <functional>

// Pixels the strip scrolls for one position of its scroll bar.
inline constexpr int ThumbnailScrollStep = 15;
// Width of the strip's vertical scroll bar (the framework's standard width).
inline constexpr int ThumbnailScrollBarWidth = 17;

// Lays the previews out in a grid for a strip of Width x Height with ImageWidth x ImageHeight boxes:
// sets every preview's ImageRect and FrameRect (unscrolled). The width for the columns shrinks by
// ScrollBarWidth + 4 when the rows do not fit the height; Close keeps the horizontal gaps between
// the frames. Returns false (nothing changed) when there are no previews, a size is not positive or
// not even one column fits.
bool CalcThumbnailLayout(TPreviewImages& Previews, int Width, int Height, int ImageWidth, int ImageHeight,
                         int ScrollBarWidth, bool Close);

// The index of the first preview whose FrameRect, moved down by ScrollOffset and shrunk by 3 pixels
// on every side, contains (X, Y), borders included; -1 when none.
int ThumbIndexAt(const TPreviewImages& Previews, int ScrollOffset, int X, int Y);

// The bottom of the last preview's FrameRect (exclusive, unscrolled); 0 without previews.
int LastFrameBottom(const TPreviewImages& Previews);

// The scroll bar's maximum for previews reaching down to LastBottom in a strip Height high: 0 when
// they fit, else Ceil((LastBottom - Height) / 15) + 1.
int ThumbnailScrollMaximum(int LastBottom, int Height);

// The scroll bar position after a wheel turn of Delta (positive: up) from Position, or -1 when that
// would leave 0..Maximum. A turn of 0 goes nowhere.
int ThumbnailWheelPosition(int Position, int Maximum, int Delta);

// The outline of a preview's frame: FrameRect shrunk by 3 pixels on every side, moved down by
// ScrollOffset (exclusive right and bottom, as FrameRect).
QRect ThumbnailFrameOutline(const QRect& FrameRect, int ScrollOffset);

// A grid of small previews of picture files with a frame around each. It scrolls vertically with its
// own scroll bar (a sibling along its right edge) and the mouse wheel, lights up the preview under
// the mouse and reports a left press on a preview by its index. Fill it with Previews().Clear(),
// AddImage (or AddImages) for each file and one Arrange. Without previews it takes no mouse or wheel
// input: that goes to whatever lies under it.
class TThumbnails : public TControl
{
    Q_OBJECT
    Q_PROPERTY(TThumbnailFrame* ThumbnailFrame READ ThumbnailFrame)
    Q_PROPERTY(int ImageWidth READ ImageWidth WRITE SetImageWidth)
    Q_PROPERTY(int ImageHeight READ ImageHeight WRITE SetImageHeight)
    Q_PROPERTY(bool GoodQuality READ GoodQuality WRITE SetGoodQuality)
    Q_PROPERTY(int FocusedCursor READ FocusedCursor WRITE SetFocusedCursor)

public:
    using TThumbnailClickEvent = std::function<void(QObject* Sender, int Index)>;

    explicit TThumbnails(QWidget* Parent = nullptr, const QString& Name = {});
    ~TThumbnails() override;

    TPreviewImages& Previews() { return FPreviews; }
    const TPreviewImages& Previews() const { return FPreviews; }
    TThumbnailFrame* ThumbnailFrame() const { return FThumbnailFrame; }

    int ImageWidth() const { return FImageWidth; }
    void SetImageWidth(int Value);
    int ImageHeight() const { return FImageHeight; }
    void SetImageHeight(int Value);
    bool GoodQuality() const { return FGoodQuality; }
    void SetGoodQuality(bool Value);
    int FocusedCursor() const { return FFocusedCursor; }
    void SetFocusedCursor(int Value) { FFocusedCursor = Value; }

    int FocusedIndex() const { return FFocusedIndex; }
    // Vertical drawing offset in pixels: 0 or negative.
    int ScrollOffset() const { return FScrollOffset; }
    TScrollBar* ScrollBar() const { return FScrollBar; }
    bool ArrangeOnAdd() const { return FArrangeOnAdd; }
    void SetArrangeOnAdd(bool Value) { FArrangeOnAdd = Value; }

    // Adds a preview of FileName (a path in the project's notation or a native one) and returns its
    // index. A missing file gives a black preview. A file that cannot be read gives a black preview
    // too, and its reason in Error (empty on success); so does a picture whose filtered thumbnail
    // would have no pixels ("Source graphics is too small").
    int AddImage(const QString& FileName, QString* Error = nullptr);
    // Adds several files, their thumbnails built on all cores; the same as AddImage for each in order,
    // stopping at the first failure (whose preview is added). Returns false with its reason. With
    // ArrangeOnAdd, Arrange follows once.
    bool AddImages(const QStringList& FileNames, QString* Error = nullptr);
    // The same parallel path without waiting: adds a preview of each file at once, still without its
    // picture (its frame only), and returns; worker threads make the thumbnails, first file first,
    // and each is laid out and painted as soon as it is ready. A file that cannot be read gives a
    // black preview, as with AddImage. Clearing the previews, a new box size or quality and
    // destroying the strip drop the work not yet delivered. With ArrangeOnAdd, Arrange follows once.
    void AddImagesInBackground(const QStringList& FileNames);
    // Thumbnails of AddImagesInBackground not yet in place.
    int PendingImages() const { return FPending; }
    // What builds the thumbnails (on worker threads); empty: MakeThumbnail of the picture layer.
    void SetThumbnailMaker(TThumbnailMaker Maker) { FPreviews.Maker = std::move(Maker); }

    // Lays the previews out, shows the scroll bar when they do not fit, and paints at once.
    void Arrange();
    // Computes every preview's ImageRect and FrameRect for the current size and settings.
    void CalcLayout();
    // The preview at (X, Y) in control coordinates, or -1.
    int ThumbAt(int X, int Y) const;
    // Marks one preview for drawing in State (odFocused for the preview under the mouse, odDefault
    // otherwise); the strip paints it with its next paint.
    void DrawThumb(int Index, TOwnerDrawState State);
    // Draws one preview with Painter (the strip's canvas) in State.
    void PaintThumb(QPainter& Painter, int Index, TOwnerDrawState State) const;

    // Scrolls as a user's scroll to Position does: the scroll handler, then the scroll bar's position.
    void ScrollTo(int Position);

    TThumbnailClickEvent OnThumbnailClick;
    // A thumbnail of AddImagesInBackground is in place and painted with the strip's next paint.
    TThumbnailClickEvent OnThumbnailReady;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Paint(QPainter& Painter) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    bool event(QEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;

private:
    friend class TThumbnailFrame;
    void FrameColorChanged();
    void FocusedColorChanged();
    void FrameStyleChanged();
    void PreviewsCleared();
    void RebuildThumbnails();
    void PlaceScrollBar();
    void UpdateScrollBarVisibility();
    void ApplyScrollBarVisible();
    void ScrollBarScroll(int Position);
    void DropBackgroundWork();
    void ThumbnailMade(quint64 Generation, int Index, const QImage& Bitmap);
    void UpdateMouseThrough();

    TPreviewImages FPreviews;
    int FImageWidth = 100;
    int FImageHeight = 100;
    TThumbnailFrame* FThumbnailFrame = nullptr;
    bool FGoodQuality = false;
    int FFocusedIndex = -1;
    int FFocusedCursor = -21; // crHandPoint
    int FScrollOffset = 0;
    QPointer<TScrollBar> FScrollBar;
    bool FScrollBarVisible = true; // the scroll bar's Visible, shown once it has a parent
    bool FArrangeOnAdd = false;
    // The workers of AddImagesInBackground, made when first needed; results of an older generation
    // than FGeneration are dropped.
    QThreadPool* FPool = nullptr;
    quint64 FGeneration = 0;
    int FPending = 0;
};
