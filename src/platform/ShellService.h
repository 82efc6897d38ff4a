#pragma once

#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QUrl>

#include <memory>
#include <optional>

class QMimeType;

// The shell: opening documents, folders, programs and addresses the way the system would if the
// user double-clicked them. Every call returns at once with the shell's result code; the program
// never waits for what it started.

// Result codes: above 32 means the object was handed over; the rest say why not.
enum TShellResult : int
{
    srFileNotFound = 2,   // the file does not exist
    srPathNotFound = 3,   // the folder does not exist
    srAccessDenied = 5,   // the file exists but cannot be started
    srBadFormat = 11,     // the file cannot be run on this system
    srNoAssociation = 31, // no program is registered for this kind of file or address
    srStarted = 42        // handed over (any value above 32 means success)
};

inline bool ShellSucceeded(int Code)
{
    return Code > 32;
}

class IShellService
{
public:
    virtual ~IShellService() = default;
    // The verb "open" on a document or folder: a folder opens in the file manager, anything else in
    // the program registered for its type. File itself is never executed, whatever it holds (a
    // Windows program goes to its registered runner, with Params). A relative File is taken from
    // WorkDir; the started program runs in WorkDir when given, otherwise in File's folder. Paths may
    // be written in the program's (Windows) notation.
    virtual int Open(const QString& File, const QString& Params, const QString& WorkDir) = 0;
    // Shows Folder in the file manager.
    virtual int Explore(const QString& Folder) = 0;
    // Hands an address (mailto:, http:, file:) to the program registered for its scheme.
    virtual int OpenUrl(const QUrl& Url) = 0;
    // Starts a program with a parameter string (split by the Windows command-line rules). Only a file
    // that is a program starts (ClassifyProgramFile); a Windows program goes to its registered runner
    // and is srBadFormat without one; a document or folder is opened as by Open. A bare name that is
    // not found in WorkDir is looked up on the search path, as the shell does.
    virtual int Run(const QString& Application, const QString& Params, const QString& WorkDir) = 0;
};

// The service in use: the system's own unless a test installed another.
IShellService& ShellService();
// Installs Service (nullptr restores the system's own); the caller keeps ownership.
void SetShellService(IShellService* Service);

// The system's shell. The environment decides where registered programs are looked up and is the
// environment the started programs get; without one the process's environment at the time of each
// call is used.
std::unique_ptr<IShellService> CreatePlatformShellService();
std::unique_ptr<IShellService> CreatePlatformShellService(const QProcessEnvironment& Environment);

// Splits a parameter string into arguments by the Windows rules (CommandLineToArgvW without a
// program name): blanks and tabs separate; '"' toggles quoting; 2n backslashes before '"' give n
// backslashes and the quote toggles, 2n+1 give n backslashes and a literal '"'; other backslashes
// are literal; "" inside quotes gives a '"' and quoting goes on.
QStringList SplitCommandLine(QStringView CommandLine);

// Quotes Argument so that SplitCommandLine gives it back whole (blanks, quotes and trailing
// backslashes included). Texts without blanks, tabs or quotes are returned unchanged.
QString QuoteCommandLineArgument(QStringView Argument);

// How freedesktop systems find and start the program registered for a file type or URL scheme
// (mimeapps.list, mimeinfo.cache, .desktop files). The Linux shell is built on these; they take the
// environment as a parameter so that they work on a made-up folder tree as well.
namespace Xdg {

struct TDesktopEntry
{
    QString Id; // "viewer.desktop"; an entry in a sub-folder "kde/viewer.desktop" is "kde-viewer.desktop"
    QString FileName; // the .desktop file
    QString Exec;     // the command line template, string escapes already undone
    QString Path;     // the folder the program wants to run in ("" when none)
    QString Terminal; // for a program that needs a terminal: the terminal program to run it in
};

// $XDG_CONFIG_HOME then $XDG_CONFIG_DIRS, with their documented defaults; relative entries are ignored.
QStringList ConfigDirs(const QProcessEnvironment& Environment);
// $XDG_DATA_HOME then $XDG_DATA_DIRS, likewise.
QStringList DataDirs(const QProcessEnvironment& Environment);

// The entry with that desktop id in the first applications folder that has one, if it can be
// started: Type=Application, not Hidden, TryExec and the Exec program found, and for Terminal=true
// a terminal program (x-terminal-emulator, else xterm) on PATH.
std::optional<TDesktopEntry> FindDesktopEntry(const QString& Id, const QProcessEnvironment& Environment);

// The program registered for the first of MimeTypes (most specific first) that has one: the
// defaults of every mimeapps.list for each type first, then added associations and the
// applications' own declarations (mimeinfo.cache or the entries' MimeType keys), minus removed ones.
std::optional<TDesktopEntry> DefaultApplication(const QStringList& MimeTypes,
                                                const QProcessEnvironment& Environment);

// A file type's name, its other names and every type it derives from, most specific first: the
// types whose registered program opens a file of that type.
QStringList MimeTypeChain(const QMimeType& Type);

// Splits an Exec value into arguments by the desktop-entry quoting rules (blanks separate; in
// double quotes a backslash escapes '"', '`', '$' and '\'; single quotes and backslashes outside
// quotes are accepted as a shell would). An unterminated quote gives nothing.
QStringList SplitExec(QStringView Exec);

// Fills the field codes of split Exec arguments with Targets: %f and %u one target (a local path
// for %f, the address for %u), %F and %U every target as separate arguments; %i, %c, %k and the
// deprecated codes are dropped; %% is a '%'. When the template names no target, the first target
// is appended as %f would give it.
QStringList ExpandExec(const QStringList& Arguments, const QList<QUrl>& Targets);

// An executable named by Name on the environment's PATH (or Name itself when it is an absolute
// path to an executable file); "" when there is none.
QString FindExecutable(const QString& Name, const QProcessEnvironment& Environment);

} // namespace Xdg
