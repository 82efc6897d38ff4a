#pragma once

#include "ShellService.h"

#include <QList>
#include <QString>
#include <QUrl>

// A shell for tests: it starts nothing, records every call in order and answers with scripted
// result codes. Install it with SetShellService for the code under test.
class TFakeShellService : public IShellService
{
public:
    enum TVerb
    {
        svOpen,
        svExplore,
        svOpenUrl,
        svRun
    };

    struct TCall
    {
        TVerb Verb = svOpen;
        QString File; // the file, folder, application or address as given
        QString Params;
        QString WorkDir;
    };

    // Answers in order, one per call; when they are used up every call gets DefaultResult.
    QList<int> Results;
    int DefaultResult = srStarted;
    QList<TCall> Calls;

    int Open(const QString& File, const QString& Params, const QString& WorkDir) override
    {
        return Record({svOpen, File, Params, WorkDir});
    }
    int Explore(const QString& Folder) override { return Record({svExplore, Folder, {}, {}}); }
    int OpenUrl(const QUrl& Url) override
    {
        return Record({svOpenUrl, Url.toString(QUrl::FullyEncoded), {}, {}});
    }
    int Run(const QString& Application, const QString& Params, const QString& WorkDir) override
    {
        return Record({svRun, Application, Params, WorkDir});
    }

private:
    int Record(const TCall& Call)
    {
        Calls.append(Call);
        return Results.isEmpty() ? DefaultResult : Results.takeFirst();
    }
};
