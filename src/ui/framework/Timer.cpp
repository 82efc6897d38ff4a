#include "Timer.h"

TTimer::TTimer(QObject* Parent, const QString& Name) : QObject(Parent)
{
    setObjectName(Name);
    connect(&FTimer, &QTimer::timeout, this, &TTimer::Fire);
}

void TTimer::SetEnabled(bool Value)
{
    FEnabled = Value;
    Update();
}

void TTimer::SetInterval(int Value)
{
    FInterval = Value;
    Update();
}

void TTimer::Fire()
{
    if (OnTimer) {
        OnTimer(this);
    }
}

void TTimer::Update()
{
    if (FEnabled && FInterval > 0) {
        FTimer.start(FInterval);
    } else {
        FTimer.stop();
    }
}
