#include "CursorLoader.h"

#include "CursorFile.h"

#include <QPixmap>

std::optional<TCursorImage> LoadCursorImage(const QString& FileName)
{
    TCursorFrames Frames;
    if (!LoadCursorFrames(FileName, Frames, nullptr) || Frames.Frames.isEmpty())
        return std::nullopt;
    TCursorImage Image;
    for (qsizetype Step = 0; Step < Frames.Sequence.size(); ++Step) {
        const int Index = Frames.Sequence[Step];
        if (Index < 0 || Index >= Frames.Frames.size())
            continue;
        const TCursorFrame& F = Frames.Frames[Index];
        Image.Frames.append(QCursor(QPixmap::fromImage(F.Image), F.HotSpot.x(), F.HotSpot.y()));
        // Steps are counted in jiffies of 1/60 second.
        const quint32 Jiffies = Step < Frames.Jiffies.size() ? Frames.Jiffies[Step] : 0;
        Image.FrameTimes.append(int(qMin<quint32>(Jiffies, 60000) * 1000 / 60));
    }
    if (Image.Frames.isEmpty())
        return std::nullopt;
    return Image;
}
