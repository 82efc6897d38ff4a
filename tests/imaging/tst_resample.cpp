// The thumbnail strip's picture work: Hermite resampling (expected values worked out by hand from the
// filter, f(x) = (2|x| - 3)x^2 + 1), the thumbnail size rule and MakeThumbnail.

#include "Graphic.h"
#include "ImageCompare.h"
#include "Thumbnail.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using TGreys = QList<int>;

// A one-row (or, with Vertical, one-column) grey picture.
QImage Greys(const TGreys& Values, bool Vertical = false)
{
    const int N = int(Values.size());
    QImage Img(Vertical ? 1 : N, Vertical ? N : 1, QImage::Format_RGB32);
    for (int I = 0; I < N; ++I)
        Img.setPixel(Vertical ? 0 : I, Vertical ? I : 0, qRgb(Values[I], Values[I], Values[I]));
    return Img;
}

TGreys GreysOf(const QImage& Img)
{
    TGreys Out;
    for (int Y = 0; Y < Img.height(); ++Y)
        for (int X = 0; X < Img.width(); ++X)
            Out.append(qGreen(Img.pixel(X, Y)));
    return Out;
}

} // namespace

class TestResample : public QObject
{
    Q_OBJECT

private slots:
    void hermite_data();
    void hermite();
    void channelsApart();
    void transparentOverBlack();
    void tooSmall_data();
    void tooSmall();
    void thumbnailSize_data();
    void thumbnailSize();
    void makeThumbnail_data();
    void makeThumbnail();
    void thumbnailOfMissingFile();
    void thumbnailTooSmall();
    void thumbnailReducedJpeg();
    void thumbnailErrors();
    void thumbnailOfOtherFormatNamedJpeg_data();
    void thumbnailOfOtherFormatNamedJpeg();
    void thumbnailFilteredJpegDecodedReduced();
};

void TestResample::hermite_data()
{
    QTest::addColumn<TGreys>("Source");
    QTest::addColumn<int>("Size");
    QTest::addColumn<TGreys>("Expected");
    // Scale (3 - 1) / (3 - 1) = 1: only the pixel itself has weight (f(0) = 1, f(1) = 0).
    QTest::newRow("same size") << TGreys{10, 200, 30} << 3 << TGreys{10, 200, 30};
    // Enlarging 2 -> 3, scale 2: the middle pixel lies half-way, weights f(0.5) = 0.5 each.
    QTest::newRow("enlarge, half-way") << TGreys{0, 200} << 3 << TGreys{0, 100, 200};
    // 126.5 rounds to the even 126, 127.5 to 128.
    QTest::newRow("enlarge, halves to even") << TGreys{0, 253} << 3 << TGreys{0, 126, 253};
    QTest::newRow("enlarge, halves to even up") << TGreys{0, 255} << 3 << TGreys{0, 128, 255};
    // Shrinking 3 -> 2, scale 1/2: support 2, weights f(j/2)/2 = 0.5 (centre), 0.25 (neighbours);
    // the left neighbour of pixel 0 mirrors to pixel 1, the right one of pixel 2 to pixel 2.
    QTest::newRow("shrink, mirrored edges") << TGreys{0, 100, 200} << 2 << TGreys{50, 175};
    // Shrinking 4 -> 3, scale 2/3: weights are not normalised. At the ends they sum to
    // 2/3 + 2 x 14/81 = 82/81, in the middle to 2 x 40/81 = 80/81.
    QTest::newRow("shrink, weights not normalised") << TGreys{81, 81, 81, 81} << 3 << TGreys{82, 80, 82};
    QTest::newRow("shrink, sums clamped at 255") << TGreys{255, 255, 255, 255} << 3 << TGreys{255, 252, 255};
    // A one-pixel source uses destination / source = 3: a constant stays constant.
    QTest::newRow("one-pixel source") << TGreys{77} << 3 << TGreys{77, 77, 77};
    // A one-pixel destination uses destination / source = 1/3 too (the other form would divide by
    // zero): 81/81 x 0 + 40/81 x 81 + 14/81 x 162.
    QTest::newRow("one-pixel destination") << TGreys{0, 81, 162} << 1 << TGreys{68};
    QTest::newRow("one to one") << TGreys{5} << 1 << TGreys{5};
}

void TestResample::hermite()
{
    QFETCH(TGreys, Source);
    QFETCH(int, Size);
    QFETCH(TGreys, Expected);
    for (bool Vertical : {false, true}) {
        QImage Out;
        QString Error;
        const int W = Vertical ? 1 : Size, H = Vertical ? Size : 1;
        QVERIFY2(HermiteResample(Greys(Source, Vertical), W, H, Out, &Error), qPrintable(Error));
        QCOMPARE(Out.size(), QSize(W, H));
        QCOMPARE(Out.format(), QImage::Format_RGB32);
        QCOMPARE(GreysOf(Out), Expected);
    }
}

void TestResample::channelsApart()
{
    // Both passes on a 2 x 2 picture enlarged to 3 x 3: every channel on its own, the centre the
    // mean of the four corners (weights 0.5 x 0.5 each).
    QImage Src(2, 2, QImage::Format_RGB32);
    Src.setPixel(0, 0, qRgb(200, 0, 0));
    Src.setPixel(1, 0, qRgb(0, 200, 0));
    Src.setPixel(0, 1, qRgb(0, 0, 200));
    Src.setPixel(1, 1, qRgb(100, 100, 100));
    QImage Out;
    QVERIFY(HermiteResample(Src, 3, 3, Out));
    QCOMPARE(Out.pixel(0, 0), qRgb(200, 0, 0));
    QCOMPARE(Out.pixel(2, 2), qRgb(100, 100, 100));
    QCOMPARE(Out.pixel(1, 0), qRgb(100, 100, 0));
    QCOMPARE(Out.pixel(1, 1), qRgb(75, 75, 75));
}

void TestResample::transparentOverBlack()
{
    // The picture is first drawn onto a 24-bit bitmap: a transparent pixel counts as black.
    QImage Src(2, 1, QImage::Format_ARGB32);
    Src.setPixel(0, 0, qRgba(0, 0, 0, 0));
    Src.setPixel(1, 0, qRgba(200, 200, 200, 255));
    QImage Out;
    QVERIFY(HermiteResample(Src, 3, 1, Out));
    QCOMPARE(GreysOf(Out), (TGreys{0, 100, 200}));
}

void TestResample::tooSmall_data()
{
    QTest::addColumn<QImage>("Source");
    QTest::addColumn<QSize>("Size");
    QTest::newRow("no width") << Greys({1, 2}) << QSize(0, 1);
    QTest::newRow("no height") << Greys({1, 2}) << QSize(2, 0);
    QTest::newRow("negative") << Greys({1, 2}) << QSize(-3, 4);
    QTest::newRow("empty source") << QImage() << QSize(2, 2);
}

void TestResample::tooSmall()
{
    QFETCH(QImage, Source);
    QFETCH(QSize, Size);
    QImage Out;
    QString Error;
    QVERIFY(!HermiteResample(Source, Size.width(), Size.height(), Out, &Error));
    QCOMPARE(Error, u"Source graphics is too small"_s);
    QVERIFY(Out.isNull());
}

void TestResample::thumbnailSize_data()
{
    QTest::addColumn<QSize>("Picture");
    QTest::addColumn<QSize>("Box");
    QTest::addColumn<QSize>("Expected");
    QTest::newRow("fits: kept") << QSize(40, 30) << QSize(50, 50) << QSize(40, 30);
    QTest::newRow("exactly the box") << QSize(50, 50) << QSize(50, 50) << QSize(50, 50);
    QTest::newRow("wide") << QSize(200, 100) << QSize(50, 50) << QSize(50, 25);
    QTest::newRow("tall") << QSize(100, 200) << QSize(50, 50) << QSize(25, 50);
    QTest::newRow("one side too large") << QSize(60, 10) << QSize(50, 50) << QSize(50, 8);
    QTest::newRow("half rounds to even, down") << QSize(8, 5) << QSize(4, 4) << QSize(4, 2);
    QTest::newRow("half rounds to even, up") << QSize(8, 7) << QSize(4, 4) << QSize(4, 4);
    QTest::newRow("a side rounds to nothing") << QSize(1000, 1) << QSize(10, 10) << QSize(10, 0);
    QTest::newRow("box without area") << QSize(40, 30) << QSize(0, 50) << QSize(0, 0);
}

void TestResample::thumbnailSize()
{
    QFETCH(QSize, Picture);
    QFETCH(QSize, Box);
    QFETCH(QSize, Expected);
    QCOMPARE(ThumbnailSize(Picture, Box), Expected);
}

void TestResample::makeThumbnail_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<QSize>("Box");
    QTest::addColumn<bool>("GoodQuality");
    QTest::addColumn<QSize>("Expected");
    QTest::newRow("bmp that fits") << u"golden/bmp24.bmp"_s << QSize(50, 50) << false << QSize(17, 11);
    QTest::newRow("bmp stretched") << u"golden/bmp24.bmp"_s << QSize(8, 8) << false << QSize(8, 5);
    QTest::newRow("bmp resampled") << u"golden/bmp24.bmp"_s << QSize(8, 8) << true << QSize(8, 5);
    QTest::newRow("png resampled") << u"golden/png-rgba.png"_s << QSize(10, 10) << true << QSize(10, 6);
    QTest::newRow("icon stretched") << u"golden/ico-32bit.ico"_s << QSize(8, 8) << false << QSize(8, 8);
    QTest::newRow("metafile resampled")
        << u"metafiles/shapes.wmf"_s << QSize(25, 25) << true << QSize(25, 20);
    QTest::newRow("metafile stretched")
        << u"metafiles/shapes.wmf"_s << QSize(25, 25) << false << QSize(25, 20);
    QTest::newRow("jpeg reduced") << u"jpeg-large.jpg"_s << QSize(16, 16) << false << QSize(16, 12);
}

void TestResample::makeThumbnail()
{
    QFETCH(QString, File);
    QFETCH(QSize, Box);
    QFETCH(bool, GoodQuality);
    QFETCH(QSize, Expected);
    QImage Bitmap;
    QString Error;
    QVERIFY2(MakeThumbnail(ImagingData(File), Box.width(), Box.height(), GoodQuality, Bitmap, &Error),
             qPrintable(Error));
    QCOMPARE(Bitmap.size(), Expected);
    QCOMPARE(Bitmap.format(), QImage::Format_RGB32);
    if (GoodQuality) {
        // Exactly the resampling of the picture drawn onto a bitmap of its own size.
        const TGraphicLoad Load = LoadGraphic(ImagingData(File));
        QImage Expect;
        QVERIFY(HermiteResample(Load.Graphic->ToBitmap(), Expected.width(), Expected.height(), Expect));
        QCOMPARE(Bitmap, Expect);
    }
}

void TestResample::thumbnailOfMissingFile()
{
    QImage Bitmap;
    QString Error;
    QVERIFY(MakeThumbnail(ImagingData(u"no-such.jpg"_s), 50, 40, true, Bitmap, &Error));
    QCOMPARE(Bitmap.size(), QSize(50, 40));
    QCOMPARE(Bitmap.pixel(25, 20), qRgb(0, 0, 0));
}

void TestResample::thumbnailTooSmall()
{
    // A 100 x 1 picture in a 10 x 10 box: the height rounds to 0.
    QTemporaryDir Dir;
    const QString File = Dir.filePath(u"line.bmp"_s);
    QImage Line(100, 1, QImage::Format_RGB32);
    Line.fill(Qt::red);
    QVERIFY(Line.save(File, "BMP"));
    QImage Bitmap;
    QString Error;
    QVERIFY(!MakeThumbnail(File, 10, 10, true, Bitmap, &Error));
    QCOMPARE(Error, u"Source graphics is too small"_s);
    // Without filtering the platform's stretching simply draws nothing.
    QVERIFY(MakeThumbnail(File, 10, 10, false, Bitmap, &Error));
    QVERIFY(Bitmap.isNull());
}

void TestResample::thumbnailReducedJpeg()
{
    // 64 x 48 in a 16 x 12 box: both ratios are at least 4, so the JPEG is decoded at a quarter,
    // which is exactly the thumbnail's size.
    QImage Bitmap;
    QVERIFY(MakeThumbnail(ImagingData(u"jpeg-large.jpg"_s), 16, 12, false, Bitmap));
    QString Why;
    QVERIFY2(SameImage(Bitmap, QImage(ImagingData(u"jpeg-large.scale4.png"_s)), 3, &Why), qPrintable(Why));
    // In a 16 x 16 box the smaller ratio is 3: decoded at half and stretched, every second pixel.
    QVERIFY(MakeThumbnail(ImagingData(u"jpeg-large.jpg"_s), 16, 16, false, Bitmap));
    QCOMPARE(Bitmap.size(), QSize(16, 12));
    const QImage Half(ImagingData(u"jpeg-large.scale2.png"_s));
    QImage Every2nd(16, 12, QImage::Format_RGB32);
    for (int Y = 0; Y < 12; ++Y)
        for (int X = 0; X < 16; ++X)
            Every2nd.setPixel(X, Y, Half.pixel(2 * X, 2 * Y));
    QVERIFY2(SameImage(Bitmap, Every2nd, 3, &Why), qPrintable(Why));
}

void TestResample::thumbnailErrors()
{
    QTemporaryDir Dir;
    const QString File = Dir.filePath(u"broken.png"_s);
    {
        QFile F(File);
        QVERIFY(F.open(QIODevice::WriteOnly));
        F.write("not a png");
    }
    QImage Bitmap;
    QString Error;
    QVERIFY(!MakeThumbnail(File, 10, 10, false, Bitmap, &Error));
    QCOMPARE(Error, u"Cannot read picture \"%1\": no PNG signature"_s.arg(File));
}

void TestResample::thumbnailOfOtherFormatNamedJpeg_data()
{
    QTest::addColumn<bool>("GoodQuality");
    QTest::newRow("stretched") << false;
    QTest::newRow("filtered") << true;
}

void TestResample::thumbnailOfOtherFormatNamedJpeg()
{
    // A PNG under a JPEG name is read as a PNG, as the loader does everywhere else.
    QFETCH(bool, GoodQuality);
    QTemporaryDir Dir;
    const QString File = Dir.filePath(u"really-a-png.jpg"_s);
    QImage Picture(40, 20, QImage::Format_RGB32);
    Picture.fill(qRgb(0, 0, 255));
    QVERIFY(Picture.save(File, "PNG"));
    QImage Bitmap;
    QString Error;
    QVERIFY2(MakeThumbnail(File, 10, 10, GoodQuality, Bitmap, &Error), qPrintable(Error));
    QCOMPARE(Bitmap.size(), QSize(10, 5));
    QCOMPARE(qBlue(Bitmap.pixel(5, 2)) > 250 && qRed(Bitmap.pixel(5, 2)) == 0, true);
}

void TestResample::thumbnailFilteredJpegDecodedReduced()
{
    // 64 x 48 in a 16 x 12 box with the filter: decoding at half still leaves twice the thumbnail's
    // size, so the filter works on the half-scale picture.
    QImage Bitmap;
    QString Error;
    QVERIFY2(MakeThumbnail(ImagingData(u"jpeg-large.jpg"_s), 16, 12, true, Bitmap, &Error),
             qPrintable(Error));
    QImage Expected;
    QVERIFY(HermiteResample(QImage(ImagingData(u"jpeg-large.scale2.png"_s)), 16, 12, Expected));
    QString Why;
    QVERIFY2(SameImage(Bitmap, Expected, 3, &Why), qPrintable(Why));
    // A picture that fits is decoded whole and shown unscaled.
    QVERIFY(MakeThumbnail(ImagingData(u"jpeg-large.jpg"_s), 64, 48, true, Bitmap));
    QVERIFY2(SameImage(Bitmap, QImage(ImagingData(u"jpeg-large.scale1.png"_s)), 3, &Why), qPrintable(Why));
}

QTEST_GUILESS_MAIN(TestResample)
#include "tst_resample.moc"
