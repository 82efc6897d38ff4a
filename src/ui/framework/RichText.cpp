#include "RichText.h"

#include "text/CodePage.h"
#include "text/SymbolFonts.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QSet>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <climits>
#include <map>

namespace {

// Deeper groups are read as skipped text; real documents nest a few dozen levels at most.
constexpr int MaxGroupDepth = 256;
constexpr int MaxWordLength = 32;
// Twips (1/1440 inch) to pixels at 96 pixels an inch.
constexpr double TwipsPerPixel = 15.0;
constexpr double MaxMargin = 4000.0;
// Bounds of the list table: real documents hold a few dozen lists of nine levels.
constexpr int MaxLists = 1000;
constexpr int MaxListLevels = 9;
constexpr int MaxLevelText = 64;
constexpr int MaxFontName = 64;
constexpr int MaxFonts = 4096;
constexpr int MaxDecoders = 64;
// Code pages are positive; text in a symbol font is keyed by these.
constexpr int SymbolEncoding = -1;
constexpr int WingdingsEncoding = -2;

enum class TDestination
{
    Text,
    FontTable,
    ColorTable,
    Skip,
    Upr, // the 8-bit branch of \upr, shown only through its \ud part
    ListTable,
    LevelText, // the number pattern of one list level
    ListOverrideTable
};

struct TState
{
    TDestination Destination = TDestination::Text;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    int FontSize = 0; // half points; 0 keeps the document's font size
    int ColorIndex = 0;
    int Font = -1;
    int UnicodeSkip = 1;
    Qt::Alignment Alignment = Qt::AlignLeft;
    int LeftIndent = 0; // twips
    int RightIndent = 0;
    int FirstIndent = 0;
    int SpaceBefore = 0;
    int SpaceAfter = 0;
    bool Hidden = false;
    int VerticalAlign = 0; // 0 normal, 1 superscript, 2 subscript
    int ListOverride = 0;  // \ls of the paragraph; 0 for none
    int ListLevel = 0;
    bool InListText = false; // the number the writer put before a list paragraph
};

struct TFontInfo
{
    int CodePage = 0; // 0: the document's
    QByteArray Name;
    TSymbolFont Symbol = TSymbolFont::sfNone;
};

struct TLevelUnit
{
    char32_t Code = 0;
    bool Byte = false; // 8-bit text in the level's font, else a Unicode character
};

struct TListLevel
{
    int Format = 0; // \levelnfc
    int StartAt = 1;
    bool NoRestart = false;
    int Follow = 0; // 0 tab, 1 space, 2 nothing
    int Font = -1;
    QList<TLevelUnit> Text; // length first, then characters; values 0-8 stand for level numbers
};

struct TList
{
    int Id = -1;
    QList<TListLevel> Levels;
};

struct TListOverride
{
    int ListId = -1;
    int Number = -1; // \ls
};

// Destinations whose content is not text to show.
const QSet<QByteArray>& SkippedDestinations()
{
    static const QSet<QByteArray> Names = {"author",
                                           "buptim",
                                           "comment",
                                           "creatim",
                                           "datastore",
                                           "doccomm",
                                           "docvar",
                                           "fldinst",
                                           "footer",
                                           "footerf",
                                           "footerl",
                                           "footerr",
                                           "footnote",
                                           "ftncn",
                                           "ftnsep",
                                           "ftnsepc",
                                           "generator",
                                           "header",
                                           "headerf",
                                           "headerl",
                                           "headerr",
                                           "info",
                                           "keywords",
                                           "latentstyles",
                                           "object",
                                           "operator",
                                           "pict",
                                           "printim",
                                           "private",
                                           "revtbl",
                                           "rsidtbl",
                                           "stylesheet",
                                           "subject",
                                           "themedata",
                                           "title",
                                           "txe",
                                           "xe",
                                           "xmlnstbl",
                                           "colorschememapping",
                                           "nonshppict",
                                           "objdata",
                                           "filetbl",
                                           "mmathPr",
                                           "pgdsctbl",
                                           "userprops"};
    return Names;
}

// Characters some control words stand for.
QChar SymbolOf(const QByteArray& Word)
{
    static const QHash<QByteArray, char16_t> Symbols = {
        {"bullet", u'\u2022'},  {"emdash", u'\u2014'},    {"endash", u'\u2013'},    {"lquote", u'\u2018'},
        {"rquote", u'\u2019'},  {"ldblquote", u'\u201C'}, {"rdblquote", u'\u201D'}, {"emspace", u'\u2003'},
        {"enspace", u'\u2002'}, {"qmspace", u'\u2005'},   {"tab", u'\t'},           {"line", u'\u2028'},
        {"zwj", u'\u200D'},     {"zwnj", u'\u200C'}};
    const auto It = Symbols.constFind(Word);
    return It == Symbols.cend() ? QChar() : QChar(*It);
}

// The code page of a font's character set; 0 for the document's own.
int CodePageOfCharset(int Charset)
{
    static const QHash<int, int> CodePages = {{0, 1252},   {77, 10000}, {128, 932},  {129, 949},  {134, 936},
                                              {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255},
                                              {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250},
                                              {254, 437},  {255, 850}};
    return CodePages.value(Charset, 0);
}

// Destinations marked optional (\*) that this reader understands; the others are skipped.
bool KnownOptional(QByteArrayView Word)
{
    return Word == "ud" || Word == "listtable" || Word == "listoverridetable";
}

QString RomanNumber(int N)
{
    static constexpr std::array<int, 13> Values = {1000, 900, 500, 400, 100, 90, 50, 40, 10, 9, 5, 4, 1};
    static constexpr std::array<const char*, 13> Letters = {"m",  "cm", "d",  "cd", "c",  "xc", "l",
                                                            "xl", "x",  "ix", "v",  "iv", "i"};
    QString Text;
    for (size_t I = 0; I < Values.size(); ++I) {
        for (; N >= Values[I]; N -= Values[I]) {
            Text += QLatin1StringView(Letters[I]);
        }
    }
    return Text;
}

// "a".."z", then "aa".."zz" and so on, as word processors letter lists.
QString LetterNumber(int N)
{
    const QChar Letter(char16_t(u'a' + (N - 1) % 26));
    return QString((N - 1) / 26 + 1, Letter);
}

// A list or note number in the numbering style of the document's control words (\levelnfc values:
// 0 arabic, 1 and 2 upper and lower Roman, 3 and 4 upper and lower letters, 22 two-digit arabic,
// 23 a bullet and 255 nothing).
QString FormatNumber(int N, int Format)
{
    const bool Positive = N > 0 && N < 4000;
    switch (Format) {
    case 1:
    case 2:
        if (Positive) {
            return Format == 1 ? RomanNumber(N).toUpper() : RomanNumber(N);
        }
        break;
    case 3:
    case 4:
        if (Positive && N <= 780) {
            return Format == 3 ? LetterNumber(N).toUpper() : LetterNumber(N);
        }
        break;
    case 22:
        return N >= 0 && N < 10 ? u'0' + QString::number(N) : QString::number(N);
    case 23:
    case 255:
        return {};
    default:
        break;
    }
    return QString::number(N);
}

// Note numbering words: \ftnnar and the like for footnotes, \aftnnar for endnotes.
int NoteFormatOf(QByteArrayView Suffix)
{
    if (Suffix == "rlc") {
        return 2;
    }
    if (Suffix == "ruc") {
        return 1;
    }
    if (Suffix == "alc") {
        return 4;
    }
    if (Suffix == "auc") {
        return 3;
    }
    return 0;
}

class TRtfReader
{
public:
    TRtfReader(QByteArrayView Bytes, QTextDocument& Document) : FBytes(Bytes), FCursor(&Document) {}

    void Read()
    {
        // One edit for the whole document: the document then tells of its change once, not at every
        // piece of text.
        FCursor.beginEditBlock();
        while (FPos < FBytes.size() && !FDone) {
            const char C = FBytes[FPos++];
            switch (C) {
            case '{':
                OpenGroup();
                break;
            case '}':
                CloseGroup();
                break;
            case '\\':
                ReadControl();
                break;
            case '\r':
            case '\n':
                break;
            default:
                Byte(C);
                break;
            }
        }
        Flush();
        WriteRun();
        FCursor.setBlockFormat(BlockFormat());
        FCursor.endEditBlock();
    }

private:
    bool Skipping() const { return FOverflow > 0 || FState.Destination == TDestination::Skip; }

    void OpenGroup()
    {
        Flush();
        FSkipChars = 0;
        if (FOverflow > 0 || FStack.size() >= MaxGroupDepth) {
            ++FOverflow;
            return;
        }
        FStack.append(FState);
    }

    void CloseGroup()
    {
        Flush();
        FSkipChars = 0;
        if (FOverflow > 0) {
            --FOverflow;
            return;
        }
        if (FState.Destination == TDestination::ColorTable) {
            // A table whose last entry lacks its ";".
            FinishColor(false);
        }
        if (FStack.isEmpty()) {
            FDone = true;
            return;
        }
        FState = FStack.takeLast();
        if (FStack.isEmpty()) {
            FDone = true; // the document's own group ended
        }
    }

    void ReadControl()
    {
        if (FPos >= FBytes.size()) {
            return;
        }
        const char C = FBytes[FPos];
        if (!IsLetter(C)) {
            ++FPos;
            ControlSymbol(C);
            return;
        }
        QByteArray Word;
        while (FPos < FBytes.size() && IsLetter(FBytes[FPos])) {
            if (Word.size() < MaxWordLength) {
                Word.append(FBytes[FPos]);
            }
            ++FPos;
        }
        bool HasParam = false;
        bool Negative = false;
        qint64 Param = 0;
        if (FPos < FBytes.size() && FBytes[FPos] == '-') {
            Negative = true;
            ++FPos;
        }
        int Digits = 0;
        while (FPos < FBytes.size() && FBytes[FPos] >= '0' && FBytes[FPos] <= '9') {
            if (Digits < 10) {
                Param = Param * 10 + (FBytes[FPos] - '0');
            }
            ++Digits;
            ++FPos;
            HasParam = true;
        }
        if (FPos < FBytes.size() && FBytes[FPos] == ' ') {
            ++FPos;
        }
        Param = std::clamp<qint64>(Negative ? -Param : Param, -0x7FFFFFFF, 0x7FFFFFFF);
        ControlWord(Word, HasParam, static_cast<int>(Param));
    }

    static bool IsLetter(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }

    void ControlSymbol(char C)
    {
        switch (C) {
        case '\'': {
            int Value = 0;
            int Count = 0;
            while (Count < 2 && FPos < FBytes.size() && HexValue(FBytes[FPos]) >= 0) {
                Value = Value * 16 + HexValue(FBytes[FPos]);
                ++FPos;
                ++Count;
            }
            if (Count > 0) {
                Byte(static_cast<char>(Value));
            }
            break;
        }
        case '*':
            // An optional destination: skipped unless this reader knows it.
            if (!KnownOptional(NextWord())) {
                Flush();
                FState.Destination = TDestination::Skip;
            }
            break;
        case '~':
            Char(0x00A0);
            break;
        case '_':
            Char(0x2011);
            break;
        case '\r':
        case '\n':
            Paragraph();
            break;
        case '\\':
        case '{':
        case '}':
            Byte(C);
            break;
        case '-':
            // An optional hyphen: where a long word may break.
            Char(0x00AD);
            break;
        default:
            break; // \| and \: are dropped
        }
    }

    void SkipBlanks(qsizetype& I) const
    {
        while (I < FBytes.size() && (FBytes[I] == ' ' || FBytes[I] == '\r' || FBytes[I] == '\n')) {
            ++I;
        }
    }

    // The control word at I, after blanks and line breaks, and I moved past it and its parameter;
    // nothing when something else stands there.
    QByteArrayView WordAt(qsizetype& I) const
    {
        SkipBlanks(I);
        if (I >= FBytes.size() || FBytes[I] != '\\') {
            return {};
        }
        const qsizetype Start = ++I;
        while (I < FBytes.size() && I - Start < MaxWordLength && IsLetter(FBytes[I])) {
            ++I;
        }
        const QByteArrayView Word = FBytes.sliced(Start, I - Start);
        while (I < FBytes.size() && (FBytes[I] == '-' || (FBytes[I] >= '0' && FBytes[I] <= '9'))) {
            ++I;
        }
        return Word;
    }

    QByteArrayView NextWord() const
    {
        qsizetype I = FPos;
        return WordAt(I);
    }

    // True when the footnote that follows a note mark is an endnote ("{\footnote\ftnalt ...").
    bool EndnoteAhead() const
    {
        // The note follows the mark, in the mark's group or after it.
        qsizetype I = FPos;
        SkipBlanks(I);
        while (I < FBytes.size() && FBytes[I] == '}') {
            ++I;
            SkipBlanks(I);
        }
        if (I >= FBytes.size() || FBytes[I] != '{') {
            return false;
        }
        ++I;
        if (WordAt(I) != "footnote") {
            return false;
        }
        // \ftnalt stands among the note's first few control words.
        for (int Words = 0; Words < 8; ++Words) {
            const QByteArrayView Word = WordAt(I);
            if (Word.isEmpty() || Word == "ftnalt") {
                return !Word.isEmpty();
            }
        }
        return false;
    }

    static int HexValue(char C)
    {
        if (C >= '0' && C <= '9') {
            return C - '0';
        }
        if (C >= 'a' && C <= 'f') {
            return C - 'a' + 10;
        }
        if (C >= 'A' && C <= 'F') {
            return C - 'A' + 10;
        }
        return -1;
    }

    void ControlWord(const QByteArray& Word, bool HasParam, int Param)
    {
        if (Word == "bin") {
            // Binary data follows; it is never text.
            Flush();
            FPos = std::min<qint64>(FBytes.size(), FPos + std::max(0, Param));
            return;
        }
        if (Skipping()) {
            return;
        }
        Flush();
        const bool On = !HasParam || Param != 0;
        switch (FState.Destination) {
        case TDestination::FontTable:
            FontTableWord(Word, Param);
            return;
        case TDestination::ColorTable:
            if (Word == "red") {
                FRed = std::clamp(Param, 0, 255);
                FColorGiven = true;
            } else if (Word == "green") {
                FGreen = std::clamp(Param, 0, 255);
                FColorGiven = true;
            } else if (Word == "blue") {
                FBlue = std::clamp(Param, 0, 255);
                FColorGiven = true;
            }
            return;
        case TDestination::Upr:
            // The Unicode branch of the text is shown, the 8-bit one before it is not.
            if (Word == "ud") {
                FState.Destination = TDestination::Text;
            }
            return;
        case TDestination::ListTable:
            ListTableWord(Word, HasParam, Param);
            return;
        case TDestination::LevelText:
            if (Word == "u") {
                AddLevelUnit({UnicodeOf(Param), false});
                FSkipChars = FState.UnicodeSkip;
            } else if (Word == "uc") {
                FState.UnicodeSkip = std::clamp(Param, 0, 10);
            }
            return;
        case TDestination::ListOverrideTable:
            if (Word == "listoverride") {
                FOverride = {};
            } else if (Word == "listid" || Word == "ls") {
                (Word == "ls" ? FOverride.Number : FOverride.ListId) = Param;
                if (FOverride.ListId >= 0 && FOverride.Number >= 0 && FOverrideLists.size() < MaxLists) {
                    FOverrideLists.insert(FOverride.Number, FOverride.ListId);
                }
            }
            return;
        case TDestination::Skip:
        case TDestination::Text:
            break;
        }
        if (SkippedDestinations().contains(Word)) {
            FState.Destination = TDestination::Skip;
            return;
        }
        if (Word == "fonttbl") {
            FState.Destination = TDestination::FontTable;
        } else if (Word == "colortbl") {
            FState.Destination = TDestination::ColorTable;
            FColors.clear();
            FColorGiven = false;
        } else if (Word == "listtable") {
            FState.Destination = TDestination::ListTable;
        } else if (Word == "listoverridetable") {
            FState.Destination = TDestination::ListOverrideTable;
        } else if (Word == "upr") {
            FState.Destination = TDestination::Upr;
        } else if (Word == "listtext" || Word == "pntext") {
            FState.InListText = true;
            if (FListTextStart < 0) {
                WriteRun();
                FListTextStart = FCursor.position();
            }
        } else if (Word == "deff") {
            FDefaultFont = Param;
        } else if (Word == "ansicpg") {
            FCodePage = Param > 0 ? Param : 1252;
        } else if (Word == "par" || Word == "row" || Word == "sect" || Word == "page") {
            Paragraph();
        } else if (Word == "cell" || Word == "nestcell") {
            Char(u'\t');
            StartParagraph(); // each cell is a paragraph of its own
        } else if (Word == "u") {
            Char(UnicodeOf(Param));
            FSkipChars = FState.UnicodeSkip;
        } else if (Word == "uc") {
            FState.UnicodeSkip = std::clamp(Param, 0, 10);
        } else if (Word == "chftn") {
            NoteMark();
        } else if (Word.startsWith("ftnn") || Word.startsWith("aftnn")) {
            (Word[0] == 'a' ? FEndnoteFormat : FFootnoteFormat) =
                NoteFormatOf(Word.sliced(Word.indexOf("nn") + 2));
        } else if (Word == "ftnstart") {
            FFootnoteCount = std::clamp(Param, 0, 100000) - 1;
        } else if (Word == "aftnstart") {
            FEndnoteCount = std::clamp(Param, 0, 100000) - 1;
        } else if (Word == "b") {
            FState.Bold = On;
        } else if (Word == "i") {
            FState.Italic = On;
        } else if (Word == "ul" || Word == "uld" || Word == "uldb" || Word == "ulw" || Word == "uldash" ||
                   Word == "ulth" || Word == "ulwave") {
            FState.Underline = On;
        } else if (Word == "ulnone") {
            FState.Underline = false;
        } else if (Word == "strike") {
            FState.Strike = On;
        } else if (Word == "v") {
            FState.Hidden = On;
        } else if (Word == "super") {
            FState.VerticalAlign = 1;
        } else if (Word == "sub") {
            FState.VerticalAlign = 2;
        } else if (Word == "nosupersub") {
            FState.VerticalAlign = 0;
        } else if (Word == "fs") {
            FState.FontSize = HasParam ? std::clamp(Param, 2, 3276) : 24;
        } else if (Word == "cf") {
            FState.ColorIndex = Param;
        } else if (Word == "f") {
            FState.Font = Param;
        } else if (Word == "plain") {
            const TState Old = FState;
            FState = TState();
            FState.Destination = Old.Destination;
            FState.UnicodeSkip = Old.UnicodeSkip;
            FState.Alignment = Old.Alignment;
            FState.LeftIndent = Old.LeftIndent;
            FState.RightIndent = Old.RightIndent;
            FState.FirstIndent = Old.FirstIndent;
            FState.SpaceBefore = Old.SpaceBefore;
            FState.SpaceAfter = Old.SpaceAfter;
            FState.ListOverride = Old.ListOverride;
            FState.ListLevel = Old.ListLevel;
            FState.InListText = Old.InListText;
        } else if (Word == "pard") {
            FState.Alignment = Qt::AlignLeft;
            FState.LeftIndent = FState.RightIndent = FState.FirstIndent = 0;
            FState.SpaceBefore = FState.SpaceAfter = 0;
            FState.ListOverride = 0;
            FState.ListLevel = 0;
        } else if (Word == "ls") {
            FState.ListOverride = Param;
        } else if (Word == "ilvl") {
            FState.ListLevel = std::clamp(Param, 0, MaxListLevels - 1);
        } else if (Word == "ql") {
            FState.Alignment = Qt::AlignLeft;
        } else if (Word == "qr") {
            FState.Alignment = Qt::AlignRight;
        } else if (Word == "qc") {
            FState.Alignment = Qt::AlignHCenter;
        } else if (Word == "qj") {
            FState.Alignment = Qt::AlignJustify;
        } else if (Word == "li") {
            FState.LeftIndent = Param;
        } else if (Word == "ri") {
            FState.RightIndent = Param;
        } else if (Word == "fi") {
            FState.FirstIndent = Param;
        } else if (Word == "sb") {
            FState.SpaceBefore = Param;
        } else if (Word == "sa") {
            FState.SpaceAfter = Param;
        } else {
            const QChar Symbol = SymbolOf(Word);
            if (!Symbol.isNull()) {
                Char(Symbol.unicode());
            }
        }
    }

    static char32_t UnicodeOf(int Param)
    {
        const bool Valid = Param >= -32768 && Param <= 65535;
        return Valid ? char32_t(Param < 0 ? Param + 65536 : Param) : char32_t(QChar::ReplacementCharacter);
    }

    void FontTableWord(const QByteArray& Word, int Param)
    {
        if (Word == "f") {
            FTableFont = Param;
            if (TFontInfo* Font = TableFont()) {
                Font->Name.clear();
            }
        } else if (Word == "fcharset" || Word == "cpg") {
            if (TFontInfo* Font = TableFont()) {
                Font->CodePage = Word == "cpg" ? Param : CodePageOfCharset(Param);
            }
        } else if (SkippedDestinations().contains(Word) || Word == "panose") {
            FState.Destination = TDestination::Skip;
        }
    }

    void ListTableWord(const QByteArray& Word, bool HasParam, int Param)
    {
        if (Word == "list") {
            FLevelOpen = false;
            if (FLists.size() < MaxLists) {
                FLists.append(TList());
            }
            return;
        }
        if (FLists.isEmpty()) {
            return;
        }
        TList& List = FLists.last();
        if (Word == "listid") {
            List.Id = Param;
            FListIndex.insert(Param, FLists.size() - 1);
            return;
        }
        if (Word == "listlevel") {
            FLevelOpen = List.Levels.size() < MaxListLevels;
            if (FLevelOpen) {
                List.Levels.append(TListLevel());
            }
            return;
        }
        if (Word == "listname" || Word == "levelnumbers") {
            FState.Destination = TDestination::Skip;
            return;
        }
        if (!FLevelOpen) {
            return;
        }
        TListLevel& Level = List.Levels.last();
        if (Word == "leveltext") {
            FState.Destination = TDestination::LevelText;
            Level.Text.clear();
        } else if (Word == "levelnfc" || Word == "levelnfcn") {
            Level.Format = Param;
        } else if (Word == "levelstartat") {
            Level.StartAt = std::clamp(Param, 0, 32767);
        } else if (Word == "levelnorestart") {
            Level.NoRestart = !HasParam || Param != 0;
        } else if (Word == "levelfollow") {
            Level.Follow = Param;
        } else if (Word == "f") {
            Level.Font = Param;
        }
    }

    void AddLevelUnit(TLevelUnit Unit)
    {
        if (FLevelOpen && FLists.last().Levels.last().Text.size() < MaxLevelText) {
            FLists.last().Levels.last().Text.append(Unit);
        }
    }

    // One byte of 8-bit text (or of a table entry).
    void Byte(char C)
    {
        if (FSkipChars > 0) {
            --FSkipChars;
            return;
        }
        if (Skipping()) {
            return;
        }
        switch (FState.Destination) {
        case TDestination::ColorTable:
            if (C == ';') {
                FinishColor(true);
            }
            return;
        case TDestination::FontTable:
            FontNameByte(C);
            return;
        case TDestination::LevelText:
            AddLevelUnit({char32_t(uchar(C)), true});
            return;
        case TDestination::Text:
            break;
        default:
            return;
        }
        if (FState.Hidden) {
            return;
        }
        TextArrives(C == ' ');
        const int Encoding = EncodingOf(CurrentFont());
        if (!FPendingBytes.isEmpty() && Encoding != FPendingEncoding) {
            DecodePending();
        }
        FPendingEncoding = Encoding;
        FPendingBytes.append(C);
    }

    void Char(char32_t C)
    {
        if (Skipping() || FState.Destination != TDestination::Text || FState.Hidden) {
            return;
        }
        // Symbol fonts reach Unicode text as private-use characters.
        const auto It = FFonts.constFind(CurrentFont());
        if (It != FFonts.cend() && It->Symbol != TSymbolFont::sfNone) {
            C = SymbolFontChar(C, It->Symbol);
        }
        TextArrives(C == U' ' || C == U'\t');
        DecodePending();
        AppendChar(FPendingText, C);
    }

    static void AppendChar(QString& Text, char32_t C)
    {
        if (QChar::requiresSurrogates(C)) {
            Text += QChar(QChar::highSurrogate(C));
            Text += QChar(QChar::lowSurrogate(C));
        } else {
            Text += QChar(char16_t(C));
        }
    }

    // Called before each piece of text of the body: the first one of a list paragraph brings the
    // paragraph's number when the writer left it out.
    void TextArrives(bool Blank)
    {
        if (FState.InListText) {
            FListTextShown = FListTextShown || !Blank;
            return;
        }
        if (FParagraphStarted) {
            return;
        }
        FParagraphStarted = true;
        if (FState.ListOverride <= 0) {
            return;
        }
        const QString Number = NextListNumber();
        if (FListTextShown || Number.isEmpty()) {
            return;
        }
        Flush();
        WriteRun();
        if (FListTextStart >= 0 && FListTextStart < FCursor.position()) {
            // Blanks the writer put where the number belongs give way to it.
            FCursor.setPosition(FListTextStart, QTextCursor::KeepAnchor);
            FCursor.removeSelectedText();
        }
        FPendingText += Number;
    }

    void StartParagraph()
    {
        FParagraphStarted = false;
        FListTextShown = false;
        FListTextStart = -1;
    }

    // The number of the current list paragraph, and the counting of its list.
    QString NextListNumber()
    {
        const auto ListIt = FListIndex.constFind(FOverrideLists.value(FState.ListOverride, -1));
        if (ListIt == FListIndex.cend() || FLists[*ListIt].Levels.isEmpty()) {
            return {};
        }
        const QList<TListLevel>& Levels = FLists[*ListIt].Levels;
        auto CounterIt = FListCounters.find(FState.ListOverride);
        if (CounterIt == FListCounters.end()) {
            std::array<int, MaxListLevels> Unset;
            Unset.fill(INT_MIN);
            CounterIt = FListCounters.insert(FState.ListOverride, Unset);
        }
        std::array<int, MaxListLevels>& Counters = *CounterIt;
        const auto Value = [&](qsizetype K) {
            return Counters[K] == INT_MIN ? Levels[K].StartAt : Counters[K];
        };
        const qsizetype Level = std::min<qsizetype>(FState.ListLevel, Levels.size() - 1);
        Counters[Level] =
            Counters[Level] == INT_MIN ? Levels[Level].StartAt : std::min(Counters[Level] + 1, 999999);
        for (qsizetype K = Level + 1; K < Levels.size(); ++K) {
            if (!Levels[K].NoRestart) {
                Counters[K] = INT_MIN;
            }
        }

        const TListLevel& This = Levels[Level];
        if (This.Text.isEmpty()) {
            return {};
        }
        const auto Font = FFonts.constFind(This.Font);
        const TSymbolFont Symbol = Font == FFonts.cend() ? TSymbolFont::sfNone : Font->Symbol;
        const int Encoding = EncodingOf(This.Font);
        QString Text;
        QByteArray Bytes;
        const auto TakeBytes = [&] {
            Text += DecodeBytes(Bytes, Encoding);
            Bytes.clear();
        };
        const qsizetype Length = std::min<qsizetype>(This.Text[0].Code, This.Text.size() - 1);
        for (qsizetype I = 1; I <= Length; ++I) {
            const TLevelUnit Unit = This.Text[I];
            if (Unit.Code < MaxListLevels) {
                TakeBytes();
                if (Unit.Code < Levels.size()) {
                    Text += FormatNumber(Value(Unit.Code), Levels[Unit.Code].Format);
                }
            } else if (Unit.Byte) {
                Bytes.append(char(Unit.Code));
            } else {
                TakeBytes();
                AppendChar(Text,
                           Symbol == TSymbolFont::sfNone ? Unit.Code : SymbolFontChar(Unit.Code, Symbol));
            }
        }
        TakeBytes();
        if (Text.isEmpty()) {
            return {};
        }
        if (This.Follow == 0) {
            Text += u'\t';
        } else if (This.Follow == 1) {
            Text += u' ';
        }
        return Text;
    }

    // The footnote or endnote number the writer marks with \chftn.
    void NoteMark()
    {
        if (Skipping() || FState.Destination != TDestination::Text || FState.Hidden) {
            return;
        }
        const bool Endnote = EndnoteAhead();
        int& Count = Endnote ? FEndnoteCount : FFootnoteCount;
        Count = std::min(Count + 1, 999999);
        for (const QChar C : FormatNumber(Count, Endnote ? FEndnoteFormat : FFootnoteFormat)) {
            Char(C.unicode());
        }
    }

    int CurrentFont() const { return FState.Font >= 0 ? FState.Font : FDefaultFont; }

    // How 8-bit text in a font is decoded: its symbol table, its code page or the document's.
    int EncodingOf(int Font) const
    {
        const auto It = FFonts.constFind(Font);
        if (It != FFonts.cend()) {
            if (It->Symbol == TSymbolFont::sfSymbol) {
                return SymbolEncoding;
            }
            if (It->Symbol == TSymbolFont::sfWingdings) {
                return WingdingsEncoding;
            }
            if (It->CodePage > 0) {
                return It->CodePage;
            }
        }
        return FCodePage;
    }

    QString DecodeBytes(QByteArrayView Bytes, int Encoding)
    {
        if (Bytes.isEmpty()) {
            return {};
        }
        if (Encoding == SymbolEncoding || Encoding == WingdingsEncoding) {
            return DecodeSymbolFont(Bytes, Encoding == SymbolEncoding ? TSymbolFont::sfSymbol
                                                                      : TSymbolFont::sfWingdings);
        }
        auto It = FDecoders.find(Encoding);
        if (It == FDecoders.end()) {
            if (FDecoders.size() >= MaxDecoders) {
                return DecodeAnsi(Bytes, TCodePage::cp1252);
            }
            It = FDecoders.try_emplace(Encoding, Encoding).first;
        }
        return It->second.Decode(Bytes);
    }

    void FontNameByte(char C)
    {
        TFontInfo* Font = TableFont();
        if (Font == nullptr) {
            return;
        }
        if (C == ';') {
            Font->Symbol = SymbolFontOf(QString::fromLatin1(Font->Name));
        } else if (Font->Name.size() < MaxFontName) {
            Font->Name.append(C);
        }
    }

    TFontInfo* TableFont()
    {
        auto It = FFonts.find(FTableFont);
        if (It == FFonts.end()) {
            if (FFonts.size() >= MaxFonts) {
                return nullptr;
            }
            It = FFonts.insert(FTableFont, {});
        }
        return &*It;
    }

    void DecodePending()
    {
        if (!FPendingBytes.isEmpty()) {
            FPendingText += DecodeBytes(FPendingBytes, FPendingEncoding);
            FPendingBytes.clear();
        }
    }

    // Ends the text gathered so far in the formatting it was gathered under; called before every
    // change of the formatting. Writers open and close groups far more often than the formatting
    // really changes, so text goes on the same run as long as its formatting is the same.
    void Flush()
    {
        DecodePending();
        if (FPendingText.isEmpty()) {
            return;
        }
        QTextCharFormat Format = CharFormat();
        if (!FRunText.isEmpty() && Format != FRunFormat) {
            WriteRun();
        }
        if (FRunText.isEmpty()) {
            FRunFormat = std::move(Format);
        }
        FRunText += FPendingText;
        FPendingText.clear();
    }

    // Writes the run of text into the document; before anything else goes there.
    void WriteRun()
    {
        if (!FRunText.isEmpty()) {
            FCursor.insertText(FRunText, FRunFormat);
            FRunText.clear();
        }
    }

    void Paragraph()
    {
        if (Skipping() || FState.Destination != TDestination::Text) {
            return;
        }
        Flush();
        WriteRun();
        FCursor.setBlockFormat(BlockFormat());
        FCursor.insertBlock(BlockFormat(), CharFormat());
        StartParagraph();
    }

    void FinishColor(bool Always)
    {
        if (Always || FColorGiven) {
            FColors.append(FColorGiven ? QColor(FRed, FGreen, FBlue) : QColor());
        }
        FRed = FGreen = FBlue = 0;
        FColorGiven = false;
    }

    QTextCharFormat CharFormat() const
    {
        QTextCharFormat Format;
        if (FState.Bold) {
            Format.setFontWeight(QFont::Bold);
        }
        Format.setFontItalic(FState.Italic);
        Format.setFontUnderline(FState.Underline);
        Format.setFontStrikeOut(FState.Strike);
        if (FState.FontSize > 0) {
            Format.setFontPointSize(FState.FontSize / 2.0);
        }
        if (FState.VerticalAlign != 0) {
            Format.setVerticalAlignment(FState.VerticalAlign == 1 ? QTextCharFormat::AlignSuperScript
                                                                  : QTextCharFormat::AlignSubScript);
        }
        if (FState.ColorIndex > 0 && FState.ColorIndex < FColors.size() &&
            FColors[FState.ColorIndex].isValid()) {
            Format.setForeground(FColors[FState.ColorIndex]);
        }
        return Format;
    }

    QTextBlockFormat BlockFormat() const
    {
        const auto Pixels = [](int Twips) {
            return std::clamp(Twips / TwipsPerPixel, -MaxMargin, MaxMargin);
        };
        QTextBlockFormat Format;
        Format.setAlignment(FState.Alignment);
        Format.setLeftMargin(std::max(0.0, Pixels(FState.LeftIndent)));
        Format.setRightMargin(std::max(0.0, Pixels(FState.RightIndent)));
        Format.setTextIndent(Pixels(FState.FirstIndent));
        Format.setTopMargin(std::max(0.0, Pixels(FState.SpaceBefore)));
        Format.setBottomMargin(std::max(0.0, Pixels(FState.SpaceAfter)));
        return Format;
    }

    QByteArrayView FBytes;
    qsizetype FPos = 0;
    QTextCursor FCursor;
    QList<TState> FStack;
    TState FState;
    int FOverflow = 0;
    bool FDone = false;
    int FSkipChars = 0;
    int FCodePage = 1252;
    QHash<int, TFontInfo> FFonts;
    std::map<int, TCodePageDecoder> FDecoders;
    int FTableFont = -1;
    int FDefaultFont = -1;
    QList<QColor> FColors;
    int FRed = 0;
    int FGreen = 0;
    int FBlue = 0;
    bool FColorGiven = false;
    QByteArray FPendingBytes;
    int FPendingEncoding = 1252;
    QString FPendingText;
    QString FRunText; // text of one formatting not yet in the document
    QTextCharFormat FRunFormat;
    QList<TList> FLists;
    QHash<int, qsizetype> FListIndex; // \listid -> index in FLists
    bool FLevelOpen = false;          // \listlevel words go to the last level of the last list
    TListOverride FOverride;
    QHash<int, int> FOverrideLists; // \ls -> \listid
    QHash<int, std::array<int, MaxListLevels>> FListCounters;
    bool FParagraphStarted = false;
    bool FListTextShown = false; // the writer gave the paragraph's number
    int FListTextStart = -1;     // where the writer's number text starts in the document
    int FFootnoteCount = 0;
    int FEndnoteCount = 0;
    int FFootnoteFormat = 0;
    int FEndnoteFormat = 0;
};

} // namespace

bool IsRichText(QByteArrayView Bytes)
{
    return Bytes.startsWith("{\\rtf");
}

void ReadRichText(QByteArrayView Bytes, QTextDocument& Document)
{
    Document.clear();
    TRtfReader Reader(Bytes, Document);
    Reader.Read();
}
