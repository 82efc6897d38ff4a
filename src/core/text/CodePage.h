#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

#include <optional>

// Conversions between the ANSI code pages the disc files are written in and Unicode.
// Own tables for the two code pages project and INI files use, so their result never depends on ICU
// or the system locale; the other code pages documents name go through ICU.

enum class TCodePage
{
    cp1251, // Cyrillic: the ANSI code page of project files and INI files
    cp1252  // Western European
};

// Decodes bytes of the given code page. Bytes the code page leaves undefined map to U+FFFD.
QString DecodeAnsi(QByteArrayView Bytes, TCodePage CodePage = TCodePage::cp1251);

// Encodes text into the code page. When a character has no byte in the code page, *Ok (if given)
// becomes false, *BadIndex (if given) receives the index of the first such character, and the byte
// written for it is '?'. Callers that must not lose text check Ok.
QByteArray EncodeAnsi(QStringView Text, TCodePage CodePage = TCodePage::cp1251, bool* Ok = nullptr,
                      qsizetype* BadIndex = nullptr);

// True when every character of Text can be encoded in the code page.
bool CanEncodeAnsi(QStringView Text, TCodePage CodePage = TCodePage::cp1251);

// Decodes a file the program reads for itself (INI files, "controls.ini", "params.txt"): after a
// UTF-8, UTF-16LE or UTF-16BE byte-order mark in that encoding, in the ANSI code page otherwise.
QString DecodeMarkedText(QByteArrayView Bytes, TCodePage CodePage = TCodePage::cp1251);

// Decodes a plain text file of the disc (a text item, a document for the reader): a UTF-8 or UTF-16
// byte-order mark decides; without one, a text that is valid UTF-8 and holds a byte at or above 0x80
// is UTF-8 (an ANSI Cyrillic text is practically never valid UTF-8), anything else is ANSI. When Cut
// says that Bytes is only the beginning of the file (read up to a size limit), a UTF-8 sequence left
// open at the end does not make the text ANSI.
QString DecodeTextFile(QByteArrayView Bytes, bool Cut = false, TCodePage CodePage = TCodePage::cp1251);

// Text of a Windows code page named by its number, as documents name it (874, 1250-1258, the
// double-byte 932, 936, 949, 950 and the others the system knows). Windows-1251 and 1252 are read by
// the tables above, the others by the ICU converters Qt offers (QStringDecoder); a code page the
// system cannot decode (or a Qt built without ICU) reads as Windows-1252. The decoder keeps its state
// between calls, so a double-byte character may arrive in two pieces; bytes that name no character
// give U+FFFD.
class TCodePageDecoder
{
public:
    explicit TCodePageDecoder(int CodePage);

    QString Decode(QByteArrayView Bytes);

private:
    std::optional<TCodePage> FTable;
    QStringDecoder FDecoder;
};
