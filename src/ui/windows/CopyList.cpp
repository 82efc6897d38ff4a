#include "CopyList.h"

#include "SystemLanguage.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/Paths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

const QString AllFiles = u"*.*"_s;
const QString ChosenFolder = u"..."_s;

// Every entry of a folder, as the platform's "*.*" lists it: hidden and system entries and names
// without a point included, in name order without regard to case.
QFileInfoList FolderEntries(const QString& NativeFolder)
{
    return QDir(NativeFolder)
        .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name | QDir::IgnoreCase);
}

// A folder entered by the walks: a real folder, not a link to one (a link to a parent folder would
// never end).
bool IsRealFolder(const QFileInfo& Info)
{
    return Info.isDir() && !Info.isSymbolicLink() && !Info.isJunction();
}

QString PairKey(const QString& Source, const QString& Destination)
{
    return Source.toCaseFolded() + QChar(0) + Destination.toCaseFolded();
}

// Appends the files below NativeFolder to Items, each into the same relative place below
// NativeTarget.
void AddFolderItems(const QString& NativeFolder, const QString& NativeTarget, int Depth,
                    QList<TCopyItem>& Items)
{
    if (Depth > TCopyList::MaxDepth) {
        return;
    }
    const QFileInfoList Entries = FolderEntries(NativeFolder);
    for (const QFileInfo& Entry : Entries) {
        if (Items.size() >= TCopyList::MaxPairs) {
            return;
        }
        const QString Target = NativeTarget + u'/' + Entry.fileName();
        if (IsRealFolder(Entry)) {
            AddFolderItems(Entry.filePath(), Target, Depth + 1, Items);
        } else if (!Entry.isDir()) {
            Items.append({Entry.filePath(), Target});
        }
    }
}

qint64 FileBytes(const QString& NativeFile)
{
    // Only regular files count: opening a FIFO would block the count, and the copier refuses them.
    if (!QFileInfo(NativeFile).isFile()) {
        return 0;
    }
    QFile File(NativeFile);
    if (!File.open(QIODevice::ReadOnly)) {
        return 0;
    }
    return std::max<qint64>(0, File.size());
}

qint64 FolderBytes(const QString& NativeFolder, int Depth, const std::atomic<bool>* Stop)
{
    if (Depth > TCopyList::MaxDepth) {
        return 0;
    }
    qint64 Total = 0;
    const QFileInfoList Entries = FolderEntries(NativeFolder);
    for (const QFileInfo& Entry : Entries) {
        if (Stop && *Stop) {
            break;
        }
        if (IsRealFolder(Entry)) {
            Total += FolderBytes(Entry.filePath(), Depth + 1, Stop);
        } else if (!Entry.isDir()) {
            Total += FileBytes(Entry.filePath());
        }
    }
    return Total;
}

} // namespace

QStringList TCopyList::Sources() const
{
    QStringList Result;
    Result.reserve(FPairs.size());
    for (const TCopyPair& Pair : FPairs) {
        Result.append(Pair.Source);
    }
    return Result;
}

void TCopyList::Clear()
{
    FPairs.clear();
    FKeys.clear();
}

void TCopyList::Add(const QString& Source, const QString& Destination)
{
    if (Source.isEmpty()) {
        return;
    }
    if (ExtractFileName(Source) == AllFiles) {
        AddFolder(Source, Destination, 0);
    } else {
        Append(Source, Destination);
    }
}

void TCopyList::AddFolder(const QString& Source, const QString& Destination, int Depth)
{
    if (Depth > MaxDepth) {
        return;
    }
    const QString Folder = PathJoin({ExtractFilePath(Source)});
    const QFileInfoList Entries = FolderEntries(NativePath(Folder));
    for (const QFileInfo& Entry : Entries) {
        if (FPairs.size() >= MaxPairs) {
            return;
        }
        const QString Path = Folder + Entry.fileName();
        if (IsRealFolder(Entry)) {
            AddFolder(PathJoin({Path}) + AllFiles, PathJoin({Destination, Entry.fileName()}), Depth + 1);
        } else if (!Entry.isDir()) {
            Append(Path, Destination);
        }
    }
}

void TCopyList::Append(const QString& Source, const QString& Destination)
{
    if (FPairs.size() >= MaxPairs) {
        return;
    }
    const QString Key = PairKey(Source, Destination);
    if (FKeys.contains(Key)) {
        return;
    }
    FKeys.insert(Key);
    FPairs.append({Source, Destination});
}

void TCopyList::ResolveDestinations(const QString& Folder)
{
    const QString Dest = PathJoin({Folder});
    FKeys.clear();
    for (TCopyPair& Pair : FPairs) {
        const qsizetype At = Pair.Destination.indexOf(ChosenFolder);
        if (At >= 0) {
            Pair.Destination.remove(At, ChosenFolder.size());
        }
        Pair.Destination.prepend(Dest);
        FKeys.insert(PairKey(Pair.Source, Pair.Destination));
    }
}

TCopyList BuildCopyList(const TCopyRules& Rules, const QString& ProjectFolder)
{
    TCopyList List;
    for (int I = 0; I < Rules.Count(); ++I) {
        const TCopyRule& Rule = Rules.Items(I);
        QString Destination = Rule.Destination;
        if (Destination.isEmpty() || !IsPathDelimiter(Destination.back())) {
            Destination += u'\\';
        }
        if (Rule.Enabled) {
            List.Add(ProjectFolder + Rule.CopyingObject, Destination);
        }
    }
    return List;
}

QList<TCopyItem> CopyItemsOf(const TCopyList& List)
{
    QList<TCopyItem> Items;
    Items.reserve(List.Count());
    // Target folders that do not exist yet, in native form: nothing below them can exist either,
    // so their files need no look-up each. A folder's thousands of files cost one.
    QHash<QString, QString> NewFolders;
    QSet<QString> ExistingFolders;
    for (const TCopyPair& Pair : List.Pairs()) {
        if (Items.size() >= TCopyList::MaxPairs) {
            break;
        }
        const QString Source = NativePath(Pair.Source);
        const QString Name = ExtractFileName(Pair.Source);
        QString Target;
        if (const auto New = NewFolders.constFind(Pair.Destination); New != NewFolders.cend()) {
            Target = *New + Name;
        } else if (ExistingFolders.contains(Pair.Destination)) {
            Target = NativePath(Pair.Destination + Name);
        } else {
            QString Folder = NativePath(Pair.Destination);
            if (!Folder.isEmpty() && !Folder.endsWith(u'/')) {
                Folder += u'/';
            }
            if (QDir::isAbsolutePath(Folder) && !QFileInfo::exists(Folder)) {
                NewFolders.insert(Pair.Destination, Folder);
                Target = Folder + Name;
            } else {
                ExistingFolders.insert(Pair.Destination);
                Target = NativePath(Pair.Destination + Name);
            }
        }
        const QFileInfo Info(Source);
        if (IsRealFolder(Info)) {
            AddFolderItems(Source, Target, 0, Items);
        } else {
            Items.append({Source, Target});
        }
    }
    return Items;
}

qint64 CountBytes(const QStringList& Sources, const std::atomic<bool>* Stop,
                  const std::function<void(qint64 Total)>& Progress)
{
    qint64 Total = 0;
    for (const QString& Source : Sources) {
        if (Stop && *Stop) {
            break;
        }
        const QString Native = NativePath(Source);
        const QFileInfo Info(Native);
        const qint64 Bytes = IsRealFolder(Info) ? FolderBytes(Native, 0, Stop) : FileBytes(Native);
        if (Bytes > 0) {
            Total += Bytes;
        }
        if (Progress) {
            Progress(Total);
        }
    }
    return Total;
}

QString ResolveChosenFolder(const QString& Typed, const QString& Listed)
{
    QString Folder = Typed;
    if (IsBlank(Typed)) {
        Folder = Listed;
    } else if (!QDir::isAbsolutePath(NativePath(Typed))) {
        Folder = PathJoin({Listed, Typed});
    }
    return SystemPath(PathJoin({Folder}));
}

QString ExtractFileDrive(const QString& Path)
{
    if (Path.size() >= 2 && Path[1] == u':') {
        return Path.left(2);
    }
    if (Path.size() >= 2 && IsPathDelimiter(Path[0]) && IsPathDelimiter(Path[1])) {
        // "\\server\share": up to the separator after the share's name.
        int Separators = 0;
        qsizetype I = 2;
        while (I < Path.size()) {
            if (IsPathDelimiter(Path[I]) && ++Separators == 2) {
                break;
            }
            ++I;
        }
        return Path.left(I);
    }
    return {};
}

QString SuggestedSuffix(const QString& DefaultFolder, const QString& ItemFolder)
{
    if (!DefaultFolder.isEmpty()) {
        const QString Drive = ExtractFileDrive(DefaultFolder);
        if (Drive.isEmpty()) {
            return DefaultFolder;
        }
        QString Suffix = DefaultFolder;
        const qsizetype At = Suffix.indexOf(Drive, 0, Qt::CaseInsensitive);
        if (At >= 0) {
            Suffix.remove(At, Drive.size() + 1);
        }
        return Suffix;
    }
    QString Folder = ItemFolder;
    if (!Folder.isEmpty() && IsPathDelimiter(Folder.back())) {
        Folder.chop(1);
    }
    for (qsizetype I = Folder.size() - 1; I >= 0; --I) {
        if (IsPathDelimiter(Folder[I])) {
            return Folder.mid(I);
        }
    }
    return Folder;
}

QString RequiredSizeText(qint64 Bytes, quint16 LangId)
{
    const QString Megabytes = QString::number(static_cast<double>(Bytes) / 1048576.0, 'f', 1);
    return (LangId == LangRussian ? u"Требуется: "_s : u"Required: "_s) + Megabytes + u" MB"_s;
}

QString FreeSpaceText(qint64 FreeBytes)
{
    return strFreeSpace + u' ' + QString::number(std::max<qint64>(0, FreeBytes) / 1024 / 1024) + u" MB"_s;
}

// --- TGetObjectsSize ---------------------------------------------------------------------------

TGetObjectsSize::TGetObjectsSize(const QStringList& FileNames) : FFileNames(FileNames)
{
    // Reports arrive on the thread that made the counter, the user-interface thread.
    connect(
        this, &TGetObjectsSize::Counted, this,
        [this](qint64 Total) {
            if (OnProgress) {
                OnProgress(Total);
            }
        },
        Qt::QueuedConnection);
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

TGetObjectsSize::~TGetObjectsSize()
{
    FStop = true;
    wait();
}

void TGetObjectsSize::run()
{
    QElapsedTimer SinceReport;
    SinceReport.start();
    const qint64 Total = CountBytes(FFileNames, &FStop, [&](qint64 Running) {
        if (SinceReport.elapsed() >= ReportInterval) {
            SinceReport.restart();
            emit Counted(Running);
        }
    });
    if (!FStop) {
        emit Counted(Total);
    }
}
