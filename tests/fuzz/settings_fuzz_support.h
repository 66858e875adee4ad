#pragma once
// The settings file on the model window, for the settings fuzz targets: a run that loads
// given bytes as Velnor.ini, what any loaded window must look like, and the window as the
// file keeps it.
#include <algorithm>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "fuzz_support.h"
#include "model_program.h"
#include "settings/list_history.h"
#include "settings/portable_profile.h"
#include "settings/settings_file.h"

namespace velnor::fuzz {

using velnor::testing::ModelProgram;

inline const String kFolder = u"C:\\Velnor";

struct Loaded : ModelProgram {
  explicit Loaded(const std::string& bytes) {
    program.profile = &profile;
    profile.files[SettingsFilePath(kFolder)].bytes = bytes;
    LoadSettings(program);
  }
  MemoryProfile profile{kFolder};
  std::string Bytes() const { return profile.files.at(SettingsFilePath(kFolder)).bytes; }
};

inline std::string ShowList(const std::vector<String>& items) {
  std::string out = "[";
  for (const auto& item : items) out += Show(item) + " ";
  return out + "]";
}

// What loading may leave: states 0..2 (0 where nothing was read), at most one start-number
// button and startNumber to match, the lists packed from the non-empty history slots, and
// texts that were each one line of the file.
inline void CheckLoadedWindow(const Loaded& run) {
  const ModelForm& w = run.window;
  for (const ModelCheckBox* box : {&w.Check1, &w.Check2, &w.Check3, &w.Checkund}) {
    FUZZ_CHECK(box->Value() >= 0 && box->Value() <= 2, "check state " + std::to_string(box->Value()));
  }
  FUZZ_CHECK(!(w.Option0.Value() && w.Option1.Value()), "both start-number buttons selected");
  FUZZ_CHECK(run.program.startNumber == (w.Option1.Value() ? 1 : 0), "startNumber does not follow the buttons");
  FUZZ_CHECK(w.text1.GetText().empty() && w.urltxt.GetText() == u"URL", "loading touched the entry fields");
  FUZZ_CHECK(run.platform.messages.empty(), "loading showed a message");

  const struct {
    const ModelComboBox& combo;
    const HistorySlots& slots;
  } lists[] = {{w.Combo2, run.program.subfolderHistory}, {w.Combo1, run.program.extensionHistory}};
  for (const auto& list : lists) {
    std::vector<String> packed;
    for (int slot = 1; slot <= kHistorySize; ++slot) {
      if (!list.slots[slot].empty()) packed.push_back(list.slots[slot]);
    }
    FUZZ_CHECK(list.combo.Items() == packed, "list " + ShowList(list.combo.Items()) + " slots " + ShowList(packed));
    FUZZ_CHECK(list.slots[0].empty(), "slot 0 used");
    std::vector<String> texts = list.combo.Items();
    texts.push_back(list.combo.GetText());
    for (const String& text : texts) {
      FUZZ_CHECK(text.find_first_of(String(u"\r\n\0", 3)) == String::npos, "a value across lines " + Show(text));
      // Blanks after "=" are not part of a value.
      FUZZ_CHECK(text.empty() || (text[0] != u' ' && text[0] != u'\t' && text[0] != u'\x1a'),
                 "a value that begins with a blank " + Show(text));
    }
  }
}

// The window as the settings file keeps it.
struct Kept {
  int check1, check2, check3, checkund;
  bool option0;
  String combo1, combo2;
  std::vector<String> list1, list2;
  bool operator==(const Kept&) const = default;
};

inline Kept Keep(const ModelForm& w) {
  return {w.Check1.Value(), w.Check2.Value(), w.Check3.Value(), w.Checkund.Value(), w.Option0.Value(),
          w.Combo1.GetText(), w.Combo2.GetText(), w.Combo1.Items(), w.Combo2.Items()};
}

// What a value becomes on its way through the file: the reader trims blanks at the end of
// a line, which a value read from a line with a NUL in it may still carry; and an empty
// entry of a list is not loaded back.
inline String Settled(String text) {
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t' || text.back() == u'\x1a')) text.pop_back();
  return text;
}

inline Kept Settled(const Kept& kept) {
  Kept settled = kept;
  settled.combo1 = Settled(kept.combo1);
  settled.combo2 = Settled(kept.combo2);
  for (auto* list : {&settled.list1, &settled.list2}) {
    for (String& item : *list) item = Settled(item);
    std::erase(*list, String());
  }
  return settled;
}

inline bool Holdable(const Kept& kept) {
  std::vector<String> texts = kept.list1;
  texts.insert(texts.end(), kept.list2.begin(), kept.list2.end());
  texts.push_back(kept.combo1);
  texts.push_back(kept.combo2);
  return std::all_of(texts.begin(), texts.end(), [](const String& text) { return cp932::CanHold(text); });
}

inline std::string ShowKept(const Kept& k) {
  return "lists " + ShowList(k.list2) + ShowList(k.list1) + " texts " + Show(k.combo2) + " " +
         Show(k.combo1) + " checks " + std::to_string(k.check1) + std::to_string(k.check2) +
         std::to_string(k.check3) + std::to_string(k.checkund) + " option0 " + std::to_string(k.option0);
}

}  // namespace velnor::fuzz
