#pragma once
// The main window Form1 as the procedures see it: every control by its name. Whoever builds
// the window (the model for tests, the Win32 window for the program) fills in the pointers.
#include "ui/controls.h"

namespace velnor {

struct Form1 {
  TextBox* urltxt = nullptr;
  ComboBox* Combo1 = nullptr;   // extension
  ComboBox* Combo2 = nullptr;   // subfolder
  ComboBox* Combo3 = nullptr;   // end of the second number
  CheckBox* Check1 = nullptr;   // first number on
  CheckBox* Check2 = nullptr;   // second number on
  CheckBox* Check3 = nullptr;   // subfolder on
  CheckBox* Checkund = nullptr; // underscore on
  OptionButton* Option0 = nullptr;
  OptionButton* Option1 = nullptr;
  ListBox* List1 = nullptr;     // the two pattern samples
  ListBox* urllist = nullptr;   // the result list
  TextBox* textArray[3] = {};   // members 1 and 2 only
  ListBox* listArray[3] = {};   // members 1 and 2 only

  // The control arrays Text and List, addressed by their members 1 and 2.
  TextBox& Text(int index) const { return *textArray[index]; }
  ListBox& List(int index) const { return *listArray[index]; }
};

}  // namespace velnor
