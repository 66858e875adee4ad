// Any bytes as Velnor.ini: loading must neither crash nor hang, a section read never passes
// the buffer, and what the exit writes over that file loads back into the same window.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model_program.h"
#include "settings/ini_text.h"
#include "settings/list_history.h"
#include "settings/portable_profile.h"
#include "settings/settings_file.h"

namespace {

using velnor::testing::ModelProgram;

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Run : ModelProgram {
  Run() { program.profile = &profile; }
  velnor::MemoryProfile profile{u"C:\\Velnor"};
};

bool SameWindow(const velnor::ModelForm& a, const velnor::ModelForm& b) {
  return a.Check1.Value() == b.Check1.Value() && a.Check2.Value() == b.Check2.Value() &&
         a.Check3.Value() == b.Check3.Value() && a.Checkund.Value() == b.Checkund.Value() &&
         // Without CHECK3 neither button is selected at first; the exit then writes False.
         (a.Option0.Value() ? b.Option0.Value() : b.Option1.Value()) &&
         a.Combo1.Items() == b.Combo1.Items() && a.Combo2.Items() == b.Combo2.Items();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // The first byte picks a buffer size, small ones included.
  const int bufferSize = size == 0 ? 0 : data[0] % 64;
  Check(velnor::ini::ReadSection(bytes, "A", bufferSize).size() + 2 <= static_cast<size_t>(std::max(bufferSize, 2)));

  Run first;
  const velnor::String path = velnor::SettingsFilePath(first.profile.ProgramFolder());
  first.profile.files[path].bytes = bytes;
  velnor::LoadSettings(first.program);
  velnor::UpdateHistoryLists(first.program);
  Check(velnor::SaveSettings(first.program));

  // The written file loads back; texts with "=" or line breaks do not survive by design, so
  // only the lists and check boxes are compared, and only when every item is plain.
  Run second;
  second.profile.files = first.profile.files;
  velnor::LoadSettings(second.program);
  bool plain = true;
  for (const auto* combo : {&first.window.Combo1, &first.window.Combo2}) {
    for (const auto& item : combo->Items()) {
      for (char16_t c : item) {
        if (c == u'=' || c == u'\r' || c == u'\n' || c == u' ' || c == u'\t' || c == 0x1a || c == 0 ||
            c == u'[' || c == u';' || c >= 0x80) {
          plain = false;
        }
      }
      if (item.empty()) plain = false;
    }
  }
  if (plain) Check(SameWindow(first.window, second.window));
  return 0;
}
