#pragma once

#include "IconFile.h"
#include "JpegDecoder.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class QPainter;

// The picture formats the loader knows, chosen by the file's extension.
enum TGraphicFormat
{
    gfBitmap,      // .bmp
    gfIcon,        // .ico
    gfMetafile,    // .wmf
    gfEnhMetafile, // .emf
    gfJpeg,        // .jpg, .jpeg
    gfGif,         // .gif
    gfPng,         // .png
};

// A loaded picture: its size, whether it is an icon, and how it draws itself.
class TGraphic
{
public:
    virtual ~TGraphic() = default;

    virtual TGraphicFormat Format() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    QSize Size() const { return {Width(), Height()}; }
    bool IsIcon() const { return Format() == gfIcon; }
    bool IsMetafile() const { return Format() == gfMetafile || Format() == gfEnhMetafile; }

    // Draws the picture stretched into Target. Transparent parts leave what is below; the painter's
    // render hints decide whether a stretched raster picture is smoothed.
    virtual void Draw(QPainter& Painter, const QRectF& Target) const = 0;

    // The picture drawn at Size (its own size when Size is empty) onto a 24-bit bitmap (RGB32)
    // that is filled with Background first.
    QImage ToBitmap(QSize Size = {}, const QColor& Background = Qt::black) const;
};

// A picture held as pixels: bitmaps, JPEG, GIF and PNG pictures.
class TRasterGraphic : public TGraphic
{
public:
    TRasterGraphic(TGraphicFormat AFormat, QImage AImage) : PictureFormat(AFormat), Pixels(std::move(AImage))
    {
    }

    TGraphicFormat Format() const override { return PictureFormat; }
    int Width() const override { return Pixels.width(); }
    int Height() const override { return Pixels.height(); }
    void Draw(QPainter& Painter, const QRectF& Target) const override;

    // ARGB32 for pictures with transparency, RGB32 otherwise.
    const QImage& Image() const { return Pixels; }

private:
    TGraphicFormat PictureFormat;
    QImage Pixels;
};

// An icon file: all its images are kept; the one shown is the image an icon of the standard size
// (32 x 32) shows on a true-colour display.
class TIconGraphic : public TRasterGraphic
{
public:
    TIconGraphic(QByteArray AData, TIconDirectory ADirectory, int AEntry, QImage AImage)
        : TRasterGraphic(gfIcon, std::move(AImage)), FileData(std::move(AData)), Dir(std::move(ADirectory)),
          Chosen(AEntry)
    {
    }

    const QByteArray& Data() const { return FileData; }
    const TIconDirectory& Directory() const { return Dir; }
    int EntryIndex() const { return Chosen; }

    static constexpr QSize StandardSize{32, 32};

private:
    QByteArray FileData;
    TIconDirectory Dir;
    int Chosen = 0;
};

struct TDecodeOptions
{
    TJpegOptions Jpeg; // scale and speed of JPEG decoding
};

// What the loader gives: the picture, or the message naming the file and the reason.
struct TGraphicLoad
{
    std::unique_ptr<TGraphic> Graphic;
    QString Error; // "Cannot read picture "name": reason"; empty on success
    bool Ok() const { return Graphic != nullptr; }
};

// The format of a file name's extension (without regard to case); false for one the loader does not
// know.
bool GraphicFormatOf(const QString& FileName, TGraphicFormat& Format);

// Loads a picture file; the extension chooses the format. FileName is a path in the project's own
// notation or a native one (it goes through NativePath). When the data turns out to be another
// known format (a PNG named .jpg), that format is read instead.
TGraphicLoad LoadGraphic(const QString& FileName, const TDecodeOptions& Options = {});

// Called after every LoadGraphic with the file name as given and the error ("" when the picture
// loaded), so that a tool that checks a disc learns which pictures the windows read and whether they
// decode. It may be called from any thread that loads pictures; set it while none does. An empty
// function (the default) watches nothing.
using TGraphicLoadObserver = std::function<void(const QString& FileName, const QString& Error)>;
void SetGraphicLoadObserver(TGraphicLoadObserver Observer);

// The same for data already in memory; FileName gives the format and names the picture in errors.
TGraphicLoad LoadGraphicFromData(QByteArrayView Data, const QString& FileName,
                                 const TDecodeOptions& Options = {});

// Reads a whole file into memory with the size limit; false with a reason.
bool ReadPictureFile(const QString& FileName, QByteArray& Data, QString& Reason);

// The message of a failed load.
QString PictureError(const QString& FileName, const QString& Reason);

// A JPEG picture decoded at the largest reduction that leaves at least MinSize (see JpegScaleFor);
// the Fast option chooses the fast DCT.
TGraphicLoad LoadJpegScaled(const QString& FileName, QSize MinSize, bool Fast = false);
TGraphicLoad LoadJpegScaled(QByteArrayView Data, const QString& FileName, QSize MinSize, bool Fast = false);
