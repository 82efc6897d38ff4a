#include "Thumbnail.h"

#include "Graphic.h"
#include "ImageLimits.h"
#include "text/Paths.h"

#include <QFile>
#include <QPainter>

#include <cmath>
#include <vector>

namespace {

double Hermite(double X)
{
    X = std::fabs(X);
    return X < 1.0 ? (2.0 * X - 3.0) * X * X + 1.0 : 0.0;
}

struct TContributor
{
    int Pixel;
    double Weight;
};

using TContributions = std::vector<std::vector<TContributor>>;

// For every destination index, the source indices that contribute and their weights.
TContributions Contributions(int SrcSize, int DstSize)
{
    // A one-pixel source, and (unlike the formula's other form, which would divide by zero) a
    // one-pixel destination, use destination / source.
    const double Scale = (SrcSize == 1 || DstSize == 1) ? double(DstSize) / SrcSize
                                                        : double(DstSize - 1) / double(SrcSize - 1);
    const bool Shrink = Scale < 1.0;
    const double Support = Shrink ? 1.0 / Scale : 1.0;
    TContributions Result(static_cast<size_t>(DstSize));
    for (int I = 0; I < DstSize; ++I) {
        const double Center = I / Scale;
        const int Left = int(std::floor(Center - Support));
        const int Right = int(std::ceil(Center + Support));
        std::vector<TContributor>& List = Result[size_t(I)];
        List.reserve(size_t(Right - Left + 1));
        for (int J = Left; J <= Right; ++J) {
            const double Weight = Shrink ? Hermite((Center - J) * Scale) * Scale : Hermite(Center - J);
            if (Weight == 0.0)
                continue;
            // Mirrored at both edges; a mirror that still falls outside (possible only through
            // rounding) is held at the edge.
            int N = J < 0 ? -J : J >= SrcSize ? SrcSize - J + SrcSize - 1 : J;
            N = qBound(0, N, SrcSize - 1);
            List.push_back({N, Weight});
        }
    }
    return Result;
}

uint Channel(double V)
{
    if (V > 255.0)
        return 255;
    if (V < 0.0)
        return 0;
    return uint(std::nearbyint(V));
}

QRgb Sum(const QRgb* Line, qsizetype Stride, const std::vector<TContributor>& List)
{
    double R = 0, G = 0, B = 0;
    for (const TContributor& C : List) {
        const QRgb P = Line[C.Pixel * Stride];
        R += qRed(P) * C.Weight;
        G += qGreen(P) * C.Weight;
        B += qBlue(P) * C.Weight;
    }
    return qRgb(int(Channel(R)), int(Channel(G)), int(Channel(B)));
}

// Round with halves to the even neighbour, as the size rule asks.
int RoundEven(double V)
{
    return int(std::nearbyint(V));
}

} // namespace

bool HermiteResample(const QImage& Source, int Width, int Height, QImage& Dest, QString* Error)
{
    if (Width < 1 || Height < 1 || Source.width() < 1 || Source.height() < 1 ||
        !CheckImageSize(Width, Height).isEmpty()) {
        if (Error)
            *Error = QString::fromLatin1(SourceTooSmallMessage);
        return false;
    }
    // Transparent parts count as black; an opaque source is taken as it is.
    QImage Src = Source;
    if (Src.format() != QImage::Format_RGB32) {
        Src = QImage(Source.size(), QImage::Format_RGB32);
        Src.fill(Qt::black);
        QPainter Painter(&Src);
        Painter.drawImage(0, 0, Source);
    }
    const int SW = Src.width(), SH = Src.height();

    // Columns: a bitmap of the destination's width and the source's height.
    QImage Work(Width, SH, QImage::Format_RGB32);
    const TContributions Across = Contributions(SW, Width);
    for (int Y = 0; Y < SH; ++Y) {
        const auto* In = reinterpret_cast<const QRgb*>(Src.constScanLine(Y));
        auto* Out = reinterpret_cast<QRgb*>(Work.scanLine(Y));
        for (int X = 0; X < Width; ++X)
            Out[X] = Sum(In, 1, Across[size_t(X)]);
    }

    // Rows.
    QImage Result(Width, Height, QImage::Format_RGB32);
    const TContributions Down = Contributions(SH, Height);
    const qsizetype Stride = Work.bytesPerLine() / qsizetype(sizeof(QRgb));
    const auto* Column = reinterpret_cast<const QRgb*>(Work.constBits());
    for (int Y = 0; Y < Height; ++Y) {
        auto* Out = reinterpret_cast<QRgb*>(Result.scanLine(Y));
        for (int X = 0; X < Width; ++X)
            Out[X] = Sum(Column + X, Stride, Down[size_t(Y)]);
    }
    Dest = Result;
    return true;
}

QSize ThumbnailSize(QSize Picture, QSize Box)
{
    const int PW = Picture.width(), PH = Picture.height(), W = Box.width(), H = Box.height();
    if (W >= PW && PH <= H)
        return Picture;
    if (W <= 0 || H <= 0 || PW <= 0 || PH <= 0)
        return {0, 0};
    const double Big = qMax(double(PW) / W, double(PH) / H);
    return {RoundEven(PW / Big), RoundEven(PH / Big)};
}

bool MakeThumbnail(const QString& FileName, int Width, int Height, bool GoodQuality, QImage& Bitmap,
                   QString* Error)
{
    auto Fail = [&](const QString& Message) {
        if (Error)
            *Error = Message;
        return false;
    };
    Bitmap = QImage(qMax(Width, 0), qMax(Height, 0), QImage::Format_RGB32);
    Bitmap.fill(Qt::black);
    if (!FileExists(FileName))
        return true;

    TGraphicFormat Format;
    TGraphicLoad Load;
    QSize PictureSize;
    if (GraphicFormatOf(FileName, Format) && Format == gfJpeg) {
        // The size comes from the header; the pixels are decoded once the scale is known.
        QByteArray Data;
        QString Reason;
        if (!ReadPictureFile(FileName, Data, Reason))
            return Fail(PictureError(FileName, Reason));
        TDecodeOptions Options;
        if (ReadJpegSize(Data, PictureSize, Reason) && Width > 0 && Height > 0) {
            if (GoodQuality) {
                // The filter only needs twice the thumbnail's pixels: libjpeg's reduced decoding
                // gives them for a fraction of the work, and the result looks the same.
                const QSize Size = ThumbnailSize(PictureSize, QSize(Width, Height));
                Options.Jpeg.ScaleDenominator = JpegScaleFor(PictureSize, Size * 2);
            } else {
                const double Small =
                    qMin(double(PictureSize.width()) / Width, double(PictureSize.height()) / Height);
                Options.Jpeg.ScaleDenominator = Small >= 4.0 ? 4 : Small >= 2.0 ? 2 : 1;
            }
        }
        // Data that is no JPEG after all (a PNG named .jpg) is read as what it is, or refused with
        // the decoder's reason.
        Load = LoadGraphicFromData(Data, FileName, Options);
        if (Load.Ok() && (Load.Graphic->Format() != gfJpeg || PictureSize.isEmpty()))
            PictureSize = Load.Graphic->Size();
    } else {
        Load = LoadGraphic(FileName);
        if (Load.Ok())
            PictureSize = Load.Graphic->Size();
    }
    if (!Load.Ok())
        return Fail(Load.Error);

    const QSize Size = ThumbnailSize(PictureSize, QSize(Width, Height));
    Bitmap = QImage(Size, QImage::Format_RGB32);
    Bitmap.fill(Qt::black);
    const bool Fits = Size.width() >= PictureSize.width() && PictureSize.height() <= Size.height();
    if (!Fits && GoodQuality) {
        QImage Resampled;
        QString Reason;
        if (!HermiteResample(Load.Graphic->ToBitmap(), Size.width(), Size.height(), Resampled, &Reason))
            return Fail(Reason);
        Bitmap = Resampled;
        return true;
    }
    if (Bitmap.isNull())
        return true;
    QPainter Painter(&Bitmap);
    Load.Graphic->Draw(Painter, QRectF(QPointF(0, 0), Fits ? QSizeF(PictureSize) : QSizeF(Size)));
    return true;
}
