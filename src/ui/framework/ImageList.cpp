#include "ImageList.h"

#include <QPainter>

#include <algorithm>

namespace {

// Largest side a list picture may have; the lists of the program hold 16 x 16 pictures.
constexpr int MaxSide = 256;

} // namespace

TImageList::TImageList(QObject* Parent, const QString& Name) : QObject(Parent)
{
    setObjectName(Name);
}

void TImageList::SetWidth(int Value)
{
    Value = std::clamp(Value, 1, MaxSide);
    if (Value != FWidth) {
        FWidth = Value;
        FImages.clear();
        emit Changed();
    }
}

void TImageList::SetHeight(int Value)
{
    Value = std::clamp(Value, 1, MaxSide);
    if (Value != FHeight) {
        FHeight = Value;
        FImages.clear();
        emit Changed();
    }
}

QImage TImageList::Fit(const QImage& Image) const
{
    if (Image.isNull()) {
        QImage Empty(FWidth, FHeight, QImage::Format_ARGB32);
        Empty.fill(Qt::transparent);
        return Empty;
    }
    QImage Result = Image.convertToFormat(QImage::Format_ARGB32);
    if (Result.size() != QSize(FWidth, FHeight)) {
        Result = Result.scaled(FWidth, FHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return Result;
}

int TImageList::Add(const QImage& Image)
{
    FImages.append(Fit(Image));
    emit Changed();
    return Count() - 1;
}

int TImageList::AddMasked(const QImage& Image, QRgb MaskColor)
{
    QImage Masked = Image.convertToFormat(QImage::Format_ARGB32);
    const QRgb Key = MaskColor & 0xFFFFFFu;
    for (int Y = 0; Y < Masked.height(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Masked.scanLine(Y));
        for (int X = 0; X < Masked.width(); ++X) {
            if ((Line[X] & 0xFFFFFFu) == Key) {
                Line[X] = 0;
            }
        }
    }
    return Add(Masked);
}

void TImageList::AddImages(const TImageList& Source)
{
    if (&Source == this) {
        const QList<QImage> Copy = FImages;
        for (const QImage& Image : Copy) {
            FImages.append(Image);
        }
    } else {
        for (const QImage& Image : Source.FImages) {
            FImages.append(Fit(Image));
        }
    }
    emit Changed();
}

void TImageList::Delete(int Index)
{
    if (Index >= 0 && Index < Count()) {
        FImages.removeAt(Index);
        emit Changed();
    }
}

void TImageList::Clear()
{
    if (!FImages.isEmpty()) {
        FImages.clear();
        emit Changed();
    }
}

QImage TImageList::Image(int Index) const
{
    if (Index < 0 || Index >= Count()) {
        return {};
    }
    return FImages.at(Index);
}

void TImageList::Draw(QPainter& Painter, int X, int Y, int Index, bool Enabled) const
{
    if (Index < 0 || Index >= Count()) {
        return;
    }
    QImage Picture = FImages.at(Index);
    if (!Enabled) {
        // Grey with the picture's own transparency kept.
        QImage Grey = Picture.convertToFormat(QImage::Format_ARGB32);
        for (int Row = 0; Row < Grey.height(); ++Row) {
            auto* Line = reinterpret_cast<QRgb*>(Grey.scanLine(Row));
            for (int Col = 0; Col < Grey.width(); ++Col) {
                const int G = qGray(Line[Col]);
                Line[Col] = qRgba(G, G, G, qAlpha(Line[Col]));
            }
        }
        Picture = Grey;
    }
    Painter.drawImage(X, Y, Picture);
}
