// The quick PNG writer: what it writes reads back to the same pixels, opaque or not, and a file that
// cannot be written is reported.

#include "ImageCompare.h"
#include "PngDecoder.h"
#include "PngEncoder.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPngEncoder : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void errors();
};

namespace {

// Every pixel differs from its neighbours, and the alpha varies across the picture.
QImage Pattern(QImage::Format Format)
{
    QImage Image(37, 23, QImage::Format_ARGB32);
    for (int Y = 0; Y < Image.height(); ++Y) {
        for (int X = 0; X < Image.width(); ++X) {
            Image.setPixel(X, Y, qRgba(X * 7, Y * 11, (X * Y) & 0xFF, 40 + X * 5));
        }
    }
    return Image.convertToFormat(Format);
}

} // namespace

void TestPngEncoder::roundTrip_data()
{
    QTest::addColumn<QImage>("Image");
    QTest::addColumn<bool>("Alpha");
    QTest::newRow("opaque") << Pattern(QImage::Format_RGB32) << false;
    QTest::newRow("opaque, three bytes a pixel") << Pattern(QImage::Format_RGB888) << false;
    QTest::newRow("alpha") << Pattern(QImage::Format_ARGB32) << true;
    QTest::newRow("premultiplied alpha") << Pattern(QImage::Format_ARGB32_Premultiplied) << true;
}

void TestPngEncoder::roundTrip()
{
    QFETCH(QImage, Image);
    QFETCH(bool, Alpha);
    QTemporaryDir Dir;
    const QString File = Dir.filePath(u"shot.png"_s);
    QString Error;
    QVERIFY2(SavePngFast(Image, File, Error), qPrintable(Error));
    QFile In(File);
    QVERIFY(In.open(QIODevice::ReadOnly));
    QImage Read;
    QVERIFY2(DecodePng(In.readAll(), Read, Error), qPrintable(Error));
    QCOMPARE(Read.hasAlphaChannel(), Alpha);
    QString Why;
    QVERIFY2(SameImage(Read, Image, 0, &Why), qPrintable(Why));
    // Into a device: the same bytes.
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    QVERIFY(SavePngFast(Image, Out, Error));
    In.seek(0);
    QCOMPARE(Out.data(), In.readAll());
}

void TestPngEncoder::errors()
{
    QTemporaryDir Dir;
    QString Error;
    QVERIFY(!SavePngFast(QImage(), Dir.filePath(u"none.png"_s), Error));
    QVERIFY(!Error.isEmpty());
    Error.clear();
    QVERIFY(!SavePngFast(Pattern(QImage::Format_RGB32), Dir.filePath(u"no/such/folder/shot.png"_s), Error));
    QVERIFY(!Error.isEmpty());
    // A device that refuses the bytes.
    Error.clear();
    QBuffer ReadOnly;
    ReadOnly.open(QIODevice::ReadOnly);
    QVERIFY(!SavePngFast(Pattern(QImage::Format_RGB32), ReadOnly, Error));
    QCOMPARE(Error, u"cannot write the file"_s);
}

QTEST_GUILESS_MAIN(TestPngEncoder)
#include "tst_pngencoder.moc"
