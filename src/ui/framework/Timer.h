#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// A timer component: fires OnTimer every Interval milliseconds while Enabled.
class TTimer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)

public:
    explicit TTimer(QObject* Parent = nullptr, const QString& Name = {});

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int Interval() const { return FInterval; }
    void SetInterval(int Value);
    // True while the timer counts.
    bool Running() const { return FTimer.isActive(); }
    // Fires the event now, as the timer's expiry would (for code and tests that drive time).
    void Fire();

    std::function<void(QObject* Sender)> OnTimer;

private:
    void Update();

    QTimer FTimer;
    bool FEnabled = true;
    int FInterval = 1000;
};
