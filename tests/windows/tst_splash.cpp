// The splash: the choice of its picture and whether it shows, the author's lines and how hidden lines
// close their gaps, the shape cut from the picture, "controls.ini", the position and the hold.

#include "Form.h"
#include "Image.h"
#include "Label.h"
#include "MessageService.h"
#include "SplashForm.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr QRgb KeyColor = 0xFF00FF00;  // the picture's background: top-left pixel
constexpr QRgb LogoColor = 0xFFFF0000; // the logo
constexpr int LogoWidth = 200;
constexpr int LogoHeight = 150;
// A pixel of the background colour inside the logo, and a row whose logo run reaches the right edge.
constexpr QPoint HoleInLogo(100, 70);
constexpr int EdgeRow = 140;

class TRecordingMessages : public IMessageService
{
public:
    int MessageBox(const QString& Text, const QString& Caption, unsigned Flags) override
    {
        Q_UNUSED(Caption);
        Q_UNUSED(Flags);
        Texts.append(Text);
        return 1;
    }
    QStringList Texts;
};

QImage LogoImage()
{
    QImage Image(LogoWidth, LogoHeight, QImage::Format_RGB32);
    Image.fill(KeyColor);
    QPainter Painter(&Image);
    Painter.fillRect(20, 20, 160, 110, QColor::fromRgb(LogoColor));
    Painter.fillRect(150, EdgeRow, LogoWidth - 150, 1, QColor::fromRgb(LogoColor));
    Painter.end();
    Image.setPixel(HoleInLogo, KeyColor);
    return Image;
}

TLabel* Line(const char* Name)
{
    return SplashForm ? SplashForm->findChild<TLabel*>(QLatin1String(Name)) : nullptr;
}

} // namespace

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void decision_data();
    void decision();
    void decisionTwice();
    void holdsForShowTimeCentred();
    void defaultHoldWaitsWithoutSpinning();
    void infoLines_data();
    void infoLines();
    void infoLinesLook();
    void noLinesWithoutSplashInfo();
    void shapeFollowsThePicture();
    void shapeKeepsTheAuthorLines();
    void noShapeUnlessTransparent();
    void controlsFileRestylesTheSplash();
    void closeSplashFreesTheWindow();
    void realWindowIsShaped();
    void realWindowShowsTheAuthorLines();

private:
    QString ShellImages() const { return FDir->path() + u"/Shell/Images/"_s; }
    void WriteLogo(const QString& FileName);
    void SetCreator(const QString& Name, const QString& Company, const QString& Mail, const QString& WWW);

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TVeltraneProject> FProject;
    TRecordingMessages FMessages;
    QList<qint64> FHolds;
    QList<bool> FVisibleDuringHold;
};

void TestSplash::initTestCase()
{
    InitLanguageUnit();
    QVERIFY(ChooseStartupLanguage(0x0409));
    SetMessageService(&FMessages);
}

void TestSplash::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    QVERIFY(QDir().mkpath(ShellImages()));
    ProgramFolder = FDir->path() + u'/';
    FProject = std::make_unique<TVeltraneProject>();
    FProject->Folder = ProgramFolder;
    Project = FProject.get();
    DesignSettings = IniFileStruct();
    DesignSettings.Images.Splash = u"logo.png"_s;
    StartFlags = sfShowSplash | sfAnimatedCursors | sfBackgroundMusic;
    FHolds.clear();
    FVisibleDuringHold.clear();
    FMessages.Texts.clear();
    SetSplashHold([this](qint64 Milliseconds) {
        FHolds.append(Milliseconds);
        FVisibleDuringHold.append(SplashForm && SplashForm->isVisible());
    });
}

void TestSplash::cleanup()
{
    CloseSplash();
    SetSplashHold({});
    Project = nullptr;
    FProject.reset();
    FDir.reset();
}

void TestSplash::WriteLogo(const QString& FileName)
{
    QVERIFY(LogoImage().save(FileName, "PNG"));
}

void TestSplash::SetCreator(const QString& Name, const QString& Company, const QString& Mail,
                            const QString& WWW)
{
    FProject->Creator.SetInfo(Name, Company, Mail, WWW);
}

void TestSplash::decision_data()
{
    QTest::addColumn<bool>("ShowSplashFlag");
    QTest::addColumn<int>("ShowTime");
    QTest::addColumn<QString>("ProjectImage"); // the project's ImageFileName; "own.png" is written
    QTest::addColumn<QString>("Skin");         // "good", "missing" or "broken" skin logo
    QTest::addColumn<bool>("Shown");
    QTest::addColumn<QString>("ChosenPicture"); // relative to the disc root

    QTest::newRow("skin logo") << true << 3 << QString() << u"good"_s << true << u"Shell\\Images\\logo.png"_s;
    QTest::newRow("project's own picture")
        << true << 3 << u"own.png"_s << u"missing"_s << true << u"own.png"_s;
    QTest::newRow("project names a missing picture")
        << true << 3 << u"gone.png"_s << u"good"_s << true << u"Shell\\Images\\logo.png"_s;
    QTest::newRow("nosplash") << false << 3 << QString() << u"good"_s << false
                              << u"Shell\\Images\\logo.png"_s;
    QTest::newRow("ShowTime 0") << true << 0 << QString() << u"good"_s << false
                                << u"Shell\\Images\\logo.png"_s;
    QTest::newRow("no picture") << true << 3 << QString() << u"missing"_s << false
                                << u"Shell\\Images\\logo.png"_s;
    QTest::newRow("picture that cannot be decoded")
        << true << 3 << QString() << u"broken"_s << false << u"Shell\\Images\\logo.png"_s;
}

void TestSplash::decision()
{
    QFETCH(bool, ShowSplashFlag);
    QFETCH(int, ShowTime);
    QFETCH(QString, ProjectImage);
    QFETCH(QString, Skin);
    QFETCH(bool, Shown);
    QFETCH(QString, ChosenPicture);

    if (!ShowSplashFlag)
        StartFlags = sfAnimatedCursors | sfBackgroundMusic;
    FProject->SplashScreen.ShowTime = quint16(ShowTime);
    FProject->SplashScreen.ImageFileName = ProjectImage;
    if (ProjectImage == u"own.png"_s)
        WriteLogo(FDir->path() + u"/own.png"_s);
    if (Skin == u"good"_s)
        WriteLogo(ShellImages() + u"logo.png"_s);
    if (Skin == u"broken"_s) {
        QFile Broken(ShellImages() + u"logo.png"_s);
        QVERIFY(Broken.open(QIODevice::WriteOnly));
        Broken.write("not a picture");
    }

    QCOMPARE(ChooseSplashPicture(Project, DesignSettings, ProgramFolder), ProgramFolder + ChosenPicture);
    QCOMPARE(DecideAndShowSplash(), Shown);
    // The design setting keeps the name it was read with.
    QCOMPARE(DesignSettings.Images.Splash, u"logo.png"_s);
    QCOMPARE(SplashForm != nullptr, Shown);
    // Start-up closes the splash only when the flag is still set.
    QCOMPARE(HasStartFlag(sfShowSplash), Shown);
    QCOMPARE(HasStartFlag(sfAnimatedCursors), true);
    QCOMPARE(FHolds.size(), Shown ? 1 : 0);
    // A broken logo is no reason for a message at start-up.
    QVERIFY(FMessages.Texts.isEmpty());
}

// Asking again gives the same picture: the choice does not build on its own earlier answer.
void TestSplash::decisionTwice()
{
    WriteLogo(ShellImages() + u"logo.png"_s);
    FProject->SplashScreen.ShowTime = 2;
    const QString Chosen = ChooseSplashPicture(Project, DesignSettings, ProgramFolder);
    QCOMPARE(Chosen, ProgramFolder + u"Shell\\Images\\logo.png"_s);
    QVERIFY(DecideAndShowSplash());
    CloseSplash();
    QCOMPARE(ChooseSplashPicture(Project, DesignSettings, ProgramFolder), Chosen);
    QVERIFY(DecideAndShowSplash());
    QCOMPARE(FHolds, (QList<qint64>{2000, 2000}));
}

void TestSplash::holdsForShowTimeCentred()
{
    WriteLogo(ShellImages() + u"logo.png"_s);
    FProject->SplashScreen.ShowTime = 7;
    QVERIFY(DecideAndShowSplash());
    QCOMPARE(FHolds, QList<qint64>{7000});
    QCOMPARE(FVisibleDuringHold, QList<bool>{true});
    QVERIFY(SplashForm->isVisible());
    QCOMPARE(SplashForm->objectName(), u"SplashF"_s);
    QVERIFY(SplashForm->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(SplashForm->size(), QSize(LogoWidth, LogoHeight));
    QCOMPARE(SplashImage->geometry(), QRect(0, 0, LogoWidth, LogoHeight));
    const QRect Screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(SplashForm->pos(), QPoint(Screen.x() + (Screen.width() - LogoWidth) / 2,
                                       Screen.y() + (Screen.height() - LogoHeight) / 2));
    // The logo is drawn opaque: its bottom-left colour is not left out.
    const QImage Shot = SplashForm->grab().toImage();
    QCOMPARE(Shot.pixel(0, LogoHeight - 1), KeyColor);
    QCOMPARE(Shot.pixel(30, 30), LogoColor);
}

// The program's own hold waits on a timer: a second passes, using little of the processor.
void TestSplash::defaultHoldWaitsWithoutSpinning()
{
    WriteLogo(ShellImages() + u"logo.png"_s);
    SetSplashHold({});
    QElapsedTimer Wall;
    Wall.start();
    const std::clock_t Cpu = std::clock();
    QVERIFY(ShowSplashWindow(1, ShellImages() + u"logo.png"_s));
    const double CpuMs = double(std::clock() - Cpu) * 1000.0 / CLOCKS_PER_SEC;
    QVERIFY2(Wall.elapsed() >= 990, qPrintable(QString::number(Wall.elapsed())));
    QVERIFY2(CpuMs < 500, qPrintable(QString::number(CpuMs)));
    QVERIFY(SplashForm->isVisible());
}

void TestSplash::infoLines_data()
{
    QTest::addColumn<QStringList>("Creator"); // name, company, e-mail, web page
    QTest::addColumn<QList<bool>>("Show");    // [Splash] ShowName, ShowCompany, ShowMail, ShowWWW
    // Slot of NameL, CompanyL, MailL, WWWL, DiskAuthorL: 0 is the bottom line, -1 hidden.
    QTest::addColumn<QList<int>>("Slots");

    const QStringList All{u"Ivan Petrov"_s, u"Disc Co"_s, u"ivan@example.com"_s, u"www.example.com"_s};
    QTest::newRow("all shown") << All << QList<bool>{true, true, true, true} << QList<int>{3, 2, 1, 0, 4};
    QTest::newRow("default switches")
        << All << QList<bool>{true, true, false, false} << QList<int>{1, 0, -1, -1, 2};
    QTest::newRow("name and e-mail only")
        << QStringList{u"Ivan Petrov"_s, QString(), u"ivan@example.com"_s, QString()}
        << QList<bool>{true, true, true, true} << QList<int>{1, -1, 0, -1, 2};
    QTest::newRow("name switched off")
        << All << QList<bool>{false, true, false, false} << QList<int>{-1, 0, -1, -1, 1};
    QTest::newRow("company blank") << QStringList{u"Ivan Petrov"_s, u" \r "_s, u"ivan@example.com"_s,
                                                  u"www.example.com"_s}
                                   << QList<bool>{true, true, true, true} << QList<int>{2, -1, 1, 0, 3};
    QTest::newRow("e-mail blank") << QStringList{u"Ivan Petrov"_s, u"Disc Co"_s, QString(),
                                                 u"www.example.com"_s}
                                  << QList<bool>{true, true, true, true} << QList<int>{2, 1, -1, 0, 3};
    QTest::newRow("web page only") << QStringList{QString(), QString(), QString(), u"www.example.com"_s}
                                   << QList<bool>{true, true, true, true} << QList<int>{-1, -1, -1, 0, 1};
    QTest::newRow("nothing to show") << All << QList<bool>{false, false, false, false}
                                     << QList<int>{-1, -1, -1, -1, -1};
    QTest::newRow("all blank") << QStringList{QString(), u"   "_s, QString(), QString()}
                               << QList<bool>{true, true, true, true} << QList<int>{-1, -1, -1, -1, -1};
}

void TestSplash::infoLines()
{
    QFETCH(QStringList, Creator);
    QFETCH(QList<bool>, Show);
    QFETCH(QList<int>, Slots);

    WriteLogo(ShellImages() + u"logo.png"_s);
    SetCreator(Creator[0], Creator[1], Creator[2], Creator[3]);
    DesignSettings.Splash.ShowName = Show[0];
    DesignSettings.Splash.ShowCompany = Show[1];
    DesignSettings.Splash.ShowMail = Show[2];
    DesignSettings.Splash.ShowWWW = Show[3];
    QVERIFY(DecideAndShowSplash());

    const QList<TLabel*> Lines{Line("NameL"), Line("CompanyL"), Line("MailL"), Line("WWWL")};
    for (TLabel* L : Lines)
        QVERIFY(L);
    const int H = Lines[0]->Height();
    QVERIFY(H > 0);
    const auto TopOfSlot = [&](int Slot) { return LogoHeight - H - 10 - Slot * (H + 5); };
    for (int I = 0; I < Lines.size(); ++I) {
        QCOMPARE(Lines[I]->Height(), H);
        QCOMPARE(Lines[I]->Left(), 5);
        QCOMPARE(Lines[I]->Visible(), Slots[I] >= 0);
        if (Slots[I] >= 0)
            QCOMPARE(Lines[I]->Top(), TopOfSlot(Slots[I]));
    }
    TLabel* Header = Line("DiskAuthorL");
    if (Slots[4] < 0) {
        QVERIFY(!Header);
        // The header label exists but is never seen, and no "controls.ini" section can reach it.
        const QList<TLabel*> All = SplashForm->findChildren<TLabel*>();
        QCOMPARE(All.size(), 5);
        for (TLabel* L : All) {
            if (!Lines.contains(L)) {
                QVERIFY(!L->Visible());
                QVERIFY(L->objectName().isEmpty());
            }
        }
    } else {
        QVERIFY(Header);
        QVERIFY(Header->Visible());
        QCOMPARE(Header->Caption(), u"Disk author:"_s);
        QCOMPARE(Header->Left(), 5);
        QCOMPARE(Header->Top(), TopOfSlot(Slots[4]));
    }
}

void TestSplash::infoLinesLook()
{
    WriteLogo(ShellImages() + u"logo.png"_s);
    SetCreator(u"Ivan Petrov"_s, u"Disc Co"_s, u"ivan@example.com"_s, u"www.example.com"_s);
    QVERIFY(DecideAndShowSplash());
    QCOMPARE(Line("NameL")->Caption(), u"Ivan Petrov"_s);
    QCOMPARE(Line("CompanyL")->Caption(), u"Disc Co"_s);
    QCOMPARE(Line("MailL")->Caption(), u"ivan@example.com"_s);
    QCOMPARE(Line("WWWL")->Caption(), u"www.example.com"_s);
    for (const char* Name : {"NameL", "CompanyL", "DiskAuthorL"}) {
        TLabel* L = Line(Name);
        QVERIFY(L);
        QCOMPARE(L->Font()->Color(), 0xFF0000);
        QCOMPARE(L->Font()->Style(), TFont::TFontStyles(TFont::fsBold));
        QVERIFY(L->Transparent());
        QVERIFY(L->AutoSize());
    }
    // Transparent lines leave the logo around their text: a line's last pixel column is the logo's.
    const QImage Shot = SplashForm->grab().toImage();
    TLabel* Name = Line("NameL");
    QCOMPARE(Shot.pixel(Name->Left() + Name->Width() - 1, Name->Top()),
             LogoImage().pixel(Name->Left() + Name->Width() - 1, Name->Top()));
}

void TestSplash::noLinesWithoutSplashInfo()
{
    WriteLogo(ShellImages() + u"logo.png"_s);
    SetCreator(u"Ivan Petrov"_s, u"Disc Co"_s, u"ivan@example.com"_s, u"www.example.com"_s);
    DesignSettings.Splash.SplashInfo = false;
    QVERIFY(DecideAndShowSplash());
    QVERIFY(SplashForm->findChildren<TLabel*>().isEmpty());
}

void TestSplash::shapeFollowsThePicture()
{
    WriteLogo(ShellImages() + u"logo.png"_s);
    DesignSettings.Splash.Transparent = true;
    QVERIFY(DecideAndShowSplash());
    const QRegion Mask = SplashForm->mask();
    QVERIFY(Mask.contains(QPoint(20, 20)));
    QVERIFY(Mask.contains(QPoint(179, 129)));
    QVERIFY(!Mask.contains(QPoint(0, 0)));
    QVERIFY(!Mask.contains(QPoint(19, 20)));
    QVERIFY(!Mask.contains(QPoint(180, 129)));
    // The background colour inside the logo is a hole too.
    QVERIFY(!Mask.contains(HoleInLogo));
    QVERIFY(Mask.contains(HoleInLogo + QPoint(1, 0)));
    // A run that reaches the right edge ends there: the next row starts outside.
    QVERIFY(Mask.contains(QPoint(LogoWidth - 1, EdgeRow)));
    QVERIFY(!Mask.contains(QPoint(0, EdgeRow + 1)));
    QVERIFY(!Mask.contains(QPoint(LogoWidth - 1, EdgeRow + 1)));
}

// The author's lines stand on the key colour left of and below the logo: the shape keeps their
// rectangles, where "controls.ini" put them, and still cuts everything else away.
void TestSplash::shapeKeepsTheAuthorLines()
{
    WriteLogo(ShellImages() + u"logo.png"_s);
    SetCreator(u"Ivan Petrov"_s, u"Disc Co"_s, QString(), u"www.example.com"_s);
    DesignSettings.Splash.Transparent = true;
    DesignSettings.Splash.ShowWWW = true;
    QFile Controls(FDir->path() + u"/Shell/controls.ini"_s);
    QVERIFY(Controls.open(QIODevice::WriteOnly));
    Controls.write("[CompanyL]\nLeft=120\n");
    Controls.close();
    QVERIFY(DecideAndShowSplash());
    const QRegion Mask = SplashForm->mask();
    for (const char* Name : {"DiskAuthorL", "NameL", "CompanyL", "WWWL"}) {
        TLabel* L = Line(Name);
        QVERIFY(L && L->Visible());
        const QRect R(L->Left(), L->Top(), L->Width(), L->Height());
        QCOMPARE(Mask.intersected(R), QRegion(R));
    }
    QCOMPARE(Line("CompanyL")->Left(), 120);
    // The key colour around the lines stays cut away.
    QVERIFY(!Mask.contains(QPoint(0, 0)));
    QVERIFY(!Mask.contains(QPoint(2, LogoHeight - 1)));
    QVERIFY(!Mask.contains(QPoint(LogoWidth - 1, LogoHeight - 1)));
    QVERIFY(!Mask.contains(HoleInLogo));
}

void TestSplash::noShapeUnlessTransparent()
{
    WriteLogo(ShellImages() + u"logo.png"_s);
    QVERIFY(DecideAndShowSplash());
    QVERIFY(SplashForm->mask().isEmpty());
}

void TestSplash::controlsFileRestylesTheSplash()
{
    WriteLogo(ShellImages() + u"logo.png"_s);
    SetCreator(u"Ivan Petrov"_s, u"Disc Co"_s, QString(), QString());
    QFile Controls(FDir->path() + u"/Shell/controls.ini"_s);
    QVERIFY(Controls.open(QIODevice::WriteOnly));
    Controls.write(
        "[SplashF]\nWidth=240\n[namel]\nLeft=40\nFont.Color=#00FF00\n[DiskAuthorL]\nCaption=By:\n");
    Controls.close();
    QVERIFY(DecideAndShowSplash());
    QCOMPARE(Line("NameL")->Left(), 40);
    QCOMPARE(Line("NameL")->Font()->Color(), 0x00FF00);
    QCOMPARE(Line("DiskAuthorL")->Caption(), u"By:"_s);
    QCOMPARE(Line("CompanyL")->Left(), 5);
    // The window is centred with the size the file gave it.
    QCOMPARE(SplashForm->width(), 240);
    const QRect Screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(SplashForm->x(), Screen.x() + (Screen.width() - 240) / 2);
}

void TestSplash::closeSplashFreesTheWindow()
{
    WriteLogo(ShellImages() + u"logo.png"_s);
    QVERIFY(DecideAndShowSplash());
    QPointer<TForm> Form = SplashForm;
    CloseSplash();
    QVERIFY(Form.isNull());
    QVERIFY(!SplashForm);
    QVERIFY(!SplashImage);
    CloseSplash();
}

// On a real X server the window's shape cuts the screen: outside the logo the screen shows what is
// below, not the picture. Run by the xvfb registration; skipped on the offscreen platform, which
// keeps the mask without applying it.
void TestSplash::realWindowIsShaped()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("needs a real window system (run under xvfb-run)");
    WriteLogo(ShellImages() + u"logo.png"_s);
    DesignSettings.Splash.Transparent = true;
    DesignSettings.Splash.SplashInfo = false;
    QVERIFY(DecideAndShowSplash());
    QVERIFY(QTest::qWaitForWindowExposed(SplashForm));
    QScreen* Screen = QGuiApplication::primaryScreen();
    const QPoint Origin = SplashForm->mapToGlobal(QPoint(0, 0));
    const auto ScreenPixel = [&](QPoint P) {
        const QPoint G = Origin + P;
        return Screen->grabWindow(0, G.x(), G.y(), 1, 1).toImage().pixel(0, 0) | 0xFF000000u;
    };
    QTRY_COMPARE(ScreenPixel(QPoint(30, 30)), LogoColor);
    QVERIFY(ScreenPixel(QPoint(2, 2)) != KeyColor);
    QVERIFY(ScreenPixel(HoleInLogo) != KeyColor);
    QCOMPARE(ScreenPixel(HoleInLogo + QPoint(2, 0)), LogoColor);
}

// On a real X server the author's lines show on a shaped splash: left of the logo, where only the
// key colour lies under them, the screen shows the line's blue text on the picture.
void TestSplash::realWindowShowsTheAuthorLines()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("needs a real window system (run under xvfb-run)");
    WriteLogo(ShellImages() + u"logo.png"_s);
    SetCreator(u"Ivan Petrov"_s, u"Disc Co"_s, QString(), QString());
    DesignSettings.Splash.Transparent = true;
    QVERIFY(DecideAndShowSplash());
    QVERIFY(QTest::qWaitForWindowExposed(SplashForm));
    QScreen* Screen = QGuiApplication::primaryScreen();
    // The part of a line left of the logo (which starts at column 20) shows the key colour and text.
    const auto ShowsLine = [&](const TLabel* L) {
        const QPoint G = SplashForm->mapToGlobal(QPoint(L->Left(), L->Top()));
        const QImage Shot = Screen->grabWindow(0, G.x(), G.y(), 20 - L->Left(), L->Height()).toImage();
        bool Key = false, Text = false;
        for (int Y = 0; Y < Shot.height(); ++Y) {
            for (int X = 0; X < Shot.width(); ++X) {
                const QRgb P = Shot.pixel(X, Y) | 0xFF000000u;
                Key = Key || P == KeyColor;
                Text = Text || (qBlue(P) > 200 && qRed(P) < 60 && qGreen(P) < 60);
            }
        }
        return Key && Text;
    };
    for (const char* Name : {"DiskAuthorL", "NameL", "CompanyL"}) {
        const TLabel* L = Line(Name);
        QVERIFY(L && L->Visible());
        QTRY_VERIFY2(ShowsLine(L), Name);
    }
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
