#include "ControlsProps.h"

#include "IniFile.h"
#include "text/CodePage.h"
#include "text/DiscFile.h"
#include "text/Paths.h"

#include <QAssociativeIterable>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMetaEnum>
#include <QPointer>
#include <QScopeGuard>
#include <QSequentialIterable>

#include <limits>
#include <type_traits>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr qint32 SystemColor(int Index)
{
    return static_cast<qint32>(0x80000000u | static_cast<quint32>(Index));
}

// Blanks as the framework's Trim sees them: every character up to and including the space.
bool IsTrimmed(QChar C)
{
    return C.unicode() <= u' ';
}

QStringView TrimBlanks(QStringView S)
{
    qsizetype Begin = 0;
    qsizetype End = S.size();
    while (Begin < End && IsTrimmed(S[Begin])) {
        ++Begin;
    }
    while (End > Begin && IsTrimmed(S[End - 1])) {
        --End;
    }
    return S.sliced(Begin, End - Begin);
}

bool ValueToInteger(const QVariant& Value, qint32& N)
{
    if (Value.typeId() == QMetaType::Int) {
        N = Value.toInt();
        return true;
    }
    return Value.typeId() == QMetaType::QString && TryStrToInt(Value.toString(), N);
}

bool IsEmptyText(const QVariant& Value)
{
    return Value.typeId() == QMetaType::QString && Value.toString().isEmpty();
}

QString ValueText(const QVariant& Value)
{
    return Value.typeId() == QMetaType::Int ? QString::number(Value.toInt()) : Value.toString();
}

bool IsHexText(QStringView S)
{
    if (S.isEmpty()) {
        return false;
    }
    for (const QChar C : S) {
        const char16_t U = C.unicode();
        if (!((U >= u'0' && U <= u'9') || (U >= u'a' && U <= u'f'))) {
            return false;
        }
    }
    return true;
}

// Qt's own classes follow its naming rule (Q and a capital); the program's classes start with T.
bool IsQtOwnClass(const QMetaObject* Meta)
{
    const char* Name = Meta ? Meta->className() : nullptr;
    return Name && Name[0] == 'Q' && Name[1] >= 'A' && Name[1] <= 'Z';
}

// The value of an element name of an enumeration or set, without regard to case like the framework.
bool ElementValue(const QMetaEnum& Enum, QStringView Name, int& Value)
{
    for (int I = 0; I < Enum.keyCount(); ++I) {
        if (Name.compare(QLatin1StringView(Enum.key(I)), Qt::CaseInsensitive) == 0) {
            Value = Enum.value(I);
            return true;
        }
    }
    return false;
}

QString EnumLabel(const QMetaEnum& Enum)
{
    return QString::fromLatin1(Enum.enumName());
}

// A value of an enumeration or set type built from its integer, whatever the type's width.
QVariant EnumVariant(QMetaType Type, int Value)
{
    switch (Type.isValid() ? Type.sizeOf() : 0) {
    case 1: {
        const auto V = static_cast<qint8>(Value);
        return QVariant(Type, &V);
    }
    case 2: {
        const auto V = static_cast<qint16>(Value);
        return QVariant(Type, &V);
    }
    case 4: {
        const auto V = static_cast<qint32>(Value);
        return QVariant(Type, &V);
    }
    case 8: {
        const auto V = static_cast<qint64>(Value);
        return QVariant(Type, &V);
    }
    default:
        return QVariant(Value);
    }
}

template <typename T> bool FitInteger(qint32 N, QVariant& Result)
{
    if constexpr (std::is_unsigned_v<T> && sizeof(T) == 4) {
        // All 32 bits, as a hexadecimal number or a system colour writes them.
        Result = QVariant::fromValue(static_cast<T>(static_cast<quint32>(N)));
        return true;
    } else {
        if (!std::in_range<T>(N)) {
            return false;
        }
        Result = QVariant::fromValue(static_cast<T>(N));
        return true;
    }
}

bool IntegerVariant(QMetaType Type, qint32 N, QVariant& Result)
{
    switch (Type.id()) {
    case QMetaType::Int:
        return FitInteger<int>(N, Result);
    case QMetaType::UInt:
        return FitInteger<uint>(N, Result);
    case QMetaType::Long:
        return FitInteger<long>(N, Result);
    case QMetaType::ULong:
        return FitInteger<ulong>(N, Result);
    case QMetaType::LongLong:
        return FitInteger<qlonglong>(N, Result);
    case QMetaType::ULongLong:
        return FitInteger<qulonglong>(N, Result);
    case QMetaType::Short:
        return FitInteger<short>(N, Result);
    case QMetaType::UShort:
        return FitInteger<ushort>(N, Result);
    case QMetaType::SChar:
        return FitInteger<signed char>(N, Result);
    case QMetaType::UChar:
        return FitInteger<uchar>(N, Result);
    case QMetaType::Char:
        if constexpr (std::is_signed_v<char>) {
            if (!std::in_range<signed char>(N)) {
                return false;
            }
        } else if (!std::in_range<unsigned char>(N)) {
            return false;
        }
        Result = QVariant::fromValue(static_cast<char>(N));
        return true;
    default:
        return false;
    }
}

bool IsArrayType(QMetaType Type)
{
    switch (Type.id()) {
    case QMetaType::QStringList:
    case QMetaType::QByteArrayList:
    case QMetaType::QVariantList:
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
    case QMetaType::QVariantPair:
        return true;
    default:
        return QMetaType::canConvert(Type, QMetaType::fromType<QSequentialIterable>()) ||
               QMetaType::canConvert(Type, QMetaType::fromType<QAssociativeIterable>());
    }
}

// Assigns a normalised value; Why tells what the property could not take.
bool AssignValue(QObject* Instance, const QMetaProperty& Property, TControlsPropsContainer::TPropKind Kind,
                 const QVariant& Value, QString& Why)
{
    using TPropKind = TControlsPropsContainer::TPropKind;
    const QString Name = QString::fromLatin1(Property.name());
    const QString Text = ValueText(Value);
    QVariant Result;
    switch (Kind) {
    case TPropKind::Integer: {
        qint32 N = 0;
        if (!ValueToInteger(Value, N)) {
            Why = u"\"%1\" is no number"_s.arg(Text);
            return false;
        }
        if (!IntegerVariant(Property.metaType(), N, Result)) {
            Why = u"%1 is out of the range of %2"_s.arg(Text, Name);
            return false;
        }
        break;
    }
    case TPropKind::Boolean:
        if (Text.compare(u"true", Qt::CaseInsensitive) == 0) {
            Result = true;
        } else if (Text.compare(u"false", Qt::CaseInsensitive) == 0) {
            Result = false;
        } else {
            Why = u"\"%1\" is neither True nor False"_s.arg(Text);
            return false;
        }
        break;
    case TPropKind::Enumeration: {
        const QMetaEnum Enum = Property.enumerator();
        int N = 0;
        if (Value.typeId() == QMetaType::Int) {
            // A number is the element's ordinal; one the enumeration lacks is refused rather than
            // stored, since every use of the property switches on its elements.
            N = Value.toInt();
            if (!Enum.valueToKey(N)) {
                Why = u"%1 has no element %2"_s.arg(EnumLabel(Enum), Text);
                return false;
            }
        } else if (!ElementValue(Enum, TrimBlanks(Text), N)) {
            Why = u"%1 has no element \"%2\""_s.arg(EnumLabel(Enum), Text);
            return false;
        }
        Result = EnumVariant(Property.metaType(), N);
        break;
    }
    case TPropKind::Set: {
        const QMetaEnum Enum = Property.enumerator();
        int Bits = 0;
        if (Value.typeId() == QMetaType::Int) {
            Bits = Value.toInt();
            int Known = 0;
            for (int I = 0; I < Enum.keyCount(); ++I) {
                Known |= Enum.value(I);
            }
            if ((Bits & ~Known) != 0) {
                Why = u"%1 has no elements for %2"_s.arg(EnumLabel(Enum), Text);
                return false;
            }
        } else {
            // Element names separated by commas or blanks, inside optional brackets.
            QStringView Rest(Text);
            while (!Rest.isEmpty() && (Rest.front() == u'[' || IsTrimmed(Rest.front()))) {
                Rest = Rest.sliced(1);
            }
            qsizetype I = 0;
            while (I < Rest.size()) {
                const auto IsSeparator = [](QChar C) { return C == u',' || C == u']' || IsTrimmed(C); };
                if (IsSeparator(Rest[I])) {
                    ++I;
                    continue;
                }
                qsizetype End = I;
                while (End < Rest.size() && !IsSeparator(Rest[End])) {
                    ++End;
                }
                const QStringView Element = Rest.sliced(I, End - I);
                int Bit = 0;
                if (!ElementValue(Enum, Element, Bit)) {
                    Why = u"%1 has no element \"%2\""_s.arg(EnumLabel(Enum), Element.toString());
                    return false;
                }
                Bits |= Bit;
                I = End;
            }
        }
        Result = EnumVariant(Property.metaType(), Bits);
        break;
    }
    case TPropKind::Float: {
        double D = 0;
        bool Ok = true;
        if (Value.typeId() == QMetaType::Int) {
            D = Value.toInt();
        } else {
            D = QLocale::c().toDouble(TrimBlanks(Text), &Ok);
        }
        if (!Ok) {
            Why = u"\"%1\" is no number"_s.arg(Text);
            return false;
        }
        Result = D;
        if (!Result.convert(Property.metaType())) {
            Why = u"%1 does not fit %2"_s.arg(Text, Name);
            return false;
        }
        break;
    }
    case TPropKind::String:
        Result = Text;
        break;
    case TPropKind::Char: {
        char32_t Code = 0;
        if (Value.typeId() == QMetaType::Int) {
            if (Value.toInt() < 0) {
                Why = u"%1 is no character code"_s.arg(Text);
                return false;
            }
            Code = static_cast<char32_t>(Value.toInt());
        } else {
            const QList<uint> Codes = Text.toUcs4();
            if (Codes.size() != 1) {
                Why = u"\"%1\" is not one character"_s.arg(Text);
                return false;
            }
            Code = Codes.front();
        }
        if (Property.metaType().id() == QMetaType::Char32) {
            if (Code > 0x10FFFF) {
                Why = u"%1 is no character code"_s.arg(Text);
                return false;
            }
            Result = QVariant::fromValue(Code);
        } else {
            if (Code > 0xFFFF) {
                Why = u"\"%1\" does not fit one UTF-16 unit"_s.arg(Text);
                return false;
            }
            Result = Property.metaType().id() == QMetaType::Char16
                         ? QVariant::fromValue(static_cast<char16_t>(Code))
                         : QVariant::fromValue(QChar(static_cast<char16_t>(Code)));
        }
        break;
    }
    case TPropKind::Other:
        Result = Value;
        if (Property.metaType().id() != QMetaType::QVariant && !Result.convert(Property.metaType())) {
            Why = u"\"%1\" cannot be made a %2"_s.arg(Text, QString::fromLatin1(Property.typeName()));
            return false;
        }
        break;
    case TPropKind::Object:
    case TPropKind::Array:
        Why = u"%1 is never set"_s.arg(Name);
        return false;
    }
    if (!Property.write(Instance, Result)) {
        Why = u"%1 refused \"%2\""_s.arg(Name, Text);
        return false;
    }
    return true;
}

QObject* ReadObject(const QObject* Instance, const QMetaProperty& Property)
{
    const QVariant V = Property.read(Instance);
    if (!(V.metaType().flags() & QMetaType::PointerToQObject)) {
        return nullptr;
    }
    return *static_cast<QObject* const*>(V.constData());
}

QString FoldName(QStringView Name)
{
    return Name.toString().toCaseFolded();
}

} // namespace

const QList<TColorIdent>& ColorIdents()
{
    static const QList<TColorIdent> Table = {
        {"clBlack", 0x000000},
        {"clMaroon", 0x000080},
        {"clGreen", 0x008000},
        {"clOlive", 0x008080},
        {"clNavy", 0x800000},
        {"clPurple", 0x800080},
        {"clTeal", 0x808000},
        {"clGray", 0x808080},
        {"clSilver", 0xC0C0C0},
        {"clRed", 0x0000FF},
        {"clLime", 0x00FF00},
        {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},
        {"clFuchsia", 0xFF00FF},
        {"clAqua", 0xFFFF00},
        {"clWhite", 0xFFFFFF},
        {"clMoneyGreen", 0xC0DCC0},
        {"clSkyBlue", 0xF0CAA6},
        {"clCream", 0xF0FBFF},
        {"clMedGray", 0xA4A0A0},
        {"clNone", 0x1FFFFFFF},
        {"clDefault", 0x20000000},
        {"clScrollBar", SystemColor(0)},
        {"clBackground", SystemColor(1)},
        {"clActiveCaption", SystemColor(2)},
        {"clInactiveCaption", SystemColor(3)},
        {"clMenu", SystemColor(4)},
        {"clWindow", SystemColor(5)},
        {"clWindowFrame", SystemColor(6)},
        {"clMenuText", SystemColor(7)},
        {"clWindowText", SystemColor(8)},
        {"clCaptionText", SystemColor(9)},
        {"clActiveBorder", SystemColor(10)},
        {"clInactiveBorder", SystemColor(11)},
        {"clAppWorkSpace", SystemColor(12)},
        {"clHighlight", SystemColor(13)},
        {"clHighlightText", SystemColor(14)},
        {"clBtnFace", SystemColor(15)},
        {"clBtnShadow", SystemColor(16)},
        {"clGrayText", SystemColor(17)},
        {"clBtnText", SystemColor(18)},
        {"clInactiveCaptionText", SystemColor(19)},
        {"clBtnHighlight", SystemColor(20)},
        {"cl3DDkShadow", SystemColor(21)},
        {"cl3DLight", SystemColor(22)},
        {"clInfoText", SystemColor(23)},
        {"clInfoBk", SystemColor(24)},
        {"clHotLight", SystemColor(26)},
        {"clGradientActiveCaption", SystemColor(27)},
        {"clGradientInactiveCaption", SystemColor(28)},
        {"clMenuHighlight", SystemColor(29)},
        {"clMenuBar", SystemColor(30)},
    };
    return Table;
}

bool IdentToColor(QStringView Name, qint32& Color)
{
    for (const TColorIdent& Ident : ColorIdents()) {
        if (Name.compare(QLatin1StringView(Ident.Name), Qt::CaseInsensitive) == 0) {
            Color = Ident.Value;
            return true;
        }
    }
    return false;
}

QString ColorToIdent(qint32 Color)
{
    for (const TColorIdent& Ident : ColorIdents()) {
        if (Ident.Value == Color) {
            return QString::fromLatin1(Ident.Name);
        }
    }
    return {};
}

TControlsPropsContainer::TControlsPropsContainer(QObject* Parent) : QObject(Parent) {}

TControlsPropsContainer::~TControlsPropsContainer()
{
    StopWatcher();
}

void TControlsPropsContainer::LoadFromFile(const QString& FileName)
{
    FFileName = FileName;
    Reload();
    if (FWatch) {
        RestartWatcher();
    }
}

void TControlsPropsContainer::Reload()
{
    const bool WasReloading = FReloading;
    FReloading = true;
    // The handler may free the container; then there is nothing left to restore.
    const QPointer<TControlsPropsContainer> Self(this);
    const auto Restore = qScopeGuard([this, Self, WasReloading] {
        if (Self) {
            FReloading = WasReloading;
        }
    });
    ReadFile();
    // A copy, so that a handler that sets OnChange anew does not free the running one.
    if (const TNotifyEvent Handler = OnChange) {
        Handler(*this);
    }
}

void TControlsPropsContainer::ReadFile()
{
    FLoadError.clear();
    // Only a regular file is read: a missing one (or a folder, or a device, which could block) leaves
    // the container empty like a disc without the file.
    if (!FileExists(FFileName)) {
        LoadFromText({});
        return;
    }
    QFile File;
    if (QString Why; !OpenDiscFile(File, FFileName, &Why)) {
        // Kept as it was: an editor may hold the file for a moment while it saves.
        FLoadError = u"%1 cannot be read: %2"_s.arg(SystemPath(FFileName), Why);
        return;
    }
    const QByteArray Bytes = File.read(MaxControlsFileSize + 1);
    if (File.error() != QFileDevice::NoError) {
        FLoadError = u"%1 cannot be read: %2"_s.arg(SystemPath(FFileName), File.errorString());
        return;
    }
    if (Bytes.size() <= MaxControlsFileSize) {
        LoadFromBytes(Bytes);
        return;
    }
    FLoadError = u"%1 is larger than %2 bytes; only its beginning was read"_s.arg(
        SystemPath(FFileName), QString::number(MaxControlsFileSize));
    QString Text = DecodeMarkedText(QByteArrayView(Bytes).first(MaxControlsFileSize));
    // The last line was cut by the limit: it is dropped rather than applied half.
    if (!Text.endsWith(u'\n') && !Text.endsWith(u'\r')) {
        qsizetype Keep = Text.size();
        while (Keep > 0 && Text[Keep - 1] != u'\n' && Text[Keep - 1] != u'\r') {
            --Keep;
        }
        Text.truncate(Keep);
    }
    LoadFromText(Text);
}

void TControlsPropsContainer::LoadFromBytes(QByteArrayView Bytes)
{
    LoadFromText(DecodeMarkedText(Bytes));
}

void TControlsPropsContainer::LoadFromText(QStringView Text)
{
    FSections.clear();
    FSectionIndex.clear();
    qsizetype Current = -1;
    int LineNo = 0;
    qsizetype Start = 0;
    while (Start < Text.size()) {
        qsizetype End = Start;
        while (End < Text.size() && Text[End] != u'\r' && Text[End] != u'\n') {
            ++End;
        }
        const QStringView S = TrimBlanks(Text.sliced(Start, End - Start));
        ++LineNo;
        if (End < Text.size() && Text[End] == u'\r' && End + 1 < Text.size() && Text[End + 1] == u'\n') {
            Start = End + 2;
        } else {
            Start = End + 1;
        }

        if (S.isEmpty() || S.front() == u';') {
            continue;
        }
        if (S.size() >= 2 && S.front() == u'[' && S.back() == u']') {
            const QStringView Name = TrimBlanks(S.sliced(1, S.size() - 2));
            const QString Key = FoldName(Name);
            const auto Found = FSectionIndex.constFind(Key);
            if (Found != FSectionIndex.cend()) {
                Current = *Found;
            } else {
                Current = FSections.size();
                FSections.append({Name.toString(), {}});
                FSectionIndex.insert(Key, Current);
            }
            continue;
        }
        const qsizetype Eq = S.indexOf(u'=');
        if (Current < 0 || Eq < 0) {
            continue;
        }
        const QStringView Path = TrimBlanks(S.first(Eq));
        if (Path.isEmpty()) {
            continue;
        }
        FSections[Current].Lines.append({Path.toString(), TrimBlanks(S.sliced(Eq + 1)).toString(), LineNo});
    }
}

void TControlsPropsContainer::SetWatch(bool Value)
{
    if (Value == FWatch) {
        return;
    }
    FWatch = Value;
    RestartWatcher();
}

void TControlsPropsContainer::SetWatcherFactory(TWatcherFactory Factory)
{
    FWatcherFactory = std::move(Factory);
}

void TControlsPropsContainer::StopWatcher()
{
    if (!FWatcher) {
        return;
    }
    QObject* Old = FWatcher.release();
    // A stopped watcher must not reach this container again.
    QObject::disconnect(Old, nullptr, this, nullptr);
    if (FReloading) {
        // The watcher may be the one whose notification is running now.
        Old->deleteLater();
    } else {
        delete Old;
    }
}

void TControlsPropsContainer::RestartWatcher()
{
    StopWatcher();
    if (FWatch && FWatcherFactory && !FFileName.isEmpty()) {
        FWatcher = FWatcherFactory(FFileName, *this);
    }
}

const TControlsPropsContainer::TSection* TControlsPropsContainer::FindSection(QStringView Name) const
{
    const auto Found = FSectionIndex.constFind(FoldName(Name));
    return Found == FSectionIndex.cend() ? nullptr : &FSections[*Found];
}

QList<TControlsPropsContainer::TValueLine> TControlsPropsContainer::SectionValues(QStringView Name) const
{
    const TSection* Section = FindSection(Name);
    return Section ? Section->Lines : QList<TValueLine>();
}

QStringList TControlsPropsContainer::Sections() const
{
    QStringList Names;
    for (const TSection& Section : FSections) {
        Names.append(Section.Name);
    }
    return Names;
}

bool TControlsPropsContainer::IsControl(const QObject* Object)
{
    return Object && Object->metaObject()->indexOfClassInfo(ControlClassInfoName) >= 0;
}

QMetaProperty TControlsPropsContainer::FindPublishedProperty(const QMetaObject* Meta, QStringView Name)
{
    if (!Meta || Name.isEmpty()) {
        return {};
    }
    for (int I = Meta->propertyCount() - 1; I >= 0; --I) {
        const QMetaProperty Property = Meta->property(I);
        if (!IsQtOwnClass(Property.enclosingMetaObject()) &&
            Name.compare(QLatin1StringView(Property.name()), Qt::CaseInsensitive) == 0) {
            return Property;
        }
    }
    return {};
}

TControlsPropsContainer::TPropKind TControlsPropsContainer::KindOf(const QMetaProperty& Property)
{
    const QMetaType Type = Property.metaType();
    if (Type.flags() & (QMetaType::PointerToQObject | QMetaType::IsPointer)) {
        return TPropKind::Object;
    }
    if (Property.isFlagType()) {
        return TPropKind::Set;
    }
    if (Property.isEnumType()) {
        return TPropKind::Enumeration;
    }
    switch (Type.id()) {
    case QMetaType::Bool:
        return TPropKind::Boolean;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return TPropKind::Integer;
    case QMetaType::QChar:
    case QMetaType::Char16:
    case QMetaType::Char32:
        return TPropKind::Char;
    case QMetaType::Double:
    case QMetaType::Float:
        return TPropKind::Float;
    case QMetaType::QString:
        return TPropKind::String;
    default:
        return IsArrayType(Type) ? TPropKind::Array : TPropKind::Other;
    }
}

QString TControlsPropsContainer::HtmlColorToHex(const QString& S)
{
    if (S.isEmpty()) {
        return {};
    }
    const QStringView Rest = QStringView(S).sliced(1);
    const auto Part = [Rest](qsizetype From) {
        return From < Rest.size() ? Rest.sliced(From, qMin<qsizetype>(2, Rest.size() - From)) : QStringView();
    };
    return u'$' + Part(4) + Part(2) + Part(0);
}

QVariant TControlsPropsContainer::NormalizeValue(const QMetaProperty& Property, const QString& Raw)
{
    const TPropKind Kind = KindOf(Property);
    QString Value = Raw;
    if (Raw.isEmpty()) {
        if (Kind != TPropKind::Set) {
            return QString();
        }
        Value = u"[]"_s;
    } else if (Kind == TPropKind::Boolean) {
        if (Raw == u"1") {
            return u"True"_s;
        }
        if (Raw == u"0") {
            return u"False"_s;
        }
        if (Raw.compare(u"true", Qt::CaseInsensitive) == 0) {
            return Raw;
        }
        return u"False"_s;
    }

    if (qstrcmp(QByteArray(Property.name()).toLower().constData(), "color") == 0) {
        QString S = Raw.toLower();
        if (IsHexText(S)) {
            S.prepend(u'#');
        }
        if (S.startsWith(u'#')) {
            S = HtmlColorToHex(S);
        }
        qint32 N = 0;
        if (TryStrToInt(S, N)) {
            return QString::number(N);
        }
        if (!S.startsWith(u"cl")) {
            S.prepend(u"cl"_s);
        }
        if (IdentToColor(S, N)) {
            return QString::number(N);
        }
        return Value;
    }

    if (Kind == TPropKind::Set) {
        QString S = Value;
        if (!S.startsWith(u'[')) {
            S.prepend(u'[');
        }
        if (S.size() > 1 && !S.endsWith(u']')) {
            S.append(u']');
        }
        return S;
    }

    qint32 N = 0;
    if (Kind == TPropKind::Integer && TryStrToInt(Raw, N)) {
        return N;
    }
    // Text is taken as written: a caption "#1", "007" or "$10" must not turn into a number.
    if (Kind == TPropKind::String) {
        return Raw;
    }
    QString S = Raw;
    if (S.startsWith(u'#')) {
        S = HtmlColorToHex(S);
    }
    if (TryStrToInt(S, N)) {
        return N;
    }
    return Raw;
}

bool TControlsPropsContainer::IsValueAcceptable(const QString& Name, TPropKind Kind, const QVariant& Value)
{
    for (const QStringView Never : {u"ComponentIndex", u"DesignInfo", u"Tag"}) {
        if (Name.compare(Never, Qt::CaseInsensitive) == 0) {
            return false;
        }
    }
    if (Kind == TPropKind::Integer) {
        qint32 N = 0;
        return ValueToInteger(Value, N);
    }
    if (IsEmptyText(Value) || !Value.isValid()) {
        return Kind == TPropKind::String;
    }
    return true;
}

TControlsPropsContainer::TSetResult TControlsPropsContainer::SetProperty(QObject* Component,
                                                                         const QString& Path,
                                                                         const QString& Raw, QString* Message)
{
    const auto Report = [Message](TSetResult Result, const QString& Why) {
        if (Message) {
            *Message = Why;
        }
        return Result;
    };
    if (!IsControl(Component) || Component->objectName().isEmpty()) {
        return Report(TSetResult::Skipped, u"not a named control"_s);
    }

    // The part before the first "." names a property; one that holds an object leads on to it.
    QObject* Instance = Component;
    QStringView Rest(Path);
    QMetaProperty Target;
    for (;;) {
        const qsizetype Dot = Rest.indexOf(u'.');
        const QStringView Head = Dot < 0 ? Rest : Rest.first(Dot);
        const QMetaProperty Property = FindPublishedProperty(Instance->metaObject(), Head);
        if (!Property.isValid()) {
            return Report(TSetResult::Skipped,
                          u"%1 has no property \"%2\""_s.arg(
                              QString::fromLatin1(Instance->metaObject()->className()), Head.toString()));
        }
        if (Dot >= 0 && KindOf(Property) == TPropKind::Object) {
            if (QObject* Sub = ReadObject(Instance, Property)) {
                Instance = Sub;
                Rest = Rest.sliced(Dot + 1);
                continue;
            }
        }
        Target = Property;
        break;
    }

    const QString Name = QString::fromLatin1(Target.name());
    const TPropKind Kind = KindOf(Target);
    if (!Target.isWritable()) {
        return Report(TSetResult::Skipped, u"%1 is read-only"_s.arg(Name));
    }
    if (Kind == TPropKind::Object || Kind == TPropKind::Array) {
        return Report(TSetResult::Skipped, u"%1 is never set from text"_s.arg(Name));
    }
    const QVariant Value = NormalizeValue(Target, Raw);
    if (!IsValueAcceptable(Name, Kind, Value)) {
        return Report(TSetResult::Skipped, u"%1 does not take \"%2\""_s.arg(Name, Raw));
    }
    QString Why;
    if (!AssignValue(Instance, Target, Kind, Value, Why)) {
        return Report(TSetResult::Failed, Why);
    }
    return Report(TSetResult::Assigned, {});
}

QStringList TControlsPropsContainer::ApplyToControl(QObject* Component, bool Recursive)
{
    QStringList Failures;
    if (FActive) {
        ApplyTree(Component, Recursive, Failures);
    }
    return Failures;
}

void TControlsPropsContainer::ApplyTree(QObject* Component, bool Recursive, QStringList& Failures)
{
    // Anything that is not a control (a sub-object, a timer, the parts of a Qt widget a control is
    // made of) is skipped with everything below it.
    if (!IsControl(Component)) {
        return;
    }
    const QPointer<QObject> Guard(Component);
    const QString Name = Component->objectName();
    if (const TSection* Section = Name.isEmpty() ? nullptr : FindSection(Name)) {
        const QString File = FFileName.isEmpty() ? u"controls.ini"_s : ExtractFileName(FFileName);
        const QString SectionName = Section->Name;
        const QList<TValueLine> Lines = Section->Lines;
        for (const TValueLine& Line : Lines) {
            QString Why;
            if (SetProperty(Component, Line.Path, Line.Value, &Why) == TSetResult::Failed) {
                Failures.append(u"%1 (line %2), [%3] %4=%5: %6"_s.arg(
                    File, QString::number(Line.Line), SectionName, Line.Path, Line.Value, Why));
            }
            if (!Guard) {
                return;
            }
        }
    }
    if (!Recursive) {
        return;
    }
    // The controls a window holds are the controls below it in the object tree; an unnamed control
    // (a panel, say) takes no section itself but the named controls on it do. Setting a property may
    // add or remove objects, so the children are taken first and checked before each visit.
    QList<QPointer<QObject>> Children;
    for (QObject* Child : Component->children()) {
        Children.append(Child);
    }
    for (const QPointer<QObject>& Child : Children) {
        if (Child) {
            ApplyTree(Child, true, Failures);
        }
        if (!Guard) {
            return;
        }
    }
}

QString TControlsPropsContainer::ReadControlValue(const QObject* Control, const QString& Key) const
{
    if (!FActive || !Control) {
        return {};
    }
    const TSection* Section = FindSection(Control->objectName());
    if (!Section) {
        return {};
    }
    for (qsizetype I = Section->Lines.size() - 1; I >= 0; --I) {
        if (Section->Lines[I].Path.compare(Key, Qt::CaseInsensitive) == 0) {
            return Section->Lines[I].Value;
        }
    }
    return {};
}

TControlsPropsContainer::TSetResult TControlsPropsContainer::ApplyValueOrDefault(QObject* Control,
                                                                                 const QString& Key,
                                                                                 const QString& Default,
                                                                                 QString* Message)
{
    const TSection* Section = FActive && Control ? FindSection(Control->objectName()) : nullptr;
    if (Section) {
        for (qsizetype I = Section->Lines.size() - 1; I >= 0; --I) {
            if (Section->Lines[I].Path.compare(Key, Qt::CaseInsensitive) == 0) {
                const QString Value = Section->Lines[I].Value;
                return SetProperty(Control, Key, Value, Message);
            }
        }
    }
    return SetProperty(Control, Key, Default, Message);
}
