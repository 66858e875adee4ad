#pragma once
// The clipboard and the clipboard-viewer chain on Win32, and the watcher's window procedure.
#include <windows.h>

#include "clipboard/clipboard_platform.h"
#include "ui/program.h"

namespace velnor {

// The one clipboard platform of the program: it serves the main window, and the watcher's
// window procedure finds the Program through it. Create one only; give it the main window
// before the watcher is installed.
class Win32ClipboardPlatform final : public ClipboardPlatform {
 public:
  explicit Win32ClipboardPlatform(Program& program, HWND mainWindow = nullptr);
  ~Win32ClipboardPlatform() override;
  Win32ClipboardPlatform(const Win32ClipboardPlatform&) = delete;
  Win32ClipboardPlatform& operator=(const Win32ClipboardPlatform&) = delete;

  uintptr_t SetClipboardViewer() override;
  void ChangeClipboardChain(uintptr_t next) override;
  uintptr_t WatcherWindowProc() const override;
  uintptr_t SetWindowProc(uintptr_t proc) override;
  intptr_t CallWindowProcedure(uintptr_t proc, unsigned message, uintptr_t wParam,
                               intptr_t lParam) override;
  intptr_t SendChainMessage(uintptr_t window, unsigned message, uintptr_t wParam,
                            intptr_t lParam) override;
  bool IsTextAvailable() override;
  std::optional<String> TryReadText() override;
  bool ReplaceText(const String& text) override;
  void StartRetryTimer(int milliseconds) override;
  void StopRetryTimer() override;
  void RequestSeriesSearch() override;

  void SetMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }
  HWND mainWindow() const { return mainWindow_; }
  Program& program() const { return program_; }

 private:
  HWND mainWindow_;
  Program& program_;
};

// The main window's procedure while the clipboard watcher is installed.
LRESULT CALLBACK ClipboardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace velnor
