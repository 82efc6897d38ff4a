#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

// Decodes the first frame of a GIF stream through giflib onto a canvas of the logical screen's size
// (ARGB32; pixels the frame does not cover and the transparent colour are transparent). Interlaced
// frames, local and global colour tables. Returns false with a reason.
bool DecodeGif(QByteArrayView Data, QImage& Out, QString& Error);
