// Fuzzes the rich-text reader: any bytes after "{\rtf" must give a document, never a crash, a hang
// or a large allocation.

#include "RichText.h"

#include <QGuiApplication>
#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication App(*Argc, *Argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    QByteArray Bytes("{\\rtf1");
    Bytes.append(reinterpret_cast<const char*>(Data), qsizetype(Size));
    QTextDocument Document;
    ReadRichText(Bytes, Document);
    Document.toPlainText();
    return 0;
}
