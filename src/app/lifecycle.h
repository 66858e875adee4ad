#pragma once
// The main window's load and unload handlers: the program's start-up and shut-down.
#include "ui/program.h"

namespace velnor {

// Before the window is first shown: PrepareMainWindow, then the clipboard watcher joins the
// viewer chain, then the window is made top-most. False when a second instance was refused
// (every window is closed then, and the window must never be shown).
bool LoadMainWindow(Program& program);

// When the main window closes: the watcher leaves the chain, the histories take the fields,
// pending messages run once, the settings file is written, and every window is closed.
void UnloadMainWindow(Program& program);

}  // namespace velnor
