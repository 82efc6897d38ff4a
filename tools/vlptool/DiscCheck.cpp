#include "DiscCheck.h"

#include "AboutForm.h"
#include "BrowseForm.h"
#include "ControlStrings.h"
#include "CursorFile.h"
#include "CursorSlots.h"
#include "FakeMessageService.h"
#include "FakeSoundEngine.h"
#include "Form.h"
#include "Graphic.h"
#include "LoadProject.h"
#include "MainForm.h"
#include "MemoryTuning.h"
#include "MusicPlayer.h"
#include "SoundEngine.h"
#include "SplashForm.h"
#include "StartRule.h"
#include "Startup.h"
#include "config/ControlsProps.h"
#include "config/DesignSettings.h"
#include "config/IniFile.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/Paths.h"
#include "version/VersionInfo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QSet>

#include <algorithm>
#include <functional>
#include <mutex>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// What the program does with a file a place names, and so how it is checked.
enum class TUse
{
    Exists,  // only read or copied
    Folder,  // a folder
    Picture, // decoded by the picture layer
    Cursor,  // decoded as a cursor
    Sound,   // played by the sound engine
    Text     // shown by the reader (or the history page)
};

// A project path as the program finds it.
struct TResolved
{
    QString Native;
    bool File = false;
    bool Folder = false;
    bool CaseDiffers = false; // found only under another letter case
};

// A picture one of the windows loaded while it was built, and what came of it.
struct TWindowLoad
{
    QString File;
    QString Error;
    QString Window;
};

// A problem as a check found it, to be reported again, with the same field, at every further place
// that names the same thing.
struct TFinding
{
    TSeverity Severity;
    TProblemKind Kind;
    QString File;
    QString Message;
    QString Field;
    int Index;
};
using TMemo = QHash<QString, QList<TFinding>>;

constexpr quint16 LangEnglish = 0x0409;

// Edit distance, for "did you mean" hints on misspelt keys.
int Distance(const QString& A, const QString& B)
{
    QList<int> Row(B.size() + 1);
    for (qsizetype J = 0; J <= B.size(); ++J) {
        Row[J] = int(J);
    }
    for (qsizetype I = 1; I <= A.size(); ++I) {
        int Diagonal = Row[0];
        Row[0] = int(I);
        for (qsizetype J = 1; J <= B.size(); ++J) {
            const int Above = Row[J];
            const bool Same = A[I - 1].toCaseFolded() == B[J - 1].toCaseFolded();
            Row[J] = std::min({Row[J] + 1, Row[J - 1] + 1, Diagonal + (Same ? 0 : 1)});
            Diagonal = Above;
        }
    }
    return Row[B.size()];
}

QString Suggestion(const QString& Written, const QStringList& Known)
{
    QString Best;
    int BestDistance = 3;
    for (const QString& Name : Known) {
        if (const int D = Distance(Written, Name); D < BestDistance) {
            Best = Name;
            BestDistance = D;
        }
    }
    return Best.isEmpty() ? QString() : u" (did you mean %1?)"_s.arg(Best);
}

// The controls "controls.ini" reaches below Object, by case-folded name, visited as the container
// visits them: a non-control is passed over with everything below it.
void CollectControls(QObject* Object, QHash<QString, QList<QObject*>>& Named)
{
    if (!TControlsPropsContainer::IsControl(Object)) {
        return;
    }
    if (!Object->objectName().isEmpty()) {
        Named[Object->objectName().toCaseFolded()].append(Object);
    }
    for (QObject* Child : Object->children()) {
        CollectControls(Child, Named);
    }
}

class TDiscChecker
{
public:
    TDiscChecker(const TCheckOptions& Options, TCheckResult& Result) : FOptions(Options), FResult(Result) {}

    void Run();

private:
    // Loading, as start-up does it.
    bool Load();
    // shell.ini: keys nothing reads and values that cannot be read.
    void CheckSettings(const TIniFile& Ini);
    // The files shell.ini names.
    void CheckSkinFiles(const TIniFile& Ini);
    // The windows, built as autorun builds them, with controls.ini applied; the pictures they load.
    void CheckWindows();
    // BuildSplash builds the splash window when a section names a control the main window lacks.
    void CheckControls(QObject* MainWindow, const std::function<QObject*()>& BuildSplash);
    void CheckProject();
    void CheckStep(const TShellAction& Step, const TPlace& Place);
    void CheckCopyRule(const TCopyRule& Rule, const TPlace& Place);
    void CheckProgram(const TResolved& File, const TPlace& Place);
    void CheckDocument(const TResolved& File, const TPlace& Place);

    TResolved Resolve(const QString& Path);
    // Checks the file Path names for Use; false when it is not there. A missing file is reported
    // unless ReportMissing is false (a default name the program does without).
    bool CheckPath(const QString& Path, TUse Use, const TPlace& Place, bool ReportMissing = true,
                   TResolved* Found = nullptr);
    QString DecodeError(const QString& Native, TUse Use, TProblemKind& Kind);
    TStartDecision Decision(bool ProgramStep, const QString& Native);
    bool IsProgram(const QString& Native);

    void Report(TSeverity Severity, TProblemKind Kind, const QString& File, const QString& Message,
                const TPlace& Place);
    // Runs Check once per Key; later calls with the same key report its findings at their Place.
    // Thousands of items name the same few files; this keeps their check to one lookup each.
    template <typename TCheck> void Memoized(TMemo& Memo, const QString& Key, const TPlace& Place, TCheck&& Check);
    QString Display(const QString& Native) const;
    QString DisplayPath(const QString& Path) { return Display(Resolve(Path).Native); }

    const TCheckOptions& FOptions;
    TCheckResult& FResult;
    QString FDiscNative;
    QHash<QString, TResolved> FResolved;
    QHash<QString, qsizetype> FProblemIndex;
    QHash<QString, QString> FDecodeErrors[int(TUse::Text) + 1];
    QHash<QString, TProblemKind> FDecodeKinds;
    QHash<QString, TStartDecision> FDecisions[2];
    QHash<QString, bool> FPrograms;
    QSet<QString> FSeenNative;
    QList<TWindowLoad> FWindowLoads;
    QList<TFinding>* FCapture = nullptr;
    TMemo FScreenshotMemo;
    TMemo FOpenMemo[otFolder + 1];
    TMemo FRunMemo;
};

void TDiscChecker::Run()
{
    if (!Load()) {
        return;
    }
    TIniFile Ini;
    const QString SettingsFile = ShellFolder() + u"shell.ini"_s;
    if (CheckPath(SettingsFile, TUse::Exists, {TPlace::InWindow, -1, -1, -1, -1, -1, u"the program"_s, 0}, false)) {
        if (Ini.LoadFromFile(SettingsFile)) {
            CheckSettings(Ini);
        } else {
            Report(TSeverity::Error, TProblemKind::Unreadable, DisplayPath(SettingsFile),
                   u"cannot be read: every setting takes its default"_s, {TPlace::InWindow, -1, -1, -1, -1, -1,
                                                                        u"the program"_s, 0});
        }
    }
    // The windows first: the pictures they decode need not be decoded again.
    CheckWindows();
    CheckSkinFiles(Ini);
    CheckProject();

    // Pictures the windows load by names of their own (toolbar, buttons, logo) that shell.ini does
    // not name.
    QSet<QString> Reported;
    for (const TWindowLoad& Load : std::as_const(FWindowLoads)) {
        const QString File = DisplayPath(Load.File);
        if (!Load.Error.isEmpty() && !Reported.contains(Load.Window + u'\n' + File)) {
            Reported.insert(Load.Window + u'\n' + File);
            Report(TSeverity::Error, TProblemKind::Undecodable, File, Load.Error,
                   {TPlace::InWindow, -1, -1, -1, -1, -1, u"the skin of "_s + Load.Window, 0});
        }
    }
    FResult.FilesChecked = int(FSeenNative.size());
}

bool TDiscChecker::Load()
{
    const QFileInfo Disc(FOptions.Disc);
    FResult.Disc = QDir::toNativeSeparators(FOptions.Disc);
    if (!Disc.isDir()) {
        FResult.LoadError = u"%1 is not a folder"_s.arg(FResult.Disc);
        return false;
    }
    // Start-up's order: the language list and English texts (the loader's messages), the disc root,
    // the program's version, the design settings, the structure file.
    static const bool LanguageReady = [] {
        InitLanguageUnit();
        SelectLanguage(LangEnglish);
        return true;
    }();
    Q_UNUSED(LanguageReady);
    const QString Program = QCoreApplication::applicationFilePath();
    ProgramFolder = DiscRootFor({Program, Disc.absoluteFilePath()}, Program);
    FDiscNative = QDir::cleanPath(ProgramFolder);
    StartFlags = sfShowSplash | sfAnimatedCursors | sfBackgroundMusic;
    LoadFailed = false;

    FResult.Project = std::make_unique<TVeltraneProject>();
    Project = FResult.Project.get();
    TVersionInfo Version;
    GetVersionInfo(Version);
    Project->ProgramVersion = {quint8(Version.Major), quint8(Version.Minor), quint8(Version.Release)};

    ReadDesignSettings(ShellFolder() + u"shell.ini"_s);
    ProjectFilePath = FindProjectFile();
    FResult.ProjectFile = DisplayPath(ProjectFilePath);
    if (!FileExists(ProjectFilePath)) {
        FResult.LoadError = u"no structure file: neither %1 nor %2 nor %3 exists"_s.arg(
            DisplayPath(ShellFolder() + DesignSettings.Options.ProjectName),
            DisplayPath(ShellFolder() + u"veltrane.vlp"_s), FResult.ProjectFile);
        Project = nullptr;
        return false;
    }
    ReserveHeapForLoad(HeapForProjectFile(QFileInfo(NativePath(ProjectFilePath)).size()));

    // The loader's own messages say what went wrong; they are kept instead of shown.
    TRecordingMessages Messages;
    SetMessageService(&Messages);
    LoadProject(ProjectFilePath);
    SetMessageService(nullptr);
    if (LoadFailed) {
        QStringList Why;
        for (const TRecordingMessages::TBox& Box : std::as_const(Messages.Boxes)) {
            Why.append(QString(Box.Text).replace(u'\r', u' ').simplified());
        }
        if (!Project->LastError.isEmpty()) {
            Why.append(Project->LastError);
        }
        FResult.LoadError = u"%1 cannot be loaded: %2"_s.arg(FResult.ProjectFile, Why.join(u"; "_s));
        Project = nullptr;
        return false;
    }
    FResult.Loaded = true;
    // The case of the structure file's own name.
    CheckPath(ProjectFilePath, TUse::Exists, {TPlace::InWindow, -1, -1, -1, -1, -1, u"the program"_s, 0});
    return true;
}

void TDiscChecker::CheckSettings(const TIniFile& Ini)
{
    const QList<TDesignKey> Known = DesignSettingKeys();
    QHash<QString, QHash<QString, const TDesignKey*>> BySection;
    QStringList SectionNames;
    for (const TDesignKey& Key : Known) {
        auto& Keys = BySection[Key.Section.toCaseFolded()];
        if (Keys.isEmpty()) {
            SectionNames.append(Key.Section);
        }
        Keys.insert(Key.Key.toCaseFolded(), &Key);
    }
    const QString File = DisplayPath(ShellFolder() + u"shell.ini"_s);
    for (const QString& Section : Ini.ReadSections()) {
        const auto Keys = BySection.constFind(Section.toCaseFolded());
        const TPlace SectionPlace{TPlace::InSettings, -1, -1, -1, -1, -1, u'[' + Section + u']', 0};
        if (Keys == BySection.cend()) {
            Report(TSeverity::Warning, TProblemKind::UnknownSetting, File,
                   u"section [%1] is not read by the program%2"_s.arg(Section, Suggestion(Section, SectionNames)),
                   SectionPlace);
            continue;
        }
        QStringList KeyNames;
        for (const TDesignKey* Key : *Keys) {
            KeyNames.append(Key->Key);
        }
        KeyNames.sort();
        for (const auto& [Key, Value] : Ini.ReadSectionValues(Section)) {
            const TPlace Place{TPlace::InSettings, -1, -1, -1, -1, -1, u"[%1] %2"_s.arg(Section, Key), 0};
            const TDesignKey* Setting = Keys->value(Key.toCaseFolded());
            if (!Setting) {
                Report(TSeverity::Warning, TProblemKind::UnknownSetting, File,
                       u"[%1] %2 is not a setting the program reads%3"_s.arg(Section, Key,
                                                                             Suggestion(Key, KeyNames)),
                       Place);
                continue;
            }
            qint32 Number = 0;
            quint32 Color = 0;
            switch (Setting->Kind) {
            case TDesignValueKind::Integer:
            case TDesignValueKind::Boolean:
                if (!TryStrToInt(Value, Number)) {
                    const QString Expected = Setting->Kind == TDesignValueKind::Boolean
                                                 ? u"a number (0 for no, 1 for yes)"_s
                                                 : u"a number"_s;
                    Report(TSeverity::Error, TProblemKind::BadValue, File,
                           u"[%1] %2=%3 is not %4: the default %5 applies"_s.arg(Section, Key, Value, Expected,
                                                                                 Setting->Default),
                           Place);
                }
                break;
            case TDesignValueKind::Color:
                if (!TryParseColor(Value, Color)) {
                    Report(TSeverity::Error, TProblemKind::BadValue, File,
                           u"[%1] %2=%3 is not a colour ($BBGGRR or #RRGGBB): black is used"_s.arg(Section, Key,
                                                                                                   Value),
                           Place);
                }
                break;
            case TDesignValueKind::Text:
            case TDesignValueKind::Folder:
                break;
            }
        }
    }
}

void TDiscChecker::CheckSkinFiles(const TIniFile& Ini)
{
    // Each key that names a file, with the folder the program takes it from.
    enum TFolder
    {
        InShell,
        InImages,
        InButtons,
        InCursors,
        History,
        IntroMusic,
        Splash
    };
    struct TSkinKey
    {
        QString Section;
        QString Key;
        TUse Use;
        TFolder Folder;
    };
    const QList<TSkinKey> Keys{
        {u"Options"_s, u"ProjectName"_s, TUse::Exists, InShell},
        {u"Options"_s, u"Version"_s, TUse::Text, History},
        {u"Options"_s, u"IntroMusic"_s, TUse::Sound, IntroMusic},
        {u"Images"_s, u"Splash"_s, TUse::Picture, Splash},
        {u"Images"_s, u"Title"_s, TUse::Picture, InImages},
        {u"Images"_s, u"AppIcon"_s, TUse::Picture, InImages},
        {u"Images"_s, u"CloseBtn"_s, TUse::Picture, InButtons},
        {u"Images"_s, u"CloseBtn_HighLight"_s, TUse::Picture, InButtons},
        {u"Images"_s, u"MinimizeBtn"_s, TUse::Picture, InButtons},
        {u"Images"_s, u"MinimizeBtn_HighLight"_s, TUse::Picture, InButtons},
        {u"Images"_s, u"TabImage"_s, TUse::Picture, InImages},
        {u"Images"_s, u"FocusedTabImage"_s, TUse::Picture, InImages},
        {u"Images"_s, u"Wallpaper"_s, TUse::Picture, InImages},
        {u"Images"_s, u"OptionsScreen"_s, TUse::Picture, InImages},
        {u"Cursors"_s, u"crDefault"_s, TUse::Cursor, InCursors},
        {u"Cursors"_s, u"crPen"_s, TUse::Cursor, InCursors},
        {u"Cursors"_s, u"crHandPoint"_s, TUse::Cursor, InCursors},
        {u"Cursors"_s, u"crHelp"_s, TUse::Cursor, InCursors},
        {u"Cursors"_s, u"crIBeam"_s, TUse::Cursor, InCursors},
        {u"Cursors"_s, u"crBusy"_s, TUse::Cursor, InCursors},
    };
    QHash<QString, QString> Defaults;
    for (const TDesignKey& Key : DesignSettingKeys()) {
        Defaults.insert(Key.Section + u'/' + Key.Key, Key.Default);
    }
    for (const TSkinKey& Key : Keys) {
        const QString Name = Ini.ReadString(Key.Section, Key.Key, Defaults.value(Key.Section + u'/' + Key.Key));
        if (Name.isEmpty()) {
            continue;
        }
        QString Path;
        switch (Key.Folder) {
        case InShell:
            Path = ShellFolder() + Name;
            break;
        case InImages:
            Path = TMainF::ImagesFolder() + Name;
            break;
        case InButtons:
            Path = TMainF::ButtonsFolder() + Name;
            break;
        case InCursors:
            Path = CursorFolder() + Name;
            break;
        case History:
            Path = TAboutF::HistoryFileName();
            break;
        case IntroMusic:
            Path = TMusicPlayer::IntroMusicFile(Project->Folder, DesignSettings);
            break;
        case Splash:
            // The skin's splash picture, shown when the project names none of its own.
            Path = TMainF::ImagesFolder() + Name;
            break;
        }
        // A default name that is not there is no fault: the program does without it.
        const bool Named = Ini.ValueExists(Key.Section, Key.Key);
        const TPlace Place{TPlace::InSettings, -1,         -1, -1, -1, -1,
                           u"[%1] %2"_s.arg(Key.Section, Key.Key) + (Named ? QString() : u" (default)"_s),
                           0};
        CheckPath(Path, Key.Use, Place, Named);
    }
}

void TDiscChecker::CheckWindows()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return;
    }
    const IniFileStruct Settings = DesignSettings;
    const quint8 Flags = StartFlags;
    TVeltraneProject* const Loaded = Project;

    std::mutex Lock;
    QString Window;
    SetGraphicLoadObserver([&](const QString& File, const QString& Error) {
        const std::lock_guard Guard(Lock);
        FWindowLoads.append({File, Error, Window});
    });

    // The windows with an empty project: its tree is not needed, only the skin and the named
    // controls. No splash, sound, cursors or watching.
    TVeltraneProject Empty;
    Project = &Empty;
    const QString ProjectFile = ProjectFilePath;
    ProjectFilePath.clear();
    StartFlags = 0;
    {
        TFakeSoundEngine Sound;
        TMainFEnvironment Environment;
        Environment.SoundEngine = &Sound;
        Environment.ShowSplash = [](quint16, const QString&) { return false; };
        Environment.ControlsWatcher = TControlsPropsContainer::TWatcherFactory();
        Window = u"the main window"_s;
        TMainF MainF(Environment);
        Window = u"the about window"_s;
        TAboutF AboutF;
        Window = u"the copy window"_s;
        TBrowseFEnvironment BrowseEnvironment;
        BrowseEnvironment.ImagesFolder = TMainF::ImagesFolder();
        TBrowseF BrowseF(BrowseEnvironment);

        // The splash only when controls.ini names a control the main window lacks: it is built with
        // the loaded project, whose author lines are controls too.
        const auto BuildSplash = [&]() -> QObject* {
            Window = u"the splash"_s;
            Project = Loaded;
            DesignSettings = Settings;
            const QString Picture = ChooseSplashPicture(Project, DesignSettings, ProgramFolder);
            if (FileExists(Picture)) {
                ShowSplashWindow(0, Picture);
            }
            Project = &Empty;
            return SplashForm;
        };
        CheckControls(&MainF, BuildSplash);
        SetGraphicLoadObserver({});
        CloseSplash();
    }
    Project = Loaded;
    ProjectFilePath = ProjectFile;
    DesignSettings = Settings;
    StartFlags = Flags;
    LoadFailed = false;

    // What the windows decoded need not be decoded again; what failed is reported by the files'
    // own checks where shell.ini names them, and as a skin picture otherwise.
    for (const TWindowLoad& Load : std::as_const(FWindowLoads)) {
        const QString Native = Resolve(Load.File).Native;
        FDecodeErrors[int(TUse::Picture)].insert(Native, Load.Error);
        FDecodeKinds.insert(Native, TProblemKind::Undecodable);
    }
}

void TDiscChecker::CheckControls(QObject* MainWindow, const std::function<QObject*()>& BuildSplash)
{
    const QString FileName = ShellFolder() + u"controls.ini"_s;
    const TPlace FilePlace{TPlace::InWindow, -1, -1, -1, -1, -1, u"the program"_s, 0};
    if (!CheckPath(FileName, TUse::Exists, FilePlace, false)) {
        return;
    }
    const QString File = DisplayPath(FileName);
    TControlsPropsContainer Container;
    Container.LoadFromFile(FileName);
    if (!Container.LoadError().isEmpty()) {
        Report(TSeverity::Error, TProblemKind::Unreadable, File, Container.LoadError(), FilePlace);
    }
    QHash<QString, QList<QObject*>> Named;
    CollectControls(MainWindow, Named);
    bool SplashBuilt = false;
    // The splash's controls join once a line finds nothing to take it in the main window.
    const auto AddSplash = [&] {
        if (SplashBuilt) {
            return false;
        }
        SplashBuilt = true;
        if (QObject* Splash = BuildSplash()) {
            CollectControls(Splash, Named);
        }
        return true;
    };
    using TSetResult = TControlsPropsContainer::TSetResult;
    for (const QString& Section : Container.Sections()) {
        const QList<TControlsPropsContainer::TValueLine> Lines = Container.SectionValues(Section);
        const QString Key = Section.toCaseFolded();
        if (!Named.contains(Key)) {
            AddSplash();
        }
        if (!Named.contains(Key)) {
            Report(TSeverity::Warning, TProblemKind::ControlsIgnored, File,
                   u"[%1] names no control of the main window or the splash: its lines change nothing"_s.arg(
                       Section),
                   {TPlace::InControls, -1, -1, -1, -1, -1, {}, Lines.isEmpty() ? 0 : Lines.first().Line});
            continue;
        }
        for (const TControlsPropsContainer::TValueLine& Line : Lines) {
            // The main window reads this key itself; it is no property.
            if (Section.compare(u"ProjectTree"_s, Qt::CaseInsensitive) == 0 &&
                Line.Path.compare(u"RoundedCornersValue"_s, Qt::CaseInsensitive) == 0) {
                continue;
            }
            TSetResult Best = TSetResult::Skipped;
            QString Why;
            const auto SetOnControls = [&] {
                for (QObject* Control : Named.value(Key)) {
                    QString Message;
                    const TSetResult Result = Container.SetProperty(Control, Line.Path, Line.Value, &Message);
                    if (Result == TSetResult::Assigned) {
                        Best = Result;
                        return;
                    }
                    if (Result == TSetResult::Failed || Why.isEmpty()) {
                        Why = Message;
                    }
                    if (Result == TSetResult::Failed) {
                        Best = Result;
                    }
                }
            };
            SetOnControls();
            if (Best != TSetResult::Assigned && AddSplash()) {
                SetOnControls();
            }
            const TPlace Place{TPlace::InControls, -1, -1, -1, -1, -1, {}, Line.Line};
            const QString Written = u"[%1] %2=%3"_s.arg(Section, Line.Path, Line.Value);
            if (Best == TSetResult::Failed) {
                Report(TSeverity::Error, TProblemKind::ControlsLine, File, Written + u" fails: "_s + Why, Place);
            } else if (Best == TSetResult::Skipped) {
                Report(TSeverity::Warning, TProblemKind::ControlsIgnored, File, Written + u" is ignored: "_s + Why,
                       Place);
            }
        }
    }
}

void TDiscChecker::CheckProject()
{
    const QString& Folder = Project->Folder;
    if (!Resolve(Folder).Folder) {
        Report(TSeverity::Error, TProblemKind::Missing, DisplayPath(Folder),
               u"the project's folder does not exist: every file of the project is looked for in it"_s,
               {TPlace::InProject, -1, -1, -1, -1, -1, u"Folder"_s, 0});
    }
    if (!Project->SplashScreen.ImageFileName.isEmpty()) {
        CheckPath(Folder + Project->SplashScreen.ImageFileName, TUse::Picture,
                  {TPlace::InProject, -1, -1, -1, -1, -1, u"splash picture (SplashScreen.ImageFileName)"_s, 0});
    }
    // As the galleries and the viewer take them.
    const QString ScreenshotFolder = PathJoin({Folder});
    const auto CheckScreenshots = [&](const TScreenshots& Shots, TPlace Place) {
        Place.Field = u"screenshot"_s;
        for (int I = 0; I < Shots.Count(); ++I) {
            if (const QString& Name = Shots.Items(I).FileName; !Name.isEmpty()) {
                Place.Index = I;
                Memoized(FScreenshotMemo, Name, Place,
                         [&] { CheckPath(ScreenshotFolder + Name, TUse::Picture, Place); });
            }
        }
    };
    const TSections& Sections = Project->Sections;
    FResult.Sections = Sections.Count();
    for (int S = 0; S < Sections.Count(); ++S) {
        const TSection& Section = Sections.Items(S);
        TPlace Place{TPlace::InSection, S, -1, -1, -1, -1, {}, 0};
        if (!Section.WallpaperFile.isEmpty()) {
            Place.Field = u"WallpaperFile"_s;
            CheckPath(Folder + Section.WallpaperFile, TUse::Picture, Place);
        }
        if (!Section.BackMusicFile.isEmpty()) {
            Place.Field = u"BackMusicFile"_s;
            CheckPath(Folder + Section.BackMusicFile, TUse::Sound, Place);
        }
        CheckScreenshots(Section.Screenshots, Place);
        const TSItems& Items = Section.SItems;
        FResult.Items += Items.Count();
        for (int I = 0; I < Items.Count(); ++I) {
            const TItem& Item = Items.Items(I);
            TPlace ItemPlace{TPlace::InItem, S, I, -1, -1, -1, {}, 0};
            CheckScreenshots(Item.Screenshots, ItemPlace);
            // The copy button is off unless the rules are enabled; then each enabled rule counts.
            if (Item.CopyRules.Enabled) {
                ItemPlace.Field = u"copy rule"_s;
                for (int R = 0; R < Item.CopyRules.Count(); ++R) {
                    ItemPlace.Index = R;
                    CheckCopyRule(Item.CopyRules.Items(R), ItemPlace);
                }
            }
            const TItemActions& Actions = Item.ItemActions;
            for (int A = 0; A < Actions.Count(); ++A) {
                const TShellActions& Steps = Actions.Items(A).ShellActions;
                FResult.Steps += Steps.Count();
                for (int St = 0; St < Steps.Count(); ++St) {
                    const TShellAction& Step = Steps.Items(St);
                    const TPlace Place{TPlace::InStep, S, I, A, St, -1, {}, 0};
                    switch (Step.ShellActionType) {
                    case atShowMessage:
                        break;
                    case atOpenObject:
                        Memoized(FOpenMemo[Step.ObjectType], Step.OpenObject, Place,
                                 [&] { CheckStep(Step, Place); });
                        break;
                    case atExecute:
                    case atInstall:
                        Memoized(FRunMemo,
                                 (Step.CheckAssociation ? u"1"_s : u"0"_s) + Step.OpenObject + u'\n' + Step.AppFile,
                                 Place, [&] { CheckStep(Step, Place); });
                        break;
                    case atPrecopyFiles:
                        CheckStep(Step, Place);
                        break;
                    }
                }
            }
        }
    }
}

void TDiscChecker::CheckStep(const TShellAction& Step, const TPlace& StepPlace)
{
    const QString& Folder = Project->Folder;
    TPlace Place = StepPlace;
    Place.Field = u"OpenObject"_s;
    const QString FullPath = Folder + Step.OpenObject;
    TResolved Found;
    switch (Step.ShellActionType) {
    case atShowMessage:
        return;
    case atOpenObject:
        switch (Step.ObjectType) {
        case otFolder:
            // An empty name opens the project's folder itself.
            if (!Step.OpenObject.isEmpty()) {
                CheckPath(FullPath, TUse::Folder, Place);
            }
            return;
        case otImage:
            // A picture step without a name is passed over in silence, as the run does.
            if (!Step.OpenObject.isEmpty()) {
                CheckPath(FullPath, TUse::Picture, Place);
            }
            return;
        case otMusic:
            CheckPath(FullPath, TUse::Sound, Place);
            return;
        case otText:
            CheckPath(FullPath, TUse::Text, Place);
            return;
        case otFile:
            if (CheckPath(FullPath, TUse::Exists, Place, true, &Found)) {
                CheckDocument(Found, Place);
            }
            return;
        case otExecutable:
            if (CheckPath(FullPath, TUse::Exists, Place, true, &Found)) {
                CheckProgram(Found, Place);
            }
            return;
        }
        return;
    case atExecute:
    case atInstall: {
        if (!CheckPath(FullPath, TUse::Exists, Place, true, &Found)) {
            return;
        }
        // The object by its own means first; the application only when nothing starts it.
        if (Step.CheckAssociation && Decision(true, Found.Native).Way != TStartWay::Nothing) {
            return;
        }
        if (Step.AppFile.isEmpty()) {
            const QString Why = Step.CheckAssociation
                                    ? u"is no program, nothing here opens its type (%1), and the step names "
                                      u"no application (AppFile) to open it with"_s.arg(
                                          Decision(true, Found.Native).Type)
                                    : u"is to be opened by an application, but the step names none (AppFile): "
                                      u"the project's folder opens instead"_s;
            Report(TSeverity::Error, TProblemKind::NoOpener, Display(Found.Native), Why, Place);
            return;
        }
        Place.Field = u"AppFile"_s;
        if (CheckPath(Folder + Step.AppFile, TUse::Exists, Place, true, &Found)) {
            CheckProgram(Found, Place);
        }
        return;
    }
    case atPrecopyFiles:
        Place.Field = u"PrecopyFiles rule"_s;
        for (int R = 0; R < Step.PrecopyFiles.Count(); ++R) {
            Place.Index = R;
            CheckCopyRule(Step.PrecopyFiles.Items(R), Place);
        }
        return;
    }
}

void TDiscChecker::CheckCopyRule(const TCopyRule& Rule, const TPlace& Place)
{
    if (!Rule.Enabled || Rule.CopyingObject.isEmpty()) {
        return;
    }
    const QString Source = Project->Folder + Rule.CopyingObject;
    // "Folder\*.*" copies the folder's files; any other name is one file.
    if (ExtractFileName(Source) == u"*.*"_s) {
        CheckPath(PathJoin({ExtractFilePath(Source)}), TUse::Folder, Place);
    } else {
        CheckPath(Source, TUse::Exists, Place);
    }
}

void TDiscChecker::CheckProgram(const TResolved& File, const TPlace& Place)
{
    const TStartDecision D = Decision(true, File.Native);
    if (D.Way != TStartWay::Nothing) {
        return;
    }
    QFile Head(File.Native);
    const QByteArray Bytes = Head.open(QIODevice::ReadOnly) ? Head.read(4) : QByteArray();
    const bool LooksLikeProgram = Bytes == "\x7f"
                                           "ELF" ||
                                  Bytes.startsWith("#!");
    const QString Why = LooksLikeProgram
                            ? u"is a program without its execute bit, and nothing here opens its type (%1)"_s
                            : u"is neither a program nor of a type that a program here opens (%1)"_s;
    Report(TSeverity::Error, TProblemKind::NoOpener, Display(File.Native), Why.arg(D.Type), Place);
}

void TDiscChecker::CheckDocument(const TResolved& File, const TPlace& Place)
{
    if (!IsProgram(File.Native)) {
        return;
    }
    const TStartDecision D = Decision(false, File.Native);
    switch (D.Way) {
    case TStartWay::Program:
        Report(TSeverity::Error, TProblemKind::DocumentProgram, Display(File.Native),
               u"is a program, and the step opens it as a document: opening it would run it"_s, Place);
        break;
    case TStartWay::Desktop:
        Report(TSeverity::Warning, TProblemKind::DocumentProgram, Display(File.Native),
               u"is a program, but the step opens it as a document: it is not run, %1 opens it"_s.arg(D.Opener),
               Place);
        break;
    case TStartWay::Nothing:
        Report(TSeverity::Warning, TProblemKind::DocumentProgram, Display(File.Native),
               u"is a program, but the step opens it as a document: it is not run, and as nothing here "
               u"opens its type (%1) its folder opens instead"_s.arg(D.Type),
               Place);
        break;
    }
}

TResolved TDiscChecker::Resolve(const QString& Path)
{
    const auto It = FResolved.constFind(Path);
    if (It != FResolved.cend()) {
        return *It;
    }
    TResolved R;
    R.Native = NativePath(Path);
    const QFileInfo Info(R.Native);
    R.File = Info.isFile();
    R.Folder = Info.isDir();
    if (R.File || R.Folder) {
        QString Written = Path;
        Written.replace(u'\\', u'/');
        // The resolver gives the path as written whenever it exists so; anything else was found
        // without regard to case.
        R.CaseDiffers = QDir::cleanPath(Written) != QDir::cleanPath(R.Native);
    }
    if (R.File) {
        FSeenNative.insert(R.Native);
    }
    return *FResolved.insert(Path, R);
}

bool TDiscChecker::CheckPath(const QString& Path, TUse Use, const TPlace& Place, bool ReportMissing,
                             TResolved* Found)
{
    const TResolved R = Resolve(Path);
    const bool Present = Use == TUse::Folder ? R.Folder : R.File;
    if (!Present) {
        if (ReportMissing) {
            QString Why = u"does not exist"_s;
            if (Use == TUse::Folder && R.File) {
                Why = u"is a file, not a folder"_s;
            } else if (Use != TUse::Folder && R.Folder) {
                Why = u"is a folder, not a file"_s;
            }
            Report(TSeverity::Error, TProblemKind::Missing, Display(R.Native), Why, Place);
        }
        return false;
    }
    if (Found) {
        *Found = R;
    }
    if (R.CaseDiffers) {
        QString Written = Path;
        Written.replace(u'\\', u'/');
        Report(TSeverity::Warning, TProblemKind::LetterCase, Display(R.Native),
               u"is named \"%1\": found only in another letter case, which a copy of the disc on a "
               u"case-sensitive file system may not find"_s.arg(Display(QDir::cleanPath(Written))),
               Place);
    }
    if (Use == TUse::Exists || Use == TUse::Folder) {
        return true;
    }
    TProblemKind Kind = TProblemKind::Undecodable;
    const QString Error = DecodeError(R.Native, Use, Kind);
    if (!Error.isEmpty()) {
        Report(TSeverity::Error, Kind, Display(R.Native), Error, Place);
    }
    return true;
}

QString TDiscChecker::DecodeError(const QString& Native, TUse Use, TProblemKind& Kind)
{
    QHash<QString, QString>& Cache = FDecodeErrors[int(Use)];
    if (const auto It = Cache.constFind(Native); It != Cache.cend()) {
        Kind = FDecodeKinds.value(Native, TProblemKind::Undecodable);
        return *It;
    }
    QString Error;
    Kind = TProblemKind::Undecodable;
    switch (Use) {
    case TUse::Picture: {
        const TGraphicLoad Load = LoadGraphic(Native);
        Error = Load.Error;
        break;
    }
    case TUse::Cursor: {
        TCursorFrames Frames;
        if (!LoadCursorFrames(Native, Frames, &Error) || Frames.Frames.isEmpty()) {
            if (Error.isEmpty()) {
                Error = u"the cursor holds no picture"_s;
            }
        }
        break;
    }
    case TUse::Sound:
        if (QString Reason; !CanPlaySoundFile(Native, &Reason)) {
            Error = u"cannot be played: "_s + Reason;
        }
        break;
    case TUse::Text: {
        // The reader's (and the history page's) own line list, with its limits.
        TControlStrings Lines;
        if (QString Reason; !Lines.LoadFromFile(Native, &Reason)) {
            const bool Long = Lines.Truncated() || QFileInfo(Native).size() > TControlStrings::MaxFileSize;
            Kind = Long ? TProblemKind::TooLong : TProblemKind::Unreadable;
            Error = Long ? u"is longer than the reader shows: "_s + Reason : u"cannot be read: "_s + Reason;
        }
        break;
    }
    case TUse::Exists:
    case TUse::Folder:
        break;
    }
    Cache.insert(Native, Error);
    FDecodeKinds.insert(Native, Kind);
    return Error;
}

TStartDecision TDiscChecker::Decision(bool ProgramStep, const QString& Native)
{
    QHash<QString, TStartDecision>& Cache = FDecisions[ProgramStep ? 1 : 0];
    if (const auto It = Cache.constFind(Native); It != Cache.cend()) {
        return *It;
    }
    return *Cache.insert(Native, DecideStart(ProgramStep, Native, FOptions.Environment));
}

bool TDiscChecker::IsProgram(const QString& Native)
{
    if (const auto It = FPrograms.constFind(Native); It != FPrograms.cend()) {
        return *It;
    }
    return *FPrograms.insert(Native, IsProgramFile(Native));
}

template <typename TCheck>
void TDiscChecker::Memoized(TMemo& Memo, const QString& Key, const TPlace& Place, TCheck&& Check)
{
    if (const auto It = Memo.constFind(Key); It != Memo.cend()) {
        for (const TFinding& Finding : *It) {
            TPlace Again = Place;
            Again.Field = Finding.Field;
            Again.Index = Finding.Index;
            Report(Finding.Severity, Finding.Kind, Finding.File, Finding.Message, Again);
        }
        return;
    }
    QList<TFinding> Findings;
    QList<TFinding>* const Outer = std::exchange(FCapture, &Findings);
    Check();
    FCapture = Outer;
    Memo.insert(Key, Findings);
}

void TDiscChecker::Report(TSeverity Severity, TProblemKind Kind, const QString& File, const QString& Message,
                          const TPlace& Place)
{
    if (FCapture) {
        FCapture->append({Severity, Kind, File, Message, Place.Field, Place.Index});
    }
    const QString Key = QString::number(int(Kind)) + u'\n' + File + u'\n' + Message;
    if (const auto It = FProblemIndex.constFind(Key); It != FProblemIndex.cend()) {
        FResult.Problems[*It].Places.append(Place);
        return;
    }
    FProblemIndex.insert(Key, FResult.Problems.size());
    FResult.Problems.append({Severity, Kind, File, Message, {Place}});
}

QString TDiscChecker::Display(const QString& Native) const
{
    const QString Clean = QDir::cleanPath(Native);
    if (Clean.startsWith(FDiscNative + u'/')) {
        return QDir::toNativeSeparators(Clean.mid(FDiscNative.size() + 1));
    }
    return QDir::toNativeSeparators(Clean);
}

} // namespace

TCheckResult::TCheckResult() = default;
TCheckResult::~TCheckResult() = default;
TCheckResult::TCheckResult(TCheckResult&&) noexcept = default;
TCheckResult& TCheckResult::operator=(TCheckResult&&) noexcept = default;

int TCheckResult::Errors() const
{
    return int(std::count_if(Problems.cbegin(), Problems.cend(),
                             [](const TProblem& P) { return P.Severity == TSeverity::Error; }));
}

int TCheckResult::Warnings() const
{
    return int(Problems.size()) - Errors();
}

int TCheckResult::ExitCode() const
{
    if (!Loaded) {
        return 2;
    }
    return Problems.isEmpty() ? 0 : 1;
}

QString TCheckResult::Summary() const
{
    if (!Loaded) {
        return u"%1: not checked: %2"_s.arg(Disc, LoadError);
    }
    const auto Count = [](int N, const QString& One, const QString& Many) {
        return N == 1 ? u"1 "_s + One : u"%1 %2"_s.arg(N).arg(Many);
    };
    const QString Found = Problems.isEmpty() ? u"no problems"_s
                                             : Count(Errors(), u"error"_s, u"errors"_s) + u", "_s +
                                                   Count(Warnings(), u"warning"_s, u"warnings"_s);
    return u"%1: %2; %3 checked for %4, %5, %6"_s.arg(
        Disc, Found, Count(FilesChecked, u"file"_s, u"files"_s), Count(Sections, u"section"_s, u"sections"_s),
        Count(Items, u"item"_s, u"items"_s), Count(Steps, u"step"_s, u"steps"_s));
}

QJsonObject TCheckResult::ToJson() const
{
    QJsonArray List;
    for (const TProblem& Problem : Problems) {
        List.append(ProblemJson(Problem, Project.get()));
    }
    QJsonObject Json{{u"disc"_s, Disc},
                     {u"loaded"_s, Loaded},
                     {u"projectFile"_s, ProjectFile},
                     {u"errors"_s, Errors()},
                     {u"warnings"_s, Warnings()},
                     {u"filesChecked"_s, FilesChecked},
                     {u"sections"_s, Sections},
                     {u"items"_s, Items},
                     {u"steps"_s, Steps},
                     {u"summary"_s, Summary()},
                     {u"exitCode"_s, ExitCode()},
                     {u"problems"_s, List}};
    if (!Loaded) {
        Json[u"loadError"_s] = LoadError;
    }
    return Json;
}

TCheckResult CheckDisc(const TCheckOptions& Options)
{
    TCheckResult Result;
    TDiscChecker(Options, Result).Run();
    // The program-wide project pointer must not outlive the result's project.
    Project = nullptr;
    return Result;
}
