#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

struct TJpegOptions
{
    int ScaleDenominator = 1; // 1, 2, 4 or 8: the picture decoded at that fraction of its size
    bool Fast = false;        // the fast integer DCT and plain upsampling, for previews
};

// The picture's size as stored in its header, without decoding it.
bool ReadJpegSize(QByteArrayView Data, QSize& Size, QString& Error);

// Decodes a JPEG stream through libjpeg into RGB32: colour, grayscale and CMYK pictures, at full or
// reduced scale. A corrupt stream is an error, never the end of the program. Returns false with a
// reason.
bool DecodeJpeg(QByteArrayView Data, QImage& Out, QString& Error, const TJpegOptions& Options = {});

// The largest reduction (1/8, 1/4, 1/2 or none) that still leaves the decoded picture at least
// MinSize in both directions.
int JpegScaleFor(QSize PictureSize, QSize MinSize);
