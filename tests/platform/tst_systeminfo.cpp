#include "SystemInfo.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TSystemInfoTest : public QObject
{
    Q_OBJECT

private slots:
    void OsReleaseNames_data();
    void OsReleaseNames();
    void Kernel_data();
    void Kernel();
    void DescriptionLine_data();
    void DescriptionLine();
    void Memory_data();
    void Memory();
    void RunningSystem();
};

void TSystemInfoTest::OsReleaseNames_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<QString>("Name");

    QTest::newRow("Debian") << u"PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\n"
                               u"VERSION_ID=\"12\"\nVERSION=\"12 (bookworm)\"\nID=debian\n"_s
                            << u"Debian GNU/Linux 12 (bookworm)"_s;
    QTest::newRow("unquoted") << u"NAME=Fedora\nPRETTY_NAME=Fedora Linux 39\n"_s << u"Fedora Linux 39"_s;
    QTest::newRow("single quotes") << u"PRETTY_NAME='Arch Linux'\n"_s << u"Arch Linux"_s;
    QTest::newRow("escapes in double quotes")
        << u"PRETTY_NAME=\"Say \\\"hi\\\" \\\\ \\$HOME\"\n"_s << u"Say \"hi\" \\ $HOME"_s;
    QTest::newRow("single quotes keep backslashes") << u"PRETTY_NAME='a\\b'\n"_s << u"a\\b"_s;
    QTest::newRow("CR LF, comments, blanks")
        << u"# generated\r\n\r\n  PRETTY_NAME=\"Mint 21\"  \r\n"_s << u"Mint 21"_s;
    QTest::newRow("name and version")
        << u"NAME=\"Alpine Linux\"\nVERSION=\"3.19\"\n"_s << u"Alpine Linux 3.19"_s;
    QTest::newRow("name alone") << u"NAME=Gentoo\n"_s << u"Gentoo"_s;
    QTest::newRow("empty pretty name") << u"PRETTY_NAME=\"\"\nNAME=Void\n"_s << u"Void"_s;
    QTest::newRow("similar keys") << u"XPRETTY_NAME=x\nPRETTY_NAME_X=y\nNAME=Real\n"_s << u"Real"_s;
    QTest::newRow("unterminated quote") << u"PRETTY_NAME=\"Open end\n"_s << u"Open end"_s;
    QTest::newRow("nothing") << QString() << QString();
    QTest::newRow("garbage") << u"=\n==\nno equals\n"_s << QString();
}

void TSystemInfoTest::OsReleaseNames()
{
    QFETCH(QString, Text);
    QFETCH(QString, Name);
    QCOMPARE(OsReleaseName(Text), Name);
}

void TSystemInfoTest::Kernel_data()
{
    QTest::addColumn<QString>("Release");
    QTest::addColumn<QString>("Version");

    QTest::newRow("Debian") << u"6.1.0-18-amd64"_s << u"6.1.0"_s;
    QTest::newRow("plain") << u"6.18.44"_s << u"6.18.44"_s;
    QTest::newRow("suffix without dash") << u"6.18.44fc"_s << u"6.18.44"_s;
    QTest::newRow("rc") << u"6.9.0-rc3+"_s << u"6.9.0"_s;
    QTest::newRow("trailing point") << u"5.10.-x"_s << u"5.10"_s;
    QTest::newRow("no number") << u"custom"_s << u"custom"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TSystemInfoTest::Kernel()
{
    QFETCH(QString, Release);
    QFETCH(QString, Version);
    QCOMPARE(KernelVersion(Release), Version);
}

void TSystemInfoTest::DescriptionLine_data()
{
    QTest::addColumn<QString>("OsRelease");
    QTest::addColumn<QString>("Kernel");
    QTest::addColumn<QString>("Line");

    QTest::newRow("Debian") << u"PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"_s << u"6.1.0-18-amd64"_s
                            << u"Debian GNU/Linux 12 (bookworm), kernel 6.1.0"_s;
    QTest::newRow("no os-release") << QString() << u"6.1.0-18-amd64"_s << u"Linux, kernel 6.1.0"_s;
    QTest::newRow("no kernel") << u"NAME=Gentoo\n"_s << QString() << u"Gentoo"_s;
    QTest::newRow("nothing") << QString() << QString() << u"Linux"_s;
}

void TSystemInfoTest::DescriptionLine()
{
    QFETCH(QString, OsRelease);
    QFETCH(QString, Kernel);
    QFETCH(QString, Line);
    QCOMPARE(LinuxOSDescription(OsRelease, Kernel), Line);
}

void TSystemInfoTest::Memory_data()
{
    QTest::addColumn<QLocale>("Locale");
    QTest::addColumn<qulonglong>("KB");
    QTest::addColumn<QString>("Text");

    const QLocale English(QLocale::English, QLocale::UnitedStates);
    const QLocale Russian(QLocale::Russian, QLocale::Russia);
    const QLocale German(QLocale::German, QLocale::Germany);

    QTest::newRow("512 MB, comma") << English << 524288ull << u"Memory:  524,288 KB"_s;
    QTest::newRow("512 MB, Russian") << Russian << 524288ull << u"Memory:  524\u00A0288 KB"_s;
    QTest::newRow("512 MB, German") << German << 524288ull << u"Memory:  524.288 KB"_s;
    QTest::newRow("C locale still groups") << QLocale::c() << 524288ull << u"Memory:  524,288 KB"_s;
    // No 4 GB ceiling.
    QTest::newRow("4 GB") << English << 4194304ull << u"Memory:  4,194,304 KB"_s;
    QTest::newRow("64 GB") << English << 67108864ull << u"Memory:  67,108,864 KB"_s;
    QTest::newRow("below a thousand") << English << 999ull << u"Memory:  999 KB"_s;
    QTest::newRow("a thousand") << English << 1000ull << u"Memory:  1,000 KB"_s;
    // The number pattern shows no digit at all for zero.
    QTest::newRow("zero") << English << 0ull << u"Memory:   KB"_s;
}

void TSystemInfoTest::Memory()
{
    QFETCH(QLocale, Locale);
    QFETCH(qulonglong, KB);
    QFETCH(QString, Text);
    QCOMPARE(MemoryText(KB, Locale), Text);
}

void TSystemInfoTest::RunningSystem()
{
    // The machine's own values: present and plausible, whatever they are.
    QVERIFY(GetTotalPhysicalMemoryKB() > 1024);
    const QString Line = GetOSDescription();
    QVERIFY(!Line.isEmpty());
    QVERIFY2(Line.contains(u", kernel "_s), qPrintable(Line));
}

QTEST_GUILESS_MAIN(TSystemInfoTest)
#include "tst_systeminfo.moc"
