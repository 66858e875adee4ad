#include "settings/ini_text.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace velnor::ini {
namespace {

// Blanks that the profile functions drop at the ends of lines and around "=". None of them
// can be the second byte of a double-byte character, so trimming bytes is safe.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\x1a'; }

// The first byte of a code page 932 character that takes the next byte with it. In UTF-8
// no byte of a multi-byte character is ASCII, so every byte can be looked at alone.
bool IsLeadByte(char c, Encoding encoding) {
  const auto b = static_cast<unsigned char>(c);
  return encoding == Encoding::kCp932 && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
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
bool SameSectionName(std::string_view a, std::string_view b, Encoding encoding) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLeadByte(a[i], encoding) && i + 1 < a.size()) {
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
  std::string_view ending;   // its line end: CR LF, LF, CR or nothing at the end of the file
  bool hasLineEnd = false;
  bool isSection = false;
  std::string_view sectionName;
};

// Position of the last "]" of the line that is a character of its own.
size_t LastClosingBracket(std::string_view s, Encoding encoding) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < s.size(); ++i) {
    if (IsLeadByte(s[i], encoding)) {
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
void ForEachLine(std::string_view file, Encoding encoding, Visit visit) {
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
    if (line.hasLineEnd) line.ending = file.substr(end, next - end);
    line.content = TrimRight(TrimLeft(file.substr(pos, (line.hasLineEnd ? end : next) - pos)));
    if (!line.content.empty() && line.content.front() == '[') {
      const size_t close = LastClosingBracket(line.content, encoding);
      if (close != std::string_view::npos) {
        line.isSection = true;
        line.sectionName = UpToNul(TrimRight(TrimLeft(line.content.substr(1, close - 1))));
      }
    }
    if (!visit(line)) return;
    pos = next;
  }
}

// (cppcheck misses the reads of the members through std::optional.)
struct KeyAndValue {
  // cppcheck-suppress unusedStructMember
  std::string_view key;
  // cppcheck-suppress unusedStructMember
  std::string_view value;
};

// The key and value of an entry line, as the profile functions hand them over: blanks
// around "=" dropped, each cut at a NUL. Nothing for a line that is no "key=value" entry.
std::optional<KeyAndValue> EntryOf(const Line& line) {
  if (line.isSection || line.content.empty() || line.content.front() == ';') return std::nullopt;
  const size_t equals = line.content.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyAndValue{UpToNul(TrimRight(line.content.substr(0, equals))),
                     UpToNul(TrimLeft(line.content.substr(equals + 1)))};
}

}  // namespace

bool HasSection(std::string_view file, std::string_view section, Encoding encoding) {
  bool found = false;
  ForEachLine(file, encoding, [&](const Line& line) {
    found = line.isSection && SameSectionName(line.sectionName, section, encoding);
    return !found;
  });
  return found;
}

std::string ReadSection(std::string_view file, std::string_view section, int size, Encoding encoding) {
  std::string text;
  const size_t limit = static_cast<size_t>(size < 0 ? 0 : size);
  bool inSection = false;
  ForEachLine(file, encoding, [&](const Line& line) {
    if (line.isSection) {
      if (inSection) return false;  // only the first section of the name counts
      inSection = SameSectionName(line.sectionName, section, encoding);
      return true;
    }
    if (!inSection) return true;
    const std::optional<KeyAndValue> entry = EntryOf(line);
    if (entry) {
      text.append(entry->key);
      text.push_back('=');
      text.append(entry->value);
    } else {
      if (line.content.empty() || line.content.front() == ';') return true;
      const std::string_view bare = UpToNul(line.content);
      if (bare.empty()) return true;  // nothing left of the line: no entry
      text.append(bare);
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

std::string UpdateEntries(std::string_view file, std::span<const Entry> entries, Encoding encoding) {
  // The entries' sections in the order they first come, and the entries of each.
  std::vector<std::string_view> sections;
  std::vector<size_t> sectionOf(entries.size());
  for (size_t e = 0; e < entries.size(); ++e) {
    size_t s = 0;
    while (s < sections.size() && !SameSectionName(sections[s], entries[e].section, encoding)) ++s;
    if (s == sections.size()) sections.push_back(entries[e].section);
    sectionOf[e] = s;
  }

  // Lines are named by where they begin in the file. Only what concerns the entries is kept,
  // never something for every line: a file of a million blank lines costs no more than its
  // bytes.
  auto offsetOf = [file](const Line& line) { return static_cast<size_t>(line.raw.data() - file.data()); };

  // First pass: each section's first header (only that one is the program's), the line that
  // carries each entry (its key's last line in its section), and the lines that go.
  constexpr size_t kNone = static_cast<size_t>(-1);
  std::vector<size_t> header(sections.size(), kNone);
  std::vector<size_t> lineOf(entries.size(), kNone);
  std::vector<size_t> dropped;
  size_t current = kNone;
  ForEachLine(file, encoding, [&](const Line& line) {
    const size_t offset = offsetOf(line);
    if (line.isSection) {
      current = kNone;
      for (size_t s = 0; s < sections.size(); ++s) {
        if (!SameSectionName(line.sectionName, sections[s], encoding)) continue;
        if (header[s] == kNone) {
          header[s] = offset;
          current = s;
        }
        break;
      }
      return true;
    }
    if (current == kNone) return true;
    const std::optional<KeyAndValue> entry = EntryOf(line);
    if (!entry) return true;
    bool drop = false;
    for (size_t e = 0; e < entries.size(); ++e) {
      if (entries[e].key != entry->key) continue;
      if (sectionOf[e] != current) {
        drop = true;  // read after its own section's line, it would win
        continue;
      }
      if (lineOf[e] != kNone) dropped.push_back(lineOf[e]);
      lineOf[e] = offset;
      drop = false;
      break;
    }
    if (drop) dropped.push_back(offset);
    return true;
  });
  std::sort(dropped.begin(), dropped.end());

  // The lines that carry an entry, and missing keys after the key before them (or after the
  // section's header), both in file order.
  std::vector<std::pair<size_t, size_t>> carried;  // line, entry
  std::vector<std::pair<size_t, size_t>> added;    // line, entry
  for (size_t e = 0; e < entries.size(); ++e) {
    if (lineOf[e] != kNone) carried.emplace_back(lineOf[e], e);
  }
  for (size_t s = 0; s < sections.size(); ++s) {
    if (header[s] == kNone) continue;
    size_t anchor = header[s];
    for (size_t e = 0; e < entries.size(); ++e) {
      if (sectionOf[e] != s) continue;
      if (lineOf[e] != kNone) {
        anchor = lineOf[e];
      } else {
        added.emplace_back(anchor, e);
      }
    }
  }
  std::sort(carried.begin(), carried.end());
  std::stable_sort(added.begin(), added.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

  // Room for the file and every entry and section written anew, so that the text is never
  // copied to grow.
  size_t room = file.size();
  for (const Entry& entry : entries) room += entry.key.size() + entry.value.value_or(std::string_view()).size() + 3;
  for (const std::string_view section : sections) room += section.size() + 4;
  std::string out;
  out.reserve(room);
  auto writeEntry = [&out, entries](size_t e) {
    out.append(entries[e].key).append("=").append(entries[e].value.value_or(std::string_view())).append("\r\n");
  };
  // Second pass: the file written out with the entries set.
  auto nextDropped = dropped.begin();
  auto nextCarried = carried.begin();
  auto nextAdded = added.begin();
  ForEachLine(file, encoding, [&](const Line& line) {
    const size_t offset = offsetOf(line);
    while (nextDropped != dropped.end() && *nextDropped < offset) ++nextDropped;
    if (nextDropped != dropped.end() && *nextDropped == offset) return true;
    const bool carries = nextCarried != carried.end() && nextCarried->first == offset;
    const size_t e = carries ? (nextCarried++)->second : kNone;
    // A line with a NUL in it is written anew: what follows the NUL is never read, and blanks
    // before it would stay in the value.
    if (e != kNone && entries[e].value &&
        (*entries[e].value != EntryOf(line)->value || line.raw.find('\0') != std::string_view::npos)) {
      out.append(entries[e].key).append("=").append(*entries[e].value).append(line.ending);
    } else {
      out.append(line.raw);
    }
    if (nextAdded == added.end() || nextAdded->first != offset) return true;
    if (!line.hasLineEnd) out.append("\r\n");
    for (; nextAdded != added.end() && nextAdded->first == offset; ++nextAdded) writeEntry(nextAdded->second);
    return true;
  });
  for (size_t s = 0; s < sections.size(); ++s) {
    if (header[s] != kNone) continue;
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out.append("\r\n");
    out.append("[").append(sections[s]).append("]\r\n");
    for (size_t e = 0; e < entries.size(); ++e) {
      if (sectionOf[e] == s) writeEntry(e);
    }
  }
  return out;
}

}  // namespace velnor::ini
