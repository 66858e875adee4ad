#include "win32/commands.h"

#include "expand/expand_command.h"
#include "win32/control_ids.h"

namespace velnor {
namespace {

struct CommandEntry {
  int id;
  CommandProcedure run;
};

// File_end is not here: closing the window is the window's own business (main_window.cpp).
// The copy commands, help and the About box are menu items and buttons already; each gets
// its procedure here when it is written, until then the item does nothing.
const CommandEntry kCommands[] = {
    {ids::kRenban, RunExpandCommand},
    {ids::kCopy, nullptr},         // copy the selected items, or all when none is selected
    {ids::kFileSecSave, nullptr},  // CopySelectedItems
    {ids::kFileAllSave, nullptr},  // CopyAllItems
    {ids::kHelpSub, nullptr},      // open the help file
    {ids::kVersion, nullptr},      // the About box
};

}  // namespace

CommandProcedure FindCommand(int id) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.id == id) return entry.run;
  }
  return nullptr;
}

}  // namespace velnor
