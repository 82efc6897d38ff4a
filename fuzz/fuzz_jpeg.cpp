// Fuzzes the JPEG reader (libjpeg with our error manager), at full and reduced scale.
//
// A decoded picture must respect the size limits and is drawn small; a failure must come back as a
// message that names the picture.

#include "Graphic.h"
#include "ImageLimits.h"

#include <QByteArrayView>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetImageLimits(SmallImageLimits());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const QByteArrayView Bytes(Data, qsizetype(Size));
    TDecodeOptions Options;
    // The last byte chooses scale and speed, so that every decoding path is reached.
    if (Size > 0) {
        Options.Jpeg.ScaleDenominator = 1 << (Data[Size - 1] & 3);
        Options.Jpeg.Fast = Data[Size - 1] & 4;
    }
    const TGraphicLoad Load = LoadGraphicFromData(Bytes, QStringLiteral("fuzz.jpg"), Options);
    if (!Load.Ok()) {
        if (!Load.Error.startsWith(QStringLiteral("Cannot read picture \"fuzz.jpg\": ")))
            std::abort();
        return 0;
    }
    const QSize S = Load.Graphic->Size();
    if (!CheckImageSize(S.width(), S.height()).isEmpty())
        std::abort();
    Load.Graphic->ToBitmap(QSize(qMin(S.width(), 40), qMin(S.height(), 40)));
    return 0;
}
