#include "Graphic.h"

#include "Dib.h"
#include "GifDecoder.h"
#include "ImageLimits.h"
#include "Metafile.h"
#include "PngDecoder.h"
#include "text/DiscFile.h"
#include "text/Paths.h"

#include <QFile>
#include <QPainter>

#include <new>

namespace {

// The format the data itself says it is, for files whose extension is wrong.
bool SniffFormat(QByteArrayView Data, TGraphicFormat& Format)
{
    if (HasPngSignature(Data))
        Format = gfPng;
    else if (Data.size() >= 3 && uchar(Data[0]) == 0xFF && uchar(Data[1]) == 0xD8 && uchar(Data[2]) == 0xFF)
        Format = gfJpeg;
    else if (Data.startsWith("GIF87a") || Data.startsWith("GIF89a"))
        Format = gfGif;
    else if (Data.startsWith("BM"))
        Format = gfBitmap;
    else
        return false;
    return true;
}

std::unique_ptr<TGraphic> Decode(QByteArrayView Data, TGraphicFormat Format, const TDecodeOptions& Options,
                                 QString& Reason)
{
    QImage Img;
    switch (Format) {
    case gfBitmap:
        if (DecodeBmp(Data, Img, Reason))
            return std::make_unique<TRasterGraphic>(Format, std::move(Img));
        break;
    case gfJpeg:
        if (DecodeJpeg(Data, Img, Reason, Options.Jpeg))
            return std::make_unique<TRasterGraphic>(Format, std::move(Img));
        break;
    case gfGif:
        if (DecodeGif(Data, Img, Reason))
            return std::make_unique<TRasterGraphic>(Format, std::move(Img));
        break;
    case gfPng:
        if (DecodePng(Data, Img, Reason))
            return std::make_unique<TRasterGraphic>(Format, std::move(Img));
        break;
    case gfIcon: {
        TIconDirectory Dir;
        if (!ReadIconDirectory(Data, Dir, Reason))
            break;
        const int Entry = ChooseIconEntry(Dir.Entries, TIconGraphic::StandardSize, 32);
        if (!DecodeIconImage(Data, Dir.Entries[Entry], Img, Reason))
            break;
        return std::make_unique<TIconGraphic>(Data.toByteArray(), std::move(Dir), Entry, std::move(Img));
    }
    case gfMetafile:
    case gfEnhMetafile:
        return TMetafileGraphic::Read(Data, Format == gfEnhMetafile, Reason);
    }
    return nullptr;
}

} // namespace

QImage TGraphic::ToBitmap(QSize Size, const QColor& Background) const
{
    if (Size.isEmpty())
        Size = this->Size();
    if (!CheckImageSize(Size.width(), Size.height()).isEmpty())
        return {};
    // An opaque picture at its own size already is that bitmap; it is shared, not drawn again.
    if (const auto* Raster = dynamic_cast<const TRasterGraphic*>(this);
        Raster && !IsIcon() && Raster->Image().format() == QImage::Format_RGB32 &&
        Raster->Image().size() == Size)
        return Raster->Image();
    QImage Bitmap(Size, QImage::Format_RGB32);
    if (Bitmap.isNull())
        return {};
    Bitmap.fill(Background);
    QPainter Painter(&Bitmap);
    Draw(Painter, QRectF(QPointF(0, 0), QSizeF(Size)));
    Painter.end();
    return Bitmap;
}

void TRasterGraphic::Draw(QPainter& Painter, const QRectF& Target) const
{
    Painter.drawImage(Target, Pixels, QRectF(Pixels.rect()));
}

bool GraphicFormatOf(const QString& FileName, TGraphicFormat& Format)
{
    const QString Ext = ExtractFileExt(FileName).toLower();
    if (Ext == u".bmp")
        Format = gfBitmap;
    else if (Ext == u".ico")
        Format = gfIcon;
    else if (Ext == u".wmf")
        Format = gfMetafile;
    else if (Ext == u".emf")
        Format = gfEnhMetafile;
    else if (Ext == u".jpg" || Ext == u".jpeg")
        Format = gfJpeg;
    else if (Ext == u".gif")
        Format = gfGif;
    else if (Ext == u".png")
        Format = gfPng;
    else
        return false;
    return true;
}

QString PictureError(const QString& FileName, const QString& Reason)
{
    return QStringLiteral("Cannot read picture \"%1\": %2").arg(FileName, Reason);
}

bool ReadPictureFile(const QString& FileName, QByteArray& Data, QString& Reason)
{
    QFile File;
    if (!OpenDiscFile(File, FileName, &Reason)) {
        return false;
    }
    const qint64 Size = File.size();
    const qint64 Max = ImageLimits().MaxFileSize;
    if (Size > Max) {
        Reason = QStringLiteral("file of %1 bytes is above the limit of %2 bytes").arg(Size).arg(Max);
        return false;
    }
    // One byte more than the size: a buffer of the limit's size would be allocated for every picture.
    // A file that grows meanwhile is still capped.
    Data = File.read(Size + 1);
    if (File.error() != QFileDevice::NoError) {
        Reason = File.errorString();
        return false;
    }
    if (Data.size() > Max) {
        Reason = QStringLiteral("file is above the limit of %1 bytes").arg(Max);
        return false;
    }
    return true;
}

TGraphicLoad LoadGraphicFromData(QByteArrayView Data, const QString& FileName, const TDecodeOptions& Options)
{
    TGraphicLoad Result;
    TGraphicFormat Format;
    if (!GraphicFormatOf(FileName, Format)) {
        const QString Ext = ExtractFileExt(FileName);
        Result.Error =
            PictureError(FileName, Ext.isEmpty() ? QStringLiteral("the file name has no extension")
                                                 : QStringLiteral("unknown picture type \"%1\"").arg(Ext));
        return Result;
    }
    if (Data.isEmpty()) {
        Result.Error = PictureError(FileName, QStringLiteral("the file is empty"));
        return Result;
    }
    QString Reason;
    try {
        Result.Graphic = Decode(Data, Format, Options, Reason);
        if (!Result.Graphic) {
            TGraphicFormat Actual;
            if (SniffFormat(Data, Actual) && Actual != Format) {
                QString Ignored;
                Result.Graphic = Decode(Data, Actual, Options, Ignored);
            }
        }
    } catch (const std::bad_alloc&) {
        // A picture within the limits that the machine still has no memory for.
        Result.Graphic.reset();
        Reason = QStringLiteral("not enough memory");
    }
    if (!Result.Graphic)
        Result.Error = PictureError(FileName, Reason);
    return Result;
}

namespace {

TGraphicLoadObserver& LoadObserver()
{
    static TGraphicLoadObserver Observer;
    return Observer;
}

TGraphicLoad ReadGraphicFile(const QString& FileName, const TDecodeOptions& Options)
{
    TGraphicFormat Format;
    if (!GraphicFormatOf(FileName, Format))
        return LoadGraphicFromData(QByteArrayView(), FileName, Options);
    QByteArray Data;
    QString Reason;
    if (!ReadPictureFile(FileName, Data, Reason)) {
        TGraphicLoad Result;
        Result.Error = PictureError(FileName, Reason);
        return Result;
    }
    return LoadGraphicFromData(Data, FileName, Options);
}

} // namespace

void SetGraphicLoadObserver(TGraphicLoadObserver Observer)
{
    LoadObserver() = std::move(Observer);
}

TGraphicLoad LoadGraphic(const QString& FileName, const TDecodeOptions& Options)
{
    TGraphicLoad Result = ReadGraphicFile(FileName, Options);
    if (const TGraphicLoadObserver& Observer = LoadObserver())
        Observer(FileName, Result.Error);
    return Result;
}

TGraphicLoad LoadJpegScaled(QByteArrayView Data, const QString& FileName, QSize MinSize, bool Fast)
{
    TDecodeOptions Options;
    Options.Jpeg.Fast = Fast;
    QSize Size;
    QString Ignored;
    if (ReadJpegSize(Data, Size, Ignored))
        Options.Jpeg.ScaleDenominator = JpegScaleFor(Size, MinSize);
    return LoadGraphicFromData(Data, FileName, Options);
}

TGraphicLoad LoadJpegScaled(const QString& FileName, QSize MinSize, bool Fast)
{
    QByteArray Data;
    QString Reason;
    if (!ReadPictureFile(FileName, Data, Reason)) {
        TGraphicLoad Result;
        Result.Error = PictureError(FileName, Reason);
        return Result;
    }
    return LoadJpegScaled(Data, FileName, MinSize, Fast);
}
