// Speed of copying the result list under Wine (or on Windows), measured in one run:
//  1. CopyAllItems on the program's own window in this process, step by step (where the time
//     of a click goes), and over 1000, 3001, 10001, 30001 and 32767 items (it must grow
//     linearly);
//  2. a click on Copy with nothing selected (the whole list) on Velnor.exe holding 30001
//     items, against reading the same 30001 items out of a list box in this process, building
//     the same text and putting it on the clipboard, and against building the text from
//     memory and putting it on the clipboard;
//  3. the same click on 1000, 3001 and 10001 items.
// velnor_copybench --exe Velnor.exe --work DIR [--reps N]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "clipboard/clipboard_platform.h"
#include "clipboard/clipboard_watcher.h"
#include "clipboard/copy_commands.h"
#include "driver.h"
#include "bench_timing.h"
#include "win32/control_ids.h"
#include "win32/main_window.h"

namespace velnor::e2e {
namespace {

const wchar_t kUrl[] = L"http://example.com/img/";

// The items of an expansion of the first number alone from 0 to last (three digits at least).
std::vector<std::wstring> ExpectedItems(int last) {
  std::vector<std::wstring> items;
  for (int n = 0; n <= last; ++n) {
    std::wstring digits = std::to_wstring(n);
    while (digits.size() < 3) digits.insert(digits.begin(), L'0');
    items.push_back(kUrl + digits + L".jpg");
  }
  return items;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

HWND FilledList(HWND host, const std::vector<std::wstring>& items) {
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"ListBox", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT,
                              8, 100, 553, 124, host, nullptr, nullptr, nullptr);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (const auto& item : items) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  return list;
}

bool PutOnClipboard(HWND owner, const std::wstring& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (memory == nullptr) return false;
  memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (OpenClipboard(owner)) {
      const bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      if (!placed) GlobalFree(memory);
      CloseClipboard();
      return placed;
    }
    Sleep(10);
  }
  GlobalFree(memory);
  return false;
}

// What any program that copies a list box does at the least: every item read out of the
// list box, the text built, the clipboard written.
double DirectCopy(HWND owner, HWND list, std::wstring& text) {
  const double start = Now();
  text.clear();
  const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  std::wstring item;
  for (int i = 0; i < count; ++i) {
    const auto length = static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0));
    item.resize(length + 1);
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    text.append(item.data(), length);
    text += L"\r\n";
  }
  PutOnClipboard(owner, text);
  return Now() - start;
}

// The same text from memory: building it and writing the clipboard alone.
double DirectCopyFromMemory(HWND owner, const std::vector<std::wstring>& items) {
  const double start = Now();
  std::wstring text;
  for (const auto& item : items) {
    text += item;
    text += L"\r\n";
  }
  PutOnClipboard(owner, text);
  return Now() - start;
}

// Fills urllist as the user does: second pattern sample, start 0, Text(1) as given.
bool Expand(Velnor& app, const String& text1, size_t expectedCount) {
  app.ClickListEntry(ids::kList1, 1);
  app.SetText(ids::kUrltxt, FromUtf8("http://example.com/img/"));
  SendMessageW(app.ComboEdit(ids::kCombo1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L".jpg"));
  app.SetText(ids::kText1, text1);
  SendMessageW(app.Control(ids::kRenban), BM_CLICK, 0, 0);
  return static_cast<size_t>(SendMessageW(app.Control(ids::kUrllist), LB_GETCOUNT, 0, 0)) == expectedCount;
}

// The direct copies put a text beginning with "http://" on the clipboard, which Velnor takes
// into urltxt: a million characters, read, set and painted, which takes a while. Wait for
// that and put a short text back outside the measured times, so that neither the work nor
// a pending paint of the long text overlaps a measurement.
void WaitForVelnor(Velnor& app) {
  SendMessageW(app.window(), WM_NULL, 0, 0);
  app.SetText(ids::kUrltxt, u"http://example.com/img/");
  SendMessageW(app.window(), WM_NULL, 0, 0);
  Sleep(100);
}

double ClickCopy(Velnor& app) {
  const double start = Now();
  SendMessageW(app.Control(ids::kCopy), BM_CLICK, 0, 0);
  return Now() - start;
}

std::wstring ClipboardWide() {
  const std::optional<String> text = ReadClipboardText();
  return text ? std::wstring(text->begin(), text->end()) : L"(no text)";
}

void FillUrllist(velnor::ListBox& list, const std::vector<std::wstring>& items) {
  list.Clear();
  list.SetVisible(false);
  list.ReserveItems(static_cast<int>(items.size()));
  for (const auto& item : items) list.AddItem(String(item.begin(), item.end()));
  list.SetVisible(true);
  Pump();
}

// CopyAllItems on the program's own window created in this process (before Velnor.exe
// starts: a second instance would be refused): its steps on 30001 items, then the whole
// command over list sizes.
void TimeCopySteps(int reps) {
  velnor::MainWindow window;
  if (window.Create(GetModuleHandleW(nullptr)) != velnor::MainWindow::Created::kReady) return;
  window.Show(SW_SHOWNA);
  Pump();
  velnor::Program& p = window.program();
  velnor::ListBox& list = *p.form.urllist;
  FillUrllist(list, ExpectedItems(30000));
  String text;
  struct Step {
    const char* name;
    std::function<void()> run;
    std::vector<double> times;
  };
  std::vector<Step> steps = {
      {"RemoveClipboardWatcher", [&] { velnor::RemoveClipboardWatcher(p); }, {}},
      {"select every item", [&] { list.SetAllSelected(true); }, {}},
      {"hourglass", [&] { list.SetMousePointer(velnor::kPointerHourglass); }, {}},
      {"ProcessPendingMessages", [&] { p.platform->ProcessPendingMessages(); }, {}},
      {"hide", [&] { list.SetVisible(false); }, {}},
      {"build the text", [&] {
         text.clear();
         text.shrink_to_fit();  // as in the command, whose text is new each time
         velnor::AppendSelectedItems(list, text);
       }, {}},
      {"show", [&] { list.SetVisible(true); }, {}},
      {"clipboard written", [&] { p.clipboard->ReplaceText(text); }, {}},
      {"default pointer", [&] { list.SetMousePointer(velnor::kPointerDefault); }, {}},
      {"clear the selection", [&] { list.SetAllSelected(false); }, {}},
      {"InstallClipboardWatcher", [&] { velnor::InstallClipboardWatcher(p); }, {}},
  };
  std::vector<double> whole;
  for (int r = 0; r < reps; ++r) {
    for (Step& step : steps) {
      const double start = Now();
      step.run();
      step.times.push_back(Now() - start);
    }
    Pump();
    const double start = Now();
    velnor::CopyAllItems(p);
    whole.push_back(Now() - start);
    Pump();
  }
  std::printf("CopyAllItems on 30001 items in this process, median of %d: %.1f ms; its steps:\n", reps,
              Median(whole));
  for (Step& step : steps) std::printf("  %-24s %8.2f ms\n", step.name, Median(step.times));

  std::printf("CopyAllItems in this process over list sizes, median of %d:\n", reps);
  std::vector<std::pair<int, double>> growth;
  for (int count : {1000, 3001, 10001, 30001, 32767}) {
    FillUrllist(list, ExpectedItems(count - 1));
    std::vector<double> times;
    for (int r = 0; r <= reps; ++r) {  // the first one apart, as for the clicks
      const double start = Now();
      velnor::CopyAllItems(p);
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
  Options options;
  int reps = 7;
  for (int i = 1; i + 1 < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--exe") options.exePath = WindowsPath(argv[++i]);
    else if (arg == L"--work") options.workRoot = WindowsPath(argv[++i]);
    else if (arg == L"--reps") reps = std::max(1, _wtoi(argv[++i]));
  }
  if (options.exePath.empty() || options.workRoot.empty()) {
    std::printf("usage: velnor_copybench --exe Velnor.exe --work DIR [--reps N]\n");
    return 2;
  }
  int failures = 0;
  TimeCopySteps(reps);
  HWND host = CreateWindowExW(0, L"Static", L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 300, nullptr, nullptr, nullptr, nullptr);
  const std::vector<std::wstring> bigItems = ExpectedItems(30000);
  HWND bigList = FilledList(host, bigItems);
  ShowWindow(host, SW_SHOWNA);
  Pump();

  Context ctx(options, "copybench");
  Velnor app(ctx);
  if (!app.started()) return 1;

  // 30001 items. The three are measured in turns, so that a busy machine slows them alike;
  // the first click is reported apart.
  if (!Expand(app, u"3e4", bigItems.size())) {
    std::printf("FAILED: urllist does not hold 30001 items\n");
    return 1;
  }
  std::vector<double> velnorBig, direct, fromMemory;
  double firstClick = 0;
  std::wstring directText;
  for (int r = 0; r <= reps; ++r) {
    const double took = ClickCopy(app);
    if (r == 0) {
      firstClick = took;
      const std::wstring copied = ClipboardWide();
      DirectCopy(host, bigList, directText);
      WaitForVelnor(app);
      if (copied != directText) {
        std::printf("FAILED: Velnor copied %zu characters, not the %zu expected\n", copied.size(), directText.size());
        ++failures;
      }
      if (SendMessageW(app.Control(velnor::ids::kUrllist), LB_GETSELCOUNT, 0, 0) != 0) {
        std::printf("FAILED: items are still selected after the copy\n");
        ++failures;
      }
      continue;
    }
    velnorBig.push_back(took);
    direct.push_back(DirectCopy(host, bigList, directText));
    WaitForVelnor(app);
    fromMemory.push_back(DirectCopyFromMemory(host, bigItems));
    WaitForVelnor(app);
    Pump();
  }
  DestroyWindow(host);

  const double big = Median(velnorBig);
  const double base = Median(direct);
  const double memory = Median(fromMemory);
  std::printf("copy the whole list of 30001 items (%zu characters), median of %d:\n", directText.size(), reps);
  std::printf("  in-process: items read from a list box, text built, clipboard written: %8.1f ms\n", base);
  std::printf("  in-process: text built from memory, clipboard written:                 %8.1f ms\n", memory);
  std::printf("  Velnor.exe, click on Copy, nothing selected:                           %8.1f ms (first click %.1f ms)\n",
              big, firstClick);
  std::printf("  ratio to the list box read: %.2fx (target at most 0.75x)\n", big / base);
  std::printf("  ratio to the text from memory: %.2fx (target at most 2.5x)\n", big / memory);

  // The click over list sizes (the field limits let the expansion reach 30001 at most).
  std::printf("Velnor.exe, click on Copy over list sizes, median of %d:\n", reps);
  const struct {
    const char16_t* text1;
    int count;
  } sizes[] = {{u"999", 1000}, {u"3e3", 3001}, {u"1e4", 10001}, {u"3e4", 30001}};
  std::vector<std::pair<int, double>> growth;
  for (const auto& size : sizes) {
    if (!Expand(app, size.text1, static_cast<size_t>(size.count))) {
      std::printf("FAILED: urllist does not hold %d items\n", size.count);
      ++failures;
      continue;
    }
    std::vector<double> clicks;
    for (int r = 0; r <= reps; ++r) {
      const double took = ClickCopy(app);
      if (r > 0) clicks.push_back(took);
    }
    growth.emplace_back(size.count, Median(clicks));
  }
  PrintGrowth(growth);
  return failures ? 1 : 0;
}
