// Fuzzes the BMP reader, and the Hermite resampler with what it decodes: resampled to a size taken
// from the first bytes, a picture must come out at exactly that size.

#include "FuzzGraphic.h"
#include "Thumbnail.h"

#include <cstdio>

AUTORUN_FUZZ_SMALL_LIMITS

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const TGraphicLoad Load =
        FuzzLoadGraphic(QByteArrayView(Data, qsizetype(Size)), QStringLiteral("fuzz.bmp"));
    if (!Load.Ok())
        return 0;
    const int W = Size > 0 ? 1 + Data[0] % 24 : 1;
    const int H = Size > 1 ? 1 + Data[1] % 24 : 1;
    QImage Out;
    if (!HermiteResample(Load.Graphic->ToBitmap(), W, H, Out) || Out.size() != QSize(W, H)) {
        std::fprintf(stderr, "resampling %dx%d to %dx%d failed\n", Load.Graphic->Width(),
                     Load.Graphic->Height(), W, H);
        std::abort();
    }
    return 0;
}
