#pragma once
// The clipboard and the clipboard-viewer chain, as the watcher and the copy commands use them.
// The Win32 implementation is in src/win32/clipboard_win32.h; tests use a model of the chain
// (tests/support/model_clipboard.h). Window handles and procedure addresses are pointer-sized.
#include <cstdint>
#include <optional>

#include "base/text.h"

namespace velnor {

// The chain notices, with their Win32 numbers.
inline constexpr unsigned kWmDrawClipboard = 0x0308;  // the clipboard's content changed
inline constexpr unsigned kWmChangeCbChain = 0x030D;  // wParam leaves the chain, lParam followed it

// Another program (under Wine, the X11 clipboard manager) may hold the clipboard open for a
// moment: opening it is tried this many times, this far apart, about one second in all.
inline constexpr int kClipboardOpenTries = 10;
inline constexpr int kClipboardOpenRetryMilliseconds = 100;

class ClipboardPlatform {
 public:
  virtual ~ClipboardPlatform() = default;

  // SetClipboardViewer with the main window: the main window becomes the first window of the
  // chain. Returns the window that was first before (0 when there was none). The platform
  // sends the main window a WM_DRAWCLIPBOARD before this returns.
  virtual uintptr_t SetClipboardViewer() = 0;

  // ChangeClipboardChain: takes the main window out of the chain, next being the window that
  // followed it.
  virtual void ChangeClipboardChain(uintptr_t next) = 0;

  // The address of the watcher's window procedure.
  virtual uintptr_t WatcherWindowProc() const = 0;

  // Makes proc the main window's window procedure; returns the one that was in place.
  virtual uintptr_t SetWindowProc(uintptr_t proc) = 0;

  // CallWindowProc: hands a message of the main window to the window procedure proc.
  virtual intptr_t CallWindowProcedure(uintptr_t proc, unsigned message, uintptr_t wParam,
                                       intptr_t lParam) = 0;

  // SendMessage to another window of the chain; returns when that window has handled it.
  virtual intptr_t SendChainMessage(uintptr_t window, unsigned message, uintptr_t wParam,
                                    intptr_t lParam) = 0;

  // IsClipboardFormatAvailable for text.
  virtual bool IsTextAvailable() = 0;

  // The clipboard's text; empty text when it holds none (or its owner can no longer render
  // it). No value when the clipboard could not be opened, retries included.
  virtual std::optional<String> ReadText() = 0;

  // Empties the clipboard, then puts text on it as Unicode text (the platform offers it in
  // the ANSI text format too). False when the clipboard could not be opened, retries
  // included, or the text could not be placed.
  virtual bool ReplaceText(const String& text) = 0;
};

}  // namespace velnor
