#pragma once
// The platform as it is, but without message boxes: for work that nobody can answer a box
// for (the end of the Windows session) or that the user must not see (a trial run on a
// scratch copy of the window).
#include "base/platform.h"

namespace velnor {

class PlatformWithoutBoxes final : public Platform {
 public:
  // kRun passes the pass over pending window messages on; kSkip leaves it out, for a scratch
  // window that must not let the real window's messages run inside it.
  enum PendingMessages { kRun, kSkip };

  PlatformWithoutBoxes(Platform& platform, PendingMessages pending) : platform_(platform), pending_(pending) {}

  void ShowMessage(const String&, const String&, int) override {}
  void ProcessPendingMessages() override {
    if (pending_ == kRun) platform_.ProcessPendingMessages();
  }
  double TwipsPerPixelX() const override { return platform_.TwipsPerPixelX(); }
  int AnsiByteCount(StringView text) const override { return platform_.AnsiByteCount(text); }
  String NarrowFullWidth(const String& text) const override { return platform_.NarrowFullWidth(text); }

 private:
  Platform& platform_;
  PendingMessages pending_;
};

}  // namespace velnor
