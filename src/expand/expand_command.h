#pragma once
#include "ui/program.h"

namespace velnor {

// The click on renban: checks, range preparation, generation, then finishing the list and
// resetting the entry fields. Every step runs, whatever the checks found.
void RunExpandCommand(Program& program);

// The same, with the list cut after its item `lastIndex` before it shows: for an end that the
// number fields cannot hold (a three-digit number below 100). The extent follows what stays.
void RunExpandCommandUpTo(Program& program, int lastIndex);

// Empties Text(1), Text(2), Combo3's edit text and urltxt, in this order.
void ClearEntryFields(Program& program);

// Lets urllist scroll sideways as far as its widest item, counted in ANSI bytes.
void SetResultListExtent(Program& program);

}  // namespace velnor
