#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The message of a resampling whose target has no pixels.
inline constexpr char SourceTooSmallMessage[] = "Source graphics is too small";

// Filtered rescaling of Source to Width x Height with the Hermite filter, in two separable passes
// (columns, then rows): the picture is first drawn onto a 24-bit bitmap (transparent parts over
// black); each destination pixel sums the contributing source pixels with their weights, without
// normalising, rounded to the nearest (halves to even) and clamped to 0..255. The result is RGB32.
// A target (or source) width or height below 1 fails with "Source graphics is too small".
bool HermiteResample(const QImage& Source, int Width, int Height, QImage& Dest, QString* Error = nullptr);

// The size of a thumbnail of a Picture-sized picture in a Box-sized box: the picture's own size when
// it fits, otherwise the picture scaled to fit with its proportions kept (sides rounded to the
// nearest, halves to even). A box without area gives an empty size.
QSize ThumbnailSize(QSize Picture, QSize Box);

// Builds the thumbnail of the picture file FileName for a Width x Height box (the algorithm of the
// thumbnail strip): a missing file gives a black bitmap of the box size; otherwise the bitmap has the
// thumbnail's size and shows the picture, resampled with GoodQuality and stretched by the painter
// without it. A JPEG picture is decoded at a reduced scale: without GoodQuality a half or a quarter
// by the smaller ratio of picture to box, with it the largest reduction that leaves twice the
// thumbnail's size for the filter. Returns false with the loader's message, or "Source graphics is
// too small", in Error. Safe to run on several threads at once.
bool MakeThumbnail(const QString& FileName, int Width, int Height, bool GoodQuality, QImage& Bitmap,
                   QString* Error = nullptr);
