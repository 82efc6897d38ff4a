#include "SoundEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <numbers>
#include <vector>

using namespace Qt::StringLiterals;

// The engine against SDL's "disk" audio driver, which writes the mixed output (stereo float at
// 44.1 kHz, as the engine opens it) to a file in real time. The tests wait for conditions on that
// file, never for a fixed time.

namespace {

constexpr int Timeout = 20000;
constexpr quint32 Rate = 44100;
constexpr qint64 BytesPerFrame = 8;
// Frames that can reach the file after a change took effect: the buffer being mixed at that moment
// (1024 frames) and what the driver's file buffer still holds.
constexpr qint64 InFlight = 2048;

using TValue = std::function<float(sf_count_t Frame)>;

float Sine(sf_count_t Frame, int FileRate)
{
    return 0.5f * static_cast<float>(
                      std::sin(2.0 * std::numbers::pi * 440.0 * static_cast<double>(Frame) / FileRate));
}

// Writes a sound file with libsndfile: every channel of frame F holds Value(F).
bool WriteSound(const QString& Name, int Format, int FileRate, int Channels, sf_count_t Frames,
                const TValue& Value)
{
    SF_INFO Info{};
    Info.samplerate = FileRate;
    Info.channels = Channels;
    Info.format = Format;
    SNDFILE* File = sf_open(QFile::encodeName(Name).constData(), SFM_WRITE, &Info);
    if (File == nullptr) {
        qWarning("cannot write %s: %s", qPrintable(Name), sf_strerror(nullptr));
        return false;
    }
    std::vector<float> Data(static_cast<size_t>(Frames * Channels));
    for (sf_count_t F = 0; F < Frames; ++F) {
        for (int C = 0; C < Channels; ++C) {
            Data[static_cast<size_t>(F * Channels + C)] = Value(F);
        }
    }
    const sf_count_t Written = Frames > 0 ? sf_writef_float(File, Data.data(), Frames) : 0;
    sf_close(File);
    return Written == Frames;
}

bool WriteBytes(const QString& Name, const QByteArray& Bytes)
{
    QFile File(Name);
    return File.open(QIODevice::WriteOnly) && File.write(Bytes) == Bytes.size();
}

constexpr int WavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
constexpr int Wav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

} // namespace

class TSoundEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void InitFailures_data();
    void InitFailures();
    void InitOnlyOnce();
    void SoundAfterPlay_data();
    void SoundAfterPlay();
    void PlaysOnceAndEnds_data();
    void PlaysOnceAndEnds();
    void ReplayAfterEnd();
    void LoopsPastTheEnd();
    void SilenceAfterStop();
    void MixesAndClips();
    void FreeReleasesEverything();
    void InitWithAnotherRate();
    void CreateFailures_data();
    void CreateFailures();
    void RefusesOutOfRangeFiles_data();
    void RefusesOutOfRangeFiles();
    void ProgramNotation();
    void HandlesAfterFree();
    void StreamCap();
    void EmptyLoopedFileEnds();
    void FuzzFindings_data();
    void FuzzFindings();

private:
    QString Path(const QString& Name) const { return FRoot->filePath(Name); }
    // A 0.1 s file of constant value 0.5 (same rate as the output), made once per test.
    QString DcFile(float Value = 0.5f, sf_count_t Frames = 4410);
    QString SineFile();
    bool InitDisk() { return FEngine->Init(1, Rate, 0, nullptr); }
    void SetDriver(const QByteArray& Driver, const QString& OutFile);

    qint64 OutputFrames() const { return QFileInfo(FOut).size() / BytesPerFrame; }
    std::vector<float> Output() const;
    // Frames from FromFrame on in which a channel exceeds Threshold.
    qint64 CountLoud(qint64 FromFrame, float Threshold) const;
    float Peak() const;

    std::unique_ptr<QTemporaryDir> FRoot;
    QString FOut;
    std::unique_ptr<TSoundEngine> FEngine;
};

void TSoundEngineTest::init()
{
    FRoot = std::make_unique<QTemporaryDir>();
    QVERIFY(FRoot->isValid());
    FOut = Path(u"out.raw"_s);
    SetDriver("disk", FOut);
    FEngine = std::make_unique<TSoundEngine>();
}

void TSoundEngineTest::cleanup()
{
    FEngine.reset();
    FRoot.reset();
}

void TSoundEngineTest::SetDriver(const QByteArray& Driver, const QString& OutFile)
{
    qputenv("SDL_AUDIODRIVER", Driver);
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(OutFile));
}

QString TSoundEngineTest::DcFile(float Value, sf_count_t Frames)
{
    const QString Name = Path(u"dc%1_%2.wav"_s.arg(qRound(Value * 100)).arg(Frames));
    if (!QFile::exists(Name) &&
        !WriteSound(Name, WavFloat, Rate, 2, Frames, [Value](sf_count_t) { return Value; })) {
        return {};
    }
    return Name;
}

QString TSoundEngineTest::SineFile()
{
    const QString Name = Path(u"sine.wav"_s);
    if (!QFile::exists(Name) &&
        !WriteSound(Name, Wav16, Rate, 2, Rate / 5, [](sf_count_t F) { return Sine(F, Rate); })) {
        return {};
    }
    return Name;
}

std::vector<float> TSoundEngineTest::Output() const
{
    QFile File(FOut);
    if (!File.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray Bytes = File.readAll();
    std::vector<float> Samples(static_cast<size_t>(Bytes.size() / BytesPerFrame * 2));
    if (!Samples.empty()) {
        std::memcpy(Samples.data(), Bytes.constData(), Samples.size() * sizeof(float));
    }
    return Samples;
}

qint64 TSoundEngineTest::CountLoud(qint64 FromFrame, float Threshold) const
{
    const std::vector<float> Samples = Output();
    qint64 Count = 0;
    for (size_t F = static_cast<size_t>(std::max<qint64>(FromFrame, 0)); F < Samples.size() / 2; ++F) {
        if (std::abs(Samples[F * 2]) > Threshold || std::abs(Samples[F * 2 + 1]) > Threshold) {
            ++Count;
        }
    }
    return Count;
}

float TSoundEngineTest::Peak() const
{
    float Result = 0.0f;
    for (const float S : Output()) {
        Result = std::max(Result, std::abs(S));
    }
    return Result;
}

void TSoundEngineTest::InitFailures_data()
{
    QTest::addColumn<QByteArray>("Driver");
    QTest::addColumn<QString>("OutFile");
    QTest::addColumn<int>("Device");
    QTest::addColumn<quint32>("Freq");

    QTest::newRow("unknown driver") << QByteArray("nosuchdriver") << u"out.raw"_s << 1 << Rate;
    QTest::newRow("device does not open") << QByteArray("disk") << u"missing/out.raw"_s << 1 << Rate;
    QTest::newRow("device 0") << QByteArray("disk") << u"out.raw"_s << 0 << Rate;
    QTest::newRow("device out of range") << QByteArray("disk") << u"out.raw"_s << 99 << Rate;
    QTest::newRow("rate 0") << QByteArray("disk") << u"out.raw"_s << 1 << 0u;
    QTest::newRow("rate too high") << QByteArray("disk") << u"out.raw"_s << 1 << 1000000u;
}

void TSoundEngineTest::InitFailures()
{
    QFETCH(QByteArray, Driver);
    QFETCH(QString, OutFile);
    QFETCH(int, Device);
    QFETCH(quint32, Freq);

    const QString Tone = SineFile();
    QVERIFY(!Tone.isEmpty());
    SetDriver(Driver, Path(OutFile));
    QVERIFY(!FEngine->Init(Device, Freq, 0, nullptr));
    QVERIFY(!FEngine->IsInitialised());
    QCOMPARE(FEngine->StreamCreateFile(Tone), 0u);
    QVERIFY(!FEngine->Stop());
    QVERIFY(!FEngine->Free());

    // The failure leaves nothing behind: the next initialisation works.
    SetDriver("disk", FOut);
    QVERIFY(InitDisk());
    QVERIFY(FEngine->StreamCreateFile(Tone) != 0);
}

void TSoundEngineTest::InitOnlyOnce()
{
    QVERIFY(InitDisk());
    QVERIFY(!InitDisk());
    QVERIFY(FEngine->IsInitialised());
    QVERIFY(FEngine->Free());
    QVERIFY(!FEngine->Free());
    QVERIFY(InitDisk());
}

void TSoundEngineTest::SoundAfterPlay_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<int>("Format");
    QTest::addColumn<int>("FileRate");
    QTest::addColumn<int>("Channels");

    QTest::newRow("wav 16-bit stereo") << u"t.wav"_s << Wav16 << 44100 << 2;
    QTest::newRow("wav float mono 22050 Hz") << u"t.wav"_s << WavFloat << 22050 << 1;
    QTest::newRow("flac 48000 Hz") << u"t.flac"_s << (SF_FORMAT_FLAC | SF_FORMAT_PCM_16) << 48000 << 2;
    QTest::newRow("ogg vorbis") << u"t.ogg"_s << (SF_FORMAT_OGG | SF_FORMAT_VORBIS) << 44100 << 2;
    QTest::newRow("mp3") << u"t.mp3"_s << (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) << 44100 << 2;
}

void TSoundEngineTest::SoundAfterPlay()
{
    QFETCH(QString, Name);
    QFETCH(int, Format);
    QFETCH(int, FileRate);
    QFETCH(int, Channels);

    const QString File = Path(Name);
    QVERIFY(WriteSound(File, Format, FileRate, Channels, FileRate * 3 / 10,
                       [FileRate](sf_count_t F) { return Sine(F, FileRate); }));
    QVERIFY(InitDisk());
    const quint32 Handle = FEngine->StreamCreateFile(File);
    QVERIFY(Handle != 0);
    QVERIFY(FEngine->StreamPlay(Handle, false, pfPlay));
    QVERIFY(FEngine->IsActive(Handle));
    QTRY_VERIFY_WITH_TIMEOUT(CountLoud(0, 0.1f) > 0, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!FEngine->IsActive(Handle), Timeout);
    QVERIFY(Peak() < 0.7f);
}

void TSoundEngineTest::PlaysOnceAndEnds_data()
{
    QTest::addColumn<int>("Format");
    QTest::addColumn<int>("FileRate");
    QTest::addColumn<int>("Channels");
    QTest::addColumn<qint64>("Expected"); // frames of output
    QTest::addColumn<qint64>("Tolerance");

    QTest::newRow("output rate") << WavFloat << 44100 << 2 << qint64(4410) << qint64(0);
    QTest::newRow("22050 Hz mono") << Wav16 << 22050 << 1 << qint64(4410) << qint64(16);
    QTest::newRow("48000 Hz") << Wav16 << 48000 << 2 << qint64(4410) << qint64(16);
    QTest::newRow("8000 Hz mono") << Wav16 << 8000 << 1 << qint64(4410) << qint64(32);
}

void TSoundEngineTest::PlaysOnceAndEnds()
{
    QFETCH(int, Format);
    QFETCH(int, FileRate);
    QFETCH(int, Channels);
    QFETCH(qint64, Expected);
    QFETCH(qint64, Tolerance);

    // 0.1 s of a constant 0.5: every frame of it is loud, so the loud frames measure its length.
    const QString File = Path(u"t.wav"_s);
    QVERIFY(WriteSound(File, Format, FileRate, Channels, FileRate / 10, [](sf_count_t) { return 0.5f; }));
    QVERIFY(InitDisk());
    const quint32 Handle = FEngine->StreamCreateFile(File);
    QVERIFY(Handle != 0);
    QVERIFY(FEngine->StreamPlay(Handle, false, pfPlay));
    QTRY_VERIFY_WITH_TIMEOUT(!FEngine->IsActive(Handle), Timeout);
    const qint64 End = OutputFrames();
    QTRY_VERIFY_WITH_TIMEOUT(OutputFrames() >= End + InFlight + 4096, Timeout);

    const qint64 Loud = CountLoud(0, 0.25f);
    QVERIFY2(std::abs(Loud - Expected) <= Tolerance, qPrintable(u"%1 loud frames"_s.arg(Loud)));
    QVERIFY(Peak() <= 0.6f);
}

void TSoundEngineTest::ReplayAfterEnd()
{
    const QString File = DcFile();
    QVERIFY(InitDisk());
    const quint32 Handle = FEngine->StreamCreateFile(File);
    QVERIFY(FEngine->StreamPlay(Handle, false, pfPlay));
    QTRY_VERIFY_WITH_TIMEOUT(!FEngine->IsActive(Handle), Timeout);
    // A stream that has ended plays again from its start.
    QVERIFY(FEngine->StreamPlay(Handle, false, pfPlay));
    QTRY_VERIFY_WITH_TIMEOUT(!FEngine->IsActive(Handle), Timeout);
    const qint64 End = OutputFrames();
    QTRY_VERIFY_WITH_TIMEOUT(OutputFrames() >= End + InFlight + 4096, Timeout);
    QCOMPARE(CountLoud(0, 0.25f), qint64(2 * 4410));
}

void TSoundEngineTest::LoopsPastTheEnd()
{
    const QString File = DcFile();
    QVERIFY(InitDisk());
    const quint32 Handle = FEngine->StreamCreateFile(File);
    QVERIFY(FEngine->StreamPlay(Handle, false, pfPlay | pfLoop));
    QTRY_VERIFY_WITH_TIMEOUT(CountLoud(0, 0.25f) >= 3 * 4410, Timeout);
    QVERIFY(FEngine->IsActive(Handle));
    QVERIFY(Peak() <= 0.6f);
}

void TSoundEngineTest::SilenceAfterStop()
{
    const QString File = SineFile();
    QVERIFY(InitDisk());
    const quint32 Handle = FEngine->StreamCreateFile(File);
    QVERIFY(FEngine->StreamPlay(Handle, false, pfPlay | pfLoop));
    QTRY_VERIFY_WITH_TIMEOUT(CountLoud(0, 0.1f) > 0, Timeout);

    QVERIFY(FEngine->Stop());
    QVERIFY(!FEngine->IsActive(Handle));
    const qint64 Stopped = OutputFrames() + InFlight;
    const qint64 Window = 8192;
    QTRY_VERIFY_WITH_TIMEOUT(OutputFrames() >= Stopped + Window, Timeout);
    const std::vector<float> Samples = Output();
    for (qint64 I = Stopped * 2; I < (Stopped + Window) * 2; ++I) {
        QCOMPARE(Samples[static_cast<size_t>(I)], 0.0f);
    }

    // The stopped stream resumes.
    QVERIFY(FEngine->StreamPlay(Handle, false, pfPlay | pfLoop));
    QTRY_VERIFY_WITH_TIMEOUT(CountLoud(Stopped + Window, 0.1f) > 0, Timeout);
}

void TSoundEngineTest::MixesAndClips()
{
    const QString File = DcFile(0.8f);
    QVERIFY(InitDisk());
    const quint32 First = FEngine->StreamCreateFile(File);
    const quint32 Second = FEngine->StreamCreateFile(File);
    QVERIFY(First != 0 && Second != 0 && First != Second);
    QVERIFY(FEngine->StreamPlay(First, false, pfPlay | pfLoop));
    QVERIFY(FEngine->StreamPlay(Second, false, pfPlay | pfLoop));
    // 0.8 + 0.8 is clipped to full scale.
    QTRY_VERIFY_WITH_TIMEOUT(Peak() >= 1.0f, Timeout);
    QVERIFY(FEngine->Free());
    QCOMPARE(Peak(), 1.0f);
}

void TSoundEngineTest::FreeReleasesEverything()
{
    const QString File = SineFile();
    QVERIFY(InitDisk());
    const quint32 Handle = FEngine->StreamCreateFile(File);
    QVERIFY(FEngine->StreamPlay(Handle, false, pfPlay | pfLoop));
    QTRY_VERIFY_WITH_TIMEOUT(CountLoud(0, 0.1f) > 0, Timeout);
    QVERIFY(FEngine->Free());
    QVERIFY(!FEngine->IsActive(Handle));
    QVERIFY(!FEngine->StreamPlay(Handle, false, pfPlay));
    QCOMPARE(FEngine->StreamCreateFile(File), 0u);
    QVERIFY(!FEngine->Stop());

    // The output is silent until the next Init.
    const qint64 Freed = OutputFrames() + InFlight;
    const qint64 Window = 8192;
    QTRY_VERIFY_WITH_TIMEOUT(OutputFrames() >= Freed + Window, Timeout);
    const std::vector<float> Samples = Output();
    for (qint64 I = Freed * 2; I < (Freed + Window) * 2; ++I) {
        QCOMPARE(Samples[static_cast<size_t>(I)], 0.0f);
    }
    QVERIFY(InitDisk());
    const quint32 Again = FEngine->StreamCreateFile(File);
    QVERIFY(FEngine->StreamPlay(Again, false, pfPlay | pfLoop));
    QTRY_VERIFY_WITH_TIMEOUT(CountLoud(Freed + Window, 0.1f) > 0, Timeout);
}

void TSoundEngineTest::InitWithAnotherRate()
{
    QVERIFY(InitDisk());
    QVERIFY(FEngine->Free());
    QVERIFY(FEngine->Init(1, 22050, 0, nullptr));
    const quint32 Handle = FEngine->StreamCreateFile(SineFile());
    QVERIFY(FEngine->StreamPlay(Handle, false, pfPlay));
    QTRY_VERIFY_WITH_TIMEOUT(CountLoud(0, 0.1f) > 0, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!FEngine->IsActive(Handle), Timeout);
}

void TSoundEngineTest::CreateFailures_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QByteArray>("Content"); // null: nothing is written

    QByteArray Noise(4096, '\0');
    quint32 Seed = 12345;
    for (char& C : Noise) {
        Seed = Seed * 1103515245u + 12345u;
        C = static_cast<char>(Seed >> 24);
    }
    QTest::newRow("missing file") << u"none.wav"_s << QByteArray();
    QTest::newRow("empty name") << u""_s << QByteArray();
    QTest::newRow("empty file") << u"empty.wav"_s << QByteArray("");
    QTest::newRow("noise named mp3") << u"noise.mp3"_s << Noise;
    QTest::newRow("text named wav") << u"text.wav"_s << QByteArray("RIFF this is not a sound\n");
    QTest::newRow("cut-off header") << u"cut.wav"_s << QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16);
    QTest::newRow("folder") << u"folder"_s << QByteArray();
}

void TSoundEngineTest::CreateFailures()
{
    QFETCH(QString, Name);
    QFETCH(QByteArray, Content);

    if (!Content.isNull()) {
        QVERIFY(WriteBytes(Path(Name), Content));
    }
    QVERIFY(QDir(FRoot->path()).mkpath(u"folder"_s));
    QVERIFY(InitDisk());
    QCOMPARE(FEngine->StreamCreateFile(Name.isEmpty() ? QString() : Path(Name)), 0u);
}

void TSoundEngineTest::RefusesOutOfRangeFiles_data()
{
    QTest::addColumn<int>("FileRate");
    QTest::addColumn<int>("Channels");
    QTest::addColumn<bool>("Accepted");

    QTest::newRow("16 channels") << 44100 << 16 << true;
    QTest::newRow("17 channels") << 44100 << 17 << false;
    QTest::newRow("1000 Hz") << 1000 << 1 << true;
    QTest::newRow("500 Hz") << 500 << 1 << false;
}

void TSoundEngineTest::RefusesOutOfRangeFiles()
{
    QFETCH(int, FileRate);
    QFETCH(int, Channels);
    QFETCH(bool, Accepted);

    const QString File = Path(u"range.wav"_s);
    QVERIFY(WriteSound(File, Wav16, FileRate, Channels, 100, [](sf_count_t) { return 0.25f; }));
    QVERIFY(InitDisk());
    QCOMPARE(FEngine->StreamCreateFile(File) != 0, Accepted);
}

void TSoundEngineTest::ProgramNotation()
{
    QVERIFY(QDir(FRoot->path()).mkpath(u"Sounds"_s));
    QVERIFY(WriteSound(Path(u"Sounds/Tone.wav"_s), Wav16, Rate, 2, 100, [](sf_count_t) { return 0.25f; }));
    QVERIFY(InitDisk());
    QVERIFY(FEngine->StreamCreateFile(FRoot->path() + u"/SOUNDS\\tone.WAV"_s) != 0);
}

void TSoundEngineTest::HandlesAfterFree()
{
    const QString File = DcFile();
    QVERIFY(InitDisk());
    const quint32 First = FEngine->StreamCreateFile(File);
    const quint32 Old = FEngine->StreamCreateFile(File);
    QVERIFY(First != 0 && Old != 0 && First != Old);
    QVERIFY(FEngine->Free());
    QVERIFY(InitDisk());
    // A handle kept across Free never reaches a newer stream.
    const quint32 New = FEngine->StreamCreateFile(File);
    QVERIFY(New != 0 && New != Old);
    QVERIFY(!FEngine->StreamPlay(Old, false, pfPlay));
    QVERIFY(!FEngine->StreamFree(Old));
    QVERIFY(!FEngine->StreamFree(0));
    QVERIFY(!FEngine->StreamPlay(0, false, pfPlay));
    QVERIFY(FEngine->StreamFree(New));
    QVERIFY(!FEngine->StreamFree(New));
}

void TSoundEngineTest::StreamCap()
{
    const QString File = DcFile();
    QVERIFY(InitDisk());
    std::vector<quint32> Handles;
    for (int I = 0; I < TSoundEngine::MaxStreams; ++I) {
        Handles.push_back(FEngine->StreamCreateFile(File));
        QVERIFY(Handles.back() != 0);
    }
    QCOMPARE(FEngine->StreamCreateFile(File), 0u);
    QVERIFY(FEngine->StreamFree(Handles.front()));
    QVERIFY(FEngine->StreamCreateFile(File) != 0);
}

void TSoundEngineTest::EmptyLoopedFileEnds()
{
    const QString File = DcFile(0.5f, 0);
    QVERIFY(!File.isEmpty());
    QVERIFY(InitDisk());
    const quint32 Handle = FEngine->StreamCreateFile(File);
    QVERIFY(Handle != 0);
    QVERIFY(FEngine->StreamPlay(Handle, false, pfPlay | pfLoop));
    QTRY_VERIFY_WITH_TIMEOUT(!FEngine->IsActive(Handle), Timeout);
    QCOMPARE(CountLoud(0, 0.0f), qint64(0));
}

// Inputs the sound harness found, kept in tests/data/sound/fuzz. The name says what the engine must
// make of each: NAME.ok.EXT plays, NAME.error.EXT is refused with a reason, and neither crashes.
void TSoundEngineTest::FuzzFindings_data()
{
    QTest::addColumn<QString>("File");
    const QDir Dir(QStringLiteral(AUTORUN_TEST_DATA_DIR) + u"/sound/fuzz"_s);
    const QStringList Files = Dir.entryList(QDir::Files, QDir::Name);
    if (Files.isEmpty()) {
        QSKIP("no fuzzer findings are kept");
    }
    for (const QString& F : Files) {
        QTest::newRow(qPrintable(F)) << Dir.filePath(F);
    }
}

void TSoundEngineTest::FuzzFindings()
{
    QFETCH(QString, File);
    const bool ExpectOk = File.contains(u".ok."_s);
    QVERIFY2(ExpectOk || File.contains(u".error."_s), "name the expected result: NAME.ok.EXT or NAME.error.EXT");
    QString Reason;
    QCOMPARE(CanPlaySoundFile(File, &Reason), ExpectOk);
    QCOMPARE(Reason.isEmpty(), ExpectOk);
    QVERIFY(InitDisk());
    const quint32 Handle = FEngine->StreamCreateFile(File);
    QCOMPARE(Handle != 0, ExpectOk);
    if (Handle != 0) {
        QVERIFY(FEngine->StreamPlay(Handle, true, pfPlay));
        QVERIFY(FEngine->StreamFree(Handle));
    }
}

QTEST_GUILESS_MAIN(TSoundEngineTest)
#include "tst_soundengine.moc"
