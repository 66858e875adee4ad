// The placeholder rule: the name that cannot exist asked in each folder, the fingerprint of an
// answer, and which answers of the sentinel and of the items make a placeholder.
#include <gtest/gtest.h>

#include "download/placeholder_rule.h"

namespace velnor {
namespace {

TEST(SentinelUrl, TheLastNumberOfTheNameBecomesOneThatCannotExist) {
  const struct {
    String url;
    String sentinel;
    String folder;
  } cases[] = {
      {u"http://h/img/s21.jpg", u"http://h/img/s9999999.jpg", u"http://h/img/"},
      {u"http://h/img/12_0c.jpg", u"http://h/img/12_9999999c.jpg", u"http://h/img/"},  // the last run only
      {u"http://h/img/cover.jpg", u"http://h/img/cover9999999.jpg", u"http://h/img/"},
      {u"http://h/img/a.tar.gz", u"http://h/img/a.tar9999999.gz", u"http://h/img/"},
      {u"http://h/img/p12.jpg?size=800#top", u"http://h/img/p9999999.jpg?size=800#top", u"http://h/img/"},
      {u"http://h/img/0042", u"http://h/img/9999999", u"http://h/img/"},
      {u"http://h/img/a%2012.jpg", u"http://h/img/a%209999999.jpg", u"http://h/img/"},
      {u"http://h/img/", u"http://h/img/9999999", u"http://h/img/"},
      {u"http://h:8080?p=1", u"http://h:8080/9999999?p=1", u"http://h:8080/"},
      {u"s21.jpg", u"s9999999.jpg", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SentinelUrl(c.url), c.sentinel) << ToUtf8(c.url);
    EXPECT_EQ(SentinelFolder(c.url), c.folder) << ToUtf8(c.url);
    EXPECT_EQ(SentinelFolder(SentinelUrl(c.url)), c.folder) << ToUtf8(c.url) << ": the sentinel is in its folder";
  }
}

TEST(AnswerFingerprint, TheSizeTheFirstKilobyteAndWhereARedirectLed) {
  const std::string png = "\x89PNG\r\n\x1a\n" + std::string(3000, 'p');
  const std::string otherStart = png.substr(0, 1023) + "q" + png.substr(1024);
  const std::string otherEnd = png.substr(0, 2000) + "q" + png.substr(2001);
  const AnswerFingerprint placeholder = FingerprintOf(u"bytes 0-1023/3008", 1024, png.substr(0, 1024), u"");
  EXPECT_EQ(placeholder.size, 3008u);
  EXPECT_EQ(placeholder.firstBytes, png.substr(0, 1024));
  const AnswerFingerprint redirected =
      FingerprintOf(u"", 3008, png, u"http://h/removed.png");  // a 200 without a Range
  const struct {
    const char* name;
    const AnswerFingerprint* placeholder;
    AnswerFingerprint answer;
    bool same;
  } cases[] = {
      {"the same bytes, whole", &placeholder, FingerprintOf(u"", 3008, png, u""), true},
      {"the same, as a 206 of the first KB", &placeholder, FingerprintOf(u"BYTES 0-1023/3008", 1024, png, u""), true},
      {"the same first KB, past it another picture", &placeholder, FingerprintOf(u"", 3008, otherEnd, u""), true},
      {"another size", &placeholder, FingerprintOf(u"", 3009, png + "p", u""), false},
      {"the same size, another first KB", &placeholder, FingerprintOf(u"", 3008, otherStart, u""), false},
      {"redirected where the placeholder was not", &placeholder, FingerprintOf(u"", 3008, png, u"http://h/x.png"),
       false},
      {"a redirect to the same target", &redirected, FingerprintOf(u"", 3008, png, u"http://h/removed.png"), true},
      {"a redirect to another", &redirected, FingerprintOf(u"", 3008, png, u"http://h/img/s03.png"), false},
      {"no placeholder", nullptr, FingerprintOf(u"", 3008, png, u""), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPlaceholderAnswer(c.placeholder, c.answer), c.same) << c.name;

  // A body under 1 KB without a length: its size is what arrived, all of it compared.
  const AnswerFingerprint small = FingerprintOf(u"", std::nullopt, "GIF89a tiny", u"");
  EXPECT_EQ(small, (AnswerFingerprint{11, "GIF89a tiny", u""}));
  EXPECT_TRUE(IsPlaceholderAnswer(&small, FingerprintOf(u"bytes 0-10/11", 11, "GIF89a tiny", u"")));
  EXPECT_FALSE(IsPlaceholderAnswer(&small, FingerprintOf(u"", std::nullopt, "GIF89a tinY", u"")));
  // An unreadable Content-Range leaves the Content-Length.
  EXPECT_EQ(FingerprintOf(u"bytes */x", 40, "abc", u"").size, 40u);
}

TEST(SentinelPlaceholder, OnlyAWholeAnswerThatIsNotAPage) {
  const AnswerFingerprint picture = FingerprintOf(u"", 3008, "\x89PNG\r\n\x1a\n", u"");
  const struct {
    const char* name;
    int status;
    String contentType;
    std::string body;
    bool placeholder;
  } cases[] = {
      {"a picture", 200, u"image/png", "\x89PNG\r\n\x1a\n", true},
      {"a part of one", 206, u"image/png", "\x89PNG\r\n\x1a\n", true},
      {"a not-found page", 200, u"text/html; charset=utf-8", "<html>not found</html>", false},
      {"a page without its type", 200, u"", "\n<!DOCTYPE html><html>", false},
      {"an HTML type on something else", 200, u"text/html", "\x89PNG\r\n\x1a\n", true},
      {"404", 404, u"image/png", "\x89PNG\r\n\x1a\n", false},
  };
  for (const auto& c : cases) {
    AnswerFingerprint answer = picture;
    answer.firstBytes = c.body;
    const std::optional<AnswerFingerprint> shown = SentinelPlaceholder(c.status, c.contentType, answer);
    EXPECT_EQ(shown, c.placeholder ? std::optional(answer) : std::nullopt) << c.name;
  }
}

}  // namespace
}  // namespace velnor
