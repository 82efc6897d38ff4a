#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Symbol fonts draw their own pictures for the bytes of 8-bit text: byte B7 in the Symbol font is a
// bullet, not the middle dot of Windows-1252. Text in such a font is shown as the Unicode characters
// the font draws.
enum class TSymbolFont
{
    sfNone,
    sfSymbol,
    sfWingdings
};

// The symbol font named FontName ("Symbol", "Wingdings", without regard to case and surrounding
// blanks), or sfNone.
TSymbolFont SymbolFontOf(QStringView FontName);

// The characters the font draws for Bytes (bytes below 0x20 stay control characters; bytes the font
// leaves empty give U+FFFD). Font must not be sfNone.
QString DecodeSymbolFont(QByteArrayView Bytes, TSymbolFont Font);

// Symbol fonts also reach documents as the private-use characters U+F020-U+F0FF, one for each byte:
// the character the font draws for C, or C itself when it is no such character.
char32_t SymbolFontChar(char32_t C, TSymbolFont Font);
