#pragma once

#include <QString>
#include <QStringList>

// The program's start-up: the fixed order in which the process comes up, the command line, and
// loading the structure file.

// Runs the whole program; returns the process exit code.
int RunAutorun(int argc, char** argv);

// A disc's bundle started through its own loader (autorun.sh) names its Qt plugin folder in
// AUTORUN_PLUGIN_PATH, because the executable's folder is then the loader's. The folder becomes the
// only plugin folder, and the variable is removed so that the programs the disc starts do not
// inherit it. Must run before the application object exists.
void UseBundlePlugins();

// The disc root for the given arguments (program path first): the first argument when it names an
// existing folder, otherwise the executable's folder. Ends with a separator.
QString DiscRootFor(const QStringList& Arguments, const QString& ExecutablePath);

// Reads the command line (program path included, as one text) and adjusts StartFlags and
// ProjectFilePath. Returns -1 to go on, or the exit code the process must end with ("htmfile").
int ParseCommandLine(const QString& CommandLine);

// The PNG file the "snapshot=FILE" option asks for: the main window, as first shown, is saved there
// and the program ends. Empty without the option.
extern QString SnapshotFileName;

#include "LoadProject.h"
