#pragma once
// Cookies for the requests of a run: read from a cookies.txt (the Netscape format that browser
// extensions export and curl and wget read), chosen for each request as a browser chooses them,
// and updated by the servers' Set-Cookie answers for the rest of the run. Pure code: the
// transport keeps a run's jar behind its own lock and asks it for every request it sends.
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace velnor {

// A cookies.txt larger than this is refused, read or not.
constexpr uint64_t kMaxCookiesFileBytes = uint64_t{4} * 1024 * 1024;
// Cookies the servers may add in one run beyond those of the file.
constexpr size_t kMaxCookiesSetInRun = 1000;

struct Cookie {
  String domain;  // lower case, no leading dot
  bool includeSubdomains = false;
  String path = u"/";
  bool secure = false;
  int64_t expires = 0;  // Unix seconds; 0: a session cookie, which lasts the run
  String name;
  String value;
  bool operator==(const Cookie&) const = default;
};

// The cookies of a cookies.txt, in file order: UTF-8 with or without a byte-order mark, LF or
// CR LF. Each line is seven fields separated by tabs: domain, include-subdomains (TRUE or
// FALSE), path, secure (TRUE or FALSE), expires (Unix seconds, 0 for a session cookie), name,
// value. "#HttpOnly_" before the domain is taken off; other lines starting with "#", blank
// lines and lines that are not such a cookie are skipped. A domain starting with "." counts
// for its subdomains too. A name or value that could not travel in a Cookie header (not
// printable ASCII, ";", a name with "=" or a blank) skips its line.
std::vector<Cookie> ParseCookiesFile(std::string_view bytes);

class CookieJar {
 public:
  CookieJar() = default;
  explicit CookieJar(std::vector<Cookie> cookies);

  // The Cookie header's value for a request of `url`: "name=value" of every cookie that
  // matches it, joined by "; ", the longest paths first; empty when none matches. A cookie
  // matches when the URL's host is its domain (or within it, for one that includes
  // subdomains, and the host is a name, not an address), the URL's path is its path or below
  // it, the URL is https for a secure one, and it has not expired.
  String HeaderFor(StringView url, int64_t nowUnixSeconds) const;

  // A Set-Cookie header of the answer to `url`: the cookie kept, in place of one of the same
  // name, domain and path, or that one dropped when the header says it has expired. A header
  // that cannot be read, or whose Domain the URL's host is not within, changes nothing.
  void TakeSetCookie(StringView header, StringView url, int64_t nowUnixSeconds);

  const std::vector<Cookie>& cookies() const { return cookies_; }

 private:
  std::vector<Cookie> cookies_;
  size_t setInRun_ = 0;
};

}  // namespace velnor
