#pragma once
// What the buttons and menu items of the main window run.
#include "ui/program.h"

namespace velnor {

using CommandProcedure = void (*)(Program&);

// The procedure of a button or menu command, or null for an id that runs none (yet).
CommandProcedure FindCommand(int id);

}  // namespace velnor
