#pragma once

#include <QString>

// Loads FileName into Project, reports failures, sets LoadFailed and fixes Project->Folder. The main
// window's creation calls it.
void LoadProject(const QString& FileName);
