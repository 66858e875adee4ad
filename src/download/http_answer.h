#pragma once
// Readings of an HTTP answer and of a URL that the transfer needs. Pure functions, safe on
// any thread.
#include <cstdint>
#include <optional>

#include "base/text.h"

namespace velnor {

// The longest wait a Retry-After can ask for, in seconds.
constexpr int kMaxRetryAfterSeconds = 60;

// A Retry-After value: whole seconds, or an HTTP-date (IMF-fixdate, RFC 850 or asctime)
// counted from now; capped at 60, a date in the past gives 0. Nothing when the value is
// empty or cannot be read.
std::optional<int> ParseRetryAfterSeconds(StringView headerValue, int64_t nowUnixSeconds);

// An HTTP date (IMF-fixdate, RFC 850 or asctime) as seconds since 1970; nothing when the
// text is not one.
std::optional<int64_t> ParseHttpDate(StringView text);

// A Content-Range "bytes first-last/total" ("bytes" in any case): where the body starts in
// the file, and the whole file's size (nothing for "*"). Both nothing when the value cannot be
// read: such a body cannot be placed.
struct ContentRange {
  std::optional<uint64_t> first;
  std::optional<uint64_t> total;
};
ContentRange ParseContentRange(StringView contentRange);

// The URL up to and including the last "/" of its path (no query or fragment); the URL
// itself with "/" added when it has no path.
String RefererFor(StringView url);

// True for http:// and https:// URLs (the scheme in any case) with a host, and without a
// control character or a blank of any kind (U+0020, tab, U+00A0, U+3000, the other Unicode
// spaces, line and paragraph separators): no such text is ever sent in a request or header.
bool IsSupportedUrl(StringView url);

// The scheme, host and port of a URL as one key ("http://example.com:8080"), lower case:
// requests that share it go to the same server.
String HostKey(StringView url);

}  // namespace velnor
