// Splitting any text into the fields, by the Edit menu's command or as a copied URL with the
// automatic split on or off. What must hold: nothing crashes, and either the split set the
// fields, and the expand command right after builds a list that holds the URL with every item
// as long as it, or nothing changed at all (the command then says why in one box, the
// automatic split says nothing).
//
// Input: a first byte choosing the way in (% 3: the command on urltxt, a copy with the
// automatic split on, a copy with it off and then the command), the start number (bit 2),
// the pattern sample clicked before (bit 3); then the text as UTF-8.
#include <string>

#include "clipboard/clipboard_watcher.h"
#include "expand/expand_command.h"
#include "expand/url_split.h"
#include "fuzz_support.h"
#include "model_clipboard.h"

namespace velnor {
namespace {

using fuzz::Show;

constexpr size_t kTextLimit = 512;

// Every value the split may write, and the start number.
struct Fields {
  String urltxt, combo2, combo1, combo3, text1, text2;
  int check3, check1, checkund, check2;
  bool option0, option1;
  double startNumber;
  bool operator==(const Fields&) const = default;

  static Fields Of(const testing::ModelProgram& p) {
    const ModelForm& w = p.window;
    return {w.urltxt.GetText(), w.Combo2.GetText(), w.Combo1.GetText(), w.Combo3.GetText(), w.text1.GetText(),
            w.text2.GetText(), w.Check3.Value(), w.Check1.Value(), w.Checkund.Value(), w.Check2.Value(),
            w.Option0.Value(), w.Option1.Value(), p.program.startNumber};
  }
};

}  // namespace
}  // namespace velnor

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velnor;
  if (size == 0) return 0;
  const int way = data[0] % 3;
  const String text = fuzz::Text(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), kTextLimit);

  testing::ClipboardModelProgram p;
  ModelForm& w = p.window;
  ((data[0] & 4) ? w.Option1 : w.Option0).Select();
  w.List1.ClickItem((data[0] & 8) ? 1 : 0);
  w.Combo2.SetText(u"old/");
  w.Combo1.SetText(u".gif");
  testing::ModelProgram::Type(w.text1, u"5");
  p.program.autoSplit = way == 1;
  InstallClipboardWatcher(p.program);

  // The window as it would be if nothing split: a copied URL reaches urltxt whole.
  Fields expected = Fields::Of(p);
  const bool copied = way != 0 && text.rfind(u"http://", 0) == 0;
  if (way == 0) {
    w.urltxt.SetText(text);
    expected.urltxt = text;
  } else {
    p.clipboard.CopyText(text);
    if (copied) expected.urltxt = text;
  }
  const bool command = way != 1;
  if (command) SplitUrlCommand(p.program);
  const std::string where = "way " + std::to_string(way) + " text " + Show(text);

  const Fields after = Fields::Of(p);
  if (after == expected) {
    // Refused: the command says why, once; the automatic split never shows a box.
    FUZZ_CHECK(p.platform.messages.size() == (command ? 1u : 0u), where);
    return 0;
  }
  FUZZ_CHECK(p.platform.messages.empty(), where);
  FUZZ_CHECK(command || copied, where + ": a text that never reached urltxt was split");
  const String url(TrimmedUrl(expected.urltxt));
  RunExpandCommand(p.program);
  bool found = false;
  for (const String& item : w.urllist.Items()) {
    FUZZ_CHECK(item.size() == url.size(), where + " item " + Show(item));
    found = found || item == url;
  }
  FUZZ_CHECK(found, where + " fields urltxt " + Show(after.urltxt) + " Combo2 " + Show(after.combo2) + " Text(1) " +
                        Show(after.text1) + " Combo3 " + Show(after.combo3) + " Combo1 " + Show(after.combo1));
  return 0;
}
