#include "Startup.h"

#include "AboutForm.h"
#include "ActionExecution.h"
#include "BrowseForm.h"
#include "CursorSlots.h"
#include "ImageList.h"
#include "InstanceLock.h"
#include "ListForm.h"
#include "LoadProject.h"
#include "MainForm.h"
#include "MemoryTuning.h"
#include "MessageService.h"
#include "MusicPlayer.h"
#include "PhotoForm.h"
#include "PngEncoder.h"
#include "ReadForm.h"
#include "SplashForm.h"
#include "SystemLanguage.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/LoadMessages.h"
#include "text/Paths.h"
#include "version/VersionInfo.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPalette>
#include <QToolTip>
#include <QWindow>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// With AUTORUN_MESSAGE_LOG set, message boxes are written to that file and answered at once, so that
// end-to-end tests can run the real program without anyone at the screen.
class TLoggingMessageService : public IMessageService
{
public:
    explicit TLoggingMessageService(const QString& FileName) : FFileName(FileName) {}
    int MessageBox(const QString& Text, const QString& Caption, unsigned Flags) override
    {
        QFile Log(FFileName);
        if (Log.open(QIODevice::Append)) {
            const QString Line = Caption + u'\t' + QString::number(Flags, 16) + u'\t' + Text + u'\n';
            Log.write(Line.toUtf8());
        }
        return 1;
    }

private:
    QString FFileName;
};

QColor ColorFromRef(quint32 Ref)
{
    return QColor(int(Ref & 0xFF), int((Ref >> 8) & 0xFF), int((Ref >> 16) & 0xFF));
}

} // namespace

QString DiscRootFor(const QStringList& Arguments, const QString& ExecutablePath)
{
    QString Folder;
    if (Arguments.size() > 1 && !Arguments[1].isEmpty() && QFileInfo(Arguments[1]).isDir())
        Folder = QFileInfo(Arguments[1]).absoluteFilePath();
    else
        Folder = QFileInfo(ExecutablePath).absolutePath();
    Folder = QDir::cleanPath(Folder);
    return Folder.endsWith(u'/') ? Folder : Folder + u'/';
}

namespace {

// Lets the shown window lay itself out and paint, then saves it as a PNG picture.
int SaveSnapshot(QWidget& Window, const QString& FileName)
{
    QElapsedTimer Waited;
    Waited.start();
    while (Window.windowHandle() && !Window.windowHandle()->isExposed() && Waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
    const QString Path = QFileInfo(FileName).absoluteFilePath();
    // The quick writer: this picture is taken to time the start-up, among other uses.
    if (QString Error; !SavePngFast(Window.grab().toImage(), Path, Error)) {
        std::fprintf(stderr, "autorun: cannot write the snapshot %s: %s\n", qUtf8Printable(Path),
                     qUtf8Printable(Error));
        return 1;
    }
    std::printf("autorun: snapshot written to %s\n", qUtf8Printable(Path));
    return 0;
}

// What the windows do for one another: the main window's commands open the others, and running an
// action opens the viewer, the reader and the copy window and plays its music.
TBrowseFEnvironment BrowseEnvironment(TMainF& MainF)
{
    TBrowseFEnvironment Environment;
    Environment.CurrentItem = [&MainF] { return static_cast<const TItem*>(MainF.CurrentItem()); };
    Environment.CopyGlyph = MainF.ImagesList->Image(5);
    Environment.ImagesFolder = TMainF::ImagesFolder();
    return Environment;
}

void ConnectWindows(TMainF& MainF, TAboutF& AboutForm, TPhotoF& PhotoForm, TReadF& ReadForm,
                    TBrowseF& BrowseForm, TListF& ListForm)
{
    TActionEnvironment& Actions = ActionEnvironment();
    Actions.ShowImageList = [&PhotoForm](const TShellActions& List, int Start) {
        PhotoForm.ShowImageList(List, Start);
    };
    Actions.ShowText = [&ReadForm](const QString& FileName) { ReadForm.ShowDocument(NativePath(FileName)); };
    Actions.PlayMusic = [&MainF](const QString& FileName) { MainF.Music().PlayItemMusic(FileName); };
    Actions.CurrentItem = [&MainF] { return MainF.CurrentItem(); };
    Actions.ExecuteCopy = [&BrowseForm](const TCopyRules& Rules, QString& Folder) {
        return CopyThroughWindow(BrowseForm, Rules, Folder);
    };
    MainF.OnCopyFiles = [&BrowseForm](TItem& Item) { BrowseForm.ExecuteCopy(Item.CopyRules); };

    MainF.OnExecuteItemAction = [](const TItemAction& Action) { ExecuteItemAction(Action); };
    MainF.OnChooseAction = [&ListForm] {
        ListForm.show();
        ListForm.raise();
        ListForm.activateWindow();
    };
    ListForm.OnExecuteAction = [](const TItemAction& Action) { ExecuteItemAction(Action); };
    MainF.OnShowOptions = [&AboutForm] {
        AboutForm.show();
        AboutForm.raise();
        AboutForm.activateWindow();
    };
    AboutForm.OnPlayMusic = [&MainF] { MainF.Music().PlayMusic(MainF.Music().MusicFileName(), true, true); };
}

} // namespace

void UseBundlePlugins()
{
    const QByteArray Folder = qgetenv("AUTORUN_PLUGIN_PATH");
    if (Folder.isEmpty())
        return;
    QCoreApplication::setLibraryPaths({QFile::decodeName(Folder)});
    qunsetenv("AUTORUN_PLUGIN_PATH");
}

int RunAutorun(int argc, char** argv)
{
    UseBundlePlugins();
    // The application object comes first: message boxes need it, even the single-instance one.
    QApplication App(argc, argv);
    std::unique_ptr<TLoggingMessageService> MessageLog;
    if (const QString LogFile = qEnvironmentVariable("AUTORUN_MESSAGE_LOG"); !LogFile.isEmpty()) {
        MessageLog = std::make_unique<TLoggingMessageService>(LogFile);
        SetMessageService(MessageLog.get());
    }

    // 1. The language list.
    InitLanguageUnit();

    // 2, 3. The program and the disc root.
    const QStringList Arguments = App.arguments();
    ModuleFileName = QCoreApplication::applicationFilePath();
    ProgramFolder = DiscRootFor(Arguments, ModuleFileName);

    // 4. One instance per program path (the disc root and the executable's name).
    TInstanceLock InstanceMutex;
    if (!InstanceMutex.Acquire(ProgramFolder + QFileInfo(ModuleFileName).fileName())) {
        Messages().MessageBox(u"Application is already running"_s, ProductName.toString(), mbNoticeFlags);
        FinalizeLanguageUnit();
        return 1;
    }

    // 5. The language.
    ChooseStartupLanguage(GetSystemDefaultLangID());

    // 6, 7. The project object and the program's version it checks files against.
    auto TheProject = std::make_unique<TVeltraneProject>();
    Project = TheProject.get();
    TVersionInfo VersionInfo;
    GetVersionInfo(VersionInfo);
    Project->ProgramVersion = {quint8(VersionInfo.Major), quint8(VersionInfo.Minor),
                               quint8(VersionInfo.Release)};

    // 9. The design settings.
    ReadDesignSettings(ShellFolder() + u"shell.ini"_s);

    // 10, 11. The structure file, then the command line, which may name another one.
    ProjectFilePath = FindProjectFile();
    QStringList Line = Arguments;
    if (!Line.isEmpty())
        Line[0] = ModuleFileName;
    if (const int Exit = ParseCommandLine(Line.join(u' ')); Exit >= 0) {
        Project = nullptr;
        FinalizeLanguageUnit();
        return Exit;
    }
    // A large project is hundreds of thousands of small blocks; the heap is readied for them at once.
    ReserveHeapForLoad(HeapForProjectFile(QFileInfo(NativePath(ProjectFilePath)).size()));

    // 12.
    QApplication::setApplicationName(ProductName.toString());
    QPalette HintPalette = QToolTip::palette();
    HintPalette.setColor(QPalette::ToolTipBase, ColorFromRef(DesignSettings.Colors.Text));
    QToolTip::setPalette(HintPalette);

    // 13. The windows; the main window's creation loads the project.
    int ExitCode = 0;
    {
        TMainF MainF;
        TAboutF AboutForm;
        TPhotoF PhotoForm;
        TReadF ReadForm(&MainF);
        TBrowseF BrowseForm(BrowseEnvironment(MainF));
        TListF ListForm(&MainF);
        ConnectWindows(MainF, AboutForm, PhotoForm, ReadForm, BrowseForm, ListForm);
        // 14. The splash, if it was shown, goes once every window exists.
        if (HasStartFlag(sfShowSplash))
            CloseSplash();
        // 15. A project that failed to load ends the program without a window.
        if (!LoadFailed) {
            // 16.
            SetAnimatedCursors(HasStartFlag(sfAnimatedCursors));
            MainF.show();
            if (SnapshotFileName.isEmpty())
                ExitCode = App.exec();
            else
                ExitCode = SaveSnapshot(MainF, SnapshotFileName);
        }
    }

    // 17.
    Project = nullptr;
    TheProject.reset();
    FinalizeLanguageUnit();
    return ExitCode;
}
