#include "model/ComponentReader.h"
#include "model/ComponentWriter.h"
#include "model/LegacyModel.h"
#include "model/Project.h"
#include "model/StructureFile.h"

#include <QTest>
#include <QtEndian>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// A short string as the stream holds it: one length byte, then the bytes.
QByteArray S(QByteArrayView Text)
{
    QByteArray B(1, static_cast<char>(Text.size()));
    B.append(Text);
    return B;
}

QByteArray Bytes(std::initializer_list<int> Values)
{
    QByteArray B;
    for (int V : Values)
        B.append(static_cast<char>(V));
    return B;
}

QByteArray Le32(quint32 V)
{
    char B[4];
    qToLittleEndian<quint32>(V, B);
    return QByteArray(B, 4);
}

// Offset of the value that follows the property called Name, or -1 when the property is absent.
qsizetype ValueAt(const QByteArray& Stream, QByteArrayView Name)
{
    const qsizetype At = Stream.indexOf(S(Name));
    return At < 0 ? -1 : At + 1 + Name.size();
}

// A minimal icon file image: header, one directory entry, four bytes of image.
QByteArray TinyIcon()
{
    return Bytes({0, 0, 1,  0, 1, 0, /* entry */ 1, 1, 0, 0, 1, 0, 32, 0, 4, 0,
                  0, 0, 22, 0, 0, 0, /* image */ 1, 2, 3, 4});
}

QByteArray TinyBitmap()
{
    QByteArray B("BM");
    B.append(QByteArray(14, '\x11'));
    return B;
}

} // namespace

class TComponentWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void FreshProjectBytes();
    void FreshLegacyProjectBytes();
    void NestedCollectionsBytes();
    void IntegerTag_data();
    void IntegerTag();
    void AnsiStringTag_data();
    void AnsiStringTag();
    void WideStringForm_data();
    void WideStringForm();
    void DefaultLeftOut_data();
    void DefaultLeftOut();
    void EmptyStringListLeftOut();
    void UnencodableTextWrittenWide_data();
    void UnencodableTextWrittenWide();
    void UnencodableLineWrittenWide();
    void IconData();
    void LegacyPictureData_data();
    void LegacyPictureData();
    void StructureFileHeader();
};

// A fresh project: the name only in the object header, defaults and empty texts left out, ordinal
// properties without a declared default written, empty collections written as tag 14 then 0.
void TComponentWriterTest::FreshProjectBytes()
{
    TVeltraneProject P;
    P.SetName(u"P"_s);
    QByteArray Out;
    QString Error;
    QVERIFY2(WriteComponent(P, Out, &Error), qPrintable(Error));

    const QByteArray Expected = "TPF0" + S("TVeltraneProject") + S("P") + S("SplashScreen.InfoLeft") +
                                Bytes({2, 0}) + S("SplashScreen.InfoTop") + Bytes({2, 0}) +
                                S("SplashScreen.ShowMail") + Bytes({8}) + S("SplashScreen.ShowWebpage") +
                                Bytes({8}) + S("Pictures") + Bytes({14, 0}) + S("Sections") + Bytes({14, 0}) +
                                Bytes({0, 0});
    QCOMPARE(Out, Expected);
}

// The read-only ID is never written; SplashTime has no declared default and is always written.
void TComponentWriterTest::FreshLegacyProjectBytes()
{
    Legacy::TVeltrane L;
    QByteArray Out;
    QVERIFY(WriteComponent(L, Out));
    const QByteArray Expected = "TPF0" + S("TVeltrane") + S("") + S("SplashTime") + Bytes({2, 0}) +
                                S("PicturesList") + Bytes({14, 0}) + S("Sections") + Bytes({14, 0}) +
                                Bytes({0, 0});
    QCOMPARE(Out, Expected);
}

// Collections inside collection items; a collection with properties of its own writes those first
// as dotted names, then itself under its plain name.
void TComponentWriterTest::NestedCollectionsBytes()
{
    TVeltraneProject P;
    TItem& Item = P.Sections.Add().SItems.Add();
    Item.ItemActions.Add().ShellActions.Add();
    Item.CopyRules.Enabled = true;
    Item.CopyRules.DefaultFolder = u"D"_s;
    Item.CopyRules.Destinations.Strings = {u"..."_s, u"X"_s};
    TCopyRule& Rule = Item.CopyRules.Add();
    Rule.Enabled = false;
    Rule.CopyingObject = u"a"_s;

    QByteArray Out;
    QVERIFY(WriteComponent(P, Out));

    const QByteArray Step = S("PrecopyFiles.Enabled") + Bytes({9}) + S("PrecopyFiles.Destinations.Strings") +
                            Bytes({1, 6, 3}) + "..." + Bytes({0}) + S("PrecopyFiles") + Bytes({14, 0});
    const QByteArray Actions = S("ItemActions") + Bytes({14, 1}) + S("ShellActions") + Bytes({14, 1}) + Step +
                               Bytes({0, 0}) + Bytes({0, 0});
    const QByteArray Rules = S("CopyRules.Enabled") + Bytes({9}) + S("CopyRules.DefaultFolder") +
                             Bytes({6, 1}) + "D" + S("CopyRules.Destinations.Strings") + Bytes({1, 6, 3}) +
                             "..." + Bytes({6, 1}) + "X" + Bytes({0}) + S("CopyRules") + Bytes({14, 1}) +
                             S("Enabled") + Bytes({8}) + S("CopyingObject") + Bytes({6, 1}) + "a" +
                             Bytes({0, 0});
    const QByteArray ItemBytes =
        Bytes({1}) + Actions + Rules + S("Screenshots") + Bytes({14, 0}) + Bytes({0});
    const QByteArray Section = Bytes({1}) + S("SItems") + Bytes({14}) + ItemBytes + Bytes({0}) +
                               S("Screenshots") + Bytes({14, 0}) + Bytes({0});
    const QByteArray Expected = "TPF0" + S("TVeltraneProject") + S("") + S("SplashScreen.InfoLeft") +
                                Bytes({2, 0}) + S("SplashScreen.InfoTop") + Bytes({2, 0}) +
                                S("SplashScreen.ShowMail") + Bytes({8}) + S("SplashScreen.ShowWebpage") +
                                Bytes({8}) + S("Pictures") + Bytes({14, 0}) + S("Sections") + Bytes({14}) +
                                Section + Bytes({0}) + Bytes({0, 0});
    QCOMPARE(Out, Expected);

    TVeltraneProject Back;
    const TStreamReadResult R = ReadComponent(Out, Back);
    QVERIFY2(R.Ok, qPrintable(R.Error));
    const TItem& BackItem = Back.Sections.Items(0).SItems.Items(0);
    QCOMPARE(BackItem.CopyRules.Destinations.Strings, Item.CopyRules.Destinations.Strings);
    QCOMPARE(BackItem.CopyRules.Items(0).Enabled, false);
    QCOMPARE(BackItem.ItemActions.Items(0).ShellActions.Count(), 1);
}

void TComponentWriterTest::IntegerTag_data()
{
    QTest::addColumn<bool>("Word");
    QTest::addColumn<qint64>("Value");
    QTest::addColumn<QByteArray>("Encoded");

    QTest::newRow("-1") << false << qint64(-1) << Bytes({2, 0xFF});
    QTest::newRow("127") << false << qint64(127) << Bytes({2, 0x7F});
    QTest::newRow("-128") << false << qint64(-128) << Bytes({2, 0x80});
    QTest::newRow("128") << false << qint64(128) << Bytes({3, 0x80, 0x00});
    QTest::newRow("-129") << false << qint64(-129) << Bytes({3, 0x7F, 0xFF});
    QTest::newRow("32767") << false << qint64(32767) << Bytes({3, 0xFF, 0x7F});
    QTest::newRow("-32768") << false << qint64(-32768) << Bytes({3, 0x00, 0x80});
    QTest::newRow("32768") << false << qint64(32768) << Bytes({4, 0x00, 0x80, 0x00, 0x00});
    QTest::newRow("-32769") << false << qint64(-32769) << Bytes({4, 0xFF, 0x7F, 0xFF, 0xFF});
    QTest::newRow("max") << false << qint64(2147483647) << Bytes({4, 0xFF, 0xFF, 0xFF, 0x7F});
    QTest::newRow("min") << false << qint64(-2147483647 - 1) << Bytes({4, 0x00, 0x00, 0x00, 0x80});
    // An unsigned 16-bit property above 32767 needs the 4-byte form to stay positive.
    QTest::newRow("word 65535") << true << qint64(65535) << Bytes({4, 0xFF, 0xFF, 0x00, 0x00});
    QTest::newRow("word 0") << true << qint64(0) << Bytes({2, 0x00});
}

void TComponentWriterTest::IntegerTag()
{
    QFETCH(bool, Word);
    QFETCH(qint64, Value);
    QFETCH(QByteArray, Encoded);

    TVeltraneProject P;
    if (Word)
        P.SplashScreen.ShowTime = static_cast<quint16>(Value);
    else
        P.Tag = static_cast<qint32>(Value);
    QByteArray Out;
    QVERIFY(WriteComponent(P, Out));
    const qsizetype At = ValueAt(Out, Word ? "SplashScreen.ShowTime" : "Tag");
    QVERIFY(At > 0);
    QCOMPARE(Out.mid(At, Encoded.size()), Encoded);

    TVeltraneProject Back;
    QVERIFY(ReadComponent(Out, Back).Ok);
    QCOMPARE(Word ? qint64(Back.SplashScreen.ShowTime) : qint64(Back.Tag), Value);
}

void TComponentWriterTest::AnsiStringTag_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<int>("Tag");
    QTest::addColumn<QByteArray>("Length");

    // Cyrillic letters are one byte each in Windows-1251: the limit counts bytes, not UTF-8.
    QTest::newRow("1 byte") << u"\u0416"_s << 6 << Bytes({1});
    QTest::newRow("255 bytes") << QString(255, QChar(0x0416)) << 6 << Bytes({255});
    QTest::newRow("256 bytes") << QString(256, QChar(0x0416)) << 12 << Le32(256);
    QTest::newRow("1000 bytes") << QString(1000, u'a') << 12 << Le32(1000);
}

void TComponentWriterTest::AnsiStringTag()
{
    QFETCH(QString, Text);
    QFETCH(int, Tag);
    QFETCH(QByteArray, Length);

    TVeltraneProject P;
    P.Title = Text;
    QByteArray Out;
    QVERIFY(WriteComponent(P, Out));
    const qsizetype At = ValueAt(Out, "Title");
    QVERIFY(At > 0);
    QCOMPARE(int(quint8(Out[At])), Tag);
    QCOMPARE(Out.mid(At + 1, Length.size()), Length);

    TVeltraneProject Back;
    QVERIFY(ReadComponent(Out, Back).Ok);
    QCOMPARE(Back.Title, Text);
}

void TComponentWriterTest::WideStringForm_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<int>("Tag");

    QTest::newRow("ascii: utf-8 shorter") << u"abc"_s << 20;
    QTest::newRow("cyrillic: equal length, utf-16") << u"\u0430\u0431\u0432"_s << 18;
    QTest::newRow("cyrillic with blank: utf-8 shorter") << u"\u0430\u0431 c"_s << 20;
    QTest::newRow("cjk") << u"\u4E2D\u6587"_s << 18;
    QTest::newRow("emoji alone: equal length") << u"\U0001F600"_s << 18;
    QTest::newRow("emoji with letter: utf-8 shorter") << u"a\U0001F600"_s << 20;
    QTest::newRow("crlf kept") << u"one\r\ntwo"_s << 20;
    // UTF-8 would be shorter but would turn the lone surrogate into U+FFFD.
    QTest::newRow("lone surrogate") << QString(u"ab"_s + QChar(0xD800) + u"cd"_s) << 18;
}

void TComponentWriterTest::WideStringForm()
{
    QFETCH(QString, Text);
    QFETCH(int, Tag);

    TVeltraneProject P;
    P.Creator.AuthorWords = Text;
    QByteArray Out;
    QVERIFY(WriteComponent(P, Out));
    const qsizetype At = ValueAt(Out, "Creator.AuthorWords");
    QVERIFY(At > 0);
    QCOMPARE(int(quint8(Out[At])), Tag);
    const qsizetype Count = Tag == 18 ? Text.size() : Text.toUtf8().size();
    QCOMPARE(Out.mid(At + 1, 4), Le32(quint32(Count)));

    TVeltraneProject Back;
    QVERIFY(ReadComponent(Out, Back).Ok);
    QCOMPARE(Back.Creator.AuthorWords, Text);
}

namespace {
using TMutator = std::function<void(TVeltraneProject&)>;

TShellAction& FirstStep(TVeltraneProject& P)
{
    if (P.Sections.Count() == 0)
        P.Sections.Add().SItems.Add().ItemActions.Add().ShellActions.Add();
    return P.Sections.Items(0).SItems.Items(0).ItemActions.Items(0).ShellActions.Items(0);
}
} // namespace

Q_DECLARE_METATYPE(TMutator)

void TComponentWriterTest::DefaultLeftOut_data()
{
    QTest::addColumn<TMutator>("Change");
    QTest::addColumn<QByteArray>("Name");
    QTest::addColumn<bool>("Written");

    const auto Row = [](const char* Title, TMutator Change, const char* Name, bool Written) {
        QTest::newRow(Title) << Change << QByteArray(Name) << Written;
    };
    Row(
        "ShowTime 3", [](TVeltraneProject& P) { P.SplashScreen.ShowTime = 3; }, "SplashScreen.ShowTime",
        false);
    Row(
        "ShowTime 0", [](TVeltraneProject& P) { P.SplashScreen.ShowTime = 0; }, "SplashScreen.ShowTime",
        true);
    Row(
        "ShowName false", [](TVeltraneProject& P) { P.SplashScreen.ShowName = false; },
        "SplashScreen.ShowName", true);
    Row(
        "IconIndex 64", [](TVeltraneProject& P) { FirstStep(P).Msg.IconIndex = 64; }, "Msg.IconIndex", false);
    Row(
        "IconIndex 16", [](TVeltraneProject& P) { FirstStep(P).Msg.IconIndex = 16; }, "Msg.IconIndex", true);
    Row(
        "IconType project", [](TVeltraneProject& P) { FirstStep(P).Msg.IconType = itProjectIcon; },
        "Msg.IconType", true);
    Row(
        "CheckAssociation true", [](TVeltraneProject& P) { FirstStep(P).CheckAssociation = true; },
        "CheckAssociation", false);
    Row(
        "CheckAssociation false", [](TVeltraneProject& P) { FirstStep(P).CheckAssociation = false; },
        "CheckAssociation", true);
    Row(
        "ShellActionType default", [](TVeltraneProject& P) { FirstStep(P).ShellActionType = atShowMessage; },
        "ShellActionType", false);
    Row(
        "ImageIndex -1", [](TVeltraneProject& P) { (void)FirstStep(P); }, "ImageIndex", false);
    Row(
        "ImageIndex 0",
        [](TVeltraneProject& P) {
            FirstStep(P);
            P.Sections.Items(0).SItems.Items(0).ItemActions.Items(0).ImageIndex = 0;
        },
        "ImageIndex", true);
    // No declared default: written whatever the value.
    Row(
        "PrecopyFiles.Enabled false", [](TVeltraneProject& P) { FirstStep(P).PrecopyFiles.Enabled = false; },
        "PrecopyFiles.Enabled", true);
    Row(
        "CopyRules.Enabled false", [](TVeltraneProject& P) { (void)FirstStep(P); }, "CopyRules.Enabled",
        true);
    Row(
        "empty string", [](TVeltraneProject& P) { FirstStep(P).ActionName.clear(); }, "ActionName", false);
    Row(
        "empty wide string", [](TVeltraneProject& P) { FirstStep(P).Msg.Text.clear(); }, "Msg.Text", false);
}

void TComponentWriterTest::DefaultLeftOut()
{
    QFETCH(TMutator, Change);
    QFETCH(QByteArray, Name);
    QFETCH(bool, Written);

    TVeltraneProject P;
    Change(P);
    QByteArray Out;
    QVERIFY(WriteComponent(P, Out));
    QCOMPARE(ValueAt(Out, Name) > 0, Written);
}

// An empty list is not written, so reading the file gives back the line the constructor makes.
void TComponentWriterTest::EmptyStringListLeftOut()
{
    TVeltraneProject P;
    P.Sections.Add().SItems.Add().CopyRules.Destinations.Strings.clear();
    QByteArray Out;
    QVERIFY(WriteComponent(P, Out));
    QCOMPARE(ValueAt(Out, "CopyRules.Destinations.Strings"), qsizetype(-1));

    TVeltraneProject Back;
    QVERIFY(ReadComponent(Out, Back).Ok);
    QCOMPARE(Back.Sections.Items(0).SItems.Items(0).CopyRules.Destinations.Strings, QStringList{u"..."_s});
}

void TComponentWriterTest::UnencodableTextWrittenWide_data()
{
    QTest::addColumn<TMutator>("Change");
    QTest::addColumn<QByteArray>("Name"); // the property as the stream names it
    QTest::addColumn<int>("Tag");

    QTest::newRow("item name") << TMutator([](TVeltraneProject& P) {
        P.Sections.Add().SItems.Add().Name = u"\u4E2D"_s;
    }) << QByteArray("Name") << 18;
    QTest::newRow("emoji in title") << TMutator([](TVeltraneProject& P) { P.Title = u"x\U0001F600"_s; })
                                    << QByteArray("Title") << 20;
    QTest::newRow("nested object") << TMutator(
                                          [](TVeltraneProject& P) { P.Creator.Company = u"caf\u00E9"_s; })
                                   << QByteArray("Creator.Company") << 20;
    QTest::newRow("copy rule") << TMutator([](TVeltraneProject& P) {
        TCopyRules& Rules = P.Sections.Add().SItems.Add().CopyRules;
        Rules.Add().Destination = u"\u00E9\u00E8"_s;
    }) << QByteArray("Destination")
                               << 18;
    // What the reader makes of the one byte Windows-1251 leaves undefined.
    QTest::newRow("replacement character")
        << TMutator([](TVeltraneProject& P) { P.SplashScreen.ImageFileName = u"logo\uFFFD.jpg"_s; })
        << QByteArray("SplashScreen.ImageFileName") << 20;
}

// A text Windows-1251 cannot hold goes into the wide form the reader takes for any string, so that
// what was read from a file can be written back.
void TComponentWriterTest::UnencodableTextWrittenWide()
{
    QFETCH(TMutator, Change);
    QFETCH(QByteArray, Name);
    QFETCH(int, Tag);

    TVeltraneProject P;
    Change(P);
    QByteArray Out;
    QString Error;
    QVERIFY2(WriteComponent(P, Out, &Error), qPrintable(Error));
    const qsizetype At = ValueAt(Out, Name);
    QVERIFY(At > 0);
    QCOMPARE(int(quint8(Out[At])), Tag);

    TVeltraneProject Back;
    QVERIFY(ReadComponent(Out, Back).Ok);
    QByteArray Again;
    QVERIFY(WriteComponent(Back, Again));
    QCOMPARE(Again, Out);
}

// A line of a string list likewise.
void TComponentWriterTest::UnencodableLineWrittenWide()
{
    TVeltraneProject P;
    FirstStep(P).PrecopyFiles.Destinations.Strings.append(u"\u4E2D\u6587"_s);
    QByteArray Out;
    QVERIFY(WriteComponent(P, Out));
    TVeltraneProject Back;
    QVERIFY(ReadComponent(Out, Back).Ok);
    QCOMPARE(FirstStep(Back).PrecopyFiles.Destinations.Strings,
             FirstStep(P).PrecopyFiles.Destinations.Strings);
}

void TComponentWriterTest::IconData()
{
    TVeltraneProject P;
    P.Pictures.Add().Icon.Data = TinyIcon();
    P.Pictures.Add().Name = u"no icon"_s;
    QByteArray Out;
    QVERIFY(WriteComponent(P, Out));

    const qsizetype At = ValueAt(Out, "Icon.Data");
    QVERIFY(At > 0);
    QCOMPARE(Out.mid(At, 5), QByteArray(Bytes({10}) + Le32(quint32(TinyIcon().size()))));
    QCOMPARE(Out.mid(At + 5, TinyIcon().size()), TinyIcon());
    // The empty icon of the second picture is left out.
    QCOMPARE(Out.count(S("Icon.Data")), qsizetype(1));

    TVeltraneProject Back;
    QVERIFY(ReadComponent(Out, Back).Ok);
    QCOMPARE(Back.Pictures.Items(0).Icon.Data, TinyIcon());
    QVERIFY(Back.Pictures.Items(1).Icon.Empty());
}

void TComponentWriterTest::LegacyPictureData_data()
{
    QTest::addColumn<QString>("Class");
    QTest::addColumn<QByteArray>("Data");
    QTest::addColumn<QByteArray>("Payload");
    QTest::addColumn<QString>("ReadClass");

    QTest::newRow("icon") << u"TIcon"_s << TinyIcon() << QByteArray(S("TIcon") + TinyIcon()) << u"TIcon"_s;
    // A bitmap's own data starts with its length.
    QTest::newRow("bitmap") << u"TBitmap"_s << TinyBitmap()
                            << QByteArray(S("TBitmap") + Le32(16) + TinyBitmap()) << u"TBitmap"_s;
    QTest::newRow("unknown class") << u"TMetafile"_s << QByteArray("\x01\x02")
                                   << QByteArray(S("TMetafile") + "\x01\x02") << QString();
    QTest::newRow("empty") << QString() << QByteArray() << QByteArray() << QString();
}

void TComponentWriterTest::LegacyPictureData()
{
    QFETCH(QString, Class);
    QFETCH(QByteArray, Data);
    QFETCH(QByteArray, Payload);
    QFETCH(QString, ReadClass);

    Legacy::TVeltrane L;
    Legacy::TPic& Pic = L.PicturesList.Add();
    Pic.Picture.GraphicClass = Class;
    Pic.Picture.Data = Data;
    QByteArray Out;
    QVERIFY(WriteComponent(L, Out));
    const qsizetype At = ValueAt(Out, "Picture.Data");
    if (Payload.isEmpty()) {
        QCOMPARE(At, qsizetype(-1));
    } else {
        QVERIFY(At > 0);
        QCOMPARE(Out.mid(At, 5 + Payload.size()),
                 QByteArray(Bytes({10}) + Le32(quint32(Payload.size())) + Payload));
    }

    Legacy::TVeltrane Back;
    const TStreamReadResult R = ReadComponent(Out, Back);
    QVERIFY2(R.Ok, qPrintable(R.Error));
    QCOMPARE(Back.PicturesList.Items(0).Picture.GraphicClass, ReadClass);
    QCOMPARE(Back.PicturesList.Items(0).Picture.Data, ReadClass.isEmpty() ? QByteArray() : Data);
}

void TComponentWriterTest::StructureFileHeader()
{
    TVeltraneProject P;
    P.Title = u"T"_s;
    QByteArray File;
    QVERIFY(WriteStructureFile(P, PackVersion(2, 7, 5), File));
    QCOMPARE(File.left(16),
             Bytes({0xAB, 0x49, 0x11, 0x30, 0x26, 0x15, 0x03, 0x00, 0x00, 0x05, 0x07, 0x02, 0, 0, 0, 0}));
    QByteArray Stream;
    QVERIFY(WriteComponent(P, Stream));
    QCOMPARE(File.mid(16), Stream);

    // A stream that cannot be written gives no file at all.
    // 7 has no name but lies within the enumeration's range, so holding it is well defined.
    FirstStep(P).ShellActionType = static_cast<TShlActionType>(7);
    QString Error;
    QVERIFY(!WriteStructureFile(P, PackVersion(2, 7, 5), File, &Error));
    QVERIFY(File.isEmpty());
    QVERIFY2(Error.startsWith(u"Sections[0].SItems[0].ItemActions[0].ShellActions[0].ShellActionType: "_s),
             qPrintable(Error));
}

QTEST_GUILESS_MAIN(TComponentWriterTest)
#include "tst_componentwriter.moc"
