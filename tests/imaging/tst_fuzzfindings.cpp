// Inputs the fuzzers found, kept as fixtures in tests/data/imaging/fuzz. The name says what reading
// must give: NAME.ok.EXT reads, NAME.error.EXT is refused. Either way the reader must come back, and
// what reads is drawn (metafiles are played) as the harnesses do. Cursor files (.ani, .cur) go
// through the cursor reader, every other extension through the picture loader.

#include "CursorFile.h"
#include "Graphic.h"
#include "ImageCompare.h"
#include "Thumbnail.h"

#include <QDir>
#include <QGuiApplication>
#include <QTest>

using namespace Qt::StringLiterals;

class TestImagingFuzzFindings : public QObject
{
    Q_OBJECT

private slots:
    void findings_data();
    void findings();
};

void TestImagingFuzzFindings::findings_data()
{
    QTest::addColumn<QString>("File");
    const QDir Dir(ImagingData(u"fuzz"_s));
    const QStringList Files = Dir.entryList(QDir::Files, QDir::Name);
    if (Files.isEmpty())
        QSKIP("no fuzzer findings are kept yet");
    for (const QString& F : Files)
        QTest::newRow(qPrintable(F)) << Dir.filePath(F);
}

void TestImagingFuzzFindings::findings()
{
    QFETCH(QString, File);
    const bool ExpectOk = File.contains(u".ok."_s);
    QVERIFY2(ExpectOk || File.contains(u".error."_s),
             "name the expected result: NAME.ok.EXT or NAME.error.EXT");
    const QByteArray Data = ReadFixture(File);
    if (File.endsWith(u".ani"_s) || File.endsWith(u".cur"_s)) {
        TCursorFrames Frames;
        QString Error;
        const bool Ok = ReadCursorFrames(Data, Frames, Error);
        QVERIFY2(Ok == ExpectOk, qPrintable(Error));
        return;
    }
    const TGraphicLoad Load = LoadGraphicFromData(Data, File);
    QVERIFY2(Load.Ok() == ExpectOk, qPrintable(Load.Error));
    if (File.endsWith(u".ico"_s))
        RenderIconAtSize(Data, QSize(16, 16), 8);
    if (!Load.Ok())
        return;
    const QSize S = Load.Graphic->Size();
    const QImage Small = Load.Graphic->ToBitmap(QSize(qMin(S.width(), 64), qMin(S.height(), 64)));
    QVERIFY(!Small.isNull());
    QImage Out;
    QVERIFY(HermiteResample(Small, 7, 5, Out));
}

QTEST_MAIN(TestImagingFuzzFindings)
#include "tst_fuzzfindings.moc"
