#include "download/cookies.h"

#include <algorithm>

#include "download/http_answer.h"

namespace velnor {
namespace {

std::vector<StringView> Split(StringView text, char16_t separator) {
  std::vector<StringView> pieces;
  for (size_t start = 0;;) {
    const size_t end = text.find(separator, start);
    pieces.push_back(text.substr(start, end == StringView::npos ? StringView::npos : end - start));
    if (end == StringView::npos) return pieces;
    start = end + 1;
  }
}

// What may stand in a Cookie header: printable ASCII without ";"; a name has no "=" or blank.
bool IsCookieValue(StringView text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x20 && c < 0x7F && c != u';'; });
}
bool IsCookieName(StringView text) {
  return !text.empty() && IsCookieValue(text) && text.find_first_of(u"= \t") == StringView::npos;
}

std::optional<bool> Flag(StringView text) {
  if (EqualsIgnoringAsciiCase(text, u"TRUE")) return true;
  if (EqualsIgnoringAsciiCase(text, u"FALSE")) return false;
  return std::nullopt;
}

std::optional<int64_t> Seconds(StringView text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

std::optional<Cookie> CookieOfLine(StringView line) {
  constexpr StringView kHttpOnly = u"#HttpOnly_";
  if (line.starts_with(kHttpOnly)) {
    line.remove_prefix(kHttpOnly.size());
  } else if (line.starts_with(u"#")) {
    return std::nullopt;
  }
  const std::vector<StringView> fields = Split(line, u'\t');
  if (fields.size() != 7) return std::nullopt;
  Cookie cookie;
  StringView domain = fields[0];
  const auto subdomains = Flag(fields[1]);
  const auto secure = Flag(fields[3]);
  const auto expires = Seconds(fields[4]);
  if (!subdomains || !secure || !expires || !fields[2].starts_with(u"/") || !IsCookieName(fields[5]) ||
      !IsCookieValue(fields[6])) {
    return std::nullopt;
  }
  cookie.includeSubdomains = *subdomains;
  if (domain.starts_with(u".")) {
    domain.remove_prefix(1);
    cookie.includeSubdomains = true;
  }
  if (domain.empty() || domain.find_first_of(u" /") != StringView::npos) return std::nullopt;
  cookie.domain = LowerAscii(domain);
  cookie.path = String(fields[2]);
  cookie.secure = *secure;
  cookie.expires = *expires;
  cookie.name = String(fields[5]);
  cookie.value = String(fields[6]);
  return cookie;
}

// What of a URL the choice of cookies looks at.
struct UrlPlace {
  bool https = false;
  String host;  // lower case, without user name or port
  String path;  // "/" when the URL has none; no query or fragment
};

std::optional<UrlPlace> PlaceOf(StringView url) {
  const size_t scheme = url.find(u"://");
  if (scheme == StringView::npos) return std::nullopt;
  UrlPlace place;
  const String schemeName = LowerAscii(url.substr(0, scheme));
  if (schemeName != u"http" && schemeName != u"https") return std::nullopt;
  place.https = schemeName == u"https";
  const size_t hostStart = scheme + 3;
  const size_t pathStart = std::min(url.find_first_of(u"/?#", hostStart), url.size());
  StringView authority = url.substr(hostStart, pathStart - hostStart);
  if (const size_t at = authority.rfind(u'@'); at != StringView::npos) authority.remove_prefix(at + 1);
  // The port goes; an IPv6 address keeps its brackets.
  const size_t colon = authority.rfind(u':');
  if (colon != StringView::npos && authority.find(u']', colon) == StringView::npos) authority = authority.substr(0, colon);
  place.host = LowerAscii(authority);
  if (place.host.empty()) return std::nullopt;
  const StringView rest = url.substr(pathStart);
  const StringView path = rest.substr(0, rest.find_first_of(u"?#"));
  place.path = path.starts_with(u"/") ? String(path) : String(u"/");
  return place;
}

bool IsAddress(const String& host) {
  return host.starts_with(u"[") || host.find_first_not_of(u"0123456789.") == String::npos;
}

bool DomainMatches(const Cookie& cookie, const String& host) {
  if (host == cookie.domain) return true;
  return cookie.includeSubdomains && !IsAddress(host) && host.size() > cookie.domain.size() &&
         host.ends_with(cookie.domain) && host[host.size() - cookie.domain.size() - 1] == u'.';
}

bool PathMatches(const String& cookiePath, const String& requestPath) {
  if (!requestPath.starts_with(cookiePath)) return false;
  return requestPath.size() == cookiePath.size() || cookiePath.ends_with(u'/') ||
         requestPath[cookiePath.size()] == u'/';
}

bool Expired(const Cookie& cookie, int64_t now) { return cookie.expires != 0 && cookie.expires <= now; }

bool SameCookie(const Cookie& a, const Cookie& b) {
  return a.name == b.name && a.domain == b.domain && a.path == b.path;
}

// The folder of a request's path, for a cookie set without a Path.
String DefaultPath(const String& requestPath) {
  const size_t slash = requestPath.rfind(u'/');
  return slash == 0 || slash == String::npos ? String(u"/") : requestPath.substr(0, slash);
}

}  // namespace

std::vector<Cookie> ParseCookiesFile(std::string_view bytes) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  std::vector<Cookie> cookies;
  for (size_t start = 0; start < bytes.size();) {
    const size_t end = std::min(bytes.find('\n', start), bytes.size());
    std::string_view line = bytes.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    start = end + 1;
    if (auto cookie = CookieOfLine(FromUtf8(line))) cookies.push_back(std::move(*cookie));
  }
  return cookies;
}

CookieJar::CookieJar(std::vector<Cookie> cookies) : cookies_(std::move(cookies)) {}

String CookieJar::HeaderFor(StringView url, int64_t nowUnixSeconds) const {
  const auto place = PlaceOf(url);
  if (!place) return {};
  std::vector<const Cookie*> matching;
  for (const Cookie& cookie : cookies_) {
    if (DomainMatches(cookie, place->host) && PathMatches(cookie.path, place->path) &&
        (place->https || !cookie.secure) && !Expired(cookie, nowUnixSeconds)) {
      matching.push_back(&cookie);
    }
  }
  // Longest path first; among equal paths, the order they were read or set in.
  std::stable_sort(matching.begin(), matching.end(),
                   [](const Cookie* a, const Cookie* b) { return a->path.size() > b->path.size(); });
  String header;
  for (const Cookie* cookie : matching) {
    if (!header.empty()) header += u"; ";
    header += cookie->name + u"=" + cookie->value;
  }
  return header;
}

void CookieJar::TakeSetCookie(StringView header, StringView url, int64_t nowUnixSeconds) {
  const auto place = PlaceOf(url);
  if (!place) return;
  const std::vector<StringView> parts = Split(header, u';');
  const size_t equals = parts[0].find(u'=');
  if (equals == StringView::npos) return;
  Cookie cookie;
  cookie.name = String(TrimBlanks(parts[0].substr(0, equals)));
  cookie.value = String(TrimBlanks(parts[0].substr(equals + 1)));
  if (!IsCookieName(cookie.name) || !IsCookieValue(cookie.value)) return;
  cookie.domain = place->host;
  cookie.path = DefaultPath(place->path);
  std::optional<int64_t> maxAge, expires;
  for (size_t i = 1; i < parts.size(); ++i) {
    const StringView attribute = parts[i];
    const size_t sign = attribute.find(u'=');
    const String name = LowerAscii(TrimBlanks(attribute.substr(0, sign)));
    const StringView value = sign == StringView::npos ? StringView() : TrimBlanks(attribute.substr(sign + 1));
    if (name == u"max-age") {
      const bool negative = value.starts_with(u"-");
      if (const auto seconds = Seconds(negative ? value.substr(1) : value)) maxAge = negative ? -*seconds : *seconds;
    } else if (name == u"expires") {
      if (const auto date = ParseHttpDate(value)) expires = *date;
    } else if (name == u"domain" && !value.empty()) {
      String domain = LowerAscii(value.starts_with(u".") ? value.substr(1) : value);
      Cookie probe;
      probe.domain = domain;
      probe.includeSubdomains = true;
      // Only the host itself or a domain it lies within, and never a bare top-level name.
      if (!DomainMatches(probe, place->host) || (domain != place->host && domain.find(u'.') == String::npos)) return;
      cookie.domain = std::move(domain);
      cookie.includeSubdomains = true;
    } else if (name == u"path" && value.starts_with(u"/")) {
      cookie.path = String(value);
    } else if (name == u"secure") {
      cookie.secure = true;
    }
  }
  // Max-Age before Expires; an expiry at or before now drops the cookie.
  if (maxAge) {
    cookie.expires = *maxAge <= 0 ? -1 : nowUnixSeconds + *maxAge;
  } else if (expires) {
    cookie.expires = *expires <= nowUnixSeconds ? -1 : *expires;
  }
  const auto same = std::find_if(cookies_.begin(), cookies_.end(), [&](const Cookie& c) { return SameCookie(c, cookie); });
  if (cookie.expires < 0) {
    if (same != cookies_.end()) cookies_.erase(same);
  } else if (same != cookies_.end()) {
    *same = std::move(cookie);
  } else if (setInRun_ < kMaxCookiesSetInRun) {
    ++setInRun_;
    cookies_.push_back(std::move(cookie));
  }
}

}  // namespace velnor
