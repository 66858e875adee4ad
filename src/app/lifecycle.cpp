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
  // A close that arrives now finds the shut-down in progress; an end of the session saves
  // at once, as it must before it returns.
  program.platform->ProcessPendingMessages();
  if (program.shutDown == ShutDownState::kSessionEnded) return;
  SaveSettings(program);  // tells the user itself when the file cannot be written
}

// Runs `steps` with a platform that shows no message box: while Windows ends the session
// nobody is there to answer one, and an open box would hold the end of the session up.
template <typename Steps>
void WithoutBoxes(Program& program, Steps steps) {
  Platform& platform = *program.platform;
  PlatformWithoutBoxes withoutBoxes(platform, PlatformWithoutBoxes::kRun);
  program.platform = &withoutBoxes;
  steps();
  program.platform = &platform;
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
  if (!ending) return;
  switch (program.shutDown) {
    case ShutDownState::kRunning:
      WithoutBoxes(program, [&program] { ShutDown(program); });
      break;
    case ShutDownState::kInProgress:
      // The close's shut-down is letting pending messages run: the watcher is out and the
      // histories are taken, but its save would come only after this returns, when Windows
      // may have ended the process. Save now; the close then skips its own.
      WithoutBoxes(program, [&program] { SaveSettings(program); });
      break;
    case ShutDownState::kSessionEnded:
      return;
  }
  program.shutDown = ShutDownState::kSessionEnded;
}

}  // namespace velnor
