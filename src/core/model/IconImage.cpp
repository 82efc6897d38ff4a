#include "model/IconImage.h"

#include <QtEndian>

bool ParseIconDirectory(QByteArrayView Data, QList<TIconDirEntry>* Entries)
{
    constexpr qsizetype HeaderSize = 6;
    constexpr qsizetype EntrySize = 16;
    if (Data.size() < HeaderSize)
        return false;
    const auto* P = reinterpret_cast<const uchar*>(Data.data());
    const quint16 Reserved = qFromLittleEndian<quint16>(P);
    const quint16 Type = qFromLittleEndian<quint16>(P + 2);
    const quint16 Count = qFromLittleEndian<quint16>(P + 4);
    if (Reserved != 0 || Type != 1 || Count == 0)
        return false;
    const qsizetype DirEnd = HeaderSize + qsizetype(Count) * EntrySize;
    if (DirEnd > Data.size())
        return false;
    if (Entries) {
        Entries->clear();
        Entries->reserve(Count);
    }
    for (quint16 I = 0; I < Count; ++I) {
        const uchar* E = P + HeaderSize + qsizetype(I) * EntrySize;
        TIconDirEntry Entry;
        Entry.Width = E[0] ? E[0] : 256;
        Entry.Height = E[1] ? E[1] : 256;
        Entry.BitCount = qFromLittleEndian<quint16>(E + 6);
        Entry.BytesInRes = qFromLittleEndian<quint32>(E + 8);
        Entry.ImageOffset = qFromLittleEndian<quint32>(E + 12);
        // 64-bit arithmetic: offset plus size must not wrap around.
        if (Entry.BytesInRes == 0 || Entry.ImageOffset < DirEnd ||
            quint64(Entry.ImageOffset) + Entry.BytesInRes > quint64(Data.size()))
            return false;
        if (Entries)
            Entries->append(Entry);
    }
    return true;
}
