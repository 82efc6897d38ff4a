#pragma once

// Helpers the benchmarks share: timings with their best and median, copying a disc's folder, and
// one timed load of a structure file.

#include "model/Project.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace BenchSupport {

struct TTimes
{
    std::vector<double> Ms;
    double Best() const { return *std::min_element(Ms.begin(), Ms.end()); }
    double Median() const
    {
        std::vector<double> V = Ms;
        std::sort(V.begin(), V.end());
        return V[V.size() / 2];
    }
};

// The options most benchmarks take, --dir FOLDER and --runs N, and the folder they work in: FOLDER,
// or a new temporary one that goes with the options.
struct TFolderOptions
{
    QString Folder;
    int Runs = 0;
    std::unique_ptr<QTemporaryDir> Temp;

    // False, after printing how to call Name, for arguments it does not know.
    bool Parse(const QStringList& Args, const char* Name, int DefaultRuns)
    {
        Runs = DefaultRuns;
        for (qsizetype I = 1; I < Args.size(); ++I) {
            if (Args[I] == u"--dir" && I + 1 < Args.size()) {
                Folder = Args[++I];
            } else if (Args[I] == u"--runs" && I + 1 < Args.size()) {
                Runs = std::clamp(Args[++I].toInt(), 1, 100);
            } else {
                std::fprintf(stderr, "usage: %s [--dir FOLDER] [--runs N]\n", Name);
                return false;
            }
        }
        if (Folder.isEmpty()) {
            Temp = std::make_unique<QTemporaryDir>();
            Folder = Temp->path();
        }
        return true;
    }
};

// Copies every file below From to the same place below To, except the one whose relative path is
// Skip (without regard to case).
inline bool CopyFolder(const QString& From, const QString& To, const QString& Skip)
{
    QDir Source(From);
    QDirIterator It(From, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (It.hasNext()) {
        const QString File = It.next();
        const QString Relative = Source.relativeFilePath(File);
        if (Relative.compare(Skip, Qt::CaseInsensitive) == 0)
            continue;
        const QString Target = QDir(To).filePath(Relative);
        if (!QDir().mkpath(QFileInfo(Target).path()) || !QFile::copy(File, Target))
            return false;
    }
    return true;
}

// Loads the structure file once; the time in ms, or -1 after a failure.
inline double TimeLoad(TVeltraneProject& P, const QString& File)
{
    P.ProgramVersion = {2, 7, 5};
    QElapsedTimer T;
    T.start();
    if (const int Result = P.LoadFromFile(File); Result != 0) {
        std::fprintf(stderr, "LoadFromFile gave %d\n", Result);
        return -1;
    }
    return double(T.nsecsElapsed()) / 1e6;
}

} // namespace BenchSupport
