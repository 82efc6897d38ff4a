#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtEndian>

#include <cstring>
#include <exception>

// Thrown inside the readers for input they cannot use; each reader's entry point catches it and
// returns the reason as its error text. It never leaves the imaging layer.
class EImageData : public std::exception
{
public:
    explicit EImageData(QString AReason) : Reason(std::move(AReason)) {}
    const char* what() const noexcept override { return "picture data error"; }
    QString Reason;
};

[[noreturn]] inline void ImageFail(const QString& Reason)
{
    throw EImageData(Reason);
}

// Little-endian reads from a byte buffer; every read checks the bytes left and fails with "data ends
// early" instead of reading past the end.
class TByteReader
{
public:
    explicit TByteReader(QByteArrayView AData, qsizetype APos = 0) : Data(AData), Pos(APos) {}

    qsizetype Position() const { return Pos; }
    qsizetype Size() const { return Data.size(); }
    qsizetype Left() const { return Pos <= Data.size() ? Data.size() - Pos : 0; }
    bool AtEnd() const { return Pos >= Data.size(); }

    void Seek(qsizetype NewPos)
    {
        if (NewPos < 0 || NewPos > Data.size())
            ImageFail(QStringLiteral("data ends early"));
        Pos = NewPos;
    }
    void Skip(qint64 Count)
    {
        if (Count < 0 || Count > Left())
            ImageFail(QStringLiteral("data ends early"));
        Pos += qsizetype(Count);
    }
    QByteArrayView Bytes(qint64 Count)
    {
        if (Count < 0 || Count > Left())
            ImageFail(QStringLiteral("data ends early"));
        const QByteArrayView R = Data.sliced(Pos, qsizetype(Count));
        Pos += qsizetype(Count);
        return R;
    }
    quint8 U8() { return quint8(*Bytes(1).data()); }
    quint16 U16() { return qFromLittleEndian<quint16>(Bytes(2).data()); }
    qint16 I16() { return qFromLittleEndian<qint16>(Bytes(2).data()); }
    quint32 U32() { return qFromLittleEndian<quint32>(Bytes(4).data()); }
    qint32 I32() { return qFromLittleEndian<qint32>(Bytes(4).data()); }
    float F32()
    {
        const quint32 Bits = U32();
        float F;
        static_assert(sizeof F == sizeof Bits);
        std::memcpy(&F, &Bits, sizeof F);
        return F;
    }

private:
    QByteArrayView Data;
    qsizetype Pos = 0;
};
