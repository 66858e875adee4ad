#pragma once
// A model of the main window to run the expand command on without touching the real one: no
// message box and no window message runs, texts are measured and narrowed as the real window
// does, and the start number and the work lists are the real window's.
#include "base/platform_without_boxes.h"
#include "ui/model_form.h"
#include "ui/program.h"

namespace velnor {

struct ScratchWindow {
  explicit ScratchWindow(const Program& real);
  ScratchWindow(const ScratchWindow&) = delete;
  ScratchWindow& operator=(const ScratchWindow&) = delete;

  PlatformWithoutBoxes platform;
  ModelForm window;
  Program program;
};

}  // namespace velnor
