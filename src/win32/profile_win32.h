#pragma once
// The settings file on Windows: paths through the W functions only (a program folder may hold
// any character), the file read with one ReadFile and replaced with one rename.
#include "settings/profile_platform.h"

namespace velnor {

class Win32ProfilePlatform final : public ProfilePlatform {
 public:
  // From GetModuleFileNameW: the program file's path up to its last backslash, which stays
  // only at the root of a drive ("C:\").
  String ProgramFolder() const override;
  String DownloadsFolder() const override;
  bool PathFileExists(const String& path) const override;
  // FindFirstFileW on the exact path; a hidden, system or folder entry does not count.
  bool FindOrdinaryFile(const String& path) const override;
  std::optional<std::string> ReadWholeFile(const String& path) const override;
  // A temporary file beside it, flushed, then MoveFileExW with MOVEFILE_REPLACE_EXISTING |
  // MOVEFILE_WRITE_THROUGH. A read-only file is not replaced.
  bool ReplaceWholeFile(const String& path, const std::string& bytes) override;
};

}  // namespace velnor
