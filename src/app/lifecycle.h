#pragma once
// The main window's load and unload handlers: the program's start-up and shut-down.
#include "ui/program.h"

namespace velnor {

// Before the window is first shown: PrepareMainWindow, then the clipboard watcher joins the
// viewer chain, then the window is made top-most. False when a second instance was refused
// (every window is closed then, and the window must never be shown).
bool LoadMainWindow(Program& program);

// When the main window closes: the watcher leaves the chain, the histories take the fields,
// pending messages run once, the settings file is written, and every window is closed. A
// close that arrives while those steps run does nothing; one after the end of the session
// only closes the windows.
void UnloadMainWindow(Program& program);

// When Windows has asked whether the session may end (WM_ENDSESSION; `ending` is its wParam).
// When it ends: the same steps as the unload before the windows close, once, without any
// message box (a file that cannot be written is given up quietly); the windows are left to
// the system. When the close's shut-down is already under way, only its save, at once. The
// file is written before this returns, once, whichever came first; nothing when the session
// does not end.
void EndSessionMainWindow(Program& program, bool ending);

}  // namespace velnor
