#pragma once
// Dots per inch of a window and what follows from them: the user-interface font, system
// metrics such as the icon sizes. The calls that know about a window's own DPI came with
// Windows 10 and are looked up at run time; without them the system DPI is scaled.
#include <windows.h>

namespace velnor {

// The window's dots per inch (GetDpiForWindow), or the screen's where the call is missing.
// Under Wine the answer stays at the system's value after a WM_DPICHANGED: a window keeps
// the DPI that message brought itself.
int WindowDpi(HWND window);

// A system metric (SM_CXICON, ...) at the given DPI.
int SystemMetricForDpi(int index, int dpi);

// Grows a client rectangle to the outer rectangle of a window without a menu, with the frame
// drawn at the given DPI (AdjustWindowRectExForDpi), or at the system's where that is missing.
void AdjustFrameForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

// The system's user-interface font (the message font) at the given DPI. The caller deletes
// it; never nullptr (the stock GUI font at worst, which DeleteObject ignores).
HFONT CreateUiFont(int dpi);

// The program's icon at pixels x pixels, or nullptr; the caller destroys it.
HICON LoadProgramIcon(int pixels);

}  // namespace velnor
