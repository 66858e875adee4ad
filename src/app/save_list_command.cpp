#include "app/save_list_command.h"

#include <optional>

#include "base/platform.h"
#include "clipboard/copy_commands.h"

namespace velnor {

std::string ListFileBytes(const ListBox& list) {
  std::string bytes;
  const int count = list.Count();
  for (int i = 0; i < count; ++i) {
    bytes += ToUtf8(list.ItemText(i));
    bytes += "\r\n";
  }
  return bytes;
}

String FolderOf(const String& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == String::npos ? String() : path.substr(0, slash + 1);
}

void SaveListToFile(Program& program) {
  const ListBox& list = *program.form.urllist;
  if (list.Count() < 1) {
    program.platform->ShowMessage(kListEmptyMessage, kWarningCaption, kOkOnly);
    return;
  }
  SaveDialogRequest request;
  request.fileName = kListFileName;
  // A folder removed since the last save would leave the dialog to the system's own choice.
  const bool lastFolderThere =
      !program.lastSaveFolder.empty() && program.listFile->FolderExists(program.lastSaveFolder);
  request.initialFolder = lastFolderThere ? program.lastSaveFolder : program.programFolder;
  request.filters = {{u"テキスト ファイル (*.txt)", u"*.txt"}, {u"すべてのファイル (*.*)", u"*.*"}};
  request.defaultExtension = u"txt";
  const std::optional<String> path = program.listFile->AskSavePath(request);
  if (!path) return;
  // Read after the dialog: the list as it is when the file is written.
  if (!program.listFile->WriteWholeFile(*path, ListFileBytes(list))) {
    program.platform->ShowMessage(kSaveListFailedMessage + u"\n" + *path, kWarningCaption, kOkOnly);
    return;
  }
  // The dialog hands back a full path; a bare name would say nothing about a folder.
  const String folder = FolderOf(*path);
  if (!folder.empty()) program.lastSaveFolder = folder;
}

}  // namespace velnor
