#include "MusicPlayer.h"

#include "SoundEngine.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "text/Paths.h"

using namespace Qt::StringLiterals;

TMusicPlayer::TMusicPlayer(ISoundEngine& Engine, const void* Owner) : FEngine(Engine), FOwner(Owner) {}

void TMusicPlayer::PlayMusic(const QString& FileName, bool Force, bool Loop)
{
    if (!Force && FileName.compare(FMusicFileName, Qt::CaseInsensitive) == 0) {
        return;
    }
    // Also ends an item's music: only one initialisation of the engine exists at a time.
    FEngine.Stop();
    FEngine.Free();
    FMusicFileName = FileName;
    if (!HasStartFlag(sfBackgroundMusic)) {
        return;
    }
    if (!FileExists(FileName)) {
        FMusicFileName.clear();
        return;
    }
    if (!FEngine.Init(OutputDevice, OutputRate, 0, nullptr)) {
        return;
    }
    // The handle is not kept: the stream ends with the next Free.
    const quint32 Handle = FEngine.StreamCreateFile(FileName);
    if (Handle != 0) {
        FEngine.StreamPlay(Handle, false, Loop ? quint32(pfPlay | pfLoop) : quint32(pfPlay));
    }
}

QString TMusicPlayer::IntroMusicFile(const QString& ProjectFolder, const IniFileStruct& Settings)
{
    const QString InMusic = PathJoin({ProjectFolder, u"Shell"_s, u"Music"_s}) + Settings.Options.IntroMusic;
    if (FileExists(InMusic)) {
        return InMusic;
    }
    return PathJoin({ProjectFolder, u"Shell"_s}) + Settings.Options.IntroMusic;
}

QString TMusicPlayer::SectionMusicFile(const QString& ProjectFolder, const QString& BackMusicFile,
                                       const IniFileStruct& Settings)
{
    QString File = ProjectFolder + BackMusicFile;
    if (!FileExists(File) && Settings.Options.IntroIfNoSMusic) {
        File = IntroMusicFile(ProjectFolder, Settings);
    }
    return FileExists(File) ? File : QString();
}

void TMusicPlayer::PlayIntroMusic(const QString& ProjectFolder, const IniFileStruct& Settings)
{
    PlayMusic(IntroMusicFile(ProjectFolder, Settings), true, true);
}

void TMusicPlayer::PlaySectionMusic(const QString& ProjectFolder, const QString& BackMusicFile,
                                    const IniFileStruct& Settings)
{
    if (FItemMusicOn) {
        return;
    }
    const QString File = SectionMusicFile(ProjectFolder, BackMusicFile, Settings);
    if (!File.isEmpty()) {
        PlayMusic(File, false, true);
    }
}

void TMusicPlayer::PlayCommand(const std::function<void()>& RunItem,
                               const std::function<void()>& ReportInitFailure)
{
    FEngine.Stop();
    FEngine.Free();
    if (FItemMusicOn) {
        // The music stopped above.
        FItemMusicOn = false;
        return;
    }
    // The next section selection or intro starts its music afresh.
    FMusicFileName.clear();
    if (!FEngine.Init(OutputDevice, OutputRate, 0, FOwner)) {
        if (ReportInitFailure) {
            ReportInitFailure();
        }
        return;
    }
    FItemMusicOn = true;
    if (RunItem) {
        RunItem();
    }
}

void TMusicPlayer::AutoPlayback(bool AutoPlaybackOn, qsizetype ActionCount,
                                const std::function<void()>& RunItem,
                                const std::function<void()>& ReportInitFailure)
{
    // The flag says whether this item's music was started: set, it would make the next press of the
    // play button only stop the music. Without it, the item selected after an automatically played
    // one would stop that music instead of playing its own; and an item with several actions (which
    // plays nothing by itself) would lose the first press, which must open its action chooser.
    FItemMusicOn = false;
    if (AutoPlaybackOn && ActionCount == 1) {
        PlayCommand(RunItem, ReportInitFailure);
    }
}

void TMusicPlayer::PlayItemMusic(const QString& FileName)
{
    FEngine.StreamFree(FItemStream);
    FItemStream = FEngine.StreamCreateFile(FileName);
    if (FItemStream != 0) {
        FEngine.StreamPlay(FItemStream, false, pfPlay);
    }
}

void TMusicPlayer::Close()
{
    FEngine.Stop();
    FEngine.StreamFree(FItemStream);
    FEngine.Free();
    FItemStream = 0;
}
