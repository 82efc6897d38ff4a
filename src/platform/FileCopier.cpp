#include "FileCopier.h"

#include "KernelCopy.h"

#include "ProgramFile.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Large enough for the disc to stream, small enough for the progress and a cancel to follow quickly.
constexpr qint64 ChunkSize = 1024 * 1024;

// How much the system copies at one call: each call costs the system more than its size, so on a
// fast disk the chunks grow, while each still ends within a few hundredths of a second, so that a
// cancel and the progress follow as quickly on a slow disc as on a fast disk.
class TChunkPacer
{
public:
    qint64 Size() const { return FSize; }
    void Took(qint64 Bytes, qint64 Nanoseconds)
    {
        if (Bytes < FSize) {
            return; // a file's end says nothing about the speed
        }
        if (Nanoseconds < TargetNs / 2) {
            FSize = std::min(FSize * 2, MaxSize);
        } else if (Nanoseconds > TargetNs * 2) {
            FSize = std::max(FSize / 2, MinSize);
        }
    }

private:
    static constexpr qint64 TargetNs = 20'000'000;
    static constexpr qint64 MinSize = 256 * 1024;
    static constexpr qint64 MaxSize = 64 * 1024 * 1024;
    qint64 FSize = ChunkSize;
};

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity PathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity PathCase = Qt::CaseSensitive;
#endif

QString CleanPath(QString Path)
{
    return QDir::cleanPath(Path.replace(u'\\', u'/'));
}

// Whether the cleaned Path names something below the cleaned Root (not Root itself).
bool IsInside(const QString& Path, const QString& Root)
{
    if (!QDir::isAbsolutePath(Root)) {
        return false;
    }
    const QString Prefix = Root.endsWith(u'/') ? Root : Root + u'/';
    return Path.size() > Prefix.size() && Path.startsWith(Prefix, PathCase);
}

// The path the system reaches through Path (cleaned, absolute): links in the part that exists are
// followed, and so is a link at its end even when it leads nowhere yet, since writing there creates
// what it points to. Empty when links go round in circles.
QString RealPath(const QString& Path)
{
    QString Current = Path;
    // As many hops as the system itself allows before it gives up.
    for (int Hop = 0; Hop < 40; ++Hop) {
        const QFileInfo Info(Current);
        if (Info.isSymLink()) {
            // Relative link targets are made absolute against the link's folder by Qt.
            Current = CleanPath(Info.symLinkTarget());
            continue;
        }
        if (Info.exists()) {
            return Info.canonicalFilePath();
        }
        // Not there yet: the real folder above it, then the name, which is no link.
        const QString Parent = Info.absolutePath();
        if (Parent == Current) {
            return Current;
        }
        const QString RealParent = RealPath(Parent);
        if (RealParent.isEmpty()) {
            return QString();
        }
        return RealParent.endsWith(u'/') ? QString(RealParent + Info.fileName()) : QString(RealParent + u'/' + Info.fileName());
    }
    return QString();
}

// Progress of the whole run. Done never goes back, and Total grows when a file turned out larger
// than it was when the sizes were taken, so that Done never passes it.
class TProgress
{
public:
    TProgress(const std::function<void(qint64, qint64, const QString&)>& Callback, qint64 Total)
        : FCallback(Callback), FTotal(Total)
    {
    }

    void Add(qint64 Bytes) { FDone += Bytes; }
    // At the end of a file, whatever became of it: the bytes planned for it count as done.
    void FinishFile(qint64 PlannedEnd) { FDone = std::max(FDone, PlannedEnd); }

    void Report(const QString& Current)
    {
        FTotal = std::max(FTotal, FDone);
        if (!FCallback || (FReported && FDone == FLastDone && Current == FLastCurrent)) {
            return;
        }
        FReported = true;
        FLastDone = FDone;
        FLastCurrent = Current;
        FCallback(FDone, FTotal, Current);
    }

private:
    const std::function<void(qint64, qint64, const QString&)>& FCallback;
    qint64 FTotal = 0;
    qint64 FDone = 0;
    bool FReported = false;
    qint64 FLastDone = 0;
    QString FLastCurrent;
};

enum class TFileOutcome
{
    Copied,
    Skipped,
    Failed,
    Cancelled
};

} // namespace

TCopyReport TFileCopier::Run(const QList<TCopyItem>& Items, const QString& Root)
{
    // A cancel belongs to one run; the copier can be used again afterwards.
    FCancelled = false;

    TCopyReport Report;
    const QString CleanRoot = CleanPath(Root);
    // The chosen folder may itself be reached through a link; that is the user's choice.
    const QString RealRoot = QDir::isAbsolutePath(CleanRoot) ? RealPath(CleanRoot) : QString();

    // 64-bit sizes throughout: files above 4 GB are common on DVD images.
    // What the sources are is asked once; a source that changes after that fails when it is read.
    QList<QFileInfo> SourceInfos;
    SourceInfos.reserve(Items.size());
    QList<qint64> PlannedEnds;
    PlannedEnds.reserve(Items.size());
    qint64 Total = 0;
    for (const TCopyItem& Item : Items) {
        const QFileInfo& Info = SourceInfos.emplace_back(Item.Source);
        if (Info.isFile()) {
            Total += std::max<qint64>(Info.size(), 0);
        }
        PlannedEnds.append(Total);
    }
    TProgress Progress(OnProgress, Total);

    std::optional<TOverwriteAnswer> AnswerForAll;
    bool Failed = false;
    bool Cancelled = false;

    const auto Fail = [&](const QString& FileName, const QString& Reason) {
        Report.Errors.append(QDir::toNativeSeparators(FileName) + u": "_s + Reason);
        Failed = true;
    };

    // One buffer for the run: a fresh megabyte per file would cost a mapping and its page faults
    // for each of thousands of small files.
    QByteArray Buffer(ChunkSize, Qt::Uninitialized);
    TChunkPacer Pacer;
    QElapsedTimer ChunkTimer;

    // What is the same for every file of a folder is found once per folder: a tree of thousands of
    // small files would otherwise spend more time asking the system about paths than copying.
    QHash<QString, QString> RealFolders; // target folder -> the real folder it reaches
    QSet<QString> FoldersMade;
    QHash<QString, bool> ExecuteBitsKeptIn; // source folder -> whether its file system keeps them
    // The mode a new file gets here (the umask decides it), read from the first file made.
    std::optional<QFile::Permissions> CreatedMode;
    constexpr QFile::Permissions ModeBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                            QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;

    // Copies one file; Source and Target are checked already.
    const auto CopyFile = [&](const QFileInfo& SourceInfo, const QString& Target) -> TFileOutcome {
        const QString Source = SourceInfo.filePath();
        const std::unique_ptr<QFile> InFile = FileSystem->Source(Source);
        QFile& In = *InFile;
        if (!In.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            Fail(Source, u"cannot be read: "_s + In.errorString());
            return TFileOutcome::Failed;
        }
        // Written under a temporary name and published whole by Commit: a cancel or a failure
        // leaves no partial file, and an existing target stays intact until the new one is complete.
        const std::unique_ptr<TCopyTarget> OutFile = FileSystem->Target(Target);
        TCopyTarget& Out = *OutFile;
        // Unbuffered: the chunks are large already, and a full disk shows at the write that hits it.
        if (!Out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            Fail(Target, u"cannot be written: "_s + Out.errorString());
            return TFileOutcome::Failed;
        }
        // A program is copied to be run, so the copy gets execute bits; its first bytes tell it.
        char HeadBytes[ProgramHeadSize];
        const qint64 HeadRead = In.read(HeadBytes, ProgramHeadSize);
        if (HeadRead < 0 || (HeadRead > 0 && !In.seek(0))) {
            Out.CancelWriting();
            Fail(Source, u"cannot be read: "_s + In.errorString());
            return TFileOutcome::Failed;
        }
        const QString SourceFolder = SourceInfo.absolutePath();
        auto Kept = ExecuteBitsKeptIn.constFind(SourceFolder);
        if (Kept == ExecuteBitsKeptIn.cend()) {
            Kept = ExecuteBitsKeptIn.insert(SourceFolder, ExecuteBitsKept(Source));
        }
        // The bits of the file's mode, not this process's access: the disc's author set them.
        // (Asked one by one: the set of all permissions would ask the system for this process's too.)
        const bool ExecuteBit = SourceInfo.permission(QFile::ExeOwner) || SourceInfo.permission(QFile::ExeGroup) ||
                                SourceInfo.permission(QFile::ExeOther);
        const TProgramKind Kind =
            ClassifyProgramFile(QByteArrayView(HeadBytes, HeadRead), SourceInfo.fileName(), ExecuteBit, *Kept).Kind;

        // On one disk the system copies far faster than chunks read and written here; where it
        // cannot (another file system, an old kernel), the chunks are read and written.
        bool SystemCopy = FileSystem->SystemCopies();
        for (;;) {
            qint64 Got = 0;
            if (SystemCopy) {
                ChunkTimer.start();
                const TKernelCopyResult Copy = KernelCopyChunk(In.handle(), Out.handle(), Pacer.Size());
                Pacer.Took(Copy.Bytes, ChunkTimer.nsecsElapsed());
                if (Copy.Kind == TKernelCopyResult::kcUnsupported) {
                    SystemCopy = false;
                    continue;
                }
                if (Copy.Kind != TKernelCopyResult::kcCopied) {
                    Out.CancelWriting();
                    if (Copy.Kind == TKernelCopyResult::kcWriteError) {
                        Fail(Target, u"cannot be written: "_s + Copy.Reason);
                    } else {
                        Fail(Source, u"cannot be read: "_s + Copy.Reason);
                    }
                    return TFileOutcome::Failed;
                }
                Got = Copy.Bytes;
            } else {
                Got = In.read(Buffer.data(), ChunkSize);
                if (Got < 0) {
                    Out.CancelWriting();
                    Fail(Source, u"cannot be read: "_s + In.errorString());
                    return TFileOutcome::Failed;
                }
                if (Got > 0 && Out.write(Buffer.constData(), Got) != Got) {
                    // Taken first: dropping the file replaces the reason (a full disk) with its own.
                    const QString Reason = Out.errorString();
                    Out.CancelWriting();
                    Fail(Target, u"cannot be written: "_s + Reason);
                    return TFileOutcome::Failed;
                }
            }
            if (Got == 0) {
                break;
            }
            Progress.Add(Got);
            Progress.Report(Source);
            if (FCancelled) {
                Out.CancelWriting();
                return TFileOutcome::Cancelled;
            }
        }
        // The source's time goes on the open file: renaming keeps it. Not worth failing a copy for.
        const QDateTime Modified = SourceInfo.lastModified();
        if (Modified.isValid()) {
            Out.setFileTime(Modified, QFileDevice::FileModificationTime);
        }
        // The mode is set on the open file too, before it takes its name. Disc files are read-only;
        // the copy belongs to the user, who may change it. The user bits describe this process's
        // access, not the file's mode; only the mode is read and set.
        if (!CreatedMode) {
            CreatedMode = Out.permissions() & ModeBits;
        }
        QFile::Permissions Permissions = *CreatedMode | QFile::WriteOwner;
        // A program is copied to be run: it gets its execute bits, also from a disc whose file system
        // keeps none (a ".sh" on FAT), where only the rule of ProgramFile tells it from a document.
        if (Kind == pkNativeProgram || Kind == pkScript) {
            Permissions |= QFile::ExeOwner;
            Permissions.setFlag(QFile::ExeGroup, Permissions.testFlag(QFile::ReadGroup));
            Permissions.setFlag(QFile::ExeOther, Permissions.testFlag(QFile::ReadOther));
        }
        if (Permissions != *CreatedMode) {
            Out.setPermissions(Permissions);
        }
        if (!Out.Commit()) {
            Fail(Target, u"cannot be written: "_s + Out.errorString());
            return TFileOutcome::Failed;
        }
        return TFileOutcome::Copied;
    };

    const auto CopyItem = [&](const TCopyItem& Item, const QFileInfo& SourceInfo) -> TFileOutcome {
        const QString Target = CleanPath(Item.Target);
        // Targets come from the disc's copy rules: "..", a rooted path or an empty name must not
        // reach anywhere but the folder the user chose.
        if (!IsInside(Target, CleanRoot)) {
            Fail(Item.Target, u"lies outside the folder "_s + QDir::toNativeSeparators(CleanRoot) +
                                  u" and is not written"_s);
            return TFileOutcome::Failed;
        }
        // A link already in the chosen folder can lead elsewhere, so the place really written, the
        // folders made on the way included, must lie inside it too. The real folder is found once;
        // the name in it is followed only when it is a link itself.
        const QFileInfo TargetInfo(Target);
        const QString Folder = TargetInfo.absolutePath();
        QString RealTarget;
        if (TargetInfo.isSymLink()) {
            RealTarget = RealPath(Target);
        } else {
            auto RealFolder = RealFolders.constFind(Folder);
            if (RealFolder == RealFolders.cend()) {
                RealFolder = RealFolders.insert(Folder, RealPath(Folder));
            }
            if (!RealFolder->isEmpty()) {
                RealTarget = RealFolder->endsWith(u'/') ? QString(*RealFolder + TargetInfo.fileName())
                                                        : QString(*RealFolder + u'/' + TargetInfo.fileName());
            }
        }
        if (RealRoot.isEmpty() || !IsInside(RealTarget, RealRoot)) {
            Fail(Item.Target, u"leads through a link outside the folder "_s + QDir::toNativeSeparators(CleanRoot) +
                                  u" and is not written"_s);
            return TFileOutcome::Failed;
        }
        if (!SourceInfo.exists()) {
            Fail(Item.Source, u"cannot be read: the file does not exist"_s);
            return TFileOutcome::Failed;
        }
        if (!SourceInfo.isFile()) {
            Fail(Item.Source, u"cannot be read: it is not a file"_s);
            return TFileOutcome::Failed;
        }

        if (TargetInfo.exists()) {
            if (TargetInfo.canonicalFilePath() == SourceInfo.canonicalFilePath()) {
                return TFileOutcome::Skipped;
            }
            if (TargetInfo.isDir()) {
                Fail(Target, u"cannot be written: a folder has that name"_s);
                return TFileOutcome::Failed;
            }
            TOverwriteAnswer Answer = oaNo;
            if (AnswerForAll) {
                Answer = *AnswerForAll;
            } else if (OnOverwrite) {
                Answer = OnOverwrite(Target);
            }
            switch (Answer) {
            case oaYesToAll:
                AnswerForAll = oaYes;
                break;
            case oaNoToAll:
                AnswerForAll = oaNo;
                return TFileOutcome::Skipped;
            case oaNo:
                return TFileOutcome::Skipped;
            case oaCancel:
                return TFileOutcome::Cancelled;
            case oaYes:
                break;
            }
        }

        if (!FoldersMade.contains(Folder)) {
            if (!QDir().mkpath(Folder)) {
                Fail(Target, u"cannot be written: the folder "_s + QDir::toNativeSeparators(Folder) +
                                 u" cannot be created"_s);
                return TFileOutcome::Failed;
            }
            FoldersMade.insert(Folder);
        }
        return CopyFile(SourceInfo, Target);
    };

    for (qsizetype I = 0; I < Items.size(); ++I) {
        if (FCancelled) {
            Cancelled = true;
            break;
        }
        const TFileOutcome Outcome = CopyItem(Items[I], SourceInfos[I]);
        if (Outcome == TFileOutcome::Cancelled) {
            Cancelled = true;
            break;
        }
        if (Outcome == TFileOutcome::Copied) {
            ++Report.Copied;
        } else if (Outcome == TFileOutcome::Skipped) {
            ++Report.Skipped;
        }
        Progress.FinishFile(PlannedEnds[I]);
        Progress.Report(Items[I].Source);
    }

    Report.Result = Cancelled ? cpCancelled : Failed ? cpFailed : cpDone;
    return Report;
}
