#include "model/ComponentWriter.h"

#include "model/ComponentReader.h"
#include "model/StructureFile.h"
#include "text/CodePage.h"

#include "model/PathError.h"

#include <QtEndian>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

using EWriteError = EPathError;

QString JoinPath(const QString& Path, const char* Name)
{
    const QString Part = QString::fromLatin1(Name);
    return Path.isEmpty() ? Part : u"%1.%2"_s.arg(Path, Part);
}

QString IndexPath(const QString& Path, int Index)
{
    return u"%1[%2]"_s.arg(Path).arg(Index);
}

class TComponentWriter
{
public:
    explicit TComponentWriter(QByteArray& Out) : FOut(Out) {}

    void WriteRoot(const TComponent& Root);

private:
    void WriteByte(quint8 Value) { FOut.append(static_cast<char>(Value)); }
    template <class T> void WriteLE(T Value)
    {
        char Bytes[sizeof(T)];
        qToLittleEndian<T>(Value, Bytes);
        FOut.append(Bytes, sizeof(T));
    }
    void WriteLength(qsizetype Length, const QString& Path)
    {
        if (Length > qsizetype(std::numeric_limits<qint32>::max()))
            throw EWriteError(Path, u"value is too large for the stream"_s);
        WriteLE<quint32>(quint32(Length));
    }
    void WriteShortBytes(QByteArrayView Bytes, const QString& Path)
    {
        if (Bytes.size() > 255)
            throw EWriteError(Path, u"name is longer than 255 bytes"_s);
        WriteByte(quint8(Bytes.size()));
        FOut.append(Bytes);
    }
    QByteArray Ansi(const QString& Text, const QString& Path);

    void WriteInteger(qint64 Value, const QString& Path);
    void WriteAnsiString(const QString& Text, const QString& Path);
    void WriteWideString(const QString& Text);

    void WriteProperties(const TPersistent& Instance, const QByteArray& Prefix, const QString& Path);
    void WriteProperty(const TPersistent& Instance, const TPropInfo& Prop, const QByteArray& Prefix,
                       const QString& Path);
    void WriteObject(const TPersistent& Obj, const QByteArray& Name, const QString& Path);
    void WritePropName(const QByteArray& Name, const QString& Path) { WriteShortBytes(Name, Path); }

    QByteArray& FOut;
};

QByteArray TComponentWriter::Ansi(const QString& Text, const QString& Path)
{
    bool Ok = true;
    qsizetype Bad = -1;
    QByteArray Bytes = EncodeAnsi(Text, TCodePage::cp1251, &Ok, &Bad);
    if (!Ok) {
        char32_t Code = Text[Bad].unicode();
        if (Text[Bad].isHighSurrogate() && Bad + 1 < Text.size() && Text[Bad + 1].isLowSurrogate())
            Code = QChar::surrogateToUcs4(Text[Bad], Text[Bad + 1]);
        throw EWriteError(Path, u"text cannot be written in Windows-1251 (U+%1 at position %2)"_s
                                    .arg(QString::number(quint32(Code), 16).toUpper().rightJustified(4, u'0'))
                                    .arg(Bad));
    }
    return Bytes;
}

void TComponentWriter::WriteInteger(qint64 Value, const QString& Path)
{
    if (Value >= -128 && Value <= 127) {
        WriteByte(vaInt8);
        WriteLE<qint8>(qint8(Value));
    } else if (Value >= -32768 && Value <= 32767) {
        WriteByte(vaInt16);
        WriteLE<qint16>(qint16(Value));
    } else if (Value >= std::numeric_limits<qint32>::min() && Value <= std::numeric_limits<qint32>::max()) {
        WriteByte(vaInt32);
        WriteLE<qint32>(qint32(Value));
    } else {
        throw EWriteError(Path, u"integer %1 does not fit in 32 bits"_s.arg(Value));
    }
}

void TComponentWriter::WriteAnsiString(const QString& Text, const QString& Path)
{
    // The reader takes a wide form for any string, so a text the code page cannot hold is kept whole
    // that way (a project read from such a file is written back unchanged).
    if (!CanEncodeAnsi(Text, TCodePage::cp1251)) {
        WriteWideString(Text);
        return;
    }
    const QByteArray Bytes = Ansi(Text, Path);
    if (Bytes.size() <= 255) {
        WriteByte(vaString);
        WriteByte(quint8(Bytes.size()));
    } else {
        WriteByte(vaLString);
        WriteLength(Bytes.size(), Path);
    }
    FOut.append(Bytes);
}

void TComponentWriter::WriteWideString(const QString& Text)
{
    // UTF-8 only when it is the shorter form and carries the text unchanged: a lone surrogate would
    // not survive it, UTF-16 keeps every code unit.
    const QByteArray Utf8 = Text.toUtf8();
    if (Utf8.size() < Text.size() * 2 && QStringView(Text).isValidUtf16()) {
        WriteByte(vaUTF8String);
        WriteLength(Utf8.size(), {});
        FOut.append(Utf8);
        return;
    }
    WriteByte(vaWString);
    WriteLength(Text.size(), {});
    for (QChar C : Text)
        WriteLE<quint16>(C.unicode());
}

void TComponentWriter::WriteObject(const TPersistent& Obj, const QByteArray& Name, const QString& Path)
{
    switch (Obj.ObjectKind()) {
    case TObjectKind::Plain:
        WriteProperties(Obj, Name + '.', Path);
        return;
    case TObjectKind::Collection: {
        const auto& List = static_cast<const TCollection&>(Obj);
        // The collection's own properties come first, as dotted names; its items are then listed
        // under "Items" in paths so that they do not mix with those properties.
        const bool HasOwnProps = !Obj.ClassInfo().Props.empty();
        WriteProperties(Obj, Name + '.', Path);
        const QString ItemsPath = HasOwnProps ? JoinPath(Path, "Items") : Path;
        WritePropName(Name, Path);
        WriteByte(vaCollection);
        for (int I = 0; I < List.Count(); ++I) {
            WriteByte(vaList);
            WriteProperties(List.ItemAt(I), {}, IndexPath(ItemsPath, I));
            WriteByte(vaNull);
        }
        WriteByte(vaNull);
        return;
    }
    case TObjectKind::Strings: {
        const QStringList& Lines = static_cast<const TStrings&>(Obj).Strings;
        if (Lines.isEmpty())
            return;
        WritePropName(Name + ".Strings", Path);
        WriteByte(vaList);
        for (qsizetype I = 0; I < Lines.size(); ++I)
            WriteAnsiString(Lines[I], IndexPath(Path, int(I)));
        WriteByte(vaNull);
        return;
    }
    case TObjectKind::Icon: {
        const auto& Icon = static_cast<const TIcon&>(Obj);
        if (Icon.Empty())
            return;
        WritePropName(Name + ".Data", Path);
        WriteByte(vaBinary);
        WriteLength(Icon.Data.size(), Path);
        FOut.append(Icon.Data);
        return;
    }
    case TObjectKind::Picture: {
        const auto& Pic = static_cast<const TLegacyPicture&>(Obj);
        if (Pic.Empty())
            return;
        // The graphic's class name, then that class's own data; a bitmap's data carries its length.
        QByteArray Payload;
        const QByteArray ClassName = Ansi(Pic.GraphicClass, Path);
        if (ClassName.size() > 255)
            throw EWriteError(Path, u"graphic class name is longer than 255 bytes"_s);
        Payload.append(char(ClassName.size())).append(ClassName);
        if (Pic.GraphicClass == u"TBitmap"_s) {
            char Len[4];
            qToLittleEndian<quint32>(quint32(Pic.Data.size()), Len);
            Payload.append(Len, 4);
        }
        Payload.append(Pic.Data);
        WritePropName(Name + ".Data", Path);
        WriteByte(vaBinary);
        WriteLength(Payload.size(), Path);
        FOut.append(Payload);
        return;
    }
    }
}

void TComponentWriter::WriteProperty(const TPersistent& Instance, const TPropInfo& Prop,
                                     const QByteArray& Prefix, const QString& Path)
{
    if (!Prop.Stored)
        return;
    const QByteArray Name = Prefix + Prop.Name;
    const QString PropPath = JoinPath(Path, Prop.Name);
    switch (Prop.Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Word:
    case TTypeKind::Smallint:
    case TTypeKind::Byte: {
        const qint64 Value = Prop.GetOrd(Instance);
        if (Prop.HasDefault && Value == Prop.Default)
            return;
        WritePropName(Name, PropPath);
        WriteInteger(Value, PropPath);
        return;
    }
    case TTypeKind::Boolean: {
        const bool Value = Prop.GetOrd(Instance) != 0;
        if (Prop.HasDefault && Value == (Prop.Default != 0))
            return;
        WritePropName(Name, PropPath);
        WriteByte(Value ? vaTrue : vaFalse);
        return;
    }
    case TTypeKind::Enumeration: {
        const qint64 Value = Prop.GetOrd(Instance);
        if (Prop.HasDefault && Value == Prop.Default)
            return;
        if (Value < 0 || size_t(Value) >= Prop.Enum->Names.size())
            throw EWriteError(
                PropPath, u"%1 is no value of %2"_s.arg(Value).arg(QString::fromLatin1(Prop.Enum->TypeName)));
        WritePropName(Name, PropPath);
        WriteByte(vaIdent);
        WriteShortBytes(Prop.Enum->Names[size_t(Value)], PropPath);
        return;
    }
    case TTypeKind::String: {
        const QString& Text = Prop.GetStr(Instance);
        if (Text.isEmpty())
            return;
        WritePropName(Name, PropPath);
        WriteAnsiString(Text, PropPath);
        return;
    }
    case TTypeKind::WideString: {
        const QString& Text = Prop.GetStr(Instance);
        if (Text.isEmpty())
            return;
        WritePropName(Name, PropPath);
        WriteWideString(Text);
        return;
    }
    case TTypeKind::Class:
        WriteObject(Prop.Object(Instance), Name, PropPath);
        return;
    }
}

void TComponentWriter::WriteProperties(const TPersistent& Instance, const QByteArray& Prefix,
                                       const QString& Path)
{
    for (const TPropInfo& Prop : Instance.ClassInfo().Props)
        WriteProperty(Instance, Prop, Prefix, Path);
}

void TComponentWriter::WriteRoot(const TComponent& Root)
{
    FOut.append("TPF0");
    WriteShortBytes(Root.ClassInfo().ClassName, {});
    WriteShortBytes(Ansi(Root.Name, u"Name"_s), u"Name"_s);
    WriteProperties(Root, {}, {});
    WriteByte(vaNull); // end of the property list
    WriteByte(vaNull); // end of the (empty) child list
}

} // namespace

bool WriteComponent(const TComponent& Root, QByteArray& Out, QString* Error)
{
    QByteArray Data;
    try {
        TComponentWriter(Data).WriteRoot(Root);
    } catch (EWriteError& E) {
        Out.clear();
        if (Error)
            *Error = E.Message;
        return false;
    } catch (std::bad_alloc&) {
        Out.clear();
        if (Error)
            *Error = u"Out of memory"_s;
        return false;
    }
    Out = std::move(Data);
    return true;
}

bool WriteStructureFile(const TVeltraneProject& Project, quint32 Version, QByteArray& Out, QString* Error)
{
    QByteArray Stream;
    if (!WriteComponent(Project, Stream, Error)) {
        Out.clear();
        return false;
    }
    QByteArray File(StructureFile::HeaderSize, '\0');
    qToLittleEndian<qint64>(StructureFile::Signature, File.data());
    qToLittleEndian<quint32>(Version, File.data() + 8);
    File.append(Stream);
    Out = std::move(File);
    return true;
}
