#include "AboutForm.h"

#include "BoundLabel.h"
#include "CategoryChooser.h"
#include "CheckListBox.h"
#include "Colors.h"
#include "CursorSlots.h"
#include "Image.h"
#include "ImageList.h"
#include "Keys.h"
#include "Label.h"
#include "LabeledImage.h"
#include "Memo.h"
#include "Picture.h"
#include "SendMail.h"
#include "ShellService.h"
#include "SpeedButton.h"
#include "SystemInfo.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/LoadMessages.h"
#include "text/Paths.h"
#include "version/VersionInfo.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

using namespace Qt::StringLiterals;

TAboutF* AboutF = nullptr;

namespace {

// Pure blue in the 0x00BBGGRR layout: the colour of the links.
constexpr qint32 LinkColor = 0xFF0000;
// The frame of a selected or focused settings item.
constexpr qint32 ItemFrameColor = 0xB66931;
// The page chooser's colours.
constexpr qint32 ChooserActiveColor = 0xFBEEE6;
constexpr qint32 ChooserLineColor = 0xD9A37B;
// The transparent colour of the window's own bitmaps.
const QColor MaskColor(0xFF, 0x00, 0xFF);

// A bitmap of Size on the transparent colour, drawn by Draw without smoothing, so that every pixel
// is either the picture's or the mask's.
QImage MakeBitmap(QSize Size, const std::function<void(QPainter&)>& Draw)
{
    QImage Image(Size, QImage::Format_RGB32);
    Image.fill(MaskColor);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing, false);
    Draw(P);
    return Image;
}

void DrawPerson(QPainter& P)
{
    P.setPen(QColor(0x24, 0x44, 0x7A));
    P.setBrush(QColor(0x5A, 0x8C, 0xD8));
    P.drawRoundedRect(QRect(4, 13, 15, 9), 4, 4);
    P.fillRect(4, 19, 16, 4, QColor(0x5A, 0x8C, 0xD8));
    P.drawLine(4, 19, 4, 22);
    P.drawLine(19, 19, 19, 22);
    P.drawLine(4, 22, 19, 22);
    P.setBrush(QColor(0xF2, 0xC8, 0x9C));
    P.setPen(QColor(0x8A, 0x5A, 0x30));
    P.drawEllipse(QRect(7, 2, 9, 10));
}

void DrawGear(QPainter& P)
{
    const QColor Body(0x70, 0x78, 0x88);
    P.setPen(Qt::NoPen);
    P.setBrush(Body);
    // Eight teeth round a wheel.
    const QList<QRect> Teeth{{10, 1, 4, 5}, {10, 18, 4, 5}, {1, 10, 5, 4}, {18, 10, 5, 4},
                             {4, 4, 4, 4},  {16, 4, 4, 4},  {4, 16, 4, 4}, {16, 16, 4, 4}};
    for (const QRect& Tooth : Teeth) {
        P.drawRect(Tooth);
    }
    P.setPen(QColor(0x40, 0x44, 0x50));
    P.drawEllipse(QRect(4, 4, 15, 15));
    P.setBrush(QColor(0xF4, 0xF4, 0xF4));
    P.drawEllipse(QRect(9, 9, 5, 5));
}

void DrawInfo(QPainter& P)
{
    P.setPen(QColor(0x20, 0x40, 0x90));
    P.setBrush(QColor(0x40, 0x70, 0xD0));
    P.drawEllipse(QRect(1, 1, 21, 21));
    P.fillRect(10, 10, 4, 8, Qt::white);
    P.fillRect(10, 5, 4, 3, Qt::white);
}

void DrawClock(QPainter& P)
{
    P.setPen(QColor(0x50, 0x38, 0x20));
    P.setBrush(QColor(0xF6, 0xEA, 0xC8));
    P.drawEllipse(QRect(1, 1, 21, 21));
    P.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
    P.drawLine(12, 12, 12, 5);
    P.drawLine(12, 12, 17, 14);
    P.setPen(QColor(0x50, 0x38, 0x20));
    for (const QPoint& Mark : {QPoint(12, 3), QPoint(12, 20), QPoint(3, 12), QPoint(20, 12)}) {
        P.drawPoint(Mark);
    }
}

void DrawEnvelope(QPainter& P)
{
    P.setPen(QColor(0x6A, 0x50, 0x20));
    P.setBrush(QColor(0xFA, 0xF0, 0xD2));
    P.drawRect(QRect(1, 5, 21, 14));
    P.drawLine(1, 5, 11, 13);
    P.drawLine(12, 13, 22, 5);
    P.drawLine(1, 19, 9, 11);
    P.drawLine(22, 19, 14, 11);
}

void DrawGlobe(QPainter& P)
{
    P.setPen(QColor(0x1C, 0x50, 0x80));
    P.setBrush(QColor(0x6C, 0xB4, 0xE8));
    P.drawEllipse(QRect(1, 1, 21, 21));
    P.setBrush(QColor(0x4C, 0xA0, 0x48));
    P.setPen(Qt::NoPen);
    P.drawRect(QRect(5, 6, 6, 5));
    P.drawRect(QRect(13, 13, 5, 5));
    P.setPen(QColor(0x1C, 0x50, 0x80));
    P.setBrush(Qt::NoBrush);
    P.drawEllipse(QRect(7, 1, 9, 21));
    P.drawLine(2, 11, 21, 11);
    P.drawLine(4, 6, 19, 6);
    P.drawLine(4, 17, 19, 17);
}

void DrawTick(QPainter& P)
{
    P.setPen(QPen(QColor(0x20, 0x90, 0x30), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    P.drawPolyline(QList<QPoint>{{2, 8}, {6, 12}, {13, 3}});
}

void DrawProgram(QPainter& P)
{
    P.setPen(QColor(0x20, 0x30, 0x70));
    P.setBrush(QColor(0x50, 0x80, 0xD0));
    P.drawEllipse(QRect(2, 2, 27, 27));
    P.setBrush(QColor(0x9C, 0xBC, 0xEC));
    P.drawEllipse(QRect(7, 7, 17, 17));
    P.setBrush(QColor(0xF0, 0xF0, 0xF0));
    P.drawEllipse(QRect(12, 12, 7, 7));
}

// MulDiv of the platform: A * B / C rounded to the nearest, halves away from zero.
int MulDiv(int A, int B, int C)
{
    if (C == 0) {
        return -1;
    }
    const qint64 Num = static_cast<qint64>(A) * B;
    const qint64 Den = C;
    const qint64 Result = (std::llabs(Num) + std::llabs(Den) / 2) / std::llabs(Den);
    return static_cast<int>((Num < 0) != (Den < 0) ? -Result : Result);
}

quint32 Channel(quint32 Color, int Shift)
{
    return (Color >> Shift) & 0xFF;
}

// Windows rectangles: Right and Bottom one past the last pixel.
QRect RectFromEdges(int Left, int Top, int Right, int Bottom)
{
    return {Left, Top, std::max(0, Right - Left), std::max(0, Bottom - Top)};
}

} // namespace

QImage AboutBitmap(QStringView Name)
{
    const QSize Icon(24, 24);
    if (Name == u"CONFIG") {
        return MakeBitmap(Icon, DrawGear);
    }
    if (Name == u"USER" || Name == u"USERX24") {
        return MakeBitmap(Icon, DrawPerson);
    }
    if (Name == u"ABOUT") {
        return MakeBitmap(Icon, DrawInfo);
    }
    if (Name == u"HISTORY") {
        return MakeBitmap(Icon, DrawClock);
    }
    if (Name == u"MAILX24") {
        return MakeBitmap(Icon, DrawEnvelope);
    }
    if (Name == u"WWWX24") {
        return MakeBitmap(Icon, DrawGlobe);
    }
    if (Name == u"OKGLYPH") {
        return MakeBitmap(QSize(16, 16), DrawTick);
    }
    if (Name == u"PROGRAM") {
        return MakeBitmap(QSize(32, 32), DrawProgram);
    }
    return {};
}

QList<quint32> GradientLineColors(int Width, quint32 StartColor, quint32 EndColor)
{
    QList<quint32> Columns;
    if (Width <= 0) {
        return Columns;
    }
    Columns.reserve(Width);
    const int Bands = std::max(2, std::min(255, Width));
    const int BandWidth = Width / Bands;
    for (int K = 0; K < Bands; ++K) {
        quint32 Color = 0;
        for (const int Shift : {0, 8, 16}) {
            const int S = static_cast<int>(Channel(StartColor, Shift));
            const int E = static_cast<int>(Channel(EndColor, Shift));
            const quint32 Value = static_cast<quint32>(S + MulDiv(K, E - S, Bands - 1)) & 0xFF;
            Color |= Value << Shift;
        }
        for (int X = 0; X < BandWidth; ++X) {
            Columns.append(Color);
        }
    }
    while (Columns.size() < Width) {
        Columns.append(EndColor & 0xFFFFFF);
    }
    return Columns;
}

void DrawGradientLine(QPainter& Painter, const QRect& Rect, quint32 StartColor, quint32 EndColor)
{
    const QList<quint32> Columns = GradientLineColors(Rect.width(), StartColor, EndColor);
    // Runs of one colour are filled at once.
    int From = 0;
    for (int X = 1; X <= Columns.size(); ++X) {
        if (X == Columns.size() || Columns[X] != Columns[From]) {
            Painter.fillRect(QRect(Rect.left() + From, Rect.top(), X - From, Rect.height()),
                             ColorToRGB(static_cast<qint32>(Columns[From])));
            From = X;
        }
    }
}

void DrawSettingsItem(QPainter& Painter, const QRect& Rect, int Index, const QString& Text,
                      TOwnerDrawState State, int ItemHeight, const QFont& Font, const QColor& TextColor)
{
    const bool Selected = State.testFlag(odSelected);
    Painter.fillRect(Rect, Selected ? ColorToRGB(static_cast<qint32>(DesignSettings.Colors.Text))
                                    : QColor(Qt::white));
    Painter.setFont(Font);
    Painter.setPen(TextColor);
    Painter.drawText(Rect.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Text);
    if (Selected || State.testFlag(odFocused)) {
        Painter.setPen(ColorToRGB(ItemFrameColor));
        Painter.setBrush(Qt::NoBrush);
        Painter.drawRect(Rect.adjusted(0, 0, -1, -1));
    }
    if (Index == 1 || Index == 2) {
        // Two pixels under the item, across the check box column as well.
        const int Right = Rect.left() + Rect.width();
        const int Bottom = Rect.top() + Rect.height();
        DrawGradientLine(Painter, RectFromEdges(0, Rect.top() + ItemHeight + 2, Right, Bottom + 3),
                         DesignSettings.Colors.Windows, DesignSettings.Colors.Text);
    }
}

std::optional<QUrl> WebPageUrl(const QString& Text)
{
    const QString Address = Text.trimmed();
    if (Address.startsWith(u"www."_s, Qt::CaseInsensitive)) {
        return QUrl(u"http://"_s + Address, QUrl::TolerantMode);
    }
    const QUrl Url(Address, QUrl::TolerantMode);
    // A single letter before the colon is a drive, not a scheme.
    if (Url.isValid() && Url.scheme().size() > 1) {
        return Url;
    }
    return std::nullopt;
}

QString DiscPagePath(const QString& Text, const QString& DiscFolder)
{
    const QString Page = Text.trimmed();
    const bool HasDrive = Page.size() >= 2 && Page[1] == u':';
    if (Page.isEmpty() || HasDrive || IsPathDelimiter(Page.front())) {
        return Page;
    }
    return PathJoin({DiscFolder}) + Page;
}

// --- Construction -----------------------------------------------------------------------------

TAboutF::TAboutF(QWidget* Parent) : TForm(Parent, u"AboutF"_s)
{
    // No caption bar: the window draws its own frame around the pages.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    SetColor(clWhite);
    SetClientWidth(510);
    SetClientHeight(410);
    OnKeyDown = [this](QObject* Sender, quint16& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };
    OnMouseDown = [this](QObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        FormMouseDown(S, B, Sh, X, Y);
    };
    OnMouseMove = [this](QObject* S, TShiftState Sh, int X, int Y) { FormMouseMove(S, Sh, X, Y); };
    OnMouseUp = [this](QObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        FormMouseUp(S, B, Sh, X, Y);
    };
    CreateControls();
    FormCreate();
    AboutF = this;
}

TAboutF::~TAboutF()
{
    if (AboutF == this) {
        AboutF = nullptr;
    }
}

TLabel* TAboutF::NewLabel(const QString& Name, int ALeft, int ATop)
{
    auto* Label = new TLabel(this, Name);
    Label->SetLeft(ALeft);
    Label->SetTop(ATop);
    return Label;
}

void TAboutF::CreateControls()
{
    MemLabel = NewLabel(u"MemLabel"_s, 8, 356);
    MemLabel->SetTransparent(true);
    OSLabel = NewLabel(u"OSLabel"_s, 8, 341);
    OSLabel->SetTransparent(true);

    Image2 = new TImage(this, u"Image2"_s);
    Image2->SetBounds(140, 223, 26, 26);
    Image2->Constraints()->SetMaxWidth(33);
    Image2->Constraints()->SetMaxHeight(33);
    Image2->SetAutoSize(true);
    Image2->SetVisible(false);

    MailL = NewLabel(u"MailL"_s, 140, 312);
    MailL->Font()->SetColor(LinkColor);
    SiteL = NewLabel(u"SiteL"_s, 140, 292);
    SiteL->Font()->SetColor(LinkColor);

    OkBtn = new TSpeedButton(this, u"OkBtn"_s);
    OkBtn->SetBounds(429, 345, 66, OkBtn->Height());
    OkBtn->SetFlat(true);
    OkBtn->SetCaption(u"OK"_s);
    OkBtn->Font()->SetStyle(TFont::fsBold);
    OkBtn->Glyph().SetBitmap(AboutBitmap(u"OKGLYPH"));
    OkBtn->OnClick = [this](QObject* Sender) { OkBtnClick(Sender); };

    Descript = NewLabel(u"Descript"_s, 140, 254);
    Descript->Font()->SetName(u"Tahoma"_s);
    Descript->Font()->SetStyle(TFont::fsBold);
    Descript->SetVisible(false);

    Label2 = NewLabel(u"Label2"_s, 176, 223);
    Label2->Font()->SetName(u"Tahoma"_s);
    Label2->Font()->SetHeight(-19);
    Label2->Font()->SetStyle(TFont::fsBold);
    Label2->SetAlignment(TLabel::taCenter);
    Label2->SetVisible(false);

    AboutText = new TMemo(this, u"AboutText"_s);
    AboutText->SetBounds(140, 130, 354, 79);
    AboutText->SetScrollBars(TCustomMemo::ssVertical);
    AboutText->SetVisible(false);

    Label1 = NewLabel(u"Label1"_s, 140, 330);
    Label1->Font()->SetHeight(-15);

    ShellParams = new TCheckListBox(this, u"ShellParams"_s);
    ShellParams->SetBounds(397, 221, 98, 81);
    ShellParams->SetStyle(TListBox::lbOwnerDrawFixed);
    ShellParams->SetItemHeight(32);
    ShellParams->OnDrawItem = [this](TControl* Control, int Index, const QRect& Rect, TOwnerDrawState State) {
        ShellParamsDrawItem(Control, Index, Rect, State);
    };

    BtnImgList = new TImageList(this, u"BtnImgList"_s);
    BtnImgList->SetWidth(24);
    BtnImgList->SetHeight(24);
}

void TAboutF::FormCreate()
{
    LoadBackground();

    SetCaption(strSettingsPage);
    SetKeyPreview(true);

    Label2->SetCaption(ProductName.toString());
    CreateLinks();

    TVersionInfo Version;
    GetVersionInfo(Version);
    // Line feeds break the lines: Qt draws a lone carriage return as a blank.
    Descript->SetCaption(strAppDescription + u'\n' + strDeveloper + u' ' + DeveloperName.toString() +
                         u"\n\n"_s + strVersion + u' ' + Version.Text);

    Label1->SetCaption(FormatS(strSettingsTitle, {ProductName}));

    OSLabel->SetCaption(GetOSDescription());
    MemLabel->SetCaption(MemoryText(GetTotalPhysicalMemoryKB(), QLocale()));

    for (const QStringView Name : {u"CONFIG", u"USER", u"ABOUT", u"HISTORY"}) {
        const QImage Bitmap = AboutBitmap(Name);
        BtnImgList->AddMasked(Bitmap, Bitmap.pixel(0, Bitmap.height() - 1));
    }

    CreatePageChooser();
    CreateLogo();
    CreateAuthorPage();
    PlaceSettingsPage();
    PlaceAboutPage();

    AboutText->SetTop(Label1->Top());
    AboutText->SetHeight(OSLabel->Top() - AboutText->Top() - 12);

    OkBtn->SetHeight(34);
    SetClientHeight(OkBtn->BoundsBottom() + 6);

    LoadHistory();
    RegisterCursorRule();

    for (int I = 0; I < ShellParams->Count(); ++I) {
        FSavedChecks.append(ShellParams->Checked(I));
    }
    CenterOnScreen();
}

void TAboutF::LoadBackground()
{
    const QString File = PathJoin({ProgramFolder, u"Shell"_s, DesignSettings.Path.Images}) +
                         DesignSettings.Images.OptionsScreen;
    if (!FileExists(File)) {
        return;
    }
    auto Picture = std::make_unique<TPicture>();
    // The background is decoration: a picture that cannot be read leaves the window plain white.
    if (Picture->LoadFromFile(File)) {
        FBackground = std::move(Picture);
    }
}

void TAboutF::CreateLinks()
{
    MailL->SetCaption(DeveloperEmail.toString());
    SiteL->SetCaption(DeveloperSite.toString());
    for (TLabel* Link : {MailL, SiteL}) {
        Link->SetCursor(crHandPoint);
        Link->SetTransparent(true);
        Link->SetVisible(false);
        Link->OnMouseEnter = [this](QObject* Sender) { LinkMouseEnter(Sender); };
        Link->OnMouseLeave = [this](QObject* Sender) { LinkMouseLeave(Sender); };
    }
    MailL->OnClick = [this](QObject* Sender) { MailLClick(Sender); };
    SiteL->OnClick = [this](QObject* Sender) { SiteLClick(Sender); };
}

void TAboutF::CreatePageChooser()
{
    PageChooser = new TCategoryChooser(this, u"PageChooser"_s);
    PageChooser->SetTabHeight(30);
    PageChooser->SetBounds(0, 26, 130, 4 * 30 + 1);
    PageChooser->SetImages(BtnImgList);
    PageChooser->SetActiveColor(ChooserActiveColor);
    PageChooser->SetLineColor(ChooserLineColor);
    PageChooser->SetViewStyle(cvsVertical);
    TCategories* List = PageChooser->CatList();
    List->BeginUpdate();
    const QString Captions[] = {strSettingsCaption, strAuthorPage, strAboutPage, strHistoryPage};
    for (int I = 0; I < 4; ++I) {
        TCategory* Category = List->Add();
        Category->SetCaption(Captions[I]);
        Category->SetImageIndex(I);
    }
    List->EndUpdate();
    PageChooser->OnCategoryChange = [this](QObject* Sender) { PageChooserCategoryChange(Sender); };
}

void TAboutF::CreateLogo()
{
    LogoImg = new TImage(this, u"LogoImg"_s);
    LogoImg->SetLeft(PageChooser->BoundsRight() + 10);
    LogoImg->SetTop(PageChooser->Top() + 8);
    LogoImg->Constraints()->SetMaxWidth(128);
    LogoImg->Constraints()->SetMaxHeight(128);
    LogoImg->SetAutoSize(true);
    LogoImg->SetCenter(true);
    LogoImg->SetProportional(true);
    LogoImg->SetVisible(false);
    const QString File = PathJoin({ProgramFolder, u"Shell"_s, DesignSettings.Path.Images}) + u"logo.bmp"_s;
    if (FileExists(File) && LogoImg->Picture().LoadFromFile(File)) {
        // A logo is shown whole, on the window's colour; without one the control draws nothing.
        LogoImg->SetParentColor(true);
        LogoImg->SetTransparent(false);
    }
    // The logo drags the window like the window itself.
    LogoImg->OnMouseDown = [this](QObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        FormMouseDown(S, B, Sh, X, Y);
    };
    LogoImg->OnMouseMove = [this](QObject* S, TShiftState Sh, int X, int Y) { FormMouseMove(S, Sh, X, Y); };
    LogoImg->OnMouseUp = [this](QObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        FormMouseUp(S, B, Sh, X, Y);
    };
}

TLabeledImage* TAboutF::NewAuthorIcon(const QString& Name, const QString& Bitmap, const QString& Caption)
{
    auto* Icon = new TLabeledImage(this, Name);
    Icon->Picture().SetBitmap(AboutBitmap(Bitmap));
    Icon->SetBounds(Icon->Left(), Icon->Top(), 24, 24);
    // Caption and font first: the label is placed with its final size.
    Icon->EditLabel()->SetCaption(Caption);
    Icon->EditLabel()->Font()->SetStyle(TFont::fsBold);
    Icon->SetLabelPosition(TLabeledImage::lpLeft);
    return Icon;
}

void TAboutF::CreateAuthorPage()
{
    static const TUserInfo NoCreator;
    const TUserInfo& Creator = Project ? Project->Creator : NoCreator;

    CompanyLabel = new TLabel(this, u"CompanyLabel"_s);
    CompanyLabel->SetCaption(Creator.Company);
    CompanyLabel->Font()->SetSize(10);
    CompanyLabel->SetTransparent(true);
    CompanyLabel->SetEnabled(!IsBlank(Creator.Company));
    CompanyLabel->SetTop(LogoImg->Top());
    CompanyLabel->SetLeft(LogoImg->BoundsRight() + (LogoImg->Picture().HasGraphic() ? 6 : 0));
    CompanyLabel->SetVisible(false);

    AuthorImg = NewAuthorIcon(u"AuthorImg"_s, u"USERX24"_s, strAuthor);
    AuthorImg->SetLeft(LogoImg->Left());
    AuthorImg->SetTop(CompanyLabel->Enabled()
                          ? std::max(LogoImg->BoundsBottom(), CompanyLabel->BoundsBottom()) + 10
                          : CompanyLabel->Top());
    AuthorImg->SetVisible(false);
    AuthorLabel = new TLabel(this, u"AuthorLabel"_s);
    AuthorLabel->SetCaption(Creator.Name);
    AuthorLabel->Font()->SetSize(10);
    AuthorLabel->SetEnabled(!IsBlank(Creator.Name));
    AuthorLabel->SetTop(AuthorImg->BoundsBottom() + 3);
    AuthorLabel->SetLeft(AuthorImg->BoundsRight() + 3);
    AuthorLabel->SetVisible(false);

    EmailImg = NewAuthorIcon(u"EmailImg"_s, u"MAILX24"_s, strEmail);
    EmailImg->SetLeft(LogoImg->Left());
    EmailImg->SetTop(AuthorLabel->Enabled() ? AuthorLabel->BoundsBottom() + 6 : AuthorLabel->Top());
    EmailImg->SetVisible(false);
    EmailLabel = new TLabel(this, u"EmailLabel"_s);
    EmailLabel->SetCaption(Creator.Email);
    EmailLabel->Font()->SetColor(LinkColor);
    EmailLabel->SetCursor(crHandPoint);
    EmailLabel->SetEnabled(!IsBlank(Creator.Email));
    EmailLabel->SetTop(EmailImg->BoundsBottom() + 3);
    EmailLabel->SetLeft(AuthorLabel->Left());
    EmailLabel->SetVisible(false);
    EmailImg->SetEnabled(EmailLabel->Enabled());
    EmailLabel->OnClick = [this](QObject* Sender) { EmailLabelClick(Sender); };

    WebImg = NewAuthorIcon(u"WebImg"_s, u"WWWX24"_s, strWebPage);
    WebImg->SetLeft(LogoImg->Left());
    WebImg->SetTop(EmailImg->Enabled() ? EmailLabel->BoundsBottom() + 6 : EmailImg->Top());
    WebImg->SetVisible(false);
    WebLabel = new TLabel(this, u"WebLabel"_s);
    WebLabel->SetCaption(Creator.WWW);
    WebLabel->Font()->SetColor(LinkColor);
    WebLabel->SetCursor(crHandPoint);
    WebLabel->SetEnabled(!IsBlank(Creator.WWW));
    WebLabel->SetTop(WebImg->BoundsBottom() + 3);
    WebLabel->SetLeft(EmailLabel->Left());
    WebLabel->SetVisible(false);
    WebImg->SetEnabled(WebLabel->Enabled());
    WebLabel->OnClick = [this](QObject* Sender) { WebLabelClick(Sender); };

    // Names, companies and addresses are shown as written: "Ann & Bob" is no keyboard shortcut.
    for (TLabel* Value : {CompanyLabel, AuthorLabel, EmailLabel, WebLabel}) {
        Value->SetShowAccelChar(false);
    }
    for (TLabel* Link : {EmailLabel, WebLabel}) {
        Link->OnMouseEnter = [this](QObject* Sender) { LinkMouseEnter(Sender); };
        Link->OnMouseLeave = [this](QObject* Sender) { LinkMouseLeave(Sender); };
    }
}

void TAboutF::PlaceSettingsPage()
{
    Label1->SetTop(PageChooser->Top() + 6);
    ShellParams->SetBounds(Label1->Left(), Label1->BoundsBottom() + 10,
                           ClientWidth() - PageChooser->BoundsRight() - 20, ShellParams->Height());
    ShellParams->Items().Add(strBackgroundMusic);
    ShellParams->SetChecked(0, HasStartFlag(sfBackgroundMusic));
    ShellParams->Items().Add(strAnimatedCursors);
    ShellParams->SetChecked(1, HasStartFlag(sfAnimatedCursors));
}

void TAboutF::PlaceAboutPage()
{
    Image2->SetTop(Label1->Top());
    Label2->SetTop(Label1->Top());
    Descript->SetTop(Label2->BoundsBottom() + 10);
    SiteL->SetTop(Descript->BoundsBottom() + 10);
    MailL->SetTop(SiteL->BoundsBottom() + 8);
    Image2->Picture().SetBitmap(AboutBitmap(u"PROGRAM"));
}

QString TAboutF::HistoryFileName()
{
    return PathJoin({ProgramFolder, u"Shell"_s}) + DesignSettings.Options.Version;
}

void TAboutF::LoadHistory()
{
    const QString File = HistoryFileName();
    if (FileExists(File)) {
        // A history too long for the memo shows its beginning.
        AboutText->Lines().LoadFromFile(File);
    } else {
        PageChooser->CatList()->Delete(apHistory);
    }
}

void TAboutF::RegisterCursorRule()
{
    RegisterCursorClient(this, [this](bool Enabled) {
        const int Help = Enabled ? CursorHelp : crDefault;
        SetCursor(Help);
        for (QObject* Child : children()) {
            // Caption labels belong to their pictures, not to the window.
            auto* Control = qobject_cast<TControl*>(Child);
            if (Control && !qobject_cast<TBoundLabel*>(Child)) {
                Control->SetCursor(Help);
            }
        }
        const int Hand = Enabled ? CursorHand : crHandPoint;
        for (TLabel* Link : {SiteL, MailL, EmailLabel, WebLabel}) {
            Link->SetCursor(Hand);
        }
        // The strip sets its own cursor over the tabs.
        PageChooser->SetFocusedCursor(Hand);
        if (Enabled) {
            AboutText->SetCursor(CursorIBeam);
        }
    });
}

void TAboutF::CenterOnScreen()
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    if (!Screen) {
        return;
    }
    const QRect Area = Screen->availableGeometry();
    move(Area.x() + (Area.width() - width()) / 2, Area.y() + (Area.height() - height()) / 2);
}

// --- Showing, pages, painting -------------------------------------------------------------------

void TAboutF::FormShow()
{
    FSavedChecks.clear();
    for (int I = 0; I < ShellParams->Count(); ++I) {
        FSavedChecks.append(ShellParams->Checked(I));
    }
    ShellParams->SetItemIndex(0);
}

void TAboutF::PageChooserCategoryChange(QObject* Sender)
{
    Q_UNUSED(Sender);
    const int Page = PageChooser->SelectedCat();
    if (Page < 0 || Page >= PageChooser->CatList()->Count()) {
        return;
    }
    const bool Settings = Page == apSettings;
    Label1->SetVisible(Settings);
    ShellParams->SetVisible(Settings);

    const bool Author = Page == apAuthor;
    LogoImg->SetVisible(Author);
    for (TLabel* Value : {CompanyLabel, AuthorLabel, EmailLabel, WebLabel}) {
        Value->SetVisible(Author && Value->Enabled());
    }
    AuthorImg->SetVisible(AuthorLabel->Visible());
    EmailImg->SetVisible(EmailLabel->Visible());
    WebImg->SetVisible(WebLabel->Visible());

    const bool About = Page == apAbout;
    for (TControl* Control : std::initializer_list<TControl*>{Label2, Image2, Descript, MailL, SiteL}) {
        Control->SetVisible(About);
    }

    AboutText->SetVisible(Page == apHistory);
    Invalidate();
}

void TAboutF::Paint(QPainter& Painter)
{
    if (FBackground) {
        FBackground->Draw(Painter, QRectF(0, 0, FBackground->Width(), FBackground->Height()), false);
    }
    if (PageChooser->Visible()) {
        const QRect Frame = RectFromEdges(PageChooser->BoundsRight(), PageChooser->Top(), ClientWidth() - 8,
                                          OSLabel->Top() - 6);
        if (!Frame.isEmpty()) {
            Painter.setPen(ColorToRGB(PageChooser->LineColor()));
            Painter.setBrush(Qt::NoBrush);
            Painter.drawRect(Frame.adjusted(0, 0, -1, -1));
        }
    }
}

void TAboutF::ShellParamsDrawItem(TControl* Control, int Index, const QRect& Rect, TOwnerDrawState State)
{
    auto* List = static_cast<TCheckListBox*>(Control);
    QPainter* Canvas = List->Canvas();
    if (!Canvas || Index < 0 || Index >= List->Count()) {
        return;
    }
    DrawSettingsItem(*Canvas, Rect, Index, List->Items().Strings(Index), State, List->ItemHeight(),
                     List->font(), ColorToRGB(List->Font()->Color()));
}

// --- Commands ---------------------------------------------------------------------------------

void TAboutF::OkBtnClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    for (int I = 0; I < ShellParams->Count(); ++I) {
        const bool Checked = ShellParams->Checked(I);
        if (I < FSavedChecks.size() && Checked == FSavedChecks[I]) {
            continue;
        }
        if (I == 0) {
            StartFlags = static_cast<quint8>(Checked ? (StartFlags | sfBackgroundMusic)
                                                     : (StartFlags & ~sfBackgroundMusic));
            if (OnPlayMusic) {
                OnPlayMusic();
            }
        } else if (I == 1) {
            SetAnimatedCursors(Checked);
        }
    }
    Close();
}

void TAboutF::MailLClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    TVersionInfo Version;
    GetVersionInfo(Version);
    TSendMailThread::Create(
        DeveloperLetter(DeveloperName.toString(), DeveloperEmail.toString(), Version.Text));
}

void TAboutF::SiteLClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    ShellService().OpenUrl(QUrl(DeveloperSite.toString()));
}

void TAboutF::EmailLabelClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    if (Project) {
        TSendMailThread::Create(AuthorLetter(Project->Creator));
    }
}

void TAboutF::WebLabelClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    const QString Address = WebLabel->Caption();
    if (const std::optional<QUrl> Url = WebPageUrl(Address)) {
        ShellService().OpenUrl(*Url);
    } else {
        // A page of the disc, named like every disc path: below the project's folder.
        const QString Page = DiscPagePath(Address, Project ? Project->Folder : ProgramFolder);
        ShellService().Open(SystemPath(Page), QString(), SystemPath(ExtractFilePath(Page)));
    }
}

void TAboutF::LinkMouseEnter(QObject* Sender)
{
    if (auto* Link = qobject_cast<TControl*>(Sender)) {
        Link->Font()->SetStyle(TFont::fsUnderline);
    }
}

void TAboutF::LinkMouseLeave(QObject* Sender)
{
    if (auto* Link = qobject_cast<TControl*>(Sender)) {
        Link->Font()->SetStyle({});
    }
}

// --- Keys, mouse, activation --------------------------------------------------------------------

void TAboutF::FormKeyDown(QObject* Sender, quint16& Key, TShiftState Shift)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    if (Key == VK_ESCAPE) {
        Key = 0;
        Close();
    }
}

void TAboutF::FormMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    FDrag.MouseDown(Button, X, Y);
}

void TAboutF::FormMouseMove(QObject* Sender, TShiftState Shift, int X, int Y)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    FDrag.MouseMove(this, X, Y);
}

void TAboutF::FormMouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    FDrag.MouseUp();
}

bool TAboutF::event(QEvent* Event)
{
    const bool Result = TForm::event(Event);
    // Activating another window puts this one away.
    if (Event->type() == QEvent::WindowDeactivate && isVisible()) {
        Close();
    }
    return Result;
}
