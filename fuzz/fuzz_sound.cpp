// Fuzzes the sound file loading path: the bytes are written to a file, checked as the disc checker
// checks a disc's music (its first second decoded, no device needed), then opened as a music stream
// on a silent output device and played for a moment, so that the mixer reads into them as well.

#include "SoundEngine.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

// libsndfile 1.2 refuses a malformed Ogg Vorbis file but leaves the Vorbis header it began reading
// allocated: not the program's to free (the same entry is in .ci/lsan.supp). A file the program
// forgot to close would still show, through libsndfile's own record of the open file.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:vorbis_info_init\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static QTemporaryDir Dir;
    static TSoundEngine Engine;
    static const bool Ready = Engine.Init(-1, 44100, 0, nullptr);
    if (!Ready)
        __builtin_trap();
    const QString FileName = Dir.filePath(QStringLiteral("fuzz.wav"));
    QFile File(FileName);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        File.write(reinterpret_cast<const char*>(Data), qint64(Size)) != qint64(Size))
        __builtin_trap();
    File.close();
    CanPlaySoundFile(FileName);
    const quint32 Handle = Engine.StreamCreateFile(FileName);
    if (Handle == 0)
        return 0;
    Engine.StreamPlay(Handle, true, pfPlay);
    // Long enough for the decoder to read a few chunks; not a check, only a chance to reach them.
    for (int I = 0; I < 20 && Engine.IsActive(Handle); ++I)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Engine.StreamFree(Handle);
    return 0;
}
