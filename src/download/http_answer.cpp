#include "download/http_answer.h"

#include <algorithm>
#include <array>
#include <vector>

namespace velnor {
namespace {

// Digits only, saturating at `limit`; nothing for an empty or non-digit text.
std::optional<uint64_t> Digits(StringView text, uint64_t limit) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = std::min<uint64_t>(limit, value * 10 + static_cast<uint64_t>(c - u'0'));
  }
  return value;
}

std::vector<StringView> Words(StringView text, StringView separators) {
  std::vector<StringView> words;
  size_t pos = 0;
  while ((pos = text.find_first_not_of(separators, pos)) != StringView::npos) {
    const size_t end = std::min(text.find_first_of(separators, pos), text.size());
    words.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return words;
}

std::optional<int> MonthIndex(StringView word) {
  static const std::array<StringView, 12> kMonths = {u"jan", u"feb", u"mar", u"apr", u"may", u"jun",
                                                     u"jul", u"aug", u"sep", u"oct", u"nov", u"dec"};
  const auto found = std::find(kMonths.begin(), kMonths.end(), LowerAscii(word));
  if (found == kMonths.end()) return std::nullopt;
  return static_cast<int>(found - kMonths.begin()) + 1;
}

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// "Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT" or
// "Sun Nov  6 08:49:37 1994", as seconds since 1970.
std::optional<int64_t> HttpDate(StringView text) {
  const std::vector<StringView> words = Words(text, u" ,-");
  StringView day, month, year, time;
  if (words.size() == 6 && LowerAscii(words[5]) == u"gmt") {
    day = words[1], month = words[2], year = words[3], time = words[4];
  } else if (words.size() == 5) {
    month = words[1], day = words[2], time = words[3], year = words[4];
  } else {
    return std::nullopt;
  }
  const std::vector<StringView> clock = Words(time, u":");
  const auto monthIndex = MonthIndex(month);
  const auto dayValue = Digits(day, 99);
  auto yearValue = Digits(year, 9999);
  if (clock.size() != 3 || !monthIndex || !dayValue || !yearValue || *dayValue < 1 || *dayValue > 31) {
    return std::nullopt;
  }
  if (year.size() == 2) *yearValue += *yearValue < 70 ? 2000 : 1900;
  const auto hours = Digits(clock[0], 99), minutes = Digits(clock[1], 99), seconds = Digits(clock[2], 99);
  if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 60) return std::nullopt;
  return DaysFromCivil(static_cast<int64_t>(*yearValue), *monthIndex, static_cast<int>(*dayValue)) * 86400 +
         static_cast<int64_t>(*hours * 3600 + *minutes * 60 + *seconds);
}

// Control characters (C0, DEL, C1) and every Unicode blank.
bool IsControlOrBlank(char16_t c) {
  return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

// The parts of "scheme://authority/path": where the authority begins and ends.
struct UrlParts {
  size_t authority = 0;
  size_t path = 0;  // the end of the authority: its "/", "?", "#" or the end
};

std::optional<UrlParts> SplitUrl(StringView url) {
  const size_t scheme = url.find(u"://");
  if (scheme == StringView::npos) return std::nullopt;
  const size_t path = std::min(url.find_first_of(u"/?#", scheme + 3), url.size());
  return UrlParts{scheme + 3, path};
}

}  // namespace

std::optional<int> ParseRetryAfterSeconds(StringView headerValue, int64_t nowUnixSeconds) {
  const StringView value = TrimBlanks(headerValue);
  if (const auto seconds = Digits(value, kMaxRetryAfterSeconds)) return static_cast<int>(*seconds);
  const auto date = HttpDate(value);
  if (!date) return std::nullopt;
  return static_cast<int>(std::clamp<int64_t>(*date - nowUnixSeconds, 0, kMaxRetryAfterSeconds));
}

std::optional<int64_t> ParseHttpDate(StringView text) { return HttpDate(TrimBlanks(text)); }

ContentRange ParseContentRange(StringView contentRange) {
  const std::vector<StringView> words = Words(contentRange, u" -/");
  if (words.size() != 4 || LowerAscii(words[0]) != u"bytes") return {};
  return {Digits(words[1], UINT64_MAX / 10), Digits(TrimBlanks(words[3]), UINT64_MAX / 10)};
}

String RefererFor(StringView url) {
  url = url.substr(0, url.find_first_of(u"?#"));
  const auto parts = SplitUrl(url);
  if (!parts) return String(url.substr(0, url.rfind(u'/') + 1));
  // A user name and password never travel in a Referer.
  const StringView authority = url.substr(parts->authority, parts->path - parts->authority);
  const size_t at = authority.rfind(u'@');
  String referer = String(url.substr(0, parts->authority)) +
                   String(at == StringView::npos ? authority : authority.substr(at + 1));
  const StringView path = url.substr(parts->path);
  referer += path.empty() ? StringView(u"/") : path.substr(0, path.rfind(u'/') + 1);
  return referer;
}

bool IsSupportedUrl(StringView url) {
  const auto parts = SplitUrl(url);
  if (!parts) return false;
  const String scheme = LowerAscii(url.substr(0, parts->authority - 3));
  return (scheme == u"http" || scheme == u"https") && parts->path > parts->authority &&
         std::none_of(url.begin(), url.end(), IsControlOrBlank);
}

String HostKey(StringView url) {
  const auto parts = SplitUrl(url);
  if (!parts) return {};
  const String scheme = LowerAscii(url.substr(0, parts->authority - 3));
  StringView authority = url.substr(parts->authority, parts->path - parts->authority);
  if (const size_t at = authority.rfind(u'@'); at != StringView::npos) authority = authority.substr(at + 1);
  String host = LowerAscii(authority);
  const StringView defaultPort = scheme == u"https" ? u":443" : scheme == u"http" ? u":80" : u"";
  if (!defaultPort.empty() && host.ends_with(defaultPort)) host.erase(host.size() - defaultPort.size());
  return scheme + u"://" + host;
}

}  // namespace velnor
