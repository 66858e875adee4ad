// Velnor.exe: the main window and its message loop.
#include <windows.h>
#include <commctrl.h>

#include "win32/main_window.h"

namespace {

// DLLs load from the system folder only, never from the current or the program's folder.
// Looked up at run time: the call is missing on systems without the DLL-search update.
void RestrictDllSearch() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return;
  auto set = reinterpret_cast<SetDirectories>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  RestrictDllSearch();
  // Sizes are laid out at the screen's real resolution (the manifest says so too).
  SetProcessDPIAware();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  velnor::MainWindow window;
  switch (window.Create(instance)) {
    case velnor::MainWindow::Created::kFailed: return 1;
    case velnor::MainWindow::Created::kRefused: return 0;  // a normal end, never shown
    case velnor::MainWindow::Created::kReady: break;
  }
  window.Show(showCommand);
  return window.Run();
}
