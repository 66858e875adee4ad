#pragma once
// The main window's own frame as start-up sets it: its caption and its outer size. The Win32
// window implements it; tests record the calls.
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
};

}  // namespace velnor
