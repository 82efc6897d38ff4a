#pragma once

#include "Blend.h"
#include "Image.h"
#include "Picture.h"

#include <QImage>

#include <functional>
#include <memory>

// The picture control of the skin buttons. It keeps the picture as loaded, shows it in grey or as a
// separate picture while disabled, reports enable changes, and can pre-compose itself semi-transparently
// over the window's background. Mouse entry and exit are reported through the inherited OnMouseEnter and
// OnMouseLeave.
class TVeltraneImage : public TImage
{
    Q_OBJECT
    // Redeclared so that "controls.ini" reaches the override that swaps the pictures.
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Grayscale READ Grayscale WRITE SetGrayscale)
    Q_PROPERTY(double Opacity READ Opacity WRITE SetOpacity)

public:
    using TEnabledEvent = std::function<void(QObject* Sender, bool Value)>;

    explicit TVeltraneImage(QWidget* Parent = nullptr, const QString& Name = {});

    // The shown picture and the loaded picture both receive the graphic; while disabled, the disabled
    // picture or the grey rendering of the new one is shown instead.
    void AssignPicture(const TPicture& Graphic);
    void AssignPicture(std::shared_ptr<const TGraphic> Graphic);

    // Changing the state restores the loaded picture, then shows the disabled picture or, without one,
    // the grey rendering (which leaves Grayscale true), then fires OnEnable.
    void SetEnabled(bool Value) override;
    // Shows the picture of the current state afresh, without anything drawn or composed on it since:
    // a copy of the loaded picture, or while disabled the disabled picture or the grey rendering.
    void RestorePicture();
    bool Grayscale() const { return FGrayscale; }
    // True: the shown picture becomes a grey bitmap of itself. False: the loaded picture is shown again.
    // Redoes the work on every call.
    void SetGrayscale(bool Value);
    double Opacity() const { return FOpacity; }
    // Rebuilds the opacity table unless the value is exactly the current one; does not repaint.
    void SetOpacity(double Value);
    const TOpacityTable& OpacityTable() const { return FOpacityTable; }

    TPicture& DisabledPicture() { return FDisabledPicture; }
    const TPicture& DisabledPicture() const { return FDisabledPicture; }
    // Copies Value; while disabled it is shown at once when it holds a graphic.
    void SetDisabledPicture(const TPicture& Value);
    TPicture& LoadedPicture() { return FLoadedPicture; }
    const TPicture& LoadedPicture() const { return FLoadedPicture; }

    // Blends the shown bitmap into Background (changed in place: pass a working copy) at (X, Y) with the
    // current opacity and shows the composed rectangle (X, Y, picture width, picture height). A picture
    // that is not a bitmap is left as it is.
    void BlendWithBackground(QImage& Background, int X, int Y);

    TEnabledEvent OnEnable;

private:
    void ShowDisabledState();

    TPicture FDisabledPicture;
    TPicture FLoadedPicture;
    bool FGrayscale = false;
    double FOpacity = 1.0;
    TOpacityTable FOpacityTable = MakeOpacityTable(1.0);
};

// The grey level of a pixel: 0.3 red + 0.59 green + 0.11 blue, rounded to the nearest integer with
// halves going to the even neighbour.
int GreyLevel(int Red, int Green, int Blue);

// A 24-bit grey copy of Bitmap (RGB32, every channel the pixel's GreyLevel); transparent parts of the
// source count as white.
QImage GreyBitmap(const QImage& Bitmap);
