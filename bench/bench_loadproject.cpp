// Loads a large structure file and reports the reading speed in MB/s.
//
// Without an argument it first makes the file: a project of 200 sections with 100 items each, long
// descriptions and 500 icons (about 50 MB), written as JSON and compiled with "vlptool build".
// Usage: bench_loadproject [FILE.vlp] [--runs N]

#include "ProjectGenerator.h"
#include "model/ComponentReader.h"
#include "model/StructureFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    QStringList Args = App.arguments().mid(1);
    int Runs = 7;
    if (const qsizetype I = Args.indexOf(u"--runs"_s); I >= 0 && I + 1 < Args.size()) {
        Runs = std::max(1, Args[I + 1].toInt());
        Args.remove(I, 2);
    }
    QTemporaryDir Tmp;
    QString File = Args.value(0);
    if (File.isEmpty()) {
        std::printf("making the large project with vlptool build...\n");
        File = Tmp.filePath(u"large.vlp"_s);
        if (!ProjectGenerator::MakeFile(QString::fromUtf8(VLPTOOL_PATH), ProjectGenerator::TShape(),
                                        Tmp.filePath(u"large.json"_s), File))
            return 1;
    }
    QFile In(File);
    if (!In.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray Bytes = In.readAll();
    const double MB = double(Bytes.size()) / 1e6;
    std::printf("file: %.1f MB\n", MB);

    auto Measure = [&](auto&& Body) {
        std::vector<double> Ms;
        for (int R = 0; R < Runs; ++R) {
            QElapsedTimer T;
            T.start();
            Body();
            Ms.push_back(double(T.nsecsElapsed()) / 1e6);
        }
        std::sort(Ms.begin(), Ms.end());
        return std::pair{Ms.front(), Ms[Ms.size() / 2]};
    };

    int Result = -1;
    const auto [FileBest, FileMedian] = Measure([&] {
        TVeltraneProject P;
        P.ProgramVersion = {2, 7, 5};
        Result = P.LoadFromFile(File);
    });
    if (Result != 0) {
        std::fprintf(stderr, "LoadFromFile gave %d\n", Result);
        return 1;
    }
    const QByteArrayView Stream = QByteArrayView(Bytes).sliced(StructureFile::HeaderSize);
    const auto [MemBest, MemMedian] = Measure([&] {
        TVeltraneProject P;
        ReadComponent(Stream, P);
    });
    std::printf("LoadFromFile  : best %7.1f ms (%6.1f MB/s), median %7.1f ms (%6.1f MB/s)\n", FileBest,
                MB / FileBest * 1e3, FileMedian, MB / FileMedian * 1e3);
    std::printf("ReadComponent : best %7.1f ms (%6.1f MB/s), median %7.1f ms (%6.1f MB/s)\n", MemBest,
                MB / MemBest * 1e3, MemMedian, MB / MemMedian * 1e3);
    return 0;
}
