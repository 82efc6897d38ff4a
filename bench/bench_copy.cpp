// Copies a tree of about 1 GiB (a few large files, thousands of small ones) with the program's copy
// window into a folder on the same disk, and compares the time with `cp -r` of the same tree in the
// same run; then measures how long a cancel takes to end a copy mid large file.
// Usage: bench_copy [--dir FOLDER] [--runs N]
// The tree and the copies are made below FOLDER (default: a new folder in the current one, on the
// disk being measured) and removed at the end: each run needs about 2 GiB there.

#include "BenchSupport.h"
#include "BrowseForm.h"
#include "CopyList.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 MiB = 1024 * 1024;
constexpr int LargeCount = 4;
constexpr qint64 LargeSize = 192 * MiB;
constexpr int SmallCount = 4000;
constexpr qint64 SmallMax = 128 * 1024;

quint32 Next(quint32& Seed)
{
    Seed = Seed * 1664525u + 1013904223u;
    return Seed;
}

bool WriteFile(const QString& FileName, qint64 Size, quint32 Seed)
{
    QDir().mkpath(QFileInfo(FileName).absolutePath());
    QFile File(FileName);
    if (!File.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray Chunk(std::min<qint64>(Size, 4 * MiB), Qt::Uninitialized);
    for (qint64 Done = 0; Done < Size; Done += Chunk.size()) {
        for (char& C : Chunk) {
            C = char(Next(Seed) >> 24);
        }
        const qint64 Part = std::min<qint64>(Chunk.size(), Size - Done);
        if (File.write(Chunk.constData(), Part) != Part) {
            return false;
        }
    }
    return true;
}

qint64 MakeTree(const QString& Root)
{
    qint64 Total = 0;
    for (int I = 0; I < LargeCount; ++I) {
        if (!WriteFile(Root + u"/large/file %1.bin"_s.arg(I), LargeSize, I + 1)) {
            return -1;
        }
        Total += LargeSize;
    }
    quint32 Seed = 7;
    for (int I = 0; I < SmallCount; ++I) {
        const qint64 Size = 1 + Next(Seed) % SmallMax;
        if (!WriteFile(Root + u"/small/folder %1/файл %2.dat"_s.arg(I / 100).arg(I), Size, Seed)) {
            return -1;
        }
        Total += Size;
    }
    return Total;
}

// Files and bytes below Folder, to check that a copy is complete.
std::pair<int, qint64> Count(const QString& Folder)
{
    int Files = 0;
    qint64 Bytes = 0;
    QDirIterator It(Folder, QDir::Files, QDirIterator::Subdirectories);
    while (It.hasNext()) {
        Bytes += It.nextFileInfo().size();
        ++Files;
    }
    return {Files, Bytes};
}

// Processor time (user and system) of this process, or of its ended children, in milliseconds.
qint64 CpuMs(int Who)
{
    rusage Usage{};
    getrusage(Who, &Usage);
    const auto Ms = [](const timeval& T) { return qint64(T.tv_sec) * 1000 + T.tv_usec / 1000; };
    return Ms(Usage.ru_utime) + Ms(Usage.ru_stime);
}

void Sync()
{
    QProcess::execute(u"sync"_s, {});
}

// The program's copy of Source's tree into Target through the copy window; milliseconds.
qint64 CopyWithWindow(const QString& Source, const QString& Target)
{
    TCopyList List;
    List.Add(Source + u"\\*.*"_s, u"..."_s);
    List.ResolveDestinations(Target);
    QElapsedTimer Timer;
    Timer.start();
    const int Result = CopyFiles(List, Target);
    const qint64 Ms = Timer.elapsed();
    if (Result != 0) {
        std::fprintf(stderr, "copy failed: %d\n", Result);
        std::exit(1);
    }
    return Ms;
}

qint64 CopyWithCp(const QString& Source, const QString& Target)
{
    QElapsedTimer Timer;
    Timer.start();
    if (QProcess::execute(u"cp"_s, {u"-r"_s, Source, Target}) != 0) {
        std::fprintf(stderr, "cp failed\n");
        std::exit(1);
    }
    return Timer.elapsed();
}

// Copies one large file and cancels from another thread once 16 MiB are done, as the window's Cancel
// button does; milliseconds from the cancel to the copy's end.
qint64 CancelMidFile(const QString& Source, const QString& Target)
{
    TFileCopier Copier;
    std::atomic<bool> Started{false};
    Copier.OnProgress = [&](qint64 Done, qint64, const QString&) {
        if (Done >= 16 * MiB) {
            Started = true;
        }
    };
    TCopyReport Report;
    QElapsedTimer SinceCancel;
    std::thread Worker([&] {
        Report = Copier.Run({{Source + u"/large/file 0.bin"_s, Target + u"/file 0.bin"_s}}, Target);
    });
    while (!Started) {
        std::this_thread::yield();
    }
    SinceCancel.start();
    Copier.Cancel();
    Worker.join();
    const qint64 Ms = SinceCancel.elapsed();
    if (Report.Result != cpCancelled || QFile::exists(Target + u"/file 0.bin"_s)) {
        std::fprintf(stderr, "cancel did not drop the file (result %d)\n", Report.Result);
        std::exit(1);
    }
    return Ms;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication App(argc, argv);
    QString Dir;
    int Runs = 2;
    const QStringList Args = App.arguments();
    for (qsizetype I = 1; I + 1 < Args.size(); I += 2) {
        if (Args[I] == u"--dir") {
            Dir = Args[I + 1];
        } else if (Args[I] == u"--runs") {
            Runs = std::max(1, Args[I + 1].toInt());
        }
    }
    QTemporaryDir Temp(Dir.isEmpty() ? QDir::current().filePath(u"bench-copy-XXXXXX"_s)
                                     : Dir + u"/bench-copy-XXXXXX"_s);
    if (!Temp.isValid()) {
        std::fprintf(stderr, "cannot make a folder to work in\n");
        return 1;
    }
    const QString Source = Temp.filePath(u"tree"_s);
    const qint64 Total = MakeTree(Source);
    if (Total < 0) {
        std::fprintf(stderr, "cannot write the tree (disk full?)\n");
        return 1;
    }
    const auto [Files, Bytes] = Count(Source);
    std::printf("tree: %d files, %.1f MiB\n", Files, double(Bytes) / MiB);
    Sync();

    BenchSupport::TTimes WallCp, WallOurs, CpuCp, CpuOurs;
    for (int Run = 0; Run < Runs; ++Run) {
        // Alternating which goes first, so that neither profits from the other's cache or writeback.
        for (int Side = 0; Side < 2; ++Side) {
            const bool Ours = (Run + Side) % 2 == 0;
            // Each copy keeps its own folder until the end: on a file system without a journal, files
            // made within half a minute of deleting thousands of others skip over the inodes those
            // freed one by one, which would time the deletion rather than the copy.
            const QString Target = Temp.filePath((Ours ? u"ours-%1"_s : u"cp-%1"_s).arg(Run + 1));
            const int Who = Ours ? RUSAGE_SELF : RUSAGE_CHILDREN;
            const qint64 CpuBefore = CpuMs(Who);
            const qint64 Ms = Ours ? CopyWithWindow(Source, Target) : CopyWithCp(Source, Target);
            const qint64 Cpu = CpuMs(Who) - CpuBefore;
            (Ours ? WallOurs : WallCp).Ms.push_back(double(Ms));
            (Ours ? CpuOurs : CpuCp).Ms.push_back(double(Cpu));
            if (Count(Target) != std::pair{Files, Bytes}) {
                std::fprintf(stderr, "%s copy incomplete\n", Ours ? "window" : "cp -r");
                return 1;
            }
            std::printf("run %d  %-12s %7lld ms  %7.1f MiB/s  processor %5lld ms\n", Run + 1,
                        Ours ? "copy window" : "cp -r", static_cast<long long>(Ms),
                        double(Bytes) / MiB / (double(std::max<qint64>(Ms, 1)) / 1000),
                        static_cast<long long>(Cpu));
            Sync();
        }
    }
    // Both copies above leave their data in the system's cache to be written out later; for scale, cp -r
    // with the wait until everything is on the disk:
    {
        const QString Target = Temp.filePath(u"cp-sync"_s);
        QElapsedTimer Timer;
        Timer.start();
        CopyWithCp(Source, Target);
        Sync();
        const qint64 Ms = Timer.elapsed();
        std::printf("cp -r then sync %7lld ms  %7.1f MiB/s  (ratio to the copy window %.2f)\n",
                    static_cast<long long>(Ms),
                    double(Bytes) / MiB / (double(std::max<qint64>(Ms, 1)) / 1000),
                    double(Ms) / WallOurs.Best());
    }
    // The median of the paired runs is the figure: a single run, the best included, moves with the
    // disk's write-back and the file system's state more than with the copier.
    std::printf("best: copy window %.0f ms, cp -r %.0f ms, throughput ratio %.2f\n", WallOurs.Best(),
                WallCp.Best(), WallCp.Best() / std::max(WallOurs.Best(), 1.0));
    std::printf("median: copy window %.0f ms, cp -r %.0f ms, throughput ratio %.2f (target >= 0.90)\n",
                WallOurs.Median(), WallCp.Median(), WallCp.Median() / std::max(WallOurs.Median(), 1.0));
    std::printf("median processor time: copy window %.0f ms (the window and the copy), cp -r %.0f ms\n",
                CpuOurs.Median(), CpuCp.Median());

    qint64 WorstCancel = 0;
    for (int I = 0; I < 5; ++I) {
        const qint64 Ms = CancelMidFile(Source, Temp.filePath(u"cancel"_s));
        WorstCancel = std::max(WorstCancel, Ms);
        std::printf("cancel mid file: %lld ms\n", static_cast<long long>(Ms));
    }
    std::printf("worst cancel: %lld ms (target <= 100)\n", static_cast<long long>(WorstCancel));
    return 0;
}
