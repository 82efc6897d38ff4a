// Processor use of autorun while its intro music plays and nobody touches the window.
//
// The program runs on a copy of the demo disc whose intro music is a generated OGG (Vorbis) or MP3
// file of a minute (44.1 kHz, the output's rate, and an MP3 at 48 kHz that is resampled), on SDL's dummy audio output (which takes the mixed sound at the real rate) and
// the offscreen platform unless QT_QPA_PLATFORM says otherwise. A few seconds after the start, when
// start-up and the first decoding are over, the process's user and system time is read from
// /proc/PID/stat at the start and the end of the measured time, each thread's too, so that a figure
// over the target shows where it goes. The same window without music ("nobackmusic") is the
// reference: what the idle window alone costs.
// Usage: bench_music [--seconds N] [--settle N] [--autorun FILE]
// Target: at most 3 % of one core with either kind of music.

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr double Pi = 3.14159265358979323846;

// A minute of a slow chord sequence with a little vibrato, so that the encoder has real work and
// the decoder a realistic bit rate. False when libsndfile cannot write the format.
bool WriteMusic(const QString& FileName, int Format, int Rate)
{
    SF_INFO Info{};
    Info.samplerate = Rate;
    Info.channels = 2;
    Info.format = Format;
    SNDFILE* File = sf_open(QFile::encodeName(FileName).constData(), SFM_WRITE, &Info);
    if (File == nullptr) {
        std::fprintf(stderr, "cannot write %s: %s\n", qUtf8Printable(FileName), sf_strerror(nullptr));
        return false;
    }
    const double Chords[4][3] = {{220.0, 277.2, 329.6}, {196.0, 246.9, 293.7}, {174.6, 220.0, 261.6},
                                 {196.0, 246.9, 329.6}};
    constexpr int Seconds = 60;
    std::vector<float> Block(2 * Rate);
    for (int S = 0; S < Seconds; ++S) {
        const double* Chord = Chords[(S / 2) % 4];
        for (int F = 0; F < Rate; ++F) {
            const double T = S + double(F) / Rate;
            const double Vibrato = 1.0 + 0.003 * std::sin(2 * Pi * 5 * T);
            double L = 0;
            double R = 0;
            for (int N = 0; N < 3; ++N) {
                const double V = std::sin(2 * Pi * Chord[N] * Vibrato * T);
                L += V * (N == 2 ? 0.6 : 1.0);
                R += V * (N == 0 ? 0.6 : 1.0);
            }
            Block[2 * F] = float(0.2 * L);
            Block[2 * F + 1] = float(0.2 * R);
        }
        if (sf_writef_float(File, Block.data(), Rate) != Rate) {
            sf_close(File);
            return false;
        }
    }
    return sf_close(File) == 0;
}

bool CopyTree(const QString& From, const QString& To)
{
    QDirIterator It(From, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (It.hasNext()) {
        const QString File = It.next();
        const QString Target = QDir(To).filePath(QDir(From).relativeFilePath(File));
        if (!QDir().mkpath(QFileInfo(Target).path()) || !QFile::copy(File, Target))
            return false;
    }
    return true;
}

// Sets [Options] IntroMusic in the disc's shell.ini.
bool SetIntroMusic(const QString& Ini, const QString& Name)
{
    QFile F(Ini);
    if (!F.open(QIODevice::ReadOnly))
        return false;
    QStringList Lines = QString::fromUtf8(F.readAll()).split(u'\n');
    F.close();
    bool Found = false;
    for (QString& Line : Lines) {
        if (Line.startsWith(u"IntroMusic="_s, Qt::CaseInsensitive)) {
            Line = u"IntroMusic="_s + Name;
            Found = true;
        }
    }
    return Found && F.open(QIODevice::WriteOnly | QIODevice::Truncate) && F.write(Lines.join(u'\n').toUtf8()) > 0;
}

// User plus system time in clock ticks from a /proc stat line; -1 when it cannot be read.
qint64 TicksOf(const QString& StatFile, QString* Name = nullptr)
{
    QFile F(StatFile);
    if (!F.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray Line = F.readAll();
    // The name stands in parentheses and may hold blanks; the fields count from behind it.
    const qsizetype Open = Line.indexOf('(');
    const qsizetype Close = Line.lastIndexOf(')');
    if (Open < 0 || Close < Open)
        return -1;
    if (Name)
        *Name = QString::fromUtf8(Line.mid(Open + 1, Close - Open - 1));
    const QList<QByteArray> Fields = Line.mid(Close + 2).split(' ');
    // utime and stime are fields 14 and 15 of the line, 12 and 13 behind the name.
    if (Fields.size() < 13)
        return -1;
    return Fields[11].toLongLong() + Fields[12].toLongLong();
}

struct TSample
{
    qint64 Process = -1;
    QMap<QString, qint64> Threads; // by "name (tid)"
};

TSample Sample(qint64 Pid)
{
    TSample S;
    const QString Proc = u"/proc/"_s + QString::number(Pid);
    S.Process = TicksOf(Proc + u"/stat"_s);
    const QStringList Tasks = QDir(Proc + u"/task"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& Tid : Tasks) {
        QString Name;
        const qint64 Ticks = TicksOf(Proc + u"/task/"_s + Tid + u"/stat"_s, &Name);
        if (Ticks >= 0)
            S.Threads.insert(Name + u" ("_s + Tid + u')', Ticks);
    }
    return S;
}

// The share of one core the program used over Seconds once it is up; -1 after a failure.
double Measure(const QString& Autorun, const QString& Disc, const QStringList& Extra, bool Music, int Settle,
               int Seconds)
{
    QProcess P;
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert(u"SDL_AUDIODRIVER"_s, u"dummy"_s);
    // A runtime folder of its own: the instance lock lives there, and no other copy holds it.
    const QString Runtime = QFileInfo(Disc).path() + u"/runtime"_s;
    QDir().mkpath(Runtime);
    QFile::setPermissions(Runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    Env.insert(u"XDG_RUNTIME_DIR"_s, Runtime);
    if (!Env.contains(u"QT_QPA_PLATFORM"_s))
        Env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    P.setProcessEnvironment(Env);
    P.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    P.setStandardOutputFile(QProcess::nullDevice());
    P.start(Autorun, QStringList{Disc, u"nosplash"_s} + Extra);
    if (!P.waitForStarted(30000))
        return -1;
    // Start-up, the first decoding and the ring's first fill are over by then.
    P.waitForFinished(Settle * 1000);
    if (P.state() != QProcess::Running) {
        std::fprintf(stderr, "autorun ended early (exit code %d)\n", P.exitCode());
        return -1;
    }
    const long Hz = sysconf(_SC_CLK_TCK);
    const TSample Before = Sample(P.processId());
    QElapsedTimer Wall;
    Wall.start();
    P.waitForFinished(Seconds * 1000);
    const TSample After = Sample(P.processId());
    const double Elapsed = double(Wall.nsecsElapsed()) / 1e9;
    const bool Ran = P.state() == QProcess::Running;
    P.kill();
    P.waitForFinished(30000);
    if (!Ran || Before.Process < 0 || After.Process < 0)
        return -1;
    // SDL names its output thread; without it nothing is played and the figure would flatter.
    const bool Playing = std::any_of(After.Threads.keyBegin(), After.Threads.keyEnd(),
                                     [](const QString& Name) { return Name.startsWith(u"SDLAudio"_s); });
    if (Playing != Music) {
        std::fprintf(stderr, "the music %s\n", Music ? "does not play" : "plays although it should not");
        return -1;
    }

    const double Share = double(After.Process - Before.Process) / double(Hz) / Elapsed * 100.0;
    std::printf("  %.1f s, %lld ticks of %ld Hz: %.2f %% of one core\n", Elapsed,
                After.Process - Before.Process, Hz, Share);
    for (auto It = After.Threads.cbegin(); It != After.Threads.cend(); ++It) {
        const qint64 Used = It.value() - Before.Threads.value(It.key(), 0);
        if (Used > 0)
            std::printf("    %-28s %5lld ticks  %.2f %%\n", qUtf8Printable(It.key()), Used,
                        double(Used) / double(Hz) / Elapsed * 100.0);
    }
    std::fflush(stdout);
    return Share;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    const QStringList Args = App.arguments();
    int Seconds = 30;
    int Settle = 5;
    QString Autorun = QString::fromUtf8(AUTORUN_PATH);
    for (qsizetype I = 1; I + 1 < Args.size(); I += 2) {
        if (Args[I] == u"--seconds"_s)
            Seconds = Args[I + 1].toInt();
        else if (Args[I] == u"--settle"_s)
            Settle = Args[I + 1].toInt();
        else if (Args[I] == u"--autorun"_s)
            Autorun = Args[I + 1];
    }
    if (Seconds <= 0 || Settle < 0) {
        std::fprintf(stderr, "usage: bench_music [--seconds N] [--settle N] [--autorun FILE]\n");
        return 2;
    }

    QTemporaryDir Work;
    const QString Disc = Work.filePath(u"disc"_s);
    if (!Work.isValid() || !CopyTree(QString::fromUtf8(DEMO_DISC_PATH), Disc)) {
        std::fprintf(stderr, "cannot copy the demo disc\n");
        return 1;
    }
    const QString Music = Disc + u"/Shell/Music/"_s;
    const QString Ini = Disc + u"/Shell/shell.ini"_s;
    struct TCase
    {
        const char* Label;
        QString File;
        int Format;
        int Rate;
    };
    const TCase Cases[] = {
        {"OGG", u"intro.ogg"_s, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100},
        {"MP3", u"intro.mp3"_s, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100},
        // The output runs at 44.1 kHz: this one is resampled as it plays.
        {"MP3 at 48 kHz,", u"intro48.mp3"_s, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 48000},
    };

    std::printf("idle window, no music (reference):\n");
    std::fflush(stdout);
    const double Idle = Measure(Autorun, Disc, {u"nobackmusic"_s}, false, Settle, Seconds);
    if (Idle < 0)
        return 1;
    bool Met = true;
    for (const TCase& Case : Cases) {
        if (!WriteMusic(Music + Case.File, Case.Format, Case.Rate) || !SetIntroMusic(Ini, Case.File)) {
            std::fprintf(stderr, "cannot prepare the %s music\n", Case.Label);
            return 1;
        }
        std::printf("%s intro music, %lld bytes:\n", Case.Label, QFileInfo(Music + Case.File).size());
        std::fflush(stdout);
        const double Share = Measure(Autorun, Disc, {}, true, Settle, Seconds);
        if (Share < 0)
            return 1;
        std::printf("  music costs %.2f %% over the idle window's %.2f %%; target at most 3 %%: %s\n",
                    Share - Idle, Idle, Share <= 3.0 ? "met" : "MISSED");
        Met = Met && Share <= 3.0;
    }
    return Met ? 0 : 3;
}
