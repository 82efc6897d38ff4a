#include "CursorFile.h"

#include "ByteReader.h"
#include "Graphic.h"
#include "IconFile.h"
#include "ImageLimits.h"

#include <new>

namespace {

// One image from a cursor or icon file image: the one a cursor of the standard size shows.
TCursorFrame ReadFrame(QByteArrayView Data)
{
    TIconDirectory Dir;
    QString Reason;
    if (!ReadIconDirectory(Data, Dir, Reason))
        ImageFail(Reason);
    const TIconEntry& E =
        Dir.Entries[ChooseIconEntry(Dir.Entries, QSize(StandardCursorSize, StandardCursorSize), 32)];
    TCursorFrame Frame;
    if (!DecodeIconImage(Data, E, Frame.Image, Reason))
        ImageFail(Reason);
    const QSize Size = Frame.Image.size();
    QPoint Hot = Dir.Type == iftCursor ? E.HotSpot() : QPoint(E.Width / 2, E.Height / 2);
    // The hot spot is given for the directory's size; an image of another size moves it along.
    if (E.Width > 0 && E.Height > 0 && Size != QSize(E.Width, E.Height))
        Hot = QPoint(int(qint64(Hot.x()) * Size.width() / E.Width),
                     int(qint64(Hot.y()) * Size.height() / E.Height));
    Frame.HotSpot = QPoint(qBound(0, Hot.x(), Size.width() - 1), qBound(0, Hot.y(), Size.height() - 1));
    return Frame;
}

struct TChunk
{
    QByteArray Id;
    QByteArrayView Data;
};

// The chunks of a RIFF body; each is padded to an even size.
QList<TChunk> Chunks(QByteArrayView Body)
{
    QList<TChunk> List;
    TByteReader R(Body);
    while (R.Left() >= 8) {
        TChunk C;
        C.Id = R.Bytes(4).toByteArray();
        const quint32 Size = R.U32();
        if (Size > R.Left())
            ImageFail(
                QStringLiteral("chunk \"%1\" runs past the end of the data").arg(QString::fromLatin1(C.Id)));
        C.Data = R.Bytes(Size);
        if (Size & 1 && !R.AtEnd())
            R.Skip(1);
        List.append(C);
    }
    return List;
}

QList<quint32> Numbers(QByteArrayView Data, qint64 Count)
{
    TByteReader R(Data);
    QList<quint32> List;
    for (qint64 I = 0; I < Count; ++I)
        List.append(R.U32());
    return List;
}

void ReadAnimated(QByteArrayView Data, TCursorFrames& Out)
{
    const TImageLimits& L = ImageLimits();
    TByteReader R(Data);
    R.Skip(4);
    const quint32 RiffSize = R.U32();
    R.Skip(4); // "ACON"
    // A RIFF size that overstates the data is read as far as the data goes.
    const qint64 BodySize = qBound<qint64>(0, qint64(RiffSize) - 4, Data.size() - 12);
    const QByteArrayView Body = Data.sliced(12, qsizetype(BodySize));
    bool HaveHeader = false;
    quint32 Steps = 0, Rate = 0, Flags = 0;
    QByteArrayView RateData, SeqData;
    bool HaveRate = false, HaveSeq = false;
    QList<QByteArrayView> Icons;
    for (const TChunk& C : Chunks(Body)) {
        if (C.Id == "anih") {
            TByteReader H(C.Data);
            if (H.U32() < 36)
                ImageFail(QStringLiteral("anih header is too short"));
            H.U32(); // frames: the icon chunks are counted instead
            Steps = H.U32();
            H.Skip(16); // width, height, bit count, planes
            Rate = H.U32();
            Flags = H.U32();
            HaveHeader = true;
        } else if (C.Id == "rate") {
            RateData = C.Data;
            HaveRate = true;
        } else if (C.Id == "seq ") {
            SeqData = C.Data;
            HaveSeq = true;
        } else if (C.Id == "LIST" && C.Data.size() >= 4 && C.Data.first(4) == "fram") {
            for (const TChunk& F : Chunks(C.Data.sliced(4))) {
                if (F.Id != "icon")
                    continue;
                if (Icons.size() >= L.MaxCursorFrames)
                    ImageFail(QStringLiteral("more than %1 frames").arg(L.MaxCursorFrames));
                Icons.append(F.Data);
            }
        }
    }
    if (!HaveHeader)
        ImageFail(QStringLiteral("animated cursor without anih header"));
    if (!(Flags & 1))
        ImageFail(QStringLiteral("frames are raw bitmaps, not icon images"));
    if (Icons.isEmpty())
        ImageFail(QStringLiteral("animated cursor without frames"));
    if (!HaveSeq && Steps == 0)
        Steps = quint32(Icons.size());
    if (HaveSeq && Steps == 0)
        Steps = quint32(SeqData.size() / 4);
    if (Steps > quint32(L.MaxCursorSteps))
        ImageFail(QStringLiteral("%1 steps are above the limit of %2").arg(Steps).arg(L.MaxCursorSteps));
    if (Steps == 0)
        ImageFail(QStringLiteral("animated cursor without steps"));

    for (const QByteArrayView& Icon : Icons)
        Out.Frames.append(ReadFrame(Icon));
    if (HaveSeq) {
        if (SeqData.size() / 4 < qsizetype(Steps))
            ImageFail(QStringLiteral("seq holds fewer than %1 steps").arg(Steps));
        for (quint32 Frame : Numbers(SeqData, Steps)) {
            if (Frame >= quint32(Out.Frames.size()))
                ImageFail(QStringLiteral("a step shows frame %1 of %2").arg(Frame).arg(Out.Frames.size()));
            Out.Sequence.append(int(Frame));
        }
    } else {
        // Without a sequence the frames show in order, one step each.
        if (Steps > quint32(Out.Frames.size()))
            ImageFail(QStringLiteral("%1 steps but %2 frames and no seq").arg(Steps).arg(Out.Frames.size()));
        for (quint32 I = 0; I < Steps; ++I)
            Out.Sequence.append(int(I));
    }
    if (HaveRate && RateData.size() / 4 >= qsizetype(Steps))
        Out.Jiffies = Numbers(RateData, Steps);
    else
        Out.Jiffies = QList<quint32>(qsizetype(Steps), Rate);
}

} // namespace

bool ReadCursorFrames(QByteArrayView Data, TCursorFrames& Out, QString& Error)
{
    Out = TCursorFrames();
    try {
        if (Data.size() >= 12 && Data.first(4) == "RIFF" && Data.sliced(8, 4) == "ACON") {
            ReadAnimated(Data, Out);
        } else {
            Out.Frames.append(ReadFrame(Data));
            Out.Sequence.append(0);
            Out.Jiffies.append(0);
        }
        return true;
    } catch (const EImageData& E) {
        Out = TCursorFrames();
        Error = E.Reason;
        return false;
    } catch (const std::bad_alloc&) {
        Out = TCursorFrames();
        Error = QStringLiteral("not enough memory");
        return false;
    }
}

bool LoadCursorFrames(const QString& FileName, TCursorFrames& Out, QString* Error)
{
    QByteArray Data;
    QString Reason;
    if (ReadPictureFile(FileName, Data, Reason) && ReadCursorFrames(Data, Out, Reason))
        return true;
    Out = TCursorFrames();
    if (Error)
        *Error = QStringLiteral("Cannot read cursor \"%1\": %2").arg(FileName, Reason);
    return false;
}
