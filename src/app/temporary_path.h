#pragma once
// The name of the temporary file that a file is written to before it replaces the target.
#include <cstdint>

#include "base/text.h"

namespace velnor {

// A path in the target's folder whose name is no longer than the target's (at most 9
// characters: "~" and base-36 digits of `number`), so that any path the system takes for the
// target also takes the temporary file. Another number gives another name where the length
// allows it. Empty when the path names no file.
String TemporaryPathBeside(StringView path, uint32_t number);

}  // namespace velnor
