#pragma once

#include "MessageService.h"

#include <QList>
#include <QString>

// A message service for tests: it shows nothing, records every box in order and answers each with
// Answer. Install it with SetMessageService for the code under test.
class TRecordingMessages : public IMessageService
{
public:
    struct TBox
    {
        QString Text, Caption;
        unsigned Flags = 0;
    };
    QList<TBox> Boxes;
    int Answer = idOk;

    int MessageBox(const QString& Text, const QString& Caption, unsigned Flags) override
    {
        Boxes.append({Text, Caption, Flags});
        return Answer;
    }
};
