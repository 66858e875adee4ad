#include "win32/series_search_window.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "app/main_window_frame.h"
#include "base/numbers.h"
#include "search/series_command.h"
#include "win32/control_ids.h"
#include "win32/download_folder_win32.h"
#include "win32/download_window.h"
#include "win32/http_cookies_win32.h"
#include "win32/http_transfer_win32.h"
#include "win32/win32_dpi.h"
#include "win32/win32_text.h"
#include "win32/window_class.h"

namespace velnor {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

const String kCaptionPrefix = u"続きを探す - ";
const String kSearchingText = u"続きを探しています";
const String kFoundSuffix = u" まで見つかりました";
const String kAskedPrefix = u"確認したURL: ";

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 100;  // retries, Retry-After waits and the texts, as the download ticks
// The window shows once the search has taken this long: a quick one (most end in a fraction
// of a second) ends without a window flashing by, and without the work of drawing it.
constexpr UINT_PTR kShowTimer = 2;
constexpr UINT kShowAfterMs = 250;

// Layout in pixels at 96 dpi.
constexpr int kClientWidth = 320, kMargin = 12, kLineHeight = 20, kBarHeight = 16, kButtonWidth = 88,
              kButtonHeight = 26;

class SearchWindow final : public SeriesSearchRunner {
 public:
  explicit SearchWindow(HWND owner) : owner_(owner) {}
  ~SearchWindow() override;
  SearchWindow(const SearchWindow&) = delete;
  SearchWindow& operator=(const SearchWindow&) = delete;

  SeriesSearchResult Run(const SeriesPlan& plan, const DownloadOptions& options) override;
  // From the main window's close or the session's end.
  void Stop();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool Create();  // the window alone, so that the search can start before the rest is made
  void Lay();
  void CreateControls();
  void Show();
  void TakeNotes();
  void Refresh();
  HWND Control(int id) const { return GetDlgItem(window_, id); }

  HWND owner_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  bool ownerEnabled_ = true;  // as the search found it: a dialog's owner stays disabled
  bool done_ = false;       // the modal loop ends
  bool destroyed_ = false;  // its window has received its last message
  Win32DownloadFolder folder_;  // the transport's, unused: probes write no file
  Win32DownloadClock clock_;
  std::unique_ptr<WinHttpTransfer> transfer_;
  std::unique_ptr<SeriesSearch> search_;
  String shownFound_, shownAsked_;
};

SearchWindow* current = nullptr;  // the search running now
bool requestedAgain = false;      // a request came while it ran

// A request that came while a modal window of the program was open waits for it to go:
// checked on this timer of the main window (no other timer of the window uses its id).
constexpr UINT_PTR kWaitingSearchTimer = 0x5653;
constexpr UINT kWaitingSearchCheckMs = 200;
Program* waitingProgram = nullptr;

BOOL CALLBACK FindModalWindow(HWND window, LPARAM found) {
  wchar_t name[8] = {};
  GetClassNameW(window, name, 8);
  // A dialog (a message box, Save As, the folder picker) or a window one has disabled.
  if (IsWindowVisible(window) && (!IsWindowEnabled(window) || lstrcmpW(name, L"#32770") == 0)) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

// A message box, a system dialog or the about box of the program is open, on any of its
// windows: a search now would run its own modal loop inside that window's, and re-enable its
// owner behind it.
bool ModalWindowOpen() {
  bool found = false;
  EnumThreadWindows(GetCurrentThreadId(), FindModalWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

void CALLBACK AskWhenNoModalWindow(HWND owner, UINT, UINT_PTR id, DWORD) {
  if (ModalWindowOpen()) return;
  KillTimer(owner, id);
  if (waitingProgram && waitingProgram->shutDown == ShutDownState::kRunning) {
    PostMessageW(owner, WM_COMMAND, MAKEWPARAM(ids::kEditFindSeries, 0), 0);
  }
}

SearchWindow::~SearchWindow() {
  search_.reset();
  transfer_.reset();  // cancels what still runs; workers that WinHTTP keeps end on their own
  if (window_ && !destroyed_) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
}

bool SearchWindow::Create() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!EnsureWindowClass(ids::kSearchWindowClass, WindowProc)) return false;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  const String caption = kCaptionPrefix + kApplicationTitle;
  window_ = CreateWindowExW(kExStyle, ids::kSearchWindowClass, Wide(caption), kStyle, 0, 0, 100, 100, owner_, nullptr,
                            instance, this);
  if (!window_) return false;
  dpi_ = WindowDpi(window_);
  return true;
}

// The controls, at the size they want, and the window centred on the main window.
void SearchWindow::Lay() {
  CreateControls();
  const int height = kMargin * 3 + kLineHeight * 2 + kBarHeight + kButtonHeight + kMargin;
  RECT outer{0, 0, MulDiv(kClientWidth, dpi_, 96), MulDiv(height, dpi_, 96)};
  AdjustWindowRectExForDpi(&outer, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi_));
  RECT ownerRect{};
  GetWindowRect(owner_, &ownerRect);
  const int width = outer.right - outer.left, tall = outer.bottom - outer.top;
  SetWindowPos(window_, nullptr, std::max<int>(0, (ownerRect.left + ownerRect.right - width) / 2),
               std::max<int>(0, (ownerRect.top + ownerRect.bottom - tall) / 2), width, tall,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void SearchWindow::CreateControls() {
  font_ = CreateUiFont(dpi_);
  auto px = [this](int pixels) { return MulDiv(pixels, dpi_, 96); };
  struct ControlSpec {
    const wchar_t* windowClass;
    const wchar_t* text;
    int id;
    DWORD style;
    int top, height, left, width;
  };
  const int inner = kClientWidth - 2 * kMargin;
  const int barTop = kMargin * 2 + kLineHeight * 2;
  const ControlSpec controls[] = {
      {L"Static", L"", ids::kFsFound, SS_LEFT | SS_NOPREFIX, kMargin, kLineHeight, kMargin, inner},
      {L"Static", L"", ids::kFsAsked, SS_LEFT | SS_NOPREFIX, kMargin + kLineHeight, kLineHeight, kMargin, inner},
      {PROGRESS_CLASSW, L"", ids::kFsProgress, PBS_MARQUEE, barTop, kBarHeight, kMargin, inner},
      {L"Button", L"中止(&A)", ids::kFsAbort, BS_DEFPUSHBUTTON | WS_TABSTOP, barTop + kBarHeight + kMargin,
       kButtonHeight, kClientWidth - kMargin - kButtonWidth, kButtonWidth},
  };
  for (const ControlSpec& s : controls) {
    const HWND control = CreateWindowExW(0, s.windowClass, s.text, WS_CHILD | WS_VISIBLE | s.style, px(s.left),
                                         px(s.top), px(s.width), px(s.height), window_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(s.id)),
                                         GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  SendMessageW(Control(ids::kFsProgress), PBM_SETMARQUEE, TRUE, 30);
}

SeriesSearchResult SearchWindow::Run(const SeriesPlan& plan, const DownloadOptions& options) {
  SeriesSearchResult cancelled;
  cancelled.cancelled = true;
  // The download's Referer page and cookies, checked and read as its 開始 does.
  RunRequests requests = PrepareRunRequests(options);
  if (!requests.refusal.empty()) {
    MessageBoxW(owner_, requests.refusal.c_str(), L"注意", MB_OK);
    return cancelled;
  }
  if (!Create()) return cancelled;
  transfer_ = std::make_unique<WinHttpTransfer>(window_, folder_);
  transfer_->UseCookies(std::move(requests.cookies));
  search_ = std::make_unique<SeriesSearch>(*transfer_, clock_);
  search_->Start(plan, options);
  if (!search_->Running()) return search_->Result();  // over before any answer

  SetTimer(window_, kTickTimer, kTickMs, nullptr);
  SetTimer(window_, kShowTimer, kShowAfterMs, nullptr);
  ownerEnabled_ = IsWindowEnabled(owner_) != FALSE;
  EnableWindow(owner_, FALSE);
  MSG msg;
  while (!done_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the main loop
      break;
    }
    if (got == -1) break;
    if (!destroyed_ && (msg.hwnd == window_ || IsChild(window_, msg.hwnd)) && IsDialogMessageW(window_, &msg)) {
      continue;
    }
    if (DownloadWindowMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // The owner first, so that it is the window activated when this one goes.
  if (IsWindow(owner_)) EnableWindow(owner_, ownerEnabled_);
  if (!destroyed_) {
    KillTimer(window_, kTickTimer);
    KillTimer(window_, kShowTimer);
    DestroyWindow(window_);
  }
  if (search_->Running()) search_->Cancel();
  return search_->Result();
}

void SearchWindow::Stop() {
  if (search_) search_->Cancel();
  done_ = true;
  if (IsWindow(owner_)) EnableWindow(owner_, ownerEnabled_);
  if (window_ && !destroyed_) DestroyWindow(window_);
}

void SearchWindow::Show() {
  KillTimer(window_, kShowTimer);
  Lay();
  Refresh();
  ShowWindow(window_, SW_SHOW);
  SetFocus(Control(ids::kFsAbort));
}

void SearchWindow::TakeNotes() {
  if (!transfer_ || !search_) return;
  const WinHttpTransfer::Notes notes = transfer_->TakeNotes();
  if (!notes.results.empty()) search_->OnFinished(notes.results);
  if (!search_->Running()) done_ = true;
}

// The texts, once the window shows (on the tick: ten times a second is as often as anyone
// reads them).
void SearchWindow::Refresh() {
  if (!font_) return;  // not shown yet
  const std::optional<SeriesNumbers> found = search_->FoundSoFar();
  const String foundText = found ? SeriesPlan::Shown(*found) + kFoundSuffix : kSearchingText;
  const String askedText = kAskedPrefix + DecimalText(search_->Asked()) + u" 件";
  if (foundText != shownFound_) SetWindowTextW(Control(ids::kFsFound), Wide(shownFound_ = foundText));
  if (askedText != shownAsked_) SetWindowTextW(Control(ids::kFsAsked), Wide(shownAsked_ = askedText));
}

LRESULT CALLBACK SearchWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<SearchWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<SearchWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->destroyed_ = true;
    self->done_ = true;  // a window destroyed with its owner ends the search too
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT SearchWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kTransferNotesMessage:
      TakeNotes();
      return 0;
    case WM_TIMER:
      if (wParam == kShowTimer) Show();
      if (wParam == kTickTimer && search_) {
        TakeNotes();
        search_->OnTick();
        if (!search_->Running()) done_ = true;
        Refresh();
      }
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == ids::kFsAbort) {  // the button, Esc
        search_->Cancel();
        done_ = true;
      }
      return 0;
    case WM_CLOSE:
      search_->Cancel();
      done_ = true;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace

void FindSeries(HWND owner, Program& program) {
  if (current) {
    requestedAgain = true;
    return;
  }
  // Only a copied URL (or a hand-over) asks while such a window is open: the menu and Ctrl+F
  // cannot reach the main window then. The search waits for the window to close.
  if (ModalWindowOpen()) {
    waitingProgram = &program;
    SetTimer(owner, kWaitingSearchTimer, kWaitingSearchCheckMs, AskWhenNoModalWindow);
    return;
  }
  SearchWindow window(owner);
  current = &window;
  FindSeriesCommand(program, window);
  current = nullptr;
  if (requestedAgain) {
    requestedAgain = false;
    if (program.shutDown == ShutDownState::kRunning) {
      PostMessageW(owner, WM_COMMAND, MAKEWPARAM(ids::kEditFindSeries, 0), 0);
    }
  }
}

void StopSeriesSearch() {
  requestedAgain = false;
  if (current) current->Stop();
}

}  // namespace velnor
