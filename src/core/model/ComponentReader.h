#pragma once

#include "model/Persistent.h"

#include <QByteArrayView>
#include <QString>

class QIODevice;

// Reads a component stream ("TPF0", one object record) into an existing root object.
// Every read is bounds-checked before anything is allocated; any failure stops the reading with a
// message and leaves the properties applied so far in place.

// Value tags of the component stream.
enum TValueType : quint8 {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20
};

struct TStreamReadResult
{
    bool Ok = true;
    QString Error;           // "Error reading Object.Property: reason", or a stream-level reason
    qsizetype Position = 0;  // where reading stopped, from the start of the stream
};

// Caps that keep a hostile stream from making the reader allocate without bound.
namespace StreamLimits {
// Collection items and string-list lines in one stream, all together.
constexpr qsizetype MaxElements = 500'000;
} // namespace StreamLimits

// Reads the stream in Data (which starts with "TPF0") into Root.
TStreamReadResult ReadComponent(QByteArrayView Data, TComponent& Root);
// Reads a stream of Size bytes from Device, from where it stands, a chunk at a time: a large file
// is never held in memory whole. A device that ends early or fails is a stream read error.
TStreamReadResult ReadComponent(QIODevice& Device, qint64 Size, TComponent& Root);
