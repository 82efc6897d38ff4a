// Times "vlptool check" on a large disc against the load time of the disc's structure file.
//
// The disc is the demo disc's skin ("Shell" folder) with the loading benchmark's project (200
// sections of 100 items, 500 icons, about 54 MB), plus the files its items name, so that the check
// goes all the way for every step: a hundred small programs (scripts with their execute bit) named
// 20,000 times and one screenshot named 20,000 times. The check runs as the tool runs, a child
// process from start to exit; the structure file's load time is taken three ways, as the start-up
// benchmark takes it: in this process, in a new process, and in a new process whose heap is readied
// as autorun readies it. The target: the check takes at most twice the load time. The check of the
// small demo disc is timed as well: what any check costs beyond the project (a process with Qt's
// widgets, the windows built off screen).
// Usage: bench_check [--runs N] [--dir FOLDER] [--vlptool FILE]
// Without --dir the disc is made in a temporary folder; with it, it is made there once and reused.

#include "BenchSupport.h"
#include "MemoryTuning.h"
#include "ProjectGenerator.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;
using namespace BenchSupport;

namespace {

bool WriteProgram(const QString& Path)
{
    QFile File(Path);
    if (!QDir().mkpath(QFileInfo(Path).path()) || !File.open(QIODevice::WriteOnly) ||
        File.write("#!/bin/sh\nexit 0\n") < 0)
        return false;
    File.close();
    return File.setPermissions(File.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
}

bool MakeDisc(const QString& Disc, const QString& Vlptool)
{
    const QString Shell = Disc + u"/Shell"_s;
    const QString ProjectFile = Shell + u"/veltrane.vlp"_s;
    if (QFileInfo::exists(ProjectFile))
        return true;
    std::printf("making the disc with vlptool build...\n");
    std::fflush(stdout);
    const ProjectGenerator::TShape Shape;
    if (!CopyFolder(QString::fromUtf8(DEMO_SHELL_PATH), Shell, u"veltrane.vlp"_s) ||
        !ProjectGenerator::MakeFile(Vlptool, Shape, Disc + u"/project.json"_s, ProjectFile))
        return false;
    QFile::remove(Disc + u"/project.json"_s);
    // The files the generated items name (ProjectGenerator::MakeProject).
    for (int I = 0; I < Shape.ItemsPerSection; ++I) {
        if (!WriteProgram(Disc + u"/Soft/Программа %1/setup.exe"_s.arg(I)))
            return false;
    }
    QDirIterator Pictures(Shell, {u"*.jpg"_s}, QDir::Files, QDirIterator::Subdirectories);
    return Pictures.hasNext() && QDir().mkpath(Disc + u"/Shots"_s) &&
           QFile::copy(Pictures.next(), Disc + u"/Shots/a.jpg"_s);
}

// Runs Program with Arguments; the time from start to exit in ms, or -1 after a failure.
double TimeChild(const QString& Program, const QStringList& Arguments, QByteArray* Output = nullptr)
{
    QProcess Child;
    QElapsedTimer T;
    T.start();
    Child.start(Program, Arguments);
    if (!Child.waitForFinished(300000) || Child.exitStatus() != QProcess::NormalExit)
        return -1;
    const double Ms = double(T.nsecsElapsed()) / 1e6;
    if (Output)
        *Output = Child.readAllStandardOutput();
    return Ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    const QStringList Args = App.arguments();
    if (Args.size() == 3 && (Args[1] == u"--load"_s || Args[1] == u"--load-readied"_s)) {
        if (Args[1] == u"--load-readied"_s) {
            TuneMemoryAllocator();
            ReserveHeapForLoad(HeapForProjectFile(QFileInfo(Args[2]).size()));
        }
        TVeltraneProject P;
        const double Ms = TimeLoad(P, Args[2]);
        std::printf("%.3f\n", Ms);
        return Ms < 0 ? 1 : 0;
    }
    QString Folder, Vlptool = QString::fromUtf8(VLPTOOL_PATH);
    int Runs = 7;
    for (qsizetype I = 1; I < Args.size(); ++I) {
        if (Args[I] == u"--dir"_s && I + 1 < Args.size()) {
            Folder = Args[++I];
        } else if (Args[I] == u"--runs"_s && I + 1 < Args.size()) {
            Runs = std::clamp(Args[++I].toInt(), 1, 100);
        } else if (Args[I] == u"--vlptool"_s && I + 1 < Args.size()) {
            Vlptool = Args[++I];
        } else {
            std::fprintf(stderr, "usage: bench_check [--runs N] [--dir FOLDER] [--vlptool FILE]\n");
            return 2;
        }
    }
    std::unique_ptr<QTemporaryDir> Temp;
    if (Folder.isEmpty()) {
        Temp = std::make_unique<QTemporaryDir>();
        Folder = Temp->path();
    }
    const QString Disc = QDir(Folder).filePath(u"large"_s);
    const QString ProjectFile = Disc + u"/Shell/veltrane.vlp"_s;
    if (!MakeDisc(Disc, Vlptool)) {
        std::fprintf(stderr, "cannot make the disc in %s\n", qUtf8Printable(Disc));
        return 1;
    }
    std::printf("structure file: %.1f MB\n", double(QFileInfo(ProjectFile).size()) / 1e6);

    // One uncounted run, which also shows what the check finds on this disc.
    QByteArray Report;
    if (TimeChild(Vlptool, {u"check"_s, Disc}, &Report) < 0) {
        std::fprintf(stderr, "vlptool check failed\n");
        return 1;
    }
    const QList<QByteArray> Lines = Report.trimmed().split('\n');
    std::printf("vlptool check: %s\n", Lines.last().constData());

    const QString DemoDisc = QFileInfo(QString::fromUtf8(DEMO_SHELL_PATH)).absolutePath();
    TTimes Check, DemoCheck, Load, FreshLoad, ReadiedLoad;
    const QString Self = QCoreApplication::applicationFilePath();
    const auto ChildLoad = [&](const QString& Option, TTimes& Times) {
        QByteArray Out;
        bool Ok = false;
        if (TimeChild(Self, {Option, ProjectFile}, &Out) >= 0)
            Times.Ms.push_back(QString::fromLatin1(Out).trimmed().toDouble(&Ok));
        return Ok;
    };
    for (int R = 0; R < Runs; ++R) {
        const double CheckMs = TimeChild(Vlptool, {u"check"_s, Disc});
        if (CheckMs < 0)
            return 1;
        Check.Ms.push_back(CheckMs);
        const double DemoMs = TimeChild(Vlptool, {u"check"_s, DemoDisc});
        if (DemoMs < 0)
            return 1;
        DemoCheck.Ms.push_back(DemoMs);
        {
            TVeltraneProject P;
            const double Ms = TimeLoad(P, ProjectFile);
            if (Ms < 0)
                return 1;
            Load.Ms.push_back(Ms);
        }
        if (!ChildLoad(u"--load"_s, FreshLoad) || !ChildLoad(u"--load-readied"_s, ReadiedLoad)) {
            std::fprintf(stderr, "the load in a new process failed\n");
            return 1;
        }
    }

    const auto Row = [](const char* Name, const TTimes& T) {
        std::printf("%-44s best %7.1f ms, median %7.1f ms\n", Name, T.Best(), T.Median());
    };
    std::printf("\n%d runs:\n", Runs);
    Row("vlptool check, start to exit", Check);
    Row("the same for the demo disc (fixed cost)", DemoCheck);
    Row("LoadFromFile in this process", Load);
    Row("LoadFromFile in a new process", FreshLoad);
    Row("LoadFromFile in a new process, heap readied", ReadiedLoad);
    std::printf("\ncheck / load, medians (target: at most 2):\n");
    std::printf("  against the load in this process        %.2f\n", Check.Median() / Load.Median());
    std::printf("  against the load in a new process       %.2f\n", Check.Median() / FreshLoad.Median());
    std::printf("  against the load with the heap readied  %.2f\n", Check.Median() / ReadiedLoad.Median());
    std::printf("  the same less the fixed cost            %.2f\n",
                (Check.Median() - DemoCheck.Median()) / ReadiedLoad.Median());
    if (std::FILE* Avg = std::fopen("/proc/loadavg", "r")) {
        char Line[128] = {};
        if (std::fgets(Line, sizeof Line, Avg))
            std::printf("\nload average: %s", Line);
        std::fclose(Avg);
    }
    return 0;
}
