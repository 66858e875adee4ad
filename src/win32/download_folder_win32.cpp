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

// Names compare as the file system compares them: without regard to case. (A name of ASCII
// only, the usual one, without a system call: the job asks for two names an item.)
String Upper(String text) {
  bool ascii = true;
  for (char16_t& c : text) {
    if (c >= 0x80) ascii = false;
    else if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  if (!ascii) CharUpperBuffW(reinterpret_cast<wchar_t*>(text.data()), static_cast<DWORD>(text.size()));
  return text;
}

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

String WithoutEndSeparators(String path) {
  while (!path.empty() && IsSeparator(path.back())) path.pop_back();
  return path;
}

// The name of a path in the listed folder, upper case; nothing for a path elsewhere. The job
// builds its paths from the folder as given, so that prefix is taken as it is.
std::optional<String> NameInFolder(const FolderListing& listing, const String& path) {
  const size_t separator = path.find_last_of(u"\\/");
  if (separator == String::npos) return std::nullopt;
  const String given = WithoutEndSeparators(listing.path);
  const bool asGiven = separator == given.size() && path.compare(0, given.size(), given) == 0;
  if (!asGiven && Upper(WithoutEndSeparators(path.substr(0, separator))) != listing.folder) return std::nullopt;
  return Upper(path.substr(separator + 1));
}

}  // namespace

bool MakeFolder(const String& path) {
  if (!IsFolder(path)) SHCreateDirectoryExW(nullptr, Wide(path), nullptr);
  return IsFolder(path);
}

FolderListing MakeAndListFolder(const String& path) {
  FolderListing listing;
  listing.path = path;
  listing.folder = Upper(WithoutEndSeparators(path));
  listing.made = MakeFolder(path);
  if (!listing.made) return listing;
  WIN32_FIND_DATAW found{};
  const String pattern = WithoutEndSeparators(path) + u"\\*";
  const HANDLE search = FindFirstFileExW(Wide(pattern), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return listing;
  do {
    ListedEntry entry;
    entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!entry.folder) entry.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    listing.names.emplace(Upper(FromWide(found.cFileName, wcslen(found.cFileName))), entry);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return listing;
}

void Win32DownloadFolder::Adopt(FolderListing listing) {
  AcquireSRWLockExclusive(&lock_);
  adopted_ = std::move(listing);
  ReleaseSRWLockExclusive(&lock_);
}

bool Win32DownloadFolder::CreateFolder(const String& path) {
  AcquireSRWLockExclusive(&lock_);
  std::optional<FolderListing> adopted = std::move(adopted_);
  adopted_.reset();
  ReleaseSRWLockExclusive(&lock_);
  FolderListing listing = adopted && adopted->path == path ? std::move(*adopted) : MakeAndListFolder(path);
  const bool made = listing.made;
  AcquireSRWLockExclusive(&lock_);
  listed_ = made;
  listing_ = std::move(listing);
  ReleaseSRWLockExclusive(&lock_);
  return made;
}

std::optional<std::optional<ListedEntry>> Win32DownloadFolder::Listed(const String& path) {
  std::optional<std::optional<ListedEntry>> known;
  AcquireSRWLockShared(&lock_);
  if (const auto name = listed_ ? NameInFolder(listing_, path) : std::nullopt) {
    const auto found = listing_.names.find(*name);
    known.emplace(found == listing_.names.end() ? std::nullopt : std::optional<ListedEntry>(found->second));
  }
  ReleaseSRWLockShared(&lock_);
  return known;
}

void Win32DownloadFolder::Note(const String& path, bool present) {
  AcquireSRWLockExclusive(&lock_);
  if (auto name = listed_ ? NameInFolder(listing_, path) : std::nullopt) {
    if (present) listing_.names.insert_or_assign(std::move(*name), ListedEntry{});  // its size: ask
    else listing_.names.erase(*name);
  }
  ReleaseSRWLockExclusive(&lock_);
}

bool Win32DownloadFolder::FileExists(const String& path) { return FileSize(path).has_value(); }

std::optional<uint64_t> Win32DownloadFolder::FileSize(const String& path) {
  const auto listed = Listed(path);
  if (listed) {
    if (!*listed || (*listed)->folder) return std::nullopt;
    if ((*listed)->size) return (*listed)->size;
  }
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
