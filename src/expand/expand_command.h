#pragma once
#include "ui/program.h"

namespace velnor {

// The click on renban: checks, range preparation, generation, then finishing the list and
// resetting the entry fields. Every step runs, whatever the checks found.
void RunExpandCommand(Program& program);

// Empties Text(1), Text(2), Combo3's edit text and urltxt, in this order.
void ClearEntryFields(Program& program);

// Lets urllist scroll sideways as far as its widest item, counted in ANSI bytes.
void SetResultListExtent(Program& program);

}  // namespace velnor
