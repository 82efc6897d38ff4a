#include "ShellService.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeType>
#include <QSet>

#include <algorithm>
#include <atomic>

using namespace Qt::StringLiterals;

namespace {

std::atomic<IShellService*> Installed = nullptr;

bool IsBlankOrTab(QChar C)
{
    return C == u' ' || C == u'\t';
}

} // namespace

IShellService& ShellService()
{
    static const std::unique_ptr<IShellService> System = CreatePlatformShellService();
    IShellService* Service = Installed.load();
    return Service ? *Service : *System;
}

void SetShellService(IShellService* Service)
{
    Installed.store(Service);
}

QStringList SplitCommandLine(QStringView CommandLine)
{
    QStringList Result;
    QString Current;
    bool InArgument = false;
    bool InQuotes = false;
    const qsizetype Size = CommandLine.size();
    qsizetype I = 0;
    while (I < Size) {
        const QChar C = CommandLine[I];
        if (!InQuotes && IsBlankOrTab(C)) {
            if (InArgument) {
                Result.append(Current);
                Current.clear();
                InArgument = false;
            }
            ++I;
            continue;
        }
        InArgument = true;
        if (C == u'\\') {
            qsizetype Count = 0;
            while (I < Size && CommandLine[I] == u'\\') {
                ++Count;
                ++I;
            }
            if (I < Size && CommandLine[I] == u'"') {
                Current += QString(Count / 2, u'\\');
                if (Count % 2 != 0) {
                    // An odd backslash escapes the quote; an even run leaves it to toggle quoting.
                    Current += u'"';
                    ++I;
                }
            } else {
                Current += QString(Count, u'\\');
            }
            continue;
        }
        if (C == u'"') {
            if (InQuotes && I + 1 < Size && CommandLine[I + 1] == u'"') {
                Current += u'"';
                I += 2;
                continue;
            }
            InQuotes = !InQuotes;
            ++I;
            continue;
        }
        Current += C;
        ++I;
    }
    if (InArgument) {
        Result.append(Current);
    }
    return Result;
}

QString QuoteCommandLineArgument(QStringView Argument)
{
    const bool NeedsQuotes = Argument.isEmpty() || std::any_of(Argument.begin(), Argument.end(), [](QChar C) {
                                 return IsBlankOrTab(C) || C == u'"';
                             });
    if (!NeedsQuotes) {
        return Argument.toString();
    }
    QString Result = u"\""_s;
    qsizetype Backslashes = 0;
    for (const QChar C : Argument) {
        if (C == u'\\') {
            ++Backslashes;
            continue;
        }
        if (C == u'"') {
            // Backslashes before a quote are doubled, and one more escapes the quote itself.
            Result += QString(Backslashes * 2 + 1, u'\\') + u'"';
        } else {
            Result += QString(Backslashes, u'\\') + C;
        }
        Backslashes = 0;
    }
    // The closing quote follows: backslashes before it are doubled so that it still closes.
    Result += QString(Backslashes * 2, u'\\') + u'"';
    return Result;
}

// ---------------------------------------------------------------------------------------------------
// freedesktop associations

namespace Xdg {
namespace {

// Group name -> key -> raw value, as written in a .desktop, mimeapps.list or mimeinfo.cache file.
using TKeyFile = QHash<QString, QHash<QString, QString>>;

// Key files are small; anything larger is not one and is not read whole.
constexpr qint64 MaxKeyFileSize = 16 * 1024 * 1024;

std::optional<TKeyFile> ReadKeyFile(const QString& FileName, bool LowerCaseKeys)
{
    QFile File(FileName);
    if (File.size() > MaxKeyFileSize || !File.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    TKeyFile Result;
    QHash<QString, QString>* Group = nullptr;
    const QString Text = QString::fromUtf8(File.readAll());
    for (QStringView Line : QStringView(Text).split(u'\n')) {
        Line = Line.trimmed();
        if (Line.isEmpty() || Line.front() == u'#') {
            continue;
        }
        if (Line.front() == u'[' && Line.back() == u']') {
            Group = &Result[Line.sliced(1, Line.size() - 2).toString()];
            continue;
        }
        const qsizetype Equals = Line.indexOf(u'=');
        if (!Group || Equals <= 0) {
            continue;
        }
        QString Key = Line.first(Equals).trimmed().toString();
        if (LowerCaseKeys) {
            Key = Key.toLower();
        }
        // The first occurrence of a key counts, as in the reference implementations.
        if (!Group->contains(Key)) {
            Group->insert(Key, Line.sliced(Equals + 1).trimmed().toString());
        }
    }
    return Result;
}

QStringList SplitList(const QString& Value)
{
    QStringList Result;
    for (QStringView Item : QStringView(Value).split(u';', Qt::SkipEmptyParts)) {
        Item = Item.trimmed();
        if (!Item.isEmpty()) {
            Result.append(Item.toString());
        }
    }
    return Result;
}

// Undoes the escapes of a key-file string value (\s \n \t \r \\); other backslash pairs are kept for
// the Exec quoting rules that follow.
QString UnescapeValue(QStringView Value)
{
    QString Result;
    Result.reserve(Value.size());
    for (qsizetype I = 0; I < Value.size(); ++I) {
        const QChar C = Value[I];
        if (C != u'\\' || I + 1 == Value.size()) {
            Result += C;
            continue;
        }
        const QChar Next = Value[++I];
        switch (Next.unicode()) {
        case u's':
            Result += u' ';
            break;
        case u'n':
            Result += u'\n';
            break;
        case u't':
            Result += u'\t';
            break;
        case u'r':
            Result += u'\r';
            break;
        case u'\\':
            Result += u'\\';
            break;
        default:
            Result += C;
            Result += Next;
            break;
        }
    }
    return Result;
}

QStringList AbsoluteDirs(const QString& List)
{
    QStringList Result;
    for (const QString& Dir : List.split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(Dir)) {
            Result.append(QDir::cleanPath(Dir));
        }
    }
    return Result;
}

QString HomeDir(const QProcessEnvironment& Environment)
{
    const QString Home = Environment.value(u"HOME"_s);
    return QDir::isAbsolutePath(Home) ? QDir::cleanPath(Home) : QDir::homePath();
}

QStringList BaseDirs(const QProcessEnvironment& Environment, const QString& HomeVariable,
                     const QString& HomeDefault, const QString& DirsVariable, const QString& DirsDefault)
{
    QString Home = Environment.value(HomeVariable);
    if (!QDir::isAbsolutePath(Home)) {
        Home = HomeDir(Environment) + HomeDefault;
    }
    QStringList Result{QDir::cleanPath(Home)};
    QStringList Dirs = AbsoluteDirs(Environment.value(DirsVariable));
    if (Dirs.isEmpty()) {
        Dirs = AbsoluteDirs(DirsDefault);
    }
    Result += Dirs;
    Result.removeDuplicates();
    return Result;
}

QStringList ApplicationDirs(const QProcessEnvironment& Environment)
{
    QStringList Result;
    for (const QString& Dir : DataDirs(Environment)) {
        Result.append(Dir + u"/applications"_s);
    }
    return Result;
}

QStringList CurrentDesktops(const QProcessEnvironment& Environment)
{
    QStringList Result;
    for (const QString& Name : Environment.value(u"XDG_CURRENT_DESKTOP"_s).split(u':', Qt::SkipEmptyParts)) {
        Result.append(Name.toLower());
    }
    return Result;
}

// The association files in the order in which they count: desktop-specific before general, user
// before system, configuration before data; the old defaults.list last in each data folder.
QList<TKeyFile> AssociationFiles(const QProcessEnvironment& Environment)
{
    const QStringList Desktops = CurrentDesktops(Environment);
    QStringList Names;
    const auto AddFolder = [&](const QString& Folder, bool Legacy) {
        for (const QString& Desktop : Desktops) {
            Names.append(Folder + u'/' + Desktop + u"-mimeapps.list"_s);
        }
        Names.append(Folder + u"/mimeapps.list"_s);
        if (Legacy) {
            Names.append(Folder + u"/defaults.list"_s);
        }
    };
    for (const QString& Dir : ConfigDirs(Environment)) {
        AddFolder(Dir, false);
    }
    for (const QString& Dir : ApplicationDirs(Environment)) {
        AddFolder(Dir, true);
    }
    QList<TKeyFile> Result;
    for (const QString& Name : Names) {
        if (auto File = ReadKeyFile(Name, true)) {
            Result.append(std::move(*File));
        }
    }
    return Result;
}

QStringList ListFor(const TKeyFile& File, const QString& Group, const QString& MimeType)
{
    return SplitList(File.value(Group).value(MimeType));
}

// The desktop id of a file below an applications folder: its relative path with '/' turned into '-'.
QString DesktopIdOf(const QString& ApplicationsDir, const QString& FileName)
{
    return QDir(ApplicationsDir).relativeFilePath(FileName).replace(u'/', u'-');
}

// The ids that the entries of one applications folder declare for MimeType: from mimeinfo.cache when
// the folder has one, otherwise from the entries' own MimeType keys.
QStringList DeclaredIds(const QString& ApplicationsDir, const QString& MimeType)
{
    if (const auto Cache = ReadKeyFile(ApplicationsDir + u"/mimeinfo.cache"_s, true)) {
        return ListFor(*Cache, u"MIME Cache"_s, MimeType);
    }
    QStringList Result;
    QDirIterator It(ApplicationsDir, {u"*.desktop"_s}, QDir::Files, QDirIterator::Subdirectories);
    QStringList Files;
    while (It.hasNext()) {
        Files.append(It.next());
    }
    // A fixed order, so that the choice among several declaring programs does not vary.
    Files.sort();
    for (const QString& FileName : Files) {
        const auto Entry = ReadKeyFile(FileName, false);
        if (!Entry) {
            continue;
        }
        for (const QString& Type : SplitList(Entry->value(u"Desktop Entry"_s).value(u"MimeType"_s))) {
            if (Type.compare(MimeType, Qt::CaseInsensitive) == 0) {
                Result.append(DesktopIdOf(ApplicationsDir, FileName));
                break;
            }
        }
    }
    return Result;
}

std::optional<TDesktopEntry> EntryFromFile(const QString& Id, const QString& FileName,
                                           const QProcessEnvironment& Environment)
{
    const auto File = ReadKeyFile(FileName, false);
    if (!File) {
        return std::nullopt;
    }
    const QHash<QString, QString> Group = File->value(u"Desktop Entry"_s);
    if (Group.value(u"Type"_s) != u"Application"_s || Group.value(u"Hidden"_s) == u"true"_s) {
        return std::nullopt;
    }
    if (const QString TryExec = UnescapeValue(Group.value(u"TryExec"_s));
        !TryExec.isEmpty() && FindExecutable(TryExec, Environment).isEmpty()) {
        return std::nullopt;
    }
    TDesktopEntry Entry;
    Entry.Id = Id;
    Entry.FileName = FileName;
    Entry.Exec = UnescapeValue(Group.value(u"Exec"_s));
    Entry.Path = UnescapeValue(Group.value(u"Path"_s));
    // An entry whose program is not installed cannot open anything; the next candidate is tried.
    const QStringList Arguments = SplitExec(Entry.Exec);
    if (Arguments.isEmpty() || FindExecutable(Arguments.first(), Environment).isEmpty()) {
        return std::nullopt;
    }
    if (Group.value(u"Terminal"_s) == u"true"_s) {
        // Started without one it would wait for input that never comes.
        for (const QString& Name : {u"x-terminal-emulator"_s, u"xterm"_s}) {
            Entry.Terminal = FindExecutable(Name, Environment);
            if (!Entry.Terminal.isEmpty()) {
                break;
            }
        }
        if (Entry.Terminal.isEmpty()) {
            return std::nullopt;
        }
    }
    return Entry;
}

} // namespace

QStringList ConfigDirs(const QProcessEnvironment& Environment)
{
    return BaseDirs(Environment, u"XDG_CONFIG_HOME"_s, u"/.config"_s, u"XDG_CONFIG_DIRS"_s, u"/etc/xdg"_s);
}

QStringList DataDirs(const QProcessEnvironment& Environment)
{
    return BaseDirs(Environment, u"XDG_DATA_HOME"_s, u"/.local/share"_s, u"XDG_DATA_DIRS"_s,
                    u"/usr/local/share:/usr/share"_s);
}

std::optional<TDesktopEntry> FindDesktopEntry(const QString& Id, const QProcessEnvironment& Environment)
{
    if (Id.isEmpty() || Id.contains(u'/') || !Id.endsWith(u".desktop"_s)) {
        return std::nullopt;
    }
    for (const QString& Dir : ApplicationDirs(Environment)) {
        // The first folder that has the id decides, even when its entry cannot be used.
        const QString Direct = Dir + u'/' + Id;
        if (QFileInfo(Direct).isFile()) {
            return EntryFromFile(Id, Direct, Environment);
        }
        if (!Id.contains(u'-')) {
            continue;
        }
        QDirIterator It(Dir, {u"*.desktop"_s}, QDir::Files, QDirIterator::Subdirectories);
        while (It.hasNext()) {
            const QString FileName = It.next();
            if (DesktopIdOf(Dir, FileName) == Id) {
                return EntryFromFile(Id, FileName, Environment);
            }
        }
    }
    return std::nullopt;
}

std::optional<TDesktopEntry> DefaultApplication(const QStringList& MimeTypes,
                                                const QProcessEnvironment& Environment)
{
    QStringList Types;
    for (const QString& Type : MimeTypes) {
        Types.append(Type.toLower());
    }
    Types.removeDuplicates();
    const QList<TKeyFile> Files = AssociationFiles(Environment);

    // A default set anywhere for a type beats every mere association, also of a more specific type.
    for (const QString& Type : Types) {
        for (const TKeyFile& File : Files) {
            for (const QString& Id : ListFor(File, u"Default Applications"_s, Type)) {
                if (auto Entry = FindDesktopEntry(Id, Environment)) {
                    return Entry;
                }
            }
        }
    }

    for (const QString& Type : Types) {
        QSet<QString> Removed;
        for (const TKeyFile& File : Files) {
            for (const QString& Id : ListFor(File, u"Removed Associations"_s, Type)) {
                Removed.insert(Id);
            }
        }
        QStringList Candidates;
        for (const TKeyFile& File : Files) {
            Candidates += ListFor(File, u"Added Associations"_s, Type);
        }
        for (const QString& Dir : ApplicationDirs(Environment)) {
            Candidates += DeclaredIds(Dir, Type);
        }
        Candidates.removeDuplicates();
        for (const QString& Id : std::as_const(Candidates)) {
            if (Removed.contains(Id)) {
                continue;
            }
            if (auto Entry = FindDesktopEntry(Id, Environment)) {
                return Entry;
            }
        }
    }
    return std::nullopt;
}

QStringList MimeTypeChain(const QMimeType& Type)
{
    QStringList Result{Type.name()};
    Result += Type.aliases();
    Result += Type.allAncestors();
    Result.removeDuplicates();
    return Result;
}

QStringList SplitExec(QStringView Exec)
{
    QStringList Result;
    QString Current;
    bool InArgument = false;
    for (qsizetype I = 0; I < Exec.size(); ++I) {
        const QChar C = Exec[I];
        if (C == u' ' || C == u'\t' || C == u'\n') {
            if (InArgument) {
                Result.append(Current);
                Current.clear();
                InArgument = false;
            }
            continue;
        }
        InArgument = true;
        if (C == u'"') {
            bool Closed = false;
            for (++I; I < Exec.size(); ++I) {
                const QChar Q = Exec[I];
                if (Q == u'"') {
                    Closed = true;
                    break;
                }
                if (Q == u'\\' && I + 1 < Exec.size()) {
                    const QChar Next = Exec[I + 1];
                    if (Next == u'"' || Next == u'`' || Next == u'$' || Next == u'\\') {
                        Current += Next;
                        ++I;
                        continue;
                    }
                }
                Current += Q;
            }
            if (!Closed) {
                return {};
            }
        } else if (C == u'\'') {
            const qsizetype End = Exec.indexOf(u'\'', I + 1);
            if (End < 0) {
                return {};
            }
            Current += Exec.sliced(I + 1, End - I - 1);
            I = End;
        } else if (C == u'\\' && I + 1 < Exec.size()) {
            Current += Exec[++I];
        } else {
            Current += C;
        }
    }
    if (InArgument) {
        Result.append(Current);
    }
    return Result;
}

QStringList ExpandExec(const QStringList& Arguments, const QList<QUrl>& Targets)
{
    const auto AsFile = [](const QUrl& Url) {
        return Url.isLocalFile() ? Url.toLocalFile() : Url.toString(QUrl::FullyEncoded);
    };
    const auto AsUrl = [](const QUrl& Url) { return Url.toString(QUrl::FullyEncoded); };

    QStringList Result;
    bool TargetGiven = false;
    for (const QString& Argument : Arguments) {
        if (Argument == u"%F"_s || Argument == u"%U"_s) {
            const bool Files = Argument == u"%F"_s;
            for (const QUrl& Target : Targets) {
                Result.append(Files ? AsFile(Target) : AsUrl(Target));
            }
            TargetGiven = true;
            continue;
        }
        QString Expanded;
        bool HadCode = false;
        for (qsizetype I = 0; I < Argument.size(); ++I) {
            if (Argument[I] != u'%' || I + 1 == Argument.size()) {
                Expanded += Argument[I];
                continue;
            }
            const QChar Code = Argument[++I];
            if (Code == u'%') {
                Expanded += u'%';
                continue;
            }
            HadCode = true;
            switch (Code.unicode()) {
            case u'f':
            case u'F':
                TargetGiven = true;
                if (!Targets.isEmpty()) {
                    Expanded += AsFile(Targets.first());
                }
                break;
            case u'u':
            case u'U':
                TargetGiven = true;
                if (!Targets.isEmpty()) {
                    Expanded += AsUrl(Targets.first());
                }
                break;
            default:
                // %i, %c, %k and the deprecated codes give nothing.
                break;
            }
        }
        // An argument made only of codes that gave nothing disappears rather than becoming "".
        if (!(HadCode && Expanded.isEmpty())) {
            Result.append(Expanded);
        }
    }
    if (!TargetGiven && !Targets.isEmpty()) {
        Result.append(AsFile(Targets.first()));
    }
    return Result;
}

QString FindExecutable(const QString& Name, const QProcessEnvironment& Environment)
{
    const auto IsProgram = [](const QString& FileName) {
        const QFileInfo Info(FileName);
        return Info.isFile() && Info.isExecutable();
    };
    if (Name.isEmpty()) {
        return {};
    }
    if (Name.contains(u'/')) {
        return QDir::isAbsolutePath(Name) && IsProgram(Name) ? QDir::cleanPath(Name) : QString();
    }
    QString Path = Environment.value(u"PATH"_s);
    if (!Environment.contains(u"PATH"_s)) {
        Path = u"/usr/local/bin:/usr/bin:/bin"_s;
    }
    for (const QString& Dir : AbsoluteDirs(Path)) {
        const QString Candidate = Dir + u'/' + Name;
        if (IsProgram(Candidate)) {
            return Candidate;
        }
    }
    return {};
}

} // namespace Xdg
