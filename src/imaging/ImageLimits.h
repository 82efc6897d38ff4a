#pragma once

#include <QRgb>
#include <QString>
#include <QtGlobal>

// What a picture whose file ends inside its pixel data shows where the data is missing: mid grey,
// as libjpeg fills the blocks of a sequential JPEG it has no data for. The JPEG, PNG and GIF readers
// all keep the pixels decoded and fill the rest with it.
inline constexpr QRgb CutPictureFill = 0xFF808080;

// Limits every reader checks before it allocates. A disc is untrusted input: a few bytes must not be
// able to ask for gigabytes or for hours of work.
struct TImageLimits
{
    int MaxSide = 16384;                            // pixels per side of any decoded picture
    qint64 MaxPixels = qint64(256) * 1024 * 1024;   // pixels of one decoded picture
    qint64 MaxFileSize = qint64(256) * 1024 * 1024; // bytes of a picture file read into memory
    int MaxIconEntries = 512;                       // images in one icon or cursor file
    int MaxIconSide = 1024;                         // pixels per side of one image in an icon or cursor
    int MaxCursorFrames = 1024;                     // frames of an animated cursor
    int MaxCursorSteps = 4096;                      // steps of an animated cursor's sequence
    int MaxJpegScans = 256;                         // scans of a progressive JPEG
    int MaxMetafileRecords = 1000000;               // records played from one metafile
    qint64 MaxMetafilePoints = 4000000;             // points of all shapes of one metafile together
};

// Tighter limits under which every input decodes within milliseconds: pictures of at most 4 M
// pixels, fewer records and points. The fuzzing harnesses use them.
inline TImageLimits SmallImageLimits()
{
    TImageLimits L;
    L.MaxSide = 4096;
    L.MaxPixels = 4 * 1024 * 1024;
    L.MaxIconSide = 256;
    L.MaxCursorFrames = 64;
    L.MaxCursorSteps = 256;
    L.MaxJpegScans = 64;
    L.MaxMetafileRecords = 20000;
    L.MaxMetafilePoints = 200000;
    return L;
}

// The limits in force. The defaults suit the program; the fuzzing harnesses lower them so that each
// input is decoded quickly.
const TImageLimits& ImageLimits();
void SetImageLimits(const TImageLimits& Limits);

// Checks a picture size against the limits. Returns an empty string when the size is allowed,
// otherwise the reason ("width 20000 is above the limit of 16384").
QString CheckImageSize(qint64 Width, qint64 Height);
