// The clipboard watcher on the model chain: which copied texts reach urltxt, how the chain is
// kept intact, and what reaches the main window's own procedure.
#include <gtest/gtest.h>

#include <algorithm>

#include "clipboard/clipboard_watcher.h"
#include "model_clipboard.h"
#include "ui/input_fields.h"

namespace velnor::testing {
namespace {

using Content = ModelClipboard::Content;
constexpr uintptr_t kMain = ModelClipboard::kMainWindow;
constexpr unsigned kWmCommand = 0x0111;
constexpr unsigned kWmPaint = 0x000F;

struct Watcher : ClipboardModelProgram {
  String Url() const { return window.urltxt.GetText(); }
};

String WithNul(const char16_t* before, const char16_t* after) {
  String text(before);
  text += u'\0';
  text += after;
  return text;
}

TEST(ClipboardWatcher, TakesExactlyTheTextsThatBeginWithHttp) {
  const String kBefore = u"typed by the user";
  struct Case {
    const char* name;
    String copied;
    bool taken;
    bool takenWithHttps;  // with the Edit menu's https:// item on
  };
  const Case cases[] = {
      {"url", u"http://example.com/img/a01.jpg", true, true},
      {"scheme alone", u"http://", true, true},
      {"secure scheme", u"https://example.com/", false, true},
      {"capitals", u"HTTP://example.com/", false, false},
      {"mixed case", u"Http://example.com/", false, false},
      {"leading blank", u" http://example.com/", false, false},
      {"leading tab", u"\thttp://example.com/", false, false},
      {"leading line break", u"\r\nhttp://example.com/", false, false},
      {"one slash", u"http:/example.com", false, false},
      {"six characters", u"http:/", false, false},
      {"empty", u"", false, false},
      {"full-width scheme", u"ｈｔｔｐ://example.com/", false, false},
      {"several lines", u"http://a.example/1.jpg\r\nhttp://a.example/2.jpg\r\n", true, true},
      {"second line only", u"see\r\nhttp://a.example/1.jpg", false, false},
      {"trailing blanks kept", u"http://a.example/ \t ", true, true},
      {"control characters", u"http://a\x01\x1b\x7f" u"b", true, true},
      {"NUL after the scheme", WithNul(u"http://a", u"rest"), true, true},
      {"NUL inside the scheme", WithNul(u"http:/", u"/a"), false, false},
      {"non-ASCII path", u"http://例え.jp/画像/ü.jpg", true, true},
      {"secure scheme alone", u"https://", false, true},
      {"secure scheme in capitals", u"HTTPS://example.com/", false, false},
      {"secure scheme, one slash", u"https:/example.com/", false, false},
  };
  for (const Case& c : cases) {
    for (const bool https : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (https ? ", https on" : ""));
      Watcher w;
      w.program.copyHttps = https;
      InstallClipboardWatcher(w.program);
      w.window.urltxt.SetText(kBefore);
      w.clipboard.CopyText(c.copied);
      EXPECT_EQ(w.Url(), (https ? c.takenWithHttps : c.taken) ? c.copied : kBefore);
    }
  }
}

TEST(ClipboardWatcher, UrlReplacesWhateverUrltxtHolds) {
  const String kUrl = u"http://example.com/a.jpg";
  for (const String& before : {kUrlPrompt, String(u"abc"), String(), String(u"http://old/")}) {
    Watcher w;
    InstallClipboardWatcher(w.program);
    w.window.urltxt.SetText(before);
    w.clipboard.CopyText(kUrl);
    EXPECT_EQ(w.Url(), kUrl);
  }
}

TEST(ClipboardWatcher, WhatIsNotReadableTextLeavesUrltxtAlone) {
  struct Case {
    const char* name;
    std::function<void(ModelClipboard&)> copy;
  };
  const Case cases[] = {
      {"image", [](ModelClipboard& c) { c.CopyNonText(); }},
      {"owner gone", [](ModelClipboard& c) { c.CopyUnrenderableText(); }},
      {"held open", [](ModelClipboard& c) {
         c.openFailures = 1000;
         c.CopyText(u"http://held.example/");
       }},
      {"held open after the first read", [](ModelClipboard& c) {
         c.afterOpen = [&c] {
           c.openFailures = 1000;
           c.afterOpen = nullptr;
         };
         c.CopyText(u"http://held.example/");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Watcher w;
    const uintptr_t earlier = w.clipboard.AddViewer();
    InstallClipboardWatcher(w.program);
    w.window.urltxt.SetText(u"kept");
    w.clipboard.mainProcNotices.clear();
    const size_t before = w.clipboard.NoticesOf(earlier).size();
    c.copy(w.clipboard);
    EXPECT_EQ(w.Url(), u"kept");
    // The notice still goes down the chain and to the window's own procedure.
    EXPECT_EQ(w.clipboard.NoticesOf(earlier).size(), before + 1);
    EXPECT_EQ(w.clipboard.mainProcNotices.size(), 1u);
  }
}

// A notice that finds the clipboard held reads once, and then from the retry timer until the
// read goes through or the retries are used up.
TEST(ClipboardWatcher, HeldClipboardIsReadAgainFromTheTimer) {
  const String kUrl = u"http://late.example/";
  constexpr int kBudget = kClipboardReadRetries;
  struct Case {
    const char* name;
    String copied;
    int openFailures;         // attempts that find the clipboard held
    bool heldAfterFirstRead;  // held again between the two reads of one attempt
    int ticks;                // the timer goes off this often before it stops
    bool taken;
  };
  const Case cases[] = {
      {"free at the notice", kUrl, 0, false, 0, true},
      {"free on the third try", kUrl, 2, false, 2, true},
      {"free on the last retry", kUrl, kBudget, false, kBudget, true},
      {"held longer: given up", kUrl, kBudget + 1, false, kBudget, false},
      {"held for good: given up", kUrl, 1000, false, kBudget, false},
      {"not a URL once free", u"https://late.example/", 2, false, 2, false},
      {"held again between the two reads", kUrl, 0, true, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Watcher w;
    InstallClipboardWatcher(w.program);
    w.window.urltxt.SetText(u"kept");
    w.clipboard.openFailures = c.openFailures;
    if (c.heldAfterFirstRead) {
      w.clipboard.afterOpen = [&w] {
        w.clipboard.openFailures = 1;
        w.clipboard.afterOpen = nullptr;
      };
    }
    w.clipboard.CopyText(c.copied);
    // Inside the notice each read opens the clipboard once, without waiting.
    EXPECT_EQ(w.clipboard.failedOpens, std::min(c.openFailures, 1) + (c.heldAfterFirstRead ? 1 : 0));
    EXPECT_EQ(w.clipboard.retryTimerRunning, c.ticks > 0);
    EXPECT_EQ(w.clipboard.FireRetryTimerUntilStopped(), c.ticks);
    EXPECT_EQ(w.Url(), c.taken ? c.copied : u"kept");
    EXPECT_EQ(w.clipboard.retryTimerMilliseconds, c.ticks > 0 ? kClipboardReadRetryMilliseconds : 0);
    EXPECT_FALSE(w.clipboard.retryTimerRunning);
    EXPECT_EQ(w.program.clipboardRetriesLeft, 0);
  }
}

// The chain goes on at once: the viewer after the program and the window's own procedure get
// the notice before the retry reads anything.
TEST(ClipboardWatcher, HeldClipboardHoldsUpNeitherTheChainNorTheWindow) {
  Watcher w;
  const uintptr_t earlier = w.clipboard.AddViewer();
  InstallClipboardWatcher(w.program);
  w.window.urltxt.SetText(u"kept");
  w.clipboard.mainProcNotices.clear();
  w.clipboard.calls.clear();
  const size_t before = w.clipboard.NoticesOf(earlier).size();
  w.clipboard.openFailures = 2;
  w.clipboard.CopyText(u"http://late.example/");

  EXPECT_EQ(w.clipboard.NoticesOf(earlier).size(), before + 1);
  ASSERT_EQ(w.clipboard.mainProcNotices.size(), 1u);
  EXPECT_EQ(w.clipboard.mainProcNotices[0].message, kWmDrawClipboard);
  EXPECT_EQ(w.clipboard.reads, 0);
  EXPECT_EQ(w.Url(), u"kept");
  EXPECT_EQ(w.clipboard.calls, std::vector<std::string>{"StartRetryTimer"});

  // Each retry is a timer message like any other: the window's own procedure gets it too.
  EXPECT_EQ(w.clipboard.FireRetryTimerUntilStopped(), 2);
  EXPECT_EQ(w.Url(), u"http://late.example/");
  EXPECT_EQ(w.clipboard.mainProcNotices.size(), 3u);
  EXPECT_EQ(w.clipboard.mainProcNotices[1], (Notice{kWmTimer, kClipboardRetryTimerId, 0}));
  EXPECT_EQ(w.clipboard.NoticesOf(earlier).size(), before + 1);
}

// A newer notice replaces a retry still pending; the watcher's removal ends it.
TEST(ClipboardWatcher, NewerNoticeOrRemovalEndsAPendingRetry) {
  const String kOlder = u"http://older.example/";
  const String kNewer = u"http://newer.example/";
  struct Case {
    const char* name;
    std::function<void(Watcher&)> meanwhile;  // after a retry of the older copy was due
    String expected;
    int ticks;  // the timer goes off this often afterwards
  };
  const Case cases[] = {
      {"newer copy, read at once",
       [&](Watcher& w) {
         w.clipboard.openFailures = 0;
         w.clipboard.CopyText(kNewer);
       },
       kNewer, 0},
      {"newer copy, held too: its own full budget",
       [&](Watcher& w) {
         w.clipboard.openFailures = kClipboardReadRetries;
         w.clipboard.CopyText(kNewer);
       },
       kNewer, kClipboardReadRetries},
      {"the watcher removed and installed again",
       [&](Watcher& w) {
         RemoveClipboardWatcher(w.program);
         w.clipboard.ReplaceText(u"http://own.example/copy\r\n");  // as a copy command does
         InstallClipboardWatcher(w.program);
       },
       u"kept", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Watcher w;
    InstallClipboardWatcher(w.program);
    w.window.urltxt.SetText(u"kept");
    w.clipboard.openFailures = 3;
    w.clipboard.CopyText(kOlder);
    EXPECT_TRUE(w.clipboard.FireRetryTimer());  // one retry of the older copy, still held
    c.meanwhile(w);
    EXPECT_EQ(w.clipboard.FireRetryTimerUntilStopped(), c.ticks);
    EXPECT_EQ(w.Url(), c.expected);
    EXPECT_FALSE(w.clipboard.retryTimerRunning);
  }
}

TEST(ClipboardWatcher, FiveMegabyteUrlIsTakenWhole) {
  String big = u"http://big.example/";
  big.resize(5u << 20, u'x');
  big += u"\r\nend";
  Watcher w;
  InstallClipboardWatcher(w.program);
  w.clipboard.CopyText(big);
  EXPECT_EQ(w.Url().size(), big.size());
  EXPECT_TRUE(w.Url() == big);

  String notUrl = big;
  notUrl[0] = u'H';
  w.clipboard.CopyText(notUrl);
  EXPECT_TRUE(w.Url() == big);
}

TEST(ClipboardWatcher, TextAlreadyOnTheClipboardAtInstallIsNotTaken) {
  Watcher w;
  w.clipboard.content = Content::kText;
  w.clipboard.text = u"http://already.example/";
  w.window.urltxt.SetText(kUrlPrompt);
  InstallClipboardWatcher(w.program);
  EXPECT_EQ(w.Url(), kUrlPrompt);
  // Joining did notify the window, but its own procedure got that notice.
  ASSERT_EQ(w.clipboard.mainProcNotices.size(), 1u);
  EXPECT_EQ(w.clipboard.mainProcNotices[0].message, kWmDrawClipboard);
  EXPECT_TRUE(w.clipboard.WatcherInstalled());
}

TEST(ClipboardWatcher, InstallJoinsFirstAndRemoveLeavesFirst) {
  Watcher w;
  InstallClipboardWatcher(w.program);
  RemoveClipboardWatcher(w.program);
  const std::vector<std::string> expected = {"SetClipboardViewer", "SetWindowProc(watcher)",
                                             "ChangeClipboardChain", "SetWindowProc(own)"};
  EXPECT_EQ(w.clipboard.calls, expected);
  EXPECT_EQ(w.program.previousWindowProc, ModelClipboard::kMainWindowProc);
  EXPECT_EQ(w.clipboard.MainWindowProc(), ModelClipboard::kMainWindowProc);
  EXPECT_FALSE(w.clipboard.InChain(kMain));
}

TEST(ClipboardWatcher, RemovedWatcherTakesNothing) {
  Watcher w;
  InstallClipboardWatcher(w.program);
  RemoveClipboardWatcher(w.program);
  w.window.urltxt.SetText(u"kept");
  w.clipboard.CopyText(u"http://after.example/");
  EXPECT_EQ(w.Url(), u"kept");
  EXPECT_EQ(w.clipboard.reads, 0);
}

TEST(ClipboardWatcher, EveryMessageReachesTheOwnProcedureUnchanged) {
  struct Case {
    const char* name;
    Notice notice;
  };
  const Case cases[] = {
      {"draw clipboard", {kWmDrawClipboard, 0x3333, 0}},
      {"chain change about the next window", {kWmChangeCbChain, 0, 0x4444}},
      {"chain change about another window", {kWmChangeCbChain, 0x9999, 0x4444}},
      {"command", {kWmCommand, 0x10001, 0x777}},
      {"paint", {kWmPaint, 0, 0}},
      {"negative lParam", {kWmCommand, ~uintptr_t{0}, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Watcher w;
    w.clipboard.openFailures = 1000;  // a read that fails must not cut the message short
    InstallClipboardWatcher(w.program);
    w.clipboard.mainProcNotices.clear();
    const intptr_t result =
        w.clipboard.SendToMainWindow(c.notice.message, c.notice.wParam, c.notice.lParam);
    EXPECT_EQ(result, ModelClipboard::kMainWindowProcResult);
    ASSERT_EQ(w.clipboard.mainProcNotices.size(), 1u);
    EXPECT_EQ(w.clipboard.mainProcNotices[0], c.notice);
    EXPECT_EQ(w.clipboard.callsToUnknownProc, 0);
  }
}

// A viewer that joined before the program follows it in the chain.
TEST(ClipboardWatcher, ViewerThatJoinedBeforeSeesEveryChange) {
  Watcher w;
  const uintptr_t earlier = w.clipboard.AddViewer();
  InstallClipboardWatcher(w.program);
  EXPECT_EQ(w.program.nextClipboardViewer, earlier);
  const size_t before = w.clipboard.NoticesOf(earlier).size();
  w.clipboard.CopyText(u"http://one.example/");
  w.clipboard.CopyText(u"not a url");
  w.clipboard.CopyNonText();
  const auto& notices = w.clipboard.NoticesOf(earlier);
  ASSERT_EQ(notices.size(), before + 3);
  // Passed on with the values the platform sent.
  EXPECT_EQ(notices.back(), (Notice{kWmDrawClipboard, ModelClipboard::kOtherOwner, 0}));
  EXPECT_EQ(w.Url(), u"http://one.example/");
}

TEST(ClipboardWatcher, ViewerThatJoinsAfterAndLeavesKeepsTheChain) {
  Watcher w;
  const uintptr_t earlier = w.clipboard.AddViewer();
  InstallClipboardWatcher(w.program);
  const uintptr_t later = w.clipboard.AddViewer();
  EXPECT_EQ(w.clipboard.Chain(), (std::vector<uintptr_t>{later, kMain, earlier}));
  w.clipboard.RemoveViewer(later);
  EXPECT_EQ(w.clipboard.Chain(), (std::vector<uintptr_t>{kMain, earlier}));

  const size_t before = w.clipboard.NoticesOf(earlier).size();
  w.clipboard.CopyText(u"http://after.example/");
  EXPECT_EQ(w.Url(), u"http://after.example/");
  EXPECT_EQ(w.clipboard.NoticesOf(earlier).size(), before + 1);
  EXPECT_EQ(w.clipboard.messagesToMissingWindows, 0);
}

// The two branches of the chain-change notice.
TEST(ClipboardWatcher, ChainChangeUpdatesTheNextWindowOrPassesItOn) {
  struct Case {
    const char* name;
    int leaving;  // index into the viewers that joined before the program, nearest first
  };
  for (const Case& c : {Case{"the next window leaves", 0}, Case{"a later window leaves", 1}}) {
    SCOPED_TRACE(c.name);
    Watcher w;
    const uintptr_t farther = w.clipboard.AddViewer();
    const uintptr_t nearer = w.clipboard.AddViewer();
    InstallClipboardWatcher(w.program);
    const uintptr_t leaving = c.leaving == 0 ? nearer : farther;
    const uintptr_t staying = c.leaving == 0 ? farther : nearer;
    w.clipboard.mainProcNotices.clear();
    w.clipboard.RemoveViewer(leaving);

    EXPECT_EQ(w.clipboard.Chain(), (std::vector<uintptr_t>{kMain, staying}));
    EXPECT_EQ(w.program.nextClipboardViewer, nearer == leaving ? farther : nearer);
    // The notice reached the main window's own procedure too.
    ASSERT_EQ(w.clipboard.mainProcNotices.size(), 1u);
    EXPECT_EQ(w.clipboard.mainProcNotices[0],
              (Notice{kWmChangeCbChain, leaving, static_cast<intptr_t>(c.leaving == 0 ? farther : 0)}));

    // Passed on only when it is about a window farther down the chain.
    size_t chainNotices = 0;
    for (const Notice& n : w.clipboard.NoticesOf(staying)) chainNotices += n.message == kWmChangeCbChain;
    EXPECT_EQ(chainNotices, c.leaving == 0 ? 0u : 1u);

    const size_t before = w.clipboard.NoticesOf(staying).size();
    w.clipboard.CopyText(u"http://x.example/");
    EXPECT_EQ(w.clipboard.NoticesOf(staying).size(), before + 1);
    EXPECT_EQ(w.clipboard.messagesToMissingWindows, 0);
  }
}

TEST(ClipboardWatcher, LastViewerLeavingEndsTheChainAfterTheProgram) {
  Watcher w;
  const uintptr_t only = w.clipboard.AddViewer();
  InstallClipboardWatcher(w.program);
  w.clipboard.RemoveViewer(only);
  EXPECT_EQ(w.program.nextClipboardViewer, 0u);
  w.clipboard.CopyText(u"http://x.example/");
  EXPECT_EQ(w.Url(), u"http://x.example/");
  EXPECT_EQ(w.clipboard.messagesToMissingWindows, 0);
}

TEST(ClipboardWatcher, RemovingPutsTheEarlierViewerFirstAgain) {
  Watcher w;
  const uintptr_t earlier = w.clipboard.AddViewer();
  InstallClipboardWatcher(w.program);
  RemoveClipboardWatcher(w.program);
  EXPECT_EQ(w.clipboard.Chain(), (std::vector<uintptr_t>{earlier}));

  // Removed while a later viewer is first: that viewer now links past the program.
  InstallClipboardWatcher(w.program);
  const uintptr_t later = w.clipboard.AddViewer();
  RemoveClipboardWatcher(w.program);
  EXPECT_EQ(w.clipboard.Chain(), (std::vector<uintptr_t>{later, earlier}));
}

TEST(ClipboardWatcher, UrlCopiedWhileAMessageBoxIsOpenIsTaken) {
  Watcher w;
  InstallClipboardWatcher(w.program);
  w.platform.queued.push_back([&] { w.clipboard.CopyText(u"http://queued.example/"); });
  w.platform.ShowMessage(u"x", u"注意", kOkOnly);
  EXPECT_EQ(w.Url(), u"http://queued.example/");
}

}  // namespace
}  // namespace velnor::testing
