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
// The watcher's retry timer going off: WM_TIMER with the timer's id as wParam.
inline constexpr unsigned kWmTimer = 0x0113;
inline constexpr uintptr_t kClipboardRetryTimerId = 0x5652;  // no other timer of the window uses it

// Another program (under Wine, the X11 clipboard manager) may hold the clipboard open for a
// moment. A copy command, which the user asked for and waits on, tries to open it this many
// times, this far apart, about one second in all.
inline constexpr int kClipboardOpenTries = 10;
inline constexpr int kClipboardOpenRetryMilliseconds = 100;

// The watcher never waits inside a notice: it tries once, and when the clipboard is held it
// tries again from a timer this many times, this far apart. Two seconds in all, because a
// program that reads back what it has just copied, or a clipboard manager, may keep the
// clipboard for more than a second after a copy.
inline constexpr int kClipboardReadRetries = 20;
inline constexpr int kClipboardReadRetryMilliseconds = 100;

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
  // it). Opens the clipboard once and never waits: no value when another program holds it.
  virtual std::optional<String> TryReadText() = 0;

  // Empties the clipboard, then puts text on it as Unicode text (the platform offers it in
  // the ANSI text format too). Opening the clipboard is tried patiently (kClipboardOpenTries).
  // False when it could not be opened even so, or the text could not be placed.
  virtual bool ReplaceText(const String& text) = 0;

  // Starts the main window's retry timer (kClipboardRetryTimerId), or starts it afresh: from
  // now on a kWmTimer reaches the main window every `milliseconds` until it is stopped.
  virtual void StartRetryTimer(int milliseconds) = 0;
  virtual void StopRetryTimer() = 0;

  // Asks the main window to run the search for the rest of the series (as Ctrl+F) once the
  // message it is handling now is done.
  virtual void RequestSeriesSearch() = 0;
};

}  // namespace velnor
