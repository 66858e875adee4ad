#include "settings/settings_file.h"

#include <algorithm>
#include <optional>

#include "base/cp932.h"
#include "base/numbers.h"
#include "settings/file_encoding.h"
#include "settings/ini_text.h"
#include "settings/list_history.h"
#include "settings/profile_platform.h"

namespace velnor {
namespace {

// Keys whose values may hold "=" themselves: folder and file names, URLs with a query.
const String kKeysWithAnyValue[] = {u"DLFOLDER", u"DLREFERERURL", u"DLCOOKIES"};

// A check state written as a whole number 0, 1 or 2 ("01" too); anything else is no state.
std::optional<int> CheckState(const String& value) {
  const size_t begin = value.find_first_not_of(u" \t");
  const size_t end = value.find_last_not_of(u" \t");
  if (begin == String::npos) return std::nullopt;
  const String digits = value.substr(begin, end - begin + 1);
  if (digits.find_first_not_of(u"0123456789") != String::npos) return std::nullopt;
  const size_t first = digits.find_first_not_of(u'0');
  if (first == String::npos) return 0;
  if (digits.size() - first != 1 || digits[first] > u'2') return std::nullopt;
  return digits[first] - u'0';
}

void ApplyCheck(CheckBox* box, const String& value) {
  if (const auto state = CheckState(value)) box->SetValue(*state);
}

// A check box kept as 1 or 0; any other value is no state and changes nothing.
void ApplyFlag(const String& value, bool& flag) {
  if (value == u"1" || value == u"0") flag = value == u"1";
}

String Flag(bool value) { return value ? u"1" : u"0"; }

// Every key of the file, in the order it is written; the reader takes any of them from any
// of the seven sections. A key with slots stands for the keys prefix1 .. prefix10.
struct SettingsKey {
  size_t section;  // in SectionsInFileOrder()
  const char16_t* key;
  int slots;
  String (*value)(const Program&, int slot);
  void (*apply)(Program&, int slot, const String& value);  // null: written, never read
};

const SettingsKey kSettingsKeys[] = {
    {0, u"KIDOU", 0, [](const Program& p, int) { return p.profile->ProgramFolder(); }, nullptr},
    {1, u"CHECK1", 0, [](const Program& p, int) { return DecimalText(p.form.Check3->Value()); },
     [](Program& p, int, const String& v) { ApplyCheck(p.form.Check3, v); }},
    {1, u"CHECK2", 0, [](const Program& p, int) { return DecimalText(p.form.Check1->Value()); },
     [](Program& p, int, const String& v) { ApplyCheck(p.form.Check1, v); }},
    {1, u"CHECK3", 0, [](const Program& p, int) -> String { return p.form.Option0->Value() ? u"True" : u"False"; },
     // Selecting raises the option handling, as a click would.
     [](Program& p, int, const String& v) {
       if (v == u"True") {
         p.form.Option0->Select();
       } else {
         p.form.Option1->Select();
       }
     }},
    {1, u"CHECK4", 0, [](const Program& p, int) { return DecimalText(p.form.Checkund->Value()); },
     [](Program& p, int, const String& v) { ApplyCheck(p.form.Checkund, v); }},
    {1, u"CHECK5", 0, [](const Program& p, int) { return DecimalText(p.form.Check2->Value()); },
     [](Program& p, int, const String& v) { ApplyCheck(p.form.Check2, v); }},
    {2, u"SUBFOLDER", kHistorySize, [](const Program& p, int slot) { return p.subfolderHistory[slot]; },
     [](Program& p, int slot, const String& v) { p.subfolderHistory[slot] = v; }},
    {3, u"KAKUTYOUSI", kHistorySize, [](const Program& p, int slot) { return p.extensionHistory[slot]; },
     [](Program& p, int slot, const String& v) { p.extensionHistory[slot] = v; }},
    {4, u"LAST-FLD", 0, [](const Program& p, int) { return p.form.Combo2->GetText(); },
     [](Program& p, int, const String& v) { p.form.Combo2->SetText(v); }},
    {5, u"LAST-KAKU", 0, [](const Program& p, int) { return p.form.Combo1->GetText(); },
     [](Program& p, int, const String& v) { p.form.Combo1->SetText(v); }},
    {6, u"AUTOSPLIT", 0, [](const Program& p, int) { return Flag(p.autoSplit); },
     [](Program& p, int, const String& v) { ApplyFlag(v, p.autoSplit); }},
    // Empty: the Downloads folder stays.
    {6, u"DLFOLDER", 0, [](const Program& p, int) { return p.downloadOptions.folder; },
     [](Program& p, int, const String& v) {
       if (!v.empty()) p.downloadOptions.folder = v;
     }},
    {6, u"DLCONNECTIONS", 0, [](const Program& p, int) { return DecimalText(p.downloadOptions.connections); },
     [](Program& p, int, const String& v) {
       if (v.size() == 1 && v[0] >= u'0' + kMinDownloadConnections && v[0] <= u'0' + kMaxDownloadConnections) {
         p.downloadOptions.connections = v[0] - u'0';
       }
     }},
    {6, u"DLSTOPMISSING", 0, [](const Program& p, int) { return Flag(p.downloadOptions.stopAfterMissing); },
     [](Program& p, int, const String& v) { ApplyFlag(v, p.downloadOptions.stopAfterMissing); }},
    {6, u"DLREFERER", 0, [](const Program& p, int) { return Flag(p.downloadOptions.sendReferer); },
     [](Program& p, int, const String& v) { ApplyFlag(v, p.downloadOptions.sendReferer); }},
    {6, u"AUTOFIND", 0, [](const Program& p, int) { return Flag(p.autoFind); },
     [](Program& p, int, const String& v) { ApplyFlag(v, p.autoFind); }},
    {6, u"HTTPS", 0, [](const Program& p, int) { return Flag(p.copyHttps); },
     [](Program& p, int, const String& v) { ApplyFlag(v, p.copyHttps); }},
    // Paths and URLs as typed; the cookie file's path only, never what it holds.
    {6, u"DLREFERERURL", 0, [](const Program& p, int) { return p.downloadOptions.refererUrl; },
     [](Program& p, int, const String& v) { p.downloadOptions.refererUrl = v; }},
    {6, u"DLCOOKIES", 0, [](const Program& p, int) { return p.downloadOptions.cookiesFile; },
     [](Program& p, int, const String& v) { p.downloadOptions.cookiesFile = v; }},
};

// Slot n for the key prefix + n, n = 1..slots written without leading zeros; 0 otherwise.
int KeySlot(const String& key, const String& prefix, int slots) {
  if (key.size() <= prefix.size() || key.compare(0, prefix.size(), prefix) != 0) return 0;
  const String number = key.substr(prefix.size());
  for (int n = 1; n <= slots; ++n) {
    if (number == DecimalText(n)) return n;
  }
  return 0;
}

void ApplySettingsEntry(Program& program, const String& key, const String& value) {
  for (const SettingsKey& row : kSettingsKeys) {
    const int slot = row.slots == 0 ? (key == row.key ? -1 : 0) : KeySlot(key, row.key, row.slots);
    if (slot == 0) continue;
    if (row.apply) row.apply(program, slot, value);
    return;
  }
}

std::array<String, 7> SectionsInFileOrder() {
  std::array<String, 7> sections;
  std::copy(kSettingsSections.begin(), kSettingsSections.end(), sections.begin());
  sections.back() = kOptionSection;
  return sections;
}

std::string Encode(const String& text, ini::Encoding encoding) {
  return encoding == ini::Encoding::kUtf8 ? ToUtf8(text) : cp932::Encode(text);
}

String Decode(std::string_view bytes, ini::Encoding encoding) {
  return encoding == ini::Encoding::kUtf8 ? FromUtf8(bytes) : cp932::Decode(bytes);
}

}  // namespace

std::string SettingsFileBytes(const Program& program, std::string_view file) {
  const SettingsFileText text(file);
  const ini::Encoding encoding = text.Encoding();
  const std::array<String, 7> sections = SectionsInFileOrder();
  std::array<std::string, 7> names;
  for (size_t s = 0; s < sections.size(); ++s) names[s] = Encode(sections[s], encoding);

  // The keys and values in the file's encoding; the entries point into them.
  struct Written {
    size_t section;
    std::string key;
    std::optional<std::string> value;
  };
  std::vector<Written> written;
  for (const SettingsKey& row : kSettingsKeys) {
    for (int slot = row.slots == 0 ? 0 : 1; slot <= row.slots; ++slot) {
      const String key = row.slots == 0 ? String(row.key) : row.key + DecimalText(slot);
      const String value = row.value(program, slot);
      // A value that code page 932 cannot hold is not written: the file keeps the one it held.
      std::optional<std::string> bytes;
      if (text.HoldsEveryCharacter() || cp932::CanHold(value)) bytes = Encode(value, encoding);
      written.push_back({row.section, Encode(key, encoding), std::move(bytes)});
    }
  }
  std::vector<ini::Entry> entries;
  entries.reserve(written.size());
  for (const Written& w : written) {
    entries.push_back({names[w.section], w.key, w.value ? std::optional<std::string_view>(*w.value) : std::nullopt});
  }
  return text.FileBytes(ini::UpdateEntries(text.Bytes(), entries, encoding));
}

bool HoldsEveryCharacter(std::string_view file) {
  return SettingsFileText(file).HoldsEveryCharacter();
}

String SettingsFilePath(const String& programFolder) {
  if (!programFolder.empty() && programFolder.back() == u'\\') return programFolder + kSettingsFileName;
  return programFolder + u"\\" + kSettingsFileName;
}

String SettingsTemporaryPath(StringView path) {
  const size_t nameBegin = path.find_last_of(u"\\/") + 1;  // 0 when there is no folder
  if (nameBegin == path.size()) return String();
  String temporary(path);
  temporary.back() = temporary.back() == u'~' ? u'_' : u'~';
  return temporary;
}

int SplitText(const String& text, const String& separator, std::vector<String>& pieces) {
  pieces.clear();
  size_t pos = 0;
  for (size_t found; (found = text.find(separator, pos)) != String::npos; pos = found + separator.size()) {
    pieces.push_back(text.substr(pos, found - pos));
  }
  pieces.push_back(text.substr(pos));
  return static_cast<int>(pieces.size()) - 1;
}

bool FileExists(const Program& program, const String& path) {
  return program.profile->PathFileExists(path);
}

void LoadSettings(Program& program) {
  program.downloadOptions.folder = program.profile->DownloadsFolder();
  const String path = SettingsFilePath(program.profile->ProgramFolder());
  if (FileExists(program, path)) {
    ReadSettingsFile(program);
    return;
  }
  const Form1& f = program.form;
  f.Option0->Select();
  f.Check3->SetValue(1);
  f.Check1->SetValue(1);
  f.Check2->SetValue(1);
  f.Checkund->SetValue(1);
  f.Combo2->AddItem(u"sam/");
  f.Combo2->AddItem(u"image/");
  f.Combo2->SetText(u"sam/");
  f.Combo1->AddItem(u".jpg");
  f.Combo1->AddItem(u".jpeg");
  f.Combo1->AddItem(u".gif");
  f.Combo1->SetText(u".jpg");
}

void ReadSettingsFile(Program& program) {
  ProfilePlatform& profile = *program.profile;
  const String path = SettingsFilePath(profile.ProgramFolder());
  if (!profile.FindOrdinaryFile(path)) return;
  const std::optional<std::string> file = profile.ReadWholeFile(path);
  if (!file) return;
  const SettingsFileText text(*file);

  std::vector<String> entries;
  std::vector<String> pieces;
  for (const String& section : SectionsInFileOrder()) {
    const std::string bytes =
        ini::ReadSection(text.Bytes(), Encode(section, text.Encoding()), kSectionBufferSize, text.Encoding());
    if (bytes.empty()) continue;
    // Each entry decoded on its own: a lead byte at the end of one does not take the NUL
    // after it, and with it the next entry.
    entries.clear();
    for (size_t begin = 0, end = 0; begin < bytes.size(); begin = end + 1) {
      end = std::min(bytes.find('\0', begin), bytes.size());
      entries.push_back(Decode(std::string_view(bytes).substr(begin, end - begin), text.Encoding()));
    }
    for (const String& entry : entries) {
      if (SplitText(entry, u"=", pieces) == 1) {
        ApplySettingsEntry(program, pieces[0], pieces[1]);
      } else {
        for (const String& key : kKeysWithAnyValue) {
          if (entry.starts_with(key + u"=")) ApplySettingsEntry(program, key, entry.substr(key.size() + 1));
        }
      }
    }
  }

  // Only now, after every section: the lists are packed in slot order, empty slots skipped.
  const Form1& f = program.form;
  for (int slot = 1; slot <= kHistorySize; ++slot) {
    if (!program.subfolderHistory[slot].empty()) f.Combo2->AddItem(program.subfolderHistory[slot]);
    if (!program.extensionHistory[slot].empty()) f.Combo1->AddItem(program.extensionHistory[slot]);
  }
}

bool SaveSettings(Program& program) {
  ProfilePlatform& profile = *program.profile;
  const String path = SettingsFilePath(profile.ProgramFolder());
  const std::optional<std::string> file = profile.ReadWholeFile(path);
  // Something there that cannot be read (a folder, a file held open) is not replaced.
  const bool saved = (file || !profile.PathFileExists(path)) &&
                     profile.ReplaceWholeFile(path, SettingsFileBytes(program, file ? *file : std::string_view()));
  if (!saved) program.platform->ShowMessage(kSaveFailedMessage + u"\n" + path, u"注意", kOkOnly);
  return saved;
}

}  // namespace velnor
