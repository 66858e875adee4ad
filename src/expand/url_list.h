#pragma once
#include "ui/program.h"

namespace velnor {

// Empties urllist and appends one URL for each index of the number range: urltxt, then the
// subfolder, first number, "_", second number as their check boxes say, then the extension.
void GenerateUrlList(Program& program);

}  // namespace velnor
