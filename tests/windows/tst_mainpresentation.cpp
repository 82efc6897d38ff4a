// The main window's tree and what a selection presents: the nodes with their tags and images, the
// title, text, tabs and galleries of each kind of section and item, the toolbar buttons, the tree's
// shape, and the wallpaper and music a section brings (against the recording sound engine).

#include "MainFormFixture.h"

#include "CategoryChooser.h"
#include "ImageList.h"
#include "Label.h"
#include "MusicPlayer.h"
#include "PhotoForm.h"
#include "Picture.h"
#include "Thumbnails.h"
#include "TreeView.h"
#include "VeltraneImage.h"
#include "VeltraneText.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray IconFixture(const QString& Name)
{
    QFile F(QStringLiteral(AUTORUN_TEST_DATA_DIR "/model/icons/") + Name);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
}

// A disc with a project of every kind of section and item, and the files they name.
class TPresentationDisc : public TMainFixture
{
public:
    TPresentationDisc()
    {
        WriteButtons();
        TVeltraneProject P;
        P.Creator.AuthorWords = u"Author's words"_s;
        P.Pictures.Add().Icon.Data = IconFixture(u"app-16-32bit.ico"_s);
        P.Pictures.Add().Icon.Data = IconFixture(u"multi-16-32-256.ico"_s);

        TSection& Programs = AddSection(P, u"Programs"_s, u"All programs"_s);
        Programs.ImageSelected = 1;
        Programs.WallpaperFile = u"Walls\\prog.bmp"_s;
        Programs.BackMusicFile = u"Music\\prog.mp3"_s;
        Programs.Folder = u"Progs"_s;
        TItem& Editor = AddItem(Programs, u"Editor"_s, u"An editor"_s);
        Editor.ImageDefault = 0;
        Editor.ImageSelected = 1;
        Editor.Folder = u"Progs\\Editor"_s;
        Editor.CopyRules.Enabled = true;
        AddAction(Editor, otExecutable, {u"Progs\\Editor\\setup.exe"_s});
        AddScreenshots(Editor.Screenshots, {u"Shots\\a.bmp"_s, u"Shots\\b.bmp"_s});
        AddAction(AddItem(Programs, u"Readme"_s), otText, {u"Docs\\readme.txt"_s});
        AddAction(AddItem(Programs, u"Song"_s), otMusic, {u"Music\\song.mp3"_s});
        AddAction(AddItem(Programs, u"Photos"_s), otImage,
                  {u"Pics\\1.bmp"_s, u"Pics\\2.bmp"_s, u"Pics\\3.bmp"_s});
        AddScreenshots(AddItem(Programs, u"Shots only"_s).Screenshots, {u"Shots\\a.bmp"_s});
        AddItem(Programs, u"Nothing"_s);

        TSection& Loose = AddSection(P, QString(), u"Not shown"_s);
        Loose.ImageDefault = 2;
        Loose.WallpaperFile = u"Walls\\free.bmp"_s;
        Loose.BackMusicFile = u"Music\\free.mp3"_s;
        AddAction(AddItem(Loose, u"Loose"_s, u"x"_s), otFile, {u"Docs\\readme.txt"_s});

        TSection& Games = AddSection(P, u"Games"_s);
        Games.BackMusicFile = u"MUSIC\\PROG.MP3"_s; // the Programs music in other letters
        AddAction(AddItem(Games, u"Chess"_s, u"Chess game"_s), otExecutable, {u"chess.exe"_s});

        TSection& Pictures = AddSection(P, u"Pictures"_s, u"Pictures"_s);
        TItem& Blank = AddItem(Pictures, u"Pictures blank"_s, u" "_s);
        AddScreenshots(Blank.Screenshots, {u"Shots\\a.bmp"_s});
        AddAction(Blank, otImage, {u"Pics\\1.bmp"_s, u"Pics\\2.bmp"_s});
        TItem& WithShots = AddItem(Pictures, u"Pictures with shots"_s);
        AddScreenshots(WithShots.Screenshots, {u"Shots\\a.bmp"_s});
        AddAction(WithShots, otImage, {u"Pics\\1.bmp"_s, u"Pics\\2.bmp"_s});
        AddAction(AddItem(Pictures, u"Described pictures"_s, u"Nice"_s), otImage, {u"Pics\\1.bmp"_s});
        SaveProject(P);

        for (const QString& F :
             {u"Shots/a.bmp"_s, u"Shots/b.bmp"_s, u"Pics/1.bmp"_s, u"Pics/2.bmp"_s, u"Pics/3.bmp"_s}) {
            WriteImage(F, QSize(40, 30), Qt::darkCyan);
        }
        WriteImage(u"Walls/prog.bmp"_s, QSize(20, 20), Qt::red);
        WriteImage(u"Walls/free.bmp"_s, QSize(20, 20), Qt::blue);
        WriteImage(u"Shell/Images/wallpaper.bmp"_s, QSize(20, 20), Qt::gray);
        DesignSettings.Images.Wallpaper = u"wallpaper.bmp"_s;
        WriteFile(u"Docs/readme.txt"_s, "Line one\r\nLine two");
        WriteFile(u"Music/prog.mp3"_s, "x");
        WriteFile(u"Music/free.mp3"_s, "x");
        WriteFile(u"Music/song.mp3"_s, "x");
        WriteFile(u"Shell/Music/intro.mp3"_s, "x");
    }

    QString Root() const { return ProgramFolder; }
};

QStringList CreatedStreams(const TFakeSoundEngine& Sound)
{
    QStringList Files;
    for (const QString& Call : Sound.Calls) {
        if (Call.startsWith(u"StreamCreateFile "_s)) {
            Files << Call.mid(17);
        }
    }
    return Files;
}

} // namespace

class TestMainPresentation : public QObject
{
    Q_OBJECT

private slots:
    void treeNodes();
    void aboutNodes_data();
    void aboutNodes();
    void nodeImages();
    void unreadableIconKeepsIndexes();
    void itemsPastTagRange();
    void selection_data();
    void selection();
    void textFileItem();
    void thirdTabGoesWithItsItem();
    void imageItemAfterScreenshotsTab();
    void runButtonHintsReset();
    void tabChangeShowsScreenshots();
    void collapseRules();
    void wallpaperAndMusic();
    void missingSectionMusic_data();
    void missingSectionMusic();
    void itemMusicKeepsSectionMusicOff();
    void autoPlayback();
    void expandingShowsText();
    void nothingSelectedIgnoresCommands();
};

void TestMainPresentation::treeNodes()
{
    TPresentationDisc Disc;
    auto F = Disc.Create();
    QVERIFY(!LoadFailed);
    TTreeNodes& Items = F->ProjectTree->Items();
    QStringList Top;
    for (int I = 0; I < Items.TopLevelCount(); ++I) {
        Top << Items.TopLevelItem(I)->Text();
    }
    // The unnamed section's items stand at the top level.
    QCOMPARE(Top, QStringList({u"Programs"_s, u"Loose"_s, u"Games"_s, u"Pictures"_s}));
    const TTreeNode* Programs = Items.TopLevelItem(0);
    QCOMPARE(Programs->Count(), 7);
    QCOMPARE(Programs->Item(0)->Text(), strAboutSection);
    QCOMPARE(Programs->Item(1)->Text(), u"Editor"_s);
    // The tags name section and item.
    QCOMPARE(Programs->StateIndex(), 1000);
    QCOMPARE(Programs->Item(0)->StateIndex(), 1000);
    QCOMPARE(Programs->Item(1)->StateIndex(), 1001);
    QCOMPARE(Programs->Item(6)->StateIndex(), 1006);
    QCOMPARE(Items.TopLevelItem(1)->StateIndex(), 2001);
    QCOMPARE(Items.TopLevelItem(2)->StateIndex(), 3000);
    QCOMPARE(Items.TopLevelItem(2)->Item(0)->StateIndex(), 3001);
    // A section without a description has no "about..." node.
    QCOMPARE(Items.TopLevelItem(2)->Count(), 1);
}

void TestMainPresentation::aboutNodes_data()
{
    QTest::addColumn<bool>("Setting");
    QTest::addColumn<QString>("Description");
    QTest::addColumn<bool>("About");
    QTest::newRow("with description") << true << u"Text"_s << true;
    QTest::newRow("setting off") << false << u"Text"_s << false;
    QTest::newRow("no description") << true << QString() << false;
}

void TestMainPresentation::aboutNodes()
{
    QFETCH(bool, Setting);
    QFETCH(QString, Description);
    QFETCH(bool, About);
    TMainFixture Fx;
    TVeltraneProject P;
    AddItem(AddSection(P, u"Section"_s, Description), u"Item"_s);
    AddItem(AddSection(P, QString(), u"Unnamed sections have no node"_s), u"Free"_s);
    Fx.SaveProject(P);
    DesignSettings.Options.ShowAboutSection = Setting;
    auto F = Fx.Create();
    const TTreeNode* Section = F->ProjectTree->Items().TopLevelItem(0);
    QCOMPARE(Section->Count(), About ? 2 : 1);
    QCOMPARE(F->ProjectTree->Items().Count(), About ? 4 : 3);
    if (About) {
        const TTreeNode* Node = Section->Item(0);
        QCOMPARE(Node->Text(), u"about..."_s);
        // The last image of the tree's list: picture count + 5.
        QCOMPARE(Node->ImageIndex(), 5);
        QCOMPARE(Node->SelectedIndex(), 5);
        // Selecting it shows the section.
        Select(*F, const_cast<TTreeNode*>(Node));
        QCOMPARE(F->TitleLabel->Caption(), u"Section"_s);
        QCOMPARE(F->TextField->Caption(), Description);
        QCOMPARE(F->CurrentItem(), nullptr);
        QCOMPARE(F->CurrentSection(), &Project->Sections.Items(0));
    }
}

void TestMainPresentation::nodeImages()
{
    TPresentationDisc Disc;
    auto F = Disc.Create();
    // Two project pictures, then the window's six images.
    QCOMPARE(F->TreeImages->Count(), 8);
    QCOMPARE(F->TreeImages->Image(0).size(), QSize(16, 16));
    QCOMPARE(F->TreeImages->Image(7), F->ImagesList->Image(5));
    TTreeNode* Programs = FindNode(*F, u"Programs"_s);
    // ImageDefault -1 takes the selected image.
    QCOMPARE(Programs->ImageIndex(), 1);
    QCOMPARE(Programs->SelectedIndex(), 1);
    QCOMPARE(Programs->Item(0)->ImageIndex(), 7);
    const TTreeNode* Editor = FindNode(*F, u"Editor"_s);
    QCOMPARE(Editor->ImageIndex(), 0);
    QCOMPARE(Editor->SelectedIndex(), 1);
    // Items without images take the first item's pair.
    const TTreeNode* Nothing = FindNode(*F, u"Nothing"_s);
    QCOMPARE(Nothing->ImageIndex(), 0);
    QCOMPARE(Nothing->SelectedIndex(), 1);
    // The first item without images, without a section node: the section's own pair.
    const TTreeNode* Loose = FindNode(*F, u"Loose"_s);
    QCOMPARE(Loose->ImageIndex(), 2);
    QCOMPARE(Loose->SelectedIndex(), 2);
    // The first item of Games has none and takes the section node's (none).
    QCOMPARE(FindNode(*F, u"Chess"_s)->ImageIndex(), -1);

    // A section shows its selected image once one of its items was selected.
    TSection& Pictures = Project->Sections.Items(3);
    Q_UNUSED(Pictures);
    Programs->SetImageIndex(0);
    Select(*F, FindNode(*F, u"Readme"_s));
    QCOMPARE(Programs->ImageIndex(), 1);
}

void TestMainPresentation::unreadableIconKeepsIndexes()
{
    TMainFixture Fx;
    auto F = Fx.Create();
    // A legacy project's picture may come without an icon; a damaged one cannot be rendered.
    Project->Pictures.Add();
    Project->Pictures.Add().Icon.Data = QByteArray("\0\0\1\0\1\0garbage", 14);
    Project->Pictures.Add().Icon.Data = IconFixture(u"app-16-32bit.ico"_s);
    F->BuildProjectTree();
    QCOMPARE(F->TreeImages->Count(), 3 + 6);
    QCOMPARE(qAlpha(F->TreeImages->Image(0).pixel(8, 8)), 0);
    QCOMPARE(qAlpha(F->TreeImages->Image(1).pixel(8, 8)), 0);
    QVERIFY(F->TreeImages->Image(2) != F->TreeImages->Image(0));
    QCOMPARE(F->TreeImages->Image(8), F->ImagesList->Image(5));
}

void TestMainPresentation::itemsPastTagRange()
{
    TMainFixture Fx;
    TVeltraneProject P;
    TSection& Big = AddSection(P, u"Big"_s);
    for (int I = 0; I < 1001; ++I) {
        AddItem(Big, u"Item %1"_s.arg(I));
    }
    AddItem(AddSection(P, u"Next"_s), u"Other"_s);
    Fx.SaveProject(P);
    auto F = Fx.Create();
    const TTreeNode* Section = F->ProjectTree->Items().TopLevelItem(0);
    QCOMPARE(Section->Count(), 999);
    QCOMPARE(Section->Item(998)->StateIndex(), 1999);
    QCOMPARE(F->ProjectTree->Items().TopLevelItem(1)->StateIndex(), 2000);
}

void TestMainPresentation::selection_data()
{
    QTest::addColumn<QString>("Node");
    QTest::addColumn<QString>("Title");
    QTest::addColumn<QString>("Text");  // TextField's caption
    QTest::addColumn<QString>("Shown"); // T text, S screenshots, I pictures, - nothing
    QTest::addColumn<int>("Previews");  // previews of the shown gallery
    QTest::addColumn<QString>("Tabs");  // visible categories by index ("01", "1", "012"), "-" no strip
    QTest::addColumn<int>("SelectedTab");
    QTest::addColumn<QString>("Buttons"); // Btn7 Btn8 Btn9 Btn10 enabled, then Btn9 shown

    QTest::newRow("section") << u"Programs"_s << u"Programs"_s << u"All programs"_s << u"T"_s << 0 << u"-"_s
                             << 0 << u"0000 0"_s;
    QTest::newRow("about node") << u"about..."_s << u"Programs"_s << u"All programs"_s << u"T"_s << 0
                                << u"-"_s << 0 << u"0000 0"_s;
    QTest::newRow("program with screenshots")
        << u"Editor"_s << u"Editor"_s << u"An editor"_s << u"T"_s << 0 << u"01"_s << 0 << u"0101 0"_s;
    QTest::newRow("music item") << u"Song"_s << u"Song"_s << QString() << u"T"_s << 0 << u"-"_s << 0
                                << u"0010 1"_s;
    QTest::newRow("picture item: gallery")
        << u"Photos"_s << u"Photos"_s << QString() << u"I"_s << 3 << u"-"_s << 0 << u"1000 0"_s;
    QTest::newRow("screenshots without description")
        << u"Shots only"_s << u"Shots only"_s << QString() << u"S"_s << 1 << u"1"_s << 1 << u"0000 0"_s;
    QTest::newRow("item without actions")
        << u"Nothing"_s << u"Nothing"_s << QString() << u"T"_s << 0 << u"-"_s << 0 << u"0000 0"_s;
    QTest::newRow("item of an unnamed section")
        << u"Loose"_s << u"Loose"_s << u"x"_s << u"T"_s << 0 << u"-"_s << 0 << u"1000 0"_s;
    QTest::newRow("pictures, blank description, screenshots: third tab")
        << u"Pictures blank"_s << u"Pictures blank"_s << u" "_s << u"I"_s << 2 << u"012"_s << 2
        << u"1000 0"_s;
    QTest::newRow("pictures and screenshots, no description: screenshots")
        << u"Pictures with shots"_s << u"Pictures with shots"_s << QString() << u"S"_s << 1 << u"1"_s << 1
        << u"1000 0"_s;
    QTest::newRow("described pictures: text") << u"Described pictures"_s << u"Described pictures"_s
                                              << u"Nice"_s << u"T"_s << 0 << u"-"_s << 0 << u"1000 0"_s;
}

void TestMainPresentation::selection()
{
    QFETCH(QString, Node);
    QFETCH(QString, Title);
    QFETCH(QString, Text);
    QFETCH(QString, Shown);
    QFETCH(int, Previews);
    QFETCH(QString, Tabs);
    QFETCH(int, SelectedTab);
    QFETCH(QString, Buttons);
    TPresentationDisc Disc;
    auto F = Disc.Create();
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    TTreeNode* N = FindNode(*F, Node);
    QVERIFY(N);
    F->ProjectTree->SetSelected(N);
    // Before the change settles only the context changed.
    QVERIFY(F->IntroShown());
    F->ProjectTree->ChangeTimer()->Fire();
    QVERIFY(!F->IntroShown());

    QCOMPARE(F->TitleLabel->Caption(), Title);
    QCOMPARE(F->TextField->Caption(), Text);
    QCOMPARE(F->TextField->Visible(), Shown == u"T"_s);
    QCOMPARE(F->ScreenshotsGallery->Visible(), Shown == u"S"_s);
    QCOMPARE(F->ImageGallery->Visible(), Shown == u"I"_s);
    if (Shown == u"S"_s) {
        QCOMPARE(F->ScreenshotsGallery->Previews().Count(), Previews);
    }
    if (Shown == u"I"_s) {
        QCOMPARE(F->ImageGallery->Previews().Count(), Previews);
        QCOMPARE(ImageActionList.Count(), Previews);
    }
    QString VisibleTabs;
    for (int I = 0; I < F->Tabs->CatList()->Count(); ++I) {
        if (F->Tabs->CatList()->Items(I)->Visible()) {
            VisibleTabs += QString::number(I);
        }
    }
    QCOMPARE(F->Tabs->Visible() ? VisibleTabs : u"-"_s, Tabs);
    if (F->Tabs->Visible()) {
        QCOMPARE(F->Tabs->SelectedCat(), SelectedTab);
    }
    auto Flag = [](bool B) { return B ? u'1' : u'0'; };
    const QString States = QString(Flag(F->Btn7->Enabled())) + Flag(F->Btn8->Enabled()) +
                           Flag(F->Btn9->Enabled()) + Flag(F->Btn10->Enabled()) + u' ' +
                           Flag(F->Btn9->Visible());
    QCOMPARE(States, Buttons);
    QVERIFY(!F->Btn11->Visible());
    QVERIFY(!F->PreviewImg1->Visible());
    // Letter, intro and folder stay as they were.
    QVERIFY(F->Btn4->Enabled() && F->Btn5->Enabled() && F->Btn6->Enabled());
}

void TestMainPresentation::textFileItem()
{
    TPresentationDisc Disc;
    auto F = Disc.Create();
    Select(*F, FindNode(*F, u"Readme"_s));
    QCOMPARE(F->TextField->Caption(), u"Line one\r\nLine two\r\n"_s);
    QVERIFY(F->Btn7->Enabled());
    QVERIFY(!F->Btn8->Enabled());
    // A text item whose file is missing keeps its (empty) description.
    QFile::remove(Disc.Path(u"Docs/readme.txt"_s));
    Select(*F, FindNode(*F, u"Editor"_s));
    Select(*F, FindNode(*F, u"Readme"_s));
    QCOMPARE(F->TextField->Caption(), QString());
}

void TestMainPresentation::thirdTabGoesWithItsItem()
{
    TPresentationDisc Disc;
    auto F = Disc.Create();
    Select(*F, FindNode(*F, u"Pictures blank"_s));
    QCOMPARE(F->Tabs->CatList()->Count(), 3);
    QCOMPARE(F->Tabs->CatList()->Items(2)->Caption(), u"Pictures blank"_s);
    Select(*F, FindNode(*F, u"Chess"_s));
    QCOMPARE(F->Tabs->CatList()->Count(), 2);
    QVERIFY(!F->ImageGallery->Visible());
    QCOMPARE(F->ImageGallery->Previews().Count(), 0);
    QVERIFY(F->TextField->Visible());
    QCOMPARE(F->TextField->Caption(), u"Chess game"_s);
}

void TestMainPresentation::imageItemAfterScreenshotsTab()
{
    // The screenshots tab chosen for one item, then an image item without screenshots: its tab strip
    // is hidden, and its pictures show all the same.
    TPresentationDisc Disc;
    auto F = Disc.Create();
    Select(*F, FindNode(*F, u"Editor"_s));
    F->Tabs->SetSelectedCat(1);
    Select(*F, FindNode(*F, u"Photos"_s));
    QVERIFY(!F->Tabs->Visible());
    QVERIFY(!F->TextField->Visible());
    QVERIFY(F->ImageGallery->Visible());
    QCOMPARE(F->ImageGallery->Previews().Count(), 3);
}

void TestMainPresentation::runButtonHintsReset()
{
    TPresentationDisc Disc;
    auto F = Disc.Create();
    F->Btn7->SetHint(u"stale"_s);
    F->Btn8->SetHint(u"stale"_s);
    Select(*F, FindNode(*F, u"Games"_s));
    QCOMPARE(F->Btn7->Hint(), strBrowse);
    QCOMPARE(F->Btn8->Hint(), strInstall);
}

void TestMainPresentation::tabChangeShowsScreenshots()
{
    TPresentationDisc Disc;
    auto F = Disc.Create();
    Select(*F, FindNode(*F, u"Editor"_s));
    QVERIFY(F->TextField->Visible());
    F->Tabs->SetSelectedCat(1);
    QVERIFY(!F->TextField->Visible());
    QVERIFY(F->ScreenshotsGallery->Visible());
    QCOMPARE(F->ScreenshotsGallery->Previews().Count(), 2);
    QCOMPARE(F->ScreenshotsGallery->Previews().Items(1).FileName, Disc.Root() + u"Shots\\b.bmp"_s);
    F->Tabs->SetSelectedCat(0);
    QVERIFY(F->TextField->Visible());
    QVERIFY(!F->ScreenshotsGallery->Visible());
    // The screenshots tab stays chosen for the next object with screenshots.
    F->Tabs->SetSelectedCat(1);
    Select(*F, FindNode(*F, u"Shots only"_s));
    QVERIFY(F->ScreenshotsGallery->Visible());
    QCOMPARE(F->ScreenshotsGallery->Previews().Count(), 1);
}

void TestMainPresentation::collapseRules()
{
    TPresentationDisc Disc;
    auto F = Disc.Create();
    TTreeNode* Programs = FindNode(*F, u"Programs"_s);
    TTreeNode* Pictures = FindNode(*F, u"Pictures"_s);
    Select(*F, Programs);
    QVERIFY(Programs->Expanded());
    // An item keeps its parent open.
    Select(*F, FindNode(*F, u"Editor"_s));
    QVERIFY(Programs->Expanded());
    // Another section: the first one closes, the new one opens.
    Select(*F, Pictures);
    QVERIFY(!Programs->Expanded());
    QVERIFY(Pictures->Expanded());
    QCOMPARE(F->LastCollapsedNode(), nullptr);
    // The user closes a section; selecting it again does not reopen it.
    Pictures->Collapse(false);
    QCOMPARE(F->LastCollapsedNode(), Pictures);
    Select(*F, FindNode(*F, u"Games"_s));
    Select(*F, Pictures);
    QVERIFY(!Pictures->Expanded());
    // Any other node opens again.
    Select(*F, Programs);
    QVERIFY(Programs->Expanded());
}

void TestMainPresentation::wallpaperAndMusic()
{
    TPresentationDisc Disc;
    auto F = Disc.Create();
    const QString Root = Disc.Root();
    QCOMPARE(F->WallpaperFileName(), TMainF::ImagesFolder() + u"wallpaper.bmp"_s);
    // A named section: its own wallpaper and music.
    Select(*F, FindNode(*F, u"Programs"_s));
    QCOMPARE(F->WallpaperFileName(), Root + u"Walls\\prog.bmp"_s);
    QCOMPARE(CreatedStreams(Disc.Sound), QStringList({Root + u"Music\\prog.mp3"_s}));
    QCOMPARE(Disc.Sound.Calls.last(), u"StreamPlay 1 false 12"_s);
    // Its items keep them.
    Disc.Sound.Calls.clear();
    Select(*F, FindNode(*F, u"Editor"_s));
    QCOMPARE(F->WallpaperFileName(), Root + u"Walls\\prog.bmp"_s);
    QCOMPARE(Disc.Sound.Calls, QStringList());
    // The same music file in other letters is not restarted; the design wallpaper comes back.
    Select(*F, FindNode(*F, u"Games"_s));
    QCOMPARE(Disc.Sound.Calls, QStringList());
    QCOMPARE(F->WallpaperFileName(), TMainF::ImagesFolder() + u"wallpaper.bmp"_s);
    // An item of an unnamed section brings its section's.
    Select(*F, FindNode(*F, u"Loose"_s));
    QCOMPARE(F->WallpaperFileName(), Root + u"Walls\\free.bmp"_s);
    QCOMPARE(CreatedStreams(Disc.Sound), QStringList({Root + u"Music\\free.mp3"_s}));
    QCOMPARE(F->Music().MusicFileName(), Root + u"Music\\free.mp3"_s);
    // The wallpaper changes only before the change settles: the context comes first.
    F->ProjectTree->SetSelected(FindNode(*F, u"Programs"_s));
    QCOMPARE(F->WallpaperFileName(), Root + u"Walls\\prog.bmp"_s);
}

void TestMainPresentation::missingSectionMusic_data()
{
    QTest::addColumn<bool>("IntroIfNoMusic");
    QTest::addColumn<bool>("Background");
    QTest::addColumn<QString>("Expected"); // stream created, relative to the root; "" none
    QTest::newRow("intro instead") << true << true << u"Shell\\Music\\intro.mp3"_s;
    QTest::newRow("music goes on") << false << true << QString();
    QTest::newRow("nobackmusic") << true << false << QString();
}

void TestMainPresentation::missingSectionMusic()
{
    QFETCH(bool, IntroIfNoMusic);
    QFETCH(bool, Background);
    QFETCH(QString, Expected);
    TPresentationDisc Disc;
    DesignSettings.Options.IntroIfNoSMusic = IntroIfNoMusic;
    if (!Background) {
        StartFlags = quint8(StartFlags & ~sfBackgroundMusic);
    }
    auto F = Disc.Create();
    Select(*F, FindNode(*F, u"Pictures"_s)); // no music of its own
    QCOMPARE(CreatedStreams(Disc.Sound),
             Expected.isEmpty() ? QStringList() : QStringList{Disc.Root() + Expected});
}

void TestMainPresentation::itemMusicKeepsSectionMusicOff()
{
    TPresentationDisc Disc;
    auto F = Disc.Create();
    Select(*F, FindNode(*F, u"Song"_s));
    F->Btn9Click();
    QVERIFY(F->Music().ItemMusicOn());
    Disc.Sound.Calls.clear();
    Select(*F, FindNode(*F, u"Loose"_s));
    QCOMPARE(Disc.Sound.Calls, QStringList());
    // The wallpaper still follows.
    QCOMPARE(F->WallpaperFileName(), Disc.Root() + u"Walls\\free.bmp"_s);
}

void TestMainPresentation::autoPlayback()
{
    TPresentationDisc Disc;
    DesignSettings.Options.AutoPlayback = true;
    auto F = Disc.Create();
    int Runs = 0;
    CountRuns(*F, Runs);
    Select(*F, FindNode(*F, u"Song"_s));
    QCOMPARE(Runs, 1);
    QVERIFY(F->Music().ItemMusicOn());
    QVERIFY(Disc.Sound.Calls.contains(u"Init 1 44100 0 owner"_s));
    // Without the setting nothing plays by itself.
    TPresentationDisc Quiet;
    auto G = Quiet.Create();
    int QuietRuns = 0;
    CountRuns(*G, QuietRuns);
    Select(*G, FindNode(*G, u"Song"_s));
    QCOMPARE(QuietRuns, 0);
    QVERIFY(!G->Music().ItemMusicOn());
}

void TestMainPresentation::expandingShowsText()
{
    TPresentationDisc Disc;
    auto F = Disc.Create();
    Select(*F, FindNode(*F, u"Shots only"_s));
    QVERIFY(!F->TextField->Visible());
    FindNode(*F, u"Pictures"_s)->Expand(false);
    QVERIFY(F->TextField->Visible());
    QCOMPARE(F->TitleLabel->Caption(), u"Pictures"_s);
}

void TestMainPresentation::nothingSelectedIgnoresCommands()
{
    TPresentationDisc Disc;
    auto F = Disc.Create();
    int Runs = 0;
    CountRuns(*F, Runs);
    F->Btn8Click();
    F->ProjectTreeDblClick(F->ProjectTree);
    QCOMPARE(Runs, 0);
    F->ScreenshotsGalleryThumbnailClick(F->ScreenshotsGallery, 0);
}

QTEST_MAIN(TestMainPresentation)
#include "tst_mainpresentation.moc"
