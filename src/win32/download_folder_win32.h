#pragma once
// The download job's file-system calls and clock on Windows, and the user's Downloads folder.
#include "download/transfer_platform.h"

namespace velnor {

class Win32DownloadFolder : public DownloadFolderPlatform {
 public:
  bool CreateFolder(const String& path) override;
  bool FileExists(const String& path) override;
  std::optional<uint64_t> FileSize(const String& path) override;
  bool Rename(const String& from, const String& to) override;
  bool Remove(const String& path) override;
};

class Win32DownloadClock : public DownloadClock {
 public:
  uint64_t NowMilliseconds() override;
};

// The user's Downloads folder (FOLDERID_Downloads); empty where the system cannot tell.
String UserDownloadsFolder();

}  // namespace velnor
