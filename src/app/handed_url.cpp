#include "app/handed_url.h"

#include "base/cp932.h"
#include "clipboard/clipboard_watcher.h"

namespace velnor {
namespace {

bool BeginsWithScheme(StringView text) { return text.starts_with(u"http://") || text.starts_with(u"https://"); }

bool EndsWithIgnoringAsciiCase(StringView text, StringView end) {
  return text.size() >= end.size() && EqualsIgnoringAsciiCase(text.substr(text.size() - end.size()), end);
}

// Splits decoded text at its line feeds, each line without its carriage return.
void AddLines(StringView text, bool whole, std::vector<String>& lines) {
  size_t begin = 0;
  for (size_t end; (end = text.find(u'\n', begin)) != StringView::npos; begin = end + 1) {
    StringView line = text.substr(begin, end - begin);
    if (line.ends_with(u'\r')) line.remove_suffix(1);
    lines.emplace_back(line);
  }
  StringView last = text.substr(begin);
  if (last.ends_with(u'\r')) last.remove_suffix(1);
  if (whole && !last.empty()) lines.emplace_back(last);
}

String FromUtf16(std::string_view bytes, bool bigEndian) {
  String text(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return text;
}

}  // namespace

bool IsHandedUrl(StringView text) { return text.size() <= kMaxHandedTextLength && BeginsWithScheme(text); }

HandedFile HandedFileKind(StringView path) {
  if (EndsWithIgnoringAsciiCase(path, u".url")) return HandedFile::kInternetShortcut;
  if (EndsWithIgnoringAsciiCase(path, u".txt")) return HandedFile::kText;
  return HandedFile::kNone;
}

std::vector<String> FileLines(const FileStart& file) {
  std::string_view bytes = file.bytes;
  std::vector<String> lines;
  for (const auto& [mark, bigEndian] : {std::pair{std::string_view("\xFF\xFE"), false},
                                        std::pair{std::string_view("\xFE\xFF"), true}}) {
    if (bytes.starts_with(mark)) {
      bytes.remove_prefix(mark.size());
      AddLines(FromUtf16(bytes, bigEndian), file.whole, lines);
      return lines;
    }
  }
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  const bool marked = bytes.starts_with(kUtf8Mark);
  if (marked) bytes.remove_prefix(kUtf8Mark.size());
  // The bytes read may end inside a character: only whole lines decide the encoding. A line
  // feed byte is never part of a character in UTF-8 or in code page 932.
  const size_t wholeLines = file.whole ? bytes.size() : bytes.rfind('\n') + 1;  // npos + 1 is 0
  const std::string_view body = bytes.substr(0, wholeLines);
  const bool utf8 = marked || IsValidUtf8(body);
  // Each line decoded on its own: a stray lead byte never takes the line end with it.
  size_t begin = 0;
  for (size_t end; begin < body.size(); begin = end + 1) {
    end = std::min(body.find('\n', begin), body.size());
    std::string_view line = body.substr(begin, end - begin);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(utf8 ? FromUtf8(line) : cp932::Decode(line));
  }
  return lines;
}

std::optional<String> HandedFileText(HandedFile kind, const FileStart& file) {
  const std::vector<String> lines = FileLines(file);
  if (kind == HandedFile::kText) {
    if (lines.empty()) return std::nullopt;
    return lines.front();
  }
  if (kind != HandedFile::kInternetShortcut) return std::nullopt;
  bool inSection = false;
  for (const String& line : lines) {
    const StringView trimmed = TrimBlanks(line);
    if (trimmed.starts_with(u'[')) {
      inSection = EqualsIgnoringAsciiCase(trimmed, u"[InternetShortcut]");
      continue;
    }
    const size_t equals = trimmed.find(u'=');
    if (!inSection || equals == StringView::npos) continue;
    if (EqualsIgnoringAsciiCase(TrimBlanks(trimmed.substr(0, equals)), u"URL")) {
      return String(TrimBlanks(trimmed.substr(equals + 1)));
    }
  }
  return std::nullopt;
}

std::optional<String> HandedArgumentText(const String& argument, const FileStartReader& read) {
  const HandedFile kind = BeginsWithScheme(argument) ? HandedFile::kNone : HandedFileKind(argument);
  if (kind == HandedFile::kNone) return argument;
  const std::optional<FileStart> file = read(argument);
  if (!file) return std::nullopt;
  return HandedFileText(kind, *file);
}

std::optional<String> FirstHandedUrl(const std::vector<String>& arguments, const FileStartReader& read) {
  for (const String& argument : arguments) {
    std::optional<String> text = HandedArgumentText(argument, read);
    if (text && IsHandedUrl(*text)) return text;
  }
  return std::nullopt;
}

std::optional<String> DroppedUrl(const DroppedData& data, const FileStartReader& read) {
  for (const std::optional<String>& offered : {data.url, data.text}) {
    if (offered && IsHandedUrl(*offered)) return offered;
  }
  for (const String& file : data.files) {
    if (HandedFileKind(file) == HandedFile::kNone) continue;
    std::optional<String> text = HandedArgumentText(file, read);
    if (text && IsHandedUrl(*text)) return text;
    return std::nullopt;
  }
  return std::nullopt;
}

bool TakeHandedUrl(Program& program, const String& text) {
  if (!IsHandedUrl(text)) return false;
  PutCopiedUrl(program, text);
  return true;
}

}  // namespace velnor
