#include "PngDecoder.h"

#include "ImageLimits.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

// Everything that must outlive a longjmp lives here, outside the frame that calls setjmp.
struct TPngContext
{
    QByteArrayView Data;
    QImage Image;
    QList<png_bytep> Rows;
    char Message[200] = {};
    char Warning[200] = {}; // the first warning, which often says why an error followed
    bool SizeRefused = false;
    QString SizeReason;
    bool Interlaced = false;
    bool InPixels = false; // the header is read, the image data is being decoded
    int RowsDone = 0;      // rows of a picture that is not interlaced, in order
};

TPngContext* ContextOf(png_structp Png)
{
    return static_cast<TPngContext*>(png_get_progressive_ptr(Png));
}

void OnError(png_structp Png, png_const_charp Message)
{
    auto* C = static_cast<TPngContext*>(png_get_error_ptr(Png));
    std::snprintf(C->Message, sizeof C->Message, "%s", Message ? Message : "unknown error");
    png_longjmp(Png, 1);
}

void OnWarning(png_structp Png, png_const_charp Message)
{
    // Warnings (a bad ancillary chunk, a CRC error in one) leave a usable picture; the first is kept
    // for the message of an error that may follow.
    auto* C = static_cast<TPngContext*>(png_get_error_ptr(Png));
    if (!C->Warning[0])
        std::snprintf(C->Warning, sizeof C->Warning, "%s", Message ? Message : "");
}

// The header is whole: the picture's size is checked, the rows are made and the conversions to
// 32-bit pixels chosen.
void OnInfo(png_structp Png, png_infop Info)
{
    TPngContext* C = ContextOf(Png);
    const png_uint_32 Width = png_get_image_width(Png, Info);
    const png_uint_32 Height = png_get_image_height(Png, Info);
    C->SizeReason = CheckImageSize(Width, Height);
    if (!C->SizeReason.isEmpty()) {
        C->SizeRefused = true;
        png_error(Png, "size refused");
    }
    const int ColourType = png_get_color_type(Png, Info);
    const int Depth = png_get_bit_depth(Png, Info);
    if (ColourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(Png);
    if (ColourType == PNG_COLOR_TYPE_GRAY && Depth < 8)
        png_set_expand_gray_1_2_4_to_8(Png);
    if (png_get_valid(Png, Info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(Png);
    if (Depth == 16)
        png_set_scale_16(Png);
    if (ColourType == PNG_COLOR_TYPE_GRAY || ColourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(Png);
    // BGRA in memory is QImage's ARGB32 on little-endian machines, ARGB on big-endian ones.
    if (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        png_set_bgr(Png);
        png_set_filler(Png, 0xFF, PNG_FILLER_AFTER);
    } else {
        png_set_swap_alpha(Png);
        png_set_filler(Png, 0xFF, PNG_FILLER_BEFORE);
    }
    C->Interlaced = png_set_interlace_handling(Png) > 1;
    png_read_update_info(Png, Info);
    if (png_get_rowbytes(Png, Info) != size_t(Width) * 4)
        png_error(Png, "unexpected row layout");

    const bool Alpha = (png_get_color_type(Png, Info) & PNG_COLOR_MASK_ALPHA) != 0;
    C->Image = QImage(int(Width), int(Height), Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (C->Image.isNull())
        png_error(Png, "not enough memory for the picture");
    // The passes of an interlaced picture each fill some pixels of many rows: what no pass reaches
    // before the data ends stays grey.
    if (C->Interlaced)
        C->Image.fill(CutPictureFill);
    C->Rows.resize(qsizetype(Height));
    for (png_uint_32 Y = 0; Y < Height; ++Y)
        C->Rows[qsizetype(Y)] = C->Image.scanLine(int(Y));
    C->InPixels = true;
}

void OnRow(png_structp Png, png_bytep NewRow, png_uint_32 Row, int)
{
    TPngContext* C = ContextOf(Png);
    // No new pixels for this row in this pass, or a row the picture does not have.
    if (!NewRow || Row >= png_uint_32(C->Rows.size()))
        return;
    png_progressive_combine_row(Png, C->Rows[qsizetype(Row)], NewRow);
    if (!C->Interlaced)
        C->RowsDone = int(Row) + 1;
}

// Where the image data ends: after the run of IDAT chunks, or at the end of a file cut inside it. The
// chunks after the image are not read, so a damaged one there does not cost the picture.
qsizetype ImageDataEnd(QByteArrayView Data)
{
    qsizetype Pos = 8;
    bool SeenData = false;
    while (Data.size() - Pos >= 8) {
        const auto* P = reinterpret_cast<const uchar*>(Data.data() + Pos);
        const quint64 Length = (quint64(P[0]) << 24) | (P[1] << 16) | (P[2] << 8) | P[3];
        const bool IsData = std::memcmp(P + 4, "IDAT", 4) == 0;
        if (SeenData && !IsData)
            return Pos;
        SeenData = SeenData || IsData;
        if (Length + 12 > quint64(Data.size() - Pos))
            return Data.size();
        Pos += qsizetype(Length) + 12;
    }
    return Data.size();
}

// Runs libpng's progressive reader over the image data: it decodes what the data holds and stops where
// the data ends, so a file cut inside its pixels shows the rows decoded. Only trivially destructible
// locals here: a longjmp may leave this frame at any libpng call.
bool RunPng(TPngContext& C)
{
    png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &C, OnError, OnWarning);
    if (!Png) {
        std::snprintf(C.Message, sizeof C.Message, "out of memory");
        return false;
    }
    png_infop Info = png_create_info_struct(Png);
    if (!Info) {
        png_destroy_read_struct(&Png, nullptr, nullptr);
        std::snprintf(C.Message, sizeof C.Message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(Png))) {
        png_destroy_read_struct(&Png, &Info, nullptr);
        return false;
    }
    const TImageLimits& L = ImageLimits();
    png_set_user_limits(Png, png_uint_32(L.MaxSide), png_uint_32(L.MaxSide));
    png_set_chunk_cache_max(Png, 1000);
    png_set_chunk_malloc_max(Png, 8 * 1024 * 1024);
    png_set_progressive_read_fn(Png, &C, OnInfo, OnRow, nullptr);
    png_process_data(Png, Info, reinterpret_cast<png_bytep>(const_cast<char*>(C.Data.data())),
                     size_t(ImageDataEnd(C.Data)));
    png_destroy_read_struct(&Png, &Info, nullptr);
    if (!C.InPixels) {
        std::snprintf(C.Message, sizeof C.Message, "data ends early");
        return false;
    }
    // Rows the data did not reach are grey.
    if (!C.Interlaced) {
        for (int Y = C.RowsDone; Y < C.Image.height(); ++Y) {
            auto* Row = reinterpret_cast<QRgb*>(C.Image.scanLine(Y));
            std::fill(Row, Row + C.Image.width(), CutPictureFill);
        }
    }
    return true;
}

} // namespace

bool HasPngSignature(QByteArrayView Data)
{
    return Data.size() >= 8 && std::memcmp(Data.data(), PngSignature, 8) == 0;
}

bool DecodePng(QByteArrayView Data, QImage& Out, QString& Error)
{
    if (!HasPngSignature(Data)) {
        Error = QStringLiteral("no PNG signature");
        return false;
    }
    TPngContext C;
    C.Data = Data;
    if (!RunPng(C)) {
        Error = C.SizeRefused ? C.SizeReason : QString::fromLatin1(C.Message);
        if (!C.SizeRefused && C.Warning[0])
            Error += QStringLiteral(" (") + QString::fromLatin1(C.Warning) + u')';
        return false;
    }
    Out = std::move(C.Image);
    return true;
}
