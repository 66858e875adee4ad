#pragma once
// The download job's file-system calls and clock on Windows, and the user's Downloads folder.
#include <windows.h>

#include <optional>
#include <unordered_map>

#include "download/transfer_platform.h"

namespace velnor {

// What a folder held when it was listed: each name (upper case) with its size, or nothing for
// a sub-folder or for a name this program made since (its size is asked of the file system).
struct ListedEntry {
  bool folder = false;
  std::optional<uint64_t> size;
};

struct FolderListing {
  String path;      // as given
  bool made = false;  // the folder is there (made now, or already)
  String folder;    // upper case, without a separator at the end
  std::unordered_map<String, ListedEntry> names;
};

// Makes the folder with its missing parents: true when it is there, made now or already.
bool MakeFolder(const String& path);

// Makes the folder as MakeFolder does and lists it once: any thread. A path that names a
// file, a relative path or one the system refuses cannot be the folder.
FolderListing MakeAndListFolder(const String& path);

// Under Wine each look for a name that is not there reads the whole folder, and each look for
// one that is there costs a file-system call; the job looks for two names an item (the file,
// its part) on the window's thread. So the folder is listed once as each run starts
// (CreateFolder), and the existence and size of a name in it are answered from the listing:
// a name that was not there then and that this program has not made since (a rename, a part a
// worker created: the Note calls) is missing without asking, and a file that was there has the
// size it had then. A file another program puts there during the run is not seen as there: its
// item is then requested, and its rename refused, never replacing it. A name this program made
// is asked of the file system.
class Win32DownloadFolder : public DownloadFolderPlatform {
 public:
  bool CreateFolder(const String& path) override;
  bool FileExists(const String& path) override;
  std::optional<uint64_t> FileSize(const String& path) override;
  bool Remove(const String& path) override;
  // A listing made off the window's thread just before the run: the next CreateFolder of the
  // same path takes it instead of making the folder and listing it again.
  void Adopt(FolderListing listing);
  // From any thread: a file this program has just created, or renamed.
  void NoteCreated(const String& path) { Note(path, true); }
  void NoteRenamed(const String& from, const String& to) {
    Note(from, false);
    Note(to, true);
  }
  void NoteRemoved(const String& path) { Note(path, false); }

 private:
  // What the listing knows of a path: nothing when it is not in the listed folder; otherwise
  // whether the name was there, and its entry.
  std::optional<std::optional<ListedEntry>> Listed(const String& path);
  void Note(const String& path, bool present);

  SRWLOCK lock_ = SRWLOCK_INIT;
  bool listed_ = false;
  FolderListing listing_;
  std::optional<FolderListing> adopted_;
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
