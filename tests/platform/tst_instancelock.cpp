#include "InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Second copies are started as separate processes (the helper program), as a second start of the
// program would be. The runtime folder is a temporary one for the whole test.

class TInstanceLockTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void LockLivesInRuntimeFolder();
    void SameProcessHoldsOnce();
    void DescriptorIsCloseOnExec();
    void SecondProcessIsRefused();
    void ConcurrentStartsHaveOneWinner();
    void KilledHolderDoesNotBlock_data();
    void KilledHolderDoesNotBlock();
    void SharedFolderMustBePrivate_data();
    void SharedFolderMustBePrivate();

private:
    QTemporaryDir FRuntime;
    QTemporaryDir FWork;

    // Starts the helper with "lock" and Args and returns its first line of output ("" on timeout).
    static QString StartHelper(QProcess& Helper, const QStringList& Args);
    // Runs the helper with "lock Path" to its end; its exit code (0 took the lock, 1 was refused).
    static int TryInOtherProcess(const QString& Path);
};

QString TInstanceLockTest::StartHelper(QProcess& Helper, const QStringList& Args)
{
    Helper.start(QStringLiteral(AUTORUN_PLATFORM_HELPER), QStringList{u"lock"_s} + Args);
    if (!Helper.waitForStarted(30000)) {
        return {};
    }
    while (!Helper.canReadLine()) {
        if (!Helper.waitForReadyRead(30000)) {
            return {};
        }
    }
    return QString::fromUtf8(Helper.readLine()).trimmed();
}

int TInstanceLockTest::TryInOtherProcess(const QString& Path)
{
    QProcess Helper;
    Helper.start(QStringLiteral(AUTORUN_PLATFORM_HELPER), {u"lock"_s, Path});
    if (!Helper.waitForFinished(30000) || Helper.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return Helper.exitCode();
}

void TInstanceLockTest::initTestCase()
{
    QVERIFY(FRuntime.isValid());
    QVERIFY(FWork.isValid());
    // Read at every lock; the helpers inherit it.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(FRuntime.path()));
}

void TInstanceLockTest::LockLivesInRuntimeFolder()
{
    const QString Path = u"/media/cdrom/autorun"_s;
    const QString Name = TInstanceLock::LockName(Path);
    const QString Hash =
        QString::fromLatin1(QCryptographicHash::hash(Path.toUtf8(), QCryptographicHash::Sha1).toHex());
    QCOMPARE(QFileInfo(Name).absolutePath(), FRuntime.path());
    QVERIFY2(QFileInfo(Name).fileName().contains(Hash), qPrintable(Name));
    QVERIFY(Name.endsWith(u".lock"_s));
    QCOMPARE(TInstanceLock::LockName(Path), Name);
    QVERIFY(TInstanceLock::LockName(u"/media/cdrom1/autorun"_s) != Name);

    TInstanceLock Lock;
    QVERIFY(Lock.Acquire(Path));
    QVERIFY(QFile::exists(Name));
    Lock.Release();
    QVERIFY(!QFile::exists(Name));
}

void TInstanceLockTest::SameProcessHoldsOnce()
{
    const QString A = FWork.filePath(u"a/autorun"_s);
    const QString B = FWork.filePath(u"b/autorun"_s);
    TInstanceLock First;
    TInstanceLock Second;
    QVERIFY(First.Acquire(A));
    QVERIFY(First.IsHeld());
    QVERIFY(!Second.Acquire(A));
    QVERIFY(!Second.IsHeld());
    QVERIFY(Second.Acquire(B));

    // A new attempt gives the old lock back first, even when the attempt fails.
    QVERIFY(!Second.Acquire(A));
    QVERIFY(!Second.IsHeld());
    QVERIFY(First.Acquire(B));
    QVERIFY(Second.Acquire(A));

    {
        TInstanceLock Scoped;
        QVERIFY(Scoped.Acquire(FWork.filePath(u"c/autorun"_s)));
    }
    // Released when the object ends.
    TInstanceLock After;
    QVERIFY(After.Acquire(FWork.filePath(u"c/autorun"_s)));
}

void TInstanceLockTest::DescriptorIsCloseOnExec()
{
    const QString Path = FWork.filePath(u"cloexec/autorun"_s);
    TInstanceLock Lock;
    QVERIFY(Lock.Acquire(Path));
    const QString Name = QFileInfo(TInstanceLock::LockName(Path)).canonicalFilePath();

    int Found = 0;
    const QStringList Fds =
        QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& Fd : Fds) {
        if (QFileInfo(u"/proc/self/fd/"_s + Fd).symLinkTarget() != Name) {
            continue;
        }
        ++Found;
        const int Flags = fcntl(Fd.toInt(), F_GETFD);
        QVERIFY(Flags >= 0);
        QVERIFY2(Flags & FD_CLOEXEC, "a started program would keep the lock after we end");
    }
    QCOMPARE(Found, 1);
}

void TInstanceLockTest::SecondProcessIsRefused()
{
    const QString Path = FWork.filePath(u"disc/autorun"_s);
    TInstanceLock Lock;
    QVERIFY(Lock.Acquire(Path));
    QCOMPARE(TryInOtherProcess(Path), 1);
    // A copy from another folder is another program.
    QCOMPARE(TryInOtherProcess(FWork.filePath(u"other disc/autorun"_s)), 0);
    Lock.Release();
    QCOMPARE(TryInOtherProcess(Path), 0);

    // And the other way round: a process that holds it keeps us out until it ends.
    QProcess Holder;
    QCOMPARE(StartHelper(Holder, {Path, u"hold"_s}), u"acquired"_s);
    QVERIFY(!Lock.Acquire(Path));
    Holder.closeWriteChannel();
    QVERIFY(Holder.waitForFinished(30000));
    QCOMPARE(Holder.exitCode(), 0);
    QVERIFY(Lock.Acquire(Path));
}

void TInstanceLockTest::ConcurrentStartsHaveOneWinner()
{
    const QString Path = FWork.filePath(u"race/autorun"_s);
    constexpr int Count = 8;
    std::vector<std::unique_ptr<QProcess>> Helpers;
    for (int I = 0; I < Count; ++I) {
        Helpers.push_back(std::make_unique<QProcess>());
        Helpers.back()->start(QStringLiteral(AUTORUN_PLATFORM_HELPER), {u"lock"_s, Path, u"hold"_s});
    }
    int Acquired = 0;
    int Busy = 0;
    for (auto& Helper : Helpers) {
        while (!Helper->canReadLine() && Helper->waitForReadyRead(30000)) {
        }
        const QString Line = QString::fromUtf8(Helper->readLine()).trimmed();
        Acquired += Line == u"acquired"_s;
        Busy += Line == u"busy"_s;
    }
    for (auto& Helper : Helpers) {
        Helper->closeWriteChannel();
        QVERIFY(Helper->waitForFinished(30000));
    }
    QCOMPARE(Acquired, 1);
    QCOMPARE(Busy, Count - 1);
}

void TInstanceLockTest::KilledHolderDoesNotBlock_data()
{
    QTest::addColumn<bool>("StartsProgram");
    QTest::newRow("holder alone") << false;
    // The program the holder started lives on and must not carry the lock with it.
    QTest::newRow("holder started a program") << true;
}

void TInstanceLockTest::KilledHolderDoesNotBlock()
{
    QFETCH(bool, StartsProgram);
    const QString Path = FWork.filePath(u"killed/autorun"_s);
    const QString PidFile = FWork.filePath(u"started.pid"_s);
    QFile::remove(PidFile);

    QStringList Args{Path, u"hold"_s};
    if (StartsProgram) {
        const QString Program = FWork.filePath(u"long running.sh"_s);
        QFile Script(Program);
        QVERIFY(Script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray Target = QFile::encodeName(PidFile);
        const QByteArray Text = QByteArray("#!/bin/sh\necho $$ > '") + Target + "'.part\nmv '" + Target +
                                "'.part '" + Target + "'\nexec sleep 600 </dev/null >/dev/null 2>&1\n";
        Script.write(Text);
        Script.close();
        QVERIFY(Script.setPermissions(Script.permissions() | QFile::ExeOwner));
        Args << u"spawn"_s << Program;
    }

    QProcess Holder;
    QCOMPARE(StartHelper(Holder, Args), u"acquired"_s);
    pid_t Started = 0;
    if (StartsProgram) {
        while (!Holder.canReadLine() && Holder.waitForReadyRead(30000)) {
        }
        QCOMPARE(QString::fromUtf8(Holder.readLine()).trimmed(), u"spawned 42"_s);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(PidFile), 15000);
        QFile Pid(PidFile);
        QVERIFY(Pid.open(QIODevice::ReadOnly));
        Started = pid_t(Pid.readAll().trimmed().toInt());
        QVERIFY(Started > 0);
    }
    const auto StopStarted = qScopeGuard([Started] {
        if (Started > 0) {
            ::kill(Started, SIGKILL);
        }
    });

    TInstanceLock Lock;
    QVERIFY(!Lock.Acquire(Path));
    Holder.kill();
    QVERIFY(Holder.waitForFinished(30000));
    QVERIFY(QFile::exists(TInstanceLock::LockName(Path)));
    if (StartsProgram) {
        QCOMPARE(::kill(Started, 0), 0);
    }
    QVERIFY(Lock.Acquire(Path));
}

void TInstanceLockTest::SharedFolderMustBePrivate_data()
{
    // What stands at the shared temporary folder's "autorun-<uid>" before the program starts.
    QTest::addColumn<QString>("Found");
    QTest::addColumn<bool>("Used");
    QTest::newRow("nothing: made private") << u"nothing"_s << true;
    QTest::newRow("our private folder") << u"private"_s << true;
    QTest::newRow("writable by everyone") << u"mode 0777"_s << false;
    QTest::newRow("writable by the group") << u"mode 0770"_s << false;
    QTest::newRow("another user's") << u"foreign"_s << false;
    QTest::newRow("a link to a private folder") << u"link"_s << false;
    QTest::newRow("a file") << u"file"_s << false;
    // Nor can a cache folder be made: no lock at all, and the program runs.
    QTest::newRow("writable by everyone, no cache") << u"mode 0777, no cache"_s << false;
}

// Without a runtime folder the lock goes to a folder in the shared temporary folder. Another local
// user may have made that folder first and put a lock with a living process id into it; such a folder
// is not used, and the lock goes to the user's cache instead. Where no folder will do, the program
// runs unlocked rather than reporting a copy that is not running.
void TInstanceLockTest::SharedFolderMustBePrivate()
{
    QFETCH(QString, Found);
    QFETCH(bool, Used);
    if (Found == u"foreign"_s && ::geteuid() != 0) {
        QSKIP("giving a folder to another user needs root");
    }

    QTemporaryDir Scratch;
    QVERIFY(Scratch.isValid());
    const QString Temp = Scratch.filePath(u"tmp"_s);
    const bool NoCache = Found.endsWith(u", no cache"_s);
    Found.remove(u", no cache"_s);
    // Below a plain file no folder can be made.
    const QString Cache = Scratch.filePath(NoCache ? u"file/cache"_s : u"cache"_s);
    if (NoCache) {
        QFile Blocker(Scratch.filePath(u"file"_s));
        QVERIFY(Blocker.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir().mkpath(Temp));
    const QByteArray OldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray OldTemp = qgetenv("TMPDIR");
    const auto Restore = qScopeGuard([&] {
        qputenv("XDG_RUNTIME_DIR", OldRuntime);
        OldTemp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", OldTemp);
        qunsetenv("XDG_CACHE_HOME");
    });
    // No runtime folder: Qt refuses its own fallback when others can write to it.
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(Temp));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(Cache));
    const passwd* User = ::getpwuid(::getuid());
    QVERIFY(User != nullptr);
    const QString QtRuntime = Temp + u"/runtime-"_s + QString::fromLocal8Bit(User->pw_name);
    QVERIFY(QDir().mkpath(QtRuntime));
    QVERIFY(::chmod(QFile::encodeName(QtRuntime).constData(), 0777) == 0);
    QVERIFY(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).isEmpty());

    const QString Shared = Temp + u"/autorun-"_s + QString::number(::getuid());
    const QString Path = FWork.filePath(u"shared/autorun"_s);
    const QString LockFileName =
        u"/autorun-"_s +
        QString::fromLatin1(QCryptographicHash::hash(Path.toUtf8(), QCryptographicHash::Sha1).toHex()) +
        u".lock"_s;
    const QByteArray SharedBytes = QFile::encodeName(Shared);
    std::unique_ptr<QLockFile> Planted;
    if (Found == u"file"_s) {
        QFile F(Shared);
        QVERIFY(F.open(QIODevice::WriteOnly));
    } else if (Found == u"link"_s) {
        const QString Elsewhere = Scratch.filePath(u"elsewhere"_s);
        QVERIFY(QDir().mkpath(Elsewhere));
        QVERIFY(::chmod(QFile::encodeName(Elsewhere).constData(), 0700) == 0);
        QVERIFY(QFile::link(Elsewhere, Shared));
    } else if (Found == u"private"_s) {
        QVERIFY(QDir().mkpath(Shared));
        QVERIFY(::chmod(SharedBytes.constData(), 0700) == 0);
    } else if (Found != u"nothing"_s) {
        QVERIFY(QDir().mkpath(Shared));
        // A lock with a living holder (this process) in it.
        Planted = std::make_unique<QLockFile>(Shared + LockFileName);
        Planted->setStaleLockTime(0);
        QVERIFY(Planted->tryLock(0));
        const mode_t Mode = Found == u"mode 0777"_s ? 0777 : Found == u"mode 0770"_s ? 0770 : 0755;
        QVERIFY(::chmod(SharedBytes.constData(), Mode) == 0);
        if (Found == u"foreign"_s) {
            QVERIFY(::chown(SharedBytes.constData(), 65534, 65534) == 0);
        }
    }

    const QString Name = TInstanceLock::LockName(Path);
    if (NoCache) {
        QCOMPARE(Name, QString());
        TInstanceLock Lock;
        QVERIFY(Lock.Acquire(Path));
        QVERIFY(!Lock.IsHeld());
        return;
    }
    const QString Expected = Used ? Shared : Cache + u"/autorun"_s;
    QCOMPARE(QFileInfo(Name).absolutePath(), Expected);
    struct stat Info = {};
    QVERIFY(::lstat(QFile::encodeName(Expected).constData(), &Info) == 0);
    QCOMPARE(Info.st_mode & 07777, mode_t(0700));
    QCOMPARE(Info.st_uid, ::geteuid());

    TInstanceLock Lock;
    QVERIFY(Lock.Acquire(Path));
    QVERIFY(Lock.IsHeld());
    QVERIFY(QFile::exists(Expected + LockFileName));
    if (Found == u"foreign"_s) {
        // Ours again, so that the scratch folder can go.
        QVERIFY(::chown(SharedBytes.constData(), ::geteuid(), ::getegid()) == 0);
    }
}

QTEST_GUILESS_MAIN(TInstanceLockTest)
#include "tst_instancelock.moc"
