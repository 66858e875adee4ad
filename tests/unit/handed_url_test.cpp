// URLs handed to the program on purpose: which command-line arguments, files and dropped data
// are taken, what a WM_COPYDATA hand-over must look like, and a second start with arguments.
#include <gtest/gtest.h>

#include <map>

#include "app/hand_over.h"
#include "app/handed_url.h"
#include "app/lifecycle.h"
#include "app_program.h"

namespace velnor::testing {
namespace {

using namespace std::string_literals;

const String kUrl = u"http://example.com/sam/12_0c.jpg";
const String kSecure = u"https://example.com/p/img07.png";

// Files as the program would find them: the first bytes and whether they are all.
struct Files {
  std::map<String, FileStart> files;
  std::vector<String> read;  // the paths asked for, in order
  FileStartReader Reader() {
    return [this](const String& path) -> std::optional<FileStart> {
      read.push_back(path);
      const auto found = files.find(path);
      if (found == files.end()) return std::nullopt;
      return found->second;
    };
  }
};

FileStart Whole(std::string bytes) { return {std::move(bytes), true}; }

std::string Utf16Le(const String& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

TEST(HandedUrl, WhichArgumentIsTaken) {
  const std::string kUrl8 = ToUtf8(kUrl);
  Files f;
  f.files = {
      {u"C:\\a\\link.url", Whole("[InternetShortcut]\r\nURL=" + kUrl8 + "\r\nIconIndex=0\r\n")},
      {u"C:\\a\\LINK2.URL", Whole("[DEFAULT]\r\nBASEURL=http://other/\r\n[internetshortcut]\r\n  url = " + kUrl8 +
                                  "  \r\nURL=http://second/\r\n")},
      {u"C:\\a\\nourl.url", Whole("[InternetShortcut]\r\nIconFile=x.ico\r\n")},
      {u"C:\\a\\elsewhere.url", Whole("[Other]\r\nURL=" + kUrl8 + "\r\n")},
      {u"C:\\a\\list.txt", Whole(kUrl8 + "\r\nhttp://example.com/sam/12_0d.jpg\r\n")},
      {u"C:\\a\\bom8.txt", Whole("\xEF\xBB\xBF" + ToUtf8(kSecure + u"?q=写真") + "\r\n")},
      {u"C:\\a\\le.txt", Whole(Utf16Le(kUrl + u"/ü\r\nnext"))},
      {u"C:\\a\\sjis.txt", Whole("http://example.com/\x89\xe6\x91\x9c/01.jpg\r\n")},  // 画像 in code page 932
      {u"C:\\a\\utf8.txt", Whole("http://example.com/\xE7\x94\xBB\xE5\x83\x8F/01.jpg")},  // 画像, no line end
      {u"C:\\a\\blank.txt", Whole("\r\n" + kUrl8 + "\r\n")},
      {u"C:\\a\\cut.txt", {kUrl8 + "/" + std::string(100, 'x'), false}},  // the line may go on
  };
  struct Case {
    const char* name;
    std::vector<String> arguments;
    std::optional<String> taken;
  };
  const String overlong = u"http://example.com/" + String(kMaxHandedTextLength - 19 + 1, u'a');
  const String longest = overlong.substr(0, kMaxHandedTextLength);
  const Case cases[] = {
      {"an http URL", {kUrl}, kUrl},
      {"none", {}, std::nullopt},
      {"not a URL", {u"example.com/a.jpg"}, std::nullopt},
      {"the first the rule takes", {u"a.jpg", kSecure, kUrl}, kSecure},
      {"a URL ending in .txt is a URL", {u"http://example.com/a.txt"}, u"http://example.com/a.txt"},
      {"Internet shortcut", {u"C:\\a\\link.url"}, kUrl},
      {"its section and key in any case, blanks around", {u"C:\\a\\LINK2.URL"}, kUrl},
      {"shortcut without URL=, then a URL", {u"C:\\a\\nourl.url", kSecure}, kSecure},
      {"URL= in another section", {u"C:\\a\\elsewhere.url"}, std::nullopt},
      {"missing file", {u"C:\\a\\gone.url", u"C:\\a\\gone.txt"}, std::nullopt},
      {"text file: its first line", {u"C:\\a\\list.txt"}, kUrl},
      {"UTF-8 with its mark", {u"C:\\a\\bom8.txt"}, kSecure + u"?q=写真"},
      {"UTF-16 little endian", {u"C:\\a\\le.txt"}, kUrl + u"/ü"},
      {"code page 932", {u"C:\\a\\sjis.txt"}, u"http://example.com/画像/01.jpg"},
      {"UTF-8 without a mark or a line end", {u"C:\\a\\utf8.txt"}, u"http://example.com/画像/01.jpg"},
      {"first line blank", {u"C:\\a\\blank.txt"}, std::nullopt},
      {"first line past the bytes read", {u"C:\\a\\cut.txt"}, std::nullopt},
      {"other files are not read", {u"C:\\a\\b.jpg", u"C:\\a\\b.ini"}, std::nullopt},
      {"overlong", {overlong}, std::nullopt},
      {"the longest", {longest}, longest},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FirstHandedUrl(c.arguments, f.Reader()), c.taken);
  }
  // Only the files of the two kinds were asked for.
  for (const String& path : f.read) EXPECT_NE(HandedFileKind(path), HandedFile::kNone) << ToUtf8(path);
}

TEST(HandedUrl, WhatADropHands) {
  Files f;
  f.files = {{u"C:\\d\\link.url", Whole("[InternetShortcut]\r\nURL=" + ToUtf8(kUrl) + "\r\n")},
             {u"C:\\d\\note.txt", Whole("no URL here\r\n")}};
  struct Case {
    const char* name;
    DroppedData data;
    std::optional<String> taken;
  };
  const Case cases[] = {
      {"a link: its URL format", {kSecure, u"the link's text", {}}, kSecure},
      {"URL format not taken, text is", {u"javascript:void(0)", kUrl, {}}, kUrl},
      {"text alone", {std::nullopt, kUrl, {}}, kUrl},
      {"text that is no URL", {std::nullopt, u"some words", {}}, std::nullopt},
      {"a file of another kind, then a shortcut", {std::nullopt, std::nullopt, {u"C:\\d\\a.jpg", u"C:\\d\\link.url"}},
       kUrl},
      {"only the first such file", {std::nullopt, std::nullopt, {u"C:\\d\\note.txt", u"C:\\d\\link.url"}},
       std::nullopt},
      {"nothing offered", {}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DroppedUrl(c.data, f.Reader()), c.taken);
  }
}

TEST(HandedUrl, WhatTheWindowTakesByCopyData) {
  const String text = kUrl;
  const String withNul = u"http://a\0b"s;
  const String longest(kMaxHandedTextLength, u'a');
  const String tooLong(kMaxHandedTextLength + 1, u'a');
  struct Case {
    const char* name;
    uintptr_t tag;
    const void* data;
    size_t bytes;
    std::optional<String> text;
  };
  const Case cases[] = {
      {"a hand-over", kHandOverTag, text.data(), text.size() * 2, text},
      {"another tag", kHandOverTag + 1, text.data(), text.size() * 2, std::nullopt},
      {"empty", kHandOverTag, text.data(), 0, std::nullopt},
      {"no data", kHandOverTag, nullptr, 8, std::nullopt},
      {"an odd size", kHandOverTag, text.data(), text.size() * 2 - 1, std::nullopt},
      {"a NUL inside", kHandOverTag, withNul.data(), withNul.size() * 2, std::nullopt},
      {"the largest", kHandOverTag, longest.data(), longest.size() * 2, longest},
      {"oversized", kHandOverTag, tooLong.data(), tooLong.size() * 2, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HandedOverText(c.tag, c.data, c.bytes), c.text);
  }
}

// A second start with arguments hands their URL over and ends quietly; without arguments, or
// when the running window does not take it, the refusal as always.
TEST(HandedUrl, ASecondStartWithArguments) {
  struct Case {
    const char* name;
    bool arguments;
    std::optional<String> url;
    bool windowAnswers;
    std::vector<String> handedOver;
    bool box;
  };
  const Case cases[] = {
      {"a URL", true, kUrl, true, {kUrl}, false},
      {"arguments that hand nothing", true, std::nullopt, true, {}, false},
      {"the running window does not answer", true, kUrl, false, {kUrl}, true},
      {"no argument", false, std::nullopt, true, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppModelProgram p;
    p.shell.otherInstance = true;
    p.shell.handOverTaken = c.windowAnswers;
    p.program.startedWithArguments = c.arguments;
    p.program.startUrl = c.url;
    EXPECT_FALSE(LoadMainWindow(p.program));
    EXPECT_EQ(p.shell.handedOver, c.handedOver);
    EXPECT_EQ(p.platform.messages.size(), c.box ? 1u : 0u);
    EXPECT_EQ(p.log, std::vector<std::string>{"CloseAllForms"});
    EXPECT_TRUE(p.clipboard.calls.empty());
    EXPECT_EQ(p.window.urltxt.GetText(), u"URL");  // nothing read, nothing taken
  }
  // The first start takes its URL once the window is there, after the settings.
  AppModelProgram first;
  first.program.startedWithArguments = true;
  first.program.startUrl = kSecure;
  ASSERT_TRUE(LoadMainWindow(first.program));
  TakeStartUrl(first.program);
  EXPECT_EQ(first.window.urltxt.GetText(), kSecure);
  EXPECT_TRUE(first.shell.handedOver.empty());
}

}  // namespace
}  // namespace velnor::testing
