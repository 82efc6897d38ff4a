#include "SoundEngine.h"

#include "text/Paths.h"

#include <QByteArray>
#include <QFile>

#include <SDL.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr int OutChannels = 2;
constexpr int BytesPerFrame = OutChannels * static_cast<int>(sizeof(float));
// About 23 ms at 44.1 kHz: short enough for a prompt stop, long enough for a slow machine.
constexpr Uint16 DeviceBufferFrames = 1024;
constexpr int DecodeChunkFrames = 4096;
constexpr int MinReadFrames = 16;
// More channels than any music file needs; it bounds the decoder's buffer.
constexpr int MaxSourceChannels = 16;
constexpr int MinSourceRate = 1000;
constexpr int MaxSourceRate = 384000;
constexpr quint32 MinOutputRate = 8000;
constexpr quint32 MaxOutputRate = 192000;
// Frames decoded for one stream before the feeder turns to the next one.
constexpr size_t MaxFramesPerPass = 8192;

// SDL is shut down completely (SDL_Quit) when the last engine that used it is destroyed; closing
// only the audio part would leave SDL's own process-wide state behind.
std::mutex SdlUsersLock;
int LiveEngines = 0;
bool SdlTouched = false;

// Opens a file's decoder when the engine can play it: one libsndfile reads it and its channels and
// rate are within what the mixer takes. Null, with Reason, otherwise.
SNDFILE* OpenSoundFile(const QString& FileName, SF_INFO& Info, QString* Reason)
{
    const auto Fail = [Reason](const QString& Why) -> SNDFILE* {
        if (Reason) {
            *Reason = Why;
        }
        return nullptr;
    };
    // The decoder opens the file by name; what a disc file reader would not open is not handed to it.
    if (!FileExists(FileName)) {
        return Fail(QStringLiteral("no such regular file"));
    }
    const QByteArray Path = QFile::encodeName(NativePath(FileName));
    Info = SF_INFO{};
    SNDFILE* File = sf_open(Path.constData(), SFM_READ, &Info);
    if (File == nullptr) {
        return Fail(QString::fromUtf8(sf_strerror(nullptr)));
    }
    if (Info.channels < 1 || Info.channels > MaxSourceChannels || Info.samplerate < MinSourceRate ||
        Info.samplerate > MaxSourceRate) {
        sf_close(File);
        return Fail(QStringLiteral("%1 channels at %2 Hz cannot be played").arg(Info.channels).arg(Info.samplerate));
    }
    return File;
}

struct TStream
{
    quint32 Handle = 0;
    int SourceChannels = 0;
    int SourceRate = 0;
    int OutputRate = 0;

    // The decoder. Once the stream is published only the feeder thread touches these.
    SNDFILE* File = nullptr;
    SDL_AudioStream* Converter = nullptr;
    quint64 DecoderEpoch = 0;
    bool DecoderEnded = false; // the file is read to its end and the converter flushed
    sf_count_t FramesSinceRewind = 0;

    // Decoded output frames waiting for the mixer: a ring of Capacity stereo frames. These and the
    // play state are guarded by the engine's lock.
    std::vector<float> Ring;
    size_t Capacity = 0;
    size_t RingStart = 0;
    size_t RingCount = 0;
    // Raised by every restart; data decoded for an older epoch is dropped.
    quint64 Epoch = 0;
    bool Playing = false;
    bool Loop = false;
    bool EndOfData = false; // nothing more will arrive in the ring for this epoch
    bool Ended = false;     // played to its end

    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    ~TStream()
    {
        if (Converter != nullptr) {
            SDL_FreeAudioStream(Converter);
        }
        if (File != nullptr) {
            sf_close(File);
        }
    }
};

using TStreamPtr = std::shared_ptr<TStream>;

} // namespace

struct TSoundEngine::TImpl
{
    // Guards the stream list, every stream's ring and play state, Graveyard, Quit and Mixed. Held
    // only for list changes and copying samples, never during file reads.
    mutable std::mutex Lock;
    std::condition_variable Wake;
    std::vector<TStreamPtr> Streams;
    // Streams released by the calling thread; the feeder closes them, so the caller never waits
    // for a decoder that is busy reading.
    std::vector<TStreamPtr> Graveyard;
    bool Quit = false;
    quint64 Mixed = 0;

    // The calling thread's state.
    bool Initialised = false;
    // The open output, its number as Init gave it, and its rate. Free only pauses it.
    SDL_AudioDeviceID Device = 0;
    int OpenedDevice = 0;
    quint32 Rate = 0;
    quint32 NextHandle = 1;
    std::thread Feeder;

    // The feeder's buffers.
    std::vector<float> ReadBuffer;
    std::vector<float> StereoBuffer;
    std::vector<float> OutBuffer;

    struct TWork
    {
        TStreamPtr Stream;
        quint64 Epoch = 0;
        bool Loop = false;
        size_t Room = 0;
    };

    static void SDLCALL AudioCallback(void* User, Uint8* Data, int Len)
    {
        std::memset(Data, 0, static_cast<size_t>(std::max(Len, 0)));
        static_cast<TImpl*>(User)->Mix(reinterpret_cast<float*>(Data),
                                       static_cast<size_t>(Len / BytesPerFrame));
    }

    // The audio thread: adds every playing stream's waiting frames into Out (already silent).
    void Mix(float* Out, size_t Frames)
    {
        {
            const std::lock_guard Guard(Lock);
            for (const TStreamPtr& P : Streams) {
                TStream& S = *P;
                if (!S.Playing) {
                    continue;
                }
                const size_t Take = std::min(Frames, S.RingCount);
                const size_t First = std::min(Take, S.Capacity - S.RingStart);
                const float* Src = S.Ring.data() + S.RingStart * OutChannels;
                for (size_t I = 0; I < First * OutChannels; ++I) {
                    Out[I] += Src[I];
                }
                for (size_t I = 0; I < (Take - First) * OutChannels; ++I) {
                    Out[First * OutChannels + I] += S.Ring[I];
                }
                S.RingStart = (S.RingStart + Take) % S.Capacity;
                S.RingCount -= Take;
                if (S.RingCount == 0 && S.EndOfData) {
                    S.Playing = false;
                    S.Ended = true;
                }
            }
            Mixed += Frames;
        }
        for (size_t I = 0; I < Frames * OutChannels; ++I) {
            Out[I] = std::clamp(Out[I], -1.0f, 1.0f);
        }
        Wake.notify_one();
    }

    // Called with Lock held.
    static bool NeedsData(const TStream& S)
    {
        return S.Playing && !S.EndOfData && S.Capacity - S.RingCount >= S.Capacity / 4;
    }

    bool HasWork() const
    {
        return Quit || !Graveyard.empty() ||
               std::any_of(Streams.begin(), Streams.end(), [](const TStreamPtr& S) { return NeedsData(*S); });
    }

    void FeederLoop()
    {
        ReadBuffer.resize(static_cast<size_t>(DecodeChunkFrames) * MaxSourceChannels);
        StereoBuffer.resize(static_cast<size_t>(DecodeChunkFrames) * OutChannels);
        OutBuffer.resize(MaxFramesPerPass * OutChannels);
        std::unique_lock Guard(Lock);
        for (;;) {
            Wake.wait(Guard, [this] { return HasWork(); });
            std::vector<TStreamPtr> Dead;
            Dead.swap(Graveyard);
            std::vector<TWork> Work;
            const bool Stopping = Quit;
            if (!Stopping) {
                for (const TStreamPtr& S : Streams) {
                    if (NeedsData(*S)) {
                        Work.push_back({S, S->Epoch, S->Loop, S->Capacity - S->RingCount});
                    }
                }
            }
            Guard.unlock();
            Dead.clear();
            for (TWork& W : Work) {
                Produce(W);
            }
            Work.clear();
            Guard.lock();
            if (Stopping) {
                break;
            }
        }
    }

    // Copies the first two channels (a mono source to both) and silences values that are not
    // finite, which a damaged float file can hold.
    void ToStereo(size_t Frames, int Channels)
    {
        for (size_t F = 0; F < Frames; ++F) {
            const float* In = ReadBuffer.data() + F * static_cast<size_t>(Channels);
            const float L = In[0];
            const float R = Channels > 1 ? In[1] : In[0];
            StereoBuffer[F * 2] = std::isfinite(L) ? L : 0.0f;
            StereoBuffer[F * 2 + 1] = std::isfinite(R) ? R : 0.0f;
        }
    }

    // The file has ended: the converter gives out what it holds. SDL 2.26 keeps the resampler's
    // look-ahead (512 source frames or more) when the data came in large pieces, and its flush does
    // not release it; silence behind the sound pushes the last of the sound out.
    void EndConversion(TStream& S)
    {
        if (S.SourceRate != S.OutputRate) {
            const int Pad = 1024 + 1024 * (S.SourceRate / S.OutputRate);
            std::fill(StereoBuffer.begin(), StereoBuffer.end(), 0.0f);
            for (int Done = 0; Done < Pad; Done += DecodeChunkFrames) {
                SDL_AudioStreamPut(S.Converter, StereoBuffer.data(),
                                   std::min(DecodeChunkFrames, Pad - Done) * BytesPerFrame);
            }
        }
        SDL_AudioStreamFlush(S.Converter);
        S.DecoderEnded = true;
    }

    // The feeder: decodes up to W.Room frames of W.Stream outside the lock, then hands them over.
    void Produce(TWork& W)
    {
        TStream& S = *W.Stream;
        if (S.DecoderEpoch != W.Epoch) {
            S.DecoderEpoch = W.Epoch;
            S.DecoderEnded = false;
            S.FramesSinceRewind = 0;
            SDL_AudioStreamClear(S.Converter);
            if (sf_seek(S.File, 0, SEEK_SET) != 0) {
                S.DecoderEnded = true;
            }
        }
        const size_t Want = std::min(W.Room, MaxFramesPerPass);
        size_t Got = 0;
        while (Got < Want) {
            const int Available = SDL_AudioStreamAvailable(S.Converter) / BytesPerFrame;
            if (Available > 0) {
                const size_t Take = std::min(static_cast<size_t>(Available), Want - Got);
                const int Bytes = SDL_AudioStreamGet(S.Converter, OutBuffer.data() + Got * OutChannels,
                                                     static_cast<int>(Take) * BytesPerFrame);
                if (Bytes <= 0) {
                    // A converter that fails would be asked again and again: the stream ends.
                    SDL_AudioStreamClear(S.Converter);
                    S.DecoderEnded = true;
                    break;
                }
                Got += static_cast<size_t>(Bytes / BytesPerFrame);
                continue;
            }
            if (S.DecoderEnded) {
                break;
            }
            // No more source than the wanted output needs, so that a high conversion ratio cannot
            // pile up output in the converter.
            const qint64 Needed =
                static_cast<qint64>(Want - Got) * S.SourceRate / S.OutputRate + MinReadFrames;
            const sf_count_t Read =
                sf_readf_float(S.File, ReadBuffer.data(), std::min<qint64>(Needed, DecodeChunkFrames));
            if (Read > 0) {
                S.FramesSinceRewind += Read;
                ToStereo(static_cast<size_t>(Read), S.SourceChannels);
                if (SDL_AudioStreamPut(S.Converter, StereoBuffer.data(),
                                       static_cast<int>(Read) * BytesPerFrame) != 0) {
                    EndConversion(S);
                }
                continue;
            }
            // The end of the file, or a read error. A file that gave nothing since the last rewind
            // ends even when looped, so an empty file cannot keep the feeder spinning.
            if (W.Loop && S.FramesSinceRewind > 0 && sf_seek(S.File, 0, SEEK_SET) == 0) {
                S.FramesSinceRewind = 0;
                continue;
            }
            EndConversion(S);
        }
        const bool Drained = S.DecoderEnded && SDL_AudioStreamAvailable(S.Converter) == 0;

        const std::lock_guard Guard(Lock);
        if (S.Epoch != W.Epoch) {
            return; // restarted meanwhile
        }
        size_t Tail = (S.RingStart + S.RingCount) % S.Capacity;
        const size_t Count = std::min(Got, S.Capacity - S.RingCount);
        for (size_t F = 0; F < Count; ++F) {
            S.Ring[Tail * 2] = OutBuffer[F * 2];
            S.Ring[Tail * 2 + 1] = OutBuffer[F * 2 + 1];
            Tail = Tail + 1 == S.Capacity ? 0 : Tail + 1;
        }
        S.RingCount += Count;
        if (Drained) {
            S.EndOfData = true;
        }
    }

    // Opens the output (1: the default one, 2 and up: SDL's list from its second entry).
    bool OpenDevice(int Wanted, quint32 Freq)
    {
        // The program handles its own signals; SDL must not take SIGINT and SIGTERM.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        {
            const std::lock_guard Guard(SdlUsersLock);
            SdlTouched = true;
        }
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            return false;
        }
        QByteArray DeviceName;
        if (Wanted >= 2) {
            const char* Name =
                Wanted - 1 < SDL_GetNumAudioDevices(0) ? SDL_GetAudioDeviceName(Wanted - 1, 0) : nullptr;
            if (Name == nullptr) {
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                return false;
            }
            DeviceName = QByteArray(Name);
        }
        SDL_AudioSpec Want{};
        Want.freq = static_cast<int>(Freq);
        Want.format = AUDIO_F32SYS;
        Want.channels = OutChannels;
        Want.samples = DeviceBufferFrames;
        Want.callback = &TImpl::AudioCallback;
        Want.userdata = this;
        SDL_AudioSpec Have{};
        // No format changes allowed: SDL converts to whatever the hardware takes, so the mixer
        // always works in stereo float at the asked rate.
        Device =
            SDL_OpenAudioDevice(DeviceName.isEmpty() ? nullptr : DeviceName.constData(), 0, &Want, &Have, 0);
        if (Device == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        OpenedDevice = Wanted;
        Rate = Freq;
        return true;
    }

    // Waits until the device has played out its last buffers (two buffers' time).
    void CloseDevice()
    {
        if (Device != 0) {
            SDL_CloseAudioDevice(Device);
            Device = 0;
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }

    TStreamPtr Find(quint32 Handle) const
    {
        for (const TStreamPtr& S : Streams) {
            if (S->Handle == Handle) {
                return S;
            }
        }
        return {};
    }

    quint32 TakeHandle()
    {
        for (;;) {
            const quint32 Handle = NextHandle++;
            if (NextHandle == 0) {
                NextHandle = 1;
            }
            if (Handle != 0 && !Find(Handle)) {
                return Handle;
            }
        }
    }
};

TSoundEngine::TSoundEngine() : D(std::make_unique<TImpl>())
{
    const std::lock_guard Guard(SdlUsersLock);
    ++LiveEngines;
}

TSoundEngine::~TSoundEngine()
{
    Free();
    D->CloseDevice();
    {
        const std::lock_guard Guard(D->Lock);
        D->Quit = true;
    }
    D->Wake.notify_one();
    if (D->Feeder.joinable()) {
        D->Feeder.join();
    }
    D->Graveyard.clear();
    const std::lock_guard Guard(SdlUsersLock);
    if (--LiveEngines == 0 && SdlTouched) {
        SDL_Quit();
        SdlTouched = false;
    }
}

bool TSoundEngine::Init(int Device, quint32 Freq, quint32 Flags, const void* Owner)
{
    Q_UNUSED(Flags);
    Q_UNUSED(Owner);
    if (D->Initialised || Freq < MinOutputRate || Freq > MaxOutputRate || (Device != -1 && Device < 1)) {
        return false;
    }
    const int Wanted = Device == -1 ? 1 : Device;
    // The device that Free paused is taken again when it is the same and still works.
    if (D->Device != 0 && (D->OpenedDevice != Wanted || D->Rate != Freq ||
                           SDL_GetAudioDeviceStatus(D->Device) != SDL_AUDIO_PAUSED)) {
        D->CloseDevice();
    }
    if (D->Device == 0 && !D->OpenDevice(Wanted, Freq)) {
        return false;
    }
    {
        const std::lock_guard Guard(D->Lock);
        D->Mixed = 0;
    }
    D->Initialised = true;
    if (!D->Feeder.joinable()) {
        try {
            D->Feeder = std::thread([Impl = D.get()] { Impl->FeederLoop(); });
        } catch (const std::system_error&) {
            SDL_PauseAudioDevice(D->Device, 1);
            D->Initialised = false;
            return false;
        }
    }
    SDL_PauseAudioDevice(D->Device, 0);
    return true;
}

bool TSoundEngine::Free()
{
    if (!D->Initialised) {
        return false;
    }
    // Returns once no mixing runs; from then on the device plays silence.
    SDL_PauseAudioDevice(D->Device, 1);
    {
        const std::lock_guard Guard(D->Lock);
        D->Graveyard.insert(D->Graveyard.end(), D->Streams.begin(), D->Streams.end());
        D->Streams.clear();
    }
    D->Wake.notify_one();
    D->Initialised = false;
    return true;
}

bool TSoundEngine::Stop()
{
    if (!D->Initialised) {
        return false;
    }
    const std::lock_guard Guard(D->Lock);
    for (const TStreamPtr& S : D->Streams) {
        S->Playing = false;
    }
    return true;
}

quint32 TSoundEngine::StreamCreateFile(const QString& FileName)
{
    if (!D->Initialised || FileName.isEmpty()) {
        return 0;
    }
    {
        const std::lock_guard Guard(D->Lock);
        if (D->Streams.size() >= static_cast<size_t>(MaxStreams)) {
            return 0;
        }
    }
    SF_INFO Info{};
    SNDFILE* File = OpenSoundFile(FileName, Info, nullptr);
    if (File == nullptr) {
        return 0;
    }
    auto S = std::make_shared<TStream>();
    S->File = File;
    S->SourceChannels = Info.channels;
    S->SourceRate = Info.samplerate;
    S->OutputRate = static_cast<int>(D->Rate);
    S->Converter = SDL_NewAudioStream(AUDIO_F32SYS, OutChannels, Info.samplerate, AUDIO_F32SYS, OutChannels,
                                      static_cast<int>(D->Rate));
    if (S->Converter == nullptr) {
        return 0;
    }
    // About a second of output waits decoded ahead of the mixer.
    S->Capacity = D->Rate;
    S->Ring.assign(S->Capacity * OutChannels, 0.0f);

    const std::lock_guard Guard(D->Lock);
    S->Handle = D->TakeHandle();
    D->Streams.push_back(S);
    return S->Handle;
}

bool TSoundEngine::StreamPlay(quint32 Handle, bool Flush, quint32 Flags)
{
    {
        const std::lock_guard Guard(D->Lock);
        const TStreamPtr S = D->Find(Handle);
        if (!S) {
            return false;
        }
        S->Loop = (Flags & pfLoop) != 0;
        if (Flush || S->Ended) {
            ++S->Epoch;
            S->RingStart = 0;
            S->RingCount = 0;
            S->EndOfData = false;
            S->Ended = false;
        }
        S->Playing = true;
    }
    D->Wake.notify_one();
    return true;
}

bool TSoundEngine::StreamFree(quint32 Handle)
{
    {
        const std::lock_guard Guard(D->Lock);
        const auto It = std::find_if(D->Streams.begin(), D->Streams.end(),
                                     [Handle](const TStreamPtr& S) { return S->Handle == Handle; });
        if (It == D->Streams.end()) {
            return false;
        }
        D->Graveyard.push_back(*It);
        D->Streams.erase(It);
    }
    D->Wake.notify_one();
    return true;
}

bool TSoundEngine::IsInitialised() const
{
    return D->Initialised;
}

bool TSoundEngine::IsActive(quint32 Handle) const
{
    const std::lock_guard Guard(D->Lock);
    const TStreamPtr S = D->Find(Handle);
    return S && S->Playing;
}

quint64 TSoundEngine::MixedFrames() const
{
    const std::lock_guard Guard(D->Lock);
    return D->Mixed;
}

bool CanPlaySoundFile(const QString& FileName, QString* Reason)
{
    SF_INFO Info{};
    SNDFILE* File = OpenSoundFile(FileName, Info, Reason);
    if (File == nullptr) {
        return false;
    }
    // The header alone can be sound while the data is not: the first second is decoded as the
    // feeder would decode it.
    std::vector<float> Buffer(static_cast<size_t>(DecodeChunkFrames) * static_cast<size_t>(Info.channels));
    sf_count_t Left = Info.samplerate;
    bool Ok = true;
    while (Left > 0) {
        const sf_count_t Read = sf_readf_float(File, Buffer.data(), std::min<sf_count_t>(Left, DecodeChunkFrames));
        if (sf_error(File) != SF_ERR_NO_ERROR) {
            if (Reason) {
                *Reason = QString::fromUtf8(sf_strerror(File));
            }
            Ok = false;
            break;
        }
        if (Read <= 0) {
            break;
        }
        Left -= Read;
    }
    sf_close(File);
    return Ok;
}
