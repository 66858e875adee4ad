// The whole expand command on the model window, with arbitrary texts in urltxt, Combo2,
// Combo1, Text(1) and Combo3, any check states, either start number, and window messages
// that run while its message boxes are open or at its pending-message pass: typing into a
// field, a clipboard notice that replaces urltxt, a click on a button or a pattern sample.
// After every press of the button: the entry fields are empty and the URL prompt is back,
// the result list has as many items as the end index allows, each glued from the parts its
// row of check boxes names, and the work lists and histories are well formed.
//
// Input, fields separated by NUL bytes:
//   0: states: Check3, Check1, Checkund, Check2 (each byte % 3), start number ('0' Option0,
//      '1' Option1, '2' neither), how the numbers are entered ('0' typed, '1' pasted,
//      '2' chosen from Combo3's list, '3' put into Text(2) directly), presses ('0' one,
//      '1' two, '2' three; '3'.. '5' the same with the numbers entered again each time)
//   1..5: texts of urltxt, Combo2, Combo1, Text(1), Combo3 (UTF-8)
//   6..: window messages, each a kind byte and a text; "/" closes a group. The first group
//      waits in the queue when the button is pressed; each message box that opens queues
//      the next group.
#include <cmath>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/prepare_main_window.h"
#include "base/numbers.h"
#include "clipboard/clipboard_watcher.h"
#include "expand/expand_command.h"
#include "expand/number_lists.h"
#include "fuzz_support.h"
#include "model_clipboard.h"
#include "settings/list_history.h"
#include "ui/input_fields.h"

namespace velnor {
namespace {

using fuzz::Show;

constexpr size_t kTextLimit = 48;
constexpr size_t kMessageLimit = 24;

// What GenerateUrlList found when it began: the result list's Clear is its first step.
struct Generation {
  String text1, url, subfolder, extension;
  int check3 = 0, check1 = 0, checkund = 0, check2 = 0;
  bool option1 = false;
  std::vector<String> list1, list2;
};

// A list box that reports when it is emptied: the first step of each list's builder.
class ListSpy : public ModelListBox {
 public:
  explicit ListSpy(bool multipleSelection) : ModelListBox(multipleSelection) {}
  void Clear() override {
    if (onClear) onClear();
    ModelListBox::Clear();
  }
  std::function<void()> onClear;
};

// What a work list's builder read when it began to fill its list.
struct Build {
  String endText;
  double startNumber = 0;
};

struct Window : testing::ClipboardModelProgram {
  Window() {
    program.form.urllist = &urllist;
    program.form.listArray[1] = &list1;
    program.form.listArray[2] = &list2;
    list1.onClear = [this] { firstBuild = {window.text1.GetText(), program.startNumber}; };
    list2.onClear = [this] { secondBuild = {window.text2.GetText(), program.startNumber}; };
    FillSecondNumberChoices(program);
    InstallClipboardWatcher(program);
    urllist.onClear = [this] {
      const ModelForm& w = window;
      generations.push_back({w.text1.GetText(), w.urltxt.GetText(), w.Combo2.GetText(), w.Combo1.GetText(),
                             w.Check3.Value(), w.Check1.Value(), w.Checkund.Value(), w.Check2.Value(),
                             w.Option1.Value(), list1.Items(), list2.Items()});
    };
  }
  ListSpy urllist{true};
  ListSpy list1{false};  // List(1)
  ListSpy list2{false};  // List(2)
  std::optional<Build> firstBuild, secondBuild;
  std::vector<Generation> generations;
};

const std::set<String>& KnownMessages() {
  static const std::set<String> known = {
      u"URLを入力して下さい", u"テキスト未入力です", u"入力項目で未入力があります", u"チェックが入っていません",
      u"未チェックです", u"アンダーバーのみでは\n展開できません ", kLetterDigitMessage, kEndValueOutOfRangeMessage};
  return known;
}

struct Action {
  char kind = 0;
  String text;
};

// A surrogate pair cut in half leaves a lone surrogate behind.
bool HasHalfAPair(const String& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsHighSurrogate(text[i]) && (i + 1 == text.size() || !IsLowSurrogate(text[i + 1]))) return true;
    if (IsLowSurrogate(text[i]) && (i == 0 || !IsHighSurrogate(text[i - 1]))) return true;
  }
  return false;
}

// The number fields after any change the user makes: Text(1) at most three characters,
// Combo3 at most two and not ending in a letter g .. z, and after a change of Combo3 the
// same text in Text(2). A surrogate pair counts one character and is never cut apart (the
// inputs, made from UTF-8, hold whole pairs only).
void CheckFieldLimits(const ModelForm& f, bool combo3Changed) {
  const String first = f.text1.GetText();
  const String second = f.Combo3.GetText();
  const std::string where = "Text(1) " + Show(first) + " Combo3 " + Show(second) + " Text(2) " + Show(f.text2.GetText());
  FUZZ_CHECK(CharacterCount(first) <= 3, where);
  FUZZ_CHECK(CharacterCount(second) <= 2, where);
  FUZZ_CHECK(second.empty() || !(second.back() >= u'g' && second.back() <= u'z'), where);
  FUZZ_CHECK(!HasHalfAPair(first) && !HasHalfAPair(second) && !HasHalfAPair(f.text2.GetText()), where);
  if (combo3Changed) FUZZ_CHECK(f.text2.GetText() == second, where);
}

class Script {
 public:
  Script(Window& w, std::vector<std::vector<Action>> groups) : w_(w), groups_(std::move(groups)) {}

  // Queues the next group of window messages, if any is left.
  void QueueNextGroup() {
    if (next_ >= groups_.size()) return;
    for (const Action& action : groups_[next_]) {
      w_.platform.queued.push_back([this, action] { Run(action); });
    }
    ++next_;
  }

 private:
  void Run(const Action& a) {
    ModelForm& f = w_.window;
    auto type = [](TextBox& box, const String& text) { testing::ModelProgram::Type(box, text); };
    switch (a.kind) {
      case 'T': type(f.text1, a.text); break;
      case 't': f.text1.SetText(a.text); break;
      case 'C': type(f.Combo3, a.text); break;
      case 'c': f.Combo3.SetText(a.text); break;
      case 'L': if (!a.text.empty()) f.Combo3.Choose(a.text[0] % 160); break;
      case 'U': type(f.urltxt, a.text); break;
      case 'u': f.urltxt.SetText(a.text); break;
      case 'B': type(f.Combo2, a.text); break;
      case 'E': type(f.Combo1, a.text); break;
      case 'P': w_.clipboard.CopyText(a.text); break;
      case 'H': w_.clipboard.CopyText(u"http://" + a.text); break;
      case 'N': w_.clipboard.CopyNonText(); break;
      case 'O': f.Option0.Select(); break;
      case 'o': f.Option1.Select(); break;
      case 'S': f.List1.ClickItem(0); break;
      case 's': f.List1.ClickItem(1); break;
      case 'F': Raise(f.urltxt.GotFocus); break;
      case 'f': Raise(f.urltxt.LostFocus); break;
      case 'K':
        if (a.text.size() >= 2) {
          ModelCheckBox* boxes[] = {&f.Check3, &f.Check1, &f.Checkund, &f.Check2};
          boxes[a.text[0] % 4]->SetValue(a.text[1] % 3);
        }
        break;
      case 'R':
        // A press of the button that was waiting in the queue: the command runs inside the
        // box of the one already running.
        if (depth_ == 0) {
          ++depth_;
          RunExpandCommand(w_.program);
          --depth_;
        }
        break;
      default: break;
    }
    if (std::string_view("TtCcL").find(a.kind) != std::string_view::npos) {
      // Typing nothing changes nothing; setting a text, even the same one, is a change.
      CheckFieldLimits(f, a.kind == 'c' || ((a.kind == 'C' || a.kind == 'L') && !a.text.empty()));
    }
  }

  Window& w_;
  std::vector<std::vector<Action>> groups_;
  size_t next_ = 0;
  int depth_ = 0;
};

// List(1) as its last build made it: the numbers from the start number up to the end
// value read from Text(1), rounded; two digits wide while the end is below 100, else three.
void CheckFirstList(const std::vector<String>& list, const std::optional<Build>& build) {
  if (!build) {
    FUZZ_CHECK(list.empty(), "List(1) filled without being built");
    return;
  }
  const double end = LeadingNumberValue(build->endText);
  const double first = RoundHalfEven(build->startNumber);
  const double last = RoundHalfEven(end);
  const size_t width = end < 100 ? 2 : 3;
  const double expected = last >= first ? last - first + 1 : 0;
  const std::string where = "List(1) from " + Show(build->endText) + " start " + std::to_string(first) + ": " +
                            std::to_string(list.size()) + " entries";
  FUZZ_CHECK(static_cast<double>(list.size()) == expected, where);
  for (size_t k = 0; k < list.size(); ++k) {
    String number = DecimalText(static_cast<int64_t>(first) + static_cast<int64_t>(k));
    if (number.size() < width) number.insert(0, width - number.size(), u'0');
    FUZZ_CHECK(list[k] == number, where + ", entry " + std::to_string(k) + " " + Show(list[k]));
  }
}

// List(2) as its last build made it: 00 .. 09, 0a .. 0f, 10 .. in order, up to the value of
// Text(2): its first character the tens, its last the units (a .. f, a digit, else 0).
void CheckSecondList(const std::vector<String>& list, const std::optional<Build>& build) {
  if (!build) {
    FUZZ_CHECK(list.empty(), "List(2) filled without being built");
    return;
  }
  const String& s = build->endText;
  const std::string where = "List(2) from " + Show(s) + ": " + std::to_string(list.size()) + " entries";
  FUZZ_CHECK(!s.empty() && s[0] >= u'0' && s[0] <= u'9', where);
  size_t expected = 0;
  if (CharacterCount(s) == 1) {
    expected = static_cast<size_t>(s[0] - u'0') + 1;
  } else {
    const char16_t last = s.back();
    const size_t units = (last >= u'a' && last <= u'f')   ? static_cast<size_t>(last - u'a') + 11
                         : (last >= u'0' && last <= u'9') ? static_cast<size_t>(last - u'0') + 1
                                                          : 1;
    expected = static_cast<size_t>(s[0] - u'0') * 16 + units;
  }
  FUZZ_CHECK(list.size() == expected, where);
  static constexpr char16_t kUnits[] = u"0123456789abcdef";
  for (size_t k = 0; k < list.size(); ++k) {
    const String entry = {static_cast<char16_t>(u'0' + k / 16), kUnits[k % 16]};
    FUZZ_CHECK(list[k] == entry, where + ", entry " + std::to_string(k) + " " + Show(list[k]));
  }
}

// Rows that produce items: every box 0 or 1, at least one number, and the underscore
// whenever both numbers are on.
bool RowProducesItems(const Generation& g) {
  for (int state : {g.check3, g.check1, g.checkund, g.check2}) {
    if (state != 0 && state != 1) return false;
  }
  const bool first = g.check1 == 1, second = g.check2 == 1;
  if (!first && !second) return false;
  return !(first && second && g.checkund == 0);
}

String EntryOrEmpty(const std::vector<String>& list, size_t i) { return i < list.size() ? list[i] : String(); }

void CheckResultList(const Generation& g, const std::vector<String>& items) {
  const bool firstOn = g.check1 == 1;
  const double end = firstOn ? LeadingNumberValue(g.text1) : static_cast<double>(g.list2.size()) - 1;
  char endText[40];
  std::snprintf(endText, sizeof endText, "%.17g", end);
  const std::string where = "end " + std::string(endText) + " from Text(1) " + Show(g.text1) + " states " +
                            std::to_string(g.check3) + std::to_string(g.check1) + std::to_string(g.checkund) +
                            std::to_string(g.check2) + " start " + (g.option1 ? "1" : "0") + ", " +
                            std::to_string(items.size()) + " items";
  if (!RowProducesItems(g) || !(end >= 0)) {
    FUZZ_CHECK(items.empty(), where);
    return;
  }
  const double passes = std::floor(end) + 1;
  FUZZ_CHECK(static_cast<double>(items.size()) <= passes, where);
  // Beyond what 16-bit positions can address nothing is built; below it every pass builds
  // an item, and with start number 1 the item at the end index (rounded half to even) is
  // taken away: the last one, built without a first number. A fractional end that rounds
  // up names no item, and none is taken.
  if (end <= 32766) {
    const bool removed = g.option1 && firstOn && std::nearbyint(end) == std::floor(end);
    FUZZ_CHECK(static_cast<double>(items.size()) == passes - (removed ? 1 : 0), where);
  }
  const String head = g.url + (g.check3 == 1 ? g.subfolder : String());
  for (size_t i = 0; i < items.size(); ++i) {
    String expected = head;
    if (firstOn) expected += EntryOrEmpty(g.list1, i);
    if (g.checkund == 1) expected += u'_';
    if (g.check2 == 1) expected += EntryOrEmpty(g.list2, i);
    expected += g.extension;
    FUZZ_CHECK(items[i] == expected, where + ": item " + std::to_string(i) + " " + Show(items[i]) + " expected " +
                                         Show(expected));
  }
}

// After the history update: each field's text is in its list (an empty text counts as
// present while the list is not full), at most ten entries, the slots a copy of the list.
void CheckHistory(const ModelComboBox& combo, const HistorySlots& slots, const char* name) {
  const std::vector<String>& items = combo.Items();
  const std::string where = std::string(name) + " text " + Show(combo.GetText()) + " with " +
                            std::to_string(items.size()) + " entries";
  FUZZ_CHECK(items.size() <= static_cast<size_t>(kHistorySize), where);
  bool present = combo.GetText().empty() && items.size() < static_cast<size_t>(kHistorySize);
  for (const String& item : items) present = present || item == combo.GetText();
  FUZZ_CHECK(present, where);
  for (int slot = 1; slot <= kHistorySize; ++slot) {
    FUZZ_CHECK(slots[slot] == EntryOrEmpty(items, static_cast<size_t>(slot - 1)), where + " slot " + std::to_string(slot));
  }
}

void CheckAfterPress(Window& w, size_t generationsBefore) {
  const ModelForm& f = w.window;
  FUZZ_CHECK(f.text1.GetText().empty(), "Text(1) " + Show(f.text1.GetText()));
  FUZZ_CHECK(f.text2.GetText().empty(), "Text(2) " + Show(f.text2.GetText()));
  FUZZ_CHECK(f.Combo3.GetText().empty(), "Combo3 " + Show(f.Combo3.GetText()));
  FUZZ_CHECK(f.urltxt.GetText() == kUrlPrompt, "urltxt " + Show(f.urltxt.GetText()));
  FUZZ_CHECK(w.urllist.Visible() && w.list1.Visible() && w.list2.Visible(), "a list left hidden");
  for (const auto& shown : w.platform.messages) {
    FUZZ_CHECK(shown.caption == kWarningCaption && shown.style == kOkOnly, "message " + Show(shown.text));
    FUZZ_CHECK(KnownMessages().count(shown.text) == 1, "unknown message " + Show(shown.text));
  }
  if (f.Option0.Value() || f.Option1.Value()) {
    FUZZ_CHECK(w.program.startNumber == (f.Option1.Value() ? 1 : 0), "startNumber does not follow the buttons");
  }
  FUZZ_CHECK(w.generations.size() > generationsBefore, "the result list was not generated");
  CheckResultList(w.generations.back(), w.urllist.Items());
  CheckFirstList(w.list1.Items(), w.firstBuild);
  CheckSecondList(w.list2.Items(), w.secondBuild);
  CheckHistory(f.Combo2, w.program.subfolderHistory, "Combo2");
  CheckHistory(f.Combo1, w.program.extensionHistory, "Combo1");
  // The watcher stays in the chain through every message the command let run.
  FUZZ_CHECK(w.clipboard.WatcherInstalled(), "the clipboard watcher is gone");
  FUZZ_CHECK(w.clipboard.messagesToMissingWindows == 0 && w.clipboard.callsToUnknownProc == 0, "the chain broke");
  const int expectedExtent = [&] {
    int widest = 0;
    for (const String& item : w.urllist.Items()) widest = std::max(widest, w.platform.AnsiByteCount(item));
    return (widest * 90 + 120) / 15;
  }();
  FUZZ_CHECK(w.urllist.HorizontalExtent() == expectedExtent,
             "extent " + std::to_string(w.urllist.HorizontalExtent()) + " expected " + std::to_string(expectedExtent));
}

void EnterNumbers(Window& w, const String& first, const String& second, int mode) {
  ModelForm& f = w.window;
  switch (mode) {
    case 0:
      testing::ModelProgram::Type(f.text1, first);
      testing::ModelProgram::Type(f.Combo3, second);
      break;
    case 1:
      f.text1.SetText(first);
      f.Combo3.SetText(second);
      break;
    case 2:
      f.text1.SetText(first);
      if (!second.empty()) f.Combo3.Choose(second[0] % 160);
      break;
    default:
      f.text1.SetText(first);
      f.text2.SetText(second);
      break;
  }
  CheckFieldLimits(f, mode == 1 || ((mode == 0 || mode == 2) && !second.empty()));
}

}  // namespace
}  // namespace velnor

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velnor;
  const std::vector<std::string_view> fields = fuzz::Fields(data, size, '\0');
  const std::string_view states = fields[0];
  auto state = [&](size_t i, int modulo) { return i < states.size() ? static_cast<unsigned char>(states[i]) % modulo : 0; };
  auto text = [&](size_t i) { return i < fields.size() ? fuzz::Text(fields[i], kTextLimit) : String(); };

  std::vector<std::vector<Action>> groups(1);
  for (size_t i = 6; i < fields.size() && i < 40; ++i) {
    if (fields[i].empty()) continue;
    if (fields[i][0] == '/') {
      groups.emplace_back();
      continue;
    }
    groups.back().push_back({fields[i][0], fuzz::Text(fields[i].substr(1), kMessageLimit)});
  }

  Window w;
  ModelForm& f = w.window;
  f.Check3.SetValue(state(0, 3));
  f.Check1.SetValue(state(1, 3));
  f.Checkund.SetValue(state(2, 3));
  f.Check2.SetValue(state(3, 3));
  if (state(4, 3) == 0) f.Option0.Select();
  if (state(4, 3) == 1) f.Option1.Select();
  const int entry = state(5, 4);
  const int presses = 1 + state(6, 3);
  const bool enterEachTime = state(6, 6) >= 3;
  f.urltxt.SetText(text(1));
  f.Combo2.SetText(text(2));
  f.Combo1.SetText(text(3));

  Script script(w, std::move(groups));
  w.platform.whileMessageOpen = [&script](const testing::ShownMessage&) { script.QueueNextGroup(); };
  for (int press = 0; press < presses; ++press) {
    if (press == 0 || enterEachTime) EnterNumbers(w, text(4), text(5), entry);
    if (press > 0) f.urltxt.SetText(text(1));
    script.QueueNextGroup();
    const size_t generationsBefore = w.generations.size();
    RunExpandCommand(w.program);
    w.platform.queued.clear();  // what did not get its chance is dropped, not run later
    CheckAfterPress(w, generationsBefore);
  }
  return 0;
}
