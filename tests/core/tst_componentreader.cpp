// The component stream reader: value tags, property types, dotted paths, collections, string lists,
// icons, caps and failure codes, fed with streams built byte by byte.

#include "StreamBuilder.h"
#include "model/ComponentReader.h"
#include "model/LegacyModel.h"
#include "model/Project.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestComponentReader : public QObject
{
    Q_OBJECT

private slots:
    void valueTags_data();
    void valueTags();
    void utf8TextAsQtDecodesIt_data();
    void utf8TextAsQtDecodesIt();
    void dottedPaths_data();
    void dottedPaths();
    void collections();
    void emptyCollectionKeepsConstructorContent();
    void collectionItemIndexAndBadItem();
    void destinations();
    void iconData_data();
    void iconData();
    void prefixAndRootName_data();
    void prefixAndRootName();
    void appliedBeforeErrorStays();
    void lengthsPastTheEndFailBeforeAllocating_data();
    void lengthsPastTheEndFailBeforeAllocating();
    void elementCapStopsFlood();
    void legacyPictureData_data();
    void legacyPictureData();
};

namespace {

TStreamReadResult Read(const TStreamBuilder& B, TComponent& Root)
{
    return ReadComponent(B.Bytes, Root);
}

} // namespace

void TestComponentReader::valueTags_data()
{
    // Each row streams one property of the project with one encoding and says what it must give.
    QTest::addColumn<QByteArray>("Prop");
    QTest::addColumn<QByteArray>("Value");
    QTest::addColumn<bool>("Ok");
    QTest::addColumn<QString>("Expected"); // the property's value afterwards, as text

    auto Row = [](const char* Name, QByteArray Prop, TStreamBuilder V, bool Ok, QString Expected) {
        QTest::newRow(Name) << Prop << V.Bytes << Ok << Expected;
    };
    // Integers: tags 2, 3, 4, sign-extended; nothing else.
    Row("int8 negative", "Tag", TStreamBuilder().Int8(-5), true, u"-5"_s);
    Row("int16", "Tag", TStreamBuilder().Int16(-300), true, u"-300"_s);
    Row("int32", "Tag", TStreamBuilder().Int32(100000), true, u"100000"_s);
    Row("int64 refused", "Tag", TStreamBuilder().Byte(vaInt64).LE<qint64>(1), false, u"0"_s);
    Row("string for integer", "Tag", TStreamBuilder().Str("1"), false, u"0"_s);
    Row("extended refused", "Tag", TStreamBuilder().Byte(vaExtended).Raw(QByteArray(10, '\0')), false, u"0"_s);
    Row("single refused", "Tag", TStreamBuilder().Byte(vaSingle).LE<quint32>(0), false, u"0"_s);
    Row("currency refused", "Tag", TStreamBuilder().Byte(vaCurrency).LE<qint64>(0), false, u"0"_s);
    Row("date refused", "Tag", TStreamBuilder().Byte(vaDate).LE<qint64>(0), false, u"0"_s);
    Row("set refused", "Tag", TStreamBuilder().Byte(vaSet).Short("a").Short(""), false, u"0"_s);
    Row("nil refused", "Tag", TStreamBuilder().Byte(vaNil), false, u"0"_s);
    Row("unknown tag 21", "Tag", TStreamBuilder().Byte(21), false, u"0"_s);
    // A Word property keeps the low 16 bits, as the framework stores it.
    Row("word from negative", "SplashScreen.ShowTime", TStreamBuilder().Int8(-1), true, u"65535"_s);
    // Strings: every string tag; ANSI bytes are Windows-1251.
    Row("string cp1251", "Title", TStreamBuilder().Str("\xcf\xf0\xe8\xe2\xe5\xf2"), true, u"Привет"_s);
    Row("long string", "Title", TStreamBuilder().LStr("abc"), true, u"abc"_s);
    Row("wide string kept as unicode", "Title", TStreamBuilder().WStr(u"日本"_s), true, u"日本"_s);
    Row("utf8 string kept as unicode", "Title", TStreamBuilder().Utf8(u"Ωmega"_s), true, u"Ωmega"_s);
    Row("ident for string", "Title", TStreamBuilder().Ident("abc"), false, QString());
    Row("binary for string", "Title", TStreamBuilder().Binary("abc"), false, QString());
    // WideStrings accept ANSI forms too; UTF-16 and UTF-8 read to the same value.
    Row("widestring from ansi", "Creator.AuthorWords", TStreamBuilder().Str("\xc0"), true, u"А"_s);
    Row("widestring utf16", "Creator.AuthorWords", TStreamBuilder().WStr(u"Ж😀"_s), true, u"Ж😀"_s);
    Row("widestring utf8", "Creator.AuthorWords", TStreamBuilder().Utf8(u"Ж😀"_s), true, u"Ж😀"_s);
    // Booleans: tags 8 and 9, and the type's value names.
    Row("false", "SplashScreen.ShowName", TStreamBuilder().Bool(false), true, u"0"_s);
    Row("true", "SplashScreen.ShowMail", TStreamBuilder().Bool(true), true, u"1"_s);
    Row("boolean by name", "SplashScreen.ShowMail", TStreamBuilder().Ident("TRUE"), true, u"1"_s);
    Row("boolean bad name", "SplashScreen.ShowMail", TStreamBuilder().Ident("Yes"), false, u"0"_s);
    Row("integer for boolean", "SplashScreen.ShowMail", TStreamBuilder().Int8(1), false, u"0"_s);
    // Objects take no value of their own.
    Row("value for object", "Creator", TStreamBuilder().Str("x"), false, QString());
    Row("nil for object", "Creator", TStreamBuilder().Byte(vaNil), false, QString());
    Row("list for collection", "Sections", TStreamBuilder().Byte(vaList).Byte(0), false, QString());
    Row("collection for plain object", "Creator", TStreamBuilder().Collection().EndList(), false, QString());
}

void TestComponentReader::valueTags()
{
    QFETCH(QByteArray, Prop);
    QFETCH(QByteArray, Value);
    QFETCH(bool, Ok);
    QFETCH(QString, Expected);

    TVeltraneProject P;
    TStreamBuilder B;
    B.Begin().Prop(Prop).Raw(Value).End();
    const TStreamReadResult R = Read(B, P);
    QCOMPARE(R.Ok, Ok);
    if (!Ok) {
        QVERIFY(R.Error.startsWith(u"Error reading Project."_s + QString::fromLatin1(Prop) + u": "_s));
    }
    if (Prop == "Tag")
        QCOMPARE(QString::number(P.Tag), Expected);
    else if (Prop == "SplashScreen.ShowTime")
        QCOMPARE(QString::number(P.SplashScreen.ShowTime), Expected);
    else if (Prop == "Title")
        QCOMPARE(P.Title, Expected);
    else if (Prop == "Creator.AuthorWords" && Ok)
        QCOMPARE(P.Creator.AuthorWords, Expected);
    else if (Prop == "SplashScreen.ShowName")
        QCOMPARE(QString::number(P.SplashScreen.ShowName), Expected);
    else if (Prop == "SplashScreen.ShowMail")
        QCOMPARE(QString::number(P.SplashScreen.ShowMail), Expected);
}

void TestComponentReader::utf8TextAsQtDecodesIt_data()
{
    // UTF-8 bytes as a file may hold them: the text read is what Qt's decoder makes of them, including
    // its replacement of malformed sequences, however the reader stores it.
    QTest::addColumn<QByteArray>("Bytes");
    const QByteArray Cyrillic = QStringLiteral(u"Программа установки ").toUtf8();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("ascii") << QByteArray("setup.exe /S");
    QTest::newRow("short cyrillic") << QStringLiteral(u"Раздел 1").toUtf8();
    QTest::newRow("long cyrillic") << Cyrillic.repeated(40);
    QTest::newRow("long three-byte") << QStringLiteral(u"日本語のテキスト").toUtf8().repeated(30);
    QTest::newRow("four-byte") << (Cyrillic.repeated(10) + QStringLiteral(u"😀").toUtf8());
    QTest::newRow("nul inside") << QByteArray("a\0b", 3);
    QTest::newRow("overlong two-byte") << (Cyrillic.repeated(10) + QByteArray("\xc0\x80x"));
    QTest::newRow("lone continuation") << (Cyrillic.repeated(10) + QByteArray("\x80"));
    QTest::newRow("cut at the end") << (Cyrillic.repeated(10) + QByteArray("\xd0"));
    QTest::newRow("invalid lead") << QByteArray("\xff\xfe long enough to waste a block of its own, surely");
}

void TestComponentReader::utf8TextAsQtDecodesIt()
{
    QFETCH(QByteArray, Bytes);
    TVeltraneProject P;
    TStreamBuilder B;
    B.Begin().Prop("Creator.AuthorWords").Byte(vaUTF8String).LE<quint32>(quint32(Bytes.size())).Raw(Bytes);
    B.End();
    QVERIFY(Read(B, P).Ok);
    QCOMPARE(P.Creator.AuthorWords, QString::fromUtf8(Bytes));
}

void TestComponentReader::dottedPaths_data()
{
    QTest::addColumn<QByteArray>("Path");
    QTest::addColumn<bool>("Ok");
    QTest::newRow("nested object") << QByteArray("Creator.Name") << true;
    QTest::newRow("names ignore case") << QByteArray("creator.NAME") << true;
    QTest::newRow("unknown property") << QByteArray("Creator.Nickname") << false;
    QTest::newRow("unknown leading part") << QByteArray("Author.Name") << false;
    QTest::newRow("through a string property") << QByteArray("Title.Name") << false;
    QTest::newRow("through an integer property") << QByteArray("Tag.Name") << false;
    QTest::newRow("empty last part") << QByteArray("Creator.") << false;
    QTest::newRow("empty name") << QByteArray("") << false;
    QTest::newRow("extra data on a plain object") << QByteArray("Creator.Data") << false;
}

void TestComponentReader::dottedPaths()
{
    QFETCH(QByteArray, Path);
    QFETCH(bool, Ok);
    TVeltraneProject P;
    TStreamBuilder B;
    B.Begin().Prop(Path).Str("Ann").End();
    // An empty property name is the end marker: the string value then reads as a child object.
    const TStreamReadResult R = Read(B, P);
    QCOMPARE(R.Ok, Ok);
    if (Ok)
        QCOMPARE(P.Creator.Name, u"Ann"_s);
}

void TestComponentReader::collections()
{
    // Two sections, the second with an item that has an action with a pre-copy step; properties in
    // any order, and names inside items dotted too.
    TStreamBuilder B;
    B.Begin().Prop("Sections").Collection();
    B.Item().Prop("Name").Str("One").EndList();
    B.Item().Prop("SItems").Collection();
    B.Item().Prop("Name").Str("Item").Prop("CopyRules.Enabled").Bool(true);
    B.Prop("ItemActions").Collection().Item().Prop("ShellActions").Collection();
    B.Item().Prop("ShellActionType").Ident("atPrecopyFiles").Prop("Msg.IconIndex").Int8(16);
    B.Prop("PrecopyFiles.DefaultFolder").Str("Games").Prop("PrecopyFiles").Collection();
    B.Item().Prop("CopyingObject").Str("a.txt").EndList().EndList(); // rule, precopy collection
    B.EndList().EndList();                                             // step, steps
    B.EndList().EndList();                                             // action, actions
    B.EndList().EndList();                                             // item, items
    B.Prop("Name").Str("Two").EndList().EndList();                     // section, sections
    B.End();

    TVeltraneProject P;
    const TStreamReadResult R = Read(B, P);
    QVERIFY2(R.Ok, qPrintable(R.Error));
    QCOMPARE(P.Sections.Count(), 2);
    QCOMPARE(P.Sections.Items(0).Name, u"One"_s);
    const TSection& S = P.Sections.Items(1);
    QCOMPARE(S.Name, u"Two"_s);
    QCOMPARE(S.SItems.Count(), 1);
    const TItem& I = S.SItems.Items(0);
    QCOMPARE(I.Section(), &S);
    QVERIFY(I.CopyRules.Enabled);
    QCOMPARE(I.CopyRules.Item(), &I);
    QCOMPARE(I.ItemActions.Count(), 1);
    QCOMPARE(I.ItemActions.Items(0).Item(), &I);
    const TShellAction& Step = I.ItemActions.Items(0).ShellActions.Items(0);
    QCOMPARE(Step.ShellActionType, atPrecopyFiles);
    QCOMPARE(Step.Msg.IconIndex, 16);
    QCOMPARE(Step.PrecopyFiles.DefaultFolder, u"Games"_s);
    QVERIFY(Step.PrecopyFiles.Enabled); // constructor's value kept
    QCOMPARE(Step.PrecopyFiles.Count(), 1);
    QCOMPARE(Step.PrecopyFiles.Items(0).CopyingObject, u"a.txt"_s);
    QVERIFY(Step.PrecopyFiles.Items(0).Enabled);
}

void TestComponentReader::emptyCollectionKeepsConstructorContent()
{
    TVeltraneProject P;
    P.Sections.Add().Name = u"kept"_s;
    TStreamBuilder B;
    B.Begin().Prop("Sections").Collection().EndList().End();
    QVERIFY(Read(B, P).Ok);
    QCOMPARE(P.Sections.Count(), 1);

    // A non-empty list replaces what was there.
    TStreamBuilder C;
    C.Begin().Prop("Sections").Collection().Item().EndList().EndList().End();
    QVERIFY(Read(C, P).Ok);
    QCOMPARE(P.Sections.Count(), 1);
    QCOMPARE(P.Sections.Items(0).Name, QString());
}

void TestComponentReader::collectionItemIndexAndBadItem()
{
    TVeltraneProject P;
    TStreamBuilder B;
    B.Begin().Prop("Sections").Collection();
    B.Int8(0).Item().EndList().Int16(1).Item().EndList().Int32(2).Item().EndList().EndList().End();
    QVERIFY(Read(B, P).Ok);
    QCOMPARE(P.Sections.Count(), 3);

    // An item that does not open with a list tag is a reading error.
    TStreamBuilder Bad;
    Bad.Begin().Prop("Sections").Collection().Str("x").EndList().EndList().End();
    QVERIFY(!Read(Bad, P).Ok);
}

void TestComponentReader::destinations()
{
    TVeltraneProject P;
    TStreamBuilder B;
    B.Begin().Prop("Sections").Collection().Item().Prop("SItems").Collection();
    B.Item().Prop("CopyRules.Destinations.Strings").Byte(vaList).Str("A").LStr("B").WStr(u"Ц"_s).EndList();
    B.EndList(); // item
    B.Item().EndList(); // a second item with no Destinations
    B.EndList().EndList().EndList().End();
    const TStreamReadResult R = Read(B, P);
    QVERIFY2(R.Ok, qPrintable(R.Error));
    const TSItems& Items = P.Sections.Items(0).SItems;
    QCOMPARE(Items.Items(0).CopyRules.Destinations.Strings, QStringList({u"A"_s, u"B"_s, u"Ц"_s}));
    QCOMPARE(Items.Items(1).CopyRules.Destinations.Strings, QStringList{u"..."_s});

    TStreamBuilder NotAList;
    NotAList.Begin().Prop("Sections").Collection().Item().Prop("SItems").Collection().Item();
    NotAList.Prop("CopyRules.Destinations.Strings").Str("A").EndList().EndList().EndList().EndList().End();
    TVeltraneProject Q;
    QVERIFY(!Read(NotAList, Q).Ok);
}

void TestComponentReader::iconData_data()
{
    QTest::addColumn<QByteArray>("Payload");
    QTest::addColumn<bool>("Ok");
    const QByteArray Good = TinyIcon();
    QTest::newRow("valid icon") << Good << true;
    QTest::newRow("empty payload") << QByteArray() << false;
    QTest::newRow("not an icon") << QByteArray("GIF89a....") << false;
    QByteArray Cursor = Good;
    Cursor[2] = 2; // type 2 is a cursor file
    QTest::newRow("cursor image") << Cursor << false;
    QTest::newRow("image cut short") << Good.left(Good.size() - 1) << false;
    QByteArray NoEntries = Good;
    NoEntries[4] = 0;
    QTest::newRow("no entries") << NoEntries << false;
    QByteArray Wrap = Good;
    qToLittleEndian<quint32>(0xFFFFFFF0u, Wrap.data() + 6 + 12); // offset that wraps with the size
    QTest::newRow("offset past the end") << Wrap << false;
}

void TestComponentReader::iconData()
{
    QFETCH(QByteArray, Payload);
    QFETCH(bool, Ok);
    TVeltraneProject P;
    TStreamBuilder B;
    B.Begin().Prop("Pictures").Collection().Item().Prop("Icon.Data").Binary(Payload).Prop("Name").Str("n");
    B.EndList().EndList().End();
    const TStreamReadResult R = Read(B, P);
    QCOMPARE(R.Ok, Ok);
    QCOMPARE(P.Pictures.Count(), 1);
    QCOMPARE(P.Pictures.Items(0).Icon.Data, Ok ? Payload : QByteArray());
    QCOMPARE(P.Pictures.Project(), &P);
}

void TestComponentReader::prefixAndRootName_data()
{
    QTest::addColumn<QByteArray>("Head");
    QTest::addColumn<bool>("Ok");
    QTest::addColumn<QString>("Name");
    auto Head = [](quint8 Prefix, bool WithPos, QByteArrayView Name) {
        TStreamBuilder B;
        B.Raw("TPF0");
        if (Prefix)
            B.Byte(Prefix);
        if (WithPos)
            B.Int8(3);
        B.Short("TVeltraneProject").Short(Name);
        return B.Bytes;
    };
    QTest::newRow("no prefix") << Head(0, false, "Proj_1") << true << u"Proj_1"_s;
    QTest::newRow("inherited prefix") << Head(0xF1, false, "P") << true << u"P"_s;
    QTest::newRow("child position prefix") << Head(0xF2, true, "P") << true << u"P"_s;
    QTest::newRow("empty name") << Head(0, false, "") << true << QString();
    QTest::newRow("name starting with a digit") << Head(0, false, "1P") << false << QString();
    QTest::newRow("name with a blank") << Head(0, false, "My Project") << false << QString();
    QTest::newRow("cyrillic name") << Head(0, false, "\xcf\xf0") << false << QString();
    QTest::newRow("wrong signature") << QByteArray("TPF1\x00\x00", 6) << false << QString();
}

void TestComponentReader::prefixAndRootName()
{
    QFETCH(QByteArray, Head);
    QFETCH(bool, Ok);
    QFETCH(QString, Name);
    TStreamBuilder B;
    B.Raw(Head).Prop("Title").Str("T").End();
    TVeltraneProject P;
    const TStreamReadResult R = Read(B, P);
    QCOMPARE(R.Ok, Ok);
    QCOMPARE(P.Name, Name);
    QCOMPARE(P.Title, Ok ? u"T"_s : QString());
}

void TestComponentReader::appliedBeforeErrorStays()
{
    TVeltraneProject P;
    TStreamBuilder B;
    B.Begin().Prop("Title").Str("first").Prop("Sections").Collection().Item().Prop("Name").Str("S");
    B.Prop("Bogus").Int8(1);
    const TStreamReadResult R = Read(B, P);
    QVERIFY(!R.Ok);
    QVERIFY2(R.Error.contains(u"Property Bogus does not exist"_s), qPrintable(R.Error));
    QCOMPARE(P.Title, u"first"_s);
    QCOMPARE(P.Sections.Count(), 1);
    QCOMPARE(P.Sections.Items(0).Name, u"S"_s);

    // A child object after the properties is refused: no component class can be made.
    TStreamBuilder Child;
    Child.Begin().Byte(0).Short("TButton").Short("B").End().Byte(0);
    QVERIFY(!Read(Child, P).Ok);
}

void TestComponentReader::lengthsPastTheEndFailBeforeAllocating_data()
{
    QTest::addColumn<QByteArray>("Value");
    QTest::addColumn<QByteArray>("Prop");
    auto Len = [](quint8 Tag, quint32 N) { return TStreamBuilder().Byte(Tag).LE<quint32>(N).Raw("ab").Bytes; };
    QTest::newRow("long string 4 GB") << Len(vaLString, 0xFFFFFFFF) << QByteArray("Title");
    QTest::newRow("wide string 2 G units") << Len(vaWString, 0x7FFFFFFF) << QByteArray("Title");
    QTest::newRow("wide string one unit short") << Len(vaWString, 2) << QByteArray("Title");
    QTest::newRow("utf8 string") << Len(vaUTF8String, 0x80000000) << QByteArray("Title");
    QTest::newRow("short string") << TStreamBuilder().Byte(vaString).Byte(200).Raw("ab").Bytes
                                  << QByteArray("Title");
    QTest::newRow("binary") << Len(vaBinary, 0xFFFFFFF0) << QByteArray("Pictures");
    QTest::newRow("int32 cut") << TStreamBuilder().Byte(vaInt32).Raw("ab").Bytes << QByteArray("Tag");
}

void TestComponentReader::lengthsPastTheEndFailBeforeAllocating()
{
    QFETCH(QByteArray, Value);
    QFETCH(QByteArray, Prop);
    TStreamBuilder B;
    B.Begin();
    if (Prop == "Pictures")
        B.Prop("Pictures").Collection().Item().Prop("Icon.Data");
    else
        B.Prop(Prop);
    B.Raw(Value);
    TVeltraneProject P;
    QVERIFY(!Read(B, P).Ok);
}

void TestComponentReader::elementCapStopsFlood()
{
    // Two bytes per empty item: a small stream must not be able to make millions of objects.
    TStreamBuilder B;
    B.Begin().Prop("Sections").Collection();
    QByteArray Items;
    Items.reserve(2 * (StreamLimits::MaxElements + 1));
    for (qsizetype I = 0; I <= StreamLimits::MaxElements; ++I)
        Items.append("\x01\x00", 2);
    B.Raw(Items).EndList().End();
    TVeltraneProject P;
    const TStreamReadResult R = Read(B, P);
    QVERIFY(!R.Ok);
    QVERIFY(R.Error.contains(u"Too many"_s));
    QCOMPARE(P.Sections.Count(), StreamLimits::MaxElements);
}

void TestComponentReader::legacyPictureData_data()
{
    QTest::addColumn<QByteArray>("Payload");
    QTest::addColumn<bool>("Ok");
    QTest::addColumn<QString>("Class");
    QTest::addColumn<QByteArray>("Data");
    const QByteArray Ico = TinyIcon();
    const QByteArray Bmp = QByteArray("BM") + QByteArray(20, 'x');
    auto Pay = [](QByteArrayView Class, QByteArrayView Rest) {
        return TStreamBuilder().Short(Class).Raw(Rest).Bytes;
    };
    auto BmpPay = [&](quint32 Len) {
        return TStreamBuilder().Short("TBitmap").LE<quint32>(Len).Raw(Bmp).Bytes;
    };
    QTest::newRow("icon") << Pay("TIcon", Ico) << true << u"TIcon"_s << Ico;
    QTest::newRow("bitmap") << BmpPay(quint32(Bmp.size())) << true << u"TBitmap"_s << Bmp;
    QTest::newRow("bitmap length past end") << BmpPay(quint32(Bmp.size() + 1)) << false << QString()
                                            << QByteArray();
    QTest::newRow("bitmap without BM") << Pay("TBitmap", TStreamBuilder().LE<quint32>(16).Raw(QByteArray(16, 'x')).Bytes)
                                       << false << QString() << QByteArray();
    QTest::newRow("unknown class leaves it empty") << Pay("TJPEGImage", "\xff\xd8") << true << QString()
                                                   << QByteArray();
    QTest::newRow("bad icon") << Pay("TIcon", "xx") << false << QString() << QByteArray();
    QTest::newRow("class name past end") << QByteArray("\x09TIc", 4) << false << QString() << QByteArray();
}

void TestComponentReader::legacyPictureData()
{
    QFETCH(QByteArray, Payload);
    QFETCH(bool, Ok);
    QFETCH(QString, Class);
    QFETCH(QByteArray, Data);
    TStreamBuilder B;
    B.Begin("TVeltrane", "Veltrane1").Prop("PicturesList").Collection().Item();
    B.Prop("Picture.Data").Binary(Payload).Prop("PicId").Int8(7).EndList().EndList().End();
    Legacy::TVeltrane L;
    const TStreamReadResult R = Read(B, L);
    QCOMPARE(R.Ok, Ok);
    QCOMPARE(L.PicturesList.Count(), 1);
    QCOMPARE(L.PicturesList.Items(0).Picture.GraphicClass, Class);
    QCOMPARE(L.PicturesList.Items(0).Picture.Data, Data);
}

QTEST_GUILESS_MAIN(TestComponentReader)
#include "tst_componentreader.moc"
