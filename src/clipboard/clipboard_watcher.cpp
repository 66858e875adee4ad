#include "clipboard/clipboard_watcher.h"

#include "clipboard/clipboard_platform.h"
#include "expand/url_split.h"

namespace velnor {

namespace {

// Takes the clipboard's text into urltxt when it is a URL. False when another program held
// the clipboard, so that it could not be read (or not read again).
bool TakeCopiedUrl(Program& program) {
  ClipboardPlatform& clipboard = *program.clipboard;
  const std::optional<String> text = clipboard.TryReadText();
  if (!text) return false;
  const bool textAvailable = clipboard.IsTextAvailable();
  if (!IsCopiedUrl(*text, program.copyHttps) || !textAvailable) return true;
  // Read again for the text to take: the whole of it, line breaks and all.
  const std::optional<String> url = clipboard.TryReadText();
  if (!url) return false;
  PutCopiedUrl(program, *url);
  return true;
}

void CancelClipboardRetry(Program& program) {
  if (program.clipboardRetriesLeft == 0) return;
  program.clipboardRetriesLeft = 0;
  program.clipboard->StopRetryTimer();
}

// Reads the clipboard now; when it is held, leaves the read to the timer, `retries` times.
void TakeCopiedUrlOrRetry(Program& program, int retries) {
  if (TakeCopiedUrl(program) || retries <= 0) return;
  program.clipboardRetriesLeft = retries;
  program.clipboard->StartRetryTimer(kClipboardReadRetryMilliseconds);
}

}  // namespace

void PutCopiedUrl(Program& program, const String& url) {
  // Only when the user has turned the automatic split on; urltxt then has its first part.
  if (SplitCopiedUrl(program, url)) {
    if (program.CopiedUrlSplit) program.CopiedUrlSplit();
    return;
  }
  program.form.urltxt->SetText(url);
}

bool IsCopiedUrl(StringView text, bool https) {
  return text.starts_with(u"http://") || (https && text.starts_with(u"https://"));
}

void InstallClipboardWatcher(Program& program) {
  ClipboardPlatform& clipboard = *program.clipboard;
  program.nextClipboardViewer = clipboard.SetClipboardViewer();
  program.previousWindowProc = clipboard.SetWindowProc(clipboard.WatcherWindowProc());
}

void RemoveClipboardWatcher(Program& program) {
  // A read still pending would otherwise find the clipboard as the copy commands leave it.
  CancelClipboardRetry(program);
  ClipboardPlatform& clipboard = *program.clipboard;
  clipboard.ChangeClipboardChain(program.nextClipboardViewer);
  clipboard.SetWindowProc(program.previousWindowProc);
}

void HandleClipboardNotice(Program& program, unsigned message, uintptr_t wParam,
                           intptr_t lParam) {
  ClipboardPlatform& clipboard = *program.clipboard;
  if (message == kWmDrawClipboard) {
    // The newer content is what counts: an older retry gives way, with its budget.
    CancelClipboardRetry(program);
    TakeCopiedUrlOrRetry(program, kClipboardReadRetries);
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
  } else if (message == kWmTimer && wParam == kClipboardRetryTimerId) {
    OnClipboardRetryTimer(program);
  }
}

void OnClipboardRetryTimer(Program& program) {
  const int left = program.clipboardRetriesLeft;
  // Stopped before the read: whatever the read sets off (a message box's own message loop)
  // cannot bring the next retry inside this one.
  program.clipboardRetriesLeft = 0;
  program.clipboard->StopRetryTimer();
  if (left > 0) TakeCopiedUrlOrRetry(program, left - 1);
}

intptr_t ClipboardWindowProc(Program& program, unsigned message, uintptr_t wParam,
                             intptr_t lParam) {
  HandleClipboardNotice(program, message, wParam, lParam);
  return program.clipboard->CallWindowProcedure(program.previousWindowProc, message, wParam,
                                                lParam);
}

}  // namespace velnor
