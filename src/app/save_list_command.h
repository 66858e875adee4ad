#pragma once
// Saving the result list urllist to a text file, one item a line, for download tools that
// import such lists.
#include <string>

#include "app/list_file_platform.h"
#include "ui/program.h"

namespace velnor {

// Shown with a line break and the full path when the file could not be written.
inline const String kSaveListFailedMessage = u"ファイルを保存できませんでした";

// The name the dialog proposes.
inline const String kListFileName = u"urllist.txt";

// The file's content: every item followed by CR LF, as UTF-8 without a byte-order mark
// (a lone surrogate becomes U+FFFD).
std::string ListFileBytes(const ListBox& list);

// The folder part of a full path, up to and including its last backslash or slash; empty
// when there is none.
String FolderOf(const String& path);

// The menu command (also Ctrl+S): an empty list gets the copy commands' message and no
// dialog; otherwise the Save As dialog, starting in the folder of the last save of this run
// while that folder exists (else the program's folder), then the file written whole. Cancel
// does nothing. The list's selection and scroll position and the clipboard are not touched.
void SaveListToFile(Program& program);

}  // namespace velnor
