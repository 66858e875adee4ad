#pragma once
// The settings file Velnor.ini beside the program: where it lies, loading it into the main
// window at start-up (the built-in defaults when there is none) and writing it at exit.
// The file is read whole and written whole, in the encoding it came in whatever the system's
// code page: code page 932, UTF-8 (with its byte-order mark or without) or UTF-16; a new
// file in code page 932.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ui/program.h"

namespace velnor {

inline const String kSettingsFileName = u"Velnor.ini";

// The six sections, in the order they are read and written.
inline const std::array<String, 6> kSettingsSections = {
    u"起動フォルダ", u"チェック", u"サブフォルダ", u"拡張子", u"終了時フォルダ", u"終了時拡張子"};

// The seventh section, written after the six and read like them: the program's options.
inline const String kOptionSection = u"オプション";

// A section longer than this many bytes with its final NUL is cut there, as the Windows
// profile functions cut it.
constexpr int kSectionBufferSize = 32767;

// Shown at exit when the file could not be written, with a line break and the full path.
inline const String kSaveFailedMessage = u"設定を保存できませんでした";

// The folder, a backslash unless the folder already ends in one (a drive root), then
// "Velnor.ini".
String SettingsFilePath(const String& programFolder);

// The one temporary file the settings file is written to before it takes the file's place:
// the same name with "~" for its last character ("Velnor.in~", "~" becoming "_"), no longer
// than the file's, so that a folder that takes the file takes it too. Each save writes over
// what a save cut off left there, so at most this one file is ever left.
String SettingsTemporaryPath(StringView path);

// Replaces `pieces` with the parts of `text` between occurrences of `separator` (never
// empty) and returns the index of the last piece. "" gives one empty piece and 0; a text
// ending in the separator gives an empty last piece.
int SplitText(const String& text, const String& separator, std::vector<String>& pieces);

// True when the path names an existing file or folder.
bool FileExists(const Program& program, const String& path);

// At start-up: reads the settings file when it exists, otherwise puts the defaults into the
// window (and writes nothing).
void LoadSettings(Program& program);

// Applies every known key of the six sections and the options section to the window, the
// history slot tables and the program's options, then fills the lists of Combo2 and Combo1
// from the non-empty slots. Reads nothing unless the path is an ordinary file (not hidden,
// system or a folder).
void ReadSettingsFile(Program& program);

// The settings file's bytes with every key set from the window, the history slot tables and
// the program's options, over the file as it is (`file`, empty when there is none): the six
// sections, then the options section, added where missing; what the program does not know
// stays. In a code page 932 file a value that the code page cannot hold keeps the file's value
// for its key.
std::string SettingsFileBytes(const Program& program, std::string_view file);

// True when the file is read and written in an encoding that holds every character (UTF-8,
// UTF-16), so that every value is written; false for code page 932.
bool HoldsEveryCharacter(std::string_view file);

// At exit: writes the settings file whole, replacing the old one in one step. When it cannot
// be written, tells the user once ("注意") which file it was; returns false then, and the
// old file is as it was. Call after UpdateHistoryLists.
bool SaveSettings(Program& program);

}  // namespace velnor
