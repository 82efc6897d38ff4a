// Fuzzes the PNG reader (libpng with the loader's limits).

#include "FuzzGraphic.h"

AUTORUN_FUZZ_SMALL_LIMITS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    FuzzLoadGraphic(QByteArrayView(Data, qsizetype(Size)), QStringLiteral("fuzz.png"));
    return 0;
}
