#include "PngEncoder.h"

#include <QFile>

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace {

// Everything that must outlive a longjmp lives here, outside the frame that calls setjmp.
struct TPngWriteContext
{
    QIODevice* Out = nullptr;
    const QImage* Image = nullptr; // RGBX8888 or RGBA8888
    char Message[200] = {};
};

void WriteBytes(png_structp Png, png_bytep Data, size_t Count)
{
    auto* C = static_cast<TPngWriteContext*>(png_get_io_ptr(Png));
    if (C->Out->write(reinterpret_cast<const char*>(Data), qint64(Count)) != qint64(Count))
        png_error(Png, "cannot write the file");
}

void FlushBytes(png_structp) {}

void OnError(png_structp Png, png_const_charp Message)
{
    auto* C = static_cast<TPngWriteContext*>(png_get_error_ptr(Png));
    std::snprintf(C->Message, sizeof C->Message, "%s", Message ? Message : "unknown error");
    png_longjmp(Png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Runs libpng. Only trivially destructible locals here: a longjmp may leave this frame at any libpng
// call.
bool RunPng(TPngWriteContext& C)
{
    png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &C, OnError, OnWarning);
    if (!Png) {
        std::snprintf(C.Message, sizeof C.Message, "out of memory");
        return false;
    }
    png_infop Info = png_create_info_struct(Png);
    if (!Info) {
        png_destroy_write_struct(&Png, nullptr);
        std::snprintf(C.Message, sizeof C.Message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(Png))) {
        png_destroy_write_struct(&Png, &Info);
        return false;
    }
    const QImage& Image = *C.Image;
    const bool Alpha = Image.format() == QImage::Format_RGBA8888;
    png_set_write_fn(Png, &C, WriteBytes, FlushBytes);
    png_set_IHDR(Png, Info, png_uint_32(Image.width()), png_uint_32(Image.height()), 8,
                 Alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Trying every row filter costs more than the compression it buys on a screen picture.
    png_set_filter(Png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(Png, 1);
    png_write_info(Png, Info);
    if (!Alpha)
        png_set_filler(Png, 0, PNG_FILLER_AFTER); // the X byte of each pixel is left out
    for (int Y = 0; Y < Image.height(); ++Y)
        png_write_row(Png, Image.constScanLine(Y));
    png_write_end(Png, Info);
    png_destroy_write_struct(&Png, &Info);
    return true;
}

} // namespace

bool SavePngFast(const QImage& Image, QIODevice& Out, QString& Error)
{
    if (Image.isNull()) {
        Error = QStringLiteral("no picture");
        return false;
    }
    // Bytes R, G, B (and A, not premultiplied) in memory on every machine, as PNG stores them.
    const QImage Pixels =
        Image.convertToFormat(Image.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    TPngWriteContext C;
    C.Out = &Out;
    C.Image = &Pixels;
    if (!RunPng(C)) {
        Error = QString::fromLatin1(C.Message);
        return false;
    }
    return true;
}

bool SavePngFast(const QImage& Image, const QString& FileName, QString& Error)
{
    if (Image.isNull()) {
        Error = QStringLiteral("no picture");
        return false;
    }
    QFile File(FileName);
    if (!File.open(QIODevice::WriteOnly)) {
        Error = File.errorString();
        return false;
    }
    if (!SavePngFast(Image, File, Error))
        return false;
    File.close();
    if (File.error() != QFileDevice::NoError) {
        Error = File.errorString();
        return false;
    }
    return true;
}
