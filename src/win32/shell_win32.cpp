#include "win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <vector>

#include "app/hand_over.h"
#include "app/single_instance.h"
#include "win32/control_ids.h"
#include "win32/win32_text.h"

namespace velnor {
namespace {

// GetModuleFileNameW cuts a long path without saying so except by filling the buffer.
std::wstring ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    if (buffer.size() >= 32768) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

// The running window answers a hand-over within 100 ms; a window that takes longer is hung.
constexpr UINT kHandOverWaitMilliseconds = 1000;
constexpr int kFindWindowTries = 10;
constexpr DWORD kFindWindowRetryMilliseconds = 100;

std::wstring LongForm(const std::wstring& path);

String NormalisedPath(std::wstring path);

// The program file of another process, normalised as NormalisedProgramPath; empty when it
// cannot be asked.
String ProcessProgramPath(DWORD processId) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return String();
  std::vector<wchar_t> buffer(32768);
  DWORD length = static_cast<DWORD>(buffer.size());
  const bool asked = QueryFullProcessImageNameW(process, 0, buffer.data(), &length) != FALSE;
  CloseHandle(process);
  return asked ? NormalisedPath(std::wstring(buffer.data(), length)) : String();
}

struct InstanceSearch {
  String programPath;
  HWND found = nullptr;
};

BOOL CALLBACK FindInstanceWindow(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<InstanceSearch*>(lParam);
  wchar_t className[64] = {};
  if (GetClassNameW(window, className, 64) == 0 || wcscmp(className, ids::kMainWindowClass) != 0) return TRUE;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == GetCurrentProcessId() || ProcessProgramPath(processId) != search.programPath) return TRUE;
  search.found = window;
  return FALSE;
}

std::wstring LongForm(const std::wstring& path) {
  const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return path;
  std::wstring longPath(needed, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), needed);
  if (length == 0 || length >= needed) return path;
  longPath.resize(length);
  return longPath;
}

String NormalisedPath(std::wstring path) {
  path = LongForm(path);
  if (!path.empty()) CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  return FromWide(path.c_str(), path.size());
}

}  // namespace

bool Win32ShellPlatform::OpenDocument(const String& document, const String& workingFolder) {
  const HINSTANCE result = ShellExecuteW(GetDesktopWindow(), nullptr, Wide(document), nullptr,
                                         Wide(workingFolder), SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

String NormalisedProgramPath() { return NormalisedPath(ModulePath()); }

bool Win32ShellPlatform::HandOver(const String& text) {
  if (text.empty() || text.size() * sizeof(char16_t) > kMaxHandOverBytes) return false;
  InstanceSearch search{NormalisedProgramPath()};
  for (int attempt = 1; search.found == nullptr; ++attempt) {
    EnumWindows(FindInstanceWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr || attempt >= kFindWindowTries) break;
    Sleep(kFindWindowRetryMilliseconds);
  }
  if (search.found == nullptr) return false;
  DWORD processId = 0;
  GetWindowThreadProcessId(search.found, &processId);
  // The running instance may then come to the front itself: the user asked for it.
  AllowSetForegroundWindow(processId);
  COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(text.size() * sizeof(char16_t)),
                      const_cast<char16_t*>(text.data())};
  DWORD_PTR answer = FALSE;
  const LRESULT sent = SendMessageTimeoutW(search.found, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                           SMTO_ABORTIFHUNG | SMTO_BLOCK, kHandOverWaitMilliseconds, &answer);
  return sent != 0 && answer == TRUE;
}

bool Win32ShellPlatform::AnotherInstanceRunning() {
  if (answer_ < 0) {
    const String name = InstanceObjectName(NormalisedProgramPath());
    // Deliberately never closed: the mark must last as long as this instance runs, and the
    // system removes it when the last process holding it ends.
    SetLastError(ERROR_SUCCESS);
    const HANDLE mark = CreateMutexW(nullptr, FALSE, Wide(name));
    const DWORD error = GetLastError();
    // A mark that exists but cannot be opened (another security context) is still a mark.
    answer_ = (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) ? 1 : 0;
    if (answer_ == 1 && mark != nullptr) CloseHandle(mark);
  }
  return answer_ == 1;
}

}  // namespace velnor
