// Decoding good pictures: every fixture in tests/data/imaging/golden beside the PNG of what it must
// decode to (ImageMagick's decoding of the same file), the loader's choice of format, icons as
// pictures and JPEG decoding at reduced scale.

#include "CursorFile.h"
#include "Graphic.h"
#include "ImageCompare.h"
#include "JpegDecoder.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDecoders : public QObject
{
    Q_OBJECT

private slots:
    void golden_data();
    void golden();
    void formats_data();
    void formats();
    void iconPicture();
    void jpegScaled_data();
    void jpegScaled();
    void jpegScaleChoice_data();
    void jpegScaleChoice();
    void jpegFast();
    void wrongExtension();
    void loadErrors_data();
    void loadErrors();
    void folderNamedLikeAPicture();
    void drawStretched();
    void toBitmap();
};

void TestDecoders::golden_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<int>("Tolerance");
    const QDir Dir(ImagingData(u"golden"_s));
    int Count = 0;
    for (const QString& F : Dir.entryList(QDir::Files, QDir::Name)) {
        if (!Dir.exists(F + u".png"_s))
            continue;
        // JPEG is lossy and the reference went through ImageMagick's own colour handling.
        const int Tolerance = F.endsWith(u".jpg"_s) ? 3 : 0;
        QTest::newRow(qPrintable(F)) << Dir.filePath(F) << Tolerance;
        ++Count;
    }
    QVERIFY2(Count >= 30, "golden fixtures are missing");
}

void TestDecoders::golden()
{
    QFETCH(QString, File);
    QFETCH(int, Tolerance);
    QImage Actual;
    if (File.endsWith(u".cur"_s)) {
        TCursorFrames Frames;
        QString Error;
        QVERIFY2(LoadCursorFrames(File, Frames, &Error), qPrintable(Error));
        QCOMPARE(Frames.Frames.size(), 1);
        Actual = Frames.Frames[0].Image;
    } else {
        const TGraphicLoad Load = LoadGraphic(File);
        QVERIFY2(Load.Ok(), qPrintable(Load.Error));
        const auto* Raster = dynamic_cast<const TRasterGraphic*>(Load.Graphic.get());
        QVERIFY(Raster);
        Actual = Raster->Image();
        QCOMPARE(Load.Graphic->Size(), Actual.size());
        // The same bytes from memory give the same picture.
        const TGraphicLoad FromData = LoadGraphicFromData(ReadFixture(File), File);
        QVERIFY(FromData.Ok());
        QCOMPARE(dynamic_cast<const TRasterGraphic*>(FromData.Graphic.get())->Image(), Actual);
    }
    // The reference is read by Qt's own PNG reader, not by ours.
    const QImage Expected(File + u".png"_s);
    QVERIFY(!Expected.isNull());
    QString Why;
    QVERIFY2(SameImage(Actual, Expected, Tolerance, &Why), qPrintable(Why));
}

void TestDecoders::formats_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<int>("Format");
    QTest::addColumn<bool>("Icon");
    QTest::addColumn<bool>("Alpha");
    QTest::newRow("bmp") << u"golden/bmp24.bmp"_s << int(gfBitmap) << false << false;
    QTest::newRow("bmp with alpha bit field")
        << u"golden/bmp32-alpha.bmp"_s << int(gfBitmap) << false << true;
    QTest::newRow("32-bit bmp without bit fields is opaque")
        << u"golden/bmp32-rgb.bmp"_s << int(gfBitmap) << false << false;
    QTest::newRow("jpeg") << u"golden/jpeg-colour.jpg"_s << int(gfJpeg) << false << false;
    QTest::newRow("png") << u"golden/png-rgba.png"_s << int(gfPng) << false << true;
    QTest::newRow("gif") << u"golden/gif-global.gif"_s << int(gfGif) << false << false;
    QTest::newRow("gif with transparency") << u"golden/gif-transparent.gif"_s << int(gfGif) << false << true;
    QTest::newRow("ico") << u"golden/ico-24bit.ico"_s << int(gfIcon) << true << true;
    QTest::newRow("wmf") << u"metafiles/shapes.wmf"_s << int(gfMetafile) << false << false;
    QTest::newRow("emf") << u"metafiles/shapes.emf"_s << int(gfEnhMetafile) << false << false;
}

void TestDecoders::formats()
{
    QFETCH(QString, File);
    QFETCH(int, Format);
    QFETCH(bool, Icon);
    QFETCH(bool, Alpha);
    const TGraphicLoad Load = LoadGraphic(ImagingData(File));
    QVERIFY2(Load.Ok(), qPrintable(Load.Error));
    QCOMPARE(int(Load.Graphic->Format()), Format);
    QCOMPARE(Load.Graphic->IsIcon(), Icon);
    QCOMPARE(Load.Graphic->IsMetafile(), Format == gfMetafile || Format == gfEnhMetafile);
    if (const auto* R = dynamic_cast<const TRasterGraphic*>(Load.Graphic.get()))
        QCOMPARE(R->Image().hasAlphaChannel(), Alpha);
}

void TestDecoders::iconPicture()
{
    // Images of 16, 48 and 32 pixels: a picture shows the 32-pixel one, as a standard-size icon.
    const TGraphicLoad Load = LoadGraphic(ImagingData(u"ico-three-sizes.ico"_s));
    QVERIFY2(Load.Ok(), qPrintable(Load.Error));
    QVERIFY(Load.Graphic->IsIcon());
    QCOMPARE(Load.Graphic->Size(), QSize(32, 32));
    const auto* Icon = dynamic_cast<const TIconGraphic*>(Load.Graphic.get());
    QVERIFY(Icon);
    QCOMPARE(Icon->EntryIndex(), 2);
    QCOMPARE(Icon->Directory().Entries.size(), 3);
    QCOMPARE(Icon->Data(), ReadFixture(ImagingData(u"ico-three-sizes.ico"_s)));
    // The fixture colours each image's blue channel by its size.
    QCOMPARE(qBlue(Icon->Image().pixel(3, 3)), 32 * 4);
}

void TestDecoders::jpegScaled_data()
{
    QTest::addColumn<QSize>("MinSize");
    QTest::addColumn<int>("Scale");
    QTest::newRow("full") << QSize(64, 48) << 1;
    QTest::newRow("half") << QSize(32, 24) << 2;
    QTest::newRow("half, one side needs it") << QSize(10, 13) << 2;
    QTest::newRow("quarter") << QSize(16, 12) << 4;
    QTest::newRow("eighth") << QSize(8, 6) << 8;
    QTest::newRow("eighth for nothing asked") << QSize(0, 0) << 8;
}

void TestDecoders::jpegScaled()
{
    QFETCH(QSize, MinSize);
    QFETCH(int, Scale);
    const QString File = ImagingData(u"jpeg-large.jpg"_s);
    const TGraphicLoad Load = LoadJpegScaled(File, MinSize);
    QVERIFY2(Load.Ok(), qPrintable(Load.Error));
    const QImage Actual = dynamic_cast<const TRasterGraphic*>(Load.Graphic.get())->Image();
    // ImageMagick asked libjpeg for the same reduction (jpeg:size).
    const QImage Expected(ImagingData(u"jpeg-large.scale%1.png"_s.arg(Scale)));
    QString Why;
    QVERIFY2(SameImage(Actual, Expected, 3, &Why), qPrintable(Why));
}

void TestDecoders::jpegScaleChoice_data()
{
    QTest::addColumn<QSize>("Picture");
    QTest::addColumn<QSize>("MinSize");
    QTest::addColumn<int>("Scale");
    QTest::newRow("exactly an eighth") << QSize(800, 600) << QSize(100, 75) << 8;
    QTest::newRow("one pixel short of an eighth") << QSize(800, 600) << QSize(101, 75) << 4;
    QTest::newRow("rounded up by libjpeg") << QSize(801, 600) << QSize(101, 75) << 8;
    QTest::newRow("larger than the picture") << QSize(100, 100) << QSize(200, 50) << 1;
}

void TestDecoders::jpegScaleChoice()
{
    QFETCH(QSize, Picture);
    QFETCH(QSize, MinSize);
    QFETCH(int, Scale);
    QCOMPARE(JpegScaleFor(Picture, MinSize), Scale);
}

void TestDecoders::jpegFast()
{
    const QByteArray Data = ReadFixture(ImagingData(u"jpeg-large.jpg"_s));
    QImage Slow, Fast;
    QString Error;
    QVERIFY2(DecodeJpeg(Data, Slow, Error), qPrintable(Error));
    TJpegOptions Options;
    Options.Fast = true;
    QVERIFY2(DecodeJpeg(Data, Fast, Error, Options), qPrintable(Error));
    // The fast DCT and plain upsampling differ a little, never much.
    QString Why;
    QVERIFY2(SameImage(Fast, Slow, 24, &Why), qPrintable(Why));
    QSize Size;
    QVERIFY(ReadJpegSize(Data, Size, Error));
    QCOMPARE(Size, QSize(64, 48));
}

void TestDecoders::wrongExtension()
{
    // A PNG named .jpg is shown as the PNG it is.
    const QByteArray Png = ReadFixture(ImagingData(u"golden/png-rgb.png"_s));
    const TGraphicLoad Load = LoadGraphicFromData(Png, u"photo.jpg"_s);
    QVERIFY2(Load.Ok(), qPrintable(Load.Error));
    QCOMPARE(int(Load.Graphic->Format()), int(gfPng));
    QCOMPARE(Load.Graphic->Size(), QSize(17, 11));
    // Data that is no known format keeps the extension's error.
    const TGraphicLoad Bad = LoadGraphicFromData("not a picture at all", u"photo.jpg"_s);
    QVERIFY(!Bad.Ok());
    QVERIFY2(Bad.Error.startsWith(u"Cannot read picture \"photo.jpg\": Not a JPEG file"_s),
             qPrintable(Bad.Error));
}

void TestDecoders::loadErrors_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QString>("Expected");
    QTest::newRow("missing file") << u"no-such-picture.png"_s
                                  << u"Cannot read picture \"%1\": file not found"_s;
    QTest::newRow("unknown extension")
        << u"golden/bmp24.tga"_s << u"Cannot read picture \"%1\": unknown picture type \".tga\""_s;
    QTest::newRow("no extension") << u"golden/bmp24"_s
                                  << u"Cannot read picture \"%1\": the file name has no extension"_s;
}

void TestDecoders::loadErrors()
{
    QFETCH(QString, Name);
    QFETCH(QString, Expected);
    const QString Path = ImagingData(Name);
    const TGraphicLoad Load = LoadGraphic(Path);
    QVERIFY(!Load.Ok());
    QCOMPARE(Load.Error, Expected.arg(Path));
}

void TestDecoders::folderNamedLikeAPicture()
{
    QTemporaryDir Dir;
    const QString Path = Dir.filePath(u"folder.png"_s);
    QVERIFY(QDir().mkpath(Path));
    const TGraphicLoad Load = LoadGraphic(Path);
    QVERIFY(!Load.Ok());
    QCOMPARE(Load.Error, u"Cannot read picture \"%1\": file to open is a directory"_s.arg(Path));
}

void TestDecoders::drawStretched()
{
    // A 2 x 1 picture stretched to 4 x 2 without smoothing: each pixel becomes a 2 x 2 block.
    QImage Two(2, 1, QImage::Format_RGB32);
    Two.setPixel(0, 0, qRgb(255, 0, 0));
    Two.setPixel(1, 0, qRgb(0, 0, 255));
    const TRasterGraphic G(gfBitmap, Two);
    const QImage Out = G.ToBitmap(QSize(4, 2));
    QCOMPARE(Out.format(), QImage::Format_RGB32);
    QCOMPARE(Out.pixel(1, 1), qRgb(255, 0, 0));
    QCOMPARE(Out.pixel(2, 0), qRgb(0, 0, 255));
}

void TestDecoders::toBitmap()
{
    // Transparent parts show the background of the 24-bit bitmap.
    const TGraphicLoad Load = LoadGraphic(ImagingData(u"golden/ico-1bit.ico"_s));
    QVERIFY(Load.Ok());
    const QImage Black = Load.Graphic->ToBitmap();
    const QImage White = Load.Graphic->ToBitmap({}, Qt::white);
    QCOMPARE(Black.size(), QSize(16, 16));
    QCOMPARE(Black.pixel(0, 0), qRgb(0, 0, 0)); // a masked corner
    QCOMPARE(White.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(Black.pixel(3, 3), White.pixel(3, 3));
}

QTEST_GUILESS_MAIN(TestDecoders)
#include "tst_decoders.moc"
