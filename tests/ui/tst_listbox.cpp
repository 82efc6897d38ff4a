#include "CheckListBox.h"
#include "Colors.h"
#include "DirectoryListBox.h"
#include "Keys.h"
#include "ListBox.h"
#include "ListLayout.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

// Owner-drawn list boxes: item geometry with heights of their own, painting through OnDrawItem,
// selection by mouse and keys, check boxes, the folder list.
class TestListBox : public QObject
{
    Q_OBJECT

private slots:
    void itemGeometry_data();
    void itemGeometry();
    void scrollingKeepsItemsWhole();
    void variableItemsAreMeasuredAndDrawn();
    void mouseAndKeysSelect();
    void checkBoxesToggle();
    void folderListShowsChainAndChildren();
};

namespace {

// Fills each item with a colour of its own (red, green, blue, ...) and the selected one with the
// brush the list prepared.
const QList<QRgb> ItemColors = {qRgb(255, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 255), qRgb(200, 200, 0)};

void FillItems(TListBox& List)
{
    List.OnDrawItem = [&List](TControl*, int Index, const QRect& Rect, TOwnerDrawState State) {
        QPainter& Canvas = *List.Canvas();
        if (State.testFlag(odSelected)) {
            Canvas.fillRect(Rect, Canvas.brush());
        } else {
            Canvas.fillRect(Rect, QColor(ItemColors[Index % ItemColors.size()]));
        }
    };
}

QImage Shot(QWidget& Widget)
{
    QImage Image(Widget.size(), QImage::Format_RGB32);
    Image.fill(Qt::black);
    Widget.render(&Image);
    return Image;
}

} // namespace

void TestListBox::itemGeometry_data()
{
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("itemAtY");
    // Heights 10, 30, 20, 40 in a client area 50 high.
    QTest::newRow("first item") << 0 << 0 << QRect(0, 0, 80, 10) << 9 << 0;
    QTest::newRow("third item from the top") << 0 << 2 << QRect(0, 40, 80, 20) << 40 << 2;
    QTest::newRow("scrolled by one") << 1 << 3 << QRect(0, 50, 80, 40) << 0 << 1;
    QTest::newRow("above the top") << 2 << 0 << QRect(0, -40, 80, 10) << 59 << 3;
    QTest::newRow("below the last") << 0 << 3 << QRect(0, 60, 80, 40) << 100 << -1;
    QTest::newRow("above the area") << 0 << 1 << QRect(0, 10, 80, 30) << -1 << -1;
    QTest::newRow("no such item") << 0 << 4 << QRect() << 0 << 0;
}

void TestListBox::itemGeometry()
{
    QFETCH(int, top);
    QFETCH(int, index);
    QFETCH(QRect, rect);
    QFETCH(int, y);
    QFETCH(int, itemAtY);
    const QList<int> Heights = {10, 30, 20, 40};
    QCOMPARE(ListItemRect(Heights, top, index, 80), rect);
    QCOMPARE(ListItemAt(Heights, top, y), itemAtY);
}

void TestListBox::scrollingKeepsItemsWhole()
{
    const QList<int> Heights = {10, 30, 20, 40};
    QCOMPARE(ListMaxTopIndex(Heights, 50), 3); // only the last item fits whole at the end
    QCOMPARE(ListMaxTopIndex(Heights, 60), 2);
    QCOMPARE(ListMaxTopIndex(Heights, 100), 0);
    QVERIFY(ListNeedsScrolling(Heights, 99));
    QVERIFY(!ListNeedsScrolling(Heights, 100));
    QCOMPARE(ListLastVisible(Heights, 0, 50), 1);
    QCOMPARE(ListTopIndexShowing(Heights, 0, 2, 50), 1); // 30 + 20 fill the area
    QCOMPARE(ListTopIndexShowing(Heights, 0, 1, 50), 0);
    QCOMPARE(ListTopIndexShowing(Heights, 3, 0, 50), 0);
    QCOMPARE(ListPageTopEndingAt(Heights, 3, 60), 2);
    // An item higher than the area is shown from its top.
    QCOMPARE(ListTopIndexShowing({10, 80}, 0, 1, 50), 1);
    QCOMPARE(ListMaxTopIndex({10, 80}, 50), 1);
    QCOMPARE(ListLastVisible({}, 0, 50), -1);
}

void TestListBox::variableItemsAreMeasuredAndDrawn()
{
    TListBox List;
    List.SetBounds(0, 0, 104, 104); // a client area of 100 x 100 inside the border
    List.SetStyle(TListBox::lbOwnerDrawVariable);
    List.SetItemHeight(40);
    QList<int> MeasuredWidths;
    List.OnMeasureItem = [&](TControl*, int Index, int& Height) {
        QCOMPARE(Height, 40);
        MeasuredWidths.append(List.ClientWidth());
        Height = 20 + 10 * Index;
    };
    FillItems(List);
    for (const char* Text : {"a", "b", "c"}) {
        List.Items().Add(QString::fromLatin1(Text));
    }
    QCOMPARE(List.ItemHeights(), QList<int>({20, 30, 40}));
    QCOMPARE(MeasuredWidths, QList<int>({100, 100, 100}));
    QCOMPARE(List.ItemRect(2), QRect(0, 50, 100, 40));
    QVERIFY(!List.ScrollBarVisible());

    List.SetItemIndex(1);
    QImage Image = Shot(List);
    QCOMPARE(Image.pixel(2 + 50, 2 + 10), ItemColors[0]);
    QCOMPARE(Image.pixel(2 + 50, 2 + 35), ColorToRGB(clHighlight).rgb()); // selected: highlight brush
    QCOMPARE(Image.pixel(2 + 50, 2 + 89), ItemColors[2]);
    QCOMPARE(Image.pixel(2 + 50, 2 + 95), ColorToRGB(clWindow).rgb()); // below the items

    // A fourth item overflows the area: the scroll bar takes its width from the client area.
    List.Items().Add(QStringLiteral("d"));
    QVERIFY(List.ScrollBarVisible());
    QCOMPARE(List.ClientWidth(), 100 - TListBox::ScrollBarWidth);
    QCOMPARE(MeasuredWidths.last(), 100); // measured before the bar appeared
    List.SetItemIndex(3);
    QCOMPARE(List.TopIndex(), 2); // 40 + 50 fit, 30 more would not
    QCOMPARE(List.ItemRect(3), QRect(0, 40, 83, 50));
    Image = Shot(List);
    QCOMPARE(Image.pixel(2 + 40, 2 + 20), ItemColors[2]);
}

void TestListBox::mouseAndKeysSelect()
{
    TListBox List;
    List.SetBounds(0, 0, 104, 64);
    List.SetStyle(TListBox::lbOwnerDrawFixed);
    List.SetItemHeight(20);
    for (int I = 0; I < 6; ++I) {
        List.Items().Add(QString::number(I));
    }
    int Clicks = 0;
    int DoubleClicks = 0;
    QList<quint16> Keys;
    List.OnClick = [&](QObject*) { ++Clicks; };
    List.OnDblClick = [&](QObject*) { ++DoubleClicks; };
    List.OnKeyDown = [&](QObject*, quint16& Key, TControl::TShiftState) {
        Keys.append(Key);
        if (Key == VK_RETURN) {
            Key = 0;
        }
    };
    List.show();
    QVERIFY(QTest::qWaitForWindowExposed(&List));
    QWidget* Area = List.InnerWidget();

    QTest::mouseClick(Area, Qt::LeftButton, {}, QPoint(10, 25));
    QCOMPARE(List.ItemIndex(), 1);
    QCOMPARE(Clicks, 1);
    QTest::mouseClick(Area, Qt::RightButton, {}, QPoint(10, 45));
    QCOMPARE(List.ItemIndex(), 1); // only the left button selects
    QTest::mouseDClick(Area, Qt::LeftButton, {}, QPoint(10, 25));
    QCOMPARE(DoubleClicks, 1);

    QTest::keyClick(Area, Qt::Key_Down);
    QCOMPARE(List.ItemIndex(), 2);
    QCOMPARE(Clicks, 2);
    QTest::keyClick(Area, Qt::Key_End);
    QCOMPARE(List.ItemIndex(), 5);
    QCOMPARE(List.TopIndex(), 3); // three items of 20 fit into 60
    QTest::keyClick(Area, Qt::Key_PageUp);
    QCOMPARE(List.ItemIndex(), 3); // first the top of the page
    QTest::keyClick(Area, Qt::Key_Home);
    QCOMPARE(List.ItemIndex(), 0);
    QCOMPARE(List.TopIndex(), 0);
    const int Before = Clicks;
    QTest::keyClick(Area, Qt::Key_Return);
    QCOMPARE(Clicks, Before);
    QVERIFY(Keys.contains(VK_DOWN) && Keys.contains(VK_RETURN));

    // Clicks below the last item select nothing; setting the index in code fires nothing.
    for (int I = 5; I >= 2; --I) {
        List.Items().Delete(I);
    }
    QTest::mouseClick(Area, Qt::LeftButton, {}, QPoint(10, 55)); // nothing there
    QCOMPARE(List.ItemIndex(), 0);
    List.SetItemIndex(1);
    QCOMPARE(Clicks, Before);
    List.Items().Insert(0, QStringLiteral("new"));
    QCOMPARE(List.ItemIndex(), 2); // the selected item stays selected
    List.Items().Delete(2);
    QCOMPARE(List.ItemIndex(), -1);
}

void TestListBox::checkBoxesToggle()
{
    TCheckListBox List;
    List.SetBounds(0, 0, 104, 104);
    List.SetStyle(TListBox::lbOwnerDrawFixed);
    List.SetItemHeight(32);
    QList<QRect> Drawn;
    List.OnDrawItem = [&](TControl*, int, const QRect& Rect, TOwnerDrawState) { Drawn.append(Rect); };
    List.Items().Add(QStringLiteral("Background music"));
    List.Items().Add(QStringLiteral("Animated cursors"));
    List.SetChecked(0, true);
    int Checks = 0;
    List.OnClickCheck = [&](QObject*) { ++Checks; };
    List.show();
    QVERIFY(QTest::qWaitForWindowExposed(&List));
    QWidget* Area = List.InnerWidget();

    Drawn.clear();
    Shot(List);
    QCOMPARE(Drawn.value(1), QRect(TCheckListBox::CheckWidth, 32, 100 - TCheckListBox::CheckWidth, 32));

    QTest::mouseClick(Area, Qt::LeftButton, {}, QPoint(5, 40)); // the box of item 1
    QVERIFY(List.Checked(1));
    QCOMPARE(List.ItemIndex(), 1);
    QCOMPARE(Checks, 1);
    QTest::mouseClick(Area, Qt::LeftButton, {}, QPoint(50, 10)); // the text of item 0
    QCOMPARE(List.ItemIndex(), 0);
    QVERIFY(List.Checked(0));
    QCOMPARE(Checks, 1);
    QTest::keyClick(Area, Qt::Key_Space);
    QVERIFY(!List.Checked(0));
    QCOMPARE(Checks, 2);
    List.SetChecked(0, true);
    QCOMPARE(Checks, 2);
    QVERIFY(!List.Checked(5));

    // The check marks follow their items.
    List.SetChecked(0, false);
    List.Items().Insert(0, QStringLiteral("first"));
    QVERIFY(!List.Checked(0) && !List.Checked(1) && List.Checked(2));
    List.Items().Delete(0);
    QVERIFY(List.Checked(1));
}

void TestListBox::folderListShowsChainAndChildren()
{
    QTemporaryDir Root;
    QVERIFY(Root.isValid());
    const QDir Base(Root.path());
    for (const char* Name : {"beta", "Alpha", "gamma", "Alpha/inner", ".hidden"}) {
        QVERIFY(Base.mkpath(QString::fromLatin1(Name)));
    }
    QFile File(Base.filePath(QStringLiteral("file.txt")));
    QVERIFY(File.open(QIODevice::WriteOnly));
    File.close();

    TDirectoryListBox List;
    List.SetBounds(0, 0, 200, 200);
    QStringList Changes;
    List.OnChange = [&](QObject*) { Changes.append(List.Directory()); };
    const QString Start = QDir::cleanPath(Base.absolutePath());
    QVERIFY(List.SetDirectory(Start));
    QCOMPARE(Changes, QStringList({Start}));
    const int N = List.Items().Count();
    QVERIFY(N >= 4);
    QCOMPARE(List.Items().ToStringList().mid(N - 3),
             QStringList({QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("gamma")}));
    const int Current = N - 4;
    QCOMPARE(List.ItemIndex(), Current);
    QCOMPARE(List.GetItemPath(Current), Start);
    QCOMPARE(List.GetItemPath(0), QDir::rootPath());
    QCOMPARE(List.ItemLevel(N - 1), List.ItemLevel(Current) + 1);

    // A double click opens the folder under the mouse.
    List.show();
    QVERIFY(QTest::qWaitForWindowExposed(&List));
    List.SetTopIndex(N - 3);
    const QPoint OnAlpha(20, List.ItemRect(N - 3).center().y());
    QTest::mouseClick(List.InnerWidget(), Qt::LeftButton, {}, OnAlpha);
    QTest::mouseDClick(List.InnerWidget(), Qt::LeftButton, {}, OnAlpha);
    QCOMPARE(List.Directory(), Start + QStringLiteral("/Alpha"));
    QCOMPARE(List.Items().Strings(List.Items().Count() - 1), QStringLiteral("inner"));
    // Enter opens the selected folder: here the parent.
    List.SetItemIndex(List.ItemIndex() - 1);
    QTest::keyClick(List.InnerWidget(), Qt::Key_Return);
    QCOMPARE(List.Directory(), Start);
    QCOMPARE(Changes.size(), 3);

    QVERIFY(!List.SetDirectory(Base.filePath(QStringLiteral("missing"))));
    QVERIFY(!List.SetDirectory(Base.filePath(QStringLiteral("file.txt"))));
    QCOMPARE(List.Directory(), Start);
}

QTEST_MAIN(TestListBox)
#include "tst_listbox.moc"
