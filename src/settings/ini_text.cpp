#include "settings/ini_text.h"

namespace velnor::ini {
namespace {

// Blanks that the profile functions drop at the ends of lines and around "=". None of them
// can be the second byte of a double-byte character, so trimming bytes is safe.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\x1a'; }

bool IsLeadByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The profile functions hand keys, values and section names over as C strings: each of them
// ends at its first NUL, whatever follows on the line.
std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Letter case matters only for ASCII letters; the second byte of a double-byte character
// is compared as it stands (0x61 there is no "a").
bool SameSectionName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLeadByte(a[i]) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

struct Line {
  std::string_view content;  // without the line end, blanks trimmed at both ends
  std::string_view raw;      // the line as it stands in the file, line end included
  bool hasLineEnd = false;
  bool isSection = false;
  std::string_view sectionName;
};

// Position of the last "]" of the line that is a character of its own.
size_t LastClosingBracket(std::string_view s) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < s.size(); ++i) {
    if (IsLeadByte(s[i])) {
      ++i;
    } else if (s[i] == ']') {
      found = i;
    }
  }
  return found;
}

// Calls `visit` with each line in file order until it returns false. Lines end in CR LF, LF
// or a lone CR.
template <class Visit>
void ForEachLine(std::string_view file, Visit visit) {
  size_t pos = 0;
  while (pos < file.size()) {
    const size_t end = file.find_first_of("\r\n", pos);
    size_t next;  // set by every branch below
    if (end == std::string_view::npos) {
      next = file.size();
    } else if (file[end] == '\r' && end + 1 < file.size() && file[end + 1] == '\n') {
      next = end + 2;
    } else {
      next = end + 1;
    }
    Line line;
    line.raw = file.substr(pos, next - pos);
    line.hasLineEnd = end != std::string_view::npos;
    line.content = TrimRight(TrimLeft(file.substr(pos, (line.hasLineEnd ? end : next) - pos)));
    if (!line.content.empty() && line.content.front() == '[') {
      const size_t close = LastClosingBracket(line.content);
      if (close != std::string_view::npos) {
        line.isSection = true;
        line.sectionName = UpToNul(TrimRight(TrimLeft(line.content.substr(1, close - 1))));
      }
    }
    if (!visit(line)) return;
    pos = next;
  }
}

}  // namespace

std::string ReadSection(std::string_view file, std::string_view section, int size) {
  std::string text;
  const size_t limit = static_cast<size_t>(size < 0 ? 0 : size);
  bool inSection = false;
  ForEachLine(file, [&](const Line& line) {
    if (line.isSection) {
      if (inSection) return false;  // only the first section of the name counts
      inSection = SameSectionName(line.sectionName, section);
      return true;
    }
    if (!inSection || line.content.empty() || line.content.front() == ';') return true;
    const size_t equals = line.content.find('=');
    if (equals == std::string_view::npos) {
      const std::string_view bare = UpToNul(line.content);
      if (bare.empty()) return true;  // nothing left of the line: no entry
      text.append(bare);
    } else {
      text.append(UpToNul(TrimRight(line.content.substr(0, equals))));
      text.push_back('=');
      text.append(UpToNul(TrimLeft(line.content.substr(equals + 1))));
    }
    text.push_back('\0');
    // Enough read once the buffer is full: the rest would be cut off anyway.
    return text.size() + 1 < limit;
  });
  if (text.empty() || limit < 2) return std::string();
  // The section's text and its final NUL must fit; otherwise it is cut to size - 2 bytes.
  if (text.size() + 1 >= limit) text.resize(limit - 2);
  return text;
}

std::string ReplaceSection(std::string_view file, std::string_view section, std::string_view text) {
  std::string entries;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\0', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view entry = text.substr(pos, end - pos);
    if (entry.empty()) break;
    if (entry.find('=') != std::string_view::npos) {
      entries.append(entry);
      entries.append("\r\n");
    }
    pos = end + 1;
  }

  std::string out;
  out.reserve(file.size() + entries.size() + section.size() + 8);
  bool inSection = false;
  bool written = false;
  ForEachLine(file, [&](const Line& line) {
    if (line.isSection) {
      inSection = SameSectionName(line.sectionName, section);
      out.append(line.raw);
      if (inSection && !line.hasLineEnd) out.append("\r\n");
      if (inSection && !written) {
        out.append(entries);
        written = true;
      }
    } else if (!inSection) {
      out.append(line.raw);
    }
    return true;
  });
  if (!written) {
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out.append("\r\n");
    out.push_back('[');
    out.append(section);
    out.append("]\r\n");
    out.append(entries);
  }
  return out;
}

}  // namespace velnor::ini
