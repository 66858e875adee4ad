#pragma once
// Which texts of the folder field "保存先" name a folder by themselves, whatever the current
// folder is (the folder picker and other dialogs change it).
#include "base/text.h"

namespace velnor {

// A drive letter and ":\" ("C:\", "d:\photos"), or a share "\\server\share" and below it;
// "/" serves as "\". Not a relative path ("photos", "..\x", "\x", "C:x"), and not the
// device namespaces "\\.\" and "\\?\".
bool IsAbsoluteFolderPath(const String& path);

}  // namespace velnor
