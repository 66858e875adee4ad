#include "win32/download_folder_win32.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

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

// Names compare as the file system compares them: without regard to case.
String Upper(String text) {
  if (!text.empty()) CharUpperBuffW(reinterpret_cast<wchar_t*>(text.data()), static_cast<DWORD>(text.size()));
  return text;
}

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

String WithoutEndSeparators(String path) {
  while (!path.empty() && IsSeparator(path.back())) path.pop_back();
  return path;
}

// A path's folder and name as the listing keeps them; nothing for a bare name.
std::optional<std::pair<String, String>> ListedFolderAndName(const String& path) {
  const size_t separator = path.find_last_of(u"\\/");
  if (separator == String::npos) return std::nullopt;
  return std::pair{Upper(WithoutEndSeparators(path.substr(0, separator))), Upper(path.substr(separator + 1))};
}

}  // namespace

// Missing parents are made too. A path that names a file, a relative path or one the system
// refuses cannot be the folder.
bool Win32DownloadFolder::CreateFolder(const String& path) {
  if (!IsFolder(path)) SHCreateDirectoryExW(nullptr, Wide(path), nullptr);
  const bool made = IsFolder(path);
  std::unordered_set<String> names;
  if (made) {
    WIN32_FIND_DATAW found{};
    const String pattern = WithoutEndSeparators(path) + u"\\*";
    const HANDLE search = FindFirstFileExW(Wide(pattern), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        names.insert(Upper(FromWide(found.cFileName, wcslen(found.cFileName))));
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
  }
  AcquireSRWLockExclusive(&lock_);
  listed_ = made;
  folder_ = Upper(WithoutEndSeparators(path));
  names_ = std::move(names);
  ReleaseSRWLockExclusive(&lock_);
  return made;
}

bool Win32DownloadFolder::MayExist(const String& path) {
  const auto place = ListedFolderAndName(path);
  if (!place) return true;
  AcquireSRWLockShared(&lock_);
  const bool may = !listed_ || place->first != folder_ || names_.contains(place->second);
  ReleaseSRWLockShared(&lock_);
  return may;
}

void Win32DownloadFolder::Note(const String& path, bool present) {
  auto place = ListedFolderAndName(path);
  if (!place) return;
  AcquireSRWLockExclusive(&lock_);
  if (listed_ && place->first == folder_) {
    if (present) names_.insert(std::move(place->second));
    else names_.erase(place->second);
  }
  ReleaseSRWLockExclusive(&lock_);
}

bool Win32DownloadFolder::FileExists(const String& path) {
  if (!MayExist(path)) return false;
  const auto data = Attributes(path);
  return data && (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<uint64_t> Win32DownloadFolder::FileSize(const String& path) {
  if (!MayExist(path)) return std::nullopt;
  const auto data = Attributes(path);
  if (!data || (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
  return (static_cast<uint64_t>(data->nFileSizeHigh) << 32) | data->nFileSizeLow;
}

// Never replacing: a file that appeared under the name meanwhile stays. (MoveFileExW does the
// same with one more look for the new name, and under Wine each look for a name not there
// reads the whole folder.) The handle needs DELETE access.
bool RenameOpenFileNeverReplacing(HANDLE file, const String& to) {
  const size_t nameBytes = to.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = FALSE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(info->FileName, to.data(), nameBytes);
  return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != FALSE;
}

bool Win32DownloadFolder::Remove(const String& path) {
  const bool removed = DeleteFileW(Wide(path)) != FALSE;
  if (removed) Note(path, false);
  return removed;
}

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
