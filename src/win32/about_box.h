#pragma once
// The About box frmOptions: the program's icon, product line, version and copyright, and an
// OK button. Built anew, without a dialog resource, each time it is shown.
#include <windows.h>

namespace velnor {

// Control ids of the About box, for the window and for tests that look into it.
enum AboutBoxId : int {
  kAboutOk = IDOK,  // cmdOK: Enter and Space press it, Esc does not
  kAboutPicture = 101,
  kAboutProductLine = 102,
  kAboutVersion = 103,
  kAboutCopyright = 104,
};

// Window class of the About box, so tests can tell it from message boxes.
inline constexpr wchar_t kAboutBoxClass[] = L"VelnorAbout";

// version: shows the About box modally over owner (which takes no input meanwhile) and
// returns when it has closed. The box is top-most from the moment it loads, and laid out at
// dpi, the owner's dots per inch.
void ShowAboutBox(HWND owner, int dpi);

// Closes the About box if it is open; the main window's shut-down calls it so that no window
// of the program outlives it. Safe to call when no About box is open.
void CloseAboutBox();

// The open About box, or nullptr.
HWND AboutBoxWindow();

}  // namespace velnor
