#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QString>
#include <QtGlobal>

// Device-independent bitmaps: the pixel format of BMP files, of the images inside icons and cursors,
// and of the bitmaps that metafiles carry.

enum TDibCompression : quint32
{
    dcRgb = 0,
    dcRle8 = 1,
    dcRle4 = 2,
    dcBitFields = 3,
    dcJpeg = 4,
    dcPng = 5,
    dcAlphaBitFields = 6,
};

struct TDibHeader
{
    int HeaderSize = 0; // 12 (OS/2 1.x core), 16..64 (OS/2 2.x), 40, 52, 56, 108, 124
    qint64 Width = 0;
    qint64 Height = 0;    // rows, always positive; see TopDown
    bool TopDown = false; // a negative stored height: rows stored from the top
    int BitCount = 0;
    quint32 Compression = dcRgb;
    quint32 RedMask = 0, GreenMask = 0, BlueMask = 0, AlphaMask = 0;
    bool ExplicitMasks = false; // masks given by the header or after it, with bit-field compression
    QList<QRgb> Palette;        // opaque colours; index beyond it reads as black
    qsizetype InfoSize = 0;     // header, masks and palette: where the pixels of a packed DIB start
    quint32 ImageSize = 0;      // the header's size of the pixel data (0 allowed for uncompressed)
};

// Reads a BITMAPINFO (or BITMAPCOREINFO) at the start of Info. Throws EImageData.
TDibHeader ReadDibHeader(QByteArrayView Info);

// Bytes of one stored row of Width pixels of BitCount bits (rows are padded to four bytes).
qint64 DibRowBytes(qint64 Width, int BitCount);

// Decodes Rows rows of pixels (the header's height, or half of it for an icon image) from Bits.
// With UseAlpha the alpha channel is taken from the alpha mask (or the fourth byte of a 32-bit pixel
// without masks); otherwise the picture is opaque. Throws EImageData.
QImage DecodeDibPixels(const TDibHeader& Header, qint64 Rows, QByteArrayView Bits, bool UseAlpha);

// A whole BMP file. Returns false with a reason.
bool DecodeBmp(QByteArrayView Data, QImage& Out, QString& Error);

// A DIB as metafiles hold it: Info holds the BITMAPINFO, Bits the pixels (an empty Bits means the
// pixels follow the palette inside Info, as in a packed DIB). Returns false with a reason.
bool DecodeDib(QByteArrayView Info, QByteArrayView Bits, QImage& Out, QString& Error);
