#pragma once
// One running copy per program file: a second start of the same file is refused.
#include "ui/program.h"

namespace velnor {

inline const String kAlreadyRunningText = u"このアプリケーションはすでに開かれています。";
inline const String kAlreadyRunningCaption = u"APP Load Error";

// When another instance of this program file runs, tells the user so (exclamation icon, OK
// only), unless the start had arguments and the URL they hand went over to that instance (or
// they hand none), and returns true: the caller then ends the start-up without showing the
// window, touching the settings file or the clipboard chain.
bool RefuseSecondInstance(Program& program);

// The name of the kernel object that marks a running instance of the program file at
// programPath (already in one case and in its long form). Past its namespace prefix an object
// name holds no "\" and its length is limited, so the path is hashed to a fixed-length name.
String InstanceObjectName(StringView programPath);

}  // namespace velnor
