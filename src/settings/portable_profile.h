#pragma once
// The profile functions without Windows: the same whole-section reads and writes over a
// Shift_JIS INI file, on real files (IniFileProfile) or on files kept in memory for tests
// (MemoryProfile). Paths are Windows-style texts; a backslash stands for the folder
// separator.
#include <map>
#include <optional>
#include <set>
#include <string>

#include "settings/profile_platform.h"

namespace velnor {

// Converts at the boundary and leaves the file format to settings/ini_text.h; the
// subclass only loads and stores the bytes of a file.
class PortableProfile : public ProfilePlatform {
 public:
  explicit PortableProfile(String programFolder) : programFolder_(std::move(programFolder)) {}

  String ProgramFolder() const override { return programFolder_; }
  // Code page 932, as on a Japanese system.
  bool AnsiCanHold(const String& text) const override;
  String DownloadsFolder() const override { return downloadsFolder; }
  int GetPrivateProfileSectionA(const String& section, String& buffer, int size,
                                const String& path) override;
  bool WritePrivateProfileSectionA(const String& section, const String& text,
                                   const String& path) override;

  String downloadsFolder = u"C:\\Users\\User\\Downloads";

 protected:
  // The file's bytes; nothing when it is missing or cannot be read.
  virtual std::optional<std::string> LoadFile(const String& path) const = 0;
  // Replaces or creates the file; false when it cannot be written.
  virtual bool StoreFile(const String& path, const std::string& bytes) = 0;

 private:
  String programFolder_;
};

class IniFileProfile : public PortableProfile {
 public:
  using PortableProfile::PortableProfile;

  bool PathFileExistsA(const String& path) const override;
  // Hidden means a name that begins with ".", the convention of these platforms.
  bool FindOrdinaryFile(const String& path) const override;

 protected:
  std::optional<std::string> LoadFile(const String& path) const override;
  bool StoreFile(const String& path, const std::string& bytes) override;
};

class MemoryProfile : public PortableProfile {
 public:
  struct File {
    std::string bytes;
    bool hidden = false;
    bool system = false;
  };

  using PortableProfile::PortableProfile;

  bool PathFileExistsA(const String& path) const override;
  bool FindOrdinaryFile(const String& path) const override;

  // Paths compared exactly.
  std::map<String, File> files;
  std::set<String> folders;
  // False: every write fails, as in a read-only folder.
  bool writable = true;
  int writeCalls = 0;  // stores tried, failed ones included

 protected:
  std::optional<std::string> LoadFile(const String& path) const override;
  bool StoreFile(const String& path, const std::string& bytes) override;
};

}  // namespace velnor
