#include "Picture.h"

#include <QPainter>

bool TPicture::HasGraphic() const
{
    if (FBitmapMode) {
        return !FBitmap.isNull() && FBitmap.width() > 0 && FBitmap.height() > 0;
    }
    return FGraphic && FGraphic->Width() > 0 && FGraphic->Height() > 0;
}

void TPicture::SetGraphic(std::shared_ptr<const TGraphic> Value)
{
    FGraphic = std::move(Value);
    FBitmap = QImage();
    FBitmapMode = false;
    Changed();
}

bool TPicture::IsBitmap() const
{
    return FBitmapMode || (FGraphic && FGraphic->Format() == gfBitmap);
}

int TPicture::Width() const
{
    if (FBitmapMode) {
        return FBitmap.width();
    }
    return FGraphic ? FGraphic->Width() : 0;
}

int TPicture::Height() const
{
    if (FBitmapMode) {
        return FBitmap.height();
    }
    return FGraphic ? FGraphic->Height() : 0;
}

bool TPicture::LoadFromFile(const QString& FileName, QString* Error, const TDecodeOptions& Options)
{
    TGraphicLoad Load = LoadGraphic(FileName, Options);
    if (!Load.Ok()) {
        if (Error) {
            *Error = Load.Error;
        }
        return false;
    }
    SetGraphic(std::shared_ptr<const TGraphic>(std::move(Load.Graphic)));
    return true;
}

void TPicture::Assign(const TPicture& Source)
{
    if (&Source == this) {
        return;
    }
    FGraphic = Source.FGraphic;
    FBitmap = Source.FBitmap;
    FBitmapMode = Source.FBitmapMode;
    Changed();
}

void TPicture::Clear()
{
    FGraphic.reset();
    FBitmap = QImage();
    FBitmapMode = false;
    Changed();
}

QImage& TPicture::Bitmap()
{
    if (!FBitmapMode) {
        FBitmap = QImage();
        if (FGraphic && FGraphic->Format() == gfBitmap) {
            if (const auto* Raster = dynamic_cast<const TRasterGraphic*>(FGraphic.get())) {
                FBitmap = Raster->Image();
            }
        }
        FGraphic.reset();
        FBitmapMode = true;
    }
    FMaskedKey = -1;
    return FBitmap;
}

void TPicture::SetBitmap(const QImage& Value)
{
    FGraphic.reset();
    FBitmap = Value;
    FBitmapMode = true;
    Changed();
}

QRgb TPicture::TransparentColor() const
{
    QImage Source = FBitmap;
    if (!FBitmapMode && FGraphic && FGraphic->Format() == gfBitmap) {
        if (const auto* Raster = dynamic_cast<const TRasterGraphic*>(FGraphic.get())) {
            Source = Raster->Image();
        }
    }
    if (Source.isNull() || Source.height() == 0 || Source.width() == 0) {
        return qRgb(0, 0, 0);
    }
    return Source.pixel(0, Source.height() - 1) | 0xFF000000u;
}

void TPicture::Draw(QPainter& Painter, const QRectF& Target, bool TransparentBitmap) const
{
    if (!HasGraphic()) {
        return;
    }
    const bool Bitmap = IsBitmap();
    QImage Pixels;
    if (FBitmapMode) {
        Pixels = FBitmap;
    } else if (Bitmap) {
        if (const auto* Raster = dynamic_cast<const TRasterGraphic*>(FGraphic.get())) {
            Pixels = Raster->Image();
        }
    }
    if (Pixels.isNull()) {
        FGraphic->Draw(Painter, Target);
        return;
    }
    if (TransparentBitmap) {
        const qint64 Key = Pixels.cacheKey();
        if (Key != FMaskedKey) {
            const QRgb Transparent = TransparentColor() & 0xFFFFFFu;
            QImage Masked = Pixels.convertToFormat(QImage::Format_ARGB32);
            for (int Y = 0; Y < Masked.height(); ++Y) {
                auto* Line = reinterpret_cast<QRgb*>(Masked.scanLine(Y));
                for (int X = 0; X < Masked.width(); ++X) {
                    if ((Line[X] & 0xFFFFFFu) == Transparent) {
                        Line[X] = 0;
                    }
                }
            }
            FMaskedCache = Masked;
            FMaskedKey = Key;
        }
        Pixels = FMaskedCache;
    }
    Painter.drawImage(Target, Pixels);
}

void TPicture::Changed()
{
    FMaskedKey = -1;
    if (OnChange) {
        OnChange();
    }
}
