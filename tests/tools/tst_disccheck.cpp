// The disc check on fixture discs: a faulty disc with one of each problem (tests/data/check/faulty,
// plus the pictures, sounds and programs made here) must give exactly those problems, each naming
// its file and where it is named; a clean disc none; a disc whose project cannot be loaded exit code
// 2. The built tool is run too, for its lines, its JSON and its help.

#include "DiscCheck.h"
#include "ProjectJson.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

const QString DataDir = QStringLiteral(AUTORUN_TEST_DATA_DIR "/check");

bool WriteFile(const QString& Path, const QByteArray& Bytes, bool Executable = false)
{
    QDir().mkpath(QFileInfo(Path).absolutePath());
    QFile File(Path);
    if (!File.open(QIODevice::WriteOnly) || File.write(Bytes) != Bytes.size()) {
        return false;
    }
    File.close();
    QFile::Permissions Mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (Executable) {
        Mode |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    }
    return File.setPermissions(Mode);
}

bool WritePicture(const QString& Path)
{
    QImage Image(8, 6, QImage::Format_RGB32);
    Image.fill(Qt::darkCyan);
    QDir().mkpath(QFileInfo(Path).absolutePath());
    return Image.save(Path, "PNG");
}

// A second of 8 kHz mono silence.
QByteArray Wave()
{
    const quint32 Samples = 8000;
    QByteArray Data;
    const auto Put32 = [&Data](quint32 V) {
        char B[4];
        qToLittleEndian(V, B);
        Data.append(B, 4);
    };
    const auto Put16 = [&Data](quint16 V) {
        char B[2];
        qToLittleEndian(V, B);
        Data.append(B, 2);
    };
    Data.append("RIFF");
    Put32(36 + Samples * 2);
    Data.append("WAVEfmt ");
    Put32(16);
    Put16(1);
    Put16(1);
    Put32(8000);
    Put32(16000);
    Put16(2);
    Put16(16);
    Data.append("data");
    Put32(Samples * 2);
    Data.append(QByteArray(Samples * 2, '\0'));
    return Data;
}

bool CopyFolder(const QString& From, const QString& To)
{
    QDirIterator It(From, QDir::Files, QDirIterator::Subdirectories);
    while (It.hasNext()) {
        const QString File = It.next();
        const QString Target = To + u'/' + QDir(From).relativeFilePath(File);
        QDir().mkpath(QFileInfo(Target).absolutePath());
        if (!QFile::copy(File, Target)) {
            return false;
        }
    }
    return true;
}

// "severity kind file" for each problem, sorted.
QStringList Digest(const TCheckResult& Result)
{
    QStringList Lines;
    for (const TProblem& P : Result.Problems) {
        Lines.append(u"%1 %2 %3"_s.arg(P.Severity == TSeverity::Error ? u"error"_s : u"warning"_s,
                                       ProblemKindName(P.Kind), P.File));
    }
    Lines.sort();
    return Lines;
}

const TProblem* Find(const TCheckResult& Result, TProblemKind Kind, const QString& File)
{
    for (const TProblem& P : Result.Problems) {
        if (P.Kind == Kind && P.File == File) {
            return &P;
        }
    }
    return nullptr;
}

} // namespace

class TDiscCheckTest : public QObject
{
    Q_OBJECT

private:
    QString Path(const QString& Relative) const { return FRoot.filePath(Relative); }
    // A copy of the fixture disc Name with its project compiled.
    QString MakeDisc(const QString& Name);
    QString MakeFaultyDisc();
    TCheckResult Check(const QString& Disc) const { return CheckDisc({Disc, FEnv}); }

    QTemporaryDir FRoot;
    // Desktop folders that register no program at all, with the system's type database.
    QProcessEnvironment FEnv;

private slots:
    void initTestCase();
    void FindsEachProblemOfTheFaultyDisc();
    void NamesWhereEachFileIsNamed();
    void WindowsProgramWithRegisteredRunnerOpens();
    void CleanDiscHasNoProblems();
    void UnloadableProjectIsExitCodeTwo_data();
    void UnloadableProjectIsExitCodeTwo();
    void ToolPrintsLinesJsonAndHelp();
};

QString TDiscCheckTest::MakeDisc(const QString& Name)
{
    const QString Disc = Path(Name);
    QDir(Disc).removeRecursively();
    if (!CopyFolder(DataDir + u'/' + Name, Disc)) {
        return {};
    }
    QString Error;
    if (!ProjectJson::BuildFile(Disc + u"/Shell/veltrane.json"_s, Disc + u"/Shell/veltrane.vlp"_s,
                                {ProjectJson::DefaultVersion()}, &Error)) {
        qWarning("%s", qPrintable(Error));
        return {};
    }
    QFile::remove(Disc + u"/Shell/veltrane.json"_s);
    return Disc;
}

QString TDiscCheckTest::MakeFaultyDisc()
{
    const QString Disc = MakeDisc(u"faulty"_s);
    const auto In = [&Disc](const QString& Relative) -> QString { return Disc + u'/' + Relative; };
    // Sound files, pictures and programs as the fixture's names call for them.
    const bool Made =
        !Disc.isEmpty() && WritePicture(In(u"Shell/Images/wallpaper.jpg"_s)) &&
        WriteFile(In(u"Shell/Images/broken.gif"_s), "GIF89a\x10\x00\x10\x00 not a picture") &&
        WriteFile(In(u"Shell/Cursor/broken.ani"_s), "RIFF\x04\x00\x00\x00ACON") &&
        WriteFile(In(u"Shell/Music/intro.wav"_s), Wave()) &&
        WriteFile(In(u"Music/broken.mp3"_s), QByteArray(4000, 'x')) && WritePicture(In(u"Pictures/shot.png"_s)) &&
        WriteFile(In(u"Pictures/broken.jpg"_s), "\xFF\xD8\xFF\xE0 cut short") &&
        WriteFile(In(u"Soft/setup.exe"_s), QByteArray("MZ") + QByteArray(300, '\0')) &&
        WriteFile(In(u"Soft/install.sh"_s), "#!/bin/sh\nexit 0\n", true) &&
        WriteFile(In(u"Docs/long.txt"_s), QByteArray(500001, '\n')) &&
        WriteFile(In(u"Docs/short.txt"_s), "Read me.\n") &&
        WriteFile(In(u"Docs/run.sh"_s), "#!/bin/sh\necho run\n", true) && WriteFile(In(u"Tools/tool.dat"_s), "1");
    return Made ? Disc : QString();
}

void TDiscCheckTest::initTestCase()
{
    QVERIFY(FRoot.isValid());
    QVERIFY(QDir().mkpath(Path(u"share"_s)));
    QVERIFY(QFile::link(u"/usr/share/mime"_s, Path(u"share/mime"_s)));
    QVERIFY(QDir().mkpath(Path(u"home"_s)));
    FEnv.insert(u"HOME"_s, Path(u"home"_s));
    FEnv.insert(u"XDG_CONFIG_HOME"_s, Path(u"config"_s));
    FEnv.insert(u"XDG_CONFIG_DIRS"_s, Path(u"sysconfig"_s));
    FEnv.insert(u"XDG_DATA_HOME"_s, Path(u"data"_s));
    FEnv.insert(u"XDG_DATA_DIRS"_s, Path(u"share"_s));
    FEnv.insert(u"PATH"_s, Path(u"bin"_s));
}

void TDiscCheckTest::FindsEachProblemOfTheFaultyDisc()
{
    const QString Disc = MakeFaultyDisc();
    QVERIFY(!Disc.isEmpty());
    const TCheckResult Result = Check(Disc);
    QVERIFY2(Result.Loaded, qPrintable(Result.LoadError));

    QStringList Expected{
        // shell.ini and the skin it names
        u"error missing Shell/Images/missing.ico"_s,
        u"warning letter-case Shell/Images/wallpaper.jpg"_s,
        u"error undecodable Shell/Images/broken.gif"_s,
        u"error undecodable Shell/Cursor/broken.ani"_s,
        u"error bad-value Shell/shell.ini"_s,
        u"error bad-value Shell/shell.ini"_s,
        u"warning unknown-setting Shell/shell.ini"_s,
        u"warning unknown-setting Shell/shell.ini"_s,
        // controls.ini
        u"error controls-line Shell/controls.ini"_s,
        u"warning controls-ignored Shell/controls.ini"_s,
        u"warning controls-ignored Shell/controls.ini"_s,
        // the project
        u"error missing Pictures/missing-wall.jpg"_s,
        u"error undecodable Music/broken.mp3"_s,
        u"error no-opener Soft/setup.exe"_s,
        u"error too-long Docs/long.txt"_s,
        u"warning document-program Docs/run.sh"_s,
        u"error undecodable Pictures/broken.jpg"_s,
        u"error missing Music/missing.ogg"_s,
        u"error missing Tools/gone.dat"_s,
        u"warning letter-case Soft/install.sh"_s,
    };
    Expected.sort();
    QCOMPARE(Digest(Result), Expected);
    QCOMPARE(Result.ExitCode(), 1);
    QCOMPARE(Result.Errors(), 13);
    QCOMPARE(Result.Warnings(), 7);
    QCOMPARE(Result.Sections, 1);
    QCOMPARE(Result.Items, 3);
    QCOMPARE(Result.Steps, 9);
}

void TDiscCheckTest::NamesWhereEachFileIsNamed()
{
    const QString Disc = MakeFaultyDisc();
    QVERIFY(!Disc.isEmpty());
    const TCheckResult Result = Check(Disc);
    const TVeltraneProject* Project = Result.Project.get();

    const TProblem* Missing = Find(Result, TProblemKind::Missing, u"Music/missing.ogg"_s);
    QVERIFY(Missing);
    // Named twice: one problem with both places.
    QCOMPARE(Missing->Places.size(), 2);
    QCOMPARE(DescribePlace(Missing->Places.first(), Project),
             u"section 1 \"Programs\", item 2 \"Readme\", action 1 \"Read\", step 5, OpenObject"_s);
    QCOMPARE(DescribePlace(Missing->Places.last(), Project),
             u"section 1 \"Programs\", item 3 \"Tools\", action 1 \"Run\", step 2, OpenObject"_s);

    const TProblem* Rule = Find(Result, TProblemKind::Missing, u"Tools/gone.dat"_s);
    QVERIFY(Rule);
    QCOMPARE(DescribePlace(Rule->Places.first(), Project),
             u"section 1 \"Programs\", item 3 \"Tools\", copy rule 2"_s);

    const TProblem* Case = Find(Result, TProblemKind::LetterCase, u"Shell/Images/wallpaper.jpg"_s);
    QVERIFY(Case);
    QCOMPARE(DescribePlace(Case->Places.first(), Project), u"shell.ini [Images] Wallpaper"_s);
    QVERIFY2(Case->Message.contains(u"Shell/Images/Wallpaper.JPG"_s), qPrintable(Case->Message));

    // The background of the about window: named by shell.ini and loaded by that window.
    const TProblem* Background = Find(Result, TProblemKind::Undecodable, u"Shell/Images/broken.gif"_s);
    QVERIFY(Background);
    QStringList Places;
    for (const TPlace& Place : Background->Places) {
        Places.append(DescribePlace(Place, Project));
    }
    QCOMPARE(Places, (QStringList{u"shell.ini [Images] OptionsScreen"_s, u"the skin of the about window"_s}));

    const TProblem* Line = Find(Result, TProblemKind::ControlsLine, u"Shell/controls.ini"_s);
    QVERIFY(Line);
    QCOMPARE(DescribePlace(Line->Places.first(), Project), u"controls.ini line 13"_s);
    QVERIFY2(Line->Message.startsWith(u"[TextField] Align=alSideways fails"_s), qPrintable(Line->Message));

    QStringList Settings;
    for (const TProblem& P : Result.Problems) {
        if (P.Kind == TProblemKind::UnknownSetting || P.Kind == TProblemKind::BadValue) {
            Settings.append(P.Message);
        }
    }
    Settings.sort();
    QCOMPARE(Settings, (QStringList{
                           u"[Colors] Windows=clRed is not a colour ($BBGGRR or #RRGGBB): black is used"_s,
                           u"[Options] AutoPlayback=yes is not a number (0 for no, 1 for yes): the default 0 "
                           u"applies"_s,
                           u"[Options] Volumme is not a setting the program reads (did you mean Volume?)"_s,
                           u"section [Colours] is not read by the program (did you mean Colors?)"_s,
                       }));

    // The first line of a problem names its file, what is wrong and where it is named.
    QCOMPARE(ProblemLine(*Missing, Project),
             u"Music/missing.ogg: error: does not exist (named by section 1 \"Programs\", item 2 \"Readme\", "
             u"action 1 \"Read\", step 5, OpenObject, and 1 more place)"_s);
}

void TDiscCheckTest::WindowsProgramWithRegisteredRunnerOpens()
{
    const QString Disc = MakeFaultyDisc();
    QVERIFY(!Disc.isEmpty());
    // A runner registered for the type, as wine registers itself.
    const QString Runner = Path(u"bin/runner"_s);
    QVERIFY(WriteFile(Runner, "#!/bin/sh\nexit 0\n", true));
    const QString Type = QMimeDatabase().mimeTypeForFile(Disc + u"/Soft/setup.exe"_s).name();
    QVERIFY(WriteFile(Path(u"runner/applications/runner.desktop"_s),
                      (u"[Desktop Entry]\nType=Application\nName=Runner\nExec="_s + Runner +
                       u" %f\nMimeType="_s + Type + u";\n"_s)
                          .toUtf8()));
    QProcessEnvironment WithRunner = FEnv;
    WithRunner.insert(u"XDG_DATA_DIRS"_s, Path(u"share"_s) + u':' + Path(u"runner"_s));

    QVERIFY(Find(Check(Disc), TProblemKind::NoOpener, u"Soft/setup.exe"_s));
    const TCheckResult Result = CheckDisc({Disc, WithRunner});
    QVERIFY(!Find(Result, TProblemKind::NoOpener, u"Soft/setup.exe"_s));
    // The script opened as a document is still reported: the runner is not registered for its type.
    QVERIFY(Find(Result, TProblemKind::DocumentProgram, u"Docs/run.sh"_s));
}

void TDiscCheckTest::CleanDiscHasNoProblems()
{
    const QString Disc = MakeDisc(u"clean"_s);
    QVERIFY(!Disc.isEmpty());
    QVERIFY(WriteFile(Disc + u"/Soft/install.sh"_s, "#!/bin/sh\nexit 0\n", true));
    QVERIFY(WriteFile(Disc + u"/Soft/readme.txt"_s, "Read me.\n"));
    const TCheckResult Result = Check(Disc);
    QVERIFY2(Result.Loaded, qPrintable(Result.LoadError));
    QCOMPARE(Digest(Result), QStringList());
    QCOMPARE(Result.ExitCode(), 0);
    QVERIFY2(Result.Summary().endsWith(u": no problems; 4 files checked for 1 section, 1 item, 4 steps"_s),
             qPrintable(Result.Summary()));
}

void TDiscCheckTest::UnloadableProjectIsExitCodeTwo_data()
{
    QTest::addColumn<QByteArray>("Project");
    QTest::addColumn<QString>("Reason");
    QTest::newRow("no structure file") << QByteArray() << u"no structure file"_s;
    QTest::newRow("not a structure file") << QByteArray("not a project at all") << u"Wrong project file"_s;
}

void TDiscCheckTest::UnloadableProjectIsExitCodeTwo()
{
    QFETCH(QByteArray, Project);
    QFETCH(QString, Reason);
    const QString Disc = MakeDisc(u"clean"_s);
    QVERIFY(!Disc.isEmpty());
    QFile::remove(Disc + u"/Shell/veltrane.vlp"_s);
    if (!Project.isEmpty()) {
        QVERIFY(WriteFile(Disc + u"/Shell/veltrane.vlp"_s, Project));
    }
    const TCheckResult Result = Check(Disc);
    QVERIFY(!Result.Loaded);
    QCOMPARE(Result.ExitCode(), 2);
    QVERIFY2(Result.LoadError.contains(Reason), qPrintable(Result.LoadError));
    QVERIFY(Result.Problems.isEmpty());

    QCOMPARE(Check(Disc + u"/no such folder"_s).ExitCode(), 2);
}

void TDiscCheckTest::ToolPrintsLinesJsonAndHelp()
{
    const QString Disc = MakeFaultyDisc();
    QVERIFY(!Disc.isEmpty());
    const auto Run = [this](const QStringList& Arguments, QByteArray& Out) {
        QProcess Tool;
        QProcessEnvironment Env = FEnv;
        Env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        Tool.setProcessEnvironment(Env);
        Tool.start(QStringLiteral(VLPTOOL_PATH), Arguments);
        if (!Tool.waitForFinished(120000)) {
            return -1;
        }
        Out = Tool.readAllStandardOutput();
        return Tool.exitStatus() == QProcess::NormalExit ? Tool.exitCode() : -1;
    };

    QByteArray Out;
    QCOMPARE(Run({u"check"_s, Disc}, Out), 1);
    QStringList Lines = QString::fromUtf8(Out).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(Lines.size(), 21);
    QVERIFY(Lines.contains(u"Tools/gone.dat: error: does not exist (named by section 1 \"Programs\", item 3 "
                           u"\"Tools\", copy rule 2)"_s));
    QVERIFY2(Lines.last().endsWith(u": 13 errors, 7 warnings; 15 files checked for 1 section, 3 items, 9 steps"_s),
             qPrintable(Lines.last()));

    QCOMPARE(Run({u"check"_s, u"--json"_s, Disc}, Out), 1);
    const QJsonObject Json = QJsonDocument::fromJson(Out).object();
    QCOMPARE(Json.value(u"errors"_s).toInt(), 13);
    QCOMPARE(Json.value(u"problems"_s).toArray().size(), 20);
    bool FoundStep = false;
    for (const QJsonValue& Problem : Json.value(u"problems"_s).toArray()) {
        if (Problem[u"file"_s].toString() == u"Soft/setup.exe"_s) {
            QCOMPARE(Problem[u"kind"_s].toString(), u"no-opener"_s);
            const QJsonObject Place = Problem[u"places"_s].toArray().first().toObject();
            QCOMPARE(Place.value(u"item"_s).toInt(), 0);
            QCOMPARE(Place.value(u"step"_s).toInt(), 0);
            QCOMPARE(Place.value(u"field"_s).toString(), u"OpenObject"_s);
            // Apart from the problem's own "file": what names it.
            QCOMPARE(Place.value(u"in"_s).toString(), u"project"_s);
            QVERIFY(!Place.contains(u"file"_s));
            FoundStep = true;
        }
    }
    QVERIFY(FoundStep);

    QCOMPARE(Run({u"--help"_s}, Out), 0);
    for (const char* Command : {"vlptool dump", "vlptool build", "vlptool check", "--json"}) {
        QVERIFY2(Out.contains(Command), Command);
    }
    QCOMPARE(Run({u"check"_s, u"--help"_s}, Out), 0);
    QVERIFY(Out.contains("vlptool check DISC") && Out.contains("Exit code: 0") && !Out.contains("vlptool dump"));
    QCOMPARE(Run({u"dump"_s, u"--help"_s}, Out), 0);
    QVERIFY(Out.contains("vlptool dump FILE") && !Out.contains("vlptool check"));
    QCOMPARE(Run({u"check"_s}, Out), 2);
}

QTEST_MAIN(TDiscCheckTest)
#include "tst_disccheck.moc"
