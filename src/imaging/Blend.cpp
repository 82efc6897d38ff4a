#include "Blend.h"

#include <cmath>

TOpacityTable MakeOpacityTable(double Opacity)
{
    TOpacityTable T{};
    for (int I = 0; I < 256; ++I) {
        const double V = std::trunc(I * Opacity);
        if (!std::isfinite(V))
            continue;
        // The low eight bits of the integer, negative values in two's complement.
        double Low = std::fmod(V, 256.0);
        if (Low < 0)
            Low += 256.0;
        T[size_t(I)] = uchar(Low);
    }
    return T;
}

namespace {

inline uchar BlendByte(uchar S, uchar D, const TOpacityTable& T)
{
    if (S >= D)
        return uchar(D + T[size_t(S - D)]);
    return uchar(D + T[size_t(256 - (D - S))] - T[255]);
}

} // namespace

QRgb TransparentColour(const QImage& Bitmap)
{
    if (Bitmap.isNull())
        return 0;
    return Bitmap.pixel(0, Bitmap.height() - 1);
}

void BlendBitmap(QImage& Dest, const QImage& Src, const TOpacityTable& T, QRgb Key, int X, int Y)
{
    if (Dest.isNull() || Src.isNull())
        return;
    const qint64 DW = Dest.width(), DH = Dest.height(), SW = Src.width(), SH = Src.height();
    if (X > DW - 1 || Y > DH - 1 || qint64(X) + SW - 1 < 0 || qint64(Y) + SH - 1 < 0)
        return;
    // A destination with an alpha channel is worked on as ARGB32 (four bytes), any other as RGB32
    // (three channels and a fixed fourth byte).
    const bool FourBytes = Dest.hasAlphaChannel();
    const QImage::Format Work = FourBytes ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (Dest.format() != Work)
        Dest = Dest.convertToFormat(Work);
    const QImage S = Src.format() == Dest.format() ? Src : Src.convertToFormat(Dest.format());
    const QRgb KeyColour = Key & 0x00FFFFFFu;

    const qint64 StartX = qMax<qint64>(0, -qint64(X)), StartY = qMax<qint64>(0, -qint64(Y));
    const qint64 EndX = qMin<qint64>(SW, DW - X), EndY = qMin<qint64>(SH, DH - Y);
    for (qint64 SY = StartY; SY < EndY; ++SY) {
        const auto* In = reinterpret_cast<const QRgb*>(S.constScanLine(int(SY)));
        auto* Out = reinterpret_cast<QRgb*>(Dest.scanLine(int(SY + Y)));
        for (qint64 SX = StartX; SX < EndX; ++SX) {
            const QRgb SP = In[SX];
            if ((SP & 0x00FFFFFFu) == KeyColour)
                continue;
            QRgb& DP = Out[SX + X];
            const uchar R = BlendByte(uchar(qRed(SP)), uchar(qRed(DP)), T);
            const uchar G = BlendByte(uchar(qGreen(SP)), uchar(qGreen(DP)), T);
            const uchar B = BlendByte(uchar(qBlue(SP)), uchar(qBlue(DP)), T);
            const uchar A = FourBytes ? BlendByte(0, uchar(qAlpha(DP)), T) : 0xFF;
            DP = qRgba(R, G, B, A);
        }
    }
}

QImage BlendWithBackground(QImage& Background, const QImage& Picture, const TOpacityTable& T, int X, int Y)
{
    if (Picture.isNull())
        return {};
    BlendBitmap(Background, Picture, T, TransparentColour(Picture), X, Y);
    // A picture wholly off the background leaves it untouched, in whatever layout it came.
    const QImage::Format Work = Background.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (!Background.isNull() && Background.format() != Work)
        Background = Background.convertToFormat(Work);
    // Where no background lies under the picture nothing was composed: the picture keeps its own
    // pixels there (black would be the transparent colour of most buttons, and they would vanish).
    QImage Result = Picture.convertToFormat(Work);
    if (!Background.isNull()) {
        for (int Row = 0; Row < Result.height(); ++Row) {
            const qint64 BY = qint64(Y) + Row;
            if (BY < 0 || BY >= Background.height())
                continue;
            const auto* In = reinterpret_cast<const QRgb*>(Background.constScanLine(int(BY)));
            auto* Out = reinterpret_cast<QRgb*>(Result.scanLine(Row));
            for (int Col = 0; Col < Result.width(); ++Col) {
                const qint64 BX = qint64(X) + Col;
                if (BX >= 0 && BX < Background.width())
                    Out[Col] = In[BX];
            }
        }
    }
    return Result;
}
