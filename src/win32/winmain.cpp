// Velnor.exe: the main window and its message loop.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/hand_over.h"
#include "win32/hand_off_win32.h"
#include "win32/main_window.h"
#include "win32/system_function.h"

namespace {

// DLLs load from the system folder only, never from the current or the program's folder.
// Looked up at run time: the call is missing on systems without the DLL-search update.
void RestrictDllSearch() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  if (auto set = velnor::SystemFunction<SetDirectories>(L"kernel32.dll", "SetDefaultDllDirectories")) {
    set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
}

// Sizes are laid out at the DPI of the monitor each window is on, and laid out again when it
// moves to another (the manifest says so too; these calls cover a start without it). The
// newest awareness the system knows: per monitor v2 (Windows 10 1703), per monitor (8.1,
// from shcore, loaded from the system folder only), else the system's DPI.
void DeclareDpiAwareness() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  const auto kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
  if (auto setContext = velnor::SystemFunction<SetContext>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
    if (setContext(kPerMonitorAwareV2)) return;
    // Already per monitor v2 from the manifest: the call is refused, and nothing is left to do.
    if (GetLastError() == ERROR_ACCESS_DENIED) return;
  }
  using SetAwareness = HRESULT(WINAPI*)(int);
  constexpr int kPerMonitorAware = 2;
  if (HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    auto setAwareness = reinterpret_cast<SetAwareness>(
        reinterpret_cast<void*>(GetProcAddress(shcore, "SetProcessDpiAwareness")));
    const HRESULT result = setAwareness ? setAwareness(kPerMonitorAware) : E_NOTIMPL;
    FreeLibrary(shcore);
    if (SUCCEEDED(result) || result == E_ACCESSDENIED) return;
  }
  SetProcessDPIAware();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  RestrictDllSearch();
  DeclareDpiAwareness();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  // Drops come through OLE; without it the window only takes no drops.
  const bool ole = SUCCEEDED(OleInitialize(nullptr));

  int exitCode = 0;
  {
    velnor::MainWindow window;
    // Files named on the command line are read now, from this process's own current folder:
    // a second start hands over the URL they hold, not their names.
    const std::vector<velnor::String> arguments = velnor::CommandLineArguments();
    window.program().startedWithArguments = !arguments.empty();
    if (!arguments.empty()) window.program().startUrl = velnor::FirstHandedUrl(arguments, velnor::ReadHandedFileStart);
    // A second start with arguments hands them over before it makes any window: it ends sooner.
    const bool handedOver = velnor::HandOverStartUrl(window.program());
    switch (handedOver ? velnor::MainWindow::Created::kRefused : window.Create(instance)) {
      case velnor::MainWindow::Created::kFailed: exitCode = 1; break;
      case velnor::MainWindow::Created::kRefused: break;  // a normal end, never shown
      case velnor::MainWindow::Created::kReady:
        window.Show(showCommand);
        velnor::TakeStartUrl(window.program());
        exitCode = window.Run();
        break;
    }
  }
  if (ole) OleUninitialize();
  return exitCode;
}
