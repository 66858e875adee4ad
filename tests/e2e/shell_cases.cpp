// The application shell on the real program: one running instance per program file, the
// About box, and the help file opened through the shell.
#include <algorithm>
#include <iterator>
#include <string>

#include "driver.h"
#include "win32/about_box.h"
#include "win32/control_ids.h"

namespace velnor::e2e {
namespace {

String WindowTextOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  const int length = GetWindowTextW(hwnd, buffer, 512);
  return String(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(std::max(length, 0)));
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

// Visible top-level windows of a process (pid 0: of every process), with their class.
std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* className) {
  struct Search {
    DWORD pid;
    const wchar_t* className;
    std::vector<HWND> found;
  } search{pid, className, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if ((s->pid == 0 || owner == s->pid) && IsWindowVisible(hwnd) && ClassOf(hwnd) == s->className) {
          s->found.push_back(hwnd);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForTopLevel(DWORD pid, const wchar_t* className, DWORD timeoutMs = 5000) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const auto windows = TopLevelWindows(pid, className);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

// A process started by the case itself, for starts the driver's Velnor does not make: a
// second start of the same file, or a start from another current folder.
class Started {
 public:
  Started(const std::wstring& exe, const std::wstring& currentFolder) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring commandLine = L"\"" + exe + L"\"";
    ok_ = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         currentFolder.c_str(), &si, &info_) != FALSE;
  }
  ~Started() {
    if (!ok_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      for (HWND w : TopLevelWindows(info_.dwProcessId, ids::kMainWindowClass)) PostMessageW(w, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(info_.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  bool ok() const { return ok_; }
  DWORD pid() const { return info_.dwProcessId; }
  bool Exited(DWORD timeoutMs) const { return WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0; }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION info_{};
  bool ok_ = false;
};

// The help file is built beside the program.
std::wstring BuiltHelpFile(const Context& ctx) {
  std::wstring path = ctx.options().exePath;
  path.resize(path.find_last_of(L"\\/") + 1);
  return path + L"Velnor.chm";
}

// The version command runs the modal About box inside the main window's command handler,
// so it is posted, never sent; returns the About box once it shows.
HWND OpenAboutBox(Velnor& app) {
  PostMessageW(app.window(), WM_COMMAND, MAKEWPARAM(ids::kVersion, 0), 0);
  return WaitForTopLevel(app.processId(), kAboutBoxClass);
}

// Lets the program's thread finish what is queued before the test looks again.
void Settle(Velnor& app, HWND window) {
  Sleep(200);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(IsWindow(window) ? window : app.window(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
}

// The width of a text in the system's user-interface font at dpi, in pixels.
int TextWidth(const String& text, int dpi) {
  HFONT font = CreateUiFontAt(dpi);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return extent.cx;
}

struct AboutControl {
  int id;
  const wchar_t* className;
  int left, top, width, height;  // 1/1440 inch, in the About box's client area
};

const AboutControl kAboutControls[] = {
    {kAboutPicture, L"Static", 120, 120, 780, 780},
    {kAboutProductLine, L"Static", 1050, 120, 2535, 255},
    {kAboutVersion, L"Static", 3480, 120, 1095, 255},
    {kAboutCopyright, L"Static", 2040, 480, 2535, 255},
    {kAboutOk, L"Button", 3360, 1080, 1095, 375},
};

// Everything the About box shows while it is open over the main window, laid out at dpi;
// textsFit: each text fits its label.
void CheckOpenAboutBox(Context& ctx, Velnor& app, HWND about, int dpi = ScreenDpi(), bool textsFit = true) {
  E2E_CHECK_EQ(WindowTextOf(about), String(u"Velnor - バージョン情報"));
  E2E_CHECK_EQ(WindowTextOf(app.window()) + u" - バージョン情報", WindowTextOf(about));
  E2E_CHECK((GetWindowLongPtrW(about, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
  E2E_CHECK_EQ(GetWindow(about, GW_OWNER), app.window());
  E2E_CHECK(!IsWindowEnabled(app.window()));
  const LONG_PTR style = GetWindowLongPtrW(about, GWL_STYLE);
  E2E_CHECK((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) == 0);

  RECT client{};
  GetClientRect(about, &client);
  E2E_CHECK_EQ(client.right, Px(4575, dpi));
  E2E_CHECK_EQ(client.bottom, Px(1560, dpi));

  for (const AboutControl& c : kAboutControls) {
    ctx.SetScope(std::to_string(dpi) + " dpi, control " + std::to_string(c.id));
    HWND control = GetDlgItem(about, c.id);
    if (!E2E_CHECK(control != nullptr)) continue;
    E2E_CHECK_EQ(ClassOf(control), std::wstring(c.className));
    const RECT r = ClientRectOf(about, control);
    E2E_CHECK_EQ(r.left, Px(c.left, dpi));
    E2E_CHECK_EQ(r.top, Px(c.top, dpi));
    E2E_CHECK_EQ(r.right - r.left, Px(c.width, dpi));
    E2E_CHECK_EQ(r.bottom - r.top, Px(c.height, dpi));
    if (c.id == kAboutPicture) {
      E2E_CHECK(SendMessageW(control, STM_GETICON, 0, 0) != 0);
      continue;
    }
    // Each text fits its label at the system's user-interface font; Label1's text also ends
    // before Label2 begins, since the two overlap. (Wine answers WM_GETFONT from another
    // process with 0, so the font is made here from the same system metrics.)
    const String text = WindowTextOf(control);
    E2E_CHECK(!text.empty());
    const int room = c.id == kAboutProductLine ? Px(3480 - 1050, dpi) : r.right - r.left;
    if (textsFit) E2E_CHECK(TextWidth(text, dpi) <= room);
    if (c.id == kAboutVersion) E2E_CHECK_EQ(text, String(u"Version 1.00"));
    if (c.id == kAboutOk) E2E_CHECK_EQ(text, String(u"OK"));
  }
  ctx.SetScope("");
  E2E_CHECK_EQ(GetDlgCtrlID(app.Focus()), static_cast<int>(kAboutOk));
}

}  // namespace

E2E_CASE(second_instance) {
  Velnor first(ctx);
  E2E_REQUIRE(first.started());
  // A settings file the second start must neither read into a window nor write.
  const std::wstring ini = first.folder() + L"\\Velnor.ini";
  const std::string marker = "[\x83\x60\x83\x46\x83\x62\x83\x4e]\r\nCHECK1=0\r\n";  // [チェック]
  E2E_REQUIRE(WriteFileContent(ini, marker));

  Started second(first.folder() + L"\\Velnor.exe", first.folder());
  E2E_REQUIRE(second.ok());
  HWND box = nullptr;
  bool mainWindowShown = false;
  WaitUntil([&] {
    mainWindowShown = mainWindowShown || !TopLevelWindows(second.pid(), ids::kMainWindowClass).empty();
    const auto boxes = TopLevelWindows(second.pid(), L"#32770");
    box = boxes.empty() ? nullptr : boxes.front();
    return box != nullptr || second.Exited(0);
  }, 10000);
  E2E_REQUIRE(box != nullptr);
  E2E_CHECK_EQ(WindowTextOf(box), String(u"APP Load Error"));
  E2E_CHECK_EQ(WindowTextOf(GetDlgItem(box, 0xFFFF)), String(u"このアプリケーションはすでに開かれています。"));
  bool hasIcon = false;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ClassOf(child) == L"Static" &&
        SendMessageW(child, STM_GETICON, 0, 0) != 0) {
      hasIcon = true;
    }
  }
  E2E_CHECK(hasIcon);
  E2E_CHECK(GetDlgItem(box, IDCANCEL) == nullptr);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));

  E2E_CHECK(second.Exited(10000));
  E2E_CHECK_EQ(second.ExitCode(), 0ul);
  E2E_CHECK(!mainWindowShown);
  E2E_CHECK(TopLevelWindows(second.pid(), ids::kMainWindowClass).empty());
  E2E_CHECK_EQ(FileContent(ini), marker);
  // The running instance is not disturbed.
  E2E_CHECK(!first.Exited());
  E2E_CHECK(IsWindowVisible(first.window()));
}

E2E_CASE(copy_in_another_folder) {
  Velnor first(ctx);
  E2E_REQUIRE(first.started());
  const std::wstring otherFolder = first.folder() + L"\\copy";
  CreateDirectoryW(otherFolder.c_str(), nullptr);
  E2E_REQUIRE(CopyFileW(ctx.options().exePath.c_str(), (otherFolder + L"\\Velnor.exe").c_str(), FALSE));

  Started copy(otherFolder + L"\\Velnor.exe", otherFolder);
  E2E_REQUIRE(copy.ok());
  E2E_CHECK(WaitForTopLevel(copy.pid(), ids::kMainWindowClass, 10000) != nullptr);
  E2E_CHECK(TopLevelWindows(copy.pid(), L"#32770").empty());
  E2E_CHECK(!copy.Exited(0));
}

E2E_CASE(about_box) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  // Opened and closed three times, by Enter, by Space and by a click on OK; Esc never closes.
  for (int round = 0; round < 3; ++round) {
    ctx.SetScope("round " + std::to_string(round + 1));
    HWND about = OpenAboutBox(app);
    E2E_REQUIRE(about != nullptr);
    CheckOpenAboutBox(ctx, app, about);
    ctx.SetScope("round " + std::to_string(round + 1));

    app.PostKey(app.Focus(), VK_ESCAPE);
    Settle(app, about);
    E2E_CHECK(IsWindow(about) && IsWindowVisible(about));

    switch (round) {
      case 0: app.PostKey(app.Focus(), VK_RETURN); break;
      case 1: app.PostKey(app.Focus(), VK_SPACE); break;
      default: SendMessageW(GetDlgItem(about, kAboutOk), BM_CLICK, 0, 0); break;
    }
    E2E_CHECK(WaitUntil([&] { return !IsWindow(about); }, 3000));
    E2E_CHECK(WaitUntil([&] { return IsWindowEnabled(app.window()) != FALSE; }, 3000));
    E2E_CHECK(!app.Exited());
  }
  ctx.SetScope("");
  // The main window answers again once the box is closed.
  app.SetText(ids::kUrltxt, u"http://example.com/after-about/");
  E2E_CHECK_EQ(app.Text(ids::kUrltxt), String(u"http://example.com/after-about/"));
}

// The About box moves between monitors of 96, 144 and 120 dpi: at each step it takes the
// system's place and lays its client area and controls out again at the new DPI. Opened over
// a main window that has moved to 144 dpi, it opens at 144 dpi.
E2E_CASE(about_box_dpi_change) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  const int systemDpi = ScreenDpi();
  HWND about = OpenAboutBox(app);
  E2E_REQUIRE(about != nullptr);
  int from = systemDpi;
  std::vector<int> steps = {144, 120, 96};
  if (systemDpi != 96) steps.push_back(systemDpi);
  for (int dpi : steps) {
    ctx.SetScope(std::to_string(from) + " to " + std::to_string(dpi) + " dpi");
    const RECT suggested = SuggestedDpiRect(about, from, dpi);
    E2E_REQUIRE(SendDpiChanged(app.process(), about, dpi, suggested));
    RECT outer{};
    GetWindowRect(about, &outer);
    E2E_CHECK_EQ(outer.left, suggested.left);
    E2E_CHECK_EQ(outer.top, suggested.top);
    // The texts fit at whole and half multiples of 96 dpi. At 120 the test prefix's UI font,
    // whose half-width characters are half its height, rounds them from 7.5 to 8 pixels, and
    // "Version 1.00" takes 96 pixels of Label2's 91 (the label then cuts its end).
    CheckOpenAboutBox(ctx, app, about, dpi, dpi % 48 == 0);
    from = dpi;
  }
  SendMessageW(GetDlgItem(about, kAboutOk), BM_CLICK, 0, 0);
  E2E_REQUIRE(WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(app.window()); }, 3000));

  ctx.SetScope("opened at 144 dpi");
  E2E_REQUIRE(SendDpiChanged(app.process(), app.window(), 144, SuggestedDpiRect(app.window(), systemDpi, 144)));
  about = OpenAboutBox(app);
  E2E_REQUIRE(about != nullptr);
  CheckOpenAboutBox(ctx, app, about, 144);
  SendMessageW(GetDlgItem(about, kAboutOk), BM_CLICK, 0, 0);
  E2E_CHECK(WaitUntil([&] { return !IsWindow(about); }, 3000));
}

E2E_CASE(close_with_about_box_open) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  // A settings file that cannot be written (a folder in its place: a read-only file would
  // not stop a test run as root): each attempt to save shows one message, so the number of
  // messages is the number of times the settings were written.
  const std::wstring ini = app.folder() + L"\\Velnor.ini";
  E2E_REQUIRE(CreateDirectoryW(ini.c_str(), nullptr));

  HWND about = OpenAboutBox(app);
  E2E_REQUIRE(about != nullptr);
  PostMessageW(app.window(), WM_CLOSE, 0, 0);

  std::vector<String> saveMessages;
  WaitUntil([&] {
    for (HWND box : TopLevelWindows(app.processId(), L"#32770")) {
      saveMessages.push_back(WindowTextOf(GetDlgItem(box, 0xFFFF)));
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
      WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); });
    }
    return app.Exited(0);
  }, 15000);
  RemoveDirectoryW(ini.c_str());

  E2E_CHECK(app.Exited(0));
  E2E_CHECK(!IsWindow(about));
  E2E_CHECK_EQ(saveMessages.size(), 1u);
  if (!saveMessages.empty()) {
    const String expected = u"設定を保存できませんでした";
    E2E_CHECK_EQ(saveMessages[0].substr(0, expected.size()), expected);
  }
}

E2E_CASE(help_from_another_folder) {
  const std::wstring chm = BuiltHelpFile(ctx);
  E2E_REQUIRE(GetFileAttributesW(chm.c_str()) != INVALID_FILE_ATTRIBUTES);
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  E2E_REQUIRE(CopyFileW(chm.c_str(), (app.folder() + L"\\Velnor.chm").c_str(), FALSE));
  app.Close();
  E2E_REQUIRE(app.Exited(10000));

  // The same program file started again, its current folder elsewhere; a file of the same
  // name there, which no viewer can open, must not be the one opened. (Wine's shell looks in
  // the program's own folder before the working folder it is given, so under Wine this shows
  // that help opens, and the unit tests pin the folder the program passes.)
  const std::wstring elsewhere = ctx.options().workRoot + L"\\elsewhere";
  CreateDirectoryW(elsewhere.c_str(), nullptr);
  E2E_REQUIRE(WriteFileContent(elsewhere + L"\\Velnor.chm", "not a help file"));
  Started program(app.folder() + L"\\Velnor.exe", elsewhere);
  E2E_REQUIRE(program.ok());
  HWND main = WaitForTopLevel(program.pid(), ids::kMainWindowClass, 10000);
  E2E_REQUIRE(main != nullptr);
  for (HWND old : TopLevelWindows(0, L"HH Parent")) PostMessageW(old, WM_CLOSE, 0, 0);

  PostMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kHelpSub, 0), 0);
  HWND viewer = nullptr;
  E2E_CHECK(WaitUntil([&] {
    for (HWND w : TopLevelWindows(0, L"HH Parent")) {
      if (WindowTextOf(w) == u"Velnor ヘルプ") viewer = w;
    }
    return viewer != nullptr;
  }, 15000));
  E2E_CHECK(TopLevelWindows(program.pid(), L"#32770").empty());
  if (viewer) {
    DWORD viewerPid = 0;
    GetWindowThreadProcessId(viewer, &viewerPid);
    E2E_CHECK(viewerPid != program.pid());
    if (HANDLE viewerProcess = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, viewerPid)) {
      TerminateProcess(viewerProcess, 0);
      WaitForSingleObject(viewerProcess, 5000);
      CloseHandle(viewerProcess);
    }
  }
}

E2E_CASE(help_file_missing) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  DeleteFileW((app.folder() + L"\\Velnor.chm").c_str());
  PostMessageW(app.window(), WM_COMMAND, MAKEWPARAM(ids::kHelpSub, 0), 0);
  Settle(app, app.window());
  Sleep(1000);
  // No message of the program's own, and the program goes on.
  E2E_CHECK(TopLevelWindows(app.processId(), L"#32770").empty());
  E2E_CHECK(IsWindowEnabled(app.window()));
  E2E_CHECK(!app.Exited());
}

}  // namespace velnor::e2e
