#pragma once

#include <QByteArrayView>
#include <QList>

// The directory of a Windows icon file image, as far as the model needs it: to reject a payload that
// is no icon and to describe an icon without decoding it.

struct TIconDirEntry
{
    int Width = 0;  // a stored 0 means 256
    int Height = 0;
    int BitCount = 0;
    quint32 BytesInRes = 0;
    quint32 ImageOffset = 0;
};

// Parses the header and directory. False unless the data is an icon file image (reserved 0, type 1,
// at least one entry) whose directory and every image lie inside the data.
bool ParseIconDirectory(QByteArrayView Data, QList<TIconDirEntry>* Entries = nullptr);

inline bool IsValidIconImage(QByteArrayView Data)
{
    return ParseIconDirectory(Data);
}
