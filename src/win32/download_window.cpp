#include "win32/download_window.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window_frame.h"
#include "clipboard/copy_commands.h"
#include "win32/download_layout.h"
#include "win32/download_window_class.h"
#include "win32/win32_dpi.h"
#include "win32/window_class.h"

namespace velnor {
namespace {

const String kCaptionPrefix = u"ダウンロード - ";
const wchar_t kStopQuestion[] = L"ダウンロードを中止しますか？";

// The one download window; it goes when its window is destroyed, or, when that happens while
// a message box of it is open, once the box returns (retired meanwhile).
std::unique_ptr<DownloadWindow> current;
std::vector<std::unique_ptr<DownloadWindow>> retired;

// Asks whether to stop the running job. The answer applies to the job that runs when it is
// given, whatever either window did meanwhile: none left, and the close goes on. True when
// the close may go on.
bool AskToStopRunningJob(HWND over) {
  const int answer = MessageBoxW(over, kStopQuestion, kCautionCaption, MB_YESNO);
  if (!current || !current->Running()) return true;
  if (answer != IDYES) return false;
  current->Stop();
  return true;
}

}  // namespace

DownloadWindow::DownloadWindow(HWND owner, Program& program) : owner_(owner), program_(program) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  comReady_ = SUCCEEDED(com);
}

DownloadWindow::~DownloadWindow() {
  if (window_ && !destroyed_) DestroyWindow(window_);  // one that could not be made whole
  if (job_ && job_->Running()) job_->Cancel();
  job_.reset();
  transfer_.reset();
  if (taskbar_) {
    taskbar_->SetProgressState(owner_, TBPF_NOPROGRESS);
    taskbar_->Release();
  }
  if (font_) DeleteObject(font_);
  if (comReady_) CoUninitialize();
}

RECT DownloadWindow::OuterRect(SIZE client) const {
  RECT outer{0, 0, client.cx, client.cy};
  AdjustFrameForDpi(outer, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)),
                    static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)), dpi_);
  return outer;
}

bool DownloadWindow::Create(int dpi) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!EnsureWindowClass(ids::kDownloadWindowClass, WindowProc)) return false;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  // Born over the middle of the main window, so on its monitor, and laid out at the DPI the
  // main window has there (as the About box is): under Wine a window's own DPI does not follow
  // a move to another monitor.
  dpi_ = dpi;
  RECT ownerRect{};
  GetWindowRect(owner_, &ownerRect);
  const POINT middle{(ownerRect.left + ownerRect.right) / 2, (ownerRect.top + ownerRect.bottom) / 2};
  const String caption = kCaptionPrefix + kApplicationTitle;
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, ids::kDownloadWindowClass, Wide(caption),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, middle.x, middle.y, 100, 100, owner_, nullptr,
                            instance, this);
  if (!window_) return false;
  transfer_ = std::make_unique<WinHttpTransfer>(window_, folder_);
  job_ = std::make_unique<DownloadJob>(*transfer_, folder_, clock_);
  CreateControls();
  ShowOptions();

  // Centred on the main window, at the size the layout wants at this DPI, its frame too.
  const RECT outer = OuterRect(DownloadWindowSize(window_, font_, dpi_));
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  const int left = middle.x - width / 2;
  const int top = std::max<int>(ownerRect.top, middle.y - height / 2);
  SetWindowPos(window_, nullptr, std::max(left, 0), std::max(top, 0), width, height, SWP_NOZORDER | SWP_NOACTIVATE);

  if (comReady_ &&
      SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                 reinterpret_cast<void**>(&taskbar_))) &&
      FAILED(taskbar_->HrInit())) {
    taskbar_->Release();
    taskbar_ = nullptr;
  }
  return true;
}

void DownloadWindow::CreateControls() {
  font_ = CreateUiFont(dpi_);
  for (const DownloadControlSpec& c : kDownloadControls) {
    const HWND control = CreateWindowExW(c.exStyle, c.windowClass, c.text, WS_CHILD | WS_VISIBLE | c.style, 0, 0, 0, 0,
                                         window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                         GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  const HWND connections = Control(ids::kDlConnections);
  for (int n = kMinDownloadConnections; n <= kMaxDownloadConnections; ++n) {
    SendMessageW(connections, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(n).c_str()));
  }
  const HWND list = Control(ids::kDlList);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  AddDownloadListColumns(list, dpi_);
  SendMessageW(Control(ids::kDlProgress), PBM_SETRANGE32, 0, 100);
  LayOutDownloadWindow(window_, font_, dpi_);
}


void DownloadWindow::TakeItems(std::vector<String> urls) {
  job_->SetItems(std::move(urls));
  InvalidateRect(Control(ids::kDlList), nullptr, FALSE);  // every cell may differ now
  shownRows_.clear();
  Refresh();
}

void DownloadWindow::BringToFront() {
  if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

void DownloadWindow::Caution(const wchar_t* message, const String& path) {
  const std::wstring text = std::wstring(message) + L"\n" + Wide(path);
  Modal([&] { MessageBoxW(window_, text.c_str(), kCautionCaption, MB_OK); });  // may be the window's last act
}

bool DownloadWindow::Modal(const std::function<void()>& step) {
  ++modalDepth_;
  step();
  if (--modalDepth_ > 0 || !destroyed_) return !destroyed_;
  const auto self = std::find_if(retired.begin(), retired.end(), [this](const auto& w) { return w.get() == this; });
  if (self != retired.end()) retired.erase(self);  // `this` is gone from here on
  return false;
}

// Esc closes only while nothing runs; the button and the close box ask first.
void DownloadWindow::CloseWindow(bool fromEscape) {
  if (Running()) {
    if (fromEscape) return;
    bool mayClose = false;
    if (!Modal([&] { mayClose = AskToStopRunningJob(window_); }) || !mayClose) return;
  }
  DestroyWindow(window_);
}

void DownloadWindow::TakeTransferNotes() {
  const WinHttpTransfer::Notes notes = transfer_->TakeNotes();
  for (const TransferProgress& progress : notes.progress) {
    job_->OnProgress(progress.item, progress.bytes, progress.totalSize);
  }
  if (!notes.results.empty()) job_->OnFinished(notes.results);
}


void DownloadWindow::OnCommand(int id, int code) {
  switch (id) {
    case ids::kDlFolder:
      if (code == EN_CHANGE) KeepOptions();
      return;
    case ids::kDlConnections:
      if (code == CBN_SELCHANGE) KeepOptions();
      return;
    case ids::kDlRefererUrl:
    case ids::kDlCookies:
      if (code == EN_CHANGE) KeepOptions();
      return;
    case ids::kDlReferer:
      if (code == BN_CLICKED) ShowRefererUrlState();
      [[fallthrough]];
    case ids::kDlStopMissing:
      if (code == BN_CLICKED) KeepOptions();
      return;
    case IDOK:  // Enter, wherever the focus is but on another button
    case ids::kDlStart: StartJob(); return;
    case ids::kDlAbort: Stop(); return;
    case ids::kDlOpenFolder: OpenFolder(); return;
    case ids::kDlBrowse: BrowseFolder(); return;
    case ids::kDlCookiesBrowse: BrowseCookiesFile(); return;
    case IDCANCEL: CloseWindow(true); return;
    case ids::kDlClose: CloseWindow(false); return;
    default: return;
  }
}

LRESULT CALLBACK DownloadWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<DownloadWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<DownloadWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->destroyed_ = true;
    if (current.get() == self) {
      if (self->modalDepth_ > 0) retired.push_back(std::move(current));
      current.reset();
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT DownloadWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kFolderListedMessage:
      OnFolderListed();
      return 0;
    case kNameAheadMessage:
      NameAhead(static_cast<int>(wParam));
      return 0;
    case kTransferNotesMessage:
      TakeTransferNotes();
      if (!job_->Running()) Refresh();  // the end shows at once; the timer shows the rest
      return 0;
    case WM_TIMER:
      if (wParam == kTickTimer) {
        TakeTransferNotes();  // whole files are told without a notice while more wait to begin
        job_->OnTick();
        Refresh();
      }
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == ids::kDlList && header->code == LVN_GETDISPINFOW) {
        FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
      }
      return 0;
    }
    case WM_SIZE:
      LayOutDownloadWindow(window_, font_, dpi_);
      return 0;
    case WM_GETMINMAXINFO: {
      const RECT outer = OuterRect(DownloadWindowSize(window_, font_, dpi_, true));
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize = {outer.right - outer.left, outer.bottom - outer.top};
      return 0;
    }
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      CloseWindow(false);
      return 0;
    case WM_NEXTDLGCTL: {
      // The dialog keys ask for this (a label's access key moves on to its field), and only
      // a dialog's own window procedure would answer it.
      const HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                       : GetNextDlgTabItem(window_, GetFocus(), wParam != 0);
      if (next) SetFocus(next);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void OpenDownloadWindow(HWND owner, int dpi, Program& program) {
  if (current && current->Running()) {
    current->BringToFront();
    return;
  }
  std::vector<String> items = ItemsForListCommand(program);
  if (items.empty()) return;
  if (!current) {
    auto window = std::make_unique<DownloadWindow>(owner, program);
    if (!window->Create(dpi)) return;
    current = std::move(window);
  }
  current->TakeItems(std::move(items));
  current->BringToFront();
}

bool MayCloseWhileDownloading(HWND owner) {
  if (!current || !current->Running()) return true;
  return AskToStopRunningJob(owner);
}

void StopDownloadForSessionEnd() {
  if (current && current->Running()) current->Stop();
}

bool DownloadWindowMessage(MSG& msg) {
  if (!current || !current->window()) return false;
  const HWND window = current->window();
  if (msg.hwnd != window && !IsChild(window, msg.hwnd)) return false;
  return IsDialogMessageW(window, &msg) != FALSE;
}

}  // namespace velnor
