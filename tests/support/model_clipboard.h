#pragma once
// The desktop's clipboard and clipboard-viewer chain as a model, for tests and benchmarks:
// the main window with its window procedures and its retry timer, other viewer windows that
// behave as a well-written viewer does and record every notice they get, other programs that
// copy text or non-text data, and a clipboard that other programs can hold open.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/command_wiring.h"
#include "clipboard/clipboard_platform.h"
#include "clipboard/clipboard_watcher.h"
#include "model_program.h"
#include "ui/program.h"

namespace velnor::testing {

struct Notice {
  unsigned message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
  bool operator==(const Notice&) const = default;
};

// What the program put on the clipboard, and the state of the watcher at that moment.
struct ClipboardWrite {
  String text;
  bool mainWindowInChain = false;
  bool watcherProcInPlace = false;
};

class ModelClipboard : public ClipboardPlatform {
 public:
  static constexpr uintptr_t kMainWindow = 0x1000;
  static constexpr uintptr_t kMainWindowProc = 0x7100;  // the window's own procedure
  static constexpr uintptr_t kWatcherProc = 0x7200;
  static constexpr intptr_t kMainWindowProcResult = 0x5A;
  static constexpr uintptr_t kOtherOwner = 0x3333;      // the window of a program that copies

  enum class Content { kNothing, kText, kNonText, kUnrenderableText };

  explicit ModelClipboard(Program& program) : program_(program) {}

  // --- What the procedures call.

  uintptr_t SetClipboardViewer() override {
    calls.push_back("SetClipboardViewer");
    const uintptr_t previous = firstViewer_;
    firstViewer_ = kMainWindow;
    Deliver(kMainWindow, kWmDrawClipboard, owner_, 0);
    return previous;
  }

  void ChangeClipboardChain(uintptr_t next) override {
    calls.push_back("ChangeClipboardChain");
    LeaveChain(kMainWindow, next);
  }

  uintptr_t WatcherWindowProc() const override { return kWatcherProc; }

  uintptr_t SetWindowProc(uintptr_t proc) override {
    calls.push_back(proc == kWatcherProc ? "SetWindowProc(watcher)"
                    : proc == kMainWindowProc ? "SetWindowProc(own)"
                                              : "SetWindowProc(?)");
    const uintptr_t previous = mainProc_;
    mainProc_ = proc;
    return previous;
  }

  intptr_t CallWindowProcedure(uintptr_t proc, unsigned message, uintptr_t wParam,
                               intptr_t lParam) override {
    if (proc == kMainWindowProc) {
      mainProcNotices.push_back({message, wParam, lParam});
      return kMainWindowProcResult;
    }
    if (proc == kWatcherProc) return ClipboardWindowProc(program_, message, wParam, lParam);
    ++callsToUnknownProc;
    return 0;
  }

  intptr_t SendChainMessage(uintptr_t window, unsigned message, uintptr_t wParam,
                            intptr_t lParam) override {
    return Deliver(window, message, wParam, lParam);
  }

  bool IsTextAvailable() override {
    return content == Content::kText || content == Content::kUnrenderableText;
  }

  std::optional<String> TryReadText() override {
    if (!Open(1)) return std::nullopt;
    ++reads;
    return content == Content::kText ? text : String();
  }

  bool ReplaceText(const String& newText) override {
    if (!Open(kClipboardOpenTries)) return false;
    writes.push_back({newText, InChain(kMainWindow), mainProc_ == kWatcherProc});
    owner_ = kMainWindow;
    content = Content::kText;
    text = newText;
    NotifyChain();  // on closing the clipboard
    return true;
  }

  void StartRetryTimer(int milliseconds) override {
    calls.push_back("StartRetryTimer");
    retryTimerMilliseconds = milliseconds;
    retryTimerRunning = true;
  }

  void StopRetryTimer() override {
    calls.push_back("StopRetryTimer");
    retryTimerRunning = false;
  }

  void RequestSeriesSearch() override { calls.push_back("RequestSeriesSearch"); }

  // --- The desktop around the program.

  // Another program's window joins the chain; returns its handle.
  uintptr_t AddViewer() {
    const uintptr_t handle = nextHandle_++;
    viewers_[handle].next = firstViewer_;
    firstViewer_ = handle;
    Deliver(handle, kWmDrawClipboard, owner_, 0);
    return handle;
  }

  // That window leaves the chain properly and is gone.
  void RemoveViewer(uintptr_t handle) {
    LeaveChain(handle, viewers_.at(handle).next);
    viewers_.erase(handle);
  }

  // Another program copies text, or data that is not text, or text whose owner has gone
  // (the format is listed, the data cannot be had).
  void CopyText(const String& copied) { Copy(Content::kText, copied); }
  void CopyNonText() { Copy(Content::kNonText, String()); }
  void CopyUnrenderableText() { Copy(Content::kUnrenderableText, String()); }

  // The retry timer goes off once, if it runs: its message reaches the main window.
  bool FireRetryTimer() {
    if (!retryTimerRunning) return false;
    Deliver(kMainWindow, kWmTimer, kClipboardRetryTimerId, 0);
    return true;
  }
  // ...as often as it goes off before it is stopped (at most `limit` times); how often.
  int FireRetryTimerUntilStopped(int limit = 1000) {
    int fired = 0;
    while (fired < limit && FireRetryTimer()) ++fired;
    return fired;
  }

  // A message for the main window, delivered through its current window procedure.
  intptr_t SendToMainWindow(unsigned message, uintptr_t wParam, intptr_t lParam) {
    return Deliver(kMainWindow, message, wParam, lParam);
  }

  // The windows of the chain from the first on, each followed by the window it names as next.
  std::vector<uintptr_t> Chain() const {
    std::vector<uintptr_t> chain;
    for (uintptr_t w = firstViewer_; w != 0 && chain.size() < 100; w = NextOf(w)) {
      chain.push_back(w);
    }
    return chain;
  }
  bool InChain(uintptr_t window) const {
    for (uintptr_t w : Chain()) {
      if (w == window) return true;
    }
    return false;
  }
  // Installed: the main window is in the chain and the watcher is its window procedure.
  bool WatcherInstalled() const { return InChain(kMainWindow) && mainProc_ == kWatcherProc; }
  uintptr_t MainWindowProc() const { return mainProc_; }
  const std::vector<Notice>& NoticesOf(uintptr_t viewer) const {
    return viewers_.at(viewer).notices;
  }

  // --- Set by tests.
  Content content = Content::kNothing;
  String text;
  // The next this many attempts to open the clipboard fail (it is held by another program).
  int openFailures = 0;
  // Runs after each successful opening, e.g. to hold the clipboard from then on.
  std::function<void()> afterOpen;

  // --- The main window's retry timer.
  bool retryTimerRunning = false;
  int retryTimerMilliseconds = 0;

  // --- Recorded.
  std::vector<std::string> calls;         // chain, window-procedure and timer calls, in order
  std::vector<Notice> mainProcNotices;    // what the main window's own procedure got
  std::vector<ClipboardWrite> writes;
  int reads = 0;
  int failedOpens = 0;
  int callsToUnknownProc = 0;
  int messagesToMissingWindows = 0;

 private:
  struct Viewer {
    uintptr_t next = 0;
    std::vector<Notice> notices;
  };

  // Tries to open the clipboard up to `tries` times.
  bool Open(int tries) {
    for (int attempt = 0; attempt < tries; ++attempt) {
      if (openFailures > 0) {
        --openFailures;
        ++failedOpens;
        continue;
      }
      if (afterOpen) afterOpen();
      return true;
    }
    return false;
  }

  void Copy(Content kind, const String& copied) {
    owner_ = kOtherOwner;
    content = kind;
    text = copied;
    NotifyChain();
  }

  void NotifyChain() {
    if (firstViewer_ != 0) Deliver(firstViewer_, kWmDrawClipboard, owner_, 0);
  }

  // The platform's side of ChangeClipboardChain: the first window is simply replaced, any
  // other is announced to the first window, which passes the notice down the chain.
  void LeaveChain(uintptr_t leaving, uintptr_t next) {
    if (firstViewer_ == leaving) {
      firstViewer_ = next;
    } else if (firstViewer_ != 0) {
      Deliver(firstViewer_, kWmChangeCbChain, leaving, static_cast<intptr_t>(next));
    }
  }

  uintptr_t NextOf(uintptr_t window) const {
    if (window == kMainWindow) return program_.nextClipboardViewer;
    auto it = viewers_.find(window);
    return it == viewers_.end() ? 0 : it->second.next;
  }

  intptr_t Deliver(uintptr_t window, unsigned message, uintptr_t wParam, intptr_t lParam) {
    if (window == kMainWindow) return CallWindowProcedure(mainProc_, message, wParam, lParam);
    auto it = viewers_.find(window);
    if (it == viewers_.end()) {
      ++messagesToMissingWindows;
      return 0;
    }
    Viewer& viewer = it->second;
    viewer.notices.push_back({message, wParam, lParam});
    if (message == kWmDrawClipboard && viewer.next != 0) {
      Deliver(viewer.next, message, wParam, lParam);
    } else if (message == kWmChangeCbChain) {
      if (wParam == viewer.next) {
        viewer.next = static_cast<uintptr_t>(lParam);
      } else if (viewer.next != 0) {
        Deliver(viewer.next, message, wParam, lParam);
      }
    }
    return 0;
  }

  Program& program_;
  uintptr_t firstViewer_ = 0;
  uintptr_t mainProc_ = kMainWindowProc;
  uintptr_t owner_ = 0;
  uintptr_t nextHandle_ = 0x2001;
  std::map<uintptr_t, Viewer> viewers_;
};

// The model program with the model clipboard attached.
struct ClipboardModelProgram : ModelProgram {
  ClipboardModelProgram() {
    program.clipboard = &clipboard;
    WireCommands(program);
  }
  ModelClipboard clipboard{program};
};

}  // namespace velnor::testing
