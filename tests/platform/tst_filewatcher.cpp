#include "FileWatcher.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <fcntl.h>

using namespace Qt::StringLiterals;

namespace {

// Generous: a signal that comes at all comes within milliseconds.
constexpr int SignalTimeout = 10000;
// Short, so that the waits for "no further signal" stay short.
constexpr int TestDebounce = 30;

bool WriteFile(const QString& FileName, const QByteArray& Bytes,
               QIODevice::OpenMode Mode = QIODevice::Truncate)
{
    QFile File(FileName);
    return File.open(QIODevice::WriteOnly | Mode) && File.write(Bytes) == Bytes.size();
}

} // namespace

class TFileWatcherTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void WatchesOnlyExistingFolders();
    void ReportsChange_data();
    void ReportsChange();
    void FilterIgnoresOtherFiles();
    void BurstGivesOneSignal();
    void DeletedFolderEndsWatching();
    void DescriptorIsCloseOnExec();

private:
    std::unique_ptr<QTemporaryDir> FRoot;
    QString FFolder;
};

void TFileWatcherTest::init()
{
    FRoot = std::make_unique<QTemporaryDir>();
    QVERIFY(FRoot->isValid());
    FFolder = FRoot->filePath(u"Shell"_s);
    QVERIFY(QDir().mkpath(FFolder));
    QVERIFY(WriteFile(FFolder + u"/controls.ini"_s, "[MainForm]\nColor=red\n"));
}

void TFileWatcherTest::WatchesOnlyExistingFolders()
{
    TFileWatcher Missing(FRoot->filePath(u"missing"_s));
    QVERIFY(!Missing.IsWatching());

    // A folder in the program's notation, written in another case.
    QString Written = FRoot->path() + u"\\SHELL\\"_s;
    TFileWatcher Watcher(Written, u"controls.ini"_s);
    QVERIFY(Watcher.IsWatching());
    QCOMPARE(QFileInfo(Watcher.Folder()).canonicalFilePath(), QFileInfo(FFolder).canonicalFilePath());
    QCOMPARE(Watcher.FileName(), u"controls.ini"_s);

    QCOMPARE(Watcher.DebounceInterval(), TFileWatcher::DefaultDebounceInterval);
    Watcher.SetDebounceInterval(-5);
    QCOMPARE(Watcher.DebounceInterval(), 0);
}

void TFileWatcherTest::ReportsChange_data()
{
    QTest::addColumn<QString>("How");
    QTest::addColumn<QString>("Filter");

    // Each with the controls.ini filter and without one.
    for (const QString& Filter : {u"controls.ini"_s, QString()}) {
        const QString Suffix = Filter.isEmpty() ? u", whole folder"_s : u", one file"_s;
        for (const QString& How : {u"write in place"_s, u"rename over"_s, u"new file"_s, u"touch"_s}) {
            QTest::newRow(qPrintable(How + Suffix)) << How << Filter;
        }
    }
}

void TFileWatcherTest::ReportsChange()
{
    QFETCH(QString, How);
    QFETCH(QString, Filter);
    const QString Ini = FFolder + u"/controls.ini"_s;
    if (How == u"new file"_s) {
        QVERIFY(QFile::remove(Ini));
    }

    TFileWatcher Watcher(FFolder, Filter);
    Watcher.SetDebounceInterval(TestDebounce);
    QSignalSpy Spy(&Watcher, &TFileWatcher::OnChange);
    QThread* SignalThread = nullptr;
    connect(
        &Watcher, &TFileWatcher::OnChange, this, [&SignalThread] { SignalThread = QThread::currentThread(); },
        Qt::DirectConnection);

    if (How == u"write in place"_s) {
        // Same size, no new entry: the case a plain folder watch misses.
        QVERIFY(WriteFile(Ini, "[MainForm]\nColor=blue\n", QIODevice::ReadWrite));
    } else if (How == u"rename over"_s) {
        QVERIFY(WriteFile(FFolder + u"/controls.ini.new"_s, "[MainForm]\nColor=green\n"));
        QVERIFY(std::rename(QFile::encodeName(FFolder + u"/controls.ini.new"_s).constData(),
                            QFile::encodeName(Ini).constData()) == 0);
    } else if (How == u"new file"_s) {
        QVERIFY(WriteFile(Ini, "[MainForm]\n"));
    } else {
        // Only the time changes: opened for reading, so no write is reported on closing.
        QFile File(Ini);
        QVERIFY(File.open(QIODevice::ReadOnly));
        QVERIFY(
            File.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    }

    QVERIFY(Spy.wait(SignalTimeout));
    QCOMPARE(SignalThread, thread());
}

void TFileWatcherTest::FilterIgnoresOtherFiles()
{
    TFileWatcher Watcher(FFolder, u"controls.ini"_s);
    Watcher.SetDebounceInterval(TestDebounce);
    QSignalSpy Spy(&Watcher, &TFileWatcher::OnChange);

    QVERIFY(WriteFile(FFolder + u"/shell.ini"_s, "[Options]\n"));
    QVERIFY(!Spy.wait(TestDebounce * 10));

    // The name is compared without regard to case, as on the disc's original system.
    QVERIFY(QFile::rename(FFolder + u"/controls.ini"_s, FFolder + u"/Controls.INI"_s));
    QVERIFY(Spy.wait(SignalTimeout));
}

void TFileWatcherTest::BurstGivesOneSignal()
{
    // Long enough that the writes below, each read by the watcher before the next, fall within it.
    constexpr int Debounce = 300;
    TFileWatcher Watcher(FFolder, u"controls.ini"_s);
    Watcher.SetDebounceInterval(Debounce);
    QSignalSpy Spy(&Watcher, &TFileWatcher::OnChange);

    QElapsedTimer SinceLastWrite;
    for (int I = 0; I < 10; ++I) {
        QVERIFY(WriteFile(FFolder + u"/controls.ini"_s, "Line\n", QIODevice::Append));
        SinceLastWrite.start();
        QCoreApplication::processEvents();
    }
    QVERIFY(Spy.wait(SignalTimeout));
    QCOMPARE(Spy.count(), 1);
    // Only after the folder went quiet (coarse timers may fire a few per cent early).
    QVERIFY(SinceLastWrite.elapsed() >= Debounce * 9 / 10);

    // The next save is reported again.
    QVERIFY(WriteFile(FFolder + u"/controls.ini"_s, "Again\n", QIODevice::Append));
    QVERIFY(Spy.wait(SignalTimeout));
    QCOMPARE(Spy.count(), 2);
}

void TFileWatcherTest::DeletedFolderEndsWatching()
{
    auto Watcher = std::make_unique<TFileWatcher>(FFolder);
    Watcher->SetDebounceInterval(TestDebounce);
    QSignalSpy Spy(Watcher.get(), &TFileWatcher::OnChange);
    QVERIFY(Watcher->IsWatching());

    QVERIFY(QDir(FFolder).removeRecursively());
    QTRY_VERIFY_WITH_TIMEOUT(!Watcher->IsWatching(), SignalTimeout);

    // A new folder of the same name is another folder; the old watcher stays quiet and ends cleanly.
    QVERIFY(QDir().mkpath(FFolder));
    QVERIFY(WriteFile(FFolder + u"/controls.ini"_s, "[MainForm]\n"));
    QVERIFY(!Spy.wait(TestDebounce * 10));
    Watcher.reset();
}

void TFileWatcherTest::DescriptorIsCloseOnExec()
{
    TFileWatcher Watcher(FFolder);
    QVERIFY(Watcher.IsWatching());
    int Found = 0;
    const QStringList Fds =
        QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& Fd : Fds) {
        if (QFileInfo(u"/proc/self/fd/"_s + Fd).symLinkTarget().endsWith(u"inotify"_s)) {
            ++Found;
            QVERIFY(fcntl(Fd.toInt(), F_GETFD) & FD_CLOEXEC);
        }
    }
    QVERIFY(Found >= 1);
}

QTEST_GUILESS_MAIN(TFileWatcherTest)
#include "tst_filewatcher.moc"
