// The INI format on the byte level: what a whole-section read hands back, and what a
// whole-section write leaves in the file.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/ini_text.h"

namespace velnor::ini {
namespace {

using namespace std::string_literals;

constexpr int kBuffer = 32767;

struct ReadCase {
  const char* name;
  std::string file;
  std::string section;
  std::string expected;
};

TEST(IniReadSection, HandsBackTheEntriesOfTheSection) {
  const ReadCase cases[] = {
      {"missing file content", "", "A", ""},
      {"missing section", "[B]\r\nk=v\r\n", "A", ""},
      {"section without entries", "[A]\r\n[B]\r\nk=v\r\n", "A", ""},
      {"only blank lines and comments", "[A]\r\n\r\n  \r\n;k=v\r\n", "A", ""},
      {"entries in file order", "[A]\r\nb=2\r\na=1\r\n", "A", "b=2\0a=1\0"s},
      {"the section's own entries only", "[A]\r\na=1\r\n[B]\r\nb=2\r\n", "A", "a=1\0"s},
      {"a later section", "[A]\r\na=1\r\n[B]\r\nb=2\r\n", "B", "b=2\0"s},
      {"LF line ends", "[A]\na=1\nb=2\n", "A", "a=1\0b=2\0"s},
      {"lone CR line ends", "[A]\ra=1\rb=2", "A", "a=1\0b=2\0"s},
      {"no line end after the last entry", "[A]\r\na=1", "A", "a=1\0"s},
      {"blanks around = and at the ends dropped", "[A]\r\n \tkey \t= \tx y \t\r\n", "A", "key=x y\0"s},
      {"empty value", "[A]\r\nSUBFOLDER7=\r\n", "A", "SUBFOLDER7=\0"s},
      {"a second = stays in the value", "[A]\r\nSUBFOLDER2=a=b/\r\n", "A", "SUBFOLDER2=a=b/\0"s},
      {"a line without = comes back bare", "[A]\r\njunk\r\nk=v\r\n", "A", "junk\0k=v\0"s},
      {"duplicate keys both kept", "[A]\r\nk=1\r\nk=2\r\n", "A", "k=1\0k=2\0"s},
      {"ASCII letter case of the name ignored", "[Check]\r\nk=v\r\n", "CHECK", "k=v\0"s},
      {"blanks inside the brackets ignored", "  [ A ]  \r\nk=v\r\n", "A", "k=v\0"s},
      {"entries before any section belong to none", "k=v\r\n[A]\r\n", "A", ""},
      {"only the first of two sections of a name", "[A]\r\na=1\r\n[A]\r\nb=2\r\n", "A", "a=1\0"s},
      // "ア" is 83 41 and "ヂ" 83 61: a second byte is no letter to fold.
      {"second byte of a Japanese name not folded", "[\x83\x61]\r\nk=v\r\n", "\x83\x41", ""},
      // "ゾ" is 83 5D: its second byte is the code of "]".
      {"second byte equal to ]", "[\x83\x5D]\r\nk=v\r\n", "\x83\x5D", "k=v\0"s},
      {"Shift_JIS section and value",
       "[\x8F\x49\x97\xB9\x8E\x9E\x83\x74\x83\x48\x83\x8B\x83\x5F]\r\nLAST-FLD=\x8E\xCA\x90\x5E/\r\n",
       "\x8F\x49\x97\xB9\x8E\x9E\x83\x74\x83\x48\x83\x8B\x83\x5F", "LAST-FLD=\x8E\xCA\x90\x5E/\0"s},
      {"NUL byte inside a line ends it", "[A]\r\na=1\0b=2\r\n"s, "A", "a=1\0"s},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadSection(c.file, c.section, kBuffer), c.expected) << c.name;
  }
}

TEST(IniReadSection, CutsTheTextThatDoesNotFitTheBufferWithItsFinalNul) {
  // "k=12345\0" is 8 bytes; with the final NUL it needs 9.
  const std::string file = "[A]\r\nk=12345\r\n";
  struct Case {
    int size;
    std::string expected;
  };
  const Case cases[] = {
      {100, "k=12345\0"s},
      {10, "k=12345\0"s},  // 8 + 1 < 10: fits
      {9, "k=12345"},  // exactly full counts as cut: size - 2 bytes, the NUL lost
      {5, "k=1"},
      {2, ""},
      {1, ""},
      {0, ""},
      {-1, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadSection(file, "A", c.size), c.expected) << "size " << c.size;
  }
}

TEST(IniReadSection, StopsAtTheBufferSizeForHugeSections) {
  std::string file = "[A]\r\n";
  for (int i = 0; i < 10000; ++i) file += "KEY" + std::to_string(i) + "=value\r\n";
  file += "[B]\r\nb=1\r\n" + std::string(100000, 'x') + "\r\nc=2\r\n";
  const std::string a = ReadSection(file, "A", kBuffer);
  EXPECT_EQ(a.size(), static_cast<size_t>(kBuffer - 2));
  EXPECT_EQ(a.substr(0, 11), "KEY0=value\0"s);
  const std::string b = ReadSection(file, "B", kBuffer);
  EXPECT_EQ(b.size(), static_cast<size_t>(kBuffer - 2));
  EXPECT_EQ(b.substr(0, 4), "b=1\0"s);
}

// UTF-8 names: no byte of a multi-byte character is looked at as a lead byte. "チ" is
// E3 83 81, and 81 would be a lead byte in code page 932 and take the "]" with it.
TEST(IniReadSection, Utf8NamesEndingInAByteThatLeadsInCodePage932) {
  const std::string file = "[\xE3\x83\x81]\r\nk=v\r\n";
  EXPECT_EQ(ReadSection(file, "\xE3\x83\x81", kBuffer, Encoding::kUtf8), "k=v\0"s);
  EXPECT_TRUE(HasSection(file, "\xE3\x83\x81", Encoding::kUtf8));
  EXPECT_EQ(ReadSection(file, "\xE3\x83\x81", kBuffer, Encoding::kCp932), "");
  EXPECT_FALSE(HasSection(file, "\xE3\x83\x81", Encoding::kCp932));
}

struct WriteCase {
  const char* name;
  std::string file;
  std::vector<Entry> entries;
  std::string expected;
};

TEST(IniUpdateEntries, SetsTheKeysAndKeepsEveryOtherLine) {
  const WriteCase cases[] = {
      {"new file", "", {{"A", "k", "v"}}, "[A]\r\nk=v\r\n"},
      {"entries in order, empty values kept", "", {{"A", "b", ""}, {"A", "a", "1"}}, "[A]\r\nb=\r\na=1\r\n"},
      {"section added at the end", "[B]\r\nx=1\r\n", {{"A", "k", "v"}}, "[B]\r\nx=1\r\n[A]\r\nk=v\r\n"},
      {"line end added before a new section", "[B]\r\nx=1", {{"A", "k", "v"}}, "[B]\r\nx=1\r\n[A]\r\nk=v\r\n"},
      {"other keys, comments and blank lines of the section kept",
       "[A]\r\nold=1\r\n;note\r\n\r\nk=0\r\n", {{"A", "k", "v"}}, "[A]\r\nold=1\r\n;note\r\n\r\nk=v\r\n"},
      {"sections before and after kept byte for byte",
       "; top\n[B]\nx = 1\n\n[A]\r\nk=0\r\n[C]\r\ny=\x8E\xCA\r\n", {{"A", "k", "1"}},
       "; top\n[B]\nx = 1\n\n[A]\r\nk=1\r\n[C]\r\ny=\x8E\xCA\r\n"},
      {"the file's spelling of the name kept", "[a]\r\nk=0\r\n", {{"A", "k", "1"}}, "[a]\r\nk=1\r\n"},
      {"header without a line end at the end of the file", "[A]", {{"A", "k", "1"}}, "[A]\r\nk=1\r\n"},
      {"a changed line keeps its line end", "[A]\nk=0\nj=1", {{"A", "k", "1"}, {"A", "j", "2"}}, "[A]\nk=1\nj=2"},
      {"a line whose value is already that stays as it is", "[A]\r\n k = v \n", {{"A", "k", "v"}}, "[A]\r\n k = v \n"},
      {"a missing key after the key before it", "[A]\r\na=1\r\nc=3\r\n;end\r\n",
       {{"A", "a", "1"}, {"A", "b", "2"}, {"A", "c", "3"}}, "[A]\r\na=1\r\nb=2\r\nc=3\r\n;end\r\n"},
      {"a missing first key after the header", "[A]\r\n;c\r\nb=2\r\n", {{"A", "a", "1"}, {"A", "b", "2"}},
       "[A]\r\na=1\r\n;c\r\nb=2\r\n"},
      {"a key twice: the last line takes the value", "[A]\r\nk=1\r\nx=0\r\nk=2\r\n", {{"A", "k", "3"}},
       "[A]\r\nx=0\r\nk=3\r\n"},
      {"a key of another of the sections goes", "[A]\r\nk=1\r\nm=5\r\n[B]\r\nm=2\r\n",
       {{"A", "k", "1"}, {"B", "m", "3"}}, "[A]\r\nk=1\r\n[B]\r\nm=3\r\n"},
      {"a key in a section not of the entries stays", "[X]\r\nk=9\r\n[A]\r\nk=1\r\n", {{"A", "k", "2"}},
       "[X]\r\nk=9\r\n[A]\r\nk=2\r\n"},
      {"a second section of the name is not read, so it stays", "[A]\r\na=1\r\n[B]\r\n[A]\r\nk=2\r\n",
       {{"A", "k", "v"}}, "[A]\r\nk=v\r\na=1\r\n[B]\r\n[A]\r\nk=2\r\n"},
      {"a comment is no key", "[A]\r\n;k=1\r\n", {{"A", "k", "2"}}, "[A]\r\nk=2\r\n;k=1\r\n"},
      {"values written unchanged", "", {{"A", "k", " a=b/ "}}, "[A]\r\nk= a=b/ \r\n"},
      {"a value that cannot be written keeps the line", "[A]\r\nk = old\r\n", {{"A", "k", std::nullopt}},
       "[A]\r\nk = old\r\n"},
      {"... and is empty when there was none", "", {{"A", "k", std::nullopt}}, "[A]\r\nk=\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UpdateEntries(c.file, c.entries), c.expected) << c.name;
  }
  // The UTF-8 name of the test above is found as a section and updated in place.
  const Entry utf8[] = {{"\xE3\x83\x81", "k", "1"}};
  EXPECT_EQ(UpdateEntries("[\xE3\x83\x81]\r\nk=0\r\n", utf8, Encoding::kUtf8), "[\xE3\x83\x81]\r\nk=1\r\n");
}

TEST(IniUpdateEntries, WhatIsWrittenReadsBack) {
  const std::string a = "SUBFOLDER1=sam/\0SUBFOLDER2=\0SUBFOLDER3=\x8E\xCA\x90\x5E/\0"s;
  const std::string b = "LAST-KAKU=.jpg\0"s;
  const Entry entries[] = {{"A", "SUBFOLDER1", "sam/"}, {"A", "SUBFOLDER2", ""},
                           {"A", "SUBFOLDER3", "\x8E\xCA\x90\x5E/"}, {"B", "LAST-KAKU", ".jpg"}};
  const std::string once = UpdateEntries("[X]\r\nkeep=1\r\n[B]\r\nLAST-KAKU=.png\r\nSUBFOLDER1=b/\r\n", entries);
  EXPECT_EQ(UpdateEntries(once, entries), once) << "a second write changes nothing";
  EXPECT_EQ(ReadSection(once, "A", kBuffer), a);
  EXPECT_EQ(ReadSection(once, "B", kBuffer), b);
  EXPECT_EQ(ReadSection(once, "X", kBuffer), "keep=1\0"s);
}

}  // namespace
}  // namespace velnor::ini
