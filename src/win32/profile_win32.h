#pragma once
// The settings file on Windows: the ANSI profile functions, with the program's texts
// converted to and from the system's ANSI code page (CP_ACP) at this boundary.
#include "settings/profile_platform.h"

namespace velnor {

class Win32ProfilePlatform final : public ProfilePlatform {
 public:
  // From GetModuleFileNameW: the program file's path up to its last backslash, which stays
  // only at the root of a drive ("C:\").
  String ProgramFolder() const override;
  // The round trip through CP_ACP gives the text back unchanged.
  bool AnsiCanHold(const String& text) const override;
  String DownloadsFolder() const override;
  bool PathFileExistsA(const String& path) const override;
  // FindFirstFileA on the exact path; a hidden, system or folder entry does not count.
  bool FindOrdinaryFile(const String& path) const override;
  int GetPrivateProfileSectionA(const String& section, String& buffer, int size,
                                const String& path) override;
  bool WritePrivateProfileSectionA(const String& section, const String& text,
                                   const String& path) override;
};

}  // namespace velnor
