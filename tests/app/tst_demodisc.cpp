// The demo disc as the build assembles it: its project loads, it shows every kind of section, item,
// object and action, and every file that the project, "shell.ini" and the window's fixed skin names
// refer to is on the disc and can be read.

#include "AutorunVersion.h"
#include "CursorFile.h"
#include "Graphic.h"
#include "config/DesignSettings.h"
#include "config/IniFile.h"
#include "model/Project.h"
#include "text/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

enum TFileKind
{
    fkFile,
    fkFolder,
    fkPicture,
    fkCursor,
    fkSound
};

struct TReference
{
    QString Path; // relative to the disc root, in the project's notation
    TFileKind Kind;
    QString Why;
};

} // namespace

Q_DECLARE_METATYPE(TFileKind)

class TestDemoDisc : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void projectShowsEveryFeature();
    void referencedFiles_data();
    void referencedFiles();
    void skinFitsTheWindow();

private:
    QString Full(const QString& Relative) const { return FRoot + Relative; }
    QSize PictureSize(const QString& Relative);
    QList<TReference> References() const;

    QString FRoot; // the disc root with a trailing backslash
    TVeltraneProject FProject;
    IniFileStruct FSettings;
};

void TestDemoDisc::initTestCase()
{
    FRoot = PathJoin({QStringLiteral(AUTORUN_DEMO_DISC_DIR)});
    FProject.ProgramVersion = {AUTORUN_VERSION_MAJOR, AUTORUN_VERSION_MINOR, AUTORUN_VERSION_RELEASE};
    QCOMPARE(FProject.LoadFromFile(Full(u"Shell\\veltrane.vlp"_s)), int(lrLoaded));
    TIniFile Ini;
    QVERIFY(Ini.LoadFromFile(Full(u"Shell\\shell.ini"_s)));
    FSettings = DesignSettingsFromIni(Ini);
}

void TestDemoDisc::projectShowsEveryFeature()
{
    const int Pictures = FProject.Pictures.Count();
    QVERIFY(Pictures > 0);
    auto ValidImage = [Pictures](int Index) { return Index >= -1 && Index < Pictures; };

    QSet<int> ActionTypes, ObjectTypes;
    bool UnnamedSection = false, AboutNode = false, SeveralActions = false, SeveralSteps = false;
    bool SeveralShots = false, CopyRules = false, DisabledRule = false, FolderRule = false, Precopy = false;
    bool ImageItem = false, TextItem = false, MusicItem = false;
    QCOMPARE_GE(FProject.Sections.Count(), 3);
    for (int S = 0; S < FProject.Sections.Count(); ++S) {
        const TSection& Section = FProject.Sections.Items(S);
        UnnamedSection |= Section.Name.isEmpty();
        AboutNode |= !Section.Name.isEmpty() && !Section.Description.isEmpty();
        QVERIFY(ValidImage(Section.ImageDefault) && ValidImage(Section.ImageSelected));
        for (int I = 0; I < Section.SItems.Count(); ++I) {
            const TItem& Item = Section.SItems.Items(I);
            QVERIFY2(ValidImage(Item.ImageDefault) && ValidImage(Item.ImageSelected), qPrintable(Item.Name));
            SeveralActions |= Item.ItemActions.Count() >= 2;
            SeveralShots |= Item.Screenshots.Count() >= 2;
            if (Item.CopyRules.Enabled) {
                CopyRules = true;
                for (int R = 0; R < Item.CopyRules.Count(); ++R) {
                    DisabledRule |= !Item.CopyRules.Items(R).Enabled;
                    FolderRule |= Item.CopyRules.Items(R).CopyingObject.endsWith(u"*.*"_s);
                }
            }
            for (int A = 0; A < Item.ItemActions.Count(); ++A) {
                const TItemAction& Action = Item.ItemActions.Items(A);
                QVERIFY(ValidImage(Action.ImageIndex));
                SeveralSteps |= Action.ShellActions.Count() >= 2;
                for (int K = 0; K < Action.ShellActions.Count(); ++K) {
                    const TShellAction& Step = Action.ShellActions.Items(K);
                    ActionTypes.insert(Step.ShellActionType);
                    if (Step.ShellActionType != atShowMessage)
                        ObjectTypes.insert(Step.ObjectType);
                    Precopy |= Step.ShellActionType == atPrecopyFiles && Step.PrecopyFiles.Count() > 0;
                }
            }
            if (Item.ItemActions.Count() == 0 || Item.ItemActions.Items(0).ShellActions.Count() == 0)
                continue;
            const TShellActions& First = Item.ItemActions.Items(0).ShellActions;
            const TObjectType Type = First.Items(0).ObjectType;
            // What the window shows in place of a blank description: the text file, or the pictures.
            TextItem |= IsBlank(Item.Description) && Type == otText;
            MusicItem |= Type == otMusic;
            if (IsBlank(Item.Description) && Item.ItemActions.Count() == 1 && Type == otImage) {
                ImageItem = First.Count() >= 2;
                for (int K = 0; K < First.Count(); ++K)
                    ImageItem &= First.Items(K).ObjectType == otImage;
            }
        }
    }
    QVERIFY(UnnamedSection);
    QVERIFY(AboutNode);
    QVERIFY(SeveralActions);
    QVERIFY(SeveralSteps);
    QVERIFY(SeveralShots);
    QVERIFY(CopyRules && DisabledRule && FolderRule);
    QVERIFY(Precopy);
    QVERIFY(ImageItem);
    QVERIFY(TextItem);
    QVERIFY(MusicItem);
    QCOMPARE(ActionTypes.size(), int(atPrecopyFiles) + 1);
    QCOMPARE(ObjectTypes.size(), int(otFolder) + 1);
    QVERIFY(!FProject.SplashScreen.ImageFileName.isEmpty());
    QVERIFY(!IsBlank(FProject.Creator.AuthorWords));
}

QList<TReference> TestDemoDisc::References() const
{
    QList<TReference> Refs;
    auto Add = [&Refs](const QString& Path, TFileKind Kind, const QString& Why) {
        if (!Path.isEmpty())
            Refs.append({Path, Kind, Why});
    };
    auto Picture = [](const QString& Path) {
        TGraphicFormat Format;
        return GraphicFormatOf(Path, Format) ? fkPicture : fkFile;
    };
    auto AddRules = [&Add](const TCopyRules& Rules, const QString& Why) {
        for (int R = 0; R < Rules.Count(); ++R) {
            const QString Object = Rules.Items(R).CopyingObject;
            if (ExtractFileName(Object) == u"*.*"_s)
                Add(ExtractFilePath(Object), fkFolder, Why);
            else
                Add(Object, fkFile, Why);
        }
    };

    Add(FProject.SplashScreen.ImageFileName, fkPicture, u"splash"_s);
    for (int S = 0; S < FProject.Sections.Count(); ++S) {
        const TSection& Section = FProject.Sections.Items(S);
        const QString Where = u"section %1"_s.arg(S);
        Add(Section.Folder, fkFolder, Where);
        Add(Section.WallpaperFile, fkPicture, Where);
        Add(Section.BackMusicFile, fkSound, Where);
        for (int K = 0; K < Section.Screenshots.Count(); ++K)
            Add(Section.Screenshots.Items(K).FileName, fkPicture, Where);
        for (int I = 0; I < Section.SItems.Count(); ++I) {
            const TItem& Item = Section.SItems.Items(I);
            Add(Item.Folder, fkFolder, Item.Name);
            for (int K = 0; K < Item.Screenshots.Count(); ++K)
                Add(Item.Screenshots.Items(K).FileName, fkPicture, Item.Name);
            AddRules(Item.CopyRules, Item.Name);
            for (int A = 0; A < Item.ItemActions.Count(); ++A) {
                const TShellActions& Steps = Item.ItemActions.Items(A).ShellActions;
                for (int K = 0; K < Steps.Count(); ++K) {
                    const TShellAction& Step = Steps.Items(K);
                    switch (Step.ShellActionType) {
                    case atShowMessage:
                        break;
                    case atPrecopyFiles:
                        // The object is opened from the folder the user copies to, not from the disc.
                        AddRules(Step.PrecopyFiles, Item.Name);
                        break;
                    case atExecute:
                    case atInstall:
                        if (!Step.CheckAssociation)
                            Add(Step.AppFile, fkFile, Item.Name);
                        [[fallthrough]];
                    case atOpenObject:
                        Add(Step.OpenObject,
                            Step.ObjectType == otFolder  ? fkFolder
                            : Step.ObjectType == otImage ? fkPicture
                            : Step.ObjectType == otMusic ? fkSound
                                                         : fkFile,
                            Item.Name);
                        break;
                    }
                }
            }
        }
    }

    const QString Shell = u"Shell\\"_s;
    const QString Images = Shell + FSettings.Path.Images;
    const QString Buttons = Shell + FSettings.Path.BtnImg;
    const QString Cursors = Shell + FSettings.Path.Cursors;
    const IniFileStruct::TImages& I = FSettings.Images;
    for (const QString& Name :
         {I.Splash, I.Title, I.AppIcon, I.TabImage, I.FocusedTabImage, I.Wallpaper, I.OptionsScreen,
          u"toolbar.bmp"_s, u"text.gif"_s, u"logo.bmp"_s, u"copy.ico"_s})
        Add(Images + Name, fkPicture, u"skin"_s);
    for (const QString& Name : {I.MinimizeBtn, I.MinimizeBtn_HighLight, I.CloseBtn, I.CloseBtn_HighLight,
                                u"settings.bmp"_s, u"close.bmp"_s})
        Add(Buttons + Name, fkPicture, u"skin"_s);
    for (const char* Name : {"play", "copy", "setup", "source", "folder", "write", "mail"}) {
        Add(Buttons + QLatin1String(Name) + u".bmp"_s, fkPicture, u"toolbar"_s);
        Add(Buttons + QLatin1String(Name) + u"0.bmp"_s, fkPicture, u"toolbar"_s);
    }
    const IniFileStruct::TCursors& C = FSettings.Cursors;
    for (const QString& Name : {C.crDefault, C.crPen, C.crHandPoint, C.crHelp, C.crIBeam, C.crBusy})
        Add(Cursors + Name, fkCursor, u"cursors"_s);
    Add(Shell + u"Music\\"_s + FSettings.Options.IntroMusic, fkSound, u"intro"_s);
    for (const QString& Name : {FSettings.Options.Version, u"controls.ini"_s, u"params.txt"_s})
        Add(Shell + Name, fkFile, u"Shell"_s);
    Add(u"index.htm"_s, fkFile, u"htmfile"_s);
    for (TReference& Ref : Refs) {
        if (Ref.Kind == fkFile)
            Ref.Kind = Picture(Ref.Path);
    }
    return Refs;
}

void TestDemoDisc::referencedFiles_data()
{
    QTest::addColumn<QString>("Path");
    QTest::addColumn<TFileKind>("Kind");
    // initTestCase has run: the rows come from the loaded project and settings.
    QSet<QString> Seen;
    for (const TReference& Ref : References()) {
        if (Seen.contains(Ref.Path.toLower()))
            continue;
        Seen.insert(Ref.Path.toLower());
        QTest::addRow("%s: %s", qPrintable(Ref.Why), qPrintable(Ref.Path)) << Ref.Path << Ref.Kind;
    }
}

void TestDemoDisc::referencedFiles()
{
    QFETCH(QString, Path);
    QFETCH(TFileKind, Kind);
    const QString Native = NativePath(Full(Path));
    if (Kind == fkFolder) {
        QVERIFY2(QFileInfo(Native).isDir(), qPrintable(Native));
        return;
    }
    QVERIFY2(FileExists(Full(Path)), qPrintable(Native));
    switch (Kind) {
    case fkPicture: {
        const TGraphicLoad Load = LoadGraphic(Full(Path));
        QVERIFY2(Load.Ok(), qPrintable(Load.Error));
        QVERIFY(Load.Graphic->Width() > 0 && Load.Graphic->Height() > 0);
        break;
    }
    case fkCursor: {
        TCursorFrames Frames;
        QString Error;
        QVERIFY2(LoadCursorFrames(Full(Path), Frames, &Error), qPrintable(Error));
        break;
    }
    case fkSound: {
        QFile F(Native);
        QVERIFY(F.open(QIODevice::ReadOnly));
        const QByteArray Head = F.read(12);
        QVERIFY2(Head.startsWith("OggS") || (Head.startsWith("RIFF") && Head.mid(8, 4) == "WAVE"),
                 qPrintable(Native));
        break;
    }
    default:
        QVERIFY(QFileInfo(Native).size() > 0);
    }
}

QSize TestDemoDisc::PictureSize(const QString& Relative)
{
    const TGraphicLoad Load = LoadGraphic(Full(Relative));
    return Load.Ok() ? Load.Graphic->Size() : QSize();
}

void TestDemoDisc::skinFitsTheWindow()
{
    const QString Images = u"Shell\\"_s + FSettings.Path.Images;
    const QString Buttons = u"Shell\\"_s + FSettings.Path.BtnImg;

    // The toolbar sizes itself to its picture (at most 534 x 111) and holds ten cells of 53 pixels.
    const QSize Toolbar = PictureSize(Images + u"toolbar.bmp"_s);
    QVERIFY(Toolbar.width() <= 534 && Toolbar.height() <= 111);
    QVERIFY(Toolbar.width() >= 8 + 53 * 9 + 4 + 32 && Toolbar.height() >= 32);
    for (const char* Name : {"play", "copy", "setup", "source", "folder", "write", "mail"}) {
        QCOMPARE(PictureSize(Buttons + QLatin1String(Name) + u".bmp"_s), QSize(32, 32));
        QCOMPARE(PictureSize(Buttons + QLatin1String(Name) + u"0.bmp"_s), QSize(32, 32));
    }
    // The window is 781 wide; its height ends 10 below the two text buttons under the toolbar
    // (whose bottom edge is at 478). The wallpaper fills it exactly.
    const QSize Options = PictureSize(Buttons + u"settings.bmp"_s);
    const QSize Exit = PictureSize(Buttons + u"close.bmp"_s);
    QVERIFY(Options.isValid() && Exit.isValid());
    const int ClientHeight = 478 + 15 + Options.height() + 1 + Exit.height() + 10;
    QCOMPARE(PictureSize(Images + FSettings.Images.Wallpaper), QSize(781, ClientHeight));
    for (int S = 0; S < FProject.Sections.Count(); ++S) {
        const QString File = FProject.Sections.Items(S).WallpaperFile;
        if (!File.isEmpty())
            QCOMPARE(PictureSize(File), QSize(781, ClientHeight));
    }
    QCOMPARE(PictureSize(Images + FSettings.Images.Title), QSize(781, 21));
    QCOMPARE(PictureSize(Images + u"text.gif"_s), QSize(530, 322));
    for (const QString& Name : {FSettings.Images.MinimizeBtn, FSettings.Images.MinimizeBtn_HighLight,
                                FSettings.Images.CloseBtn, FSettings.Images.CloseBtn_HighLight})
        QCOMPARE(PictureSize(Buttons + Name), QSize(18, 18));
    QCOMPARE(PictureSize(Images + FSettings.Images.TabImage), QSize(110, 19));
    QCOMPARE(PictureSize(Images + FSettings.Images.FocusedTabImage), QSize(110, 19));
    // The window icon sits in a 19 x 20 place; the about window's logo in at most 128 x 128.
    const QSize AppIcon = PictureSize(Images + FSettings.Images.AppIcon);
    QVERIFY(AppIcon.width() <= 19 && AppIcon.height() <= 20);
    const QSize Logo = PictureSize(Images + u"logo.bmp"_s);
    QVERIFY(Logo.width() <= 128 && Logo.height() <= 128);
    QCOMPARE(PictureSize(Images + FSettings.Images.OptionsScreen).width(), 510);
}

QTEST_MAIN(TestDemoDisc)
#include "tst_demodisc.moc"
