#pragma once
#include "ui/program.h"

namespace velnor {

// Warns, one message box at a time, about input from which no list can be built. It only
// warns: the expand command goes on with its later steps whatever it finds.
void CheckExpansionInput(Program& program);

}  // namespace velnor
