#pragma once

// What every picture harness checks of one load: a failure comes back as a message that names the
// picture; a decoded picture respects the size limits and can be drawn small.

#include "Graphic.h"
#include "ImageLimits.h"

#include <QByteArrayView>

#include <cstdlib>

// Loads Bytes as the picture Name; returns the loaded picture, or none when the reader refused it.
inline TGraphicLoad FuzzLoadGraphic(QByteArrayView Bytes, const QString& Name,
                                    const TDecodeOptions& Options = {})
{
    TGraphicLoad Load = LoadGraphicFromData(Bytes, Name, Options);
    if (!Load.Ok()) {
        if (!Load.Error.startsWith(QStringLiteral("Cannot read picture \"") + Name + QStringLiteral("\": ")))
            std::abort();
        return Load;
    }
    const QSize S = Load.Graphic->Size();
    if (!CheckImageSize(S.width(), S.height()).isEmpty())
        std::abort();
    Load.Graphic->ToBitmap(QSize(qMin(S.width(), 40), qMin(S.height(), 40)));
    return Load;
}

// The harnesses run with small limits, so that no input can make them allocate much.
#define AUTORUN_FUZZ_SMALL_LIMITS                                                                            \
    extern "C" int LLVMFuzzerInitialize(int*, char***)                                                       \
    {                                                                                                        \
        SetImageLimits(SmallImageLimits());                                                                  \
        return 0;                                                                                            \
    }
