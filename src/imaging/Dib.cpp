#include "Dib.h"

#include "ByteReader.h"
#include "ImageLimits.h"

#include <bit>

namespace {

// A mask's bits scaled to 0..255. Fields of up to eight bits repeat their bit pattern downwards
// (five bits abcde become abcdeabc), so that the largest value becomes 255; wider fields round.
struct TChannel
{
    quint32 Mask = 0;
    int Shift = 0;
    int Bits = 0;
    quint32 Max = 0;

    explicit TChannel(quint32 AMask) : Mask(AMask)
    {
        if (Mask) {
            Shift = std::countr_zero(Mask);
            Max = Mask >> Shift;
            Bits = std::bit_width(Max);
        }
    }
    int Get(quint32 Pixel, int Default) const
    {
        if (!Max)
            return Default;
        const quint32 V = (Pixel & Mask) >> Shift;
        if (Bits > 8)
            return int((quint64(V) * 255 + Max / 2) / Max);
        quint32 Out = 0;
        int Filled = 0;
        while (Filled < 8) {
            Out = (Out << Bits) | V;
            Filled += Bits;
        }
        return int(Out >> (Filled - 8));
    }
};

QRgb PaletteColour(const TDibHeader& H, uint Index)
{
    return Index < uint(H.Palette.size()) ? H.Palette[Index] : qRgb(0, 0, 0);
}

QImage NewImage(qint64 Width, qint64 Height, bool Alpha)
{
    const QString Reason = CheckImageSize(Width, Height);
    if (!Reason.isEmpty())
        ImageFail(Reason);
    QImage Img(int(Width), int(Height), Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (Img.isNull())
        ImageFail(QStringLiteral("not enough memory for %1 x %2 pixels").arg(Width).arg(Height));
    return Img;
}

// Run-length encoded pixels (4 or 8 bits), written straight into the picture. Pixels the data never
// reaches keep palette entry 0.
QImage DecodeRle(const TDibHeader& H, qint64 Rows, QByteArrayView Bits)
{
    const bool Four = H.Compression == dcRle4;
    const qint64 W = H.Width;
    QImage Img = NewImage(W, Rows, false);
    Img.fill(PaletteColour(H, 0));
    auto Put = [&](qint64 X, qint64 Y, uint V) {
        if (X < W)
            reinterpret_cast<QRgb*>(Img.scanLine(int(H.TopDown ? Y : Rows - 1 - Y)))[X] = PaletteColour(H, V);
    };
    const auto* P = reinterpret_cast<const uchar*>(Bits.data());
    const qsizetype N = Bits.size();
    qsizetype Pos = 0;
    qint64 X = 0, Y = 0;
    auto Need = [&](qsizetype Count) {
        if (Count > N - Pos)
            ImageFail(QStringLiteral("RLE data ends early"));
    };
    auto RowCheck = [&] {
        if (Y >= Rows)
            ImageFail(QStringLiteral("bad RLE data: pixels past the last row"));
    };
    while (Pos < N) {
        Need(2);
        const uint Count = P[Pos];
        const uint Value = P[Pos + 1];
        Pos += 2;
        if (Count > 0) {
            RowCheck();
            // A run past the right edge is cut off there.
            for (uint I = 0; I < Count && X < W; ++I, ++X)
                Put(X, Y, Four ? ((I & 1) ? Value & 15 : Value >> 4) : Value);
            continue;
        }
        if (Value == 0) { // end of line
            X = 0;
            ++Y;
        } else if (Value == 1) { // end of bitmap
            break;
        } else if (Value == 2) { // delta
            Need(2);
            X += P[Pos];
            Y += P[Pos + 1];
            Pos += 2;
            if (Y > Rows || (Y == Rows && X > 0) || X > W)
                ImageFail(QStringLiteral("bad RLE data: a delta leaves the picture"));
        } else { // absolute run of Value pixels, padded to a 16-bit boundary
            RowCheck();
            const qsizetype Bytes = Four ? (Value + 1) / 2 : Value;
            const qsizetype Padded = (Bytes + 1) & ~qsizetype(1);
            Need(Bytes);
            for (uint I = 0; I < Value; ++I, ++X) {
                const uint B = P[Pos + (Four ? I / 2 : I)];
                Put(X, Y, Four ? ((I & 1) ? B & 15 : B >> 4) : B);
            }
            Pos += qMin(Padded, N - Pos);
        }
    }
    return Img;
}

} // namespace

qint64 DibRowBytes(qint64 Width, int BitCount)
{
    return ((Width * BitCount + 31) / 32) * 4;
}

namespace {

// OS/2 1.x core header: RGBTRIPLE palette of 2^bits entries.
void ReadCoreHeader(TByteReader& R, TDibHeader& H)
{
    H.HeaderSize = 12;
    H.Width = R.U16();
    H.Height = R.U16();
    R.U16(); // planes
    H.BitCount = R.U16();
    if (H.BitCount <= 8) {
        const qint64 Count = qint64(1) << H.BitCount;
        if (Count * 3 > R.Left())
            ImageFail(QStringLiteral("palette of %1 colours runs past the data").arg(Count));
        for (qint64 I = 0; I < Count; ++I) {
            const quint8 B = R.U8(), G = R.U8(), Rd = R.U8();
            H.Palette.append(qRgb(Rd, G, B));
        }
    }
}

// BITMAPINFOHEADER and its longer forms, OS/2 2.x headers; masks and RGBQUAD palette after it.
void ReadInfoHeader(TByteReader& R, quint32 Size, TDibHeader& H)
{
    H.HeaderSize = int(Size);
    // Fields past the stored size read as zero (OS/2 2.x headers may be cut short).
    QByteArray Full(124, '\0');
    const QByteArrayView Stored = R.Bytes(Size - 4);
    std::memcpy(Full.data(), Stored.data(), size_t(Stored.size()));
    TByteReader F{QByteArrayView(Full)};
    H.Width = F.I32();
    const qint64 StoredHeight = F.I32();
    F.U16(); // planes
    H.BitCount = F.U16();
    H.Compression = F.U32();
    H.ImageSize = F.U32();
    F.Skip(8); // resolution
    const quint32 ColoursUsed = F.U32();
    F.U32(); // colours important
    const bool Os2 = Size != 40 && Size != 52 && Size != 56 && Size != 108 && Size != 124;
    if (Os2 && (H.Compression == 3 || H.Compression == 4))
        ImageFail(QStringLiteral("OS/2 compression %1 is not supported").arg(H.Compression));
    H.TopDown = StoredHeight < 0;
    H.Height = H.TopDown ? -StoredHeight : StoredHeight;
    if (H.Width < 0)
        ImageFail(QStringLiteral("negative width %1").arg(H.Width));
    if (H.Compression == dcBitFields || H.Compression == dcAlphaBitFields) {
        if (H.BitCount != 16 && H.BitCount != 32)
            ImageFail(QStringLiteral("bit-field compression with %1 bits per pixel").arg(H.BitCount));
        TByteReader& M = Size >= 52 ? F : R; // masks inside a long header, else after it
        H.RedMask = M.U32();
        H.GreenMask = M.U32();
        H.BlueMask = M.U32();
        if (Size >= 56 || (Size < 52 && H.Compression == dcAlphaBitFields))
            H.AlphaMask = M.U32();
        H.ExplicitMasks = true;
    }
    // A count of 0 means all 2^bits colours for the small depths; larger depths need no palette
    // but may carry one, which is skipped.
    qint64 Count = ColoursUsed;
    if (Count == 0 && H.BitCount <= 8)
        Count = qint64(1) << H.BitCount;
    if (Count > R.Left() / 4)
        ImageFail(QStringLiteral("palette of %1 colours runs past the data").arg(Count));
    const qint64 Kept = H.BitCount <= 8 ? qMin<qint64>(Count, qint64(1) << H.BitCount) : 0;
    for (qint64 I = 0; I < Count; ++I) {
        const quint8 B = R.U8(), G = R.U8(), Rd = R.U8();
        R.U8();
        if (I < Kept)
            H.Palette.append(qRgb(Rd, G, B));
    }
}

} // namespace

TDibHeader ReadDibHeader(QByteArrayView Info)
{
    TDibHeader H;
    TByteReader R(Info);
    const quint32 Size = R.U32();
    if (Size == 12)
        ReadCoreHeader(R, H);
    else if (Size >= 16 && Size <= 124)
        ReadInfoHeader(R, Size, H);
    else
        ImageFail(QStringLiteral("unknown bitmap header size %1").arg(Size));
    H.InfoSize = R.Position();
    switch (H.BitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        ImageFail(QStringLiteral("%1 bits per pixel are not supported").arg(H.BitCount));
    }
    if (H.Compression == dcJpeg || H.Compression == dcPng)
        ImageFail(QStringLiteral("embedded %1 data in a bitmap is not supported")
                      .arg(H.Compression == dcJpeg ? QStringLiteral("JPEG") : QStringLiteral("PNG")));
    if (H.Compression > dcAlphaBitFields)
        ImageFail(QStringLiteral("unknown compression %1").arg(H.Compression));
    if (H.Compression == dcRle8 && H.BitCount != 8)
        ImageFail(QStringLiteral("RLE8 compression with %1 bits per pixel").arg(H.BitCount));
    if (H.Compression == dcRle4 && H.BitCount != 4)
        ImageFail(QStringLiteral("RLE4 compression with %1 bits per pixel").arg(H.BitCount));
    return H;
}

QImage DecodeDibPixels(const TDibHeader& H, qint64 Rows, QByteArrayView Bits, bool UseAlpha)
{
    if (H.Compression == dcRle4 || H.Compression == dcRle8)
        return DecodeRle(H, Rows, Bits);
    const QString SizeReason = CheckImageSize(H.Width, Rows);
    if (!SizeReason.isEmpty())
        ImageFail(SizeReason);
    const qint64 W = H.Width;
    const qint64 Stride = DibRowBytes(W, H.BitCount);
    if (Stride * Rows > Bits.size())
        ImageFail(
            QStringLiteral("pixel data ends early (%1 of %2 bytes)").arg(Bits.size()).arg(Stride * Rows));

    quint32 RM = H.RedMask, GM = H.GreenMask, BM = H.BlueMask, AM = H.AlphaMask;
    if (!H.ExplicitMasks) {
        if (H.BitCount == 16) {
            RM = 0x7C00, GM = 0x03E0, BM = 0x001F, AM = 0;
        } else {
            RM = 0x00FF0000, GM = 0x0000FF00, BM = 0x000000FF, AM = 0xFF000000;
        }
    }
    if (!UseAlpha)
        AM = 0;
    const TChannel Red(RM), Green(GM), Blue(BM), Alpha(AM);
    const bool Masked = H.BitCount == 16 || (H.BitCount == 32 && H.ExplicitMasks);

    QImage Img = NewImage(W, Rows, AM != 0);
    const auto* Base = reinterpret_cast<const uchar*>(Bits.data());
    for (qint64 Row = 0; Row < Rows; ++Row) {
        const uchar* S = Base + Row * Stride;
        auto* D = reinterpret_cast<QRgb*>(Img.scanLine(int(H.TopDown ? Row : Rows - 1 - Row)));
        switch (H.BitCount) {
        case 1:
        case 2:
        case 4:
        case 8: {
            const int Bpp = H.BitCount;
            const uint Mask = (1u << Bpp) - 1;
            for (qint64 X = 0; X < W; ++X) {
                const qint64 Bit = X * Bpp;
                const uint V = (S[Bit / 8] >> (8 - Bpp - Bit % 8)) & Mask;
                D[X] = PaletteColour(H, V);
            }
            break;
        }
        case 24:
            for (qint64 X = 0; X < W; ++X, S += 3)
                D[X] = qRgb(S[2], S[1], S[0]);
            break;
        case 16:
        case 32:
            if (!Masked) {
                for (qint64 X = 0; X < W; ++X, S += 4)
                    D[X] = AM ? qRgba(S[2], S[1], S[0], S[3]) : qRgb(S[2], S[1], S[0]);
                break;
            }
            for (qint64 X = 0; X < W; ++X) {
                quint32 V;
                if (H.BitCount == 16) {
                    V = quint32(S[0]) | quint32(S[1]) << 8;
                    S += 2;
                } else {
                    V = qFromLittleEndian<quint32>(S);
                    S += 4;
                }
                D[X] = qRgba(Red.Get(V, 0), Green.Get(V, 0), Blue.Get(V, 0), Alpha.Get(V, 255));
            }
            break;
        }
    }
    return Img;
}

bool DecodeBmp(QByteArrayView Data, QImage& Out, QString& Error)
{
    try {
        TByteReader R(Data);
        if (Data.size() < 2 || Data[0] != 'B' || Data[1] != 'M')
            ImageFail(QStringLiteral("no BMP signature"));
        R.Skip(10);
        const quint32 OffBits = R.U32();
        const QByteArrayView Info = Data.sliced(14);
        const TDibHeader H = ReadDibHeader(Info);
        // The file header says where the pixels are; a value that cannot be right (inside the
        // header or past the end) is ignored and the pixels taken from after the palette.
        qsizetype BitsAt = 14 + H.InfoSize;
        if (OffBits >= quint32(14 + H.HeaderSize) && OffBits <= quint32(Data.size()))
            BitsAt = qsizetype(OffBits);
        const bool Alpha = H.ExplicitMasks && H.AlphaMask != 0;
        QImage Img = DecodeDibPixels(H, H.Height, Data.sliced(BitsAt), Alpha);
        // A bit-field alpha channel that is zero everywhere is an unused channel, not an invisible
        // picture.
        if (Img.hasAlphaChannel()) {
            bool AnyAlpha = false;
            for (int Y = 0; Y < Img.height() && !AnyAlpha; ++Y) {
                const auto* L = reinterpret_cast<const QRgb*>(Img.constScanLine(Y));
                for (int X = 0; X < Img.width(); ++X)
                    if (qAlpha(L[X])) {
                        AnyAlpha = true;
                        break;
                    }
            }
            if (!AnyAlpha)
                Img = Img.convertToFormat(QImage::Format_RGB32);
        }
        Out = Img;
        return true;
    } catch (const EImageData& E) {
        Error = E.Reason;
        return false;
    }
}

bool DecodeDib(QByteArrayView Info, QByteArrayView Bits, QImage& Out, QString& Error)
{
    try {
        const TDibHeader H = ReadDibHeader(Info);
        if (Bits.isEmpty())
            Bits = Info.sliced(H.InfoSize);
        Out = DecodeDibPixels(H, H.Height, Bits, H.ExplicitMasks && H.AlphaMask != 0);
        return true;
    } catch (const EImageData& E) {
        Error = E.Reason;
        return false;
    }
}
