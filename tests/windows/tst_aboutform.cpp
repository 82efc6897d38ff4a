// The about window: its layout, the author page built from the disc's creator, the page switch, the
// settings applied on OK, the links, closing, dragging and the drawing of the settings list.

#include "AboutForm.h"
#include "CategoryChooser.h"
#include "CheckListBox.h"
#include "Image.h"
#include "ImageList.h"
#include "Label.h"
#include "LabeledImage.h"
#include "MainFormFixture.h"
#include "Memo.h"
#include "PrivateDesktop.h"
#include "SpeedButton.h"
#include "version/VersionInfo.h"

#include <QApplication>
#include <QPainter>
#include <QUrl>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// 0x00BBGGRR as the pixel colour it gives.
QRgb Rgb(quint32 Color)
{
    return qRgb(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
}

QString Describe(QRgb Pixel)
{
    return QString::number(Pixel & 0xFFFFFF, 16);
}

} // namespace

class TestAboutForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void resourceLayout();
    void texts();
    void historyFile_data();
    void historyFile();
    void pageSwitch_data();
    void pageSwitch();
    void selectionOutsideTheTabsChangesNothing();
    void authorWithNameAndWebPageOnly();
    void ampersandShownAsWritten();
    void authorWithEverything();
    void blankEmailIsHidden_data();
    void blankEmailIsHidden();
    void okAppliesChangedSettings_data();
    void okAppliesChangedSettings();
    void checkStatesAreComparedWithTheLatestShowing();
    void escapeHides_data();
    void escapeHides();
    void deactivationHides();
    void links();
    void webPageUrl_data();
    void webPageUrl();
    void webPageOfTheDisc();
    void underlineOnHover();
    void dragging();
    void frameAndBackground();
    void settingsItemDrawing();
    void gradientLineColors_data();
    void gradientLineColors();
    void ownBitmaps();

private:
    // The window built from the fixture's disc as it stands.
    TAboutF& Create();
    void Show(TAboutF& Form);
    QStringList VisibleControls(TAboutF& Form) const;

    std::unique_ptr<TMainFixture> FDisc;
    std::unique_ptr<TAboutF> FForm;
};

void TestAboutForm::init()
{
    FDisc = std::make_unique<TMainFixture>();
    SetVersionSource([] { return std::optional<TFileVersion>(TFileVersion{2, 7, 5, 31225}); });
}

void TestAboutForm::cleanup()
{
    FForm.reset();
    FDisc.reset();
    SetVersionSource({});
}

TAboutF& TestAboutForm::Create()
{
    FForm = std::make_unique<TAboutF>();
    return *FForm;
}

void TestAboutForm::Show(TAboutF& Form)
{
    Form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Form));
}

// The names of the page controls that are shown, in a fixed order.
QStringList TestAboutForm::VisibleControls(TAboutF& Form) const
{
    QStringList Names;
    for (TControl* Control : std::initializer_list<TControl*>{
             Form.Label1, Form.ShellParams, Form.LogoImg, Form.CompanyLabel, Form.AuthorImg, Form.AuthorLabel,
             Form.EmailImg, Form.EmailLabel, Form.WebImg, Form.WebLabel, Form.Label2, Form.Image2,
             Form.Descript, Form.MailL, Form.SiteL, Form.AboutText}) {
        if (Control->Visible()) {
            Names.append(Control->Name());
        }
    }
    return Names;
}

void TestAboutForm::resourceLayout()
{
    TAboutF& Form = Create();
    QCOMPARE(Form.Name(), u"AboutF"_s);
    QVERIFY(Form.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(Form.isHidden());
    QCOMPARE(Form.Color(), 0xFFFFFF);
    QCOMPARE(Form.Caption(), u"Settings"_s);
    QVERIFY(Form.KeyPreview());
    QCOMPARE(Form.ClientWidth(), 510);
    // The OK button is 34 high at 345; the window ends 6 pixels below it.
    QCOMPARE(Form.OkBtn->geometry(), QRect(429, 345, 66, 34));
    QCOMPARE(Form.ClientHeight(), 385);
    QVERIFY(Form.OkBtn->Flat());
    QVERIFY(Form.OkBtn->Glyph().HasGraphic());
    QCOMPARE(Form.OkBtn->Caption(), u"OK"_s);

    QCOMPARE(Form.PageChooser->geometry(), QRect(0, 26, 130, 121));
    QCOMPARE(Form.PageChooser->TabHeight(), 30);
    QCOMPARE(Form.PageChooser->ViewStyle(), cvsVertical);
    QCOMPARE(Form.PageChooser->ActiveColor(), 0xFBEEE6);
    QCOMPARE(Form.PageChooser->LineColor(), 0xD9A37B);
    QCOMPARE(Form.PageChooser->Images(), Form.BtnImgList);
    QCOMPARE(Form.BtnImgList->Count(), 4);
    QCOMPARE(Form.BtnImgList->Width(), 24);

    // Settings page: the title 6 below the strip's top, the list 10 under it, as wide as the page.
    QCOMPARE(Form.Label1->Top(), 32);
    QCOMPARE(Form.ShellParams->geometry(), QRect(140, Form.Label1->BoundsBottom() + 10, 360, 81));
    QCOMPARE(Form.ShellParams->ItemHeight(), 32);
    QCOMPARE(Form.ShellParams->Style(), TListBox::lbOwnerDrawFixed);

    // About page.
    QCOMPARE(Form.Image2->Top(), 32);
    QCOMPARE(Form.Label2->Top(), 32);
    QCOMPARE(Form.Image2->size(), QSize(32, 32));
    QCOMPARE(Form.Descript->Top(), Form.Label2->BoundsBottom() + 10);
    QCOMPARE(Form.SiteL->Top(), Form.Descript->BoundsBottom() + 10);
    QCOMPARE(Form.MailL->Top(), Form.SiteL->BoundsBottom() + 8);

    // History page: from the title's top down to 12 above the system line.
    QCOMPARE(Form.OSLabel->Top(), 341);
    QCOMPARE(Form.AboutText->geometry(), QRect(140, 32, 354, 341 - 32 - 12));
    QCOMPARE(Form.AboutText->ScrollBars(), TCustomMemo::ssVertical);

    // The logo right of the strip, 8 below its top.
    QCOMPARE(Form.LogoImg->pos(), QPoint(140, 34));
    QCOMPARE(Form.LogoImg->Constraints()->MaxWidth(), 128);
    QCOMPARE(Form.LogoImg->Constraints()->MaxHeight(), 128);
}

void TestAboutForm::texts()
{
    StartFlags = sfShowSplash | sfBackgroundMusic;
    TAboutF& Form = Create();
    QCOMPARE(Form.Label1->Caption(), u"Veltrane settings"_s);
    QCOMPARE(Form.Label2->Caption(), u"Veltrane"_s);
    QCOMPARE(Form.Descript->Caption(), u"CD autorun application\nDeveloper: autorun project\n\n"
                                       u"Version: 2.7.5 build 31225"_s);
    QCOMPARE(Form.MailL->Caption(), DeveloperEmail.toString());
    QCOMPARE(Form.SiteL->Caption(), DeveloperSite.toString());
    QVERIFY(Form.MemLabel->Caption().startsWith(u"Memory:  "_s));
    QVERIFY(!Form.OSLabel->Caption().isEmpty());

    // The settings follow the start flags.
    QCOMPARE(Form.ShellParams->Items().Strings(0), u"Background music"_s);
    QCOMPARE(Form.ShellParams->Items().Strings(1), u"Animated cursors"_s);
    QVERIFY(Form.ShellParams->Checked(0));
    QVERIFY(!Form.ShellParams->Checked(1));

    const TCategories* Tabs = Form.PageChooser->CatList();
    QCOMPARE(Tabs->Items(0)->Caption(), u"Settings"_s);
    QCOMPARE(Tabs->Items(1)->Caption(), u"CD author"_s);
    QCOMPARE(Tabs->Items(2)->Caption(), u"About Veltrane"_s);
    for (int I = 0; I < Tabs->Count(); ++I) {
        QCOMPARE(Tabs->Items(I)->ImageIndex(), I);
    }
}

void TestAboutForm::historyFile_data()
{
    QTest::addColumn<QString>("Setting"); // [Options] Version; empty: the default
    QTest::addColumn<QString>("Written"); // the file written into the "Shell" folder; empty: none
    QTest::addColumn<int>("Tabs");

    QTest::newRow("no history file") << QString() << QString() << 3;
    QTest::newRow("history.txt") << QString() << u"history.txt"_s << 4;
    QTest::newRow("named in the settings") << u"changes.txt"_s << u"changes.txt"_s << 4;
    QTest::newRow("another file than the one named") << u"changes.txt"_s << u"history.txt"_s << 3;
}

void TestAboutForm::historyFile()
{
    QFETCH(QString, Setting);
    QFETCH(QString, Written);
    QFETCH(int, Tabs);
    if (!Setting.isEmpty()) {
        DesignSettings.Options.Version = Setting;
    }
    if (!Written.isEmpty()) {
        FDisc->WriteFile(u"Shell/"_s + Written, "2.0 first disc\r\n2.1 more pictures\r\n");
    }
    TAboutF& Form = Create();
    QCOMPARE(Form.PageChooser->CatList()->Count(), Tabs);
    if (Tabs == 4) {
        QCOMPARE(Form.PageChooser->CatList()->Items(3)->Caption(), u"Version history"_s);
        QCOMPARE(Form.AboutText->Lines().Count(), 2);
        QCOMPARE(Form.AboutText->Lines().Strings(1), u"2.1 more pictures"_s);
    } else {
        QCOMPARE(Form.AboutText->Lines().Count(), 0);
    }
    QCOMPARE(Form.PageChooser->SelectedCat(), 0);
}

void TestAboutForm::pageSwitch_data()
{
    QTest::addColumn<int>("Page");
    QTest::addColumn<QStringList>("Visible");

    QTest::newRow("settings") << 0 << QStringList{u"Label1"_s, u"ShellParams"_s};
    QTest::newRow("author") << 1
                            << QStringList{u"LogoImg"_s,  u"CompanyLabel"_s, u"AuthorImg"_s, u"AuthorLabel"_s,
                                           u"EmailImg"_s, u"EmailLabel"_s,   u"WebImg"_s,    u"WebLabel"_s};
    QTest::newRow("about") << 2
                           << QStringList{u"Label2"_s, u"Image2"_s, u"Descript"_s, u"MailL"_s, u"SiteL"_s};
    QTest::newRow("history") << 3 << QStringList{u"AboutText"_s};
}

void TestAboutForm::pageSwitch()
{
    QFETCH(int, Page);
    QFETCH(QStringList, Visible);
    Project->Creator.SetInfo(u"Anna"_s, u"Studio"_s, u"anna@example.org"_s, u"www.example.org"_s);
    FDisc->WriteFile(u"Shell/history.txt"_s, "1.0\r\n");
    TAboutF& Form = Create();
    // The window opens on the settings page.
    QCOMPARE(VisibleControls(Form), (QStringList{u"Label1"_s, u"ShellParams"_s}));
    // From every other page, so that each page hides what the last one showed.
    for (int From = 0; From < 4; ++From) {
        Form.PageChooser->SetSelectedCat(From);
        Form.PageChooser->SetSelectedCat(Page);
        QCOMPARE(VisibleControls(Form), Visible);
    }
    // An icon's caption goes with it.
    QCOMPARE(Form.AuthorImg->EditLabel()->Visible(), Page == 1);
}

void TestAboutForm::selectionOutsideTheTabsChangesNothing()
{
    TAboutF& Form = Create();
    QCOMPARE(Form.PageChooser->CatList()->Count(), 3);
    Form.PageChooser->SetSelectedCat(2);
    Form.PageChooser->SetSelectedCat(3);
    QVERIFY(Form.Descript->Visible());
    QVERIFY(!Form.AboutText->Visible());
}

void TestAboutForm::ampersandShownAsWritten()
{
    Project->Creator.SetInfo(u"Ann & Bob"_s, u"R&D Ltd"_s, u"a&b@example.org"_s, u"www.example.org/?a=1&b=2"_s);
    TAboutF& Form = Create();
    for (const TLabel* Value : {Form.CompanyLabel, Form.AuthorLabel, Form.EmailLabel, Form.WebLabel}) {
        QVERIFY2(!(Value->TextFlags() & Qt::TextShowMnemonic), qPrintable(Value->objectName()));
        // The width holds the "&" too: a label sized for a shortcut would be one character short.
        QFontMetrics Metrics(Value->font());
        QVERIFY2(Value->Width() >= Metrics.horizontalAdvance(Value->Caption()), qPrintable(Value->objectName()));
    }
}

void TestAboutForm::authorWithNameAndWebPageOnly()
{
    Project->Creator.SetInfo(u"Anna Petrova"_s, QString(), QString(), u"www.example.org"_s);
    TAboutF& Form = Create();
    QVERIFY(!Form.CompanyLabel->Enabled());
    QVERIFY(!Form.EmailLabel->Enabled());
    QVERIFY(!Form.EmailImg->Enabled());
    QVERIFY(Form.WebImg->Enabled());

    // The name row at the logo's top-left corner, its value under the icon, 3 pixels right of it.
    QCOMPARE(Form.AuthorImg->geometry(), QRect(140, 34, 24, 24));
    QCOMPARE(Form.AuthorLabel->pos(), QPoint(167, 61));
    QCOMPARE(Form.AuthorLabel->Caption(), u"Anna Petrova"_s);
    // The caption right of the icon, centred on it.
    const TBoundLabelEx* Caption = Form.AuthorImg->EditLabel();
    QCOMPARE(Caption->Caption(), u"Author:"_s);
    QCOMPARE(Caption->Left(), 167);
    QCOMPARE(Caption->Top(), 34 + (24 - Caption->Height()) / 2);
    QVERIFY(Caption->Font()->Style().testFlag(TFont::fsBold));

    // The web row directly under the name; the e-mail row takes no place.
    QCOMPARE(Form.WebImg->pos(), QPoint(140, Form.AuthorLabel->BoundsBottom() + 6));
    QCOMPARE(Form.WebLabel->pos(), QPoint(167, Form.WebImg->BoundsBottom() + 3));
    QCOMPARE(Form.WebImg->EditLabel()->Caption(), u"Web page:"_s);

    Form.PageChooser->SetSelectedCat(1);
    QCOMPARE(VisibleControls(Form),
             (QStringList{u"LogoImg"_s, u"AuthorImg"_s, u"AuthorLabel"_s, u"WebImg"_s, u"WebLabel"_s}));
    QVERIFY(!Form.EmailImg->EditLabel()->Visible());
}

void TestAboutForm::authorWithEverything()
{
    Project->Creator.SetInfo(u"Anna"_s, u"Studio North"_s, u"anna@example.org"_s, u"http://example.org/"_s);
    FDisc->WriteImage(u"Shell/Images/logo.bmp"_s, QSize(64, 48), QColor(0x30, 0x60, 0x90));
    TAboutF& Form = Create();
    QCOMPARE(Form.LogoImg->geometry(), QRect(140, 34, 64, 48));
    // The company beside the logo, 6 pixels off it.
    QCOMPARE(Form.CompanyLabel->pos(), QPoint(140 + 64 + 6, 34));
    QCOMPARE(Form.CompanyLabel->Font()->Size(), 10);
    // The name row 10 under the lower of logo and company.
    const int NameTop = std::max(34 + 48, Form.CompanyLabel->BoundsBottom()) + 10;
    QCOMPARE(Form.AuthorImg->pos(), QPoint(140, NameTop));
    QCOMPARE(Form.AuthorLabel->pos(), QPoint(167, NameTop + 27));
    QCOMPARE(Form.EmailImg->pos(), QPoint(140, Form.AuthorLabel->BoundsBottom() + 6));
    QCOMPARE(Form.EmailLabel->pos(), QPoint(167, Form.EmailImg->BoundsBottom() + 3));
    QCOMPARE(Form.WebImg->pos(), QPoint(140, Form.EmailLabel->BoundsBottom() + 6));
    QCOMPARE(Form.WebLabel->pos(), QPoint(167, Form.WebImg->BoundsBottom() + 3));
    QCOMPARE(Form.EmailLabel->Font()->Color(), 0xFF0000);
    QCOMPARE(Form.WebLabel->Font()->Color(), 0xFF0000);

    // The logo is drawn whole, also where it has the colour of its bottom-left corner.
    Show(Form);
    Form.PageChooser->SetSelectedCat(1);
    const QImage Shot = Form.grab().toImage();
    QCOMPARE(Describe(Shot.pixel(150, 40)), Describe(qRgb(0x30, 0x60, 0x90)));
    QCOMPARE(Describe(Shot.pixel(140, 34 + 47)), Describe(qRgb(0x30, 0x60, 0x90)));
}

void TestAboutForm::blankEmailIsHidden_data()
{
    QTest::addColumn<QString>("Email");
    QTest::addColumn<bool>("Shown");

    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks") << u"   "_s << false;
    QTest::newRow("blanks and carriage returns") << u" \r \r"_s << false;
    QTest::newRow("an address") << u"anna@example.org"_s << true;
    QTest::newRow("an address among blanks") << u"  a@b.org\r"_s << true;
}

void TestAboutForm::blankEmailIsHidden()
{
    QFETCH(QString, Email);
    QFETCH(bool, Shown);
    Project->Creator.SetInfo(u"Anna"_s, QString(), Email, u"www.example.org"_s);
    TAboutF& Form = Create();
    Form.PageChooser->SetSelectedCat(1);
    QCOMPARE(Form.EmailLabel->Enabled(), Shown);
    QCOMPARE(Form.EmailLabel->Visible(), Shown);
    QCOMPARE(Form.EmailImg->Visible(), Shown);
    QCOMPARE(Form.WebImg->Top(), Shown ? Form.EmailLabel->BoundsBottom() + 6 : Form.EmailImg->Top());
}

void TestAboutForm::okAppliesChangedSettings_data()
{
    QTest::addColumn<QList<int>>("Toggled"); // items toggled before OK
    QTest::addColumn<int>("MusicCalls");
    QTest::addColumn<bool>("BackgroundMusic");
    QTest::addColumn<QList<bool>>("CursorSwitches");

    QTest::newRow("no change") << QList<int>{} << 0 << true << QList<bool>{};
    QTest::newRow("music off") << QList<int>{0} << 1 << false << QList<bool>{};
    QTest::newRow("toggled twice is no change") << QList<int>{0, 0} << 0 << true << QList<bool>{};
    QTest::newRow("cursors off") << QList<int>{1} << 0 << true << QList<bool>{false};
    QTest::newRow("both") << QList<int>{1, 0} << 1 << false << QList<bool>{false};
}

void TestAboutForm::okAppliesChangedSettings()
{
    QFETCH(QList<int>, Toggled);
    QFETCH(int, MusicCalls);
    QFETCH(bool, BackgroundMusic);
    QFETCH(QList<bool>, CursorSwitches);

    TAboutF& Form = Create();
    int Calls = 0;
    bool FlagAtCall = true;
    Form.OnPlayMusic = [&] {
        ++Calls;
        FlagAtCall = HasStartFlag(sfBackgroundMusic);
    };
    QObject Observer;
    QList<bool> Switches;
    RegisterCursorClient(&Observer, [&](bool Enabled) { Switches.append(Enabled); });

    Show(Form);
    for (const int Item : Toggled) {
        Form.ShellParams->ToggleClickCheck(Item);
    }
    Form.OkBtn->Click();
    QVERIFY(Form.isHidden());
    QCOMPARE(Calls, MusicCalls);
    QCOMPARE(HasStartFlag(sfBackgroundMusic), BackgroundMusic);
    // The music is told after the flag changed.
    if (Calls > 0) {
        QCOMPARE(FlagAtCall, BackgroundMusic);
    }
    QCOMPARE(Switches, CursorSwitches);
    QVERIFY(HasStartFlag(sfAnimatedCursors)); // the cursors switch; the start flag stays
}

void TestAboutForm::checkStatesAreComparedWithTheLatestShowing()
{
    TAboutF& Form = Create();
    int Calls = 0;
    Form.OnPlayMusic = [&] { ++Calls; };
    Show(Form);
    Form.ShellParams->ToggleClickCheck(0);
    Form.OkBtn->Click();
    QCOMPARE(Calls, 1);
    QVERIFY(!HasStartFlag(sfBackgroundMusic));

    // Shown again: the box stays cleared, and OK alone changes nothing.
    Show(Form);
    QVERIFY(!Form.ShellParams->Checked(0));
    QCOMPARE(Form.ShellParams->ItemIndex(), 0);
    Form.OkBtn->Click();
    QCOMPARE(Calls, 1);

    // Switched on again.
    Show(Form);
    Form.ShellParams->ToggleClickCheck(0);
    Form.OkBtn->Click();
    QCOMPARE(Calls, 2);
    QVERIFY(HasStartFlag(sfBackgroundMusic));
}

void TestAboutForm::escapeHides_data()
{
    QTest::addColumn<int>("Page");
    // The settings list takes the keys; on the about page no control does, and the window does.
    QTest::newRow("settings page") << 0;
    QTest::newRow("about page") << 2;
    QTest::newRow("history page") << 3;
}

void TestAboutForm::escapeHides()
{
    QFETCH(int, Page);
    FDisc->WriteFile(u"Shell/history.txt"_s, "1.0\r\n");
    TAboutF& Form = Create();
    Show(Form);
    Form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Form));
    Form.PageChooser->SetSelectedCat(Page);
    if (Page == 0) {
        Form.ShellParams->InnerWidget()->setFocus();
        QTRY_VERIFY(Form.ShellParams->InnerWidget()->hasFocus());
    }
    QWidget* Target = QApplication::focusWidget() ? QApplication::focusWidget() : &Form;
    QTest::keyClick(Target, Qt::Key_A);
    QVERIFY(Form.isVisible());
    QTest::keyClick(Target, Qt::Key_Escape);
    QVERIFY(Form.isHidden());
}

void TestAboutForm::deactivationHides()
{
    TAboutF& Form = Create();
    Show(Form);
    QEvent Deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&Form, &Deactivate);
    QVERIFY(Form.isHidden());
}

void TestAboutForm::links()
{
    Project->Creator.SetInfo(u"Anna Petrova"_s, QString(), u"anna@example.org"_s, u"www.example.org/disc"_s);
    TAboutF& Form = Create();
    TFakeShellService& Shell = FDisc->ShellCalls;

    Form.SiteL->Click();
    QCOMPARE(Shell.Calls.size(), 1);
    QCOMPARE(Shell.Calls[0].Verb, TFakeShellService::svOpenUrl);
    QCOMPARE(Shell.Calls[0].File, DeveloperSite.toString());

    Form.MailL->Click();
    QCOMPARE(Shell.Calls.size(), 2);
    const QString Developer = Shell.Calls[1].File;
    QVERIFY2(Developer.startsWith(
                 u"mailto:autorun%20project%3Cautorun@example.org%3E?Subject=Veltrane%20e-mail"_s),
             qPrintable(Developer));
    QVERIFY2(Developer.contains(u"2.7.5%20build%2031225"_s), qPrintable(Developer));

    Form.EmailLabel->Click();
    QCOMPARE(Shell.Calls.size(), 3);
    QCOMPARE(Shell.Calls[2].File, u"mailto:Anna%20Petrova%3Canna@example.org%3E?Subject=&body="_s);

    Form.WebLabel->Click();
    QCOMPARE(Shell.Calls.size(), 4);
    QCOMPARE(Shell.Calls[3].Verb, TFakeShellService::svOpenUrl);
    QCOMPARE(Shell.Calls[3].File, u"http://www.example.org/disc"_s);
}

void TestAboutForm::webPageUrl_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<QString>("Url"); // empty: opened as a file

    QTest::newRow("http") << u"http://example.org/a"_s << u"http://example.org/a"_s;
    QTest::newRow("https with blanks around") << u" https://example.org \r"_s << u"https://example.org"_s;
    QTest::newRow("www") << u"www.example.org"_s << u"http://www.example.org"_s;
    QTest::newRow("WWW") << u"WWW.Example.org/Disc"_s << u"http://www.example.org/Disc"_s;
    QTest::newRow("a file of the disc") << u"Docs\\index.htm"_s << QString();
    QTest::newRow("a drive path") << u"D:\\index.htm"_s << QString();
}

void TestAboutForm::webPageUrl()
{
    QFETCH(QString, Text);
    QFETCH(QString, Url);
    const std::optional<QUrl> Result = WebPageUrl(Text);
    QCOMPARE(Result.has_value(), !Url.isEmpty());
    if (Result) {
        QCOMPARE(Result->toString(), Url);
    }
}

void TestAboutForm::webPageOfTheDisc()
{
    // The page is a file of the disc, written as the disc's other paths are.
    FDisc->WriteFile(u"Docs/Index.htm"_s, "<html></html>");
    Project->Folder = FDisc->Path(u""_s) + u'/';
    Project->Creator.SetInfo(u"Anna"_s, QString(), QString(), u" docs\\index.HTM "_s);
    TPrivateDesktop Desktop;
    QVERIFY(Desktop.IsValid());
    QVERIFY(Desktop.Register(u"browser"_s, {u"text/html"_s}));
    const auto Shell = Desktop.CreateShell();
    SetShellService(Shell.get());
    TAboutF& Form = Create();
    Form.WebLabel->Click();
    SetShellService(&FDisc->ShellCalls);

    // Looked up on the disc, not in the working folder, and handed over as the file it is.
    const auto Record = Desktop.WaitForRecord();
    QVERIFY(Record);
    QCOMPARE(Record->Args, (QStringList{u"--browser"_s, FDisc->Path(u"Docs/Index.htm"_s)}));
    QCOMPARE(DiscPagePath(u"index.htm"_s, u"/cd/"_s), u"/cd/index.htm"_s);
    QCOMPARE(DiscPagePath(u"/srv/index.htm"_s, u"/cd/"_s), u"/srv/index.htm"_s);
    QCOMPARE(DiscPagePath(u"D:\\index.htm"_s, u"/cd/"_s), u"D:\\index.htm"_s);
}

void TestAboutForm::underlineOnHover()
{
    Project->Creator.SetInfo(u"Anna"_s, QString(), u"anna@example.org"_s, u"www.example.org"_s);
    TAboutF& Form = Create();
    for (TLabel* Link : {Form.MailL, Form.SiteL, Form.EmailLabel, Form.WebLabel}) {
        QVERIFY(Link->OnMouseEnter && Link->OnMouseLeave);
        Link->OnMouseEnter(Link);
        QCOMPARE(Link->Font()->Style(), TFont::TFontStyles(TFont::fsUnderline));
        Link->OnMouseLeave(Link);
        QCOMPARE(Link->Font()->Style(), TFont::TFontStyles());
    }
}

void TestAboutForm::dragging()
{
    TAboutF& Form = Create();
    Form.move(100, 100);
    Form.FormMouseDown(&Form, TControl::mbLeft, {}, 10, 10);
    QVERIFY(Form.Dragging());
    Form.FormMouseMove(&Form, {}, 30, 15);
    QCOMPARE(Form.pos(), QPoint(120, 105));
    Form.FormMouseUp(&Form, TControl::mbLeft, {}, 30, 15);
    Form.FormMouseMove(&Form, {}, 50, 50);
    QCOMPARE(Form.pos(), QPoint(120, 105));

    // Another button ends a drag; the logo drags like the window.
    Form.FormMouseDown(&Form, TControl::mbLeft, {}, 10, 10);
    Form.FormMouseDown(&Form, TControl::mbRight, {}, 10, 10);
    QVERIFY(!Form.Dragging());
    Form.LogoImg->OnMouseDown(Form.LogoImg, TControl::mbLeft, {}, 5, 5);
    Form.LogoImg->OnMouseMove(Form.LogoImg, {}, 6, 8);
    QCOMPARE(Form.pos(), QPoint(121, 108));
    Form.LogoImg->OnMouseUp(Form.LogoImg, TControl::mbLeft, {}, 6, 8);
    QVERIFY(!Form.Dragging());
}

void TestAboutForm::frameAndBackground()
{
    {
        TAboutF& Form = Create();
        QVERIFY(!Form.Background());
        Show(Form);
        const QImage Shot = Form.grab().toImage();
        const QRgb Line = Rgb(0xD9A37B);
        // The frame from the strip's right edge to 8 pixels before the window's, and down to 6 above
        // the system line.
        QCOMPARE(Shot.pixel(130, 26), Line);
        QCOMPARE(Shot.pixel(501, 200), Line);
        QCOMPARE(Shot.pixel(300, 334), Line);
        QCOMPARE(Shot.pixel(130, 200), Line);
        QCOMPARE(Shot.pixel(502, 200), qRgb(255, 255, 255));
        QCOMPARE(Shot.pixel(300, 335), qRgb(255, 255, 255));
        QCOMPARE(Shot.pixel(5, 5), qRgb(255, 255, 255));
    }
    DesignSettings.Images.OptionsScreen = u"back.bmp"_s;
    FDisc->WriteImage(u"Shell/Images/back.bmp"_s, QSize(40, 20), QColor(0x10, 0x80, 0x40));
    TAboutF& Form = Create();
    QVERIFY(Form.Background());
    Show(Form);
    const QImage Shot = Form.grab().toImage();
    QCOMPARE(Shot.pixel(5, 5), qRgb(0x10, 0x80, 0x40));
    QCOMPARE(Shot.pixel(39, 19), qRgb(0x10, 0x80, 0x40));
    QCOMPARE(Shot.pixel(41, 19), qRgb(255, 255, 255));
}

void TestAboutForm::settingsItemDrawing()
{
    TAboutF& Form = Create();
    Show(Form);
    TCheckListBox* List = Form.ShellParams;
    QCOMPARE(List->ItemIndex(), 0);
    QVERIFY(!List->ScrollBarVisible());
    const QImage Shot = List->grab().toImage();
    // Item coordinates are inside the 2-pixel border; the owner draws right of the check boxes.
    const QPoint Origin(2, 2);
    const int Right = List->ClientWidth() - 1;
    const QRect Item0(TCheckListBox::CheckWidth, 0, List->ClientWidth() - TCheckListBox::CheckWidth, 32);
    const auto Pixel = [&](int X, int Y) { return Shot.pixel(Origin + QPoint(X, Y)); };

    const QRgb Selected = Rgb(DesignSettings.Colors.Text);
    const QRgb Frame = qRgb(0x31, 0x69, 0xB6);
    QCOMPARE(Describe(Pixel(Right - 3, 16)), Describe(Selected));
    QCOMPARE(Describe(Pixel(Item0.left(), 0)), Describe(Frame));
    QCOMPARE(Describe(Pixel(Right, 31)), Describe(Frame));
    QCOMPARE(Describe(Pixel(Item0.left() + 1, 1)), Describe(Selected));
    // The second item: white, no frame.
    QCOMPARE(Describe(Pixel(Right - 3, 48)), Describe(qRgb(255, 255, 255)));
    QCOMPARE(Describe(Pixel(Item0.left(), 32)), Describe(qRgb(255, 255, 255)));
    // Its gradient line two pixels under it, from the left edge of the list to the item's right edge.
    const int LineY = 32 + 32 + 2;
    QCOMPARE(Describe(Pixel(0, LineY)), Describe(Rgb(DesignSettings.Colors.Windows)));
    QCOMPARE(Describe(Pixel(Right, LineY)), Describe(Rgb(DesignSettings.Colors.Text)));
    QCOMPARE(Describe(Pixel(0, LineY - 1)), Describe(qRgb(255, 255, 255)));
    QCOMPARE(Describe(Pixel(0, LineY + 1)), Describe(qRgb(255, 255, 255)));
    // No line under the first item.
    QCOMPARE(Describe(Pixel(2, 34)), Describe(qRgb(255, 255, 255)));
    // The text is drawn in the list's font colour, not in white.
    bool HasDark = false;
    for (int X = Item0.left() + 4; X < Item0.left() + 80 && !HasDark; ++X) {
        for (int Y = 8; Y < 24 && !HasDark; ++Y) {
            HasDark = qGray(Pixel(X, Y)) < 100;
        }
    }
    QVERIFY(HasDark);
}

void TestAboutForm::gradientLineColors_data()
{
    QTest::addColumn<int>("Width");
    QTest::addColumn<quint32>("Start");
    QTest::addColumn<quint32>("End");
    QTest::addColumn<QList<quint32>>("Expected"); // the whole line; empty: checked by its ends

    QTest::newRow("empty") << 0 << 0x000000u << 0xFFFFFFu << QList<quint32>{};
    QTest::newRow("one pixel: two bands of none, the rest the end colour")
        << 1 << 0x000000u << 0x0000FFu << QList<quint32>{0x0000FF};
    QTest::newRow("two pixels") << 2 << 0x000010u << 0x000020u << QList<quint32>{0x10, 0x20};
    // MulDiv rounds halves away from zero: 255 / 2 gives 128.
    QTest::newRow("three bands") << 3 << 0x000000u << 0x0000FFu << QList<quint32>{0x00, 0x80, 0xFF};
    QTest::newRow("falling channel") << 3 << 0x00FF00u << 0x000000u << QList<quint32>{0xFF00, 0x7F00, 0x0000};
    QTest::newRow("each channel apart")
        << 3 << 0x102030u << 0x302010u << QList<quint32>{0x102030, 0x202020, 0x302010};
    QTest::newRow("wider than 255: one-pixel bands, then the end colour")
        << 300 << 0xD9A37Bu << 0xFBEEE3u << QList<quint32>{};
    QTest::newRow("510 wide: two-pixel bands") << 510 << 0x000000u << 0xFEFEFEu << QList<quint32>{};
}

void TestAboutForm::gradientLineColors()
{
    QFETCH(int, Width);
    QFETCH(quint32, Start);
    QFETCH(quint32, End);
    QFETCH(QList<quint32>, Expected);
    const QList<quint32> Colors = GradientLineColors(Width, Start, End);
    QCOMPARE(Colors.size(), Width);
    if (!Expected.isEmpty() || Width == 0) {
        QCOMPARE(Colors, Expected);
        return;
    }
    QCOMPARE(Colors.first(), Start);
    QCOMPARE(Colors.last(), End);
    const int Bands = std::min(255, Width);
    const int BandWidth = Width / Bands;
    // The last band ends with the end colour; the pixels left over follow in it.
    QCOMPARE(Colors[Bands * BandWidth - 1], End);
    for (int X = Bands * BandWidth; X < Width; ++X) {
        QCOMPARE(Colors[X], End);
    }
    if (BandWidth == 2) {
        QCOMPARE(Colors[0], Colors[1]);
        QVERIFY(Colors[1] != Colors[2]);
    }

    // Drawn, the line shows the same colours.
    QImage Line(Width, 1, QImage::Format_RGB32);
    Line.fill(Qt::black);
    {
        QPainter P(&Line);
        DrawGradientLine(P, QRect(0, 0, Width, 1), Start, End);
    }
    for (int X = 0; X < Width; ++X) {
        QCOMPARE(Describe(Line.pixel(X, 0)), Describe(Rgb(Colors[X])));
    }
}

void TestAboutForm::ownBitmaps()
{
    for (const QString& Name :
         {u"CONFIG"_s, u"USER"_s, u"ABOUT"_s, u"HISTORY"_s, u"USERX24"_s, u"MAILX24"_s, u"WWWX24"_s}) {
        const QImage Bitmap = AboutBitmap(Name);
        QCOMPARE(Bitmap.size(), QSize(24, 24));
        // A transparent corner and a picture on it.
        const QRgb Mask = Bitmap.pixel(0, 23);
        int Drawn = 0;
        for (int Y = 0; Y < 24; ++Y) {
            for (int X = 0; X < 24; ++X) {
                Drawn += Bitmap.pixel(X, Y) != Mask ? 1 : 0;
            }
        }
        QVERIFY2(Drawn > 40 && Drawn < 24 * 24 - 40, qPrintable(Name));
    }
    QCOMPARE(AboutBitmap(u"OKGLYPH").size(), QSize(16, 16));
    QCOMPARE(AboutBitmap(u"PROGRAM").size(), QSize(32, 32));
    QVERIFY(AboutBitmap(u"NONE").isNull());

    // The tab icons are masked by their transparent colour.
    TAboutF& Form = Create();
    const QImage Config = Form.BtnImgList->Image(0);
    QCOMPARE(qAlpha(Config.pixel(0, 23)), 0);
    QCOMPARE(qAlpha(Config.pixel(12, 12)), 255);
}

QTEST_MAIN(TestAboutForm)
#include "tst_aboutform.moc"
