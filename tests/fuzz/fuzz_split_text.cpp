// SplitText over arbitrary text and separators. What must hold for any input: the pieces
// joined with the separator give the text back, no piece holds the separator, the result is
// the index of the last piece, and whatever the list held before is gone.
// Input: a first byte choosing the separator (NUL, "=", CR LF, or the first 1..3 characters
// of the text), then the text as UTF-8.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velnor;
  if (size == 0) return 0;
  String text = fuzz::Text(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), 4096);
  String separator;
  switch (data[0] % 4) {
    case 0: separator = String(1, u'\0'); break;
    case 1: separator = u"="; break;
    case 2: separator = u"\r\n"; break;
    default: {
      const size_t length = 1 + (data[0] / 4) % 3;
      if (text.size() < length) return 0;  // the separator is never empty
      separator = text.substr(0, length);
      text.erase(0, length);
    }
  }

  std::vector<String> pieces = {u"left", u"over"};
  const int last = SplitText(text, separator, pieces);
  const std::string where = "text " + fuzz::Show(text) + " separator " + fuzz::Show(separator);

  FUZZ_CHECK(!pieces.empty(), where);
  FUZZ_CHECK(last == static_cast<int>(pieces.size()) - 1, where);
  String joined;
  for (size_t i = 0; i < pieces.size(); ++i) {
    FUZZ_CHECK(pieces[i].find(separator) == String::npos, where + " piece " + fuzz::Show(pieces[i]));
    if (i > 0) joined += separator;
    joined += pieces[i];
  }
  FUZZ_CHECK(joined == text, where + " joined " + fuzz::Show(joined));

  // As the settings reader uses it: a section text split at NUL, each entry split at "=".
  std::vector<String> keyValue;
  for (const String& entry : pieces) {
    const int parts = SplitText(entry, u"=", keyValue);
    size_t equals = 0;
    for (char16_t c : entry) equals += c == u'=' ? 1 : 0;
    FUZZ_CHECK(parts == static_cast<int>(equals), where + " entry " + fuzz::Show(entry));
  }
  return 0;
}
