// Running an item's actions: picture runs around other steps, missing files, programs with and
// without an association, the parameter placeholder, folders and documents, copying before opening.

#include "ActionExecution.h"
#include "BrowseForm.h"
#include "Edit.h"
#include "FakeMessageService.h"
#include "FakeShellService.h"
#include "FakeVolumeProvider.h"
#include "MessageService.h"
#include "Pause.h"
#include "PhotoForm.h"
#include "PrivateDesktop.h"
#include "VeltraneBtn.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

TShellAction& AddStep(TItemAction& Action, TShlActionType Type, TObjectType Object, const QString& OpenObject)
{
    TShellAction& Step = Action.ShellActions.Add();
    Step.ShellActionType = Type;
    Step.ObjectType = Object;
    Step.OpenObject = OpenObject;
    return Step;
}

} // namespace

class TActionExecutionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void pictureRunsAroundOtherSteps();
    void missingPictures();
    void actionWithoutSteps();
    void programSteps_data();
    void programSteps();
    void applicationParams_data();
    void applicationParams();
    void foldersAndDocuments();
    void musicAndText();
    void copyThenOpen_data();
    void copyThenOpen();

    // Through the system's shell on a private desktop.
    void programGetsTheNativePath();
    void documentsAreNeverExecuted();
    void windowsPrograms_data();
    void windowsPrograms();
    void precopyStartsTheCopiedProgram_data();
    void precopyStartsTheCopiedProgram();

private:
    void Touch(const QString& Relative);
    // The recording program of Desktop written to the disc at Relative.
    void WriteRecorder(const TPrivateDesktop& Desktop, const QString& Relative, bool Executable);

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TVeltraneProject> FProject;
    TItem* FItem = nullptr;
    TFakeShellService FShell;
    TRecordingMessages FMessages;
    QList<qint64> FPauses;
    QList<QPair<int, int>> FShownRuns; // start, count of the list when shown
    QStringList FTexts, FMusic;
    int FCopyResult = 1;
    QString FCopyFolder;
    int FCopies = 0;
};

void TActionExecutionTest::initTestCase()
{
    InitLanguageUnit();
    ChooseStartupLanguage(0x0409);
    SetMessageService(&FMessages);
    SetShellService(&FShell);
    SetPauseAfterStart([this](qint64 Ms) { FPauses.append(Ms); });
    TActionEnvironment& Env = ActionEnvironment();
    Env.ShowImageList = [this](const TShellActions& List, int Start) {
        FShownRuns.append({Start, List.Count()});
    };
    Env.ShowText = [this](const QString& FileName) { FTexts.append(FileName); };
    Env.PlayMusic = [this](const QString& FileName) { FMusic.append(FileName); };
    Env.ExecuteCopy = [this](const TCopyRules& Rules, QString& Folder) {
        Q_UNUSED(Rules);
        ++FCopies;
        Folder = FCopyFolder;
        return FCopyResult;
    };
    Env.CurrentItem = [this] { return FItem; };
}

void TActionExecutionTest::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FProject = std::make_unique<TVeltraneProject>();
    FProject->Folder = FDir->path() + u'/';
    Project = FProject.get();
    TSection& Section = FProject->Sections.Add();
    FItem = &Section.SItems.Add();
    FItem->Name = u"Player"_s;
    FShell.Calls.clear();
    FShell.Results.clear();
    FShell.DefaultResult = srStarted;
    FMessages.Boxes.clear();
    FMessages.Answer = idOk;
    FPauses.clear();
    FShownRuns.clear();
    FTexts.clear();
    FMusic.clear();
    FCopyResult = 1;
    FCopyFolder.clear();
    FCopies = 0;
    ImageActionList.Clear();
}

void TActionExecutionTest::cleanup()
{
    ImageActionList.Clear();
    FItem = nullptr;
    Project = nullptr;
    FProject.reset();
    FDir.reset();
}

void TActionExecutionTest::Touch(const QString& Relative)
{
    const QString Path = FDir->filePath(Relative);
    QDir().mkpath(QFileInfo(Path).path());
    QFile F(Path);
    QVERIFY(F.open(QIODevice::WriteOnly));
    F.write("x");
}

void TActionExecutionTest::pictureRunsAroundOtherSteps()
{
    for (const QString& Name : {u"a.png"_s, u"b.png"_s, u"c.png"_s, u"setup.sh"_s, u"run.sh"_s})
        Touch(Name);
    TItemAction Action;
    AddStep(Action, atOpenObject, otImage, u"a.png"_s);
    AddStep(Action, atOpenObject, otImage, u"b.png"_s);
    AddStep(Action, atExecute, otExecutable, u"setup.sh"_s);
    AddStep(Action, atExecute, otExecutable, u"run.sh"_s);
    AddStep(Action, atOpenObject, otImage, u"c.png"_s);
    ExecuteItemAction(Action);

    // The first two pictures before the first program, the last one at the end, each run once.
    QCOMPARE(FShownRuns, (QList<QPair<int, int>>{{0, 2}, {2, 3}}));
    QCOMPARE(FShell.Calls.size(), 2);
    QCOMPARE(FShell.Calls[0].File, FProject->Folder + u"setup.sh"_s);
    QCOMPARE(FShell.Calls[0].WorkDir, FProject->Folder);
    QCOMPARE(FShell.Calls[1].File, FProject->Folder + u"run.sh"_s);
    QCOMPARE(ImageActionList.Count(), 3);
    QCOMPARE(FPauses, (QList<qint64>{1500, 1500}));
    QVERIFY(FMessages.Boxes.isEmpty());
}

void TActionExecutionTest::missingPictures()
{
    TItemAction Action;
    AddStep(Action, atOpenObject, otImage, QString());
    AddStep(Action, atOpenObject, otImage, u"gone.png"_s);
    ExecuteItemAction(Action);
    QVERIFY(FShownRuns.isEmpty());
    // Only the named file is reported; an empty step is skipped silently.
    QCOMPARE(FMessages.Boxes.size(), 1);
    QVERIFY(FMessages.Boxes[0].Text.endsWith(FProject->Folder + u"gone.png"_s));
    QCOMPARE(FMessages.Boxes[0].Caption, u"Veltrane"_s);
}

void TActionExecutionTest::actionWithoutSteps()
{
    ImageActionList.Add();
    ExecuteItemAction(TItemAction());
    QCOMPARE(ImageActionList.Count(), 0);
    QCOMPARE(FMessages.Boxes.size(), 1);
    QCOMPARE(FMessages.Boxes[0].Flags, 0x2040u);
    QVERIFY(FShell.Calls.isEmpty());
}

void TActionExecutionTest::programSteps_data()
{
    QTest::addColumn<bool>("CheckAssociation");
    QTest::addColumn<QString>("AppFile");
    QTest::addColumn<QList<int>>("Results");
    QTest::addColumn<QStringList>("Files");
    QTest::addColumn<QStringList>("Params");

    QTest::newRow("associated") << true << u"player.sh"_s << QList<int>{srStarted}
                                << QStringList{u"song.xyz"_s} << QStringList{QString()};
    QTest::newRow("association fails otherwise") << true << u"player.sh"_s << QList<int>{srAccessDenied}
                                                 << QStringList{u"song.xyz"_s} << QStringList{QString()};
    QTest::newRow("no association") << true << u"player.sh"_s << QList<int>{srNoAssociation}
                                    << QStringList{u"song.xyz"_s, u"player.sh"_s}
                                    << QStringList{QString(), u" -play %1 -q"_s};
    QTest::newRow("not checked") << false << u"player.sh"_s << QList<int>{} << QStringList{u"player.sh"_s}
                                 << QStringList{u" -play %1 -q"_s};
    // Without an application the project folder itself is opened.
    QTest::newRow("not checked, no application")
        << false << QString() << QList<int>{} << QStringList{QString()} << QStringList{u" -play %1 -q"_s};
}

void TActionExecutionTest::programSteps()
{
    QFETCH(bool, CheckAssociation);
    QFETCH(QString, AppFile);
    QFETCH(QList<int>, Results);
    QFETCH(QStringList, Files);
    QFETCH(QStringList, Params);
    Touch(u"song.xyz"_s);
    TItemAction Action;
    TShellAction& Step = AddStep(Action, atInstall, otFile, u"song.xyz"_s);
    Step.CheckAssociation = CheckAssociation;
    Step.AppFile = AppFile;
    Step.AppParams = u"-play [$FILENAME] -q"_s;
    FShell.Results = Results;
    ExecuteItemAction(Action);

    QCOMPARE(FShell.Calls.size(), Files.size());
    const QString Song = FProject->Folder + u"song.xyz"_s;
    for (int I = 0; I < Files.size(); ++I) {
        QCOMPARE(FShell.Calls[I].File, FProject->Folder + Files[I]);
        QCOMPARE(FShell.Calls[I].Params, QString(Params[I]).replace(u"%1"_s, Song));
    }
}

void TActionExecutionTest::applicationParams_data()
{
    QTest::addColumn<QString>("AppParams");
    QTest::addColumn<QString>("Path");
    QTest::addColumn<QString>("Expected");

    QTest::newRow("bracketed, capitals") << u"/s [$FileName] /q"_s << u"D:\\a.txt"_s << u" /s D:\\a.txt /q"_s;
    QTest::newRow("bare") << u"-i $filename"_s << u"/cd/a.txt"_s << u" -i /cd/a.txt"_s;
    QTest::newRow("percent one") << u"%1"_s << u"/cd/a.txt"_s << u" /cd/a.txt"_s;
    QTest::newRow("first occurrence only") << u"%1 %1"_s << u"/x"_s << u" /x %1"_s;
    QTest::newRow("bracketed wins over bare") << u"$filename [$filename]"_s << u"/x"_s << u" $filename /x"_s;
    QTest::newRow("none") << u"-quiet"_s << u"/x"_s << u"-quiet"_s;
    QTest::newRow("empty") << QString() << u"/x"_s << QString();
    QTest::newRow("blank in path is quoted")
        << u"-f %1"_s << u"/cd/My File.txt"_s << u" -f \"/cd/My File.txt\""_s;
    QTest::newRow("already quoted") << u"-f \"%1\""_s << u"/cd/My File.txt"_s << u" -f \"/cd/My File.txt\""_s;
}

void TActionExecutionTest::applicationParams()
{
    QFETCH(QString, AppParams);
    QFETCH(QString, Path);
    QFETCH(QString, Expected);
    QCOMPARE(ApplicationParams(AppParams, Path), Expected);
}

void TActionExecutionTest::foldersAndDocuments()
{
    QDir(FDir->path()).mkpath(u"Docs"_s);
    Touch(u"Docs/manual.odt"_s);
    TItemAction Action;
    AddStep(Action, atOpenObject, otFolder, u"Missing"_s);
    AddStep(Action, atOpenObject, otFolder, u"Docs"_s);
    AddStep(Action, atOpenObject, otFile, u"docs\\MANUAL.odt"_s);
    AddStep(Action, atOpenObject, otFile, u"docs\\gone.pdf"_s);
    FShell.Results = {srStarted, srNoAssociation};
    ExecuteItemAction(Action);

    // The missing folder does nothing and says nothing; the document without a program opens its folder.
    // The shell and the message get the paths the file system knows, not the project's notation.
    QCOMPARE(FShell.Calls.size(), 3);
    QCOMPARE(FShell.Calls[0].File, FProject->Folder + u"Docs"_s);
    QCOMPARE(FShell.Calls[1].Verb, TFakeShellService::svOpen);
    QCOMPARE(FShell.Calls[1].File, FProject->Folder + u"Docs/manual.odt"_s);
    QCOMPARE(FShell.Calls[1].WorkDir, FProject->Folder + u"Docs/"_s);
    QCOMPARE(FShell.Calls[2].File, FProject->Folder + u"Docs/"_s);
    QCOMPARE(FMessages.Boxes.size(), 1);
    QCOMPARE(FMessages.Boxes[0].Text, u"Veltrane can not find file\n"_s + FProject->Folder + u"Docs/gone.pdf"_s);
}

void TActionExecutionTest::musicAndText()
{
    Touch(u"song.ogg"_s);
    Touch(u"readme.txt"_s);
    TItemAction Action;
    AddStep(Action, atOpenObject, otMusic, u"song.ogg"_s);
    AddStep(Action, atOpenObject, otText, u"readme.txt"_s);
    AddStep(Action, atOpenObject, otText, u"gone.txt"_s);
    TShellAction& Message = AddStep(Action, atShowMessage, otFile, QString());
    Message.Msg.Text = u"Insert disc 2"_s;
    Message.Msg.IconIndex = 48;
    ExecuteItemAction(Action);

    QCOMPARE(FMusic, QStringList{FProject->Folder + u"song.ogg"_s});
    QCOMPARE(FTexts, QStringList{FProject->Folder + u"readme.txt"_s});
    QCOMPARE(FMessages.Boxes.size(), 2);
    QVERIFY(FMessages.Boxes[0].Text.endsWith(u"gone.txt"_s));
    QCOMPARE(FMessages.Boxes[1].Text, u"Insert disc 2"_s);
    QCOMPARE(FMessages.Boxes[1].Flags, 0x2030u);
    QVERIFY(FShell.Calls.isEmpty());
}

void TActionExecutionTest::copyThenOpen_data()
{
    QTest::addColumn<bool>("Legacy");
    QTest::addColumn<QString>("MsgText");
    QTest::addColumn<int>("Answer");
    QTest::addColumn<int>("CopyResult");
    QTest::addColumn<bool>("Asked");
    QTest::addColumn<bool>("Copied");
    QTest::addColumn<bool>("Opened");

    QTest::newRow("message text: no question") << false << u"x"_s << idNo << 1 << false << true << true;
    QTest::newRow("no message text: asked, yes") << false << QString() << idYes << 1 << true << true << true;
    QTest::newRow("asked, no") << false << QString() << idNo << 1 << true << false << false;
    QTest::newRow("legacy project is always asked") << true << u"x"_s << idYes << 1 << true << true << true;
    QTest::newRow("copy window cancelled") << false << u"x"_s << idYes << 2 << false << true << false;
}

void TActionExecutionTest::copyThenOpen()
{
    QFETCH(bool, Legacy);
    QFETCH(QString, MsgText);
    QFETCH(int, Answer);
    QFETCH(int, CopyResult);
    QFETCH(bool, Asked);
    QFETCH(bool, Copied);
    QFETCH(bool, Opened);
    FProject->LegacyFlag = Legacy;
    FMessages.Answer = Answer;
    FCopyResult = CopyResult;
    FCopyFolder = FDir->filePath(u"Games"_s);
    Touch(u"Games/Bin/game.sh"_s);
    TItemAction Action;
    TShellAction& Step = AddStep(Action, atPrecopyFiles, otExecutable, u"...\\Bin\\game.sh"_s);
    Step.Msg.Text = MsgText;
    ExecuteItemAction(Action);

    QCOMPARE(FMessages.Boxes.size(), Asked ? 1 : 0);
    if (Asked) {
        QVERIFY(FMessages.Boxes[0].Text.startsWith(u"Player "_s));
        QCOMPARE(FMessages.Boxes[0].Caption, strCopying);
        QCOMPARE(FMessages.Boxes[0].Flags, mbYesNo | mbIconQuestion);
    }
    QCOMPARE(FCopies, Copied ? 1 : 0);
    QCOMPARE(FShell.Calls.size(), Opened ? 1 : 0);
    if (Opened) {
        // A copied program is started as one.
        QCOMPARE(FShell.Calls[0].Verb, TFakeShellService::svRun);
        QCOMPARE(FShell.Calls[0].File, FCopyFolder + u"/Bin/game.sh"_s);
    }
}

void TActionExecutionTest::WriteRecorder(const TPrivateDesktop& Desktop, const QString& Relative, bool Executable)
{
    QVERIFY(TPrivateDesktop::WriteFile(FDir->filePath(Relative), Desktop.RecorderScript(),
                                       Executable ? TPrivateDesktop::Executable : TPrivateDesktop::ReadWrite));
}

// Runs Test with the system's shell working on Desktop in place of the recording fake.
#define WITH_SYSTEM_SHELL(Desktop)                                                                           \
    QVERIFY(Desktop.IsValid());                                                                              \
    const auto SystemShell = Desktop.CreateShell();                                                          \
    SetShellService(SystemShell.get());                                                                      \
    const auto RestoreFake = qScopeGuard([this] { SetShellService(&FShell); })

void TActionExecutionTest::programGetsTheNativePath()
{
    TPrivateDesktop Desktop;
    WITH_SYSTEM_SHELL(Desktop);
    Touch(u"Docs/Мой Файл.txt"_s);
    WriteRecorder(Desktop, u"Tools/logger.sh"_s, true);
    TItemAction Action;
    // Written as a disc written on Windows names them: backslashes, another case.
    TShellAction& Step = AddStep(Action, atExecute, otFile, u"docs\\мой файл.TXT"_s);
    Step.CheckAssociation = false;
    Step.AppFile = u"tools\\LOGGER.sh"_s;
    Step.AppParams = u"-f %1"_s;
    ExecuteItemAction(Action);

    const auto Record = Desktop.WaitForRecord();
    QVERIFY(Record);
    // One argument, the file as it exists.
    QCOMPARE(Record->Args, (QStringList{u"-f"_s, FDir->filePath(u"Docs/Мой Файл.txt"_s)}));
    QCOMPARE(Record->Cwd, QFileInfo(FDir->filePath(u"Tools"_s)).canonicalFilePath());
    QVERIFY(FMessages.Boxes.isEmpty());
}

void TActionExecutionTest::documentsAreNeverExecuted()
{
    TPrivateDesktop Desktop;
    WITH_SYSTEM_SHELL(Desktop);
    QVERIFY(Desktop.Register(u"viewer"_s, {u"text/plain"_s}));
    // A text of the disc whose first line is "#!", with the execute bit: a document step shows it.
    WriteRecorder(Desktop, u"Docs/read me.txt"_s, true);
    TItemAction Document;
    AddStep(Document, atOpenObject, otFile, u"Docs\\read me.txt"_s);
    ExecuteItemAction(Document);
    auto Record = Desktop.WaitForRecord();
    QVERIFY(Record);
    QCOMPARE(Record->Args, (QStringList{u"--viewer"_s, FDir->filePath(u"Docs/read me.txt"_s)}));

    // The other direction: the same file named as a program by an open step runs.
    TItemAction Program;
    AddStep(Program, atOpenObject, otExecutable, u"Docs\\read me.txt"_s);
    ExecuteItemAction(Program);
    Record = Desktop.WaitForRecord();
    QVERIFY(Record);
    QCOMPARE(Record->Args, QStringList());
    QCOMPARE(Record->Cwd, QFileInfo(FDir->filePath(u"Docs"_s)).canonicalFilePath());
    QVERIFY(FMessages.Boxes.isEmpty());
}

void TActionExecutionTest::windowsPrograms_data()
{
    QTest::addColumn<bool>("Runner");
    QTest::newRow("a runner registered for the type") << true;
    QTest::newRow("nothing here runs it") << false;
}

void TActionExecutionTest::windowsPrograms()
{
    QFETCH(bool, Runner);
    TPrivateDesktop Desktop;
    WITH_SYSTEM_SHELL(Desktop);
    QVERIFY(TPrivateDesktop::WriteFile(FDir->filePath(u"Setup/setup.exe"_s), QByteArray("MZ") + QByteArray(100, '\0')));
    if (Runner) {
        const QString Type = QMimeDatabase().mimeTypeForFile(FDir->filePath(u"Setup/setup.exe"_s)).name();
        QVERIFY(Desktop.Register(u"wine"_s, {Type}));
    }
    TItemAction Action;
    TShellAction& Step = AddStep(Action, atInstall, otExecutable, u"setup\\SETUP.EXE"_s);
    Step.CheckAssociation = true;
    Step.AppFile = u"Setup\\setup.exe"_s;
    ExecuteItemAction(Action);

    const QString Exe = FDir->filePath(u"Setup/setup.exe"_s);
    if (Runner) {
        const auto Record = Desktop.WaitForRecord();
        QVERIFY(Record);
        QCOMPARE(Record->Args, (QStringList{u"--wine"_s, Exe}));
        QVERIFY(FMessages.Boxes.isEmpty());
    } else {
        // Said once, clearly, and the step ends there.
        QCOMPARE(FMessages.Boxes.size(), 1);
        QCOMPARE(FMessages.Boxes[0].Text, u"The program\n"_s + Exe + u"\ncannot run on this system."_s);
        QCOMPARE(FMessages.Boxes[0].Flags, 0x2030u);
        QVERIFY(FPauses.isEmpty());
    }
}

void TActionExecutionTest::precopyStartsTheCopiedProgram_data()
{
    QTest::addColumn<QString>("Typed");  // in the copy window's folder field
    QTest::addColumn<QString>("Folder"); // where the copy goes, below the listed folder
    QTest::addColumn<QString>("Object"); // what the step opens

    QTest::newRow("a name") << u"rel"_s << u"rel/"_s << u"...\\Bin\\game.sh"_s;
    QTest::newRow("field emptied") << QString() << QString() << u"...\\Bin\\game.sh"_s;
    QTest::newRow("a full path") << u"<home>/Full Path"_s << u"Full Path/"_s << u"...\\bin\\GAME.sh"_s;
    QTest::newRow("object not copied") << u"rel"_s << u"rel/"_s << u"...\\Bin\\other.sh"_s;
}

void TActionExecutionTest::precopyStartsTheCopiedProgram()
{
    QFETCH(QString, Typed);
    QFETCH(QString, Folder);
    QFETCH(QString, Object);
    TPrivateDesktop Desktop;
    WITH_SYSTEM_SHELL(Desktop);
    const QString Home = FDir->filePath(u"home"_s);
    QVERIFY(QDir().mkpath(Home));
    Typed.replace(u"<home>"_s, Home);
    TFakeVolumeProvider Volumes;
    TVolume HomeVolume;
    HomeVolume.RootPath = Home;
    HomeVolume.IsHome = true;
    Volumes.List = {HomeVolume};
    SetVolumeProvider(&Volumes);
    const auto RestoreVolumes = qScopeGuard([] { SetVolumeProvider(nullptr); });
    DesignSettings = IniFileStruct{};

    // The disc's program, to be copied and then started from the copy.
    WriteRecorder(Desktop, u"Bin/game.sh"_s, true);
    TBrowseF Window;
    TActionEnvironment& Env = ActionEnvironment();
    const auto RestoreCopy = qScopeGuard([&Env, Saved = Env.ExecuteCopy] { Env.ExecuteCopy = Saved; });
    Env.ExecuteCopy = [&Window](const TCopyRules& Rules, QString& Chosen) {
        return CopyThroughWindow(Window, Rules, Chosen);
    };
    TItemAction Action;
    TShellAction& Step = AddStep(Action, atPrecopyFiles, otExecutable, Object);
    Step.Msg.Text = u"x"_s;
    TCopyRule& Rule = Step.PrecopyFiles.Add();
    Rule.CopyingObject = u"Bin\\*.*"_s;
    Rule.Destination = u"...\\Bin"_s;
    QTimer::singleShot(0, &Window, [&] {
        Window.DirEdit->SetText(Typed);
        Window.CopyBtn->Click();
    });
    ExecuteItemAction(Action);

    const QString CopiedFolder = Home + u'/' + Folder + u"Bin"_s;
    QVERIFY(QFileInfo::exists(CopiedFolder + u"/game.sh"_s));
    if (Object.contains(u"other"_s)) {
        // Not among the copied files: said, with the path where it was looked for.
        QCOMPARE(FMessages.Boxes.size(), 1);
        QCOMPARE(FMessages.Boxes[0].Text, u"Veltrane can not find file\n"_s + CopiedFolder + u"/other.sh"_s);
        return;
    }
    // The copy, not the disc's file, runs, in its own folder.
    const auto Record = Desktop.WaitForRecord();
    QVERIFY(Record);
    QCOMPARE(Record->Cwd, QFileInfo(CopiedFolder).canonicalFilePath());
    QVERIFY(FMessages.Boxes.isEmpty());
}

QTEST_MAIN(TActionExecutionTest)
#include "tst_actionexecution.moc"
