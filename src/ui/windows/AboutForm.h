#pragma once

#include "Form.h"
#include "OwnerDraw.h"
#include "WindowDrag.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringView>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QPainter;
class TCategoryChooser;
class TCheckListBox;
class TImage;
class TImageList;
class TLabel;
class TLabeledImage;
class TMemo;
class TPicture;
class TSpeedButton;

// The about window: one small borderless window with four pages chosen by a vertical tab strip on its
// left: the settings of this run (background music, animated cursors), the disc author, the program
// and its developer, and the disc's version history. Created once at start-up and hidden; the main
// window's options button shows it modeless. It hides again on Escape, on OK and as soon as another
// window is activated. Pages, check boxes and texts stay as they are between showings.

// The developer of the program, shown on the about page and used for the letter to the developer.
inline constexpr QStringView DeveloperName = u"autorun project";
inline constexpr QStringView DeveloperEmail = u"autorun@example.org";
inline constexpr QStringView DeveloperSite = u"https://example.org/autorun/";

// The window's own pictures by name: "CONFIG", "USER", "ABOUT", "HISTORY" (the page tabs),
// "USERX24", "MAILX24", "WWWX24" (the author page), all 24 x 24, "OKGLYPH" (16 x 16, the OK button)
// and "PROGRAM" (32 x 32, the program's icon). Each is a 24-bit bitmap whose bottom-left colour is
// its transparent colour. A null image for any other name.
QImage AboutBitmap(QStringView Name);

// The one-pixel line under a settings item: W = Rect's width; N = max(2, min(255, W)) bands of
// W div N pixels from the left, band k coloured S + MulDiv(k, E - S, N - 1) per channel; the W mod N
// pixels left at the right end take E. Colours are 0x00BBGGRR.
void DrawGradientLine(QPainter& Painter, const QRect& Rect, quint32 StartColor, quint32 EndColor);
// The colour of each pixel column of such a line, left to right (0x00BBGGRR).
QList<quint32> GradientLineColors(int Width, quint32 StartColor, quint32 EndColor);

// How the settings list draws item Index into Rect (ItemHeight is the list's item height): white, or
// [Colors] Text when selected; the text in Font and TextColor, 4 pixels in, centred vertically; a
// frame in $B66931 when selected or focused; and for items 1 and 2 the gradient line ([Colors] Windows
// to [Colors] Text) two pixels below the item, from x = 0 to the item's right edge.
void DrawSettingsItem(QPainter& Painter, const QRect& Rect, int Index, const QString& Text,
                      TOwnerDrawState State, int ItemHeight, const QFont& Font, const QColor& TextColor);

// Where a web-page text of the disc is opened: an address with a scheme as it stands, "www." text as
// an http address; no value for anything else, which the shell opens as a file.
std::optional<QUrl> WebPageUrl(const QString& Text);
// The file a web-page text that is no address names: a path of the disc ("index.htm",
// "Docs\index.htm") lies below DiscFolder, as every path of a project does; a rooted path or one
// with a drive is taken as written.
QString DiscPagePath(const QString& Text, const QString& DiscFolder);

class TAboutF : public TForm
{
    Q_OBJECT

public:
    // Page numbers of the tab strip.
    enum TAboutPage
    {
        apSettings,
        apAuthor,
        apAbout,
        apHistory
    };

    explicit TAboutF(QWidget* Parent = nullptr);
    ~TAboutF() override;

    // --- Controls of the window's resource ---
    TLabel* MemLabel = nullptr;
    TLabel* OSLabel = nullptr;
    TImage* Image2 = nullptr;
    TLabel* MailL = nullptr;
    TLabel* SiteL = nullptr;
    TSpeedButton* OkBtn = nullptr;
    TLabel* Descript = nullptr;
    TLabel* Label2 = nullptr;
    TMemo* AboutText = nullptr;
    TLabel* Label1 = nullptr;
    TCheckListBox* ShellParams = nullptr;
    TImageList* BtnImgList = nullptr;

    // --- Made at creation ---
    TCategoryChooser* PageChooser = nullptr;
    TImage* LogoImg = nullptr;
    TLabel* CompanyLabel = nullptr;
    TLabeledImage* AuthorImg = nullptr;
    TLabeledImage* EmailImg = nullptr;
    TLabeledImage* WebImg = nullptr;
    TLabel* AuthorLabel = nullptr;
    TLabel* EmailLabel = nullptr;
    TLabel* WebLabel = nullptr;

    // Switches the background music on or off at once: set by the creator of the window to the main
    // window's PlayMusic(MusicFileName, true, true). Called after the start flag has changed.
    std::function<void()> OnPlayMusic;

    // The background picture ([Images] OptionsScreen), nullptr when there is none.
    const TPicture* Background() const { return FBackground.get(); }
    // The full name of the version history file.
    static QString HistoryFileName();
    // True while a drag of the window is on.
    bool Dragging() const { return FDrag.Dragging(); }

    // --- Handlers ---
    void PageChooserCategoryChange(QObject* Sender);
    void OkBtnClick(QObject* Sender = nullptr);
    void MailLClick(QObject* Sender = nullptr);
    void SiteLClick(QObject* Sender = nullptr);
    void EmailLabelClick(QObject* Sender = nullptr);
    void WebLabelClick(QObject* Sender = nullptr);
    void LinkMouseEnter(QObject* Sender);
    void LinkMouseLeave(QObject* Sender);
    void ShellParamsDrawItem(TControl* Control, int Index, const QRect& Rect, TOwnerDrawState State);
    void FormKeyDown(QObject* Sender, quint16& Key, TShiftState Shift);
    void FormMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void FormMouseMove(QObject* Sender, TShiftState Shift, int X, int Y);
    void FormMouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

protected:
    void FormShow() override;
    void Paint(QPainter& Painter) override;
    bool event(QEvent* Event) override;

private:
    // Creation, in order.
    void CreateControls();
    void FormCreate();
    void LoadBackground();
    void CreateLinks();
    void CreatePageChooser();
    void CreateLogo();
    void CreateAuthorPage();
    void PlaceSettingsPage();
    void PlaceAboutPage();
    void LoadHistory();
    void RegisterCursorRule();
    void CenterOnScreen();
    TLabel* NewLabel(const QString& Name, int ALeft, int ATop);
    TLabeledImage* NewAuthorIcon(const QString& Name, const QString& Bitmap, const QString& Caption);

    std::unique_ptr<TPicture> FBackground;
    QList<bool> FSavedChecks;
    TWindowDrag FDrag;
};

// The about window of the run (created once by start-up), or nullptr.
extern TAboutF* AboutF;
