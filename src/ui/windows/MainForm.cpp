// The main window: construction, skin, painting, the picture title bar and the button skins.

#include "MainForm.h"

#include "CategoryChooser.h"
#include "Colors.h"
#include "ControlsWatcher.h"
#include "CursorSlots.h"
#include "Image.h"
#include "ImageList.h"
#include "Label.h"
#include "LoadProject.h"
#include "MainLayout.h"
#include "MusicPlayer.h"
#include "PhotoForm.h"
#include "Picture.h"
#include "PopupMenu.h"
#include "SendMail.h"
#include "SoundEngine.h"
#include "SplashForm.h"
#include "SystemLanguage.h"
#include "Thumbnails.h"
#include "TreeView.h"
#include "VeltraneImage.h"
#include "VeltraneText.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/LoadMessages.h"
#include "text/Paths.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

// Loads a picture file when it exists; a file that cannot be decoded leaves the picture as it was.
bool LoadIfExists(TPicture& Picture, const QString& FileName, const TDecodeOptions& Options = {})
{
    return FileExists(FileName) && Picture.LoadFromFile(FileName, nullptr, Options);
}

// The six images of the window's own list: closed and open folder, document, program, picture, and
// last the "about..." image, the one the tree uses.
QList<QImage> WindowImages()
{
    QList<QImage> Images;
    auto Make = [&Images](const std::function<void(QPainter&)>& Draw) {
        QImage Image(16, 16, QImage::Format_ARGB32);
        Image.fill(Qt::transparent);
        QPainter P(&Image);
        P.setRenderHint(QPainter::Antialiasing, false);
        Draw(P);
        Images.append(Image);
    };
    const QColor Outline(0x80, 0x60, 0x20);
    Make([&](QPainter& P) { // closed folder
        P.setPen(Outline);
        P.setBrush(QColor(0xF0, 0xD0, 0x60));
        P.drawRect(1, 4, 13, 9);
        P.drawRect(1, 2, 5, 2);
    });
    Make([&](QPainter& P) { // open folder
        P.setPen(Outline);
        P.setBrush(QColor(0xF8, 0xE0, 0x80));
        P.drawRect(1, 4, 13, 9);
        P.drawLine(3, 7, 15, 7);
    });
    Make([](QPainter& P) { // document
        P.setPen(QColor(0x40, 0x40, 0x40));
        P.setBrush(Qt::white);
        P.drawRect(3, 1, 9, 13);
        P.drawLine(5, 5, 10, 5);
        P.drawLine(5, 8, 10, 8);
    });
    Make([](QPainter& P) { // program
        P.setPen(QColor(0x20, 0x20, 0x60));
        P.setBrush(QColor(0xC0, 0xD0, 0xF0));
        P.drawRect(1, 2, 13, 11);
        P.fillRect(2, 3, 12, 2, QColor(0x20, 0x40, 0xA0));
    });
    Make([](QPainter& P) { // picture
        P.setPen(QColor(0x30, 0x30, 0x30));
        P.setBrush(QColor(0x90, 0xC8, 0xF0));
        P.drawRect(1, 3, 13, 10);
        P.setBrush(QColor(0x30, 0x90, 0x30));
        P.drawRect(3, 9, 4, 3);
    });
    Make([](QPainter& P) { // about: an "i" in a circle
        P.setRenderHint(QPainter::Antialiasing, true);
        P.setPen(QColor(0x20, 0x40, 0x90));
        P.setBrush(QColor(0x40, 0x70, 0xD0));
        P.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        P.fillRect(7, 7, 2, 5, Qt::white);
        P.fillRect(7, 4, 2, 2, Qt::white);
    });
    return Images;
}

// The application icon shown until the skin gives one: 24 x 24, its bottom-left colour transparent.
QImage DefaultIconBitmap()
{
    QImage Image(24, 24, QImage::Format_RGB32);
    Image.fill(QColor(0xFF, 0x00, 0xFF));
    QPainter P(&Image);
    P.setPen(QColor(0x20, 0x30, 0x70));
    P.setBrush(QColor(0x50, 0x80, 0xD0));
    P.drawEllipse(3, 3, 17, 17);
    P.setBrush(QColor(0xF0, 0xF0, 0xF0));
    P.drawEllipse(9, 9, 5, 5);
    return Image;
}

} // namespace

// --- Construction -----------------------------------------------------------------------------

TMainF::TMainF(const TEnvironment& Environment, QWidget* Parent) : TForm(Parent, u"MainF"_s)
{
    // The maximise box is always removed; without the standard title the picture title bar takes the
    // caption's place.
    if (DesignSettings.Options.ShowStandardTitle) {
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    } else {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinimizeButtonHint);
    }
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetColor(clWhite);
    Font()->SetName(u"MS Sans Serif"_s);
    Font()->SetHeight(-10);

    if (Environment.SoundEngine) {
        FMusic = std::make_unique<TMusicPlayer>(*Environment.SoundEngine, this);
    } else {
        FOwnedEngine = std::make_unique<TSoundEngine>();
        FMusic = std::make_unique<TMusicPlayer>(*FOwnedEngine, this);
    }
    OnSendMail = [](const QString& Name, const QString& Address) {
        TLetter Letter;
        Letter.Name = Name;
        Letter.Address = Address;
        TSendMailThread::Create(Letter);
    };
    OnShowImageList = [](const TShellActions& List, int Index) { ShowImageList(List, Index); };
    OnShowScreenshotList = [](const TScreenshots& Screenshots, int Index) {
        ShowScreenshotList(Screenshots, Index);
    };

    CreateControls();

    // 1. The window.
    SetCaption(QCoreApplication::applicationName());
    CopyItem->SetCaption(TextForLanguage(GetSystemDefaultLangID(), u"&Copy"_s, u"&Копировать"_s));
    // 2. Work objects.
    TreeImages = new TImageList(this, u"TreeImages"_s);
    FPaintBitmap = QImage();
    // 3. Title bar.
    TopImg->SetStretch(true);
    TopImg->SetTransparent(true);
    MinimizeBtn->SetBounds(MainLayout::MinimizeBtnPos.x(), MainLayout::MinimizeBtnPos.y(),
                           MainLayout::TitleButtonSize, MainLayout::TitleButtonSize);
    MinimizeBtn->SetTransparent(true);
    MinimizeBtn->OnClick = [this](QObject* Sender) { MinimizeBtnClick(Sender); };
    CloseBtn->SetBounds(MainLayout::CloseBtnLeft, MinimizeBtn->Top(), MainLayout::TitleButtonSize,
                        MainLayout::TitleButtonSize);
    CloseBtn->SetTransparent(true);
    CloseBtn->OnClick = [this](QObject* Sender) { Btn3Click(Sender); };
    for (TVeltraneImage* Button : {MinimizeBtn, CloseBtn}) {
        Button->OnMouseEnter = [this](QObject* Sender) { MinimizeAndCloseBtnMouseEnter(Sender); };
        Button->OnMouseLeave = [this](QObject* Sender) { MinimizeAndCloseBtnMouseLeave(Sender); };
    }
    // 4. The tree.
    ProjectTree->Font()->SetSize(10);
    ProjectTree->SetAutoExpand(true);
    ProjectTree->SetHideSelection(false);
    ProjectTree->SetHotTrack(true);
    ProjectTree->SetReadOnly(true);
    ProjectTree->SetRowSelect(true);
    ProjectTree->SetShowLines(false);
    ProjectTree->SetShowRoot(false);
    ProjectTree->SetTabStop(false);
    ProjectTree->SetImages(TreeImages);
    ProjectTree->OnChange = [this](QObject* Sender, TTreeNode* Node) { ProjectTreeChange(Sender, Node); };
    ProjectTree->OnChanging = [this](QObject* Sender, TTreeNode* Node, bool& Allow) {
        ProjectTreeChanging(Sender, Node, Allow);
    };
    ProjectTree->OnExpanding = [this](QObject* Sender, TTreeNode* Node, bool& Allow) {
        ProjectTreeExpanding(Sender, Node, Allow);
    };
    ProjectTree->OnCollapsed = [this](QObject* Sender, TTreeNode* Node) {
        ProjectTreeCollapsed(Sender, Node);
    };
    ProjectTree->OnDblClick = [this](QObject* Sender) { ProjectTreeDblClick(Sender); };
    ProjectTree->OnKeyDown = [this](QObject* Sender, quint16& Key, TShiftState Shift) {
        ProjectTreeKeyDown(Sender, Key, Shift);
    };
    // 5. - 7. The controls made in code.
    CreateTabs();
    CreateTextFieldAndGalleries();
    // The tree is a window of its own and lies above every painted control.
    ProjectTree->raise();
    // 8. The project, and with it the tree.
    LoadProject(ProjectFilePath);
    if (!LoadFailed) {
        BuildProjectTree();
    }
    // 9. - 25.
    DecideAndShowSplash(Environment.ShowSplash);
    ApplyGeometry();
    ApplyColorsAndFont();
    LoadTitleBar();
    LoadToolBar();
    LoadTextBackground();
    PlacePreviews();
    FWallpaperPicture = std::make_unique<TPicture>();
    SetWallpaper(ImagesFolder() + DesignSettings.Images.Wallpaper);
    TextField->SetTransparent(DesignSettings.Options.TransparentText &&
                              (FWallpaperPicture->HasGraphic() || TextBackground->Picture().HasGraphic()));
    LoadTextButtons();
    LoadToolButtons();
    ConnectSharedHandlers();
    LoadCursors();
    RegisterCursorRule();
    LoadControlsFile(Environment);
    ApplyTitleBarVisibility();
    ShowInitialContent();
}

TMainF::~TMainF()
{
    UnregisterCursorClient(this);
    // The controls outlive this part of the window (Qt frees them later, and hiding them may still
    // report the mouse leaving); their handlers refer to it.
    for (TControl* C : findChildren<TControl*>()) {
        C->OnClick = nullptr;
        C->OnDblClick = nullptr;
        C->OnMouseDown = nullptr;
        C->OnMouseUp = nullptr;
        C->OnMouseMove = nullptr;
        C->OnMouseEnter = nullptr;
        C->OnMouseLeave = nullptr;
        C->OnKeyDown = nullptr;
        if (auto* Button = qobject_cast<TVeltraneImage*>(C)) {
            Button->OnEnable = nullptr;
        }
    }
    ProjectTree->OnChange = nullptr;
    ProjectTree->OnChanging = nullptr;
    ProjectTree->OnExpanding = nullptr;
    ProjectTree->OnCollapsed = nullptr;
    // The nodes go now: the tree image list is freed before the tree, which would first give every
    // node an empty icon.
    ProjectTree->Items().Clear();
    Tabs->OnCategoryChange = nullptr;
    ImageGallery->OnThumbnailClick = nullptr;
    ScreenshotsGallery->OnThumbnailClick = nullptr;
    CopyItem->OnClick = nullptr;
    if (FControlsProps) {
        FControlsProps->OnChange = nullptr;
    }
    delete FSystemMenu;
}

void TMainF::CreateControls()
{
    // Created in stacking order, bottom first.
    TextBackground = new TImage(this, u"TextBackground"_s);
    TextBackground->SetStretch(true);
    TextBackground->SetEnabled(false);
    // Disabled lets the mouse through to the controls below, as a disabled graphic control does.
    TextBackground->setAttribute(Qt::WA_TransparentForMouseEvents);

    ToolBarImg = new TImage(this, u"ToolBarImg"_s);
    ToolBarImg->SetBounds(MainLayout::ToolBarDesignBounds.x(), MainLayout::ToolBarDesignBounds.y(),
                          MainLayout::ToolBarDesignBounds.width(), MainLayout::ToolBarDesignBounds.height());
    ToolBarImg->SetTransparent(true);

    TopImg = new TImage(this, u"TopImg"_s);
    TopImg->Constraints()->SetMaxHeight(MainLayout::TopImgMaxHeight);
    TopImg->SetHeight(MainLayout::TopImgDesignHeight);
    TopImg->OnMouseDown = [this](QObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        TopImgMouseDown(S, B, Sh, X, Y);
    };
    TopImg->OnMouseMove = [this](QObject* S, TShiftState Sh, int X, int Y) { TopImgMouseMove(S, Sh, X, Y); };
    TopImg->OnMouseUp = [this](QObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        TopImgMouseUp(S, B, Sh, X, Y);
    };

    TitleLabel = new TLabel(this, u"TitleLabel"_s);
    TitleLabel->SetAutoSize(false);
    TitleLabel->SetAlignment(TLabel::taCenter);
    TitleLabel->SetLayout(TLabel::tlCenter);
    TitleLabel->SetTransparent(true);
    TitleLabel->Font()->SetName(u"MS Sans Serif"_s);
    TitleLabel->Font()->SetHeight(-15);
    TitleLabel->Font()->SetStyle(TFont::fsBold);

    IcoImg = new TImage(this, u"IcoImg"_s);
    IcoImg->SetBounds(MainLayout::IcoImgDesignBounds.x(), MainLayout::IcoImgDesignBounds.y(),
                      MainLayout::IcoImgDesignBounds.width(), MainLayout::IcoImgDesignBounds.height());
    IcoImg->SetCenter(true);
    IcoImg->SetTransparent(true);
    IcoImg->Picture().SetBitmap(DefaultIconBitmap());
    IcoImg->OnMouseDown = [this](QObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        IcoImgMouseDown(S, B, Sh, X, Y);
    };

    auto MakeButton = [this](const QString& Name) {
        auto* Button = new TVeltraneImage(this, Name);
        Button->SetShowHint(true);
        return Button;
    };
    Btn2 = MakeButton(u"Btn2"_s);
    Btn2->SetBounds(680, 400, 82, 20);
    Btn2->SetAutoSize(true);
    Btn2->SetEnabled(false);
    Btn2->OnClick = [this](QObject* Sender) { Btn2Click(Sender); };
    Btn2->OnMouseEnter = [this](QObject* Sender) { Btn2MouseEnter(Sender); };
    Btn2->OnMouseLeave = [this](QObject* Sender) { Btn2MouseLeave(Sender); };
    Btn3 = MakeButton(u"Btn3"_s);
    Btn3->SetBounds(680, 421, 82, 20);
    Btn3->SetAutoSize(true);
    Btn3->SetEnabled(false);
    Btn3->OnClick = [this](QObject* Sender) { Btn3Click(Sender); };
    Btn3->OnMouseEnter = [this](QObject* Sender) { Btn3MouseEnter(Sender); };
    Btn3->OnMouseLeave = [this](QObject* Sender) { Btn3MouseLeave(Sender); };

    auto MakeToolButton = [&MakeButton](const QString& Name) {
        auto* Button = MakeButton(Name);
        Button->SetBounds(0, 0, MainLayout::ToolButtonSize, MainLayout::ToolButtonSize);
        Button->SetCursor(crHandPoint);
        Button->SetTransparent(true);
        return Button;
    };
    Btn4 = MakeToolButton(u"Btn4"_s);
    Btn4->SetEnabled(false);
    Btn4->OnClick = [this](QObject* Sender) { Btn4Click(Sender); };
    Btn5 = MakeToolButton(u"Btn5"_s);
    Btn5->SetEnabled(false);
    Btn5->OnClick = [this](QObject* Sender) { Btn5Click(Sender); };
    Btn6 = MakeToolButton(u"Btn6"_s);
    Btn6->SetEnabled(false);
    Btn6->OnClick = [this](QObject* Sender) { Btn6Click(Sender); };
    Btn7 = MakeToolButton(u"Btn7"_s);
    Btn8 = MakeToolButton(u"Btn8"_s);
    for (TVeltraneImage* Button : {Btn7, Btn8}) {
        Button->OnClick = [this](QObject* Sender) { Btn8Click(Sender); };
        Button->OnMouseMove = [this](QObject* S, TShiftState Sh, int X, int Y) {
            Btn8MouseMove(S, Sh, X, Y);
        };
    }
    Btn10 = MakeToolButton(u"Btn10"_s);
    Btn10->OnClick = [this](QObject* Sender) { Btn10Click(Sender); };
    Btn9 = MakeToolButton(u"Btn9"_s);
    Btn9->SetVisible(false);
    Btn9->OnClick = [this](QObject* Sender) { Btn9Click(Sender); };
    Btn11 = MakeToolButton(u"Btn11"_s);
    Btn11->SetVisible(false);
    Btn11->SetEnabled(false);

    PreviewImg1 = new TVeltraneImage(this, u"PreviewImg1"_s);
    PreviewImg1->SetVisible(false);
    PreviewImg2 = new TVeltraneImage(this, u"PreviewImg2"_s);
    PreviewImg2->SetVisible(false);
    for (TVeltraneImage* Preview : {PreviewImg1, PreviewImg2}) {
        Preview->SetBounds(0, 0, 258, 248);
        Preview->SetCenter(true);
        Preview->SetProportional(true);
    }

    MinimizeBtn = new TVeltraneImage(this, u"MinimizeBtn"_s);
    CloseBtn = new TVeltraneImage(this, u"CloseBtn"_s);

    ImagesList = new TImageList(this, u"ImagesList"_s);
    for (const QImage& Image : WindowImages()) {
        ImagesList->Add(Image);
    }

    PMenu = new TPopupMenu(this, u"PMenu"_s);
    CopyItem = new TMenuItem(PMenu, u"CopyItem"_s);
    CopyItem->OnClick = [this](QObject* Sender) { CopyItemClick(Sender); };
    PMenu->Add(CopyItem);

    ProjectTree = new TTreeView(this, u"ProjectTree"_s);
    ProjectTree->SetChangeDelay(50);
    ProjectTree->SetIndent(18);
    ProjectTree->Font()->SetName(u"MS Sans Serif"_s);
    ProjectTree->Font()->SetHeight(-11);
    ProjectTree->SetBounds(MainLayout::TreeBounds.x(), MainLayout::TreeBounds.y(),
                           MainLayout::TreeBounds.width(), MainLayout::TreeBounds.height());
}

void TMainF::CreateTabs()
{
    Tabs = new TCategoryChooser(this, u"Tabs"_s);
    Tabs->SetTabHeight(MainLayout::TabHeight);
    Tabs->SetTabWidth(MainLayout::TabWidth);
    Tabs->SetBounds(Tabs->Left(), Tabs->Top(), 3 * Tabs->TabWidth() + 1, Tabs->TabHeight() + 1);
    Tabs->SetTransparent(true);
    Tabs->SetViewStyle(cvsHorizontal);
    Tabs->SetActiveColor(0xFBEEE6);
    Tabs->SetLineColor(0x94522C);
    Tabs->OnCategoryChange = [this](QObject* Sender) { TabsCategoryChange(Sender); };
    const QString TabImage = ImagesFolder() + DesignSettings.Images.TabImage;
    bool HasTabImage = false;
    if (FileExists(TabImage)) {
        Tabs->SetTabImage(TabImage);
        HasTabImage = true;
    }
    const QString FocusedTabImage = ImagesFolder() + DesignSettings.Images.FocusedTabImage;
    if (FileExists(FocusedTabImage)) {
        Tabs->SetFocusedTabImage(FocusedTabImage);
    } else if (HasTabImage) {
        Tabs->SetFocusedTabImage(TabImage);
    }
    TCategories* List = Tabs->CatList();
    List->BeginUpdate();
    TCategory* Description = List->Add();
    Description->SetCaption(strDescription);
    Description->SetImageIndex(0);
    Description->SetVisible(false);
    TCategory* Screenshots = List->Add();
    Screenshots->SetCaption(strScreenshots);
    Screenshots->SetImageIndex(1);
    Screenshots->SetVisible(false);
    List->EndUpdate();
}

void TMainF::CreateTextFieldAndGalleries()
{
    TextField = new TVeltraneText(this, u"TextField"_s);
    TextField->OnMouseDown = [this](QObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        TextFieldMouseDown(S, B, Sh, X, Y);
    };
    auto MakeGallery = [this](const QString& Name, int ImageWidth, int ImageHeight) {
        auto* Gallery = new TThumbnails(this, Name);
        Gallery->SetImageWidth(ImageWidth);
        Gallery->SetImageHeight(ImageHeight);
        Gallery->ThumbnailFrame()->SetColor(0xFBEEE3);
        Gallery->ThumbnailFrame()->SetFocusedColor(0xB66931);
        Gallery->SetGoodQuality(true);
        Gallery->SetVisible(false);
        return Gallery;
    };
    ImageGallery = MakeGallery(u"ImageGallery"_s, 230, 175);
    ImageGallery->OnThumbnailClick = [this](QObject* Sender, int Index) {
        ImageGalleryThumbnailClick(Sender, Index);
    };
    ScreenshotsGallery = MakeGallery(u"ScreenshotsGallery"_s, 187, 140);
    ScreenshotsGallery->OnThumbnailClick = [this](QObject* Sender, int Index) {
        ScreenshotsGalleryThumbnailClick(Sender, Index);
    };
}

void TMainF::ApplyGeometry()
{
    const MainLayout::TContentBounds B = MainLayout::ContentBounds(
        QRect(ProjectTree->Left(), ProjectTree->Top(), ProjectTree->Width(), ProjectTree->Height()));
    TitleLabel->SetBounds(B.TitleLabel.x(), B.TitleLabel.y(), B.TitleLabel.width(), B.TitleLabel.height());
    Tabs->SetBounds(B.Tabs.x(), B.Tabs.y(), Tabs->Width(), Tabs->Height());
    TextField->SetBounds(B.TextField.x(), B.TextField.y(), B.TextField.width(), B.TextField.height());
    for (TThumbnails* Gallery : {ImageGallery, ScreenshotsGallery}) {
        Gallery->SetBounds(B.TextField.x(), B.TextField.y(), B.TextField.width(), B.TextField.height());
    }
    TextBackground->SetBounds(B.TextBackground.x(), B.TextBackground.y(), B.TextBackground.width(),
                              B.TextBackground.height());
    TopImg->SetAlign(alTop);
    const QRect Ico = MainLayout::IcoImgBounds(TopImg->Height());
    IcoImg->SetBounds(Ico.x(), Ico.y(), Ico.width(), Ico.height());
    SetClientWidth(B.ClientWidth);
}

void TMainF::ApplyColorsAndFont()
{
    SetColor(qint32(DesignSettings.Colors.Windows));
    TextField->SetColor(qint32(DesignSettings.Colors.Text));
    TFont* F = TextField->Font();
    F->SetColor(qint32(DesignSettings.Colors.TextFont));
    if (!IsBlank(DesignSettings.Options.TextFontName)) {
        F->SetName(DesignSettings.Options.TextFontName);
    }
    F->SetSize(DesignSettings.Options.TextFontSize);
    // The words are matched as written: "Bold" is no style.
    const QString& Style = DesignSettings.Options.TextFontStyle;
    TFont::TFontStyles Styles = F->Style();
    if (Style.contains(u"bold"_s)) {
        Styles |= TFont::fsBold;
    }
    if (Style.contains(u"italic"_s)) {
        Styles |= TFont::fsItalic;
    }
    if (Style.contains(u"underline"_s)) {
        Styles |= TFont::fsUnderline;
    }
    if (Style.contains(u"strikeout"_s)) {
        Styles |= TFont::fsStrikeOut;
    }
    F->SetStyle(Styles);
    ProjectTree->SetColor(qint32(DesignSettings.Colors.Tree));
    TitleLabel->SetColor(TextField->Color());
}

void TMainF::LoadTitleBar()
{
    if (DesignSettings.Options.ShowStandardTitle) {
        return;
    }
    LoadIfExists(TopImg->Picture(), ImagesFolder() + DesignSettings.Images.Title);
    LoadIfExists(IcoImg->Picture(), ImagesFolder() + DesignSettings.Images.AppIcon);
    LoadButtonPictures(MinimizeBtn, DesignSettings.Images.MinimizeBtn, {}, true);
    LoadButtonPictures(CloseBtn, DesignSettings.Images.CloseBtn, {}, true);
}

void TMainF::LoadToolBar()
{
    const QString File = ImagesFolder() + u"toolbar.bmp"_s;
    const bool HasPicture = LoadIfExists(ToolBarImg->Picture(), File);
    const QRect Background(TextBackground->Left(), TextBackground->Top(), TextBackground->Width(),
                           TextBackground->Height());
    const MainLayout::TToolBarPlacement P = MainLayout::PlaceToolBar(
        HasPicture, QSize(ToolBarImg->Picture().Width(), ToolBarImg->Picture().Height()), Background,
        TextField->Height(),
        QRect(ProjectTree->Left(), ProjectTree->Top(), ProjectTree->Width(), ProjectTree->Height()));
    if (!HasPicture) {
        ToolBarImg->SetBounds(P.Bounds.x(), P.Bounds.y(), P.Bounds.width(), P.Bounds.height());
        return;
    }
    ToolBarImg->Constraints()->SetMaxWidth(P.MaxSize.width());
    ToolBarImg->Constraints()->SetMaxHeight(P.MaxSize.height());
    ToolBarImg->SetStretch(P.Stretch);
    ToolBarImg->SetBounds(P.Bounds.x(), P.Bounds.y(), P.Bounds.width(), P.Bounds.height());
}

void TMainF::LoadTextBackground()
{
    if (!DesignSettings.Options.TransparentText) {
        return;
    }
    LoadIfExists(TextBackground->Picture(), ImagesFolder() + u"text.gif"_s);
    TextBackground->SendToBack();
}

void TMainF::PlacePreviews()
{
    const MainLayout::TPreviewPlaces P = MainLayout::PreviewPlaces(QRect(
        TextBackground->Left(), TextBackground->Top(), TextBackground->Width(), TextBackground->Height()));
    PreviewImg1->SetBounds(P.Preview1Left, P.Top, PreviewImg1->Width(), P.Height);
    PreviewImg2->SetBounds(P.Preview2Left, P.Top, P.Preview2Width, P.Height);
}

void TMainF::LoadTextButtons()
{
    LoadButtonPictures(Btn2, u"settings.bmp"_s, {}, true);
    LoadButtonPictures(Btn3, u"close.bmp"_s, {}, true);
    const MainLayout::TTextButtonsPlacement P = MainLayout::PlaceTextButtons(
        Btn2->size(), Btn3->size(), TextField->BoundsRight(), ToolBarImg->BoundsBottom());
    Btn2->SetBounds(P.Btn2.x(), P.Btn2.y(), Btn2->Width(), Btn2->Height());
    Btn3->SetBounds(P.Btn3.x(), P.Btn3.y(), Btn3->Width(), Btn3->Height());
    SetClientHeight(P.ClientHeight);
    if (!IsBlank(DesignSettings.Buttons.OptionsBtn_Hint)) {
        Btn2->SetHint(DesignSettings.Buttons.OptionsBtn_Hint);
    }
    if (!IsBlank(DesignSettings.Buttons.ExitBtn_Hint)) {
        Btn3->SetHint(DesignSettings.Buttons.ExitBtn_Hint);
    }
    Btn2->SetTransparent(DesignSettings.Buttons.OptionsBtn_Transparent);
    Btn3->SetTransparent(DesignSettings.Buttons.ExitBtn_Transparent);
}

void TMainF::LoadToolButtons()
{
    struct TToolButton
    {
        TVeltraneImage* Button;
        QString Picture;
        QString Disabled;
        bool EnableIfLoaded;
        int Cell;
        QString Hint;
    };
    // In loading order.
    const QList<TToolButton> Buttons{
        {Btn4, u"mail.bmp"_s, u"mail0.bmp"_s, true, 9, strSendLetter},
        {Btn5, u"write.bmp"_s, u"write0.bmp"_s, true, 8, strIntro},
        {Btn6, u"folder.bmp"_s, u"folder0.bmp"_s, true, 7, strBrowseSectionFolder},
        {Btn7, u"source.bmp"_s, u"source0.bmp"_s, false, 6, strBrowse},
        {Btn8, u"setup.bmp"_s, u"setup0.bmp"_s, false, 5, strInstall},
        {Btn9, u"play.bmp"_s, u"play0.bmp"_s, false, 0, strPlayMusic},
        {Btn10, u"copy.bmp"_s, u"copy0.bmp"_s, false, 4, strCopyToDisk},
    };
    const QRect Bar(ToolBarImg->Left(), ToolBarImg->Top(), ToolBarImg->Width(), ToolBarImg->Height());
    for (const TToolButton& B : Buttons) {
        LoadButtonPictures(B.Button, B.Picture, B.Disabled, B.EnableIfLoaded);
        const QRect R = MainLayout::ToolButtonBounds(B.Cell, Bar);
        B.Button->SetBounds(R.x(), R.y(), R.width(), R.height());
        B.Button->SetHint(B.Hint);
    }
    Btn11->SetHint(strToolButtonHint);

    // Packing to the right.
    const std::array<TVeltraneImage*, MainLayout::PackedButtonCount> Packed{Btn4, Btn5, Btn6,
                                                                            Btn7, Btn8, Btn10};
    std::array<int, MainLayout::PackedButtonCount> Lefts{};
    std::array<bool, MainLayout::PackedButtonCount> Loaded{};
    for (size_t I = 0; I < Packed.size(); ++I) {
        Lefts[I] = Packed[I]->Left();
        // The button's own picture: a disabled one shown in its place does not count.
        Loaded[I] = Packed[I]->LoadedPicture().HasGraphic();
    }
    const std::array<bool, MainLayout::PackedButtonCount> Hidden = MainLayout::PackToolButtons(Lefts, Loaded);
    for (size_t I = 0; I < Packed.size(); ++I) {
        Packed[I]->SetLeft(Lefts[I]);
        if (Hidden[I]) {
            Packed[I]->SetVisible(false);
        }
    }
}

void TMainF::ConnectSharedHandlers()
{
    for (TVeltraneImage* Button : {Btn4, Btn5, Btn6, Btn7, Btn8, Btn9, Btn10}) {
        Button->OnMouseEnter = [this](QObject* Sender) { Btn4MouseEnter(Sender); };
        Button->OnMouseLeave = [this](QObject* Sender) { Btn4MouseLeave(Sender); };
        Button->OnEnable = [this](QObject* Sender, bool Value) { ToolbarBtnEnable(Sender, Value); };
    }
}

void TMainF::LoadCursors()
{
    if (!HasStartFlag(sfAnimatedCursors)) {
        return;
    }
    LoadCursorFile(DesignSettings.Cursors.crDefault, CursorDefault, crDefault);
    LoadCursorFile(DesignSettings.Cursors.crPen, CursorPen, crDefault);
    LoadCursorFile(DesignSettings.Cursors.crHelp, CursorHelp, crDefault);
    LoadCursorFile(DesignSettings.Cursors.crIBeam, CursorIBeam, crIBeam);
    LoadCursorFile(DesignSettings.Cursors.crHandPoint, CursorHand, crHandPoint);
}

void TMainF::RegisterCursorRule()
{
    RegisterCursorClient(this, [this](bool Enabled) {
        const int Hand = Enabled ? CursorHand : crHandPoint;
        for (QObject* Child : children()) {
            const QMetaObject* Meta = Child->metaObject();
            if (Meta == &TVeltraneImage::staticMetaObject) {
                if (Child != Btn2 && Child != Btn3 && Child != MinimizeBtn && Child != CloseBtn) {
                    static_cast<TVeltraneImage*>(Child)->SetCursor(Hand);
                }
            } else if (Meta == &TThumbnails::staticMetaObject) {
                static_cast<TThumbnails*>(Child)->SetFocusedCursor(Hand);
            } else if (Meta == &TCategoryChooser::staticMetaObject) {
                static_cast<TCategoryChooser*>(Child)->SetFocusedCursor(Hand);
            }
        }
        PreviewImg1->SetCursor(Hand);
        PreviewImg2->SetCursor(Hand);
        SetCursor(Enabled ? CursorDefault : crDefault);
        ProjectTree->SetCursor(Enabled ? CursorDefault : crDefault);
        TextField->SetCursor(Enabled ? CursorPen : crDefault);
    });
}

void TMainF::LoadControlsFile(const TEnvironment& Environment)
{
    FControlsProps = new TControlsPropsContainer(this);
    const QString File = PathJoin({ProgramFolder, u"Shell"_s}) + u"controls.ini"_s;
    if (!FileExists(File)) {
        FControlsProps->SetActive(false);
        return;
    }
    FControlsProps->OnChange = [this](TControlsPropsContainer&) { ControlsFileLoaded(); };
    FControlsProps->SetWatcherFactory(Environment.ControlsWatcher ? *Environment.ControlsWatcher
                                                                  : PlatformControlsWatcherFactory());
    FControlsProps->LoadFromFile(File);
    FControlsProps->SetWatch(true);
}

bool TMainF::TitleBarAllowed(bool Visible) const
{
    return Visible && !DesignSettings.Options.ShowStandardTitle;
}

void TMainF::ApplyTitleBarVisibility()
{
    for (TControl* C : std::initializer_list<TControl*>{TopImg, IcoImg, MinimizeBtn, CloseBtn}) {
        C->SetVisible(TitleBarAllowed(C->Visible()));
    }
    PreviewImg1->SetVisible(false);
    PreviewImg2->SetVisible(false);
}

QString TMainF::IntroCaption()
{
    FControlsProps->ApplyValueOrDefault(TitleLabel, u"Caption"_s, strIntroTitle);
    return TitleLabel->Caption();
}

void TMainF::ShowInitialContent()
{
    IntroCaption();
    TextField->SetCaption(Project->Creator.AuthorWords);
    Project->Title = Project->Title.trimmed();
    if (!Project->Title.isEmpty()) {
        QCoreApplication::setApplicationName(Project->Title);
        SetCaption(Project->Title);
    }
}

void TMainF::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    // A single fixed border: the user cannot size the window, code and "controls.ini" can.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    TForm::SetBounds(ALeft, ATop, AWidth, AHeight);
    setFixedSize(size());
}

void TMainF::CenterOnScreen()
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    if (!Screen) {
        return;
    }
    const QRect Area = Screen->availableGeometry();
    move(Area.x() + (Area.width() - width()) / 2, Area.y() + (Area.height() - height()) / 2);
}

QString TMainF::ImagesFolder()
{
    return PathJoin({ProgramFolder, u"Shell"_s, DesignSettings.Path.Images});
}

QString TMainF::ButtonsFolder()
{
    return PathJoin({ProgramFolder, u"Shell"_s, DesignSettings.Path.BtnImg});
}

// --- Skin operations --------------------------------------------------------------------------

void TMainF::LoadButtonPictures(TVeltraneImage* Button, const QString& PictureFile,
                                const QString& DisabledFile, bool EnableIfLoaded)
{
    if (!Button) {
        return;
    }
    TPicture Scratch;
    if (!PictureFile.isEmpty() && LoadIfExists(Scratch, ButtonsFolder() + PictureFile)) {
        Button->AssignPicture(Scratch);
    }
    if (!DisabledFile.isEmpty()) {
        TPicture Disabled;
        if (LoadIfExists(Disabled, ButtonsFolder() + DisabledFile)) {
            Button->SetDisabledPicture(Disabled);
        }
    }
    // A disabled picture alone is shown while disabled, but is no picture of the button: enabled, it
    // would show nothing.
    Button->SetEnabled(EnableIfLoaded && Button->LoadedPicture().HasGraphic());
}

void TMainF::DrawBtnCaption(TVeltraneImage* Button, qint32 Color, const QString& Text, int Size)
{
    if (!Button) {
        return;
    }
    const TCaptionFont Current = FCaptionFonts.value(Button);
    if (Text == FLastCaption && Current.Size == Size && Current.Color == Color) {
        return;
    }
    FLastCaption = Text;
    FCaptionFonts.insert(Button, {Size, Color});
    TFont CanvasFont;
    CanvasFont.SetSize(Size);
    CanvasFont.SetColor(Color);
    CanvasFont.SetStyle(TFont::fsBold);
    const QFont Font = CanvasFont.ToQFont();
    const QFontMetrics Metrics(Font);
    const int X = Button->Width() / 2 - Metrics.horizontalAdvance(Text) / 2;
    const int Y = Button->Height() / 2 - Metrics.height() / 2;
    // On a fresh copy of the button's picture: drawn over the caption before, a new text would print
    // over the old one and the anti-aliased edges would thicken with every hover.
    Button->RestorePicture();
    QImage& Bitmap = Button->CanvasBitmap();
    {
        QPainter Painter(&Bitmap);
        Painter.setFont(Font);
        Painter.setPen(ColorToRGB(Color));
        Painter.drawText(X, Y + Metrics.ascent(), Text);
    }
    Button->Picture().Changed();
}

void TMainF::ApplyBtnOpacity(TVeltraneImage* Button)
{
    if (!DesignSettings.Options.BtnOpacity || !Button) {
        return;
    }
    const TPicture& Bar = ToolBarImg->Picture();
    if (const TGraphic* Graphic = Bar.Graphic()) {
        FPaintBitmap = Graphic->ToBitmap();
    } else {
        FPaintBitmap = Bar.BitmapImage().convertToFormat(QImage::Format_RGB32);
    }
    Button->SetOpacity(0.55);
    Button->BlendWithBackground(FPaintBitmap, Button->Left() - ToolBarImg->Left(),
                                Button->Top() - ToolBarImg->Top());
}

void TMainF::SetWallpaper(const QString& FileName)
{
    if (FileName.compare(FWallpaperFileName, Qt::CaseInsensitive) == 0) {
        return;
    }
    TDecodeOptions Fast;
    Fast.Jpeg.Fast = true;
    if (FileExists(FileName) && FWallpaperPicture->LoadFromFile(FileName, nullptr, Fast)) {
        FWallpaperFileName = FileName;
        update();
        return;
    }
    // A missing (or unreadable) file removes the wallpaper shown.
    if (FWallpaperPicture->HasGraphic() || !FWallpaperFileName.isEmpty()) {
        FWallpaperFileName.clear();
        FWallpaperPicture->Clear();
        update();
    }
}

void TMainF::SetRoundedCorners(QWidget* Control, int Radius)
{
    if (!Control || Radius <= 0) {
        return;
    }
    Control->setMask(MainLayout::RoundedRectRegion(Control->width(), Control->height(), Radius));
    Control->update();
}

void TMainF::ControlsFileLoaded()
{
    QString SavedCaption;
    if (!FIntroShown) {
        SavedCaption = TitleLabel->Caption();
    }
    const QSize OldClient(ClientWidth(), ClientHeight());
    FControlsProps->ApplyToControl(this, true);
    if (QSize(ClientWidth(), ClientHeight()) != OldClient) {
        update();
    }
    IntroCaption();
    TopImg->SetVisible(TitleBarAllowed(TopImg->Visible()));
    IcoImg->SetVisible(TitleBarAllowed(IcoImg->Visible()));
    if (!SavedCaption.isEmpty()) {
        TitleLabel->SetCaption(SavedCaption);
    }
    bool IsNumber = false;
    const int Radius =
        FControlsProps->ReadControlValue(ProjectTree, u"RoundedCornersValue"_s).trimmed().toInt(&IsNumber);
    if (IsNumber && Radius > 0) {
        SetRoundedCorners(ProjectTree, Radius);
    }
    const QString OptionsCaption = FControlsProps->ReadControlValue(Btn2, u"Caption"_s);
    if (!OptionsCaption.isEmpty()) {
        strOptions = OptionsCaption;
        DrawBtnCaption(Btn2, qint32(DesignSettings.Buttons.OptionsBtn_TxtColor), strOptions);
    }
    const QString ExitCaption = FControlsProps->ReadControlValue(Btn3, u"Caption"_s);
    if (!ExitCaption.isEmpty()) {
        strExit = ExitCaption;
        DrawBtnCaption(Btn3, qint32(DesignSettings.Buttons.ExitBtn_TxtColor), strExit);
    }
    if (!Btn7->Hint().isEmpty()) {
        strBrowse = Btn7->Hint();
    }
    if (!Btn8->Hint().isEmpty()) {
        strInstall = Btn8->Hint();
    }
}

// --- Painting ---------------------------------------------------------------------------------

void TMainF::Paint(QPainter& Painter)
{
    // The window colour is filled already; the wallpaper is drawn unscaled, centred, never cut at the
    // left or top.
    if (!FWallpaperPicture || !FWallpaperPicture->HasGraphic()) {
        return;
    }
    const QSize Picture(FWallpaperPicture->Width(), FWallpaperPicture->Height());
    const QPoint Origin = MainLayout::WallpaperOrigin(size(), Picture);
    FWallpaperPicture->Draw(Painter, QRectF(Origin, Picture), false);
}

QImage TMainF::RenderSnapshot()
{
    return grab().toImage();
}

void TMainF::showEvent(QShowEvent* Event)
{
    // Restoring from the task bar is no new showing of the window.
    if (Event->spontaneous()) {
        TControl::showEvent(Event);
        return;
    }
    if (!FCentered) {
        FCentered = true;
        CenterOnScreen();
    }
    TForm::showEvent(Event);
}

// --- Title bar --------------------------------------------------------------------------------

void TMainF::TopImgMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    FDrag.MouseDown(Button, X, Y);
}

void TMainF::TopImgMouseMove(QObject* Sender, TShiftState Shift, int X, int Y)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    FDrag.MouseMove(this, X, Y);
}

void TMainF::TopImgMouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    FDrag.MouseUp();
}

QMenu* TMainF::SystemMenu()
{
    if (!FSystemMenu) {
        // The system menu without Maximize, Restore and Size.
        FSystemMenu = new QMenu;
        FSystemMenu->addAction(u"&Move"_s)->setData(int(scMove));
        FSystemMenu->addAction(u"Mi&nimize"_s)->setData(int(scMinimize));
        FSystemMenu->addSeparator();
        QAction* Close = FSystemMenu->addAction(u"&Close"_s);
        Close->setData(int(scClose));
        Close->setShortcut(QKeySequence(u"Alt+F4"_s));
    }
    return FSystemMenu;
}

void TMainF::RunSystemCommand(TSystemCommand Command)
{
    switch (Command) {
    case scMove:
        if (QWindow* Window = windowHandle()) {
            Window->startSystemMove();
        }
        break;
    case scMinimize:
        showMinimized();
        break;
    case scClose:
        Close();
        break;
    }
}

void TMainF::IcoImgMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    if (QAction* Chosen = SystemMenu()->exec(QCursor::pos())) {
        RunSystemCommand(TSystemCommand(Chosen->data().toInt()));
    }
}

void TMainF::MinimizeAndCloseBtnMouseEnter(QObject* Sender)
{
    if (Sender == MinimizeBtn) {
        LoadButtonPictures(MinimizeBtn, DesignSettings.Images.MinimizeBtn_HighLight, {}, true);
    } else if (Sender == CloseBtn) {
        LoadButtonPictures(CloseBtn, DesignSettings.Images.CloseBtn_HighLight, {}, true);
    }
}

void TMainF::MinimizeAndCloseBtnMouseLeave(QObject* Sender)
{
    if (Sender == MinimizeBtn) {
        LoadButtonPictures(MinimizeBtn, DesignSettings.Images.MinimizeBtn, {}, true);
    } else if (Sender == CloseBtn) {
        LoadButtonPictures(CloseBtn, DesignSettings.Images.CloseBtn, {}, true);
    }
}

// --- Button skins -----------------------------------------------------------------------------

void TMainF::Btn2MouseEnter(QObject* Sender)
{
    Q_UNUSED(Sender);
    DrawBtnCaption(Btn2, qint32(DesignSettings.Buttons.OptionsBtn_OnFocusTxtColor), strOptions);
}

void TMainF::Btn2MouseLeave(QObject* Sender)
{
    Q_UNUSED(Sender);
    DrawBtnCaption(Btn2, qint32(DesignSettings.Buttons.OptionsBtn_TxtColor), strOptions);
}

void TMainF::Btn3MouseEnter(QObject* Sender)
{
    Q_UNUSED(Sender);
    DrawBtnCaption(Btn3, qint32(DesignSettings.Buttons.ExitBtn_OnFocusTxtColor), strExit);
}

void TMainF::Btn3MouseLeave(QObject* Sender)
{
    Q_UNUSED(Sender);
    DrawBtnCaption(Btn3, qint32(DesignSettings.Buttons.ExitBtn_TxtColor), strExit);
}

void TMainF::Btn4MouseEnter(QObject* Sender)
{
    if (!DesignSettings.Options.BtnOpacity) {
        return;
    }
    auto* Button = qobject_cast<TVeltraneImage*>(Sender);
    if (Button && Button->Enabled()) {
        Button->Picture().Assign(Button->LoadedPicture());
    }
}

void TMainF::Btn4MouseLeave(QObject* Sender)
{
    if (!DesignSettings.Options.BtnOpacity) {
        return;
    }
    auto* Button = qobject_cast<TVeltraneImage*>(Sender);
    if (Button && Button->Enabled()) {
        ApplyBtnOpacity(Button);
    }
}

void TMainF::ToolbarBtnEnable(QObject* Sender, bool Value)
{
    if (Value) {
        ApplyBtnOpacity(qobject_cast<TVeltraneImage*>(Sender));
    }
}
