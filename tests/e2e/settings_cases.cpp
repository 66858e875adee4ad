// The settings file Velnor.ini on the real program: what a first run writes at exit, a
// Shift_JIS file written by hand, the option buttons and the histories across a restart, a
// file that cannot be written, a hidden file, a Windows whose code page is not 932, a program
// folder whose name that code page lacks, files saved as UTF-8 and UTF-16; and the program's reader and writer of the file
// format held against the Windows profile functions on the same files.
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "base/cp932.h"
#include "driver.h"
#include "settings/ini_text.h"
#include "settings/list_history.h"
#include "settings/portable_profile.h"
#include "settings/settings_file.h"
#include "ui/event_wiring.h"
#include "ui/model_form.h"
#include "win32/control_ids.h"

#include <knownfolders.h>  // after windows.h (driver.h)
#include <shlobj.h>

namespace velnor::e2e {
namespace {

const String kPrompt = u"URLをここに貼付けるか、入力して下さい。";
const String kUrl = u"http://example.com/img/";

// A file's bytes; failure messages show them with line ends and non-ASCII bytes escaped.
struct Bytes {
  std::string bytes;
  bool operator==(const Bytes&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Bytes& value) {
  static const char kHex[] = "0123456789abcdef";
  for (const char c : value.bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '\r') {
      out << "\\r";
    } else if (b == '\n') {
      out << "\\n";
    } else if (b < 0x20 || b >= 0x7f || b == '\\') {
      out << "\\x" << kHex[b >> 4] << kHex[b & 15];
    } else {
      out << c;
    }
  }
  return out;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The system's ANSI code page, as the program's own boundary converts (embedded NULs too).
std::string Ansi(const String& text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

String FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int count = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, nullptr, 0);
  String text(static_cast<size_t>(length > 0 ? length : 0), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, reinterpret_cast<wchar_t*>(text.data()), length);
  return text;
}

String ToString(const std::wstring& text) { return String(text.begin(), text.end()); }

String FolderOf(const std::wstring& file) { return ToString(file.substr(0, file.find_last_of(L'\\'))); }

// A section text with "|" for every NUL, for readable tables, and back.
String Nuls(String text) {
  for (char16_t& c : text) {
    if (c == u'|') c = u'\0';
  }
  return text;
}
String Bars(String text) {
  for (char16_t& c : text) {
    if (c == u'\0') c = u'|';
  }
  return text;
}

// The real profile function, with the conversions the program makes at its boundary; the
// count in characters, as the program counts it.
String RealReadSection(const String& section, const std::wstring& path, int size, int& count) {
  std::string buffer(static_cast<size_t>(size), '\0');
  const DWORD copied = GetPrivateProfileSectionA(Ansi(section).c_str(), buffer.data(), static_cast<DWORD>(size),
                                                 Ansi(ToString(path)).c_str());
  const String text = FromAnsi(std::string_view(buffer.data(), copied));
  count = static_cast<int>(text.size());
  return text;
}

bool RealWriteSection(const String& section, const String& text, const std::wstring& path) {
  const std::string entries = Ansi(text) + '\0';
  return WritePrivateProfileSectionA(Ansi(section).c_str(), entries.c_str(), Ansi(ToString(path)).c_str()) != FALSE;
}

// The program's own reader of code page 932 files, counted the same way (characters before
// the final NUL).
String PortableReadSection(IniFileProfile& profile, const String& section, const std::wstring& path, int size,
                           int& count) {
  const std::optional<std::string> file = profile.ReadWholeFile(ToString(path));
  const String text = cp932::Decode(ini::ReadSection(file.value_or(std::string()), cp932::Encode(section), size));
  count = static_cast<int>(text.size());
  return text;
}

// The program's own writer: the entries of a section text ("|" for NUL) set in the file.
bool PortableWriteSection(const String& section, const String& text, const std::wstring& path) {
  std::vector<std::string> keys;
  std::vector<std::string> values;
  for (size_t begin = 0, end; (end = text.find(u'|', begin)) != String::npos; begin = end + 1) {
    const String entry = text.substr(begin, end - begin);
    const size_t equals = entry.find(u'=');
    if (equals == String::npos) continue;
    keys.push_back(cp932::Encode(entry.substr(0, equals)));
    values.push_back(cp932::Encode(entry.substr(equals + 1)));
  }
  const std::string name = cp932::Encode(section);
  std::vector<ini::Entry> entries;
  for (size_t i = 0; i < keys.size(); ++i) entries.push_back({name, keys[i], values[i]});
  const bool exists = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  return WriteFileContent(path, ini::UpdateEntries(exists ? FileContent(path) : std::string(), entries));
}

// What the settings file sets in the window.
struct WindowState {
  int check3 = -1, check1 = -1, checkund = -1, check2 = -1;
  int option0 = -1, option1 = -1;
  std::vector<String> combo2Items;
  String combo2;
  std::vector<String> combo1Items;
  String combo1;
  bool operator==(const WindowState&) const = default;
};
std::ostream& operator<<(std::ostream& out, const WindowState& s) {
  return out << "{checks " << s.check3 << s.check1 << s.checkund << s.check2 << ", options " << s.option0
             << s.option1 << ", Combo2 " << Describe(s.combo2) << " " << Describe(s.combo2Items) << ", Combo1 "
             << Describe(s.combo1) << " " << Describe(s.combo1Items) << "}";
}

WindowState StateOf(const Velnor& app) {
  return {app.CheckValue(ids::kCheck3),  app.CheckValue(ids::kCheck1),  app.CheckValue(ids::kCheckund),
          app.CheckValue(ids::kCheck2),  app.CheckValue(ids::kOption0), app.CheckValue(ids::kOption1),
          app.ComboItems(ids::kCombo2), app.Text(ids::kCombo2),        app.ComboItems(ids::kCombo1),
          app.Text(ids::kCombo1)};
}

// The defaults of a start without a settings file.
const WindowState kDefaults{1, 1, 1, 1, 1, 0, {u"sam/", u"image/"}, u"sam/", {u".jpg", u".jpeg", u".gif"}, u".jpg"};

// The portable side: the program's procedures on a model window, with the portable profile
// functions on the real files of a folder.
class QuietPlatform : public Platform {
 public:
  void ShowMessage(const String& text, const String&, int) override { messages.push_back(text); }
  void ProcessPendingMessages() override {}
  double TwipsPerPixelX() const override { return 15; }
  int AnsiByteCount(StringView text) const override { return cp932::ByteCount(text); }
  String NarrowFullWidth(const String& text) const override { return cp932::NarrowFullWidth(text); }
  std::vector<String> messages;
};

// The Downloads folder as the program's process sees it in the same prefix.
String UserDownloads() {
  PWSTR path = nullptr;
  String folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &path)) && path) {
    folder = String(reinterpret_cast<const char16_t*>(path));
  }
  CoTaskMemFree(path);
  return folder;
}

struct ModelRun {
  explicit ModelRun(const String& folder) : profile(folder) {
    profile.downloadsFolder = UserDownloads();
    program.form = window.form();
    program.platform = &platform;
    program.profile = &profile;
    WireEvents(program);
  }
  ModelRun(const ModelRun&) = delete;
  ModelRun& operator=(const ModelRun&) = delete;

  // The model window after loading: the same values as read from the real window.
  WindowState State() const {
    const Form1& f = program.form;
    return {f.Check3->Value(), f.Check1->Value(), f.Checkund->Value(), f.Check2->Value(),
            f.Option0->Value() ? 1 : 0, f.Option1->Value() ? 1 : 0, window.Combo2.Items(), f.Combo2->GetText(),
            window.Combo1.Items(), f.Combo1->GetText()};
  }
  // What the program's exit does to the file.
  bool Exit() {
    UpdateHistoryLists(program);
    return SaveSettings(program);
  }

  ModelForm window;
  QuietPlatform platform;
  IniFileProfile profile;
  Program program;
};

// The file a first run leaves, line by line, as Wine's profile functions write it: CR LF
// after every line, the last one included, and no blank lines.
std::string FirstRunFile(const String& folder) {
  String text = u"[起動フォルダ]\r\nKIDOU=" + folder +
                u"\r\n[チェック]\r\nCHECK1=1\r\nCHECK2=1\r\nCHECK3=True\r\nCHECK4=1\r\nCHECK5=1\r\n[サブフォルダ]\r\n";
  const char16_t* subfolders[] = {u"sam/", u"image/"};
  const char16_t* extensions[] = {u".jpg", u".jpeg", u".gif"};
  for (int n = 1; n <= 10; ++n) {
    text += u"SUBFOLDER" + FromUtf8(std::to_string(n)) + u"=" + (n <= 2 ? subfolders[n - 1] : u"") + u"\r\n";
  }
  text += u"[拡張子]\r\n";
  for (int n = 1; n <= 10; ++n) {
    text += u"KAKUTYOUSI" + FromUtf8(std::to_string(n)) + u"=" + (n <= 3 ? extensions[n - 1] : u"") + u"\r\n";
  }
  text += u"[終了時フォルダ]\r\nLAST-FLD=sam/\r\n[終了時拡張子]\r\nLAST-KAKU=.jpg\r\n";
  // The options come after the six sections; the first download folder is the user's Downloads.
  text += u"[オプション]\r\nAUTOSPLIT=0\r\nDLFOLDER=" + UserDownloads() +
          u"\r\nDLCONNECTIONS=2\r\nDLSTOPMISSING=1\r\nDLREFERER=1\r\nAUTOFIND=0\r\nHTTPS=0\r\nDLREFERERURL=\r\nDLCOOKIES=\r\n";
  return Ansi(text);
}

std::vector<String> SecondNumberChoices() {
  std::vector<String> choices;
  for (char16_t d = u'0'; d <= u'9'; ++d) {
    for (char16_t u : String(u"0123456789abcdef")) choices.push_back(String{d, u});
  }
  return choices;
}

void SetComboText(Velnor& app, int id, const String& text) {
  SendMessageW(app.ComboEdit(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reinterpret_cast<const wchar_t*>(text.c_str())));
}

// An expansion with the subfolder and the first number (0 or 1 .. 1).
std::vector<ShownBox> ExpandWith(Velnor& app, const String& subfolder, const String& extension) {
  SetComboText(app, ids::kCombo2, subfolder);
  SetComboText(app, ids::kCombo1, extension);
  app.SetText(ids::kUrltxt, kUrl);
  app.SetCheck(ids::kCheck3, 1);
  app.SetCheck(ids::kCheck1, 1);
  app.SetCheck(ids::kCheckund, 0);
  app.SetCheck(ids::kCheck2, 0);
  app.SetText(ids::kText1, u"");
  app.Type(ids::kText1, u"1");
  return app.Press(ids::kRenban);
}

}  // namespace

// No file before the first exit; the exit writes exactly the file of the defaults, the same
// bytes as the portable writer makes from the same state.
E2E_CASE(settings_first_run) {
  for (const CloseBy how : {CloseBy::kCloseBox, CloseBy::kMenu}) {
    ctx.SetScope(how == CloseBy::kMenu ? "File_end" : "close box");
    Velnor app(ctx);
    E2E_REQUIRE(app.started());
    const std::wstring ini = app.folder() + L"\\Velnor.ini";
    E2E_CHECK_EQ(StateOf(app), kDefaults);
    E2E_CHECK_EQ(app.Text(ids::kUrltxt), kPrompt);
    E2E_CHECK_EQ(app.ComboItems(ids::kCombo3), SecondNumberChoices());
    E2E_CHECK(!Exists(ini));
    const String folder = FolderOf(app.ImagePath());
    E2E_REQUIRE(!folder.empty());

    E2E_CHECK_EQ(app.CloseAnswering(how), std::vector<ShownBox>{});
    E2E_CHECK_EQ(app.ExitCode(), 0ul);
    const Bytes written{FileContent(ini)};
    E2E_CHECK_EQ(written, Bytes{FirstRunFile(folder)});

    // The portable side from no file: the defaults, the exit's history update, the save.
    E2E_REQUIRE(DeleteFileW(ini.c_str()));
    ModelRun model(folder);
    LoadSettings(model.program);
    E2E_CHECK_EQ(model.State(), kDefaults);
    E2E_CHECK(model.Exit());
    E2E_CHECK_EQ(Bytes{FileContent(ini)}, written);
  }
}

// A Shift_JIS file written by hand, with Japanese folder names, full-width and half-width
// letters, bytes 0x5C inside double-byte characters (ソ, 表), a blank line and a key in
// another section than the program puts it in.
E2E_CASE(settings_japanese_file) {
  const std::wstring folder = CaseFolder(ctx);
  const std::wstring ini = folder + L"\\Velnor.ini";
  const std::string handWritten = Ansi(
      u"[チェック]\r\nCHECK1=0\r\nCHECK2=1\r\nCHECK3=False\r\nCHECK4=0\r\n\r\n"
      u"[サブフォルダ]\r\nSUBFOLDER1=画像/\r\nSUBFOLDER2=\r\nSUBFOLDER3=ソフト表示/\r\nSUBFOLDER4=ｶﾞｿﾞｳ/\r\n"
      u"[拡張子]\r\nKAKUTYOUSI1=.ｊｐｇ\r\nKAKUTYOUSI2=.jpg\r\nCHECK5=1\r\n"
      u"[終了時フォルダ]\r\nLAST-FLD=写真/\r\n[終了時拡張子]\r\nLAST-KAKU=.ｊｐｇ\r\n");
  E2E_REQUIRE(WriteFileContent(ini, handWritten));
  const WindowState loaded{0, 1, 0, 1, 0, 1, {u"画像/", u"ソフト表示/", u"ｶﾞｿﾞｳ/"}, u"写真/", {u".ｊｐｇ", u".jpg"}, u".ｊｐｇ"};
  // At exit the text 写真/ joins its list; .ｊｐｇ is in its list already.
  WindowState afterExit = loaded;
  afterExit.combo2Items.push_back(u"写真/");

  String programFolder;
  {
    Velnor app(ctx, SettingsFile::kKeep);
    E2E_REQUIRE(app.started());
    E2E_CHECK_EQ(StateOf(app), loaded);
    E2E_CHECK_EQ(Bytes{FileContent(ini)}, Bytes{handWritten});
    programFolder = FolderOf(app.ImagePath());
    E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kCloseBox), std::vector<ShownBox>{});
    E2E_CHECK_EQ(app.ExitCode(), 0ul);
  }
  const Bytes written{FileContent(ini)};

  // The portable reader loads the real program's file into a model window, and the portable
  // writer writes the same bytes back from it.
  ModelRun model(programFolder);
  LoadSettings(model.program);
  E2E_CHECK_EQ(model.State(), afterExit);
  E2E_CHECK_EQ(model.program.startNumber, 1.0);
  E2E_CHECK(model.Exit());
  E2E_CHECK_EQ(Bytes{FileContent(ini)}, written);

  Velnor restarted(ctx, SettingsFile::kKeep);
  E2E_REQUIRE(restarted.started());
  E2E_CHECK_EQ(StateOf(restarted), afterExit);
}

// Option1 is kept as CHECK3=False and selected again at the next start, where the first
// number counts from 1.
E2E_CASE(settings_option1_restart) {
  {
    Velnor app(ctx);
    E2E_REQUIRE(app.started());
    app.Click(ids::kOption1);
    E2E_CHECK_EQ(app.CheckValue(ids::kOption1), 1);
    E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kCloseBox), std::vector<ShownBox>{});
  }
  const std::wstring ini = CaseFolder(ctx) + L"\\Velnor.ini";
  int count = 0;
  E2E_CHECK_EQ(Bars(RealReadSection(u"チェック", ini, 32767, count)), String(u"CHECK1=1|CHECK2=1|CHECK3=False|CHECK4=1|CHECK5=1|"));

  Velnor app(ctx, SettingsFile::kKeep);
  E2E_REQUIRE(app.started());
  E2E_CHECK_EQ(app.CheckValue(ids::kOption0), 0);
  E2E_CHECK_EQ(app.CheckValue(ids::kOption1), 1);
  // The second pattern sample: the first number alone, up to 2.
  app.SetText(ids::kUrltxt, kUrl);
  app.ClickListEntry(ids::kList1, 1);
  app.SetText(ids::kText1, u"");
  app.Type(ids::kText1, u"2");
  E2E_CHECK_EQ(app.Press(ids::kRenban), std::vector<ShownBox>{});
  E2E_CHECK_EQ(app.ListItems(ids::kUrllist), (std::vector<String>{kUrl + u"01.jpg", kUrl + u"02.jpg"}));
}

// A file that cannot be written at exit: one message with the file's full path, then a
// normal end. Under Wine a read-only folder or file does not stop root, so the file is kept
// from being written by a folder of its name, or by the driver holding it open unshared.
E2E_CASE(settings_save_fails) {
  const std::wstring ini = CaseFolder(ctx) + L"\\Velnor.ini";
  const std::string kept = Ansi(u"[チェック]\r\nCHECK2=0\r\n");
  RemoveDirectoryW(ini.c_str());  // left by an earlier run that stopped half-way
  for (const bool heldOpen : {false, true}) {
    ctx.SetScope(heldOpen ? "file held open" : "folder in its place");
    if (heldOpen) {
      E2E_REQUIRE(WriteFileContent(ini, kept));
    } else {
      E2E_REQUIRE(CreateDirectoryW(ini.c_str(), nullptr));
    }
    Velnor app(ctx, SettingsFile::kKeep);
    E2E_REQUIRE(app.started());
    HANDLE held = INVALID_HANDLE_VALUE;
    if (heldOpen) {
      E2E_CHECK_EQ(app.CheckValue(ids::kCheck1), 0);  // it was read at start
      held = CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      E2E_CHECK(held != INVALID_HANDLE_VALUE);
    }
    const String path = FolderOf(app.ImagePath()) + u"\\Velnor.ini";
    E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kMenu),
                 (std::vector<ShownBox>{{u"注意", u"設定を保存できませんでした\n" + path, false}}));
    E2E_CHECK(app.Exited(0));
    E2E_CHECK_EQ(app.ExitCode(), 0ul);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    if (heldOpen) {
      E2E_CHECK_EQ(Bytes{FileContent(ini)}, Bytes{kept});
      DeleteFileW(ini.c_str());
    } else {
      E2E_CHECK(RemoveDirectoryW(ini.c_str()));
    }
  }
}

// Windows ends the session while the program runs: WM_QUERYENDSESSION is answered yes at
// once, WM_ENDSESSION that does not end it writes nothing, and WM_ENDSESSION that ends it
// writes this run's settings before it returns, without a message box (a file that cannot
// be written is given up quietly). A second end of the session, or a close afterwards,
// writes nothing again, whatever changed meanwhile.
E2E_CASE(settings_end_of_session) {
  const std::wstring ini = CaseFolder(ctx) + L"\\Velnor.ini";
  RemoveDirectoryW(ini.c_str());  // left by an earlier run that stopped half-way
  // Sent as Windows sends it, from another process; false when the window did not answer
  // within 5 s (a message box would keep it from answering).
  auto send = [](HWND window, UINT message, WPARAM wParam, LRESULT& result) {
    DWORD_PTR answer = 0;
    const bool answered =
        SendMessageTimeoutW(window, message, wParam, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer) != 0;
    result = static_cast<LRESULT>(answer);
    return answered;
  };
  for (const bool writable : {true, false}) {
    ctx.SetScope(writable ? "file written" : "folder in the file's place");
    if (!writable) E2E_REQUIRE(CreateDirectoryW(ini.c_str(), nullptr));
    Velnor app(ctx, writable ? SettingsFile::kRemove : SettingsFile::kKeep);
    E2E_REQUIRE(app.started());
    // This run's changes: the histories, check states, the start number.
    E2E_CHECK_EQ(ExpandWith(app, u"photo/", u".png"), std::vector<ShownBox>{});
    app.SetCheck(ids::kCheck1, 0);
    app.SetCheck(ids::kCheckund, 1);
    app.Click(ids::kOption1);

    LRESULT result = 0;
    E2E_CHECK(send(app.window(), WM_QUERYENDSESSION, 0, result));
    E2E_CHECK_EQ(result, LRESULT{TRUE});
    E2E_CHECK(send(app.window(), WM_ENDSESSION, FALSE, result));
    E2E_CHECK(writable ? !Exists(ini) : !!(GetFileAttributesW(ini.c_str()) & FILE_ATTRIBUTE_DIRECTORY));

    E2E_CHECK(send(app.window(), WM_QUERYENDSESSION, 0, result));
    E2E_CHECK_EQ(result, LRESULT{TRUE});
    E2E_CHECK(send(app.window(), WM_ENDSESSION, TRUE, result));
    const Bytes written{FileContent(ini)};
    if (writable) {
      int count = 0;
      E2E_CHECK_EQ(Bars(RealReadSection(u"チェック", ini, 32767, count)),
                   String(u"CHECK1=1|CHECK2=0|CHECK3=False|CHECK4=1|CHECK5=0|"));
      E2E_CHECK_EQ(Bars(RealReadSection(u"サブフォルダ", ini, 32767, count)),
                   String(u"SUBFOLDER1=sam/|SUBFOLDER2=image/|SUBFOLDER3=photo/|SUBFOLDER4=|SUBFOLDER5=|"
                          u"SUBFOLDER6=|SUBFOLDER7=|SUBFOLDER8=|SUBFOLDER9=|SUBFOLDER10=|"));
      E2E_CHECK_EQ(Bars(RealReadSection(u"拡張子", ini, 32767, count)),
                   String(u"KAKUTYOUSI1=.jpg|KAKUTYOUSI2=.jpeg|KAKUTYOUSI3=.gif|KAKUTYOUSI4=.png|KAKUTYOUSI5=|"
                          u"KAKUTYOUSI6=|KAKUTYOUSI7=|KAKUTYOUSI8=|KAKUTYOUSI9=|KAKUTYOUSI10=|"));
      E2E_CHECK_EQ(Bars(RealReadSection(u"終了時フォルダ", ini, 32767, count)), String(u"LAST-FLD=photo/|"));
      E2E_CHECK_EQ(Bars(RealReadSection(u"終了時拡張子", ini, 32767, count)), String(u"LAST-KAKU=.png|"));
    }

    // Changed after the save: neither a second end of the session nor a close writes it.
    app.SetCheck(ids::kCheck2, 1);
    SetComboText(app, ids::kCombo2, u"later/");
    E2E_CHECK(send(app.window(), WM_ENDSESSION, TRUE, result));
    E2E_CHECK_EQ(Bytes{FileContent(ini)}, written);
    E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kCloseBox), std::vector<ShownBox>{});
    E2E_CHECK_EQ(app.ExitCode(), 0ul);
    E2E_CHECK_EQ(Bytes{FileContent(ini)}, written);
    if (writable) {
      E2E_CHECK(DeleteFileW(ini.c_str()));
    } else {
      E2E_CHECK(RemoveDirectoryW(ini.c_str()));
    }
  }
}

// A new subfolder text used by an expansion joins Combo2's list at once; after a restart the
// lists hold the used texts in the order they were added.
E2E_CASE(settings_history_run) {
  {
    Velnor app(ctx);
    E2E_REQUIRE(app.started());
    E2E_CHECK_EQ(ExpandWith(app, u"photo/", u".png"), std::vector<ShownBox>{});
    E2E_CHECK_EQ(app.ListItems(ids::kUrllist), (std::vector<String>{kUrl + u"photo/00.png", kUrl + u"photo/01.png"}));
    E2E_CHECK_EQ(app.ComboItems(ids::kCombo2), (std::vector<String>{u"sam/", u"image/", u"photo/"}));
    E2E_CHECK_EQ(app.ComboItems(ids::kCombo1), (std::vector<String>{u".jpg", u".jpeg", u".gif", u".png"}));
    // A text already in the list does not move.
    E2E_CHECK_EQ(ExpandWith(app, u"写真/", u".jpg"), std::vector<ShownBox>{});
    E2E_CHECK_EQ(app.ComboItems(ids::kCombo2), (std::vector<String>{u"sam/", u"image/", u"photo/", u"写真/"}));
    E2E_CHECK_EQ(app.ComboItems(ids::kCombo1), (std::vector<String>{u".jpg", u".jpeg", u".gif", u".png"}));
    E2E_CHECK(!Exists(app.folder() + L"\\Velnor.ini"));
    E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kCloseBox), std::vector<ShownBox>{});
  }
  Velnor app(ctx, SettingsFile::kKeep);
  E2E_REQUIRE(app.started());
  E2E_CHECK_EQ(StateOf(app), (WindowState{1, 1, 0, 0, 1, 0, {u"sam/", u"image/", u"photo/", u"写真/"}, u"写真/",
                                          {u".jpg", u".jpeg", u".gif", u".png"}, u".jpg"}));
}

// A hidden settings file is found but not read: the window starts as with an empty file (no
// defaults), however much the hidden file holds.
E2E_CASE(settings_hidden_file) {
  const std::wstring ini = CaseFolder(ctx) + L"\\Velnor.ini";
  E2E_REQUIRE(WriteFileContent(ini, ""));
  WindowState empty;
  {
    Velnor app(ctx, SettingsFile::kKeep);
    E2E_REQUIRE(app.started());
    empty = StateOf(app);
  }
  E2E_CHECK(empty.combo2Items.empty());
  E2E_CHECK(empty.combo1Items.empty());
  E2E_CHECK_EQ(empty.combo2, String());
  E2E_CHECK_EQ(empty.check1, 0);

  const std::string content = Ansi(
      u"[チェック]\r\nCHECK1=1\r\nCHECK2=1\r\nCHECK3=True\r\nCHECK4=1\r\nCHECK5=1\r\n"
      u"[サブフォルダ]\r\nSUBFOLDER1=hidden/\r\n[終了時フォルダ]\r\nLAST-FLD=hidden/\r\n");
  SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
  E2E_REQUIRE(WriteFileContent(ini, content));
  E2E_REQUIRE(SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_HIDDEN));
  E2E_REQUIRE((GetFileAttributesW(ini.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0);
  Velnor app(ctx, SettingsFile::kKeep);
  E2E_REQUIRE(app.started());
  E2E_CHECK_EQ(StateOf(app), empty);
  const std::vector<ShownBox> boxes = app.CloseAnswering(CloseBy::kCloseBox);
  E2E_CHECK_EQ(app.ExitCode(), 0ul);
  // The exit writes the hidden file like any other (as Windows writes a hidden desktop.ini),
  // with the empty window's values: what the hidden file held is gone.
  E2E_CHECK_EQ(boxes, std::vector<ShownBox>{});
  int count = 0;
  E2E_CHECK_EQ(Bars(RealReadSection(u"チェック", ini, 32767, count)),
               String(u"CHECK1=0|CHECK2=0|CHECK3=False|CHECK4=0|CHECK5=0|"));
  E2E_CHECK_EQ(Bars(RealReadSection(u"終了時フォルダ", ini, 32767, count)), String(u"LAST-FLD=|"));
  E2E_CHECK((GetFileAttributesW(ini.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0);
  SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The program's own reader and writer against the Windows profile functions on the same files:
// a section written by one is read back by the other, in a fresh file each time.
E2E_CASE(settings_profile_cross_check) {
  const std::wstring folder = CaseFolder(ctx);
  IniFileProfile portable(ToString(folder));
  struct Row {
    const char* name;
    const char16_t* section;
    const char16_t* text;   // "|" stands for NUL
    int size;               // the read buffer, in bytes
    const char16_t* reads;  // what both readers give for the file of either writer
    bool sameBytes;         // both writers make the same file
  };
  const Row rows[] = {
      {"Japanese values", u"サブフォルダ", u"SUBFOLDER1=画像/|SUBFOLDER2=|SUBFOLDER3=ソフト表示/|SUBFOLDER4=ｶﾞｿﾞｳ/|SUBFOLDER5=.ｊｐｇ|", 32767,
       u"SUBFOLDER1=画像/|SUBFOLDER2=|SUBFOLDER3=ソフト表示/|SUBFOLDER4=ｶﾞｿﾞｳ/|SUBFOLDER5=.ｊｐｇ|", true},
      {"backslashes", u"起動フォルダ", u"KIDOU=Z:\\作業\\表示\\|", 32767, u"KIDOU=Z:\\作業\\表示\\|", true},
      {"=, brackets and ; in values", u"終了時フォルダ", u"LAST-FLD=a=b/|LAST-KAKU=[x];y|", 32767,
       u"LAST-FLD=a=b/|LAST-KAKU=[x];y|", true},
      {"entry without =", u"拡張子", u"KAKUTYOUSI1=.jpg|junk|KAKUTYOUSI2=.gif|", 32767,
       u"KAKUTYOUSI1=.jpg|KAKUTYOUSI2=.gif|", true},
      // Wine writes no file for a section without entries; the program's writer an empty one.
      {"empty section", u"終了時拡張子", u"|", 32767, u"", false},
      // The blanks go when the entry is read; Wine's writer drops the leading ones already.
      {"blanks around = and at the ends", u"チェック", u" CHECK1 = 1 |CHECK2=\t2|", 32767, u"CHECK1=1|CHECK2=2|", false},
      {"cut at the buffer", u"チェック", u"CHECK1=1|CHECK2=1|CHECK3=True|", 16, u"CHECK1=1|CHECK", true},
      {"cut after a double-byte character", u"終了時フォルダ", u"LAST-FLD=画像画像|", 13, u"LAST-FLD=画", true},
  };
  int fileNumber = 0;
  for (const Row& row : rows) {
    ctx.SetScope(row.name);
    const String section = row.section;
    const std::wstring byPortable = folder + L"\\p" + std::to_wstring(++fileNumber) + L".ini";
    const std::wstring byReal = folder + L"\\r" + std::to_wstring(fileNumber) + L".ini";
    DeleteFileW(byPortable.c_str());
    DeleteFileW(byReal.c_str());
    E2E_CHECK(PortableWriteSection(section, row.text, byPortable));
    E2E_CHECK(RealWriteSection(section, Nuls(row.text), byReal));
    for (const std::wstring& file : {byPortable, byReal}) {
      ctx.SetScope(std::string(row.name) + (file == byReal ? ", real writer" : ", portable writer"));
      int realCount = -1;
      int portableCount = -1;
      E2E_CHECK_EQ(Bars(RealReadSection(section, file, row.size, realCount)), String(row.reads));
      E2E_CHECK_EQ(Bars(PortableReadSection(portable, section, file, row.size, portableCount)), String(row.reads));
      E2E_CHECK_EQ(portableCount, realCount);
    }
    ctx.SetScope(row.name);
    E2E_CHECK_EQ(Bytes{FileContent(byPortable)} == Bytes{FileContent(byReal)}, row.sameBytes);
    if (row.sameBytes) E2E_CHECK_EQ(Bytes{FileContent(byPortable)}, Bytes{FileContent(byReal)});
  }

  // A file written by hand, then one section replaced by either writer: both readers agree on
  // every section before and after.
  const std::string handWritten = Ansi(
      u"; 設定\r\n[チェック]\r\n CHECK1 = 0 \r\n;CHECK2=1\r\n\r\nnoequals\r\nCHECK3=False\n[ちぇっく]\nX=1\r"
      u"[サブフォルダ]\r\nSUBFOLDER1=a\r\n[チェック]\r\nCHECK4=2\r\n[拡張子]\r\nKAKUTYOUSI1=.gif");
  const String sections[] = {u"チェック", u"ちぇっく", u"サブフォルダ", u"拡張子", u"終了時フォルダ"};
  struct Step {
    const char* name;
    int writer;  // 0: none, 1: portable, 2: real
  };
  for (const Step step : {Step{"as written", 0}, Step{"portable writer", 1}, Step{"real writer", 2}}) {
    const std::wstring file = folder + L"\\hand" + std::to_wstring(step.writer) + L".ini";
    E2E_REQUIRE(WriteFileContent(file, handWritten));
    const String replacement = Nuls(u"CHECK1=1|CHECK5=1|");
    if (step.writer == 1) E2E_CHECK(PortableWriteSection(u"チェック", u"CHECK1=1|CHECK5=1|", file));
    if (step.writer == 2) E2E_CHECK(RealWriteSection(u"チェック", replacement, file));
    for (const String& section : sections) {
      ctx.SetScope(std::string(step.name) + ", section " + ToUtf8(section));
      int realCount = -1;
      int portableCount = -1;
      const String real = RealReadSection(section, file, 32767, realCount);
      E2E_CHECK_EQ(Bars(PortableReadSection(portable, section, file, 32767, portableCount)), Bars(real));
      E2E_CHECK_EQ(portableCount, realCount);
      // The program's writer keeps what it does not write; the profile functions do not.
      if (step.writer == 1 && section == u"チェック") {
        E2E_CHECK_EQ(Bars(real), String(u"CHECK1=1|CHECK5=1|noequals|CHECK3=False|"));
      }
      if (step.writer == 2 && section == u"チェック") E2E_CHECK_EQ(Bars(real), String(u"CHECK1=1|CHECK5=1|"));
    }
  }
}

// On a Windows whose ANSI code page is not 932 (a prefix whose locale is C.UTF-8): a file
// written on a Japanese system is read whole and written back byte for byte, and a text typed
// in this run reaches the file in code page 932.
E2E_CASE(settings_other_code_page) {
  E2E_REQUIRE(GetACP() != 932);
  const std::wstring ini = CaseFolder(ctx) + L"\\Velnor.ini";
  String folder;
  {
    Velnor app(ctx);
    E2E_REQUIRE(app.started());
    folder = FolderOf(app.ImagePath());
  }
  const std::string japanese = cp932::Encode(
      u"[起動フォルダ]\r\nKIDOU=" + folder +
      u"\r\n[チェック]\r\nCHECK1=0\r\nCHECK2=1\r\nCHECK3=False\r\nCHECK4=1\r\nCHECK5=0\r\n[サブフォルダ]\r\n"
      u"SUBFOLDER1=画像/\r\nSUBFOLDER2=ソフト表示/\r\nSUBFOLDER3=写真/\r\nSUBFOLDER4=\r\nSUBFOLDER5=\r\nSUBFOLDER6=\r\n"
      u"SUBFOLDER7=\r\nSUBFOLDER8=\r\nSUBFOLDER9=\r\nSUBFOLDER10=\r\n[拡張子]\r\nKAKUTYOUSI1=.jpg\r\n"
      u"KAKUTYOUSI2=.ｊｐｇ\r\nKAKUTYOUSI3=.ﾃｽﾄ\r\nKAKUTYOUSI4=\r\nKAKUTYOUSI5=\r\nKAKUTYOUSI6=\r\nKAKUTYOUSI7=\r\n"
      u"KAKUTYOUSI8=\r\nKAKUTYOUSI9=\r\nKAKUTYOUSI10=\r\n[終了時フォルダ]\r\nLAST-FLD=写真/\r\n[終了時拡張子]\r\n"
      u"LAST-KAKU=.ｊｐｇ\r\n[オプション]\r\nAUTOSPLIT=0\r\nDLFOLDER=D:\\ダウンロード\r\nDLCONNECTIONS=2\r\n"
      u"DLSTOPMISSING=1\r\nDLREFERER=1\r\nAUTOFIND=0\r\nHTTPS=0\r\nDLREFERERURL=\r\nDLCOOKIES=\r\n");
  E2E_REQUIRE(WriteFileContent(ini, japanese));
  {
    Velnor app(ctx, SettingsFile::kKeep);
    E2E_REQUIRE(app.started());
    E2E_CHECK_EQ(StateOf(app), (WindowState{0, 1, 1, 0, 0, 1, {u"画像/", u"ソフト表示/", u"写真/"}, u"写真/",
                                            {u".jpg", u".ｊｐｇ", u".ﾃｽﾄ"}, u".ｊｐｇ"}));
    E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kCloseBox), std::vector<ShownBox>{});
  }
  E2E_CHECK_EQ(Bytes{FileContent(ini)}, Bytes{japanese});

  Velnor app(ctx, SettingsFile::kKeep);
  E2E_REQUIRE(app.started());
  SetComboText(app, ids::kCombo2, u"新規/");
  E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kCloseBox), std::vector<ShownBox>{});
  const std::string written = FileContent(ini);
  E2E_CHECK(written.find(cp932::Encode(u"SUBFOLDER3=写真/\r\nSUBFOLDER4=新規/\r\n")) != std::string::npos);
  E2E_CHECK(written.find(cp932::Encode(u"[終了時フォルダ]\r\nLAST-FLD=新規/\r\n")) != std::string::npos);
}

// The program in a folder whose name code page 932 lacks: the file is written at exit and read
// at the next start. KIDOU cannot hold the folder, so it stays empty.
E2E_CASE(settings_program_folder_hangul) {
  const std::wstring subfolder = L"app\uD55C";
  const std::wstring ini = CaseFolder(ctx) + L"\\" + subfolder + L"\\Velnor.ini";
  {
    Velnor app(ctx, SettingsFile::kRemove, subfolder);
    E2E_REQUIRE(app.started());
    E2E_CHECK_EQ(StateOf(app), kDefaults);
    E2E_CHECK_EQ(ExpandWith(app, u"写真/", u".png"), std::vector<ShownBox>{});
    app.Click(ids::kOption1);
    E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kCloseBox), std::vector<ShownBox>{});
    E2E_CHECK_EQ(app.ExitCode(), 0ul);
  }
  E2E_CHECK_EQ(FileContent(ini).find(cp932::Encode(u"[起動フォルダ]\r\nKIDOU=\r\n[チェック]\r\n")), size_t{0});
  Velnor app(ctx, SettingsFile::kKeep, subfolder);
  E2E_REQUIRE(app.started());
  E2E_CHECK_EQ(StateOf(app), (WindowState{1, 1, 0, 0, 0, 1, {u"sam/", u"image/", u"写真/"}, u"写真/",
                                          {u".jpg", u".jpeg", u".gif", u".png"}, u".png"}));
}


// Files saved by Notepad as UTF-8 (no byte-order mark) and as UTF-16 LE, with a note, a folder
// and a subfolder that code page 932 lacks: read, and written back at exit in the same
// encoding, byte for byte up to the options section (which keys of later versions may join);
// the temporary file a cut-off save left beside the file is gone after the exit.
E2E_CASE(settings_unicode_file) {
  const std::wstring folder = CaseFolder(ctx);
  const std::wstring ini = folder + L"\\Velnor.ini";
  String programFolder;
  {
    Velnor app(ctx);
    E2E_REQUIRE(app.started());
    programFolder = FolderOf(app.ImagePath());
  }
  const String text =
      u"[メモ]\r\nnote=café 😀\r\n[起動フォルダ]\r\nKIDOU=" + programFolder +
      u"\r\n[チェック]\r\nCHECK1=0\r\nCHECK2=1\r\nCHECK3=False\r\nCHECK4=1\r\nCHECK5=0\r\n[サブフォルダ]\r\n"
      u"SUBFOLDER1=画像/\r\nSUBFOLDER2=Zoë/\r\nSUBFOLDER3=\r\nSUBFOLDER4=\r\nSUBFOLDER5=\r\nSUBFOLDER6=\r\n"
      u"SUBFOLDER7=\r\nSUBFOLDER8=\r\nSUBFOLDER9=\r\nSUBFOLDER10=\r\n[拡張子]\r\nKAKUTYOUSI1=.jpg\r\n"
      u"KAKUTYOUSI2=\r\nKAKUTYOUSI3=\r\nKAKUTYOUSI4=\r\nKAKUTYOUSI5=\r\nKAKUTYOUSI6=\r\nKAKUTYOUSI7=\r\n"
      u"KAKUTYOUSI8=\r\nKAKUTYOUSI9=\r\nKAKUTYOUSI10=\r\n[終了時フォルダ]\r\nLAST-FLD=Zoë/\r\n[終了時拡張子]\r\n"
      u"LAST-KAKU=.jpg\r\n[オプション]\r\nAUTOSPLIT=0\r\nDLFOLDER=C:\\Users\\Zoë\\Downloads\r\n";
  auto utf16 = [](const String& t) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t c : t) bytes.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)});
    return bytes;
  };
  const String folderLine = u"DLFOLDER=C:\\Users\\Zoë\\Downloads\r\n";
  const struct {
    const char* name;
    std::string file;
    std::string folderLine;  // DLFOLDER written back
  } rows[] = {
      {"UTF-8", ToUtf8(text), ToUtf8(folderLine)},
      {"UTF-16 LE", utf16(text), utf16(folderLine).substr(2)},
  };
  const WindowState loaded{0, 1, 1, 0, 0, 1, {u"画像/", u"Zoë/"}, u"Zoë/", {u".jpg"}, u".jpg"};
  for (const auto& row : rows) {
    ctx.SetScope(row.name);
    E2E_REQUIRE(WriteFileContent(ini, row.file));
    E2E_REQUIRE(WriteFileContent(folder + L"\\Velnor.in~", "[half"));
    for (int run = 0; run < 2; ++run) {
      Velnor app(ctx, SettingsFile::kKeep);
      E2E_REQUIRE(app.started());
      E2E_CHECK_EQ(StateOf(app), loaded);
      E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kCloseBox), std::vector<ShownBox>{});
      const std::string written = FileContent(ini);
      const size_t options = row.file.find(row.folderLine);
      E2E_CHECK_EQ(Bytes{written.substr(0, options)}, Bytes{row.file.substr(0, options)});
      E2E_CHECK_EQ(Bytes{written.substr(options, row.folderLine.size())}, Bytes{row.folderLine});
      E2E_CHECK(!Exists(folder + L"\\Velnor.in~"));
    }
  }
}

}  // namespace velnor::e2e
