// The names downloaded files get, over arbitrary URLs. What must hold for any list: every
// name is one a folder on Windows can hold and none leaves it (never empty, "." or "..", no
// \ / : * ? " < > | or control character, no trailing dot or blank, no device name with any
// extension), at most 200 characters with its clash number, no two names equal ignoring case
// (nor one the other's part, "<name>.part"), and the same list gives the same names again.
// Each URL's sentinel (the name that cannot exist) lies in the URL's folder and keeps its query.
// Input: a first byte choosing how the rest is read (even: UTF-8, odd: UTF-16LE code units,
// lone surrogates included), then URLs separated by line feeds.
#include <algorithm>
#include <string>
#include <vector>

#include "download/file_names.h"
#include "download/placeholder_rule.h"
#include "fuzz_support.h"

namespace {

using velnor::String;

// Case folded for ASCII only: names equal under it are equal under Windows' rules too.
String FoldAscii(String text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 0x20);
  }
  return text;
}

// The names Windows opens as devices whatever the extension: COM0-9 and LPT0-9 with the
// superscript digits too, and the console names.
bool IsDeviceName(const String& name) {
  String base = FoldAscii(name.substr(0, name.find(u'.')));
  while (!base.empty() && base.back() == u' ') base.pop_back();
  for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
    if (base == device) return true;
  }
  return base.size() == 4 && (base.starts_with(u"COM") || base.starts_with(u"LPT")) &&
         ((base[3] >= u'0' && base[3] <= u'9') || base[3] == u'\u00B9' || base[3] == u'\u00B2' || base[3] == u'\u00B3');
}

void CheckSafe(const String& name, const std::string& where) {
  const std::string shown = where + " name " + velnor::fuzz::Show(name);
  FUZZ_CHECK(!name.empty() && name != u"." && name != u"..", shown);
  FUZZ_CHECK(name.size() <= velnor::kMaxDownloadNameLength, shown);
  FUZZ_CHECK(name.back() != u'.' && name.back() != u' ', shown);
  FUZZ_CHECK(!IsDeviceName(name), shown);
  for (const char16_t c : name) {
    FUZZ_CHECK(c >= 0x20 && c != 0x7F && String(u"\\/:*?\"<>|").find(c) == String::npos, shown);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velnor;
  if (size == 0 || size > 20000) return 0;
  std::vector<String> urls(1);
  if (data[0] % 2 == 0) {
    urls.clear();
    for (const std::string_view field : fuzz::Fields(data + 1, size - 1, '\n')) urls.push_back(fuzz::Text(field, 4096));
  } else {
    for (size_t i = 1; i + 1 < size; i += 2) {
      const auto unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
      if (unit == u'\n') {
        urls.emplace_back();
      } else {
        urls.back().push_back(unit);
      }
    }
  }

  const std::vector<String> names = AssignFileNames(urls);
  FUZZ_CHECK(names.size() == urls.size(), "one name an item");
  std::vector<String> folded;
  for (size_t i = 0; i < urls.size(); ++i) {
    const std::string where = "url " + fuzz::Show(urls[i]);
    const String alone = DownloadFileName(urls[i]);
    CheckSafe(alone, where);
    CheckSafe(names[i], where);
    if (names[i] != alone) {
      FUZZ_CHECK(names[i].find(u" (") != String::npos, where + " numbered " + fuzz::Show(names[i]));
    }
    const String sentinel = SentinelUrl(urls[i]);
    FUZZ_CHECK(SentinelFolder(sentinel) == SentinelFolder(urls[i]), where + " sentinel " + fuzz::Show(sentinel));
    FUZZ_CHECK(sentinel.find(kSentinelNumber) != String::npos, where + " sentinel " + fuzz::Show(sentinel));
    const size_t query = std::min(urls[i].find_first_of(u"?#"), urls[i].size());
    FUZZ_CHECK(sentinel.ends_with(urls[i].substr(query)), where + " sentinel " + fuzz::Show(sentinel));
    folded.push_back(FoldAscii(names[i]));
    folded.push_back(FoldAscii(names[i] + u".part"));
  }
  std::sort(folded.begin(), folded.end());
  FUZZ_CHECK(std::adjacent_find(folded.begin(), folded.end()) == folded.end(), "two names the same, or one another's part");
  FUZZ_CHECK(AssignFileNames(urls) == names, "another run gave other names");
  return 0;
}
