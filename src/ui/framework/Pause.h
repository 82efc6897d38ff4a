#pragma once

#include <QtGlobal>

#include <functional>

// Waits on the user-interface thread without spinning: windows are repainted when the system asks
// (a window mapped just now needs that to show at all), user input waits until the pause is over.
// Used for the splash's hold and for the pause after a program is started, while its window comes up.
void WaitWithoutInput(qint64 Milliseconds);

// The pause the program's commands take after starting a program; WaitWithoutInput unless replaced.
void PauseAfterStart(qint64 Milliseconds);
// Replaces that pause (tests record it instead of waiting); an empty function restores the default.
void SetPauseAfterStart(std::function<void(qint64 Milliseconds)> Pause);
