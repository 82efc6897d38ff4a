// Times autorun from process start to the main window's first picture, with the demo disc's full
// skin and a generated project, against a plain Qt program that shows the same sections and items
// with the same icons in a QTreeWidget (bench_minimal_tree).
//
// Both run as child processes on the offscreen platform and save their window as a PNG picture once
// it is exposed ("snapshot=FILE" for autorun, no splash, no music); each is timed from start to exit
// and to the picture's last write (its file time), and the two pictures' PNG encoding is timed here,
// so that the time to the first picture itself can be told apart from saving it and from ending.
// Two projects: a medium one (20 sections of 50 items, 100 icons, about 3 MB) and a large one
// (200 sections of 100 items, 500 icons, about 54 MB); LoadFromFile of each is timed too.
// Usage: bench_startup [--runs N] [--dir FOLDER] [--only medium|large] [--autorun FILE]
// Without --dir the discs are made in a temporary folder; with it they are made there once and
// reused by later runs (FOLDER/medium and FOLDER/large can then be run by hand). --autorun times
// another build of the program, to compare two versions on the same discs.

#include "BenchSupport.h"
#include "MemoryTuning.h"
#include "PngEncoder.h"
#include "ProjectGenerator.h"
#include "model/Project.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using namespace BenchSupport;

namespace {

struct TCase
{
    const char* Name;
    ProjectGenerator::TShape Shape;
    bool LoadTimeTarget; // the target is the load time over the plain program, not a ratio
};

// The medium project's descriptions are sized so that the file comes to about 3 MB.
const TCase Cases[] = {
    {"medium", {20, 50, 100, 600, 1500, true}, false},
    {"large", ProjectGenerator::TShape(), true}, // the loading benchmark's project
};

// The node list bench_minimal_tree reads, and the icon files it names: what the program's tree
// shows for the project (sections, their "about" node, items and the items' default icons).
bool WriteNodeList(const TVeltraneProject& P, const QString& Folder, const QString& ListFile)
{
    QString Out;
    for (int I = 0; I < P.Pictures.Count(); ++I) {
        const QString IconFile = QDir(Folder).filePath(u"icon%1.ico"_s.arg(I));
        QFile F(IconFile);
        if (!F.open(QIODevice::WriteOnly) || F.write(P.Pictures.Items(I).Icon.Data) < 0)
            return false;
        Out += u"icon\t"_s + IconFile + u'\n';
    }
    for (int S = 0; S < P.Sections.Count(); ++S) {
        const TSection& Section = P.Sections.Items(S);
        Out += u"section\t"_s + QString::number(Section.ImageDefault) + u'\t' + Section.Name + u'\n';
        if (!Section.Description.isEmpty())
            Out += u"item\t0\tAbout the section\n"_s;
        for (int I = 0; I < Section.SItems.Count(); ++I) {
            const TItem& Item = Section.SItems.Items(I);
            Out += u"item\t"_s + QString::number(Item.ImageDefault) + u'\t' + Item.Name + u'\n';
        }
    }
    QFile F(ListFile);
    return F.open(QIODevice::WriteOnly) && F.write(Out.toUtf8()) >= 0;
}

struct TRun
{
    double Exit = -1;    // ms from the start to the end of the process; -1 after a failure
    double Written = -1; // ms from the start to the picture's last write (file time, a few ms coarse)
    double Cpu = -1;     // ms of processor time (user and system), where the system tells it
};

// Processor time of the ended children so far, in ms; -1 where unknown. Unlike the elapsed time it
// hardly changes when other work shares the processor.
double ChildrenCpuMs()
{
#ifdef Q_OS_UNIX
    rusage Usage{};
    if (getrusage(RUSAGE_CHILDREN, &Usage) == 0) {
        return double(Usage.ru_utime.tv_sec + Usage.ru_stime.tv_sec) * 1e3 +
               double(Usage.ru_utime.tv_usec + Usage.ru_stime.tv_usec) / 1e3;
    }
#endif
    return -1;
}

// Runs one child to its end.
TRun RunChild(const QString& Program, const QStringList& Arguments, const QProcessEnvironment& Env,
              const QString& Picture)
{
    QFile::remove(Picture);
    QProcess Child;
    Child.setProcessEnvironment(Env);
    Child.setStandardOutputFile(QProcess::nullDevice());
    const double CpuBefore = ChildrenCpuMs();
    const qint64 Started = QDateTime::currentMSecsSinceEpoch();
    QElapsedTimer Timer;
    Timer.start();
    Child.start(Program, Arguments);
    const bool Finished = Child.waitForFinished(120000);
    TRun Run;
    Run.Exit = double(Timer.nsecsElapsed()) / 1e6;
    const QFileInfo Written(Picture);
    if (!Finished || Child.exitStatus() != QProcess::NormalExit || Child.exitCode() != 0 ||
        !Written.exists()) {
        std::fprintf(stderr, "%s failed (exit code %d): %s\n", qUtf8Printable(QFileInfo(Program).fileName()),
                     Child.exitCode(), Child.readAllStandardError().constData());
        return {};
    }
    Run.Written = double(Written.lastModified().toMSecsSinceEpoch() - Started);
    if (CpuBefore >= 0)
        Run.Cpu = ChildrenCpuMs() - CpuBefore;
    return Run;
}

// How long writing a picture like the child's takes: the child's own PNG file encoded again here,
// by the writer the child uses (autorun's quick one, or Qt's at its default quality).
TTimes EncodingTimes(const QString& Picture, int Runs, bool QuickWriter)
{
    const QImage Image = QImage(Picture).convertToFormat(QImage::Format_RGB32);
    TTimes Times;
    for (int R = 0; R < Runs; ++R) {
        QBuffer Out;
        Out.open(QIODevice::WriteOnly);
        QElapsedTimer T;
        T.start();
        QString Error;
        if (QuickWriter)
            SavePngFast(Image, Out, Error);
        else
            Image.save(&Out, "PNG");
        Times.Ms.push_back(double(T.nsecsElapsed()) / 1e6);
    }
    return Times;
}

bool RunCase(const TCase& Case, const QString& Work, int Runs, const QString& Autorun)
{
    const QString Disc = QDir(Work).filePath(QString::fromLatin1(Case.Name));
    const QString Shell = Disc + u"/Shell"_s;
    const QString ProjectFile = Shell + u"/veltrane.vlp"_s;
    if (!QFileInfo::exists(ProjectFile)) {
        std::printf("making the %s disc with vlptool build...\n", Case.Name);
        std::fflush(stdout);
        if (!CopyFolder(QString::fromUtf8(DEMO_SHELL_PATH), Shell, u"veltrane.vlp"_s) ||
            !ProjectGenerator::MakeFile(QString::fromUtf8(VLPTOOL_PATH), Case.Shape,
                                        Disc + u"/project.json"_s, ProjectFile)) {
            std::fprintf(stderr, "cannot make the disc in %s\n", qUtf8Printable(Disc));
            return false;
        }
        QFile::remove(Disc + u"/project.json"_s);
    }

    // The structure file's own load time: here, after the first run on a heap that earlier runs have
    // grown, and in a new process each time, where the heap's pages are touched for the first time
    // as in autorun.
    // And in a new process whose heap is readied as autorun readies it (huge pages where the system
    // has them), which leaves the loader's own work.
    TTimes Load, FreshLoad, ReadiedLoad;
    std::unique_ptr<TVeltraneProject> Loaded;
    auto LoadInChild = [&](const QString& Option, TTimes& Times) {
        QProcess Child;
        Child.start(QCoreApplication::applicationFilePath(), {Option, ProjectFile});
        bool Ok = false;
        const double ChildMs =
            Child.waitForFinished(120000) && Child.exitCode() == 0
                ? QString::fromLatin1(Child.readAllStandardOutput()).trimmed().toDouble(&Ok)
                : -1;
        if (!Ok)
            std::fprintf(stderr, "the load in a new process failed\n");
        Times.Ms.push_back(ChildMs);
        return Ok;
    };
    for (int R = 0; R < Runs; ++R) {
        Loaded = std::make_unique<TVeltraneProject>();
        const double Ms = TimeLoad(*Loaded, ProjectFile);
        if (Ms < 0)
            return false;
        Load.Ms.push_back(Ms);
        if (!LoadInChild(u"--load"_s, FreshLoad) || !LoadInChild(u"--load-readied"_s, ReadiedLoad))
            return false;
    }

    const QString Minimal = Disc + u"/minimal"_s;
    const QString NodeList = Minimal + u"/nodes.txt"_s;
    if (!QDir().mkpath(Minimal) || !WriteNodeList(*Loaded, Minimal, NodeList)) {
        std::fprintf(stderr, "cannot write the node list in %s\n", qUtf8Printable(Minimal));
        return false;
    }
    int ItemCount = 0;
    for (int S = 0; S < Loaded->Sections.Count(); ++S)
        ItemCount += Loaded->Sections.Items(S).SItems.Count();
    std::printf("\n%s project: %d sections, %d items, %d icons, %.1f MB\n", Case.Name,
                Loaded->Sections.Count(), ItemCount, Loaded->Pictures.Count(),
                double(QFileInfo(ProjectFile).size()) / 1e6);
    Loaded.reset();

    QTemporaryDir Temp;
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    Env.insert(u"XDG_RUNTIME_DIR"_s, Temp.path());
    const QString MessageLog = Temp.filePath(u"messages.log"_s);
    Env.insert(u"AUTORUN_MESSAGE_LOG"_s, MessageLog);
    const QString OurPicture = Temp.filePath(u"autorun.png"_s);
    const QString PlainPicture = Temp.filePath(u"plain.png"_s);
    const QString Plain = QString::fromUtf8(MINIMAL_TREE_PATH);
    const QStringList AutorunArgs = {Disc, u"nosplash"_s, u"nobackmusic"_s, u"snapshot="_s + OurPicture};

    // A first run of each, not counted, brings the files into the cache; autorun's picture gives the
    // window size the plain program takes.
    if (RunChild(Autorun, AutorunArgs, Env, OurPicture).Exit < 0)
        return false;
    const QSize Window = QImageReader(OurPicture).size();
    const QStringList PlainArgs = {NodeList, u"%1x%2"_s.arg(Window.width()).arg(Window.height()),
                                   PlainPicture};
    if (RunChild(Plain, PlainArgs, Env, PlainPicture).Exit < 0)
        return false;

    TTimes OurExit, OurWritten, OurCpu, PlainExit, PlainWritten, PlainCpu;
    for (int R = 0; R < Runs; ++R) {
        // Alternate the order so that neither side always runs just after the other.
        for (int Side = 0; Side < 2; ++Side) {
            const bool OursNow = (Side == 0) == (R % 2 == 0);
            const TRun Run = OursNow ? RunChild(Autorun, AutorunArgs, Env, OurPicture)
                                     : RunChild(Plain, PlainArgs, Env, PlainPicture);
            if (Run.Exit < 0)
                return false;
            (OursNow ? OurExit : PlainExit).Ms.push_back(Run.Exit);
            (OursNow ? OurWritten : PlainWritten).Ms.push_back(Run.Written);
            (OursNow ? OurCpu : PlainCpu).Ms.push_back(Run.Cpu);
        }
    }
    if (QFile Log(MessageLog); Log.open(QIODevice::ReadOnly) && Log.size() > 0) {
        std::fprintf(stderr, "autorun reported messages:\n%s\n", Log.read(4096).constData());
        return false;
    }
    const TTimes OurEncoding = EncodingTimes(OurPicture, Runs, true);
    const TTimes PlainEncoding = EncodingTimes(PlainPicture, Runs, false);

    std::printf("window %d x %d, %d runs each (ms)         best   median\n", Window.width(), Window.height(),
                Runs);
    auto Row = [](const char* Label, const TTimes& T) {
        std::printf("  %-38s %7.1f  %7.1f\n", Label, T.Best(), T.Median());
    };
    Row("autorun, start to exit", OurExit);
    Row("QTreeWidget program, start to exit", PlainExit);
    Row("autorun, start to picture written", OurWritten);
    Row("QTreeWidget program, same", PlainWritten);
    if (OurCpu.Best() >= 0) {
        Row("autorun, processor time to exit", OurCpu);
        Row("QTreeWidget program, same", PlainCpu);
    }
    Row("PNG encoding of autorun's picture", OurEncoding);
    Row("PNG encoding of the program's picture", PlainEncoding);
    Row("LoadFromFile in-process", Load);
    Row("LoadFromFile, each in a new process", FreshLoad);
    Row("same, heap readied as autorun does", ReadiedLoad);

    // The first picture itself: the picture written, less the time spent encoding it.
    const double OurFirst = OurWritten.Median() - OurEncoding.Median();
    const double PlainFirst = PlainWritten.Median() - PlainEncoding.Median();
    const double ExitOver = OurExit.Median() - PlainExit.Median();
    const double FirstOver = OurFirst - PlainFirst;
    std::printf(
        "medians: to exit %.1f against %.1f (ratio %.2f, %+.1f); to the first picture about %.1f against "
        "%.1f (ratio %.2f, %+.1f)\n",
        OurExit.Median(), PlainExit.Median(), OurExit.Median() / PlainExit.Median(), ExitOver, OurFirst,
        PlainFirst, OurFirst / PlainFirst, FirstOver);
    if (Case.LoadTimeTarget) {
        // The shortest of the three load times, to be strict.
        const double LoadMs = std::min({Load.Median(), FreshLoad.Median(), ReadiedLoad.Median()});
        std::printf(
            "target: autorun over the program <= the load time %.1f: to exit %s, to the first picture %s\n",
            LoadMs, ExitOver <= LoadMs ? "met" : "missed", FirstOver <= LoadMs ? "met" : "missed");
    } else {
        // The first picture is what the user waits for: at most 1.5 times the plain program.
        std::printf("target: to the first picture ratio <= 1.50: %s (to exit, ratio %.2f)\n",
                    OurFirst <= 1.5 * PlainFirst ? "met" : "missed", OurExit.Median() / PlainExit.Median());
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    QString Folder, Only, Autorun = QString::fromUtf8(AUTORUN_PATH);
    int Runs = 7;
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
    for (qsizetype I = 1; I < Args.size(); ++I) {
        if (Args[I] == u"--dir"_s && I + 1 < Args.size()) {
            Folder = Args[++I];
        } else if (Args[I] == u"--runs"_s && I + 1 < Args.size()) {
            Runs = std::clamp(Args[++I].toInt(), 1, 100);
        } else if (Args[I] == u"--only"_s && I + 1 < Args.size()) {
            Only = Args[++I];
        } else if (Args[I] == u"--autorun"_s && I + 1 < Args.size()) {
            Autorun = Args[++I];
        } else {
            std::fprintf(stderr, "usage: bench_startup [--runs N] [--dir FOLDER] [--only medium|large]"
                                 " [--autorun FILE]\n");
            return 2;
        }
    }
    std::unique_ptr<QTemporaryDir> Temp;
    if (Folder.isEmpty()) {
        Temp = std::make_unique<QTemporaryDir>();
        Folder = Temp->path();
    }
    if (!QDir().mkpath(Folder))
        return 1;
    for (const TCase& Case : Cases) {
        if (!Only.isEmpty() && Only != QLatin1String(Case.Name))
            continue;
        if (!RunCase(Case, Folder, Runs, Autorun))
            return 1;
    }
    // Other work on the machine slows both sides unevenly; say how busy it was.
    if (std::FILE* Load = std::fopen("/proc/loadavg", "r")) {
        char Line[128] = {};
        if (std::fgets(Line, sizeof Line, Load))
            std::printf("\nload average: %s", Line);
        std::fclose(Load);
    }
    return 0;
}
