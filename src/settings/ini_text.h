#pragma once
// The INI file format on the byte level: section lines "[name]", entry lines "key=value".
// Reading hands a section back as the Windows profile functions did; writing sets the
// program's own keys and leaves every other line of the file byte for byte as it was.
// Bytes are code page 932 or UTF-8; the names, keys and values passed in must be in the
// file's encoding.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velnor::ini {

enum class Encoding { kCp932, kUtf8 };

// True when the file has a section line of this name (compared without regard to ASCII
// letter case).
bool HasSection(std::string_view file, std::string_view section, Encoding encoding);

// The entries of the first section with this name (compared without regard to ASCII letter
// case), in file order, each followed by a NUL: "key=value" with the blanks around "="
// dropped, or the bare line for a line without "="; blank lines and ";" comments are
// skipped. A text longer than fits a buffer of `size` bytes with its final NUL is cut to
// size - 2 bytes, as the profile functions cut it. Empty for a missing or empty section.
std::string ReadSection(std::string_view file, std::string_view section, int size,
                        Encoding encoding = Encoding::kCp932);

// One key the program keeps, in the section it belongs to.
struct Entry {
  std::string_view section;
  std::string_view key;
  // Nothing: the value cannot be written; the line the file holds for the key stays, and
  // a missing key is written with an empty value.
  std::optional<std::string_view> value;
};

// The file with every entry set. Only the first section of each entry's name is the
// program's (the one ReadSection reads): there each key's last line takes the value (the
// line stays byte for byte when its value is already that and it holds no NUL), its earlier
// lines go, and so
// do lines of keys that belong to another of the entries' sections. A missing key is added
// after the key before it in `entries`, a missing section at the end of the file, both
// with CR LF. Everything else (other sections and keys, comments, blank lines, line ends)
// stays as it was.
std::string UpdateEntries(std::string_view file, std::span<const Entry> entries,
                          Encoding encoding = Encoding::kCp932);

}  // namespace velnor::ini
