#include "win32/file_win32.h"

#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/temporary_path.h"
#include "win32/win32_text.h"

namespace velnor {
namespace {

// The longest path the dialog may hand back, in UTF-16 code units.
constexpr size_t kPathBufferSize = 32768;

// Pairs of description and pattern, each ending in NUL, the list ending in one more NUL.
std::wstring FilterText(const std::vector<FileTypeFilter>& filters) {
  std::wstring text;
  for (const FileTypeFilter& filter : filters) {
    text.append(Wide(filter.description)).push_back(L'\0');
    text.append(Wide(filter.pattern)).push_back(L'\0');
  }
  text.push_back(L'\0');
  return text;
}

String WithBackslash(const String& folder) {
  if (folder.empty() || folder.back() == u'\\' || folder.back() == u'/') return folder;
  return folder + u'\\';
}

// A temporary file beside the target that no other file has; it is created here, so that no
// other process can take the name in between.
HANDLE CreateTemporaryBeside(const String& path, String& temporary, DWORD attributes) {
  const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (DWORD attempt = 0; attempt < 100; ++attempt) {
    temporary = TemporaryPathBeside(path, seed + attempt * 7919);
    if (temporary.empty()) break;
    HANDLE file = CreateFileW(Wide(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  temporary.clear();
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  constexpr size_t kChunk = size_t{1} << 24;
  size_t done = 0;
  while (done < bytes.size()) {
    const auto size = static_cast<DWORD>(std::min(kChunk, bytes.size() - done));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, size, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

std::optional<String> Win32ListFilePlatform::AskSavePath(const SaveDialogRequest& request) {
  const std::wstring filter = FilterText(request.filters);
  const String folder = WithBackslash(request.initialFolder);
  // A path in the file field decides the folder the dialog opens in on every Windows since 7;
  // the initial-folder field alone gives way to the folder the system remembers.
  String proposed = folder + request.fileName;
  if (proposed.size() >= kPathBufferSize) proposed = request.fileName;
  std::vector<wchar_t> file(kPathBufferSize, L'\0');
  std::copy(proposed.begin(), proposed.end(), file.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : Wide(folder);
  dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : Wide(request.defaultExtension);
  dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;  // Cancel, or no dialog at all
  return FromWide(file.data(), wcsnlen(file.data(), file.size()));
}

bool Win32ListFilePlatform::FolderExists(const String& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {

bool WriteAndReplace(HANDLE file, const String& temporary, const String& path, const std::string& bytes) {
  // Flushed before the replace, so that a crash leaves the old file or the whole new one.
  const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
  const bool closed = CloseHandle(file) != FALSE;
  if (written && closed &&
      MoveFileExW(Wide(temporary), Wide(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileW(Wide(temporary));
  return false;
}

}  // namespace

bool WriteFileThroughTemporary(const String& path, const std::string& bytes, DWORD attributes) {
  String temporary;
  HANDLE file = CreateTemporaryBeside(path, temporary, attributes);
  if (file == INVALID_HANDLE_VALUE) return false;
  return WriteAndReplace(file, temporary, path, bytes);
}

bool WriteFileThroughTemporary(const String& path, const String& temporary, const std::string& bytes,
                               DWORD attributes) {
  if (temporary.empty()) return false;
  SetFileAttributesW(Wide(temporary), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(Wide(temporary));
  HANDLE file = CreateFileW(Wide(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  return WriteAndReplace(file, temporary, path, bytes);
}

bool Win32ListFilePlatform::WriteWholeFile(const String& path, const std::string& bytes) {
  return WriteFileThroughTemporary(path, bytes);
}

}  // namespace velnor
