// Cursor files: animated cursors (frames, sequence, display times), still cursors and icons used as
// cursors, and the ways such files are damaged.

#include "CursorFile.h"
#include "ImageCompare.h"
#include "ImageLimits.h"

#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

using TInts = QList<int>;
using TJiffies = QList<quint32>;

QImage FrameOf(const QString& CurFile)
{
    TCursorFrames F;
    QString Error;
    if (!LoadCursorFrames(ImagingData(CurFile), F, &Error) || F.Frames.size() != 1)
        return {};
    return F.Frames[0].Image;
}

QByteArray Chunk(const QByteArray& Id, const QByteArray& Data)
{
    QByteArray Size(4, '\0');
    qToLittleEndian<quint32>(quint32(Data.size()), Size.data());
    return Id + Size + Data + (Data.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

QByteArray Numbers(const QList<quint32>& Values)
{
    QByteArray Out(4 * Values.size(), '\0');
    for (qsizetype I = 0; I < Values.size(); ++I)
        qToLittleEndian(Values[I], Out.data() + 4 * I);
    return Out;
}

// An animated cursor of Frames copies of frame0.cur with the given header fields and chunks.
QByteArray Ani(int Frames, quint32 Steps, quint32 Rate, const QByteArray& Extra = {}, quint32 Flags = 1)
{
    const QByteArray Icon = ReadFixture(ImagingData(u"cursors/frame0.cur"_s));
    QByteArray Fram = "fram";
    for (int I = 0; I < Frames; ++I)
        Fram += Chunk("icon", Icon);
    const QByteArray Body = "ACON" +
                            Chunk("anih", Numbers({36, quint32(Frames), Steps, 0, 0, 0, 0, Rate, Flags})) +
                            Extra + Chunk("LIST", Fram);
    QByteArray Size(4, '\0');
    qToLittleEndian<quint32>(quint32(Body.size()), Size.data());
    return "RIFF" + Size + Body;
}

} // namespace

class TestCursors : public QObject
{
    Q_OBJECT

private slots:
    void animated_data();
    void animated();
    void stillCursor();
    void iconAsCursor();
    void broken_data();
    void broken();
    void frameLimit();
    void loadErrors();
};

void TestCursors::animated_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<TInts>("Sequence");
    QTest::addColumn<TJiffies>("Jiffies");
    QTest::newRow("sequence and rates")
        << u"cursors/sequence.ani"_s << TInts{0, 1, 2, 1, 0} << TJiffies{10, 20, 30, 40, 50};
    QTest::newRow("frames in order at the header's rate")
        << u"cursors/plain.ani"_s << TInts{0, 1, 2} << TJiffies{8, 8, 8};
}

void TestCursors::animated()
{
    QFETCH(QString, File);
    QFETCH(TInts, Sequence);
    QFETCH(TJiffies, Jiffies);
    TCursorFrames F;
    QString Error;
    QVERIFY2(LoadCursorFrames(ImagingData(File), F, &Error), qPrintable(Error));
    QVERIFY(F.IsAnimated());
    QCOMPARE(F.Sequence, Sequence);
    QCOMPARE(F.Jiffies, Jiffies);
    QCOMPARE(F.Frames.size(), 3);
    // Each frame is the cursor file it was made of, with that file's hot spot.
    const QList<QPoint> HotSpots{{5, 7}, {6, 8}, {7, 9}};
    for (int I = 0; I < 3; ++I) {
        QString Why;
        QVERIFY2(SameImage(F.Frames[I].Image, FrameOf(u"cursors/frame%1.cur"_s.arg(I)), 0, &Why),
                 qPrintable(Why));
        QCOMPARE(F.Frames[I].HotSpot, HotSpots[I]);
    }
}

void TestCursors::stillCursor()
{
    TCursorFrames F;
    QString Error;
    QVERIFY2(LoadCursorFrames(ImagingData(u"golden/cur-hotspot.cur"_s), F, &Error), qPrintable(Error));
    QVERIFY(!F.IsAnimated());
    QCOMPARE(F.Frames.size(), 1);
    QCOMPARE(F.Frames[0].HotSpot, QPoint(5, 7));
    QCOMPARE(F.Frames[0].Image.size(), QSize(32, 32));
    QCOMPARE(F.Sequence, TInts{0});
    QCOMPARE(F.Jiffies, TJiffies{0});
}

void TestCursors::iconAsCursor()
{
    // An icon has no hot spot; as a cursor it points with its middle. Of several images the one for
    // the standard cursor size (32) is taken.
    TCursorFrames F;
    QString Error;
    QVERIFY2(LoadCursorFrames(ImagingData(u"ico-three-sizes.ico"_s), F, &Error), qPrintable(Error));
    QCOMPARE(F.Frames[0].Image.size(), QSize(32, 32));
    QCOMPARE(F.Frames[0].HotSpot, QPoint(16, 16));
}

void TestCursors::broken_data()
{
    QTest::addColumn<QByteArray>("Data");
    QTest::addColumn<QString>("Reason");
    QTest::newRow("step names a missing frame")
        << ReadFixture(ImagingData(u"cursors/bad-sequence.ani"_s)) << u"a step shows frame 7 of 3"_s;
    QTest::newRow("raw bitmap frames") << ReadFixture(ImagingData(u"cursors/raw-frames.ani"_s))
                                       << u"frames are raw bitmaps, not icon images"_s;
    const QByteArray Good = ReadFixture(ImagingData(u"cursors/plain.ani"_s));
    QTest::newRow("cut inside a frame")
        << Good.left(Good.size() - 100) << u"chunk \"LIST\" runs past the end of the data"_s;
    QTest::newRow("no header") << QByteArray("RIFF\4\0\0\0ACON", 12)
                               << u"animated cursor without anih header"_s;
    QTest::newRow("short header") << QByteArray("RIFF\20\0\0\0ACONanih\4\0\0\0\4\0\0\0", 24)
                                  << u"anih header is too short"_s;
    QTest::newRow("no frames") << Ani(0, 1, 5) << u"animated cursor without frames"_s;
    QTest::newRow("more steps than frames without seq")
        << Ani(2, 5, 5) << u"5 steps but 2 frames and no seq"_s;
    QTest::newRow("seq shorter than the steps")
        << Ani(2, 3, 5, Chunk("seq ", Numbers({0, 1}))) << u"seq holds fewer than 3 steps"_s;
    QTest::newRow("steps above the limit")
        << Ani(1, 100000, 5, Chunk("seq ", Numbers({0}))) << u"100000 steps are above the limit of 4096"_s;
    QTest::newRow("frame is no icon") << [] {
        QByteArray D = Ani(1, 1, 5);
        D.replace(ReadFixture(ImagingData(u"cursors/frame0.cur"_s)).left(6), QByteArray("\0\0\7\0\1\0", 6));
        return D;
    }() << u"not an icon or cursor file (type 7)"_s;
    QTest::newRow("cursor cut short")
        << ReadFixture(ImagingData(u"cursors/frame0.cur"_s)).left(100) << u"damaged icon directory"_s;
    QTest::newRow("empty") << QByteArray() << u"icon file is too short"_s;
}

void TestCursors::broken()
{
    QFETCH(QByteArray, Data);
    QFETCH(QString, Reason);
    TCursorFrames F;
    QString Error;
    QVERIFY(!ReadCursorFrames(Data, F, Error));
    QCOMPARE(Error, Reason);
    QVERIFY(F.Frames.isEmpty());
    QVERIFY(F.Sequence.isEmpty());
}

void TestCursors::frameLimit()
{
    TImageLimits L;
    L.MaxCursorFrames = 2;
    SetImageLimits(L);
    TCursorFrames F;
    QString Error;
    const bool Ok = ReadCursorFrames(Ani(3, 3, 5), F, Error);
    SetImageLimits(TImageLimits());
    QVERIFY(!Ok);
    QCOMPARE(Error, u"more than 2 frames"_s);
    // A missing rate chunk and a step count of 0: one step per frame at the header's rate.
    QVERIFY(ReadCursorFrames(Ani(3, 0, 7), F, Error));
    QCOMPARE(F.Sequence, (TInts{0, 1, 2}));
    QCOMPARE(F.Jiffies, (TJiffies{7, 7, 7}));
    // A rate chunk too short for the steps is not used.
    QVERIFY(ReadCursorFrames(Ani(3, 3, 7, Chunk("rate", Numbers({1, 2}))), F, Error));
    QCOMPARE(F.Jiffies, (TJiffies{7, 7, 7}));
}

void TestCursors::loadErrors()
{
    TCursorFrames F;
    QString Error;
    const QString Missing = ImagingData(u"cursors/missing.ani"_s);
    QVERIFY(!LoadCursorFrames(Missing, F, &Error));
    QCOMPARE(Error, u"Cannot read cursor \"%1\": file not found"_s.arg(Missing));
    const QString Bad = ImagingData(u"cursors/bad-sequence.ani"_s);
    QVERIFY(!LoadCursorFrames(Bad, F, nullptr));
    QVERIFY(!LoadCursorFrames(Bad, F, &Error));
    QCOMPARE(Error, u"Cannot read cursor \"%1\": a step shows frame 7 of 3"_s.arg(Bad));
}

QTEST_GUILESS_MAIN(TestCursors)
#include "tst_cursors.moc"
