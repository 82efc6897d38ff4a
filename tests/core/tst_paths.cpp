#include "text/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TPathsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void PathJoinParts_data();
    void PathJoinParts();
    void PathJoinPosix();
    void IsBlankText_data();
    void IsBlankText();
    void ExtractParts_data();
    void ExtractParts();
    void NativePathResolves_data();
    void NativePathResolves();
    void NativePathAbsolute();
    void NativePathChoosesAmongCaseVariants();
    void SystemPathIsWhatTheProgramOpens_data();
    void SystemPathIsWhatTheProgramOpens();
    void cleanupTestCase();

private:
    QTemporaryDir Root;
    QString SavedCurrent;
    // False on a file system that ignores case (Windows, usual macOS): there every written name is found
    // as it is and stays as written.
    bool CaseSensitive = true;
    bool MakeFile(const QString& RelativeName, const QByteArray& Content = {});
    QString Expect(const QString& Resolved, const QString& Written) const;
};

bool TPathsTest::MakeFile(const QString& RelativeName, const QByteArray& Content)
{
    const QString Name = Root.filePath(RelativeName);
    if (!QDir().mkpath(QFileInfo(Name).absolutePath())) {
        return false;
    }
    QFile F(Name);
    return F.open(QIODevice::WriteOnly) && F.write(Content) == Content.size();
}

QString TPathsTest::Expect(const QString& Resolved, const QString& Written) const
{
    return CaseSensitive ? Resolved : QString(Written).replace(u'\\', u'/');
}

void TPathsTest::initTestCase()
{
    QVERIFY(Root.isValid());
    QVERIFY(MakeFile(u"Shell/Images/Logo.JPG"_s));
    QVERIFY(MakeFile(u"Shell/veltrane.vlp"_s));
    QVERIFY(QDir(Root.path()).mkpath(u"Docs/Sub"_s));
    QVERIFY(MakeFile(u"Docs/Мой Файл.txt"_s));
    QVERIFY(MakeFile(u"a.txt"_s, "lower"));
    CaseSensitive = !QFileInfo::exists(Root.filePath(u"A.TXT"_s));
    if (CaseSensitive) {
        QVERIFY(MakeFile(u"A.TXT"_s, "upper"));
        // A file and a folder that differ only in case: a component followed by more must be the folder.
        QVERIFY(MakeFile(u"data"_s));
        QVERIFY(MakeFile(u"DATA/x.txt"_s));
    }
    SavedCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(Root.path()));
}

void TPathsTest::cleanupTestCase()
{
    QDir::setCurrent(SavedCurrent);
}

void TPathsTest::PathJoinParts_data()
{
    QTest::addColumn<QStringList>("Parts");
    QTest::addColumn<QString>("Expected");

    QTest::newRow("drive root keeps one backslash")
        << QStringList{u"D:\\"_s, u"Shell"_s, u"Images"_s} << u"D:\\Shell\\Images\\"_s;
    QTest::newRow("leading backslash dropped, trailing kept")
        << QStringList{u"D:\\disc"_s, u"\\Shell\\"_s} << u"D:\\disc\\Shell\\"_s;
    QTest::newRow("single empty part") << QStringList{QString()} << QString();
    QTest::newRow("no parts") << QStringList{} << QString();
    QTest::newRow("single folder") << QStringList{u"D:\\disc"_s} << u"D:\\disc\\"_s;
    QTest::newRow("empty first, second loses backslash")
        << QStringList{QString(), u"\\Shell"_s} << u"Shell\\"_s;
    QTest::newRow("two backslashes keep one") << QStringList{u"D:\\disc"_s, u"\\\\"_s} << u"D:\\disc\\\\"_s;
    QTest::newRow("lone backslash skipped")
        << QStringList{u"D:\\disc"_s, u"\\"_s, u"Shell"_s} << u"D:\\disc\\Shell\\"_s;
    QTest::newRow("first part keeps its leading backslash")
        << QStringList{u"\\Shell"_s, u"Images"_s} << u"\\Shell\\Images\\"_s;
    QTest::newRow("empty parts in between")
        << QStringList{u"a"_s, QString(), u"b"_s, QString()} << u"a\\b\\"_s;
    QTest::newRow("no other normalisation")
        << QStringList{u"a\\\\b"_s, u".."_s, u"."_s} << u"a\\\\b\\..\\.\\"_s;
}

void TPathsTest::PathJoinParts()
{
    QFETCH(QStringList, Parts);
    QFETCH(QString, Expected);

    QCOMPARE(PathJoin(Parts), Expected);
    if (Parts.size() == 3) {
        QCOMPARE(PathJoin({Parts[0], Parts[1], Parts[2]}), Expected);
    }
}

void TPathsTest::PathJoinPosix()
{
#ifdef Q_OS_WIN
    // Only the backslash separates; a forward slash is part of the name.
    QCOMPARE(PathJoin({u"/media/disc/"_s, u"Shell"_s}), u"/media/disc/\\Shell\\"_s);
    QCOMPARE(PathJoin({u"a"_s, u"/b"_s}), u"a\\/b\\"_s);
#else
    QCOMPARE(PathJoin({u"/media/disc/"_s, u"Shell"_s}), u"/media/disc/Shell\\"_s);
    QCOMPARE(PathJoin({u"/media/disc"_s, u"/Shell/"_s, u"Images"_s}), u"/media/disc\\Shell/Images\\"_s);
    QCOMPARE(PathJoin({u"/"_s}), u"/"_s);
#endif
}

void TPathsTest::IsBlankText_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<bool>("Blank");

    QTest::newRow("three blanks and CR") << u"   \r"_s << true;
    QTest::newRow("CR and blanks mixed") << u"\r \r "_s << true;
    QTest::newRow("LF alone") << u"\n"_s << false;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("tab") << u"\t"_s << false;
    QTest::newRow("blanks then letter") << u"  x"_s << false;
    QTest::newRow("CRLF") << u"\r\n"_s << false;
    QTest::newRow("no-break space") << u"\u00A0"_s << false;
}

void TPathsTest::IsBlankText()
{
    QFETCH(QString, Text);
    QFETCH(bool, Blank);
    QCOMPARE(IsBlank(Text), Blank);
}

void TPathsTest::ExtractParts_data()
{
    QTest::addColumn<QString>("FileName");
    QTest::addColumn<QString>("Path");
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QString>("Ext");

    QTest::newRow("full") << u"D:\\disc\\Shell\\veltrane.vlp"_s << u"D:\\disc\\Shell\\"_s << u"veltrane.vlp"_s
                          << u".vlp"_s;
    QTest::newRow("drive only") << u"D:setup.exe"_s << u"D:"_s << u"setup.exe"_s << u".exe"_s;
    QTest::newRow("bare name") << u"readme"_s << QString() << u"readme"_s << QString();
    QTest::newRow("point in folder only") << u"a.b\\c"_s << u"a.b\\"_s << u"c"_s << QString();
    QTest::newRow("last point counts") << u"x.tar.gz"_s << QString() << u"x.tar.gz"_s << u".gz"_s;
    QTest::newRow("trailing point") << u"x."_s << QString() << u"x."_s << u"."_s;
    QTest::newRow("folder only") << u"Images\\"_s << u"Images\\"_s << QString() << QString();
    QTest::newRow("empty") << QString() << QString() << QString() << QString();
#ifndef Q_OS_WIN
    QTest::newRow("posix") << u"/media/disc/Shell/veltrane.apr"_s << u"/media/disc/Shell/"_s
                           << u"veltrane.apr"_s << u".apr"_s;
    QTest::newRow("mixed") << u"/media/disc\\Shell\\a.txt"_s << u"/media/disc\\Shell\\"_s << u"a.txt"_s
                           << u".txt"_s;
#endif
}

void TPathsTest::ExtractParts()
{
    QFETCH(QString, FileName);
    QFETCH(QString, Path);
    QFETCH(QString, Name);
    QFETCH(QString, Ext);

    QCOMPARE(ExtractFilePath(FileName), Path);
    QCOMPARE(ExtractFileName(FileName), Name);
    QCOMPARE(ExtractFileExt(FileName), Ext);
}

// Relative project paths, resolved against the current folder (the temporary tree).
void TPathsTest::NativePathResolves_data()
{
    QTest::addColumn<QString>("Path");
    QTest::addColumn<QString>("Expected");

    const auto Row = [this](const char* Name, const QString& Path, const QString& Resolved) {
        QTest::newRow(Name) << Path << Expect(Resolved, Path);
    };
    Row("exact", u"Shell\\Images\\Logo.JPG"_s, u"Shell/Images/Logo.JPG"_s);
    Row("every component in other case", u"shell\\images\\logo.jpg"_s, u"Shell/Images/Logo.JPG"_s);
    Row("trailing backslash", u"shell\\IMAGES\\"_s, u"Shell/Images/"_s);
    Row("doubled separators", u"SHELL\\\\images\\logo.jpg"_s, u"Shell//Images/Logo.JPG"_s);
    Row("dot and dot-dot", u".\\shell\\images\\..\\VELTRANE.VLP"_s, u"./Shell/Images/../veltrane.vlp"_s);
    Row("leading dot-dot", u"docs\\SUB\\..\\..\\SHELL\\"_s, u"Docs/Sub/../../Shell/"_s);
    Row("missing component keeps the rest", u"shell\\Music\\intro.MP3"_s, u"Shell/Music/intro.MP3"_s);
    Row("missing file in found folder", u"shell\\images\\Nothing.png"_s, u"Shell/Images/Nothing.png"_s);
    Row("file taken as a folder", u"shell\\VELTRANE.VLP\\x"_s, u"Shell/VELTRANE.VLP/x"_s);
    Row("empty", QString(), QString());
    if (CaseSensitive) {
        Row("exact sibling preferred, lower", u"a.txt"_s, u"a.txt"_s);
        Row("exact sibling preferred, upper", u"A.TXT"_s, u"A.TXT"_s);
        Row("folder chosen over same-named file", u"Data\\X.TXT"_s, u"DATA/x.txt"_s);
    }
}

void TPathsTest::NativePathResolves()
{
    QFETCH(QString, Path);
    QFETCH(QString, Expected);

    QCOMPARE(NativePath(Path), Expected);
}

void TPathsTest::NativePathAbsolute()
{
    const QString Base = QDir(Root.path()).absolutePath();
    // The folder the program would build with PathJoin, and the same with Windows separators.
    const QString Folder = PathJoin({Base, u"SHELL"_s, u"images"_s});
    QCOMPARE(NativePath(Folder + u"LOGO.jpg"),
             Expect(Base + u"/Shell/Images/Logo.JPG", Folder + u"LOGO.jpg"));
    const QString Vlp = Base + u"\\shell\\Veltrane.VLP";
    QCOMPARE(NativePath(Vlp), Expect(Base + u"/Shell/veltrane.vlp", Vlp));
    const QString Missing = Base + u"/Nowhere/shell/x";
    QCOMPARE(NativePath(Missing), Missing);
    QVERIFY(QFileInfo::exists(NativePath(Folder + u"logo.jpg")));
}

// No name matches exactly: one of the case variants is taken, and the same one every time.
void TPathsTest::NativePathChoosesAmongCaseVariants()
{
    if (!CaseSensitive) {
        QSKIP("the file system ignores case");
    }
    const QString Found = NativePath(u"a.Txt"_s);
    QVERIFY2(Found == u"a.txt" || Found == u"A.TXT", qPrintable(Found));
    QCOMPARE(NativePath(u".\\A.txt"_s), QString(u"./"_s + Found));
}

void TPathsTest::SystemPathIsWhatTheProgramOpens_data()
{
    QTest::addColumn<QString>("Written");
    QTest::addColumn<QString>("Expected"); // relative to the root, in the file system's notation

    QTest::newRow("project notation, other case") << u"shell\\images\\logo.jpg"_s << u"Shell/Images/Logo.JPG"_s;
    QTest::newRow("blanks and Cyrillic, other case") << u"docs\\мой файл.TXT"_s << u"Docs/Мой Файл.txt"_s;
    QTest::newRow("mixed separators") << u"Docs\\Sub/"_s << u"Docs/Sub/"_s;
    QTest::newRow("missing part kept as written") << u"Docs\\gone.txt"_s << u"Docs/gone.txt"_s;
}

void TPathsTest::SystemPathIsWhatTheProgramOpens()
{
    QFETCH(QString, Written);
    QFETCH(QString, Expected);
    const QString Native = QDir::toNativeSeparators(Root.path() + u'/' + Expect(Expected, Written));
    // Relative paths are made absolute: a started program runs in another folder.
    QCOMPARE(SystemPath(Written), Native);
    QCOMPARE(SystemPath(Root.path() + u'\\' + Written), Native);
    QVERIFY(SystemPath(QString()).isEmpty());
}

QTEST_GUILESS_MAIN(TPathsTest)
#include "tst_paths.moc"
