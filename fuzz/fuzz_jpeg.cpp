// Fuzzes the JPEG reader (libjpeg with our error manager), at full and reduced scale.

#include "FuzzGraphic.h"

AUTORUN_FUZZ_SMALL_LIMITS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TDecodeOptions Options;
    // The last byte chooses scale and speed, so that every decoding path is reached.
    if (Size > 0) {
        Options.Jpeg.ScaleDenominator = 1 << (Data[Size - 1] & 3);
        Options.Jpeg.Fast = Data[Size - 1] & 4;
    }
    FuzzLoadGraphic(QByteArrayView(Data, qsizetype(Size)), QStringLiteral("fuzz.jpg"), Options);
    return 0;
}
