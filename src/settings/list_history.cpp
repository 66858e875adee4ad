#include "settings/list_history.h"

namespace velnor {
namespace {

// Positions at or beyond the end of the list count as empty entries.
bool IsNewToHistory(const ComboBox& combo) {
  const String text = combo.GetText();
  for (int i = 0; i < kHistorySize; ++i) {
    if (combo.Item(i) == text) return false;
  }
  return true;
}

void AddToHistory(ComboBox& combo) {
  if (combo.Count() >= kHistorySize) combo.RemoveItem(0);
  combo.AddItem(combo.GetText());
}

void CopyToSlots(const ComboBox& combo, HistorySlots& slots) {
  for (int i = 0; i < kHistorySize; ++i) slots[i + 1] = combo.Item(i);
}

}  // namespace

void UpdateHistoryLists(Program& program) {
  ComboBox& subfolders = *program.form.Combo2;
  ComboBox& extensions = *program.form.Combo1;
  const bool newSubfolder = IsNewToHistory(subfolders);
  const bool newExtension = IsNewToHistory(extensions);
  if (newSubfolder) AddToHistory(subfolders);
  if (newExtension) AddToHistory(extensions);
  CopyToSlots(subfolders, program.subfolderHistory);
  CopyToSlots(extensions, program.extensionHistory);
}

}  // namespace velnor
