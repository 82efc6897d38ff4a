#include "CategoryChooser.h"
#include "Colors.h"
#include "CursorSlots.h"
#include "ImageList.h"
#include "config/ControlsProps.h"

#include <QImage>
#include <QMetaEnum>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using TVisibleList = QList<bool>;

constexpr QRgb Backdrop = qRgb(255, 0, 255); // the parent's colour, shows where nothing is painted
constexpr qint32 BackdropColor = 0xFF00FF;   // the same as 0x00BBGGRR
constexpr qint32 NormalColor = 0x00C000;     // green
constexpr qint32 LitColor = 0xC00000;        // blue
constexpr qint32 PenColor = 0x0000C0;        // red
constexpr QRgb NormalRgb = qRgb(0, 0xC0, 0);
constexpr QRgb LitRgb = qRgb(0, 0, 0xC0);
constexpr QRgb PenRgb = qRgb(0xC0, 0, 0);

// The protected reactions, for driving the chooser the way the platform does.
class TTestChooser : public TCategoryChooser
{
public:
    using TCategoryChooser::MouseLeave;
    using TCategoryChooser::MouseMove;
    using TCategoryChooser::MouseUp;
    using TCategoryChooser::TCategoryChooser;
};

// A parent of the backdrop colour with a chooser at its top-left corner.
struct TFixture
{
    TControl Parent;
    TTestChooser* Chooser;
    int Changes = 0;

    explicit TFixture(const TVisibleList& Visible, TCategoryChooser::TCatViewStyle Style = cvsHorizontal)
    {
        Parent.SetBounds(0, 0, 200, 120);
        Parent.SetColor(BackdropColor);
        Chooser = new TTestChooser(&Parent, QStringLiteral("Tabs"));
        Chooser->SetViewStyle(Style);
        Chooser->SetTabWidth(30);
        Chooser->SetTabHeight(10);
        Chooser->SetBounds(0, 0, 100, 60);
        Chooser->SetBackgroundColor(NormalColor);
        Chooser->SetActiveColor(LitColor);
        Chooser->SetLineColor(PenColor);
        Chooser->SetTransparent(false);
        Chooser->CatList()->BeginUpdate();
        for (bool V : Visible) {
            Chooser->CatList()->Add()->SetVisible(V);
        }
        Chooser->CatList()->EndUpdate();
        Chooser->OnCategoryChange = [this](QObject* Sender) {
            QCOMPARE(Sender, Chooser);
            ++Changes;
        };
    }

    QImage Shot()
    {
        QImage Image(Parent.size(), QImage::Format_RGB32);
        Image.fill(Qt::black);
        Parent.render(&Image);
        return Image;
    }
};

QRgb Rgb(const QImage& Image, int X, int Y)
{
    return Image.pixel(X, Y) | 0xFF000000u;
}

TCategoryChooser::TLayout MakeLayout(TCategoryChooser::TCatViewStyle Style, const TVisibleList& Visible)
{
    TCategoryChooser::TLayout Layout;
    Layout.ViewStyle = Style;
    Layout.TabWidth = 30;
    Layout.TabHeight = 10;
    Layout.Width = 100;
    Layout.Visible = Visible;
    return Layout;
}

// A text measure of 10 pixels per character.
int TenEach(const QString& Text)
{
    return static_cast<int>(Text.size()) * 10;
}

QString WriteBitmap(const QTemporaryDir& Dir, const QString& Name, QSize Size, QRgb Color)
{
    QImage Image(Size, QImage::Format_RGB32);
    Image.fill(Color);
    const QString Path = Dir.filePath(Name);
    if (!Image.save(Path, "BMP")) {
        return {};
    }
    return Path;
}

} // namespace

Q_DECLARE_METATYPE(TTabRect)

class TestCategoryChooser : public QObject
{
    Q_OBJECT

private slots:
    void tabRect_data();
    void tabRect();
    void tabAt_data();
    void tabAt();
    void pointInTabs_data();
    void pointInTabs();
    void reselectIndex_data();
    void reselectIndex();
    void ellipsisText_data();
    void ellipsisText();

    void defaults();
    void controlsFileSetsPublishedProperties();
    void listChangeMovesSelection_data();
    void listChangeMovesSelection();
    void changesInsideUpdateReachChooserOnce();
    void selectedCatWriterAlwaysReports();
    void click_data();
    void click();
    void clickThroughPlatformEvents();
    void hoverFollowsMouseAndFallsBack();
    void catListWriterCopies();
    void textRectMakesRoomForIcons();
    void captionWiderThanTabEndsWithEllipsis();
    void imageListGoneCountsAsNone();

    void paintsHorizontalStrip();
    void paintsVerticalStrip();
    void transparentFillsOnlyHighlighted();
    void hiddenCategoryLeavesNoGap();
    void tabPicturesReplaceFillAndLines();
    void unreadableTabImageKeepsPicture();
    void drawsIconOfImageIndex();
};

void TestCategoryChooser::tabRect_data()
{
    QTest::addColumn<TCategoryChooser::TCatViewStyle>("Style");
    QTest::addColumn<TVisibleList>("Visible");
    QTest::addColumn<int>("Index");
    QTest::addColumn<TTabRect>("Expected");

    const TVisibleList All{true, true, true};
    QTest::newRow("horizontal first") << cvsHorizontal << All << 0 << TTabRect{0, 0, 30, 11};
    QTest::newRow("horizontal third") << cvsHorizontal << All << 2 << TTabRect{60, 0, 90, 11};
    QTest::newRow("horizontal after hidden")
        << cvsHorizontal << TVisibleList{false, true, true} << 1 << TTabRect{0, 0, 30, 11};
    QTest::newRow("vertical first") << cvsVertical << All << 0 << TTabRect{0, 0, 100, 10};
    QTest::newRow("vertical second starts under the line")
        << cvsVertical << All << 1 << TTabRect{0, 11, 100, 20};
    QTest::newRow("vertical after hidden middle")
        << cvsVertical << TVisibleList{true, false, true} << 2 << TTabRect{0, 11, 100, 20};
    // The extra pixel goes with the index, not with the place.
    QTest::newRow("vertical first visible is second")
        << cvsVertical << TVisibleList{false, true} << 1 << TTabRect{0, 1, 100, 10};
    QTest::newRow("index beyond the list") << cvsHorizontal << All << 7 << TTabRect{90, 0, 120, 11};
}

void TestCategoryChooser::tabRect()
{
    QFETCH(TCategoryChooser::TCatViewStyle, Style);
    QFETCH(TVisibleList, Visible);
    QFETCH(int, Index);
    QFETCH(TTabRect, Expected);
    const TTabRect R = TCategoryChooser::TabRectOf(MakeLayout(Style, Visible), Index);
    QCOMPARE(R.Left, Expected.Left);
    QCOMPARE(R.Top, Expected.Top);
    QCOMPARE(R.Right, Expected.Right);
    QCOMPARE(R.Bottom, Expected.Bottom);
}

void TestCategoryChooser::tabAt_data()
{
    QTest::addColumn<TCategoryChooser::TCatViewStyle>("Style");
    QTest::addColumn<TVisibleList>("Visible");
    QTest::addColumn<QPoint>("Point");
    QTest::addColumn<int>("Expected");

    const TVisibleList All{true, true, true};
    QTest::newRow("inside first") << cvsHorizontal << All << QPoint(5, 5) << 0;
    QTest::newRow("shared border goes to the first") << cvsHorizontal << All << QPoint(30, 5) << 0;
    QTest::newRow("right border of the last") << cvsHorizontal << All << QPoint(90, 11) << 2;
    QTest::newRow("past the last") << cvsHorizontal << All << QPoint(91, 5) << -1;
    QTest::newRow("below the strip") << cvsHorizontal << All << QPoint(5, 12) << -1;
    QTest::newRow("hidden takes no place")
        << cvsHorizontal << TVisibleList{true, false, true} << QPoint(45, 5) << 2;
    QTest::newRow("vertical line under first") << cvsVertical << All << QPoint(50, 10) << 0;
    QTest::newRow("vertical second") << cvsVertical << All << QPoint(50, 11) << 1;
    QTest::newRow("vertical right border") << cvsVertical << All << QPoint(100, 25) << 2;
    QTest::newRow("vertical top pixel above shifted first")
        << cvsVertical << TVisibleList{false, true} << QPoint(5, 0) << -1;
    QTest::newRow("nothing visible") << cvsVertical << TVisibleList{false, false} << QPoint(5, 5) << -1;
}

void TestCategoryChooser::tabAt()
{
    QFETCH(TCategoryChooser::TCatViewStyle, Style);
    QFETCH(TVisibleList, Visible);
    QFETCH(QPoint, Point);
    QFETCH(int, Expected);
    QCOMPARE(TCategoryChooser::TabAtOf(MakeLayout(Style, Visible), Point.x(), Point.y()), Expected);
}

void TestCategoryChooser::pointInTabs_data()
{
    QTest::addColumn<TCategoryChooser::TCatViewStyle>("Style");
    QTest::addColumn<TVisibleList>("Visible");
    QTest::addColumn<QPoint>("Point");
    QTest::addColumn<bool>("Expected");

    const TVisibleList All{true, true, true};
    QTest::newRow("inside") << cvsHorizontal << All << QPoint(89, 3) << true;
    QTest::newRow("corner of last tab") << cvsHorizontal << All << QPoint(90, 11) << true;
    QTest::newRow("right of last tab") << cvsHorizontal << All << QPoint(91, 3) << false;
    QTest::newRow("last hidden shortens the area")
        << cvsHorizontal << TVisibleList{true, true, false} << QPoint(75, 3) << false;
    QTest::newRow("negative") << cvsHorizontal << All << QPoint(-1, 3) << false;
    QTest::newRow("vertical bottom line") << cvsVertical << All << QPoint(0, 30) << true;
    QTest::newRow("vertical below") << cvsVertical << All << QPoint(0, 31) << false;
    QTest::newRow("vertical above shifted first")
        << cvsVertical << TVisibleList{false, true} << QPoint(5, 0) << true;
    QTest::newRow("nothing visible") << cvsVertical << TVisibleList{false, false} << QPoint(0, 0) << false;
    QTest::newRow("empty list") << cvsVertical << TVisibleList{} << QPoint(0, 0) << false;
}

void TestCategoryChooser::pointInTabs()
{
    QFETCH(TCategoryChooser::TCatViewStyle, Style);
    QFETCH(TVisibleList, Visible);
    QFETCH(QPoint, Point);
    QFETCH(bool, Expected);
    QCOMPARE(TCategoryChooser::PointInTabs(MakeLayout(Style, Visible), Point.x(), Point.y()), Expected);
}

void TestCategoryChooser::reselectIndex_data()
{
    QTest::addColumn<TVisibleList>("Visible");
    QTest::addColumn<int>("Selected");
    QTest::addColumn<int>("Expected"); // -2: the selection stays

    QTest::newRow("selected visible stays") << TVisibleList{true, true, true} << 1 << -2;
    QTest::newRow("hidden moves before") << TVisibleList{true, true, false, true} << 2 << 1;
    QTest::newRow("nearest before, not first") << TVisibleList{true, false, true, false} << 3 << 2;
    QTest::newRow("nothing before moves after") << TVisibleList{false, false, true} << 1 << 2;
    QTest::newRow("nothing visible stays") << TVisibleList{false, false} << 1 << -2;
    QTest::newRow("none selected takes first") << TVisibleList{true, true} << -1 << 0;
    QTest::newRow("beyond the end takes first") << TVisibleList{true, true} << 5 << 0;
    QTest::newRow("beyond the end, first hidden") << TVisibleList{false, false, true} << 3 << 2;
    QTest::newRow("any negative counts as none") << TVisibleList{false, true} << -7 << 1;
    QTest::newRow("empty list stays") << TVisibleList{} << 0 << -2;
}

void TestCategoryChooser::reselectIndex()
{
    QFETCH(TVisibleList, Visible);
    QFETCH(int, Selected);
    QFETCH(int, Expected);
    QCOMPARE(TCategoryChooser::ReselectIndex(Visible, Selected).value_or(-2), Expected);
}

void TestCategoryChooser::ellipsisText_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<int>("MaxWidth");
    QTest::addColumn<QString>("Expected");

    QTest::newRow("fits") << QStringLiteral("Screens") << 100 << QStringLiteral("Screens");
    QTest::newRow("fits exactly") << QStringLiteral("Screens") << 70 << QStringLiteral("Screens");
    QTest::newRow("one pixel short") << QStringLiteral("Screens") << 69 << QStringLiteral("Scr...");
    QTest::newRow("only the ellipsis") << QStringLiteral("Screens") << 35 << QStringLiteral("...");
    QTest::newRow("not even the ellipsis") << QStringLiteral("Screens") << 5 << QStringLiteral("...");
    QTest::newRow("no width at all") << QStringLiteral("Ab") << -4 << QStringLiteral("...");
    QTest::newRow("empty") << QString() << 0 << QString();
    // "a" followed by one character outside the basic plane (two code units).
    QTest::newRow("surrogate pair stays whole")
        << (QStringLiteral("a") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("bcd")) << 59
        << QStringLiteral("a...");
}

void TestCategoryChooser::ellipsisText()
{
    QFETCH(QString, Text);
    QFETCH(int, MaxWidth);
    QFETCH(QString, Expected);
    QCOMPARE(TCategoryChooser::EllipsisText(Text, MaxWidth, TenEach), Expected);
}

void TestCategoryChooser::defaults()
{
    TCategoryChooser Chooser;
    QCOMPARE(Chooser.Width(), 100);
    QCOMPARE(Chooser.Height(), 200);
    QCOMPARE(Chooser.CatList()->Count(), 0);
    QCOMPARE(Chooser.CatList()->Chooser(), &Chooser);
    QCOMPARE(Chooser.BackgroundColor(), 0xF0CAA6);
    QCOMPARE(Chooser.ActiveColor(), clWhite);
    QCOMPARE(Chooser.FocusedCursor(), int(crHandPoint));
    QCOMPARE(Chooser.TabImage(), QString());
    QVERIFY(!Chooser.TabPicture());
    QVERIFY(!Chooser.FocusedTabPicture());
    QCOMPARE(Chooser.TabWidth(), 50);
    QCOMPARE(Chooser.TabHeight(), 24);
    QCOMPARE(Chooser.Highlighted(), 0);
    QCOMPARE(Chooser.SelectedCat(), 0);
    QVERIFY(!Chooser.WasOutside());
    QVERIFY(!Chooser.Images());
    QCOMPARE(Chooser.ViewStyle(), cvsVertical);
    QVERIFY(Chooser.Transparent());
    QCOMPARE(Chooser.LineColor(), clBlack);
    QCOMPARE(Chooser.Font()->Name(), QStringLiteral("Arial"));
    QCOMPARE(Chooser.Font()->Size(), 8);
    QCOMPARE(Chooser.Font()->Style(), TFont::TFontStyles(TFont::fsBold));
    QCOMPARE(Chooser.Font()->Color(), clWindowText);

    TCategory* Item = Chooser.CatList()->Add();
    QCOMPARE(Item->Caption(), QString());
    QCOMPARE(Item->ImageIndex(), -1);
    QVERIFY(Item->Visible());
    QCOMPARE(Item->Index(), 0);

    const QMetaEnum Styles = QMetaEnum::fromType<TCategoryChooser::TCatViewStyle>();
    QCOMPARE(QLatin1String(Styles.valueToKey(cvsVertical)), QLatin1String("cvsVertical"));
    QCOMPARE(QLatin1String(Styles.valueToKey(cvsHorizontal)), QLatin1String("cvsHorizontal"));
}

void TestCategoryChooser::controlsFileSetsPublishedProperties()
{
    TCategoryChooser Chooser(nullptr, QStringLiteral("Tabs"));
    TControlsPropsContainer Props;
    Props.LoadFromBytes("[Tabs]\n"
                        "ViewStyle=cvsHorizontal\n"
                        "ActiveColor=#FF8000\n"
                        "BackgroundColor=$0000FF\n"
                        "LineColor=#000080\n"
                        "TabWidth=77\n"
                        "TabHeight=$10\n"
                        "FocusedCursor=-2\n"
                        "Transparent=0\n"
                        "Font.Style=fsItalic\n");
    QCOMPARE(Props.ApplyToControl(&Chooser, false), QStringList());
    QCOMPARE(Chooser.ViewStyle(), cvsHorizontal);
    QCOMPARE(Chooser.ActiveColor(), 0x0080FF);
    QCOMPARE(Chooser.BackgroundColor(), 0x0000FF);
    QCOMPARE(Chooser.LineColor(), 0x800000);
    QCOMPARE(Chooser.TabWidth(), 77);
    QCOMPARE(Chooser.TabHeight(), 16);
    QCOMPARE(Chooser.FocusedCursor(), -2);
    QVERIFY(!Chooser.Transparent());
    QCOMPARE(Chooser.Font()->Style(), TFont::TFontStyles(TFont::fsItalic));
}

void TestCategoryChooser::listChangeMovesSelection_data()
{
    QTest::addColumn<TVisibleList>("Visible");
    QTest::addColumn<int>("Selected");
    QTest::addColumn<int>("Hide");
    QTest::addColumn<int>("Expected");
    QTest::addColumn<int>("Changes");

    QTest::newRow("hiding selected moves before") << TVisibleList{true, true, true} << 2 << 2 << 1 << 1;
    QTest::newRow("hiding selected first moves after") << TVisibleList{true, true, true} << 0 << 0 << 1 << 1;
    QTest::newRow("skips hidden before") << TVisibleList{true, false, true} << 2 << 2 << 0 << 1;
    QTest::newRow("hiding another keeps it") << TVisibleList{true, true, true} << 1 << 2 << 1 << 0;
    QTest::newRow("hiding the last visible keeps it") << TVisibleList{false, true} << 1 << 1 << 1 << 0;
}

void TestCategoryChooser::listChangeMovesSelection()
{
    QFETCH(TVisibleList, Visible);
    QFETCH(int, Selected);
    QFETCH(int, Hide);
    QFETCH(int, Expected);
    QFETCH(int, Changes);
    TFixture F(Visible);
    F.Chooser->SetSelectedCat(Selected);
    F.Changes = 0;
    F.Chooser->CatList()->Items(Hide)->SetVisible(false);
    QCOMPARE(F.Chooser->SelectedCat(), Expected);
    QCOMPARE(F.Chooser->Highlighted(), Expected);
    QCOMPARE(F.Changes, Changes);
}

void TestCategoryChooser::changesInsideUpdateReachChooserOnce()
{
    // The main window's pattern: both tabs hidden, then shown inside one update.
    TFixture F({false, false});
    F.Chooser->SetSelectedCat(1);
    F.Changes = 0;
    TCategories* List = F.Chooser->CatList();
    List->BeginUpdate();
    List->Items(1)->SetVisible(true);
    List->Items(0)->SetVisible(false);
    QCOMPARE(F.Changes, 0);
    List->EndUpdate();
    QCOMPARE(F.Chooser->SelectedCat(), 1);
    QCOMPARE(F.Changes, 0);

    // Deleting the selected third tab selects the nearest visible one.
    List->Add()->SetCaption(QStringLiteral("Pictures"));
    F.Chooser->SetSelectedCat(2);
    F.Changes = 0;
    List->Delete(2);
    QCOMPARE(F.Chooser->SelectedCat(), 1);
    QCOMPARE(F.Changes, 1);

    // An emptied list leaves the selection alone; new categories then bring it back to the first.
    List->Clear();
    QCOMPARE(F.Chooser->SelectedCat(), 1);
    QCOMPARE(F.Changes, 1);
    List->Add();
    QCOMPARE(F.Chooser->SelectedCat(), 0);
    QCOMPARE(F.Changes, 2);
}

void TestCategoryChooser::selectedCatWriterAlwaysReports()
{
    TFixture F({true, true});
    F.Chooser->SetSelectedCat(0);
    F.Chooser->SetSelectedCat(0);
    QCOMPARE(F.Changes, 2);
    // No range check: an index without a category is taken as it is.
    F.Chooser->SetSelectedCat(9);
    QCOMPARE(F.Chooser->SelectedCat(), 9);
    QCOMPARE(F.Chooser->Highlighted(), 9);
    QCOMPARE(F.Changes, 3);
    F.Shot(); // paints nothing highlighted, and does not fail
}

void TestCategoryChooser::click_data()
{
    QTest::addColumn<int>("X");
    QTest::addColumn<int>("Selected");
    QTest::addColumn<int>("Changes");

    QTest::newRow("the selected tab") << 5 << 0 << 0;
    QTest::newRow("another tab") << 35 << 1 << 1;
    QTest::newRow("hidden tab's place is the next one") << 65 << 3 << 1;
    QTest::newRow("outside the tabs") << 99 << 0 << 0;
}

void TestCategoryChooser::click()
{
    QFETCH(int, X);
    QFETCH(int, Selected);
    QFETCH(int, Changes);
    TFixture F({true, true, false, true});
    F.Chooser->MouseMove({}, X, 5);
    F.Chooser->MouseUp(TControl::mbRight, {}, X, 5);
    QCOMPARE(F.Chooser->SelectedCat(), Selected);
    QCOMPARE(F.Changes, Changes);
}

void TestCategoryChooser::clickThroughPlatformEvents()
{
    TFixture F({true, true, true});
    F.Parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&F.Parent));
    QTest::mouseMove(F.Chooser, QPoint(40, 5));
    QCOMPARE(F.Chooser->Highlighted(), 1);
    QTest::mouseClick(F.Chooser, Qt::LeftButton, {}, QPoint(40, 5));
    QCOMPARE(F.Chooser->SelectedCat(), 1);
    QCOMPARE(F.Changes, 1);
    QTest::mouseClick(F.Chooser, Qt::LeftButton, {}, QPoint(40, 5));
    QCOMPARE(F.Changes, 1);
}

void TestCategoryChooser::hoverFollowsMouseAndFallsBack()
{
    TFixture F({true, true, true});
    F.Chooser->SetFocusedCursor(crHandPoint);
    F.Chooser->SetSelectedCat(0);
    F.Changes = 0;

    F.Chooser->MouseMove({}, 65, 5);
    QCOMPARE(F.Chooser->Highlighted(), 2);
    QCOMPARE(F.Chooser->Cursor(), int(crHandPoint));
    QVERIFY(!F.Chooser->WasOutside());

    // Below the tabs: the selected tab lights again.
    F.Chooser->MouseMove({}, 65, 30);
    QCOMPARE(F.Chooser->Highlighted(), 0);
    QCOMPARE(F.Chooser->Cursor(), int(crDefault));
    QVERIFY(F.Chooser->WasOutside());

    F.Chooser->MouseMove({}, 35, 5);
    QCOMPARE(F.Chooser->Highlighted(), 1);
    F.Chooser->MouseLeave();
    QCOMPARE(F.Chooser->Highlighted(), 0);
    QCOMPARE(F.Changes, 0);

    // A click without a hover before it still lights the chosen tab.
    F.Chooser->MouseUp(TControl::mbLeft, {}, 65, 5);
    QCOMPARE(F.Chooser->SelectedCat(), 2);
    QCOMPARE(F.Chooser->Highlighted(), 2);
    QCOMPARE(Rgb(F.Shot(), 75, 5), LitRgb);
}

void TestCategoryChooser::catListWriterCopies()
{
    TCategories Source;
    TCategory* A = Source.Add();
    A->SetCaption(QStringLiteral("Settings"));
    A->SetImageIndex(3);
    TCategory* B = Source.Add();
    B->SetCaption(QStringLiteral("History"));
    B->SetVisible(false);

    TFixture F({true});
    F.Chooser->SetCatList(&Source);
    TCategories* List = F.Chooser->CatList();
    QCOMPARE(List->Count(), 2);
    QVERIFY(List->Items(0) != A);
    QCOMPARE(List->Items(0)->Caption(), QStringLiteral("Settings"));
    QCOMPARE(List->Items(0)->ImageIndex(), 3);
    QCOMPARE(List->Items(1)->Caption(), QStringLiteral("History"));
    QVERIFY(!List->Items(1)->Visible());
    QCOMPARE(List->Items(1)->Collection(), List);

    // Onto itself the list stays as it is.
    F.Chooser->SetCatList(List);
    QCOMPARE(List->Count(), 2);
    QVERIFY(!List->Items(5));
}

void TestCategoryChooser::textRectMakesRoomForIcons()
{
    TFixture F({true, true});
    QCOMPARE(F.Chooser->TextRect(1), (TTabRect{36, 0, 58, 11}));
    TImageList Icons;
    Icons.SetWidth(8);
    Icons.SetHeight(8);
    F.Chooser->SetImages(&Icons);
    // Room for the image width is made even for a category without an image.
    QCOMPARE(F.Chooser->CatList()->Items(1)->ImageIndex(), -1);
    QCOMPARE(F.Chooser->TextRect(1), (TTabRect{48, 0, 58, 11}));
}

void TestCategoryChooser::captionWiderThanTabEndsWithEllipsis()
{
    TFixture F({true, true});
    F.Chooser->SetTextWidthFunc(TenEach);
    F.Chooser->CatList()->Items(0)->SetCaption(QStringLiteral("Description")); // text room 22
    F.Chooser->CatList()->Items(1)->SetCaption(QStringLiteral("Ab"));
    QCOMPARE(F.Chooser->TabText(0), QStringLiteral("..."));
    QCOMPARE(F.Chooser->TabText(1), QStringLiteral("Ab"));
    F.Chooser->SetTabWidth(100);
    QCOMPARE(F.Chooser->TabText(0), QStringLiteral("Descri..."));

    // With the real font the cut caption still ends with the ellipsis.
    F.Chooser->SetTextWidthFunc({});
    F.Chooser->SetTabWidth(40);
    QVERIFY(F.Chooser->TabText(0).endsWith(QStringLiteral("...")));
}

void TestCategoryChooser::imageListGoneCountsAsNone()
{
    TFixture F({true});
    auto* Icons = new TImageList;
    F.Chooser->SetImages(Icons);
    QCOMPARE(F.Chooser->Images(), Icons);
    delete Icons;
    QVERIFY(!F.Chooser->Images());
    F.Shot();
}

void TestCategoryChooser::paintsHorizontalStrip()
{
    TFixture F({true, true, true});
    F.Chooser->SetSelectedCat(1);
    const QImage Shot = F.Shot();
    // A line left of the first tab and right of every tab.
    for (int X : {0, 29, 59, 89}) {
        QCOMPARE(Rgb(Shot, X, 5), PenRgb);
        QCOMPARE(Rgb(Shot, X, 10), PenRgb);
    }
    QCOMPARE(Rgb(Shot, 27, 5), NormalRgb);
    QCOMPARE(Rgb(Shot, 30, 10), LitRgb);
    QCOMPARE(Rgb(Shot, 58, 10), LitRgb);
    QCOMPARE(Rgb(Shot, 88, 0), NormalRgb);
    // No line at the top; the strip is one pixel taller than a tab.
    QCOMPARE(Rgb(Shot, 20, 0), NormalRgb);
    QCOMPARE(Rgb(Shot, 20, 11), Backdrop);
    // Nothing after the last tab.
    QCOMPARE(Rgb(Shot, 90, 5), Backdrop);
}

void TestCategoryChooser::paintsVerticalStrip()
{
    TFixture F({true, true, true}, cvsVertical);
    const QImage Shot = F.Shot();
    // A line above the first category and under every tab, across the chooser's width.
    for (int Y : {0, 10, 20, 30}) {
        QCOMPARE(Rgb(Shot, 0, Y), PenRgb);
        QCOMPARE(Rgb(Shot, 99, Y), PenRgb);
    }
    QCOMPARE(Rgb(Shot, 100, 10), Backdrop);
    QCOMPARE(Rgb(Shot, 95, 5), LitRgb);
    QCOMPARE(Rgb(Shot, 95, 15), NormalRgb);
    QCOMPARE(Rgb(Shot, 95, 29), NormalRgb);
    QCOMPARE(Rgb(Shot, 95, 31), Backdrop);
}

void TestCategoryChooser::transparentFillsOnlyHighlighted()
{
    TFixture F({true, true, true});
    F.Chooser->SetTransparent(true);
    F.Chooser->SetSelectedCat(2);
    const QImage Shot = F.Shot();
    QCOMPARE(Rgb(Shot, 15, 5), Backdrop);
    QCOMPARE(Rgb(Shot, 45, 5), Backdrop);
    QCOMPARE(Rgb(Shot, 85, 5), LitRgb);
    // The lines are still drawn.
    QCOMPARE(Rgb(Shot, 29, 5), PenRgb);
}

void TestCategoryChooser::hiddenCategoryLeavesNoGap()
{
    TFixture F({true, false, true});
    F.Chooser->SetSelectedCat(2);
    const QImage Shot = F.Shot();
    QCOMPARE(Rgb(Shot, 45, 5), LitRgb);
    QCOMPARE(Rgb(Shot, 59, 5), PenRgb);
    QCOMPARE(Rgb(Shot, 65, 5), Backdrop);
}

void TestCategoryChooser::tabPicturesReplaceFillAndLines()
{
    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    const QString Normal = WriteBitmap(Dir, QStringLiteral("tab.bmp"), QSize(25, 8), qRgb(0xFF, 0xFF, 0));
    const QString Lit = WriteBitmap(Dir, QStringLiteral("tabfocus.bmp"), QSize(25, 8), qRgb(0, 0xFF, 0xFF));
    QVERIFY(!Normal.isEmpty() && !Lit.isEmpty());

    TFixture F({true, true, true});
    F.Chooser->SetTabImage(Normal);
    QVERIFY(F.Chooser->TabPicture() && F.Chooser->TabPicture()->HasGraphic());
    QVERIFY(!F.Chooser->FocusedTabPicture());
    QImage Shot = F.Shot();
    // Without a highlighted picture the highlighted tab is filled; there are no lines at all.
    QCOMPARE(Rgb(Shot, 5, 5), LitRgb);
    QCOMPARE(Rgb(Shot, 0, 5), LitRgb);
    QCOMPARE(Rgb(Shot, 29, 5), LitRgb);
    QCOMPARE(Rgb(Shot, 30, 0), qRgb(0xFF, 0xFF, 0));
    QCOMPARE(Rgb(Shot, 54, 7), qRgb(0xFF, 0xFF, 0));
    // The picture is drawn at its own size.
    QCOMPARE(Rgb(Shot, 55, 5), Backdrop);
    QCOMPARE(Rgb(Shot, 40, 8), Backdrop);
    QCOMPARE(Rgb(Shot, 59, 5), Backdrop);

    F.Chooser->SetFocusedTabImage(Lit);
    Shot = F.Shot();
    QCOMPARE(Rgb(Shot, 0, 0), qRgb(0, 0xFF, 0xFF));
    QCOMPARE(Rgb(Shot, 27, 5), Backdrop);
    QCOMPARE(Rgb(Shot, 60, 0), qRgb(0xFF, 0xFF, 0));

    // A highlighted picture alone keeps the fill and the lines of the normal tabs.
    TFixture G({true, true});
    G.Chooser->SetFocusedTabImage(Lit);
    Shot = G.Shot();
    QCOMPARE(Rgb(Shot, 5, 5), qRgb(0, 0xFF, 0xFF));
    QCOMPARE(Rgb(Shot, 35, 5), NormalRgb);
    QCOMPARE(Rgb(Shot, 59, 5), PenRgb);
}

void TestCategoryChooser::unreadableTabImageKeepsPicture()
{
    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    const QString Normal = WriteBitmap(Dir, QStringLiteral("tab.bmp"), QSize(4, 4), qRgb(0xFF, 0xFF, 0));
    TFixture F({true});
    F.Chooser->SetTabImage(Dir.filePath(QStringLiteral("missing.bmp")));
    QCOMPARE(F.Chooser->TabImage(), Dir.filePath(QStringLiteral("missing.bmp")));
    QVERIFY(F.Chooser->TabPicture());
    QVERIFY(!F.Chooser->TabPicture()->HasGraphic());

    F.Chooser->SetTabImage(Normal);
    QFile Broken(Dir.filePath(QStringLiteral("broken.bmp")));
    QVERIFY(Broken.open(QIODevice::WriteOnly));
    Broken.write("BM not a bitmap");
    Broken.close();
    F.Chooser->SetTabImage(Broken.fileName());
    QCOMPARE(F.Chooser->TabImage(), Broken.fileName());
    QCOMPARE(F.Chooser->TabPicture()->Width(), 4);
}

void TestCategoryChooser::drawsIconOfImageIndex()
{
    TImageList Icons;
    Icons.SetWidth(8);
    Icons.SetHeight(8);
    QImage Red(8, 8, QImage::Format_RGB32);
    Red.fill(qRgb(0xFF, 0, 0));
    Red.setPixel(0, 7, qRgb(0, 0, 0)); // masked: shows what is below
    QCOMPARE(Icons.AddMasked(Red, qRgb(0, 0, 0)), 0);

    TFixture F({true, true, true}, cvsVertical);
    F.Chooser->SetImages(&Icons);
    F.Chooser->CatList()->Items(1)->SetImageIndex(0);
    F.Chooser->CatList()->Items(2)->SetImageIndex(1); // no such image
    const QImage Shot = F.Shot();
    // At (left + 4, top + (TabHeight - image height) div 2) of the second tab (top 11).
    QCOMPARE(Rgb(Shot, 4, 12), qRgb(0xFF, 0, 0));
    QCOMPARE(Rgb(Shot, 11, 19), qRgb(0xFF, 0, 0));
    QCOMPARE(Rgb(Shot, 4, 19), NormalRgb);
    QCOMPARE(Rgb(Shot, 3, 12), NormalRgb);
    QCOMPARE(Rgb(Shot, 12, 12), NormalRgb);
    QCOMPARE(Rgb(Shot, 5, 23), NormalRgb);
    QCOMPARE(Rgb(Shot, 5, 2), LitRgb);
}

QTEST_MAIN(TestCategoryChooser)
#include "tst_categorychooser.moc"
