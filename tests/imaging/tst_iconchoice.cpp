// Which image of an icon is shown, and how RenderIconAtSize renders it.

#include "IconFile.h"
#include "ImageCompare.h"

#include "TestBytes.h"

#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

// "16x16:0 32x32:16": directory entries as width x height : colour-count byte (256 stands for a
// stored 0 width).
QList<TIconEntry> Entries(const QString& Desc)
{
    QList<TIconEntry> List;
    for (const QString& Item : Desc.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList Parts = Item.split(u':');
        const QStringList Size = Parts[0].split(u'x');
        TIconEntry E;
        E.Width = Size[0].toInt();
        E.Height = Size[1].toInt();
        E.ColourCount = Parts[1].toInt();
        List.append(E);
    }
    return List;
}

struct TImageDesc
{
    int DirWidth, DirHeight, Colours; // as the directory says
    int Width, Height;                // as the image is stored
    QRgb Colour;
};

// An icon file of 24-bit images of one colour each (the top-left pixel white, so that stretching
// can be seen), with empty masks.
QByteArray IconFile(const QList<TImageDesc>& Images)
{
    QByteArray Dir = LE16(0) + LE16(1) + LE16(quint16(Images.size()));
    QByteArray Body;
    quint32 Offset = quint32(6 + 16 * Images.size());
    for (const TImageDesc& S : Images) {
        const int Stride = ((S.Width * 24 + 31) / 32) * 4, MaskStride = ((S.Width + 31) / 32) * 4;
        QByteArray Dib = LE32(40) + LE32(quint32(S.Width)) + LE32(quint32(S.Height * 2)) + LE16(1) +
                         LE16(24) + LE32(0) + LE32(0) + LE32(0) + LE32(0) + LE32(0) + LE32(0);
        for (int Y = S.Height - 1; Y >= 0; --Y) {
            QByteArray Row;
            for (int X = 0; X < S.Width; ++X) {
                const QRgb C = X == 0 && Y == 0 ? qRgb(255, 255, 255) : S.Colour;
                Row += char(qBlue(C));
                Row += char(qGreen(C));
                Row += char(qRed(C));
            }
            Dib += Row.leftJustified(Stride, '\0');
        }
        Dib += QByteArray(MaskStride * S.Height, '\0');
        Dir += char(S.DirWidth % 256);
        Dir += char(S.DirHeight % 256);
        Dir += char(S.Colours);
        Dir += '\0';
        Dir += LE16(1) + LE16(24) + LE32(quint32(Dib.size())) + LE32(Offset);
        Offset += quint32(Dib.size());
        Body += Dib;
    }
    return Dir + Body;
}

} // namespace

class TestIconChoice : public QObject
{
    Q_OBJECT

private slots:
    void choose_data();
    void choose();
    void render_data();
    void render();
    void renderStretchesToTheEntrySize();
    void renderPngImage();
    void renderErrors_data();
    void renderErrors();
    void cursorDirectory();
};

void TestIconChoice::choose_data()
{
    QTest::addColumn<QString>("Desc");
    QTest::addColumn<QSize>("Wanted");
    QTest::addColumn<int>("DisplayBits");
    QTest::addColumn<int>("Expected");
    QTest::newRow("16 and 32, wanted 16") << u"16x16:0 32x32:0"_s << QSize(16, 16) << 32 << 0;
    QTest::newRow("32 and 16, wanted 16") << u"32x32:0 16x16:0"_s << QSize(16, 16) << 32 << 1;
    QTest::newRow("24 and 32, wanted 16") << u"24x24:0 32x32:0"_s << QSize(16, 16) << 32 << 0;
    QTest::newRow("32 and 24, wanted 16") << u"32x32:0 24x24:0"_s << QSize(16, 16) << 32 << 1;
    QTest::newRow("equally far: smaller after larger") << u"24x24:0 16x16:0"_s << QSize(20, 20) << 32 << 1;
    QTest::newRow("equally far: larger after smaller") << u"16x16:0 24x24:0"_s << QSize(20, 20) << 32 << 0;
    QTest::newRow("a tie goes to the later") << u"16x16:0 16x16:0"_s << QSize(16, 16) << 32 << 1;
    QTest::newRow("height counts too") << u"32x16:0 32x32:0"_s << QSize(32, 32) << 32 << 1;
    QTest::newRow("fewer colours than the best") << u"16x16:0 16x16:16"_s << QSize(16, 16) << 32 << 0;
    QTest::newRow("more colours, same size") << u"16x16:16 16x16:0"_s << QSize(16, 16) << 32 << 1;
    QTest::newRow("8-bit display never takes count 0 over entry 0")
        << u"32x32:16 16x16:0"_s << QSize(16, 16) << 8 << 0;
    QTest::newRow("8-bit display takes 16 colours") << u"32x32:2 16x16:16"_s << QSize(16, 16) << 8 << 1;
    QTest::newRow("4-bit display: 16 colours, not 256")
        << u"16x16:2 16x16:16 16x16:0"_s << QSize(16, 16) << 4 << 1;
    QTest::newRow("entry 0 stays even above the display") << u"16x16:0"_s << QSize(16, 16) << 1 << 0;
    QTest::newRow("256 stored as 0") << u"48x48:0 256x256:0"_s << QSize(256, 256) << 32 << 1;
}

void TestIconChoice::choose()
{
    QFETCH(QString, Desc);
    QFETCH(QSize, Wanted);
    QFETCH(int, DisplayBits);
    QFETCH(int, Expected);
    QCOMPARE(ChooseIconEntry(Entries(Desc), Wanted, DisplayBits), Expected);
}

void TestIconChoice::render_data()
{
    QTest::addColumn<QSize>("Wanted");
    QTest::addColumn<QSize>("Expected");
    QTest::newRow("16") << QSize(16, 16) << QSize(16, 16);
    QTest::newRow("32") << QSize(32, 32) << QSize(32, 32);
    QTest::newRow("40") << QSize(40, 40) << QSize(32, 32);
    QTest::newRow("64") << QSize(64, 64) << QSize(48, 48);
}

void TestIconChoice::render()
{
    QFETCH(QSize, Wanted);
    QFETCH(QSize, Expected);
    QString Error;
    const QImage Img =
        RenderIconAtSize(ReadFixture(ImagingData(u"ico-three-sizes.ico"_s)), Wanted, 32, &Error);
    QVERIFY2(!Img.isNull(), qPrintable(Error));
    QCOMPARE(Img.size(), Expected);
    QCOMPARE(Img.format(), QImage::Format_ARGB32);
    QCOMPARE(qBlue(Img.pixel(3, 3)), (Expected.width() * 4) % 256);
}

void TestIconChoice::renderStretchesToTheEntrySize()
{
    // The directory says 32 x 32, the image holds 16 x 16: it is stretched to the entry's size.
    const QByteArray Icon = IconFile({{32, 32, 0, 16, 16, qRgb(0, 0, 255)}});
    QString Error;
    const QImage Img = RenderIconAtSize(Icon, QSize(16, 16), 32, &Error);
    QVERIFY2(!Img.isNull(), qPrintable(Error));
    QCOMPARE(Img.size(), QSize(32, 32));
    QCOMPARE(Img.pixel(1, 1), qRgb(255, 255, 255)); // the white top-left pixel, doubled
    QCOMPARE(Img.pixel(2, 2), qRgb(0, 0, 255));
}

void TestIconChoice::renderPngImage()
{
    QString Error;
    const QImage Img =
        RenderIconAtSize(ReadFixture(ImagingData(u"golden/ico-png.ico"_s)), QSize(16, 16), 32, &Error);
    QVERIFY2(!Img.isNull(), qPrintable(Error));
    QString Why;
    QVERIFY2(SameImage(Img, QImage(ImagingData(u"golden/ico-png.ico.png"_s)), 0, &Why), qPrintable(Why));
}

void TestIconChoice::renderErrors_data()
{
    QTest::addColumn<QByteArray>("Icon");
    QTest::addColumn<QString>("Expected");
    QTest::newRow("empty") << QByteArray() << u"Cannot render icon: icon file is too short"_s;
    QByteArray Outside = IconFile({{16, 16, 0, 16, 16, qRgb(1, 2, 3)}});
    qToLittleEndian<quint32>(5000, Outside.data() + 18);
    QTest::newRow("image outside the file") << Outside << u"Cannot render icon: damaged icon directory"_s;
    QByteArray BadHeader = IconFile({{16, 16, 0, 16, 16, qRgb(1, 2, 3)}});
    qToLittleEndian<quint32>(7, BadHeader.data() + 22);
    QTest::newRow("bad image header") << BadHeader << u"Cannot render icon: unknown bitmap header size 7"_s;
}

void TestIconChoice::renderErrors()
{
    QFETCH(QByteArray, Icon);
    QFETCH(QString, Expected);
    QString Error;
    QVERIFY(RenderIconAtSize(Icon, QSize(16, 16), 32, &Error).isNull());
    QCOMPARE(Error, Expected);
}

void TestIconChoice::cursorDirectory()
{
    // A cursor file has the same directory; planes and bit count hold the hot spot.
    TIconDirectory Dir;
    QString Error;
    QVERIFY2(ReadIconDirectory(ReadFixture(ImagingData(u"cursors/frame1.cur"_s)), Dir, Error),
             qPrintable(Error));
    QCOMPARE(Dir.Type, iftCursor);
    QCOMPARE(Dir.Entries.size(), 1);
    QCOMPARE(Dir.Entries[0].HotSpot(), QPoint(6, 8));
    QVERIFY(ReadIconDirectory(ReadFixture(ImagingData(u"golden/ico-4bit.ico"_s)), Dir, Error));
    QCOMPARE(Dir.Type, iftIcon);
    QCOMPARE(Dir.Entries[0].ColourCount, 16);
    QCOMPARE(Dir.Entries[0].BitCount, 4);
}

QTEST_GUILESS_MAIN(TestIconChoice)
#include "tst_iconchoice.moc"
