#pragma once
// The program's one text type: UTF-16, the same code units the Windows W APIs use, so
// lengths and comparisons give the same answers on every platform the logic runs on.
#include <string>
#include <string_view>

namespace velnor {

using String = std::u16string;
using StringView = std::u16string_view;

// UTF-8 <-> UTF-16, for the saved list file, tests, fuzzers and diagnostics; invalid input
// (a byte sequence that is not UTF-8, a lone surrogate) becomes U+FFFD.
String FromUtf8(std::string_view utf8);
std::string ToUtf8(StringView text);
// True when every byte sequence is UTF-8 that FromUtf8 takes without a U+FFFD for it.
bool IsValidUtf8(std::string_view bytes);
// One code point's UTF-8 bytes, appended.
void AppendUtf8(std::string& out, char32_t c);

// ASCII letters in lower case, every other character as it is: for the parts of URLs, HTTP
// headers and files whose names and keywords are ASCII whatever their case.
constexpr char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c; }
String LowerAscii(StringView text);
bool EqualsIgnoringAsciiCase(StringView a, StringView b);
// Without the blanks and tabs at either end (header values, the lines of small text files).
StringView TrimBlanks(StringView text);

constexpr bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Characters as the user sees them: a pair of UTF-16 surrogates (an emoji, a rare kanji)
// is one character and is never cut apart; a lone surrogate counts as one character too.
size_t CharacterCount(StringView text);
// The last character: one or two code units, empty for an empty text.
StringView LastCharacter(StringView text);
// The first count characters of the text (all of it when it is shorter).
StringView FirstCharacters(StringView text, size_t count);

}  // namespace velnor
