#include "win32/main_window.h"

#include "app/command_wiring.h"
#include "app/hand_over.h"
#include "app/lifecycle.h"
#include "app/prepare_main_window.h"
#include "expand/expand_command.h"
#include "ui/event_wiring.h"
#include "win32/about_box.h"
#include "win32/commands.h"
#include "win32/control_ids.h"
#include "win32/download_window.h"
#include "win32/main_window_layout.h"
#include "win32/menus.h"
#include "win32/series_search_window.h"
#include "win32/text_fit.h"
#include "win32/win32_dpi.h"
#include "win32/win32_text.h"

namespace velnor {
namespace {

// Posted to the main window for each URL handed over or dropped.
constexpr UINT kTakeHandedUrlMessage = WM_APP + 50;

}  // namespace

MainWindow::MainWindow()
    : platform_([this](MSG& msg) { return PreTranslate(msg); }, [this] { return dpi_; }) {
  optionGroup_ = {&option0_, &option1_};
  Form1& f = program_.form;
  f.urltxt = &urltxt_;
  f.Combo1 = &combo1_;
  f.Combo2 = &combo2_;
  f.Combo3 = &combo3_;
  f.Check1 = &check1_;
  f.Check2 = &check2_;
  f.Check3 = &check3_;
  f.Checkund = &checkund_;
  f.Option0 = &option0_;
  f.Option1 = &option1_;
  f.List1 = &list1_;
  f.urllist = &urllist_;
  f.textArray[1] = &text1_;
  f.textArray[2] = &text2_;
  f.listArray[1] = &workList1_;
  f.listArray[2] = &workList2_;
  program_.platform = &platform_;
  program_.frame = this;
  program_.profile = &profile_;
  program_.shell = &shell_;
  program_.listFile = &listFile_;
  program_.clipboard = &clipboard_;
}

MainWindow::~MainWindow() {
  if (dropTarget_) dropTarget_->Release();
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
  if (font_) DeleteObject(font_);
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

int MainWindow::Px(int twips) const { return TwipsToPixels(twips, dpi_); }

MainWindow::Created MainWindow::Create(HINSTANCE instance) {
  instance_ = instance;
  // The system's DPI until the window is there to tell its own.
  dpi_ = ScreenDpiX();

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(ids::kAppIcon), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(ids::kAppIcon), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = ids::kMainWindowClass;
  if (!RegisterClassExW(&wc)) return Created::kFailed;

  accelerators_ = CreateMainAccelerators();
  // Fixed single border with a minimize box and no maximize box.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  hwnd_ = CreateWindowExW(0, ids::kMainWindowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                          Px(kMainWindowWidthTwips), Px(kMainWindowHeightTwips), nullptr,
                          CreateMainMenu(), instance, this);
  if (!hwnd_) return Created::kFailed;
  // The load sets the outer size at this DPI, that of the monitor the window is on.
  dpi_ = WindowDpi(hwnd_);
  SetIcons();
  platform_.SetOwner(hwnd_);
  clipboard_.SetMainWindow(hwnd_);
  listFile_.SetOwner(hwnd_);
  CreateControls();
  WireEvents(program_);
  WireCommands(program_);

  // The load handler, before the window is first shown.
  if (!LoadMainWindow(program_)) return Created::kRefused;
  dropTarget_ = new MainWindowDropTarget([this](const String& url) { QueueHandedUrl(url); });
  dropTarget_->Register(hwnd_);
  return Created::kReady;
}

void MainWindow::Show(int showCommand) {
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
}

void MainWindow::CreateControls() {
  font_ = CreateUiFont(dpi_);

  for (const ControlLayout& c : kLayout) {
    HWND control = CreateWindowExW(KindExStyle(c.kind), ClassName(c.kind), c.caption,
                                   WS_CHILD | KindStyle(c.kind) | c.style, Px(c.left), Px(c.top),
                                   Px(c.width), WindowHeight(c, dpi_), hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
    SetControlFont(control, c, font_, dpi_);
    // No limit of their own: the program limits the number fields itself.
    if (c.kind == ControlKind::kEdit) SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    if (c.kind == ControlKind::kCombo) SendMessageW(control, CB_LIMITTEXT, 0, 0);

    CommandTarget* target = nullptr;
    switch (c.id) {
      case ids::kUrltxt: urltxt_.Attach(control); target = &urltxt_; break;
      case ids::kText1: text1_.Attach(control); target = &text1_; break;
      case ids::kText2: text2_.Attach(control); target = &text2_; break;
      case ids::kCombo1: combo1_.Attach(control); target = &combo1_; break;
      case ids::kCombo2: combo2_.Attach(control); target = &combo2_; break;
      case ids::kCombo3: combo3_.Attach(control); target = &combo3_; break;
      case ids::kCheck1: check1_.Attach(control); target = &check1_; break;
      case ids::kCheck2: check2_.Attach(control); target = &check2_; break;
      case ids::kCheck3: check3_.Attach(control); target = &check3_; break;
      case ids::kCheckund: checkund_.Attach(control); target = &checkund_; break;
      case ids::kOption0: option0_.Attach(control, &optionGroup_); target = &option0_; break;
      case ids::kOption1: option1_.Attach(control, &optionGroup_); target = &option1_; break;
      case ids::kList1: list1_.Attach(control, false); target = &list1_; break;
      case ids::kUrllist: urllist_.Attach(control, true); target = &urllist_; break;
      default: break;
    }
    if (target) targets_.emplace_back(c.id, target);
  }
  // List1 keeps its two samples for the whole run.
  for (const wchar_t* sample : kSamples) list1_.AddItem(FromWide(sample, wcslen(sample)));
}

void MainWindow::SetCaption(const String& caption) { SetWindowTextW(hwnd_, Wide(caption)); }

void MainWindow::SetOuterSize(int widthTwips, int heightTwips) {
  SetWindowPos(hwnd_, nullptr, 0, 0, Px(widthTwips), Px(heightTwips), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::MakeTopMost() {
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// The window moved to a monitor of another DPI (or the user changed the scaling): the
// system's rectangle keeps its outer size in inches, and everything inside is laid out again
// from its layout units. What the user typed, ticked, selected or scrolled stays.
void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  const int oldDpi = dpi_;
  dpi_ = dpi;
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceControls(oldDpi);
  SetIcons();
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void MainWindow::PlaceControls(int oldDpi) {
  const ListScroll samples = ReadListScroll(list1_.Handle());
  const ListScroll results = ReadListScroll(urllist_.Handle());
  const HFONT oldFont = font_;
  font_ = CreateUiFont(dpi_);
  for (const ControlLayout& c : kLayout) {
    HWND control = GetDlgItem(hwnd_, c.id);
    if (!control) continue;
    SetWindowPos(control, nullptr, Px(c.left), Px(c.top), Px(c.width), WindowHeight(c, dpi_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetControlFont(control, c, font_, dpi_);
  }
  // Every control has the new font now.
  DeleteObject(oldFont);
  // urllist's extent is measured in pixels: an expansion set it (before the first one it is
  // 0 and stays so).
  if (SendMessageW(urllist_.Handle(), LB_GETHORIZONTALEXTENT, 0, 0) != 0) SetResultListExtent(program_);
  RestoreListScroll(list1_.Handle(), samples, oldDpi, dpi_);
  RestoreListScroll(urllist_.Handle(), results, oldDpi, dpi_);
}

// The window's icons at the sizes the system shows at this DPI.
void MainWindow::SetIcons() {
  struct Slot {
    WPARAM kind;
    int metric;
    HICON& icon;
  };
  for (const Slot& slot : {Slot{ICON_BIG, SM_CXICON, bigIcon_}, Slot{ICON_SMALL, SM_CXSMICON, smallIcon_}}) {
    HICON icon = LoadProgramIcon(SystemMetricForDpi(slot.metric, dpi_));
    if (!icon) continue;
    SendMessageW(hwnd_, WM_SETICON, slot.kind, reinterpret_cast<LPARAM>(icon));
    if (slot.icon) DestroyIcon(slot.icon);
    slot.icon = icon;
  }
}

void MainWindow::CloseAllForms() {
  // The About box first; destroying the main window then ends the message loop. Destroying
  // it directly, not through WM_CLOSE, keeps the unload handler from running again (or at
  // all, for a refused second instance).
  CloseAboutBox();
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool MainWindow::PreTranslate(MSG& msg) {
  if (DownloadWindowMessage(msg)) return true;
  if (accelerators_ && TranslateAcceleratorW(hwnd_, accelerators_, &msg)) return true;
  return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

int MainWindow::Run() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void MainWindow::ShowOptionChecks() {
  CheckMenuItem(GetMenu(hwnd_), ids::kEditAutoSplit,
                MF_BYCOMMAND | (program_.autoSplit ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(GetMenu(hwnd_), ids::kEditAutoFind, MF_BYCOMMAND | (program_.autoFind ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(GetMenu(hwnd_), ids::kEditCopyHttps,
                MF_BYCOMMAND | (program_.copyHttps ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::OnCommand(int id, int code) {
  for (const auto& [targetId, target] : targets_) {
    if (targetId == id) {
      target->OnCommand(code);
      break;
    }
  }
  // Buttons notify BN_CLICKED (0), menu items 0 and accelerators 1.
  if (code != BN_CLICKED && code != 1) return;
  if (id == ids::kFileEnd) {
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    return;
  }
  if (id == ids::kEditAutoSplit || id == ids::kEditAutoFind || id == ids::kEditCopyHttps) {
    bool& option = id == ids::kEditAutoSplit ? program_.autoSplit
                   : id == ids::kEditAutoFind ? program_.autoFind
                                              : program_.copyHttps;
    option = !option;
    ShowOptionChecks();
    return;
  }
  if (id == ids::kVersion) {
    ShowAboutBox(hwnd_, dpi_);
    return;
  }
  if (id == ids::kFileDownload) {
    OpenDownloadWindow(hwnd_, dpi_, program_);
    return;
  }
  if (id == ids::kEditFindSeries) {
    FindSeries(hwnd_, program_);
    return;
  }
  if (CommandProcedure run = FindCommand(id)) run(program_);
}

void MainWindow::QueueHandedUrl(const String& text) {
  handedUrls_.push_back(text);
  PostMessageW(hwnd_, kTakeHandedUrlMessage, 0, 0);
}

void MainWindow::TakeHandedUrls() {
  // One a message, oldest first; taking one may let messages run (the split's writes).
  if (handedUrls_.empty()) return;
  const String url = std::move(handedUrls_.front());
  handedUrls_.pop_front();
  if (unloading_) return;
  // To the front here, not while the sender waits for its answer: activating a window can take
  // the system a while.
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  SetForegroundWindow(hwnd_);
  TakeHandedUrl(program_, url);
}

void MainWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_INACTIVEBORDER));
  HGDIOBJ old = SelectObject(dc, pen);
  const int y = Px(kLine1Top);
  MoveToEx(dc, Px(kLine1Left), y, nullptr);
  LineTo(dc, Px(kLine1Right) + 1, y);  // the rule includes its end point
  SelectObject(dc, old);
  DeleteObject(pen);
  EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITMENUPOPUP:
      ShowOptionChecks();  // the settings file may have turned it on
      break;
    case WM_COMMAND:
      // IDOK and IDCANCEL come from the dialog keys Enter and Esc: no button answers them.
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_MEASUREITEM:
      if (wParam == ids::kList1) {
        MeasureOwnerDrawnItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), font_);
        return TRUE;
      }
      break;
    case WM_DRAWITEM:
      if (wParam == ids::kList1) {
        DrawOwnerDrawnItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), font_);
        return TRUE;
      }
      break;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == urllist_.Handle()) {
        if (HCURSOR cursor = urllist_.Cursor()) {
          SetCursor(cursor);
          return TRUE;
        }
      }
      break;
    case WM_ACTIVATE:
      // Keep the focused control while another window is active, and give it back on return.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      if (lastFocus_ && IsWindow(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_DPICHANGED:
      // The new DPI from the message itself: not every system's GetDpiForWindow answers it yet.
      OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      // The unload handler: watcher out, histories, settings file, then every window closes.
      StopSeriesSearch();
      // A second close while the question is open waits for its answer.
      if (!unloading_ && !asking_) {
        asking_ = true;
        const bool mayClose = MayCloseWhileDownloading(hwnd_);
        asking_ = false;
        if (mayClose) {
          unloading_ = true;
          UnloadMainWindow(program_);
        }
      }
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // never holds up the end of the session
    case WM_ENDSESSION:
      // The session ends once this returns: stop the download, save now, quietly. The system
      // ends the process.
      if (wParam) {
        StopSeriesSearch();
        StopDownloadForSessionEnd();
      }
      EndSessionMainWindow(program_, wParam != FALSE);
      return 0;
    case WM_COPYDATA: {
      // Answered at once: the text is checked and kept, and taken from the message loop.
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      const std::optional<String> text = data ? HandedOverText(data->dwData, data->lpData, data->cbData) : std::nullopt;
      if (!text || unloading_) return FALSE;
      QueueHandedUrl(*text);
      return TRUE;
    }
    case kTakeHandedUrlMessage:
      TakeHandedUrls();
      return 0;
    case WM_DESTROY:
      if (dropTarget_) dropTarget_->Revoke();
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace velnor
