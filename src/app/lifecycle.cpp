#include "app/lifecycle.h"

#include "app/main_window_frame.h"
#include "app/prepare_main_window.h"
#include "base/platform_without_boxes.h"
#include "clipboard/clipboard_watcher.h"
#include "settings/list_history.h"
#include "settings/settings_file.h"

namespace velnor {

namespace {

// The steps of the shut-down before the windows close.
void ShutDown(Program& program) {
  program.shutDown = ShutDownState::kInProgress;
  RemoveClipboardWatcher(program);
  UpdateHistoryLists(program);
  // The watcher is out already: nothing that runs here can change urltxt from the clipboard.
  // A close or an end of the session that arrives now finds the shut-down in progress.
  program.platform->ProcessPendingMessages();
  SaveSettings(program);  // tells the user itself when the file cannot be written
}

}  // namespace

bool LoadMainWindow(Program& program) {
  if (!PrepareMainWindow(program)) return false;
  InstallClipboardWatcher(program);
  program.frame->MakeTopMost();
  return true;
}

void UnloadMainWindow(Program& program) {
  switch (program.shutDown) {
    case ShutDownState::kRunning:
      ShutDown(program);
      break;
    case ShutDownState::kInProgress:
      return;  // the shut-down that runs closes the windows itself
    case ShutDownState::kSessionEnded:
      break;  // saved already
  }
  program.frame->CloseAllForms();
}

void EndSessionMainWindow(Program& program, bool ending) {
  if (!ending || program.shutDown != ShutDownState::kRunning) return;
  Platform& platform = *program.platform;
  // While Windows ends the session nobody is there to answer a box, and an open one would
  // hold the end of the session up.
  PlatformWithoutBoxes withoutBoxes(platform, PlatformWithoutBoxes::kRun);
  program.platform = &withoutBoxes;
  ShutDown(program);
  program.platform = &platform;
  program.shutDown = ShutDownState::kSessionEnded;
}

}  // namespace velnor
