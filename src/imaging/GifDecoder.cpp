#include "GifDecoder.h"

#include "ImageLimits.h"

#include <gif_lib.h>

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

} // namespace

bool DecodeGif(QByteArrayView Data, QImage& Out, QString& Error)
{
    TGifSource Source{Data, 0};
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
            Error = GifError(Gif->Error);
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
        for (int I = 0; I < Desc.Height; ++I) {
            if (DGifGetLine(Gif.get(), reinterpret_cast<GifPixelType*>(Line.data()), Desc.Width) ==
                GIF_ERROR) {
                Error = GifError(Gif->Error);
                return false;
            }
            const int Row = Desc.Interlace ? InterlacedRow(I, Desc.Height) : I;
            const qint64 Y = qint64(Desc.Top) + Row;
            if (Row < 0 || Y >= CanvasH)
                continue;
            auto* Dst = reinterpret_cast<QRgb*>(Img.scanLine(int(Y)));
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
