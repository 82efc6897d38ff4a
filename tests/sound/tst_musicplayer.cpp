#include "FakeSoundEngine.h"
#include "MusicPlayer.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Stands for the main window.
const int OwnerWindow = 0;

const QString Stop = u"Stop"_s;
const QString Free = u"Free"_s;
const QString InitBackground = u"Init 1 44100 0 0"_s;
const QString InitOwner = u"Init 1 44100 0 owner"_s;

} // namespace

class TMusicPlayerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void PlayMusic_data();
    void PlayMusic();
    void IntroMusicFile_data();
    void IntroMusicFile();
    void SectionMusic_data();
    void SectionMusic();
    void PlayCommand_data();
    void PlayCommand();
    void PlayCommandClearsMusicFileName();
    void PlayCommandRunsItemMusic();
    void ItemMusic_data();
    void ItemMusic();
    void AutoPlayback_data();
    void AutoPlayback();
    void Close_data();
    void Close();
    void NoBackgroundMusicStillPlaysItems();
    void SwitchingBackgroundMusic();
    void ItemMusicKeepsSectionsSilent();

private:
    // A file of the project folder (relative name with "/" or "\").
    void MakeFile(const QString& Name);
    // Project folder + Name; "%P" in Texts is replaced by the project folder.
    QString At(const QString& Name) const { return FFolder + Name; }
    QStringList Expand(const QStringList& Texts) const;
    void SetBackgroundMusic(bool On);
    // Makes Name the selected background music without any sound.
    void Select(const QString& FileName);
    void Press(int& Runs, int& Failures);

    std::unique_ptr<QTemporaryDir> FRoot;
    QString FFolder;
    quint8 FSavedFlags = 0;
    std::unique_ptr<TFakeSoundEngine> FFake;
    std::unique_ptr<TMusicPlayer> FPlayer;
};

void TMusicPlayerTest::init()
{
    FRoot = std::make_unique<QTemporaryDir>();
    QVERIFY(FRoot->isValid());
    FFolder = FRoot->path() + u'/';
    FSavedFlags = StartFlags;
    StartFlags = sfShowSplash | sfAnimatedCursors | sfBackgroundMusic;
    FFake = std::make_unique<TFakeSoundEngine>();
    FPlayer = std::make_unique<TMusicPlayer>(*FFake, &OwnerWindow);
}

void TMusicPlayerTest::cleanup()
{
    FPlayer.reset();
    FFake.reset();
    StartFlags = FSavedFlags;
    FRoot.reset();
}

void TMusicPlayerTest::MakeFile(const QString& Name)
{
    const QString Path = FFolder + QString(Name).replace(u'\\', u'/');
    QVERIFY(QDir().mkpath(QFileInfo(Path).path()));
    QFile File(Path);
    QVERIFY(File.open(QIODevice::WriteOnly));
}

QStringList TMusicPlayerTest::Expand(const QStringList& Texts) const
{
    QStringList Result;
    for (const QString& Text : Texts) {
        Result.append(QString(Text).replace(u"%P"_s, FFolder));
    }
    return Result;
}

void TMusicPlayerTest::SetBackgroundMusic(bool On)
{
    StartFlags = On ? (StartFlags | sfBackgroundMusic) : (StartFlags & ~sfBackgroundMusic);
}

void TMusicPlayerTest::Select(const QString& FileName)
{
    const quint8 Saved = StartFlags;
    SetBackgroundMusic(false);
    FPlayer->PlayMusic(FileName, true, true);
    StartFlags = Saved;
    FFake->Calls.clear();
}

void TMusicPlayerTest::Press(int& Runs, int& Failures)
{
    FPlayer->PlayCommand([&Runs] { ++Runs; }, [&Failures] { ++Failures; });
}

void TMusicPlayerTest::PlayMusic_data()
{
    QTest::addColumn<QString>("Previous"); // selected before; "" for none
    QTest::addColumn<bool>("Background");
    QTest::addColumn<QString>("File");
    QTest::addColumn<bool>("Force");
    QTest::addColumn<bool>("Loop");
    QTest::addColumn<QList<bool>>("InitResults");
    QTest::addColumn<QList<quint32>>("CreateResults");
    QTest::addColumn<QStringList>("Expected");
    QTest::addColumn<QString>("Selected"); // MusicFileName afterwards; "" for empty

    const QStringList Plays{Stop, Free, InitBackground, u"StreamCreateFile %Psec.mp3"_s,
                            u"StreamPlay 1 false 12"_s};
    QTest::newRow("looped") << u""_s << true << u"sec.mp3"_s << false << true << QList<bool>{}
                            << QList<quint32>{} << Plays << u"sec.mp3"_s;
    QTest::newRow("once") << u""_s << true << u"sec.mp3"_s << false << false << QList<bool>{}
                          << QList<quint32>{}
                          << QStringList{Stop, Free, InitBackground, u"StreamCreateFile %Psec.mp3"_s,
                                         u"StreamPlay 1 false 8"_s}
                          << u"sec.mp3"_s;
    QTest::newRow("the selected file in other letters is kept")
        << u"sec.mp3"_s << true << u"SEC.MP3"_s << false << true << QList<bool>{} << QList<quint32>{}
        << QStringList{} << u"sec.mp3"_s;
    QTest::newRow("the selected file forced restarts")
        << u"sec.mp3"_s << true << u"sec.mp3"_s << true << true << QList<bool>{} << QList<quint32>{} << Plays
        << u"sec.mp3"_s;
    QTest::newRow("another file") << u"intro.mp3"_s << true << u"sec.mp3"_s << false << true << QList<bool>{}
                                  << QList<quint32>{} << Plays << u"sec.mp3"_s;
    QTest::newRow("missing file") << u"sec.mp3"_s << true << u"none.mp3"_s << false << true << QList<bool>{}
                                  << QList<quint32>{} << QStringList{Stop, Free} << u""_s;
    QTest::newRow("background music off remembers the file")
        << u""_s << false << u"sec.mp3"_s << false << true << QList<bool>{} << QList<quint32>{}
        << QStringList{Stop, Free} << u"sec.mp3"_s;
    QTest::newRow("background music off remembers a missing file")
        << u""_s << false << u"none.mp3"_s << false << true << QList<bool>{} << QList<quint32>{}
        << QStringList{Stop, Free} << u"none.mp3"_s;
    QTest::newRow("no device") << u""_s << true << u"sec.mp3"_s << false << true << QList<bool>{false}
                               << QList<quint32>{} << QStringList{Stop, Free, InitBackground} << u"sec.mp3"_s;
    QTest::newRow("unplayable file") << u""_s << true << u"sec.mp3"_s << false << true << QList<bool>{}
                                     << QList<quint32>{0}
                                     << QStringList{Stop, Free, InitBackground,
                                                    u"StreamCreateFile %Psec.mp3"_s}
                                     << u"sec.mp3"_s;
}

void TMusicPlayerTest::PlayMusic()
{
    QFETCH(QString, Previous);
    QFETCH(bool, Background);
    QFETCH(QString, File);
    QFETCH(bool, Force);
    QFETCH(bool, Loop);
    QFETCH(QList<bool>, InitResults);
    QFETCH(QList<quint32>, CreateResults);
    QFETCH(QStringList, Expected);
    QFETCH(QString, Selected);

    MakeFile(u"sec.mp3"_s);
    MakeFile(u"intro.mp3"_s);
    if (!Previous.isEmpty()) {
        Select(At(Previous));
    }
    SetBackgroundMusic(Background);
    FFake->InitResults = InitResults;
    FFake->CreateResults = CreateResults;

    FPlayer->PlayMusic(At(File), Force, Loop);

    QCOMPARE(FFake->Calls, Expand(Expected));
    QCOMPARE(FPlayer->MusicFileName(), Selected.isEmpty() ? QString() : At(Selected));
}

void TMusicPlayerTest::IntroMusicFile_data()
{
    QTest::addColumn<QStringList>("Files");
    QTest::addColumn<QString>("IntroMusic");
    QTest::addColumn<QString>("Expected");

    QTest::newRow("music folder first") << QStringList{u"Shell/Music/intro.mp3"_s, u"Shell/intro.mp3"_s}
                                        << u"intro.mp3"_s << u"Shell\\Music\\intro.mp3"_s;
    QTest::newRow("shell folder") << QStringList{u"Shell/intro.mp3"_s} << u"intro.mp3"_s
                                  << u"Shell\\intro.mp3"_s;
    QTest::newRow("neither exists") << QStringList{} << u"intro.mp3"_s << u"Shell\\intro.mp3"_s;
    QTest::newRow("other letter case on disc")
        << QStringList{u"shell/music/INTRO.MP3"_s} << u"intro.mp3"_s << u"Shell\\Music\\intro.mp3"_s;
    QTest::newRow("named by the settings")
        << QStringList{u"Shell/Music/theme.ogg"_s} << u"theme.ogg"_s << u"Shell\\Music\\theme.ogg"_s;
}

void TMusicPlayerTest::IntroMusicFile()
{
    QFETCH(QStringList, Files);
    QFETCH(QString, IntroMusic);
    QFETCH(QString, Expected);

    for (const QString& File : Files) {
        MakeFile(File);
    }
    IniFileStruct Settings;
    Settings.Options.IntroMusic = IntroMusic;
    QCOMPARE(TMusicPlayer::IntroMusicFile(FFolder, Settings), At(Expected));
}

void TMusicPlayerTest::SectionMusic_data()
{
    QTest::addColumn<QStringList>("Files");
    QTest::addColumn<QString>("BackMusicFile");
    QTest::addColumn<bool>("IntroIfNoSMusic");
    QTest::addColumn<bool>("ItemMusic");
    QTest::addColumn<QString>("Previous");
    QTest::addColumn<QStringList>("Expected");

    const auto Plays = [](const QString& File) {
        return QStringList{Stop, Free, InitBackground, u"StreamCreateFile %P"_s + File,
                           u"StreamPlay 1 false 12"_s};
    };
    const QStringList Intro{u"Shell/Music/intro.mp3"_s};
    QTest::newRow("section music") << QStringList{u"Music/sec.mp3"_s, Intro[0]} << u"Music\\sec.mp3"_s << true
                                   << false << u""_s << Plays(u"Music\\sec.mp3"_s);
    QTest::newRow("missing: intro music")
        << Intro << u"Music\\sec.mp3"_s << true << false << u""_s << Plays(u"Shell\\Music\\intro.mp3"_s);
    QTest::newRow("missing: intro music of the shell folder")
        << QStringList{u"Shell/intro.mp3"_s} << u"Music\\sec.mp3"_s << true << false << u""_s
        << Plays(u"Shell\\intro.mp3"_s);
    QTest::newRow("no section music: intro music")
        << Intro << u""_s << true << false << u""_s << Plays(u"Shell\\Music\\intro.mp3"_s);
    QTest::newRow("missing, intro not wanted: music goes on")
        << Intro << u"Music\\sec.mp3"_s << false << false << u""_s << QStringList{};
    QTest::newRow("missing, no intro either: music goes on")
        << QStringList{} << u"Music\\sec.mp3"_s << true << false << u""_s << QStringList{};
    QTest::newRow("item music on") << QStringList{u"Music/sec.mp3"_s} << u"Music\\sec.mp3"_s << true << true
                                   << u""_s << QStringList{};
    QTest::newRow("the same music in other letters goes on")
        << QStringList{u"Music/sec.mp3"_s} << u"Music\\sec.mp3"_s << true << false << u"MUSIC\\Sec.mp3"_s
        << QStringList{};
    QTest::newRow("the intro music as fallback goes on")
        << Intro << u"Music\\sec.mp3"_s << true << false << u"Shell\\Music\\intro.mp3"_s << QStringList{};
}

void TMusicPlayerTest::SectionMusic()
{
    QFETCH(QStringList, Files);
    QFETCH(QString, BackMusicFile);
    QFETCH(bool, IntroIfNoSMusic);
    QFETCH(bool, ItemMusic);
    QFETCH(QString, Previous);
    QFETCH(QStringList, Expected);

    for (const QString& File : Files) {
        MakeFile(File);
    }
    if (ItemMusic) {
        FPlayer->PlayCommand({}, {});
        QVERIFY(FPlayer->ItemMusicOn());
    }
    if (!Previous.isEmpty()) {
        Select(At(Previous));
    }
    FFake->Calls.clear();
    IniFileStruct Settings;
    Settings.Options.IntroIfNoSMusic = IntroIfNoSMusic;

    FPlayer->PlaySectionMusic(FFolder, BackMusicFile, Settings);

    QCOMPARE(FFake->Calls, Expand(Expected));
}

void TMusicPlayerTest::PlayCommand_data()
{
    QTest::addColumn<QList<bool>>("InitResults");
    QTest::addColumn<int>("Presses");
    QTest::addColumn<QStringList>("Expected");
    QTest::addColumn<int>("ExpectedRuns");
    QTest::addColumn<int>("ExpectedFailures");
    QTest::addColumn<bool>("ItemMusicOn");

    QTest::newRow("starts the item") << QList<bool>{} << 1 << QStringList{Stop, Free, InitOwner} << 1 << 0
                                     << true;
    QTest::newRow("no device: message")
        << QList<bool>{false} << 1 << QStringList{Stop, Free, InitOwner} << 0 << 1 << false;
    QTest::newRow("second press stops")
        << QList<bool>{} << 2 << QStringList{Stop, Free, InitOwner, Stop, Free} << 1 << 0 << false;
    QTest::newRow("third press starts again")
        << QList<bool>{} << 3 << QStringList{Stop, Free, InitOwner, Stop, Free, Stop, Free, InitOwner} << 2
        << 0 << true;
    QTest::newRow("after a failure the next press tries again")
        << QList<bool>{false, true} << 2 << QStringList{Stop, Free, InitOwner, Stop, Free, InitOwner} << 1
        << 1 << true;
}

void TMusicPlayerTest::PlayCommand()
{
    QFETCH(QList<bool>, InitResults);
    QFETCH(int, Presses);
    QFETCH(QStringList, Expected);
    QFETCH(int, ExpectedRuns);
    QFETCH(int, ExpectedFailures);
    QFETCH(bool, ItemMusicOn);

    FFake->InitResults = InitResults;
    int Runs = 0;
    int Failures = 0;
    for (int I = 0; I < Presses; ++I) {
        Press(Runs, Failures);
    }
    QCOMPARE(FFake->Calls, Expected);
    QCOMPARE(Runs, ExpectedRuns);
    QCOMPARE(Failures, ExpectedFailures);
    QCOMPARE(FPlayer->ItemMusicOn(), ItemMusicOn);
}

void TMusicPlayerTest::PlayCommandClearsMusicFileName()
{
    MakeFile(u"sec.mp3"_s);
    FPlayer->PlayMusic(At(u"sec.mp3"_s), false, true);
    QCOMPARE(FPlayer->MusicFileName(), At(u"sec.mp3"_s));
    FFake->InitResults = {false};
    int Runs = 0;
    int Failures = 0;
    Press(Runs, Failures);
    QVERIFY(FPlayer->MusicFileName().isEmpty());

    // So the same section music starts again afterwards.
    FFake->Calls.clear();
    FPlayer->PlayMusic(At(u"sec.mp3"_s), false, true);
    QCOMPARE(FFake->Calls.size(), 5);
}

void TMusicPlayerTest::PlayCommandRunsItemMusic()
{
    FPlayer->PlayCommand([this] { FPlayer->PlayItemMusic(At(u"Music\\song.mp3"_s)); }, {});
    QCOMPARE(FFake->Calls, Expand({Stop, Free, InitOwner, u"StreamFree 0"_s,
                                   u"StreamCreateFile %PMusic\\song.mp3"_s, u"StreamPlay 1 false 8"_s}));
    QCOMPARE(FPlayer->ItemStream(), 1u);
}

void TMusicPlayerTest::ItemMusic_data()
{
    QTest::addColumn<QList<quint32>>("CreateResults");
    QTest::addColumn<int>("Steps");
    QTest::addColumn<QStringList>("Expected");
    QTest::addColumn<quint32>("ItemStream");

    const QString Create = u"StreamCreateFile %Psong.mp3"_s;
    QTest::newRow("plays once") << QList<quint32>{7} << 1
                                << QStringList{u"StreamFree 0"_s, Create, u"StreamPlay 7 false 8"_s} << 7u;
    QTest::newRow("the next step frees the stream")
        << QList<quint32>{7, 9} << 2 << QStringList{u"StreamFree 0"_s, Create, u"StreamPlay 7 false 8"_s,
                                                    u"StreamFree 7"_s, Create, u"StreamPlay 9 false 8"_s}
        << 9u;
    QTest::newRow("an unplayable file leaves no stream")
        << QList<quint32>{7, 0, 0} << 3
        << QStringList{u"StreamFree 0"_s, Create, u"StreamPlay 7 false 8"_s, u"StreamFree 7"_s, Create,
                       u"StreamFree 0"_s, Create}
        << 0u;
}

void TMusicPlayerTest::ItemMusic()
{
    QFETCH(QList<quint32>, CreateResults);
    QFETCH(int, Steps);
    QFETCH(QStringList, Expected);
    QFETCH(quint32, ItemStream);

    FFake->CreateResults = CreateResults;
    for (int I = 0; I < Steps; ++I) {
        FPlayer->PlayItemMusic(At(u"song.mp3"_s));
    }
    QCOMPARE(FFake->Calls, Expand(Expected));
    QCOMPARE(FPlayer->ItemStream(), ItemStream);
}

void TMusicPlayerTest::AutoPlayback_data()
{
    QTest::addColumn<bool>("AutoPlaybackOn");
    QTest::addColumn<int>("Actions");
    QTest::addColumn<bool>("ItemMusicBefore");
    QTest::addColumn<QList<bool>>("InitResults");
    QTest::addColumn<QStringList>("Expected");
    QTest::addColumn<int>("ExpectedRuns");
    QTest::addColumn<bool>("ItemMusicOn");

    QTest::newRow("off") << false << 1 << false << QList<bool>{} << QStringList{} << 0 << false;
    QTest::newRow("off clears item music")
        << false << 1 << true << QList<bool>{} << QStringList{} << 0 << false;
    QTest::newRow("one action plays")
        << true << 1 << false << QList<bool>{} << QStringList{Stop, Free, InitOwner} << 1 << true;
    // An item that plays nothing by itself leaves the flag clear, so that the first press of the
    // play button runs it instead of only stopping the music.
    QTest::newRow("two actions: nothing starts")
        << true << 2 << false << QList<bool>{} << QStringList{} << 0 << false;
    QTest::newRow("two actions after automatic music")
        << true << 2 << true << QList<bool>{} << QStringList{} << 0 << false;
    QTest::newRow("no action: nothing starts")
        << true << 0 << false << QList<bool>{} << QStringList{} << 0 << false;
    QTest::newRow("a second item plays its own music")
        << true << 1 << true << QList<bool>{} << QStringList{Stop, Free, InitOwner} << 1 << true;
    QTest::newRow("no device") << true << 1 << false << QList<bool>{false}
                               << QStringList{Stop, Free, InitOwner} << 0 << false;
}

void TMusicPlayerTest::AutoPlayback()
{
    QFETCH(bool, AutoPlaybackOn);
    QFETCH(int, Actions);
    QFETCH(bool, ItemMusicBefore);
    QFETCH(QList<bool>, InitResults);
    QFETCH(QStringList, Expected);
    QFETCH(int, ExpectedRuns);
    QFETCH(bool, ItemMusicOn);

    if (ItemMusicBefore) {
        FPlayer->PlayCommand({}, {});
        QVERIFY(FPlayer->ItemMusicOn());
        FFake->Calls.clear();
    }
    FFake->InitResults = InitResults;
    int Runs = 0;
    int Failures = 0;
    FPlayer->AutoPlayback(
        AutoPlaybackOn, Actions, [&Runs] { ++Runs; }, [&Failures] { ++Failures; });

    QCOMPARE(FFake->Calls, Expected);
    QCOMPARE(Runs, ExpectedRuns);
    QCOMPARE(Failures, InitResults.contains(false) ? 1 : 0);
    QCOMPARE(FPlayer->ItemMusicOn(), ItemMusicOn);
    // The next press of the play button stops this item's music, or else runs the item.
    FFake->InitResults.clear();
    Press(Runs, Failures);
    QCOMPARE(Runs, ExpectedRuns + (ItemMusicOn ? 0 : 1));
}

void TMusicPlayerTest::Close_data()
{
    QTest::addColumn<bool>("ItemPlayed");
    QTest::addColumn<QStringList>("Expected");

    QTest::newRow("no item music") << false << QStringList{Stop, u"StreamFree 0"_s, Free};
    QTest::newRow("item music") << true << QStringList{Stop, u"StreamFree 4"_s, Free};
}

void TMusicPlayerTest::Close()
{
    QFETCH(bool, ItemPlayed);
    QFETCH(QStringList, Expected);

    if (ItemPlayed) {
        FFake->CreateResults = {4};
        FPlayer->PlayItemMusic(At(u"song.mp3"_s));
        FFake->Calls.clear();
    }
    FPlayer->Close();
    QCOMPARE(FFake->Calls, Expected);
    QCOMPARE(FPlayer->ItemStream(), 0u);
}

void TMusicPlayerTest::NoBackgroundMusicStillPlaysItems()
{
    MakeFile(u"Shell/Music/intro.mp3"_s);
    MakeFile(u"sec.mp3"_s);
    SetBackgroundMusic(false);
    const IniFileStruct Settings;

    FPlayer->PlayIntroMusic(FFolder, Settings);
    FPlayer->PlaySectionMusic(FFolder, u"sec.mp3"_s, Settings);
    QCOMPARE(FFake->Calls, (QStringList{Stop, Free, Stop, Free}));

    FFake->Calls.clear();
    FPlayer->PlayCommand([this] { FPlayer->PlayItemMusic(At(u"song.mp3"_s)); }, {});
    QCOMPARE(FFake->Calls, Expand({Stop, Free, InitOwner, u"StreamFree 0"_s, u"StreamCreateFile %Psong.mp3"_s,
                                   u"StreamPlay 1 false 8"_s}));
}

void TMusicPlayerTest::SwitchingBackgroundMusic()
{
    MakeFile(u"Shell/Music/intro.mp3"_s);
    const IniFileStruct Settings;
    FPlayer->PlayIntroMusic(FFolder, Settings);
    FPlayer->PlayItemMusic(At(u"song.mp3"_s)); // heard beside the background music
    FFake->Calls.clear();

    // Off: everything stops, the item's music too; the file stays selected.
    SetBackgroundMusic(false);
    FPlayer->PlayMusic(FPlayer->MusicFileName(), true, true);
    QCOMPARE(FFake->Calls, (QStringList{Stop, Free}));
    QCOMPARE(FPlayer->MusicFileName(), At(u"Shell\\Music\\intro.mp3"_s));

    // On again: the remembered music from its beginning.
    FFake->Calls.clear();
    SetBackgroundMusic(true);
    FPlayer->PlayMusic(FPlayer->MusicFileName(), true, true);
    QCOMPARE(FFake->Calls,
             Expand({Stop, Free, InitBackground, u"StreamCreateFile %PShell\\Music\\intro.mp3"_s,
                     u"StreamPlay 3 false 12"_s}));
}

void TMusicPlayerTest::ItemMusicKeepsSectionsSilent()
{
    MakeFile(u"Shell/Music/intro.mp3"_s);
    MakeFile(u"sec.mp3"_s);
    const IniFileStruct Settings;
    int Runs = 0;
    int Failures = 0;
    Press(Runs, Failures);
    QVERIFY(FPlayer->ItemMusicOn());

    FFake->Calls.clear();
    FPlayer->PlaySectionMusic(FFolder, u"sec.mp3"_s, Settings);
    QVERIFY(FFake->Calls.isEmpty());

    // The intro command plays in any case; item music stays on.
    FPlayer->PlayIntroMusic(FFolder, Settings);
    QCOMPARE(FFake->Calls,
             Expand({Stop, Free, InitBackground, u"StreamCreateFile %PShell\\Music\\intro.mp3"_s,
                     u"StreamPlay 1 false 12"_s}));
    QVERIFY(FPlayer->ItemMusicOn());

    // The play command switches item music off; sections have their music again.
    Press(Runs, Failures);
    QVERIFY(!FPlayer->ItemMusicOn());
    FFake->Calls.clear();
    FPlayer->PlaySectionMusic(FFolder, u"sec.mp3"_s, Settings);
    QCOMPARE(FFake->Calls, Expand({Stop, Free, InitBackground, u"StreamCreateFile %Psec.mp3"_s,
                                   u"StreamPlay 2 false 12"_s}));
}

QTEST_GUILESS_MAIN(TMusicPlayerTest)
#include "tst_musicplayer.moc"
