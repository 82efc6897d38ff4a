// Converting a legacy project into the current model.

#include "StreamBuilder.h"
#include "model/LegacyModel.h"
#include "model/Project.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace Legacy;

class TestConvertLegacy : public QObject
{
    Q_OBJECT

private slots:
    void projectFields();
    void onlyMainFilesBecomeActions();
    void stepPaths();
    void fileTypes_data();
    void fileTypes();
    void copyModes_data();
    void copyModes();
    void pictures();
    void splashTime_data();
    void splashTime();
};

namespace {

TItemFile& AddFile(TItemStruct& Item, const QString& File, bool Main, TExecType Exec = etOSExecuting)
{
    TItemFile& F = Item.Files.Add();
    F.ItemFile = File;
    F.ItemFile_Name = u"Name of "_s + File;
    F.isMain = Main;
    F.FileExectType.FileExecutingType = Exec;
    return F;
}

} // namespace

void TestConvertLegacy::projectFields()
{
    TVeltrane L;
    L.ProjectPath = u"D:\\Old"_s;
    L.SplashTime = 4;
    L.UserInfo.SetInfo(u"Ann"_s, u"Co"_s, u"a@b"_s, u"www"_s);
    L.UserInfo.AuthorWords = u"Words"_s;
    TVeltraneProject P;
    P.ConvertLegacy(L);
    QVERIFY(P.LegacyFlag);
    QCOMPARE(P.Folder, u"D:\\Old"_s);
    QCOMPARE(P.SplashScreen.ShowTime, 4);
    QCOMPARE(P.Creator.Name, u"Ann"_s);
    QCOMPARE(P.Creator.Company, u"Co"_s);
    QCOMPARE(P.Creator.Email, u"a@b"_s);
    QCOMPARE(P.Creator.WWW, u"www"_s);
    QCOMPARE(P.Creator.AuthorWords, u"Words"_s);
}

void TestConvertLegacy::splashTime_data()
{
    QTest::addColumn<int>("Legacy");
    QTest::addColumn<int>("ShowTime");
    QTest::newRow("positive") << 4 << 4;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("negative means no hold") << -1 << 0;
    QTest::newRow("most negative") << -32768 << 0;
}

void TestConvertLegacy::splashTime()
{
    QFETCH(int, Legacy);
    QFETCH(int, ShowTime);
    TVeltrane L;
    L.SplashTime = static_cast<qint16>(Legacy);
    TVeltraneProject P;
    P.ConvertLegacy(L);
    QCOMPARE(int(P.SplashScreen.ShowTime), ShowTime);
}

void TestConvertLegacy::onlyMainFilesBecomeActions()
{
    TVeltrane L;
    TSectionStruct& S = L.Sections.Add();
    S.SectionName = u"Sec"_s;
    TItemStruct& M = S.SItems.Add();
    M.ItemName = u"It"_s;
    M.CopyMode = 1;
    AddFile(M, u"a.txt"_s, false);
    AddFile(M, u"b.txt"_s, true);
    AddFile(M, u"sub\\c.txt"_s, false);

    TVeltraneProject P;
    P.ConvertLegacy(L);
    const TItem& I = P.Sections.Items(0).SItems.Items(0);
    QCOMPARE(P.Sections.Items(0).Name, u"Sec"_s);
    QCOMPARE(I.Name, u"It"_s);
    QCOMPARE(I.ItemActions.Count(), 1);
    QCOMPARE(I.ItemActions.Items(0).Description, u"Name of b.txt"_s);
    QVERIFY(I.ItemActions.Items(0).Enabled);
    QCOMPARE(I.ItemActions.Items(0).ImageIndex, -1);
    QVERIFY(I.CopyRules.Enabled);
    QCOMPARE(I.CopyRules.Count(), 3);
    QCOMPARE(I.CopyRules.Items(0).CopyingObject, u"a.txt"_s);
    QCOMPARE(I.CopyRules.Items(0).Destination, u"..."_s);
    QCOMPARE(I.CopyRules.Items(2).CopyingObject, u"sub\\c.txt"_s);
    QCOMPARE(I.CopyRules.Items(2).Destination, u"sub\\"_s);
    QCOMPARE(I.Screenshots.Count(), 0);
}

void TestConvertLegacy::stepPaths()
{
    TVeltrane L;
    TSectionStruct& S = L.Sections.Add();
    S.SectionDir = u"Sec"_s;
    TItemStruct& M = S.SItems.Add();
    M.ItemDir = u"Item"_s;
    TItemFile& Open = AddFile(M, u"read.txt"_s, true, etOSExecuting);
    Q_UNUSED(Open);
    TItemFile& Inst = AddFile(M, u"setup.exe"_s, true, etInstallApp);
    Inst.FileExectType.InstApplication = u"Tools\\setup.exe"_s;
    Inst.FileExectType.InstParams = u"/q"_s;
    TItemFile& Pre = AddFile(M, u"game.exe"_s, true, etExecuteApp);
    Pre.FileExectType.ExecParams = u"x $precopy y"_s;
    TItemFile& Exec = AddFile(M, u"doc.pdf"_s, true, etExecuteApp);
    Exec.FileExectType.ExecApplication = u"viewer.exe"_s;
    Exec.FileExectType.ExecParams = u"-open"_s;
    // "$precopy" is matched with its exact case.
    TItemFile& Upper = AddFile(M, u"u.exe"_s, true, etExecuteApp);
    Upper.FileExectType.ExecParams = u"$PRECOPY"_s;

    TVeltraneProject P;
    P.ConvertLegacy(L);
    const TItem& I = P.Sections.Items(0).SItems.Items(0);
    QCOMPARE(I.Folder, u"Sec\\Item"_s);
    QCOMPARE(P.Sections.Items(0).Folder, u"Sec"_s);

    const TShellAction& A0 = I.ItemActions.Items(0).ShellActions.Items(0);
    QCOMPARE(A0.ShellActionType, atOpenObject);
    QCOMPARE(A0.OpenObject, u"Sec\\Item\\read.txt"_s);
    QVERIFY(A0.CheckAssociation);

    const TShellAction& A1 = I.ItemActions.Items(1).ShellActions.Items(0);
    QCOMPARE(A1.ShellActionType, atInstall);
    QCOMPARE(A1.OpenObject, u"Tools\\setup.exe"_s);
    QCOMPARE(A1.AppParams, u"/q"_s);
    QVERIFY(A1.CheckAssociation);

    const TShellAction& A2 = I.ItemActions.Items(2).ShellActions.Items(0);
    QCOMPARE(A2.ShellActionType, atPrecopyFiles);
    QCOMPARE(A2.OpenObject, u"...\\game.exe"_s);
    QCOMPARE(A2.PrecopyFiles.Count(), 1);
    QVERIFY(A2.PrecopyFiles.Items(0).Enabled);
    QCOMPARE(A2.PrecopyFiles.Items(0).CopyingObject, u"Sec\\Item\\game.exe"_s);
    QCOMPARE(A2.PrecopyFiles.Items(0).Destination, u"..."_s);

    const TShellAction& A3 = I.ItemActions.Items(3).ShellActions.Items(0);
    QCOMPARE(A3.ShellActionType, atExecute);
    QCOMPARE(A3.OpenObject, u"Sec\\Item\\doc.pdf"_s);
    QCOMPARE(A3.AppFile, u"viewer.exe"_s);
    QCOMPARE(A3.AppParams, u"-open"_s);
    QVERIFY(!A3.CheckAssociation);

    QCOMPARE(I.ItemActions.Items(4).ShellActions.Items(0).ShellActionType, atExecute);

    // An item without a folder takes the section's folder unchanged; empty folders add nothing.
    TVeltrane L2;
    TItemStruct& M2 = L2.Sections.Add().SItems.Add();
    AddFile(M2, u"x.txt"_s, true);
    L2.Sections.Items(0).SectionDir = u"Only\\"_s;
    TVeltraneProject P2;
    P2.ConvertLegacy(L2);
    QCOMPARE(P2.Sections.Items(0).SItems.Items(0).Folder, u"Only\\"_s);
    QCOMPARE(P2.Sections.Items(0).SItems.Items(0).ItemActions.Items(0).ShellActions.Items(0).OpenObject,
             u"Only\\x.txt"_s);
}

void TestConvertLegacy::fileTypes_data()
{
    QTest::addColumn<int>("FileType");
    QTest::addColumn<int>("ObjectType");
    QTest::newRow("any") << int(ftAnyfile) << int(otFile);
    QTest::newRow("executable") << int(ftExecutable) << int(otExecutable);
    QTest::newRow("music") << int(ftMusic) << int(otMusic);
    QTest::newRow("image") << int(ftImage) << int(otImage);
    QTest::newRow("text") << int(ftText) << int(otText);
    QTest::newRow("screen saver") << int(ftScrSaver) << int(otFile);
}

void TestConvertLegacy::fileTypes()
{
    QFETCH(int, FileType);
    QFETCH(int, ObjectType);
    TVeltrane L;
    AddFile(L.Sections.Add().SItems.Add(), u"f"_s, true).FileType = TFileType(FileType);
    TVeltraneProject P;
    P.ConvertLegacy(L);
    QCOMPARE(int(P.Sections.Items(0).SItems.Items(0).ItemActions.Items(0).ShellActions.Items(0).ObjectType),
             ObjectType);
}

void TestConvertLegacy::copyModes_data()
{
    QTest::addColumn<int>("CopyMode");
    QTest::addColumn<bool>("Enabled");
    QTest::addColumn<QStringList>("Rules"); // "object -> destination"
    QTest::newRow("none: rules kept, switched off")
        << 0 << false << QStringList{u"D\\a.txt -> ..."_s, u"D\\s\\b.txt -> s\\"_s};
    QTest::newRow("listed files") << 1 << true << QStringList{u"D\\a.txt -> ..."_s, u"D\\s\\b.txt -> s\\"_s};
    QTest::newRow("whole folder") << 2 << true << QStringList{u"D\\*.* -> ..."_s};
    QTest::newRow("unknown mode") << 7 << true << QStringList{};
}

void TestConvertLegacy::copyModes()
{
    QFETCH(int, CopyMode);
    QFETCH(bool, Enabled);
    QFETCH(QStringList, Rules);
    TVeltrane L;
    TItemStruct& M = L.Sections.Add().SItems.Add();
    M.ItemDir = u"D"_s;
    M.CopyMode = quint8(CopyMode);
    AddFile(M, u"a.txt"_s, true);
    AddFile(M, u"s\\b.txt"_s, false);
    TVeltraneProject P;
    P.ConvertLegacy(L);
    const TCopyRules& CR = P.Sections.Items(0).SItems.Items(0).CopyRules;
    QCOMPARE(CR.Enabled, Enabled);
    QStringList Got;
    for (int I = 0; I < CR.Count(); ++I)
        Got << CR.Items(I).CopyingObject + u" -> "_s + CR.Items(I).Destination;
    QCOMPARE(Got, Rules);
}

void TestConvertLegacy::pictures()
{
    TVeltrane L;
    Legacy::TPic& Icon = L.PicturesList.Add();
    Icon.PicId = 10;
    Icon.PictureName = u"ico"_s;
    Icon.Picture.GraphicClass = u"TIcon"_s;
    Icon.Picture.Data = TinyIcon();
    Legacy::TPic& Bmp = L.PicturesList.Add();
    Bmp.PicId = 20;
    Bmp.PictureName = u"bmp"_s;
    Bmp.Picture.GraphicClass = u"TBitmap"_s;
    Bmp.Picture.Data = "BM....";
    TSectionStruct& S = L.Sections.Add();
    S.ImgDefault = 20;
    S.ImgSelected = 99; // no picture has this id
    TItemStruct& M = S.SItems.Add();
    M.ImgDefault = 10;
    M.ImgSelected = 0;

    TVeltraneProject P;
    P.ConvertLegacy(L);
    QCOMPARE(P.Pictures.Count(), 2);
    QCOMPARE(P.Pictures.Items(0).Name, u"ico"_s);
    QCOMPARE(P.Pictures.Items(0).Icon.Data, TinyIcon());
    QCOMPARE(P.Pictures.Items(0).CategoryName, QString());
    QCOMPARE(P.Pictures.Items(1).Name, u"bmp"_s);
    QVERIFY(P.Pictures.Items(1).Icon.Empty()); // a bitmap gives an empty icon
    QCOMPARE(P.Pictures.Project(), &P);
    QCOMPARE(P.Sections.Items(0).ImageDefault, 1);
    QCOMPARE(P.Sections.Items(0).ImageSelected, -1);
    QCOMPARE(P.Sections.Items(0).SItems.Items(0).ImageDefault, 0);
    QCOMPARE(P.Sections.Items(0).SItems.Items(0).ImageSelected, -1);

    // Legacy pictures copy everything but DependsCount.
    Legacy::TPic Copy;
    Bmp.DependsCount = 3;
    Copy.Assign(Bmp);
    QCOMPARE(Copy.PicId, 20);
    QCOMPARE(Copy.DependsCount, 0);
}

QTEST_GUILESS_MAIN(TestConvertLegacy)
#include "tst_convertlegacy.moc"
