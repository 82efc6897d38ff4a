#include "ProjectJson.h"

#include "../core/StreamBuilder.h"

#include "model/LegacyModel.h"
#include "model/Project.h"
#include "model/StructureFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString DataDir = QString::fromUtf8(AUTORUN_TEST_DATA_DIR);
const QString BuildDataDir = QString::fromUtf8(AUTORUN_TEST_BUILD_DATA_DIR);

QByteArray ReadAll(const QString& Path)
{
    QFile F(Path);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
}

bool WriteAll(const QString& Path, const QByteArray& Data)
{
    QFile F(Path);
    return F.open(QIODevice::WriteOnly) && F.write(Data) == Data.size();
}

QJsonObject ReadJson(const QString& Path)
{
    return QJsonDocument::fromJson(ReadAll(Path)).object();
}

// Where two JSON values first differ, or an empty string when they are equal.
QString FirstDifference(const QJsonValue& A, const QJsonValue& B, const QString& Path = u"$"_s)
{
    if (A.type() != B.type())
        return u"%1: types differ"_s.arg(Path);
    if (A.isObject()) {
        const QJsonObject OA = A.toObject();
        const QJsonObject OB = B.toObject();
        QStringList Keys = OA.keys() + OB.keys();
        Keys.removeDuplicates();
        for (const QString& Key : Keys) {
            if (!OA.contains(Key) || !OB.contains(Key))
                return u"%1.%2: present on one side only"_s.arg(Path, Key);
            const QString D = FirstDifference(OA.value(Key), OB.value(Key), u"%1.%2"_s.arg(Path, Key));
            if (!D.isEmpty())
                return D;
        }
        return {};
    }
    if (A.isArray()) {
        const QJsonArray AA = A.toArray();
        const QJsonArray AB = B.toArray();
        if (AA.size() != AB.size())
            return u"%1: %2 against %3 elements"_s.arg(Path).arg(AA.size()).arg(AB.size());
        for (qsizetype I = 0; I < AA.size(); ++I) {
            const QString D = FirstDifference(AA[I], AB[I], u"%1[%2]"_s.arg(Path).arg(I));
            if (!D.isEmpty())
                return D;
        }
        return {};
    }
    if (A != B)
        return u"%1: %2 against %3"_s.arg(Path, A.toVariant().toString(), B.toVariant().toString());
    return {};
}

#define COMPARE_JSON(Actual, Expected)                                                                       \
    do {                                                                                                     \
        const QString Difference = FirstDifference(Actual, Expected);                                        \
        QVERIFY2(Difference.isEmpty(), qPrintable(Difference));                                              \
    } while (false)

// The root of either form, filled from JSON.
std::unique_ptr<TComponent> NewRoot(bool Legacy)
{
    if (Legacy)
        return std::make_unique<Legacy::TVeltrane>();
    return std::make_unique<TVeltraneProject>();
}

// What reading gives back for a legacy project: a picture of a class the reader does not know is empty.
void ForgetUnknownPictures(Legacy::TVeltrane& Root)
{
    for (int I = 0; I < Root.PicturesList.Count(); ++I) {
        TLegacyPicture& Pic = Root.PicturesList.Items(I).Picture;
        if (Pic.GraphicClass != u"TIcon"_s && Pic.GraphicClass != u"TBitmap"_s) {
            Pic.GraphicClass.clear();
            Pic.Data.clear();
        }
    }
}

// Every leaf of a JSON value, keyed by its path without array indices.
void CollectLeaves(const QJsonValue& V, const QString& Path, QMultiMap<QString, QJsonValue>& Leaves)
{
    if (V.isObject()) {
        const QJsonObject O = V.toObject();
        for (auto It = O.begin(); It != O.end(); ++It)
            CollectLeaves(It.value(), Path.isEmpty() ? It.key() : u"%1.%2"_s.arg(Path, It.key()), Leaves);
    } else if (V.isArray()) {
        for (const QJsonValue& E : V.toArray())
            CollectLeaves(E, Path + u"[]"_s, Leaves);
    } else {
        Leaves.insert(Path, V);
    }
}

// Every value name of every enumeration property met in Obj and below, per "Class.Property".
void CollectEnumValues(const TPersistent& Obj, QMap<QString, QSet<QString>>& Seen)
{
    for (const TPropInfo& P : Obj.ClassInfo().Props) {
        if (P.Kind == TTypeKind::Enumeration)
            Seen[u"%1.%2"_s.arg(Obj.ClassName(), QString::fromLatin1(P.Name))].insert(
                P.Enum->NameOf(P.GetOrd(Obj)));
        if (P.Kind != TTypeKind::Class)
            continue;
        const TPersistent& Sub = P.Object(Obj);
        CollectEnumValues(Sub, Seen);
        if (Sub.ObjectKind() == TObjectKind::Collection) {
            const auto& List = static_cast<const TCollection&>(Sub);
            for (int I = 0; I < List.Count(); ++I)
                CollectEnumValues(List.ItemAt(I), Seen);
        }
        if (Sub.ObjectKind() == TObjectKind::Picture)
            Seen[u"TPicture.Class"_s].insert(static_cast<const TLegacyPicture&>(Sub).GraphicClass);
    }
}

void AllEnumNames(const TPersistent& Obj, QMap<QString, QSet<QString>>& All)
{
    for (const TPropInfo& P : Obj.ClassInfo().Props)
        if (P.Kind == TTypeKind::Enumeration)
            for (const char* Name : P.Enum->Names)
                All[u"%1.%2"_s.arg(Obj.ClassName(), QString::fromLatin1(P.Name))].insert(
                    QString::fromLatin1(Name));
}

QByteArray Header(quint32 Version)
{
    QByteArray H(16, '\0');
    qToLittleEndian<qint64>(StructureFile::Signature, H.data());
    qToLittleEndian<quint32>(Version, H.data() + 8);
    return H;
}

} // namespace

class TProjectJsonTest : public QObject
{
    Q_OBJECT

private slots:
    void FixtureRoundTrip_data();
    void FixtureRoundTrip();
    void TextsOutsideWindows1251RoundTrip_data();
    void TextsOutsideWindows1251RoundTrip();
    void FullFixturesCoverEveryProperty_data();
    void FullFixturesCoverEveryProperty();
    void ErrorsNamePath_data();
    void ErrorsNamePath();
    void DumpOfFilesThatDoNotLoad_data();
    void DumpOfFilesThatDoNotLoad();
    void BuildHeaderVersion();
    void CommandLine_data();
    void CommandLine();
};

void TProjectJsonTest::FixtureRoundTrip_data()
{
    QTest::addColumn<QString>("Stem");
    QTest::addColumn<bool>("Legacy");
    QTest::newRow("model/full") << u"model/full"_s << false;
    QTest::newRow("model/defaults") << u"model/defaults"_s << false;
    QTest::newRow("model/empty-collections") << u"model/empty-collections"_s << false;
    QTest::newRow("legacy/full") << u"legacy/full"_s << true;
}

// JSON -> model -> file -> dump gives the same model; the file the build compiled is byte for byte
// what the library writes; and a "dump --with-data" compiles back into the very same file.
void TProjectJsonTest::FixtureRoundTrip()
{
    QFETCH(QString, Stem);
    QFETCH(bool, Legacy);

    const QString JsonPath = u"%1/%2.json"_s.arg(DataDir, Stem);
    const QString BuiltPath = u"%1/%2.%3"_s.arg(BuildDataDir, Stem, Legacy ? u"apr"_s : u"vlp"_s);
    const QString BaseDir = QFileInfo(JsonPath).absolutePath();
    const QJsonObject Source = ReadJson(JsonPath);
    QVERIFY(!Source.isEmpty() || Stem.endsWith(u"defaults"_s));

    std::unique_ptr<TComponent> Model = NewRoot(Legacy);
    QString Error;
    QVERIFY2(ProjectJson::FromJson(Source, *Model, BaseDir, &Error), qPrintable(Error));

    const ProjectJson::TBuildOptions Options{ProjectJson::DefaultVersion(), Legacy};
    QByteArray Bytes;
    QVERIFY2(ProjectJson::BuildBytes(Source, BaseDir, Options, Bytes, &Error), qPrintable(Error));
    QCOMPARE(ReadAll(BuiltPath), Bytes);

    const ProjectJson::TDumpResult Dump = ProjectJson::DumpFile(BuiltPath, false);
    QVERIFY2(Dump.Loaded, qPrintable(Dump.Error));
    QCOMPARE(Dump.Json.value(u"file"_s).toString(), BuiltPath);
    QCOMPARE(Dump.Json.value(u"legacy_flag"_s).toBool(), Legacy);
    if (Legacy) {
        auto& Root = static_cast<Legacy::TVeltrane&>(*Model);
        ForgetUnknownPictures(Root);
        QCOMPARE(Dump.Json.value(u"kind"_s).toString(), u"apr"_s);
        QCOMPARE(Dump.Json.value(u"read_error"_s).toBool(), false);
        COMPARE_JSON(Dump.Json.value(u"legacy"_s), ProjectJson::ToJson(Root));
        TVeltraneProject Converted;
        Converted.ConvertLegacy(Root);
        COMPARE_JSON(Dump.Json.value(u"project"_s), ProjectJson::ToJson(Converted));
    } else {
        QCOMPARE(Dump.Json.value(u"kind"_s).toString(), u"vlp"_s);
        QCOMPARE(Dump.Json.value(u"result"_s).toInt(), int(lrLoaded));
        QCOMPARE(Dump.Json.value(u"signature"_s).toInteger(), StructureFile::Signature);
        const QJsonObject Version{
            {u"raw"_s, 0x02070500}, {u"major"_s, 2}, {u"minor"_s, 7}, {u"release"_s, 5}};
        COMPARE_JSON(Dump.Json.value(u"file_version"_s), Version);
        COMPARE_JSON(Dump.Json.value(u"project"_s), ProjectJson::ToJson(*Model));
    }

    // The dump with data compiles again: the model's form from its "project" member, the legacy
    // form from the whole dump.
    const ProjectJson::TDumpResult WithData = ProjectJson::DumpFile(BuiltPath, true);
    const QJsonObject Again = Legacy ? WithData.Json : WithData.Json.value(u"project"_s).toObject();
    QTemporaryDir Tmp;
    QVERIFY(Tmp.isValid());
    const QString AgainJson = Tmp.filePath(u"again.json"_s);
    const QString AgainOut = Tmp.filePath(Legacy ? u"again.apr"_s : u"again.vlp"_s);
    QVERIFY(WriteAll(AgainJson, QJsonDocument(Again).toJson()));
    QVERIFY2(ProjectJson::BuildFile(AgainJson, AgainOut, Options, &Error), qPrintable(Error));
    const QByteArray AgainBytes = ReadAll(AgainOut);
    const ProjectJson::TDumpResult AgainDump = ProjectJson::DumpFile(AgainOut, false);
    COMPARE_JSON(AgainDump.Json.value(u"project"_s), Dump.Json.value(u"project"_s));
    // Unknown picture classes are lost on reading, so only then may the bytes differ.
    if (!Legacy)
        QCOMPARE(AgainBytes, Bytes);
}

void TProjectJsonTest::TextsOutsideWindows1251RoundTrip_data()
{
    QTest::addColumn<QByteArray>("File");
    QTest::addColumn<bool>("Legacy");

    // String properties and string-list lines in the wide forms the reader accepts, holding what
    // Windows-1251 cannot: CJK, an emoji, Latin accents, and the one byte it leaves undefined.
    TStreamBuilder B;
    B.Begin()
        .Prop("Folder")
        .LStr("disc\x98")
        .Prop("Title")
        .WStr(u"\u041E\u0431\u0437\u043E\u0440 \u2014 \u65E5\u672C"_s);
    B.Prop("Creator.Company").Utf8(u"caf\u00E9 \U0001F600"_s);
    B.Prop("Sections").Collection().Item().Prop("SItems").Collection();
    B.Item().Prop("Name").WStr(u"\u00C5ngstr\u00F6m"_s);
    B.Prop("CopyRules.Destinations.Strings").Byte(vaList).Str("A").Utf8(u"\u4E2D\u6587"_s).EndList();
    B.Prop("CopyRules").Collection().Item().Prop("Destination").Utf8(u"\u00E9t\u00E9"_s).EndList().EndList();
    B.EndList().EndList(); // item, items
    B.EndList().EndList(); // section, sections
    B.End();
    QTest::newRow("project") << B.File() << false;

    TStreamBuilder L;
    L.Begin("TVeltrane", "Legacy").Prop("ProjectPath").Utf8(u"\u00FCber"_s);
    L.Prop("Sections").Collection().Item().Prop("SectionName").WStr(u"\u0394\u03B5\u03BB\u03C4\u03B1"_s);
    L.EndList().EndList().End();
    QTest::newRow("legacy") << L.Bytes << true;
}

// "dump --with-data", "build" and "dump" again give the same project for a file whose texts
// Windows-1251 cannot hold.
void TProjectJsonTest::TextsOutsideWindows1251RoundTrip()
{
    QFETCH(QByteArray, File);
    QFETCH(bool, Legacy);

    QTemporaryDir Tmp;
    QVERIFY(Tmp.isValid());
    const QString Ext = Legacy ? u"apr"_s : u"vlp"_s;
    const QString Original = Tmp.filePath(u"original."_s + Ext);
    QVERIFY(WriteAll(Original, File));
    const ProjectJson::TDumpResult First = ProjectJson::DumpFile(Original, true);
    QVERIFY2(First.Loaded, qPrintable(First.Error));
    QVERIFY(!First.Json.value(u"read_error"_s).toBool());

    const QString Json = Tmp.filePath(u"original.json"_s);
    QVERIFY(WriteAll(
        Json, QJsonDocument(Legacy ? First.Json : First.Json.value(u"project"_s).toObject()).toJson()));
    const QString Built = Tmp.filePath(u"built."_s + Ext);
    QString Error;
    QVERIFY2(ProjectJson::BuildFile(Json, Built, {ProjectJson::DefaultVersion(), Legacy}, &Error),
             qPrintable(Error));
    const ProjectJson::TDumpResult Second = ProjectJson::DumpFile(Built, true);
    QVERIFY2(Second.Loaded, qPrintable(Second.Error));
    COMPARE_JSON(Second.Json.value(u"project"_s), First.Json.value(u"project"_s));
    if (Legacy)
        COMPARE_JSON(Second.Json.value(u"legacy"_s), First.Json.value(u"legacy"_s));
    // The texts really are outside the code page, not lost to "?" on both sides.
    const QString Dumped = QString::fromUtf8(QJsonDocument(First.Json).toJson());
    QVERIFY(Dumped.contains(Legacy ? u"\u0394\u03B5\u03BB\u03C4\u03B1"_s : u"\u65E5\u672C"_s));
}

void TProjectJsonTest::FullFixturesCoverEveryProperty_data()
{
    QTest::addColumn<QString>("Stem");
    QTest::addColumn<bool>("Legacy");
    // One instance of every class, nothing set: the constructors' values.
    QTest::addColumn<QByteArray>("Skeleton");

    QTest::newRow("model") << u"model/full"_s << false
                           << QByteArray(
                                  R"({"Pictures":[{}],"Sections":[{"SItems":[{"ItemActions":[{"ShellActions":
                               [{"PrecopyFiles":{"Items":[{}]}}]}],"CopyRules":{"Items":[{}]},"Screenshots":[{}]}],
                               "Screenshots":[{}]}]})");
    QTest::newRow("legacy") << u"legacy/full"_s << true
                            << QByteArray(
                                   R"({"PicturesList":[{}],"Sections":[{"SItems":[{"Files":[{}]}]}]})");
}

// The full fixtures give every property a value other than its constructor's somewhere, and use
// every value of every enumeration, so that tests reading them see every property travel.
void TProjectJsonTest::FullFixturesCoverEveryProperty()
{
    QFETCH(QString, Stem);
    QFETCH(bool, Legacy);
    QFETCH(QByteArray, Skeleton);

    const QString JsonPath = u"%1/%2.json"_s.arg(DataDir, Stem);
    std::unique_ptr<TComponent> Full = NewRoot(Legacy);
    std::unique_ptr<TComponent> Fresh = NewRoot(Legacy);
    QString Error;
    QVERIFY2(ProjectJson::FromJson(ReadJson(JsonPath), *Full, QFileInfo(JsonPath).absolutePath(), &Error),
             qPrintable(Error));
    QVERIFY2(ProjectJson::FromJson(QJsonDocument::fromJson(Skeleton).object(), *Fresh, {}, &Error),
             qPrintable(Error));

    QMultiMap<QString, QJsonValue> FullLeaves;
    QMultiMap<QString, QJsonValue> FreshLeaves;
    CollectLeaves(ProjectJson::ToJson(*Full), {}, FullLeaves);
    CollectLeaves(ProjectJson::ToJson(*Fresh), {}, FreshLeaves);
    for (const QString& Path : FreshLeaves.uniqueKeys()) {
        if (Path == u"ID"_s) // read-only, always 5
            continue;
        const QJsonValue Default = FreshLeaves.value(Path);
        const QList<QJsonValue> Values = FullLeaves.values(Path);
        const bool Changed =
            std::any_of(Values.begin(), Values.end(), [&](const QJsonValue& V) { return V != Default; });
        QVERIFY2(Changed,
                 qPrintable(u"%1 never differs from %2"_s.arg(Path, Default.toVariant().toString())));
    }

    QMap<QString, QSet<QString>> Seen;
    QMap<QString, QSet<QString>> All;
    CollectEnumValues(*Full, Seen);
    // Every class with an enumeration property is reached in the skeleton.
    const std::function<void(const TPersistent&)> Walk = [&](const TPersistent& Obj) {
        AllEnumNames(Obj, All);
        for (const TPropInfo& P : Obj.ClassInfo().Props) {
            if (P.Kind != TTypeKind::Class)
                continue;
            const TPersistent& Sub = P.Object(Obj);
            Walk(Sub);
            if (Sub.ObjectKind() == TObjectKind::Collection)
                for (int I = 0; I < static_cast<const TCollection&>(Sub).Count(); ++I)
                    Walk(static_cast<const TCollection&>(Sub).ItemAt(I));
        }
    };
    Walk(*Fresh);
    QVERIFY(!All.isEmpty());
    for (auto It = All.begin(); It != All.end(); ++It)
        for (const QString& Name : It.value())
            QVERIFY2(Seen.value(It.key()).contains(Name),
                     qPrintable(u"%1 never is %2"_s.arg(It.key(), Name)));
    if (Legacy) {
        // An icon, a bitmap, an empty picture and a class the reader does not know.
        const QSet<QString> Classes = Seen.value(u"TPicture.Class"_s);
        QVERIFY(Classes.contains(u"TIcon"_s) && Classes.contains(u"TBitmap"_s) &&
                Classes.contains(QString()));
        QCOMPARE(Classes.size(), 4);
    }
}

void TProjectJsonTest::ErrorsNamePath_data()
{
    QTest::addColumn<bool>("Legacy");
    QTest::addColumn<QByteArray>("Json");
    QTest::addColumn<QString>("Expected"); // the error, or its beginning

    const auto Row = [](const char* Name, bool Legacy, const char* Json, const QString& Expected) {
        QTest::newRow(Name) << Legacy << QByteArray(Json) << Expected;
    };
    Row("text for an integer", false, R"({"Sections":[{},{"SItems":[{},{"ImageDefault":"x"}]}]})",
        u"Sections[1].SItems[1].ImageDefault: expected an integer"_s);
    Row("fraction", false, R"({"Sections":[{"SItems":[{"ImageDefault":1.5}]}]})",
        u"Sections[0].SItems[0].ImageDefault: expected an integer"_s);
    Row("word range", false, R"({"SplashScreen":{"ShowTime":65536}})",
        u"SplashScreen.ShowTime: expected an integer from 0 to 65535"_s);
    Row("integer range", false, R"({"Tag":2147483648})",
        u"Tag: expected an integer from -2147483648 to 2147483647"_s);
    Row("boolean", false, R"({"SplashScreen":{"ShowName":1}})",
        u"SplashScreen.ShowName: expected true or false"_s);
    Row("enumeration", false,
        R"({"Sections":[{"SItems":[{"ItemActions":[{"ShellActions":[{"ShellActionType":"atRun"}]}]}]}]})",
        u"Sections[0].SItems[0].ItemActions[0].ShellActions[0].ShellActionType: expected one of "
        u"atShowMessage, "
        "atOpenObject, atExecute, atInstall, atPrecopyFiles"_s);
    Row("unknown property", false, R"({"Sections":[{"Nmae":"x"}]})",
        u"Sections[0].Nmae: no such property of TSection"_s);
    Row("number for a text", false, R"({"Title":5})", u"Title: expected a string"_s);
    Row("collection not an array", false, R"({"Pictures":{}})", u"Pictures: expected an array"_s);
    Row("item not an object", false, R"({"Pictures":[1]})", u"Pictures[0]: expected an object"_s);
    Row("copy rule", false, R"({"Sections":[{"SItems":[{"CopyRules":{"Items":[{"Enabled":"yes"}]}}]}]})",
        u"Sections[0].SItems[0].CopyRules.Items[0].Enabled: expected true or false"_s);
    Row("string list line", false, R"({"Sections":[{"SItems":[{"CopyRules":{"Destinations":["a",2]}}]}]})",
        u"Sections[0].SItems[0].CopyRules.Destinations[1]: expected a string"_s);
    Row("component name", false, R"({"Name":"my project"})",
        u"Name: ''my project'' is not a valid component name"_s);
    Row("icon base64", false, R"({"Pictures":[{"Icon":{"Base64":"!!"}}]})",
        u"Pictures[0].Icon.Base64: not valid Base64"_s);
    Row("icon not an icon", false, R"({"Pictures":[{"Icon":{"Base64":"AAAAAAAA"}}]})",
        u"Pictures[0].Icon: not an icon file image"_s);
    Row("icon file missing", false, R"({"Pictures":[{"Icon":{"File":"no-such.ico"}}]})",
        u"Pictures[0].Icon.File: cannot read "_s);
    Row("icon data missing", false, R"({"Pictures":[{"Icon":{"Bytes":1150,"Sha256":"d0a9"}}]})",
        u"Pictures[0].Icon: the icon's data is missing: give File or Base64"_s);
    Row("icon file and base64", false, R"({"Pictures":[{"Icon":{"File":"a.ico","Base64":""}}]})",
        u"Pictures[0].Icon: give either File or Base64, not both"_s);
    Row("dump without its project", false, R"({"kind":"apr","legacy":{}})",
        u"project: the dump has no such object"_s);
    Row("legacy read-only", true, R"({"ID":6})", u"ID: read-only; it is always 5"_s);
    Row("legacy byte range", true, R"({"Sections":[{"SItems":[{"CopyMode":256}]}]})",
        u"Sections[0].SItems[0].CopyMode: expected an integer from 0 to 255"_s);
    Row("legacy enumeration", true, R"({"Sections":[{"SItems":[{"Files":[{"FileType":"ftMovie"}]}]}]})",
        u"Sections[0].SItems[0].Files[0].FileType: expected one of ftAnyfile, ftExecutable, ftMusic, "
        u"ftImage, "
        "ftText, ftScrSaver"_s);
    Row("legacy bitmap", true, R"({"PicturesList":[{"Picture":{"Class":"TBitmap","Base64":"AAAA"}}]})",
        u"PicturesList[0].Picture: not a BMP file"_s);
    Row("legacy class name", true, R"({"PicturesList":[{"Picture":{"Class":"T Bad","Base64":"AAAA"}}]})",
        u"PicturesList[0].Picture.Class: expected a class name"_s);
    Row("legacy picture without data", true, R"({"PicturesList":[{"Picture":{"Class":"TIcon"}}]})",
        u"PicturesList[0].Picture: the picture's data is missing: give File or Base64"_s);
}

void TProjectJsonTest::ErrorsNamePath()
{
    QFETCH(bool, Legacy);
    QFETCH(QByteArray, Json);
    QFETCH(QString, Expected);

    QJsonParseError Parse;
    const QJsonObject Source = QJsonDocument::fromJson(Json, &Parse).object();
    QCOMPARE(Parse.error, QJsonParseError::NoError);
    QByteArray Out("stale");
    QString Error;
    QVERIFY(!ProjectJson::BuildBytes(Source, DataDir, {ProjectJson::DefaultVersion(), Legacy}, Out, &Error));
    QVERIFY2(Error.startsWith(Expected), qPrintable(Error));
}

void TProjectJsonTest::DumpOfFilesThatDoNotLoad_data()
{
    QTest::addColumn<QString>("FileName");
    QTest::addColumn<QByteArray>("Content"); // null: no such file
    QTest::addColumn<int>("Result");         // -1 for a legacy file
    QTest::addColumn<qint64>("Signature");
    QTest::addColumn<qint64>("RawVersion"); // -1: file_version is null

    const qint64 Sig = StructureFile::Signature;
    QTest::newRow("missing") << u"missing.vlp"_s << QByteArray() << int(lrNoAccess) << qint64(0)
                             << qint64(-1);
    QTest::newRow("wrong signature") << u"wrong.vlp"_s << QByteArray(20, 'x') << int(lrWrongSignature) << Sig
                                     << qint64(-1);
    QTest::newRow("header only") << u"header.vlp"_s << Header(0x02070500) << int(lrReadError) << Sig
                                 << qint64(0x02070500);
    // The raw field keeps the low byte the comparison ignores.
    QTest::newRow("newer") << u"newer.vlp"_s << Header(0x02070633) << int(lrNewerVersion) << Sig
                           << qint64(0x02070633);
    // Only ".apr" exactly is a legacy file; anything else needs a header.
    QTest::newRow("upper-case APR") << u"legacy.APR"_s << QByteArray("TPF0\x09TVeltrane\x00\x00\x00", 15)
                                    << int(lrWrongSignature) << Sig << qint64(-1);
    QTest::newRow("missing legacy") << u"missing.apr"_s << QByteArray() << -1 << qint64(0) << qint64(-1);
    QTest::newRow("truncated legacy")
        << u"cut.apr"_s << QByteArray("TPF0\x09TVel") << -1 << qint64(0) << qint64(-1);
}

void TProjectJsonTest::DumpOfFilesThatDoNotLoad()
{
    QFETCH(QString, FileName);
    QFETCH(QByteArray, Content);
    QFETCH(int, Result);
    QFETCH(qint64, Signature);
    QFETCH(qint64, RawVersion);

    QTemporaryDir Tmp;
    QVERIFY(Tmp.isValid());
    const QString Path = Tmp.filePath(FileName);
    if (!Content.isNull())
        QVERIFY(WriteAll(Path, Content));

    const ProjectJson::TDumpResult Dump = ProjectJson::DumpFile(Path, false);
    QVERIFY(!Dump.Loaded);
    QVERIFY(!Dump.Error.isEmpty());
    const QJsonObject& J = Dump.Json;
    QVERIFY(J.value(u"project"_s).isObject());
    if (Result < 0) {
        QCOMPARE(J.value(u"kind"_s).toString(), u"apr"_s);
        QCOMPARE(J.value(u"read_error"_s).toBool(), true);
        QCOMPARE(J.value(u"legacy_flag"_s).toBool(), true);
        QVERIFY(J.value(u"legacy"_s).isObject());
        return;
    }
    QCOMPARE(J.value(u"kind"_s).toString(), u"vlp"_s);
    QCOMPARE(J.value(u"result"_s).toInt(), Result);
    QCOMPARE(J.value(u"signature"_s).toInteger(), Signature);
    QCOMPARE(J.value(u"legacy_flag"_s).toBool(), false);
    if (RawVersion < 0) {
        QVERIFY(J.value(u"file_version"_s).isNull());
    } else {
        const QJsonObject V = J.value(u"file_version"_s).toObject();
        QCOMPARE(V.value(u"raw"_s).toInteger(), RawVersion);
        QCOMPARE(V.value(u"major"_s).toInt(), int(RawVersion >> 24));
        QCOMPARE(V.value(u"minor"_s).toInt(), int((RawVersion >> 16) & 0xFF));
        QCOMPARE(V.value(u"release"_s).toInt(), int((RawVersion >> 8) & 0xFF));
    }
}

// A legacy file has no header; a structure file carries the version it was built with.
void TProjectJsonTest::BuildHeaderVersion()
{
    quint32 Version = 0;
    QVERIFY(ProjectJson::ParseVersion(u"3.10.255"_s, &Version));
    QByteArray Out;
    QVERIFY(ProjectJson::BuildBytes({}, {}, {Version, false}, Out, nullptr));
    QCOMPARE(Out.mid(8, 4), QByteArray("\x00\xFF\x0A\x03", 4));
    QVERIFY(ProjectJson::BuildBytes({}, {}, {Version, true}, Out, nullptr));
    QVERIFY(Out.startsWith("TPF0"));
}

void TProjectJsonTest::CommandLine_data()
{
    QTest::addColumn<QStringList>("Args");
    QTest::addColumn<int>("ExitCode");
    QTest::addColumn<QString>("StdoutHas");
    QTest::addColumn<QString>("StderrHas");

    // %D: the source fixtures, %B: the compiled fixtures, %T: a scratch folder.
    const QString Json = u"%D/model/full.json"_s;
    QTest::newRow("no command") << QStringList() << 2 << QString() << u"Usage"_s;
    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"vlptool dump FILE"_s << QString();
    QTest::newRow("unknown command") << QStringList{u"print"_s} << 2 << QString() << u"unknown command"_s;
    QTest::newRow("dump without file") << QStringList{u"dump"_s} << 2 << QString() << u"Usage"_s;
    QTest::newRow("dump two files") << QStringList{u"dump"_s, u"a"_s, u"b"_s} << 2 << QString() << u"Usage"_s;
    QTest::newRow("dump unknown option")
        << QStringList{u"dump"_s, u"x.vlp"_s, u"--all"_s} << 2 << QString() << u"unknown option"_s;
    QTest::newRow("dump loaded") << QStringList{u"dump"_s, u"%B/model/full.vlp"_s, u"--with-data"_s} << 0
                                 << u"\"Base64\""_s << QString();
    QTest::newRow("dump not loaded") << QStringList{u"dump"_s, u"%T/none.vlp"_s} << 1 << u"\"result\": 1280"_s
                                     << u"not loaded"_s;
    QTest::newRow("build") << QStringList{u"build"_s, Json, u"%T/out.vlp"_s, u"--version"_s, u"2.7.5"_s} << 0
                           << QString() << QString();
    QTest::newRow("build bad version") << QStringList{u"build"_s, Json, u"%T/out.vlp"_s, u"--version=2.7"_s}
                                       << 2 << QString() << u"--version"_s;
    QTest::newRow("build legacy with version")
        << QStringList{u"build"_s,    u"%D/legacy/full.json"_s, u"%T/out.apr"_s,
                       u"--legacy"_s, u"--version"_s,           u"1.0.0"_s}
        << 2 << QString() << u"legacy"_s;
    QTest::newRow("build one file") << QStringList{u"build"_s, Json} << 2 << QString() << u"Usage"_s;
    QTest::newRow("build broken json") << QStringList{u"build"_s, u"%T/broken.json"_s, u"%T/out.vlp"_s} << 1
                                       << QString() << u"broken.json:2:"_s;
    QTest::newRow("build bad value") << QStringList{u"build"_s, u"%T/bad-value.json"_s, u"%T/out.vlp"_s} << 1
                                     << QString() << u"SplashScreen.ShowTime: expected an integer"_s;
}

// The executable itself: exit codes, where its output goes, and that a failed build writes nothing.
void TProjectJsonTest::CommandLine()
{
    QFETCH(QStringList, Args);
    QFETCH(int, ExitCode);
    QFETCH(QString, StdoutHas);
    QFETCH(QString, StderrHas);

    QTemporaryDir Tmp;
    QVERIFY(Tmp.isValid());
    QVERIFY(WriteAll(Tmp.filePath(u"broken.json"_s), "{\n  \"Title\": }\n"));
    QVERIFY(WriteAll(Tmp.filePath(u"bad-value.json"_s), R"({"SplashScreen": {"ShowTime": "long"}})"));
    for (QString& Arg : Args)
        Arg.replace(u"%D"_s, DataDir).replace(u"%B"_s, BuildDataDir).replace(u"%T"_s, Tmp.path());

    QProcess Tool;
    Tool.start(QString::fromUtf8(VLPTOOL_PATH), Args);
    QVERIFY(Tool.waitForFinished(60000));
    QCOMPARE(Tool.exitStatus(), QProcess::NormalExit);
    const QString Out = QString::fromUtf8(Tool.readAllStandardOutput());
    const QString Err = QString::fromUtf8(Tool.readAllStandardError());
    QVERIFY2(Tool.exitCode() == ExitCode, qPrintable(u"exit %1: %2"_s.arg(Tool.exitCode()).arg(Err)));
    QVERIFY2(Out.contains(StdoutHas), qPrintable(Out.left(2000)));
    QVERIFY2(Err.contains(StderrHas), qPrintable(Err));

    const QString Built = Tmp.filePath(u"out.vlp"_s);
    if (Args.value(0) == u"build"_s && ExitCode == 0) {
        QCOMPARE(ReadAll(Built), ReadAll(BuildDataDir + u"/model/full.vlp"_s));
    } else {
        QVERIFY(!QFile::exists(Built));
    }
    if (Args.value(0) == u"dump"_s && ExitCode != 2) {
        QJsonParseError Parse;
        const QJsonDocument Doc = QJsonDocument::fromJson(Out.toUtf8(), &Parse);
        QCOMPARE(Parse.error, QJsonParseError::NoError);
        QVERIFY(Doc.object().value(u"project"_s).isObject());
    }
}

QTEST_GUILESS_MAIN(TProjectJsonTest)
#include "tst_projectjson.moc"
