#pragma once
// Copying the result list urllist to the clipboard as text, one item a line.
#include <vector>

#include "ui/program.h"

namespace velnor {

// Messages of the copy commands (caption "注意").
inline const String kListEmptyMessage = u"リストにデータがありません";
inline const String kNothingSelectedMessage = u"選択されていません";
inline const String kClipboardBusyMessage = u"クリップボードを開けませんでした";

// The Copy button: the selected items, or every item when none is selected.
void CopyCommand(Program& program);

// Every item (the File_all_save menu item and Ctrl+C).
void CopyAllItems(Program& program);

// The selected items only (the File_sec_save menu item).
void CopySelectedItems(Program& program);

// The items a command on the list works on, by the Copy button's rule: the selected ones in
// list order, or every item when none is selected. An empty list tells the user as the copy
// commands do and gives none.
std::vector<String> ItemsForListCommand(Program& program);

// Appends the selected items of the list to text in list order, each followed by "\r\n":
// the clipboard text of the copy commands. Returns how many items it appended.
int AppendSelectedItems(const ListBox& list, String& text);

}  // namespace velnor
