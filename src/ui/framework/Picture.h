#pragma once

#include "Graphic.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>

// The picture a control shows: a loaded graphic of any format, or a bitmap that code draws into.
// Graphics are shared between pictures (copies are cheap); a bitmap is copied on write.
class TPicture
{
public:
    TPicture() = default;

    // A picture of any kind and size (an empty bitmap counts as none).
    bool HasGraphic() const;
    // The graphic, or nullptr while the picture is a bitmap or empty.
    const TGraphic* Graphic() const { return FGraphic.get(); }
    std::shared_ptr<const TGraphic> SharedGraphic() const { return FGraphic; }
    void SetGraphic(std::shared_ptr<const TGraphic> Value);
    // True while the picture is a bitmap (a loaded .bmp counts, once asked for its bitmap).
    bool IsBitmap() const;
    int Width() const;
    int Height() const;

    // Loads a picture file of any known format. On failure the picture is left as it was and
    // Error (when given) receives a message naming the file.
    bool LoadFromFile(const QString& FileName, QString* Error = nullptr, const TDecodeOptions& Options = {});
    void Assign(const TPicture& Source);
    void Clear();

    // The picture as a bitmap to read or draw into. A loaded bitmap file gives its pixels; a
    // picture of another kind is replaced by an empty bitmap, as the framework does.
    QImage& Bitmap();
    const QImage& BitmapImage() const { return FBitmap; }
    void SetBitmap(const QImage& Value);
    // The transparent colour of a bitmap: the colour of its bottom-left pixel.
    QRgb TransparentColor() const;
    // Draws the picture stretched into Target; with TransparentBitmap a bitmap leaves its
    // transparent colour unpainted.
    void Draw(QPainter& Painter, const QRectF& Target, bool TransparentBitmap) const;

    // Called after every change of the picture's content.
    std::function<void()> OnChange;
    // Tells that the content changed after drawing into Bitmap().
    void Changed();

private:
    std::shared_ptr<const TGraphic> FGraphic;
    QImage FBitmap;
    bool FBitmapMode = false;
    mutable QImage FMaskedCache;
    mutable qint64 FMaskedKey = -1;
};
