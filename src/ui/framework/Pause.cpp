#include "Pause.h"

#include <QEventLoop>
#include <QTimer>

#include <chrono>

namespace {

std::function<void(qint64)>& PauseFunction()
{
    static std::function<void(qint64)> Function;
    return Function;
}

} // namespace

void WaitWithoutInput(qint64 Milliseconds)
{
    if (Milliseconds <= 0) {
        return;
    }
    QEventLoop Loop;
    QTimer Timer;
    Timer.setSingleShot(true);
    Timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&Timer, &QTimer::timeout, &Loop, &QEventLoop::quit);
    Timer.start(std::chrono::milliseconds(Milliseconds));
    Loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void PauseAfterStart(qint64 Milliseconds)
{
    if (PauseFunction()) {
        PauseFunction()(Milliseconds);
    } else {
        WaitWithoutInput(Milliseconds);
    }
}

void SetPauseAfterStart(std::function<void(qint64 Milliseconds)> Pause)
{
    PauseFunction() = std::move(Pause);
}
