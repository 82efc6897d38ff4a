#pragma once

#include "Control.h"
#include "Picture.h"

// A picture control: shows its Picture at its own size, centred or stretched. A transparent image
// leaves the parent visible around and, for bitmaps, under the bitmap's transparent colour.
class TImage : public TControl
{
    Q_OBJECT
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool Proportional READ Proportional WRITE SetProportional)

public:
    explicit TImage(QWidget* Parent = nullptr, const QString& Name = {});

    TPicture& Picture() { return FPicture; }
    const TPicture& Picture() const { return FPicture; }
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);

    // The bitmap the canvas draws into: the picture's bitmap, made the control's size (filled white)
    // when the picture holds no bitmap yet. Call Invalidate after drawing.
    QImage& CanvasBitmap();
    // Where the picture is drawn within the control.
    QRect DestRect() const;

protected:
    void Paint(QPainter& Painter) override;
    QSize AutoSizeExtent() const override;
    // Called after the picture changed (already repainted).
    virtual void PictureChanged();

private:
    TPicture FPicture;
    bool FCenter = false;
    bool FStretch = false;
    bool FProportional = false;
};
