#pragma once
// How the input fields of the main window keep themselves in the form the expansion expects.
#include "ui/program.h"

namespace velnor {

// Shown in urltxt while no URL is entered.
inline const String kUrlPrompt = u"URLをここに貼付けるか、入力して下さい。";

void OnUrlFocusGained(Program& program);
void OnUrlFocusLost(Program& program);
// Combo3's edit text changed, or an entry of its list was chosen: copy it into Text(2).
void OnCombo3Changed(Program& program);
// Text(1) or Text(2) changed.
void OnNumberFieldChanged(Program& program, int index);
void OnOption0Selected(Program& program);
void OnOption1Selected(Program& program);
// A click on List1 ticks the part check boxes to suit the selected pattern sample.
void OnPatternSampleClicked(Program& program);

// Cuts Text(1) to 3 characters and Combo3 / Text(2) to 2, and drops a second-number value
// whose last character is a letter g..z.
void LimitNumberFields(Program& program);

}  // namespace velnor
