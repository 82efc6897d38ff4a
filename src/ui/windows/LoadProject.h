#pragma once

#include <QString>

// Loads FileName into Project, reports failures, sets LoadFailed and fixes Project->Folder. The main
// window's creation calls it.
void LoadProject(const QString& FileName);

// The structure file start-up looks for in ShellFolder(): [Options] ProjectName, then
// "veltrane.vlp", else "veltrane.apr" without a test.
QString FindProjectFile();
