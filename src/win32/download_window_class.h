#pragma once
// The download window's object, shared by the files that make it up: creation, commands and
// messages (download_window.cpp), the options and the folder field (download_window_options.cpp),
// the list, status line and taskbar as the job changes (download_window_view.cpp).
#include <windows.h>
#include <commctrl.h>
#include <shobjidl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "download/download_job.h"
#include "ui/program.h"
#include "win32/control_ids.h"
#include "win32/download_folder_win32.h"
#include "win32/http_transfer_win32.h"
#include "win32/win32_text.h"

namespace velnor {

inline constexpr wchar_t kCautionCaption[] = L"注意";
inline constexpr wchar_t kCannotMakeFolder[] = L"保存先のフォルダを作れません";
// The folder of a run about to start has been listed (download_window_start.cpp).
inline constexpr UINT kFolderListedMessage = WM_APP + 41;
inline constexpr UINT kNameAheadMessage = WM_APP + 42;  // wParam: the first item to name

struct PendingStart;

class DownloadWindow {
 public:
  static constexpr UINT_PTR kTickTimer = 1;
  static constexpr UINT kTickMs = 100;  // the job's clock and the window's updates: about 10 a second

  DownloadWindow(HWND owner, Program& program);
  ~DownloadWindow();
  DownloadWindow(const DownloadWindow&) = delete;
  DownloadWindow& operator=(const DownloadWindow&) = delete;

  // At the DPI the main window has now.
  bool Create(int dpi);
  HWND window() const { return window_; }
  bool Running() const { return job_ && job_->Running(); }
  void TakeItems(std::vector<String> urls);
  void BringToFront();
  void Stop() { job_->Cancel(); Refresh(); }
  // A message box or dialog over this window. While it is open the main window's close may
  // destroy the window: the object then stays until the step returns, and goes with it. False:
  // the window and this object are gone, so the caller touches nothing of it after.
  bool Modal(const std::function<void()>& step);
  // The message "<message>" + line break + the path, caption 注意, OK only (through Modal).
  void Caution(const wchar_t* message, const String& path);

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void ShowOptions();
  void KeepOptions();
  void OnCommand(int id, int code);
  // 開始: the folder is made at once (or the message that it cannot be), then listed off the
  // window's thread, and the job starts when the listing arrives (OnFolderListed): under Wine
  // listing a folder of 30000 files takes about 0.1 s.
  void StartJob();
  void OnFolderListed();
  void NameAhead(int from);
  void CloseWindow(bool fromEscape);
  void BrowseFolder();
  void BrowseCookiesFile();
  void ShowRefererUrlState();
  void OpenFolder();
  void TakeTransferNotes();
  void Refresh();
  void RedrawChangedRows(HWND list);
  void ShowTaskbarProgress();
  void FillDisplayInfo(NMLVDISPINFOW& info);
  void OnDpiChanged(int dpi, const RECT& suggested);
  // The window's outer rectangle for a client area of that size, the frame at the window's DPI.
  RECT OuterRect(SIZE client) const;
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  String FolderText() const { return WindowText(Control(ids::kDlFolder)); }

  HWND owner_;
  Program& program_;
  HWND window_ = nullptr;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  bool comReady_ = false;
  ITaskbarList3* taskbar_ = nullptr;
  bool showingOptions_ = false;  // the controls are being filled: no change to keep
  bool destroyed_ = false;       // its window has received its last message
  int modalDepth_ = 0;           // message boxes and dialogs of this window open now

  Win32DownloadFolder folder_;
  std::shared_ptr<PendingStart> pendingStart_;  // 開始 pressed, the folder being listed
  Win32DownloadClock clock_;
  std::unique_ptr<WinHttpTransfer> transfer_;
  std::unique_ptr<DownloadJob> job_;
  uint64_t shownRevision_ = ~uint64_t{0};
  // The state and size texts of the rows in view as last drawn, from the row at shownTop_.
  int shownTop_ = -1;
  std::vector<String> shownRows_;
  std::wstring cellText_;  // the list view copies a cell's text before it asks for the next
};

}  // namespace velnor
