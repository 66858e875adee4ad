#pragma once
// The windowing services the procedures call, on Win32.
#include <windows.h>

#include <functional>

#include "base/platform.h"

namespace velnor {

class Win32Platform : public Platform {
 public:
  // preTranslate gives the window's keyboard handling (accelerators, dialog keys) the first
  // look at each message, as the main message loop does. windowDpi tells the main window's
  // current dots per inch, which change when it moves to another monitor.
  Win32Platform(std::function<bool(MSG&)> preTranslate, std::function<int()> windowDpi)
      : preTranslate_(std::move(preTranslate)), windowDpi_(std::move(windowDpi)) {}

  void SetOwner(HWND owner) { owner_ = owner; }

  void ShowMessage(const String& text, const String& caption, int style) override;
  void ProcessPendingMessages() override;
  double TwipsPerPixelX() const override;
  int AnsiByteCount(StringView text) const override;
  String NarrowFullWidth(const String& text) const override;

 private:
  HWND owner_ = nullptr;
  std::function<bool(MSG&)> preTranslate_;
  std::function<int()> windowDpi_;
};

// Horizontal dots per inch of the screen: the system's DPI.
int ScreenDpiX();

}  // namespace velnor
