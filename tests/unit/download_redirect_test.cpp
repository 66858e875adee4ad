// Redirect targets: resolved as a browser resolves them, and judged before any request.
#include <gtest/gtest.h>

#include "download/redirect_target.h"

namespace velnor {
namespace {

TEST(Redirects, ResolvedAgainstTheAnswersAddressThenJudged) {
  const struct {
    const char16_t* from;
    const char16_t* location;
    const char16_t* target;
    RedirectVerdict verdict;
  } cases[] = {
      {u"http://a.example/sam/01.jpg", u"/img/01.jpg", u"http://a.example/img/01.jpg", RedirectVerdict::kFollow},
      {u"http://a.example/sam/01.jpg?x=1#f", u"02.jpg", u"http://a.example/sam/02.jpg", RedirectVerdict::kFollow},
      {u"http://a.example/sam/x/01.jpg", u"../../up/./01.jpg?q", u"http://a.example/up/01.jpg?q", RedirectVerdict::kFollow},
      {u"http://a.example/sam/01.jpg", u"?n=2", u"http://a.example/sam/01.jpg?n=2", RedirectVerdict::kFollow},
      {u"http://a.example:8080", u"x.jpg", u"http://a.example:8080/x.jpg", RedirectVerdict::kFollow},
      {u"https://a.example/01.jpg", u"//cdn.example/01.jpg", u"https://cdn.example/01.jpg", RedirectVerdict::kFollow},
      {u"http://a.example/01.jpg", u" HTTPS://b.example/01.jpg ", u"HTTPS://b.example/01.jpg", RedirectVerdict::kFollow},
      {u"https://a.example/01.jpg", u"http://a.example/01.jpg", u"http://a.example/01.jpg", RedirectVerdict::kLeavesHttps},
      // Other schemes are never taken for a path on the same server.
      {u"http://a.example/sam/01.jpg", u"file:///etc/passwd", u"file:///etc/passwd", RedirectVerdict::kUnsupported},
      {u"http://a.example/sam/01.jpg", u"ftp://a.example/01.jpg", u"ftp://a.example/01.jpg", RedirectVerdict::kUnsupported},
      {u"http://a.example/sam/01.jpg", u"javascript:alert(1)", u"javascript:alert(1)", RedirectVerdict::kUnsupported},
      {u"http://a.example/sam/01.jpg", u"http://", u"http://", RedirectVerdict::kUnsupported},
  };
  for (const auto& c : cases) {
    const String target = ResolveLocation(c.from, c.location);
    EXPECT_EQ(ToUtf8(target), ToUtf8(c.target)) << ToUtf8(c.location);
    EXPECT_EQ(JudgeRedirect(c.from, target), c.verdict) << ToUtf8(c.location);
  }
}

}  // namespace
}  // namespace velnor
