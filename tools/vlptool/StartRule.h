#pragma once

#include <QProcessEnvironment>
#include <QString>

// How a run of the disc starts a file that an action step names, so that the check reports what a
// user would meet. The rule:
// - only a step whose object is a program (a program step) may start a file, and only a file that
//   is a program: an ELF or a script with its execute bit, or, on a file system without execute
//   bits, a ".sh" script;
// - everything else goes to the desktop's opener for its type (Windows programs such as .exe, .msi
//   and .bat too: they start when a runner is registered for their type);
// - when nothing is registered for the type, nothing opens it.
// Which file is a program is the program's own rule (ClassifyProgramFile); the rest is here.

enum class TStartWay
{
    Program, // started as a program
    Desktop, // handed to the program registered for its type
    Nothing  // nothing here opens it
};

struct TStartDecision
{
    TStartWay Way = TStartWay::Nothing;
    QString Type;   // the file's type ("application/x-ms-dos-executable")
    QString Opener; // for Desktop: the desktop entry that opens it
};

// True when the file (a file-system path) is a program in the rule's sense.
bool IsProgramFile(const QString& NativeFile);

// How the file is started for a step; ProgramStep for a step whose object is a program (an
// executable object, a program run or installed). Environment decides where registered programs are
// looked up, as it does for the shell.
TStartDecision DecideStart(bool ProgramStep, const QString& NativeFile, const QProcessEnvironment& Environment);
