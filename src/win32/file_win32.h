#pragma once
// Saving the result list on Windows: GetSaveFileNameW owned by the main window, and a file
// written through a temporary file in the same folder that then replaces the target.
#include <windows.h>

#include "app/list_file_platform.h"

namespace velnor {

class Win32ListFilePlatform final : public ListFilePlatform {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }

  // Asks before replacing an existing file; the proposed name goes in with the folder, so
  // that the dialog opens there rather than in the folder the system remembers.
  std::optional<String> AskSavePath(const SaveDialogRequest& request) override;
  bool FolderExists(const String& path) override;
  // CreateFileW (a new file beside the target), WriteFile, FlushFileBuffers, then
  // MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH; the temporary file
  // is deleted when any step fails.
  bool WriteWholeFile(const String& path, const std::string& bytes) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace velnor
