#include "win32/profile_win32.h"

#include <windows.h>

#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "win32/download_folder_win32.h"
#include "win32/file_win32.h"
#include "win32/win32_text.h"

namespace velnor {
namespace {

// GetModuleFileNameW cuts a long path without saying so except by filling the buffer.
String ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return String();
    if (length < buffer.size() || buffer.size() >= 32768) {
      return String(reinterpret_cast<const char16_t*>(buffer.data()), length);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

String Win32ProfilePlatform::ProgramFolder() const {
  const String path = ModulePath();
  const size_t slash = path.rfind(u'\\');
  if (slash == String::npos) return String();
  String folder = path.substr(0, slash);
  if (folder.size() == 2 && folder[1] == u':') folder.push_back(u'\\');
  return folder;
}

bool Win32ProfilePlatform::PathFileExists(const String& path) const {
  return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
}

bool Win32ProfilePlatform::FindOrdinaryFile(const String& path) const {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(Wide(path), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  return (found.dwFileAttributes & kNotOrdinary) == 0;
}

std::optional<std::string> Win32ProfilePlatform::ReadWholeFile(const String& path) const {
  const HANDLE file = CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::string> bytes;
  LARGE_INTEGER size{};
  // A settings file is small; one that is not is no settings file worth a gigabyte of memory.
  if (GetFileSizeEx(file, &size) && size.QuadPart < (LONGLONG{1} << 30)) {
    std::string content(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (content.empty() || (ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr) &&
                            read == content.size())) {
      bytes = std::move(content);
    }
  }
  CloseHandle(file);
  return bytes;
}

bool Win32ProfilePlatform::ReplaceWholeFile(const String& path, const std::string& bytes) {
  const DWORD attributes = GetFileAttributesW(Wide(path));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return WriteFileThroughTemporary(path, SettingsTemporaryPath(path), bytes,
                                   attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKept);
}

String Win32ProfilePlatform::DownloadsFolder() const { return UserDownloadsFolder(); }

}  // namespace velnor
