#pragma once

// Builds component streams byte by byte, so a test shows exactly which bytes it feeds the reader.

#include "model/ComponentReader.h"
#include "model/StructureFile.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>

class TStreamBuilder
{
public:
    QByteArray Bytes;

    TStreamBuilder& Raw(QByteArrayView B)
    {
        Bytes.append(B);
        return *this;
    }
    TStreamBuilder& Byte(quint8 B)
    {
        Bytes.append(char(B));
        return *this;
    }
    template <class T>
    TStreamBuilder& LE(T V)
    {
        char Buf[sizeof(T)];
        qToLittleEndian<T>(V, Buf);
        Bytes.append(Buf, sizeof(T));
        return *this;
    }
    // A short string of Latin-1 text.
    TStreamBuilder& Short(QByteArrayView S)
    {
        Byte(quint8(S.size()));
        return Raw(S);
    }
    // Starts a stream: signature, class name, object name.
    TStreamBuilder& Begin(QByteArrayView ClassName = "TVeltraneProject", QByteArrayView Name = "Project")
    {
        Raw("TPF0");
        Short(ClassName);
        return Short(Name);
    }
    // Ends the root's property list and its (empty) child list.
    TStreamBuilder& End() { return Byte(0).Byte(0); }

    TStreamBuilder& Prop(QByteArrayView Name) { return Short(Name); }
    TStreamBuilder& Int8(qint8 V) { return Byte(vaInt8).LE<qint8>(V); }
    TStreamBuilder& Int16(qint16 V) { return Byte(vaInt16).LE<qint16>(V); }
    TStreamBuilder& Int32(qint32 V) { return Byte(vaInt32).LE<qint32>(V); }
    TStreamBuilder& Str(QByteArrayView S) { return Byte(vaString).Short(S); }
    TStreamBuilder& LStr(QByteArrayView S) { return Byte(vaLString).LE<quint32>(quint32(S.size())).Raw(S); }
    TStreamBuilder& WStr(const QString& S)
    {
        Byte(vaWString).LE<quint32>(quint32(S.size()));
        for (QChar C : S)
            LE<quint16>(C.unicode());
        return *this;
    }
    TStreamBuilder& Utf8(const QString& S)
    {
        const QByteArray U = S.toUtf8();
        return Byte(vaUTF8String).LE<quint32>(quint32(U.size())).Raw(U);
    }
    TStreamBuilder& Ident(QByteArrayView S) { return Byte(vaIdent).Short(S); }
    TStreamBuilder& Bool(bool V) { return Byte(V ? vaTrue : vaFalse); }
    TStreamBuilder& Binary(QByteArrayView B) { return Byte(vaBinary).LE<quint32>(quint32(B.size())).Raw(B); }
    TStreamBuilder& Collection() { return Byte(vaCollection); }
    TStreamBuilder& Item() { return Byte(vaList); }
    TStreamBuilder& EndList() { return Byte(vaNull); }

    // The 16-byte header of a structure file followed by this stream.
    QByteArray File(quint32 Version = PackVersion(2, 7, 5)) const
    {
        QByteArray Out;
        char Buf[8];
        qToLittleEndian<qint64>(StructureFile::Signature, Buf);
        Out.append(Buf, 8);
        qToLittleEndian<quint32>(Version, Buf);
        Out.append(Buf, 4);
        Out.append(4, '\0');
        Out.append(Bytes);
        return Out;
    }
};

// The smallest valid icon file image: one 1x1 32-bit entry.
inline QByteArray TinyIcon()
{
    TStreamBuilder B;
    B.LE<quint16>(0).LE<quint16>(1).LE<quint16>(1);
    const quint32 ImageSize = 40 + 4 + 4; // header, one pixel, one mask row
    B.Byte(1).Byte(1).Byte(0).Byte(0).LE<quint16>(1).LE<quint16>(32).LE<quint32>(ImageSize).LE<quint32>(22);
    B.LE<quint32>(40).LE<qint32>(1).LE<qint32>(2).LE<quint16>(1).LE<quint16>(32);
    B.LE<quint32>(0).LE<quint32>(0).LE<qint32>(0).LE<qint32>(0).LE<quint32>(0).LE<quint32>(0);
    B.LE<quint32>(0xFF0000FF).LE<quint32>(0);
    return B.Bytes;
}
