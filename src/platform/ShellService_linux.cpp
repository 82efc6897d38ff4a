#include "ShellService.h"

#include "ProgramFile.h"
#include "text/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

// Why a program that exists could not be started.
int StartFailure(const QString& Program)
{
    const QFileInfo Info(Program);
    if (!Info.exists()) {
        return srFileNotFound;
    }
    if (!Info.isExecutable() || Info.isDir()) {
        return srAccessDenied;
    }
    return srBadFormat;
}

class TLinuxShellService : public IShellService
{
public:
    explicit TLinuxShellService(std::optional<QProcessEnvironment> Environment)
        : FEnvironment(std::move(Environment))
    {
    }

    int Open(const QString& File, const QString& Params, const QString& WorkDir) override
    {
        return OpenObject(File, Params, WorkDir, false);
    }

    int Explore(const QString& Folder) override
    {
        const QString Native =
            Folder.isEmpty() ? QString() : QFileInfo(NativePath(Folder)).absoluteFilePath();
        if (Native.isEmpty() || !QFileInfo(Native).isDir()) {
            return srPathNotFound;
        }
        return OpenFolder(Native, Environment());
    }

    int OpenUrl(const QUrl& Url) override
    {
        if (!Url.isValid() || Url.scheme().isEmpty()) {
            return srFileNotFound;
        }
        if (Url.isLocalFile()) {
            return Open(Url.toLocalFile(), QString(), QString());
        }
        const QProcessEnvironment Env = Environment();
        const auto Entry = Xdg::DefaultApplication({u"x-scheme-handler/"_s + Url.scheme().toLower()}, Env);
        if (!Entry) {
            return srNoAssociation;
        }
        QString Home = Env.value(u"HOME"_s);
        if (!QFileInfo(Home).isDir()) {
            Home = QDir::homePath();
        }
        return Launch(*Entry, {Url}, {}, Home, Env);
    }

    int Run(const QString& Application, const QString& Params, const QString& WorkDir) override
    {
        return OpenObject(Application, Params, WorkDir, true);
    }

private:
    std::optional<QProcessEnvironment> FEnvironment;

    QProcessEnvironment Environment() const
    {
        return FEnvironment ? *FEnvironment : QProcessEnvironment::systemEnvironment();
    }

    // The absolute file-system path File names: relative names are taken from WorkDir, and with
    // SearchPath a bare program name that is not there is looked up on PATH.
    static QString Resolve(const QString& File, const QString& WorkDir, bool SearchPath,
                           const QProcessEnvironment& Env)
    {
        QString Written = File;
        Written.replace(u'\\', u'/');
        QString Native;
        if (QDir::isAbsolutePath(Written) || WorkDir.isEmpty()) {
            Native = NativePath(File);
        } else {
            Native = NativePath(PathJoin({WorkDir}) + File);
        }
        if (SearchPath && !Written.contains(u'/') && !QFileInfo::exists(Native)) {
            if (const QString Found = Xdg::FindExecutable(Written, Env); !Found.isEmpty()) {
                return Found;
            }
        }
        // Absolute, because a relative program would be looked for after the change of folder.
        return QFileInfo(Native).absoluteFilePath();
    }

    // The verb "open" on a document or folder, or with AsProgram the start of a program (a bare name
    // then is looked up on PATH too).
    int OpenObject(const QString& File, const QString& Params, const QString& WorkDir, bool AsProgram)
    {
        if (IsBlank(File)) {
            return srFileNotFound;
        }
        const QProcessEnvironment Env = Environment();
        const QString Target = Resolve(File, WorkDir, AsProgram, Env);
        const QFileInfo Info(Target);
        if (!Info.exists()) {
            return QFileInfo(Info.absolutePath()).isDir() ? srFileNotFound : srPathNotFound;
        }
        if (Info.isDir()) {
            return OpenFolder(Target, Env);
        }
        if (!Info.isFile()) {
            // A device, pipe or socket: reading it to learn its type could block.
            return srAccessDenied;
        }

        QString WorkingDir =
            WorkDir.isEmpty() ? QString() : QFileInfo(NativePath(WorkDir)).absoluteFilePath();
        if (WorkingDir.isEmpty() || !QFileInfo(WorkingDir).isDir()) {
            WorkingDir = Info.absolutePath();
        }
        const QStringList Arguments = SplitCommandLine(Params);
        const TProgramFile Program = ClassifyProgramFile(Target);

        // Only a program step starts a file, and only a file that is a program: a document is never
        // executed, whatever its first line or execute bit.
        if (AsProgram) {
            switch (Program.Kind) {
            case pkNativeProgram:
                return StartProgram(Target, Arguments, WorkingDir, Env);
            case pkScript:
                return StartScript(Target, Program, Arguments, WorkingDir, Env);
            case pkWindowsProgram:
            case pkDocument:
                break;
            }
        }

        const QMimeType Type = QMimeDatabase().mimeTypeForFile(Info);
        if (const auto Entry = Xdg::DefaultApplication(Xdg::MimeTypeChain(Type), Env)) {
            // A Windows program's runner gets the program's own parameters after it.
            const QStringList Extra = Program.Kind == pkWindowsProgram ? Arguments : QStringList();
            return Launch(*Entry, {QUrl::fromLocalFile(Target)}, Extra, WorkingDir, Env);
        }
        // A program for another system, and nothing here that runs it.
        if (AsProgram && Program.Kind == pkWindowsProgram) {
            return srBadFormat;
        }
        return srNoAssociation;
    }

    static int StartScript(const QString& Script, const TProgramFile& Program, const QStringList& Arguments,
                           const QString& WorkingDir, const QProcessEnvironment& Env)
    {
        if (QFileInfo(Script).isExecutable()) {
            if (const int Code = StartProgram(Script, Arguments, WorkingDir, Env); ShellSucceeded(Code)) {
                return Code;
            }
        }
        // Without the execute bit (a ".sh" where the file system keeps none) or on a medium mounted
        // noexec, the script runs through its interpreter.
        if (!QDir::isAbsolutePath(Program.Interpreter)) {
            return srBadFormat;
        }
        QStringList InterpreterArguments;
        if (!Program.InterpreterArgument.isEmpty()) {
            InterpreterArguments.append(Program.InterpreterArgument);
        }
        InterpreterArguments.append(Script);
        InterpreterArguments += Arguments;
        return StartProgram(Program.Interpreter, InterpreterArguments, WorkingDir, Env);
    }

    static int OpenFolder(const QString& Folder, const QProcessEnvironment& Env)
    {
        const auto Entry = Xdg::DefaultApplication({u"inode/directory"_s}, Env);
        if (!Entry) {
            return srNoAssociation;
        }
        return Launch(*Entry, {QUrl::fromLocalFile(Folder)}, {}, Folder, Env);
    }

    static int Launch(const Xdg::TDesktopEntry& Entry, const QList<QUrl>& Targets, const QStringList& Extra,
                      const QString& WorkingDir, const QProcessEnvironment& Env)
    {
        QStringList Arguments = Xdg::ExpandExec(Xdg::SplitExec(Entry.Exec), Targets) + Extra;
        if (Arguments.isEmpty()) {
            return srBadFormat;
        }
        QString Program = Xdg::FindExecutable(Arguments.takeFirst(), Env);
        if (Program.isEmpty()) {
            return srFileNotFound;
        }
        if (!Entry.Terminal.isEmpty()) {
            Arguments = QStringList{u"-e"_s, Program} + Arguments;
            Program = Entry.Terminal;
        }
        const QString Dir = !Entry.Path.isEmpty() && QFileInfo(Entry.Path).isDir() ? Entry.Path : WorkingDir;
        return StartProgram(Program, Arguments, Dir, Env);
    }

    // Starts Program (an absolute path) detached: the program never waits for it, and it gets no
    // descriptor of ours (the instance lock and the watcher are close-on-exec).
    static int StartProgram(const QString& Program, const QStringList& Arguments, const QString& WorkingDir,
                            const QProcessEnvironment& Env)
    {
        QProcess Process;
        Process.setProgram(Program);
        Process.setArguments(Arguments);
        Process.setWorkingDirectory(WorkingDir);
        Process.setProcessEnvironment(Env);
        Process.setStandardInputFile(QProcess::nullDevice());
        if (Process.startDetached()) {
            return srStarted;
        }
        return StartFailure(Program);
    }
};

} // namespace

std::unique_ptr<IShellService> CreatePlatformShellService()
{
    return std::make_unique<TLinuxShellService>(std::nullopt);
}

std::unique_ptr<IShellService> CreatePlatformShellService(const QProcessEnvironment& Environment)
{
    return std::make_unique<TLinuxShellService>(Environment);
}
