// Velnor.exe: the main window and its message loop.
#include <windows.h>
#include <commctrl.h>

#include "win32/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // Sizes are laid out at the screen's real resolution (the manifest says so too).
  SetProcessDPIAware();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  velnor::MainWindow window;
  if (!window.Create(instance)) return 1;
  window.Show(showCommand);
  return window.Run();
}
