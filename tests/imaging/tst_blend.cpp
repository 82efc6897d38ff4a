// Composition of skin buttons over the background: the opacity table, the per-pixel blend with its
// byte arithmetic, the transparent colour, clipping, and BlendWithBackground.

#include "Blend.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

QImage Filled(int W, int H, QRgb Colour, QImage::Format Format = QImage::Format_RGB32)
{
    QImage Img(W, H, Format);
    Img.fill(Colour);
    return Img;
}

} // namespace

class TestBlend : public QObject
{
    Q_OBJECT

private slots:
    void opacityTable_data();
    void opacityTable();
    void blendPixel_data();
    void blendPixel();
    void fourthByte();
    void transparentColour();
    void clipping_data();
    void clipping();
    void otherFormats();
    void withBackground();
    void withBackgroundPartlyOutside();
};

void TestBlend::opacityTable_data()
{
    QTest::addColumn<double>("Opacity");
    QTest::addColumn<int>("Index");
    QTest::addColumn<int>("Expected");
    QTest::newRow("1.0 is the identity") << 1.0 << 200 << 200;
    QTest::newRow("0.0 is all zero") << 0.0 << 255 << 0;
    QTest::newRow("0.55 of 255 truncates") << 0.55 << 255 << 140;
    QTest::newRow("0.55 of 100") << 0.55 << 100 << 55;
    QTest::newRow("0.55 of 1") << 0.55 << 1 << 0;
    QTest::newRow("2.0 keeps the low eight bits") << 2.0 << 200 << 144;
    QTest::newRow("negative, two's complement") << -0.5 << 3 << 255;
    QTest::newRow("negative, exact") << -1.0 << 1 << 255;
    QTest::newRow("not a number gives zero") << std::numeric_limits<double>::quiet_NaN() << 10 << 0;
    QTest::newRow("infinite gives zero") << std::numeric_limits<double>::infinity() << 10 << 0;
    QTest::newRow("huge keeps the low eight bits") << 1e20 << 1 << 0;
}

void TestBlend::opacityTable()
{
    QFETCH(double, Opacity);
    QFETCH(int, Index);
    QFETCH(int, Expected);
    QCOMPARE(int(MakeOpacityTable(Opacity)[size_t(Index)]), Expected);
}

void TestBlend::blendPixel_data()
{
    QTest::addColumn<double>("Opacity");
    QTest::addColumn<int>("Source");
    QTest::addColumn<int>("Dest");
    QTest::addColumn<int>("Expected");
    // s >= d: d + T[s - d]; s < d: d + T[256 - (d - s)] - T[255].
    QTest::newRow("opaque, lighter source") << 1.0 << 200 << 100 << 200;
    QTest::newRow("opaque, darker source is one more") << 1.0 << 100 << 200 << 101;
    QTest::newRow("opaque, equal") << 1.0 << 90 << 90 << 90;
    QTest::newRow("invisible") << 0.0 << 10 << 250 << 250;
    QTest::newRow("0.55, lighter") << 0.55 << 200 << 100 << 155;
    // 200 + T[156] - T[255] = 200 + 85 - 140.
    QTest::newRow("0.55, darker") << 0.55 << 100 << 200 << 145;
    // Byte arithmetic wraps: 10 + T[256 - 245] - T[255] with opacity 2.0 = 10 + 22 - 254 = -222.
    QTest::newRow("2.0 wraps around") << 2.0 << 5 << 250 << 18;
}

void TestBlend::blendPixel()
{
    QFETCH(double, Opacity);
    QFETCH(int, Source);
    QFETCH(int, Dest);
    QFETCH(int, Expected);
    QImage D = Filled(1, 1, qRgb(Dest, Dest, Dest));
    // The key is a colour the source does not have.
    BlendBitmap(D, Filled(1, 1, qRgb(Source, Source, Source)), MakeOpacityTable(Opacity), qRgb(1, 2, 3), 0,
                0);
    QCOMPARE(D.pixel(0, 0), qRgb(Expected, Expected, Expected));
}

void TestBlend::fourthByte()
{
    // A destination with an alpha channel has its fourth byte blended with s = 0:
    // 255 + T[1] - T[255] = 255 + 0 - 140 at opacity 0.55.
    QImage D = Filled(1, 1, qRgba(100, 100, 100, 255), QImage::Format_ARGB32);
    BlendBitmap(D, Filled(1, 1, qRgb(200, 200, 200)), MakeOpacityTable(0.55), qRgb(1, 2, 3), 0, 0);
    QCOMPARE(D.format(), QImage::Format_ARGB32);
    QCOMPARE(D.pixel(0, 0), qRgba(155, 155, 155, 115));
    // An RGB32 destination keeps its fixed fourth byte.
    QImage E = Filled(1, 1, qRgb(100, 100, 100));
    BlendBitmap(E, Filled(1, 1, qRgb(200, 200, 200)), MakeOpacityTable(0.55), qRgb(1, 2, 3), 0, 0);
    QCOMPARE(E.pixel(0, 0), qRgb(155, 155, 155));
}

void TestBlend::transparentColour()
{
    // Source pixels of the key colour leave the background, whatever that colour is; the key's own
    // fourth byte does not matter.
    QImage Src(2, 1, QImage::Format_RGB32);
    Src.setPixel(0, 0, qRgb(255, 0, 255));
    Src.setPixel(1, 0, qRgb(0, 0, 0));
    QImage D = Filled(2, 1, qRgb(50, 60, 70));
    BlendBitmap(D, Src, MakeOpacityTable(1.0), qRgba(255, 0, 255, 7), 0, 0);
    QCOMPARE(D.pixel(0, 0), qRgb(50, 60, 70));
    QCOMPARE(D.pixel(1, 0), qRgb(1, 1, 1)); // darker than the background: s + 1
    // The platform's rule: the bottom-left pixel.
    QImage Key(2, 2, QImage::Format_RGB32);
    Key.fill(Qt::white);
    Key.setPixel(0, 1, qRgb(9, 8, 7));
    QCOMPARE(TransparentColour(Key), qRgb(9, 8, 7));
}

void TestBlend::clipping_data()
{
    QTest::addColumn<QPoint>("At");
    QTest::addColumn<QString>("Expected"); // the 4 x 3 destination afterwards, '#' where blended
    QTest::newRow("inside") << QPoint(1, 1) << u"....|.##.|.##."_s;
    QTest::newRow("negative x and y skip source columns and rows") << QPoint(-1, -1) << u"#...|....|...."_s;
    QTest::newRow("cut at the right and bottom") << QPoint(3, 2) << u"....|....|...#"_s;
    QTest::newRow("wholly right") << QPoint(4, 0) << u"....|....|...."_s;
    QTest::newRow("wholly below") << QPoint(0, 3) << u"....|....|...."_s;
    QTest::newRow("wholly left") << QPoint(-2, 0) << u"....|....|...."_s;
    QTest::newRow("wholly above") << QPoint(0, -2) << u"....|....|...."_s;
}

void TestBlend::clipping()
{
    QFETCH(QPoint, At);
    QFETCH(QString, Expected);
    QImage D = Filled(4, 3, qRgb(0, 0, 0));
    QImage Src = Filled(2, 2, qRgb(255, 255, 255));
    BlendBitmap(D, Src, MakeOpacityTable(1.0), qRgb(1, 2, 3), At.x(), At.y());
    QString Actual;
    for (int Y = 0; Y < 3; ++Y) {
        if (Y)
            Actual += u'|';
        for (int X = 0; X < 4; ++X)
            Actual += D.pixel(X, Y) == qRgb(255, 255, 255) ? u'#' : u'.';
    }
    QCOMPARE(Actual, Expected);
}

void TestBlend::otherFormats()
{
    // A 24-bit destination is worked on as RGB32; a source of another format is converted.
    QImage D = Filled(1, 1, qRgb(100, 100, 100), QImage::Format_RGB888);
    BlendBitmap(D, Filled(1, 1, qRgb(200, 0, 50), QImage::Format_RGB888), MakeOpacityTable(1.0),
                qRgb(1, 2, 3), 0, 0);
    QCOMPARE(D.format(), QImage::Format_RGB32);
    QCOMPARE(D.pixel(0, 0), qRgb(200, 1, 51));
}

void TestBlend::withBackground()
{
    // A 3 x 2 button whose bottom-left colour (magenta) is transparent, at (1, 1) of the background.
    QImage Background = Filled(5, 4, qRgb(0, 0, 200));
    QImage Button = Filled(3, 2, qRgb(200, 200, 0));
    Button.setPixel(0, 1, qRgb(255, 0, 255));
    Button.setPixel(2, 0, qRgb(255, 0, 255));
    const QImage Shown = BlendWithBackground(Background, Button, MakeOpacityTable(0.55), 1, 1);
    QCOMPARE(Shown.size(), QSize(3, 2));
    // 0.55: red and green 0 + T[200] = 110, blue 200 + T[56] - T[255] = 200 + 30 - 140 = 90.
    const QRgb Mixed = qRgb(110, 110, 90);
    QCOMPARE(Shown.pixel(0, 0), Mixed);
    QCOMPARE(Shown.pixel(2, 0), qRgb(0, 0, 200));
    QCOMPARE(Shown.pixel(0, 1), qRgb(0, 0, 200));
    // The background itself was changed where the button lies.
    QCOMPARE(Background.pixel(1, 1), Mixed);
    QCOMPARE(Background.pixel(0, 0), qRgb(0, 0, 200));
}

void TestBlend::withBackgroundPartlyOutside()
{
    // Only the part over the background is composed; the rest keeps the picture's own pixels, its
    // transparent colour too. Without any background the picture comes back as it is.
    const QRgb Own = qRgb(200, 200, 0), Key = qRgb(255, 0, 255);
    QImage Button = Filled(3, 3, Own);
    Button.setPixel(0, 2, Key);
    QImage Background = Filled(2, 2, qRgb(0, 0, 200));
    const QImage Shown = BlendWithBackground(Background, Button, MakeOpacityTable(1.0), 1, 1);
    QCOMPARE(Shown.size(), QSize(3, 3));
    QCOMPARE(Shown.pixel(0, 0), qRgb(200, 200, 1)); // over the background: s, or s + 1 where s < d
    for (const QPoint P : {QPoint(1, 0), QPoint(2, 0), QPoint(0, 1), QPoint(2, 2)}) {
        QCOMPARE(Shown.pixel(P), Own);
    }
    QCOMPARE(Shown.pixel(0, 2), Key);

    QImage None;
    const QImage Alone = BlendWithBackground(None, Button, MakeOpacityTable(0.55), 4, 4);
    QCOMPARE(Alone.convertToFormat(QImage::Format_RGB32), Button.convertToFormat(QImage::Format_RGB32));
    QVERIFY(BlendWithBackground(Background, QImage(), MakeOpacityTable(1.0), 0, 0).isNull());
}

QTEST_GUILESS_MAIN(TestBlend)
#include "tst_blend.moc"
