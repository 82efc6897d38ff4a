// The real program on a fixture disc: one instance per disc, a second start from the same place
// ends with exit code 1 after its message, a start on another disc runs.

#include "AutorunProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneInstancePerDisc();
    void htmfileEndsWithCodeOne();
    void brokenProjectEndsWithoutWindow();
    void specialFilesCountAsMissing();

private:
    QString MakeDisc(const QString& Name, const QByteArray& Project);
    QProcessEnvironment Env() const;
    static bool HoldsLock(const QString& RuntimeDir);

    QTemporaryDir FDir;
    QByteArray FProject;
};

void TestEndToEnd::initTestCase()
{
    QVERIFY(FDir.isValid());
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
