#pragma once
// The services of the windowing system that the procedures call. One implementation sits on
// Win32 (src/win32), another is scripted for tests (tests/support). Clipboard, settings-file
// and shell services have interfaces of their own in their subsystems.
#include "base/text.h"

namespace velnor {

// Message-box styles, with the Win32 values they stand for.
enum MessageBoxStyle : int {
  kOkOnly = 0,            // MB_OK, no icon: every warning of the program
  kOkExclamation = 48,    // MB_OK | MB_ICONEXCLAMATION: the single-instance refusal only
};

// The caption of every warning the program shows.
inline const String kWarningCaption = u"注意";

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box owned by the main window; returns when it is closed. Pending window
  // messages (clipboard notices included) run while it is open.
  virtual void ShowMessage(const String& text, const String& caption, int style) = 0;

  // Lets the window messages that are already waiting run, once.
  virtual void ProcessPendingMessages() = 0;

  // The width of one screen pixel in 1/1440 inch (15 at 96 dpi, 10 at 144 dpi).
  virtual double TwipsPerPixelX() const = 0;

  // Bytes the text takes in the system's ANSI code page (932 on a Japanese system).
  virtual int AnsiByteCount(StringView text) const = 0;

  // Full-width characters that have a half-width form replaced by it.
  virtual String NarrowFullWidth(const String& text) const = 0;
};

}  // namespace velnor
