#include "ShellService.h"

#include "text/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

// What the first bytes of a file say about how it can be started.
enum class TFileKind
{
    Other,   // a document: it goes by its type
    Native,  // an ELF program
    Script,  // "#!" and an interpreter
    Windows, // an "MZ" program, which only a registered runner (such as wine) can start
};

struct TFileHead
{
    TFileKind Kind = TFileKind::Other;
    QString Interpreter;         // for a script: the program after "#!"
    QString InterpreterArgument; // and the one optional argument that follows it
};

TFileHead ReadFileHead(const QString& FileName)
{
    TFileHead Head;
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly)) {
        return Head;
    }
    // The kernel reads at most this much of an interpreter line.
    const QByteArray Bytes = File.read(256);
    if (Bytes.startsWith("\x7f"
                         "ELF")) {
        Head.Kind = TFileKind::Native;
    } else if (Bytes.startsWith("MZ")) {
        Head.Kind = TFileKind::Windows;
    } else if (Bytes.startsWith("#!")) {
        qsizetype End = Bytes.indexOf('\n');
        if (End < 0) {
            End = Bytes.size();
        }
        const QString Line = QString::fromLocal8Bit(Bytes.sliced(2, End - 2)).trimmed();
        qsizetype Blank = 0;
        while (Blank < Line.size() && Line[Blank] != u' ' && Line[Blank] != u'\t') {
            ++Blank;
        }
        Head.Interpreter = Line.first(Blank);
        Head.InterpreterArgument = Line.sliced(Blank).trimmed();
        if (!Head.Interpreter.isEmpty()) {
            Head.Kind = TFileKind::Script;
        }
    }
    return Head;
}

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

    int OpenObject(const QString& File, const QString& Params, const QString& WorkDir, bool SearchPath)
    {
        if (IsBlank(File)) {
            return srFileNotFound;
        }
        const QProcessEnvironment Env = Environment();
        const QString Target = Resolve(File, WorkDir, SearchPath, Env);
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
        const TFileHead Head = ReadFileHead(Target);

        // The execute bit alone does not make a program: on FAT media every file has it.
        if (Head.Kind == TFileKind::Native && Info.isExecutable()) {
            return StartProgram(Target, Arguments, WorkingDir, Env);
        }
        if (Head.Kind == TFileKind::Script) {
            if (Info.isExecutable()) {
                if (const int Code = StartProgram(Target, Arguments, WorkingDir, Env); ShellSucceeded(Code)) {
                    return Code;
                }
            }
            // Without the execute bit (as on most discs) or on a medium mounted noexec, the script
            // runs through the interpreter its first line names.
            QStringList InterpreterArguments;
            if (!Head.InterpreterArgument.isEmpty()) {
                InterpreterArguments.append(Head.InterpreterArgument);
            }
            InterpreterArguments.append(Target);
            InterpreterArguments += Arguments;
            if (!QDir::isAbsolutePath(Head.Interpreter)) {
                return srBadFormat;
            }
            return StartProgram(Head.Interpreter, InterpreterArguments, WorkingDir, Env);
        }

        const QMimeType Type = QMimeDatabase().mimeTypeForFile(Info);
        if (const auto Entry = Xdg::DefaultApplication(Xdg::MimeTypeChain(Type), Env)) {
            // A Windows program's runner gets the program's own parameters after it.
            const QStringList Extra = Head.Kind == TFileKind::Windows ? Arguments : QStringList();
            return Launch(*Entry, {QUrl::fromLocalFile(Target)}, Extra, WorkingDir, Env);
        }
        if (Head.Kind == TFileKind::Native) {
            return srAccessDenied;
        }
        return srNoAssociation;
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
