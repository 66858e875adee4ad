// The names downloaded files get: taken from the URL, decoded once, made safe for Windows,
// shortened, and numbered where they clash.
#include <gtest/gtest.h>

#include "download/file_names.h"

namespace velnor {
namespace {

String Repeat(StringView text, int times) {
  String repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

TEST(DownloadFileName, FromTheUrl) {
  const String longStem(250, u'a');
  const String emoji = u"\U0001F600";
  const struct {
    String url;
    String name;
  } cases[] = {
      {u"http://example.com/img/001.jpg", u"001.jpg"},
      {u"http://example.com/img/001.jpg?size=large#top", u"001.jpg"},
      {u"http://example.com/a/b?x=/c.jpg", u"b"},
      {u"http://example.com", u"download"},
      {u"http://example.com/dir/", u"download"},
      // Decoded once, as UTF-8.
      {u"http://example.com/%E5%86%99%E7%9C%9F%20001.jpg", u"写真 001.jpg"},
      {u"http://example.com/%2541.jpg", u"%41.jpg"},
      {u"http://example.com/a%F0%9F%98%80.png", u"a" + emoji + u".png"},
      // Not UTF-8 once decoded (Shift_JIS, a lone continuation byte, an overlong "/",
      // an encoded surrogate): the segment as written.
      {u"http://example.com/%8E%CA%90%5E.jpg", u"%8E%CA%90%5E.jpg"},
      {u"http://example.com/%C0%AF.jpg", u"%C0%AF.jpg"},
      {u"http://example.com/a%2.jpg", u"a%2.jpg"},
      // Escaped separators and climbing out of the folder stay in it.
      {u"http://example.com/..%2F..%2Fwindows%2Fwin.ini", u".._.._windows_win.ini"},
      {u"http://example.com/%2E%2E", u"download"},
      {u"http://example.com/a\\..\\b.jpg", u"a_.._b.jpg"},
      // Characters Windows refuses, control characters, trailing dots and blanks.
      {u"http://example.com/a%3Cb%3E%3A%22%7C%3F%2A.jpg", u"a_b______.jpg"},
      {u"http://example.com/a%00b%1F%7F.jpg", u"a_b__.jpg"},
      {u"http://example.com/name.%20.%20", u"name"},
      {u"http://example.com/.htaccess", u".htaccess"},
      // Device names in any case, with or without an extension.
      {u"http://example.com/con", u"_con"},
      {u"http://example.com/CON.jpg", u"_CON.jpg"},
      {u"http://example.com/prn%20.txt", u"_prn .txt"},
      {u"http://example.com/com%C2%B9.png", u"_com\u00B9.png"},
      {u"http://example.com/conin$", u"_conin$"},
      {u"http://example.com/COM10", u"COM10"},
      {u"http://example.com/my.con", u"my.con"},
      // Long names keep their extension; an extension too long to keep is cut with the rest.
      {u"http://example.com/" + longStem + u".jpeg", String(195, u'a') + u".jpeg"},
      {u"http://example.com/x." + longStem, u"x." + String(198, u'a')},
      {u"http://example.com/" + String(194, u'a') + emoji + u"b.jpg", String(194, u'a') + emoji + u".jpg"},
      {u"http://example.com/" + String(195, u'a') + emoji + u"b.jpg", String(195, u'a') + u".jpg"},
      {u"http://example.com/" + String(199, u'a') + u". .....", String(199, u'a')},
      // Every rule holds after the others: a name cut short to blanks and a device name,
      // or to nothing; a device name that the "_" makes too long.
      {u"http://example.com/LPT1" + Repeat(u"%20", 198) + u"z", u"_LPT1"},
      {u"http://example.com/NUL" + String(198, u' ') + u"x", u"_NUL"},
      {u"http://example.com/" + String(200, u' ') + u"x", u"download"},
      {u"http://example.com/con" + String(197, u' ') + u"z.jpg", u"_con" + String(192, u' ') + u".jpg"},
      // Not a URL with a scheme: the text's own last segment.
      {u"folder/file.txt", u"file.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(DownloadFileName(c.url), c.name) << ToUtf8(c.url);
}

TEST(AssignFileNames, NumbersClashesInListOrder) {
  const struct {
    const char* name;
    std::vector<String> urls;
    std::vector<String> names;
  } cases[] = {
      {"one name in two folders, and two queries of one file",
       {u"http://a/x/1.jpg", u"http://a/y/1.jpg", u"http://a/x/2.jpg?s=1", u"http://a/x/2.jpg?s=2", u"http://a/z/1.jpg"},
       {u"1.jpg", u"1 (2).jpg", u"2.jpg", u"2 (2).jpg", u"1 (3).jpg"}},
      {"names differing only in case clash, as on Windows",
       {u"http://a/Photo.JPG", u"http://a/photo.jpg", u"http://a/PHOTO.jpg", u"http://a/%C3%A9t%C3%A9", u"http://a/%C3%89T%C3%89"},
       {u"Photo.JPG", u"photo (2).jpg", u"PHOTO (3).jpg", u"été", u"ÉTÉ (2)"}},
      {"a name that is already a numbered one",
       {u"http://a/1.jpg", u"http://a/1%20(2).jpg", u"http://b/1.jpg"},
       {u"1.jpg", u"1 (2).jpg", u"1 (3).jpg"}},
      {"without an extension, with a leading dot, as the default name",
       {u"http://a/x", u"http://b/x", u"http://a/.cfg", u"http://b/.cfg", u"http://a/", u"http://b/"},
       {u"x", u"x (2)", u".cfg", u".cfg (2)", u"download", u"download (2)"}},
      {"a name that is another's part, before or after it",
       {u"http://a/x.part", u"http://a/x", u"http://b/y", u"http://b/y.part"},
       {u"x.part", u"x (2)", u"y", u"y (2).part"}},
      {"a long name keeps its extension after the number",
       {u"http://a/" + String(300, u'b') + u".png", u"http://c/" + String(300, u'b') + u".png"},
       {String(196, u'b') + u".png", String(192, u'b') + u" (2).png"}},
      {"a device name cut out of a long one, numbered",
       {u"http://a/COM1" + String(197, u' ') + u"000", u"http://a/COM1" + String(197, u' ') + u"001"},
       {u"_COM1", u"_COM1 (2)"}},
  };
  for (const auto& c : cases) EXPECT_EQ(AssignFileNames(c.urls), c.names) << c.name;
}

}  // namespace
}  // namespace velnor
