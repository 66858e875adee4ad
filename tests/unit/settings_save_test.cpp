// Writing Velnor.ini at exit: the exact file of a first run, the section texts, what a
// restart makes of them, what happens to the rest of the file, and a file that cannot be
// written.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>

#include "settings/ini_text.h"
#include "settings/list_history.h"
#include "settings_fixture.h"

namespace velnor::testing {
namespace {

using namespace std::string_literals;

// The section names in Shift_JIS.
const std::string kStartFolder = "[\x8B\x4E\x93\xAE\x83\x74\x83\x48\x83\x8B\x83\x5F]\r\n";
const std::string kCheck = "[\x83\x60\x83\x46\x83\x62\x83\x4E]\r\n";
const std::string kSubfolders = "[\x83\x54\x83\x75\x83\x74\x83\x48\x83\x8B\x83\x5F]\r\n";
const std::string kExtensions = "[\x8A\x67\x92\xA3\x8E\x71]\r\n";
const std::string kLastFolder = "[\x8F\x49\x97\xB9\x8E\x9E\x83\x74\x83\x48\x83\x8B\x83\x5F]\r\n";
const std::string kLastExtension = "[\x8F\x49\x97\xB9\x8E\x9E\x8A\x67\x92\xA3\x8E\x71]\r\n";
const std::string kOptions = "[\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93]\r\n";

// Start-up's part and shut-down's part of the settings.
void Exit(SettingsProgram& p) {
  UpdateHistoryLists(p.program);
  SaveSettings(p.program);
}

String Section(const MemoryProfile& profile, const String& section, const String& path) {
  return cp932::Decode(ini::ReadSection(profile.files.at(path).bytes, cp932::Encode(section), kSectionBufferSize));
}

// The files that the Windows profile functions (WritePrivateProfileSectionA under Wine with
// code page 932) wrote for a first run and for FillEveryKey, program folder C:\Velnor.
std::string WrittenByTheProfileFunctions(const char* name) {
  std::ifstream in(std::string(VELNOR_TEST_DATA) + "/" + name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
const char* const kFirstRunFile = "settings_default_wine.ini";
const char* const kEveryKeyFile = "settings_full_wine.ini";
const String kWineDownloads = u"C:\\users\\root\\Downloads";

// Every key set, both histories full, Japanese values (half-width too, and 表 and ソ, whose
// second byte is a backslash).
void FillEveryKey(SettingsProgram& p) {
  ModelForm& w = p.window;
  w.Check3.SetValue(0);
  w.Check1.SetValue(2);
  w.Checkund.SetValue(1);
  w.Check2.SetValue(0);
  w.Option1.Select();
  w.Combo2.Clear();
  w.Combo1.Clear();
  for (const char16_t* s : {u"sam/", u"image/", u"画像/", u"ソフト表示/", u"ｶﾞｿﾞｳ/", u"写真 ①/", u"a b/", u"x/", u"表/", u"last/"}) {
    w.Combo2.AddItem(s);
  }
  for (const char16_t* s : {u".jpg", u".jpeg", u".gif", u".png", u".ｊｐｇ", u".bmp", u".webp", u".tif", u".ﾃｽﾄ", u".予"}) {
    w.Combo1.AddItem(s);
  }
  w.Combo2.SetText(u"表/");
  w.Combo1.SetText(u".予");
  p.program.autoSplit = true;
  p.program.downloadOptions = {.folder = u"D:\\ダウンロード\\連番", .connections = 4, .stopAfterMissing = false,
                               .sendReferer = false};
}

TEST(SaveSettings, TheFileOfAFirstRun) {
  SettingsProgram p(u"C:\\Tools\\Velnor");
  LoadSettings(p.program);
  Exit(p);
  EXPECT_EQ(p.FileBytes(),
            kStartFolder + "KIDOU=C:\\Tools\\Velnor\r\n" +
            kCheck + "CHECK1=1\r\nCHECK2=1\r\nCHECK3=True\r\nCHECK4=1\r\nCHECK5=1\r\n" +
            kSubfolders + "SUBFOLDER1=sam/\r\nSUBFOLDER2=image/\r\nSUBFOLDER3=\r\nSUBFOLDER4=\r\n"
                          "SUBFOLDER5=\r\nSUBFOLDER6=\r\nSUBFOLDER7=\r\nSUBFOLDER8=\r\nSUBFOLDER9=\r\n"
                          "SUBFOLDER10=\r\n" +
            kExtensions + "KAKUTYOUSI1=.jpg\r\nKAKUTYOUSI2=.jpeg\r\nKAKUTYOUSI3=.gif\r\nKAKUTYOUSI4=\r\n"
                          "KAKUTYOUSI5=\r\nKAKUTYOUSI6=\r\nKAKUTYOUSI7=\r\nKAKUTYOUSI8=\r\nKAKUTYOUSI9=\r\n"
                          "KAKUTYOUSI10=\r\n" +
            kLastFolder + "LAST-FLD=sam/\r\n" +
            kLastExtension + "LAST-KAKU=.jpg\r\n" +
            kOptions + "AUTOSPLIT=0\r\nDLFOLDER=C:\\Users\\User\\Downloads\r\nDLCONNECTIONS=2\r\n"
                       "DLSTOPMISSING=1\r\nDLREFERER=1\r\nAUTOFIND=0\r\nHTTPS=0\r\nDLREFERERURL=\r\nDLCOOKIES=\r\n");
  EXPECT_TRUE(p.platform.messages.empty());
}

TEST(SaveSettings, SectionTextsFromTheWindow) {
  SettingsProgram p(u"C:\\");
  p.window.Check3.SetValue(2);
  p.window.Check1.SetValue(0);
  p.window.Checkund.SetValue(1);
  p.window.Check2.SetValue(0);
  p.window.Option1.Select();
  p.window.Combo2.SetText(u"写真/");
  p.window.Combo1.SetText(u"a=b");
  p.program.subfolderHistory[1] = u"sam/";
  p.program.subfolderHistory[8] = u"x/";
  p.program.extensionHistory[10] = u".png";
  p.program.autoSplit = true;
  p.program.autoFind = true;
  p.program.copyHttps = true;
  p.program.downloadOptions = {.folder = u"D:\\写真 ①", .connections = 4, .stopAfterMissing = false, .sendReferer = true,
                               .refererUrl = u"https://例.jp/view?id=1&p=2", .cookiesFile = u"D:\\鍵\\cookies.txt"};
  ASSERT_TRUE(SaveSettings(p.program));

  const String path = u"C:\\Velnor.ini";
  const struct {
    String section;
    String text;
  } cases[] = {
      {u"起動フォルダ", u"KIDOU=C:\\\0"s},
      {u"チェック", u"CHECK1=2\0CHECK2=0\0CHECK3=False\0CHECK4=1\0CHECK5=0\0"s},
      {u"サブフォルダ", u"SUBFOLDER1=sam/\0SUBFOLDER2=\0SUBFOLDER3=\0SUBFOLDER4=\0SUBFOLDER5=\0"
                       u"SUBFOLDER6=\0SUBFOLDER7=\0SUBFOLDER8=x/\0SUBFOLDER9=\0SUBFOLDER10=\0"s},
      {u"拡張子", u"KAKUTYOUSI1=\0KAKUTYOUSI2=\0KAKUTYOUSI3=\0KAKUTYOUSI4=\0KAKUTYOUSI5=\0"
                 u"KAKUTYOUSI6=\0KAKUTYOUSI7=\0KAKUTYOUSI8=\0KAKUTYOUSI9=\0KAKUTYOUSI10=.png\0"s},
      {u"終了時フォルダ", u"LAST-FLD=写真/\0"s},
      {u"終了時拡張子", u"LAST-KAKU=a=b\0"s},
      {u"オプション", u"AUTOSPLIT=1\0DLFOLDER=D:\\写真 ①\0DLCONNECTIONS=4\0DLSTOPMISSING=0\0DLREFERER=1\0AUTOFIND=1\0HTTPS=1\0"
                   u"DLREFERERURL=https://例.jp/view?id=1&p=2\0DLCOOKIES=D:\\鍵\\cookies.txt\0"s},
  };
  for (const auto& c : cases) EXPECT_EQ(Section(p.profile, c.section, path), c.text) << ToUtf8(c.section);
}

// What the user leaves at exit is what the next start shows.
TEST(SaveSettings, SurvivesARestart) {
  const struct {
    const char* name;
    std::function<void(ModelForm&)> change;
    SettingsState next;
  } cases[] = {
      {"no changes", [](ModelForm&) {},
       {.check3 = 1, .check1 = 1, .checkund = 1, .check2 = 1, .option0 = true,
        .combo2Text = u"sam/", .combo2Items = {u"sam/", u"image/"},
        .combo1Text = u".jpg", .combo1Items = {u".jpg", u".jpeg", u".gif"}}},
      {"Option1 and cleared or greyed boxes",
       [](ModelForm& w) {
         w.Option1.Select();
         w.Check3.SetValue(0);
         w.Check1.SetValue(2);
         w.Checkund.SetValue(0);
         w.Check2.SetValue(0);
       },
       {.check1 = 2, .option1 = true,
        .combo2Text = u"sam/", .combo2Items = {u"sam/", u"image/"},
        .combo1Text = u".jpg", .combo1Items = {u".jpg", u".jpeg", u".gif"}}},
      {"new Japanese texts join the lists",
       [](ModelForm& w) {
         w.Combo2.SetText(u"写真/");
         w.Combo1.SetText(u".ｐｎｇ");
       },
       {.check3 = 1, .check1 = 1, .checkund = 1, .check2 = 1, .option0 = true,
        .combo2Text = u"写真/", .combo2Items = {u"sam/", u"image/", u"写真/"},
        .combo1Text = u".ｐｎｇ", .combo1Items = {u".jpg", u".jpeg", u".gif", u".ｐｎｇ"}}},
      {"a text with = is written but not read back",
       [](ModelForm& w) { w.Combo2.SetText(u"a=b/"); },
       {.check3 = 1, .check1 = 1, .checkund = 1, .check2 = 1, .option0 = true,
        .combo2Items = {u"sam/", u"image/"},
        .combo1Text = u".jpg", .combo1Items = {u".jpg", u".jpeg", u".gif"}}},
      {"an emptied list",
       [](ModelForm& w) {
         w.Combo2.Clear();
         w.Combo2.SetText(u"");
       },
       {.check3 = 1, .check1 = 1, .checkund = 1, .check2 = 1, .option0 = true,
        .combo1Text = u".jpg", .combo1Items = {u".jpg", u".jpeg", u".gif"}}},
  };
  for (const auto& c : cases) {
    SettingsProgram first;
    LoadSettings(first.program);
    c.change(first.window);
    Exit(first);

    SettingsProgram second;
    second.profile.files = first.profile.files;
    LoadSettings(second.program);
    EXPECT_EQ(SettingsState::Of(second.window), c.next) << c.name;
  }
}

TEST(SaveSettings, TheAutomaticSplitAndTheDownloadOptionsSurviveARestart) {
  const struct {
    bool autoSplit;
    DownloadOptions download;
  } cases[] = {
      {true, {.folder = u"E:\\a=b\\画像", .connections = 1, .stopAfterMissing = false, .sendReferer = false}},
      {false, {.folder = u"\\\\server\\share", .connections = 3, .stopAfterMissing = true, .sendReferer = false}},
      // A page with a query ("=" in the value) and a cookie file's path come back as they were.
      {false, {.folder = u"D:\\dl", .sendReferer = true, .refererUrl = u"https://h.example/a?b=c=d",
               .cookiesFile = u"C:\\Users\\田中\\cookies=1.txt"}},
  };
  for (const auto& c : cases) {
    SettingsProgram first;
    LoadSettings(first.program);
    first.program.autoSplit = c.autoSplit;
    first.program.downloadOptions = c.download;
    Exit(first);

    SettingsProgram second;
    second.profile.files = first.profile.files;
    second.program.autoSplit = !c.autoSplit;
    LoadSettings(second.program);
    EXPECT_EQ(second.program.autoSplit, c.autoSplit);
    EXPECT_EQ(second.program.downloadOptions, c.download) << ToUtf8(c.download.folder);
  }
}

// A folder that code page 932 cannot hold serves this run; the file keeps the one before.
TEST(SaveSettings, AFolderTheFileCannotHoldIsNotWritten) {
  const struct {
    const char* name;
    String file;
    String downloads;  // the platform's Downloads folder
    String written;    // DLFOLDER in the saved file
    String next;       // the folder of the next run
  } cases[] = {
      {"the folder the file held", u"[オプション]\r\nDLFOLDER=D:\\old\r\n", u"C:\\DL", u"D:\\old", u"D:\\old"},
      {"no folder before: the default", u"[チェック]\r\n", u"C:\\DL", u"", u"C:\\DL"},
      {"an empty one before", u"[オプション]\r\nDLFOLDER=\r\n", u"C:\\DL", u"", u"C:\\DL"},
  };
  for (const auto& c : cases) {
    SettingsProgram p;
    p.profile.downloadsFolder = c.downloads;
    p.PutFile(c.file);
    LoadSettings(p.program);
    p.program.downloadOptions.folder = u"D:\\絵文字😀";
    Exit(p);
    EXPECT_EQ(Section(p.profile, u"オプション", p.Path()).find(u"DLFOLDER=" + c.written + u"\0DLCONNECTIONS="s), 12u)
        << c.name;
    EXPECT_EQ(p.program.downloadOptions.folder, u"D:\\絵文字😀") << c.name << ": still used in this run";

    SettingsProgram next;
    next.profile.downloadsFolder = c.downloads;
    next.profile.files = p.profile.files;
    LoadSettings(next.program);
    EXPECT_EQ(next.program.downloadOptions.folder, c.next) << c.name;
  }
  // A Downloads folder the file cannot hold is the default again each run.
  SettingsProgram p;
  p.profile.downloadsFolder = u"C:\\Users\\Zoë\\Downloads";
  LoadSettings(p.program);
  EXPECT_EQ(p.program.downloadOptions.folder, u"C:\\Users\\Zoë\\Downloads");
  Exit(p);
  EXPECT_NE(p.FileBytes().find("DLFOLDER=\r\n"), std::string::npos);
}

TEST(SaveSettings, SetsItsKeysAndKeepsWhatItDoesNotKnow) {
  SettingsProgram p;
  // A note of the user's own, an entry added by hand and keys removed by hand.
  p.PutBytes("[memo]\r\nmine=1\r\n" + kCheck + "CHECK1=0\r\nEXTRA=1\r\n" + kLastExtension + "LAST-KAKU=.gif\r\n");
  LoadSettings(p.program);
  ASSERT_TRUE(SaveSettings(p.program));
  const std::string& file = p.FileBytes();
  EXPECT_EQ(file.substr(0, 16), "[memo]\r\nmine=1\r\n");
  EXPECT_NE(file.find(kCheck + "CHECK1=0\r\nCHECK2=0\r\nCHECK3=False\r\nCHECK4=0\r\nCHECK5=0\r\nEXTRA=1\r\n" +
                      kLastExtension + "LAST-KAKU=.gif\r\n" + kStartFolder + "KIDOU=C:\\Velnor\r\n" + kSubfolders),
            std::string::npos);
}

// The bytes the Windows profile functions wrote on a Japanese system (over their own file:
// RoundTripsOfFiles).
TEST(SaveSettings, ByteForByteAsTheProfileFunctionsWroteIt) {
  for (const bool everyKey : {false, true}) {
    const std::string expected = WrittenByTheProfileFunctions(everyKey ? kEveryKeyFile : kFirstRunFile);
    ASSERT_GT(expected.size(), 500u);
    SettingsProgram first;
    first.profile.downloadsFolder = kWineDownloads;
    LoadSettings(first.program);
    if (everyKey) FillEveryKey(first);
    Exit(first);
    EXPECT_EQ(first.FileBytes(), expected) << "every key " << everyKey;
  }
}

// UTF-16 with its byte-order mark, as Notepad saves "UTF-16 LE" and "UTF-16 BE".
std::string Utf16(const String& text, bool bigEndian = false) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t c : text) {
    bytes.push_back(static_cast<char>(bigEndian ? c >> 8 : c & 0xFF));
    bytes.push_back(static_cast<char>(bigEndian ? c & 0xFF : c >> 8));
  }
  return bytes;
}
std::string Utf16Le(const String& text) { return Utf16(text); }

// Read and written back unchanged, byte for byte, each in its own encoding.
TEST(SaveSettings, RoundTripsOfFiles) {
  const std::string full = WrittenByTheProfileFunctions(kEveryKeyFile);
  auto replaced = [](std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
    return text;
  };
  const std::string utf8 = ToUtf8(cp932::Decode(full));
  const std::string unknown = "[memo]\r\nx=1\r\n" +
                              replaced(full, "CHECK3=False\r\n", "CHECK3=False\r\nLATER=1\r\n") +
                              cp932::Encode(u"[後で]\r\n名前=値\r\n");
  // Characters code page 932 lacks, in a section of the user's own and in the program's values.
  const std::string world = "[\xE3\x83\xA1\xE3\x83\xA2]\r\nnote=caf\xC3\xA9 \xF0\x9F\x98\x80\r\n" +
                            replaced(replaced(utf8, "DLFOLDER=D:\\", "DLFOLDER=C:\\Users\\Zo\xC3\xAB\\"),
                                     "SUBFOLDER10=last/", "SUBFOLDER10=\xED\x95\x9C/");
  const String firstRunText = cp932::Decode(WrittenByTheProfileFunctions(kFirstRunFile));
  const String withoutOptions = firstRunText.substr(0, firstRunText.find(u"[オプション]"));
  const struct {
    const char* name;
    std::string file;
    std::string written;
    bool readsAsEveryKey;  // the window as the every-key file leaves it
  } cases[] = {
      {"first run", WrittenByTheProfileFunctions(kFirstRunFile), WrittenByTheProfileFunctions(kFirstRunFile), false},
      {"every key", full, full, true},
      {"unknown sections and keys", unknown, unknown, true},
      {"comments and blank lines", "; Velnor\r\n\r\n" + replaced(full, "\r\n[", "\r\n\r\n;\x95\x5C\r\n["),
       "; Velnor\r\n\r\n" + replaced(full, "\r\n[", "\r\n\r\n;\x95\x5C\r\n["), true},
      {"LF line ends", replaced(full, "\r\n", "\n"), replaced(full, "\r\n", "\n"), true},
      {"UTF-8", utf8, utf8, true},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + utf8, "\xEF\xBB\xBF" + utf8, true},
      {"UTF-8 beyond code page 932", world, world, false},
      {"UTF-8 with a byte-order mark and a stray byte", "\xEF\xBB\xBF[x]\r\na=\xFF\r\n" + utf8,
       "\xEF\xBB\xBF[x]\r\na=\xFF\r\n" + utf8, true},
      {"UTF-8 beyond code page 932, with a byte-order mark", "\xEF\xBB\xBF" + world, "\xEF\xBB\xBF" + world, false},
      {"UTF-16 LE", Utf16Le(cp932::Decode(full)), Utf16Le(cp932::Decode(full)), true},
      {"UTF-16 LE beyond code page 932", Utf16Le(FromUtf8(world)), Utf16Le(FromUtf8(world)), false},
      {"UTF-16 LE without the options", Utf16Le(withoutOptions), Utf16Le(firstRunText), false},
      {"UTF-16 BE", Utf16(FromUtf8(world), true), Utf16(FromUtf8(world), true), false},
      // A lone surrogate in a line of the user's, and a last byte without its pair: kept.
      {"UTF-16 LE that is not quite UTF-16", Utf16Le(u"[x]\r\na=\xD800\r\n"s + cp932::Decode(full)) + "A",
       Utf16Le(u"[x]\r\na=\xD800\r\n"s + cp932::Decode(full)) + "A", true},
  };
  SettingsProgram reference;
  reference.PutBytes(full);
  LoadSettings(reference.program);
  for (const auto& c : cases) {
    SettingsProgram p;
    p.profile.downloadsFolder = kWineDownloads;
    p.PutBytes(c.file);
    LoadSettings(p.program);
    if (c.readsAsEveryKey) {
      EXPECT_EQ(SettingsState::Of(p.window), SettingsState::Of(reference.window)) << c.name;
    }
    Exit(p);
    EXPECT_EQ(p.FileBytes(), c.written) << c.name;
  }
  // The folder and the history entry that code page 932 cannot hold were read, and written back.
  for (const std::string& file : {world, Utf16Le(FromUtf8(world))}) {
    SettingsProgram p;
    p.PutBytes(file);
    LoadSettings(p.program);
    EXPECT_EQ(p.program.downloadOptions.folder, u"C:\\Users\\Zoë\\ダウンロード\\連番");
    EXPECT_EQ(p.window.Combo2.Items().back(), u"한/");
  }
}

// A value that code page 932 cannot hold is this run's only: the file keeps its old value. A
// UTF-8 file holds it.
TEST(SaveSettings, AValueTheFileCannotHoldKeepsTheOldOne) {
  const String history = u"SUBFOLDER1=image/\0SUBFOLDER2=画像/\0SUBFOLDER3=ソフト表示/\0SUBFOLDER4=ｶﾞｿﾞｳ/\0SUBFOLDER5=写真 ①/\0"
                         u"SUBFOLDER6=a b/\0SUBFOLDER7=x/\0SUBFOLDER8=表/\0SUBFOLDER9=last/\0SUBFOLDER10="s;
  for (const bool utf8 : {false, true}) {
    const std::string full = WrittenByTheProfileFunctions(kEveryKeyFile);
    SettingsProgram p;
    p.PutBytes(utf8 ? ToUtf8(cp932::Decode(full)) : full);
    LoadSettings(p.program);
    p.window.Combo2.SetText(u"한/");
    Exit(p);
    EXPECT_EQ(p.window.Combo2.GetText(), u"한/");
    EXPECT_EQ(p.window.Combo2.Items().back(), u"한/");
    if (!utf8) {
      EXPECT_EQ(Section(p.profile, u"終了時フォルダ", p.Path()), u"LAST-FLD=表/\0"s);
      // The list moved up one place; slot 10, now 한/, keeps last/.
      EXPECT_EQ(Section(p.profile, u"サブフォルダ", p.Path()), history + u"last/\0"s);
      continue;
    }
    const std::string& file = p.FileBytes();
    auto section = [&file](const String& name) {
      return FromUtf8(ini::ReadSection(file, ToUtf8(name), kSectionBufferSize, ini::Encoding::kUtf8));
    };
    EXPECT_EQ(section(u"終了時フォルダ"), u"LAST-FLD=한/\0"s);
    EXPECT_EQ(section(u"サブフォルダ"), history + u"한/\0"s);
  }
}

// A UTF-8 file without a section of the program's (a note of the user's alone) stays UTF-8:
// the sections are added in UTF-8. Nothing but ASCII is the same in code page 932.
TEST(SaveSettings, AUtf8FileGetsItsSectionsInUtf8) {
  const struct {
    std::string file;
    bool utf8;
  } cases[] = {{"[\xE3\x83\xA1\xE3\x83\xA2]\r\nnote=caf\xC3\xA9\r\n", true}, {"[memo]\r\nnote=1\r\n", false}};
  for (const auto& c : cases) {
    SettingsProgram p;
    p.PutBytes(c.file);
    LoadSettings(p.program);
    Exit(p);
    const std::string& written = p.FileBytes();
    const String added = u"[起動フォルダ]\r\nKIDOU=C:\\Velnor\r\n[チェック]\r\nCHECK1=0\r\n";
    const std::string expected = c.file + (c.utf8 ? ToUtf8(added) : cp932::Encode(added));
    EXPECT_EQ(written.substr(0, expected.size()), expected);
    EXPECT_EQ(HoldsEveryCharacter(written), c.utf8) << c.file;
  }
}

TEST(SaveSettings, AFileThatCannotBeWrittenIsReportedOnce) {
  SettingsProgram p;
  LoadSettings(p.program);
  p.profile.writable = false;
  EXPECT_FALSE(SaveSettings(p.program));
  EXPECT_EQ(p.profile.writeCalls, 1) << "one write of the whole file";
  EXPECT_EQ(p.platform.messages,
            (std::vector<ShownMessage>{{u"設定を保存できませんでした\nC:\\Velnor\\Velnor.ini", u"注意", kOkOnly}}));
}

// On real files in a folder of the test's own.
class SaveSettingsOnDisk : public ::testing::Test {
 protected:
  SaveSettingsOnDisk()
      : folder_(std::filesystem::temp_directory_path() / ("velnor-save-" + std::to_string(std::random_device{}()))) {
    std::filesystem::create_directories(folder_);
  }
  ~SaveSettingsOnDisk() override { std::filesystem::remove_all(folder_); }

  String Folder() const { return FromUtf8(folder_.string()); }
  std::string Bytes() const {
    std::ifstream in(folder_ / "Velnor.ini", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  std::filesystem::path folder_;
};

TEST_F(SaveSettingsOnDisk, FirstRunWritesTheFileAndTheNextRunReadsIt) {
  std::string firstFile;
  for (int run = 0; run < 2; ++run) {
    ModelProgram p;
    IniFileProfile profile(Folder());
    p.program.profile = &profile;
    LoadSettings(p.program);
    // Loading the defaults writes nothing.
    EXPECT_EQ(std::filesystem::exists(folder_ / "Velnor.ini"), run == 1);
    UpdateHistoryLists(p.program);
    ASSERT_TRUE(SaveSettings(p.program));
    if (run == 0) {
      firstFile = Bytes();
      EXPECT_EQ(firstFile.substr(0, kStartFolder.size() + 6), kStartFolder + "KIDOU=");
    } else {
      EXPECT_EQ(Bytes(), firstFile);
    }
  }
}

TEST_F(SaveSettingsOnDisk, AMissingFolderGivesTheMessageWithTheFullPath) {
  ModelProgram p;
  IniFileProfile profile(Folder() + u"\\gone");
  p.program.profile = &profile;
  EXPECT_FALSE(SaveSettings(p.program));
  ASSERT_EQ(p.platform.messages.size(), 1u);
  EXPECT_EQ(p.platform.messages[0].text, u"設定を保存できませんでした\n" + Folder() + u"\\gone\\Velnor.ini");
  EXPECT_EQ(p.platform.messages[0].caption, u"注意");
}

}  // namespace
}  // namespace velnor::testing
