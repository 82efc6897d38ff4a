#include "config/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TIniFileTest : public QObject
{
    Q_OBJECT

private slots:
    void ReadString_data();
    void ReadString();
    void Integers_data();
    void Integers();
    void Booleans_data();
    void Booleans();
    void ListsKeepFileOrder();
    void LongFileIsCutAtALineBreak();
    void FileThroughNativePath();
    void MissingFileIsEmpty();
};

void TIniFileTest::ReadString_data()
{
    QTest::addColumn<QByteArray>("Content");
    QTest::addColumn<QString>("Section");
    QTest::addColumn<QString>("Key");
    QTest::addColumn<QString>("Expected");

    const QString Def = u"<default>"_s;
    const auto Row = [](const char* Name, const QByteArray& Content, const QString& Section,
                        const QString& Key, const QString& Expected) {
        QTest::newRow(Name) << Content << Section << Key << Expected;
    };

    Row("plain", "[Options]\nKey=Value\n", u"Options"_s, u"Key"_s, u"Value"_s);
    Row("section case", "[OPTIONS]\nKey=Value\n", u"options"_s, u"Key"_s, u"Value"_s);
    Row("key case", "[Options]\nKEY=Value\n", u"Options"_s, u"key"_s, u"Value"_s);
    Row("Cyrillic names without case", "[\xD0\xE0\xE7\xE4\xE5\xEB]\n\xCA\xEB\xFE\xF7=1\n", u"раздел"_s,
        u"КЛЮЧ"_s, u"1"_s);
    Row("blanks around", "  [ Options ]  \n  Key  =   Value with blanks  \t\n", u"Options"_s, u"Key"_s,
        u"Value with blanks"_s);
    Row("value holds equals", "[S]\nKey = a = b\n", u"S"_s, u"Key"_s, u"a = b"_s);
    Row("quotes kept", "[S]\nKey=\"quoted\"\n", u"S"_s, u"Key"_s, u"\"quoted\""_s);
    Row("semicolon inside a value", "[S]\nKey=a;b\n", u"S"_s, u"Key"_s, u"a;b"_s);
    Row("empty value is not the default", "[S]\nKey=\n", u"S"_s, u"Key"_s, QString());
    Row("missing key", "[S]\nOther=1\n", u"S"_s, u"Key"_s, Def);
    Row("missing section", "[T]\nKey=1\n", u"S"_s, u"Key"_s, Def);
    Row("first key wins", "[S]\nKey=first\nkey=second\n", u"S"_s, u"Key"_s, u"first"_s);
    Row("first section wins", "[S]\nKey=first\n[s]\nKey=second\n", u"S"_s, u"Key"_s, u"first"_s);
    Row("repeated section adds keys", "[S]\nA=1\n[T]\nB=2\n[S]\nKey=later\n", u"S"_s, u"Key"_s, u"later"_s);
    Row("comment line", "[S]\n;Key=commented\n  ; Key=also\nKey=real\n", u"S"_s, u"Key"_s, u"real"_s);
    Row("key before any section", "Key=orphan\n[S]\n", u"S"_s, u"Key"_s, Def);
    Row("line without equals", "[S]\nKey\nKey2=x\n", u"S"_s, u"Key"_s, Def);
    Row("section without closing bracket", "[S\nKey=1\n", u"S"_s, u"Key"_s, u"1"_s);
    Row("CR LF", "[S]\r\nA=1\r\nKey=crlf\r\n", u"S"_s, u"Key"_s, u"crlf"_s);
    Row("CR alone", "[S]\rA=1\rKey=cr\r", u"S"_s, u"Key"_s, u"cr"_s);
    Row("no final line break", "[S]\nKey=last", u"S"_s, u"Key"_s, u"last"_s);
    Row("Windows-1251", "[S]\nKey=\xCF\xF0\xE8\xE2\xE5\xF2 \xB8\n", u"S"_s, u"Key"_s, u"Привет ё"_s);
    Row("UTF-8 with mark", "\xEF\xBB\xBF[S]\nKey=\xD0\x9F\xD1\x80\xD0\xB8\n", u"S"_s, u"Key"_s, u"При"_s);
    Row("UTF-16 with mark", QByteArray("\xFF\xFE[\0S\0]\0\n\0K\0e\0y\0=\0\x1F\x04\n\0", 22), u"S"_s, u"Key"_s,
        u"П"_s);
    Row("UTF-16BE with mark", QByteArray("\xFE\xFF\0[\0S\0]\0\n\0K\0e\0y\0=\x04\x1F\0\n", 22), u"S"_s, u"Key"_s,
        u"П"_s);
}

void TIniFileTest::ReadString()
{
    QFETCH(QByteArray, Content);
    QFETCH(QString, Section);
    QFETCH(QString, Key);
    QFETCH(QString, Expected);

    TIniFile Ini;
    Ini.LoadFromBytes(Content);
    QCOMPARE(Ini.ReadString(Section, Key, u"<default>"_s), Expected);
    QCOMPARE(Ini.ValueExists(Section, Key), Expected != u"<default>");
}

void TIniFileTest::Integers_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<bool>("Ok");
    QTest::addColumn<int>("Value");

    QTest::newRow("zero") << u"0"_s << true << 0;
    QTest::newRow("decimal") << u"42"_s << true << 42;
    QTest::newRow("negative") << u"-17"_s << true << -17;
    QTest::newRow("plus") << u"+5"_s << true << 5;
    QTest::newRow("leading blanks") << u"  7"_s << true << 7;
    QTest::newRow("dollar hex") << u"$FF"_s << true << 255;
    QTest::newRow("dollar hex lower") << u"$d9a37b"_s << true << 0xD9A37B;
    QTest::newRow("0x hex") << u"0x1F"_s << true << 31;
    QTest::newRow("0X hex") << u"0X1f"_s << true << 31;
    QTest::newRow("negative hex") << u"-$10"_s << true << -16;
    QTest::newRow("hex all 32 bits") << u"$FFFFFFFF"_s << true << -1;
    QTest::newRow("largest") << u"2147483647"_s << true << 2147483647;
    QTest::newRow("smallest") << u"-2147483648"_s << true << int(-2147483647 - 1);
    QTest::newRow("decimal overflow") << u"2147483648"_s << false << 0;
    QTest::newRow("hex overflow") << u"$100000000"_s << false << 0;
    QTest::newRow("long digits") << u"99999999999999999999999"_s << false << 0;
    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("dollar alone") << u"$"_s << false << 0;
    QTest::newRow("0x alone") << u"0x"_s << false << 0;
    QTest::newRow("sign alone") << u"-"_s << false << 0;
    QTest::newRow("trailing letter") << u"12a"_s << false << 0;
    QTest::newRow("trailing blank") << u"7 "_s << false << 0;
    QTest::newRow("inner blank") << u"1 2"_s << false << 0;
    QTest::newRow("word") << u"yes"_s << false << 0;
    QTest::newRow("exponent") << u"1e3"_s << false << 0;
    QTest::newRow("hex digits without prefix") << u"ff"_s << false << 0;
    QTest::newRow("sign after dollar") << u"$-5"_s << false << 0;
    QTest::newRow("other script digits") << u"٣"_s << false << 0;
}

void TIniFileTest::Integers()
{
    QFETCH(QString, Text);
    QFETCH(bool, Ok);
    QFETCH(int, Value);

    qint32 Read = 12345;
    QCOMPARE(TryStrToInt(Text, Read), Ok);
    if (Ok) {
        QCOMPARE(Read, Value);
    }
    QCOMPARE(StrToIntDef(Text, -99), Ok ? Value : -99);

    // In a file the value is trimmed first, so a trailing blank does no harm there.
    TIniFile Ini;
    Ini.LoadFromText(QString(u"[S]\nKey="_s + Text));
    QCOMPARE(Ini.ReadInteger(u"S", u"Key", -99), StrToIntDef(Text.trimmed(), -99));
}

void TIniFileTest::Booleans_data()
{
    QTest::addColumn<QString>("Line");
    QTest::addColumn<bool>("Default");
    QTest::addColumn<bool>("Expected");

    QTest::newRow("0") << u"Key=0"_s << true << false;
    QTest::newRow("1") << u"Key=1"_s << false << true;
    QTest::newRow("2") << u"Key=2"_s << false << true;
    QTest::newRow("-1") << u"Key=-1"_s << false << true;
    QTest::newRow("hex zero") << u"Key=$0"_s << true << false;
    QTest::newRow("hex") << u"Key=0x10"_s << false << true;
    QTest::newRow("yes gives default") << u"Key=yes"_s << false << false;
    QTest::newRow("true gives default") << u"Key=true"_s << false << false;
    QTest::newRow("false gives default") << u"Key=false"_s << true << true;
    QTest::newRow("empty gives default") << u"Key="_s << true << true;
    QTest::newRow("missing gives default") << u"Other=0"_s << true << true;
}

void TIniFileTest::Booleans()
{
    QFETCH(QString, Line);
    QFETCH(bool, Default);
    QFETCH(bool, Expected);

    TIniFile Ini;
    Ini.LoadFromText(QString(u"[S]\n"_s + Line));
    QCOMPARE(Ini.ReadBool(u"S", u"Key", Default), Expected);
}

void TIniFileTest::ListsKeepFileOrder()
{
    TIniFile Ini;
    Ini.LoadFromBytes("[Main]\nZeta=1\nalpha=2\nZETA=3\n[Other]\nX=1\n[main]\nBeta=4\n");
    QCOMPARE(Ini.ReadSections(), (QStringList{u"Main"_s, u"Other"_s}));
    QCOMPARE(Ini.ReadSection(u"MAIN"), (QStringList{u"Zeta"_s, u"alpha"_s, u"Beta"_s}));
    const QList<TIniValue> Values = Ini.ReadSectionValues(u"main");
    QCOMPARE(Values.size(), 3);
    QCOMPARE(Values[0], TIniValue(u"Zeta"_s, u"1"_s));
    QCOMPARE(Values[2], TIniValue(u"Beta"_s, u"4"_s));
    QVERIFY(Ini.SectionExists(u"other"));
    QVERIFY(!Ini.SectionExists(u"none"));
    QVERIFY(Ini.ReadSection(u"none").isEmpty());
}

void TIniFileTest::LongFileIsCutAtALineBreak()
{
    // A value runs across the read limit: it is dropped rather than read cut short, and nothing after
    // the limit is read.
    QByteArray Content = "[S]\nFirst=1\n";
    const QByteArray Filler(100, 'x');
    while (Content.size() < MaxIniFileSize - 50) {
        Content += ';' + Filler + '\n';
    }
    Content += "Cut=" + QByteArray(100, 'v') + '\n';
    Content += "After=1\n";
    QVERIFY(Content.size() > MaxIniFileSize);

    TIniFile Ini;
    Ini.LoadFromBytes(Content);
    QCOMPARE(Ini.ReadString(u"S", u"First", {}), u"1"_s);
    QVERIFY(!Ini.ValueExists(u"S", u"Cut"));
    QVERIFY(!Ini.ValueExists(u"S", u"After"));

    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    QFile File(Dir.filePath(u"big.ini"_s));
    QVERIFY(File.open(QIODevice::WriteOnly));
    QCOMPARE(File.write(Content), Content.size());
    File.close();
    QVERIFY(Ini.LoadFromFile(File.fileName()));
    QCOMPARE(Ini.ReadString(u"S", u"First", {}), u"1"_s);
    QVERIFY(!Ini.ValueExists(u"S", u"Cut"));
}

void TIniFileTest::FileThroughNativePath()
{
    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    QVERIFY(QDir(Dir.path()).mkpath(u"Shell"_s));
    QFile File(Dir.filePath(u"Shell/shell.ini"_s));
    QVERIFY(File.open(QIODevice::WriteOnly));
    File.write("[Options]\r\nProjectName=\xEF\xF0\xEE\xE5\xEA\xF2.vlp\r\n");
    File.close();

    // The path as the program builds it: backslashes, and a case the disc author may not have used.
    const QString Written = Dir.path() + u"\\SHELL\\Shell.ini"_s;
    TIniFile Ini;
    QVERIFY(Ini.LoadFromFile(Written));
    QCOMPARE(Ini.ReadString(u"Options", u"ProjectName", {}), u"проект.vlp"_s);
}

void TIniFileTest::MissingFileIsEmpty()
{
    TIniFile Ini;
    Ini.LoadFromBytes("[S]\nKey=1\n");
    QVERIFY(!Ini.LoadFromFile(u"/nonexistent/folder/shell.ini"_s));
    QVERIFY(Ini.ReadSections().isEmpty());
    QCOMPARE(Ini.ReadInteger(u"S", u"Key", 7), 7);
}

QTEST_GUILESS_MAIN(TIniFileTest)
#include "tst_inifile.moc"
