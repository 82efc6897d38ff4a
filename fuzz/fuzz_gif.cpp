// Fuzzes the GIF reader (giflib, first frame).

#include "FuzzGraphic.h"

AUTORUN_FUZZ_SMALL_LIMITS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    FuzzLoadGraphic(QByteArrayView(Data, qsizetype(Size)), QStringLiteral("fuzz.gif"));
    return 0;
}
