#pragma once

#include "config/ControlsProps.h"

// The watcher the controls.ini container uses while the program runs: any write in the file's folder
// (the "Shell" folder) re-reads the file, on the user-interface thread.
TControlsPropsContainer::TWatcherFactory PlatformControlsWatcherFactory();
