#pragma once

// Little-endian fields for the picture files the tests build byte by byte.

#include <QByteArray>
#include <QtEndian>

// A 16-bit field; negative values are written in two's complement (metafile coordinates).
inline QByteArray LE16(qint32 V)
{
    QByteArray B(2, '\0');
    qToLittleEndian(quint16(V), B.data());
    return B;
}

inline QByteArray LE32(quint32 V)
{
    QByteArray B(4, '\0');
    qToLittleEndian(V, B.data());
    return B;
}
