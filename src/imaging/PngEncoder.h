#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// Writes a picture as a PNG file quickly: 8-bit RGB (RGBA when the picture has an alpha channel),
// no row filters and zlib's fastest level. About twice as fast as Qt's writer at its fastest
// compressing quality, for a file of about the same size when the picture is a screen's (large areas
// of one colour, few gradients). Returns false with a reason when the file cannot be written.
bool SavePngFast(const QImage& Image, const QString& FileName, QString& Error);
// The same into an open device.
bool SavePngFast(const QImage& Image, QIODevice& Out, QString& Error);
