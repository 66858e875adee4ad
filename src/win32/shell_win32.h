#pragma once
// The shell services on Windows: ShellExecuteW for documents, a named mutex per program file
// for the running-instance check.
#include "app/shell_platform.h"

namespace velnor {

class Win32ShellPlatform : public ShellPlatform {
 public:
  bool OpenDocument(const String& document, const String& workingFolder) override;
  // The first call creates the instance mark, which then lives as long as the process; a
  // refused instance holds no mark of its own. Later calls repeat the first answer.
  bool AnotherInstanceRunning() override;

 private:
  int answer_ = -1;  // -1 not asked yet, else 0 or 1
};

// The running program file's full path, in its long form and in upper case, as the instance
// mark is derived from it: the same file started under another spelling is the same program.
String NormalisedProgramPath();

}  // namespace velnor
