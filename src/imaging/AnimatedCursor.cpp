#include "AnimatedCursor.h"

#include <QPixmap>
#include <QVariant>

#include <cmath>

TAnimatedCursor::TAnimatedCursor(const TCursorFrames& Frames, QObject* Parent) : QObject(Parent)
{
    for (const TCursorFrame& F : Frames.Frames)
        FrameCursors.append(QCursor(QPixmap::fromImage(F.Image), F.HotSpot.x(), F.HotSpot.y()));
    for (qsizetype I = 0; I < Frames.Sequence.size(); ++I) {
        const int Frame = Frames.Sequence[I];
        if (Frame < 0 || Frame >= FrameCursors.size())
            continue;
        Sequence.append(Frame);
        Intervals.append(JiffiesToMs(I < Frames.Jiffies.size() ? Frames.Jiffies[I] : 0));
    }
    Timer.setSingleShot(true);
    connect(&Timer, &QTimer::timeout, this, &TAnimatedCursor::Advance);
}

int TAnimatedCursor::JiffiesToMs(quint32 Jiffies)
{
    const double Ms = std::round(double(Jiffies) * 1000.0 / 60.0);
    return int(qBound(double(MinStepMs), Ms, double(MaxStepMs)));
}

QCursor TAnimatedCursor::CursorAt(int AStep) const
{
    if (AStep < 0 || AStep >= Sequence.size())
        return QCursor(Qt::ArrowCursor);
    return FrameCursors[Sequence[AStep]];
}

int TAnimatedCursor::StepInterval(int AStep) const
{
    return AStep >= 0 && AStep < Intervals.size() ? Intervals[AStep] : MinStepMs;
}

void TAnimatedCursor::AddTarget(QObject* Target)
{
    if (!Target || Targets().contains(Target))
        return;
    TargetList.append(Target);
    Target->setProperty("cursor", QVariant::fromValue(Cursor()));
}

void TAnimatedCursor::RemoveTarget(QObject* Target)
{
    TargetList.removeIf([Target](const QPointer<QObject>& P) { return P.isNull() || P == Target; });
}

QList<QObject*> TAnimatedCursor::Targets() const
{
    QList<QObject*> List;
    for (const QPointer<QObject>& P : TargetList)
        if (P)
            List.append(P.data());
    return List;
}

void TAnimatedCursor::Start()
{
    if (Sequence.size() > 1 && !Timer.isActive())
        Schedule();
}

void TAnimatedCursor::Stop()
{
    Timer.stop();
}

void TAnimatedCursor::Advance()
{
    if (Sequence.isEmpty())
        return;
    const bool Running = Timer.isActive() || sender() == &Timer;
    Step = (Step + 1) % int(Sequence.size());
    Apply();
    if (Running)
        Schedule();
}

void TAnimatedCursor::Apply()
{
    const QCursor C = Cursor();
    for (const QPointer<QObject>& P : TargetList)
        if (P)
            P->setProperty("cursor", QVariant::fromValue(C));
    emit CursorChanged(C);
}

void TAnimatedCursor::Schedule()
{
    Timer.start(StepInterval(Step));
}
