#pragma once

#include "SoundEngine.h"

#include <QList>
#include <QString>
#include <QStringList>

// A sound engine for tests: it plays nothing, records every call as one line of text and answers
// with scripted results.
//
//   Init 1 44100 0 owner      (the last field is "0" for no owner)
//   Free | Stop
//   StreamCreateFile <name>
//   StreamPlay 1 false 12
//   StreamFree 0
class TFakeSoundEngine : public ISoundEngine
{
public:
    QStringList Calls;
    // Answers in order, one per call; when used up, Init gives DefaultInitResult and
    // StreamCreateFile the handles NextHandle, NextHandle + 1, ...
    QList<bool> InitResults;
    bool DefaultInitResult = true;
    QList<quint32> CreateResults;
    quint32 NextHandle = 1;

    bool Init(int Device, quint32 Freq, quint32 Flags, const void* Owner) override
    {
        Calls.append(QStringLiteral("Init %1 %2 %3 %4")
                         .arg(Device)
                         .arg(Freq)
                         .arg(Flags)
                         .arg(Owner != nullptr ? QStringLiteral("owner") : QStringLiteral("0")));
        return InitResults.isEmpty() ? DefaultInitResult : InitResults.takeFirst();
    }
    bool Free() override
    {
        Calls.append(QStringLiteral("Free"));
        return true;
    }
    bool Stop() override
    {
        Calls.append(QStringLiteral("Stop"));
        return true;
    }
    quint32 StreamCreateFile(const QString& FileName) override
    {
        Calls.append(QStringLiteral("StreamCreateFile ") + FileName);
        return CreateResults.isEmpty() ? NextHandle++ : CreateResults.takeFirst();
    }
    bool StreamPlay(quint32 Handle, bool Flush, quint32 Flags) override
    {
        Calls.append(QStringLiteral("StreamPlay %1 %2 %3")
                         .arg(Handle)
                         .arg(Flush ? QStringLiteral("true") : QStringLiteral("false"))
                         .arg(Flags));
        return true;
    }
    bool StreamFree(quint32 Handle) override
    {
        Calls.append(QStringLiteral("StreamFree %1").arg(Handle));
        return true;
    }
};
