#pragma once
// The main window's own frame as start-up and shut-down handle it: caption, outer size,
// top-most, and closing every window of the program. The Win32 window implements it; tests
// record the calls.
#include "base/text.h"

namespace velnor {

// Velnor's display title: the main window's caption and the start of the About box caption.
inline const String kApplicationTitle = u"Velnor";

class MainWindowFrame {
 public:
  virtual ~MainWindowFrame() = default;
  virtual void SetCaption(const String& caption) = 0;
  // Outer size, frame and title bar included, in 1/1440 inch.
  virtual void SetOuterSize(int widthTwips, int heightTwips) = 0;
  // Keeps the window above all windows that are not top-most themselves.
  virtual void MakeTopMost() = 0;
  // Closes every open window of the program (the About box too); the program ends when none
  // is left. Closing the main window this way does not run its shut-down again.
  virtual void CloseAllForms() = 0;
};

}  // namespace velnor
