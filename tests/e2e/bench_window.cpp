// Speed of the real program under Wine (or on Windows), measured in one run:
//  1. the steps of a click on renban on the program's own window in this process, and
//     GenerateUrlList with SetResultListExtent over 1000, 3001, 10001, 30001 and 32767 items
//     (it must grow linearly);
//  2. a click on renban that fills urllist with 30001 items (Text(1) = 3e4), against filling
//     a hidden list box with its redrawing off with the same 30001 strings in this process;
//     the first click after start against a later one; the click over 1000, 3001 and 10001
//     items;
//  3. the time from starting Velnor.exe to its first painted window, against a plain window
//     with the same menu and controls;
//  4. the size of Velnor.exe.
// velnor_winbench --exe Velnor.exe --minimal velnor_minimal_window.exe --work DIR [--reps N]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/numbers.h"
#include "driver.h"
#include "expand/expand_command.h"
#include "expand/input_checks.h"
#include "expand/number_lists.h"
#include "expand/url_list.h"
#include "settings/list_history.h"
#include "ui/input_fields.h"
#include "bench_timing.h"
#include "win32/control_ids.h"
#include "win32/main_window.h"

namespace velnor::e2e {
namespace {

const wchar_t kUrl[] = L"http://example.com/img/";

// The items the program builds for the first number alone from 0 to last (Text(1) = 3e4
// gives 30000).
std::vector<std::wstring> ExpectedItems(int last) {
  std::vector<std::wstring> items;
  for (int n = 0; n <= last; ++n) {
    std::wstring digits = std::to_wstring(n);
    while (digits.size() < 3) digits.insert(digits.begin(), L'0');
    items.push_back(kUrl + digits + L".jpg");
  }
  return items;
}

// The limit: a hidden list box of urllist's kind, redrawing off, storage reserved.
double FillHiddenList(HWND list, const std::vector<std::wstring>& items) {
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  const double start = Now();
  ShowWindow(list, SW_HIDE);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(items.size() * 64 * 2));
  for (const auto& item : items) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ShowWindow(list, SW_SHOWNA);
  return Now() - start;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

struct FoundWindow {
  DWORD pid;
  HWND hwnd;
};

BOOL CALLBACK FindShown(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<FoundWindow*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == found->pid && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == nullptr) {
    found->hwnd = hwnd;
    return FALSE;
  }
  return TRUE;
}

// From CreateProcess to the program's first idle moment with its window shown and painted.
double LaunchToFirstPaint(const std::wstring& exe, const std::wstring& folder) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  const double start = Now();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
    return -1;
  }
  WaitForInputIdle(pi.hProcess, 10000);
  FoundWindow found{pi.dwProcessId, nullptr};
  while (!found.hwnd && Now() - start < 10000) {
    EnumWindows(FindShown, reinterpret_cast<LPARAM>(&found));
    if (!found.hwnd) Sleep(1);
  }
  const double took = Now() - start;
  if (found.hwnd) PostMessageW(found.hwnd, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return found.hwnd ? took : -1;
}

// The steps of the expand command, each timed, on the program's own window created in this
// process: where the time of a click goes.
void TimeExpandSteps(int reps) {
  velnor::MainWindow window;
  if (window.Create(GetModuleHandleW(nullptr)) != velnor::MainWindow::Created::kReady) return;
  window.Show(SW_SHOWNA);
  Pump();
  velnor::Program& p = window.program();
  struct Step {
    const char* name;
    void (*run)(velnor::Program&);
    std::vector<double> times;
  };
  std::vector<Step> steps = {
      {"CheckExpansionInput", [](velnor::Program& q) { velnor::CheckExpansionInput(q); }, {}},
      {"ProcessPendingMessages", [](velnor::Program& q) { q.platform->ProcessPendingMessages(); }, {}},
      {"BuildFirstNumberList", velnor::BuildFirstNumberList, {}},
      {"BuildSecondNumberList", velnor::BuildSecondNumberList, {}},
      {"DeriveFirstEndNumber", velnor::DeriveFirstEndNumber, {}},
      {"  urllist hidden", [](velnor::Program& q) { q.form.urllist->SetVisible(false); }, {}},
      {"  urllist emptied", [](velnor::Program& q) { q.form.urllist->Clear(); }, {}},
      {"GenerateUrlList", velnor::GenerateUrlList, {}},
      {"ClearEntryFields", velnor::ClearEntryFields, {}},
      {"SetResultListExtent", velnor::SetResultListExtent, {}},
      {"  urllist shown", [](velnor::Program& q) { q.form.urllist->SetVisible(true); }, {}},
      {"UpdateHistoryLists", velnor::UpdateHistoryLists, {}},
      {"URL prompt", [](velnor::Program& q) { q.form.urltxt->SetText(velnor::kUrlPrompt); }, {}},
  };
  // The first number alone, from 0, whatever the settings file said: no message box.
  p.form.Check3->SetValue(0);
  p.form.Check1->SetValue(1);
  p.form.Checkund->SetValue(0);
  p.form.Check2->SetValue(0);
  p.form.Option0->Select();
  for (int r = 0; r < reps; ++r) {
    p.form.urltxt->SetText(velnor::FromUtf8("http://example.com/img/"));
    p.form.Combo1->SetText(u".jpg");
    p.form.Text(1).SetText(u"3e4");
    for (Step& step : steps) {
      const double start = Now();
      step.run(p);
      step.times.push_back(Now() - start);
    }
    Pump();
  }
  std::printf("steps of one click, in-process, median of %d:\n", reps);
  for (Step& step : steps) {
    std::printf("  %-24s %8.2f ms (first click %.2f ms)\n", step.name, Median(step.times), step.times.front());
  }

  // The second number alone takes its end from the size of List(2): filled here directly,
  // it reaches sizes the three characters of Text(1) cannot.
  p.form.Check1->SetValue(0);
  p.form.Check2->SetValue(1);
  p.form.urltxt->SetText(velnor::FromUtf8("http://example.com/img/"));
  p.form.Combo1->SetText(u".jpg");
  std::printf("urllist hidden, GenerateUrlList, SetResultListExtent, urllist shown, in-process over list sizes, "
              "median of %d:\n", reps);
  std::vector<std::pair<int, double>> growth;
  for (int count : {1000, 3001, 10001, 30001, 32767}) {
    velnor::ListBox& second = p.form.List(2);
    second.Clear();
    for (int n = 0; n < count; ++n) second.AddItem(velnor::DecimalText(n));
    std::vector<double> times;
    for (int r = 0; r <= reps; ++r) {  // the first replaces a list of another size
      const double start = Now();
      p.form.urllist->SetVisible(false);
      velnor::GenerateUrlList(p);
      velnor::SetResultListExtent(p);
      p.form.urllist->SetVisible(true);
      if (r > 0) times.push_back(Now() - start);
      Pump();
    }
    growth.emplace_back(count, Median(times));
  }
  PrintGrowth(growth);
  DestroyWindow(GetParent(GetDlgItem(FindWindowW(velnor::ids::kMainWindowClass, nullptr), velnor::ids::kUrltxt)));
  Pump();
}

}  // namespace
}  // namespace velnor::e2e

int wmain(int argc, wchar_t** argv) {
  using namespace velnor::e2e;
  namespace ids = velnor::ids;
  Options options;
  std::wstring minimal;
  int reps = 7;
  for (int i = 1; i + 1 < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--exe") options.exePath = WindowsPath(argv[++i]);
    else if (arg == L"--minimal") minimal = WindowsPath(argv[++i]);
    else if (arg == L"--work") options.workRoot = WindowsPath(argv[++i]);
    else if (arg == L"--reps") reps = std::max(1, _wtoi(argv[++i]));
  }
  if (options.exePath.empty() || minimal.empty() || options.workRoot.empty()) {
    std::printf("usage: velnor_winbench --exe Velnor.exe --minimal minimal.exe --work DIR [--reps N]\n");
    return 2;
  }
  int failures = 0;
  TimeExpandSteps(reps);

  // 1. The expansion of 30001 items.
  const std::vector<std::wstring> items = ExpectedItems(30000);
  HWND host = CreateWindowExW(0, L"Static", L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 300, nullptr, nullptr, nullptr, nullptr);
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"ListBox", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT,
                              8, 100, 553, 124, host, nullptr, nullptr, nullptr);
  // The program's list box has the user-interface font: so has this one.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ShowWindow(host, SW_SHOWNA);
  Pump();
  // The two are measured in turns, so that a busy machine slows both alike.
  std::vector<double> baseline;
  Context ctx(options, "bench");
  std::vector<double> expand;
  std::vector<double> firstExpand;  // the first click after a start, one a start
  // A click on renban with Text(1) as given; the time until the command has returned.
  auto clickRenban = [&](Velnor& app, const velnor::String& text1, int count) {
    app.SetText(ids::kUrltxt, velnor::FromUtf8("http://example.com/img/"));
    SendMessageW(app.ComboEdit(ids::kCombo1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L".jpg"));
    app.SetText(ids::kText1, text1);
    // The fields just set, and the list the click before showed, paint when the program goes
    // idle: let that happen before the click, not inside the measured time.
    SendMessageW(app.window(), WM_NULL, 0, 0);
    Sleep(50);
    HWND renban = app.Control(ids::kRenban);
    const double start = Now();
    SendMessageW(renban, BM_CLICK, 0, 0);
    const double took = Now() - start;
    const auto got = SendMessageW(app.Control(ids::kUrllist), LB_GETCOUNT, 0, 0);
    if (got != count) {
      std::printf("FAILED: urllist holds %d items, not %d\n", static_cast<int>(got), count);
      ++failures;
    }
    return took;
  };
  // A user's first click comes after the window has settled from its start (its first paints,
  // Wine's own start-up work): so does the benchmark's.
  auto settle = [](Velnor& app) {
    SendMessageW(app.window(), WM_NULL, 0, 0);
    Sleep(300);
  };
  std::vector<std::pair<int, double>> growth;
  {
    Velnor app(ctx);
    if (!app.started()) return 1;
    app.ClickListEntry(ids::kList1, 1);  // the first number alone
    app.Click(ids::kOption0);            // from 0, whatever the settings file said
    settle(app);
    for (int r = 0; r <= reps; ++r) {
      baseline.push_back(FillHiddenList(list, items));
      Pump();
      const double took = clickRenban(app, u"3e4", 30001);
      if (r == 0) firstExpand.push_back(took);
      else expand.push_back(took);
    }
    const std::vector<velnor::String> got = app.ListItems(ids::kUrllist);
    if (got.size() != items.size() || std::wstring(got.back().begin(), got.back().end()) != items.back()) {
      std::printf("FAILED: the items differ from the expected ones\n");
      ++failures;
    }
    // The click over list sizes (the field limits let the expansion reach 30001 at most).
    const struct {
      const char16_t* text1;
      int count;
    } sizes[] = {{u"999", 1000}, {u"3e3", 3001}, {u"1e4", 10001}};
    for (const auto& size : sizes) {
      std::vector<double> clicks;
      for (int r = 0; r <= reps; ++r) {
        const double took = clickRenban(app, size.text1, size.count);
        if (r > 0) clicks.push_back(took);  // the first replaces a list of another size
      }
      growth.emplace_back(size.count, Median(clicks));
    }
  }
  // One first click is one sample: a few more starts, each with its first click.
  for (int s = 1; s < std::min(reps, 5); ++s) {
    Velnor app(ctx);
    if (!app.started()) return 1;
    app.ClickListEntry(ids::kList1, 1);
    app.Click(ids::kOption0);
    settle(app);
    firstExpand.push_back(clickRenban(app, u"3e4", 30001));
  }
  DestroyWindow(host);
  DeleteObject(font);
  baseline.erase(baseline.begin());  // its first fill, like the first click, is reported apart
  const double fill = Median(baseline);
  const double velnorExpand = Median(expand);
  std::printf("expand 30001 items (Text(1) = 3e4), median of %d:\n", reps);
  std::printf("  hidden list box, redrawing off, same strings, in-process: %8.1f ms\n", fill);
  std::printf("  Velnor.exe, click on renban until filled and shown:       %8.1f ms\n", velnorExpand);
  std::printf("  Velnor.exe, first click after start, empty list, median of %zu starts: %.1f ms\n", firstExpand.size(),
              Median(firstExpand));
  std::printf("  ratio to the hidden list box: %.2fx (target at most 1.3x)\n", velnorExpand / fill);
  std::printf("  first click to a later one: %.2fx (target at most 1.5x)\n", Median(firstExpand) / velnorExpand);
  growth.emplace_back(30001, velnorExpand);
  std::printf("Velnor.exe, click on renban over list sizes, median of %d:\n", reps);
  PrintGrowth(growth);

  // 2. Start-up to the first painted window.
  const std::wstring folder = options.workRoot + L"\\startup";
  CreateDirectoryW(options.workRoot.c_str(), nullptr);
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring velnorCopy = folder + L"\\Velnor.exe";
  const std::wstring minimalCopy = folder + L"\\minimal.exe";
  CopyFileW(options.exePath.c_str(), velnorCopy.c_str(), FALSE);
  CopyFileW(minimal.c_str(), minimalCopy.c_str(), FALSE);
  LaunchToFirstPaint(velnorCopy, folder);  // warm the caches once
  LaunchToFirstPaint(minimalCopy, folder);
  std::vector<double> startVelnor, startMinimal;
  for (int r = 0; r < reps; ++r) {
    startVelnor.push_back(LaunchToFirstPaint(velnorCopy, folder));
    startMinimal.push_back(LaunchToFirstPaint(minimalCopy, folder));
  }
  std::printf("start to first painted window, median of %d:\n", reps);
  std::printf("  Velnor.exe:                      %8.1f ms\n", Median(startVelnor));
  std::printf("  plain window, same controls:     %8.1f ms\n", Median(startMinimal));

  // 3. Size of the program file.
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (GetFileAttributesExW(options.exePath.c_str(), GetFileExInfoStandard, &attributes)) {
    std::printf("Velnor.exe: %lu bytes (target under 1 MB)\n", attributes.nFileSizeLow);
  }
  return failures ? 1 : 0;
}
