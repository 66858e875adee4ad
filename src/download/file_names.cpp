#include "download/file_names.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace velnor {
namespace {

constexpr StringView kDefaultName = u"download";
// Longer extensions count as part of the name: keeping them could leave nothing before them.
constexpr size_t kMaxExtensionLength = 50;

// The path of the URL without query and fragment: after "scheme://authority" when the URL
// has them, the whole text before "?" / "#" otherwise.
StringView UrlPath(StringView url) {
  url = url.substr(0, url.find_first_of(u"?#"));
  const size_t scheme = url.find(u"://");
  if (scheme == StringView::npos) return url;
  const size_t path = url.find(u'/', scheme + 3);
  return path == StringView::npos ? StringView() : url.substr(path);
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(bytes[i + k]);
      if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

// Percent-decoded once as UTF-8; the segment as written when it holds no escape or the
// decoded bytes are not UTF-8.
String DecodeSegment(StringView segment) {
  if (segment.find(u'%') == StringView::npos) return String(segment);
  std::string bytes;
  for (size_t i = 0; i < segment.size(); ++i) {
    if (segment[i] == u'%' && i + 2 < segment.size() && HexValue(segment[i + 1]) >= 0 &&
        HexValue(segment[i + 2]) >= 0) {
      bytes += static_cast<char>(HexValue(segment[i + 1]) * 16 + HexValue(segment[i + 2]));
      i += 2;
    } else {
      // The next character (a surrogate pair together) as UTF-8.
      const size_t length = IsHighSurrogate(segment[i]) && i + 1 < segment.size() ? 2 : 1;
      bytes += ToUtf8(segment.substr(i, length));
      i += length - 1;
    }
  }
  if (!IsValidUtf8(bytes)) return String(segment);
  return FromUtf8(bytes);
}

bool IsForbidden(char16_t c) {
  return c < 0x20 || c == 0x7F || StringView(u"\\/:*?\"<>|").find(c) != StringView::npos;
}

void TrimTrailingDotsAndBlanks(String& name) {
  const size_t keep = name.find_last_not_of(u". ");
  name.erase(keep == String::npos ? 0 : keep + 1);
}

char16_t FoldCase(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) ||
      (c >= 0x430 && c <= 0x44F)) {
    return static_cast<char16_t>(c - 0x20);
  }
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);  // full-width a-z
  return c;
}

String Folded(StringView text) {
  String folded(text);
  std::transform(folded.begin(), folded.end(), folded.begin(), FoldCase);
  return folded;
}

// The device names Windows opens in place of a file, whatever the extension: the usual
// ones, and COM0/LPT0, the superscript digits and the console names it also treats so.
bool IsReservedDeviceName(const String& name) {
  StringView unfolded = StringView(name).substr(0, name.find(u'.'));
  unfolded = unfolded.substr(0, unfolded.find_last_not_of(u' ') + 1);
  if (unfolded.size() < 3 || unfolded.size() > 7) return false;  // most names: no copy to fold
  const String base = Folded(unfolded);
  static const std::array<StringView, 6> kNames = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
  if (std::find(kNames.begin(), kNames.end(), base) != kNames.end()) return true;
  if (base.size() != 4 || (base.compare(0, 3, u"COM") != 0 && base.compare(0, 3, u"LPT") != 0)) return false;
  const char16_t digit = base[3];
  return (digit >= u'0' && digit <= u'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

// Where the extension (its ".") begins; the name's length when it has none. A leading dot
// (".htaccess") does not start one.
size_t ExtensionStart(const String& name) {
  const size_t dot = name.rfind(u'.');
  if (dot == String::npos || dot == 0 || name.size() - dot > kMaxExtensionLength) return name.size();
  return dot;
}

// At most kMaxDownloadNameLength characters, keeping the extension, never ending in a dot
// or a blank.
void FitLength(String& name) {
  if (name.size() > kMaxDownloadNameLength) {
    const size_t extension = ExtensionStart(name);
    const String tail = name.substr(extension);
    size_t keep = kMaxDownloadNameLength - tail.size();
    if (IsHighSurrogate(name[keep - 1])) --keep;  // never half a pair
    name = name.substr(0, keep) + tail;
  }
  TrimTrailingDotsAndBlanks(name);
}

}  // namespace

String DownloadFileName(StringView url) {
  const StringView path = UrlPath(url);
  const size_t slash = path.rfind(u'/');
  String name = DecodeSegment(slash == StringView::npos ? path : path.substr(slash + 1));
  std::replace_if(name.begin(), name.end(), IsForbidden, u'_');
  // Each rule can undo another's work: a long name cut short may end in blanks that leave a
  // device name or nothing, and the "_" before a device name may make it too long. In this
  // order every rule holds at the end.
  TrimTrailingDotsAndBlanks(name);
  FitLength(name);
  if (name.empty()) name = kDefaultName;
  if (IsReservedDeviceName(name)) {
    name.insert(0, 1, u'_');
    FitLength(name);  // a "_" name is never a device name, nor empty
  }
  return name;
}

bool FileNamer::Take(const String& name) {
  // An item named "x.part" must not meet the part of "x".
  static const String foldedSuffix = Folded(kPartSuffix);
  String folded = Folded(name);
  String foldedPart = folded + foldedSuffix;
  if (taken_.count(folded) || taken_.count(foldedPart)) return false;
  taken_.insert(std::move(folded));
  taken_.insert(std::move(foldedPart));
  return true;
}

String FileNamer::Next(StringView url) {
  String name = DownloadFileName(url);
  if (Take(name)) return name;
  const size_t extension = ExtensionStart(name);
  int& number = nextNumber_.try_emplace(Folded(name), 2).first->second;
  String numbered;
  do {
    // The number goes before the extension; a name as long as allowed gives way to it.
    const String tail = u" (" + FromUtf8(std::to_string(number++)) + u")" + name.substr(extension);
    size_t keep = std::min(extension, kMaxDownloadNameLength - tail.size());
    if (keep < extension && IsHighSurrogate(name[keep - 1])) --keep;
    numbered = name.substr(0, keep) + tail;
  } while (!Take(numbered));
  return numbered;
}

std::vector<String> AssignFileNames(const std::vector<String>& urls) {
  std::vector<String> names;
  names.reserve(urls.size());
  FileNamer namer;
  for (const String& url : urls) names.push_back(namer.Next(url));
  return names;
}

}  // namespace velnor
