#include "download/redirect_target.h"

#include <algorithm>

#include "download/http_answer.h"

namespace velnor {
namespace {

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// The length of the scheme that starts the text ("http" of "http://..."), 0 when it has none.
size_t SchemeLength(StringView text) {
  if (text.empty() || !IsAsciiLetter(text[0])) return 0;
  for (size_t i = 1; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u':') return i;
    if (!IsAsciiLetter(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.') return 0;
  }
  return 0;
}

bool SchemeIs(StringView url, StringView scheme) {
  if (SchemeLength(url) != scheme.size()) return false;
  for (size_t i = 0; i < scheme.size(); ++i) {
    if ((url[i] | 0x20) != scheme[i]) return false;
  }
  return true;
}

StringView Trimmed(StringView text) {
  const size_t begin = text.find_first_not_of(u" \t\r\n");
  if (begin == StringView::npos) return {};
  return text.substr(begin, text.find_last_not_of(u" \t\r\n") - begin + 1);
}

// "." and ".." segments of a path go, as a browser resolves them.
String WithoutDotSegments(StringView path) {
  String out;
  size_t pos = 0;
  while (pos < path.size()) {
    size_t end = path.find(u'/', pos + 1);
    if (end == StringView::npos) end = path.size();
    const StringView segment = path.substr(pos, end - pos);  // "/name" (or "name" first)
    const bool last = end == path.size();
    if (segment == u"/." || segment == u".") {
      if (last) out += u'/';
    } else if (segment == u"/.." || segment == u"..") {
      const size_t cut = out.rfind(u'/');
      out.resize(cut == String::npos ? 0 : cut);
      if (last) out += u'/';
    } else {
      out += segment;
    }
    pos = end;
  }
  return out;
}

}  // namespace

String ResolveLocation(StringView from, StringView location) {
  location = Trimmed(location);
  if (SchemeLength(location) > 0) return String(location);
  const size_t schemeEnd = SchemeLength(from);
  if (location.starts_with(u"//")) return String(from.substr(0, schemeEnd + 1)) + String(location);
  // The address without its fragment, split into "scheme://authority", path and query.
  from = from.substr(0, std::min(from.find(u'#'), from.size()));
  const size_t authority = from.substr(schemeEnd).starts_with(u"://") ? schemeEnd + 3 : schemeEnd + 1;
  const size_t pathStart = std::min(from.find_first_of(u"/?", authority), from.size());
  const StringView origin = from.substr(0, pathStart);
  const size_t queryStart = std::min(from.find(u'?', pathStart), from.size());
  const StringView path = from.substr(pathStart, queryStart - pathStart);
  if (location.empty() || location[0] == u'#') return String(from);
  if (location[0] == u'?') return String(origin) + String(path.empty() ? u"/" : path) + String(location);
  const size_t locationQuery = std::min(location.find_first_of(u"?#"), location.size());
  const StringView locationPath = location.substr(0, locationQuery);
  String merged;
  if (locationPath.starts_with(u"/")) {
    merged = String(locationPath);
  } else {
    const size_t slash = path.rfind(u'/');
    merged = (slash == StringView::npos ? String(u"/") : String(path.substr(0, slash + 1))) + String(locationPath);
  }
  return String(origin) + WithoutDotSegments(merged) + String(location.substr(locationQuery));
}

RedirectVerdict JudgeRedirect(StringView from, StringView target) {
  if (!SchemeIs(target, u"http") && !SchemeIs(target, u"https")) return RedirectVerdict::kUnsupported;
  if (SchemeIs(from, u"https") && SchemeIs(target, u"http")) return RedirectVerdict::kLeavesHttps;
  return IsSupportedUrl(target) ? RedirectVerdict::kFollow : RedirectVerdict::kUnsupported;
}

}  // namespace velnor
