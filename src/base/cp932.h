#pragma once
// Code page 932 (Shift_JIS as Windows has it) without the Windows API: used where the logic
// runs off Windows (tests, fuzzers, the portable settings file) and must count and convert
// exactly as WideCharToMultiByte / MultiByteToWideChar / LCMapStringW do on a Japanese system.
#include <string>
#include <string_view>

#include "base/text.h"

namespace velnor::cp932 {

// Bytes the text takes in code page 932: ASCII and half-width katakana 1, other mapped
// characters 2, anything unmapped becomes "?" (1 byte; a surrogate pair is one "?").
int ByteCount(StringView text);

// The bytes Windows writes: of several pairs for one character the one Windows chooses (the
// IBM extensions as 0xFA-0xFC, never the NEC-selected 0xED/0xEE), a look-alike's bytes where
// Windows has one (a best fit: "é" as "e"), "?" for the rest.
std::string Encode(StringView text);

// True when Encode keeps every character: no "?" or look-alike stands for one it lacks.
bool CanHold(StringView text);

// A lead byte takes the next byte with it; a pair without a character, or a lead byte at
// the end, becomes U+30FB, as Windows does.
String Decode(std::string_view bytes);

// Full-width to half-width: full-width ASCII, the ideographic space, katakana (voiced marks
// split into a base letter and a mark) and the katakana punctuation; other text unchanged.
String NarrowFullWidth(StringView text);

}  // namespace velnor::cp932
