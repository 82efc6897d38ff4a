#include "ScrollBar.h"

#include <QScrollBar>
#include <QtTest>

// The scroll bar: its range, and the user's actions through OnScroll before the position moves.
class TestScrollBar : public QObject
{
    Q_OBJECT

private slots:
    void rangeKeepsThePosition_data();
    void rangeKeepsThePosition();
    void userActionsGoThroughOnScroll_data();
    void userActionsGoThroughOnScroll();
    void handlerDecidesThePosition();
    void kindTurnsTheControl();
};

void TestScrollBar::rangeKeepsThePosition_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("expectedMax");
    QTest::addColumn<int>("expectedPosition");
    QTest::newRow("inside") << 0 << 10 << 4 << 10 << 4;
    QTest::newRow("above") << 0 << 10 << 40 << 10 << 10;
    QTest::newRow("below") << 5 << 10 << 0 << 10 << 5;
    QTest::newRow("max below min") << 5 << 2 << 3 << 5 << 5;
}

void TestScrollBar::rangeKeepsThePosition()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, position);
    QFETCH(int, expectedMax);
    QFETCH(int, expectedPosition);
    TScrollBar Bar;
    Bar.SetParams(position, min, max);
    QCOMPARE(Bar.Min(), min);
    QCOMPARE(Bar.Max(), expectedMax);
    QCOMPARE(Bar.Position(), expectedPosition);
    QCOMPARE(Bar.ScrollBarWidget()->value(), expectedPosition);
}

void TestScrollBar::userActionsGoThroughOnScroll_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("position");
    // Min 0, Max 100, position 50, SmallChange 2, LargeChange 15.
    QTest::newRow("line down") << int(QAbstractSlider::SliderSingleStepAdd) << 0
                               << int(TScrollBar::scLineDown) << 52;
    QTest::newRow("line up") << int(QAbstractSlider::SliderSingleStepSub) << 0 << int(TScrollBar::scLineUp)
                             << 48;
    QTest::newRow("page down") << int(QAbstractSlider::SliderPageStepAdd) << 0 << int(TScrollBar::scPageDown)
                               << 65;
    QTest::newRow("page up") << int(QAbstractSlider::SliderPageStepSub) << 0 << int(TScrollBar::scPageUp)
                             << 35;
    QTest::newRow("top") << int(QAbstractSlider::SliderToMinimum) << 0 << int(TScrollBar::scTop) << 0;
    QTest::newRow("bottom") << int(QAbstractSlider::SliderToMaximum) << 0 << int(TScrollBar::scBottom) << 100;
    QTest::newRow("bottom of a paged bar")
        << int(QAbstractSlider::SliderToMaximum) << 10 << int(TScrollBar::scBottom) << 91;
}

void TestScrollBar::userActionsGoThroughOnScroll()
{
    QFETCH(int, action);
    QFETCH(int, pageSize);
    QFETCH(int, code);
    QFETCH(int, position);
    TScrollBar Bar;
    Bar.SetKind(TScrollBar::sbVertical);
    Bar.SetParams(50, 0, 100);
    Bar.SetSmallChange(2);
    Bar.SetLargeChange(15);
    Bar.SetPageSize(pageSize);
    QList<int> Codes;
    QList<int> Offered;
    QList<int> Before;
    Bar.OnScroll = [&](QObject*, TScrollBar::TScrollCode Code, int& Pos) {
        Codes.append(Code);
        Offered.append(Pos);
        Before.append(Bar.Position());
    };
    int Changes = 0;
    Bar.OnChange = [&](QObject*) { ++Changes; };
    Bar.ScrollBarWidget()->triggerAction(QAbstractSlider::SliderAction(action));
    QCOMPARE(Codes, QList<int>({code}));
    QCOMPARE(Offered, QList<int>({position}));
    QCOMPARE(Before, QList<int>({50})); // the handler still sees the old position
    QCOMPARE(Bar.Position(), position);
    QCOMPARE(Bar.ScrollBarWidget()->value(), position);
    QCOMPARE(Changes, 1);
}

void TestScrollBar::handlerDecidesThePosition()
{
    TScrollBar Bar;
    Bar.SetParams(0, 0, 20);
    Bar.OnScroll = [](QObject*, TScrollBar::TScrollCode, int& Pos) { Pos = 3; };
    Bar.ScrollBarWidget()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(Bar.Position(), 3);
    QCOMPARE(Bar.ScrollBarWidget()->value(), 3);
    // A drag reports the thumb's position as it moves.
    QList<int> Tracked;
    Bar.OnScroll = [&](QObject*, TScrollBar::TScrollCode Code, int& Pos) {
        if (Code == TScrollBar::scTrack) {
            Tracked.append(Pos);
        }
    };
    Bar.ScrollBarWidget()->setSliderPosition(12);
    QCOMPARE(Tracked, QList<int>({12}));
    QCOMPARE(Bar.Position(), 12);
    int Changes = 0;
    Bar.OnChange = [&](QObject*) { ++Changes; };
    Bar.SetPosition(12);
    QCOMPARE(Changes, 0);
    Bar.SetPosition(13);
    QCOMPARE(Changes, 1);
}

void TestScrollBar::kindTurnsTheControl()
{
    TScrollBar Bar;
    QCOMPARE(Bar.size(), QSize(121, 17));
    Bar.SetKind(TScrollBar::sbVertical);
    QCOMPARE(Bar.size(), QSize(17, 121));
    QCOMPARE(Bar.ScrollBarWidget()->orientation(), Qt::Vertical);
    QCOMPARE(Bar.ScrollBarWidget()->geometry(), QRect(0, 0, 17, 121));
    Bar.SetTabStop(false);
    QCOMPARE(Bar.ScrollBarWidget()->focusPolicy(), Qt::ClickFocus);
}

QTEST_MAIN(TestScrollBar)
#include "tst_scrollbar.moc"
