// The copy window: the file list the copy rules give, the chosen folder put in place, the volume
// list, the folder suggestion, keys, the size count and real copies into a temporary folder.

#include "BrowseForm.h"
#include "ComboBox.h"
#include "DirectoryListBox.h"
#include "Edit.h"
#include "FakeMessageService.h"
#include "FakeShellService.h"
#include "FakeVolumeProvider.h"
#include "Image.h"
#include "ImageList.h"
#include "Label.h"
#include "MessageService.h"
#include "PopupMenu.h"
#include "VeltraneBtn.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

bool WriteFile(const QString& Path, const QByteArray& Data)
{
    QDir().mkpath(QFileInfo(Path).absolutePath());
    QFile File(Path);
    return File.open(QIODevice::WriteOnly | QIODevice::Truncate) && File.write(Data) == Data.size();
}

QByteArray ReadFile(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

// Rules written as "enabled|object|destination" ("-" as the first field disables the rule).
void AddRules(TCopyRules& Rules, const QStringList& Written)
{
    for (const QString& Line : Written) {
        const QStringList Fields = Line.split(u'|');
        TCopyRule& Rule = Rules.Add();
        Rule.Enabled = Fields.value(0) != u"-"_s;
        Rule.CopyingObject = Fields.value(1);
        Rule.Destination = Fields.value(2);
    }
}

// Every file below Folder as "relative path=content", sorted.
QStringList TreeOf(const QString& Folder)
{
    QStringList Result;
    QDirIterator It(Folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (It.hasNext()) {
        const QString Path = It.next();
        Result.append(QDir(Folder).relativeFilePath(Path) + u'=' + QString::fromUtf8(ReadFile(Path)));
    }
    Result.sort();
    return Result;
}

} // namespace

class TestBrowseForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fileList_data();
    void fileList();
    void resolveDestinations_data();
    void resolveDestinations();
    void suggestedSuffix_data();
    void suggestedSuffix();
    void sizeTexts_data();
    void sizeTexts();
    void countBytesIs64Bit();
    void foldersNamedByARuleAreCopiedWhole();

    void layout();
    void iconFromTheSkinFolder();
    void popupCaptionFollowsTheLanguage_data();
    void popupCaptionFollowsTheLanguage();
    void volumeList();
    void withoutAFixedVolumeTheFirstIsChosen();
    void volumeNotReady();
    void folderSuggestion_data();
    void folderSuggestion();
    void drawsTheVolumeIcon();
    void openFolderFromThePopup();
    void noEnabledRulesShowTheMessage();
    void escapeCancels();
    void enterCopies_data();
    void enterCopies();
    void sizeCountReportsTheTotal();
    void copyThroughTheWindow();
    void aFolderWithoutItsPathLiesBelowTheListedOne_data();
    void aFolderWithoutItsPathLiesBelowTheListedOne();
    void failuresAreReported();
    void cancelFromTheQuestion();

private:
    QString Disc(const QString& Relative = {}) const { return FDir->path() + u"/disc/"_s + Relative; }
    QString Home(const QString& Relative = {}) const { return FDir->path() + u"/home/"_s + Relative; }
    void MakeDisc();
    // The window under test, created with the fake volumes and the current item.
    void CreateForm(quint16 LangId = 0x0409, const QString& ImagesFolder = {});
    // Makes the window active and gives Widget the focus, as a click would.
    void Focus(QWidget* Widget);
    // Runs ExecuteCopy(Rules); Script runs inside the modal loop.
    int Execute(const TCopyRules& Rules, const std::function<void()>& Script);

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TVeltraneProject> FProject;
    TItem* FItem = nullptr;
    TFakeVolumeProvider FVolumes;
    TFakeShellService FShell;
    TRecordingMessages FMessages;
    std::unique_ptr<TBrowseF> FForm;
    QStringList FQuestions;
    QList<TOverwriteAnswer> FAnswers;
};

void TestBrowseForm::initTestCase()
{
    InitLanguageUnit();
    QVERIFY(ChooseStartupLanguage(0x0409));
    SetMessageService(&FMessages);
    SetVolumeProvider(&FVolumes);
    SetShellService(&FShell);
    SetOverwriteQuestion([this](const QString& Target) {
        FQuestions.append(QDir(Home()).relativeFilePath(Target));
        return FAnswers.isEmpty() ? oaNo : FAnswers.takeFirst();
    });
}

void TestBrowseForm::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    QVERIFY(QDir().mkpath(Home()));
    QVERIFY(QDir().mkpath(FDir->path() + u"/stick"_s));
    MakeDisc();
    FProject = std::make_unique<TVeltraneProject>();
    FProject->Folder = Disc();
    Project = FProject.get();
    FItem = &FProject->Sections.Add().SItems.Add();
    FItem->Folder = u"Programs\\Game\\"_s;
    DesignSettings = IniFileStruct{};

    TVolume HomeVolume;
    HomeVolume.RootPath = QDir::cleanPath(Home());
    HomeVolume.IsHome = true;
    TVolume Stick;
    Stick.RootPath = FDir->path() + u"/stick"_s;
    Stick.Label = u"MyStick"_s;
    Stick.Fixed = false;
    FVolumes.List = {HomeVolume, Stick};
    FVolumes.Free.clear();
    FVolumes.NotReady.clear();
    FShell.Calls.clear();
    FMessages.Boxes.clear();
    FQuestions.clear();
    FAnswers.clear();
}

void TestBrowseForm::cleanup()
{
    FForm.reset();
    FItem = nullptr;
    Project = nullptr;
    FProject.reset();
    FDir.reset();
    DesignSettings = IniFileStruct{};
}

// The disc: a folder with a hidden file, a file without a point, a subfolder two levels deep and a
// link to its own parent, and a file elsewhere.
void TestBrowseForm::MakeDisc()
{
    QVERIFY(WriteFile(Disc(u"Data/a.txt"_s), "a"));
    QVERIFY(WriteFile(Disc(u"Data/README"_s), "readme"));
    QVERIFY(WriteFile(Disc(u"Data/.hidden"_s), "hidden"));
    QVERIFY(WriteFile(Disc(u"Data/sub/b.txt"_s), "b"));
    QVERIFY(WriteFile(Disc(u"Data/sub/deeper/c.dat"_s), "c"));
    QVERIFY(QFile::link(u".."_s, Disc(u"Data/sub/loop"_s)));
    QVERIFY(WriteFile(Disc(u"Other/x.txt"_s), "x"));
}

void TestBrowseForm::CreateForm(quint16 LangId, const QString& ImagesFolder)
{
    TBrowseF::TEnvironment Environment;
    Environment.CurrentItem = [this]() -> const TItem* { return FItem; };
    QImage Glyph(16, 16, QImage::Format_ARGB32);
    Glyph.fill(Qt::red);
    Environment.CopyGlyph = Glyph;
    Environment.LangId = LangId;
    Environment.ImagesFolder = ImagesFolder;
    FForm = std::make_unique<TBrowseF>(Environment);
}

void TestBrowseForm::Focus(QWidget* Widget)
{
    FForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(FForm.get()));
    Widget->setFocus();
    QVERIFY(Widget->hasFocus());
}

int TestBrowseForm::Execute(const TCopyRules& Rules, const std::function<void()>& Script)
{
    bool Ran = false;
    QTimer::singleShot(0, FForm.get(), [&] {
        Ran = true;
        Script();
        // A script that left the window open closes it.
        if (FForm->isVisible())
            FForm->Close();
    });
    const int Result = FForm->ExecuteCopy(Rules);
    if (!Ran)
        qWarning("the script did not run");
    return Result;
}

// --- The file list -----------------------------------------------------------------------------

void TestBrowseForm::fileList_data()
{
    QTest::addColumn<QStringList>("Rules");
    // "source=destination" with the disc folder left out of the source.
    QTest::addColumn<QStringList>("Expected");

    const QStringList WholeData{u"Data\\.hidden=...\\"_s, u"Data\\a.txt=...\\"_s, u"Data\\README=...\\"_s,
                                u"Data\\sub\\b.txt=...\\sub\\"_s,
                                u"Data\\sub\\deeper\\c.dat=...\\sub\\deeper\\"_s};
    QTest::newRow("*.* into the chosen folder") << QStringList{u"+|Data\\*.*|..."_s} << WholeData;
    QTest::newRow("*.* into a subfolder")
        << QStringList{u"+|Data\\*.*|...\\Inst"_s}
        << QStringList{u"Data\\.hidden=...\\Inst\\"_s, u"Data\\a.txt=...\\Inst\\"_s,
                       u"Data\\README=...\\Inst\\"_s, u"Data\\sub\\b.txt=...\\Inst\\sub\\"_s,
                       u"Data\\sub\\deeper\\c.dat=...\\Inst\\sub\\deeper\\"_s};
    QTest::newRow("*.* of a subfolder")
        << QStringList{u"+|Data\\sub\\*.*|...\\"_s}
        << QStringList{u"Data\\sub\\b.txt=...\\"_s, u"Data\\sub\\deeper\\c.dat=...\\deeper\\"_s};
    QTest::newRow("*.* of a missing folder adds nothing")
        << QStringList{u"+|Nothing\\*.*|..."_s} << QStringList{};
    QTest::newRow("same file, same destination: one")
        << QStringList{u"+|Data\\a.txt|...\\x"_s, u"+|DATA\\A.TXT|...\\X\\"_s}
        << QStringList{u"Data\\a.txt=...\\x\\"_s};
    QTest::newRow("same file, two destinations: two")
        << QStringList{u"+|Data\\a.txt|..."_s, u"+|Data\\a.txt|...\\x"_s}
        << QStringList{u"Data\\a.txt=...\\"_s, u"Data\\a.txt=...\\x\\"_s};
    QTest::newRow("a pair listed before a third destination is not listed again")
        << QStringList{u"+|Data\\a.txt|...\\x"_s, u"+|Data\\a.txt|...\\y"_s, u"+|Data\\a.txt|...\\y"_s}
        << QStringList{u"Data\\a.txt=...\\x\\"_s, u"Data\\a.txt=...\\y\\"_s};
    QTest::newRow("a file also reached by *.*")
        << QStringList{u"+|Data\\a.txt|..."_s, u"+|Data\\*.*|..."_s}
        << QStringList{u"Data\\a.txt=...\\"_s, u"Data\\.hidden=...\\"_s, u"Data\\README=...\\"_s,
                       u"Data\\sub\\b.txt=...\\sub\\"_s, u"Data\\sub\\deeper\\c.dat=...\\sub\\deeper\\"_s};
    QTest::newRow("a disabled rule adds nothing")
        << QStringList{u"-|Data\\a.txt|..."_s, u"+|Other\\x.txt|..."_s}
        << QStringList{u"Other\\x.txt=...\\"_s};
    QTest::newRow("a disabled *.* rule adds nothing") << QStringList{u"-|Data\\*.*|..."_s} << QStringList{};
    QTest::newRow("a missing file stays")
        << QStringList{u"+|Data\\gone.txt|..."_s} << QStringList{u"Data\\gone.txt=...\\"_s};
    QTest::newRow("a destination without the chosen folder")
        << QStringList{u"+|Other\\x.txt|C:\\Program Files\\X"_s}
        << QStringList{u"Other\\x.txt=C:\\Program Files\\X\\"_s};
    QTest::newRow("an empty destination")
        << QStringList{u"+|Other\\x.txt|"_s} << QStringList{u"Other\\x.txt=\\"_s};
}

void TestBrowseForm::fileList()
{
    QFETCH(QStringList, Rules);
    QFETCH(QStringList, Expected);

    TCopyRules CopyRules;
    AddRules(CopyRules, Rules);
    const TCopyList List = BuildCopyList(CopyRules, Disc());
    QStringList Got;
    for (const TCopyPair& Pair : List.Pairs()) {
        QVERIFY(Pair.Source.startsWith(Disc()));
        Got.append(Pair.Source.mid(Disc().size()) + u'=' + Pair.Destination);
    }
    QCOMPARE(Got, Expected);
}

void TestBrowseForm::resolveDestinations_data()
{
    QTest::addColumn<QString>("Destination");
    QTest::addColumn<QString>("Resolved");

    QTest::newRow("the chosen folder") << u"...\\"_s << u"/home/ann/Games\\\\"_s;
    QTest::newRow("a subfolder") << u"...\\sub\\"_s << u"/home/ann/Games\\\\sub\\"_s;
    QTest::newRow("no chosen folder in it") << u"C:\\Program\\"_s << u"/home/ann/Games\\C:\\Program\\"_s;
    QTest::newRow("only the first is replaced") << u"a...\\...\\"_s << u"/home/ann/Games\\a\\...\\"_s;
}

void TestBrowseForm::resolveDestinations()
{
    QFETCH(QString, Destination);
    QFETCH(QString, Resolved);

    TCopyList List;
    List.Add(Disc(u"Other\\x.txt"_s), Destination);
    List.ResolveDestinations(u"/home/ann/Games"_s);
    QCOMPARE(List.Count(), 1);
    QCOMPARE(List[0].Destination, Resolved);

    // The copier's target: the destination folder and the source's name, as a file-system path.
    const QList<TCopyItem> Items = CopyItemsOf(List);
    QCOMPARE(Items.size(), 1);
    QCOMPARE(Items[0].Source, Disc(u"Other/x.txt"_s));
    QCOMPARE(Items[0].Target, QString(Resolved + u"x.txt"_s).replace(u'\\', u'/'));
}

void TestBrowseForm::suggestedSuffix_data()
{
    QTest::addColumn<QString>("DefaultFolder");
    QTest::addColumn<QString>("ItemFolder");
    QTest::addColumn<QString>("Suffix");

    QTest::newRow("drive removed") << u"C:\\Games\\Foo"_s << u"Disc\\Game\\"_s << u"Games\\Foo"_s;
    QTest::newRow("drive in lower case") << u"d:\\Games"_s << QString() << u"Games"_s;
    QTest::newRow("a bare drive") << u"C:"_s << QString() << QString();
    QTest::newRow("network path") << u"\\\\server\\share\\Games"_s << QString() << u"Games"_s;
    QTest::newRow("no drive") << u"Games\\Foo"_s << QString() << u"Games\\Foo"_s;
    QTest::newRow("the item's last folder") << QString() << u"Disc\\Game\\"_s << u"\\Game"_s;
    QTest::newRow("an item folder of one name") << QString() << u"Game"_s << u"Game"_s;
    QTest::newRow("nothing") << QString() << QString() << QString();
}

void TestBrowseForm::suggestedSuffix()
{
    QFETCH(QString, DefaultFolder);
    QFETCH(QString, ItemFolder);
    QFETCH(QString, Suffix);
    QCOMPARE(SuggestedSuffix(DefaultFolder, ItemFolder), Suffix);
}

void TestBrowseForm::sizeTexts_data()
{
    QTest::addColumn<qint64>("Bytes");
    QTest::addColumn<int>("LangId");
    QTest::addColumn<QString>("Required");
    QTest::addColumn<QString>("Free");

    QTest::newRow("nothing") << qint64(0) << 0x0409 << u"Required: 0.0 MB"_s << u"Free space: 0 MB"_s;
    QTest::newRow("one and a half") << qint64(1572864) << 0x0409 << u"Required: 1.5 MB"_s
                                    << u"Free space: 1 MB"_s;
    QTest::newRow("above 4 GB") << (qint64(5) << 30) << 0x0409 << u"Required: 5120.0 MB"_s
                                << u"Free space: 5120 MB"_s;
    QTest::newRow("Russian") << qint64(1048576) << 0x0419 << u"Требуется: 1.0 MB"_s << u"Free space: 1 MB"_s;
    QTest::newRow("English (United Kingdom)")
        << qint64(1048576) << 0x0809 << u"Required: 1.0 MB"_s << u"Free space: 1 MB"_s;
    QTest::newRow("unknown free space") << qint64(-1) << 0x0409 << QString() << u"Free space: 0 MB"_s;
}

void TestBrowseForm::sizeTexts()
{
    QFETCH(qint64, Bytes);
    QFETCH(int, LangId);
    QFETCH(QString, Required);
    QFETCH(QString, Free);
    if (Bytes >= 0)
        QCOMPARE(RequiredSizeText(Bytes, quint16(LangId)), Required);
    QCOMPARE(FreeSpaceText(Bytes), Free);
}

void TestBrowseForm::countBytesIs64Bit()
{
    // A sparse file of 5 GiB and a bit: its size does not fit in 32 bits.
    const QString Large = Disc(u"large.bin"_s);
    QFile File(Large);
    QVERIFY(File.open(QIODevice::WriteOnly));
    const qint64 LargeSize = (qint64(5) << 30) + 7;
    if (!File.resize(LargeSize))
        QSKIP("the file system cannot hold a sparse 5 GiB file");
    File.close();

    QList<qint64> Reports;
    const qint64 Total = CountBytes(
        {Disc(u"large.bin"_s), Disc(u"Data\\missing"_s), Disc(u"Data\\a.txt"_s), Disc(u"Data\\sub"_s)},
        nullptr, [&](qint64 Running) { Reports.append(Running); });
    // The folder counts its files (b, c); the missing file nothing.
    QCOMPARE(Total, LargeSize + 1 + 2);
    QCOMPARE(Reports, (QList<qint64>{LargeSize, LargeSize, LargeSize + 1, LargeSize + 3}));

    std::atomic<bool> Stop{true};
    QCOMPARE(CountBytes({Large}, &Stop), qint64(0));
}

void TestBrowseForm::foldersNamedByARuleAreCopiedWhole()
{
    TCopyList List;
    List.Add(Disc(u"Data\\sub"_s), u"...\\"_s);
    List.ResolveDestinations(Home());
    QStringList Targets;
    for (const TCopyItem& Item : CopyItemsOf(List))
        Targets.append(QDir(Home()).relativeFilePath(Item.Target));
    // The folder goes into a folder of its name; the link to its parent is not followed.
    QCOMPARE(Targets, (QStringList{u"sub/b.txt"_s, u"sub/deeper/c.dat"_s}));
}

// --- The window --------------------------------------------------------------------------------

void TestBrowseForm::layout()
{
    DesignSettings.Colors.Windows = 0x112233;
    DesignSettings.Colors.Text = 0x445566;
    CreateForm();
    TBrowseF& F = *FForm;
    QCOMPARE(F.Caption(), u"Select the folder to copy the files to..."_s);
    QVERIFY(F.KeyPreview());
    QCOMPARE(F.ClientWidth(), 315);
    QCOMPARE(F.DriveList->geometry(), QRect(6, 13, 157, 24));
    QCOMPARE(F.DriveList->Style(), TComboBox::csOwnerDrawFixed);
    QCOMPARE(F.DriveList->ItemHeight(), 18);
    QCOMPARE(F.InfoImg->geometry(), QRect(169, 13, 24, 24));
    QVERIFY(F.InfoImg->Transparent());
    QCOMPARE(F.FreeL->Left(), 196);
    QCOMPARE(F.FreeL->Top(), 10);
    QCOMPARE(F.ObjectsSizeL->Left(), 196);
    QCOMPARE(F.ObjectsSizeL->BoundsBottom(), 37);
    QCOMPARE(F.DirList->geometry(), QRect(6, 47, 303, 273 - 10 - 47));
    QCOMPARE(F.DirEdit->Left(), 6);
    QCOMPARE(F.DirEdit->Top(), 273);
    QCOMPARE(F.DirEdit->Width(), 303);
    QCOMPARE(F.CopyBtn->geometry(), QRect(309 - 130 - 110, F.DirEdit->BoundsBottom() + 8, 130, 32));
    QCOMPARE(F.ClientHeight(), F.CopyBtn->BoundsBottom() + 10);
    QCOMPARE(F.CopyBtn->Caption(), u"Copy"_s);
    QCOMPARE(F.CopyBtn->ModalResult(), 1);
    QVERIFY(F.CopyBtn->Glyph().HasGraphic());
    QVERIFY(F.CancelBtn->FormCloser());
    QCOMPARE(F.Color(), 0x112233);
    QCOMPARE(F.DirList->Color(), 0x445566);
    QCOMPARE(F.DirEdit->Color(), 0x445566);
    QCOMPARE(F.DriveList->Color(), 0x445566);
    QVERIFY(F.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    // The cancel button is placed when the window shows.
    F.show();
    QCOMPARE(F.CancelBtn->geometry(), QRect(309 - 100, F.CopyBtn->Top(), 100, 32));
    QCOMPARE(F.CancelBtn->Caption(), u"Cancel"_s);
    F.hide();
}

void TestBrowseForm::iconFromTheSkinFolder()
{
    CreateForm();
    QVERIFY(FForm->windowIcon().isNull());
    const QString Skin = FDir->path() + u"/skin/"_s;
    QVERIFY(QDir().mkpath(Skin));
    QVERIFY(QFile::copy(QStringLiteral(AUTORUN_TEST_DATA_DIR "/imaging/ico-three-sizes.ico"),
                        Skin + u"copy.ico"_s));
    CreateForm(0x0409, Skin);
    QVERIFY(!FForm->windowIcon().isNull());
}

void TestBrowseForm::popupCaptionFollowsTheLanguage_data()
{
    QTest::addColumn<int>("LangId");
    QTest::addColumn<QString>("Caption");
    QTest::addColumn<QString>("Required");
    QTest::newRow("English (United States)") << 0x0409 << u"&Open"_s << u"Required: 0.0 MB"_s;
    QTest::newRow("Russian") << 0x0419 << u"&Открыть"_s << u"Требуется: 0.0 MB"_s;
    // Every language the table has no texts for falls back to English, the menu item too.
    QTest::newRow("English (United Kingdom)") << 0x0809 << u"&Open"_s << u"Required: 0.0 MB"_s;
    QTest::newRow("German") << 0x0407 << u"&Open"_s << u"Required: 0.0 MB"_s;
}

void TestBrowseForm::popupCaptionFollowsTheLanguage()
{
    QFETCH(int, LangId);
    QFETCH(QString, Caption);
    QFETCH(QString, Required);
    CreateForm(quint16(LangId));
    QCOMPARE(FForm->OpenDirItem->Caption(), Caption);
    FForm->ShowObjectsSize(0);
    QCOMPARE(FForm->ObjectsSizeL->Caption(), Required);
}

void TestBrowseForm::volumeList()
{
    FVolumes.Free.insert(QDir::cleanPath(Home()), qint64(300) << 20);
    CreateForm();
    TBrowseF& F = *FForm;
    QCOMPARE(F.DriveList->Items().Count(), 2);
    QCOMPARE(F.DriveList->Items().Strings(0), QDir::cleanPath(Home()));
    QCOMPARE(F.DriveList->Items().Strings(1), FDir->path() + u"/stick (mystick)"_s);
    QCOMPARE(F.DriveIcons->Count(), 2);
    QCOMPARE(F.DriveList->ItemIndex(), 0);
    QCOMPARE(F.DirList->Directory(), QDir::cleanPath(Home()));
    QCOMPARE(F.FreeL->Caption(), u"Free space: 300 MB"_s);

    F.DriveList->SetItemIndex(1);
    F.DriveListChange();
    QCOMPARE(F.DirList->Directory(), FDir->path() + u"/stick"_s);
    QCOMPARE(F.FreeL->Caption(), u"Free space: 0 MB"_s);
    QVERIFY(FMessages.Boxes.isEmpty());

    // A volume mounted after the window was made is offered the next time it opens; the volume
    // chosen before stays chosen, and so does the folder shown in it.
    QVERIFY(QDir().mkpath(FDir->path() + u"/stick/inner"_s));
    F.DirList->SetDirectory(FDir->path() + u"/stick/inner"_s);
    TVolume Later;
    Later.RootPath = FDir->path() + u"/later"_s;
    Later.Label = u"Later"_s;
    Later.Fixed = false;
    FVolumes.List.prepend(Later);
    QStringList Offered;
    QString Shown;
    int Chosen = -1;
    TCopyRules Rules;
    Execute(Rules, [&] {
        Offered = F.DriveList->Items().ToStringList();
        Chosen = F.DriveList->ItemIndex();
        Shown = F.DirList->Directory();
    });
    QCOMPARE(Offered, (QStringList{FDir->path() + u"/later (later)"_s, QDir::cleanPath(Home()),
                                   FDir->path() + u"/stick (mystick)"_s}));
    QCOMPARE(F.DriveIcons->Count(), 3);
    QCOMPARE(Chosen, 2);
    QCOMPARE(Shown, FDir->path() + u"/stick/inner"_s);
}

void TestBrowseForm::withoutAFixedVolumeTheFirstIsChosen()
{
    FVolumes.List[0].Fixed = false;
    CreateForm();
    QCOMPARE(FForm->DriveList->ItemIndex(), 0);

    FVolumes.List.swapItemsAt(0, 1);
    FVolumes.List[1].Fixed = true;
    CreateForm();
    QCOMPARE(FForm->DriveList->ItemIndex(), 1);

    FVolumes.List.clear();
    CreateForm();
    QCOMPARE(FForm->DriveList->ItemIndex(), -1);
    QCOMPARE(FForm->DirList->Directory(), QString());
}

void TestBrowseForm::volumeNotReady()
{
    const QString Stick = FDir->path() + u"/stick"_s;
    FVolumes.NotReady.insert(Stick);
    FVolumes.Free.insert(QDir::cleanPath(Home()), qint64(2) << 20);
    CreateForm();
    TBrowseF& F = *FForm;
    QCOMPARE(F.FreeL->Caption(), u"Free space: 2 MB"_s);

    // While the window is hidden, the volume is passed over without a message.
    F.DriveList->SetItemIndex(1);
    F.DriveListChange();
    QVERIFY(FMessages.Boxes.isEmpty());
    QCOMPARE(F.DirList->Directory(), QDir::cleanPath(Home()));
    QCOMPARE(F.FreeL->Caption(), u"Free space: 0 MB"_s);

    F.show();
    F.DriveListChange();
    F.hide();
    QCOMPARE(FMessages.Boxes.size(), 1);
    QCOMPARE(FMessages.Boxes[0].Text, u"Drive "_s + Stick + u" is not enabled"_s);
    QCOMPARE(FMessages.Boxes[0].Caption, u"Диск недоступен"_s);
    QCOMPARE(FMessages.Boxes[0].Flags, 0x2010u);
    QCOMPARE(F.DirList->Directory(), QDir::cleanPath(Home()));
}

void TestBrowseForm::folderSuggestion_data()
{
    QTest::addColumn<int>("InsertMode");
    QTest::addColumn<QString>("DefaultFolder");
    QTest::addColumn<QString>("Shown");       // DirEdit when the window shows, below the home folder
    QTest::addColumn<QString>("AfterChange"); // after choosing the folder "sub" of the home folder

    for (const int Mode : {0, 1}) {
        QTest::addRow("mode %d, default folder", Mode)
            << Mode << u"C:\\Games\\Foo"_s << u"Games/Foo/"_s << u"sub/"_s;
        QTest::addRow("mode %d, item folder", Mode) << Mode << QString() << u"Game/"_s << u"sub/"_s;
    }
    QTest::newRow("mode 2, default folder")
        << 2 << u"C:\\Games\\Foo"_s << u"Games/Foo/"_s << u"sub/Games/Foo/"_s;
    QTest::newRow("mode 2, item folder") << 2 << QString() << u"Game/"_s << u"sub/Game/"_s;
}

void TestBrowseForm::folderSuggestion()
{
    QFETCH(int, InsertMode);
    QFETCH(QString, DefaultFolder);
    QFETCH(QString, Shown);
    QFETCH(QString, AfterChange);

    QVERIFY(QDir().mkpath(Home(u"sub"_s)));
    DesignSettings.Copy.InsertMode = quint8(InsertMode);
    FItem->CopyRules.DefaultFolder = DefaultFolder;
    CreateForm();
    TBrowseF& F = *FForm;
    // Another volume chosen before: a drive in the default folder names no volume here, so the
    // window stays on the one chosen.
    F.DriveList->SetItemIndex(1);
    F.DriveListChange();
    F.DriveList->SetItemIndex(0);
    F.DriveListChange();
    F.show();
    QCOMPARE(F.DriveList->ItemIndex(), 0);
    QCOMPARE(F.DirEdit->Text(), Home(Shown));
    QVERIFY(F.DirList->SetDirectory(Home(u"sub"_s)));
    QCOMPARE(F.DirEdit->Text(), Home(AfterChange));
    F.hide();

    // Without a current item the suggestion is the folder itself.
    FItem = nullptr;
    F.show();
    QCOMPARE(F.DirEdit->Text(), Home(u"sub/"_s));
    F.hide();
}

void TestBrowseForm::drawsTheVolumeIcon()
{
    CreateForm();
    TBrowseF& F = *FForm;
    QImage Red(16, 16, QImage::Format_ARGB32);
    Red.fill(Qt::red);
    // Set after the show, which reads the volumes and their icons again.
    F.show();
    F.DriveIcons->Clear();
    F.DriveIcons->Add(Red);
    F.DriveIcons->Add(Red);
    const QImage Shot = F.DriveList->grab().toImage();
    F.hide();
    int FirstRed = -1;
    for (int X = 0; X < Shot.width() && FirstRed < 0; ++X) {
        if (Shot.pixel(X, Shot.height() / 2) == 0xFFFF0000u)
            FirstRed = X;
    }
    // The icon lies 2 pixels from the item's left edge, inside the field's frame.
    QVERIFY2(FirstRed >= 2 && FirstRed < 10, qPrintable(QString::number(FirstRed)));
}

void TestBrowseForm::openFolderFromThePopup()
{
    QVERIFY(QDir().mkpath(Home(u"sub"_s)));
    CreateForm();
    TBrowseF& F = *FForm;
    F.show();
    const int Index = F.DirList->Items().IndexOf(u"sub"_s);
    QVERIFY(Index >= 0);
    F.DirList->SetItemIndex(Index);
    F.DirListMouseDown(F.DirList, TControl::mbRight, {}, 1, 1);
    QVERIFY(F.PMenu->Showing());
    F.PMenu->Menu()->hide();
    F.OpenDirItem->Click();
    F.hide();
    QCOMPARE(FShell.Calls.size(), 1);
    QCOMPARE(FShell.Calls[0].Verb, TFakeShellService::svExplore);
    QCOMPARE(FShell.Calls[0].File, Home(u"sub"_s));
    // The left button opens no menu.
    F.DirListMouseDown(F.DirList, TControl::mbLeft, {}, 1, 1);
    QVERIFY(!F.PMenu->Showing());
}

void TestBrowseForm::noEnabledRulesShowTheMessage()
{
    CreateForm();
    TCopyRules Rules;
    AddRules(Rules, {u"-|Data\\a.txt|..."_s});
    const int Result = Execute(Rules, [&] { FForm->CopyBtn->Click(); });
    QCOMPARE(Result, 1);
    QVERIFY(!FForm->isVisible());
    QCOMPARE(FForm->LastCopyResult(), 5);
    QCOMPARE(FMessages.Boxes.size(), 1);
    QCOMPARE(FMessages.Boxes[0].Text, u"There are no files to copy"_s);
    QCOMPARE(FMessages.Boxes[0].Caption, u"Veltrane"_s);
    QCOMPARE(FMessages.Boxes[0].Flags, 0x2040u);
}

void TestBrowseForm::escapeCancels()
{
    CreateForm();
    TCopyRules Rules;
    AddRules(Rules, {u"+|Data\\a.txt|..."_s});
    QCOMPARE(Execute(Rules,
                     [&] {
                         Focus(FForm->DirEdit->LineEdit());
                         QTest::keyClick(FForm->DirEdit->LineEdit(), Qt::Key_Escape);
                     }),
             2);
    QCOMPARE(FForm->LastCopyResult(), -1);
    QCOMPARE(TreeOf(Home()), QStringList{});
    // The cancel button closes the same way.
    QCOMPARE(Execute(Rules, [&] { FForm->CancelBtn->Click(); }), 2);
    QCOMPARE(TreeOf(Home()), QStringList{});
}

void TestBrowseForm::enterCopies_data()
{
    QTest::addColumn<bool>("InList");
    QTest::newRow("in the folder field") << false;
    QTest::newRow("in the folder list") << true;
}

void TestBrowseForm::enterCopies()
{
    QFETCH(bool, InList);
    QVERIFY(QDir().mkpath(Home(u"sub"_s)));
    DesignSettings.Copy.InsertMode = 0;
    CreateForm();
    TCopyRules Rules;
    AddRules(Rules, {u"+|Data\\a.txt|..."_s});
    QString ListFolder;
    const int Result = Execute(Rules, [&] {
        if (InList) {
            FForm->DirList->SetItemIndex(FForm->DirList->Items().IndexOf(u"sub"_s));
            Focus(FForm->DirList->InnerWidget());
            QTest::keyClick(FForm->DirList->InnerWidget(), Qt::Key_Return);
        } else {
            FForm->DirEdit->SetText(Home(u"chosen"_s));
            Focus(FForm->DirEdit->LineEdit());
            QTest::keyClick(FForm->DirEdit->LineEdit(), Qt::Key_Return);
        }
        ListFolder = FForm->DirList->Directory();
    });
    QCOMPARE(Result, 1);
    QCOMPARE(FForm->LastCopyResult(), 0);
    // Enter copied into the folder of the field; in the list it did not open the selected folder.
    QCOMPARE(ListFolder, QDir::cleanPath(Home()));
    QCOMPARE(TreeOf(Home()), QStringList{InList ? u"Game/a.txt=a"_s : u"chosen/a.txt=a"_s});
}

void TestBrowseForm::sizeCountReportsTheTotal()
{
    CreateForm();
    TCopyRules Rules;
    AddRules(Rules, {u"+|Data\\*.*|..."_s, u"+|Data\\missing.bin|..."_s});
    QString First;
    QString Counted;
    QCOMPARE(Execute(Rules,
                     [&] {
                         First = FForm->ObjectsSizeL->Caption();
                         QTRY_VERIFY(!FForm->SizeCountRunning());
                         Counted = FForm->ObjectsSizeL->Caption();
                     }),
             2);
    QCOMPARE(First.left(10), u"Required: "_s);
    // 1 + 6 + 6 + 1 + 1 bytes.
    QCOMPARE(Counted, RequiredSizeText(15, 0x0409));
}

void TestBrowseForm::copyThroughTheWindow()
{
    DesignSettings.Copy.InsertMode = 2;
    FItem->CopyRules.DefaultFolder = u"C:\\Games\\Foo"_s;
    CreateForm();
    TCopyRules Rules;
    // The collection itself is not enabled: it is copied all the same.
    Rules.Enabled = false;
    AddRules(Rules, {u"+|Data\\*.*|..."_s, u"+|Other\\x.txt|...\\Extra"_s, u"-|Other\\x.txt|..."_s});
    // Two files are there already.
    QVERIFY(WriteFile(Home(u"Games/Foo/a.txt"_s), "old a"));
    QVERIFY(WriteFile(Home(u"Games/Foo/sub/b.txt"_s), "old b"));
    FAnswers = {oaNo, oaYes};

    QString Chosen;
    const int Result = Execute(Rules, [&] {
        Chosen = FForm->DirEdit->Text();
        FForm->CopyBtn->Click();
    });
    QCOMPARE(Result, 1);
    QCOMPARE(Chosen, Home(u"Games/Foo/"_s));
    QCOMPARE(FForm->Folder(), Chosen);
    QCOMPARE(FForm->LastCopyResult(), 0);
    QCOMPARE(FQuestions, (QStringList{u"Games/Foo/a.txt"_s, u"Games/Foo/sub/b.txt"_s}));
    QCOMPARE(TreeOf(Home()), (QStringList{u"Games/Foo/.hidden=hidden"_s, u"Games/Foo/Extra/x.txt=x"_s,
                                          u"Games/Foo/README=readme"_s, u"Games/Foo/a.txt=old a"_s,
                                          u"Games/Foo/sub/b.txt=b"_s, u"Games/Foo/sub/deeper/c.dat=c"_s}));
    QVERIFY(FMessages.Boxes.isEmpty());
    // The destinations now carry the chosen folder.
    for (const TCopyPair& Pair : FForm->FileList().Pairs())
        QVERIFY2(Pair.Destination.startsWith(Chosen), qPrintable(Pair.Destination));

    // Again, replacing everything at the first question.
    FAnswers = {oaYesToAll};
    FQuestions.clear();
    QVERIFY(WriteFile(Disc(u"Data/a.txt"_s), "new a"));
    QCOMPARE(Execute(Rules, [&] { FForm->CopyBtn->Click(); }), 1);
    QCOMPARE(FQuestions, QStringList{u"Games/Foo/.hidden"_s});
    QCOMPARE(ReadFile(Home(u"Games/Foo/a.txt"_s)), QByteArray("new a"));
}

void TestBrowseForm::aFolderWithoutItsPathLiesBelowTheListedOne_data()
{
    QTest::addColumn<QString>("Typed");
    QTest::addColumn<QString>("Copied");
    QTest::addColumn<QString>("Folder"); // what the window reports as chosen, below the home folder
    QTest::newRow("a name") << u"typed"_s << u"typed/a.txt=a"_s << u"typed/"_s;
    QTest::newRow("a relative path") << u"typed\\deeper"_s << u"typed/deeper/a.txt=a"_s << u"typed/deeper/"_s;
    QTest::newRow("nothing") << QString() << u"a.txt=a"_s << QString();
    QTest::newRow("blanks") << u"  "_s << u"a.txt=a"_s << QString();
}

void TestBrowseForm::aFolderWithoutItsPathLiesBelowTheListedOne()
{
    QFETCH(QString, Typed);
    QFETCH(QString, Copied);
    QFETCH(QString, Folder);
    CreateForm();
    TCopyRules Rules;
    AddRules(Rules, {u"+|Data\\a.txt|..."_s});
    QCOMPARE(Execute(Rules,
                     [&] {
                         FForm->DirEdit->SetText(Typed);
                         FForm->CopyBtn->Click();
                     }),
             1);
    QCOMPARE(FForm->LastCopyResult(), 0);
    QCOMPARE(TreeOf(Home()), QStringList{Copied});
    // The folder a pre-copy step opens its object from is the one the files went to, in full.
    QCOMPARE(FForm->Folder(), Home(Folder));
}

void TestBrowseForm::failuresAreReported()
{
    CreateForm();
    TCopyRules Rules;
    AddRules(Rules,
             {u"+|Data\\a.txt|...\\..\\..\\outside"_s, u"+|Data\\gone.txt|..."_s, u"+|Other\\x.txt|..."_s});
    QCOMPARE(Execute(Rules,
                     [&] {
                         FForm->DirEdit->SetText(Home(u"in"_s));
                         FForm->CopyBtn->Click();
                     }),
             1);
    QCOMPARE(FForm->LastCopyResult(), int(cpFailed));
    // What could be copied was; nothing was written outside the chosen folder.
    QCOMPARE(TreeOf(FDir->path()).filter(u"outside"_s), QStringList{});
    QCOMPARE(TreeOf(Home()), QStringList{u"in/x.txt=x"_s});
    QCOMPARE(FMessages.Boxes.size(), 1);
    const TRecordingMessages::TBox& Box = FMessages.Boxes[0];
    QCOMPARE(Box.Caption, u"Veltrane"_s);
    QCOMPARE(Box.Flags, 0x2010u);
    QVERIFY2(Box.Text.contains(u"outside"_s), qPrintable(Box.Text));
    QVERIFY2(Box.Text.contains(u"gone.txt"_s), qPrintable(Box.Text));
    QVERIFY2(!Box.Text.contains(u"x.txt"_s), qPrintable(Box.Text));
}

void TestBrowseForm::cancelFromTheQuestion()
{
    CreateForm();
    TCopyRules Rules;
    AddRules(Rules, {u"+|Data\\a.txt|..."_s, u"+|Other\\x.txt|..."_s});
    QVERIFY(WriteFile(Home(u"t/a.txt"_s), "old"));
    FAnswers = {oaCancel};
    QCOMPARE(Execute(Rules,
                     [&] {
                         FForm->DirEdit->SetText(Home(u"t"_s));
                         FForm->CopyBtn->Click();
                     }),
             1);
    QCOMPARE(FForm->LastCopyResult(), int(cpCancelled));
    QCOMPARE(TreeOf(Home()), QStringList{u"t/a.txt=old"_s});
    QVERIFY(FMessages.Boxes.isEmpty());
}

QTEST_MAIN(TestBrowseForm)
#include "tst_browseform.moc"
