#pragma once

#include "Graphic.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>

#include <memory>

// Windows metafiles (.wmf, with or without the placeable header) and enhanced metafiles (.emf). The
// records are checked when the file is read and played through a QPainter when the picture is drawn:
// shapes, lines, text, pens, brushes and fonts, mapping modes and transforms, clipping, paths and
// DIB blits. Records the player does not know are skipped.
class TMetafileGraphic : public TGraphic
{
public:
    struct TRecord
    {
        quint32 Type = 0;     // the record's function (WMF) or type (EMF)
        qsizetype Offset = 0; // where the record starts in the data
        qsizetype Size = 0;   // its whole size in bytes
    };

    // Reads and checks a metafile. Returns nullptr with a reason.
    static std::unique_ptr<TMetafileGraphic> Read(QByteArrayView Data, bool Enhanced, QString& Error);

    TGraphicFormat Format() const override { return IsEnhanced ? gfEnhMetafile : gfMetafile; }
    int Width() const override { return PixelSize.width(); }
    int Height() const override { return PixelSize.height(); }
    // Plays the records so that the picture's frame fills Target; nothing is drawn outside Target.
    void Draw(QPainter& Painter, const QRectF& Target) const override;

    const QByteArray& Data() const { return Bytes; }
    const QList<TRecord>& Records() const { return RecordList; }
    // The picture's frame: logical units of a WMF, reference-device pixels of an EMF.
    QRectF Frame() const { return FrameRect; }

private:
    friend class TMetafilePlayer;

    QByteArray Bytes;
    bool IsEnhanced = false;
    QSize PixelSize;
    QRectF FrameRect;
    int ObjectCount = 0;             // WMF object table size, EMF handle count
    double PixelsPerMmX = 96 / 25.4; // EMF reference device resolution
    double PixelsPerMmY = 96 / 25.4;
    QList<TRecord> RecordList;
};
