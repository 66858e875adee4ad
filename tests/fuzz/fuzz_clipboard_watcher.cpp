// The clipboard watcher on the model viewer chain, driven by arbitrary clipboard texts and
// chain events: other programs copy text (URLs or not), data that is not text, or text that
// can no longer be rendered; other viewers join and leave; the clipboard is held open for a
// while; the watcher's retry timer goes off; the user types into urltxt; the copy commands
// write the result list; window messages wait in the queue for the next pending-message pass.
// After every step: urltxt holds exactly what the notices and their retries allowed (a text
// beginning with "http://", read while the watcher was installed), a retry is pending exactly
// when the last notice found the clipboard held and the budget is not used up, the chain holds every viewer once and
// every viewer got every notice, and a copy command wrote its list with the watcher out of
// the chain and never took it back into urltxt.
//
// Input: steps separated by NUL bytes, each a kind byte and a text (UTF-8):
//   c text / h text  another program copies the text / "http://" + text
//   n / x            copies data that is not text / text whose owner has gone
//   v / r k          another viewer joins / viewer k leaves
//   d                a WM_DRAWCLIPBOARD reaches the main window directly
//   f k              the next k % 24 attempts to open the clipboard fail (a notice or a retry
//                    makes one attempt a read, a copy command up to kClipboardOpenTries)
//   t                the watcher's retry timer goes off, if it runs
//   w text           the user types the text into urltxt
//   i                the watcher is removed and installed again
//   a text / s k     an item is added to urllist / item k's selection is toggled
//   C / A / S        the Copy button / copy all / copy selected
//   m k              another window message (number from k) reaches the main window
//   q                the next step waits in the queue for the next pending-message pass or
//                    message box (there, steps that change urllist, the watcher or the
//                    clipboard's readiness are left out)
#include <map>
#include <set>
#include <string>
#include <vector>

#include "clipboard/clipboard_watcher.h"
#include "clipboard/copy_commands.h"
#include "fuzz_support.h"
#include "model_clipboard.h"

namespace velnor {
namespace {

using fuzz::Show;
using testing::ModelClipboard;

constexpr size_t kTextLimit = 64;
constexpr int kMaxSteps = 64;

struct Step {
  char kind = 0;
  String text;
  int number = 0;  // the first byte of the text, for the steps that take a number
};

class Desktop {
 public:
  Desktop() {
    InstallClipboardWatcher(w_.program);
    w_.platform.whileMessageOpen = [this](const testing::ShownMessage&) { inBox_ = true; };
    expectedUrl_ = w_.window.urltxt.GetText();
  }

  void Run(const std::vector<Step>& steps) {
    for (size_t i = 0; i < steps.size(); ++i) {
      if (steps[i].kind == 'q' && i + 1 < steps.size()) {
        const Step queued = steps[++i];
        w_.platform.queued.push_back([this, queued] { Do(queued, /*insideCommand=*/true); });
        continue;
      }
      Do(steps[i], false);
      CheckDesktop();
    }
  }

 private:
  ModelClipboard& clip() { return w_.clipboard; }
  ModelListBox& urllist() { return w_.window.urllist; }

  // Whether a copy command gets the clipboard open.
  bool OpensPatiently() const { return w_.clipboard.openFailures < kClipboardOpenTries; }

  // What a read of the watcher does, judged before it (reading uses up the failures to open)
  // from what the clipboard will hold then: takes a URL when the clipboard opens at once,
  // otherwise leaves `retries` to the timer.
  void ExpectRead(int retries, ModelClipboard::Content content, const String& text) {
    retriesLeft_ = 0;
    if (clip().openFailures > 0) {
      retriesLeft_ = retries;
    } else if (content == ModelClipboard::Content::kText && text.size() >= 7 && text.compare(0, 7, u"http://") == 0) {
      expectedUrl_ = text;
    }
  }
  void ExpectRead(int retries) { ExpectRead(retries, clip().content, clip().text); }

  // A notice is about to reach the main window: the watcher reads, if it is in place.
  void ExpectNotice(ModelClipboard::Content content, const String& text) {
    if (clip().MainWindowProc() == ModelClipboard::kWatcherProc) ExpectRead(kClipboardReadRetries, content, text);
  }
  void ExpectNotice() { ExpectNotice(clip().content, clip().text); }

  void OtherProgramCopies(ModelClipboard::Content content, const String& text, bool insideCommand) {
    // Predict from the state before the copy: who is in the chain, and whether it opens.
    // Inside a copy command the watcher is out of the chain at its pending-message pass and
    // back in place while its message box is open.
    const bool installed = clip().WatcherInstalled();
    const bool shouldBeInstalled = !insideCommand || inBox_;
    FUZZ_CHECK(installed == shouldBeInstalled, installed ? "the watcher is in the chain during a copy"
                                                         : "the watcher is out of the chain");
    std::vector<uintptr_t> chain = clip().Chain();
    if (installed) ExpectNotice(content, text);
    switch (content) {
      case ModelClipboard::Content::kText: clip().CopyText(text); break;
      case ModelClipboard::Content::kNonText: clip().CopyNonText(); break;
      default: clip().CopyUnrenderableText(); break;
    }
    for (uintptr_t v : chain) {
      if (v != ModelClipboard::kMainWindow) ++expectedNotices_[v];
    }
  }

  void Do(const Step& s, bool insideCommand) {
    switch (s.kind) {
      case 'c': OtherProgramCopies(ModelClipboard::Content::kText, s.text, insideCommand); break;
      case 'h': OtherProgramCopies(ModelClipboard::Content::kText, u"http://" + s.text, insideCommand); break;
      case 'n': OtherProgramCopies(ModelClipboard::Content::kNonText, String(), insideCommand); break;
      case 'x': OtherProgramCopies(ModelClipboard::Content::kUnrenderableText, String(), insideCommand); break;
      case 'v': {
        if (viewers_.size() >= 8) break;
        // The new viewer gets the notice that joining sends and passes it down the chain.
        if (clip().WatcherInstalled()) ExpectNotice();
        const uintptr_t viewer = clip().AddViewer();
        viewers_.push_back(viewer);
        for (uintptr_t v : clip().Chain()) {
          if (v != ModelClipboard::kMainWindow) ++expectedNotices_[v];
        }
        break;
      }
      case 'r':
        if (!viewers_.empty()) {
          const size_t k = static_cast<size_t>(s.number) % viewers_.size();
          clip().RemoveViewer(viewers_[k]);
          expectedNotices_.erase(viewers_[k]);
          viewers_.erase(viewers_.begin() + static_cast<std::ptrdiff_t>(k));
        }
        break;
      case 'd': {
        // Only the viewers after the main window get the notice it passes on.
        bool after = false;
        for (uintptr_t v : clip().Chain()) {
          if (after) ++expectedNotices_[v];
          after = after || v == ModelClipboard::kMainWindow;
        }
        ExpectNotice();
        clip().SendToMainWindow(kWmDrawClipboard, 0, 0);
        break;
      }
      case 't': {
        const int left = retriesLeft_;
        if (left > 0) ExpectRead(left - 1);
        FUZZ_CHECK(clip().FireRetryTimer() == (left > 0), "the retry timer ran without a retry pending");
        break;
      }
      case 'f':
        if (!insideCommand) clip().openFailures = s.number % 24;
        break;
      case 'w':
        w_.window.urltxt.SetText(s.text);
        expectedUrl_ = s.text;
        break;
      case 'i':
        if (insideCommand) break;
        retriesLeft_ = 0;  // the removal gives a pending retry up
        RemoveClipboardWatcher(w_.program);
        InstallClipboardWatcher(w_.program);  // the notice of joining reaches the window's own procedure
        break;
      case 'a':
        if (!insideCommand && urllist().Count() < 40) urllist().AddItem(s.text);
        break;
      case 's':
        if (!insideCommand && urllist().Count() > 0) {
          const int k = s.number % urllist().Count();
          urllist().SetSelected(k, !urllist().Selected(k));
        }
        break;
      case 'C':
      case 'A':
      case 'S':
        if (!insideCommand) Copy(s.kind);
        break;
      case 'm': {
        const auto message = static_cast<unsigned>(s.number) + 0x0100;  // never a chain notice
        const size_t before = clip().mainProcNotices.size();
        const intptr_t result = clip().SendToMainWindow(message, 7, 9);
        FUZZ_CHECK(result == ModelClipboard::kMainWindowProcResult, "the window's own result was lost");
        FUZZ_CHECK(clip().mainProcNotices.size() == before + 1 && clip().mainProcNotices.back().message == message,
                   "a window message did not reach the window's own procedure");
        break;
      }
      default: break;
    }
  }

  void Copy(char kind) {
    const std::vector<String> items = urllist().Items();
    std::vector<bool> selected;
    bool any = false;
    for (int i = 0; i < urllist().Count(); ++i) {
      selected.push_back(urllist().Selected(i));
      any = any || selected.back();
    }
    const bool all = kind == 'A' || (kind == 'C' && !any);
    String text;
    for (size_t i = 0; i < items.size(); ++i) {
      if (all || selected[i]) text += items[i] + u"\r\n";
    }
    const bool writes = !items.empty() && (all || any);
    const bool opens = OpensPatiently();
    // Every command takes the watcher out (giving up a pending retry), except a copy of all
    // items on an empty list.
    if (kind == 'S' || !items.empty()) retriesLeft_ = 0;
    const size_t writesBefore = clip().writes.size();
    const size_t messagesBefore = w_.platform.messages.size();

    if (kind == 'A') CopyAllItems(w_.program);
    if (kind == 'S') CopySelectedItems(w_.program);
    if (kind == 'C') CopyCommand(w_.program);
    inBox_ = false;
    // Viewers that joined or left at the pending-message pass did so before the write.
    const std::vector<uintptr_t> viewers = OtherViewers();

    const std::string where = std::string("copy ") + kind + " of " + std::to_string(items.size()) + " items";
    FUZZ_CHECK(clip().writes.size() == writesBefore + (writes && opens ? 1 : 0), where);
    if (writes && opens) {
      const testing::ClipboardWrite& write = clip().writes.back();
      FUZZ_CHECK(write.text == text, where + ": wrote " + Show(write.text) + " expected " + Show(text));
      FUZZ_CHECK(!write.mainWindowInChain && !write.watcherProcInPlace, where + ": written with the watcher in place");
      for (int i = 0; i < urllist().Count(); ++i) FUZZ_CHECK(!urllist().Selected(i), where + ": selection left");
      // The program's own write is a change like any other for the other viewers.
      for (uintptr_t v : viewers) ++expectedNotices_[v];
    } else {
      for (int i = 0; i < urllist().Count(); ++i) {
        FUZZ_CHECK(urllist().Selected(i) == selected[static_cast<size_t>(i)], where + ": selection changed");
      }
    }
    const size_t messages = w_.platform.messages.size() - messagesBefore;
    FUZZ_CHECK(messages == (writes && opens ? 0u : 1u), where + ": " + std::to_string(messages) + " messages");
    if (messages == 1) {
      const String& shown = w_.platform.messages.back().text;
      const String expected = items.empty() ? kListEmptyMessage : !writes ? kNothingSelectedMessage : kClipboardBusyMessage;
      FUZZ_CHECK(shown == expected, where + ": message " + Show(shown));
    }
    FUZZ_CHECK(urllist().Visible() && urllist().CurrentMousePointer() == kPointerDefault, where + ": list left busy");
  }

  std::vector<uintptr_t> OtherViewers() {
    std::vector<uintptr_t> others;
    for (uintptr_t v : clip().Chain()) {
      if (v != ModelClipboard::kMainWindow) others.push_back(v);
    }
    return others;
  }

  void CheckDesktop() {
    FUZZ_CHECK(w_.window.urltxt.GetText() == expectedUrl_,
               "urltxt " + Show(w_.window.urltxt.GetText()) + " expected " + Show(expectedUrl_));
    FUZZ_CHECK(clip().WatcherInstalled(), "the watcher is not installed");
    const std::vector<uintptr_t> chain = clip().Chain();
    FUZZ_CHECK(chain.size() == viewers_.size() + 1, "the chain holds " + std::to_string(chain.size()) + " windows");
    std::set<uintptr_t> seen(chain.begin(), chain.end());
    FUZZ_CHECK(seen.size() == chain.size() && seen.count(ModelClipboard::kMainWindow) == 1, "the chain is broken");
    for (uintptr_t v : viewers_) {
      FUZZ_CHECK(seen.count(v) == 1, "a viewer fell out of the chain");
      size_t draws = 0;
      for (const testing::Notice& n : clip().NoticesOf(v)) draws += n.message == kWmDrawClipboard ? 1 : 0;
      FUZZ_CHECK(draws == static_cast<size_t>(expectedNotices_[v]),
                 "a viewer got " + std::to_string(draws) + " notices, expected " + std::to_string(expectedNotices_[v]));
    }
    FUZZ_CHECK(clip().messagesToMissingWindows == 0 && clip().callsToUnknownProc == 0, "a message went astray");
    FUZZ_CHECK(clip().retryTimerRunning == (retriesLeft_ > 0) && w_.program.clipboardRetriesLeft == retriesLeft_,
               "retries pending: " + std::to_string(w_.program.clipboardRetriesLeft) + ", expected " +
                   std::to_string(retriesLeft_) + (clip().retryTimerRunning ? ", timer running" : ""));
  }

  testing::ClipboardModelProgram w_;
  String expectedUrl_;
  std::vector<uintptr_t> viewers_;
  std::map<uintptr_t, int> expectedNotices_;
  int retriesLeft_ = 0;  // reads still due from the retry timer
  bool inBox_ = false;   // a copy command's message box is open
};

}  // namespace
}  // namespace velnor

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velnor;
  std::vector<Step> steps;
  for (std::string_view field : fuzz::Fields(data, size, '\0')) {
    if (field.empty() || steps.size() >= kMaxSteps) continue;
    const std::string_view payload = field.substr(1);
    steps.push_back({field[0], fuzz::Text(payload, kTextLimit), payload.empty() ? 0 : static_cast<unsigned char>(payload[0])});
  }
  Desktop desktop;
  desktop.Run(steps);
  return 0;
}
