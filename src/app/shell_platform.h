#pragma once
// What the application shell asks of the operating system's shell: opening a document with
// the program registered for it, and whether this program file is already running.
#include "base/text.h"

namespace velnor {

class ShellPlatform {
 public:
  virtual ~ShellPlatform() = default;

  // Asks the shell to open a document, given by its bare file name, with whatever program is
  // registered for its type: the desktop window as parent, the default action, no parameters,
  // workingFolder as the current folder of the started program, shown as a normal window.
  // Returns whether the shell reported success; the program never tells the user either way.
  virtual bool OpenDocument(const String& document, const String& workingFolder) = 0;

  // True when another process started from this same program file (the same full path;
  // a copy in another folder is another program) is already running.
  virtual bool AnotherInstanceRunning() = 0;

  // Hands text to the main window of that other instance (WM_COPYDATA with kHandOverTag,
  // src/app/hand_over.h) and lets it come to the front. False when no such window took it
  // within a short wait.
  virtual bool HandOver(const String& text) = 0;
};

}  // namespace velnor
