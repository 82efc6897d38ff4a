// The project model: published order and defaults, Assign, collections and their back links, and
// destruction of a whole project.

#include "model/LegacyModel.h"
#include "model/Project.h"

#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    void publishedOrder_data();
    void publishedOrder();
    void constructorDefaults();
    void collectionAssignRelinksToTarget();
    void assignFromUnrelatedClassIsRefused();
    void projectAssign();
    void deleteAndClearUnlinkItems();
    void destroyWholeProject();
};

namespace {

QStringList Names(const TPersistent& O)
{
    QStringList L;
    for (const TPropInfo& P : O.ClassInfo().Props)
        L << QString::fromLatin1(P.Name);
    return L;
}

using TFactory = std::function<std::unique_ptr<TPersistent>()>;
template <class T>
TFactory Make()
{
    return [] { return std::make_unique<T>(); };
}

} // namespace

Q_DECLARE_METATYPE(TFactory)

void TestModel::publishedOrder_data()
{
    // The writer emits properties in this order, and files written by others follow it too.
    QTest::addColumn<TFactory>("Factory");
    QTest::addColumn<QString>("Expected");
    QTest::newRow("TVeltraneProject") << Make<TVeltraneProject>()
                                      << u"Name Tag Folder SplashScreen Title Creator Pictures Sections"_s;
    QTest::newRow("TSplashScreen")
        << Make<TSplashScreen>()
        << u"ImageFileName ShowTime InfoLeft InfoTop ShowName ShowCompany ShowMail ShowWebpage"_s;
    QTest::newRow("TUserInfo") << Make<TUserInfo>() << u"Name Company Email WWW AuthorWords"_s;
    QTest::newRow("TPic") << Make<TPic>() << u"Icon Name CategoryName"_s;
    QTest::newRow("TScreenshot") << Make<TScreenshot>() << u"FileName"_s;
    QTest::newRow("TActionMsg") << Make<TActionMsg>() << u"IconIndex IconType Text"_s;
    QTest::newRow("TShellAction") << Make<TShellAction>()
                                  << u"ActionName ShellActionType Msg OpenObject ObjectType AppFile AppParams "
                                     "CheckAssociation PrecopyFiles"_s;
    QTest::newRow("TItemAction") << Make<TItemAction>() << u"Enabled Description ImageIndex ShellActions"_s;
    QTest::newRow("TCopyRule") << Make<TCopyRule>() << u"Enabled CopyingObject Destination"_s;
    QTest::newRow("TCopyRules") << Make<TCopyRules>() << u"Enabled DefaultFolder Destinations"_s;
    QTest::newRow("TItem") << Make<TItem>()
                           << u"Name Folder ItemActions CopyRules ImageDefault ImageSelected Description "
                              "Screenshots"_s;
    QTest::newRow("TSection") << Make<TSection>()
                              << u"SItems Name Folder ImageDefault ImageSelected WallpaperFile BackMusicFile "
                                 "Description Screenshots"_s;
    QTest::newRow("legacy TVeltrane")
        << Make<Legacy::TVeltrane>() << u"Name Tag ID ProjectPath SplashTime UserInfo PicturesList Sections"_s;
    QTest::newRow("legacy TPic") << Make<Legacy::TPic>() << u"Picture PicId DependsCount PictureName isIcon"_s;
    QTest::newRow("TSectionStruct") << Make<Legacy::TSectionStruct>()
                                    << u"SItems SectionName SectionDir ImgDefault ImgSelected WallpaperFile "
                                       "BackMusicFile Description"_s;
    QTest::newRow("TItemStruct") << Make<Legacy::TItemStruct>()
                                 << u"ItemName ItemDir Files CopyMode ImgDefault ImgSelected Description"_s;
    QTest::newRow("TItemFile") << Make<Legacy::TItemFile>()
                               << u"ItemFile ItemFile_Name isMain FileType FileExectType"_s;
    QTest::newRow("TFileExecuting")
        << Make<Legacy::TFileExecuting>()
        << u"ExecApplication InstApplication ExecParams InstParams FileExecutingType"_s;
}

void TestModel::publishedOrder()
{
    QFETCH(TFactory, Factory);
    QFETCH(QString, Expected);
    const auto Obj = Factory();
    QCOMPARE(Names(*Obj).join(u' '), Expected);
    // Every declared default is what the constructor gives.
    for (const TPropInfo& P : Obj->ClassInfo().Props)
        if (P.IsOrdinal() && P.HasDefault)
            QVERIFY2(P.GetOrd(*Obj) == P.Default, P.Name);
}

void TestModel::constructorDefaults()
{
    TShellAction A;
    QCOMPARE(A.ShellActionType, atShowMessage);
    QCOMPARE(A.Msg.IconIndex, 64);
    QCOMPARE(A.Msg.IconType, itSystemIcon);
    QVERIFY(A.CheckAssociation);
    QCOMPARE(A.ObjectType, otFile);
    QVERIFY(A.PrecopyFiles.Enabled);
    QCOMPARE(A.PrecopyFiles.Count(), 0);
    QCOMPARE(A.PrecopyFiles.Destinations.Strings, QStringList{u"..."_s});

    TItem I;
    QCOMPARE(I.ImageDefault, -1);
    QCOMPARE(I.ImageSelected, -1);
    QVERIFY(!I.CopyRules.Enabled); // an item's copy rules start switched off
    TSection S;
    QCOMPARE(S.ImageDefault, -1);
    QCOMPARE(S.ImageSelected, -1);
    TItemAction IA;
    QVERIFY(IA.Enabled);
    QCOMPARE(IA.ImageIndex, -1);
    TSplashScreen Sp;
    QCOMPARE(Sp.ShowTime, 3);
    QVERIFY(Sp.ShowName && Sp.ShowCompany && !Sp.ShowMail && !Sp.ShowWebpage);
    QCOMPARE(Legacy::TVeltrane::ID, 5);
}

void TestModel::collectionAssignRelinksToTarget()
{
    TSection Source;
    TItem& SrcItem = Source.SItems.Add();
    SrcItem.Name = u"a"_s;
    SrcItem.ItemActions.Add().Description = u"run"_s;
    SrcItem.CopyRules.Destinations.Strings = {u"x"_s, u"y"_s};
    SrcItem.CopyRules.Add().CopyingObject = u"f"_s;
    Source.SItems.Add().Name = u"b"_s;

    TSection Target;
    Target.SItems.Add().Name = u"old"_s;
    Target.SItems.Assign(Source.SItems);
    QCOMPARE(Target.SItems.Count(), 2);
    const TItem& Copy = Target.SItems.Items(0);
    QCOMPARE(Copy.Name, u"a"_s);
    QCOMPARE(Copy.Section(), &Target);
    QCOMPARE(Copy.ItemActions.Items(0).Item(), &Copy);
    QCOMPARE(Copy.ItemActions.Items(0).Description, u"run"_s);
    QCOMPARE(Copy.CopyRules.Item(), &Copy);
    QCOMPARE(Copy.CopyRules.Destinations.Strings, QStringList({u"x"_s, u"y"_s}));
    QCOMPARE(Copy.CopyRules.Items(0).CopyingObject, u"f"_s);
    // A deep copy: changing the source leaves the target alone.
    SrcItem.Name = u"changed"_s;
    QCOMPARE(Copy.Name, u"a"_s);
}

void TestModel::assignFromUnrelatedClassIsRefused()
{
    TItem I;
    TSection S;
    try {
        I.Assign(S);
        QFAIL("no error");
    } catch (const EConvertError& E) {
        QCOMPARE(E.Message(), u"Cannot assign a TSection to a TItem"_s);
    }
    TSections Sections;
    QVERIFY_THROWS_EXCEPTION(EConvertError, Sections.Assign(I));
    // A collection of another item class is taken item by item, and the items refuse.
    TScreenshots Shots;
    Shots.Add();
    QVERIFY_THROWS_EXCEPTION(EConvertError, Sections.Assign(Shots));
}

void TestModel::projectAssign()
{
    TVeltraneProject Source;
    Source.Name = u"Src"_s;
    Source.Tag = 9;
    Source.Folder = u"F\\"_s;
    Source.Title = u"T"_s;
    Source.LegacyFlag = true;
    Source.ProgramVersion = {1, 2, 3};
    Source.Creator.Name = u"Ann"_s;
    Source.Creator.AuthorWords = u"Hi"_s;
    Source.SplashScreen.ShowTime = 7;
    Source.Pictures.Add().Name = u"p"_s;
    Source.Sections.Add().Name = u"s"_s;

    TVeltraneProject Target;
    Target.Assign(Source);
    QCOMPARE(Target.Name, QString()); // the component name and the tag are not copied
    QCOMPARE(Target.Tag, 0);
    QCOMPARE(Target.Folder, u"F\\"_s);
    QCOMPARE(Target.Title, u"T"_s);
    QVERIFY(Target.LegacyFlag);
    QCOMPARE(Target.ProgramVersion.Release, 3);
    QCOMPARE(Target.Creator.Name, u"Ann"_s);
    QCOMPARE(Target.Creator.AuthorWords, u"Hi"_s);
    QCOMPARE(Target.SplashScreen.ShowTime, 7);
    QCOMPARE(Target.Pictures.Items(0).Name, u"p"_s);
    QCOMPARE(Target.Pictures.Project(), &Target);
    QCOMPARE(Target.Sections.Items(0).Name, u"s"_s);
}

void TestModel::deleteAndClearUnlinkItems()
{
    TSItems Items;
    Items.Add().Name = u"0"_s;
    Items.Add().Name = u"1"_s;
    Items.Add().Name = u"2"_s;
    Items.Delete(1);
    QCOMPARE(Items.Count(), 2);
    QCOMPARE(Items.Items(1).Name, u"2"_s);
    QCOMPARE(Items.Items(1).Index(), 1);
    Items.Delete(5); // out of range: nothing happens
    Items.Delete(-1);
    QCOMPARE(Items.Count(), 2);
    Items.Clear();
    QCOMPARE(Items.Count(), 0);
}

void TestModel::destroyWholeProject()
{
    // Built deep and then freed; the sanitizer build catches any double free or use of a freed owner.
    auto P = std::make_unique<TVeltraneProject>();
    for (int S = 0; S < 5; ++S) {
        TSection& Sec = P->Sections.Add();
        for (int I = 0; I < 5; ++I) {
            TItem& Item = Sec.SItems.Add();
            Item.CopyRules.Add();
            Item.Screenshots.Add();
            TItemAction& A = Item.ItemActions.Add();
            A.ShellActions.Add().PrecopyFiles.Add();
        }
    }
    P->Pictures.Add();
    TVeltraneProject Copy;
    Copy.Assign(*P);
    P.reset();
    QCOMPARE(Copy.Sections.Count(), 5);
    QCOMPARE(Copy.Sections.Items(4).SItems.Items(4).ItemActions.Items(0).Item()->Section(),
             &Copy.Sections.Items(4));
}

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
