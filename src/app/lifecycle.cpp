#include "app/lifecycle.h"

#include "app/main_window_frame.h"
#include "app/prepare_main_window.h"
#include "clipboard/clipboard_watcher.h"
#include "settings/list_history.h"
#include "settings/settings_file.h"

namespace velnor {

bool LoadMainWindow(Program& program) {
  if (!PrepareMainWindow(program)) return false;
  InstallClipboardWatcher(program);
  program.frame->MakeTopMost();
  return true;
}

void UnloadMainWindow(Program& program) {
  RemoveClipboardWatcher(program);
  UpdateHistoryLists(program);
  // The watcher is out already: nothing that runs here can change urltxt from the clipboard.
  program.platform->ProcessPendingMessages();
  SaveSettings(program);  // tells the user itself when the file cannot be written
  program.frame->CloseAllForms();
}

}  // namespace velnor
