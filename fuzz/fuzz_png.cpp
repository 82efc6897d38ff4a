// Fuzzes the PNG reader (libpng with the loader's limits).
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
    const TGraphicLoad Load = LoadGraphicFromData(Bytes, QStringLiteral("fuzz.png"), Options);
    if (!Load.Ok()) {
        if (!Load.Error.startsWith(QStringLiteral("Cannot read picture \"fuzz.png\": ")))
            std::abort();
        return 0;
    }
    const QSize S = Load.Graphic->Size();
    if (!CheckImageSize(S.width(), S.height()).isEmpty())
        std::abort();
    Load.Graphic->ToBitmap(QSize(qMin(S.width(), 40), qMin(S.height(), 40)));
    return 0;
}
