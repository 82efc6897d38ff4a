// The animated cursor player: step order, display times, targets. Cursors are made of pixmaps, so
// this runs with a QGuiApplication on the offscreen platform.

#include "AnimatedCursor.h"
#include "ImageCompare.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Stands for a widget: anything with a "cursor" property.
class TTarget : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QCursor cursor READ cursor WRITE setCursor)

public:
    QCursor cursor() const { return Current; }
    void setCursor(const QCursor& C)
    {
        Current = C;
        ++Changes;
    }
    QCursor Current;
    int Changes = 0;
};

TCursorFrames Load(const QString& Name)
{
    TCursorFrames F;
    LoadCursorFrames(ImagingData(Name), F, nullptr);
    return F;
}

QPoint HotSpotOf(const QCursor& C)
{
    return C.hotSpot();
}

} // namespace

class TestAnimatedCursor : public QObject
{
    Q_OBJECT

private slots:
    void steps();
    void intervals_data();
    void intervals();
    void targets();
    void timer();
    void stillCursorDoesNotRun();
};

void TestAnimatedCursor::steps()
{
    // sequence.ani shows frames 0, 1, 2, 1, 0; the frames' hot spots tell them apart.
    TAnimatedCursor A(Load(u"cursors/sequence.ani"_s));
    QCOMPARE(A.StepCount(), 5);
    QSignalSpy Spy(&A, &TAnimatedCursor::CursorChanged);
    const QList<QPoint> Expected{{6, 8}, {7, 9}, {6, 8}, {5, 7}, {5, 7}};
    QCOMPARE(HotSpotOf(A.Cursor()), QPoint(5, 7));
    for (const QPoint& P : Expected) {
        A.Advance();
        QCOMPARE(HotSpotOf(A.Cursor()), P);
    }
    QCOMPARE(A.CurrentStep(), 0); // round again
    QCOMPARE(Spy.count(), 5);
    QCOMPARE(HotSpotOf(Spy.last().at(0).value<QCursor>()), QPoint(5, 7));
    QVERIFY(!A.Cursor().pixmap().isNull());
}

void TestAnimatedCursor::intervals_data()
{
    QTest::addColumn<quint32>("Jiffies");
    QTest::addColumn<int>("Ms");
    QTest::newRow("ten jiffies") << 10u << 167;
    QTest::newRow("one second") << 60u << 1000;
    QTest::newRow("zero is held at one jiffy") << 0u << 16;
    QTest::newRow("huge is held at an hour") << 0xFFFFFFFFu << 3600000;
}

void TestAnimatedCursor::intervals()
{
    QFETCH(quint32, Jiffies);
    QFETCH(int, Ms);
    QCOMPARE(TAnimatedCursor::JiffiesToMs(Jiffies), Ms);
}

void TestAnimatedCursor::targets()
{
    TAnimatedCursor A(Load(u"cursors/plain.ani"_s));
    QCOMPARE(A.StepInterval(0), 133); // 8 jiffies
    TTarget One;
    auto* Two = new TTarget;
    A.AddTarget(&One);
    A.AddTarget(Two);
    A.AddTarget(&One); // once only
    QCOMPARE(A.Targets().size(), 2);
    QCOMPARE(HotSpotOf(One.Current), QPoint(5, 7)); // the current cursor at once
    A.Advance();
    QCOMPARE(HotSpotOf(One.Current), QPoint(6, 8));
    QCOMPARE(HotSpotOf(Two->Current), QPoint(6, 8));
    delete Two; // a destroyed target drops out
    A.Advance();
    QCOMPARE(A.Targets(), QList<QObject*>{&One});
    A.RemoveTarget(&One);
    const int Before = One.Changes;
    A.Advance();
    QCOMPARE(One.Changes, Before);
}

void TestAnimatedCursor::timer()
{
    TAnimatedCursor A(Load(u"cursors/sequence.ani"_s)); // 10, 20, 30, ... jiffies
    QSignalSpy Spy(&A, &TAnimatedCursor::CursorChanged);
    A.Start();
    QVERIFY(A.IsRunning());
    QTRY_VERIFY_WITH_TIMEOUT(Spy.count() >= 2, 5000);
    QVERIFY(A.IsRunning());
    A.Stop();
    QVERIFY(!A.IsRunning());
    const int Seen = int(Spy.count());
    QTest::qWait(400);
    QCOMPARE(Spy.count(), Seen);
}

void TestAnimatedCursor::stillCursorDoesNotRun()
{
    TAnimatedCursor A(Load(u"golden/cur-hotspot.cur"_s));
    QCOMPARE(A.StepCount(), 1);
    A.Start();
    QVERIFY(!A.IsRunning());
    QCOMPARE(HotSpotOf(A.Cursor()), QPoint(5, 7));
    // Nothing read: the standard arrow.
    TAnimatedCursor Empty{TCursorFrames()};
    QCOMPARE(Empty.Cursor().shape(), Qt::ArrowCursor);
}

QTEST_MAIN(TestAnimatedCursor)
#include "tst_animatedcursor.moc"
