#include "ProjectJson.h"

#include "AutorunVersion.h"
#include "model/ComponentWriter.h"
#include "model/IconImage.h"
#include "model/LegacyModel.h"
#include "model/Project.h"
#include "model/StructureFile.h"
#include "text/Paths.h"

#include "model/PathError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace ProjectJson {

namespace {

// Icon and picture files named by a project JSON are read whole; anything larger is surely a mistake.
constexpr qint64 MaxDataFile = StructureFile::MaxFileSize;

QString Latin1(const char* Text)
{
    return QString::fromLatin1(Text);
}

QString JoinPath(const QString& Path, const QString& Name)
{
    return Path.isEmpty() ? Name : u"%1.%2"_s.arg(Path, Name);
}

QString IndexPath(const QString& Path, qsizetype Index)
{
    return u"%1[%2]"_s.arg(Path).arg(Index);
}

QString Sha256Hex(const QByteArray& Data)
{
    return QString::fromLatin1(QCryptographicHash::hash(Data, QCryptographicHash::Sha256).toHex());
}

bool HasOwnProps(const TPersistent& Obj)
{
    return !Obj.ClassInfo().Props.empty();
}

// --- model -> JSON -----------------------------------------------------------------------------

QJsonObject PropsToJson(const TPersistent& Obj, bool WithData);

QJsonValue ObjectToJson(const TPersistent& Obj, bool WithData)
{
    switch (Obj.ObjectKind()) {
    case TObjectKind::Plain:
        return PropsToJson(Obj, WithData);
    case TObjectKind::Collection: {
        const auto& List = static_cast<const TCollection&>(Obj);
        QJsonArray Items;
        for (int I = 0; I < List.Count(); ++I)
            Items.append(PropsToJson(List.ItemAt(I), WithData));
        if (!HasOwnProps(Obj))
            return Items;
        QJsonObject J = PropsToJson(Obj, WithData);
        J.insert(u"Items"_s, Items);
        return J;
    }
    case TObjectKind::Strings:
        return QJsonArray::fromStringList(static_cast<const TStrings&>(Obj).Strings);
    case TObjectKind::Icon: {
        const QByteArray& Data = static_cast<const TIcon&>(Obj).Data;
        QJsonArray Entries;
        QList<TIconDirEntry> Dir;
        if (ParseIconDirectory(Data, &Dir))
            for (const TIconDirEntry& E : Dir)
                Entries.append(
                    QJsonObject{{u"Width"_s, E.Width}, {u"Height"_s, E.Height}, {u"BitCount"_s, E.BitCount}});
        QJsonObject J{
            {u"Bytes"_s, qint64(Data.size())}, {u"Sha256"_s, Sha256Hex(Data)}, {u"Entries"_s, Entries}};
        if (WithData)
            J.insert(u"Base64"_s, QString::fromLatin1(Data.toBase64()));
        return J;
    }
    case TObjectKind::Picture: {
        const auto& Pic = static_cast<const TLegacyPicture&>(Obj);
        QJsonObject J{{u"Class"_s, Pic.GraphicClass},
                      {u"Bytes"_s, qint64(Pic.Data.size())},
                      {u"Sha256"_s, Sha256Hex(Pic.Data)}};
        if (WithData)
            J.insert(u"Base64"_s, QString::fromLatin1(Pic.Data.toBase64()));
        return J;
    }
    }
    return {};
}

QJsonObject PropsToJson(const TPersistent& Obj, bool WithData)
{
    QJsonObject J;
    for (const TPropInfo& P : Obj.ClassInfo().Props) {
        const QString Key = Latin1(P.Name);
        switch (P.Kind) {
        case TTypeKind::Integer:
        case TTypeKind::Word:
        case TTypeKind::Smallint:
        case TTypeKind::Byte:
            J.insert(Key, qint64(P.GetOrd(Obj)));
            break;
        case TTypeKind::Boolean:
            J.insert(Key, P.GetOrd(Obj) != 0);
            break;
        case TTypeKind::Enumeration:
            J.insert(Key, P.Enum->NameOf(P.GetOrd(Obj)));
            break;
        case TTypeKind::String:
        case TTypeKind::WideString:
            J.insert(Key, P.GetStr(Obj));
            break;
        case TTypeKind::Class:
            J.insert(Key, ObjectToJson(P.Object(Obj), WithData));
            break;
        }
    }
    return J;
}

// --- JSON -> model -----------------------------------------------------------------------------

using EJsonError = EPathError;

[[noreturn]] void Fail(const QString& Path, const QString& Reason)
{
    throw EJsonError(Path, Reason);
}

struct TRange
{
    qint64 Min;
    qint64 Max;
};

TRange RangeOf(TTypeKind Kind)
{
    switch (Kind) {
    case TTypeKind::Word:
        return {0, 65535};
    case TTypeKind::Smallint:
        return {-32768, 32767};
    case TTypeKind::Byte:
        return {0, 255};
    default:
        return {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    }
}

class TJsonReader
{
public:
    explicit TJsonReader(const QString& BaseDir) : FBaseDir(BaseDir) {}

    void ReadProps(const QJsonObject& J, TPersistent& Obj, const QString& Path,
                   const QStringList& OtherKeys = {});

private:
    void ReadProp(const QJsonValue& V, TPersistent& Obj, const TPropInfo& P, const QString& Path);
    void ReadObject(const QJsonValue& V, TPersistent& Obj, const QString& Path);
    void ReadItems(const QJsonValue& V, TCollection& List, const QString& Path);
    void ReadIcon(const QJsonObject& J, TIcon& Icon, const QString& Path);
    void ReadPicture(const QJsonObject& J, TLegacyPicture& Pic, const QString& Path);
    // The bytes given by "Base64" or "File"; empty when neither is given.
    QByteArray ReadData(const QJsonObject& J, const QString& Path);
    static void CheckKeys(const QJsonObject& J, const QStringList& Known, const QString& Path,
                          const QString& What);

    QString FBaseDir;
};

void TJsonReader::CheckKeys(const QJsonObject& J, const QStringList& Known, const QString& Path,
                            const QString& What)
{
    for (auto It = J.begin(); It != J.end(); ++It)
        if (!Known.contains(It.key()))
            Fail(JoinPath(Path, It.key()), u"no such property of %1"_s.arg(What));
}

void TJsonReader::ReadProps(const QJsonObject& J, TPersistent& Obj, const QString& Path,
                            const QStringList& OtherKeys)
{
    QStringList Known = OtherKeys;
    for (const TPropInfo& P : Obj.ClassInfo().Props)
        Known.append(Latin1(P.Name));
    CheckKeys(J, Known, Path, Obj.ClassName());
    // Applied in published order, as the stream would apply them.
    for (const TPropInfo& P : Obj.ClassInfo().Props) {
        const QString Key = Latin1(P.Name);
        const auto It = J.constFind(Key);
        if (It != J.constEnd())
            ReadProp(*It, Obj, P, JoinPath(Path, Key));
    }
}

void TJsonReader::ReadProp(const QJsonValue& V, TPersistent& Obj, const TPropInfo& P, const QString& Path)
{
    switch (P.Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Word:
    case TTypeKind::Smallint:
    case TTypeKind::Byte: {
        const double D = V.toDouble();
        if (!V.isDouble() || !std::isfinite(D) || std::trunc(D) != D)
            Fail(Path, u"expected an integer"_s);
        const TRange R = RangeOf(P.Kind);
        if (D < double(R.Min) || D > double(R.Max))
            Fail(Path, u"expected an integer from %1 to %2"_s.arg(R.Min).arg(R.Max));
        const qint64 N = qint64(D);
        if (P.ReadOnly) {
            if (N != P.GetOrd(Obj))
                Fail(Path, u"read-only; it is always %1"_s.arg(P.GetOrd(Obj)));
            return;
        }
        P.SetOrd(Obj, N);
        return;
    }
    case TTypeKind::Boolean:
        if (!V.isBool())
            Fail(Path, u"expected true or false"_s);
        P.SetOrd(Obj, V.toBool() ? 1 : 0);
        return;
    case TTypeKind::Enumeration: {
        const QString Name = V.toString();
        for (size_t I = 0; I < P.Enum->Names.size(); ++I)
            if (V.isString() && Name == Latin1(P.Enum->Names[I])) {
                P.SetOrd(Obj, qint64(I));
                return;
            }
        QStringList Names;
        for (const char* N : P.Enum->Names)
            Names.append(Latin1(N));
        Fail(Path, u"expected one of %1"_s.arg(Names.join(u", "_s)));
    }
    case TTypeKind::String:
    case TTypeKind::WideString:
        if (!V.isString())
            Fail(Path, u"expected a string"_s);
        try {
            P.SetStr(Obj, V.toString());
        } catch (EConvertError& E) {
            Fail(Path, E.Message());
        }
        return;
    case TTypeKind::Class:
        ReadObject(V, *P.GetObj(Obj), Path);
        return;
    }
}

void TJsonReader::ReadItems(const QJsonValue& V, TCollection& List, const QString& Path)
{
    if (!V.isArray())
        Fail(Path, u"expected an array"_s);
    const QJsonArray A = V.toArray();
    List.Clear();
    for (qsizetype I = 0; I < A.size(); ++I) {
        const QString ItemPath = IndexPath(Path, I);
        if (!A[I].isObject())
            Fail(ItemPath, u"expected an object"_s);
        ReadProps(A[I].toObject(), List.AddItem(), ItemPath);
    }
}

void TJsonReader::ReadObject(const QJsonValue& V, TPersistent& Obj, const QString& Path)
{
    switch (Obj.ObjectKind()) {
    case TObjectKind::Plain:
        if (!V.isObject())
            Fail(Path, u"expected an object"_s);
        ReadProps(V.toObject(), Obj, Path);
        return;
    case TObjectKind::Collection: {
        auto& List = static_cast<TCollection&>(Obj);
        if (!HasOwnProps(Obj)) {
            ReadItems(V, List, Path);
            return;
        }
        if (!V.isObject())
            Fail(Path, u"expected an object"_s);
        const QJsonObject J = V.toObject();
        ReadProps(J, Obj, Path, {u"Items"_s});
        if (J.contains(u"Items"_s))
            ReadItems(J.value(u"Items"_s), List, JoinPath(Path, u"Items"_s));
        return;
    }
    case TObjectKind::Strings: {
        if (!V.isArray())
            Fail(Path, u"expected an array of strings"_s);
        const QJsonArray A = V.toArray();
        QStringList Lines;
        for (qsizetype I = 0; I < A.size(); ++I) {
            if (!A[I].isString())
                Fail(IndexPath(Path, I), u"expected a string"_s);
            Lines.append(A[I].toString());
        }
        static_cast<TStrings&>(Obj).Strings = Lines;
        return;
    }
    case TObjectKind::Icon:
        if (!V.isObject())
            Fail(Path, u"expected an object"_s);
        ReadIcon(V.toObject(), static_cast<TIcon&>(Obj), Path);
        return;
    case TObjectKind::Picture:
        if (!V.isObject())
            Fail(Path, u"expected an object"_s);
        ReadPicture(V.toObject(), static_cast<TLegacyPicture&>(Obj), Path);
        return;
    }
}

QByteArray TJsonReader::ReadData(const QJsonObject& J, const QString& Path)
{
    const bool HasFile = J.contains(u"File"_s);
    const bool HasBase64 = J.contains(u"Base64"_s);
    if (HasFile && HasBase64)
        Fail(Path, u"give either File or Base64, not both"_s);
    if (HasBase64) {
        const QJsonValue V = J.value(u"Base64"_s);
        const QString KeyPath = JoinPath(Path, u"Base64"_s);
        if (!V.isString())
            Fail(KeyPath, u"expected a string"_s);
        auto Decoded =
            QByteArray::fromBase64Encoding(V.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!Decoded)
            Fail(KeyPath, u"not valid Base64"_s);
        return *Decoded;
    }
    if (HasFile) {
        const QJsonValue V = J.value(u"File"_s);
        const QString KeyPath = JoinPath(Path, u"File"_s);
        if (!V.isString() || V.toString().isEmpty())
            Fail(KeyPath, u"expected a file name"_s);
        // Written on Windows as often as not: a backslash separates folders here too.
        QString Name = V.toString();
        Name.replace(u'\\', u'/');
        const QString FilePath = QDir(FBaseDir).filePath(Name);
        QFile File(FilePath);
        if (!File.open(QIODevice::ReadOnly))
            Fail(KeyPath,
                 u"cannot read %1: %2"_s.arg(QDir::toNativeSeparators(FilePath), File.errorString()));
        if (File.size() > MaxDataFile)
            Fail(KeyPath, u"%1 is too large"_s.arg(QDir::toNativeSeparators(FilePath)));
        QByteArray Data = File.readAll();
        if (File.error() != QFile::NoError)
            Fail(KeyPath,
                 u"cannot read %1: %2"_s.arg(QDir::toNativeSeparators(FilePath), File.errorString()));
        return Data;
    }
    return {};
}

void TJsonReader::ReadIcon(const QJsonObject& J, TIcon& Icon, const QString& Path)
{
    // Bytes, Sha256 and Entries describe the icon in a dump; the data decides.
    CheckKeys(J, {u"File"_s, u"Base64"_s, u"Bytes"_s, u"Sha256"_s, u"Entries"_s}, Path, u"an icon"_s);
    QByteArray Data = ReadData(J, Path);
    if (Data.isEmpty() && J.value(u"Bytes"_s).toDouble() > 0)
        Fail(Path, u"the icon's data is missing: give File or Base64"_s);
    // The loader refuses an icon it cannot decode, so such a file is never written.
    if (!Data.isEmpty() && !IsValidIconImage(Data))
        Fail(Path, u"not an icon file image"_s);
    Icon.Data = std::move(Data);
}

void TJsonReader::ReadPicture(const QJsonObject& J, TLegacyPicture& Pic, const QString& Path)
{
    CheckKeys(J, {u"Class"_s, u"File"_s, u"Base64"_s, u"Bytes"_s, u"Sha256"_s}, Path, u"a picture"_s);
    const QJsonValue ClassValue = J.value(u"Class"_s);
    if (!ClassValue.isUndefined() && !ClassValue.isString())
        Fail(JoinPath(Path, u"Class"_s), u"expected a string"_s);
    const QString Class = ClassValue.toString();
    QByteArray Data = ReadData(J, Path);
    if (Class.isEmpty()) {
        if (!Data.isEmpty())
            Fail(Path, u"data given for a picture without a Class"_s);
        Pic.GraphicClass.clear();
        Pic.Data.clear();
        return;
    }
    if (Data.isEmpty())
        Fail(Path, u"the picture's data is missing: give File or Base64"_s);
    if (Class == u"TIcon"_s) {
        if (!IsValidIconImage(Data))
            Fail(Path, u"not an icon file image"_s);
    } else if (Class == u"TBitmap"_s) {
        if (Data.size() < 14 || !Data.startsWith("BM"))
            Fail(Path, u"not a BMP file"_s);
    } else if (!IsValidIdent(Class) || Class.size() > 255) {
        // Any other class is written as given (the loader leaves such a picture empty).
        Fail(JoinPath(Path, u"Class"_s), u"expected a class name"_s);
    }
    Pic.GraphicClass = Class;
    Pic.Data = std::move(Data);
}

bool Catching(QString* Error, const auto& Body)
{
    try {
        Body();
        return true;
    } catch (EJsonError& E) {
        if (Error)
            *Error = E.Message;
    } catch (EConvertError& E) {
        if (Error)
            *Error = E.Message();
    }
    return false;
}

QJsonValue VersionJson(quint32 Version)
{
    const TProgramVersion V = SplitVersion(Version);
    return QJsonObject{
        {u"raw"_s, qint64(Version)}, {u"major"_s, V.Major}, {u"minor"_s, V.Minor}, {u"release"_s, V.Release}};
}

} // namespace

QJsonObject ToJson(const TPersistent& Object, bool WithData)
{
    return PropsToJson(Object, WithData);
}

bool FromJson(const QJsonObject& Json, TPersistent& Object, const QString& BaseDir, QString* Error)
{
    return Catching(Error, [&] { TJsonReader(BaseDir).ReadProps(Json, Object, {}); });
}

TDumpResult DumpFile(const QString& FileName, bool WithData)
{
    TDumpResult R;
    R.Json.insert(u"file"_s, FileName);
    TVeltraneProject Project;
    Project.ProgramVersion = {AUTORUN_VERSION_MAJOR, AUTORUN_VERSION_MINOR, AUTORUN_VERSION_RELEASE};

    if (ExtractFileExt(FileName) == u".apr"_s) {
        // Converted also after a read error, as the program does.
        Legacy::TVeltrane Legacy;
        const TStreamReadResult Read = ReadLegacyFile(FileName, Legacy);
        Project.ConvertLegacy(Legacy);
        R.Loaded = Read.Ok;
        R.Error = Read.Error;
        R.Json.insert(u"kind"_s, u"apr"_s);
        R.Json.insert(u"read_error"_s, !Read.Ok);
        R.Json.insert(u"legacy"_s, ToJson(Legacy, WithData));
        R.Json.insert(u"legacy_flag"_s, Project.LegacyFlag);
        R.Json.insert(u"project"_s, ToJson(Project, WithData));
        return R;
    }

    const int Result = Project.LoadFromFile(FileName);
    R.Loaded = Result == lrLoaded;
    R.Error = Project.LastError;
    // The version field is read once the signature matched.
    const bool VersionRead = Result == lrLoaded || Result == lrNewerVersion || Result == lrReadError;
    R.Json.insert(u"kind"_s, u"vlp"_s);
    R.Json.insert(u"result"_s, Result);
    R.Json.insert(u"signature"_s, Project.Signature);
    R.Json.insert(u"file_version"_s,
                  VersionRead ? VersionJson(Project.FileVersion) : QJsonValue(QJsonValue::Null));
    R.Json.insert(u"legacy_flag"_s, Project.LegacyFlag);
    R.Json.insert(u"project"_s, ToJson(Project, WithData));
    return R;
}

quint32 DefaultVersion()
{
    return PackVersion(AUTORUN_VERSION_MAJOR, AUTORUN_VERSION_MINOR, AUTORUN_VERSION_RELEASE);
}

bool ParseVersion(const QString& Text, quint32* Version)
{
    const QStringList Parts = Text.split(u'.');
    if (Parts.size() != 3)
        return false;
    quint8 Fields[3] = {};
    for (int I = 0; I < 3; ++I) {
        const QString& Part = Parts[I];
        if (Part.isEmpty() || Part.size() > 3 ||
            !std::all_of(Part.begin(), Part.end(), [](QChar C) { return C >= u'0' && C <= u'9'; }))
            return false;
        const int N = Part.toInt();
        if (N > 255)
            return false;
        Fields[I] = quint8(N);
    }
    *Version = PackVersion(Fields[0], Fields[1], Fields[2]);
    return true;
}

bool BuildBytes(const QJsonObject& Json, const QString& BaseDir, const TBuildOptions& Options,
                QByteArray& Out, QString* Error)
{
    QJsonObject Form = Json;
    // A whole dump: take its project (or legacy project).
    if (Json.contains(u"kind"_s)) {
        const QString Member = Options.Legacy ? u"legacy"_s : u"project"_s;
        if (!Json.value(Member).isObject()) {
            if (Error)
                *Error = u"%1: the dump has no such object"_s.arg(Member);
            return false;
        }
        Form = Json.value(Member).toObject();
    }

    if (Options.Legacy) {
        Legacy::TVeltrane Root;
        return FromJson(Form, Root, BaseDir, Error) && WriteComponent(Root, Out, Error);
    }
    TVeltraneProject Project;
    return FromJson(Form, Project, BaseDir, Error) &&
           WriteStructureFile(Project, Options.Version, Out, Error);
}

bool BuildFile(const QString& JsonFile, const QString& OutFile, const TBuildOptions& Options, QString* Error)
{
    const auto SetError = [&](const QString& Message) {
        if (Error)
            *Error = Message;
        return false;
    };
    QFile In(JsonFile);
    if (!In.open(QIODevice::ReadOnly))
        return SetError(u"%1: %2"_s.arg(JsonFile, In.errorString()));
    const QByteArray Text = In.readAll();
    QJsonParseError ParseError;
    const QJsonDocument Doc = QJsonDocument::fromJson(Text, &ParseError);
    if (ParseError.error != QJsonParseError::NoError) {
        const QByteArray Before = Text.left(ParseError.offset);
        const qsizetype Line = Before.count('\n') + 1;
        const qsizetype Column = ParseError.offset - (Before.lastIndexOf('\n') + 1) + 1;
        return SetError(u"%1:%2:%3: %4"_s.arg(JsonFile).arg(Line).arg(Column).arg(ParseError.errorString()));
    }
    if (!Doc.isObject())
        return SetError(u"%1: expected a JSON object"_s.arg(JsonFile));

    QByteArray Bytes;
    QString Reason;
    if (!BuildBytes(Doc.object(), QFileInfo(JsonFile).absolutePath(), Options, Bytes, &Reason))
        return SetError(u"%1: %2"_s.arg(JsonFile, Reason));

    QSaveFile Out(OutFile);
    if (!Out.open(QIODevice::WriteOnly) || Out.write(Bytes) != Bytes.size() || !Out.commit())
        return SetError(u"%1: %2"_s.arg(OutFile, Out.errorString()));
    return true;
}

} // namespace ProjectJson
