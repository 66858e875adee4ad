#pragma once
// The download job's file-system calls and clock on Windows, and the user's Downloads folder.
#include <windows.h>

#include <unordered_set>

#include "download/transfer_platform.h"

namespace velnor {

// Under Wine each look for a name that is not there reads the whole folder, and the job looks
// for two such names an item (the file, its part) on the window's thread. So the folder is
// listed once as each run starts (CreateFolder), and a name that was not there then and that
// this program has not made since (a rename, a part a worker created: the Note calls) is known
// to be missing without asking. A file another program puts there during the run is not seen
// as there: its item is then requested, and its rename refused, never replacing it.
class Win32DownloadFolder : public DownloadFolderPlatform {
 public:
  bool CreateFolder(const String& path) override;
  bool FileExists(const String& path) override;
  std::optional<uint64_t> FileSize(const String& path) override;
  bool Remove(const String& path) override;
  // From any thread: a file this program has just created, or renamed.
  void NoteCreated(const String& path) { Note(path, true); }
  void NoteRenamed(const String& from, const String& to) {
    Note(from, false);
    Note(to, true);
  }
  void NoteRemoved(const String& path) { Note(path, false); }

 private:
  // False only when the listing knows the name is not in the folder.
  bool MayExist(const String& path);
  void Note(const String& path, bool present);

  SRWLOCK lock_ = SRWLOCK_INIT;
  bool listed_ = false;
  String folder_;                      // upper case, without a separator at the end
  std::unordered_set<String> names_;   // upper case
};

class Win32DownloadClock : public DownloadClock {
 public:
  uint64_t NowMilliseconds() override;
};

// Renames a file within its folder through a handle of it opened with DELETE access; false,
// and nothing changed, when a file has the new name.
bool RenameOpenFileNeverReplacing(HANDLE file, const String& to);

// The user's Downloads folder (FOLDERID_Downloads); empty where the system cannot tell.
String UserDownloadsFolder();

}  // namespace velnor
