#pragma once
// The main window Form1 on Win32: its controls, menus and keyboard handling, and the Program
// that the procedures run on.
#include <windows.h>

#include <deque>
#include <utility>
#include <vector>

#include "app/main_window_frame.h"
#include "ui/model_controls.h"
#include "ui/program.h"
#include "win32/clipboard_win32.h"
#include "win32/file_win32.h"
#include "win32/hand_off_win32.h"
#include "win32/profile_win32.h"
#include "win32/shell_win32.h"
#include "win32/win32_controls.h"
#include "win32/win32_platform.h"

namespace velnor {

class MainWindow : public MainWindowFrame {
 public:
  MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() override;

  enum class Created { kReady, kRefused, kFailed };
  // Creates the window and its controls and runs the load handler; the window is shown
  // afterwards, unless a second instance was refused or the window could not be made.
  Created Create(HINSTANCE instance);
  void Show(int showCommand);
  // The message loop; returns the exit code once the window is gone.
  int Run();

  void SetCaption(const String& caption) override;
  void SetOuterSize(int widthTwips, int heightTwips) override;
  void MakeTopMost() override;
  void CloseAllForms() override;

  Program& program() { return program_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Accelerators first, then the dialog keys (Tab, arrows); true when the message was used.
  bool PreTranslate(MSG& msg);
  void CreateControls();
  void OnCommand(int id, int code);
  // The Edit menu's check items show whether copied URLs are split, and searched, at once.
  void ShowOptionChecks();
  void Paint();
  int Px(int twips) const;
  // WM_DPICHANGED: the suggested rectangle, then controls, font and icons at the new DPI.
  void OnDpiChanged(int dpi, const RECT& suggested);
  void PlaceControls(int oldDpi);
  void SetIcons();
  // A URL handed over (WM_COPYDATA) or dropped: taken from the message loop, never inside the
  // sender's wait or the drag, and the window comes to the front.
  void QueueHandedUrl(const String& text);
  void TakeHandedUrls();

  HINSTANCE instance_ = nullptr;
  HWND hwnd_ = nullptr;
  HACCEL accelerators_ = nullptr;
  HFONT font_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  int dpi_ = 96;  // the window's own: asked for at creation, then as each WM_DPICHANGED brings it
  HWND lastFocus_ = nullptr;
  bool unloading_ = false;  // the shut-down runs once, whatever closes the window meanwhile
  bool asking_ = false;     // the close's question whether to stop the download is open
  MainWindowDropTarget* dropTarget_ = nullptr;  // registered once the load has run
  std::deque<String> handedUrls_;               // waiting for kTakeHandedUrlMessage

  Win32Platform platform_;
  Win32TextBox urltxt_;
  Win32TextBox text1_;
  Win32TextBox text2_;  // a hidden edit beyond the client area
  Win32ComboBox combo1_;
  Win32ComboBox combo2_;
  Win32ComboBox combo3_;
  Win32CheckBox check1_;
  Win32CheckBox check2_;
  Win32CheckBox check3_;
  Win32CheckBox checkund_;
  Win32OptionButton option0_;
  Win32OptionButton option1_;
  std::vector<Win32OptionButton*> optionGroup_;
  Win32ListBox list1_;
  Win32ListBox urllist_;
  // The work lists List(1) and List(2) are stores of values, never shown.
  ModelListBox workList1_;
  ModelListBox workList2_;

  std::vector<std::pair<int, CommandTarget*>> targets_;
  Program program_;
  Win32ProfilePlatform profile_;
  Win32ShellPlatform shell_;
  Win32ListFilePlatform listFile_;
  Win32ClipboardPlatform clipboard_{program_};
};

}  // namespace velnor
