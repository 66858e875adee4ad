#pragma once
// The settings file's platform without Windows: files on disk (IniFileProfile) or kept in
// memory for tests (MemoryProfile). Paths are Windows-style texts; a backslash stands for
// the folder separator.
#include <map>
#include <optional>
#include <set>
#include <string>

#include "settings/profile_platform.h"

namespace velnor {

class PortableProfile : public ProfilePlatform {
 public:
  explicit PortableProfile(String programFolder) : programFolder_(std::move(programFolder)) {}

  String ProgramFolder() const override { return programFolder_; }
  String DownloadsFolder() const override { return downloadsFolder; }

  String downloadsFolder = u"C:\\Users\\User\\Downloads";

 private:
  String programFolder_;
};

class IniFileProfile : public PortableProfile {
 public:
  using PortableProfile::PortableProfile;

  bool PathFileExists(const String& path) const override;
  // Hidden means a name that begins with ".", the convention of these platforms.
  bool FindOrdinaryFile(const String& path) const override;
  std::optional<std::string> ReadWholeFile(const String& path) const override;
  // The temporary file beside it (SettingsTemporaryPath), renamed over it.
  bool ReplaceWholeFile(const String& path, const std::string& bytes) override;
};

class MemoryProfile : public PortableProfile {
 public:
  struct File {
    std::string bytes;
    bool hidden = false;
    bool system = false;
  };

  using PortableProfile::PortableProfile;

  bool PathFileExists(const String& path) const override;
  bool FindOrdinaryFile(const String& path) const override;
  std::optional<std::string> ReadWholeFile(const String& path) const override;
  bool ReplaceWholeFile(const String& path, const std::string& bytes) override;

  // Paths compared exactly.
  std::map<String, File> files;
  std::set<String> folders;
  // False: every write fails, as in a read-only folder.
  bool writable = true;
  int writeCalls = 0;  // replaces tried, failed ones included
};

}  // namespace velnor
