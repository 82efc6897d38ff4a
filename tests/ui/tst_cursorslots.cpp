#include "CursorSlots.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

// A cursor or icon file with one 16 x 16 picture of 32 bits per pixel.
QByteArray IconFile(quint16 Type, quint16 Field4, quint16 Field6)
{
    constexpr int Size = 16;
    QByteArray Image;
    const auto Put16 = [](QByteArray& B, quint16 V) {
        char Bytes[2];
        qToLittleEndian(V, Bytes);
        B.append(Bytes, 2);
    };
    const auto Put32 = [](QByteArray& B, quint32 V) {
        char Bytes[4];
        qToLittleEndian(V, Bytes);
        B.append(Bytes, 4);
    };
    Put32(Image, 40);       // header size
    Put32(Image, Size);     // width
    Put32(Image, Size * 2); // height of colour and mask together
    Put16(Image, 1);        // planes
    Put16(Image, 32);       // bits per pixel
    for (int I = 0; I < 6; ++I) {
        Put32(Image, 0);
    }
    for (int I = 0; I < Size * Size; ++I) {
        Put32(Image, 0xFF336699);
    }
    Image.append(QByteArray(Size * 4, '\0')); // mask rows, 32 bits each

    QByteArray File;
    Put16(File, 0);
    Put16(File, Type);
    Put16(File, 1);
    File.append(char(Size));
    File.append(char(Size));
    File.append('\0');
    File.append('\0');
    Put16(File, Field4);
    Put16(File, Field6);
    Put32(File, quint32(Image.size()));
    Put32(File, 22);
    return File + Image;
}

} // namespace

class TCursorSlotsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void MissingFilesGiveFallbacks();
    void LoadedFileKeepsSlotId();
    void CursorFolderFromDesignSettings_data();
    void CursorFolderFromDesignSettings();
    void UnreadableFileGivesFallback_data();
    void UnreadableFileGivesFallback();
    void SwitchingOffAndOnReloadsOnlyBusy();
    void BusyFallsBackToHourglass();
    void NoAnimatedCursorsAtStart();
    void StandardIds_data();
    void StandardIds();
    void ClientsRunInOrderAfterBusy();
    void ClientsDroppedWithTheirOwner();
    void ClientsChangedWhileRunning();
    void BuiltInLoader_data();
    void BuiltInLoader();
    void BuiltInLoaderReadsAnimatedCursors();

private:
    QTemporaryDir* Root = nullptr;
    QStringList Loaded; // files the loader was asked for
    bool MakeFile(const QString& RelativeName, const QByteArray& Content = "RIFF");
    QString CursorPath(const QString& Name) const;
};

bool TCursorSlotsTest::MakeFile(const QString& RelativeName, const QByteArray& Content)
{
    const QString Name = Root->filePath(RelativeName);
    if (!QDir().mkpath(QFileInfo(Name).absolutePath())) {
        return false;
    }
    QFile F(Name);
    return F.open(QIODevice::WriteOnly) && F.write(Content) == Content.size();
}

QString TCursorSlotsTest::CursorPath(const QString& Name) const
{
    return Root->filePath(u"Shell/Cursor/"_s + Name);
}

void TCursorSlotsTest::init()
{
    Root = new QTemporaryDir;
    QVERIFY(Root->isValid());
    ProgramFolder = Root->path() + u'/';
    DesignSettings = IniFileStruct();
    ResetCursorSlots();
    Loaded.clear();
    // Stands in for the picture reader: any file that starts like a RIFF file is a cursor.
    SetCursorFileLoader([this](const QString& FileName) -> std::optional<TCursorImage> {
        Loaded.append(FileName);
        QFile F(FileName);
        if (!F.open(QIODevice::ReadOnly) || !F.read(4).startsWith("RIFF")) {
            return std::nullopt;
        }
        QPixmap Frame(32, 32);
        Frame.fill(Qt::red);
        TCursorImage Image;
        Image.Frames = {QCursor(Frame, 1, 2), QCursor(Frame, 3, 4)};
        Image.FrameTimes = {100, 200};
        return Image;
    });
}

void TCursorSlotsTest::cleanup()
{
    SetCursorFileLoader({});
    ResetCursorSlots();
    ProgramFolder.clear();
    delete Root;
    Root = nullptr;
}

void TCursorSlotsTest::MissingFilesGiveFallbacks()
{
    // The main window's five, in its order.
    QVERIFY(!LoadCursorFile(DesignSettings.Cursors.crDefault, CursorDefault, crDefault));
    QVERIFY(!LoadCursorFile(DesignSettings.Cursors.crPen, CursorPen, crDefault));
    QVERIFY(!LoadCursorFile(DesignSettings.Cursors.crHelp, CursorHelp, crDefault));
    QVERIFY(!LoadCursorFile(DesignSettings.Cursors.crIBeam, CursorIBeam, crIBeam));
    QVERIFY(!LoadCursorFile(DesignSettings.Cursors.crHandPoint, CursorHand, crHandPoint));
    QCOMPARE(CursorDefault, qint16(0));
    QCOMPARE(CursorPen, qint16(0));
    QCOMPARE(CursorHelp, qint16(0));
    QCOMPARE(CursorIBeam, qint16(-4));
    QCOMPARE(CursorHand, qint16(-21));
    QCOMPARE(CursorBusy, qint16(6));
    QVERIFY(Loaded.isEmpty());
    for (int Id = 1; Id <= 6; ++Id) {
        QVERIFY(RegisteredCursor(Id) == nullptr);
    }
    QCOMPARE(CursorFor(CursorIBeam).shape(), Qt::IBeamCursor);
    QCOMPARE(CursorFor(CursorHand).shape(), Qt::PointingHandCursor);
}

void TCursorSlotsTest::LoadedFileKeepsSlotId()
{
    QVERIFY(MakeFile(u"Shell/Cursor/hpoint.ani"_s));
    QVERIFY(LoadCursorFile(u"hpoint.ani"_s, CursorHand, crHandPoint));
    QCOMPARE(CursorHand, qint16(5));
    QCOMPARE(Loaded, QStringList{CursorPath(u"hpoint.ani"_s)});

    const TCursorImage* Image = RegisteredCursor(5);
    QVERIFY(Image != nullptr);
    QCOMPARE(Image->Frames.size(), 2);
    QCOMPARE(Image->FrameTimes, (QList<int>{100, 200}));
    const QCursor Shown = CursorFor(CursorHand);
    QCOMPARE(Shown.shape(), Qt::BitmapCursor);
    QCOMPARE(Shown.hotSpot(), QPoint(1, 2));
    // Only the slot that loaded holds a custom cursor.
    QVERIFY(RegisteredCursor(1) == nullptr);
}

void TCursorSlotsTest::CursorFolderFromDesignSettings_data()
{
    QTest::addColumn<QString>("Folder");   // [Path] Cursors as read
    QTest::addColumn<QString>("FileName"); // as the settings name it
    QTest::addColumn<QString>("OnDisc");   // below the program folder

    QTest::newRow("default folder") << u"Cursor\\"_s << u"pen.ani"_s << u"Shell/Cursor/pen.ani"_s;
    QTest::newRow("other folder") << u"Skin\\Cur\\"_s << u"pen.ani"_s << u"Shell/Skin/Cur/pen.ani"_s;
    QTest::newRow("empty folder is the Shell folder") << QString() << u"pen.ani"_s << u"Shell/pen.ani"_s;
    QTest::newRow("case of a Windows disc") << u"CURSOR\\"_s << u"PEN.ANI"_s << u"shell/cursor/Pen.ani"_s;
}

void TCursorSlotsTest::CursorFolderFromDesignSettings()
{
    QFETCH(QString, Folder);
    QFETCH(QString, FileName);
    QFETCH(QString, OnDisc);

    DesignSettings.Path.Cursors = Folder;
    QVERIFY(MakeFile(OnDisc));
    QVERIFY(LoadCursorFile(FileName, CursorPen, crDefault));
    QCOMPARE(CursorPen, qint16(2));
    QCOMPARE(Loaded.size(), 1);
    QCOMPARE(QFileInfo(Loaded.first()).canonicalFilePath(),
             QFileInfo(Root->filePath(OnDisc)).canonicalFilePath());
}

void TCursorSlotsTest::UnreadableFileGivesFallback_data()
{
    QTest::addColumn<QString>("FileName");
    QTest::addColumn<bool>("AsFolder");

    QTest::newRow("not a cursor") << u"ibeam.ani"_s << false;
    QTest::newRow("a folder of that name") << u"ibeam.ani"_s << true;
    QTest::newRow("no name") << QString() << false;
}

void TCursorSlotsTest::UnreadableFileGivesFallback()
{
    QFETCH(QString, FileName);
    QFETCH(bool, AsFolder);

    if (AsFolder) {
        QVERIFY(QDir(Root->path()).mkpath(u"Shell/Cursor/"_s + FileName));
    } else if (!FileName.isEmpty()) {
        QVERIFY(MakeFile(u"Shell/Cursor/"_s + FileName, "not a cursor"));
    }
    QVERIFY(!LoadCursorFile(FileName, CursorIBeam, crIBeam));
    QCOMPARE(CursorIBeam, qint16(-4));
    QVERIFY(RegisteredCursor(4) == nullptr);
    QCOMPARE(CursorFor(CursorIBeam).shape(), Qt::IBeamCursor);
}

void TCursorSlotsTest::SwitchingOffAndOnReloadsOnlyBusy()
{
    for (const QString& Name :
         {u"arrow.ani"_s, u"pen.ani"_s, u"ibeam.ani"_s, u"hpoint.ani"_s, u"busy.ani"_s}) {
        QVERIFY(MakeFile(u"Shell/Cursor/"_s + Name));
    }
    QVERIFY(LoadCursorFile(DesignSettings.Cursors.crDefault, CursorDefault, crDefault));
    QVERIFY(LoadCursorFile(DesignSettings.Cursors.crPen, CursorPen, crDefault));
    QVERIFY(LoadCursorFile(DesignSettings.Cursors.crHelp, CursorHelp, crDefault));
    QVERIFY(LoadCursorFile(DesignSettings.Cursors.crIBeam, CursorIBeam, crIBeam));
    QVERIFY(LoadCursorFile(DesignSettings.Cursors.crHandPoint, CursorHand, crHandPoint));
    QCOMPARE(Loaded.size(), 5);

    SetAnimatedCursors(true);
    QCOMPARE(CursorBusy, qint16(6));
    QCOMPARE(Loaded.size(), 6);
    QCOMPARE(Loaded.last(), CursorPath(u"busy.ani"_s));

    SetAnimatedCursors(false);
    QCOMPARE(CursorBusy, qint16(-11));
    QCOMPARE(Loaded.size(), 6);
    // Switching off only stops using the custom cursors: they stay registered and the slots keep their ids.
    QVERIFY(RegisteredCursor(6) != nullptr);
    QCOMPARE(CursorFor(CursorBusy).shape(), Qt::WaitCursor);

    SetAnimatedCursors(true);
    QCOMPARE(CursorBusy, qint16(6));
    QCOMPARE(Loaded.size(), 7);
    QCOMPARE(Loaded.last(), CursorPath(u"busy.ani"_s));
    const qint16 Slots[] = {CursorDefault, CursorPen, CursorHelp, CursorIBeam, CursorHand, CursorBusy};
    for (int I = 0; I < 6; ++I) {
        QCOMPARE(Slots[I], qint16(I + 1));
        QCOMPARE(CursorFor(Slots[I]).shape(), Qt::BitmapCursor);
    }
}

void TCursorSlotsTest::BusyFallsBackToHourglass()
{
    SetAnimatedCursors(true);
    QCOMPARE(CursorBusy, qint16(-11));
    QCOMPARE(CursorFor(CursorBusy).shape(), Qt::WaitCursor);

    // The next switch tries the file again.
    QVERIFY(MakeFile(u"Shell/Cursor/busy.ani"_s));
    SetAnimatedCursors(true);
    QCOMPARE(CursorBusy, qint16(6));
}

void TCursorSlotsTest::NoAnimatedCursorsAtStart()
{
    // "noanimcur": the main window loads nothing, start-up switches the cursors off.
    QVERIFY(MakeFile(u"Shell/Cursor/arrow.ani"_s));
    SetAnimatedCursors(false);
    QCOMPARE(CursorHelp, qint16(3));
    QVERIFY(RegisteredCursor(3) == nullptr);
    QCOMPARE(CursorFor(CursorHelp).shape(), Qt::ArrowCursor);
    QCOMPARE(CursorBusy, qint16(-11));
    QVERIFY(Loaded.isEmpty());
}

void TCursorSlotsTest::StandardIds_data()
{
    QTest::addColumn<int>("Id");
    QTest::addColumn<int>("Shape");

    QTest::newRow("default") << 0 << int(Qt::ArrowCursor);
    QTest::newRow("arrow") << -2 << int(Qt::ArrowCursor);
    QTest::newRow("I-beam") << -4 << int(Qt::IBeamCursor);
    QTest::newRow("hourglass") << -11 << int(Qt::WaitCursor);
    QTest::newRow("hand") << -21 << int(Qt::PointingHandCursor);
    QTest::newRow("none") << -1 << int(Qt::BlankCursor);
    QTest::newRow("cross") << -3 << int(Qt::CrossCursor);
    QTest::newRow("size north-south") << -7 << int(Qt::SizeVerCursor);
    QTest::newRow("size west-east") << -9 << int(Qt::SizeHorCursor);
    QTest::newRow("no") << -18 << int(Qt::ForbiddenCursor);
    QTest::newRow("help") << -20 << int(Qt::WhatsThisCursor);
    QTest::newRow("size all") << -22 << int(Qt::SizeAllCursor);
    QTest::newRow("unknown standard") << -100 << int(Qt::ArrowCursor);
    QTest::newRow("custom, nothing registered") << 3 << int(Qt::ArrowCursor);
    QTest::newRow("beyond the slots") << 40 << int(Qt::ArrowCursor);
}

void TCursorSlotsTest::StandardIds()
{
    QFETCH(int, Id);
    QFETCH(int, Shape);
    QCOMPARE(int(CursorFor(Id).shape()), Shape);
}

void TCursorSlotsTest::ClientsRunInOrderAfterBusy()
{
    QObject A, B, C;
    QStringList Calls;
    const auto Rule = [&Calls](const QString& Name) {
        return [&Calls, Name](bool Enabled) {
            Calls.append(Name % (Enabled ? u" on "_s : u" off "_s) % QString::number(CursorBusy));
        };
    };
    RegisterCursorClient(&B, Rule(u"B"_s));
    RegisterCursorClient(&A, Rule(u"A"_s));
    RegisterCursorClient(&C, Rule(u"C"_s));

    SetAnimatedCursors(false);
    QCOMPARE(Calls, (QStringList{u"B off -11"_s, u"A off -11"_s, u"C off -11"_s}));

    // The busy cursor is settled before any window asks for it.
    QVERIFY(MakeFile(u"Shell/Cursor/busy.ani"_s));
    Calls.clear();
    SetAnimatedCursors(true);
    QCOMPARE(Calls, (QStringList{u"B on 6"_s, u"A on 6"_s, u"C on 6"_s}));

    UnregisterCursorClient(&A);
    Calls.clear();
    SetAnimatedCursors(false);
    QCOMPARE(Calls, (QStringList{u"B off -11"_s, u"C off -11"_s}));
}

void TCursorSlotsTest::ClientsDroppedWithTheirOwner()
{
    QStringList Calls;
    QObject Kept;
    auto* Gone = new QObject;
    RegisterCursorClient(Gone, [&Calls](bool) { Calls.append(u"gone"_s); });
    RegisterCursorClient(&Kept, [&Calls](bool) { Calls.append(u"kept"_s); });
    delete Gone;
    SetAnimatedCursors(true);
    QCOMPARE(Calls, QStringList{u"kept"_s});

    RegisterCursorClient(nullptr, [&Calls](bool) { Calls.append(u"nobody"_s); });
    Calls.clear();
    SetAnimatedCursors(true);
    QCOMPARE(Calls, QStringList{u"kept"_s});
}

void TCursorSlotsTest::ClientsChangedWhileRunning()
{
    QStringList Calls;
    QObject First;
    auto* Second = new QObject;
    QObject Late;
    // The first window's rule closes the second window and opens a third one.
    RegisterCursorClient(&First, [&](bool) {
        Calls.append(u"first"_s);
        delete Second;
        Second = nullptr;
        RegisterCursorClient(&Late, [&Calls](bool) { Calls.append(u"late"_s); });
    });
    RegisterCursorClient(Second, [&Calls](bool) { Calls.append(u"second"_s); });

    SetAnimatedCursors(true);
    QCOMPARE(Calls, QStringList{u"first"_s});
    UnregisterCursorClient(&First);
    Calls.clear();
    SetAnimatedCursors(true);
    QCOMPARE(Calls, QStringList{u"late"_s});
}

void TCursorSlotsTest::BuiltInLoader_data()
{
    QTest::addColumn<QString>("FileName");
    QTest::addColumn<QByteArray>("Content");
    QTest::addColumn<bool>("Read");
    QTest::addColumn<QPoint>("HotSpot");

    QTest::newRow("cursor") << u"hand.cur"_s << IconFile(2, 5, 7) << true << QPoint(5, 7);
    QTest::newRow("cursor, extension in capitals")
        << u"HAND.CUR"_s << IconFile(2, 3, 1) << true << QPoint(3, 1);
    QTest::newRow("hot spot outside the picture")
        << u"far.cur"_s << IconFile(2, 300, 300) << true << QPoint(15, 15);
    QTest::newRow("icon: hot spot in the middle")
        << u"app.ico"_s << IconFile(1, 1, 32) << true << QPoint(8, 8);
    QTest::newRow("animated cursor") << u"busy.ani"_s << QByteArray("RIFF\x10\0\0\0ACON", 12) << false
                                     << QPoint();
    QTest::newRow("damaged cursor") << u"bad.cur"_s << QByteArray("\0\0\2\0\1\0", 6) << false << QPoint();
    QTest::newRow("empty cursor") << u"empty.cur"_s << QByteArray() << false << QPoint();
    // The content decides, whatever the name says.
    QTest::newRow("cursor named as a picture") << u"arrow.png"_s << IconFile(2, 1, 1) << true << QPoint(1, 1);
}

void TCursorSlotsTest::BuiltInLoader()
{
    QFETCH(QString, FileName);
    QFETCH(QByteArray, Content);
    QFETCH(bool, Read);
    QFETCH(QPoint, HotSpot);

    QVERIFY(MakeFile(FileName, Content));
    const std::optional<TCursorImage> Image = LoadCursorImage(Root->filePath(FileName));
    QCOMPARE(Image.has_value(), Read);
    if (Read) {
        QCOMPARE(Image->Frames.size(), 1);
        QCOMPARE(Image->Frames.first().shape(), Qt::BitmapCursor);
        QCOMPARE(Image->Frames.first().hotSpot(), HotSpot);
        QCOMPARE(Image->Frames.first().pixmap().size(), QSize(16, 16));
    }

    // Through the slots, with the built-in loader in place.
    SetCursorFileLoader({});
    DesignSettings.Path.Cursors.clear();
    QVERIFY(MakeFile(u"Shell/"_s + FileName, Content));
    QCOMPARE(LoadCursorFile(FileName, CursorHand, crHandPoint), Read);
    QCOMPARE(CursorHand, Read ? qint16(5) : qint16(-21));
}

void TCursorSlotsTest::BuiltInLoaderReadsAnimatedCursors()
{
    const QString Dir = QStringLiteral(AUTORUN_TEST_DATA_DIR "/imaging/cursors/");
    const auto Animated = LoadCursorImage(Dir + u"sequence.ani"_s);
    QVERIFY(Animated.has_value());
    QVERIFY(Animated->Frames.size() > 1);
    QCOMPARE(Animated->FrameTimes.size(), Animated->Frames.size());
    const auto Still = LoadCursorImage(Dir + u"frame0.cur"_s);
    QVERIFY(Still.has_value());
    QCOMPARE(Still->Frames.size(), 1);
    QVERIFY(!LoadCursorImage(Dir + u"missing.ani"_s).has_value());
}

QTEST_MAIN(TCursorSlotsTest)
#include "tst_cursorslots.moc"
