#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

inline constexpr char PngSignature[] = "\x89PNG\r\n\x1a\n";

bool HasPngSignature(QByteArrayView Data);

// Decodes a PNG stream through libpng into 32-bit ARGB (opaque pictures as RGB32): every colour type
// and bit depth, interlaced or not, with tRNS transparency; gamma and colour profiles are left
// alone. Returns false with a reason.
bool DecodePng(QByteArrayView Data, QImage& Out, QString& Error);
