#pragma once
// The help file Velnor.chm beside the program, and the help menu's command that opens it.
#include "ui/program.h"

namespace velnor {

inline const String kHelpFileName = u"Velnor.chm";

// Sets programFolder from the program's folder as the platform reports it (with exactly one
// backslash at its end, also at a drive root such as "C:\") and returns the help file's
// full path.
String SetUpHelpFile(Program& program, const String& folder);

// helpsub: asks the shell to open the help file from programFolder. A missing file or a
// missing viewer is the shell's business; the program shows nothing of its own.
void OpenHelpFile(Program& program);

}  // namespace velnor
