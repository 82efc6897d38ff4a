#pragma once

// "vlptool check": the command line of the disc check. It makes its own application object (the
// windows are built off screen), so it is called before any other exists.

// What "vlptool check --help" prints, and the check's part of "vlptool --help".
extern const char CheckHelpText[];

// Runs "vlptool check" with the whole command line (argv[1] is "check"). After a check the process
// ends here with the check's exit code; after a usage error or the help the exit code is returned.
int RunCheckCommand(int argc, char** argv);
