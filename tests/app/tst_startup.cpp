// Start-up's pieces: the disc root, the structure-file search, the command line and loading with
// its messages, on folder trees made by the test, with recording message and shell services.

#include "FakeMessageService.h"
#include "FakeShellService.h"
#include "LoadProject.h"
#include "MessageService.h"
#include "Startup.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray ReadFixture(const QString& Name)
{
    QFile F(QStringLiteral(AUTORUN_TEST_BUILD_DATA_DIR "/") + Name);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void discRoot();
    void projectFileSearch();
    void options_data();
    void options();
    void fileNameValue();
    void snapshotValue_data();
    void snapshotValue();
    void htmfile_data();
    void htmfile();
    void parameters_data();
    void parameters();
    void loadMessages_data();
    void loadMessages();
    void legacyReadError();
    void missingProjectRunsEmpty();
    void folderFixUp();
    void bundlePlugins_data();
    void bundlePlugins();

private:
    QString Write(const QString& Relative, const QByteArray& Bytes);

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TVeltraneProject> FProject;
    TRecordingMessages FMessages;
    TFakeShellService FShell;
};

void TestStartup::initTestCase()
{
    InitLanguageUnit();
    QVERIFY(SelectLanguage(0x0409));
}

void TestStartup::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    ProgramFolder = FDir->path() + u'/';
    QDir().mkpath(FDir->filePath(u"Shell"_s));
    FProject = std::make_unique<TVeltraneProject>();
    FProject->ProgramVersion = {2, 7, 5};
    Project = FProject.get();
    LoadFailed = false;
    ProjectFilePath.clear();
    DesignSettings = IniFileStruct();
    FMessages.Boxes.clear();
    FShell.Calls.clear();
    SetMessageService(&FMessages);
    SetShellService(&FShell);
}

void TestStartup::cleanup()
{
    SetMessageService(nullptr);
    SetShellService(nullptr);
    Project = nullptr;
}

QString TestStartup::Write(const QString& Relative, const QByteArray& Bytes)
{
    const QString Path = FDir->filePath(Relative);
    QDir().mkpath(QFileInfo(Path).absolutePath());
    QFile F(Path);
    if (!F.open(QIODevice::WriteOnly) || F.write(Bytes) != Bytes.size())
        qFatal("cannot write");
    return Path;
}

void TestStartup::discRoot()
{
    const QString Exe = u"/opt/autorun/bin/autorun"_s;
    QCOMPARE(DiscRootFor({Exe}, Exe), u"/opt/autorun/bin/"_s);
    QCOMPARE(DiscRootFor({Exe, FDir->path()}, Exe), FDir->path() + u'/');
    // An option is not a folder: the executable's folder stays the disc root.
    QCOMPARE(DiscRootFor({Exe, u"nosplash"_s}, Exe), u"/opt/autorun/bin/"_s);
}

void TestStartup::projectFileSearch()
{
    // Nothing there: the legacy name, taken without a test.
    QCOMPARE(FindProjectFile(), ShellFolder() + u"veltrane.apr"_s);
    // shell.ini names a file that does not exist while veltrane.vlp does.
    DesignSettings.Options.ProjectName = u"other.vlp"_s;
    Write(u"Shell/veltrane.vlp"_s, "x");
    QCOMPARE(FindProjectFile(), ShellFolder() + u"veltrane.vlp"_s);
    Write(u"Shell/other.vlp"_s, "x");
    QCOMPARE(FindProjectFile(), ShellFolder() + u"other.vlp"_s);
}

void TestStartup::options_data()
{
    QTest::addColumn<QString>("Line");
    QTest::addColumn<int>("Flags");
    const int All = sfShowSplash | sfAnimatedCursors | sfBackgroundMusic;
    QTest::newRow("none") << u"/opt/autorun"_s << All;
    QTest::newRow("capitals") << u"/opt/autorun NOSPLASH"_s << (All & ~sfShowSplash);
    QTest::newRow("inside the program path") << u"/media/nosplash/autorun"_s << (All & ~sfShowSplash);
    QTest::newRow("glued together") << u"autorun noanimcurnobackmusic"_s << int(sfShowSplash);
    QTest::newRow("all three") << u"autorun nosplash noanimcur nobackmusic"_s << 0;
}

void TestStartup::options()
{
    QFETCH(QString, Line);
    QFETCH(int, Flags);
    StartFlags = 0;
    QCOMPARE(ParseCommandLine(Line), -1);
    QCOMPARE(int(StartFlags), Flags);
    QVERIFY(FMessages.Boxes.isEmpty());
}

void TestStartup::fileNameValue()
{
    // A blank written as "?", ";" ending the value, and the path given in capitals: the value is
    // taken lower-cased and found without regard to case.
    const QString File = Write(u"My Disc/Proj.VLP"_s, "x");
    const QString Line = u"autorun FILENAME="_s + FDir->filePath(u"My?Disc/Proj.VLP"_s) + u";nosplash"_s;
    QCOMPARE(ParseCommandLine(Line), -1);
    QCOMPARE(ProjectFilePath, (FDir->path() + u"/my disc/proj.vlp"_s).toLower());
    QVERIFY(!HasStartFlag(sfShowSplash));
    QVERIFY(QFileInfo(NativePath(ProjectFilePath)).isFile());

    // "filename=" wins over "loadstruct ".
    const QString Other = Write(u"other.vlp"_s, "x").toLower();
    ProjectFilePath.clear();
    ParseCommandLine(u"autorun loadstruct "_s + Other + u" filename="_s +
                     FDir->filePath(u"my?disc/proj.vlp"_s));
    QCOMPARE(ProjectFilePath, (FDir->path() + u"/my disc/proj.vlp"_s).toLower());
    // "loadstruct " alone.
    ProjectFilePath.clear();
    ParseCommandLine(u"autorun loadstruct "_s + Other);
    QCOMPARE(ProjectFilePath, Other);
    // A value naming no file is ignored.
    ProjectFilePath = u"kept"_s;
    ParseCommandLine(u"autorun filename=/no/such/file.vlp"_s);
    QCOMPARE(ProjectFilePath, u"kept"_s);
}

void TestStartup::snapshotValue_data()
{
    QTest::addColumn<QString>("Line");
    QTest::addColumn<QString>("File");
    QTest::newRow("none") << u"autorun"_s << QString();
    QTest::newRow("keeps its case") << u"autorun SNAPSHOT=/Tmp/Main Window.PNG"_s << u"/Tmp/Main"_s;
    QTest::newRow("blank as ?, ended by ;")
        << u"autorun snapshot=/tmp/My?Shot.png;nosplash"_s << u"/tmp/My Shot.png"_s;
    QTest::newRow("empty value") << u"autorun snapshot= nosplash"_s << QString();
    // Lower-casing turns each "\u0130" into two characters, which must not shift the value.
    QTest::newRow("lower-casing lengthens the line")
        << u"/m\u0130\u0130/autorun SnapShot=/tmp/\u0130mage.png;nosplash"_s << u"/tmp/\u0130mage.png"_s;
    QTest::newRow("letter outside the basic plane before it")
        << u"/\U00010400/autorun snapshot=/tmp/Shot.png"_s << u"/tmp/Shot.png"_s;
}

void TestStartup::snapshotValue()
{
    QFETCH(QString, Line);
    QFETCH(QString, File);
    QCOMPARE(ParseCommandLine(Line), -1);
    QCOMPARE(SnapshotFileName, File);
    // A snapshot neither holds a splash nor plays music.
    QCOMPARE(HasStartFlag(sfShowSplash) && HasStartFlag(sfBackgroundMusic),
             File.isEmpty() && !Line.contains(u"nosplash"_s));
}

void TestStartup::htmfile_data()
{
    QTest::addColumn<bool>("InRoot");
    QTest::newRow("index.htm in the disc root") << true;
    QTest::newRow("no index.htm anywhere") << false;
}

void TestStartup::htmfile()
{
    QFETCH(bool, InRoot);
    if (InRoot)
        Write(u"index.htm"_s, "<html/>");
    QCOMPARE(ParseCommandLine(u"autorun HtmFile nosplash"_s), 1);
    QCOMPARE(FShell.Calls.size(), 1);
    QCOMPARE(FShell.Calls[0].Verb, TFakeShellService::svOpen);
    const QString Folder = InRoot ? ProgramFolder : ShellFolder();
    QCOMPARE(FShell.Calls[0].File, SystemPath(Folder + u"index.htm"_s));
    QCOMPARE(FShell.Calls[0].Params, QString());
    QCOMPARE(FShell.Calls[0].WorkDir, SystemPath(Folder));
    // The process ends before the later options are looked at.
    QVERIFY(HasStartFlag(sfShowSplash));
}

void TestStartup::parameters_data()
{
    QTest::addColumn<QByteArray>("Bytes");
    const QString Text = u"nosplash - без заставки\r\nnoanimcur\r\n"_s;
    QTest::newRow("Windows-1251") << QByteArray("nosplash - \xe1\xe5\xe7 \xe7\xe0\xf1\xf2\xe0\xe2\xea\xe8\r\nnoanimcur\r\n");
    QTest::newRow("UTF-8 with its mark") << QByteArray("\xEF\xBB\xBF") + Text.toUtf8();
    const auto Utf16 = [&](QStringConverter::Encoding Encoding) {
        QStringEncoder Encoder(Encoding, QStringEncoder::Flag::WriteBom);
        return QByteArray(Encoder.encode(Text));
    };
    QTest::newRow("UTF-16LE with its mark") << Utf16(QStringConverter::Utf16LE);
    QTest::newRow("UTF-16BE with its mark") << Utf16(QStringConverter::Utf16BE);
}

void TestStartup::parameters()
{
    QFETCH(QByteArray, Bytes);
    QCOMPARE(ParseCommandLine(u"autorun /?"_s), -1);
    QVERIFY(FMessages.Boxes.isEmpty()); // no params.txt: nothing shown
    Write(u"Shell/params.txt"_s, Bytes);
    QCOMPARE(ParseCommandLine(u"autorun -?"_s), -1);
    QCOMPARE(FMessages.Boxes.size(), 1);
    QCOMPARE(FMessages.Boxes[0].Caption, u"Veltrane parameters:"_s);
    QCOMPARE(FMessages.Boxes[0].Text, u"nosplash - без заставки\nnoanimcur"_s);
    QCOMPARE(FMessages.Boxes[0].Flags, 0x2040u);
}

void TestStartup::loadMessages_data()
{
    QTest::addColumn<QByteArray>("Bytes");
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QString>("Message");
    const QByteArray Good = ReadFixture(u"model/defaults.vlp"_s);
    QByteArray Newer = Good;
    Newer[11] = 3; // major 3
    QTest::newRow("newer") << Newer << u"p.vlp"_s << u"This project demands Veltrane 3.7.5"_s;
    QTest::newRow("bad stream") << Good.left(20) << u"p.vlp"_s << u"Incorrect project structure"_s;
    QTest::newRow("wrong file") << QByteArray("hello world, no project") << u"p.vlp"_s
                                << u"Wrong project file"_s;
    // The extension test is case-sensitive: ".APR" goes to the current loader.
    QTest::newRow("APR in capitals") << QByteArray("TPF0") << u"p.APR"_s << u"Wrong project file"_s;
}

void TestStartup::loadMessages()
{
    QFETCH(QByteArray, Bytes);
    QFETCH(QString, Name);
    QFETCH(QString, Message);
    FProject->SplashScreen.ShowTime = 5;
    LoadProject(Write(Name, Bytes));
    QVERIFY(LoadFailed);
    QCOMPARE(FProject->SplashScreen.ShowTime, 0);
    QCOMPARE(FMessages.Boxes.size(), 1);
    QCOMPARE(FMessages.Boxes[0].Text, Message);
    QCOMPARE(FMessages.Boxes[0].Caption, u"Veltrane"_s);
    QCOMPARE(FMessages.Boxes[0].Flags, 0x2010u);
}

void TestStartup::legacyReadError()
{
    QByteArray Legacy = ReadFixture(u"legacy/full.apr"_s);
    QVERIFY(!Legacy.isEmpty());
    LoadProject(Write(u"Shell/old.apr"_s, Legacy.left(Legacy.size() / 2)));
    QVERIFY(LoadFailed);
    QCOMPARE(FMessages.Boxes.size(), 1);
    QCOMPARE(FMessages.Boxes[0].Text,
             u"An error occured while reading the file.\rPossible reasons:\r"
             "- file old.apr is not a Veltrane project or have invalid format;\r"
             "- this project is created for the newer Veltrane version than yours;"_s);
    // What was read is converted all the same.
    QVERIFY(FProject->LegacyFlag);

    FMessages.Boxes.clear();
    LoadFailed = false;
    TVeltraneProject Fresh;
    Project = &Fresh;
    LoadProject(Write(u"Shell/whole.apr"_s, Legacy));
    QVERIFY(!LoadFailed);
    QVERIFY(FMessages.Boxes.isEmpty());
    QVERIFY(Fresh.LegacyFlag);
    QVERIFY(Fresh.Sections.Count() > 0);
    Project = FProject.get();
}

void TestStartup::missingProjectRunsEmpty()
{
    FProject->SplashScreen.ShowTime = 5;
    LoadProject(FDir->filePath(u"Shell/veltrane.apr"_s));
    QVERIFY(!LoadFailed);
    QCOMPARE(FProject->SplashScreen.ShowTime, 0);
    QVERIFY(FMessages.Boxes.isEmpty());
}

void TestStartup::folderFixUp()
{
    // The full fixture names a folder of its own; in the Shell folder the disc root replaces it.
    const QByteArray Full = ReadFixture(u"model/full.vlp"_s);
    LoadProject(Write(u"shell/veltrane.vlp"_s, Full));
    QVERIFY2(!LoadFailed, FMessages.Boxes.isEmpty() ? "" : qPrintable(FMessages.Boxes[0].Text));
    QCOMPARE(FProject->Folder, ProgramFolder);

    // Elsewhere the project's own folder stays, with a trailing backslash.
    TVeltraneProject Other;
    Other.ProgramVersion = {2, 7, 5};
    Project = &Other;
    LoadProject(Write(u"elsewhere/veltrane.vlp"_s, Full));
    QVERIFY(!LoadFailed);
    QVERIFY(!Other.Folder.isEmpty());
    QVERIFY(Other.Folder.endsWith(u'\\') || Other.Folder.endsWith(u'/'));
    QVERIFY(Other.Folder != ProgramFolder);
    Project = FProject.get();
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"

void TestStartup::bundlePlugins_data()
{
    QTest::addColumn<QString>("Folder");
    QTest::newRow("no variable") << QString();
    QTest::newRow("a bundle's folder") << u"/media/disc/.linux/plugins"_s;
    QTest::newRow("blanks and Cyrillic letters") << u"/media/Диск с пробелами/.linux/plugins"_s;
}

// A bundle started through its own loader names its plugin folder in AUTORUN_PLUGIN_PATH: the
// folder becomes the only one Qt searches, and the programs the disc starts never see the variable.
void TestStartup::bundlePlugins()
{
    QFETCH(QString, Folder);
    const QStringList Before = QCoreApplication::libraryPaths();
    if (Folder.isEmpty())
        qunsetenv("AUTORUN_PLUGIN_PATH");
    else
        qputenv("AUTORUN_PLUGIN_PATH", QFile::encodeName(Folder));

    UseBundlePlugins();
    const QStringList After = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths(Before);

    QCOMPARE(After, Folder.isEmpty() ? Before : QStringList{Folder});
    QVERIFY(!qEnvironmentVariableIsSet("AUTORUN_PLUGIN_PATH"));
    QProcess Child;
    Child.start(u"/usr/bin/env"_s, {});
    QVERIFY(Child.waitForFinished(30000));
    QVERIFY(!Child.readAllStandardOutput().contains("AUTORUN_PLUGIN_PATH"));
}
