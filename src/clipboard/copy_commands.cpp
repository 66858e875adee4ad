#include "clipboard/copy_commands.h"

#include <vector>

#include "base/platform.h"
#include "clipboard/clipboard_platform.h"
#include "clipboard/clipboard_watcher.h"

namespace velnor {

namespace {

void Warn(Program& program, const String& text) {
  program.platform->ShowMessage(text, u"注意", kOkOnly);
}

void SelectOnly(ListBox& list, const std::vector<int>& indices) {
  list.SetAllSelected(false);
  for (int i : indices) list.SetSelected(i, true);
}

}  // namespace

// The selection comes in one query and the texts from the list's memory, into a text reserved
// at its exact length: no message and no allocation per item.
int AppendSelectedItems(const ListBox& list, String& text) {
  const std::vector<int> selected = list.SelectedItems();
  std::vector<StringView> texts;
  texts.reserve(selected.size());
  size_t length = 0;
  for (int i : selected) {
    texts.push_back(list.ItemText(i));
    length += texts.back().size() + 2;
  }
  text.reserve(text.size() + length);
  for (StringView item : texts) {
    text += item;
    text += u"\r\n";
  }
  return static_cast<int>(selected.size());
}

void CopyCommand(Program& program) {
  if (!program.form.urllist->SelectedItems().empty()) {
    CopySelectedItems(program);
  } else {
    CopyAllItems(program);
  }
}

std::vector<String> ItemsForListCommand(Program& program) {
  const ListBox& list = *program.form.urllist;
  std::vector<String> items;
  if (list.Count() < 1) {
    Warn(program, kListEmptyMessage);
    return items;
  }
  std::vector<int> chosen = list.SelectedItems();
  if (chosen.empty()) {
    chosen.resize(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) chosen[static_cast<size_t>(i)] = i;
  }
  items.reserve(chosen.size());
  for (int i : chosen) items.emplace_back(list.ItemText(i));
  return items;
}

void CopyAllItems(Program& program) {
  ListBox& list = *program.form.urllist;
  if (list.Count() < 1) {
    Warn(program, kListEmptyMessage);
    return;
  }
  RemoveClipboardWatcher(program);
  // Put back if the clipboard cannot be written, so the user can try again as before.
  const std::vector<int> userSelection = list.SelectedItems();
  list.SetAllSelected(true);
  list.SetMousePointer(kPointerHourglass);
  program.platform->ProcessPendingMessages();  // lets the selection and the pointer show
  list.SetVisible(false);
  String text;
  AppendSelectedItems(list, text);
  list.SetVisible(true);
  const bool written = program.clipboard->ReplaceText(text);
  list.SetMousePointer(kPointerDefault);
  if (written) {
    list.SetAllSelected(false);
    InstallClipboardWatcher(program);
    return;
  }
  SelectOnly(list, userSelection);
  InstallClipboardWatcher(program);
  Warn(program, kClipboardBusyMessage);
}

void CopySelectedItems(Program& program) {
  ListBox& list = *program.form.urllist;
  RemoveClipboardWatcher(program);
  if (list.Count() < 1) {
    InstallClipboardWatcher(program);
    Warn(program, kListEmptyMessage);
    return;
  }
  list.SetMousePointer(kPointerHourglass);
  program.platform->ProcessPendingMessages();
  list.SetVisible(false);
  String text;
  const int copied = AppendSelectedItems(list, text);
  list.SetVisible(true);
  if (copied == 0) {
    list.SetMousePointer(kPointerDefault);
    InstallClipboardWatcher(program);
    Warn(program, kNothingSelectedMessage);
    return;
  }
  const bool written = program.clipboard->ReplaceText(text);
  list.SetMousePointer(kPointerDefault);
  if (written) list.SetAllSelected(false);  // after a failure the selection stays for a retry
  InstallClipboardWatcher(program);
  if (!written) Warn(program, kClipboardBusyMessage);
}

}  // namespace velnor
