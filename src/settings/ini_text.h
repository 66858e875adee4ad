#pragma once
// The INI file format on the byte level, for platforms without the Windows profile
// functions: section lines "[name]", entry lines "key=value", bytes in code page 932.
// Reading follows what the profile functions hand back; writing replaces one section and
// leaves every other line of the file byte for byte as it was.
#include <string>
#include <string_view>

namespace velnor::ini {

// The entries of the first section with this name (compared without regard to ASCII letter
// case), in file order, each followed by a NUL: "key=value" with the blanks around "="
// dropped, or the bare line for a line without "="; blank lines and ";" comments are
// skipped. A text longer than fits a buffer of `size` bytes with its final NUL is cut to
// size - 2 bytes, as the platform cuts it. Empty for a missing or empty section.
std::string ReadSection(std::string_view file, std::string_view section, int size);

// The file with the entries of every section of this name replaced: the entries of `text`
// (each followed by a NUL, the list ending at an empty entry; entries without "=" are
// dropped) go into the first such section, one line each, ending in CR LF; a missing section
// is added at the end of the file.
std::string ReplaceSection(std::string_view file, std::string_view section, std::string_view text);

}  // namespace velnor::ini
