#pragma once

#include "model/Project.h"

#include <QString>

#include <functional>

class TBrowseF;

// Carrying out an item's actions. An item action is a list of steps run in order: a message, an
// object of the disc opened as its type calls for (document, folder, program, picture, text, music),
// a program run or installed, or files copied to a folder the user chooses and then opened. Paths of
// steps are relative to the project's folder. Everything runs on the user-interface thread; the
// windows a step opens are modal, so steps follow one another strictly.

// What running steps needs from the windows of the run. An empty function makes its step do nothing.
struct TActionEnvironment
{
    // The picture viewer: List from index Start, modally.
    std::function<void(const TShellActions& List, int Start)> ShowImageList;
    // The reader: the text document FileName (project notation), modally.
    std::function<void(const QString& FileName)> ShowText;
    // The copy window: Rules' files into a folder the user chooses. Returns the window's result (1
    // after the copy) and sets Folder to the folder chosen.
    std::function<int(const TCopyRules& Rules, QString& Folder)> ExecuteCopy;
    // The action music: FileName (project notation) once, in place of the previous action music.
    std::function<void(const QString& FileName)> PlayMusic;
    // The item selected in the main window (named in the copy question); null when none.
    std::function<const TItem*()> CurrentItem;
};

// The environment in use; set once by start-up, replaced by tests.
TActionEnvironment& ActionEnvironment();

// Runs every step of Action. Consecutive picture steps whose files exist are gathered in
// ImageActionList and shown together in the picture viewer, before the next other step and at the end.
void ExecuteItemAction(const TItemAction& Action);
// Runs one step that is not a picture step.
void ExecuteShellAction(const TShellAction& Step);
// How RunFile hands a file to the shell. A document is only ever opened by the program registered
// for its type; only a step whose object is a program (an open step of a program, run, install, the
// program a pre-copy step opens) starts a file, and only one that is a program (ClassifyProgramFile).
enum TStartAs
{
    saDocument,
    saProgram
};

// Opens FileName (project notation) with Params through the shell, under the busy cursor, then pauses
// while the started program comes up. The shell gets the file's SystemPath. Returns the shell's result
// code (above 32: success; 31: no program is associated with the file's type). A program this
// system cannot run (a Windows program without a registered runner) is reported in a message.
int RunFile(const QString& FileName, const QString& Params, TStartAs As = saDocument);
// Shows an action's message; returns the button pressed.
int ShowActionMessage(const TActionMsg& Msg);

// The parameters a program step passes: AppParams with its first placeholder ("[$filename]", else
// "$filename", else "%1", found without regard to case) replaced by FullPath, after one blank. A path
// with blanks is quoted unless the placeholder already stands inside quotes. Without a placeholder
// AppParams is returned unchanged.
QString ApplicationParams(const QString& AppParams, const QString& FullPath);
// The file a pre-copy step opens after its copy: OpenObject without its leading "..." placed below
// the folder the user chose.
QString CopiedObjectPath(const QString& ChosenFolder, const QString& OpenObject);

// A pre-copy step's copy through the copy window: shows Window for Rules and returns 1 only when the
// files were copied (a cancel or a failed copy gives 2). Folder := the absolute folder they went to.
// Start-up connects ActionEnvironment().ExecuteCopy to this.
int CopyThroughWindow(TBrowseF& Window, const TCopyRules& Rules, QString& Folder);
