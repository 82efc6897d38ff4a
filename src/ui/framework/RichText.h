#pragma once

#include <QByteArrayView>

class QTextDocument;

// True when Bytes start as a rich-text document ("{\rtf").
bool IsRichText(QByteArrayView Bytes);

// Replaces Document's content with the text of a rich-text document and the formatting a text viewer
// needs: bold, italic, underline, strike-out, font size, text colour, paragraph alignment, indents
// and spacing. Pictures, objects, field codes, headers, footers and the other destinations are left
// out; table cells become tabs and rows paragraphs. 8-bit text is decoded as Windows-1251 or
// Windows-1252, as the document's and its fonts' character sets say. Any input is safe: nesting,
// numbers and binary runs are bounded, and a document cut short keeps what was read.
void ReadRichText(QByteArrayView Bytes, QTextDocument& Document);
