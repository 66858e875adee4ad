#pragma once
// Saving the result list on Windows: GetSaveFileNameW owned by the main window, and a file
// written through a temporary file in the same folder that then replaces the target.
#include <windows.h>

#include <string>

#include "app/list_file_platform.h"

namespace velnor {

// Writes the bytes to a new file beside `path` (CreateFileW with `attributes`, WriteFile,
// FlushFileBuffers), then puts it in the place of `path` with MoveFileExW and
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH: a crash leaves the old file or the whole
// new one. The temporary file is deleted when any step fails; false then.
bool WriteFileThroughTemporary(const String& path, const std::string& bytes, DWORD attributes = 0);

// The same through a temporary file of a fixed name: what an earlier write left there when it
// was cut off (even a read-only or hidden one) is written over.
bool WriteFileThroughTemporary(const String& path, const String& temporary, const std::string& bytes,
                               DWORD attributes);

class Win32ListFilePlatform final : public ListFilePlatform {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }

  // Asks before replacing an existing file; the proposed name goes in with the folder, so
  // that the dialog opens there rather than in the folder the system remembers.
  std::optional<String> AskSavePath(const SaveDialogRequest& request) override;
  bool FolderExists(const String& path) override;
  // WriteFileThroughTemporary.
  bool WriteWholeFile(const String& path, const std::string& bytes) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace velnor
