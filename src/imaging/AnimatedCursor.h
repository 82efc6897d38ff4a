#pragma once

#include "CursorFile.h"

#include <QCursor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

// Shows an animated cursor: steps through the frames of a TCursorFrames on a timer and gives each
// step's cursor to every target (any object with a "cursor" property, as widgets have) and to
// CursorChanged. A still cursor has one step and never starts the timer. Needs a QGuiApplication,
// because cursors are made of pixmaps.
class TAnimatedCursor : public QObject
{
    Q_OBJECT

public:
    // The shortest a step shows, so that a rate of 0 does not spin the timer.
    static constexpr int MinStepMs = 1000 / 60;
    // The longest a step shows; longer rates are held here.
    static constexpr int MaxStepMs = 60 * 60 * 1000;

    explicit TAnimatedCursor(const TCursorFrames& Frames, QObject* Parent = nullptr);

    int StepCount() const { return int(Sequence.size()); }
    int CurrentStep() const { return Step; }
    QCursor Cursor() const { return CursorAt(Step); }
    QCursor CursorAt(int AStep) const;
    // How long a step shows, in milliseconds (jiffies of 1/60 s, rounded).
    int StepInterval(int AStep) const;
    static int JiffiesToMs(quint32 Jiffies);

    // Targets get the current cursor at once and every later one. Targets that are destroyed drop
    // out by themselves.
    void AddTarget(QObject* Target);
    void RemoveTarget(QObject* Target);
    QList<QObject*> Targets() const;

    void Start();
    void Stop();
    bool IsRunning() const { return Timer.isActive(); }
    // Moves to the next step now (the timer does this when the step's time is up).
    void Advance();

signals:
    void CursorChanged(const QCursor& Cursor);

private:
    void Apply();
    void Schedule();

    QList<QCursor> FrameCursors;
    QList<int> Sequence;
    QList<int> Intervals;
    int Step = 0;
    QTimer Timer;
    QList<QPointer<QObject>> TargetList;
};
