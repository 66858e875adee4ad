#pragma once
#include "ui/program.h"

namespace velnor {

// The most entries each history list keeps.
constexpr int kHistorySize = 10;

// Adds the texts of Combo2 and Combo1 to their lists when new (dropping the oldest entry of
// a full list), then copies both lists into subfolderHistory and extensionHistory.
void UpdateHistoryLists(Program& program);

}  // namespace velnor
