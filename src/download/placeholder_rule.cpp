#include "download/placeholder_rule.h"

#include <algorithm>

#include "download/http_answer.h"
#include "download/page_rule.h"

namespace velnor {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsHex(char16_t c) { return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

// Where the file name of a URL lies: [begin, end), and whether the URL has no path at all
// ("http://host"), so that a name needs a "/" before it.
struct NameSpan {
  size_t begin = 0;
  size_t end = 0;
  bool noPath = false;
};

NameSpan FileNameOf(StringView url) {
  NameSpan span;
  span.end = std::min(url.find_first_of(u"?#"), url.size());
  const StringView path = url.substr(0, span.end);
  const size_t scheme = path.find(u"://");
  const size_t authority = scheme == StringView::npos ? 0 : scheme + 3;
  const size_t slash = path.rfind(u'/');
  if (slash != StringView::npos && slash >= authority) {
    span.begin = slash + 1;
  } else if (scheme != StringView::npos) {
    span.begin = span.end;  // "scheme://host": the name comes after a "/"
    span.noPath = true;
  }  // no scheme and no "/": all of it is the name
  return span;
}

}  // namespace

String SentinelFolder(StringView url) {
  const NameSpan span = FileNameOf(url);
  String folder(url.substr(0, span.begin));
  if (span.noPath) folder += u'/';
  return folder;
}

String SentinelUrl(StringView url) {
  const NameSpan span = FileNameOf(url);
  const StringView name = url.substr(span.begin, span.end - span.begin);
  // The last run of digits, "%XX" escapes stepped over.
  size_t runBegin = StringView::npos, runEnd = StringView::npos;
  for (size_t i = 0; i < name.size();) {
    if (name[i] == u'%' && i + 2 < name.size() && IsHex(name[i + 1]) && IsHex(name[i + 2])) {
      i += 3;
    } else if (IsDigit(name[i])) {
      runBegin = i;
      while (i < name.size() && IsDigit(name[i])) ++i;
      runEnd = i;
    } else {
      ++i;
    }
  }
  String sentinel(url.substr(0, span.begin));
  if (span.noPath) sentinel += u'/';
  if (runBegin != StringView::npos) {
    sentinel += String(name.substr(0, runBegin)) + String(kSentinelNumber) + String(name.substr(runEnd));
  } else {
    const size_t dot = std::min(name.rfind(u'.'), name.size());
    sentinel += String(name.substr(0, dot)) + String(kSentinelNumber) + String(name.substr(dot));
  }
  return sentinel + String(url.substr(span.end));
}

AnswerFingerprint FingerprintOf(StringView contentRange, std::optional<uint64_t> contentLength,
                                std::string_view firstBytes, StringView redirectedTo) {
  AnswerFingerprint fingerprint;
  fingerprint.firstBytes = std::string(firstBytes.substr(0, kPageSniffBytes));
  const ContentRange range = ParseContentRange(contentRange);
  fingerprint.size = range.total ? *range.total : contentLength ? *contentLength : fingerprint.firstBytes.size();
  fingerprint.redirectedTo = String(redirectedTo);
  return fingerprint;
}

std::optional<AnswerFingerprint> SentinelPlaceholder(int status, StringView contentType,
                                                     const AnswerFingerprint& answer) {
  if ((status != 200 && status != 206) || IsPageBody(contentType, answer.firstBytes)) return std::nullopt;
  return answer;
}

bool IsPlaceholderAnswer(const AnswerFingerprint* placeholder, const AnswerFingerprint& answer) {
  return placeholder != nullptr && *placeholder == answer;
}

}  // namespace velnor
