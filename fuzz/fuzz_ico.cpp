// Fuzzes the icon reader: the loader's icon picture, and RenderIconAtSize as the project tree uses it
// on a true-colour and on an 8-bit display.

#include "Graphic.h"
#include "IconFile.h"
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
    const TGraphicLoad Load = LoadGraphicFromData(Bytes, QStringLiteral("fuzz.ico"));
    if (Load.Ok()) {
        const QSize S = Load.Graphic->Size();
        if (!CheckImageSize(S.width(), S.height()).isEmpty())
            std::abort();
        Load.Graphic->ToBitmap(QSize(16, 16));
    } else if (Load.Error.isEmpty()) {
        std::abort();
    }
    for (int Bits : {32, 8}) {
        QString Error;
        const QImage Img = RenderIconAtSize(Bytes, QSize(16, 16), Bits, &Error);
        if (Img.isNull() == Error.isEmpty())
            std::abort();
        // The image has its directory entry's size, which is at most 256 x 256.
        if (!Img.isNull() && (Img.width() > 256 || Img.height() > 256))
            std::abort();
    }
    return 0;
}
