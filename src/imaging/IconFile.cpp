#include "IconFile.h"

#include "ByteReader.h"
#include "Dib.h"
#include "ImageLimits.h"
#include "PngDecoder.h"
#include "model/IconImage.h"

namespace {

bool AnyAlpha(const QImage& Img)
{
    for (int Y = 0; Y < Img.height(); ++Y) {
        const auto* L = reinterpret_cast<const QRgb*>(Img.constScanLine(Y));
        for (int X = 0; X < Img.width(); ++X)
            if (qAlpha(L[X]))
                return true;
    }
    return false;
}

// Number of colours an entry claims; 0 stands for "more than 256".
qint64 EntryColours(const TIconEntry& E)
{
    return E.ColourCount ? E.ColourCount : std::numeric_limits<qint64>::max();
}

} // namespace

bool ReadIconDirectory(QByteArrayView Data, TIconDirectory& Directory, QString& Error)
{
    if (Data.size() < 6) {
        Error = QStringLiteral("icon file is too short");
        return false;
    }
    const quint16 Type = qFromLittleEndian<quint16>(Data.data() + 2);
    if (Type != iftIcon && Type != iftCursor) {
        Error = QStringLiteral("not an icon or cursor file (type %1)").arg(Type);
        return false;
    }
    // A cursor directory is an icon directory with another type word; the model's parser checks
    // both by the same rules.
    QList<TIconDirEntry> Parsed;
    bool Ok;
    if (Type == iftIcon) {
        Ok = ParseIconDirectory(Data, &Parsed);
    } else {
        QByteArray AsIcon = Data.toByteArray();
        AsIcon[2] = 1;
        Ok = ParseIconDirectory(AsIcon, &Parsed);
    }
    if (!Ok) {
        Error = QStringLiteral("damaged icon directory");
        return false;
    }
    if (Parsed.size() > ImageLimits().MaxIconEntries) {
        Error = QStringLiteral("%1 images are above the limit of %2")
                    .arg(Parsed.size())
                    .arg(ImageLimits().MaxIconEntries);
        return false;
    }
    Directory.Type = TIconFileType(Type);
    Directory.Entries.clear();
    const auto* P = reinterpret_cast<const uchar*>(Data.data());
    for (qsizetype I = 0; I < Parsed.size(); ++I) {
        const uchar* Raw = P + 6 + I * 16;
        TIconEntry E;
        E.Width = Parsed[I].Width;
        E.Height = Parsed[I].Height;
        E.ColourCount = Raw[2];
        E.Planes = qFromLittleEndian<quint16>(Raw + 4);
        E.BitCount = qFromLittleEndian<quint16>(Raw + 6);
        E.Size = Parsed[I].BytesInRes;
        E.Offset = Parsed[I].ImageOffset;
        Directory.Entries.append(E);
    }
    return true;
}

bool DecodeIconImage(QByteArrayView Data, const TIconEntry& Entry, QImage& Out, QString& Error)
{
    if (quint64(Entry.Offset) + Entry.Size > quint64(Data.size())) {
        Error = QStringLiteral("icon image lies outside the file");
        return false;
    }
    const QByteArrayView View = Data.sliced(Entry.Offset, Entry.Size);
    const int MaxSide = ImageLimits().MaxIconSide;
    auto TooLarge = [&](qint64 W, qint64 H) {
        if (W <= MaxSide && H <= MaxSide)
            return false;
        Error = QStringLiteral("icon image of %1 x %2 pixels is above the limit of %3")
                    .arg(W)
                    .arg(H)
                    .arg(MaxSide);
        return true;
    };
    if (HasPngSignature(View)) {
        // The size in the header chunk, checked before the pixels are inflated.
        if (View.size() >= 24 &&
            TooLarge(qFromBigEndian<quint32>(View.data() + 16), qFromBigEndian<quint32>(View.data() + 20)))
            return false;
        return DecodePng(View, Out, Error);
    }
    try {
        const TDibHeader H = ReadDibHeader(View);
        if (TooLarge(H.Width, H.Height / 2))
            return false;
        if (H.Compression != dcRgb && H.Compression != dcBitFields && H.Compression != dcAlphaBitFields)
            ImageFail(QStringLiteral("compressed icon image (compression %1)").arg(H.Compression));
        // The stored height counts the colour rows and the mask rows.
        const qint64 Rows = H.Height / 2;
        if (Rows <= 0)
            ImageFail(QStringLiteral("icon image has no rows"));
        const QByteArrayView Bits = View.sliced(H.InfoSize);
        QImage Img = DecodeDibPixels(H, Rows, Bits, H.BitCount == 32);
        if (H.BitCount == 32 && AnyAlpha(Img)) {
            Out = Img.convertToFormat(QImage::Format_ARGB32);
            return true;
        }
        Img = Img.convertToFormat(QImage::Format_ARGB32);
        const qint64 XorBytes = DibRowBytes(H.Width, H.BitCount) * Rows;
        const qint64 MaskStride = DibRowBytes(H.Width, 1);
        // Without a complete mask the image is shown opaque.
        if (Bits.size() - XorBytes >= MaskStride * Rows) {
            const auto* Mask = reinterpret_cast<const uchar*>(Bits.data()) + XorBytes;
            for (qint64 Row = 0; Row < Rows; ++Row) {
                const uchar* M = Mask + Row * MaskStride;
                auto* D = reinterpret_cast<QRgb*>(Img.scanLine(int(H.TopDown ? Row : Rows - 1 - Row)));
                for (qint64 X = 0; X < H.Width; ++X)
                    D[X] = (M[X / 8] >> (7 - X % 8)) & 1 ? qRgba(0, 0, 0, 0) : (D[X] | 0xFF000000u);
            }
        } else {
            for (int Y = 0; Y < Img.height(); ++Y) {
                auto* D = reinterpret_cast<QRgb*>(Img.scanLine(Y));
                for (int X = 0; X < Img.width(); ++X)
                    D[X] |= 0xFF000000u;
            }
        }
        Out = Img;
        return true;
    } catch (const EImageData& E) {
        Error = E.Reason;
        return false;
    }
}

int DisplayColours(int BitsPerPixel)
{
    return BitsPerPixel >= 1 && BitsPerPixel <= 8 ? 1 << BitsPerPixel : -1;
}

int ChooseIconEntry(const QList<TIconEntry>& Entries, QSize Wanted, int DisplayBitsPerPixel)
{
    if (Entries.isEmpty())
        return -1;
    const int Display = DisplayColours(DisplayBitsPerPixel);
    const qint64 DisplayCount = Display < 0 ? std::numeric_limits<qint64>::max() : Display;
    int Best = 0;
    for (int I = 1; I < Entries.size(); ++I) {
        const TIconEntry& E = Entries[I];
        const TIconEntry& B = Entries[Best];
        const qint64 Colours = EntryColours(E);
        if (Colours > DisplayCount || Colours < EntryColours(B))
            continue;
        const int DW = E.Width - Wanted.width(), DH = E.Height - Wanted.height();
        const int BW = B.Width - Wanted.width(), BH = B.Height - Wanted.height();
        if (qAbs(DW) > qAbs(BW) || (DW > 0 && BW < DW) || qAbs(DH) > qAbs(BH) || (DH > 0 && DH > BH))
            continue;
        Best = I;
    }
    return Best;
}

QImage RenderIconAtSize(QByteArrayView Icon, QSize Wanted, int DisplayBitsPerPixel, QString* Error)
{
    QString Reason;
    TIconDirectory Dir;
    QImage Img;
    if (ReadIconDirectory(Icon, Dir, Reason)) {
        const TIconEntry& E = Dir.Entries[ChooseIconEntry(Dir.Entries, Wanted, DisplayBitsPerPixel)];
        if (DecodeIconImage(Icon, E, Img, Reason)) {
            if (Img.size() != QSize(E.Width, E.Height))
                Img = Img.scaled(E.Width, E.Height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            return Img;
        }
    }
    if (Error)
        *Error = QStringLiteral("Cannot render icon: ") + Reason;
    return {};
}
