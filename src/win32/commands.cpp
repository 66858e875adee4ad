#include "win32/commands.h"

#include "app/help_command.h"
#include "app/save_list_command.h"
#include "clipboard/copy_commands.h"
#include "expand/expand_command.h"
#include "expand/url_split.h"
#include "win32/control_ids.h"

namespace velnor {
namespace {

struct CommandEntry {
  int id;
  CommandProcedure run;
};

// File_end and the About box are not here: closing the window and owning a dialog are the
// window's own business (main_window.cpp).
const CommandEntry kCommands[] = {
    {ids::kRenban, RunExpandCommand},
    {ids::kCopy, CopyCommand},              // the selected items, or all when none is selected
    {ids::kFileSecSave, CopySelectedItems},
    {ids::kFileAllSave, CopyAllItems},      // also Ctrl+C
    {ids::kFileSaveList, SaveListToFile},   // also Ctrl+S
    {ids::kEditSplitUrl, SplitUrlCommand},  // also Ctrl+D
    {ids::kHelpSub, OpenHelpFile},
};

}  // namespace

CommandProcedure FindCommand(int id) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.id == id) return entry.run;
  }
  return nullptr;
}

}  // namespace velnor
