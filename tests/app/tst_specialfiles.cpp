// Every reader of disc files on a FIFO (and on a link to one): each must take it for a missing file.
// Opening a FIFO for reading waits for a writer that never comes, so a reader that opens one on its
// own hangs here and the test runs into its time limit.

#include "ControlStrings.h"
#include "CopyList.h"
#include "CursorSlots.h"
#include "FakeMessageService.h"
#include "Graphic.h"
#include "LoadProject.h"
#include "MessageService.h"
#include "SoundEngine.h"
#include "Startup.h"
#include "Thumbnail.h"
#include "VeltraneText.h"
#include "config/ControlsProps.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/LegacyModel.h"
#include "model/Project.h"
#include "model/StructureFile.h"
#include "text/DiscFile.h"
#include "text/Paths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// True when the reader took the file at Path for a missing one.
using TReader = std::function<bool(const QString& Path)>;

} // namespace

Q_DECLARE_METATYPE(TReader)

class TestSpecialFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void openDiscFile_data();
    void openDiscFile();
    void readersTakeFifoForMissing_data();
    void readersTakeFifoForMissing();

private:
    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TVeltraneProject> FProject;
    TRecordingMessages FMessages;
};

void TestSpecialFiles::initTestCase()
{
    InitLanguageUnit();
    QVERIFY(SelectLanguage(0x0409));
    // The engine plays into nothing; only opening a file matters here.
    qputenv("SDL_AUDIODRIVER", "dummy");
}

void TestSpecialFiles::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    ProgramFolder = FDir->path() + u'/';
    QVERIFY(QDir().mkpath(FDir->filePath(u"Shell/Images"_s)));
    QVERIFY(QDir().mkpath(FDir->filePath(u"Shell/Cursor"_s)));
    FProject = std::make_unique<TVeltraneProject>();
    FProject->ProgramVersion = {2, 7, 5};
    Project = FProject.get();
    LoadFailed = false;
    DesignSettings = IniFileStruct();
    FMessages.Boxes.clear();
    SetMessageService(&FMessages);
}

void TestSpecialFiles::cleanup()
{
    SetMessageService(nullptr);
    Project = nullptr;
}

void TestSpecialFiles::openDiscFile_data()
{
    QTest::addColumn<QString>("Kind");
    QTest::addColumn<bool>("Opens");
    QTest::addColumn<QString>("Reason");
    QTest::newRow("regular file") << u"file"_s << true << QString();
    QTest::newRow("link to a regular file") << u"link to file"_s << true << QString();
    QTest::newRow("missing") << u"missing"_s << false << u"file not found"_s;
    QTest::newRow("dangling link") << u"dangling link"_s << false << u"file not found"_s;
    QTest::newRow("folder") << u"folder"_s << false << u"file to open is a directory"_s;
    QTest::newRow("FIFO") << u"fifo"_s << false << u"not a regular file"_s;
    QTest::newRow("link to a FIFO") << u"link to fifo"_s << false << u"not a regular file"_s;
    QTest::newRow("character device") << u"device"_s << false << u"not a regular file"_s;
}

void TestSpecialFiles::openDiscFile()
{
    QFETCH(QString, Kind);
    QFETCH(bool, Opens);
    QFETCH(QString, Reason);

    const QString File = FDir->filePath(u"file.txt"_s);
    const QString Fifo = FDir->filePath(u"fifo"_s);
    {
        QFile F(File);
        QVERIFY(F.open(QIODevice::WriteOnly));
        F.write("text");
    }
    QCOMPARE(mkfifo(QFile::encodeName(Fifo).constData(), 0600), 0);
    const QString Target = FDir->filePath(u"target"_s);
    if (Kind == u"link to file"_s)
        QVERIFY(QFile::link(File, Target));
    else if (Kind == u"dangling link"_s)
        QVERIFY(QFile::link(FDir->filePath(u"nothing"_s), Target));
    else if (Kind == u"folder"_s)
        QVERIFY(QDir().mkdir(Target));
    else if (Kind == u"link to fifo"_s)
        QVERIFY(QFile::link(Fifo, Target));
    else if (Kind == u"device"_s)
        QVERIFY(QFile::link(u"/dev/zero"_s, Target));
    const QString Name = Kind == u"file"_s ? File : Kind == u"fifo"_s ? Fifo : Target;

    QFile F;
    QString Error;
    QCOMPARE(OpenDiscFile(F, Name, &Error), Opens);
    QCOMPARE(F.isOpen(), Opens);
    QCOMPARE(FileExists(Name), Opens);
    if (Opens)
        QCOMPARE(F.readAll(), QByteArray("text"));
    else
        QCOMPARE(Error, Reason);
}

void TestSpecialFiles::readersTakeFifoForMissing_data()
{
    QTest::addColumn<QString>("Relative"); // below the disc root
    QTest::addColumn<TReader>("Reader");

    QTest::newRow("shell.ini") << u"Shell/shell.ini"_s << TReader([](const QString& Path) {
        DesignSettings.Options.ProjectName = u"changed"_s;
        ReadDesignSettings(Path);
        return DesignSettings.Options.ProjectName == u"veltrane.vlp"_s;
    });
    QTest::newRow("controls.ini") << u"Shell/controls.ini"_s << TReader([](const QString& Path) {
        TControlsPropsContainer Controls;
        Controls.LoadFromFile(Path);
        return Controls.LoadError().isEmpty();
    });
    QTest::newRow("params.txt") << u"Shell/params.txt"_s << TReader([this](const QString&) {
        return ParseCommandLine(u"autorun -?"_s) == -1 && FMessages.Boxes.isEmpty();
    });
    QTest::newRow("structure file") << u"Shell/veltrane.vlp"_s << TReader([](const QString& Path) {
        return Project->LoadFromFile(Path) == lrNoAccess;
    });
    QTest::newRow("structure file at start-up") << u"Shell/veltrane.vlp"_s << TReader([this](const QString&) {
        // A missing structure file: the empty project, no message.
        LoadProject(FindProjectFile());
        return !LoadFailed && FMessages.Boxes.isEmpty();
    });
    QTest::newRow("legacy file") << u"Shell/veltrane.apr"_s << TReader([](const QString& Path) {
        Legacy::TVeltrane Root;
        bool Opened = true;
        return !ReadLegacyFile(Path, Root, &Opened).Ok && !Opened;
    });
    QTest::newRow("picture") << u"Shell/Images/wallpaper.jpg"_s
                             << TReader([](const QString& Path) { return !LoadGraphic(Path).Ok(); });
    QTest::newRow("thumbnail") << u"shots/one.png"_s << TReader([](const QString& Path) {
        // A missing screenshot gives a black box, and no error.
        QImage Bitmap;
        QString Error;
        return MakeThumbnail(Path, 8, 6, false, Bitmap, &Error) && Error.isEmpty();
    });
    QTest::newRow("cursor") << u"Shell/Cursor/arrow.ani"_s << TReader([](const QString&) {
        qint16 Slot = 1;
        return !LoadCursorFile(u"arrow.ani"_s, Slot, 0) && Slot == 0;
    });
    QTest::newRow("music") << u"music/song.mp3"_s << TReader([](const QString& Path) {
        TSoundEngine Engine;
        if (!Engine.Init(-1, 44100, 0, nullptr))
            return false;
        const bool Missing = Engine.StreamCreateFile(Path) == 0;
        Engine.Free();
        return Missing;
    });
    QTest::newRow("text item") << u"texts/readme.txt"_s << TReader([](const QString& Path) {
        TVeltraneText Text;
        return !Text.LoadFromFile(Path) && Text.Caption().isEmpty();
    });
    QTest::newRow("reader document") << u"texts/history.txt"_s << TReader([](const QString& Path) {
        TControlStrings Lines;
        return !Lines.LoadFromFile(Path) && Lines.Count() == 0;
    });
    QTest::newRow("copy size") << u"copy/data.bin"_s
                               << TReader([](const QString& Path) { return CountBytes({Path}) == 0; });
}

void TestSpecialFiles::readersTakeFifoForMissing()
{
    QFETCH(QString, Relative);
    QFETCH(TReader, Reader);

    const QString Path = FDir->filePath(Relative);
    QVERIFY(QDir().mkpath(QFileInfo(Path).absolutePath()));
    QCOMPARE(mkfifo(QFile::encodeName(Path).constData(), 0600), 0);
    QVERIFY(Reader(Path));

    // A link to a FIFO is no regular file either.
    const QString Fifo = FDir->filePath(u"elsewhere.fifo"_s);
    QVERIFY(QFile::rename(Path, Fifo));
    QVERIFY(QFile::link(Fifo, Path));
    QVERIFY(Reader(Path));
}

QTEST_MAIN(TestSpecialFiles)
#include "tst_specialfiles.moc"
