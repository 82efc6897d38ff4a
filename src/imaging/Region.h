#pragma once

#include <QImage>
#include <QRegion>

// The window region of a shaped window: every pixel whose colour (red, green, blue) differs from the
// top-left pixel's. Built in one pass over the rows: each row's runs of such pixels become
// rectangles, and consecutive rows with the same runs share one rectangle. An empty bitmap gives an
// empty region.
QRegion RegionFromBitmap(const QImage& Bitmap);

// The region of the pixels of Mask whose alpha is at least 128, moved by Offset; built the same way.
QRegion RegionFromMask(const QImage& Mask, QPoint Offset = {});
