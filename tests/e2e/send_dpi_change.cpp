// velnor_dpichange FROM TO [about]: tells the running Velnor's main window (or, with
// "about", its About box, opened first when it is not open) that it has moved from a monitor
// of FROM dots per inch to one of TO, with the rectangle the system would suggest, as a
// second monitor would (scripts/screenshot.sh pictures the result).
#include <cstdio>
#include <string>

#include "driver.h"
#include "win32/about_box.h"
#include "win32/control_ids.h"

int wmain(int argc, wchar_t** argv) {
  using namespace velnor::e2e;
  if (argc != 3 && argc != 4) {
    std::printf("usage: velnor_dpichange FROM TO [about]\n");
    return 2;
  }
  const int from = _wtoi(argv[1]);
  const int to = _wtoi(argv[2]);
  HWND window = FindWindowW(velnor::ids::kMainWindowClass, nullptr);
  DWORD pid = 0;
  if (window) GetWindowThreadProcessId(window, &pid);
  if (window && argc == 4 && std::wstring(argv[3]) == L"about") {
    HWND about = FindWindowW(velnor::kAboutBoxClass, nullptr);
    if (!about) {
      PostMessageW(window, WM_COMMAND, MAKEWPARAM(velnor::ids::kVersion, 0), 0);
      WaitUntil([&] { return (about = FindWindowW(velnor::kAboutBoxClass, nullptr)) != nullptr; });
    }
    window = about;
  }
  HANDLE process = pid && window ? OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid) : nullptr;
  if (!process || from <= 0 || to <= 0) {
    std::printf("no window of Velnor to tell\n");
    return 1;
  }
  const bool sent = SendDpiChanged(process, window, to, SuggestedDpiRect(window, from, to));
  CloseHandle(process);
  return sent ? 0 : 1;
}
