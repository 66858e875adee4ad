// Readings of HTTP answers and URLs for the download: Retry-After, where a body goes, a
// page under a picture's name, the Referer, which URLs are requested, and which requests
// share a server.
#include <gtest/gtest.h>

#include "download/http_answer.h"
#include "download/page_rule.h"

namespace velnor {
namespace {

// Sun, 06 Nov 1994 08:49:37 GMT
constexpr int64_t kNov6 = 784111777;

TEST(ParseRetryAfterSeconds, SecondsAndDatesCappedAtAMinute) {
  const struct {
    String value;
    std::optional<int> seconds;
  } cases[] = {
      {u"0", 0},
      {u" 30 ", 30},
      {u"61", 60},
      {u"99999999999999999999999", 60},
      {u"Sun, 06 Nov 1994 08:49:47 GMT", 10},
      {u"Sunday, 06-Nov-94 08:50:07 GMT", 30},
      {u"Sun Nov  6 08:49:42 1994", 5},
      {u"sun, 06 nov 1994 08:59:37 gmt", 60},
      {u"Sun, 06 Nov 1994 08:49:00 GMT", 0},
      {u"Mon, 07 Nov 1994 00:00:00 GMT", 60},
      {u"", std::nullopt},
      {u"-5", std::nullopt},
      {u"1.5", std::nullopt},
      {u"Sun, 32 Nov 1994 08:49:47 GMT", std::nullopt},
      {u"Sun, 06 Nov 1994 08:49 GMT", std::nullopt},
      {u"Sun, 06 Nov 1994 08:49:47 PST", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseRetryAfterSeconds(c.value, kNov6), c.seconds) << ToUtf8(c.value);
  // Two-digit years of the 2000s, and dates far ahead.
  EXPECT_EQ(ParseRetryAfterSeconds(u"Wednesday, 01-Jan-25 00:00:08 GMT", 1735689600), 8);
  EXPECT_EQ(ParseRetryAfterSeconds(u"Thu, 29 Feb 2024 00:00:01 GMT", 1709164800), 1);
}

// The worker continues a part only with a 206 whose range starts where it asked.
TEST(ParseContentRange, WhereTheBodyStartsAndTheWholeSize) {
  const struct {
    String contentRange;
    std::optional<uint64_t> first, total;
  } cases[] = {
      {u"bytes 1000-1999/2000", 1000, 2000},
      {u"bytes 1000-1999/*", 1000, std::nullopt},
      {u"Bytes 1000-1999/2000", 1000, 2000},
      {u"bytes 0-1999/2000", 0, 2000},
      {u"", std::nullopt, std::nullopt},
      {u"items 1000-1999/2000", std::nullopt, std::nullopt},
      {u"bytes 1000-1999", std::nullopt, std::nullopt},
      {u"bytes */2000", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    const ContentRange range = ParseContentRange(c.contentRange);
    EXPECT_EQ(range.first, c.first) << ToUtf8(c.contentRange);
    EXPECT_EQ(range.total, c.total) << ToUtf8(c.contentRange);
  }
}

TEST(IsPageNotPicture, AnHtmlPageUnderABinaryFilesName) {
  const std::string bom = "\xEF\xBB\xBF";
  const struct {
    String name;
    String contentType;
    std::string body;
    bool page;
  } cases[] = {
      {u"04.jpg", u"text/html", "<html>not found</html>", true},
      {u"04.jpg", u"", "<html>not found</html>", true},
      {u"04.jpg", u"image/jpeg", "<p>not found", false},
      {u"04.JPG", u"Text/HTML; charset=UTF-8", bom + " \r\n\t<p>not found", true},
      {u"04.png", u"application/xhtml+xml", "<?xml version=\"1.0\"?>", true},
      {u"04.jpg", u"application/octet-stream", bom + "\n  <!DOCTYPE HTML PUBLIC", true},
      {u"04.webp", u"", "<TITLE>login</TITLE>", true},
      {u"04.mp4", u"text/plain", "<script>location='/'</script>", true},
      {u"04.zip", u"text/htmlx", "<x>", false},
      {u"04.jpg", u"text/html", "\xFF\xD8\xFF\xE0\x00\x10JFIF<html>", false},  // a true JPEG
      {u"04.jpg", u"text/html", " not a tag <html>", false},
      {u"04.jpg", u"text/html", "", false},
      {u"04.jpg", u"", "<htm", false},
      {u"04.html", u"text/html", "<html>", false},
      {u"04.svg", u"text/html", "<html>", false},
      {u"04.php", u"text/html", "<html>", false},
      {u"04", u"text/html", "<html>", false},
      {u"D:\\dl.jpg\\04", u"text/html", "<html>", false},
      {u"D:\\dl\\04.tar.gz", u"text/html", "<html>", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsPageNotPicture(c.name, c.contentType, c.body), c.page) << ToUtf8(c.name) << " " << c.body;
  }
}

TEST(DownloadUrls, RefererSupportAndServer) {
  const struct {
    String url;
    String referer;
    bool supported;
    String host;
  } cases[] = {
      {u"http://example.com/img/001.jpg", u"http://example.com/img/", true, u"http://example.com"},
      {u"https://example.com/a/b/c.jpg?x=/y#z/w", u"https://example.com/a/b/", true, u"https://example.com"},
      {u"HTTPS://Example.COM:443/a.jpg", u"HTTPS://Example.COM:443/", true, u"https://example.com"},
      {u"http://example.com:80/a.jpg", u"http://example.com:80/", true, u"http://example.com"},
      {u"http://user:pw@example.com/a/b.jpg", u"http://example.com/a/", true, u"http://example.com"},
      {u"http://example.com", u"http://example.com/", true, u"http://example.com"},
      {u"http:///a.jpg", u"http:///", false, u"http://"},
      {u"ftp://example.com/a.jpg", u"ftp://example.com/", false, u"ftp://example.com"},
      {u"example.com/a.jpg", u"example.com/", false, u""},
      {u"httpx://example.com/a.jpg", u"httpx://example.com/", false, u"httpx://example.com"},
      // Control characters and blanks of every kind: nothing of such a text is ever sent.
      {u"http://example.com/a b.jpg", u"http://example.com/", false, u"http://example.com"},
      {u"http://example.com/a\tb.jpg", u"http://example.com/", false, u"http://example.com"},
      {u"http://example.com/a.jpg\r\nX-Evil: 1", u"http://example.com/", false, u"http://example.com"},
      {u"http://example.com/a\u3000b.jpg", u"http://example.com/", false, u"http://example.com"},
      {u"http://example.com/a\u00A0b.jpg", u"http://example.com/", false, u"http://example.com"},
      {u"http://example.com/a\u0085b.jpg", u"http://example.com/", false, u"http://example.com"},
      {u"http://example.com/a\x7F.jpg", u"http://example.com/", false, u"http://example.com"},
      {u"http://example.com/%20\u5199.jpg", u"http://example.com/", true, u"http://example.com"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RefererFor(c.url), c.referer) << ToUtf8(c.url);
    EXPECT_EQ(IsSupportedUrl(c.url), c.supported) << ToUtf8(c.url);
    EXPECT_EQ(HostKey(c.url), c.host) << ToUtf8(c.url);
  }
}

}  // namespace
}  // namespace velnor
