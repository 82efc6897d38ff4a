#pragma once

#include "Form.h"
#include "SplashForm.h"
#include "WindowDrag.h"
#include "config/ControlsProps.h"

#include <QHash>
#include <QImage>
#include <QPoint>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class ISoundEngine;
class QMenu;
class TCategoryChooser;
class TImage;
class TImageList;
class TItem;
class TItemAction;
class TLabel;
class TMenuItem;
class TMusicPlayer;
class TPicture;
class TPopupMenu;
class TScreenshots;
class TSection;
class TShellActions;
class TThumbnails;
class TTreeNode;
class TTreeView;
class TVeltraneImage;
class TVeltraneText;

// What the main window is given from outside at creation.
struct TMainFEnvironment
{
    // The sound output; null: a real engine owned by the window.
    ISoundEngine* SoundEngine = nullptr;
    // Shows the splash for ShowTime seconds and returns whether it is up; null: the splash window of
    // the run.
    TShowSplash ShowSplash;
    // The watcher that re-reads "controls.ini"; no value: the platform's. An empty function watches
    // nothing.
    std::optional<TControlsPropsContainer::TWatcherFactory> ControlsWatcher;
};

// The main window: borderless and self-painted, dressed at creation from the design settings, the
// skin pictures of the "Shell" folder, the loaded project and "controls.ini". A picture title bar
// drags the window; the tree of sections and items is on the left; the title line, the tab strip and
// the text area (or one of two galleries) on the right; the toolbar under the text area; "options"
// and "exit" at the bottom right.
//
// The controls are public, as the window's published fields are. Creating the window loads the
// project (and builds the tree), decides on the splash and builds the skin.
class TMainF : public TForm
{
    Q_OBJECT

public:
    using TEnvironment = TMainFEnvironment;

    explicit TMainF(const TEnvironment& Environment = {}, QWidget* Parent = nullptr);
    ~TMainF() override;

    // --- Controls (in stacking order, bottom to top; the tree lies above all) ---
    TImage* TextBackground = nullptr;
    TImage* ToolBarImg = nullptr;
    TImage* TopImg = nullptr;
    TLabel* TitleLabel = nullptr;
    TImage* IcoImg = nullptr;
    TVeltraneImage* Btn2 = nullptr;  // "options"
    TVeltraneImage* Btn3 = nullptr;  // "exit"
    TVeltraneImage* Btn4 = nullptr;  // letter to the disc author
    TVeltraneImage* Btn5 = nullptr;  // intro
    TVeltraneImage* Btn6 = nullptr;  // browse the folder
    TVeltraneImage* Btn7 = nullptr;  // open the item
    TVeltraneImage* Btn8 = nullptr;  // install / execute the item
    TVeltraneImage* Btn10 = nullptr; // copy to the hard disk
    TVeltraneImage* Btn9 = nullptr;  // play music
    TVeltraneImage* Btn11 = nullptr; // spare: never shown
    TVeltraneImage* PreviewImg1 = nullptr;
    TVeltraneImage* PreviewImg2 = nullptr;
    TVeltraneImage* MinimizeBtn = nullptr;
    TVeltraneImage* CloseBtn = nullptr;
    TCategoryChooser* Tabs = nullptr;
    TVeltraneText* TextField = nullptr;
    TThumbnails* ImageGallery = nullptr;
    TThumbnails* ScreenshotsGallery = nullptr;
    TTreeView* ProjectTree = nullptr;
    TImageList* ImagesList = nullptr; // the window's six images, after the project's in TreeImages
    TImageList* TreeImages = nullptr;
    TPopupMenu* PMenu = nullptr;
    TMenuItem* CopyItem = nullptr;

    // --- State ---
    TSection* CurrentSection() const { return FCurrentSection; }
    TItem* CurrentItem() const { return FCurrentItem; }
    // True while the intro (the author's words) is on screen.
    bool IntroShown() const { return FIntroShown; }
    TTreeNode* LastCollapsedNode() const { return FLastCollapsed; }
    QString WallpaperFileName() const { return FWallpaperFileName; }
    const TPicture& WallpaperPicture() const { return *FWallpaperPicture; }
    // The music of the window (background, item music, the play command's state).
    TMusicPlayer& Music() { return *FMusic; }
    TControlsPropsContainer& ControlsProps() { return *FControlsProps; }
    // The work bitmap the last opacity pass composed on.
    const QImage& PaintBitmap() const { return FPaintBitmap; }
    // Folders of the skin pictures.
    static QString ImagesFolder();
    static QString ButtonsFolder();

    // --- Hooks to the windows and actions of other units; each does nothing while empty ---
    // Runs one action of the current item (the run button with one action, the play command).
    std::function<void(const TItemAction& Action)> OnExecuteItemAction;
    // Offers the current item's actions in the action chooser (modeless), for two or more actions.
    std::function<void()> OnChooseAction;
    // Shows the options window (modeless).
    std::function<void()> OnShowOptions;
    // Copies the current item's files to the hard disk.
    std::function<void(TItem& Item)> OnCopyFiles;
    // Hands a letter to the disc author to the mail program; set at creation to the letter unit's.
    std::function<void(const QString& Name, const QString& Address)> OnSendMail;
    // The picture viewer's two entries; set at creation to the viewer of the run.
    std::function<void(const TShellActions& List, int Index)> OnShowImageList;
    std::function<void(const TScreenshots& Screenshots, int Index)> OnShowScreenshotList;

    // --- Skin operations ---
    // Loads a skin button from ButtonsFolder(): the picture, the disabled picture, then enabled when
    // EnableIfLoaded and the button has its own picture (a disabled one alone does not count). Empty
    // or missing names are skipped.
    void LoadButtonPictures(TVeltraneImage* Button, const QString& PictureFile, const QString& DisabledFile,
                            bool EnableIfLoaded);
    // Writes a bold caption, centred, onto a fresh copy of the button's picture (the caption drawn
    // before is gone); nothing when the text, size and colour are those drawn last.
    void DrawBtnCaption(TVeltraneImage* Button, qint32 Color, const QString& Text, int Size = 11);
    // With [Options] BtnOpacity: the button composed at 0.55 opacity over the toolbar picture where
    // that lies under it; elsewhere the button keeps its own pixels.
    void ApplyBtnOpacity(TVeltraneImage* Button);
    // Shows FileName as the wallpaper; the same file (letter case aside) is neither reloaded nor
    // repainted; a missing file removes the wallpaper shown.
    void SetWallpaper(const QString& FileName);
    // Cuts the control to a rectangle with rounded corners.
    static void SetRoundedCorners(QWidget* Control, int Radius);
    // "controls.ini" was read: applies it and the window's own keys.
    void ControlsFileLoaded();

    // --- The tree and the presentation ---
    void BuildProjectTree();
    void ShowScreenshots(const TScreenshots& Screenshots);
    void ShowImageGallery(const TShellActions& Actions);

    // --- Handlers (the window's events and commands) ---
    void ProjectTreeChanging(QObject* Sender, TTreeNode* Node, bool& AllowChange);
    void ProjectTreeChange(QObject* Sender, TTreeNode* Node);
    void ProjectTreeCollapsed(QObject* Sender, TTreeNode* Node);
    void ProjectTreeExpanding(QObject* Sender, TTreeNode* Node, bool& AllowExpansion);
    void ProjectTreeDblClick(QObject* Sender);
    void ProjectTreeKeyDown(QObject* Sender, quint16& Key, TShiftState Shift);
    void TabsCategoryChange(QObject* Sender);
    void Btn2Click(QObject* Sender = nullptr);
    void Btn3Click(QObject* Sender = nullptr);
    void MinimizeBtnClick(QObject* Sender = nullptr);
    void Btn4Click(QObject* Sender = nullptr);
    void Btn5Click(QObject* Sender = nullptr);
    void Btn6Click(QObject* Sender = nullptr);
    void Btn8Click(QObject* Sender = nullptr);
    void Btn9Click(QObject* Sender = nullptr);
    void Btn10Click(QObject* Sender = nullptr);
    void Btn8MouseMove(QObject* Sender, TShiftState Shift, int X, int Y);
    void Btn4MouseEnter(QObject* Sender);
    void Btn4MouseLeave(QObject* Sender);
    void ToolbarBtnEnable(QObject* Sender, bool Value);
    void Btn2MouseEnter(QObject* Sender);
    void Btn2MouseLeave(QObject* Sender);
    void Btn3MouseEnter(QObject* Sender);
    void Btn3MouseLeave(QObject* Sender);
    void MinimizeAndCloseBtnMouseEnter(QObject* Sender);
    void MinimizeAndCloseBtnMouseLeave(QObject* Sender);
    void TopImgMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void TopImgMouseMove(QObject* Sender, TShiftState Shift, int X, int Y);
    void TopImgMouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void IcoImgMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void TextFieldMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void CopyItemClick(QObject* Sender = nullptr);
    void ImageGalleryThumbnailClick(QObject* Sender, int Index);
    void ScreenshotsGalleryThumbnailClick(QObject* Sender, int Index);

    // The window's system menu as the icon of the title bar offers it: move, minimise, close.
    enum TSystemCommand
    {
        scMove,
        scMinimize,
        scClose
    };
    // The menu, its entries carrying their command as data.
    QMenu* SystemMenu();
    void RunSystemCommand(TSystemCommand Command);
    // True while the title bar drags the window.
    bool Dragging() const { return FDrag.Dragging(); }

    // The whole client area as shown.
    QImage RenderSnapshot();

    // The window keeps a fixed size: the user cannot size it; code and "controls.ini" can.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void FormShow() override;
    void FormClose(TCloseAction& Action) override;
    void Paint(QPainter& Painter) override;
    void showEvent(QShowEvent* Event) override;

private:
    // Construction, in the order of FormCreate.
    void CreateControls();
    void FormCreate();
    void CreateTabs();
    void CreateTextFieldAndGalleries();
    void ApplyGeometry();
    void ApplyColorsAndFont();
    void LoadTitleBar();
    void LoadToolBar();
    void LoadTextBackground();
    void PlacePreviews();
    void LoadTextButtons();
    void LoadToolButtons();
    void ConnectSharedHandlers();
    void LoadCursors();
    void RegisterCursorRule();
    void LoadControlsFile(const TEnvironment& Environment);
    void ApplyTitleBarVisibility();
    void ShowInitialContent();
    void CenterOnScreen();

    // Shared steps of the commands.
    void PlayIntroMusic();
    void ReportNoSoundDevice();
    void ApplySelection(TTreeNode* Node);
    void ApplyTreeShape(TTreeNode* Node);
    void UpdateTabs();
    void PresentItem(TItem& Item);
    void PresentSection(TSection& Section);
    // ShowScreenshots when the screenshots tab is chosen and the gallery is still empty.
    void ShowScreenshotsOnTheirTab(const TScreenshots& Screenshots);
    const TScreenshots* ShownScreenshots() const;
    QString IntroCaption();
    bool TitleBarAllowed(bool Visible) const;

    std::unique_ptr<ISoundEngine> FOwnedEngine;
    std::unique_ptr<TMusicPlayer> FMusic;
    std::unique_ptr<TPicture> FWallpaperPicture;
    TControlsPropsContainer* FControlsProps = nullptr;
    QMenu* FSystemMenu = nullptr;
    QImage FPaintBitmap;
    QString FWallpaperFileName;
    TSection* FCurrentSection = nullptr;
    TItem* FCurrentItem = nullptr;
    bool FIntroShown = false;
    TTreeNode* FLastCollapsed = nullptr;
    TWindowDrag FDrag;
    bool FCentered = false;
    // The caption DrawBtnCaption drew last, and each button's caption font (size, colour).
    QString FLastCaption;
    struct TCaptionFont
    {
        int Size = 0;
        qint32 Color = 0;
    };
    QHash<const QObject*, TCaptionFont> FCaptionFonts;
};
