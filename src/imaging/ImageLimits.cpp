#include "ImageLimits.h"

namespace {
TImageLimits CurrentLimits;
} // namespace

const TImageLimits& ImageLimits()
{
    return CurrentLimits;
}

void SetImageLimits(const TImageLimits& Limits)
{
    CurrentLimits = Limits;
}

QString CheckImageSize(qint64 Width, qint64 Height)
{
    const TImageLimits& L = CurrentLimits;
    if (Width <= 0 || Height <= 0)
        return QStringLiteral("size %1 x %2 is empty").arg(Width).arg(Height);
    if (Width > L.MaxSide)
        return QStringLiteral("width %1 is above the limit of %2").arg(Width).arg(L.MaxSide);
    if (Height > L.MaxSide)
        return QStringLiteral("height %1 is above the limit of %2").arg(Height).arg(L.MaxSide);
    if (Width * Height > L.MaxPixels)
        return QStringLiteral("%1 x %2 pixels are above the limit of %3 pixels")
            .arg(Width)
            .arg(Height)
            .arg(L.MaxPixels);
    return {};
}
