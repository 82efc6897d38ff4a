#pragma once

#include "Control.h"
#include "ImageList.h"
#include "Picture.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class TCategories;
class TCategoryChooser;

// One tab of a category chooser. Changing a field tells the collection: the caption and the image
// index as a change of this tab alone, the visibility as a change of the whole list.
class TCategory : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

public:
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Hidden categories take no place, are not drawn and cannot be clicked.
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    TCategories* Collection() const { return FCollection; }
    // The position in the collection.
    int Index() const;
    // Moves the category to another position (brought within range); a change of the whole list.
    void SetIndex(int Value);
    // Copies caption, image index and visibility.
    void Assign(const TCategory& Source);

private:
    friend class TCategories;
    explicit TCategory(TCategories* ACollection);
    void Changed(bool AllItems);

    TCategories* FCollection = nullptr;
    QString FCaption;
    int FImageIndex = -1;
    bool FVisible = true;
};

// The owned list of a chooser's categories. Every change reaches the chooser at once, or once at the
// outermost EndUpdate when it happens between BeginUpdate and EndUpdate.
class TCategories : public QObject
{
    Q_OBJECT

public:
    // A collection of its own (no chooser is told of its changes).
    explicit TCategories(QObject* Parent = nullptr);
    ~TCategories() override;
    Q_DISABLE_COPY_MOVE(TCategories)

    TCategoryChooser* Chooser() const { return FChooser; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // The category at Index, nullptr out of range.
    TCategory* Items(int Index) const;
    TCategory* operator[](int Index) const { return Items(Index); }
    // Appends a new category (caption empty, image index -1, visible).
    TCategory* Add();
    // Inserts a new category at Index (brought within 0..Count).
    TCategory* Insert(int Index);
    // Out-of-range indexes are ignored.
    void Delete(int Index);
    void Clear();
    // Replaces the content with copies of Source's categories, as one change.
    void Assign(const TCategories& Source);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Most categories a list holds; Add and Insert give nullptr beyond it.
    static constexpr int MaxCount = 4096;

protected:
    // Item is the one category that changed, or nullptr for a change of the whole list.
    virtual void Update(TCategory* Item);

private:
    friend class TCategory;
    friend class TCategoryChooser;
    void Changed();
    void ItemChanged(TCategory* Item, bool AllItems);
    void Move(int From, int To);

    TCategoryChooser* FChooser = nullptr;
    QList<TCategory*> FItems;
    int FUpdateCount = 0;
};

// A rectangle as the framework's drawing routines take it: Right and Bottom lie one past the last
// pixel that a fill covers.
struct TTabRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    // Hit-testing counts the right and bottom borders as inside.
    bool Contains(int X, int Y) const { return X >= Left && X <= Right && Y >= Top && Y <= Bottom; }
    // The pixels a fill covers.
    QRect FillRect() const { return {Left, Top, Right - Left, Bottom - Top}; }
    bool operator==(const TTabRect&) const = default;
};

// A painted strip of tabs ("categories") laid out one under another or side by side. A tab lights
// up under the mouse; a click selects it and reports the change through OnCategoryChange. The tabs
// can be skinned with pictures for the normal and the highlighted tab.
class TCategoryChooser : public TControl
{
    Q_OBJECT
    Q_PROPERTY(TCategories* CatList READ CatList WRITE SetCatList)
    Q_PROPERTY(int BackgroundColor READ BackgroundColor WRITE SetBackgroundColor)
    Q_PROPERTY(int ActiveColor READ ActiveColor WRITE SetActiveColor)
    Q_PROPERTY(int FocusedCursor READ FocusedCursor WRITE SetFocusedCursor)
    Q_PROPERTY(QString TabImage READ TabImage WRITE SetTabImage)
    Q_PROPERTY(QString FocusedTabImage READ FocusedTabImage WRITE SetFocusedTabImage)
    Q_PROPERTY(int LineColor READ LineColor WRITE SetLineColor)
    Q_PROPERTY(int TabWidth READ TabWidth WRITE SetTabWidth)
    Q_PROPERTY(int TabHeight READ TabHeight WRITE SetTabHeight)
    Q_PROPERTY(int SelectedCat READ SelectedCat WRITE SetSelectedCat)
    Q_PROPERTY(TCatViewStyle ViewStyle READ ViewStyle WRITE SetViewStyle)

public:
    enum TCatViewStyle
    {
        cvsVertical,
        cvsHorizontal
    };
    Q_ENUM(TCatViewStyle)

    // How a tab is to be drawn: the owner-draw flags that matter here. A tab counts as highlighted
    // with odSelected or odFocused.
    enum TOwnerDrawStateFlag
    {
        odSelected = 0x1,
        odFocused = 0x10,
        odDefault = 0x20
    };
    Q_DECLARE_FLAGS(TOwnerDrawState, TOwnerDrawStateFlag)

    // The width of a text in the chooser's font.
    using TTextWidthFunc = std::function<int(const QString& Text)>;

    // What the layout and hit-testing depend on.
    struct TLayout
    {
        TCatViewStyle ViewStyle = cvsVertical;
        int TabWidth = 50;
        int TabHeight = 24;
        int Width = 100;     // the chooser's width; a vertical tab spans it
        QList<bool> Visible; // per category
    };

    explicit TCategoryChooser(QWidget* Parent = nullptr, const QString& Name = {});
    ~TCategoryChooser() override;

    TCategories* CatList() const { return FCatList; }
    // Copies the given categories into the own list.
    void SetCatList(TCategories* Value);
    int BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(int Value);
    int ActiveColor() const { return FActiveColor; }
    void SetActiveColor(int Value);
    int FocusedCursor() const { return FFocusedCursor; }
    void SetFocusedCursor(int Value) { FFocusedCursor = Value; }
    QString TabImage() const { return FTabImage; }
    // Stores the name and loads the picture from that file; a file that cannot be read leaves the
    // picture as it was.
    void SetTabImage(const QString& Value);
    QString FocusedTabImage() const { return FFocusedTabImage; }
    void SetFocusedTabImage(const QString& Value);
    // The pictures loaded from TabImage and FocusedTabImage; nullptr until a name was set.
    const TPicture* TabPicture() const { return FTabPicture.get(); }
    const TPicture* FocusedTabPicture() const { return FFocusedTabPicture.get(); }
    // The colour of the separator lines.
    int LineColor() const { return FLineColor; }
    void SetLineColor(int Value) { FLineColor = Value; }
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    // The tab drawn highlighted: the one under the mouse, else the selected one.
    int Highlighted() const { return FHighlighted; }
    int SelectedCat() const { return FSelectedCat; }
    // Selects and highlights Value and always reports a change, even for the current selection.
    void SetSelectedCat(int Value);
    // The mouse was outside the tab area at the last mouse move.
    bool WasOutside() const { return FWasOutside; }
    TCatViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TCatViewStyle Value);
    // The icons of the tabs; not owned (a destroyed list counts as none).
    TImageList* Images() const { return FImages.data(); }
    void SetImages(TImageList* Value);
    void SetTransparent(bool Value) override;

    // Replaces how captions are measured (the font's metrics when empty).
    void SetTextWidthFunc(TTextWidthFunc Value) { FTextWidth = std::move(Value); }

    // Called with the chooser as sender when the selection changes.
    TNotifyEvent OnCategoryChange;

    TLayout Layout() const;
    TTabRect GetTabRect(int Index) const;
    // The first visible category whose tab contains the point, borders included; -1 when none.
    int TabAt(int X, int Y) const;
    // Whether the point lies within (0, 0) and the bottom-right corner of the last visible tab,
    // borders included; false when no category is visible.
    bool MouseInTabs(int X, int Y) const;
    // Where the caption of a tab is drawn, and the text drawn there (ellipsis included).
    TTabRect TextRect(int Index) const;
    QString TabText(int Index) const;

    // The layout and hit-testing rules themselves.
    static TTabRect TabRectOf(const TLayout& Layout, int Index);
    static int TabAtOf(const TLayout& Layout, int X, int Y);
    static bool PointInTabs(const TLayout& Layout, int X, int Y);
    // The caption as it fits into MaxWidth: whole, or cut with "..." at the end.
    static QString EllipsisText(const QString& Text, int MaxWidth, const TTextWidthFunc& TextWidth);
    // The category to select after a change of the whole list, or no value when the selection stays:
    // the selected one when visible (no value when it is already selected), else the nearest visible
    // one before it, else the nearest after it.
    static std::optional<int> ReselectIndex(const QList<bool>& Visible, int Selected);

protected:
    virtual void DoCategoryChange();
    void Paint(QPainter& Painter) override;
    void paintEvent(QPaintEvent* Event) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    void DrawTab(QPainter& Painter, int Index, TOwnerDrawState State) const;
    void RestoreHighlight();

private:
    friend class TCategories;
    // Reactions of the owned list to its changes.
    void CategoryChanged(TCategory* Item);
    void CategoriesChanged();
    void LoadTabPicture(std::unique_ptr<TPicture>& Picture, const QString& FileName);
    int TextWidth(const QString& Text) const;

    TCategories* FCatList = nullptr;
    int FBackgroundColor = 0xF0CAA6; // clSkyBlue
    int FActiveColor = 0xFFFFFF;     // clWhite
    int FFocusedCursor = -21;        // crHandPoint
    QString FTabImage;
    QString FFocusedTabImage;
    std::unique_ptr<TPicture> FTabPicture;
    std::unique_ptr<TPicture> FFocusedTabPicture;
    int FTabWidth = 50;
    int FTabHeight = 24;
    int FHighlighted = 0;
    int FSelectedCat = 0;
    bool FWasOutside = false;
    QPointer<TImageList> FImages;
    TCatViewStyle FViewStyle = cvsVertical;
    int FLineColor = 0; // clBlack
    TTextWidthFunc FTextWidth;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TCategoryChooser::TOwnerDrawState)

using TCatViewStyle = TCategoryChooser::TCatViewStyle;
inline constexpr TCatViewStyle cvsVertical = TCategoryChooser::cvsVertical;
inline constexpr TCatViewStyle cvsHorizontal = TCategoryChooser::cvsHorizontal;
