#pragma once

#include "CheckReport.h"

#include <QJsonObject>
#include <QList>
#include <QProcessEnvironment>
#include <QString>

#include <memory>

class TVeltraneProject;

// The pre-flight check of a disc: loads the project the way autorun does (the same start-up state,
// the same loader, the same design settings) and reports everything a user of the disc would meet,
// one problem per file and kind of fault, with every place that names the file.

struct TCheckOptions
{
    // The disc root: the folder autorun would be started with.
    QString Disc;
    // Where programs registered for file types are looked up, as the shell looks them up.
    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
};

struct TCheckResult
{
    // The disc as given.
    QString Disc;
    // False when the project could not be loaded (then nothing else was checked).
    bool Loaded = false;
    QString LoadError;
    // The structure file, as shown.
    QString ProjectFile;
    QList<TProblem> Problems;
    // The project the check loaded (null when none): the places of the problems name its parts.
    std::unique_ptr<TVeltraneProject> Project;
    int FilesChecked = 0;
    int Sections = 0;
    int Items = 0;
    int Steps = 0;

    TCheckResult();
    ~TCheckResult();
    TCheckResult(TCheckResult&&) noexcept;
    TCheckResult& operator=(TCheckResult&&) noexcept;

    int Errors() const;
    int Warnings() const;
    // 0: clean; 1: problems found; 2: the project could not be loaded.
    int ExitCode() const;
    // "DISC: 3 errors, 1 warning; 40 files checked for 2 sections, 12 items, 15 steps".
    QString Summary() const;
    QJsonObject ToJson() const;
};

// Checks the disc. Needs a QApplication: the windows are built, unseen, so that "controls.ini" is
// applied to the very controls autorun applies it to. Sets the program-wide start-up state
// (ProgramFolder, DesignSettings, ProjectFilePath) as start-up does; Project is left null.
TCheckResult CheckDisc(const TCheckOptions& Options);
