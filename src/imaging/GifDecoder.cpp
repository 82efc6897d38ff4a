#include "GifDecoder.h"

#include "ImageLimits.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct TGifSource
{
    QByteArrayView Data;
    qsizetype Pos = 0;
};

int ReadGifBytes(GifFileType* Gif, GifByteType* Out, int Length)
{
    auto* S = static_cast<TGifSource*>(Gif->UserData);
    const qsizetype Count = qMin<qsizetype>(qMax(Length, 0), S->Data.size() - S->Pos);
    std::memcpy(Out, S->Data.data() + S->Pos, size_t(Count));
    S->Pos += Count;
    return int(Count);
}

struct TGifCloser
{
    void operator()(GifFileType* Gif) const
    {
        int Ignored = 0;
        DGifCloseFile(Gif, &Ignored);
    }
};

QString GifError(int Code)
{
    const char* Text = GifErrorString(Code);
    return Text ? QString::fromLatin1(Text) : QStringLiteral("GIF error %1").arg(Code);
}

// Rows of an interlaced frame arrive in four passes: every 8th row from 0, every 8th from 4, every
// 4th from 2, every 2nd from 1.
int InterlacedRow(int Index, int Height)
{
    const int Starts[4] = {0, 4, 2, 1};
    const int Steps[4] = {8, 8, 4, 2};
    for (int Pass = 0; Pass < 4; ++Pass) {
        const int Count = Height > Starts[Pass] ? (Height - Starts[Pass] + Steps[Pass] - 1) / Steps[Pass] : 0;
        if (Index < Count)
            return Starts[Pass] + Index * Steps[Pass];
        Index -= Count;
    }
    return -1;
}

// giflib reads each data sub-block whole, so in a file cut inside one it would lose every pixel of that
// block. For such a file this gives a copy whose last sub-block ends where the file does; for any other
// an empty array. Only the first frame is looked at: it is the one shown.
QByteArray WithCutBlockShortened(QByteArrayView Data)
{
    const qsizetype N = Data.size();
    const auto At = [&](qsizetype I) { return uchar(Data[I]); };
    const auto TableSize = [](uchar Flags) { return (Flags & 0x80) ? qsizetype(3) << ((Flags & 7) + 1) : 0; };
    if (N < 13)
        return {};
    qsizetype Pos = 13 + TableSize(At(10));
    while (Pos < N) {
        if (At(Pos) == 0x21) {
            Pos += 2;
            while (Pos < N) {
                const qsizetype Size = At(Pos);
                Pos += 1 + Size;
                if (Size == 0)
                    break;
            }
            continue;
        }
        if (At(Pos) != 0x2C || N - Pos < 10)
            return {};
        Pos += 10 + TableSize(At(Pos + 9)) + 1; // descriptor, local table, LZW code size
        while (Pos < N) {
            const qsizetype Size = At(Pos);
            if (Size == 0)
                return {};
            if (Size > N - Pos - 1) {
                QByteArray Copy = Data.first(Pos).toByteArray();
                if (N - Pos - 1 > 0)
                    Copy += char(N - Pos - 1) + Data.sliced(Pos + 1).toByteArray();
                return Copy;
            }
            Pos += 1 + Size;
        }
        return {};
    }
    return {};
}

} // namespace

bool DecodeGif(QByteArrayView Data, QImage& Out, QString& Error)
{
    const QByteArray Shortened = WithCutBlockShortened(Data);
    TGifSource Source{Shortened.isEmpty() ? Data : QByteArrayView(Shortened), 0};
    int Code = 0;
    std::unique_ptr<GifFileType, TGifCloser> Gif(DGifOpen(&Source, ReadGifBytes, &Code));
    if (!Gif) {
        Error = GifError(Code);
        return false;
    }
    int Transparent = -1;
    for (;;) {
        GifRecordType Type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(Gif.get(), &Type) == GIF_ERROR) {
            Error = GifError(Gif->Error);
            return false;
        }
        if (Type == TERMINATE_RECORD_TYPE) {
            Error = QStringLiteral("contains no image");
            return false;
        }
        if (Type == EXTENSION_RECORD_TYPE) {
            int Function = 0;
            GifByteType* Block = nullptr;
            if (DGifGetExtension(Gif.get(), &Function, &Block) == GIF_ERROR) {
                Error = GifError(Gif->Error);
                return false;
            }
            // Graphic control: flags, delay (2 bytes), transparent index.
            if (Function == GRAPHICS_EXT_FUNC_CODE && Block && Block[0] >= 4)
                Transparent = (Block[1] & 1) ? Block[4] : -1;
            while (Block) {
                if (DGifGetExtensionNext(Gif.get(), &Block) == GIF_ERROR) {
                    Error = GifError(Gif->Error);
                    return false;
                }
            }
            continue;
        }
        if (Type != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(Gif.get()) == GIF_ERROR) {
            // giflib sets no error code when the data ends before the frame's code size.
            Error = Gif->Error == 0 && Source.Pos >= Source.Data.size() ? QStringLiteral("data ends early")
                                                                         : GifError(Gif->Error);
            return false;
        }
        const GifImageDesc& Desc = Gif->Image;
        const QString FrameReason = CheckImageSize(Desc.Width, Desc.Height);
        if (!FrameReason.isEmpty()) {
            Error = QStringLiteral("frame: ") + FrameReason;
            return false;
        }
        // A logical screen of no size takes the frame's extent.
        qint64 CanvasW = Gif->SWidth, CanvasH = Gif->SHeight;
        if (CanvasW <= 0 || CanvasH <= 0) {
            CanvasW = qint64(Desc.Left) + Desc.Width;
            CanvasH = qint64(Desc.Top) + Desc.Height;
        }
        const QString CanvasReason = CheckImageSize(CanvasW, CanvasH);
        if (!CanvasReason.isEmpty()) {
            Error = CanvasReason;
            return false;
        }
        const ColorMapObject* Map = Desc.ColorMap ? Desc.ColorMap : Gif->SColorMap;
        if (!Map) {
            Error = QStringLiteral("has no colour table");
            return false;
        }
        QImage Img(int(CanvasW), int(CanvasH), QImage::Format_ARGB32);
        if (Img.isNull()) {
            Error = QStringLiteral("not enough memory for the picture");
            return false;
        }
        Img.fill(Qt::transparent);
        bool AnyTransparent = Desc.Left > 0 || Desc.Top > 0 || Desc.Left + Desc.Width < CanvasW ||
                              Desc.Top + Desc.Height < CanvasH;
        QByteArray Line(Desc.Width, '\0');
        // Data that ends inside the frame (the file is cut, or the data's end code comes early)
        // shows the rows decoded; the rest is filled grey.
        bool Cut = false;
        for (int I = 0; I < Desc.Height; ++I) {
            const bool Read = !Cut && DGifGetLine(Gif.get(), reinterpret_cast<GifPixelType*>(Line.data()),
                                                  Desc.Width) != GIF_ERROR;
            if (!Read && !Cut) {
                if (Source.Pos < Source.Data.size() && Gif->Error != D_GIF_ERR_EOF_TOO_SOON) {
                    Error = GifError(Gif->Error);
                    return false;
                }
                Cut = true;
            }
            const int Row = Desc.Interlace ? InterlacedRow(I, Desc.Height) : I;
            const qint64 Y = qint64(Desc.Top) + Row;
            if (Row < 0 || Y >= CanvasH)
                continue;
            auto* Dst = reinterpret_cast<QRgb*>(Img.scanLine(int(Y)));
            if (!Read) {
                // A frame may lie partly or wholly right of the screen.
                const qint64 Start = qMin<qint64>(Desc.Left, CanvasW);
                const qint64 End = qMin<qint64>(qint64(Desc.Left) + Desc.Width, CanvasW);
                std::fill(Dst + Start, Dst + End, CutPictureFill);
                continue;
            }
            for (int X = 0; X < Desc.Width; ++X) {
                const qint64 CX = qint64(Desc.Left) + X;
                if (CX >= CanvasW)
                    break;
                const int Index = uchar(Line[X]);
                if (Index == Transparent) {
                    AnyTransparent = true;
                    continue;
                }
                // An index past the colour table shows black.
                if (Index < Map->ColorCount) {
                    const GifColorType& C = Map->Colors[Index];
                    Dst[CX] = qRgb(C.Red, C.Green, C.Blue);
                } else {
                    Dst[CX] = qRgb(0, 0, 0);
                }
            }
        }
        Out = AnyTransparent ? Img : Img.convertToFormat(QImage::Format_RGB32);
        return true;
    }
}
