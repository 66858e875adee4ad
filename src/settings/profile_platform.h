#pragma once
// What the settings file needs from the platform: where the program lies, whether a path
// exists, and the file's bytes, read whole and written whole. The program reads and writes
// the bytes itself (settings/ini_text.h), so the file means the same whatever code page the
// system uses. Implementations: Windows (src/win32/profile_win32.h), and files on disk or in
// memory without Windows (settings/portable_profile.h).
#include <optional>
#include <string>

#include "base/text.h"

namespace velnor {

class ProfilePlatform {
 public:
  virtual ~ProfilePlatform() = default;

  // The folder that holds the running program file, as the platform reports it: no
  // backslash at the end, except at the root of a drive ("C:\").
  virtual String ProgramFolder() const = 0;

  // The user's Downloads folder (FOLDERID_Downloads on Windows): the first download folder.
  virtual String DownloadsFolder() const = 0;

  // True when the path names an existing file or folder.
  virtual bool PathFileExists(const String& path) const = 0;

  // A directory listing of exactly this path that matches ordinary files only: hidden,
  // system and folder entries are not found.
  virtual bool FindOrdinaryFile(const String& path) const = 0;

  // The file's bytes; nothing when it is missing or cannot be read (a folder, a file held
  // open by another program without sharing).
  virtual std::optional<std::string> ReadWholeFile(const String& path) const = 0;

  // Writes the bytes to a new file in the same folder (SettingsTemporaryPath, written over
  // when a crash left it) and puts it in the place of `path` with one rename that replaces
  // the old file, so that a crash leaves the old file or the new one, never half of one. The new file keeps the old one's hidden and system
  // attributes. False when it could not be done (a read-only file or folder, a full disk, a
  // folder in the file's place); the old file is then as it was.
  virtual bool ReplaceWholeFile(const String& path, const std::string& bytes) = 0;
};

}  // namespace velnor
