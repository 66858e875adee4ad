#include "clipboard/copy_commands.h"

#include <algorithm>
#include <vector>

#include "base/platform.h"
#include "clipboard/clipboard_platform.h"
#include "clipboard/clipboard_watcher.h"

namespace velnor {

namespace {

void Warn(Program& program, const String& text) {
  program.platform->ShowMessage(text, u"注意", kOkOnly);
}

// Appends each selected item of the list followed by "\r\n", in list order; returns how many
// items it appended. The items of one list are mostly alike in length, so the first one
// gives the room to reserve and the text grows once or not at all.
int AppendSelectedItems(const ListBox& list, String& text) {
  constexpr size_t kMaxReserve = size_t{64} << 20;  // a hint only; growth handles the rest
  const int count = list.Count();
  int appended = 0;
  for (int i = 0; i < count; ++i) {
    if (!list.Selected(i)) continue;
    const String item = list.Item(i);
    if (appended++ == 0) {
      text.reserve(std::min(kMaxReserve, (item.size() + 2) * static_cast<size_t>(count - i)));
    }
    text += item;
    text += u"\r\n";
  }
  return appended;
}

bool AnySelected(const ListBox& list) {
  const int count = list.Count();
  for (int i = 0; i < count; ++i) {
    if (list.Selected(i)) return true;
  }
  return false;
}

std::vector<int> SelectedIndices(const ListBox& list) {
  std::vector<int> indices;
  const int count = list.Count();
  for (int i = 0; i < count; ++i) {
    if (list.Selected(i)) indices.push_back(i);
  }
  return indices;
}

void SelectOnly(ListBox& list, const std::vector<int>& indices) {
  list.SetAllSelected(false);
  for (int i : indices) list.SetSelected(i, true);
}

}  // namespace

void CopyCommand(Program& program) {
  if (AnySelected(*program.form.urllist)) {
    CopySelectedItems(program);
  } else {
    CopyAllItems(program);
  }
}

void CopyAllItems(Program& program) {
  ListBox& list = *program.form.urllist;
  if (list.Count() < 1) {
    Warn(program, kListEmptyMessage);
    return;
  }
  RemoveClipboardWatcher(program);
  // Put back if the clipboard cannot be written, so the user can try again as before.
  const std::vector<int> userSelection = SelectedIndices(list);
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
