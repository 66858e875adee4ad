// Velnor's download job timed through its window (scripts/bench-download.sh): urllist filled
// with a series, the download window opened on it, and the time from a press of 開始 to the
// summary in the status line. Meanwhile both windows are asked WM_NULL every 20 ms (the
// longest answer is printed) and the program's working set is sampled (against the idle
// window's).
// It also prints how long the command took to open the window on the list (--last 3e4 with
// --open-only: on 30001 items).
// With --shot S it leaves the job running S seconds after 開始 and ends without closing the
// program, for a picture of the window during a job (scripts/screenshot.sh --download).
// With --search URL it times 「続きを探す」 instead: the URL split into the fields, then the
// search through its window until the list ends where the series does (--last N: its last
// item), with --connections N kept in the settings file the program starts with.
//   velnor_dlbench --exe Velnor.exe --work DIR --url URL --last N --ext .bin --folder DIR --connections N
//                  [--shot S | --open-only]
//   velnor_dlbench --exe Velnor.exe --work DIR --search URL --last N --connections N
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "bench_timing.h"
#include "download_driver.h"
#include "win32/control_ids.h"

namespace velnor::e2e {
namespace {

SIZE_T WorkingSet(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.WorkingSetSize : 0;
}

struct Watch {
  HWND windows[2];  // a null one: the search window, looked for until it is found
  HANDLE process;
  DWORD intervalMs = 20;
  std::atomic<bool> stop{false};
  double longestMs = 0;
  SIZE_T peak = 0;
};

// Every 20 ms a question to each window, every 100 ms the working set: often enough to see
// any pause of the window's thread that matters, and seldom enough that the watching (each
// question and each reading goes through wineserver) does not slow the job it watches on a
// machine of two cores.
DWORD WINAPI WatchJob(LPVOID parameter) {
  auto& watch = *static_cast<Watch*>(parameter);
  for (int round = 0; !watch.stop; ++round) {
    for (HWND& window : watch.windows) {
      if (!window) window = FindWindowW(velnor::ids::kSearchWindowClass, nullptr);
      if (!window) continue;
      const double before = Now();
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
      watch.longestMs = std::max(watch.longestMs, Now() - before);
    }
    if (round % 5 == 0) watch.peak = std::max(watch.peak, WorkingSet(watch.process));
    Sleep(watch.intervalMs);
  }
  watch.peak = std::max(watch.peak, WorkingSet(watch.process));
  return 0;
}

// The search from one URL; returns the process's exit code.
int TimeSearch(Context& ctx, const velnor::String& url, int last, int connections) {
  WriteFileContent(CaseFolder(ctx) + L"\\Velnor.ini",
                   "[\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93]\r\nDLCONNECTIONS=" + std::to_string(connections) + "\r\n");
  Velnor app(ctx, SettingsFile::kKeep);
  if (!app.started()) return 1;
  app.SetText(velnor::ids::kUrltxt, url);
  if (!app.Command(velnor::ids::kEditSplitUrl).empty()) return 1;
  // The search lasts a tenth of a second: the watcher asks every 50 ms (still seeing any
  // pause that matters), and the command is sent straight, not by the driver's helper that
  // looks for message boxes every 10 ms; both would take the two cores from what is timed.
  Watch watch{{app.window(), nullptr}, app.process(), 50};
  HANDLE watcher = CreateThread(nullptr, 0, WatchJob, &watch, 0, nullptr);
  DWORD_PTR ignored = 0;
  const double start = Now();
  const bool answered = SendMessageTimeoutW(app.window(), WM_COMMAND, MAKEWPARAM(velnor::ids::kEditFindSeries, 0), 0,
                                            SMTO_NORMAL, 60000, &ignored) != 0;
  const double took = Now() - start;
  watch.stop = true;
  WaitForSingleObject(watcher, INFINITE);
  CloseHandle(watcher);
  // A message box would have held the command until the time-out: counted as one.
  const size_t boxes = answered ? 0 : 1;
  const std::vector<velnor::String> items = app.ListItems(velnor::ids::kUrllist);
  const velnor::String lastItem = items.empty() ? velnor::String() : items.back();
  std::printf("velnor search to %d, %d connections %.3f s, longest WM_NULL %.1f ms, last item %s, %zu boxes\n", last,
              connections, took / 1000.0, watch.longestMs, velnor::ToUtf8(lastItem).c_str(), boxes);
  app.CloseAnswering(CloseBy::kCloseBox);
  return boxes == 0 && !items.empty() ? 0 : 1;
}

}  // namespace
}  // namespace velnor::e2e

int wmain(int argc, wchar_t** argv) {
  using namespace velnor::e2e;
  Options options;
  velnor::String url, extension, lastTyped;
  std::wstring folder;
  int last = 0, connections = 2, shot = 0;
  bool openOnly = false;
  velnor::String search;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i], value = i + 1 < argc ? argv[i + 1] : L"";
    if (arg == L"--open-only") {
      openOnly = true;
      continue;
    }
    ++i;
    if (arg == L"--exe") options.exePath = WindowsPath(value);
    else if (arg == L"--work") options.workRoot = WindowsPath(value);
    else if (arg == L"--url") url = ToString(value);
    else if (arg == L"--last") last = _wtoi(value.c_str()), lastTyped = ToString(value);
    else if (arg == L"--ext") extension = ToString(value);
    else if (arg == L"--folder") folder = WindowsPath(value);
    else if (arg == L"--connections") connections = _wtoi(value.c_str());
    else if (arg == L"--shot") shot = _wtoi(value.c_str());
    else if (arg == L"--search") search = ToString(value);
  }
  Context ctx(options, "dlbench");
  if (!search.empty()) return TimeSearch(ctx, search, last, connections);
  Velnor app(ctx);
  if (!app.started() || !app.ExpandNumbers(url, lastTyped, extension).empty()) return 1;
  if (lastTyped.find(u'e') != velnor::String::npos) last = static_cast<int>(std::stod(velnor::ToUtf8(lastTyped)));
  const double opening = Now();
  app.Command(velnor::ids::kFileDownload);
  const double opened = Now() - opening;
  DownloadWindow dl(app);
  if (!dl.window()) return 1;
  std::printf("the window opened on %d items in %.1f ms\n", last + 1, opened);
  if (openOnly) {
    app.CloseAnswering(CloseBy::kCloseBox);
    return 0;
  }
  dl.SetFolder(folder);
  dl.SetConnections(connections);
  Sleep(300);
  const SIZE_T idle = WorkingSet(app.process());

  if (shot > 0) {
    dl.Press(velnor::ids::kDlStart);
    Sleep(static_cast<DWORD>(shot) * 1000);
    ExitProcess(0);  // the program stays as it is, job and all
  }

  Watch watch{{app.window(), dl.window()}, app.process()};
  HANDLE watcher = CreateThread(nullptr, 0, WatchJob, &watch, 0, nullptr);
  const double start = Now();
  dl.Press(velnor::ids::kDlStart);
  WaitUntil([&] { return dl.Finished(); }, 600000);
  const double took = Now() - start;
  watch.stop = true;
  WaitForSingleObject(watcher, INFINITE);
  CloseHandle(watcher);
  std::printf("velnor %d files %d connections %.3f s, longest WM_NULL %.1f ms, working set idle %.1f MB peak %.1f MB\n",
              last + 1, connections, took / 1000.0, watch.longestMs, static_cast<double>(idle) / 1048576.0,
              static_cast<double>(watch.peak) / 1048576.0);
  const velnor::String status = dl.Text(velnor::ids::kDlStatus);
  std::printf("status %s\n", velnor::ToUtf8(status).c_str());
  app.CloseAnswering(CloseBy::kCloseBox);
  return ctx.failures() == 0 && status.starts_with(u"完了") ? 0 : 1;
}
