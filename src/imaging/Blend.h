#pragma once

#include <QImage>
#include <QRgb>

#include <array>

// The opacity lookup table: entry i is the low eight bits of Trunc(i x Opacity). Opacity is meant to
// lie between 0.0 and 1.0 but is not clamped; a value that is not a finite number gives a table of
// zeros.
using TOpacityTable = std::array<uchar, 256>;
TOpacityTable MakeOpacityTable(double Opacity);

// Blends Src onto Dest with its top-left corner at (X, Y), in place. Pixels of Src whose colour
// (red, green, blue) equals Key's are transparent. Every other channel of the overlap is blended with
// the table T: with s the source and d the destination byte, d becomes d + T[s - d] when s >= d and
// d + T[256 - (d - s)] - T[255] when s < d, in byte arithmetic. Parts outside Dest are cut off.
// The destination decides the layout: one with an alpha channel is worked on as ARGB32, whose fourth
// byte is blended the same way with s = 0; any other as RGB32 with three channels (a destination in
// another format, such as RGB888, is converted to that format). Src is brought to the destination's
// format first.
void BlendBitmap(QImage& Dest, const QImage& Src, const TOpacityTable& T, QRgb Key, int X, int Y);

// The transparent colour of a bitmap by the platform's rule: its bottom-left pixel.
QRgb TransparentColour(const QImage& Bitmap);

// Composes Picture over Background at (X, Y) with the table: BlendBitmap into Background (the caller
// passes a working copy, which is changed), then the rectangle (X, Y, width, height) of it is
// returned as a new picture of Picture's size; where that rectangle lies outside Background (all of
// it for a null Background) the result keeps Picture's own pixels. The key is Picture's transparent
// colour. A null Picture changes nothing and gives a null image.
QImage BlendWithBackground(QImage& Background, const QImage& Picture, const TOpacityTable& T, int X, int Y);
