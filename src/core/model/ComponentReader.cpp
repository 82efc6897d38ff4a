#include "model/ComponentReader.h"

#include "model/IconImage.h"
#include "text/CodePage.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

class EReadError : public std::exception
{
public:
    explicit EReadError(QString AMessage) : Message(std::move(AMessage)) {}
    const char* what() const noexcept override { return "component stream read error"; }
    QString Message;
};

[[noreturn]] void ReadError(const QString& Message)
{
    throw EReadError(Message);
}

[[noreturn]] void PropValueError()
{
    ReadError(u"Invalid property value"_s);
}

// Qt's decoder reserves one unit per byte, twice what a Cyrillic text needs. The unused tail of a
// text that wastes a good part of its block goes back to the heap at once: a project's long
// descriptions then take about half the memory, and the pages first touched while loading and the
// work of freeing them at the end shrink with it.
QString DecodeUtf8(QByteArrayView Bytes)
{
    QString Text = QString::fromUtf8(Bytes);
    if (Text.capacity() - Text.size() >= 64)
        Text.squeeze();
    return Text;
}

// Bytes read from a device at a time; a value longer than this is read whole.
constexpr qsizetype ChunkSize = 512 * 1024;

class TComponentReader
{
public:
    TComponentReader(QByteArrayView Data, TComponent& Root)
        : FData(reinterpret_cast<const uchar*>(Data.data())), FSize(Data.size()), FTotal(Data.size()),
          FRoot(Root)
    {
    }
    // Reads Size bytes from the device, a chunk at a time.
    TComponentReader(QIODevice& Device, qint64 Size, TComponent& Root)
        : FData(nullptr), FSize(0), FTotal(Size), FDevice(&Device), FRoot(Root)
    {
    }

    void ReadRoot();
    qsizetype Position() const { return FBase + FPos; }

private:
    // --- raw reads, every one bounds-checked ---
    // A view returned by a read lasts until the next read, which may fetch the next chunk.
    void Need(qsizetype N)
    {
        if (N < 0 || N > FSize - FPos)
            Fetch(N);
    }
    void Fetch(qsizetype N);
    quint8 ReadByte()
    {
        Need(1);
        return FData[FPos++];
    }
    quint8 NextByte()
    {
        Need(1);
        return FData[FPos];
    }
    template <class T>
    T ReadLE()
    {
        Need(sizeof(T));
        const T V = qFromLittleEndian<T>(FData + FPos);
        FPos += sizeof(T);
        return V;
    }
    QByteArrayView ReadBytes(qsizetype N)
    {
        Need(N);
        QByteArrayView V(reinterpret_cast<const char*>(FData + FPos), N);
        FPos += N;
        return V;
    }
    QByteArrayView ReadShortBytes() { return ReadBytes(ReadByte()); }
    qsizetype ReadLength()
    {
        // A length that runs past the end of the data fails here, before anything is allocated.
        const qsizetype N = ReadLE<quint32>();
        Need(N);
        return N;
    }

    // --- values ---
    bool EndOfList() { return NextByte() == vaNull; }
    void ReadListEnd()
    {
        if (ReadByte() != vaNull)
            ReadError(u"Invalid stream format"_s);
    }
    qint64 ReadInteger();
    QString ReadString();
    QByteArrayView ReadIdent();
    QString DecodeWide(qsizetype Units);

    // --- structure ---
    void ReadProperty(TPersistent& Instance);
    void ReadPropValue(TPersistent& Instance, const TPropInfo& Prop);
    void ReadDefinedProperty(TPersistent& Instance, QByteArrayView Name);
    void ReadCollection(TCollection& Collection);
    void CountElement()
    {
        if (++FElements > StreamLimits::MaxElements)
            ReadError(u"Too many elements in the stream"_s);
    }

    const uchar* FData;  // the bytes at hand
    qsizetype FSize;     // how many there are
    qsizetype FPos = 0;  // the next one
    qsizetype FBase = 0; // stream position of the first byte at hand
    qsizetype FTotal;    // stream size
    QIODevice* FDevice = nullptr;
    QByteArray FBuffer; // the chunk read from the device
    qsizetype FElements = 0;
    TComponent& FRoot;
};

void TComponentReader::Fetch(qsizetype N)
{
    // Past the end of the stream fails here, before anything is allocated or read.
    const qsizetype Left = FTotal - (FBase + FPos);
    if (N < 0 || N > Left || !FDevice)
        ReadError(u"Stream read error"_s);
    const qsizetype Kept = FSize - FPos;
    const qsizetype Want = std::min(std::max(N, ChunkSize), Left);
    if (FBuffer.size() < Want) {
        QByteArray Bigger(Want, Qt::Uninitialized);
        if (Kept > 0)
            std::memcpy(Bigger.data(), FData + FPos, size_t(Kept));
        FBuffer.swap(Bigger);
    } else if (Kept > 0) {
        std::memmove(FBuffer.data(), FData + FPos, size_t(Kept));
    }
    char* Out = FBuffer.data();
    qsizetype Have = Kept;
    while (Have < Want) {
        const qint64 Got = FDevice->read(Out + Have, Want - Have);
        if (Got <= 0)
            ReadError(u"Stream read error"_s);
        Have += Got;
    }
    FData = reinterpret_cast<const uchar*>(Out);
    FBase += FPos;
    FPos = 0;
    FSize = Have;
}

qint64 TComponentReader::ReadInteger()
{
    switch (ReadByte()) {
    case vaInt8:
        return ReadLE<qint8>();
    case vaInt16:
        return ReadLE<qint16>();
    case vaInt32:
        return ReadLE<qint32>();
    default:
        PropValueError();
    }
}

QString TComponentReader::DecodeWide(qsizetype Units)
{
    QString S(Units, Qt::Uninitialized);
    std::memcpy(S.data(), FData + FPos, size_t(Units) * 2);
    FPos += Units * 2;
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian)
        for (QChar& C : S)
            C = QChar(qFromLittleEndian<quint16>(&C));
    return S;
}

QString TComponentReader::ReadString()
{
    switch (ReadByte()) {
    case vaString:
        return DecodeAnsi(ReadShortBytes());
    case vaLString:
        return DecodeAnsi(ReadBytes(ReadLength()));
    case vaWString: {
        const qsizetype Units = ReadLE<quint32>();
        Need(Units * 2);
        return DecodeWide(Units);
    }
    case vaUTF8String:
        return DecodeUtf8(ReadBytes(ReadLength()));
    default:
        PropValueError();
    }
}

QByteArrayView TComponentReader::ReadIdent()
{
    switch (ReadByte()) {
    case vaIdent:
        return ReadShortBytes();
    case vaFalse:
        return "False";
    case vaTrue:
        return "True";
    case vaNil:
        return "nil";
    case vaNull:
        return "Null";
    default:
        PropValueError();
    }
}

void TComponentReader::ReadCollection(TCollection& Collection)
{
    // An empty list keeps what the constructor put into the collection.
    if (!EndOfList())
        Collection.Clear();
    while (!EndOfList()) {
        const quint8 Next = NextByte();
        if (Next == vaInt8 || Next == vaInt16 || Next == vaInt32)
            ReadInteger(); // the item's index: read and ignored
        CountElement();
        TCollectionItem& Item = Collection.AddItem();
        if (ReadByte() != vaList)
            ReadError(u"Invalid stream format"_s);
        while (!EndOfList())
            ReadProperty(Item);
        ReadListEnd();
    }
    ReadListEnd();
}

void TComponentReader::ReadPropValue(TPersistent& Instance, const TPropInfo& Prop)
{
    if (Prop.ReadOnly)
        ReadError(u"Property is read-only"_s);
    switch (Prop.Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Word:
    case TTypeKind::Smallint:
    case TTypeKind::Byte:
        Prop.SetOrd(Instance, ReadInteger());
        return;
    case TTypeKind::Boolean: {
        const quint8 Tag = ReadByte();
        if (Tag == vaFalse || Tag == vaTrue) {
            Prop.SetOrd(Instance, Tag == vaTrue ? 1 : 0);
            return;
        }
        if (Tag == vaIdent) {
            // The framework also accepts the value names of its Boolean type.
            static const char* const Names[] = {"False", "True"};
            static const TEnumInfo BooleanInfo{"Boolean", Names};
            const int V = BooleanInfo.ValueOf(ReadShortBytes());
            if (V >= 0) {
                Prop.SetOrd(Instance, V);
                return;
            }
        }
        PropValueError();
    }
    case TTypeKind::Enumeration: {
        const QByteArrayView Ident = ReadIdent();
        const int V = Prop.Enum->ValueOf(Ident);
        // A name that is no value of the type is refused rather than stored as an out-of-range value.
        if (V < 0)
            ReadError(u"Invalid property element: %1"_s.arg(DecodeAnsi(Ident)));
        Prop.SetOrd(Instance, V);
        return;
    }
    case TTypeKind::String:
    case TTypeKind::WideString:
        Prop.SetStr(Instance, ReadString());
        return;
    case TTypeKind::Class: {
        TPersistent* Obj = Prop.GetObj(Instance);
        if (Obj->ObjectKind() == TObjectKind::Collection && NextByte() == vaCollection) {
            ReadByte();
            ReadCollection(static_cast<TCollection&>(*Obj));
            return;
        }
        PropValueError();
    }
    }
    PropValueError();
}

void TComponentReader::ReadDefinedProperty(TPersistent& Instance, QByteArrayView Name)
{
    const TObjectKind Kind = Instance.ObjectKind();
    if (Kind == TObjectKind::Strings && Name.compare("Strings", Qt::CaseInsensitive) == 0) {
        auto& Lines = static_cast<TStrings&>(Instance).Strings;
        if (ReadByte() != vaList)
            PropValueError();
        Lines.clear();
        while (!EndOfList()) {
            CountElement();
            Lines.append(ReadString());
        }
        ReadListEnd();
        return;
    }
    if ((Kind == TObjectKind::Icon || Kind == TObjectKind::Picture) &&
        Name.compare("Data", Qt::CaseInsensitive) == 0) {
        if (ReadByte() != vaBinary)
            PropValueError();
        const QByteArrayView Payload = ReadBytes(ReadLength());
        if (Kind == TObjectKind::Icon) {
            if (!IsValidIconImage(Payload))
                ReadError(u"Invalid icon image"_s);
            static_cast<TIcon&>(Instance).Data = Payload.toByteArray();
            return;
        }
        // A picture: the graphic's class name, then that class's own data.
        auto& Pic = static_cast<TLegacyPicture&>(Instance);
        if (Payload.isEmpty())
            ReadError(u"Stream read error"_s);
        const qsizetype NameLen = quint8(Payload[0]);
        if (NameLen + 1 > Payload.size())
            ReadError(u"Stream read error"_s);
        const QByteArrayView ClassName = Payload.sliced(1, NameLen);
        const QByteArrayView Rest = Payload.sliced(1 + NameLen);
        if (ClassName.compare("TIcon", Qt::CaseInsensitive) == 0) {
            if (!IsValidIconImage(Rest))
                ReadError(u"Invalid icon image"_s);
            Pic.GraphicClass = u"TIcon"_s;
            Pic.Data = Rest.toByteArray();
        } else if (ClassName.compare("TBitmap", Qt::CaseInsensitive) == 0) {
            if (Rest.size() < 4)
                ReadError(u"Stream read error"_s);
            const quint32 Len = qFromLittleEndian<quint32>(Rest.data());
            if (Len > quint64(Rest.size() - 4))
                ReadError(u"Stream read error"_s);
            const QByteArrayView Bmp = Rest.sliced(4, Len);
            if (Bmp.size() < 14 || Bmp[0] != 'B' || Bmp[1] != 'M')
                ReadError(u"Bitmap image is not valid"_s);
            Pic.GraphicClass = u"TBitmap"_s;
            Pic.Data = Bmp.toByteArray();
        } else {
            // A graphic class this program does not know leaves the picture empty.
            Pic.GraphicClass.clear();
            Pic.Data.clear();
        }
        return;
    }
    ReadError(u"Property %1 does not exist"_s.arg(DecodeAnsi(Name)));
}

void TComponentReader::ReadProperty(TPersistent& Instance)
{
    // Kept for the error message: the reads below may replace the bytes at hand.
    char PathBytes[255];
    const QByteArrayView Read = ReadShortBytes();
    std::memcpy(PathBytes, Read.data(), size_t(Read.size()));
    const QByteArrayView Path(PathBytes, Read.size());
    try {
        TPersistent* Obj = &Instance;
        qsizetype Start = 0;
        for (;;) {
            const qsizetype Dot = Path.indexOf('.', Start);
            const QByteArrayView Part = Dot < 0 ? Path.sliced(Start) : Path.sliced(Start, Dot - Start);
            const TPropInfo* Prop = Obj->ClassInfo().FindProp(Part);
            if (Dot < 0) {
                if (Prop)
                    ReadPropValue(*Obj, *Prop);
                else
                    ReadDefinedProperty(*Obj, Part);
                return;
            }
            // Every leading part must name a property that holds an object.
            if (!Prop || Prop->Kind != TTypeKind::Class)
                ReadError(u"Property %1 does not exist"_s.arg(DecodeAnsi(Part)));
            Obj = Prop->GetObj(*Obj);
            Start = Dot + 1;
        }
    } catch (EReadError& E) {
        QString Owner = &Instance == &FRoot && !FRoot.Name.isEmpty() ? FRoot.Name : Instance.ClassName();
        throw EReadError(u"Error reading %1.%2: %3"_s.arg(Owner, DecodeAnsi(Path), E.Message));
    } catch (EConvertError& E) {
        QString Owner = &Instance == &FRoot && !FRoot.Name.isEmpty() ? FRoot.Name : Instance.ClassName();
        throw EReadError(u"Error reading %1.%2: %3"_s.arg(Owner, DecodeAnsi(Path), E.Message()));
    }
}

void TComponentReader::ReadRoot()
{
    if (ReadBytes(4) != QByteArrayView("TPF0"))
        ReadError(u"Invalid stream format"_s);
    // Optional prefix: flags in the low nibble; 2 means a child position follows.
    if ((NextByte() & 0xF0) == 0xF0) {
        const quint8 Flags = ReadByte() & 0x0F;
        if (Flags & 2)
            ReadInteger();
    }
    ReadShortBytes(); // class name: the root object is given
    const QString Name = DecodeAnsi(ReadShortBytes());
    try {
        FRoot.SetName(Name);
    } catch (EConvertError& E) {
        ReadError(E.Message());
    }
    while (!EndOfList())
        ReadProperty(FRoot);
    ReadListEnd();
    // Project files have no child objects, and this reader knows no component classes to make.
    if (!EndOfList()) {
        const quint8 Next = NextByte();
        if ((Next & 0xF0) == 0xF0)
            ReadByte();
        ReadError(u"Class %1 not found"_s.arg(DecodeAnsi(ReadShortBytes())));
    }
    ReadListEnd();
}

} // namespace

namespace {

TStreamReadResult Run(TComponentReader& Reader)
{
    TStreamReadResult Result;
    try {
        Reader.ReadRoot();
    } catch (EReadError& E) {
        Result.Ok = false;
        Result.Error = E.Message;
    } catch (std::bad_alloc&) {
        Result.Ok = false;
        Result.Error = u"Out of memory"_s;
    }
    Result.Position = Reader.Position();
    return Result;
}

} // namespace

TStreamReadResult ReadComponent(QByteArrayView Data, TComponent& Root)
{
    TComponentReader Reader(Data, Root);
    return Run(Reader);
}

TStreamReadResult ReadComponent(QIODevice& Device, qint64 Size, TComponent& Root)
{
    TComponentReader Reader(Device, qMax<qint64>(Size, 0), Root);
    return Run(Reader);
}
