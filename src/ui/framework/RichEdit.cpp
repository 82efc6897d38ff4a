#include "RichEdit.h"

#include "RichText.h"

#include <QTextEdit>

TRichEdit::TRichEdit(QWidget* Parent, const QString& Name) : TCustomMemo(Parent, Name)
{
    TextEdit()->setAcceptRichText(true);
}

void TRichEdit::LoadBytes(QByteArrayView Bytes)
{
    if (FPlainText || !IsRichText(Bytes)) {
        TCustomMemo::LoadBytes(Bytes);
        return;
    }
    FillDocument([Bytes](QTextDocument& Document) { ReadRichText(Bytes, Document); });
}
