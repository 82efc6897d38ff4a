#pragma once

// Waiting, in a benchmark, for a widget's next paint.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

// Runs until Widget has been painted once more.
class TPaintWatch : public QObject
{
public:
    explicit TPaintWatch(QWidget* Widget) { Widget->installEventFilter(this); }
    bool Painted = false;
    void WaitForPaint()
    {
        while (!Painted) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        Painted = false;
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint) {
            Painted = true;
        }
        return QObject::eventFilter(Watched, Event);
    }
};
