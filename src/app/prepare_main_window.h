#pragma once
// Setting the main window up before it is first shown.
#include "ui/program.h"

namespace velnor {

// Outer size of the main window at start, in 1/1440 inch (575 x 288 pixels at 96 dpi).
inline constexpr int kMainWindowWidthTwips = 8625;
inline constexpr int kMainWindowHeightTwips = 4320;

// The load handler's first step: refuses a second instance (false then, with every window
// closed), else sets caption and size, empties the fields, loads the settings, fills
// Combo3's choices, sets up the help file and shows the URL prompt.
bool PrepareMainWindow(Program& program);

// Appends the 160 choices "00" .. "09", "0a" .. "0f", "10" .. "9f" to Combo3's list.
void FillSecondNumberChoices(Program& program);

}  // namespace velnor
