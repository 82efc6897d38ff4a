// Fuzzes text decoding: the byte-order marks (UTF-8, UTF-16LE, UTF-16BE), malformed UTF-8 and UTF-16 and every
// 8-bit code page. Decoding never fails; text a code page can encode must come back as it was.

#include "text/CodePage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const QByteArrayView Bytes(Data, qsizetype(Size));
    DecodeMarkedText(Bytes);
    DecodeTextFile(Bytes);
    DecodeTextFile(Bytes, true);
    for (const TCodePage CodePage : {TCodePage::cp1251, TCodePage::cp1252}) {
        const QString Text = DecodeAnsi(Bytes, CodePage);
        if (CanEncodeAnsi(Text, CodePage)) {
            bool Ok = false;
            const QByteArray Again = EncodeAnsi(Text, CodePage, &Ok);
            if (!Ok || DecodeAnsi(Again, CodePage) != Text)
                std::abort();
        }
    }
    return 0;
}
