#include "version/VersionInfo.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TVersionInfoTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void ProgramVersion();
    void VersionFromSource_data();
    void VersionFromSource();
    void OSName_data();
    void OSName();
};

void TVersionInfoTest::cleanup()
{
    SetVersionSource({});
}

void TVersionInfoTest::ProgramVersion()
{
    TVersionInfo Info;
    Info.Major = 9;
    Info.Text = u"stale"_s;
    GetVersionInfo(Info);
    QCOMPARE(Info.Major, quint16(2));
    QCOMPARE(Info.Minor, quint16(7));
    QCOMPARE(Info.Release, quint16(5));
    QCOMPARE(Info.Build, quint16(31225));
    QCOMPARE(Info.Text, u"2.7.5 build 31225"_s);
}

void TVersionInfoTest::VersionFromSource_data()
{
    QTest::addColumn<bool>("HasVersion");
    QTest::addColumn<int>("Major");
    QTest::addColumn<int>("Minor");
    QTest::addColumn<int>("Release");
    QTest::addColumn<int>("Build");
    QTest::addColumn<QString>("Text");

    QTest::newRow("no version") << false << 0 << 0 << 0 << 0 << u"n/a"_s;
    QTest::newRow("zeros") << true << 0 << 0 << 0 << 0 << u"0.0.0 build 0"_s;
    QTest::newRow("largest") << true << 65535 << 65535 << 65535 << 65535
                             << u"65535.65535.65535 build 65535"_s;
    QTest::newRow("ordinary") << true << 3 << 1 << 12 << 400 << u"3.1.12 build 400"_s;
}

void TVersionInfoTest::VersionFromSource()
{
    QFETCH(bool, HasVersion);
    QFETCH(int, Major);
    QFETCH(int, Minor);
    QFETCH(int, Release);
    QFETCH(int, Build);
    QFETCH(QString, Text);

    const auto N = [](int V) { return static_cast<quint16>(V); };
    std::optional<TFileVersion> Version;
    if (HasVersion) {
        Version = TFileVersion{N(Major), N(Minor), N(Release), N(Build)};
    }
    SetVersionSource([Version] { return Version; });

    // Every field is cleared first, also when there is no version.
    TVersionInfo Info{7, 7, 7, 7, u"old"_s};
    GetVersionInfo(Info);
    QCOMPARE(Info.Major, N(Major));
    QCOMPARE(Info.Minor, N(Minor));
    QCOMPARE(Info.Release, N(Release));
    QCOMPARE(Info.Build, N(Build));
    QCOMPARE(Info.Text, Text);
}

void TVersionInfoTest::OSName_data()
{
    QTest::addColumn<bool>("Queried");
    QTest::addColumn<uint>("PlatformId");
    QTest::addColumn<uint>("Major");
    QTest::addColumn<uint>("Minor");
    QTest::addColumn<uint>("Build");
    QTest::addColumn<QString>("ServicePack");
    QTest::addColumn<QString>("Expected");

    const auto Row = [](const char* Name, uint Platform, uint Major, uint Minor, uint Build,
                        const QString& Sp, const QString& Expected) {
        QTest::newRow(Name) << true << Platform << Major << Minor << Build << Sp << Expected;
    };
    // The 95 family keeps only the low word of its build number.
    Row("95", 1, 4, 0, 0x040003B6, {}, u"Windows 95 4.0 (Build 950)"_s);
    Row("95 OSR2", 1, 4, 0, 0x04000457, u" B"_s, u"Windows 95 4.0 (Build 1111  B)"_s);
    Row("98", 1, 4, 10, 0x040A07CE, {}, u"Windows 98 4.10 (Build 1998)"_s);
    Row("98 SE", 1, 4, 10, 0x040A08AE, u" A "_s, u"Windows 98 SE 4.10 (Build 2222  A )"_s);
    Row("98 with A first", 1, 4, 10, 1998, u"A"_s, u"Windows 98 4.10 (Build 1998 A)"_s);
    Row("98 with small a", 1, 4, 10, 2222, u" a "_s, u"Windows 98 4.10 (Build 2222  a )"_s);
    Row("ME", 1, 4, 90, 0x045A0BB8, {}, u"Windows ME 4.90 (Build 3000)"_s);
    Row("95 family other minor", 1, 4, 3, 100, {}, u"Windows 9x 4.3 (Build 100)"_s);
    Row("95 family other major", 1, 5, 0, 100, {}, u"Windows 9x 5.0 (Build 100)"_s);
    Row("NT 4", 2, 4, 0, 1381, u"Service Pack 6"_s, u"Windows NT 4.0 (Build 1381 Service Pack 6)"_s);
    Row("2000", 2, 5, 0, 2195, {}, u"Windows 2000 5.0 (Build 2195)"_s);
    Row("XP SP2", 2, 5, 1, 2600, u"Service Pack 2"_s, u"Windows XP 5.1 (Build 2600 Service Pack 2)"_s);
    Row("2003", 2, 5, 2, 3790, {}, u"Windows 2003 Server 5.2 (Build 3790)"_s);
    Row("NT 5 other minor", 2, 5, 3, 4000, {}, u"Windows NT Generation 5.3 (Build 4000)"_s);
    Row("Vista", 2, 6, 0, 6002, u"Service Pack 2"_s, u"Windows Vista 6.0 (Build 6002 Service Pack 2)"_s);
    Row("7", 2, 6, 1, 7601, u"Service Pack 1"_s, u"Windows NT Generation 6.1 (Build 7601 Service Pack 1)"_s);
    Row("8 as reported", 2, 6, 2, 9200, {}, u"Windows NT Generation 6.2 (Build 9200)"_s);
    Row("10", 2, 10, 0, 19045, {}, u"Windows NT Generation 10.0 (Build 19045)"_s);
    Row("NT 3.51", 2, 3, 51, 1057, {}, u"Windows NT Generation 3.51 (Build 1057)"_s);
    Row("NT build keeps its high word", 2, 5, 1, 0x00012600, {}, u"Windows XP 5.1 (Build 75264)"_s);
    Row("Win32s", 0, 1, 30, 100, {}, u"Unknown Operating System"_s);
    Row("CE", 3, 5, 0, 100, u"x"_s, u"Unknown Operating System"_s);
    const QString Long(200, u'x');
    const QString Kept(128, u'x');
    const QString LongExpected = u"Windows XP 5.1 (Build 2600 "_s + Kept + u")"_s;
    Row("service pack cut at 128", 2, 5, 1, 2600, Long, LongExpected);
    // A failed query still builds the line, from the build number known at start.
    QTest::newRow("query failed") << false << 0u << 0u << 0u << 2600u << QString() << u" 0.0 (Build 2600)"_s;
}

void TVersionInfoTest::OSName()
{
    QFETCH(bool, Queried);
    QFETCH(uint, PlatformId);
    QFETCH(uint, Major);
    QFETCH(uint, Minor);
    QFETCH(uint, Build);
    QFETCH(QString, ServicePack);
    QFETCH(QString, Expected);

    std::optional<TOSVersion> Version;
    if (Queried) {
        Version = TOSVersion{PlatformId, Major, Minor, Build, ServicePack};
    }
    QCOMPARE(GetOSName(Version, Build), Expected);
}

QTEST_GUILESS_MAIN(TVersionInfoTest)
#include "tst_versioninfo.moc"
