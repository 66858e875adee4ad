#pragma once
// What one subsystem hands to another while the program runs, connected once at start, so
// that neither includes the other: each folder only uses the folders below it.
#include "ui/program.h"

namespace velnor {

// A copied URL that the watcher has split goes on to the search for the rest of the series
// when the user has turned that on.
void WireCommands(Program& program);

}  // namespace velnor
