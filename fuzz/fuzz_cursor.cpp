// Fuzzes the cursor reader: animated cursors (RIFF ACON), cursor and icon files.
//
// What reads must be consistent: at least one frame, no frame or step above the limits, every step
// naming a frame, a display time for every step.

#include "CursorFile.h"
#include "ImageLimits.h"

#include <QByteArrayView>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetImageLimits(SmallImageLimits());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TCursorFrames Frames;
    QString Error;
    if (!ReadCursorFrames(QByteArrayView(Data, qsizetype(Size)), Frames, Error)) {
        if (Error.isEmpty() || !Frames.Frames.isEmpty())
            std::abort();
        return 0;
    }
    const TImageLimits& L = ImageLimits();
    if (Frames.Frames.isEmpty() || Frames.Frames.size() > L.MaxCursorFrames || Frames.Sequence.isEmpty() ||
        Frames.Sequence.size() > L.MaxCursorSteps || Frames.Jiffies.size() != Frames.Sequence.size())
        std::abort();
    for (int Frame : Frames.Sequence)
        if (Frame < 0 || Frame >= Frames.Frames.size())
            std::abort();
    for (const TCursorFrame& F : Frames.Frames)
        if (F.Image.isNull() || !QRect(QPoint(0, 0), F.Image.size()).contains(F.HotSpot))
            std::abort();
    return 0;
}
