#pragma once
// The model program with settings files kept in memory, and the state of the controls
// that the settings file fills, for comparing whole window states in one expectation.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "model_program.h"
#include "settings/portable_profile.h"
#include "settings/settings_file.h"

namespace velnor::testing {

struct SettingsProgram : ModelProgram {
  explicit SettingsProgram(const String& folder = u"C:\\Velnor") : profile(folder) { program.profile = &profile; }

  String Path() const { return SettingsFilePath(profile.ProgramFolder()); }
  // A settings file as a user would write it by hand: Shift_JIS bytes.
  void PutFile(const String& text) { profile.files[Path()].bytes = cp932::Encode(text); }
  void PutBytes(const std::string& bytes) { profile.files[Path()].bytes = bytes; }
  const std::string& FileBytes() const { return profile.files.at(Path()).bytes; }

  MemoryProfile profile;
};

// What loading can change in the window; a fresh window holds the defaults of this struct.
struct SettingsState {
  int check3 = 0;
  int check1 = 0;
  int checkund = 0;
  int check2 = 0;
  bool option0 = false;
  bool option1 = false;
  String combo2Text{};
  std::vector<String> combo2Items{};
  String combo1Text{};
  std::vector<String> combo1Items{};

  bool operator==(const SettingsState&) const = default;

  static SettingsState Of(const ModelForm& w) {
    return {w.Check3.Value(), w.Check1.Value(),   w.Checkund.Value(), w.Check2.Value(),
            w.Option0.Value(), w.Option1.Value(), w.Combo2.GetText(), w.Combo2.Items(),
            w.Combo1.GetText(), w.Combo1.Items()};
  }
};

inline std::ostream& operator<<(std::ostream& out, const SettingsState& s) {
  auto list = [&out](const std::vector<String>& items) {
    out << "[";
    for (const auto& item : items) out << ToUtf8(item) << ";";
    out << "]";
  };
  out << "Check3=" << s.check3 << " Check1=" << s.check1 << " Checkund=" << s.checkund << " Check2=" << s.check2
      << " Option0=" << s.option0 << " Option1=" << s.option1 << " Combo2=" << ToUtf8(s.combo2Text);
  list(s.combo2Items);
  out << " Combo1=" << ToUtf8(s.combo1Text);
  list(s.combo1Items);
  return out;
}

}  // namespace velnor::testing
