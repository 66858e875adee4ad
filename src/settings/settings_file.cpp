#include "settings/settings_file.h"

#include <algorithm>
#include <optional>

#include "base/numbers.h"
#include "settings/list_history.h"
#include "settings/profile_platform.h"

namespace velnor {
namespace {

const String kStartFolderKey = u"KIDOU";
const String kOptionKey = u"CHECK3";
const String kSubfolderKey = u"SUBFOLDER";
const String kExtensionKey = u"KAKUTYOUSI";
const String kLastSubfolderKey = u"LAST-FLD";
const String kLastExtensionKey = u"LAST-KAKU";
const String kAutoSplitKey = u"AUTOSPLIT";
const String kDownloadFolderKey = u"DLFOLDER";
const String kDownloadConnectionsKey = u"DLCONNECTIONS";
const String kStopMissingKey = u"DLSTOPMISSING";
const String kRefererKey = u"DLREFERER";
const String kAutoFindKey = u"AUTOFIND";

// The keys that carry a check box state, and the box each one sets.
struct CheckKey {
  const char16_t* key;
  CheckBox* Form1::*box;
};
constexpr CheckKey kCheckKeys[] = {
    {u"CHECK1", &Form1::Check3},
    {u"CHECK2", &Form1::Check1},
    {u"CHECK4", &Form1::Checkund},
    {u"CHECK5", &Form1::Check2},
};

const String kNul(1, u'\0');

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

// Slot n for the key prefix + n, n = 1..10 written without leading zeros; 0 otherwise.
int HistorySlot(const String& key, const String& prefix) {
  if (key.size() <= prefix.size() || key.compare(0, prefix.size(), prefix) != 0) return 0;
  const String number = key.substr(prefix.size());
  if (number == u"10") return 10;
  if (number.size() == 1 && number[0] >= u'1' && number[0] <= u'9') return number[0] - u'0';
  return 0;
}

// A check box kept as 1 or 0; any other value is no state and changes nothing.
void ApplyFlag(const String& value, bool& flag) {
  if (value == u"1" || value == u"0") flag = value == u"1";
}

// The download window's keys; false for any other key.
bool ApplyDownloadEntry(Program& program, const String& key, const String& value) {
  DownloadOptions& options = program.downloadOptions;
  if (key == kDownloadFolderKey) {
    // Empty: the Downloads folder stays.
    if (!value.empty()) options.folder = value;
    program.savedDownloadFolder = value;
  } else if (key == kDownloadConnectionsKey) {
    if (value.size() == 1 && value[0] >= u'0' + kMinDownloadConnections && value[0] <= u'0' + kMaxDownloadConnections) {
      options.connections = value[0] - u'0';
    }
  } else if (key == kStopMissingKey) {
    ApplyFlag(value, options.stopAfterMissing);
  } else if (key == kRefererKey) {
    ApplyFlag(value, options.sendReferer);
  } else {
    return false;
  }
  return true;
}

void ApplySettingsEntry(Program& program, const String& key, const String& value) {
  if (ApplyDownloadEntry(program, key, value)) return;
  const Form1& f = program.form;
  for (const CheckKey& check : kCheckKeys) {
    if (key == check.key) {
      if (const auto state = CheckState(value)) (f.*check.box)->SetValue(*state);
      return;
    }
  }
  if (key == kOptionKey) {
    // Selecting raises the option handling, as a click would.
    if (value == u"True") {
      f.Option0->Select();
    } else {
      f.Option1->Select();
    }
  } else if (key == kAutoSplitKey) {
    ApplyFlag(value, program.autoSplit);
  } else if (key == kAutoFindKey) {
    ApplyFlag(value, program.autoFind);
  } else if (key == kLastSubfolderKey) {
    f.Combo2->SetText(value);
  } else if (key == kLastExtensionKey) {
    f.Combo1->SetText(value);
  } else if (const int slot = HistorySlot(key, kSubfolderKey)) {
    program.subfolderHistory[slot] = value;
  } else if (const int extensionSlot = HistorySlot(key, kExtensionKey)) {
    program.extensionHistory[extensionSlot] = value;
  }
}

std::array<String, 7> SectionsInFileOrder() {
  std::array<String, 7> sections;
  std::copy(kSettingsSections.begin(), kSettingsSections.end(), sections.begin());
  sections.back() = kOptionSection;
  return sections;
}

String Entry(const String& key, const String& value) { return key + u"=" + value + kNul; }

String HistoryEntries(const String& prefix, const HistorySlots& slots) {
  String text;
  for (int n = 1; n <= kHistorySize; ++n) text += Entry(prefix + DecimalText(n), slots[n]);
  return text + kNul;
}

String Flag(bool value) { return value ? u"1" : u"0"; }

// A folder the file's code page cannot hold is not written: the file keeps the one it held.
String OptionEntries(Program& program) {
  const DownloadOptions& options = program.downloadOptions;
  if (program.profile->AnsiCanHold(options.folder)) program.savedDownloadFolder = options.folder;
  return Entry(kAutoSplitKey, Flag(program.autoSplit)) + Entry(kDownloadFolderKey, program.savedDownloadFolder) +
         Entry(kDownloadConnectionsKey, DecimalText(options.connections)) +
         Entry(kStopMissingKey, Flag(options.stopAfterMissing)) + Entry(kRefererKey, Flag(options.sendReferer)) +
         Entry(kAutoFindKey, Flag(program.autoFind)) + kNul;
}

// The six section texts, in the order of kSettingsSections, then the options section.
std::array<String, 7> ComposeSettingsSections(Program& program, const String& folder) {
  const Form1& f = program.form;
  auto state = [](const CheckBox* box) { return DecimalText(box->Value()); };
  return {
      Entry(kStartFolderKey, folder) + kNul,
      Entry(u"CHECK1", state(f.Check3)) + Entry(u"CHECK2", state(f.Check1)) +
          Entry(kOptionKey, f.Option0->Value() ? u"True" : u"False") +
          Entry(u"CHECK4", state(f.Checkund)) + Entry(u"CHECK5", state(f.Check2)) + kNul,
      HistoryEntries(kSubfolderKey, program.subfolderHistory),
      HistoryEntries(kExtensionKey, program.extensionHistory),
      Entry(kLastSubfolderKey, f.Combo2->GetText()) + kNul,
      Entry(kLastExtensionKey, f.Combo1->GetText()) + kNul,
      OptionEntries(program),
  };
}

}  // namespace

String SettingsFilePath(const String& programFolder) {
  if (!programFolder.empty() && programFolder.back() == u'\\') return programFolder + kSettingsFileName;
  return programFolder + u"\\" + kSettingsFileName;
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
  return program.profile->PathFileExistsA(path);
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

  String buffer;
  std::vector<String> entries;
  std::vector<String> pieces;
  for (const String& section : SectionsInFileOrder()) {
    const int count = profile.GetPrivateProfileSectionA(section, buffer, kSectionBufferSize, path);
    if (count <= 0) continue;
    // The last piece is the empty text after the final NUL; like any entry without "=" it
    // is skipped.
    SplitText(buffer.substr(0, static_cast<size_t>(count)), kNul, entries);
    for (const String& entry : entries) {
      if (SplitText(entry, u"=", pieces) == 1) {
        ApplySettingsEntry(program, pieces[0], pieces[1]);
      } else if (entry.starts_with(kDownloadFolderKey + u"=")) {
        // A folder name may hold "=" itself.
        ApplyDownloadEntry(program, kDownloadFolderKey, entry.substr(kDownloadFolderKey.size() + 1));
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
  const String folder = profile.ProgramFolder();
  const String path = SettingsFilePath(folder);
  const std::array<String, 7> texts = ComposeSettingsSections(program, folder);
  const std::array<String, 7> sections = SectionsInFileOrder();
  // Every section is written even after a failed one: a locked file may free up.
  bool saved = true;
  for (size_t i = 0; i < texts.size(); ++i) {
    saved = profile.WritePrivateProfileSectionA(sections[i], texts[i], path) && saved;
  }
  if (!saved) program.platform->ShowMessage(kSaveFailedMessage + u"\n" + path, u"注意", kOkOnly);
  return saved;
}

}  // namespace velnor
