// Damaged and hostile pictures: each row is a broken input (a good fixture cut short or patched, or
// bytes written here) and the reason the loader must give. Nothing may crash, hang or allocate
// what the data only claims.

#include "Graphic.h"
#include "ImageCompare.h"
#include "ImageLimits.h"
#include "PngEncoder.h"
#include "TestBytes.h"

#include <QBuffer>

#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

QByteArray Fixture(const QString& Name)
{
    return ReadFixture(ImagingData(Name));
}

QByteArray Cut(const QByteArray& Data, qsizetype Size)
{
    return Data.left(Size);
}

QByteArray PatchLE32(QByteArray Data, qsizetype At, quint32 Value)
{
    qToLittleEndian(Value, Data.data() + At);
    return Data;
}

QByteArray PatchLE16(QByteArray Data, qsizetype At, quint16 Value)
{
    qToLittleEndian(Value, Data.data() + At);
    return Data;
}

QByteArray PatchBE16(QByteArray Data, qsizetype At, quint16 Value)
{
    qToBigEndian(Value, Data.data() + At);
    return Data;
}

// A BMP file with a BITMAPINFOHEADER, a grey palette of Colours entries (ColoursUsed as stored)
// and the given pixel bytes.
QByteArray Bmp(qint32 Width, qint32 Height, quint16 Bits, quint32 Compression, int Colours,
               const QByteArray& Pixels, quint32 ColoursUsed = 0)
{
    QByteArray Info = LE32(40) + LE32(quint32(Width)) + LE32(quint32(Height)) + LE16(1) + LE16(Bits) +
                      LE32(Compression) + LE32(quint32(Pixels.size())) + LE32(0) + LE32(0) +
                      LE32(ColoursUsed ? ColoursUsed : quint32(Colours)) + LE32(0);
    for (int I = 0; I < Colours; ++I)
        Info += QByteArray(3, char(I * 255 / qMax(1, Colours - 1))) + '\0';
    const quint32 Offset = quint32(14 + Info.size());
    return "BM" + LE32(Offset + quint32(Pixels.size())) + LE32(0) + LE32(Offset) + Info + Pixels;
}

quint32 Crc32(const QByteArray& Data)
{
    quint32 Crc = 0xFFFFFFFFu;
    for (char C : Data) {
        Crc ^= uchar(C);
        for (int K = 0; K < 8; ++K)
            Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1)));
    }
    return ~Crc;
}

// The PNG fixture with its IHDR width and height replaced (and its CRC made right again).
QByteArray PngWithSize(quint32 Width, quint32 Height)
{
    QByteArray Data = Fixture(u"golden/png-rgb.png"_s);
    qToBigEndian(Width, Data.data() + 16);
    qToBigEndian(Height, Data.data() + 20);
    qToBigEndian(Crc32(Data.mid(12, 17)), Data.data() + 29);
    return Data;
}

// The JPEG fixture with the size in its frame header replaced.
QByteArray JpegWithSize(quint16 Width, quint16 Height)
{
    QByteArray Data = Fixture(u"golden/jpeg-colour.jpg"_s);
    const qsizetype Sof = Data.indexOf("\xFF\xC0");
    Data = PatchBE16(Data, Sof + 5, Height);
    return PatchBE16(Data, Sof + 7, Width);
}

// A GIF of the given indices, with a global table of 2^TableBits grey colours, written with literal
// LZW codes (a clear code every ten keeps the code size at CodeSize + 1 bits).
QByteArray Gif(int Width, int Height, int TableBits, const QList<int>& Indices, int CodeSize = 4)
{
    QByteArray Out = "GIF89a" + LE16(quint16(Width)) + LE16(quint16(Height));
    Out += char(0x80 | (TableBits - 1));
    Out += QByteArray(2, '\0');
    for (int I = 0; I < (1 << TableBits); ++I)
        Out += QByteArray(3, char(I * 40));
    Out += ',' + LE16(0) + LE16(0) + LE16(quint16(Width)) + LE16(quint16(Height)) + '\0';
    Out += char(CodeSize);
    const int Clear = 1 << CodeSize, Bits = CodeSize + 1;
    QList<int> Codes{Clear};
    int Count = 0;
    for (int I : Indices) {
        if (Count == 10) {
            Codes.append(Clear);
            Count = 0;
        }
        Codes.append(I);
        ++Count;
    }
    Codes.append(Clear + 1);
    QByteArray Packed;
    quint32 Acc = 0;
    int Have = 0;
    for (int C : Codes) {
        Acc |= quint32(C) << Have;
        Have += Bits;
        while (Have >= 8) {
            Packed += char(Acc & 0xFF);
            Acc >>= 8;
            Have -= 8;
        }
    }
    if (Have > 0)
        Packed += char(Acc & 0xFF);
    for (qsizetype I = 0; I < Packed.size(); I += 255) {
        const QByteArray Block = Packed.mid(I, 255);
        Out += char(Block.size()) + Block;
    }
    return Out + '\0' + ';';
}

// A picture of rows in distinct colours, as a PNG file (each row's data follows the last: a cut
// lands between rows).
QByteArray StripedPng()
{
    QImage Img(24, 40, QImage::Format_RGB32);
    for (int Y = 0; Y < Img.height(); ++Y)
        std::fill_n(reinterpret_cast<QRgb*>(Img.scanLine(Y)), Img.width(), qRgb(Y * 6, 255 - Y * 6, 40));
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    QString Error;
    return SavePngFast(Img, Out, Error) ? Out.data() : QByteArray();
}

// A Windows metafile of a memory header, the records and the end record.
QByteArray Wmf(const QByteArray& Records)
{
    return LE16(1) + LE16(9) + LE16(0x300) + LE32(0) + LE16(0) + LE32(0) + LE16(0) + Records + LE32(3) +
           LE16(0);
}

} // namespace

class TestBrokenFiles : public QObject
{
    Q_OBJECT

private slots:
    void broken_data();
    void broken();
    void cutInsidePixels_data();
    void cutInsidePixels();
    void outOfRangeIndex_data();
    void outOfRangeIndex();
    void limits_data();
    void limits();
    void fileTooLarge();
};

void TestBrokenFiles::broken_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QByteArray>("Data");
    QTest::addColumn<QString>("Reason");

    const QByteArray Bmp24 = Fixture(u"golden/bmp24.bmp"_s);
    QTest::newRow("bmp cut in the pixels")
        << u"a.bmp"_s << Cut(Bmp24, 300) << u"pixel data ends early (246 of 572 bytes)"_s;
    QTest::newRow("bmp cut in the header") << u"a.bmp"_s << Cut(Bmp24, 30) << u"data ends early"_s;
    QTest::newRow("bmp width above the limit")
        << u"a.bmp"_s << PatchLE32(Bmp24, 18, 20000) << u"width 20000 is above the limit of 16384"_s;
    QTest::newRow("bmp height above the limit")
        << u"a.bmp"_s << PatchLE32(Bmp24, 22, 16385) << u"height 16385 is above the limit of 16384"_s;
    QTest::newRow("bmp huge top-down height") << u"a.bmp"_s << PatchLE32(Bmp24, 22, 0x80000000u)
                                              << u"height 2147483648 is above the limit of 16384"_s;
    QTest::newRow("bmp zero width") << u"a.bmp"_s << PatchLE32(Bmp24, 18, 0) << u"size 0 x 11 is empty"_s;
    QTest::newRow("bmp negative width")
        << u"a.bmp"_s << PatchLE32(Bmp24, 18, quint32(-5)) << u"negative width -5"_s;
    QTest::newRow("bmp no signature")
        << u"a.bmp"_s << QByteArray("XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX") << u"no BMP signature"_s;
    QTest::newRow("bmp unknown header size")
        << u"a.bmp"_s << PatchLE32(Bmp24, 14, 200) << u"unknown bitmap header size 200"_s;
    QTest::newRow("bmp 7 bits per pixel")
        << u"a.bmp"_s << PatchLE16(Bmp24, 28, 7) << u"7 bits per pixel are not supported"_s;
    QTest::newRow("bmp palette past the data")
        << u"a.bmp"_s << Bmp(2, 2, 8, 0, 2, QByteArray(8, '\1'), 100000)
        << u"palette of 100000 colours runs past the data"_s;
    QTest::newRow("bmp RLE8 with 4 bits") << u"a.bmp"_s << Bmp(4, 2, 4, 1, 16, QByteArray("\0\1", 2))
                                          << u"RLE8 compression with 4 bits per pixel"_s;
    QTest::newRow("bmp RLE delta leaves the picture")
        << u"a.bmp"_s << Bmp(4, 2, 8, 1, 4, QByteArray("\0\2\5\0\0\1", 6))
        << u"bad RLE data: a delta leaves the picture"_s;
    QTest::newRow("bmp RLE pixels past the last row")
        << u"a.bmp"_s << Bmp(4, 2, 8, 1, 4, QByteArray("\4\1\0\0\4\1\0\0\4\1\0\1", 12))
        << u"bad RLE data: pixels past the last row"_s;
    QTest::newRow("bmp RLE cut in an absolute run")
        << u"a.bmp"_s << Bmp(8, 2, 8, 1, 4, QByteArray("\0\5\1\2", 4)) << u"RLE data ends early"_s;
    QTest::newRow("bmp RLE cut in a delta")
        << u"a.bmp"_s << Bmp(8, 2, 8, 1, 4, QByteArray("\0\2\1", 3)) << u"RLE data ends early"_s;
    QTest::newRow("bmp embedded PNG") << u"a.bmp"_s << Bmp(2, 2, 24, 5, 0, QByteArray(16, '\0'))
                                      << u"embedded PNG data in a bitmap is not supported"_s;
    QTest::newRow("bmp bit fields with 24 bits") << u"a.bmp"_s << Bmp(2, 2, 24, 3, 0, QByteArray(28, '\0'))
                                                 << u"bit-field compression with 24 bits per pixel"_s;

    const QByteArray Png = Fixture(u"golden/png-rgb.png"_s);
    // A file cut before its pixel data is an error; one cut inside it shows (cutInsidePixels).
    QTest::newRow("png signature only") << u"a.png"_s << Cut(Png, 8) << u"data ends early"_s;
    QTest::newRow("png cut in the header") << u"a.png"_s << Cut(Png, 20) << u"data ends early"_s;
    QTest::newRow("png width above the limit")
        << u"a.png"_s << PngWithSize(20000, 11)
        << u"Invalid IHDR data (Image width exceeds user limit in IHDR)"_s;
    QTest::newRow("png zero width") << u"a.png"_s << PngWithSize(0, 11)
                                    << u"Invalid IHDR data (Image width is zero in IHDR)"_s;
    QByteArray BadCrc = Png;
    BadCrc[29] = char(BadCrc[29] ^ 0x55);
    QTest::newRow("png bad header checksum") << u"a.png"_s << BadCrc << u"IHDR: CRC error"_s;

    const QByteArray Jpeg = Fixture(u"golden/jpeg-colour.jpg"_s);
    QTest::newRow("jpeg cut in the header") << u"a.jpg"_s << Cut(Jpeg, 100) << u"data ends early"_s;
    QTest::newRow("jpeg cut before its scan")
        << u"a.jpg"_s << Cut(Jpeg, Jpeg.indexOf("\xFF\xDA")) << u"data ends early"_s;
    QTest::newRow("jpeg width above the limit")
        << u"a.jpg"_s << JpegWithSize(20000, 11) << u"width 20000 is above the limit of 16384"_s;
    QTest::newRow("jpeg zero height")
        << u"a.jpg"_s << JpegWithSize(17, 0) << u"Empty JPEG image (DNL not supported)"_s;
    QTest::newRow("jpeg no image") << u"a.jpg"_s << QByteArray("\xFF\xD8\xFF\xD9", 4)
                                   << u"JPEG datastream contains no image"_s;
    QTest::newRow("jpeg not a jpeg") << u"a.jpg"_s << QByteArray("hello, world")
                                     << u"Not a JPEG file: starts with 0x68 0x65"_s;

    const QByteArray GifData = Fixture(u"golden/gif-global.gif"_s);
    QTest::newRow("gif cut in the header")
        << u"a.gif"_s << Cut(GifData, 9) << u"No screen descriptor detected"_s;
    QTest::newRow("gif cut before its frame's data")
        << u"a.gif"_s << Cut(GifData, GifData.indexOf(',') + 10) << u"data ends early"_s;
    QTest::newRow("gif screen above the limit")
        << u"a.gif"_s << PatchLE16(GifData, 6, 60000) << u"width 60000 is above the limit of 16384"_s;
    QTest::newRow("gif no colour table") << u"a.gif"_s << [] {
        QByteArray D = Fixture(u"golden/gif-local-offset.gif"_s);
        D[22] = char(D[22] & 0x7F);
        return D;
    }() << u"has no colour table"_s;
    QTest::newRow("gif no image") << u"a.gif"_s << QByteArray("GIF89a\1\0\1\0\0\0\0;", 14)
                                  << u"contains no image"_s;
    QTest::newRow("gif not a gif") << u"a.gif"_s << QByteArray("GXF89a\1\0\1\0\0\0\0;", 14)
                                   << u"Data is not in GIF format"_s;

    const QByteArray Ico = Fixture(u"golden/ico-24bit.ico"_s);
    QTest::newRow("ico image outside the file")
        << u"a.ico"_s << PatchLE32(Ico, 18, 100000) << u"damaged icon directory"_s;
    QTest::newRow("ico cut short") << u"a.ico"_s << Cut(Ico, 200) << u"damaged icon directory"_s;
    QTest::newRow("ico no images") << u"a.ico"_s << PatchLE16(Ico, 4, 0) << u"damaged icon directory"_s;
    QTest::newRow("ico type 3") << u"a.ico"_s << PatchLE16(Ico, 2, 3)
                                << u"not an icon or cursor file (type 3)"_s;
    QTest::newRow("ico image above the limit")
        << u"a.ico"_s << PatchLE32(Ico, 22 + 4, 5000)
        << u"icon image of 5000 x 16 pixels is above the limit of 1024"_s;
    QTest::newRow("ico more rows than pixels")
        << u"a.ico"_s << PatchLE32(Ico, 22 + 8, 64) << u"pixel data ends early (832 of 1536 bytes)"_s;
    QTest::newRow("ico no rows") << u"a.ico"_s << PatchLE32(Ico, 22 + 8, 1) << u"icon image has no rows"_s;
    QTest::newRow("ico compressed image") << u"a.ico"_s << PatchLE32(PatchLE16(Ico, 22 + 14, 4), 22 + 16, 2)
                                          << u"compressed icon image (compression 2)"_s;

    const QByteArray WmfData = Fixture(u"metafiles/shapes.wmf"_s);
    QTest::newRow("wmf no header") << u"a.wmf"_s << QByteArray("not a metafile at all")
                                   << u"no metafile header"_s;
    QTest::newRow("wmf zero units per inch")
        << u"a.wmf"_s << PatchLE16(WmfData, 14, 0) << u"placeable header gives 0 units per inch"_s;
    QTest::newRow("wmf empty frame") << u"a.wmf"_s << PatchLE16(WmfData, 10, 0)
                                     << u"the picture's frame is empty"_s;
    QTest::newRow("wmf record past the end")
        << u"a.wmf"_s << Cut(WmfData, WmfData.size() - 20) << u"record 19 has a bad size"_s;
    QTest::newRow("wmf record cut in its header")
        << u"a.wmf"_s << Cut(WmfData, 22 + 18 + 4) << u"record 0 is cut short"_s;
    QTest::newRow("wmf record of size 0")
        << u"a.wmf"_s << Wmf(LE32(0) + LE16(0x0213)) << u"record 0 has a bad size"_s;
    QTest::newRow("wmf without a size")
        << u"a.wmf"_s << Wmf({}) << u"no placeable header and no window extent: the size is unknown"_s;
    QTest::newRow("wmf window above the limit")
        << u"a.wmf"_s << Wmf(LE32(5) + LE16(0x020C) + LE16(100) + LE16(30000))
        << u"width 30000 is above the limit of 16384"_s;

    const QByteArray Emf = Fixture(u"metafiles/shapes.emf"_s);
    QTest::newRow("emf no signature")
        << u"a.emf"_s << PatchLE32(Emf, 40, 0) << u"no enhanced metafile signature"_s;
    QTest::newRow("emf no header record")
        << u"a.emf"_s << PatchLE32(Emf, 0, 2) << u"no enhanced metafile header"_s;
    QTest::newRow("emf bad header size") << u"a.emf"_s << PatchLE32(Emf, 4, 10) << u"bad header size 10"_s;
    QTest::newRow("emf bad record size")
        << u"a.emf"_s << PatchLE32(Emf, 88 + 4, 3) << u"record 0 has a bad size"_s;
    QTest::newRow("emf frame above the limit")
        << u"a.emf"_s << PatchLE32(Emf, 32, 1000000000) << u"width 37795276 is above the limit of 16384"_s;
    QTest::newRow("emf empty frame and bounds")
        << u"a.emf"_s << PatchLE32(PatchLE32(Emf, 32, 0), 16, quint32(-2))
        << u"the picture's frame is empty"_s;

    QTest::newRow("empty file") << u"a.png"_s << QByteArray() << u"the file is empty"_s;
}

void TestBrokenFiles::broken()
{
    QFETCH(QString, Name);
    QFETCH(QByteArray, Data);
    QFETCH(QString, Reason);
    const TGraphicLoad Load = LoadGraphicFromData(Data, Name);
    QVERIFY2(!Load.Ok(), "a broken picture was accepted");
    QCOMPARE(Load.Error, u"Cannot read picture \"%1\": %2"_s.arg(Name, Reason));
}

namespace {
enum TCutShows {
    csEverything, // every pixel is in the file: the picture equals the whole file's
    csTopAndGrey, // the first row as in the whole file, the last row grey
    csPicture,    // a picture of the whole file's size (what a partial pass gives is not pinned)
};
}

void TestBrokenFiles::cutInsidePixels_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QByteArray>("Data");  // what is read
    QTest::addColumn<QByteArray>("Whole"); // the file before the damage
    QTest::addColumn<int>("Shows");
    QTest::addColumn<int>("Height"); // of the picture read; 0: the whole file's

    const QByteArray Jpeg = Fixture(u"jpeg-large.jpg"_s);
    QTest::newRow("jpeg without its end marker") << u"a.jpg"_s << Cut(Jpeg, Jpeg.size() - 2) << Jpeg
                                                 << int(csEverything) << 0;
    const QByteArray Small = Fixture(u"golden/jpeg-colour.jpg"_s);
    QTest::newRow("small jpeg without its end marker")
        << u"a.jpg"_s << Cut(Small, Small.size() - 2) << Small << int(csEverything) << 0;
    const qsizetype Scan = Jpeg.indexOf("\xFF\xDA");
    const QByteArray HalfScan = Cut(Jpeg, (Scan + Jpeg.size()) / 2);
    QTest::newRow("jpeg cut in the scan") << u"a.jpg"_s << HalfScan << Jpeg << int(csTopAndGrey) << 0;
    QTest::newRow("jpeg whose end marker comes early")
        << u"a.jpg"_s << HalfScan + "\xFF\xD9" << Jpeg << int(csTopAndGrey) << 0;
    const QByteArray Progressive = Fixture(u"golden/jpeg-progressive.jpg"_s);
    QTest::newRow("progressive jpeg cut in the tables of a later scan")
        << u"a.jpg"_s << Cut(Progressive, Progressive.size() - 150) << Progressive << int(csPicture) << 0;
    QTest::newRow("progressive jpeg cut in a later scan")
        << u"a.jpg"_s << Cut(Progressive, Progressive.size() - 40) << Progressive << int(csPicture) << 0;

    const QByteArray Png = StripedPng();
    QTest::newRow("png cut in the image data")
        << u"a.png"_s << Cut(Png, Png.size() / 2) << Png << int(csTopAndGrey) << 0;
    QTest::newRow("png without its end chunk")
        << u"a.png"_s << Cut(Png, Png.size() - 12) << Png << int(csEverything) << 0;
    const QByteArray Interlaced = Fixture(u"golden/png-interlaced.png"_s);
    QTest::newRow("interlaced png cut in the image data")
        << u"a.png"_s << Cut(Interlaced, Interlaced.size() - 60) << Interlaced << int(csPicture) << 0;
    QTest::newRow("png whose image data ends before its last row")
        << u"a.png"_s << PngWithSize(17, 4000) << Fixture(u"golden/png-rgb.png"_s) << int(csTopAndGrey) << 4000;

    QList<int> Indices;
    for (int I = 0; I < 8 * 12; ++I)
        Indices.append((I / 8 + I % 8) % 16);
    const QByteArray GifData = Gif(8, 12, 4, Indices);
    QTest::newRow("gif cut in the image data")
        << u"a.gif"_s << Cut(GifData, GifData.size() - 30) << GifData << int(csTopAndGrey) << 0;
    QTest::newRow("gif without its trailer")
        << u"a.gif"_s << Cut(GifData, GifData.size() - 1) << GifData << int(csEverything) << 0;
    QTest::newRow("gif whose end code comes early")
        << u"a.gif"_s << Gif(8, 12, 4, Indices.mid(0, 40)) << GifData << int(csTopAndGrey) << 0;
    QByteArray Outside = GifData;
    qToLittleEndian(quint16(20), Outside.data() + Outside.indexOf(',', 13 + 48) + 1);
    QTest::newRow("gif frame right of the screen, cut in its data")
        << u"a.gif"_s << Cut(Outside, Outside.size() - 30) << Outside << int(csPicture) << 0;
    const QByteArray GifInterlaced = Fixture(u"golden/gif-interlaced.gif"_s);
    QTest::newRow("interlaced gif cut in the image data")
        << u"a.gif"_s << Cut(GifInterlaced, GifInterlaced.size() - 30) << GifInterlaced << int(csPicture) << 0;
}

// Pixel data that ends early (the file is cut, or the data's own end comes first) shows what was
// decoded; the rest is grey.
void TestBrokenFiles::cutInsidePixels()
{
    QFETCH(QString, Name);
    QFETCH(QByteArray, Data);
    QFETCH(QByteArray, Whole);
    QFETCH(int, Shows);
    QFETCH(int, Height);
    const TGraphicLoad WholeLoad = LoadGraphicFromData(Whole, Name);
    QVERIFY2(WholeLoad.Ok(), qPrintable(WholeLoad.Error));
    const TGraphicLoad Load = LoadGraphicFromData(Data, Name);
    QVERIFY2(Load.Ok(), qPrintable(Load.Error));
    const QImage Expected = WholeLoad.Graphic->ToBitmap();
    const QImage Img = Load.Graphic->ToBitmap();
    QCOMPARE(Img.size(), QSize(Expected.width(), Height ? Height : Expected.height()));
    if (Shows == csEverything) {
        QString Why;
        QVERIFY2(SameImage(Img, Expected, 0, &Why), qPrintable(Why));
    }
    if (Shows == csTopAndGrey) {
        const int Last = Img.height() - 1;
        for (int X = 0; X < Img.width(); ++X) {
            QCOMPARE(Img.pixel(X, 0), Expected.pixel(X, 0));
            QCOMPARE(Img.pixel(X, Last), CutPictureFill);
        }
        QVERIFY(Expected.pixel(0, Expected.height() - 1) != CutPictureFill);
    }
}

void TestBrokenFiles::outOfRangeIndex_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QByteArray>("Data");
    // Indices past the palette show black, as on Windows; the picture is not refused.
    QTest::newRow("bmp 8 bits, 2 colours, index 200")
        << u"a.bmp"_s << Bmp(2, 1, 8, 0, 2, QByteArray("\x01\xC8\0\0", 4));
    QTest::newRow("bmp RLE8, 2 colours, index 200")
        << u"a.bmp"_s << Bmp(2, 1, 8, 1, 2, QByteArray("\x01\x01\x01\xC8\0\1", 6));
    QTest::newRow("gif 2 colours, index 9") << u"a.gif"_s << Gif(2, 1, 1, {1, 9});
}

void TestBrokenFiles::outOfRangeIndex()
{
    QFETCH(QString, Name);
    QFETCH(QByteArray, Data);
    const TGraphicLoad Load = LoadGraphicFromData(Data, Name);
    QVERIFY2(Load.Ok(), qPrintable(Load.Error));
    const QImage& Img = dynamic_cast<const TRasterGraphic*>(Load.Graphic.get())->Image();
    QCOMPARE(Img.size(), QSize(2, 1));
    QCOMPARE(qAlpha(Img.pixel(0, 0)), 255);
    QVERIFY(qRed(Img.pixel(0, 0)) > 0); // a valid index: the palette's second colour
    QCOMPARE(Img.pixel(1, 0), qRgb(0, 0, 0));
}

void TestBrokenFiles::limits_data()
{
    QTest::addColumn<QString>("File");
    QTest::newRow("bmp") << u"golden/bmp24.bmp"_s;
    QTest::newRow("bmp rle") << u"golden/bmp8-rle.bmp"_s;
    QTest::newRow("png") << u"golden/png-rgb.png"_s;
    QTest::newRow("jpeg") << u"golden/jpeg-colour.jpg"_s;
    QTest::newRow("gif") << u"golden/gif-global.gif"_s;
}

void TestBrokenFiles::limits()
{
    // The pixel limit is checked before anything of the picture's size is allocated.
    QFETCH(QString, File);
    TImageLimits L;
    L.MaxPixels = 100;
    SetImageLimits(L);
    const TGraphicLoad Load = LoadGraphic(ImagingData(File));
    SetImageLimits(TImageLimits());
    QVERIFY(!Load.Ok());
    QVERIFY2(Load.Error.endsWith(u": 17 x 11 pixels are above the limit of 100 pixels"_s),
             qPrintable(Load.Error));
}

void TestBrokenFiles::fileTooLarge()
{
    TImageLimits L;
    L.MaxFileSize = 100;
    SetImageLimits(L);
    const QString File = ImagingData(u"golden/bmp24.bmp"_s);
    const TGraphicLoad Load = LoadGraphic(File);
    SetImageLimits(TImageLimits());
    QVERIFY(!Load.Ok());
    QCOMPARE(Load.Error,
             u"Cannot read picture \"%1\": file of 626 bytes is above the limit of 100 bytes"_s.arg(File));
}

QTEST_GUILESS_MAIN(TestBrokenFiles)
#include "tst_brokenfiles.moc"
