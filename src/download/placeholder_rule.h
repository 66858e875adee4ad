#pragma once
// A placeholder is not a picture: many picture servers answer a missing number with 200 and
// the same small "no image" picture (a rewrite rule), or redirect it to one. A run asks each
// folder once for a name that cannot exist (the sentinel) and keeps its answer's fingerprint;
// an item that answers with the same fingerprint is "見つかりません (代わりの画像)" and nothing
// of it is kept. Pure functions, safe on any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"

namespace velnor {

// What the number of a sentinel's name becomes.
constexpr StringView kSentinelNumber = u"9999999";

// The URL up to where its file name begins: after the last "/" of its path (before "?" and
// "#"). Items with the same folder share one sentinel.
String SentinelFolder(StringView url);

// `url` with the last run of decimal digits in its file name replaced by "9999999" (the
// digits of a "%XX" escape are not a number); a name without digits gets "9999999" before
// its extension, or at its end. The query and fragment stay as they are.
String SentinelUrl(StringView url);

// What tells one answer's body from another's: the file's whole size, its first bytes, and
// where the answer came from when it was reached through redirects.
struct AnswerFingerprint {
  uint64_t size = 0;
  std::string firstBytes;  // the first min(1024, size) bytes
  String redirectedTo;     // the final URL; empty when the answer came from the URL asked
  bool operator==(const AnswerFingerprint&) const = default;
};

// The fingerprint of a 200 or 206 that begins the file, from its first bytes read (only the
// first kPageSniffBytes count): the size is the Content-Range total, else the Content-Length,
// else what arrived of those first bytes.
AnswerFingerprint FingerprintOf(StringView contentRange, std::optional<uint64_t> contentLength,
                                std::string_view firstBytes, StringView redirectedTo);

// What a sentinel's answer makes of its folder: the placeholder, when it is a 200 or 206 whose
// body is not a page (whatever the name); nothing for an error or a page, and then the folder's
// items are judged as they always were.
std::optional<AnswerFingerprint> SentinelPlaceholder(int status, StringView contentType,
                                                     const AnswerFingerprint& answer);

// True when an item's answer is its folder's placeholder (none: never). A picture that differs
// from it in size or first bytes is a picture, however many of the series are alike.
bool IsPlaceholderAnswer(const AnswerFingerprint* placeholder, const AnswerFingerprint& answer);

}  // namespace velnor
