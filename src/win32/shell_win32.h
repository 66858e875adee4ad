#pragma once
// The shell services on Windows: ShellExecuteW for documents, a named mutex per program file
// for the running-instance check, WM_COPYDATA to that instance's window for a hand-over.
#include "app/shell_platform.h"

namespace velnor {

class Win32ShellPlatform : public ShellPlatform {
 public:
  bool OpenDocument(const String& document, const String& workingFolder) override;
  // The first call creates the instance mark, which then lives as long as the process; a
  // refused instance holds no mark of its own. Later calls repeat the first answer.
  bool AnotherInstanceRunning() override;
  // To the main window of another process started from this program file (a copy of Velnor in
  // another folder is another program), looked for during a second at most, as the running
  // one may still be starting; its answer is waited for at most kHandOverWaitMilliseconds.
  bool HandOver(const String& text) override;

 private:
  int answer_ = -1;  // -1 not asked yet, else 0 or 1
};

// The running program file's full path, in its long form and in upper case, as the instance
// mark is derived from it: the same file started under another spelling is the same program.
String NormalisedProgramPath();

}  // namespace velnor
