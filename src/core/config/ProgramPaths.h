#pragma once

#include <QString>

// Program-wide start-up state: where the program runs from and what the command line switched.
// Filled by start-up before any window exists; read by every layer above.

class TVeltraneProject;

// Full file name of the running executable, as the system reports it.
extern QString ModuleFileName;
// The disc root: the executable's folder, or the folder given as the first argument; always ends
// with a separator.
extern QString ProgramFolder;
// ProgramFolder + "Shell\": recomputed on every use, like every path built with PathJoin.
QString ShellFolder();

// Full name of the structure file to load.
extern QString ProjectFilePath;

// Start flags, stored as one byte; all three are set before the command line is read.
enum TStartFlag : quint8 { sfShowSplash = 1, sfAnimatedCursors = 2, sfBackgroundMusic = 4 };
extern quint8 StartFlags;
inline bool HasStartFlag(TStartFlag Flag)
{
    return (StartFlags & Flag) != 0;
}

// Set when loading the structure file failed; then no window is shown.
extern bool LoadFailed;

// The one project object of the run; created by start-up, never replaced.
extern TVeltraneProject* Project;
