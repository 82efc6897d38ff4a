#include "SplashForm.h"

#include "Form.h"
#include "Graphic.h"
#include "Image.h"
#include "Label.h"
#include "Pause.h"
#include "Region.h"
#include "config/ControlsProps.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/Paths.h"

#include <QGuiApplication>
#include <QScreen>

using namespace Qt::StringLiterals;

TForm* SplashForm = nullptr;
TImage* SplashImage = nullptr;

namespace {

// Pure blue in the 0x00BBGGRR layout.
constexpr int InfoColor = 0xFF0000;
constexpr int InfoLeft = 5;
constexpr int BottomMargin = 10;
constexpr int LineGap = 5;

TSplashHold& Hold()
{
    static TSplashHold Function;
    return Function;
}

TLabel* InfoLabel(const QString& Name, const QString& Caption)
{
    auto* Label = new TLabel(SplashForm, Name);
    Label->Font()->SetColor(InfoColor);
    Label->Font()->SetStyle(TFont::fsBold);
    Label->SetTransparent(true);
    Label->SetAutoSize(true);
    Label->SetLeft(InfoLeft);
    Label->SetCaption(Caption);
    return Label;
}

// The creator's details, bottom up, each line 5 pixels above the next; hidden lines give their place
// to the lines above them.
void BuildInfoLabels()
{
    const TUserInfo& Creator = Project->Creator;
    const IniFileStruct::TSplash& Show = DesignSettings.Splash;

    TLabel* WWWL = InfoLabel(u"WWWL"_s, Creator.WWW);
    WWWL->SetTop(SplashForm->ClientHeight() - WWWL->Height() - BottomMargin);
    TLabel* MailL = InfoLabel(u"MailL"_s, Creator.Email);
    MailL->SetTop(WWWL->Top() - MailL->Height() - LineGap);
    TLabel* CompanyL = InfoLabel(u"CompanyL"_s, Creator.Company);
    CompanyL->SetTop(MailL->Top() - CompanyL->Height() - LineGap);
    TLabel* NameL = InfoLabel(u"NameL"_s, Creator.Name);
    NameL->SetLeft(CompanyL->Left());
    NameL->SetTop(CompanyL->Top() - NameL->Height() - LineGap);

    if (IsBlank(Creator.WWW) || !Show.ShowWWW) {
        WWWL->SetVisible(false);
        NameL->SetTop(CompanyL->Top());
        CompanyL->SetTop(MailL->Top());
        MailL->SetTop(WWWL->Top());
    }
    if (IsBlank(Creator.Email) || !Show.ShowMail) {
        MailL->SetVisible(false);
        NameL->SetTop(CompanyL->Top());
        CompanyL->SetTop(MailL->Top());
    }
    if (IsBlank(Creator.Company) || !Show.ShowCompany) {
        CompanyL->SetVisible(false);
        NameL->SetTop(CompanyL->Top());
    }
    if (IsBlank(Creator.Name) || !Show.ShowName) {
        NameL->SetVisible(false);
    }

    TLabel* FirstVisible = nullptr;
    for (TLabel* Line : {NameL, CompanyL, MailL, WWWL}) {
        if (Line->Visible()) {
            FirstVisible = Line;
            break;
        }
    }
    if (!FirstVisible) {
        // Without a line there is no header either: the label exists, unnamed and never shown.
        auto* Unused = new TLabel(SplashForm);
        Unused->SetVisible(false);
        return;
    }
    TLabel* DiskAuthorL = InfoLabel(u"DiskAuthorL"_s, strDiskAuthor);
    DiskAuthorL->SetLeft(NameL->Left());
    DiskAuthorL->SetTop(FirstVisible->Top() - DiskAuthorL->Height() - LineGap);
}

// The window's shape: the logo without its key colour, and the author's lines where
// "controls.ini" left them. The lines usually stand on the key colour at the logo's lower left
// corner; without their rectangles the shape would cut them away.
QRegion SplashShape(const QImage& Bitmap)
{
    QRegion Shape = RegionFromBitmap(Bitmap);
    for (const TLabel* Line : SplashForm->findChildren<TLabel*>()) {
        if (Line->Visible()) {
            Shape += QRect(Line->Left(), Line->Top(), Line->Width(), Line->Height());
        }
    }
    return Shape;
}

} // namespace

void SetSplashHold(TSplashHold Function)
{
    Hold() = std::move(Function);
}

QString ChooseSplashPicture(const TVeltraneProject* Project, const IniFileStruct& Settings,
                            const QString& ProgramFolder)
{
    if (Project && !Project->SplashScreen.ImageFileName.isEmpty() &&
        FileExists(Project->Folder + Project->SplashScreen.ImageFileName)) {
        return Project->Folder + Project->SplashScreen.ImageFileName;
    }
    return PathJoin({ProgramFolder, u"Shell"_s, Settings.Path.Images}) + Settings.Images.Splash;
}

bool DecideAndShowSplash(const TShowSplash& Show)
{
    const QString Picture = ChooseSplashPicture(Project, DesignSettings, ProgramFolder);
    const quint16 ShowTime = Project ? Project->SplashScreen.ShowTime : 0;
    if (HasStartFlag(sfShowSplash) && ShowTime > 0 && FileExists(Picture) &&
        (Show ? Show(ShowTime, Picture) : ShowSplashWindow(ShowTime, Picture))) {
        return true;
    }
    // Start-up then has no splash to close.
    StartFlags = static_cast<quint8>(StartFlags & ~sfShowSplash);
    return false;
}

bool ShowSplashWindow(quint16 ShowTime, const QString& Picture)
{
    CloseSplash();

    // A logo that cannot be decoded leaves the start without a splash, silently: it is decoration.
    const TGraphicLoad Load = LoadGraphic(Picture);
    if (!Load.Ok()) {
        return false;
    }
    const QImage Bitmap = Load.Graphic->ToBitmap();

    SplashForm = new TForm(nullptr, u"SplashF"_s);
    SplashForm->setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    SplashForm->setAttribute(Qt::WA_ShowWithoutActivating);

    SplashImage = new TImage(SplashForm);
    // The logo is drawn whole; the window's shape, not the picture, decides what is cut away.
    SplashImage->SetTransparent(false);
    SplashImage->Picture().SetBitmap(Bitmap);
    SplashForm->SetClientWidth(Bitmap.width());
    SplashForm->SetClientHeight(Bitmap.height());
    SplashImage->SetBounds(0, 0, Bitmap.width(), Bitmap.height());

    if (DesignSettings.Splash.SplashInfo && Project) {
        BuildInfoLabels();
    }

    {
        TControlsPropsContainer Controls;
        const QString ControlsFile = ShellFolder() + u"controls.ini"_s;
        if (FileExists(ControlsFile)) {
            Controls.LoadFromFile(ControlsFile);
        }
        Controls.ApplyToControl(SplashForm, true);
    }

    if (DesignSettings.Splash.Transparent) {
        SplashForm->setMask(SplashShape(Bitmap));
    }

    QSize ScreenSize(SplashForm->Width(), SplashForm->Height());
    QPoint ScreenOrigin;
    if (const QScreen* Screen = QGuiApplication::primaryScreen()) {
        ScreenSize = Screen->geometry().size();
        ScreenOrigin = Screen->geometry().topLeft();
    }
    SplashForm->SetBounds(ScreenOrigin.x() + (ScreenSize.width() - SplashForm->Width()) / 2,
                          ScreenOrigin.y() + (ScreenSize.height() - SplashForm->Height()) / 2,
                          SplashForm->Width(), SplashForm->Height());

    SplashForm->show();
    SplashForm->repaint();

    if (ShowTime > 0) {
        const qint64 Milliseconds = qint64(ShowTime) * 1000;
        if (Hold()) {
            Hold()(Milliseconds);
        } else {
            WaitWithoutInput(Milliseconds);
        }
    }

    if (SplashForm) {
        SplashForm->repaint();
    }
    return SplashForm != nullptr;
}

void CloseSplash()
{
    if (!SplashForm) {
        return;
    }
    TForm* Form = SplashForm;
    SplashForm = nullptr;
    SplashImage = nullptr;
    Form->close();
    delete Form;
}
