#pragma once
// What the settings file needs from the platform: where the program lies, whether a path
// exists, and the whole-section profile functions. Texts cross as the program's String; an
// implementation converts them to the system's ANSI code page (932 on a Japanese system), so
// a file written by the program and one written by hand in Shift_JIS read back the same.
// Implementations: the Windows profile functions (src/win32/profile_win32.h) and a portable
// reader and writer of the same file format (settings/portable_profile.h).
#include "base/text.h"

namespace velnor {

class ProfilePlatform {
 public:
  virtual ~ProfilePlatform() = default;

  // The folder that holds the running program file, as the platform reports it: no
  // backslash at the end, except at the root of a drive ("C:\").
  virtual String ProgramFolder() const = 0;

  // True when the text survives the conversion to the ANSI code page of the settings file
  // unchanged (no character replaced by a default one).
  virtual bool AnsiCanHold(const String& text) const = 0;

  // The user's Downloads folder (FOLDERID_Downloads on Windows): the first download folder.
  virtual String DownloadsFolder() const = 0;

  // True when the path names an existing file or folder.
  virtual bool PathFileExistsA(const String& path) const = 0;

  // A directory listing of exactly this path that matches ordinary files only: hidden,
  // system and folder entries are not found.
  virtual bool FindOrdinaryFile(const String& path) const = 0;

  // Reads the whole section into `buffer`: every entry (key, "=", value) followed by a NUL,
  // then one more NUL. `size` is the buffer size in bytes of the ANSI code page, as the
  // platform counts it; a longer section is cut there (the result is then size - 2 bytes
  // and the last entry is cut). Returns the number of characters of `buffer` before the
  // final NUL, 0 for a missing file, a missing section or a section without entries.
  virtual int GetPrivateProfileSectionA(const String& section, String& buffer, int size,
                                        const String& path) = 0;

  // Replaces every entry of the section by the entries of `text` (entries each followed by
  // a NUL, one more NUL at the end), adding the section at the end of the file when it is
  // missing and creating the file when it is missing. Other sections stay as they are.
  // False when the file could not be written.
  virtual bool WritePrivateProfileSectionA(const String& section, const String& text,
                                           const String& path) = 0;
};

}  // namespace velnor
