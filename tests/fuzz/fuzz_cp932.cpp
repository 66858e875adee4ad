// Code page 932 without Windows, on arbitrary bytes and arbitrary UTF-16: the conversions
// the settings file and the result list's extent rely on. Bytes decoded and encoded again
// decode to the same text (a value read from Velnor.ini is written back unchanged); the
// byte count of a text is the length of its encoding; narrowing leaves no full-width ASCII
// and changes nothing the second time.
// Input: the same bytes serve as code page 932 bytes and as UTF-16LE code units.
#include <string>

#include "base/cp932.h"
#include "fuzz_support.h"

namespace velnor {
namespace {

using fuzz::Show;

void CheckDecoded(std::string_view bytes) {
  const String text = cp932::Decode(bytes);
  FUZZ_CHECK(text.size() <= bytes.size(), "decoded " + Show(text));
  const std::string again = cp932::Encode(text);
  FUZZ_CHECK(cp932::Decode(again) == text, "decoded " + Show(text) + " decodes differently once encoded");
  // Only a lead byte at the very end grows: it reads as a character of two bytes.
  FUZZ_CHECK(again.size() <= bytes.size() + 1, "decoded " + Show(text) + " encodes longer than it was");
}

void CheckEncoded(StringView text) {
  const std::string bytes = cp932::Encode(text);
  FUZZ_CHECK(static_cast<size_t>(cp932::ByteCount(text)) == bytes.size(),
             "text " + Show(text) + " counts " + std::to_string(cp932::ByteCount(text)) + " bytes, encodes to " +
                 std::to_string(bytes.size()));
  // Encoding once settles the text: what comes back encodes to the same bytes.
  FUZZ_CHECK(cp932::Encode(cp932::Decode(bytes)) == bytes, "text " + Show(text) + " does not settle");

  const String narrow = cp932::NarrowFullWidth(text);
  FUZZ_CHECK(narrow.size() <= 2 * text.size(), "narrowed " + Show(narrow));
  FUZZ_CHECK(cp932::NarrowFullWidth(narrow) == narrow, "narrowing " + Show(text) + " twice changes it again");
  for (char16_t c : narrow) {
    FUZZ_CHECK(!(c >= 0xFF01 && c <= 0xFF5E) && c != 0x3000, "full-width left in " + Show(narrow));
  }
}

}  // namespace
}  // namespace velnor

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velnor;
  CheckDecoded(std::string_view(reinterpret_cast<const char*>(data), size));
  String units;
  for (size_t i = 0; i + 1 < size; i += 2) units.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  CheckEncoded(units);
  return 0;
}
