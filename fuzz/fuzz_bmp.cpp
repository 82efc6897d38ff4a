// Fuzzes the BMP reader, and the Hermite resampler with what it decodes.
//
// A decoded picture must respect the size limits; it is then drawn small and resampled to a size
// taken from the first bytes, which must give exactly that size.

#include "Graphic.h"
#include "ImageLimits.h"
#include "Thumbnail.h"

#include <QByteArrayView>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetImageLimits(SmallImageLimits());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const QByteArrayView Bytes(Data, qsizetype(Size));
    const TGraphicLoad Load = LoadGraphicFromData(Bytes, QStringLiteral("fuzz.bmp"));
    if (!Load.Ok()) {
        if (!Load.Error.startsWith(QStringLiteral("Cannot read picture \"fuzz.bmp\": ")))
            std::abort();
        return 0;
    }
    const QSize S = Load.Graphic->Size();
    if (!CheckImageSize(S.width(), S.height()).isEmpty())
        std::abort();
    Load.Graphic->ToBitmap(QSize(qMin(S.width(), 40), qMin(S.height(), 40)));
    const int W = Size > 0 ? 1 + Data[0] % 24 : 1;
    const int H = Size > 1 ? 1 + Data[1] % 24 : 1;
    QImage Out;
    if (!HermiteResample(Load.Graphic->ToBitmap(), W, H, Out) || Out.size() != QSize(W, H)) {
        std::fprintf(stderr, "resampling %dx%d to %dx%d failed\n", S.width(), S.height(), W, H);
        std::abort();
    }
    return 0;
}
