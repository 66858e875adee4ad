#include "clipboard/clipboard_watcher.h"

#include "clipboard/clipboard_platform.h"
#include "expand/url_split.h"

namespace velnor {

namespace {

// Takes the clipboard's text into urltxt when it is a URL. A clipboard that stays held open
// by another program is given up quietly: the next copy brings a new notice.
void TakeCopiedUrl(Program& program) {
  ClipboardPlatform& clipboard = *program.clipboard;
  const std::optional<String> text = clipboard.ReadText();
  if (!text) return;
  const bool textAvailable = clipboard.IsTextAvailable();
  if (!IsCopiedUrl(*text) || !textAvailable) return;
  // Read again for the text to take: the whole of it, line breaks and all.
  if (const std::optional<String> url = clipboard.ReadText()) PutCopiedUrl(program, *url);
}

}  // namespace

void PutCopiedUrl(Program& program, const String& url) {
  program.form.urltxt->SetText(url);
  SplitCopiedUrl(program);  // only when the user has turned the automatic split on
}

bool IsCopiedUrl(StringView text) { return text.starts_with(u"http://"); }

void InstallClipboardWatcher(Program& program) {
  ClipboardPlatform& clipboard = *program.clipboard;
  program.nextClipboardViewer = clipboard.SetClipboardViewer();
  program.previousWindowProc = clipboard.SetWindowProc(clipboard.WatcherWindowProc());
}

void RemoveClipboardWatcher(Program& program) {
  ClipboardPlatform& clipboard = *program.clipboard;
  clipboard.ChangeClipboardChain(program.nextClipboardViewer);
  clipboard.SetWindowProc(program.previousWindowProc);
}

void HandleClipboardNotice(Program& program, unsigned message, uintptr_t wParam,
                           intptr_t lParam) {
  ClipboardPlatform& clipboard = *program.clipboard;
  if (message == kWmDrawClipboard) {
    TakeCopiedUrl(program);
    if (program.nextClipboardViewer != 0) {
      clipboard.SendChainMessage(program.nextClipboardViewer, message, wParam, lParam);
    }
  } else if (message == kWmChangeCbChain) {
    if (wParam == program.nextClipboardViewer) {
      // The window after ours leaves: the one after it follows us now.
      program.nextClipboardViewer = static_cast<uintptr_t>(lParam);
    } else if (program.nextClipboardViewer != 0) {
      clipboard.SendChainMessage(program.nextClipboardViewer, message, wParam, lParam);
    }
  }
}

intptr_t ClipboardWindowProc(Program& program, unsigned message, uintptr_t wParam,
                             intptr_t lParam) {
  HandleClipboardNotice(program, message, wParam, lParam);
  return program.clipboard->CallWindowProcedure(program.previousWindowProc, message, wParam,
                                                lParam);
}

}  // namespace velnor
