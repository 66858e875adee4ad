#pragma once
// What saving the result list asks of the operating system: a file name from the user, and
// a file written whole. The Win32 implementation is in src/win32/file_win32.h; tests use a
// model that records the requests and answers as told.
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"

namespace velnor {

// One entry of the dialog's file-type list: what the user reads, and the pattern it shows.
struct FileTypeFilter {
  String description;
  String pattern;
  bool operator==(const FileTypeFilter&) const = default;
};

// What the Save As dialog opens with.
struct SaveDialogRequest {
  String fileName;       // proposed in the file-name field
  String initialFolder;  // the folder the dialog shows first
  std::vector<FileTypeFilter> filters;
  String defaultExtension;  // added to a name typed without one (no dot)
  bool operator==(const SaveDialogRequest&) const = default;
};

class ListFilePlatform {
 public:
  virtual ~ListFilePlatform() = default;

  // The system's Save As dialog, modal and owned by the main window; it asks the user before
  // an existing file is chosen for replacing. Returns the full path chosen, or no value when
  // the user cancelled (or the dialog could not be shown).
  virtual std::optional<String> AskSavePath(const SaveDialogRequest& request) = 0;

  // True when the path names an existing folder.
  virtual bool FolderExists(const String& path) = 0;

  // Writes bytes to path as the file's whole content, or leaves the file as it was: the
  // bytes go to a new file in the same folder first, which then replaces the old one. False
  // when anything failed; nothing of the attempt is left behind then.
  virtual bool WriteWholeFile(const String& path, const std::string& bytes) = 0;
};

}  // namespace velnor
