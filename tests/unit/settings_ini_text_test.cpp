// The INI format on the byte level: what a whole-section read hands back, and what a
// whole-section write leaves in the file.
#include <gtest/gtest.h>

#include <string>

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

struct WriteCase {
  const char* name;
  std::string file;
  std::string section;
  std::string text;
  std::string expected;
};

TEST(IniReplaceSection, ReplacesOneSectionAndKeepsEveryOtherLine) {
  const WriteCase cases[] = {
      {"new file", "", "A", "k=v\0\0"s, "[A]\r\nk=v\r\n"},
      {"entries in order, empty values kept", "", "A", "b=\0a=1\0\0"s, "[A]\r\nb=\r\na=1\r\n"},
      {"section added at the end", "[B]\r\nx=1\r\n", "A", "k=v\0\0"s, "[B]\r\nx=1\r\n[A]\r\nk=v\r\n"},
      {"line end added before a new section", "[B]\r\nx=1", "A", "k=v\0\0"s, "[B]\r\nx=1\r\n[A]\r\nk=v\r\n"},
      {"every entry replaced, blank lines and comments too",
       "[A]\r\nold=1\r\n;note\r\n\r\nk=0\r\n", "A", "k=v\0\0"s, "[A]\r\nk=v\r\n"},
      {"sections before and after kept byte for byte",
       "; top\n[B]\nx = 1\n\n[A]\r\nk=0\r\n[C]\r\ny=\x8E\xCA\r\n", "A", "k=1\0\0"s,
       "; top\n[B]\nx = 1\n\n[A]\r\nk=1\r\n[C]\r\ny=\x8E\xCA\r\n"},
      {"the file's spelling of the name kept", "[a]\r\nk=0\r\n", "A", "k=1\0\0"s, "[a]\r\nk=1\r\n"},
      {"header without a line end at the end of the file", "[A]", "A", "k=1\0\0"s, "[A]\r\nk=1\r\n"},
      {"entries without = dropped", "", "A", "junk\0k=v\0\0"s, "[A]\r\nk=v\r\n"},
      {"the list ends at an empty entry", "", "A", "a=1\0\0b=2\0\0"s, "[A]\r\na=1\r\n"},
      {"no entries leaves the header", "[A]\r\nk=0\r\n[B]\r\n", "A", "\0"s, "[A]\r\n[B]\r\n"},
      {"a second section of the name emptied", "[A]\r\na=1\r\n[B]\r\n[A]\r\nb=2\r\n", "A", "k=v\0\0"s,
       "[A]\r\nk=v\r\n[B]\r\n[A]\r\n"},
      {"values written unchanged", "", "A", " k = a=b/ \0\0"s, "[A]\r\n k = a=b/ \r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceSection(c.file, c.section, c.text), c.expected) << c.name;
  }
}

TEST(IniReplaceSection, WhatIsWrittenReadsBack) {
  std::string file = "[X]\r\nkeep=1\r\n";
  const std::string a = "SUBFOLDER1=sam/\0SUBFOLDER2=\0SUBFOLDER3=\x8E\xCA\x90\x5E/\0"s;
  const std::string b = "LAST-KAKU=.jpg\0"s;
  file = ReplaceSection(file, "A", a + '\0');
  file = ReplaceSection(file, "B", b + '\0');
  file = ReplaceSection(file, "A", a + '\0');  // a second write changes nothing
  EXPECT_EQ(ReadSection(file, "A", kBuffer), a);
  EXPECT_EQ(ReadSection(file, "B", kBuffer), b);
  EXPECT_EQ(ReadSection(file, "X", kBuffer), "keep=1\0"s);
}

}  // namespace
}  // namespace velnor::ini
