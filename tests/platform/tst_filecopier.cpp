#include "FileCopier.h"
#include "KernelCopy.h"
#include "ProgramFile.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <utility>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 MiB = 1024 * 1024;

bool WriteFile(const QString& FileName, const QByteArray& Bytes)
{
    QDir().mkpath(QFileInfo(FileName).absolutePath());
    QFile File(FileName);
    return File.open(QIODevice::WriteOnly | QIODevice::Truncate) && File.write(Bytes) == Bytes.size();
}

QByteArray ReadFile(const QString& FileName)
{
    QFile File(FileName);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

// Bytes that differ from chunk to chunk, so that a misplaced chunk shows.
QByteArray Pattern(qint64 Size, int Seed)
{
    QByteArray Bytes(Size, Qt::Uninitialized);
    for (qint64 I = 0; I < Size; ++I) {
        Bytes[I] = char((I * 31 + I / 4093 + Seed) & 0xFF);
    }
    return Bytes;
}

bool SetModified(const QString& FileName, const QDateTime& Time)
{
    QFile File(FileName);
    return File.open(QIODevice::ReadOnly) && File.setFileTime(Time, QFileDevice::FileModificationTime);
}

// Every file below Folder, hidden ones included, relative and sorted: shows leftovers of any kind.
QStringList FilesBelow(const QString& Folder)
{
    QStringList Result;
    QDirIterator It(Folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (It.hasNext()) {
        Result.append(QDir(Folder).relativeFilePath(It.next()));
    }
    Result.sort();
    return Result;
}

// Files that fail part way, as a full disk or a disc taken out makes them; all others are real.
class TFaultyFileSystem : public TCopyFileSystem
{
public:
    QString FailingName;           // the file name (source or target) that fails
    bool FailOpen = false;         // the source cannot be opened at all
    qint64 ReadBudget = -1;        // bytes read before reading fails; -1: reading works
    qint64 WriteBudget = -1;       // bytes written before writing fails; -1: writing works

    std::unique_ptr<QFile> Source(const QString& FileName) const override
    {
        if (QFileInfo(FileName).fileName() != FailingName || (!FailOpen && ReadBudget < 0)) {
            return TCopyFileSystem::Source(FileName);
        }
        return std::make_unique<TFaultySource>(FileName, FailOpen, ReadBudget);
    }
    // The faulty files must do the reading and writing themselves.
    bool SystemCopies() const override { return false; }
    std::unique_ptr<TCopyTarget> Target(const QString& FileName) const override
    {
        if (QFileInfo(FileName).fileName() != FailingName || WriteBudget < 0) {
            return TCopyFileSystem::Target(FileName);
        }
        return std::make_unique<TFaultyTarget>(FileName, WriteBudget);
    }

private:
    class TFaultySource : public QFile
    {
    public:
        TFaultySource(const QString& FileName, bool FailOpen, qint64 Budget)
            : QFile(FileName), FFailOpen(FailOpen), FBudget(Budget)
        {
        }
        bool open(OpenMode Mode) override
        {
            if (FFailOpen) {
                setErrorString(u"Permission denied"_s);
                return false;
            }
            return QFile::open(Mode);
        }

    protected:
        qint64 readData(char* Data, qint64 MaxSize) override
        {
            if (FBudget <= 0) {
                setErrorString(u"No such device"_s);
                return -1;
            }
            const qint64 Got = QFile::readData(Data, std::min(MaxSize, FBudget));
            FBudget -= std::max<qint64>(Got, 0);
            return Got;
        }

    private:
        bool FFailOpen;
        qint64 FBudget;
    };

    class TFaultyTarget : public TCopyTarget
    {
    public:
        TFaultyTarget(const QString& FileName, qint64 Budget) : TCopyTarget(FileName), FBudget(Budget) {}

    protected:
        qint64 writeData(const char* Data, qint64 Size) override
        {
            if (Size > FBudget) {
                setErrorString(u"No space left on device"_s);
                return -1;
            }
            FBudget -= Size;
            return TCopyTarget::writeData(Data, Size);
        }

    private:
        qint64 FBudget;
    };
};

// Targets that always take a hidden name while written, as on a file system without unnamed files.
class TNamedTargets : public TCopyFileSystem
{
public:
    std::unique_ptr<TCopyTarget> Target(const QString& FileName) const override
    {
        return std::make_unique<TNamedTarget>(FileName);
    }

private:
    class TNamedTarget : public TCopyTarget
    {
    public:
        using TCopyTarget::TCopyTarget;

    protected:
        int OpenUnnamed(const QString&) const override { return -1; }
    };
};

struct TProgressCall
{
    qint64 Done = 0;
    qint64 Total = 0;
    QString Current;
};

} // namespace

class TFileCopierTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void CopiesFilesWithBytesAndTimes();
    void CopiesAreOwnerWritable();
    void CopiedProgramsStayPrograms();
    void ExistingTargetFollowsAnswers_data();
    void ExistingTargetFollowsAnswers();
    void RefusesTargetsOutsideRoot_data();
    void RefusesTargetsOutsideRoot();
    void LinksInsideRootMustNotLeadOut_data();
    void LinksInsideRootMustNotLeadOut();
    void SkipsSourceThatIsTheTarget();
    void MissingSourceIsReportedOthersCopied();
    void WriteFailureIsReported_data();
    void WriteFailureIsReported();
    void ProgressCountsEveryByte();
    void CancelDropsPartialFile_data();
    void CancelDropsPartialFile();
    void TotalKeepsSizesAbove4GiB();
    void FaultsLeaveNoPartialFile_data();
    void FaultsLeaveNoPartialFile();
    void RealDiskFullLeavesNoPartialFile();

private:
    std::unique_ptr<QTemporaryDir> FTemp;
    QString FSrc;
    QString FDst;

    QString Src(const QString& Name) const { return FSrc + u'/' + Name; }
    QString Dst(const QString& Name) const { return FDst + u'/' + Name; }
};

void TFileCopierTest::init()
{
    FTemp = std::make_unique<QTemporaryDir>();
    QVERIFY(FTemp->isValid());
    FSrc = FTemp->filePath(u"disc"_s);
    FDst = FTemp->filePath(u"dst"_s);
    QVERIFY(QDir().mkpath(FSrc));
    QVERIFY(QDir().mkpath(FDst));
}

void TFileCopierTest::CopiesFilesWithBytesAndTimes()
{
    const QDateTime Time(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
    const QList<std::pair<QString, QByteArray>> Files{
        {u".hidden"_s, "hidden\n"},
        {u"README"_s, "no extension\n"},
        {u"data.bin"_s, Pattern(2 * MiB + 123, 1)},
        {u"empty.txt"_s, {}},
        {u"readonly.txt"_s, "read-only on the disc\n"},
    };
    QList<TCopyItem> Items;
    for (const auto& [Name, Bytes] : Files) {
        QVERIFY(WriteFile(Src(Name), Bytes));
        QVERIFY(SetModified(Src(Name), Time));
        Items.append({Src(Name), Dst(Name)});
    }
    QVERIFY(QFile::setPermissions(Src(u"readonly.txt"_s),
                                  QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    // The folders of this one do not exist yet.
    Items.append({Src(u"README"_s), Dst(u"deep/sub folder/README"_s)});

    TFileCopier Copier;
    const TCopyReport Report = Copier.Run(Items, FDst);
    QCOMPARE(Report.Errors, QStringList());
    QCOMPARE(Report.Result, int(cpDone));
    QCOMPARE(Report.Copied, int(Items.size()));
    QCOMPARE(Report.Skipped, 0);

    for (const TCopyItem& Item : Items) {
        QCOMPARE(ReadFile(Item.Target), ReadFile(Item.Source));
        QCOMPARE(QFileInfo(Item.Target).lastModified(), Time);
        QVERIFY2(QFile::permissions(Item.Target) & QFile::WriteOwner, qPrintable(Item.Target));
    }
    // Nothing but the copies: no temporary files.
    QCOMPARE(FilesBelow(FDst), (QStringList{u".hidden"_s, u"README"_s, u"data.bin"_s,
                                            u"deep/sub folder/README"_s, u"empty.txt"_s, u"readonly.txt"_s}));
}

void TFileCopierTest::CopiesAreOwnerWritable()
{
#ifndef Q_OS_UNIX
    QSKIP("The creation mask exists on Unix only");
#else
    const QFile::Permissions ReadOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(WriteFile(Src(u"new.txt"_s), "new"));
    QVERIFY(WriteFile(Src(u"replaced.txt"_s), "replacing"));
    QVERIFY(QFile::setPermissions(Src(u"new.txt"_s), ReadOnly));
    QVERIFY(WriteFile(Dst(u"replaced.txt"_s), "old"));
    QVERIFY(QFile::setPermissions(Dst(u"replaced.txt"_s), ReadOnly));

    // Files are created without write permission whoever runs the test, root included.
    const mode_t Mask = umask(0222);
    const auto Restore = qScopeGuard([Mask] { umask(Mask); });
    TFileCopier Copier;
    Copier.OnOverwrite = [](const QString&) { return oaYes; };
    const TCopyReport Report = Copier.Run(
        {{Src(u"new.txt"_s), Dst(u"new.txt"_s)}, {Src(u"replaced.txt"_s), Dst(u"replaced.txt"_s)}}, FDst);
    QCOMPARE(Report.Result, int(cpDone));
    QCOMPARE(Report.Copied, 2);
    for (const QString& Name : {u"new.txt"_s, u"replaced.txt"_s}) {
        const QFile::Permissions Permissions = QFile::permissions(Dst(Name));
        QVERIFY2(Permissions & QFile::WriteOwner, qPrintable(Name));
        // Only the owner gains: the rest of the mode stays as it was made.
        QVERIFY2(!(Permissions & (QFile::WriteGroup | QFile::WriteOther)), qPrintable(Name));
        QVERIFY2(Permissions & QFile::ReadOwner, qPrintable(Name));
    }
    QCOMPARE(ReadFile(Dst(u"replaced.txt"_s)), QByteArray("replacing"));
#endif
}

void TFileCopierTest::CopiedProgramsStayPrograms()
{
#ifndef Q_OS_UNIX
    QSKIP("Execute bits exist on Unix only");
#else
    const QFile::Permissions ReadOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const QFile::Permissions Runnable = ReadOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    // A pre-copy step starts what it copied: a program must arrive as one, a document must not
    // become one.
    QVERIFY(WriteFile(Src(u"setup"_s), "#!/bin/sh\necho\n"));
    QVERIFY(QFile::setPermissions(Src(u"setup"_s), Runnable));
    QVERIFY(WriteFile(Src(u"read me.txt"_s), "#!/bin/sh\necho\n"));
    QVERIFY(QFile::setPermissions(Src(u"read me.txt"_s), ReadOnly));
    const mode_t Mask = umask(0022);
    const auto Restore = qScopeGuard([Mask] { umask(Mask); });
    TFileCopier Copier;
    const TCopyReport Report = Copier.Run(
        {{Src(u"setup"_s), Dst(u"setup"_s)}, {Src(u"read me.txt"_s), Dst(u"read me.txt"_s)}}, FDst);
    QCOMPARE(Report.Result, int(cpDone));
    QCOMPARE(QFile::permissions(Dst(u"setup"_s)) & ~QFile::Permissions(QFile::ReadUser | QFile::WriteUser |
                                                                     QFile::ExeUser),
             Runnable | QFile::WriteOwner);
    QVERIFY(!(QFile::permissions(Dst(u"read me.txt"_s)) & (QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther)));
    QCOMPARE(ProgramKind(Dst(u"setup"_s)), pkScript);
#endif
}

void TFileCopierTest::ExistingTargetFollowsAnswers_data()
{
    QTest::addColumn<bool>("Ask");
    QTest::addColumn<QList<int>>("Answers");
    QTest::addColumn<int>("Asked");
    QTest::addColumn<QString>("Replaced"); // per file: N = new content, O = old content kept
    QTest::addColumn<int>("Result");
    QTest::addColumn<int>("Copied");
    QTest::addColumn<int>("Skipped");

    QTest::newRow("yes to each") << true << QList<int>{oaYes, oaYes, oaYes} << 3 << u"NNN"_s << int(cpDone)
                                 << 3 << 0;
    QTest::newRow("no to each") << true << QList<int>{oaNo, oaNo, oaNo} << 3 << u"OOO"_s << int(cpDone) << 0
                                << 3;
    QTest::newRow("yes, no, yes") << true << QList<int>{oaYes, oaNo, oaYes} << 3 << u"NON"_s << int(cpDone)
                                  << 2 << 1;
    QTest::newRow("yes to all") << true << QList<int>{oaNo, oaYesToAll} << 2 << u"ONN"_s << int(cpDone) << 2
                                << 1;
    QTest::newRow("no to all") << true << QList<int>{oaYes, oaNoToAll} << 2 << u"NOO"_s << int(cpDone) << 1
                               << 2;
    QTest::newRow("cancel") << true << QList<int>{oaYes, oaCancel} << 2 << u"NOO"_s << int(cpCancelled) << 1
                            << 0;
    QTest::newRow("nobody asked keeps files")
        << false << QList<int>{} << 0 << u"OOO"_s << int(cpDone) << 0 << 3;
}

void TFileCopierTest::ExistingTargetFollowsAnswers()
{
    QFETCH(bool, Ask);
    QFETCH(QList<int>, Answers);
    QFETCH(int, Asked);
    QFETCH(QString, Replaced);
    QFETCH(int, Result);
    QFETCH(int, Copied);
    QFETCH(int, Skipped);

    const QStringList Names{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s};
    QList<TCopyItem> Items;
    for (const QString& Name : Names) {
        QVERIFY(WriteFile(Src(Name), QByteArray("new " + Name.toUtf8())));
        QVERIFY(WriteFile(Dst(Name), "old"));
        Items.append({Src(Name), Dst(Name)});
    }
    // A read-only file that is replaced ends up writable like every copy.
    QVERIFY(QFile::setPermissions(Dst(u"a.txt"_s), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    TFileCopier Copier;
    QStringList Questions;
    if (Ask) {
        Copier.OnOverwrite = [&](const QString& Target) {
            Questions.append(Target);
            return Answers.isEmpty() ? oaCancel : TOverwriteAnswer(Answers.takeFirst());
        };
    }
    const TCopyReport Report = Copier.Run(Items, FDst);
    QCOMPARE(Report.Errors, QStringList());
    QCOMPARE(Report.Result, Result);
    QCOMPARE(Report.Copied, Copied);
    QCOMPARE(Report.Skipped, Skipped);
    QCOMPARE(Questions.size(), Asked);
    for (qsizetype I = 0; I < Questions.size(); ++I) {
        QCOMPARE(Questions[I], Dst(Names[I]));
    }
    for (qsizetype I = 0; I < Names.size(); ++I) {
        const QByteArray Expected =
            Replaced[I] == u'N' ? QByteArray("new " + Names[I].toUtf8()) : QByteArray("old");
        QCOMPARE(ReadFile(Dst(Names[I])), Expected);
    }
    if (Replaced[0] == u'N') {
        QVERIFY(QFile::permissions(Dst(u"a.txt"_s)) & QFile::WriteOwner);
    }
    QCOMPARE(FilesBelow(FDst), Names);
}

void TFileCopierTest::RefusesTargetsOutsideRoot_data()
{
    // "<dst>" stands for the chosen folder, "<tmp>" for the folder around it.
    QTest::addColumn<QString>("Target");
    QTest::addColumn<QString>("Written"); // where the file lands, below <tmp>; "" when refused

    QTest::newRow("parent") << u"<dst>/../escape.txt"_s << QString();
    QTest::newRow("up from a subfolder") << u"<dst>/sub/../../escape.txt"_s << QString();
    QTest::newRow("backslashes") << u"<dst>\\..\\escape.txt"_s << QString();
    QTest::newRow("sibling sharing the name's start") << u"<dst>2/escape.txt"_s << QString();
    QTest::newRow("absolute elsewhere") << u"<tmp>/escape.txt"_s << QString();
    QTest::newRow("the folder itself") << u"<dst>"_s << QString();
    QTest::newRow("the folder with a separator") << u"<dst>/"_s << QString();
    QTest::newRow("relative") << u"escape.txt"_s << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("down and up, staying inside") << u"<dst>/sub/../in.txt"_s << u"dst/in.txt"_s;
    QTest::newRow("backslashes inside") << u"<dst>\\sub\\in.txt"_s << u"dst/sub/in.txt"_s;
}

void TFileCopierTest::RefusesTargetsOutsideRoot()
{
    QFETCH(QString, Target);
    QFETCH(QString, Written);
    Target.replace(u"<dst>"_s, FDst).replace(u"<tmp>"_s, FTemp->path());

    QVERIFY(WriteFile(Src(u"first.txt"_s), "first"));
    QVERIFY(WriteFile(Src(u"rule.txt"_s), "rule"));
    QVERIFY(WriteFile(Src(u"last.txt"_s), "last"));
    // A relative target that got through would land here, where the check below sees it.
    QVERIFY(QDir::setCurrent(FTemp->path()));
    const QStringList Before = FilesBelow(FTemp->path());

    TFileCopier Copier;
    Copier.OnOverwrite = [](const QString&) { return oaYes; };
    const TCopyReport Report = Copier.Run({{Src(u"first.txt"_s), Dst(u"first.txt"_s)},
                                           {Src(u"rule.txt"_s), Target},
                                           {Src(u"last.txt"_s), Dst(u"last.txt"_s)}},
                                          FDst);

    QStringList Expected = Before + QStringList{u"dst/first.txt"_s, u"dst/last.txt"_s};
    if (Written.isEmpty()) {
        QCOMPARE(Report.Result, int(cpFailed));
        QCOMPARE(Report.Copied, 2);
        QCOMPARE(Report.Errors.size(), 1);
        QVERIFY2(Report.Errors[0].contains(QDir::toNativeSeparators(Target)), qPrintable(Report.Errors[0]));
    } else {
        QCOMPARE(Report.Errors, QStringList());
        QCOMPARE(Report.Result, int(cpDone));
        QCOMPARE(Report.Copied, 3);
        QCOMPARE(ReadFile(FTemp->filePath(Written)), QByteArray("rule"));
        Expected.append(Written);
    }
    Expected.sort();
    // Nothing anywhere else: not beside the chosen folder, not above it.
    QCOMPARE(FilesBelow(FTemp->path()), Expected);
}

void TFileCopierTest::LinksInsideRootMustNotLeadOut_data()
{
    // Links made in the chosen folder before the copy: name below <dst> -> what it points to, with
    // "<out>" a folder beside the chosen one holding "kept.txt".
    QTest::addColumn<QStringList>("Links");
    QTest::addColumn<QString>("Target"); // below <dst>
    QTest::addColumn<QString>("Written"); // where the file lands, below <tmp>; "" when refused

    QTest::newRow("folder link out") << QStringList{u"out=<out>"_s} << u"out/x.txt"_s << QString();
    QTest::newRow("folder link out, new folder below") << QStringList{u"out=<out>"_s} << u"out/new/x.txt"_s
                                                       << QString();
    QTest::newRow("relative folder link out") << QStringList{u"out=../outside"_s} << u"out/x.txt"_s << QString();
    QTest::newRow("file link out") << QStringList{u"kept.txt=<out>/kept.txt"_s} << u"kept.txt"_s << QString();
    QTest::newRow("dangling file link out") << QStringList{u"x.txt=<out>/x.txt"_s} << u"x.txt"_s << QString();
    QTest::newRow("link to a link out") << QStringList{u"a=b"_s, u"b=<out>"_s} << u"a/x.txt"_s << QString();
    QTest::newRow("links in a circle") << QStringList{u"a=b"_s, u"b=a"_s} << u"a/x.txt"_s << QString();
    QTest::newRow("folder link staying inside") << QStringList{u"in=<dst>/real"_s} << u"in/x.txt"_s
                                                << u"dst/real/x.txt"_s;
}

void TFileCopierTest::LinksInsideRootMustNotLeadOut()
{
#ifndef Q_OS_UNIX
    QSKIP("symbolic links need rights on this system");
#endif
    QFETCH(QStringList, Links);
    QFETCH(QString, Target);
    QFETCH(QString, Written);
    const QString Out = FTemp->filePath(u"outside"_s);
    QVERIFY(WriteFile(Out + u"/kept.txt"_s, "kept"));
    QVERIFY(QDir().mkpath(Dst(u"real"_s)));
    for (const QString& Link : std::as_const(Links)) {
        const QStringList Parts = Link.split(u'=');
        QString To = Parts[1];
        To.replace(u"<out>"_s, Out).replace(u"<dst>"_s, FDst);
        QVERIFY(QFile::link(To, Dst(Parts[0])));
    }
    QVERIFY(WriteFile(Src(u"x.txt"_s), "copied"));
    const QStringList Before = FilesBelow(FTemp->path());

    TFileCopier Copier;
    Copier.OnOverwrite = [](const QString&) { return oaYes; };
    const TCopyReport Report = Copier.Run({{Src(u"x.txt"_s), Dst(Target)}}, FDst);

    QStringList Expected = Before;
    if (Written.isEmpty()) {
        QCOMPARE(Report.Result, int(cpFailed));
        QCOMPARE(Report.Errors.size(), 1);
        QVERIFY2(Report.Errors[0].contains(QDir::toNativeSeparators(Dst(Target))), qPrintable(Report.Errors[0]));
    } else {
        QCOMPARE(Report.Errors, QStringList());
        QCOMPARE(Report.Copied, 1);
        QCOMPARE(ReadFile(FTemp->filePath(Written)), QByteArray("copied"));
        Expected.append(Written);
        Expected.sort();
    }
    QCOMPARE(ReadFile(Out + u"/kept.txt"_s), QByteArray("kept"));
    QCOMPARE(QDir(Out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{u"kept.txt"_s});
    QCOMPARE(FilesBelow(FTemp->path()), Expected);
}

void TFileCopierTest::SkipsSourceThatIsTheTarget()
{
    QVERIFY(WriteFile(Dst(u"same.txt"_s), "itself"));
    QVERIFY(WriteFile(Src(u"other.txt"_s), "other"));
    QVERIFY(QDir().mkpath(Dst(u"sub"_s)));

    TFileCopier Copier;
    int Asked = 0;
    Copier.OnOverwrite = [&](const QString&) {
        ++Asked;
        return oaYes;
    };
    const TCopyReport Report = Copier.Run({{Dst(u"same.txt"_s), Dst(u"same.txt"_s)},
                                           {Dst(u"same.txt"_s), Dst(u"sub/../same.txt"_s)},
                                           {Src(u"other.txt"_s), Dst(u"other.txt"_s)}},
                                          FDst);
    QCOMPARE(Report.Errors, QStringList());
    QCOMPARE(Report.Result, int(cpDone));
    QCOMPARE(Report.Skipped, 2);
    QCOMPARE(Report.Copied, 1);
    QCOMPARE(Asked, 0);
    QCOMPARE(ReadFile(Dst(u"same.txt"_s)), QByteArray("itself"));
    QCOMPARE(FilesBelow(FDst), (QStringList{u"other.txt"_s, u"same.txt"_s}));
}

void TFileCopierTest::MissingSourceIsReportedOthersCopied()
{
    QVERIFY(WriteFile(Src(u"a.txt"_s), "a"));
    QVERIFY(WriteFile(Src(u"c.txt"_s), "c"));
    QVERIFY(QDir().mkpath(Src(u"folder"_s)));

    TFileCopier Copier;
    const TCopyReport Report = Copier.Run({{Src(u"a.txt"_s), Dst(u"a.txt"_s)},
                                           {Src(u"missing.txt"_s), Dst(u"missing.txt"_s)},
                                           {Src(u"folder"_s), Dst(u"folder"_s)},
                                           {Src(u"c.txt"_s), Dst(u"c.txt"_s)}},
                                          FDst);
    QCOMPARE(Report.Result, int(cpFailed));
    QCOMPARE(Report.Copied, 2);
    QCOMPARE(Report.Errors.size(), 2);
    QVERIFY2(Report.Errors[0].contains(u"missing.txt"_s), qPrintable(Report.Errors[0]));
    QVERIFY2(Report.Errors[1].contains(QDir::toNativeSeparators(Src(u"folder"_s))),
             qPrintable(Report.Errors[1]));
    QCOMPARE(FilesBelow(FDst), (QStringList{u"a.txt"_s, u"c.txt"_s}));
}

void TFileCopierTest::WriteFailureIsReported_data()
{
    QTest::addColumn<QString>("Target"); // below the chosen folder

    // A file where a folder is expected: no permission trick, so it fails for root as well.
    QTest::newRow("file in place of a folder") << u"blocker/x.txt"_s;
    QTest::newRow("file in place of a deeper folder") << u"blocker/deeper/x.txt"_s;
    QTest::newRow("folder in place of the file") << u"taken"_s;
}

void TFileCopierTest::WriteFailureIsReported()
{
    QFETCH(QString, Target);

    QVERIFY(WriteFile(Dst(u"blocker"_s), "a file"));
    QVERIFY(QDir().mkpath(Dst(u"taken/inner"_s)));
    QVERIFY(WriteFile(Src(u"a.txt"_s), "a"));
    QVERIFY(WriteFile(Src(u"x.txt"_s), "x"));
    QVERIFY(WriteFile(Src(u"c.txt"_s), "c"));

    TFileCopier Copier;
    Copier.OnOverwrite = [](const QString&) { return oaYesToAll; };
    const TCopyReport Report = Copier.Run({{Src(u"a.txt"_s), Dst(u"a.txt"_s)},
                                           {Src(u"x.txt"_s), Dst(Target)},
                                           {Src(u"c.txt"_s), Dst(u"c.txt"_s)}},
                                          FDst);
    QCOMPARE(Report.Result, int(cpFailed));
    QCOMPARE(Report.Copied, 2);
    QCOMPARE(Report.Errors.size(), 1);
    QVERIFY2(Report.Errors[0].contains(QDir::toNativeSeparators(Dst(Target))), qPrintable(Report.Errors[0]));
    QCOMPARE(ReadFile(Dst(u"blocker"_s)), QByteArray("a file"));
    QVERIFY(QFileInfo(Dst(u"taken/inner"_s)).isDir());
    QCOMPARE(FilesBelow(FDst), (QStringList{u"a.txt"_s, u"blocker"_s, u"c.txt"_s}));
}

void TFileCopierTest::ProgressCountsEveryByte()
{
    const QList<std::pair<QString, qint64>> Files{
        {u"empty"_s, 0}, {u"small.txt"_s, 10}, {u"big.bin"_s, 2 * MiB + MiB / 2 + 7}, {u"exact.bin"_s, MiB}};
    QList<TCopyItem> Items;
    qint64 Total = 0;
    for (const auto& [Name, Size] : Files) {
        QVERIFY(WriteFile(Src(Name), Pattern(Size, 2)));
        Items.append({Src(Name), Dst(Name)});
        Total += Size;
    }
    // A missing file adds nothing to the total and still ends in a report.
    Items.insert(2, {Src(u"missing"_s), Dst(u"missing"_s)});

    TFileCopier Copier;
    QList<TProgressCall> Calls;
    Copier.OnProgress = [&](qint64 Done, qint64 AllBytes, const QString& Current) {
        Calls.append({Done, AllBytes, Current});
    };
    const TCopyReport Report = Copier.Run(Items, FDst);
    QCOMPARE(Report.Result, int(cpFailed));
    QCOMPARE(Report.Copied, 4);

    QVERIFY(!Calls.isEmpty());
    qint64 Previous = 0;
    QStringList Order;
    int BigChunks = 0;
    for (const TProgressCall& Call : std::as_const(Calls)) {
        QCOMPARE(Call.Total, Total);
        QVERIFY2(Call.Done >= Previous, qPrintable(u"%1 after %2"_s.arg(Call.Done).arg(Previous)));
        QVERIFY(Call.Done <= Total);
        Previous = Call.Done;
        if (Order.isEmpty() || Order.last() != Call.Current) {
            Order.append(Call.Current);
        }
        BigChunks += Call.Current == Src(u"big.bin"_s) ? 1 : 0;
    }
    QCOMPARE(Calls.last().Done, Total);
    // Every file reports, in list order; the big one also while it is copied, not only at its end.
    QStringList Sources;
    for (const TCopyItem& Item : Items) {
        Sources.append(Item.Source);
    }
    QCOMPARE(Order, Sources);
    QVERIFY2(BigChunks >= 2, qPrintable(QString::number(BigChunks)));
}

void TFileCopierTest::CancelDropsPartialFile_data()
{
    QTest::addColumn<bool>("Existing");
    QTest::addColumn<bool>("Named");

    QTest::newRow("new file") << false << false;
    QTest::newRow("replacing a file") << true << false;
    QTest::newRow("new file, hidden name") << false << true;
    QTest::newRow("replacing a file, hidden name") << true << true;
}

void TFileCopierTest::CancelDropsPartialFile()
{
    QFETCH(bool, Existing);
    QFETCH(bool, Named);
    if (!Named) {
        const int Unnamed = OpenUnnamedFile(FDst);
        if (Unnamed < 0) {
            QSKIP("The temporary folder's file system cannot make unnamed files");
        }
        CloseUnnamedFile(Unnamed);
    }

    QVERIFY(WriteFile(Src(u"first.txt"_s), "first"));
    QVERIFY(WriteFile(Src(u"big.bin"_s), Pattern(3 * MiB, 3)));
    QVERIFY(WriteFile(Src(u"last.txt"_s), "last"));
    if (Existing) {
        QVERIFY(WriteFile(Dst(u"big.bin"_s), "old"));
    }
    const QList<TCopyItem> Items{{Src(u"first.txt"_s), Dst(u"first.txt"_s)},
                                 {Src(u"big.bin"_s), Dst(u"big.bin"_s)},
                                 {Src(u"last.txt"_s), Dst(u"last.txt"_s)}};

    TFileCopier Copier;
    if (Named) {
        Copier.FileSystem = std::make_shared<TNamedTargets>();
    }
    Copier.OnOverwrite = [](const QString&) { return oaYes; };
    int Calls = 0;
    QStringList MidCopy; // the target folder while big.bin is half copied
    Copier.OnProgress = [&](qint64, qint64, const QString& Current) {
        ++Calls;
        if (Current == Src(u"big.bin"_s)) {
            MidCopy = FilesBelow(FDst);
            Copier.Cancel();
        }
    };
    const TCopyReport Report = Copier.Run(Items, FDst);
    QCOMPARE(Report.Result, int(cpCancelled));
    QCOMPARE(Report.Copied, 1);
    QCOMPARE(Report.Errors, QStringList());
    QCOMPARE(ReadFile(Dst(u"first.txt"_s)), QByteArray("first"));
    QStringList Left{u"first.txt"_s};
    if (Existing) {
        // The old file stays whole: the new one was never published.
        QCOMPARE(ReadFile(Dst(u"big.bin"_s)), QByteArray("old"));
        Left.prepend(u"big.bin"_s);
    }
    QCOMPARE(FilesBelow(FDst), Left);
    // While written, the copy has no name at all, so a crash or a kill could leave nothing behind;
    // where the system cannot do that, it has a hidden name beside its target.
    if (Named) {
        QCOMPARE(MidCopy.size(), Left.size() + 1);
        const QStringList Hidden = MidCopy.filter(QRegularExpression(u"^\\.big\\.bin\\.[a-z0-9]{6}\\.part$"_s));
        QCOMPARE(Hidden.size(), 1);
    } else {
        QCOMPARE(MidCopy, Left);
    }
    // first.txt, then the first chunk of big.bin: the copy stopped right there.
    QCOMPARE(Calls, 2);

    // A cancel belongs to its run: the next one copies everything.
    Copier.OnProgress = nullptr;
    const TCopyReport Again = Copier.Run(Items, FDst);
    QCOMPARE(Again.Result, int(cpDone));
    QCOMPARE(ReadFile(Dst(u"big.bin"_s)), ReadFile(Src(u"big.bin"_s)));
    QCOMPARE(FilesBelow(FDst), (QStringList{u"big.bin"_s, u"first.txt"_s, u"last.txt"_s}));
}

void TFileCopierTest::TotalKeepsSizesAbove4GiB()
{
    // Sparse: takes no space, reads as zeros. Only its first chunk is copied.
    const qint64 Size = 5 * 1024 * MiB + 3;
    {
        QFile Huge(Src(u"huge.bin"_s));
        QVERIFY(Huge.open(QIODevice::WriteOnly));
        if (!Huge.resize(Size)) {
            QSKIP("The temporary folder cannot hold a file of this size");
        }
    }
    QVERIFY(WriteFile(Src(u"small.txt"_s), "small"));

    TFileCopier Copier;
    QList<TProgressCall> Calls;
    Copier.OnProgress = [&](qint64 Done, qint64 Total, const QString& Current) {
        Calls.append({Done, Total, Current});
        Copier.Cancel();
    };
    const TCopyReport Report = Copier.Run(
        {{Src(u"huge.bin"_s), Dst(u"huge.bin"_s)}, {Src(u"small.txt"_s), Dst(u"small.txt"_s)}}, FDst);
    QCOMPARE(Report.Result, int(cpCancelled));
    QCOMPARE(Calls.size(), 1);
    QCOMPARE(Calls[0].Total, Size + 5);
    QCOMPARE(Calls[0].Done, MiB);
    QCOMPARE(FilesBelow(FDst), QStringList());
}


void TFileCopierTest::FaultsLeaveNoPartialFile_data()
{
    QTest::addColumn<QString>("Fault");
    QTest::addColumn<bool>("Existing"); // the failing file's target exists and is to be replaced
    QTest::addColumn<QString>("Reason");

    for (const bool Existing : {false, true}) {
        const char* Suffix = Existing ? ", replacing" : "";
        QTest::addRow("disk full on the first chunk%s", Suffix) << u"write 0"_s << Existing
                                                                << u"No space left on device"_s;
        QTest::addRow("disk full mid file%s", Suffix) << u"write 2"_s << Existing << u"No space left on device"_s;
        QTest::addRow("source unreadable%s", Suffix) << u"open"_s << Existing << u"Permission denied"_s;
        QTest::addRow("source gone mid file%s", Suffix) << u"read 1"_s << Existing << u"No such device"_s;
    }
}

// A file that fails part way is reported and leaves nothing at its target (an older file there stays
// as it was); the files around it are copied whole.
void TFileCopierTest::FaultsLeaveNoPartialFile()
{
    QFETCH(QString, Fault);
    QFETCH(bool, Existing);
    QFETCH(QString, Reason);
    const QString Failing = u"большой файл.bin"_s;
    const QByteArray First = Pattern(100 * 1024, 1);
    const QByteArray Large = Pattern(3 * MiB + 17, 2);
    const QByteArray Last = Pattern(5, 3);
    QVERIFY(WriteFile(Src(u"первый файл.txt"_s), First));
    QVERIFY(WriteFile(Src(Failing), Large));
    QVERIFY(WriteFile(Src(u"last file.txt"_s), Last));
    if (Existing) {
        QVERIFY(WriteFile(Dst(u"sub folder/"_s + Failing), "older"));
    }
    const QStringList Before = FilesBelow(FTemp->path());

    auto FileSystem = std::make_shared<TFaultyFileSystem>();
    FileSystem->FailingName = Failing;
    const QStringList Parts = Fault.split(u' ');
    if (Parts[0] == u"open") {
        FileSystem->FailOpen = true;
    } else if (Parts[0] == u"read") {
        FileSystem->ReadBudget = Parts[1].toLongLong() * MiB + 1000;
    } else {
        FileSystem->WriteBudget = Parts[1].toLongLong() * MiB;
    }
    TFileCopier Copier;
    Copier.FileSystem = FileSystem;
    Copier.OnOverwrite = [](const QString&) { return oaYes; };
    const TCopyReport Report = Copier.Run({{Src(u"первый файл.txt"_s), Dst(u"первый файл.txt"_s)},
                                           {Src(Failing), Dst(u"sub folder/"_s + Failing)},
                                           {Src(u"last file.txt"_s), Dst(u"sub folder/last file.txt"_s)}},
                                          FDst);

    QCOMPARE(Report.Result, int(cpFailed));
    QCOMPARE(Report.Copied, 2);
    QCOMPARE(Report.Errors.size(), 1);
    QVERIFY2(Report.Errors[0].contains(Failing) && Report.Errors[0].contains(Reason), qPrintable(Report.Errors[0]));
    QCOMPARE(ReadFile(Dst(u"первый файл.txt"_s)), First);
    QCOMPARE(ReadFile(Dst(u"sub folder/last file.txt"_s)), Last);
    if (Existing) {
        QCOMPARE(ReadFile(Dst(u"sub folder/"_s + Failing)), QByteArray("older"));
    }
    QStringList Expected = Before + QStringList{u"dst/первый файл.txt"_s, u"dst/sub folder/last file.txt"_s};
    Expected.sort();
    QCOMPARE(FilesBelow(FTemp->path()), Expected);
}

// A real file system that fills up: a small tmpfs, where mounting is allowed.
void TFileCopierTest::RealDiskFullLeavesNoPartialFile()
{
    const QString Mount = FTemp->filePath(u"small"_s);
    QVERIFY(QDir().mkpath(Mount));
    if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=1m"_s, u"tmpfs"_s, Mount}) != 0) {
        QSKIP("this machine does not allow mounting a small file system (needs root)");
    }
    const auto Unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {Mount}); });

    const QByteArray Small = Pattern(10 * 1024, 1);
    const QByteArray Large = Pattern(3 * MiB, 2);
    QVERIFY(WriteFile(Src(u"мой файл.txt"_s), Small));
    QVERIFY(WriteFile(Src(u"big file.bin"_s), Large));
    const QString Root = Mount + u"/папка с файлами"_s;

    TFileCopier Copier;
    const TCopyReport Report = Copier.Run({{Src(u"мой файл.txt"_s), Root + u"/мой файл.txt"_s},
                                           {Src(u"big file.bin"_s), Root + u"/big file.bin"_s}},
                                          Root);

    QCOMPARE(Report.Result, int(cpFailed));
    QCOMPARE(Report.Copied, 1);
    QCOMPARE(Report.Errors.size(), 1);
    QVERIFY2(Report.Errors[0].contains(u"big file.bin"_s) && Report.Errors[0].contains(u"cannot be written"_s),
             qPrintable(Report.Errors[0]));
    QCOMPARE(ReadFile(Root + u"/мой файл.txt"_s), Small);
    // Neither the file cut short nor its temporary file stays behind.
    QCOMPARE(FilesBelow(Mount), QStringList{u"папка с файлами/мой файл.txt"_s});
}

QTEST_GUILESS_MAIN(TFileCopierTest)
#include "tst_filecopier.moc"
