#pragma once
// Where a redirect leads, judged before anything is requested for it: WinHTTP's own
// redirects would take a Location of another scheme ("file:///etc/passwd", "ftp://...") for a
// path on the same server, so the transfers follow redirects themselves. Pure functions.
#include "base/text.h"

namespace velnor {

// The Location resolved against the address whose answer carried it: an absolute URL as it
// is, "//host/path" with the same scheme, "/path", "?query" and relative paths against that
// address ("." and ".." segments resolved). Blanks around the value are ignored.
String ResolveLocation(StringView from, StringView location);

enum class RedirectVerdict {
  kFollow,       // an http or https URL the transfer can request
  kLeavesHttps,  // from https to plain http: never followed
  kUnsupported,  // another scheme, or not a URL the transfer can request
};
RedirectVerdict JudgeRedirect(StringView from, StringView target);

}  // namespace velnor
