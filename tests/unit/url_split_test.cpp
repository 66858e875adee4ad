// Splitting an example URL into the fields: every URL that splits is expanded right after
// and must come back in the list, with the fields the user would have typed; every URL that
// cannot be split leaves the window as it was and says why once.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <vector>

#include "clipboard/clipboard_watcher.h"
#include "expand/expand_command.h"
#include "expand/url_split.h"
#include "model_clipboard.h"
#include "ui/input_fields.h"

namespace velnor::testing {
namespace {

// The fields the split writes, in one value.
struct Fields {
  String urltxt;
  String combo2;
  int check3 = 0, check1 = 0, checkund = 0, check2 = 0;
  String text1;
  String combo3;
  String text2;
  String combo1;
  bool operator==(const Fields&) const = default;

  static Fields Of(const ModelForm& w) {
    return {w.urltxt.GetText(),  w.Combo2.GetText(), w.Check3.Value(),   w.Check1.Value(),
            w.Checkund.Value(), w.Check2.Value(),   w.text1.GetText(),  w.Combo3.GetText(),
            w.text2.GetText(),  w.Combo1.GetText()};
  }
};

std::ostream& operator<<(std::ostream& out, const Fields& f) {
  return out << "urltxt=" << ToUtf8(f.urltxt) << " Combo2=" << ToUtf8(f.combo2) << " checks=" << f.check3 << f.check1
             << f.checkund << f.check2 << " Text1=" << ToUtf8(f.text1) << " Combo3=" << ToUtf8(f.combo3)
             << " Text2=" << ToUtf8(f.text2) << " Combo1=" << ToUtf8(f.combo1);
}

// A window as the user left it: both samples' boxes ticked, a subfolder and an extension
// from the history, an old end value, and the start number chosen.
struct SplitWindow : ClipboardModelProgram {
  explicit SplitWindow(int startNumber = 0) {
    (startNumber == 1 ? window.Option1 : window.Option0).Select();
    window.List1.ClickItem(0);
    window.Combo2.SetText(u"old/");
    window.Combo1.SetText(u".gif");
    ModelProgram::Type(window.text1, u"5");
  }
};

TEST(SplitUrl, EveryUrlThatSplitsComesBackFromTheExpansion) {
  const String h = u"http://example.com/";
  struct Case {
    const char* name;
    String urltxt;
    int startNumber;
    Fields fields;  // after the split
    int items;      // after the expansion
    String first;
    String last;
  };
  const Case cases[] = {
      {"two numbers", h + u"sam/12_0c.jpg", 0, {h, u"sam/", 1, 1, 1, 1, u"12", u"0c", u"0c", u".jpg"},
       13, h + u"sam/00_00.jpg", h + u"sam/12_0c.jpg"},
      {"one number of two digits", h + u"photos/img07.png", 0,
       {h + u"photos/img", u"old/", 0, 1, 0, 0, u"07", u"", u"", u".png"}, 8, h + u"photos/img00.png",
       h + u"photos/img07.png"},
      {"three digits below 100 end at 100, with a query", h + u"a/b/p012.jpg?size=l", 0,
       {h + u"a/b/p", u"old/", 0, 1, 0, 0, u"100", u"", u"", u".jpg?size=l"}, 101, h + u"a/b/p000.jpg?size=l",
       h + u"a/b/p100.jpg?size=l"},
      {"numbers that do not step together: the last one alone", h + u"photo_2012_05.jpg", 0,
       {h + u"photo_2012_", u"old/", 0, 1, 0, 0, u"05", u"", u"", u".jpg"}, 6, h + u"photo_2012_00.jpg",
       h + u"photo_2012_05.jpg"},
      {"a fragment", h + u"g/pic_03.jpg#top", 0, {h + u"g/pic_", u"old/", 0, 1, 0, 0, u"03", u"", u"", u".jpg#top"},
       4, h + u"g/pic_00.jpg#top", h + u"g/pic_03.jpg#top"},
      {"digits in the query are not the number", h + u"img/p05.jpg?v=123", 0,
       {h + u"img/p", u"old/", 0, 1, 0, 0, u"05", u"", u"", u".jpg?v=123"}, 6, h + u"img/p00.jpg?v=123",
       h + u"img/p05.jpg?v=123"},
      {"two numbers and a query", h + u"v/02_02.jpg?w=800", 0, {h, u"v/", 1, 1, 1, 1, u"02", u"02", u"02", u".jpg?w=800"},
       3, h + u"v/00_00.jpg?w=800", h + u"v/02_02.jpg?w=800"},
      {"two numbers right under the host", h + u"12_0c.jpg", 0, {h, u"", 0, 1, 1, 1, u"12", u"0c", u"0c", u".jpg"},
       13, h + u"00_00.jpg", h + u"12_0c.jpg"},
      {"a name before the numbers under the host", h + u"img12_0c.jpg", 0,
       {h, u"img", 1, 1, 1, 1, u"12", u"0c", u"0c", u".jpg"}, 13, h + u"img00_00.jpg", h + u"img12_0c.jpg"},
      {"digits in the host and a port", u"http://192.168.0.10:8080/gallery2/a05.jpg", 0,
       {u"http://192.168.0.10:8080/gallery2/a", u"old/", 0, 1, 0, 0, u"05", u"", u"", u".jpg"}, 6,
       u"http://192.168.0.10:8080/gallery2/a00.jpg", u"http://192.168.0.10:8080/gallery2/a05.jpg"},
      {"two numbers behind a port", u"http://img2.example.com:8080/s/03_03.jpg", 0,
       {u"http://img2.example.com:8080/", u"s/", 1, 1, 1, 1, u"03", u"03", u"03", u".jpg"}, 4,
       u"http://img2.example.com:8080/s/00_00.jpg", u"http://img2.example.com:8080/s/03_03.jpg"},
      {"a line break from the clipboard and blanks around", u" \t" + h + u"sam/12_0c.jpg\r\n", 0,
       {h, u"sam/", 1, 1, 1, 1, u"12", u"0c", u"0c", u".jpg"}, 13, h + u"sam/00_00.jpg", h + u"sam/12_0c.jpg"},
      {"ideographic and no-break spaces around", u"\u3000\u00A0" + h + u"sam/12_0c.jpg\u00A0\u3000", 0,
       {h, u"sam/", 1, 1, 1, 1, u"12", u"0c", u"0c", u".jpg"}, 13, h + u"sam/00_00.jpg", h + u"sam/12_0c.jpg"},
      {"three digits with two numbers end at 100 and 64", h + u"s/012_0c.jpg", 0,
       {h, u"s/", 1, 1, 1, 1, u"100", u"64", u"64", u".jpg"}, 101, h + u"s/000_00.jpg", h + u"s/100_64.jpg"},
      {"three digits from 100 with two numbers", h + u"s/150_96.jpg", 0,
       {h, u"s/", 1, 1, 1, 1, u"150", u"96", u"96", u".jpg"}, 151, h + u"s/000_00.jpg", h + u"s/150_96.jpg"},
      {"the last place of two numbers", h + u"s/01_01_03_03.jpg", 0,
       {h, u"s/01_01_", 1, 1, 1, 1, u"03", u"03", u"03", u".jpg"}, 4, h + u"s/01_01_00_00.jpg",
       h + u"s/01_01_03_03.jpg"},
      {"a one-digit first number falls back to the second", h + u"s/5_05.jpg", 0,
       {h + u"s/5_", u"old/", 0, 1, 0, 0, u"05", u"", u"", u".jpg"}, 6, h + u"s/5_00.jpg", h + u"s/5_05.jpg"},
      {"a folder of two slashes", h + u"a//07_07.jpg", 0, {h + u"a/", u"/", 1, 1, 1, 1, u"07", u"07", u"07", u".jpg"},
       8, h + u"a//00_00.jpg", h + u"a//07_07.jpg"},
      {"start 1: the second list one shorter", h + u"sam/12_0b.jpg", 1,
       {h, u"sam/", 1, 1, 1, 1, u"12", u"0b", u"0b", u".jpg"}, 12, h + u"sam/01_00.jpg", h + u"sam/12_0b.jpg"},
      {"start 1, the second number's last value", h + u"s/160_9f.jpg", 1,
       {h, u"s/", 1, 1, 1, 1, u"160", u"9f", u"9f", u".jpg"}, 160, h + u"s/001_00.jpg", h + u"s/160_9f.jpg"},
      {"start 1, three digits", h + u"p/p012.jpg", 1, {h + u"p/p", u"old/", 0, 1, 0, 0, u"100", u"", u"", u".jpg"},
       100, h + u"p/p001.jpg", h + u"p/p100.jpg"},
      {"start 1 and number 00: start 0 chosen", h + u"p/img00.png", 1,
       {h + u"p/img", u"old/", 0, 1, 0, 0, u"00", u"", u"", u".png"}, 1, h + u"p/img00.png", h + u"p/img00.png"},
      {"start 1 and 00_00: start 0 chosen", h + u"s/00_00.jpg", 1, {h, u"s/", 1, 1, 1, 1, u"00", u"00", u"00", u".jpg"},
       1, h + u"s/00_00.jpg", h + u"s/00_00.jpg"},
      {"no slash at all", u"12_0c.jpg", 0, {u"", u"", 0, 1, 1, 1, u"12", u"0c", u"0c", u".jpg"}, 13, u"00_00.jpg",
       u"12_0c.jpg"},
      {"a host of digits and a port, a real file", u"http://192.168.0.10:8080/img/07.jpg", 0,
       {u"http://192.168.0.10:8080/img/", u"old/", 0, 1, 0, 0, u"07", u"", u"", u".jpg"}, 8,
       u"http://192.168.0.10:8080/img/00.jpg", u"http://192.168.0.10:8080/img/07.jpg"},
      {"the digits of an escape are not the number", h + u"a/photo%2012.jpg", 0,
       {h + u"a/photo%20", u"old/", 0, 1, 0, 0, u"12", u"", u"", u".jpg"}, 13, h + u"a/photo%2000.jpg",
       h + u"a/photo%2012.jpg"},
      {"a slash in the query does not move the name", h + u"a/p05.jpg?u=/b/c", 0,
       {h + u"a/p", u"old/", 0, 1, 0, 0, u"05", u"", u"", u".jpg?u=/b/c"}, 6, h + u"a/p00.jpg?u=/b/c",
       h + u"a/p05.jpg?u=/b/c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SplitWindow w(c.startNumber);
    w.window.urltxt.SetText(c.urltxt);
    SplitUrlCommand(w.program);
    EXPECT_EQ(Fields::Of(w.window), c.fields);
    EXPECT_TRUE(w.platform.messages.empty());
    const String url(TrimmedUrl(c.urltxt));

    RunExpandCommand(w.program);
    const std::vector<String>& items = w.window.urllist.Items();
    ASSERT_EQ(static_cast<int>(items.size()), c.items);
    EXPECT_EQ(items.front(), c.first);
    EXPECT_EQ(items.back(), c.last);
    EXPECT_NE(std::find(items.begin(), items.end(), url), items.end());
    EXPECT_TRUE(w.platform.messages.empty());
  }
}

TEST(SplitUrl, TheStartNumberThatFitsIsChosenAsAClickWouldChooseIt) {
  struct Case {
    String url;
    int before, after;
  };
  const Case cases[] = {
      {u"http://example.com/p/img00.png", 1, 0},  // one number below the start
      {u"http://example.com/p/img01.png", 1, 1},  // one number keeps the start
      {u"http://example.com/s/12_0c.jpg", 1, 0},  // two numbers in step from 0 only
      {u"http://example.com/s/13_0c.jpg", 0, 1},  // two numbers in step from 1 only
      {u"http://example.com/s/160_9f.jpg", 0, 1},  // the second number's last value
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.url));
    SplitWindow w(c.before);
    w.window.urltxt.SetText(c.url);
    SplitUrlCommand(w.program);
    EXPECT_EQ(w.window.Option0.Value(), c.after == 0);
    EXPECT_EQ(w.window.Option1.Value(), c.after == 1);
    EXPECT_EQ(w.program.startNumber, c.after);
    EXPECT_TRUE(w.platform.messages.empty());
  }
}

TEST(SplitUrl, WhatCannotBeSplitChangesNothingAndSaysWhy) {
  const String h = u"http://example.com/";
  const String refused = kSplitRefusedMessage + u"\n";
  struct Case {
    const char* name;
    String urltxt;
    int startNumber;
    String message;
  };
  const Case cases[] = {
      {"one digit", h + u"a/5.jpg", 0, refused + u"2桁か3桁の番号だけを分解できます"},
      {"four digits", h + u"a/1234.jpg", 0, refused + u"2桁か3桁の番号だけを分解できます"},
      {"no digits", h + u"a/photo.jpg", 0, refused + u"連番になる数字が見つかりません"},
      {"digits only in the host and port", u"http://img2.example.com:8080/", 0,
       refused + u"連番になる数字が見つかりません"},
      {"upper-case hex is not made by the list", h + u"sam/12_0C.jpg", 0, refused + u"2桁か3桁の番号だけを分解できます"},
      {"a letter after the second number", h + u"sam/12_0cx.jpg", 0, refused + u"2桁か3桁の番号だけを分解できます"},
      {"two numbers that do not step together", h + u"s/05_0c.jpg", 0, refused + u"2つの番号が連動していません"},
      {"in step with neither start", h + u"sam/14_0c.jpg", 1, refused + u"2つの番号が連動していません"},
      {"a host and port without a path", u"http://example.com:80", 0, refused + u"連番になる数字が見つかりません"},
      {"digits in the host", u"http://img12.example.com", 0, refused + u"連番になる数字が見つかりません"},
      {"a query right after the host", u"http://x.com?p=12", 0, refused + u"連番になる数字が見つかりません"},
      {"a path ending in a slash", u"http://news24.example.com/a12/", 0, refused + u"連番になる数字が見つかりません"},
      {"an escape's digits only", h + u"a/photo%20.jpg", 0, refused + u"連番になる数字が見つかりません"},
      {"one digit after an escape", h + u"a/img%201.jpg", 0, refused + u"2桁か3桁の番号だけを分解できます"},
      {"two URLs on two lines", h + u"a/01.jpg\r\n" + h + u"a/02.jpg", 0, refused + u"URLに空白や改行が含まれています"},
      {"a blank inside", h + u"a b/01.jpg", 0, refused + u"URLに空白や改行が含まれています"},
      {"an ideographic space inside", h + u"a\u3000b/01.jpg", 0, refused + u"URLに空白や改行が含まれています"},
      {"a no-break space inside", h + u"a/01\u00A0.jpg", 0, refused + u"URLに空白や改行が含まれています"},
      {"ideographic spaces only", u"\u3000\u3000", 0, u"URLを入力して下さい"},
      {"four digits before the underscore", h + u"s/2012_0c.jpg", 0, refused + u"2桁か3桁の番号だけを分解できます"},
      {"past the second number's last value", h + u"s/161_9f.jpg", 0, refused + u"2つの番号が連動していません"},
      {"empty", u"", 0, u"URLを入力して下さい"},
      {"the prompt", kUrlPrompt, 0, u"URLを入力して下さい"},
      {"blanks and a line break", u"  \r\n", 0, u"URLを入力して下さい"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SplitWindow w(c.startNumber);
    w.window.urltxt.SetText(c.urltxt);
    const Fields before = Fields::Of(w.window);
    SplitUrlCommand(w.program);
    EXPECT_EQ(Fields::Of(w.window), before);
    EXPECT_EQ(w.program.startNumber, c.startNumber);
    EXPECT_EQ(w.platform.messages, (std::vector<ShownMessage>{{c.message, u"注意", kOkOnly}}));
  }
}

TEST(SplitUrl, TheClipboardWatcherSplitsCopiedUrlsWhenAsked) {
  const String h = u"http://example.com/";
  struct Case {
    const char* name;
    bool autoSplit;
    String copied;
    String urltxt;  // after the copy
    String text1;
    int searches = 0;  // how often the search was asked for after the copy
    bool autoFind = true;
  };
  const Case cases[] = {
      {"split at once, the search asked for", true, h + u"sam/12_0c.jpg\r\n", h, u"12", 1},
      {"split, the search off", true, h + u"sam/12_0c.jpg", h, u"12", 0, false},
      {"one number", true, h + u"photos/img07.png", h + u"photos/img", u"07", 1},
      {"an ideographic space after it", true, h + u"photos/img07.png\u3000", h + u"photos/img", u"07", 1},
      {"a no-break space inside: stays whole", true, h + u"a/0\u00A01.jpg", h + u"a/0\u00A01.jpg", u"5"},
      {"cannot be split: stays whole, no message", true, h + u"a/photo.jpg", h + u"a/photo.jpg", u"5"},
      {"one digit: stays whole", true, h + u"a/5.jpg", h + u"a/5.jpg", u"5"},
      {"off: the URL as copied", false, h + u"sam/12_0c.jpg\r\n", h + u"sam/12_0c.jpg\r\n", u"5"},
      {"not a URL: nothing", true, u"sam/12_0c.jpg", u"before", u"5"},
      {"two lines: stays whole", true, h + u"a/01.jpg\r\n" + h + u"a/02.jpg", h + u"a/01.jpg\r\n" + h + u"a/02.jpg",
       u"5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SplitWindow w;
    w.program.autoSplit = c.autoSplit;
    w.program.autoFind = c.autoFind;
    w.window.urltxt.SetText(u"before");
    InstallClipboardWatcher(w.program);
    w.clipboard.CopyText(c.copied);
    EXPECT_EQ(w.window.urltxt.GetText(), c.urltxt);
    EXPECT_EQ(w.window.text1.GetText(), c.text1);
    EXPECT_EQ(std::ranges::count(w.clipboard.calls, std::string("RequestSeriesSearch")), c.searches);
    EXPECT_TRUE(w.platform.messages.empty());
  }
}

TEST(SplitUrl, AnalysisOfTheTwoForms) {
  // The first number must be the second's position plus the start number.
  const SplitAnalysis linked = AnalyseUrlSplit(u"http://x/s/13_0c.jpg", 1);
  ASSERT_TRUE(linked.twoNumbers);
  EXPECT_EQ(linked.twoNumbers->secondEnd, u"0c");
  EXPECT_FALSE(linked.twoNumbers->selectStart);
  const SplitAnalysis fromOne = AnalyseUrlSplit(u"http://x/s/13_0c.jpg", 0);
  ASSERT_TRUE(fromOne.twoNumbers);
  EXPECT_EQ(fromOne.twoNumbers->selectStart, 1);
  EXPECT_FALSE(AnalyseUrlSplit(u"http://x/s/14_0c.jpg", 0).twoNumbers);
  EXPECT_TRUE(AnalyseUrlSplit(u"http://x/s/14_0c.jpg", 0).twoNumbersFound);
  EXPECT_FALSE(AnalyseUrlSplit(u"http://x/s/p13.jpg", 0).twoNumbersFound);
  EXPECT_FALSE(AnalyseUrlSplit(u"http://x/s/photo.jpg", 0).hasDigits);
}

}  // namespace
}  // namespace velnor::testing
