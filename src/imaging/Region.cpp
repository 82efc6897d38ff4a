#include "Region.h"

#include <QList>
#include <QRect>

QRegion RegionFromBitmap(const QImage& Bitmap)
{
    if (Bitmap.isNull() || Bitmap.width() < 1 || Bitmap.height() < 1)
        return {};
    const QImage Img =
        Bitmap.format() == QImage::Format_RGB32 ? Bitmap : Bitmap.convertToFormat(QImage::Format_RGB32);
    const int W = Img.width(), H = Img.height();
    const QRgb Key = Img.pixel(0, 0) & 0x00FFFFFFu;

    // Rectangles of finished bands, and the runs of the band still growing downwards.
    QList<QRect> Rects;
    QList<QPair<int, int>> Band, Row;
    int BandTop = 0;
    auto Flush = [&](int Bottom) {
        for (const auto& [Left, Right] : Band)
            Rects.append(QRect(QPoint(Left, BandTop), QPoint(Right - 1, Bottom - 1)));
    };
    for (int Y = 0; Y < H; ++Y) {
        const auto* Line = reinterpret_cast<const QRgb*>(Img.constScanLine(Y));
        Row.clear();
        int Start = -1;
        for (int X = 0; X < W; ++X) {
            const bool Opaque = (Line[X] & 0x00FFFFFFu) != Key;
            if (Opaque && Start < 0) {
                Start = X;
            } else if (!Opaque && Start >= 0) {
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
