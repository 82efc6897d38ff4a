#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

// Icon (.ico) and cursor (.cur) files: a directory of images, each a DIB with an AND mask or a PNG
// stream.

enum TIconFileType
{
    iftIcon = 1,
    iftCursor = 2
};

struct TIconEntry
{
    int Width = 0; // from the directory; a stored 0 means 256
    int Height = 0;
    int ColourCount = 0; // the colour-count byte; 0 means more than 256 colours
    int Planes = 0;      // a cursor's hot spot x
    int BitCount = 0;    // a cursor's hot spot y
    quint32 Size = 0;
    quint32 Offset = 0;
    QPoint HotSpot() const { return {Planes, BitCount}; }
};

struct TIconDirectory
{
    TIconFileType Type = iftIcon;
    QList<TIconEntry> Entries;
};

// Reads the header and directory. The data must be an icon or cursor file image (reserved 0, type 1
// or 2, at least one entry) whose every image lies inside the data; icons are accepted exactly when
// the project model accepts them. Returns false with a reason.
bool ReadIconDirectory(QByteArrayView Data, TIconDirectory& Directory, QString& Error);

// Decodes one image of the file into ARGB32: pixels the AND mask marks become transparent, and a
// 32-bit image with any alpha uses its alpha instead. Returns false with a reason.
bool DecodeIconImage(QByteArrayView Data, const TIconEntry& Entry, QImage& Out, QString& Error);

// The number of colours a display of BitsPerPixel shows; more than 8 bits count as unlimited
// (returned as -1).
int DisplayColours(int BitsPerPixel);

// The image an icon shows at Wanted on a display of DisplayBitsPerPixel (bits x planes): entry 0
// first; each later entry replaces the best when its colour count is not above the display's and
// not below the best's, and it is at least as close in size; ties go to the later entry.
int ChooseIconEntry(const QList<TIconEntry>& Entries, QSize Wanted, int DisplayBitsPerPixel);

// Renders the image ChooseIconEntry picks from an icon file image, stretched to that entry's own
// size as the directory states it (ARGB32). A null image with the reason in Error when the icon
// cannot be read.
QImage RenderIconAtSize(QByteArrayView Icon, QSize Wanted, int DisplayBitsPerPixel = 32,
                        QString* Error = nullptr);
