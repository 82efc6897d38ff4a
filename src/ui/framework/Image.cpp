#include "Image.h"

#include <QPainter>

TImage::TImage(QWidget* Parent, const QString& Name) : TControl(Parent, Name)
{
    SetTransparent(true);
    resize(105, 105);
    FPicture.OnChange = [this] { PictureChanged(); };
}

void TImage::SetCenter(bool Value)
{
    FCenter = Value;
    update();
}

void TImage::SetStretch(bool Value)
{
    FStretch = Value;
    update();
}

void TImage::SetProportional(bool Value)
{
    FProportional = Value;
    update();
}

QImage& TImage::CanvasBitmap()
{
    const bool Empty = !FPicture.HasGraphic();
    QImage& Bitmap = FPicture.Bitmap();
    if (Empty || Bitmap.isNull()) {
        Bitmap = QImage(std::max(1, Width()), std::max(1, Height()), QImage::Format_RGB32);
        Bitmap.fill(Qt::white);
    }
    return Bitmap;
}

QRect TImage::DestRect() const
{
    const int PW = FPicture.Width();
    const int PH = FPicture.Height();
    int W = PW;
    int H = PH;
    if (FStretch || (FProportional && (PW > Width() || PH > Height()))) {
        if (FProportional && PW > 0 && PH > 0) {
            const double Scale =
                std::min(static_cast<double>(Width()) / PW, static_cast<double>(Height()) / PH);
            W = static_cast<int>(PW * Scale);
            H = static_cast<int>(PH * Scale);
        } else {
            W = Width();
            H = Height();
        }
    }
    int X = 0;
    int Y = 0;
    if (FCenter) {
        X = (Width() - W) / 2;
        Y = (Height() - H) / 2;
    }
    return {X, Y, W, H};
}

void TImage::Paint(QPainter& Painter)
{
    FPicture.Draw(Painter, DestRect(), Transparent());
}

QSize TImage::AutoSizeExtent() const
{
    if (!FPicture.HasGraphic()) {
        return {};
    }
    return {FPicture.Width(), FPicture.Height()};
}

void TImage::PictureChanged()
{
    AdjustAutoSize();
    update();
}
