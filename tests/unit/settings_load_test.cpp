// Loading Velnor.ini at start-up: the path, SplitText, the defaults without a file, the key
// table, the history lists, and files that are odd or broken.
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "settings_fixture.h"

namespace velnor::testing {
namespace {

using namespace std::string_literals;

TEST(SettingsFilePath, OneBackslashBeforeTheFileName) {
  const struct {
    String folder;
    String path;
  } cases[] = {
      {u"C:\\Program Files\\Velnor", u"C:\\Program Files\\Velnor\\Velnor.ini"},
      {u"C:\\", u"C:\\Velnor.ini"},
      {u"\\\\server\\share", u"\\\\server\\share\\Velnor.ini"},
      {u"D:\\ツール\\", u"D:\\ツール\\Velnor.ini"},
      {u"", u"\\Velnor.ini"},
  };
  for (const auto& c : cases) EXPECT_EQ(SettingsFilePath(c.folder), c.path) << ToUtf8(c.folder);
}

TEST(SplitText, PiecesBetweenTheSeparators) {
  const struct {
    String text;
    String separator;
    std::vector<String> pieces;
  } cases[] = {
      {u"", u"=", {u""}},
      {u"abc", u"=", {u"abc"}},
      {u"CHECK1=1", u"=", {u"CHECK1", u"1"}},
      {u"SUBFOLDER7=", u"=", {u"SUBFOLDER7", u""}},
      {u"=", u"=", {u"", u""}},
      {u"SUBFOLDER2=a=b/", u"=", {u"SUBFOLDER2", u"a", u"b/"}},
      {u"a==b", u"=", {u"a", u"", u"b"}},
      {u"xabyabz", u"ab", {u"x", u"y", u"z"}},
      {u"aaa", u"aa", {u"", u"a"}},
      {u"Aa", u"a", {u"A", u""}},
      {u"a=1\0b=2\0"s, u"\0"s, {u"a=1", u"b=2", u""}},
  };
  for (const auto& c : cases) {
    std::vector<String> pieces = {u"left over"};
    EXPECT_EQ(SplitText(c.text, c.separator, pieces), static_cast<int>(c.pieces.size()) - 1) << ToUtf8(c.text);
    EXPECT_EQ(pieces, c.pieces) << ToUtf8(c.text);
  }
}

TEST(LoadSettings, WithoutAFileTheDefaultsAndNoFile) {
  SettingsProgram p;
  p.program.startNumber = 1;
  p.window.text1.SetText(u"50");
  LoadSettings(p.program);

  const SettingsState defaults{.check3 = 1, .check1 = 1, .checkund = 1, .check2 = 1,
                               .option0 = true, .option1 = false,
                               .combo2Text = u"sam/", .combo2Items = {u"sam/", u"image/"},
                               .combo1Text = u".jpg", .combo1Items = {u".jpg", u".jpeg", u".gif"}};
  EXPECT_EQ(SettingsState::Of(p.window), defaults);
  // Selecting Option0 ran the option handling.
  EXPECT_EQ(p.program.startNumber, 0);
  EXPECT_EQ(p.window.text1.GetText(), u"");
  EXPECT_EQ(p.program.subfolderHistory, HistorySlots{});
  EXPECT_EQ(p.program.extensionHistory, HistorySlots{});
  EXPECT_TRUE(p.profile.files.empty());
  EXPECT_EQ(p.profile.writeCalls, 0);
}

TEST(LoadSettings, DefaultsInTheirOrder) {
  SettingsProgram p;
  std::vector<std::string> steps;
  auto optionHandling = p.window.Option0.Selected;
  p.window.Option0.Selected = [&] {
    steps.push_back("Option0 with Check3=" + std::to_string(p.window.Check3.Value()));
    optionHandling();
  };
  p.window.Combo2.Change = [&] { steps.push_back("Combo2 text with " + std::to_string(p.window.Combo2.Count())); };
  p.window.Combo1.Change = [&] { steps.push_back("Combo1 text with " + std::to_string(p.window.Combo1.Count())); };
  LoadSettings(p.program);
  EXPECT_EQ(steps, (std::vector<std::string>{"Option0 with Check3=0", "Combo2 text with 2", "Combo1 text with 3"}));
}

struct KeyCase {
  const char* name;
  String file;
  SettingsState expected;
};

TEST(ReadSettingsFile, KeyTable) {
  const KeyCase cases[] = {
      {"CHECK3 True selects Option0", u"[チェック]\r\nCHECK3=True\r\n", {.option0 = true}},
      {"lower-case true selects Option1", u"[チェック]\r\nCHECK3=true\r\n", {.option1 = true}},
      {"False selects Option1", u"[チェック]\r\nCHECK3=False\r\n", {.option1 = true}},
      {"an empty CHECK3 selects Option1", u"[チェック]\r\nCHECK3=\r\n", {.option1 = true}},
      {"the last CHECK3 wins", u"[チェック]\r\nCHECK3=True\r\nCHECK3=x\r\n", {.option1 = true}},
      {"CHECK1 and CHECK2 set Check3 and Check1", u"[チェック]\r\nCHECK1=1\r\nCHECK2=2\r\n",
       {.check3 = 1, .check1 = 2}},
      {"CHECK4 and CHECK5 set Checkund and Check2", u"[チェック]\r\nCHECK4=2\r\nCHECK5=1\r\n",
       {.checkund = 2, .check2 = 1}},
      {"a value with = is ignored", u"[サブフォルダ]\r\nSUBFOLDER1=sam/\r\nSUBFOLDER2=a=b/\r\n",
       {.combo2Items = {u"sam/"}}},
      {"empty slots leave no gap", u"[サブフォルダ]\r\nSUBFOLDER1=\r\nSUBFOLDER2=img/\r\nSUBFOLDER3=\r\n",
       {.combo2Items = {u"img/"}}},
      {"LAST-FLD without history", u"[終了時フォルダ]\r\nLAST-FLD=photos/\r\n", {.combo2Text = u"photos/"}},
      {"LAST-KAKU in the subfolder section", u"[サブフォルダ]\r\nLAST-KAKU=.png\r\n", {.combo1Text = u".png"}},
      {"CHECK1 in the extension section", u"[拡張子]\r\nCHECK1=1\r\n", {.check3 = 1}},
      {"the last occurrence wins across sections",
       u"[終了時拡張子]\r\nCHECK1=1\r\n[チェック]\r\nCHECK1=2\r\nCHECK1=0\r\n", {.check3 = 1}},
      {"lists in slot order, not file order",
       u"[拡張子]\r\nKAKUTYOUSI10=.j\r\nKAKUTYOUSI3=.c\r\nKAKUTYOUSI1=.a\r\n", {.combo1Items = {u".a", u".c", u".j"}}},
      {"the last value of a slot", u"[拡張子]\r\nKAKUTYOUSI1=.a\r\nKAKUTYOUSI1=.b\r\n", {.combo1Items = {u".b"}}},
      {"duplicates are kept", u"[サブフォルダ]\r\nSUBFOLDER1=a/\r\nSUBFOLDER2=a/\r\n", {.combo2Items = {u"a/", u"a/"}}},
      {"history keys in the other history's section",
       u"[サブフォルダ]\r\nKAKUTYOUSI2=.gif\r\n[拡張子]\r\nSUBFOLDER9=z/\r\n",
       {.combo2Items = {u"z/"}, .combo1Items = {u".gif"}}},
      {"the loaded text need not be in the list", u"[終了時拡張子]\r\nLAST-KAKU=.bmp\r\n[拡張子]\r\nKAKUTYOUSI1=.jpg\r\n",
       {.combo1Text = u".bmp", .combo1Items = {u".jpg"}}},
      {"keys that are not in the table",
       u"[チェック]\r\ncheck1=1\r\nCHECK6=1\r\nKIDOU=C:\\\r\n[サブフォルダ]\r\nSUBFOLDER0=a\r\nSUBFOLDER01=b\r\n"
       u"SUBFOLDER11=c\r\nSUBFOLDER=d\r\nSUBFOLDER1 2=e\r\nLAST-FLD2=f\r\nlast-fld=g\r\n",
       {}},
      {"a section that is not one of the six", u"[その他]\r\nCHECK1=1\r\nLAST-FLD=x/\r\n", {}},
      {"Japanese values", u"[終了時フォルダ]\r\nLAST-FLD=写真/ｶﾞ\r\n[拡張子]\r\nKAKUTYOUSI1=.ｊｐｇ\r\n",
       {.combo2Text = u"写真/ｶﾞ", .combo1Items = {u".ｊｐｇ"}}},
      {"blanks inside a value kept", u"[終了時フォルダ]\r\nLAST-FLD=my photos/\r\n", {.combo2Text = u"my photos/"}},
      {"an empty file", u"", {}},
      {"sections without entries", u"[チェック]\r\n[サブフォルダ]\r\n\r\n", {}},
  };
  for (const auto& c : cases) {
    SettingsProgram p;
    p.PutFile(c.file);
    LoadSettings(p.program);
    EXPECT_EQ(SettingsState::Of(p.window), c.expected) << c.name;
  }
}

TEST(ReadSettingsFile, CheckValuesOtherThanZeroOneOrTwoAreIgnored) {
  const struct {
    String value;
    int check3;
  } cases[] = {
      {u"0", 0}, {u"2", 2}, {u"00", 0}, {u"02", 2}, {u" 0", 0},
      {u"3", 1}, {u"-1", 1}, {u"+0", 1}, {u"1.5", 1}, {u"0.0", 1}, {u"x", 1}, {u"", 1}, {u"0x", 1},
      {u"True", 1}, {u"０", 1}, {u"12345678901234567890", 1}, {u"0 2", 1},
  };
  for (const auto& c : cases) {
    SettingsProgram p;
    p.window.Check3.SetValue(1);
    p.PutFile(u"[チェック]\r\nCHECK1=" + c.value + u"\r\nCHECK2=1\r\n");
    LoadSettings(p.program);
    EXPECT_EQ(p.window.Check3.Value(), c.check3) << ToUtf8(c.value);
    EXPECT_EQ(p.window.Check1.Value(), 1) << "the next key still applies after " << ToUtf8(c.value);
  }
}

TEST(ReadSettingsFile, TheAutomaticSplitOption) {
  const struct {
    const char* name;
    String file;
    bool before;
    bool autoSplit;
  } cases[] = {
      {"1 turns it on", u"[オプション]\r\nAUTOSPLIT=1\r\n", false, true},
      {"0 turns it off", u"[オプション]\r\nAUTOSPLIT=0\r\n", true, false},
      {"other values change nothing", u"[オプション]\r\nAUTOSPLIT=yes\r\nAUTOSPLIT=１\r\nAUTOSPLIT=\r\n", false, false},
      {"other values keep it on", u"[オプション]\r\nAUTOSPLIT=01\r\nAUTOSPLIT=True\r\n", true, true},
      {"the last valid value wins", u"[オプション]\r\nAUTOSPLIT=1\r\nAUTOSPLIT=0\r\nAUTOSPLIT=2\r\n", true, false},
      {"in another of the sections", u"[チェック]\r\nAUTOSPLIT=1\r\n", false, true},
      {"lower-case key", u"[オプション]\r\nautosplit=1\r\n", false, false},
      {"the file without the section", u"[チェック]\r\nCHECK1=1\r\n", false, false},
  };
  for (const auto& c : cases) {
    SettingsProgram p;
    p.program.autoSplit = c.before;
    p.PutFile(c.file);
    LoadSettings(p.program);
    EXPECT_EQ(p.program.autoSplit, c.autoSplit) << c.name;
  }
  // The search after a copy and copied https:// URLs are read the same way, each apart.
  for (const auto& [file, autoFind, https] :
       {std::tuple{u"[オプション]\r\nAUTOFIND=1\r\n"s, true, false},
        std::tuple{u"[オプション]\r\nAUTOSPLIT=1\r\nAUTOFIND=yes\r\n"s, false, false},
        std::tuple{u"[オプション]\r\nHTTPS=1\r\n"s, false, true},
        std::tuple{u"[オプション]\r\nAUTOFIND=1\r\nHTTPS=on\r\nhttps=1\r\n"s, true, false}}) {
    SettingsProgram p;
    p.PutFile(file);
    LoadSettings(p.program);
    EXPECT_EQ(p.program.autoFind, autoFind) << ToUtf8(file);
    EXPECT_EQ(p.program.copyHttps, https) << ToUtf8(file);
  }
  // The option's keys are read like all the others, in any of the seven sections.
  SettingsProgram p;
  p.PutFile(u"[オプション]\r\nCHECK1=1\r\nLAST-FLD=opt/\r\n");
  LoadSettings(p.program);
  EXPECT_EQ(SettingsState::Of(p.window), (SettingsState{.check3 = 1, .combo2Text = u"opt/"}));
}

TEST(ReadSettingsFile, TheDownloadOptions) {
  const DownloadOptions defaults{.folder = u"C:\\Users\\User\\Downloads"};
  auto with = [&defaults](auto change) {
    DownloadOptions options = defaults;
    change(options);
    return options;
  };
  const struct {
    const char* name;
    String file;
    DownloadOptions options;
  } cases[] = {
      {"a file without the keys: the defaults", u"[オプション]\r\nAUTOSPLIT=1\r\n", defaults},
      {"every key", u"[オプション]\r\nDLFOLDER=D:\\写真\r\nDLCONNECTIONS=4\r\nDLSTOPMISSING=0\r\nDLREFERER=0\r\n",
       {.folder = u"D:\\写真", .connections = 4, .stopAfterMissing = false, .sendReferer = false}},
      {"an empty folder keeps the Downloads folder", u"[オプション]\r\nDLFOLDER=\r\n", defaults},
      {"a folder with =", u"[オプション]\r\nDLFOLDER=D:\\a=b=c\r\n", with([](auto& o) { o.folder = u"D:\\a=b=c"; })},
      {"one connection", u"[オプション]\r\nDLCONNECTIONS=1\r\n", with([](auto& o) { o.connections = 1; })},
      {"connections out of range or not a digit change nothing",
       u"[オプション]\r\nDLCONNECTIONS=3\r\nDLCONNECTIONS=0\r\nDLCONNECTIONS=5\r\nDLCONNECTIONS=02\r\n"
       u"DLCONNECTIONS=x\r\nDLCONNECTIONS=\r\nDLCONNECTIONS=４\r\n",
       with([](auto& o) { o.connections = 3; })},
      {"boxes: only 1 or 0 count", u"[オプション]\r\nDLSTOPMISSING=0\r\nDLSTOPMISSING=True\r\nDLREFERER=0\r\nDLREFERER=1\r\nDLREFERER=01\r\n",
       with([](auto& o) { o.stopAfterMissing = false; })},
      {"lower-case keys", u"[オプション]\r\ndlconnections=1\r\ndlreferer=0\r\n", defaults},
      {"the Referer page and the cookie file, \"=\" in them too",
       u"[オプション]\r\nDLREFERERURL=http://h/p?a=1\r\nDLCOOKIES=C:\\c=1\\cookies.txt\r\n",
       with([](auto& o) { o.refererUrl = u"http://h/p?a=1", o.cookiesFile = u"C:\\c=1\\cookies.txt"; })},
      {"empty: none", u"[オプション]\r\nDLREFERERURL=\r\nDLCOOKIES=\r\n", defaults},
  };
  for (const auto& c : cases) {
    SettingsProgram p;
    p.PutFile(c.file);
    LoadSettings(p.program);
    EXPECT_EQ(p.program.downloadOptions, c.options) << c.name;
  }
  // No file at all: the defaults, the folder from the platform.
  SettingsProgram p;
  p.profile.downloadsFolder = u"E:\\ダウンロード";
  LoadSettings(p.program);
  EXPECT_EQ(p.program.downloadOptions, (DownloadOptions{.folder = u"E:\\ダウンロード"}));
}

TEST(ReadSettingsFile, FillsTheHistorySlotTables) {
  SettingsProgram p;
  // Slot 0 is never used, and numbers are written without leading zeros.
  p.PutFile(u"[サブフォルダ]\r\nSUBFOLDER2=img/\r\nSUBFOLDER10=last/\r\nSUBFOLDER0=zero/\r\n"
            u"[拡張子]\r\nKAKUTYOUSI1=.png\r\nKAKUTYOUSI010=.ten\r\nKAKUTYOUSI02=.two\r\n");
  LoadSettings(p.program);
  HistorySlots subfolders{};
  subfolders[2] = u"img/";
  subfolders[10] = u"last/";
  HistorySlots extensions{};
  extensions[1] = u".png";
  EXPECT_EQ(p.program.subfolderHistory, subfolders);
  EXPECT_EQ(p.program.extensionHistory, extensions);
}

TEST(ReadSettingsFile, SelectingAnOptionRunsTheOptionHandling) {
  SettingsProgram p;
  p.window.text1.SetText(u"50");
  p.PutFile(u"[チェック]\r\nCHECK3=False\r\n");
  LoadSettings(p.program);
  EXPECT_EQ(p.program.startNumber, 1);
  EXPECT_EQ(p.window.text1.GetText(), u"");
}

TEST(LoadSettings, AFileThatIsNoOrdinaryFileLoadsNothingAndNoDefaults) {
  const struct {
    const char* name;
    bool hidden;
    bool system;
    bool folder;
  } cases[] = {
      {"hidden", true, false, false},
      {"system", false, true, false},
      {"folder", false, false, true},
  };
  for (const auto& c : cases) {
    SettingsProgram p;
    if (c.folder) {
      p.profile.folders.insert(p.Path());
    } else {
      p.PutFile(u"[チェック]\r\nCHECK1=1\r\nCHECK3=True\r\n");
      p.profile.files[p.Path()].hidden = c.hidden;
      p.profile.files[p.Path()].system = c.system;
    }
    LoadSettings(p.program);
    EXPECT_EQ(SettingsState::Of(p.window), SettingsState{}) << c.name;
  }
}

TEST(LoadSettings, AtADriveRootTheFileBesideTheProgram) {
  SettingsProgram p(u"C:\\");
  p.profile.files[u"C:\\Velnor.ini"].bytes = "[\x8F\x49\x97\xB9\x8E\x9E\x83\x74\x83\x48\x83\x8B\x83\x5F]\r\nLAST-FLD=root/\r\n";
  LoadSettings(p.program);
  EXPECT_EQ(SettingsState::Of(p.window), SettingsState{.combo2Text = u"root/"});
}

// Broken files: each one loads what it can, quickly, without a crash.
TEST(ReadSettingsFile, MalformedFiles) {
  const std::string check = "[\x83\x60\x83\x46\x83\x62\x83\x4E]\r\n";
  const std::string extensions = "[\x8A\x67\x92\xA3\x8E\x71]\r\n";
  const std::string lastFolder = "[\x8F\x49\x97\xB9\x8E\x9E\x83\x74\x83\x48\x83\x8B\x83\x5F]\r\n";
  const std::string lastExtension = "[\x8F\x49\x97\xB9\x8E\x9E\x8A\x67\x92\xA3\x8E\x71]\r\n";

  std::string manyEntries = check;
  // Only the first 3 640 entries fit the buffer: all of them say 1, the later ones 2.
  for (int i = 0; i < 10000; ++i) manyEntries += i < 5000 ? "CHECK1=1\r\n" : "CHECK1=2\r\n";
  manyEntries += "CHECK5=1\r\n" + lastFolder + "LAST-FLD=after/\r\n";

  std::string longSection = extensions + "KAKUTYOUSI1=.png\r\n";
  for (int i = 0; i < 5000; ++i) longSection += "KAKUTYOUSI2=.x" + std::to_string(i) + "\r\n";
  longSection += "KAKUTYOUSI3=.bmp\r\n" + lastExtension + "LAST-KAKU=.tif\r\n";

  const std::string truncated =
      cp932::Encode(u"[チェック]\r\nCHECK1=0\r\nCHECK2=2\r\n[サブフォルダ]\r\nSUBFOLDER1=sam/\r\nSUBFOLDER2=画");
  std::string garbage(1 << 20, '\0');
  std::mt19937 random(21);
  for (char& c : garbage) c = static_cast<char>(random());

  const struct {
    const char* name;
    std::string bytes;
    SettingsState expected;
  } cases[] = {
      {"NUL bytes", check + "CHECK4=1\0CHECK5=1\r\n\0\0\r\nCHECK2=1\r\n"s + lastFolder + "LAST-FLD=a\0b\r\n"s,
       {.check1 = 1, .checkund = 1, .combo2Text = u"a"}},
      {"invalid Shift_JIS", check + "CHECK1=\x81\r\n[\xFF\xFE]\r\nCHECK2=\xFD\r\n" + lastFolder + "LAST-FLD=\xE0\r\n" +
                                 lastExtension + "LAST-KAKU=.gif\r\n",
       {.combo2Text = u"\u30FB", .combo1Text = u".gif"}},
      {"a line of 100 000 characters", lastFolder + "LAST-FLD=" + std::string(100000, 'x') + "\r\n" + lastExtension +
                                           "LAST-KAKU=.gif\r\n",
       {.combo2Text = String(32765 - 9, u'x'), .combo1Text = u".gif"}},
      {"10 000 entries cut at the buffer", manyEntries, {.check3 = 1, .combo2Text = u"after/"}},
      {"a section longer than the buffer", longSection, {.combo1Text = u".tif", .combo1Items = {u".png", u".x1781"}}},
      {"only line ends", std::string(50000, '\n'), {}},
      {"binary noise", std::string(40000, '\xFF') + "\r\n" + check + "CHECK2=1\r\n", {.check1 = 1}},
      // Cut after the first byte of 画.
      {"truncated", truncated.substr(0, truncated.size() - 1), {.check3 = 0, .check1 = 2, .combo2Items = {u"sam/", u"\u30FB"}}},
      {"1 MB of garbage", garbage, {}},
  };
  for (const auto& c : cases) {
    SettingsProgram p;
    p.PutBytes(c.bytes);
    LoadSettings(p.program);
    EXPECT_EQ(SettingsState::Of(p.window), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace velnor::testing
