#include "InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <memory>
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

QTEST_GUILESS_MAIN(TInstanceLockTest)
#include "tst_instancelock.moc"
