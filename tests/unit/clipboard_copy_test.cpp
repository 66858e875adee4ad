// The copy commands on the model window and chain: the clipboard text, the messages and their
// order, the watcher around every write, and the state of urllist in every ending.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "clipboard/clipboard_watcher.h"
#include "clipboard/copy_commands.h"
#include "model_clipboard.h"

namespace velnor::testing {
namespace {

using Command = void (*)(Program&);

// urllist, recording how it looked each time an item's text was read, and how often its
// selection was asked for item by item (a message each on the real list box).
class ObservedListBox : public ModelListBox {
 public:
  ObservedListBox() : ModelListBox(true) {}
  String Item(int index) const override {
    Observe();
    return ModelListBox::Item(index);
  }
  StringView ItemText(int index) const override {
    Observe();
    return ModelListBox::ItemText(index);
  }
  bool Selected(int index) const override {
    ++selectionQueries;
    return ModelListBox::Selected(index);
  }
  mutable int reads = 0;
  mutable int readsWhileVisible = 0;
  mutable int readsWithoutHourglass = 0;
  mutable int selectionQueries = 0;

 private:
  void Observe() const {
    ++reads;
    if (Visible()) ++readsWhileVisible;
    if (CurrentMousePointer() != kPointerHourglass) ++readsWithoutHourglass;
  }
};

// The state of the program while a message box is open, or at the end of a command.
struct Snapshot {
  bool watcherInstalled = false;
  bool listVisible = false;
  MousePointer pointer = kPointerHourglass;
  std::vector<int> selected;
};

struct Copier : ClipboardModelProgram {
  explicit Copier(const std::vector<String>& items, const std::vector<int>& selected = {}) {
    program.form.urllist = &list;
    for (const String& item : items) list.AddItem(item);
    for (int i : selected) list.SetSelected(i, true);
    InstallClipboardWatcher(program);
    platform.whileMessageOpen = [this](const ShownMessage&) { atMessage.push_back(Now()); };
    clipboard.content = ModelClipboard::Content::kText;
    clipboard.text = kBefore;
    window.urltxt.SetText(kUrlText);
  }

  Snapshot Now() const {
    return {clipboard.WatcherInstalled(), list.Visible(), list.CurrentMousePointer(), list.SelectedItems()};
  }

  static inline const String kBefore = u"on the clipboard before";
  static inline const String kUrlText = u"http://typed.example/";
  ObservedListBox list;
  std::vector<Snapshot> atMessage;
};

const std::vector<String> kThree = {u"http://a.example/01.jpg", u"http://a.example/02.jpg",
                                    u"http://a.example/03.jpg"};

TEST(CopyCommands, ClipboardTextAndMessages) {
  const String kNone = u"";  // marks "clipboard unchanged"
  struct Case {
    const char* name;
    Command command;
    std::vector<String> items;
    std::vector<int> selected;
    String clipboard;  // kNone: left as it was
    std::vector<String> messages;
  };
  const String a = kThree[0] + u"\r\n", b = kThree[1] + u"\r\n", c = kThree[2] + u"\r\n";
  const Case cases[] = {
      {"button, none selected: all", CopyCommand, kThree, {}, a + b + c, {}},
      {"button, 0 and 2 selected", CopyCommand, kThree, {0, 2}, a + c, {}},
      {"button, last selected", CopyCommand, kThree, {2}, c, {}},
      {"button, all selected", CopyCommand, kThree, {0, 1, 2}, a + b + c, {}},
      {"all, some selected: still all", CopyAllItems, kThree, {1}, a + b + c, {}},
      {"all, none selected", CopyAllItems, kThree, {}, a + b + c, {}},
      {"selected, 1 selected", CopySelectedItems, kThree, {1}, b, {}},
      {"selected, none selected", CopySelectedItems, kThree, {}, kNone, {kNothingSelectedMessage}},
      {"button, empty list", CopyCommand, {}, {}, kNone, {kListEmptyMessage}},
      {"all, empty list", CopyAllItems, {}, {}, kNone, {kListEmptyMessage}},
      {"selected, empty list", CopySelectedItems, {}, {}, kNone, {kListEmptyMessage}},
      {"one item", CopyAllItems, {u"x"}, {}, u"x\r\n", {}},
      {"empty items give bare line ends", CopyAllItems, {u"", u"y", u""}, {}, u"\r\ny\r\n\r\n", {}},
      {"empty item selected alone", CopySelectedItems, {u"x", u""}, {1}, u"\r\n", {}},
      {"items unchanged", CopyAllItems, {u" ｶﾞ\tあ ", u"http://例.jp/\r"}, {},
       u" ｶﾞ\tあ \r\nhttp://例.jp/\r\r\n", {}},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.name);
    Copier p(t.items, t.selected);
    t.command(p.program);
    EXPECT_EQ(p.clipboard.text, t.clipboard.empty() ? Copier::kBefore : t.clipboard);
    EXPECT_EQ(p.clipboard.writes.size(), t.clipboard.empty() ? 0u : 1u);
    EXPECT_EQ(p.platform.MessageTexts(), t.messages);
    for (const ShownMessage& m : p.platform.messages) {
      EXPECT_EQ(m.caption, u"注意");
      EXPECT_EQ(m.style, kOkOnly);
    }
    // The list itself is never changed; the selection is cleared after a copy only.
    EXPECT_EQ(p.list.Items(), t.items);
    EXPECT_EQ(p.Now().selected, t.messages.empty() ? std::vector<int>{} : t.selected);
  }
}

struct Ending {
  const char* name;
  Command command;
  std::vector<String> items;
  std::vector<int> selected;
  int openFailures;
  bool written;
};

const Ending kEndings[] = {
    {"all copied", CopyAllItems, kThree, {1}, 0, true},
    {"selection copied", CopySelectedItems, kThree, {1}, 0, true},
    {"button copies all", CopyCommand, kThree, {}, 0, true},
    {"all, clipboard held briefly", CopyAllItems, kThree, {}, kClipboardOpenTries - 1, true},
    {"all, empty list", CopyAllItems, {}, {}, 0, false},
    {"selected, empty list", CopySelectedItems, {}, {}, 0, false},
    {"selected, nothing selected", CopySelectedItems, kThree, {}, 0, false},
    {"all, clipboard held", CopyAllItems, kThree, {0, 2}, 1000, false},
    {"selected, clipboard held", CopySelectedItems, kThree, {0, 2}, 1000, false},
    {"button, clipboard held", CopyCommand, kThree, {}, 1000, false},
};

TEST(CopyCommands, EveryEndingLeavesTheListVisibleWithItsPointerAndTheWatcherInstalled) {
  for (const Ending& e : kEndings) {
    SCOPED_TRACE(e.name);
    Copier p(e.items, e.selected);
    p.clipboard.openFailures = e.openFailures;
    e.command(p.program);
    const Snapshot end = p.Now();
    EXPECT_TRUE(end.watcherInstalled);
    EXPECT_TRUE(end.listVisible);
    EXPECT_EQ(end.pointer, kPointerDefault);
    EXPECT_EQ(p.clipboard.callsToUnknownProc, 0);
    // ...and so does every message: the box is shown last.
    for (const Snapshot& s : p.atMessage) {
      EXPECT_TRUE(s.watcherInstalled);
      EXPECT_TRUE(s.listVisible);
      EXPECT_EQ(s.pointer, kPointerDefault);
    }
    EXPECT_EQ(p.clipboard.writes.size(), e.written ? 1u : 0u);
  }
}

TEST(CopyCommands, ItemsAreReadHiddenUnderTheHourglass) {
  for (const Ending& e : kEndings) {
    SCOPED_TRACE(e.name);
    Copier p(e.items, e.selected);
    p.clipboard.openFailures = e.openFailures;
    p.list.selectionQueries = 0;
    e.command(p.program);
    EXPECT_EQ(p.list.readsWhileVisible, 0);
    EXPECT_EQ(p.list.readsWithoutHourglass, 0);
    EXPECT_EQ(p.list.selectionQueries, 0);  // the selection comes in one query, never item by item
  }
}

TEST(CopyCommands, WatcherIsOutOfTheChainAtEveryWrite) {
  for (const Ending& e : kEndings) {
    SCOPED_TRACE(e.name);
    Copier p(e.items, e.selected);
    p.clipboard.openFailures = e.openFailures;
    e.command(p.program);
    for (const ClipboardWrite& w : p.clipboard.writes) {
      EXPECT_FALSE(w.mainWindowInChain);
      EXPECT_FALSE(w.watcherProcInPlace);
    }
    // The copied list, whose first line begins with "http://", never reaches urltxt.
    EXPECT_EQ(p.window.urltxt.GetText(), Copier::kUrlText);
  }
}

TEST(CopyCommands, EmptyListInCopyAllLeavesTheWatcherAlone) {
  Copier p({});
  p.clipboard.calls.clear();
  CopyAllItems(p.program);
  EXPECT_TRUE(p.clipboard.calls.empty());
}

TEST(CopyCommands, WriteThatFailsShowsOneMessageAndKeepsTheSelection) {
  struct Case {
    const char* name;
    Command command;
    std::vector<int> selected;
  };
  const Case cases[] = {
      {"all, with a selection", CopyAllItems, {0, 2}},
      {"all, nothing selected", CopyAllItems, {}},
      {"selected", CopySelectedItems, {1, 2}},
      {"button, nothing selected", CopyCommand, {}},
      {"button, with a selection", CopyCommand, {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Copier p(kThree, c.selected);
    p.clipboard.openFailures = 1000;
    c.command(p.program);
    EXPECT_EQ(p.platform.MessageTexts(), std::vector<String>{kClipboardBusyMessage});
    EXPECT_EQ(p.clipboard.text, Copier::kBefore);
    EXPECT_EQ(p.list.Items(), kThree);
    EXPECT_EQ(p.Now().selected, c.selected);
    ASSERT_EQ(p.atMessage.size(), 1u);
    EXPECT_EQ(p.atMessage[0].selected, c.selected);
  }
}

TEST(CopyCommands, ViewerBeforeTheProgramSeesTheCopy) {
  Copier p(kThree);
  const uintptr_t earlier = p.clipboard.AddViewer();
  RemoveClipboardWatcher(p.program);  // join again, after the viewer
  InstallClipboardWatcher(p.program);
  const size_t before = p.clipboard.NoticesOf(earlier).size();
  CopyAllItems(p.program);
  EXPECT_EQ(p.clipboard.NoticesOf(earlier).size(), before + 1);
  EXPECT_EQ(p.clipboard.Chain(), (std::vector<uintptr_t>{ModelClipboard::kMainWindow, earlier}));
  // And later copies elsewhere still reach the program and the viewer.
  p.clipboard.CopyText(u"http://later.example/");
  EXPECT_EQ(p.window.urltxt.GetText(), u"http://later.example/");
  EXPECT_EQ(p.clipboard.NoticesOf(earlier).size(), before + 2);
}

// Pending messages run once in the middle of a command: the watcher is out of the chain then,
// and back in before any message box opens (its loop delivers notices too).
TEST(CopyCommands, UrlCopiedElsewhereDuringACommand) {
  const String kElsewhere = u"http://elsewhere.example/";
  struct Case {
    const char* name;
    Command command;
    std::vector<String> items;
    std::vector<int> selected;
    int openFailures;
    bool inMessageBox;  // else in the pending pass
    bool taken;
  };
  const Case cases[] = {
      {"all, pending pass", CopyAllItems, kThree, {}, 0, false, false},
      {"selected, pending pass", CopySelectedItems, kThree, {0}, 0, false, false},
      {"nothing selected, pending pass", CopySelectedItems, kThree, {}, 0, false, false},
      {"clipboard held, pending pass", CopyAllItems, kThree, {}, 1000, false, false},
      {"all, empty list message", CopyAllItems, {}, {}, 0, true, true},
      {"selected, empty list message", CopySelectedItems, {}, {}, 0, true, true},
      {"nothing selected message", CopySelectedItems, kThree, {}, 0, true, true},
      {"clipboard held message", CopyAllItems, kThree, {}, 1000, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Copier p(c.items, c.selected);
    p.clipboard.openFailures = c.openFailures;
    auto copyElsewhere = [&] {
      p.clipboard.openFailures = 0;
      p.clipboard.CopyText(kElsewhere);
      p.clipboard.openFailures = c.openFailures;
    };
    if (c.inMessageBox) {
      p.platform.whileMessageOpen = [&](const ShownMessage&) { copyElsewhere(); };
    } else {
      p.platform.queued.push_back(copyElsewhere);
    }
    c.command(p.program);
    EXPECT_TRUE(p.platform.queued.empty());
    EXPECT_EQ(p.window.urltxt.GetText(), c.taken ? kElsewhere : Copier::kUrlText);
  }
}

TEST(CopyCommands, PendingPassShowsTheSelectionAndHourglass) {
  Copier p(kThree, {1});
  std::optional<Snapshot> during;
  p.platform.queued.push_back([&] { during = p.Now(); });
  CopyAllItems(p.program);
  ASSERT_TRUE(during.has_value());
  EXPECT_EQ(during->selected, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(during->pointer, kPointerHourglass);
  EXPECT_TRUE(during->listVisible);
  EXPECT_FALSE(during->watcherInstalled);
  EXPECT_EQ(p.platform.pendingPasses, 1);
}

TEST(CopyCommands, ListThatShrinksDuringThePendingPass) {
  for (Command command : {CopyAllItems, CopySelectedItems}) {
    Copier p(kThree, {0, 1, 2});
    p.platform.queued.push_back([&] { p.list.RemoveItem(2); });
    command(p.program);
    EXPECT_EQ(p.clipboard.text, kThree[0] + u"\r\n" + kThree[1] + u"\r\n");
    EXPECT_EQ(p.list.reads, 2);
  }
}

TEST(CopyCommands, FullListIsCopiedWhole) {
  std::vector<String> items;
  String expected;
  for (int i = 0; i < 32767; ++i) {
    items.push_back(u"http://big.example/" + FromUtf8(std::to_string(i)) + u".jpg");
    expected += items.back() + u"\r\n";
  }
  Copier p(items);
  CopyAllItems(p.program);
  EXPECT_TRUE(p.clipboard.text == expected);
  EXPECT_EQ(p.list.reads, 32767);
}

// The download command takes its items by the Copy button's rule, and leaves the list, its
// selection and the clipboard alone.
TEST(CopyCommands, ItemsForAListCommand) {
  struct Case {
    const char* name;
    std::vector<String> items;
    std::vector<int> selected;
    std::vector<String> expected;
    std::vector<String> messages;
  };
  const Case cases[] = {
      {"none selected: all", kThree, {}, kThree, {}},
      {"0 and 2 selected", kThree, {0, 2}, {kThree[0], kThree[2]}, {}},
      {"all selected", kThree, {0, 1, 2}, kThree, {}},
      {"empty list", {}, {}, {}, {kListEmptyMessage}},
      {"empty item kept", {u"", u"x"}, {}, {u"", u"x"}, {}},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.name);
    Copier p(t.items, t.selected);
    EXPECT_EQ(ItemsForListCommand(p.program), t.expected);
    EXPECT_EQ(p.platform.MessageTexts(), t.messages);
    EXPECT_EQ(p.Now().selected, t.selected);
    EXPECT_TRUE(p.clipboard.writes.empty());
  }
}

}  // namespace
}  // namespace velnor::testing
