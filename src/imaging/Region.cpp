#include "Region.h"

#include <QList>
#include <QRect>

namespace {

// Runs of the pixels In(X, Y) accepts, row by row; consecutive rows with the same runs share one
// rectangle. The rectangles come out banded as QRegion::setRects wants them.
template <class TInside> QRegion RegionOfRuns(int W, int H, QPoint Offset, TInside In)
{
    QList<QRect> Rects;
    QList<QPair<int, int>> Band, Row;
    int BandTop = 0;
    auto Flush = [&](int Bottom) {
        for (const auto& [Left, Right] : Band)
            Rects.append(QRect(QPoint(Left, BandTop), QPoint(Right - 1, Bottom - 1)).translated(Offset));
    };
    for (int Y = 0; Y < H; ++Y) {
        Row.clear();
        int Start = -1;
        for (int X = 0; X < W; ++X) {
            const bool Inside = In(X, Y);
            if (Inside && Start < 0) {
                Start = X;
            } else if (!Inside && Start >= 0) {
                Row.append({Start, X});
                Start = -1;
            }
        }
        if (Start >= 0)
            Row.append({Start, W});
        if (Row != Band) {
            Flush(Y);
            Band = Row;
            BandTop = Y;
        }
    }
    Flush(H);
    QRegion Region;
    if (!Rects.isEmpty())
        Region.setRects(Rects.constData(), int(Rects.size()));
    return Region;
}

} // namespace

QRegion RegionFromBitmap(const QImage& Bitmap)
{
    if (Bitmap.isNull() || Bitmap.width() < 1 || Bitmap.height() < 1)
        return {};
    const QImage Img =
        Bitmap.format() == QImage::Format_RGB32 ? Bitmap : Bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb Key = Img.pixel(0, 0) & 0x00FFFFFFu;
    return RegionOfRuns(Img.width(), Img.height(), {}, [&](int X, int Y) {
        return (reinterpret_cast<const QRgb*>(Img.constScanLine(Y))[X] & 0x00FFFFFFu) != Key;
    });
}

QRegion RegionFromMask(const QImage& Mask, QPoint Offset)
{
    if (Mask.isNull())
        return {};
    const QImage Img =
        Mask.format() == QImage::Format_Alpha8 ? Mask : Mask.convertToFormat(QImage::Format_Alpha8);
    return RegionOfRuns(Img.width(), Img.height(), Offset,
                        [&](int X, int Y) { return Img.constScanLine(Y)[X] >= 128; });
}
