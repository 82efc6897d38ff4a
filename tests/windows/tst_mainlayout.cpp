// The main window's placement rules and selection decisions as plain functions: the content bounds,
// the toolbar and its buttons, packing, the preview places, the text buttons, the wallpaper origin,
// rounded corners; node tags, node images, button states, tabs, image actions, hints and folders.

#include "MainLayout.h"
#include "MainSelection.h"
#include "lang/LangStrs.h"
#include "model/Project.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace MainLayout;
using namespace MainSelection;

using TLefts = std::array<int, PackedButtonCount>;
using TFlags = std::array<bool, PackedButtonCount>;
Q_DECLARE_METATYPE(TLefts)
Q_DECLARE_METATYPE(TFlags)

class TestMainLayout : public QObject
{
    Q_OBJECT

private slots:
    void contentBounds();
    void toolBar_data();
    void toolBar();
    void toolButtons_data();
    void toolButtons();
    void packing_data();
    void packing();
    void previewPlaces();
    void textButtons();
    void wallpaperOrigin_data();
    void wallpaperOrigin();
    void roundedCorners();
    void tags_data();
    void tags();
    void imagePairs();
    void itemButtons_data();
    void itemButtons();
    void tabs_data();
    void tabs();
    void imageActions_data();
    void imageActions();
    void hints();
    void browseFolder();
};

void TestMainLayout::contentBounds()
{
    const TContentBounds B = ContentBounds();
    QCOMPARE(TreeBounds, QRect(8, 48, 217, 430));
    QCOMPARE(B.TitleLabel, QRect(240, 48, 522, 20));
    QCOMPARE(B.Tabs, QRect(236, 71, 331, 19));
    QCOMPARE(B.TextField, QRect(240, 93, 522, 314));
    QCOMPARE(B.TextBackground, QRect(236, 89, 530, 322));
    QCOMPARE(B.ClientWidth, 781);
    QCOMPARE(IcoImgBounds(21), QRect(2, 0, 19, 20));
    QCOMPARE(IcoImgBounds(35), QRect(2, 7, 19, 20));
}

void TestMainLayout::toolBar_data()
{
    QTest::addColumn<bool>("HasPicture");
    QTest::addColumn<QSize>("Picture");
    QTest::addColumn<QRect>("Bounds");
    QTest::addColumn<bool>("Stretch");
    QTest::newRow("none: design size, below the text area")
        << false << QSize() << QRect(236, 438, 433, 40) << false;
    QTest::newRow("small: its own size") << true << QSize(300, 50) << QRect(236, 428, 300, 50) << false;
    QTest::newRow("largest that fits") << true << QSize(534, 111) << QRect(236, 367, 534, 111) << false;
    QTest::newRow("too wide: stretched") << true << QSize(535, 40) << QRect(236, 438, 433, 40) << true;
    QTest::newRow("too high: stretched") << true << QSize(100, 112) << QRect(236, 438, 433, 40) << true;
}

void TestMainLayout::toolBar()
{
    QFETCH(bool, HasPicture);
    QFETCH(QSize, Picture);
    QFETCH(QRect, Bounds);
    QFETCH(bool, Stretch);
    const TContentBounds B = ContentBounds();
    QCOMPARE(ToolBarMaxSize(B.TextBackground, B.TextField.height()), QSize(534, 111));
    const TToolBarPlacement P = PlaceToolBar(HasPicture, Picture, B.TextBackground, B.TextField.height());
    QCOMPARE(P.Bounds, Bounds);
    QCOMPARE(P.Stretch, Stretch);
    // The bottom edge lines up with the tree's, below the text area.
    QCOMPARE(P.Bounds.y() + P.Bounds.height(), 478);
}

void TestMainLayout::toolButtons_data()
{
    QTest::addColumn<QRect>("ToolBar");
    QTest::addColumn<int>("Cell");
    QTest::addColumn<QRect>("Bounds");
    QTest::newRow("design, cell 0") << QRect(195, 332, 433, 40) << 0 << QRect(207, 336, 32, 32);
    QTest::newRow("design, cell 9") << QRect(195, 332, 433, 40) << 9 << QRect(684, 336, 32, 32);
    QTest::newRow("picture, cell 4") << QRect(236, 428, 300, 50) << 4 << QRect(460, 437, 32, 32);
    QTest::newRow("flat toolbar") << QRect(236, 458, 534, 20) << 5 << QRect(513, 452, 32, 32);
}

void TestMainLayout::toolButtons()
{
    QFETCH(QRect, ToolBar);
    QFETCH(int, Cell);
    QFETCH(QRect, Bounds);
    QCOMPARE(ToolButtonBounds(Cell, ToolBar), Bounds);
}

void TestMainLayout::packing_data()
{
    QTest::addColumn<TFlags>("Loaded");
    QTest::addColumn<TLefts>("Lefts");
    QTest::addColumn<TFlags>("Hidden");
    // Cells Btn4 9, Btn5 8, Btn6 7, Btn7 6, Btn8 5, Btn10 4, written as the cell numbers.
    const TFlags All{true, true, true, true, true, true};
    QTest::newRow("all loaded") << All << TLefts{9, 8, 7, 6, 5, 4} << TFlags{};
    QTest::newRow("no Btn4") << TFlags{false, true, true, true, true, true} << TLefts{9, 9, 8, 7, 6, 5}
                             << TFlags{true, false, false, false, false, false};
    QTest::newRow("no Btn5") << TFlags{true, false, true, true, true, true} << TLefts{9, 8, 8, 7, 6, 5}
                             << TFlags{false, true, false, false, false, false};
    QTest::newRow("no Btn6") << TFlags{true, true, false, true, true, true} << TLefts{9, 8, 7, 7, 6, 5}
                             << TFlags{false, false, true, false, false, false};
    QTest::newRow("no Btn7") << TFlags{true, true, true, false, true, true} << TLefts{9, 8, 7, 6, 6, 5}
                             << TFlags{false, false, false, true, false, false};
    QTest::newRow("no Btn8: only Btn10 moves")
        << TFlags{true, true, true, true, false, true} << TLefts{9, 8, 7, 6, 5, 5}
        << TFlags{false, false, false, false, true, false};
    QTest::newRow("no Btn4, no Btn5")
        << TFlags{false, false, true, true, true, true} << TLefts{9, 9, 9, 8, 7, 6}
        << TFlags{true, true, false, false, false, false};
    // Btn10's own picture is not tested.
    QTest::newRow("no Btn10") << TFlags{true, true, true, true, true, false} << TLefts{9, 8, 7, 6, 5, 4}
                              << TFlags{};
    QTest::newRow("none loaded") << TFlags{} << TLefts{9, 9, 9, 9, 9, 9}
                                 << TFlags{true, true, true, true, true, false};
}

void TestMainLayout::packing()
{
    QFETCH(TFlags, Loaded);
    QFETCH(TLefts, Lefts);
    QFETCH(TFlags, Hidden);
    TLefts Actual{9, 8, 7, 6, 5, 4};
    const TFlags ActualHidden = PackToolButtons(Actual, Loaded);
    QCOMPARE(Actual, Lefts);
    QCOMPARE(ActualHidden, Hidden);
}

void TestMainLayout::previewPlaces()
{
    const TPreviewPlaces P = PreviewPlaces(QRect(236, 89, 530, 322));
    QCOMPARE(P.Preview1Left, 241);
    QCOMPARE(P.Preview2Width, 258);
    QCOMPARE(P.Preview2Left, 503);
    QCOMPARE(P.Height, 248); // 322 / 1.3 = 247.69
    QCOMPARE(P.Top, 126);
}

void TestMainLayout::textButtons()
{
    const TTextButtonsPlacement P = PlaceTextButtons(QSize(80, 20), QSize(60, 18), 762, 372);
    QCOMPARE(P.Btn2, QPoint(682, 387));
    QCOMPARE(P.Btn3, QPoint(702, 408));
    QCOMPARE(P.ClientHeight, 436);
}

void TestMainLayout::wallpaperOrigin_data()
{
    QTest::addColumn<QSize>("Picture");
    QTest::addColumn<QPoint>("Origin");
    QTest::newRow("smaller: centred") << QSize(381, 200) << QPoint(200, 100);
    QTest::newRow("odd difference") << QSize(380, 201) << QPoint(200, 99);
    QTest::newRow("larger: top-left part") << QSize(1000, 600) << QPoint(0, 0);
    QTest::newRow("wider only") << QSize(900, 100) << QPoint(0, 150);
}

void TestMainLayout::wallpaperOrigin()
{
    QFETCH(QSize, Picture);
    QFETCH(QPoint, Origin);
    QCOMPARE(WallpaperOrigin(QSize(781, 400), Picture), Origin);
}

void TestMainLayout::roundedCorners()
{
    const QRegion Full = RoundedRectRegion(100, 60, 0);
    QCOMPARE(Full, QRegion(0, 0, 100, 60));
    const QRegion Round = RoundedRectRegion(100, 60, 20);
    QVERIFY(!Round.contains(QPoint(0, 0)));
    QVERIFY(!Round.contains(QPoint(99, 59)));
    QVERIFY(!Round.contains(QPoint(99, 0)));
    QVERIFY(Round.contains(QPoint(50, 30)));
    QVERIFY(Round.contains(QPoint(50, 0)));
    QVERIFY(Round.contains(QPoint(0, 30)));
    QVERIFY(Round.contains(QPoint(10, 10)));
    QVERIFY(RoundedRectRegion(0, 10, 5).isEmpty());
}

void TestMainLayout::tags_data()
{
    QTest::addColumn<int>("Section");
    QTest::addColumn<int>("Item");
    QTest::addColumn<int>("Tag");
    QTest::newRow("first section") << 0 << -1 << 1000;
    QTest::newRow("third section") << 2 << -1 << 3000;
    QTest::newRow("first item") << 0 << 0 << 1001;
    QTest::newRow("item 998") << 4 << 998 << 5999;
}

void TestMainLayout::tags()
{
    QFETCH(int, Section);
    QFETCH(int, Item);
    QFETCH(int, Tag);
    QCOMPARE(Item < 0 ? SectionTag(Section) : ItemTag(Section, Item), Tag);
    const TNodeRef Ref = DecodeTag(Tag);
    QCOMPARE(Ref.Section, Section);
    QCOMPARE(Ref.Item, Item);

    TVeltraneProject P;
    for (int S = 0; S <= Section; ++S) {
        TSection& Sec = P.Sections.Add();
        for (int I = 0; I <= std::max(Item, 0); ++I) {
            Sec.SItems.Add();
        }
    }
    const TNodeTarget Target = ResolveTag(P, Tag);
    QCOMPARE(Target.Section, &P.Sections.Items(Section));
    QCOMPARE(Target.Item, Item < 0 ? nullptr : &P.Sections.Items(Section).SItems.Items(Item));
    // Tags outside the project name nothing.
    QCOMPARE(ResolveTag(P, SectionTag(Section + 1)).Section, nullptr);
    QCOMPARE(ResolveTag(P, 0).Section, nullptr);
    QCOMPARE(ResolveTag(P, -5).Section, nullptr);
}

void TestMainLayout::imagePairs()
{
    QCOMPARE(FillImagePair(-1, 3), (TImagePair{3, 3}));
    QCOMPARE(FillImagePair(2, -1), (TImagePair{2, 2}));
    QCOMPARE(FillImagePair(2, 5), (TImagePair{2, 5}));
    QVERIFY(FillImagePair(-1, -1).BothUnset());

    TSection Section;
    Section.ImageDefault = -1;
    Section.ImageSelected = 7;
    TItem Own;
    Own.ImageDefault = 4;
    TItem None;
    const TImagePair First{1, 2};
    // Its own pair first.
    QCOMPARE(ItemImagePair(Own, 3, First, TImagePair{8, 9}, Section), (TImagePair{4, 4}));
    // An item after the first takes the first item's pair.
    QCOMPARE(ItemImagePair(None, 1, First, TImagePair{8, 9}, Section), (TImagePair{1, 2}));
    // The first item, or a first item without images: the section node's pair.
    QCOMPARE(ItemImagePair(None, 0, First, TImagePair{8, 9}, Section), (TImagePair{8, 9}));
    QCOMPARE(ItemImagePair(None, 2, TImagePair{}, TImagePair{8, 9}, Section), (TImagePair{8, 9}));
    // Without a section node: the section's own pair, filled.
    QCOMPARE(ItemImagePair(None, 2, TImagePair{}, std::nullopt, Section), (TImagePair{7, 7}));
}

void TestMainLayout::itemButtons_data()
{
    QTest::addColumn<int>("Actions"); // -1: one action without steps
    QTest::addColumn<int>("Type");
    QTest::addColumn<QString>("Expected"); // Open Install Play PlayShown: 1, 0 or - for unchanged
    QTest::newRow("no action") << 0 << 0 << u"000 0"_s;
    QTest::newRow("action without steps") << -1 << 0 << u"1-- -"_s;
    QTest::newRow("file") << 1 << int(otFile) << u"100 -"_s;
    QTest::newRow("text") << 1 << int(otText) << u"100 -"_s;
    QTest::newRow("folder") << 2 << int(otFolder) << u"100 -"_s;
    QTest::newRow("executable") << 1 << int(otExecutable) << u"010 -"_s;
    QTest::newRow("music") << 1 << int(otMusic) << u"001 1"_s;
    QTest::newRow("image") << 1 << int(otImage) << u"100 -"_s;
}

void TestMainLayout::itemButtons()
{
    QFETCH(int, Actions);
    QFETCH(int, Type);
    QFETCH(QString, Expected);
    TItem Item;
    if (Actions < 0) {
        Item.ItemActions.Add();
    }
    for (int A = 0; A < Actions; ++A) {
        TShellAction& Step = Item.ItemActions.Add().ShellActions.Add();
        Step.ShellActionType = atOpenObject;
        Step.ObjectType = TObjectType(Type);
    }
    const TItemButtons B = ItemButtonsFor(Item);
    auto Show = [](const std::optional<bool>& V) { return V ? (*V ? u'1' : u'0') : u'-'; };
    QCOMPARE(QString(Show(B.Open)) + Show(B.Install) + Show(B.Play) + u' ' + Show(B.PlayShown), Expected);
    QCOMPARE(B.ReadTextFile, Actions > 0 && Type == otText);
    QCOMPARE(B.ImageItem, Actions > 0 && Type == otImage);
    QCOMPARE(B.MusicItem, Actions > 0 && Type == otMusic);
}

void TestMainLayout::tabs_data()
{
    QTest::addColumn<int>("Screenshots");
    QTest::addColumn<QString>("Description");
    QTest::addColumn<bool>("DescriptionTab");
    QTest::addColumn<bool>("ScreenshotsTab");
    QTest::newRow("neither") << 0 << QString() << false << false;
    QTest::newRow("description only: no strip") << 0 << u"Text"_s << false << false;
    QTest::newRow("screenshots only") << 2 << QString() << false << true;
    QTest::newRow("both") << 1 << u"Text"_s << true << true;
    QTest::newRow("blank description counts") << 1 << u" "_s << true << true;
}

void TestMainLayout::tabs()
{
    QFETCH(int, Screenshots);
    QFETCH(QString, Description);
    QFETCH(bool, DescriptionTab);
    QFETCH(bool, ScreenshotsTab);
    const TTabsChoice C = TabsFor(Screenshots, Description);
    QCOMPARE(C.Description, DescriptionTab);
    QCOMPARE(C.Screenshots, ScreenshotsTab);
    QCOMPARE(C.Visible(), DescriptionTab || ScreenshotsTab);
}

void TestMainLayout::imageActions_data()
{
    QTest::addColumn<QString>("Steps"); // one letter a step: i picture, e empty object, f file, m message
    QTest::addColumn<bool>("Image");
    QTest::newRow("no steps") << QString() << false;
    QTest::newRow("three pictures") << u"iii"_s << true;
    QTest::newRow("picture and empty object") << u"ie"_s << true;
    QTest::newRow("picture then file") << u"if"_s << false;
    QTest::newRow("message step") << u"im"_s << false;
}

void TestMainLayout::imageActions()
{
    QFETCH(QString, Steps);
    QFETCH(bool, Image);
    TItemAction Action;
    for (QChar C : Steps) {
        TShellAction& S = Action.ShellActions.Add();
        S.ShellActionType = C == u'm' ? atShowMessage : atOpenObject;
        S.ObjectType = C == u'f' || C == u'e' ? otFile : otImage;
        S.OpenObject = C == u'e' ? QString() : u"Pic.bmp"_s;
    }
    QCOMPARE(IsImageAction(Action), Image);
}

void TestMainLayout::hints()
{
    TItem Item;
    Item.ItemActions.Add().Description = u"Installs the editor"_s;
    QCOMPARE(RunButtonHint(Item, true, u"Editor"_s, u"Execute %s"_s, u"Browse"_s), u"Installs the editor"_s);
    QCOMPARE(RunButtonHint(Item, false, u"Editor"_s, u"Execute %s"_s, u"Browse"_s), u"Installs the editor"_s);
    Item.ItemActions.Add();
    QCOMPARE(RunButtonHint(Item, true, u"Editor"_s, u"Execute %s"_s, u"Browse"_s), u"Execute Editor"_s);
    QCOMPARE(RunButtonHint(Item, false, u"Editor"_s, u"Execute %s"_s, u"Browse"_s), u"Editor Browse"_s);
    TItem Plain;
    Plain.ItemActions.Add();
    QCOMPARE(RunButtonHint(Plain, true, u"100%"_s, u"Execute %s"_s, u"Browse"_s), u"Execute 100%"_s);
}

void TestMainLayout::browseFolder()
{
    QTemporaryDir Dir;
    QDir().mkpath(Dir.filePath(u"Disc/Editor"_s));
    QDir().mkpath(Dir.filePath(u"Disc/Games"_s));
    const QString Folder = Dir.filePath(u"Disc"_s) + u'/';
    const QString Program = Dir.path() + u'/';
    TSection Section;
    Section.Folder = u"Games"_s;
    TItem Item;
    Item.Folder = u"editor"_s; // any letter case
    TItem Missing;
    Missing.Folder = u"Nowhere"_s;
    QCOMPARE(BrowseFolderFor(Folder, Program, false, 0, nullptr, nullptr), Folder);
    QCOMPARE(BrowseFolderFor(Folder, Program, true, 1001, &Section, &Item), Folder + u"editor"_s);
    QCOMPARE(BrowseFolderFor(Folder, Program, true, 1000, &Section, nullptr), Folder + u"Games"_s);
    QCOMPARE(BrowseFolderFor(Folder, Program, true, 1002, &Section, &Missing), Program);
    QCOMPARE(BrowseFolderFor(Folder + u"Gone\\"_s, Program, false, 0, nullptr, nullptr), Program);
    QVERIFY(DirectoryExists(Folder));
    QVERIFY(!DirectoryExists(QString()));
}

QTEST_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
