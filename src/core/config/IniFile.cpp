#include "IniFile.h"

#include "text/CodePage.h"
#include "text/DiscFile.h"
#include "text/Paths.h"

#include <QFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString FoldName(QStringView Name)
{
    return Name.toString().toCaseFolded();
}

int DigitValue(QChar C, int Base)
{
    const char16_t U = C.unicode();
    int Digit = -1;
    if (U >= u'0' && U <= u'9') {
        Digit = U - u'0';
    } else if (U >= u'a' && U <= u'f') {
        Digit = U - u'a' + 10;
    } else if (U >= u'A' && U <= u'F') {
        Digit = U - u'A' + 10;
    }
    return Digit < Base ? Digit : -1;
}

} // namespace

bool TryStrToInt(QStringView S, qint32& Value)
{
    qsizetype I = 0;
    while (I < S.size() && S[I] == u' ') {
        ++I;
    }
    bool Negative = false;
    if (I < S.size() && (S[I] == u'+' || S[I] == u'-')) {
        Negative = S[I] == u'-';
        ++I;
    }
    int Base = 10;
    if (I < S.size() && S[I] == u'$') {
        Base = 16;
        ++I;
    } else if (I + 1 < S.size() && S[I] == u'0' && (S[I + 1] == u'x' || S[I + 1] == u'X')) {
        Base = 16;
        I += 2;
    }
    if (I == S.size()) {
        return false;
    }
    const quint64 Limit = Base == 16 ? 0xFFFFFFFFu : (Negative ? 0x80000000u : 0x7FFFFFFFu);
    quint64 Acc = 0;
    for (; I < S.size(); ++I) {
        const int Digit = DigitValue(S[I], Base);
        if (Digit < 0) {
            return false;
        }
        Acc = Acc * static_cast<quint64>(Base) + static_cast<quint64>(Digit);
        if (Acc > Limit) {
            return false;
        }
    }
    quint32 Bits = static_cast<quint32>(Acc);
    if (Negative) {
        Bits = 0u - Bits;
    }
    Value = static_cast<qint32>(Bits);
    return true;
}

qint32 StrToIntDef(QStringView S, qint32 Default)
{
    qint32 Value = 0;
    return TryStrToInt(S, Value) ? Value : Default;
}

bool TIniFile::LoadFromFile(const QString& FileName)
{
    QFile File;
    if (!OpenDiscFile(File, FileName)) {
        LoadFromText({});
        return false;
    }
    // One byte more than the limit tells LoadFromBytes that the file was longer.
    LoadFromBytes(File.read(MaxIniFileSize + 1));
    return true;
}

void TIniFile::LoadFromBytes(QByteArrayView Bytes)
{
    if (Bytes.size() <= MaxIniFileSize) {
        LoadFromText(DecodeMarkedText(Bytes));
        return;
    }
    // Too long: the last line within the limit may be cut short, and a cut value must not be read.
    QString Text = DecodeMarkedText(Bytes.first(MaxIniFileSize));
    const qsizetype LastBreak = std::max(Text.lastIndexOf(u'\n'), Text.lastIndexOf(u'\r'));
    Text.truncate(std::max<qsizetype>(LastBreak, 0));
    LoadFromText(Text);
}

void TIniFile::LoadFromText(QStringView Text)
{
    FSections.clear();
    FSectionIndex.clear();
    qsizetype Current = -1; // index into FSections
    qsizetype Pos = 0;
    while (Pos < Text.size()) {
        qsizetype End = Pos;
        while (End < Text.size() && Text[End] != u'\r' && Text[End] != u'\n') {
            ++End;
        }
        const QStringView Line = Text.sliced(Pos, End - Pos).trimmed();
        // CR LF counts as one line break.
        Pos = End + ((End + 1 < Text.size() && Text[End] == u'\r' && Text[End + 1] == u'\n') ? 2 : 1);

        if (Line.isEmpty() || Line.front() == u';') {
            continue;
        }
        if (Line.front() == u'[') {
            qsizetype Close = Line.indexOf(u']');
            if (Close < 0) {
                Close = Line.size();
            }
            const QStringView Name = Line.sliced(1, Close - 1).trimmed();
            const QString Folded = FoldName(Name);
            const auto Found = FSectionIndex.constFind(Folded);
            if (Found != FSectionIndex.constEnd()) {
                Current = *Found;
            } else {
                Current = FSections.size();
                FSectionIndex.insert(Folded, Current);
                FSections.append(TSection{Name.toString(), {}, {}});
            }
            continue;
        }
        const qsizetype Equals = Line.indexOf(u'=');
        if (Current < 0 || Equals < 0) {
            continue;
        }
        const QStringView Key = Line.first(Equals).trimmed();
        if (Key.isEmpty()) {
            continue;
        }
        TSection& S = FSections[Current];
        const QString Folded = FoldName(Key);
        if (S.KeyIndex.contains(Folded)) {
            continue;
        }
        S.KeyIndex.insert(Folded, S.Values.size());
        S.Values.append({Key.toString(), Line.sliced(Equals + 1).trimmed().toString()});
    }
}

const TIniFile::TSection* TIniFile::FindSection(QStringView Section) const
{
    const auto Found = FSectionIndex.constFind(FoldName(Section.trimmed()));
    return Found == FSectionIndex.constEnd() ? nullptr : &FSections[*Found];
}

const QString* TIniFile::FindValue(QStringView Section, QStringView Key) const
{
    const TSection* S = FindSection(Section);
    if (S == nullptr) {
        return nullptr;
    }
    const auto Found = S->KeyIndex.constFind(FoldName(Key.trimmed()));
    return Found == S->KeyIndex.constEnd() ? nullptr : &S->Values[*Found].second;
}

QString TIniFile::ReadString(QStringView Section, QStringView Key, const QString& Default) const
{
    const QString* Value = FindValue(Section, Key);
    return Value != nullptr ? *Value : Default;
}

qint32 TIniFile::ReadInteger(QStringView Section, QStringView Key, qint32 Default) const
{
    const QString* Value = FindValue(Section, Key);
    return Value != nullptr ? StrToIntDef(*Value, Default) : Default;
}

bool TIniFile::ReadBool(QStringView Section, QStringView Key, bool Default) const
{
    return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(QStringView Section) const
{
    return FindSection(Section) != nullptr;
}

bool TIniFile::ValueExists(QStringView Section, QStringView Key) const
{
    return FindValue(Section, Key) != nullptr;
}

QStringList TIniFile::ReadSections() const
{
    QStringList Names;
    Names.reserve(FSections.size());
    for (const TSection& S : FSections) {
        Names.append(S.Name);
    }
    return Names;
}

QStringList TIniFile::ReadSection(QStringView Section) const
{
    QStringList Keys;
    if (const TSection* S = FindSection(Section)) {
        Keys.reserve(S->Values.size());
        for (const TIniValue& V : S->Values) {
            Keys.append(V.first);
        }
    }
    return Keys;
}

QList<TIniValue> TIniFile::ReadSectionValues(QStringView Section) const
{
    const TSection* S = FindSection(Section);
    return S != nullptr ? S->Values : QList<TIniValue>();
}
