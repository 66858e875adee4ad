#include "win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "app/single_instance.h"
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

std::wstring LongForm(const std::wstring& path) {
  const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return path;
  std::wstring longPath(needed, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), needed);
  if (length == 0 || length >= needed) return path;
  longPath.resize(length);
  return longPath;
}

}  // namespace

bool Win32ShellPlatform::OpenDocument(const String& document, const String& workingFolder) {
  const HINSTANCE result = ShellExecuteW(GetDesktopWindow(), nullptr, Wide(document), nullptr,
                                         Wide(workingFolder), SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

String NormalisedProgramPath() {
  std::wstring path = LongForm(ModulePath());
  if (!path.empty()) CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  return FromWide(path.c_str(), path.size());
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
