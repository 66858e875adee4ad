#pragma once
#include "ui/program.h"

namespace velnor {

// Connects the events of the main window's controls to their handlers. Buttons and menu
// items are commands: the window calls their procedures directly.
void WireEvents(Program& program);

}  // namespace velnor
