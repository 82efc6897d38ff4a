// Inputs the fuzzer found, kept as fixtures in tests/data/fuzz. The name says what loading must give:
// NAME.ok.vlp / NAME.ok.apr load, NAME.error.vlp / NAME.error.apr are refused. Either way the reader
// must come back, and a legacy read is still converted.

#include "model/LegacyModel.h"
#include "model/StructureFile.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFuzzFindings : public QObject
{
    Q_OBJECT

private slots:
    void findings_data();
    void findings();
};

void TestFuzzFindings::findings_data()
{
    QTest::addColumn<QString>("File");
    const QDir Dir(QStringLiteral(AUTORUN_TEST_DATA_DIR "/fuzz"));
    const QStringList Files = Dir.entryList({u"*.vlp"_s, u"*.apr"_s}, QDir::Files, QDir::Name);
    if (Files.isEmpty())
        QSKIP("no fuzzer findings are kept yet");
    for (const QString& F : Files)
        QTest::newRow(qPrintable(F)) << Dir.filePath(F);
}

void TestFuzzFindings::findings()
{
    QFETCH(QString, File);
    const bool ExpectOk = File.contains(u".ok."_s);
    QVERIFY2(ExpectOk || File.contains(u".error."_s), "name the expected result: NAME.ok.vlp or NAME.error.vlp");
    if (File.endsWith(u".apr"_s)) {
        Legacy::TVeltrane L;
        const bool Ok = ReadLegacyFile(File, L).Ok;
        TVeltraneProject P;
        P.ConvertLegacy(L);
        QCOMPARE(Ok, ExpectOk);
    } else {
        TVeltraneProject P;
        P.ProgramVersion = {2, 7, 5};
        QCOMPARE(P.LoadFromFile(File) == lrLoaded, ExpectOk);
    }
}

QTEST_GUILESS_MAIN(TestFuzzFindings)
#include "tst_fuzzfindings.moc"
