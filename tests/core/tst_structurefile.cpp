// Loading structure files: the header, the version comparison, the five result codes and what each
// leaves in the project; cuts of a valid file at every length.

#include "StreamBuilder.h"
#include "model/ComponentWriter.h"
#include "model/LegacyModel.h"
#include "model/StructureFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

class TestStructureFile : public QObject
{
    Q_OBJECT

private slots:
    void signature();
    void splitVersion();
    void versions_data();
    void versions();
    void missingOrUnreadableFile();
    void wrongSignatureTouchesOnlySignature();
    void headerOnlyIsReadError();
    void everyCutFails();
    void everyCutOfTheFullFixtureFails();
    void largeFileReadInChunks();
    void legacyFlagClearedOnEveryPath();
    void legacyFileReading();

private:
    QString Write(const QString& Name, const QByteArray& Bytes);
    static TStreamBuilder SmallProject();
    QTemporaryDir FDir;
};

QString TestStructureFile::Write(const QString& Name, const QByteArray& Bytes)
{
    const QString Path = FDir.filePath(Name);
    QFile F(Path);
    if (!F.open(QIODevice::WriteOnly | QIODevice::Truncate) || F.write(Bytes) != Bytes.size())
        qFatal("cannot write fixture");
    return Path;
}

TStreamBuilder TestStructureFile::SmallProject()
{
    TStreamBuilder B;
    B.Begin().Prop("Title").Str("Demo").Prop("SplashScreen.ShowTime").Int8(5);
    B.Prop("Sections").Collection().Item().Prop("Name").Str("S").Prop("Description").WStr(u"Текст"_s);
    B.EndList().EndList().End();
    return B;
}

void TestStructureFile::signature()
{
    QCOMPARE(ComputeSignature(u"VLND_v3"_s), StructureFile::Signature);
    QCOMPARE(StructureFile::Signature, 867678689511851LL);
    const QByteArray Head = SmallProject().File().left(8);
    QCOMPARE(Head, QByteArray::fromHex("AB49113026150300"));
    // Too many digits for a 64-bit integer: the signature is 0.
    QCOMPARE(ComputeSignature(u"VLND_v3VLND_v3"_s), 0);
    QCOMPARE(ComputeSignature(QString()), 0);
}

void TestStructureFile::splitVersion()
{
    const TProgramVersion V = SplitVersion(0x02070513);
    QCOMPARE(V.Major, 2);
    QCOMPARE(V.Minor, 7);
    QCOMPARE(V.Release, 5);
}

void TestStructureFile::versions_data()
{
    QTest::addColumn<quint32>("Version");
    QTest::addColumn<int>("Result");
    QTest::newRow("same") << PackVersion(2, 7, 5) << 0;
    QTest::newRow("newer release") << PackVersion(2, 7, 6) << 256;
    QTest::newRow("older minor, higher release") << PackVersion(2, 6, 9) << 0;
    QTest::newRow("newer major") << PackVersion(3, 0, 0) << 256;
    QTest::newRow("older major, high minor") << PackVersion(1, 99, 99) << 0;
    QTest::newRow("newer minor") << PackVersion(2, 8, 0) << 256;
    QTest::newRow("low byte ignored") << (PackVersion(2, 7, 5) | 0xFF) << 0;
    QTest::newRow("all zero") << 0u << 0;
    QTest::newRow("all ones") << 0xFFFFFFFFu << 256;
}

void TestStructureFile::versions()
{
    QFETCH(quint32, Version);
    QFETCH(int, Result);
    QByteArray Bytes = SmallProject().File(Version);
    Bytes.replace(12, 4, "\xde\xad\xbe\xef"); // reserved bytes may hold anything
    const QString Path = Write(u"v.vlp"_s, Bytes);

    TVeltraneProject P;
    P.ProgramVersion = {2, 7, 5};
    QCOMPARE(P.LoadFromFile(Path), Result);
    QCOMPARE(P.FileVersion, Version);
    QCOMPARE(P.Signature, StructureFile::Signature);
    // A newer file is not read at all.
    QCOMPARE(P.Title, Result == 0 ? u"Demo"_s : QString());
    QCOMPARE(P.SplashScreen.ShowTime, Result == 0 ? 5 : 3);
}

void TestStructureFile::missingOrUnreadableFile()
{
    TVeltraneProject P;
    P.Title = u"untouched"_s;
    P.LegacyFlag = true;
    QCOMPARE(P.LoadFromFile(FDir.filePath(u"missing.vlp"_s)), 1280);
    QCOMPARE(P.LoadFromFile(FDir.path()), 1280); // a folder
    QCOMPARE(P.Title, u"untouched"_s);
    QCOMPARE(P.Signature, 0);
    QVERIFY(P.LegacyFlag); // nothing was done

    if (::geteuid() != 0) { // root reads any file
        const QString Locked = Write(u"locked.vlp"_s, SmallProject().File());
        QFile::setPermissions(Locked, QFileDevice::WriteOwner);
        QCOMPARE(P.LoadFromFile(Locked), 1280);
    }
}

void TestStructureFile::wrongSignatureTouchesOnlySignature()
{
    TVeltraneProject P;
    P.Title = u"untouched"_s;
    P.FileVersion = 0x01020300;
    QByteArray Bytes = SmallProject().File();
    Bytes[0] = '\xAC';
    QCOMPARE(P.LoadFromFile(Write(u"sig.vlp"_s, Bytes)), 1024);
    QCOMPARE(P.Signature, StructureFile::Signature);
    QCOMPARE(P.Title, u"untouched"_s);
    QCOMPARE(P.FileVersion, 0x01020300u);

    // A legacy stream given under another extension has no header.
    QCOMPARE(P.LoadFromFile(Write(u"legacy.vlp"_s, SmallProject().Bytes)), 1024);
}

void TestStructureFile::headerOnlyIsReadError()
{
    TVeltraneProject P;
    P.ProgramVersion = {2, 7, 5};
    const QByteArray Header = SmallProject().File().left(16);
    QCOMPARE(P.LoadFromFile(Write(u"header.vlp"_s, Header)), 768);
    QVERIFY(!P.LastError.isEmpty());
}

void TestStructureFile::everyCutFails()
{
    const QByteArray Whole = SmallProject().File();
    {
        TVeltraneProject P;
        P.ProgramVersion = {2, 7, 5};
        QCOMPARE(P.LoadFromFile(Write(u"whole.vlp"_s, Whole)), 0);
    }
    for (qsizetype N = 0; N < Whole.size(); ++N) {
        TVeltraneProject P;
        P.ProgramVersion = {2, 7, 5};
        const int R = P.LoadFromFile(Write(u"cut.vlp"_s, Whole.left(N)));
        if (R != (N < 8 ? 1024 : 768))
            QFAIL(qPrintable(u"cut at %1 gave %2"_s.arg(N).arg(R)));
    }
}

void TestStructureFile::everyCutOfTheFullFixtureFails()
{
    // The fixture that sets every property: each cut of its stream must be refused, never half-read
    // as success.
    QFile F(QStringLiteral(AUTORUN_TEST_BUILD_DATA_DIR "/model/full.vlp"));
    QVERIFY2(F.open(QIODevice::ReadOnly), "full.vlp is compiled by the build");
    const QByteArray Whole = F.readAll();
    const QByteArrayView Stream = QByteArrayView(Whole).sliced(StructureFile::HeaderSize);
    {
        TVeltraneProject P;
        QVERIFY(ReadComponent(Stream, P).Ok);
    }
    for (qsizetype N = 0; N < Stream.size(); ++N) {
        TVeltraneProject P;
        if (ReadComponent(Stream.first(N), P).Ok)
            QFAIL(qPrintable(u"cut at %1 was read"_s.arg(N)));
    }

    // The same for the legacy fixture, whose cuts are still converted afterwards.
    QFile L(QStringLiteral(AUTORUN_TEST_BUILD_DATA_DIR "/legacy/full.apr"));
    QVERIFY(L.open(QIODevice::ReadOnly));
    const QByteArray Legacy = L.readAll();
    for (qsizetype N = 0; N < Legacy.size(); ++N) {
        Legacy::TVeltrane V;
        if (ReadComponent(QByteArrayView(Legacy).first(N), V).Ok)
            QFAIL(qPrintable(u"legacy cut at %1 was read"_s.arg(N)));
        TVeltraneProject P;
        P.ConvertLegacy(V);
    }
}

void TestStructureFile::largeFileReadInChunks()
{
    // Several times the reader's chunk, with a text longer than a chunk and values across every chunk
    // boundary: the file reads to what its stream read from memory gives.
    TVeltraneProject Source;
    Source.Title = u"Большой диск"_s;
    for (int S = 0; S < 3; ++S) {
        TSection& Section = Source.Sections.Add();
        Section.Name = u"Раздел %1"_s.arg(S);
        Section.Description = QString(S == 1 ? 700000 : 100, QChar(u'ж' + S));
        for (int I = 0; I < 1500; ++I) {
            TItem& Item = Section.SItems.Add();
            Item.Name = u"Программа %1.%2"_s.arg(S).arg(I);
            Item.Description = QString(I % 997, QChar(u'a' + I % 26));
            Item.ImageDefault = I;
        }
    }
    QByteArray File;
    QString Error;
    QVERIFY2(WriteStructureFile(Source, PackVersion(2, 7, 5), File, &Error), qPrintable(Error));
    QVERIFY(File.size() > 3 * 512 * 1024);
    TVeltraneProject FromFile;
    FromFile.ProgramVersion = {2, 7, 5};
    QCOMPARE(FromFile.LoadFromFile(Write(u"large.vlp"_s, File)), 0);
    TVeltraneProject FromMemory;
    QVERIFY(ReadComponent(QByteArrayView(File).sliced(StructureFile::HeaderSize), FromMemory).Ok);
    QByteArray A, B;
    QVERIFY(WriteComponent(FromFile, A));
    QVERIFY(WriteComponent(FromMemory, B));
    QCOMPARE(A, B);
    QCOMPARE(FromFile.Sections.Items(1).Description, Source.Sections.Items(1).Description);
    QCOMPARE(FromFile.Sections.Items(2).SItems.Items(1499).Name, u"Программа 2.1499"_s);
    // Cut at a chunk's end, inside the long text, one byte short: refused.
    for (const qsizetype N :
         {qsizetype(16 + 512 * 1024), qsizetype(16 + 512 * 1024 + 1), qsizetype(1000000), File.size() - 1}) {
        TVeltraneProject P;
        P.ProgramVersion = {2, 7, 5};
        QCOMPARE(P.LoadFromFile(Write(u"cut.vlp"_s, File.left(N))), 768);
    }
}

void TestStructureFile::legacyFlagClearedOnEveryPath()
{
    const QList<QByteArray> Files = {SmallProject().File(), SmallProject().File(PackVersion(9, 0, 0)),
                                     QByteArray("garbage"), SmallProject().File().left(20)};
    for (const QByteArray& Bytes : Files) {
        TVeltraneProject P;
        P.LegacyFlag = true;
        P.LoadFromFile(Write(u"flag.vlp"_s, Bytes));
        QVERIFY(!P.LegacyFlag);
    }
}

void TestStructureFile::legacyFileReading()
{
    TStreamBuilder B;
    B.Begin("TVeltrane", "Veltrane1").Prop("ProjectPath").Str("D:\\Proj").Prop("SplashTime").Int8(-2);
    B.Prop("UserInfo.Name").Str("Ann").Prop("Sections").Collection().Item().Prop("SectionName").Str("S");
    B.Prop("SItems").Collection().Item().Prop("ItemName").Str("I").Prop("CopyMode").Int8(2);
    B.Prop("Files").Collection().Item().Prop("ItemFile").Str("a.exe").Prop("FileType").Ident("ftExecutable");
    B.Prop("FileExectType.FileExecutingType").Ident("etInstallApp").EndList().EndList();
    B.EndList().EndList().EndList().EndList().End();
    const QString Path = Write(u"old.apr"_s, B.Bytes);

    Legacy::TVeltrane L;
    bool Opened = false;
    const TStreamReadResult R = ReadLegacyFile(Path, L, &Opened);
    QVERIFY2(R.Ok, qPrintable(R.Error));
    QVERIFY(Opened);
    QCOMPARE(L.Name, u"Veltrane1"_s);
    QCOMPARE(L.ProjectPath, u"D:\\Proj"_s);
    QCOMPARE(L.SplashTime, -2);
    QCOMPARE(L.UserInfo.Name, u"Ann"_s);
    const Legacy::TItemStruct& Item = L.Sections.Items(0).SItems.Items(0);
    QCOMPARE(Item.CopyMode, 2);
    QCOMPARE(Item.Files.Items(0).FileType, Legacy::ftExecutable);
    QCOMPARE(Item.Files.Items(0).FileExectType.FileExecutingType, Legacy::etInstallApp);

    // The read-only ID is not carried by the stream: a stream that holds it fails.
    TStreamBuilder WithId;
    WithId.Begin("TVeltrane", "V").Prop("ID").Int8(5).End();
    Legacy::TVeltrane L2;
    QVERIFY(!ReadLegacyFile(Write(u"id.apr"_s, WithId.Bytes), L2).Ok);

    Legacy::TVeltrane L3;
    QVERIFY(!ReadLegacyFile(FDir.filePath(u"none.apr"_s), L3, &Opened).Ok);
    QVERIFY(!Opened);
}

QTEST_GUILESS_MAIN(TestStructureFile)
#include "tst_structurefile.moc"
