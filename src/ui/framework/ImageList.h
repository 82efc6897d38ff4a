#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

class QPainter;

// A list of small pictures of one size, shared by controls that show them by index (tree nodes,
// tabs). Every picture added is stretched to Width x Height, as the framework's image list does.
class TImageList : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)

public:
    explicit TImageList(QObject* Parent = nullptr, const QString& Name = {});

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // A new size empties the list (its pictures were made for the old one).
    void SetWidth(int Value);
    void SetHeight(int Value);

    int Count() const { return static_cast<int>(FImages.size()); }
    // Adds a picture (a null image adds a transparent one) and returns its index.
    int Add(const QImage& Image);
    // Adds a picture whose pixels of MaskColor are transparent.
    int AddMasked(const QImage& Image, QRgb MaskColor);
    // Appends every picture of Source.
    void AddImages(const TImageList& Source);
    void Delete(int Index);
    void Clear();
    // The picture at Index (ARGB32, Width x Height); a null image when out of range.
    QImage Image(int Index) const;
    // Draws the picture at (X, Y) at its own size; a disabled picture is drawn in grey. Nothing for
    // an index out of range.
    void Draw(QPainter& Painter, int X, int Y, int Index, bool Enabled = true) const;

signals:
    // The pictures or their size changed.
    void Changed();

private:
    QImage Fit(const QImage& Image) const;

    int FWidth = 16;
    int FHeight = 16;
    QList<QImage> FImages;
};
