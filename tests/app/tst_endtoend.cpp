// The real program on a fixture disc: one instance per disc, a second start from the same place
// ends with exit code 1 after its message, a start on another disc runs.

#include "AutorunProcess.h"
#include "InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneInstancePerDisc();
    void simultaneousStartsHaveOneWindow();
    void htmfileEndsWithCodeOne();
    void brokenProjectEndsWithoutWindow();
    void specialFilesCountAsMissing();

private:
    QString MakeDisc(const QString& Name, const QByteArray& Project);
    QProcessEnvironment Env() const;
    static bool HoldsLock(const QString& RuntimeDir);

    QTemporaryDir FDir;
    QByteArray FProject;
    // xdotool, when the programs run on a real display and it is installed.
    QString FWindowFinder;
};

void TestEndToEnd::initTestCase()
{
    QVERIFY(FDir.isValid());
    // The programs' runtime folder, so that this process finds their lock files by name.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Env().value(u"XDG_RUNTIME_DIR"_s)));
    if (Env().value(u"QT_QPA_PLATFORM"_s) == u"xcb"_s)
        FWindowFinder = QStandardPaths::findExecutable(u"xdotool"_s);
    QFile F(QStringLiteral(AUTORUN_TEST_BUILD_DATA_DIR "/model/full.vlp"));
    QVERIFY(F.open(QIODevice::ReadOnly));
    FProject = F.readAll();
}

QString TestEndToEnd::MakeDisc(const QString& Name, const QByteArray& Project)
{
    const QString Root = FDir.filePath(Name);
    QDir().mkpath(Root + u"/Shell"_s);
    QFile F(Root + u"/Shell/veltrane.vlp"_s);
    if (F.open(QIODevice::WriteOnly))
        F.write(Project);
    return Root;
}

QProcessEnvironment TestEndToEnd::Env() const
{
    return AutorunEnvironment(QDir(FDir.path()));
}

bool TestEndToEnd::HoldsLock(const QString& RuntimeDir)
{
    return !QDir(RuntimeDir).entryList({u"*.lock"_s}, QDir::Files).isEmpty();
}

void TestEndToEnd::oneInstancePerDisc()
{
    const QString DiscA = MakeDisc(u"discA"_s, FProject);
    const QString DiscB = MakeDisc(u"discB"_s, FProject);
    const QString Runtime = FDir.filePath(u"runtime"_s);
    QFile::remove(FDir.filePath(u"messages.log"_s));

    QProcess First;
    First.setProcessEnvironment(Env());
    First.start(QStringLiteral(AUTORUN_PATH), {DiscA, u"nosplash"_s});
    QVERIFY(First.waitForStarted());
    // The first instance holds its lock once it is up.
    QTRY_VERIFY_WITH_TIMEOUT(HoldsLock(Runtime) || First.state() == QProcess::NotRunning, 30000);
    QCOMPARE(First.state(), QProcess::Running);

    QProcess Second;
    Second.setProcessEnvironment(Env());
    Second.start(QStringLiteral(AUTORUN_PATH), {DiscA});
    QVERIFY(Second.waitForFinished(30000));
    QCOMPARE(Second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(Second.exitCode(), 1);
    QFile Log(FDir.filePath(u"messages.log"_s));
    QVERIFY(Log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(Log.readAll()), u"Veltrane\t2040\tApplication is already running\n"_s);

    // Another disc root is another program path: it runs beside the first.
    const int LocksBefore = QDir(Runtime).entryList({u"*.lock"_s}, QDir::Files).size();
    QProcess Third;
    Third.setProcessEnvironment(Env());
    Third.start(QStringLiteral(AUTORUN_PATH), {DiscB});
    QVERIFY(Third.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QDir(Runtime).entryList({u"*.lock"_s}, QDir::Files).size() > LocksBefore ||
                                 Third.state() == QProcess::NotRunning,
                             30000);
    QCOMPARE(Third.state(), QProcess::Running);

    for (QProcess* P : {&First, &Third}) {
        P->terminate();
        if (!P->waitForFinished(10000)) {
            P->kill();
            P->waitForFinished(10000);
        }
    }
}

// Many starts on one disc at the same moment, as when a user double-clicks an icon impatiently:
// one window, every other start says why it ends and ends with code 1. Each round begins by killing
// the last round's window, so its lock is left behind by a dead process and must not count.
void TestEndToEnd::simultaneousStartsHaveOneWindow()
{
    constexpr int Rounds = 10;
    constexpr int Starts = 20;
    const QString Disc = MakeDisc(u"discR"_s, FProject);
    const QString LogName = FDir.filePath(u"messages.log"_s);
    const QString LockName = TInstanceLock::LockName(
        QDir::cleanPath(QFileInfo(Disc).absoluteFilePath()) + u'/' + QFileInfo(QStringLiteral(AUTORUN_PATH)).fileName());
    const QString Refused = u"Veltrane\t2040\tApplication is already running\n"_s;

    std::unique_ptr<QProcess> Holder;
    const auto EndHolder = qScopeGuard([&Holder] {
        if (Holder) {
            Holder->kill();
            Holder->waitForFinished(30000);
        }
    });
    for (int Round = 0; Round < Rounds; ++Round) {
        QFile::remove(LogName);
        // Every start waits at a barrier (a shell reading its input) and then becomes the program
        // itself, with the same process id.
        std::vector<std::unique_ptr<QProcess>> Programs;
        for (int I = 0; I < Starts; ++I) {
            auto P = std::make_unique<QProcess>();
            P->setProcessEnvironment(Env());
            P->start(u"/bin/sh"_s, {u"-c"_s, u"read -r _; exec \"$0\" \"$@\""_s, QStringLiteral(AUTORUN_PATH),
                                   Disc, u"nosplash"_s});
            QVERIFY(P->waitForStarted(30000));
            Programs.push_back(std::move(P));
        }
        if (Holder) {
            Holder->kill();
            QVERIFY(Holder->waitForFinished(30000));
            Holder.reset();
            QVERIFY(QFile::exists(LockName));
        }
        for (auto& P : Programs) {
            P->closeWriteChannel();
        }

        const auto Ended = [&Programs] {
            return std::count_if(Programs.begin(), Programs.end(),
                                 [](const auto& P) { return P->state() == QProcess::NotRunning; });
        };
        // A second window would keep running: the wait ends at its deadline, well before the
        // test's own.
        QTRY_VERIFY2_WITH_TIMEOUT(Ended() >= Starts - 1,
                                  qPrintable(u"round %1: %2 of %3 starts still run"_s.arg(Round + 1)
                                                 .arg(Starts - Ended())
                                                 .arg(Starts)),
                                  60000);
        int Windows = 0;
        for (auto& P : Programs) {
            if (P->state() != QProcess::NotRunning) {
                ++Windows;
                Holder = std::move(P);
                continue;
            }
            QCOMPARE(P->exitStatus(), QProcess::NormalExit);
            QCOMPARE(P->exitCode(), 1);
        }
        QCOMPARE(Windows, 1);
        QFile Log(LogName);
        QVERIFY(Log.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(Log.readAll()), Refused.repeated(Starts - 1));
        // The lock names the one that runs.
        QFile Lock(LockName);
        QVERIFY(Lock.open(QIODevice::ReadOnly));
        QCOMPARE(Lock.readLine().trimmed().toLongLong(), Holder->processId());
        if (!FWindowFinder.isEmpty()) {
            // On a real display the one that runs shows its window.
            QProcess Finder;
            Finder.start(FWindowFinder,
                         {u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(Holder->processId())});
            QVERIFY(Finder.waitForFinished(30000));
            QVERIFY2(!Finder.readAllStandardOutput().trimmed().isEmpty(), "no window shown");
        }
    }
}

void TestEndToEnd::htmfileEndsWithCodeOne()
{
    const QString Disc = MakeDisc(u"discH"_s, FProject);
    QProcessEnvironment E = Env();
    // The shell finds no program for the page in an empty desktop database; start-up still ends.
    E.insert(u"XDG_DATA_DIRS"_s, FDir.filePath(u"nodata"_s));
    E.insert(u"XDG_DATA_HOME"_s, FDir.filePath(u"nodata"_s));
    E.insert(u"XDG_CONFIG_HOME"_s, FDir.filePath(u"nodata"_s));
    QProcess P;
    P.setProcessEnvironment(E);
    P.start(QStringLiteral(AUTORUN_PATH), {Disc, u"HTMFILE"_s});
    QVERIFY(P.waitForFinished(30000));
    QCOMPARE(P.exitCode(), 1);
}

void TestEndToEnd::brokenProjectEndsWithoutWindow()
{
    const QString Disc = MakeDisc(u"discX"_s, QByteArray("not a project"));
    QFile::remove(FDir.filePath(u"messages.log"_s));
    QProcess P;
    P.setProcessEnvironment(Env());
    P.start(QStringLiteral(AUTORUN_PATH), {Disc});
    QVERIFY(P.waitForFinished(30000));
    QCOMPARE(P.exitCode(), 0);
    QFile Log(FDir.filePath(u"messages.log"_s));
    QVERIFY(Log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(Log.readAll()), u"Veltrane\t2010\tWrong project file\n"_s);
}

// FIFOs where the settings files and the parameters text should be: the program comes up on the
// defaults, shows no parameters and writes its snapshot. Opening any of them would wait for good.
void TestEndToEnd::specialFilesCountAsMissing()
{
    const QString Disc = MakeDisc(u"discF"_s, FProject);
    for (const QString& Name : {u"shell.ini"_s, u"controls.ini"_s, u"params.txt"_s})
        QCOMPARE(mkfifo(QFile::encodeName(Disc + u"/Shell/"_s + Name).constData(), 0600), 0);
    QFile::remove(FDir.filePath(u"messages.log"_s));
    const QString Snapshot = FDir.filePath(u"fifo-disc.png"_s);
    QProcess P;
    P.setProcessEnvironment(Env());
    P.start(QStringLiteral(AUTORUN_PATH), {Disc, u"-?"_s, u"snapshot="_s + Snapshot});
    const bool Finished = P.waitForFinished(60000);
    if (!Finished) {
        P.kill();
        P.waitForFinished(10000);
    }
    QVERIFY2(Finished, "start-up hangs");
    QCOMPARE(P.exitStatus(), QProcess::NormalExit);
    QCOMPARE(P.exitCode(), 0);
    QVERIFY(QFileInfo(Snapshot).size() > 0);
    QVERIFY(!QFile::exists(FDir.filePath(u"messages.log"_s)));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
