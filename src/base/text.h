#pragma once
// The program's one text type: UTF-16, the same code units the Windows W APIs use, so
// lengths and comparisons give the same answers on every platform the logic runs on.
#include <string>
#include <string_view>

namespace velnor {

using String = std::u16string;
using StringView = std::u16string_view;

// UTF-8 <-> UTF-16, for tests, fuzzers and diagnostics; invalid input becomes U+FFFD.
String FromUtf8(std::string_view utf8);
std::string ToUtf8(StringView text);

}  // namespace velnor
