#include "FakeShellService.h"
#include "PrivateDesktop.h"
#include "ShellService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Every launch in these tests goes to a recording script inside a temporary freedesktop tree: the
// script writes its working folder and arguments to a log, which the test waits for.

namespace {

constexpr QFile::Permissions ReadWrite = TPrivateDesktop::ReadWrite;
constexpr QFile::Permissions Executable = TPrivateDesktop::Executable;

bool WriteFile(const QString& FileName, const QByteArray& Bytes, QFile::Permissions Permissions = {})
{
    return TPrivateDesktop::WriteFile(FileName, Bytes, Permissions);
}

} // namespace

class TShellServiceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void SplitsLikeWindows_data();
    void SplitsLikeWindows();
    void QuotedArgumentsComeBackWhole_data();
    void QuotedArgumentsComeBackWhole();
    void SplitsDesktopExec_data();
    void SplitsDesktopExec();
    void ExpandsFieldCodes_data();
    void ExpandsFieldCodes();
    void BaseFoldersFollowTheEnvironment();
    void FindsTheRegisteredProgram_data();
    void FindsTheRegisteredProgram();

    void OpensDocumentWithItsProgram_data();
    void OpensDocumentWithItsProgram();
    void ReportsWhatCannotBeOpened_data();
    void ReportsWhatCannotBeOpened();
    void ExploresFolder();
    void StartsScriptWithSplitParameters();
    void DocumentsAreNeverExecuted_data();
    void DocumentsAreNeverExecuted();
    void StartsNativeProgram();
    void RunsProgramFromSearchPath();
    void TerminalProgramRunsInTerminal();
    void WindowsProgramNeedsRegisteredRunner();
    void HandsAddressToSchemeHandler();
    void OpensInChildProcessEnvironment();

    void FakeRecordsCallsAndScriptedResults();

private:
    // The tree, its recorder and its log; the registrations are written by the test itself.
    TPrivateDesktop FDesk;
    QProcessEnvironment FEnv;
    QString FDocs;

    QString Path(const QString& Relative) const { return FDesk.Path(Relative); }
    bool WriteDesktopEntry(const QString& Relative, const QString& Exec, const QString& Extra = {}) const;
};

// Waits (bounded) for the recorder's log and reads it into Record.
#define WAIT_FOR_RECORD(Record)                                                                              \
    const auto Record##Found = FDesk.WaitForRecord();                                                        \
    QVERIFY(Record##Found);                                                                                  \
    const TPrivateDesktop::TRecord Record = *Record##Found

bool TShellServiceTest::WriteDesktopEntry(const QString& Relative, const QString& Exec,
                                          const QString& Extra) const
{
    const QString Text = u"[Desktop Entry]\nType=Application\nName=Test\nExec="_s + Exec + u'\n' + Extra +
                         u"\n[Other Group]\nExec=nothing\n"_s;
    return WriteFile(Path(Relative), Text.toUtf8());
}

void TShellServiceTest::initTestCase()
{
    QVERIFY(FDesk.IsValid());
    FDocs = Path(u"docs/My Docs"_s);

    const QString RecorderPath = Path(u"bin/recorder"_s);
    QVERIFY(WriteDesktopEntry(u"data/applications/viewer.desktop"_s, RecorderPath + u" %f"_s,
                              u"MimeType=application/pdf;"_s));
    QVERIFY(WriteDesktopEntry(u"data/applications/filer.desktop"_s,
                              u"\""_s + RecorderPath + u"\" --folder %U"_s));
    // Found on PATH and registered only through its own MimeType key.
    QVERIFY(WriteDesktopEntry(u"share/applications/mailer.desktop"_s, u"recorder --mail %u %i"_s,
                              u"MimeType=x-scheme-handler/mailto;application/x-removed;"_s));
    QVERIFY(
        WriteDesktopEntry(u"share/applications/kde/picture.desktop"_s, RecorderPath + u" --picture %F"_s));
    QVERIFY(WriteDesktopEntry(u"data/applications/gone.desktop"_s, u"/nonexistent/program %f"_s,
                              u"MimeType=text/plain;"_s));
    QVERIFY(WriteDesktopEntry(u"data/applications/console.desktop"_s, RecorderPath + u" --console %f"_s,
                              u"Terminal=true\nMimeType=text/x-log;"_s));
    QVERIFY(
        WriteDesktopEntry(u"data/applications/hidden.desktop"_s, RecorderPath + u" %f"_s, u"Hidden=true"_s));
    QVERIFY(WriteFile(Path(u"config/mimeapps.list"_s), "[Default Applications]\n"
                                                       "application/pdf=hidden.desktop;viewer.desktop;\n"
                                                       "text/plain=gone.desktop\n"
                                                       "inode/directory=filer.desktop\n"
                                                       "image/png=kde-picture.desktop\n"
                                                       "[Added Associations]\n"
                                                       "application/x-added=filer.desktop;\n"
                                                       "[Removed Associations]\n"
                                                       "application/x-removed=mailer.desktop;\n"));
    // Less important than the user's configuration: never chosen for a type the user set.
    QVERIFY(WriteFile(Path(u"data/applications/mimeapps.list"_s),
                      "[Default Applications]\napplication/pdf=filer.desktop\n"));

    // Only the tree's programs: no terminal, no file manager of the system's.
    FEnv = FDesk.Environment();

    QVERIFY(WriteFile(FDocs + u"/report one.pdf"_s, "%PDF-1.4\n%%EOF\n", ReadWrite));
    QVERIFY(WriteFile(FDocs + u"/notes.txt"_s, "plain text\n", ReadWrite));
}

void TShellServiceTest::init()
{
    FDesk.ForgetRecord();
}

void TShellServiceTest::SplitsLikeWindows_data()
{
    QTest::addColumn<QString>("Line");
    QTest::addColumn<QStringList>("Args");

    QTest::newRow("quotes and escapes")
        << uR"(a "b c" d\"e "f\\" g""h)"_s << QStringList{u"a"_s, u"b c"_s, uR"(d"e)"_s, uR"(f\)"_s, u"gh"_s};
    QTest::newRow("escaped closing quote")
        << uR"("C:\temp\" opt3 opt4)"_s << QStringList{uR"(C:\temp" opt3 opt4)"_s};
    QTest::newRow("quotes inside a word")
        << uR"(this" is all a single "param)"_s << QStringList{u"this is all a single param"_s};
    QTest::newRow("folder with trailing backslash")
        << uR"(/dir="D:\my dir\\" /q)"_s << QStringList{uR"(/dir=D:\my dir\)"_s, u"/q"_s};
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("blanks only") << u" \t  "_s << QStringList();
    QTest::newRow("leading blank is no argument") << u"  /s"_s << QStringList{u"/s"_s};
    QTest::newRow("tabs separate") << u"a\tb"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("empty quoted argument") << uR"(a "" b)"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("doubled quote inside quotes") << uR"("a""b c")"_s << QStringList{uR"(a"b c)"_s};
    QTest::newRow("backslashes not before a quote") << uR"(C:\a\\b\ )"_s << QStringList{uR"(C:\a\\b\)"_s};
    QTest::newRow("three backslashes and a quote") << uR"(a\\\"b)"_s << QStringList{uR"(a\"b)"_s};
    QTest::newRow("four backslashes and a quote") << uR"("a\\\\" b)"_s << QStringList{uR"(a\\)"_s, u"b"_s};
    QTest::newRow("unterminated quote") << uR"(/x "C:\My Disc)"_s << QStringList{u"/x"_s, uR"(C:\My Disc)"_s};
    QTest::newRow("line break is no separator") << u"a\nb"_s << QStringList{u"a\nb"_s};
}

void TShellServiceTest::SplitsLikeWindows()
{
    QFETCH(QString, Line);
    QFETCH(QStringList, Args);
    QCOMPARE(SplitCommandLine(Line), Args);
}

void TShellServiceTest::QuotedArgumentsComeBackWhole_data()
{
    QTest::addColumn<QStringList>("Args");
    QTest::newRow("path with blanks") << QStringList{u"/s"_s, uR"(C:\My Disc\setup.exe)"_s};
    QTest::newRow("trailing backslash") << QStringList{uR"(D:\my dir\)"_s, u"x"_s};
    QTest::newRow("quotes and backslashes") << QStringList{uR"(say "hi" \"there\\)"_s};
    QTest::newRow("empty argument") << QStringList{QString(), u"a"_s};
    QTest::newRow("tab") << QStringList{u"a\tb"_s};
}

void TShellServiceTest::QuotedArgumentsComeBackWhole()
{
    QFETCH(QStringList, Args);
    QStringList Quoted;
    for (const QString& Arg : Args) {
        Quoted.append(QuoteCommandLineArgument(Arg));
    }
    QCOMPARE(SplitCommandLine(Quoted.join(u' ')), Args);
    QCOMPARE(QuoteCommandLineArgument(u"plain"_s), u"plain"_s);
}

void TShellServiceTest::SplitsDesktopExec_data()
{
    QTest::addColumn<QString>("Exec");
    QTest::addColumn<QStringList>("Args");
    QTest::newRow("plain") << u"viewer --new %f"_s << QStringList{u"viewer"_s, u"--new"_s, u"%f"_s};
    QTest::newRow("quoted program") << uR"("/opt/my app/bin/run" %U)"_s
                                    << QStringList{u"/opt/my app/bin/run"_s, u"%U"_s};
    QTest::newRow("escapes in quotes") << uR"(sh -c "echo \"\$HOME\" \\ \`x\`")"_s
                                       << QStringList{u"sh"_s, u"-c"_s, uR"(echo "$HOME" \ `x`)"_s};
    QTest::newRow("single quotes") << u"prog 'a b' c"_s << QStringList{u"prog"_s, u"a b"_s, u"c"_s};
    QTest::newRow("backslash outside quotes") << uR"(prog a\ b)"_s << QStringList{u"prog"_s, u"a b"_s};
    QTest::newRow("unterminated quote") << uR"(prog "a b)"_s << QStringList();
    QTest::newRow("empty") << QString() << QStringList();
}

void TShellServiceTest::SplitsDesktopExec()
{
    QFETCH(QString, Exec);
    QFETCH(QStringList, Args);
    QCOMPARE(Xdg::SplitExec(Exec), Args);
}

void TShellServiceTest::ExpandsFieldCodes_data()
{
    QTest::addColumn<QStringList>("Template");
    QTest::addColumn<QStringList>("Expanded");

    const QString File = u"/media/disc/My Docs/a b.pdf"_s;
    const QString Url = u"file:///media/disc/My%20Docs/a%20b.pdf"_s;
    QTest::newRow("%f") << QStringList{u"app"_s, u"%f"_s} << QStringList{u"app"_s, File};
    QTest::newRow("%F") << QStringList{u"app"_s, u"%F"_s} << QStringList{u"app"_s, File};
    QTest::newRow("%u") << QStringList{u"app"_s, u"%u"_s} << QStringList{u"app"_s, Url};
    QTest::newRow("%U") << QStringList{u"app"_s, u"%U"_s} << QStringList{u"app"_s, Url};
    QTest::newRow("inside an argument")
        << QStringList{u"app"_s, u"--file=%f"_s} << QStringList{u"app"_s, u"--file="_s + File};
    QTest::newRow("dropped codes") << QStringList{u"app"_s, u"%i"_s, u"%c"_s, u"%k"_s, u"%f"_s}
                                   << QStringList{u"app"_s, File};
    QTest::newRow("percent sign") << QStringList{u"app"_s, u"100%%"_s, u"%f"_s}
                                  << QStringList{u"app"_s, u"100%"_s, File};
    QTest::newRow("no field code appends the file")
        << QStringList{u"app"_s, u"--view"_s} << QStringList{u"app"_s, u"--view"_s, File};
}

void TShellServiceTest::ExpandsFieldCodes()
{
    QFETCH(QStringList, Template);
    QFETCH(QStringList, Expanded);
    QCOMPARE(Xdg::ExpandExec(Template, {QUrl::fromLocalFile(u"/media/disc/My Docs/a b.pdf"_s)}), Expanded);
}

void TShellServiceTest::BaseFoldersFollowTheEnvironment()
{
    QProcessEnvironment Env;
    Env.insert(u"HOME"_s, u"/home/u"_s);
    QCOMPARE(Xdg::ConfigDirs(Env), (QStringList{u"/home/u/.config"_s, u"/etc/xdg"_s}));
    QCOMPARE(Xdg::DataDirs(Env),
             (QStringList{u"/home/u/.local/share"_s, u"/usr/local/share"_s, u"/usr/share"_s}));

    // Relative entries are not valid base folders and are skipped.
    Env.insert(u"XDG_CONFIG_HOME"_s, u"relative"_s);
    Env.insert(u"XDG_DATA_DIRS"_s, u"rel:/opt/share/:"_s);
    QCOMPARE(Xdg::ConfigDirs(Env), (QStringList{u"/home/u/.config"_s, u"/etc/xdg"_s}));
    QCOMPARE(Xdg::DataDirs(Env), (QStringList{u"/home/u/.local/share"_s, u"/opt/share"_s}));
}

void TShellServiceTest::FindsTheRegisteredProgram_data()
{
    QTest::addColumn<QStringList>("Types");
    QTest::addColumn<QString>("Id");

    // The hidden entry listed first is passed over; the data folder's default counts less.
    QTest::newRow("default") << QStringList{u"application/pdf"_s} << u"viewer.desktop"_s;
    QTest::newRow("type names are not case-sensitive")
        << QStringList{u"Application/PDF"_s} << u"viewer.desktop"_s;
    QTest::newRow("entry in a sub-folder") << QStringList{u"image/png"_s} << u"kde-picture.desktop"_s;
    QTest::newRow("declared by the entry")
        << QStringList{u"x-scheme-handler/mailto"_s} << u"mailer.desktop"_s;
    QTest::newRow("added association") << QStringList{u"application/x-added"_s} << u"filer.desktop"_s;
    QTest::newRow("removed association") << QStringList{u"application/x-removed"_s} << QString();
    QTest::newRow("program not installed") << QStringList{u"text/plain"_s} << QString();
    QTest::newRow("needs a terminal, none installed") << QStringList{u"text/x-log"_s} << QString();
    QTest::newRow("parent type") << QStringList{u"application/x-special"_s, u"application/pdf"_s}
                                 << u"viewer.desktop"_s;
    QTest::newRow("nothing") << QStringList{u"application/x-nothing"_s} << QString();
}

void TShellServiceTest::FindsTheRegisteredProgram()
{
    QFETCH(QStringList, Types);
    QFETCH(QString, Id);
    const auto Entry = Xdg::DefaultApplication(Types, FEnv);
    QCOMPARE(Entry ? Entry->Id : QString(), Id);
}

void TShellServiceTest::OpensDocumentWithItsProgram_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<QString>("WorkDir");
    QTest::addColumn<bool>("ExecuteBit");

    const QString Native = FDocs + u"/report one.pdf"_s;
    QString Windows = FDocs + u"/REPORT ONE.PDF"_s;
    Windows.replace(u"/My Docs/"_s, u"/my docs/"_s).replace(u'/', u'\\');
    QTest::newRow("native path") << Native << QString() << false;
    QTest::newRow("program notation, other case") << Windows << QString() << false;
    QTest::newRow("relative to the working folder") << u"report one.pdf"_s << FDocs << false;
    // On FAT media every file has the execute bit: it does not make a document a program.
    QTest::newRow("document with execute bit") << Native << QString() << true;
}

void TShellServiceTest::OpensDocumentWithItsProgram()
{
    QFETCH(QString, File);
    QFETCH(QString, WorkDir);
    QFETCH(bool, ExecuteBit);
    const QString Pdf = FDocs + u"/report one.pdf"_s;
    QVERIFY(QFile::setPermissions(Pdf, ExecuteBit ? Executable : ReadWrite));

    const auto Shell = CreatePlatformShellService(FEnv);
    QCOMPARE(Shell->Open(File, u"/ignored"_s, WorkDir), int(srStarted));
    WAIT_FOR_RECORD(Record);
    QCOMPARE(Record.Args, QStringList{Pdf});
    QCOMPARE(Record.Cwd, QFileInfo(FDocs).canonicalFilePath());
    QVERIFY(QFile::setPermissions(Pdf, ReadWrite));
}

void TShellServiceTest::ReportsWhatCannotBeOpened_data()
{
    QTest::addColumn<QString>("File");
    QTest::addColumn<int>("Code");

    QTest::newRow("missing file") << FDocs + u"/missing.pdf"_s << int(srFileNotFound);
    QTest::newRow("missing folder") << FDocs + u"/no such folder/a.pdf"_s << int(srPathNotFound);
    QTest::newRow("empty name") << QString() << int(srFileNotFound);
    // Its only registered program is not installed.
    QTest::newRow("type without program") << FDocs + u"/notes.txt"_s << int(srNoAssociation);
}

void TShellServiceTest::ReportsWhatCannotBeOpened()
{
    QFETCH(QString, File);
    QFETCH(int, Code);
    QCOMPARE(CreatePlatformShellService(FEnv)->Open(File, QString(), QString()), Code);
}

void TShellServiceTest::ExploresFolder()
{
    const auto Shell = CreatePlatformShellService(FEnv);
    QCOMPARE(Shell->Explore(FDocs), int(srStarted));
    {
        WAIT_FOR_RECORD(Record);
        QCOMPARE(Record.Args,
                 (QStringList{u"--folder"_s, QUrl::fromLocalFile(FDocs).toString(QUrl::FullyEncoded)}));
        QCOMPARE(Record.Cwd, QFileInfo(FDocs).canonicalFilePath());
    }

    // "open" on a folder does the same.
    FDesk.ForgetRecord();
    QCOMPARE(Shell->Open(FDocs, QString(), QString()), int(srStarted));
    {
        WAIT_FOR_RECORD(Record);
        QCOMPARE(Record.Args.value(0), u"--folder"_s);
    }

    QCOMPARE(Shell->Explore(FDocs + u"/missing"_s), int(srPathNotFound));
    QCOMPARE(Shell->Explore(FDocs + u"/notes.txt"_s), int(srPathNotFound));

    // Without a file manager there is nothing to show the folder with.
    QProcessEnvironment Bare = FEnv;
    Bare.insert(u"XDG_CONFIG_HOME"_s, Path(u"nothing"_s));
    QCOMPARE(CreatePlatformShellService(Bare)->Explore(FDocs), int(srNoAssociation));
}

void TShellServiceTest::StartsScriptWithSplitParameters()
{
    const QString Script = Path(u"disc/Setup Tool/install.sh"_s);
    QFile Recorder(Path(u"bin/recorder"_s));
    QVERIFY(Recorder.open(QIODevice::ReadOnly));
    QVERIFY(WriteFile(Script, Recorder.readAll(), Executable));

    const QString WorkDir = Path(u"home"_s);
    const auto Shell = CreatePlatformShellService(FEnv);
    QCOMPARE(Shell->Run(Script, uR"(/s "C:\My Disc\data\\" -v "")"_s, WorkDir), int(srStarted));
    WAIT_FOR_RECORD(Record);
    QCOMPARE(Record.Args, (QStringList{u"/s"_s, uR"(C:\My Disc\data\)"_s, u"-v"_s, QString()}));
    QCOMPARE(Record.Cwd, QFileInfo(WorkDir).canonicalFilePath());

    // Without a working folder the program runs in its own folder.
    FDesk.ForgetRecord();
    QCOMPARE(Shell->Run(Script, u"a b"_s, QString()), int(srStarted));
    WAIT_FOR_RECORD(Second);
    QCOMPARE(Second.Args, (QStringList{u"a"_s, u"b"_s}));
    QCOMPARE(Second.Cwd, QFileInfo(Script).canonicalPath());
}

void TShellServiceTest::DocumentsAreNeverExecuted_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<bool>("ExecuteBit");
    QTest::addColumn<bool>("AsProgram"); // Run (a program step) rather than Open (a document step)

    // Every file here is the recording script itself: run, it would record without the viewer's tag.
    QTest::newRow("#! text with execute bit, opened") << u"read me.txt"_s << true << false;
    QTest::newRow("#! file without a name's type, execute bit, opened") << u"install"_s << true << false;
    QTest::newRow(".sh with execute bit, opened") << u"setup.sh"_s << true << false;
    QTest::newRow("#! text without execute bit, run") << u"read me.txt"_s << false << true;
    QTest::newRow(".sh without execute bit, run") << u"setup.sh"_s << false << true;
}

void TShellServiceTest::DocumentsAreNeverExecuted()
{
    QFETCH(QString, Name);
    QFETCH(bool, ExecuteBit);
    QFETCH(bool, AsProgram);
    TPrivateDesktop Desktop;
    QVERIFY(Desktop.IsValid());
    QVERIFY(Desktop.Register(u"viewer"_s, {u"text/plain"_s}));
    const QString File = Desktop.Path(u"disc/"_s + Name);
    QVERIFY(TPrivateDesktop::WriteFile(File, Desktop.RecorderScript(),
                                       ExecuteBit ? TPrivateDesktop::Executable : TPrivateDesktop::ReadWrite));

    const auto Shell = Desktop.CreateShell();
    const int Code = AsProgram ? Shell->Run(File, u"-x"_s, QString()) : Shell->Open(File, u"-x"_s, QString());
    QCOMPARE(Code, int(srStarted));
    const auto Record = Desktop.WaitForRecord();
    QVERIFY(Record);
    // The text viewer registered for it got the file; the file itself did not run.
    QCOMPARE(Record->Args, (QStringList{u"--viewer"_s, File}));

    // A native program is no document either: opened, it goes by its type, for which nothing is
    // registered.
    const QString Program = Desktop.Path(u"disc/tool"_s);
    QVERIFY(QFile::copy(u"/bin/sh"_s, Program));
    QVERIFY(QFile::setPermissions(Program, TPrivateDesktop::Executable));
    QCOMPARE(Shell->Open(Program, QString(), QString()), int(srNoAssociation));
}

void TShellServiceTest::StartsNativeProgram()
{
    TPrivateDesktop Desktop;
    QVERIFY(Desktop.IsValid());
    // An ELF program (a copy of the shell) with blanks in its path, given the recorder to run.
    const QString Program = Desktop.Path(u"disc/My Tools/shell"_s);
    QVERIFY(QDir().mkpath(QFileInfo(Program).path()));
    QVERIFY(QFile::copy(u"/bin/sh"_s, Program));
    QVERIFY(QFile::setPermissions(Program, TPrivateDesktop::Executable));
    const QString Params = QuoteCommandLineArgument(Desktop.Recorder()) + u" a \"b c\""_s;
    QCOMPARE(Desktop.CreateShell()->Run(Program, Params, QString()), int(srStarted));
    const auto Record = Desktop.WaitForRecord();
    QVERIFY(Record);
    QCOMPARE(Record->Args, (QStringList{u"a"_s, u"b c"_s}));
    QCOMPARE(Record->Cwd, QFileInfo(Program).canonicalPath());
}

void TShellServiceTest::RunsProgramFromSearchPath()
{
    const auto Shell = CreatePlatformShellService(FEnv);
    QCOMPARE(Shell->Run(u"recorder"_s, u"\"one two\" three"_s, FDocs), int(srStarted));
    WAIT_FOR_RECORD(Record);
    QCOMPARE(Record.Args, (QStringList{u"one two"_s, u"three"_s}));
    QCOMPARE(Record.Cwd, QFileInfo(FDocs).canonicalFilePath());

    QCOMPARE(Shell->Run(u"no-such-program"_s, QString(), FDocs), int(srFileNotFound));
    // "open" does not search: only the shell's program start does.
    QCOMPARE(Shell->Open(u"recorder"_s, QString(), FDocs), int(srFileNotFound));

    // A native program without the execute bit cannot be started.
    const QString Program = Path(u"disc/tool"_s);
    QFile::remove(Program);
    QVERIFY(QFile::copy(u"/bin/true"_s, Program));
    QVERIFY(QFile::setPermissions(Program, ReadWrite));
    QCOMPARE(Shell->Run(Program, QString(), QString()), int(srAccessDenied));
}

void TShellServiceTest::TerminalProgramRunsInTerminal()
{
    const QString Log = FDocs + u"/setup.log"_s;
    QVERIFY(WriteFile(Log, "done\n", ReadWrite));
    QCOMPARE(QMimeDatabase().mimeTypeForFile(Log).name(), u"text/x-log"_s);
    QCOMPARE(CreatePlatformShellService(FEnv)->Open(Log, QString(), QString()), int(srNoAssociation));

    QFile Recorder(Path(u"bin/recorder"_s));
    QVERIFY(Recorder.open(QIODevice::ReadOnly));
    QVERIFY(WriteFile(Path(u"term/x-terminal-emulator"_s), Recorder.readAll(), Executable));
    QProcessEnvironment WithTerminal = FEnv;
    WithTerminal.insert(u"PATH"_s, Path(u"bin"_s) + u':' + Path(u"term"_s));
    QCOMPARE(CreatePlatformShellService(WithTerminal)->Open(Log, QString(), QString()), int(srStarted));
    WAIT_FOR_RECORD(Record);
    QCOMPARE(Record.Args, (QStringList{u"-e"_s, Path(u"bin/recorder"_s), u"--console"_s, Log}));
}

void TShellServiceTest::WindowsProgramNeedsRegisteredRunner()
{
    const QString Exe = Path(u"disc/Setup.exe"_s);
    QVERIFY(WriteFile(Exe, QByteArray("MZ") + QByteArray(200, '\0'), Executable));
    // Without a runner: a program this system cannot start; opened as a document, nothing is registered.
    QCOMPARE(CreatePlatformShellService(FEnv)->Run(Exe, u"/silent"_s, QString()), int(srBadFormat));
    QCOMPARE(CreatePlatformShellService(FEnv)->Open(Exe, QString(), QString()), int(srNoAssociation));

    // A runner registered for the type (as wine registers itself) gets the program and its parameters.
    const QString Type = QMimeDatabase().mimeTypeForFile(Exe).name();
    QVERIFY(WriteDesktopEntry(u"runner/applications/runner.desktop"_s,
                              Path(u"bin/recorder"_s) + u" --runner %f"_s, u"MimeType="_s + Type + u';'));
    QProcessEnvironment WithRunner = FEnv;
    WithRunner.insert(u"XDG_DATA_DIRS"_s, Path(u"share"_s) + u':' + Path(u"runner"_s));
    QCOMPARE(CreatePlatformShellService(WithRunner)->Run(Exe, u"/silent \"a b\""_s, QString()),
             int(srStarted));
    WAIT_FOR_RECORD(Record);
    QCOMPARE(Record.Args, (QStringList{u"--runner"_s, Exe, u"/silent"_s, u"a b"_s}));
}

void TShellServiceTest::HandsAddressToSchemeHandler()
{
    const auto Shell = CreatePlatformShellService(FEnv);
    const QUrl Mail(u"mailto:Jane Doe<jane@example.org>?subject=Hello&body=Line%0D%0DTwo"_s,
                    QUrl::TolerantMode);
    QCOMPARE(Shell->OpenUrl(Mail), int(srStarted));
    WAIT_FOR_RECORD(Record);
    // One argument, encoded, never through a shell; %i gave nothing.
    QCOMPARE(Record.Args, (QStringList{u"--mail"_s, Mail.toString(QUrl::FullyEncoded)}));
    QVERIFY(Record.Args.value(1).startsWith(
        u"mailto:Jane%20Doe%3Cjane@example.org%3E?subject=Hello&body=Line%0D%0DTwo"_s));
    QCOMPARE(Record.Cwd, QFileInfo(Path(u"home"_s)).canonicalFilePath());

    QCOMPARE(Shell->OpenUrl(QUrl(u"http://example.org/"_s)), int(srNoAssociation));
    QCOMPARE(Shell->OpenUrl(QUrl()), int(srFileNotFound));

    // A file address is opened like the file.
    FDesk.ForgetRecord();
    QCOMPARE(Shell->OpenUrl(QUrl::fromLocalFile(FDocs + u"/report one.pdf"_s)), int(srStarted));
    WAIT_FOR_RECORD(FileRecord);
    QCOMPARE(FileRecord.Args, QStringList{FDocs + u"/report one.pdf"_s});
}

void TShellServiceTest::OpensInChildProcessEnvironment()
{
    // The real program's service, in a process whose whole environment is the temporary tree.
    QProcess Child;
    Child.setProcessEnvironment(FEnv);
    Child.start(QStringLiteral(AUTORUN_PLATFORM_HELPER), {u"open"_s, FDocs + u"/report one.pdf"_s});
    QVERIFY(Child.waitForFinished(30000));
    QCOMPARE(Child.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(Child.readAllStandardOutput()).trimmed(), QString::number(srStarted));
    WAIT_FOR_RECORD(Record);
    QCOMPARE(Record.Args, QStringList{FDocs + u"/report one.pdf"_s});

    Child.start(QStringLiteral(AUTORUN_PLATFORM_HELPER), {u"open"_s, FDocs + u"/notes.txt"_s});
    QVERIFY(Child.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(Child.readAllStandardOutput()).trimmed(), QString::number(srNoAssociation));
}

void TShellServiceTest::FakeRecordsCallsAndScriptedResults()
{
    TFakeShellService Fake;
    Fake.Results = {srNoAssociation};
    SetShellService(&Fake);
    const int First = ShellService().Open(u"D:\\a.doc"_s, QString(), u"D:\\"_s);
    const int Second = ShellService().Explore(u"D:\\"_s);
    const int Third = ShellService().OpenUrl(QUrl(u"mailto:a b@c"_s, QUrl::TolerantMode));
    const int Fourth = ShellService().Run(u"D:\\setup.exe"_s, u"/s"_s, u"D:\\"_s);
    SetShellService(nullptr);
    QVERIFY(&ShellService() != &Fake);

    QCOMPARE((QList<int>{First, Second, Third, Fourth}),
             (QList<int>{srNoAssociation, srStarted, srStarted, srStarted}));
    QCOMPARE(Fake.Calls.size(), 4);
    QCOMPARE(Fake.Calls[0].Verb, TFakeShellService::svOpen);
    QCOMPARE(Fake.Calls[0].File, u"D:\\a.doc"_s);
    QCOMPARE(Fake.Calls[0].WorkDir, u"D:\\"_s);
    QCOMPARE(Fake.Calls[1].Verb, TFakeShellService::svExplore);
    QCOMPARE(Fake.Calls[2].Verb, TFakeShellService::svOpenUrl);
    QCOMPARE(Fake.Calls[2].File, u"mailto:a%20b@c"_s);
    QCOMPARE(Fake.Calls[3].Verb, TFakeShellService::svRun);
    QCOMPARE(Fake.Calls[3].Params, u"/s"_s);
}

QTEST_GUILESS_MAIN(TShellServiceTest)
#include "tst_shellservice.moc"
