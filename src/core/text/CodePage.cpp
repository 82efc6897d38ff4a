#include "CodePage.h"

#include <QByteArray>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>

namespace {

// Upper halves (bytes 0x80-0xFF) of the code pages; the lower half is ASCII in both.
// Bytes the code page leaves undefined hold U+FFFD.
constexpr std::array<char16_t, 128> Cp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // 0xC0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // 0xC8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // 0xD0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // 0xD8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // 0xE8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // 0xF8
};

constexpr std::array<char16_t, 128> Cp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, // 0x88
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178, // 0x98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7, // 0xA0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, // 0xA8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF, // 0xB8
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, // 0xC0
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, // 0xC8
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, // 0xD0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF, // 0xD8
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, // 0xE0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF, // 0xE8
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7, // 0xF0
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF, // 0xF8
};

// All 256 bytes, so that decoding is one lookup per byte without a branch for ASCII.
constexpr std::array<char16_t, 256> FullTable(const std::array<char16_t, 128>& High)
{
    std::array<char16_t, 256> Table{};
    for (int I = 0; I < 128; ++I) {
        Table[static_cast<std::size_t>(I)] = static_cast<char16_t>(I);
        Table[static_cast<std::size_t>(I + 128)] = High[static_cast<std::size_t>(I)];
    }
    return Table;
}

constexpr std::array<char16_t, 256> Cp1251ToUnicode = FullTable(Cp1251High);
constexpr std::array<char16_t, 256> Cp1252ToUnicode = FullTable(Cp1252High);

// Character -> byte for the whole BMP, 0 where the code page has no byte (U+0000 itself is ASCII and
// never looked up here). Built on first use; the static's initialisation is thread-safe.
using TReverseTable = std::array<unsigned char, 0x10000>;

TReverseTable BuildReverse(const std::array<char16_t, 128>& High)
{
    TReverseTable Table{};
    for (int I = 0; I < 128; ++I) {
        const char16_t C = High[static_cast<std::size_t>(I)];
        // Undefined bytes are left out so that U+FFFD never encodes to one of them.
        if (C != 0xFFFD) {
            Table[C] = static_cast<unsigned char>(I + 128);
        }
    }
    return Table;
}

const TReverseTable& ReverseTable(TCodePage CodePage)
{
    if (CodePage == TCodePage::cp1252) {
        static const TReverseTable Cp1252 = BuildReverse(Cp1252High);
        return Cp1252;
    }
    static const TReverseTable Cp1251 = BuildReverse(Cp1251High);
    return Cp1251;
}

const char16_t* DecodeTable(TCodePage CodePage)
{
    return CodePage == TCodePage::cp1252 ? Cp1252ToUnicode.data() : Cp1251ToUnicode.data();
}

// The byte for C, or -1 when the code page has none.
inline int EncodeChar(char16_t C, const TReverseTable& Reverse)
{
    if (C < 0x80) {
        return C;
    }
    const unsigned char Byte = Reverse[C];
    return Byte != 0 ? Byte : -1;
}

} // namespace

QString DecodeAnsi(QByteArrayView Bytes, TCodePage CodePage)
{
    const qsizetype Size = Bytes.size();
    QString Result(Size, Qt::Uninitialized);
    const char16_t* Table = DecodeTable(CodePage);
    const auto* Src = reinterpret_cast<const unsigned char*>(Bytes.data());
    QChar* Dst = Result.data();
    for (qsizetype I = 0; I < Size; ++I) {
        Dst[I] = QChar(Table[Src[I]]);
    }
    return Result;
}

QByteArray EncodeAnsi(QStringView Text, TCodePage CodePage, bool* Ok, qsizetype* BadIndex)
{
    const TReverseTable& Reverse = ReverseTable(CodePage);
    const qsizetype Size = Text.size();
    QByteArray Result(Size, Qt::Uninitialized);
    char* Dst = Result.data();
    qsizetype Out = 0;
    qsizetype FirstBad = -1;
    for (qsizetype I = 0; I < Size; ++I) {
        const char16_t C = Text[I].unicode();
        const int Byte = EncodeChar(C, Reverse);
        if (Byte >= 0) {
            Dst[Out++] = static_cast<char>(Byte);
            continue;
        }
        if (FirstBad < 0) {
            FirstBad = I;
        }
        // A character outside the BMP is one character to the reader: one '?' for the whole pair.
        if (QChar::isHighSurrogate(C) && I + 1 < Size && Text[I + 1].isLowSurrogate()) {
            ++I;
        }
        Dst[Out++] = '?';
    }
    Result.truncate(Out);
    if (Ok) {
        *Ok = FirstBad < 0;
    }
    if (BadIndex) {
        *BadIndex = FirstBad;
    }
    return Result;
}

bool CanEncodeAnsi(QStringView Text, TCodePage CodePage)
{
    const TReverseTable& Reverse = ReverseTable(CodePage);
    for (const QChar C : Text) {
        if (EncodeChar(C.unicode(), Reverse) < 0) {
            return false;
        }
    }
    return true;
}

namespace {

// The text after a UTF-8, UTF-16LE or UTF-16BE byte-order mark; nothing when Bytes start with none.
std::optional<QString> DecodeByteOrderMark(QByteArrayView Bytes)
{
    if (Bytes.startsWith("\xEF\xBB\xBF")) {
        return QString::fromUtf8(Bytes.sliced(3));
    }
    if (Bytes.startsWith("\xFF\xFE") || Bytes.startsWith("\xFE\xFF")) {
        QStringDecoder Decoder(Bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        return QString(Decoder.decode(Bytes.sliced(2)));
    }
    return std::nullopt;
}

} // namespace

QString DecodeMarkedText(QByteArrayView Bytes, TCodePage CodePage)
{
    std::optional<QString> Text = DecodeByteOrderMark(Bytes);
    return Text ? *std::move(Text) : DecodeAnsi(Bytes, CodePage);
}

QString DecodeTextFile(QByteArrayView Bytes, bool Cut, TCodePage CodePage)
{
    if (std::optional<QString> Text = DecodeByteOrderMark(Bytes)) {
        return *std::move(Text);
    }
    const bool HighBytes =
        std::any_of(Bytes.begin(), Bytes.end(), [](char C) { return (uchar(C) & 0x80) != 0; });
    if (HighBytes) {
        // Stateful only for a cut text: there a sequence left open at the end is no error; in a whole
        // file it is (a lone ANSI letter at the end).
        QStringDecoder Decoder(QStringDecoder::Utf8,
                               Cut ? QStringDecoder::Flag::Default : QStringDecoder::Flag::Stateless);
        QString Text = Decoder.decode(Bytes);
        if (!Decoder.hasError()) {
            return Text;
        }
    }
    return DecodeAnsi(Bytes, CodePage);
}

namespace {

QStringDecoder SystemDecoder(int CodePage)
{
    // UTF-16 and UTF-32 are no 8-bit code pages, whatever a document claims.
    if (CodePage <= 0 || CodePage > 65535 || CodePage == 1200 || CodePage == 1201 || CodePage == 12000 ||
        CodePage == 12001) {
        return {};
    }
    for (const char* Prefix : {"windows-", "cp"}) {
        const QByteArray Name = QByteArray(Prefix) + QByteArray::number(CodePage);
        QStringDecoder Decoder(Name.constData());
        if (Decoder.isValid()) {
            return Decoder;
        }
    }
    return {};
}

} // namespace

TCodePageDecoder::TCodePageDecoder(int CodePage)
{
    if (CodePage == 1251) {
        FTable = TCodePage::cp1251;
    } else if (CodePage == 1252) {
        FTable = TCodePage::cp1252;
    } else {
        FDecoder = SystemDecoder(CodePage);
        if (!FDecoder.isValid()) {
            FTable = TCodePage::cp1252;
        }
    }
}

QString TCodePageDecoder::Decode(QByteArrayView Bytes)
{
    if (FTable) {
        return DecodeAnsi(Bytes, *FTable);
    }
    QString Text = FDecoder.decode(Bytes);
    // ICU gives the substitute control character for bytes its table leaves unassigned.
    Text.replace(QChar(0x1A), QChar(QChar::ReplacementCharacter));
    return Text;
}
