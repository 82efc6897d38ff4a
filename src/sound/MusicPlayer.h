#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class ISoundEngine;
struct IniFileStruct;

// Which music plays when: the background music of the intro and of the sections (looped), an item's
// music (once, by the play command), and releasing the engine when the main window closes. Every
// sound call goes through the engine given at construction; the player keeps the main window's
// music state. Used from the user-interface thread only.
class TMusicPlayer
{
public:
    // Device and rate every initialisation asks for.
    static constexpr int OutputDevice = 1;
    static constexpr quint32 OutputRate = 44100;

    // Owner stands for the main window; it is passed to the engine when the play command initialises
    // it (background music passes none).
    TMusicPlayer(ISoundEngine& Engine, const void* Owner);

    // The background music file now selected, also while nothing is audible; empty when the last
    // requested file did not exist or the play command took over.
    const QString& MusicFileName() const { return FMusicFileName; }
    // Set after the play command started an item's music; it keeps section music from replacing it.
    bool ItemMusicOn() const { return FItemMusicOn; }
    // The stream of the item's music step; 0 when none.
    quint32 ItemStream() const { return FItemStream; }

    // Background music. Nothing happens when FileName is the selected music (letter case aside) and
    // Force is false. Otherwise all sound stops, the engine is released, FileName is remembered and,
    // when background music is switched on in StartFlags and the file exists, it plays (looped with
    // Loop). A missing file clears MusicFileName. Failures of the engine are silent.
    void PlayMusic(const QString& FileName, bool Force, bool Loop);

    // The intro music: Shell\Music\<IntroMusic> in the project folder, or Shell\<IntroMusic> when
    // the first does not exist (returned even when it does not exist either).
    static QString IntroMusicFile(const QString& ProjectFolder, const IniFileStruct& Settings);
    // The music of a section: the project folder + BackMusicFile; when that does not exist and
    // IntroIfNoSMusic is set, the intro music. Empty when the chosen file does not exist.
    static QString SectionMusicFile(const QString& ProjectFolder, const QString& BackMusicFile,
                                    const IniFileStruct& Settings);

    // Window shown, intro command: the intro music, forced and looped.
    void PlayIntroMusic(const QString& ProjectFolder, const IniFileStruct& Settings);
    // A section (or an item of a section without a name) was selected: its music, not forced, looped;
    // nothing while ItemMusicOn is set or when no file is found (the music that plays goes on).
    void PlaySectionMusic(const QString& ProjectFolder, const QString& BackMusicFile,
                          const IniFileStruct& Settings);

    // The play command: stops all sound and releases the engine; then, when no item music was on,
    // clears MusicFileName, initialises the engine for the owner window and, on success, sets
    // ItemMusicOn and calls RunItem (which runs the item, whose music step calls PlayItemMusic); on
    // failure calls ReportInitFailure (which shows strNoSoundDevice). When item music was on, only
    // clears ItemMusicOn.
    void PlayCommand(const std::function<void()>& RunItem, const std::function<void()>& ReportInitFailure);

    // A music item was selected. With AutoPlaybackOn and exactly one action the item's music starts
    // through the play command; afterwards ItemMusicOn tells whether it started. A music item selected
    // while another plays through automatic playback starts its own music rather than stopping the
    // other, and the first press of the play button on an item that did not start by itself runs it.
    void AutoPlayback(bool AutoPlaybackOn, qsizetype ActionCount, const std::function<void()>& RunItem,
                      const std::function<void()>& ReportInitFailure);

    // The item's music step: releases the previous item stream and plays FileName once. It does not
    // initialise the engine, so it is heard only after the play command or beside background music.
    void PlayItemMusic(const QString& FileName);

    // The main window closes: stops all sound, releases the item stream and the engine.
    void Close();

private:
    ISoundEngine& FEngine;
    const void* FOwner;
    QString FMusicFileName;
    bool FItemMusicOn = false;
    quint32 FItemStream = 0;
};
