#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>

// One picture of a cursor and the point of it that is the mouse position.
struct TCursorFrame
{
    QImage Image; // ARGB32
    QPoint HotSpot;
};

// A cursor as read from a file: its frames, the order they are shown in (one step per entry of
// Sequence, naming a frame) and how long each step shows, in jiffies of 1/60 second. A still cursor
// has one frame and one step of 0 jiffies.
struct TCursorFrames
{
    QList<TCursorFrame> Frames;
    QList<int> Sequence;
    QList<quint32> Jiffies;

    bool IsAnimated() const { return Sequence.size() > 1; }
};

// The cursor size the images are chosen for when a file holds several.
inline constexpr int StandardCursorSize = 32;

// Reads an animated cursor (RIFF "ACON": anih, rate, seq and a LIST fram of icon chunks, each a
// cursor or icon file image), a cursor file or an icon file; the content decides which. An icon
// used as a cursor has its hot spot in the middle. Returns false with a reason.
bool ReadCursorFrames(QByteArrayView Data, TCursorFrames& Out, QString& Error);

// Reads a cursor file (.ani, .cur or .ico; a path in the project's notation or a native one). On
// failure Out is left empty and Error (if given) names the file: "Cannot read cursor "x.ani": reason".
bool LoadCursorFrames(const QString& FileName, TCursorFrames& Out, QString* Error);
