#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

// Sound output: a device, streams decoded from files, looped or played once, several at a time.
// Handles are 32-bit numbers; 0 means failure. The music rules of the program (MusicPlayer.h) make
// every call through ISoundEngine, so tests can record them with TFakeSoundEngine.

// Flags of StreamPlay.
enum TPlayFlag : quint32
{
    pfLoop = 4, // start again at the end of the file
    pfPlay = 8  // passed by the program with every play request; no effect of its own
};

class ISoundEngine
{
public:
    virtual ~ISoundEngine() = default;
    // Opens the output device: Device 1 (or -1) is the system's default output, 2 and up the
    // further outputs in the system's order. Freq is the output rate in Hz. Flags and Owner (the
    // window the sound belongs to, may be null) are accepted for the caller's sake. False when no
    // device opens or the engine is already initialised.
    virtual bool Init(int Device, quint32 Freq, quint32 Flags, const void* Owner) = 0;
    // Releases the output and every stream; every handle becomes invalid. False when not
    // initialised.
    virtual bool Free() = 0;
    // Stops every stream; the device stays open. A stopped stream resumes with StreamPlay.
    virtual bool Stop() = 0;
    // A stream of the file (program notation: backslashes, any letter case on disc). 0 when the
    // engine is not initialised, the file cannot be decoded, or too many streams are open.
    virtual quint32 StreamCreateFile(const QString& FileName) = 0;
    // Plays the stream: with Flush, or when it has played to its end, from the start; otherwise it
    // resumes where it stopped (a playing stream goes on). Flags: pfLoop to loop. False for an
    // unknown handle.
    virtual bool StreamPlay(quint32 Handle, bool Flush, quint32 Flags) = 0;
    // Releases the stream. False for an unknown handle (0 included).
    virtual bool StreamFree(quint32 Handle) = 0;
};

// The real engine: SDL audio output, libsndfile decoding (WAV, OGG, FLAC, MP3 and whatever else
// the installed libsndfile reads), conversion to the output rate, and a mixer with clipping.
//
// One feeder thread per engine decodes ahead of the output (about a second per stream), so the
// audio callback never touches the disk and the calling thread never waits for decoding; only
// StreamCreateFile reads the file's header, to answer whether it can be played. Handles are never
// reused within an engine's life, so a stale handle kept across Free cannot reach a newer stream.
//
// Free releases every stream and pauses the output device (silence) rather than closing it: closing
// waits until the device has drained (about 50 ms), and the program frees and initialises again at
// every change of music. The next Init with the same device and rate resumes it; another device or
// rate, or a device that stopped working, is opened afresh. The destructor closes it.
// Calls are meant for one thread (the user interface); the engine is not copyable.
class TSoundEngine final : public ISoundEngine
{
public:
    // At most this many streams exist at once.
    static constexpr int MaxStreams = 32;

    TSoundEngine();
    ~TSoundEngine() override;
    TSoundEngine(const TSoundEngine&) = delete;
    TSoundEngine& operator=(const TSoundEngine&) = delete;

    bool Init(int Device, quint32 Freq, quint32 Flags, const void* Owner) override;
    bool Free() override;
    bool Stop() override;
    quint32 StreamCreateFile(const QString& FileName) override;
    bool StreamPlay(quint32 Handle, bool Flush, quint32 Flags) override;
    bool StreamFree(quint32 Handle) override;

    bool IsInitialised() const;
    // True while the stream is playing and has not reached its end.
    bool IsActive(quint32 Handle) const;
    // Frames the device has taken from the mixer since Init.
    quint64 MixedFrames() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> D;
};

// Whether the engine can play FileName (program notation): its decoder opens it, its channels and
// rate are within what the mixer takes, and its first second decodes. False with Reason otherwise.
// Needs no output device.
bool CanPlaySoundFile(const QString& FileName, QString* Reason = nullptr);
