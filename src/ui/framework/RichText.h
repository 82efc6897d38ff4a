#pragma once

#include <QByteArrayView>

class QTextDocument;

// True when Bytes start as a rich-text document ("{\rtf").
bool IsRichText(QByteArrayView Bytes);

// Replaces Document's content with the text of a rich-text document as a word processor shows it,
// with the formatting a text viewer needs: bold, italic, underline, strike-out, super- and subscript,
// font size, text colour, paragraph alignment, indents and spacing. Hidden text, pictures, objects,
// field codes (their results are shown), notes (their marks are kept), headers, footers and the
// other destinations are left out; table cells, nested ones too, become tabs and rows paragraphs.
// List numbers come from the list table where the writer left them out of the text. 8-bit text is
// decoded in the code page the document or its font names (any Windows code page the system knows),
// text in the Symbol and Wingdings fonts as the characters those fonts draw. Any input is safe:
// nesting, numbers, tables and binary runs are bounded, and a document cut short keeps what was read.
void ReadRichText(QByteArrayView Bytes, QTextDocument& Document);
