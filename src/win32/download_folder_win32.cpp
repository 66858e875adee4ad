#include "win32/download_folder_win32.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "win32/win32_text.h"

namespace velnor {
namespace {

// The attributes of a path, or nothing when it does not exist.
std::optional<WIN32_FILE_ATTRIBUTE_DATA> Attributes(const String& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data)) return std::nullopt;
  return data;
}

bool IsFolder(const String& path) {
  const auto data = Attributes(path);
  return data && (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

// Missing parents are made too. A path that names a file, a relative path or one the system
// refuses cannot be the folder.
bool Win32DownloadFolder::CreateFolder(const String& path) {
  if (IsFolder(path)) return true;
  SHCreateDirectoryExW(nullptr, Wide(path), nullptr);
  return IsFolder(path);
}

bool Win32DownloadFolder::FileExists(const String& path) {
  const auto data = Attributes(path);
  return data && (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<uint64_t> Win32DownloadFolder::FileSize(const String& path) {
  const auto data = Attributes(path);
  if (!data || (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
  return (static_cast<uint64_t>(data->nFileSizeHigh) << 32) | data->nFileSizeLow;
}

// Without MOVEFILE_REPLACE_EXISTING: a file that appeared under the name meanwhile stays.
bool Win32DownloadFolder::Rename(const String& from, const String& to) {
  return MoveFileExW(Wide(from), Wide(to), 0) != FALSE;
}

bool Win32DownloadFolder::Remove(const String& path) { return DeleteFileW(Wide(path)) != FALSE; }

uint64_t Win32DownloadClock::NowMilliseconds() { return GetTickCount64(); }

String UserDownloadsFolder() {
  PWSTR path = nullptr;
  String folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &path)) && path) {
    folder = FromWide(path, wcslen(path));
  }
  CoTaskMemFree(path);
  return folder;
}

}  // namespace velnor
