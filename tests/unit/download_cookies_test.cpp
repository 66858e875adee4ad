// The cookies.txt reader and the choice of the cookies each request carries: every field, the
// lines that are skipped, the file's forms; domains, paths, secure, expiry, order, redirects
// to another host and the cookies servers set during a run.
#include <gtest/gtest.h>

#include <string>

#include "download/cookies.h"

namespace velnor {
namespace {

constexpr int64_t kNow = 1800000000;

Cookie Made(const char16_t* domain, bool subdomains, const char16_t* path, bool secure, int64_t expires,
            const char16_t* name, const char16_t* value) {
  return {domain, subdomains, path, secure, expires, name, value};
}

TEST(CookiesFile, ReadsEachFieldAndSkipsWhatIsNotACookie) {
  const struct {
    const char* name;
    std::string file;
    std::vector<Cookie> cookies;
  } cases[] = {
      {"every field", "example.com\tFALSE\t/img\tTRUE\t1900000000\tsid\tabc123\n",
       {Made(u"example.com", false, u"/img", true, 1900000000, u"sid", u"abc123")}},
      {"a leading dot reaches subdomains; flags in any case, domain lower case",
       ".Example.COM\tfalse\t/\tfalse\t0\tk\tv\n", {Made(u"example.com", true, u"/", false, 0, u"k", u"v")}},
      {"#HttpOnly_ is a cookie", "#HttpOnly_.cdn.example\tTRUE\t/\tFALSE\t0\th\t1\n",
       {Made(u"cdn.example", true, u"/", false, 0, u"h", u"1")}},
      {"comments and blank lines",
       "# Netscape HTTP Cookie File\n#example.com\tFALSE\t/\tFALSE\t0\tc\t1\n\n   \n\t\na.b\tTRUE\t/\tFALSE\t0\tx\ty\n",
       {Made(u"a.b", true, u"/", false, 0, u"x", u"y")}},
      {"CR LF, a BOM, no line break at the end, an empty value",
       "\xEF\xBB\xBF" "a.b\tFALSE\t/\tFALSE\t0\tone\t1\r\na.b\tFALSE\t/\tFALSE\t0\ttwo\t",
       {Made(u"a.b", false, u"/", false, 0, u"one", u"1"), Made(u"a.b", false, u"/", false, 0, u"two", u"")}},
      {"a value with blanks and =", "a.b\tFALSE\t/\tFALSE\t0\tq\tx=1 y\n", {Made(u"a.b", false, u"/", false, 0, u"q", u"x=1 y")}},
      {"malformed lines",
       "a.b\tFALSE\t/\tFALSE\t0\tsix\n"                 // six fields
       "a.b\tFALSE\t/\tFALSE\t0\tn\tv\textra\n"         // eight
       "a.b\tYES\t/\tFALSE\t0\tn\tv\n"                  // not TRUE or FALSE
       "a.b\tFALSE\t/\t1\t0\tn\tv\n"                    // secure not TRUE or FALSE
       "a.b\tFALSE\tpath\tFALSE\t0\tn\tv\n"             // a path without "/"
       "a.b\tFALSE\t/\tFALSE\t-1\tn\tv\n"               // expires not digits
       "\tFALSE\t/\tFALSE\t0\tn\tv\n"                   // no domain
       "a.b\tFALSE\t/\tFALSE\t0\t\tv\n"                 // no name
       "a.b\tFALSE\t/\tFALSE\t0\tn=1\tv\n"              // what a header cannot carry
       "a.b\tFALSE\t/\tFALSE\t0\tn\t\xE5\x80\xA4\n"
       "a.b\tFALSE\t/\tFALSE\t0\tn\tv\x01\n"
       "a.b FALSE / FALSE 0 n v\n"                      // blanks instead of tabs
       "ok.b\tFALSE\t/\tFALSE\t0\tn\tv\n",
       {Made(u"ok.b", false, u"/", false, 0, u"n", u"v")}},
      {"not UTF-8 at all", "a.b\tFALSE\t/\tFALSE\t0\tn\t\xFF\xFE\n", {}},
      {"empty", "", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseCookiesFile(c.file), c.cookies) << c.name;
}

TEST(CookiesFile, AFileOfManyLinesIsReadWhole) {
  std::string file;
  for (int i = 0; i < 40000; ++i) file.append("h").append(std::to_string(i)).append(".example\tTRUE\t/\tFALSE\t0\tn\tv\r\n");
  ASSERT_GT(file.size(), 1024u * 1024u);
  const std::vector<Cookie> cookies = ParseCookiesFile(file);
  ASSERT_EQ(cookies.size(), 40000u);
  EXPECT_EQ(cookies.back().domain, u"h39999.example");
}

TEST(CookieJar, ChoosesTheCookiesOfEachRequest) {
  const CookieJar jar({
      Made(u"example.com", false, u"/", false, 0, u"host", u"1"),
      Made(u"example.com", true, u"/", false, 0, u"wide", u"2"),
      Made(u"example.com", false, u"/img", false, 0, u"img", u"3"),
      Made(u"example.com", false, u"/img/", false, 0, u"imgslash", u"4"),
      Made(u"example.com", false, u"/", true, 0, u"secure", u"5"),
      Made(u"example.com", false, u"/", false, kNow - 1, u"old", u"6"),
      Made(u"example.com", false, u"/", false, kNow, u"now", u"7"),
      Made(u"example.com", false, u"/", false, kNow + 1, u"fresh", u"8"),
      Made(u"cdn.net", true, u"/a/b", false, 0, u"deep", u"9"),
      Made(u"cdn.net", true, u"/a", false, 0, u"shallow", u"10"),
      Made(u"127.0.0.1", true, u"/", false, 0, u"ip", u"11"),
  });
  const struct {
    const char16_t* url;
    const char16_t* header;
  } cases[] = {
      {u"http://example.com/", u"host=1; wide=2; fresh=8"},
      {u"http://EXAMPLE.com:8080/x.jpg?q=1#f", u"host=1; wide=2; fresh=8"},
      // Secure cookies over https only.
      {u"https://example.com/", u"host=1; wide=2; secure=5; fresh=8"},
      // Subdomains: only the cookie that includes them; never a longer name that is not one
      // (so a redirect to another host carries that host's cookies only: each hop asks here).
      {u"http://www.example.com/", u"wide=2"},
      {u"http://badexample.com/", u""},
      // Paths: the cookie's path itself or below it, the longest first.
      {u"http://example.com/img", u"img=3; host=1; wide=2; fresh=8"},
      {u"http://example.com/img/1.jpg", u"imgslash=4; img=3; host=1; wide=2; fresh=8"},
      {u"http://example.com/images/1.jpg", u"host=1; wide=2; fresh=8"},
      {u"http://s.cdn.net/a/b/c.jpg", u"deep=9; shallow=10"},
      {u"http://cdn.net/a/bc", u"shallow=10"},
      {u"http://cdn.net/A/b", u""},
      // An address is never a subdomain.
      {u"http://127.0.0.1:8000/x", u"ip=11"},
      {u"http://1.127.0.0.1/x", u""},
      {u"ftp://example.com/", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(jar.HeaderFor(c.url, kNow), String(c.header)) << ToUtf8(c.url);
}

TEST(CookieJar, KeepsWhatServersSetForTheRun) {
  const struct {
    const char* name;
    std::vector<std::pair<const char16_t*, const char16_t*>> answers;  // (Set-Cookie, the URL answered)
    const char16_t* url;                                              // asked after them
    const char16_t* header;
  } cases[] = {
      {"a session cookie for the folder of the answer",
       {{u"s=1", u"http://h.example/a/b.jpg"}}, u"http://h.example/a/c.jpg", u"s=1"},
      {"not for another folder or host", {{u"s=1", u"http://h.example/a/b.jpg"}}, u"http://h.example/b.jpg", u""},
      {"host only without Domain", {{u"s=1; Path=/", u"http://h.example/x"}}, u"http://w.h.example/", u""},
      {"Domain reaches subdomains", {{u" s = 1 ; Domain=.H.example; path=/", u"http://w.h.example/x"}},
       u"http://h.example/y", u"s=1"},
      {"a Domain the host is not within is refused", {{u"s=1; Domain=other.example", u"http://h.example/"}},
       u"http://other.example/", u""},
      {"a bare top-level Domain is refused", {{u"s=1; Domain=example", u"http://h.example/"}}, u"http://h.example/", u""},
      {"the same name, domain and path replaced in place",
       {{u"a=1; Path=/", u"http://h.example/"}, {u"b=2; Path=/", u"http://h.example/"}, {u"a=3; Path=/", u"http://h.example/"}},
       u"http://h.example/", u"a=3; b=2"},
      {"Max-Age=0 drops it", {{u"a=1; Path=/", u"http://h.example/"}, {u"a=x; Max-Age=0; Path=/", u"http://h.example/"}},
       u"http://h.example/", u""},
      {"an Expires in the past drops it",
       {{u"a=1; Path=/", u"http://h.example/"}, {u"a=1; Path=/; Expires=Thu, 01 Jan 1970 00:00:00 GMT", u"http://h.example/"}},
       u"http://h.example/", u""},
      {"Max-Age before Expires",
       {{u"a=1; Path=/; Max-Age=60; Expires=Thu, 01 Jan 1970 00:00:00 GMT", u"http://h.example/"}}, u"http://h.example/", u"a=1"},
      {"Secure set over https", {{u"a=1; Path=/; Secure; HttpOnly", u"https://h.example/"}}, u"http://h.example/", u""},
      {"what cannot be read is ignored",
       {{u"novalue", u"http://h.example/"}, {u"=v; Path=/", u"http://h.example/"}, {u"a=1", u"file:///x"}}, u"http://h.example/", u""},
  };
  for (const auto& c : cases) {
    CookieJar jar;
    for (const auto& [header, url] : c.answers) jar.TakeSetCookie(header, url, kNow);
    EXPECT_EQ(jar.HeaderFor(c.url, kNow), String(c.header)) << c.name;
  }
  // A server's cookie replaces the file's of the same name, domain and path.
  CookieJar fromFile({Made(u"h.example", false, u"/", false, 0, u"sid", u"old")});
  fromFile.TakeSetCookie(u"sid=new; Path=/", u"http://h.example/x", kNow);
  EXPECT_EQ(fromFile.HeaderFor(u"http://h.example/", kNow), u"sid=new");
  // A server sets only so many in a run.
  CookieJar flooded;
  for (size_t i = 0; i < kMaxCookiesSetInRun + 10; ++i) {
    const String header = String(u"c").append(FromUtf8(std::to_string(i))).append(u"=1");
    flooded.TakeSetCookie(header, u"http://h.example/", kNow);
  }
  EXPECT_EQ(flooded.cookies().size(), kMaxCookiesSetInRun);
}

}  // namespace
}  // namespace velnor
