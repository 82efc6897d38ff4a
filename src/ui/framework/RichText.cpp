#include "RichText.h"

#include "text/CodePage.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QSet>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// Deeper groups are read as skipped text; real documents nest a few dozen levels at most.
constexpr int MaxGroupDepth = 256;
constexpr int MaxWordLength = 32;
// Twips (1/1440 inch) to pixels at 96 pixels an inch.
constexpr double TwipsPerPixel = 15.0;
constexpr double MaxMargin = 4000.0;

enum class TDestination
{
    Text,
    FontTable,
    ColorTable,
    Skip
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
                                           "listtable",
                                           "listoverridetable",
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
        {"enspace", u'\u2002'}, {"qmspace", u'\u2005'},   {"tab", u'\t'},           {"cell", u'\t'},
        {"line", u'\u2028'},    {"zwj", u'\u200D'},       {"zwnj", u'\u200C'}};
    const auto It = Symbols.constFind(Word);
    return It == Symbols.cend() ? QChar() : QChar(*It);
}

TCodePage CodePageOf(int Number)
{
    return Number == 1251 ? TCodePage::cp1251 : TCodePage::cp1252;
}

TCodePage CodePageOfCharset(int Charset)
{
    return Charset == 204 ? TCodePage::cp1251 : TCodePage::cp1252;
}

class TRtfReader
{
public:
    TRtfReader(QByteArrayView Bytes, QTextDocument& Document) : FBytes(Bytes), FCursor(&Document) {}

    void Read()
    {
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
        FCursor.setBlockFormat(BlockFormat());
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
            // An optional destination this reader does not know.
            Flush();
            FState.Destination = TDestination::Skip;
            break;
        case '~':
            Char(QChar(0x00A0));
            break;
        case '_':
            Char(QChar(0x2011));
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
        default:
            break; // \- (optional hyphen), \| and \: are dropped
        }
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
        if (FState.Destination == TDestination::FontTable) {
            if (Word == "f") {
                FTableFont = Param;
            } else if (Word == "fcharset") {
                FFontCodePages.insert(FTableFont, CodePageOfCharset(Param));
            } else if (Word == "cpg") {
                FFontCodePages.insert(FTableFont, CodePageOf(Param));
            } else if (SkippedDestinations().contains(Word) || Word == "panose") {
                FState.Destination = TDestination::Skip;
            }
            return;
        }
        if (FState.Destination == TDestination::ColorTable) {
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
        } else if (Word == "deff") {
            FDefaultFont = Param;
        } else if (Word == "ansicpg") {
            FCodePage = CodePageOf(Param);
        } else if (Word == "par" || Word == "row" || Word == "sect" || Word == "page") {
            Paragraph();
        } else if (Word == "u") {
            const bool Valid = Param >= -32768 && Param <= 65535;
            Char(Valid ? QChar(static_cast<char16_t>(Param < 0 ? Param + 65536 : Param))
                       : QChar(QChar::ReplacementCharacter));
            FSkipChars = FState.UnicodeSkip;
        } else if (Word == "uc") {
            FState.UnicodeSkip = std::clamp(Param, 0, 10);
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
        } else if (Word == "pard") {
            FState.Alignment = Qt::AlignLeft;
            FState.LeftIndent = FState.RightIndent = FState.FirstIndent = 0;
            FState.SpaceBefore = FState.SpaceAfter = 0;
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
                Char(Symbol);
            }
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
            return;
        default:
            break;
        }
        const TCodePage CodePage = CurrentCodePage();
        if (!FPendingBytes.isEmpty() && CodePage != FPendingCodePage) {
            DecodePending();
        }
        FPendingCodePage = CodePage;
        FPendingBytes.append(C);
    }

    void Char(QChar C)
    {
        if (Skipping() || FState.Destination != TDestination::Text) {
            return;
        }
        DecodePending();
        FPendingText.append(C);
    }

    TCodePage CurrentCodePage() const
    {
        const auto It = FFontCodePages.constFind(FState.Font >= 0 ? FState.Font : FDefaultFont);
        return It == FFontCodePages.cend() ? FCodePage : *It;
    }

    void DecodePending()
    {
        if (!FPendingBytes.isEmpty()) {
            FPendingText += DecodeAnsi(FPendingBytes, FPendingCodePage);
            FPendingBytes.clear();
        }
    }

    // Writes the text gathered so far in the formatting it was gathered under; called before every
    // change of the formatting.
    void Flush()
    {
        DecodePending();
        if (!FPendingText.isEmpty()) {
            FCursor.insertText(FPendingText, CharFormat());
            FPendingText.clear();
        }
    }

    void Paragraph()
    {
        if (Skipping() || FState.Destination != TDestination::Text) {
            return;
        }
        Flush();
        FCursor.setBlockFormat(BlockFormat());
        FCursor.insertBlock(BlockFormat(), CharFormat());
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
    TCodePage FCodePage = TCodePage::cp1252;
    QHash<int, TCodePage> FFontCodePages;
    int FTableFont = -1;
    int FDefaultFont = -1;
    QList<QColor> FColors;
    int FRed = 0;
    int FGreen = 0;
    int FBlue = 0;
    bool FColorGiven = false;
    QByteArray FPendingBytes;
    TCodePage FPendingCodePage = TCodePage::cp1252;
    QString FPendingText;
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
