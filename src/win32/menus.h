#pragma once
// The main window's menu bar and keyboard shortcuts, built from the tables in menus.cpp.
#include <windows.h>

namespace velnor {

HMENU CreateMainMenu();
// The shortcuts (Ctrl+C, Ctrl+S, Ctrl+X, ...) belong to the window as a whole: the message
// loop translates them before any control sees the keys, so they never copy or cut the text
// of a text box.
HACCEL CreateMainAccelerators();

}  // namespace velnor
