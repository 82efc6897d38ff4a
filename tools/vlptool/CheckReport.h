#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// What "vlptool check" found: problems, each one file and one thing wrong with it, and every place
// that names the file.

enum class TSeverity
{
    Error,  // the user meets it: a file is missing, cannot be read, cannot be started
    Warning // it works here but may not elsewhere, or something written is ignored
};

// Kinds of problems; their names are part of the JSON output.
enum class TProblemKind
{
    Missing,          // "missing": the named file or folder does not exist
    LetterCase,       // "letter-case": it exists only under another letter case
    Undecodable,      // "undecodable": a picture, cursor or sound its decoder cannot read
    TooLong,          // "too-long": a text longer than the reader shows, or one it cannot read
    UnknownSetting,   // "unknown-setting": a section or key of shell.ini that nothing reads
    BadValue,         // "bad-value": a value of shell.ini that cannot be read as its kind
    ControlsLine,     // "controls-line": a line of controls.ini that fails
    ControlsIgnored,  // "controls-ignored": a line of controls.ini that changes nothing
    NoOpener,         // "no-opener": a program step whose file is no program and has no opener here
    DocumentProgram,  // "document-program": a document step whose file is a program
    Unreadable        // "unreadable": a file the program reads that cannot be read at all
};

QString ProblemKindName(TProblemKind Kind);

// Where a file is named. Project places are indexes into the project (from 0, -1 when not part of
// the place); other places name the file and line that name it.
struct TPlace
{
    enum TWhere
    {
        InProject,  // the project itself (its folder, the splash picture)
        InSection,  // a section's own property
        InItem,     // an item's own property
        InStep,     // a step of an item's action
        InSettings, // a key of shell.ini
        InControls, // a line of controls.ini
        InWindow    // the program, or a window that loads a picture by a fixed name
    };
    TWhere Where = InProject;
    int Section = -1;
    int Item = -1;
    int Action = -1;
    int Step = -1;
    int Index = -1; // of a screenshot or a copy rule
    QString Field;  // the property, key or window
    int Line = 0;   // of controls.ini
};

struct TProblem
{
    TSeverity Severity = TSeverity::Error;
    TProblemKind Kind = TProblemKind::Missing;
    QString File;    // as shown: relative to the disc root when it lies on it
    QString Message; // what is wrong
    QList<TPlace> Places;
};

class TVeltraneProject;

// The place as a person reads it: section 2 "Games", item 1 "Chess", action 1, step 2 (OpenObject).
// Names come from Project (may be null).
QString DescribePlace(const TPlace& Place, const TVeltraneProject* Project);

// One line per problem: "FILE: error: WHAT (named by PLACE, and N more places)".
QString ProblemLine(const TProblem& Problem, const TVeltraneProject* Project);

// The problem with every place, for the JSON output.
QJsonObject ProblemJson(const TProblem& Problem, const TVeltraneProject* Project);
