// The main window's commands: the letter, the intro, the folder, the run and play buttons with their
// hints, double click and Enter on the tree, the galleries' clicks, the text area's popup and copy,
// the title bar buttons, and what showing and closing the window do.

#include "MainFormFixture.h"

#include "CategoryChooser.h"
#include "Keys.h"
#include "Label.h"
#include "MusicPlayer.h"
#include "PhotoForm.h"
#include "PopupMenu.h"
#include "Thumbnails.h"
#include "TreeView.h"
#include "VeltraneImage.h"
#include "VeltraneText.h"
#include "text/LoadMessages.h"
#include "text/Paths.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

class TCommandDisc : public TMainFixture
{
public:
    explicit TCommandDisc(const QString& Email = u"author@example.org"_s)
    {
        WriteButtons();
        TVeltraneProject P;
        P.Creator.Name = u"Ann Author"_s;
        P.Creator.Email = Email;
        P.Creator.AuthorWords = u"Hello from the author"_s;
        TSection& Programs = AddSection(P, u"Programs"_s, u"All programs"_s);
        Programs.Folder = u"Progs"_s;
        TItem& Editor = AddItem(Programs, u"Editor"_s, u"An editor"_s);
        Editor.Folder = u"Progs\\Editor"_s;
        Editor.CopyRules.Enabled = true;
        AddAction(Editor, otExecutable, {u"Progs\\Editor\\setup.exe"_s}).Description =
            u"Installs the editor"_s;
        TItem& Viewer = AddItem(Programs, u"Viewer"_s);
        Viewer.Folder = u"Nowhere"_s;
        AddAction(Viewer, otFile, {u"view.txt"_s});
        AddAction(Viewer, otFile, {u"other.txt"_s});
        AddAction(AddItem(Programs, u"Song"_s), otMusic, {u"song.mp3"_s});
        AddItem(Programs, u"Empty"_s);
        TItem& Photos = AddItem(Programs, u"Photos"_s);
        AddAction(Photos, otImage, {u"Pics\\1.bmp"_s, u"Pics\\2.bmp"_s});
        AddScreenshots(Programs.Screenshots, {u"Pics\\1.bmp"_s});
        SaveProject(P);
        QDir().mkpath(Path(u"Progs/Editor"_s));
        WriteImage(u"Pics/1.bmp"_s, QSize(30, 20), Qt::red);
        WriteImage(u"Pics/2.bmp"_s, QSize(30, 20), Qt::blue);
        WriteImage(u"Shell/Images/wallpaper.bmp"_s, QSize(20, 20), Qt::gray);
        WriteImage(u"Shell/Images/section.bmp"_s, QSize(20, 20), Qt::yellow);
        DesignSettings.Images.Wallpaper = u"wallpaper.bmp"_s;
        WriteFile(u"Shell/Music/intro.mp3"_s, "x");
    }
};

} // namespace

class TestMainCommands : public QObject
{
    Q_OBJECT

private slots:
    void letter_data();
    void letter();
    void letterReachesTheMailProgram();
    void intro();
    void folder_data();
    void folder();
    void runCommandHook();
    void runCommandCases();
    void playCommand();
    void playCommandWithoutDevice();
    void runButtonHints_data();
    void runButtonHints();
    void doubleClickAndEnter_data();
    void doubleClickAndEnter();
    void galleryClicks();
    void copyAndPopup();
    void optionsAndCopyHooks();
    void showAndClose();
    void titleBarButtons();
};

void TestMainCommands::letter_data()
{
    QTest::addColumn<QString>("Email");
    QTest::addColumn<bool>("Sent");
    QTest::newRow("address") << u"author@example.org"_s << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks and returns") << u"  \r "_s << false;
}

void TestMainCommands::letter()
{
    QFETCH(QString, Email);
    QFETCH(bool, Sent);
    TCommandDisc Disc(Email);
    auto F = Disc.Create();
    QStringList Letters;
    F->OnSendMail = [&Letters](const QString& Name, const QString& Address) {
        Letters << Name + u'|' + Address;
    };
    F->Btn4Click();
    if (Sent) {
        QCOMPARE(Letters, QStringList({u"Ann Author|author@example.org"_s}));
        QCOMPARE(Disc.Messages.Boxes.size(), 0);
    } else {
        QCOMPARE(Letters, QStringList());
        QCOMPARE(Disc.Messages.Boxes.size(), 1);
        QCOMPARE(Disc.Messages.Boxes[0].Text, u"E-mail of CD author is unknown"_s);
        QCOMPARE(Disc.Messages.Boxes[0].Caption, u"E-mail is unknown"_s);
        QCOMPARE(Disc.Messages.Boxes[0].Flags, 0x2040u);
    }
}

void TestMainCommands::letterReachesTheMailProgram()
{
    TCommandDisc Disc;
    auto F = Disc.Create();
    F->Btn4Click();
    QCOMPARE(Disc.ShellCalls.Calls.size(), 1);
    QCOMPARE(Disc.ShellCalls.Calls[0].Verb, TFakeShellService::svOpenUrl);
    QVERIFY(Disc.ShellCalls.Calls[0].File.startsWith(u"mailto:"_s));
    QVERIFY(Disc.ShellCalls.Calls[0].File.contains(u"author@example.org"_s));
}

void TestMainCommands::intro()
{
    TCommandDisc Disc;
    auto F = Disc.Create();
    Select(*F, FindNode(*F, u"Photos"_s));
    QVERIFY(F->ImageGallery->Visible());
    F->SetWallpaper(TMainF::ImagesFolder() + u"section.bmp"_s);
    Disc.Sound.Calls.clear();

    F->Btn5Click();
    QVERIFY(F->IntroShown());
    QCOMPARE(F->TitleLabel->Caption(), u"Intro"_s);
    QVERIFY(F->TextField->Visible());
    QCOMPARE(F->TextField->Caption(), u"Hello from the author"_s);
    QVERIFY(!F->Tabs->Visible());
    QVERIFY(!F->ImageGallery->Visible());
    QVERIFY(!F->ScreenshotsGallery->Visible());
    QCOMPARE(F->WallpaperFileName(), TMainF::ImagesFolder() + u"wallpaper.bmp"_s);
    // The intro music, forced and looped.
    QCOMPARE(Disc.Sound.Calls,
             QStringList({u"Stop"_s, u"Free"_s, u"Init 1 44100 0 0"_s,
                          u"StreamCreateFile "_s + ProgramFolder + u"Shell\\Music\\intro.mp3"_s,
                          u"StreamPlay 1 false 12"_s}));
    // The selection and the buttons stay.
    QCOMPARE(F->ProjectTree->Selected(), FindNode(*F, u"Photos"_s));
    QCOMPARE(F->CurrentItem(), &Project->Sections.Items(0).SItems.Items(4));
    QVERIFY(F->Btn7->Enabled());
    // Forced: the intro again restarts it.
    Disc.Sound.Calls.clear();
    F->Btn5Click();
    QVERIFY(Disc.Sound.Calls.contains(u"Init 1 44100 0 0"_s));
    // The next selection replaces the intro.
    Select(*F, FindNode(*F, u"Editor"_s));
    QVERIFY(!F->IntroShown());
    QCOMPARE(F->TitleLabel->Caption(), u"Editor"_s);
}

void TestMainCommands::folder_data()
{
    QTest::addColumn<QString>("Node");
    QTest::addColumn<QString>("Folder"); // relative to the program folder
    QTest::newRow("nothing selected: the project folder") << QString() << QString();
    QTest::newRow("section") << u"Programs"_s << u"Progs"_s;
    QTest::newRow("item") << u"Editor"_s << u"Progs\\Editor"_s;
    QTest::newRow("missing folder: the program folder") << u"Viewer"_s << QString();
}

void TestMainCommands::folder()
{
    QFETCH(QString, Node);
    QFETCH(QString, Folder);
    TCommandDisc Disc;
    QDir().mkpath(Disc.Path(u"Progs"_s));
    auto F = Disc.Create();
    if (!Node.isEmpty()) {
        Select(*F, FindNode(*F, Node));
    }
    F->Btn6Click();
    QCOMPARE(Disc.ShellCalls.Calls.size(), 1);
    QCOMPARE(Disc.ShellCalls.Calls[0].Verb, TFakeShellService::svExplore);
    // The folder as the file system names it.
    QCOMPARE(Disc.ShellCalls.Calls[0].File, SystemPath(ProgramFolder + Folder));
}

void TestMainCommands::runCommandHook()
{
    TCommandDisc Disc;
    auto F = Disc.Create();
    int Runs = 0;
    CountRuns(*F, Runs);
    Select(*F, FindNode(*F, u"Empty"_s));
    F->Btn8Click();
    QCOMPARE(Runs, 0);
    Select(*F, FindNode(*F, u"Editor"_s));
    QVERIFY(F->Btn8->Enabled());
    F->Btn8->Click();
    F->Btn7->Click();
    QCOMPARE(Runs, 2);
    // Without a hook nothing happens.
    F->OnExecuteItemAction = nullptr;
    F->Btn8Click();
}

void TestMainCommands::runCommandCases()
{
    TCommandDisc Disc;
    auto F = Disc.Create();
    QList<const TItemAction*> Ran;
    int Chooser = 0;
    F->OnExecuteItemAction = [&Ran](const TItemAction& Action) { Ran.append(&Action); };
    F->OnChooseAction = [&Chooser] { ++Chooser; };

    // One action: it runs, then the command pauses while what it started comes up.
    Select(*F, FindNode(*F, u"Editor"_s));
    Disc.Pauses.clear();
    F->Btn8Click();
    QCOMPARE(Ran, (QList<const TItemAction*>{&F->CurrentItem()->ItemActions.Items(0)}));
    QCOMPARE(Disc.Pauses, QList<qint64>{1500});

    // Several actions: the chooser, nothing run here.
    Select(*F, FindNode(*F, u"Viewer"_s));
    F->Btn8Click();
    QCOMPARE(Chooser, 1);
    QCOMPARE(Ran.size(), 1);

    // A picture item: its pictures show in the window while the gallery is hidden; once it shows,
    // the command runs the action.
    Select(*F, FindNode(*F, u"Photos"_s));
    F->ImageGallery->SetVisible(false);
    Ran.clear();
    F->Btn8Click();
    QVERIFY(F->ImageGallery->Visible());
    QVERIFY(Ran.isEmpty());
    F->Btn8Click();
    QCOMPARE(Ran.size(), 1);
}

void TestMainCommands::playCommand()
{
    TCommandDisc Disc;
    auto F = Disc.Create();
    int Runs = 0;
    CountRuns(*F, Runs);
    Select(*F, FindNode(*F, u"Song"_s));
    QVERIFY(F->Btn9->Enabled());
    QVERIFY(F->Btn9->Visible());
    Disc.Sound.Calls.clear();
    F->Btn9->Click();
    QCOMPARE(Disc.Sound.Calls, QStringList({u"Stop"_s, u"Free"_s, u"Init 1 44100 0 owner"_s}));
    QVERIFY(F->Music().ItemMusicOn());
    QCOMPARE(Runs, 1);
    // Again: the music stops.
    Disc.Sound.Calls.clear();
    F->Btn9Click();
    QCOMPARE(Disc.Sound.Calls, QStringList({u"Stop"_s, u"Free"_s}));
    QVERIFY(!F->Music().ItemMusicOn());
    QCOMPARE(Runs, 1);
    // A third time: it starts again.
    F->Btn9Click();
    QCOMPARE(Runs, 2);
}

void TestMainCommands::playCommandWithoutDevice()
{
    TCommandDisc Disc;
    Disc.Sound.DefaultInitResult = false;
    auto F = Disc.Create();
    int Runs = 0;
    CountRuns(*F, Runs);
    Select(*F, FindNode(*F, u"Song"_s));
    F->Btn9Click();
    QCOMPARE(Runs, 0);
    QVERIFY(!F->Music().ItemMusicOn());
    QCOMPARE(Disc.Messages.Boxes.size(), 1);
    QCOMPARE(Disc.Messages.Boxes[0].Text, strNoSoundDevice);
    QCOMPARE(Disc.Messages.Boxes[0].Caption, u"Veltrane"_s);
    QCOMPARE(Disc.Messages.Boxes[0].Flags, 0x2040u);
}

void TestMainCommands::runButtonHints_data()
{
    QTest::addColumn<QString>("Node");
    QTest::addColumn<QString>("Btn7Hint");
    QTest::addColumn<QString>("Btn8Hint");
    QTest::newRow("one described action")
        << u"Editor"_s << u"Installs the editor"_s << u"Installs the editor"_s;
    QTest::newRow("two actions") << u"Viewer"_s << u"Viewer Browse"_s << u"Execute Viewer"_s;
    QTest::newRow("no action: hints stay") << u"Empty"_s << u"Browse"_s << u"Install"_s;
}

void TestMainCommands::runButtonHints()
{
    QFETCH(QString, Node);
    QFETCH(QString, Btn7Hint);
    QFETCH(QString, Btn8Hint);
    TCommandDisc Disc;
    auto F = Disc.Create();
    Select(*F, FindNode(*F, Node));
    F->Btn8MouseMove(F->Btn7, {}, 3, 3);
    F->Btn8MouseMove(F->Btn8, {}, 3, 3);
    QCOMPARE(F->Btn7->Hint(), Btn7Hint);
    QCOMPARE(F->Btn8->Hint(), Btn8Hint);
}

void TestMainCommands::doubleClickAndEnter_data()
{
    QTest::addColumn<QString>("Node");
    QTest::addColumn<int>("Runs");
    QTest::addColumn<bool>("Played");
    QTest::newRow("section: nothing") << u"Programs"_s << 0 << false;
    QTest::newRow("about node: nothing") << u"about..."_s << 0 << false;
    QTest::newRow("item without actions: nothing") << u"Empty"_s << 0 << false;
    QTest::newRow("program: runs") << u"Editor"_s << 1 << false;
    QTest::newRow("document: runs") << u"Viewer"_s << 1 << false;
    QTest::newRow("music: plays") << u"Song"_s << 1 << true;
}

void TestMainCommands::doubleClickAndEnter()
{
    QFETCH(QString, Node);
    QFETCH(int, Runs);
    QFETCH(bool, Played);
    for (const bool ByKey : {false, true}) {
        TCommandDisc Disc;
        auto F = Disc.Create();
        int Count = 0;
        CountRuns(*F, Count);
        Select(*F, FindNode(*F, Node));
        Disc.Sound.Calls.clear();
        if (ByKey) {
            quint16 Key = VK_RETURN;
            F->ProjectTree->OnKeyDown(F->ProjectTree, Key, {});
            // Other keys are the tree's own.
            quint16 Other = VK_DOWN;
            F->ProjectTree->OnKeyDown(F->ProjectTree, Other, {});
        } else {
            F->ProjectTree->DblClick();
        }
        QCOMPARE(Count, Runs);
        QCOMPARE(F->Music().ItemMusicOn(), Played);
        QCOMPARE(Disc.Sound.Calls.contains(u"Init 1 44100 0 owner"_s), Played);
    }
}

void TestMainCommands::galleryClicks()
{
    TCommandDisc Disc;
    auto F = Disc.Create();
    QList<int> Pictures;
    QList<int> Shots;
    const TScreenshots* ShownShots = nullptr;
    F->OnShowImageList = [&Pictures](const TShellActions& List, int Index) {
        QCOMPARE(&List, &ImageActionList);
        Pictures << Index;
    };
    F->OnShowScreenshotList = [&Shots, &ShownShots](const TScreenshots& List, int Index) {
        ShownShots = &List;
        Shots << Index;
    };
    Select(*F, FindNode(*F, u"Photos"_s));
    QCOMPARE(ImageActionList.Count(), 2);
    F->ImageGallery->OnThumbnailClick(F->ImageGallery, 1);
    QCOMPARE(Pictures, QList<int>({1}));
    // A section's screenshots.
    Select(*F, FindNode(*F, u"Programs"_s));
    F->ScreenshotsGallery->OnThumbnailClick(F->ScreenshotsGallery, 0);
    QCOMPARE(Shots, QList<int>({0}));
    QCOMPARE(ShownShots, &Project->Sections.Items(0).Screenshots);
}

void TestMainCommands::copyAndPopup()
{
    TCommandDisc Disc;
    auto F = Disc.Create();
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    Select(*F, FindNode(*F, u"Editor"_s));
    F->TextFieldMouseDown(F->TextField, TControl::mbLeft, {}, 5, 5);
    QVERIFY(!F->PMenu->Showing());
    F->TextFieldMouseDown(F->TextField, TControl::mbRight, {}, 5, 5);
    QVERIFY(F->PMenu->Showing());
    F->PMenu->Menu()->close();
    F->CopyItem->Click();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"An editor"_s);
}

void TestMainCommands::optionsAndCopyHooks()
{
    TCommandDisc Disc;
    auto F = Disc.Create();
    int Options = 0;
    QStringList Copied;
    F->OnShowOptions = [&Options] { ++Options; };
    F->OnCopyFiles = [&Copied](TItem& Item) { Copied << Item.Name; };
    F->Btn2->Click();
    QCOMPARE(Options, 1);
    F->Btn10Click();
    QCOMPARE(Copied, QStringList());
    Select(*F, FindNode(*F, u"Editor"_s));
    QVERIFY(F->Btn10->Enabled());
    F->Btn10->Click();
    QCOMPARE(Copied, QStringList({u"Editor"_s}));
}

void TestMainCommands::showAndClose()
{
    TCommandDisc Disc;
    DesignSettings.Options.BtnOpacity = true;
    Disc.WriteImage(u"Shell/Images/toolbar.bmp"_s, QSize(500, 50), QColor(0, 0, 200));
    auto F = Disc.Create();
    QVERIFY(!F->IntroShown());
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    QVERIFY(F->IntroShown());
    QCOMPARE(Disc.Sound.Calls,
             QStringList({u"Stop"_s, u"Free"_s, u"Init 1 44100 0 0"_s,
                          u"StreamCreateFile "_s + ProgramFolder + u"Shell\\Music\\intro.mp3"_s,
                          u"StreamPlay 1 false 12"_s}));
    // The first opacity pass: letter, intro and folder.
    for (TVeltraneImage* B : {F->Btn4, F->Btn5, F->Btn6}) {
        QCOMPARE(B->Opacity(), 0.55);
    }
    QCOMPARE(F->Btn7->Opacity(), 1.0);
    // Centred on the screen.
    const QRect Screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(F->x(), Screen.x() + (Screen.width() - F->width()) / 2);

    Disc.Sound.Calls.clear();
    F->Btn3->Click();
    QVERIFY(!F->isVisible());
    QCOMPARE(Disc.Sound.Calls, QStringList({u"Stop"_s, u"StreamFree 0"_s, u"Free"_s}));
    QVERIFY(!F->WallpaperPicture().HasGraphic());
}

void TestMainCommands::titleBarButtons()
{
    TCommandDisc Disc;
    Disc.WriteImage(u"Shell/Btn/closebtn.bmp"_s, QSize(18, 18), Qt::red);
    DesignSettings.Images.CloseBtn = u"closebtn.bmp"_s;
    auto F = Disc.Create();
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    F->MinimizeBtnClick();
    QVERIFY(F->isMinimized());
    F->showNormal();
    QVERIFY(F->CloseBtn->Enabled());
    F->CloseBtn->Click();
    QVERIFY(!F->isVisible());
    F->show();
    F->RunSystemCommand(TMainF::scClose);
    QVERIFY(!F->isVisible());
}

QTEST_MAIN(TestMainCommands)
#include "tst_maincommands.moc"
