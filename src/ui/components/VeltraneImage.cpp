#include "VeltraneImage.h"

#include <QPainter>

#include <utility>

int GreyLevel(int Red, int Green, int Blue)
{
    // In hundredths, so that halves are exact and go to the even neighbour.
    const int Hundredths = 30 * Red + 59 * Green + 11 * Blue;
    int Grey = Hundredths / 100;
    const int Rest = Hundredths % 100;
    if (Rest > 50 || (Rest == 50 && Grey % 2 != 0)) {
        ++Grey;
    }
    return Grey;
}

QImage GreyBitmap(const QImage& Bitmap)
{
    if (Bitmap.isNull()) {
        return {};
    }
    QImage Grey(Bitmap.size(), QImage::Format_RGB32);
    Grey.fill(Qt::white);
    {
        QPainter Painter(&Grey);
        Painter.drawImage(0, 0, Bitmap);
    }
    for (int Y = 0; Y < Grey.height(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Grey.scanLine(Y));
        for (int X = 0; X < Grey.width(); ++X) {
            const int G = GreyLevel(qRed(Line[X]), qGreen(Line[X]), qBlue(Line[X]));
            Line[X] = qRgb(G, G, G);
        }
    }
    return Grey;
}

TVeltraneImage::TVeltraneImage(QWidget* Parent, const QString& Name) : TImage(Parent, Name) {}

void TVeltraneImage::AssignPicture(const TPicture& Graphic)
{
    Picture().Assign(Graphic);
    FLoadedPicture.Assign(Graphic);
    ShowDisabledState();
}

void TVeltraneImage::AssignPicture(std::shared_ptr<const TGraphic> Graphic)
{
    FLoadedPicture.SetGraphic(Graphic);
    Picture().SetGraphic(std::move(Graphic));
    ShowDisabledState();
}

void TVeltraneImage::SetDisabledPicture(const TPicture& Value)
{
    FDisabledPicture.Assign(Value);
    if (!Enabled() && FDisabledPicture.HasGraphic()) {
        Picture().Assign(FDisabledPicture);
    }
}

void TVeltraneImage::ShowDisabledState()
{
    // A new picture given while disabled must not show in colour.
    if (Enabled()) {
        return;
    }
    if (FDisabledPicture.HasGraphic()) {
        Picture().Assign(FDisabledPicture);
    } else {
        SetGrayscale(true);
    }
}

void TVeltraneImage::SetEnabled(bool Value)
{
    if (Value == Enabled()) {
        return;
    }
    TImage::SetEnabled(Value);
    RestorePicture();
    if (OnEnable) {
        OnEnable(this, Value);
    }
}

void TVeltraneImage::RestorePicture()
{
    Picture().Assign(FLoadedPicture);
    ShowDisabledState();
}

void TVeltraneImage::SetGrayscale(bool Value)
{
    FGrayscale = Value;
    if (!Value) {
        Picture().Assign(FLoadedPicture);
        return;
    }
    if (!Picture().HasGraphic()) {
        return;
    }
    QImage Source;
    if (Picture().IsBitmap()) {
        Source = Picture().Bitmap();
    } else if (const TGraphic* Graphic = Picture().Graphic()) {
        // Whatever its format, the grey picture is a bitmap from now on; transparent parts become white.
        Source = Graphic->ToBitmap({}, Qt::white);
    }
    Picture().SetBitmap(GreyBitmap(Source));
}

void TVeltraneImage::SetOpacity(double Value)
{
    if (Value == FOpacity) {
        return;
    }
    FOpacityTable = MakeOpacityTable(Value);
    FOpacity = Value;
}

void TVeltraneImage::BlendWithBackground(QImage& Background, int X, int Y)
{
    // Only bitmaps are composed; asking another kind of picture for its bitmap would empty it.
    if (!Picture().HasGraphic() || !Picture().IsBitmap()) {
        return;
    }
    const QImage Src = Picture().Bitmap();
    const QImage Composed = ::BlendWithBackground(Background, Src, FOpacityTable, X, Y);
    if (!Composed.isNull()) {
        Picture().SetBitmap(Composed);
    }
}
