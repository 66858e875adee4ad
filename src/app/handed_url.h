#pragma once
// A URL handed to the program on purpose, rather than copied: an argument of the command line
// (by itself or in a file it names), a second start passing its argument on, or something
// dropped on the window. A handed text is taken as a copied one would be, as if it had just
// been copied, except that text beginning with "https://" is taken too. It is untrusted input:
// it only ever becomes the text of the fields, never anything that is run, opened or written.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/program.h"

namespace velnor {

// The longest handed text taken, in UTF-16 code units (64 K): a longer one is ignored whole,
// never cut, since part of a URL is another URL.
inline constexpr size_t kMaxHandedTextLength = 65536;

// A file that a hand-off names is read up to this many bytes, so that no file can hold up the
// window: a URL must lie within them.
inline constexpr size_t kHandedFileReadLimit = size_t{64} * 1024;

// True for a text the hand-offs take: it begins with "http://" or "https://" exactly
// (case-sensitive, as the clipboard watcher compares) and is no longer than the limit.
bool IsHandedUrl(StringView text);

// The files a hand-off reads, known by their extension in any case: an Internet shortcut
// (its URL= line in [InternetShortcut]) and a text file (its first line).
enum class HandedFile { kNone, kInternetShortcut, kText };
HandedFile HandedFileKind(StringView path);

// The first bytes of a file, at most kHandedFileReadLimit, and whether they are all of it.
struct FileStart {
  std::string bytes;
  bool whole = false;
};
// Reads the start of the file at a path; nothing when it cannot be read (or is no file).
using FileStartReader = std::function<std::optional<FileStart>(const String& path)>;

// The lines of a file's text, without their line ends: UTF-16 (little or big endian) or UTF-8
// after a byte-order mark; without one, UTF-8 when the bytes are valid UTF-8 and code page 932
// otherwise. A last line that may go on past the bytes read is left out.
std::vector<String> FileLines(const FileStart& file);

// The text a file of that kind hands: the value of the first URL= line (key in any case,
// blanks around it left out) in the [InternetShortcut] section, or the first line of a text
// file; nothing when there is none. The rule is applied afterwards.
std::optional<String> HandedFileText(HandedFile kind, const FileStart& file);

// The text an argument (or a dropped file's path) hands: itself when it is not a file of those
// kinds, else what the file hands; nothing when the file cannot be read.
std::optional<String> HandedArgumentText(const String& argument, const FileStartReader& read);

// The first of the arguments whose text the rule takes.
std::optional<String> FirstHandedUrl(const std::vector<String>& arguments, const FileStartReader& read);

// What a drop on the window offers: a browser's URL format, plain text, files.
struct DroppedData {
  std::optional<String> url;
  std::optional<String> text;
  std::vector<String> files;
};

// The URL a drop hands: the URL format when the rule takes it, else the text, else the first
// Internet shortcut or text file among the files (only the first such file is read).
std::optional<String> DroppedUrl(const DroppedData& data, const FileStartReader& read);

// Takes a handed text by the rule into the fields, as a URL copied just now would be (the
// automatic split and search when they are on); false, and nothing changes, for any other text.
bool TakeHandedUrl(Program& program, const String& text);

}  // namespace velnor
