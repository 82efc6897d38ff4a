#pragma once

#include "Memo.h"

// A text view that also shows formatted text: a file loaded into Lines that starts as rich text is
// read with its formatting (see RichText.h) unless PlainText is set; any other file is plain text.
// Lines then holds the text without formatting. Changing Lines in code replaces the text as plain
// text.
class TRichEdit : public TCustomMemo
{
    Q_OBJECT
    Q_PROPERTY(bool PlainText READ PlainText WRITE SetPlainText)

public:
    explicit TRichEdit(QWidget* Parent = nullptr, const QString& Name = {});

    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }

protected:
    void LoadBytes(QByteArrayView Bytes) override;

private:
    bool FPlainText = false;
};
