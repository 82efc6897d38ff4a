#pragma once

#include "CursorSlots.h"

// Reads cursor files for the cursor slots: animated (.ani) and still (.cur, .ico) cursors through the
// picture layer's cursor reader, the frames in the order they are shown.
std::optional<TCursorImage> LoadCursorImage(const QString& FileName);
