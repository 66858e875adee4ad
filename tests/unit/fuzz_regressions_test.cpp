// Inputs the fuzzers found faults with, kept as cases.
#include <gtest/gtest.h>

#include <string>

#include "base/cp932.h"
#include "model_program.h"
#include "settings/ini_text.h"
#include "settings/portable_profile.h"
#include "settings/settings_file.h"

namespace velnor {
namespace {

// A NUL byte inside a line of the settings file. The profile functions hand keys, values and
// section names over as C strings, so each of them ends at its first NUL and the rest of the
// line is lost; a NUL never splits a line into further entries. Expected texts as
// GetPrivateProfileSectionA returns them under Wine 8 (entries each followed by a NUL).
TEST(FuzzRegressions, NulInsideALineEndsTheKeyValueOrSectionName) {
  using namespace std::string_literals;
  struct Case {
    const char* name;
    std::string file;
    std::string section;
    std::string expected;
  };
  const Case cases[] = {
      {"value cut, blanks before the NUL kept", "[S]\r\nA=x\x1a\x1a\0B=2\r\nC = y \0 \tD=3 \r\n"s, "S", "A=x\x1a\x1a\0C=y \0"s},
      {"value that is only a blank before the NUL", "[S]\r\nE=\t\0\0\0001z\r\n"s, "S", "E=\0"s},
      {"key cut", "[S]\r\nCH\0ECK1=1\r\n \0 =2\r\n\0X=1\r\n"s, "S", "CH=1\0=2\0=1\0"s},
      {"line without =", "[S]\r\nAB\0CD\r\n\0abc\r\nK=v\r\n"s, "S", "AB\0K=v\0"s},
      {"a bracket after the NUL still makes a section line", "[S]\r\nK=v\r\n[\0T]\r\nL=2\r\n"s, "S", "K=v\0"s},
      {"section name cut", "[T]\r\nA=1\r\n[S\0x]\r\nB=2\r\n[S]\r\nC=3\r\n"s, "S", "B=2\0"s},
      {"section name trimmed, then cut", "[ S \0x]\r\nB=2\r\n"s, "S ", "B=2\0"s},
      {"trimmed name with a blank before the NUL is another name", "[ S \0x]\r\nB=2\r\n"s, "S", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini::ReadSection(c.file, c.section, 200), c.expected) << c.name;
  }
}

// What the user sees of it: text after a NUL in one entry does not set another key.
TEST(FuzzRegressions, NulInsideAValueSetsNoFurtherKey) {
  using namespace std::string_literals;
  testing::ModelProgram m;
  MemoryProfile profile{u"C:\\Velnor"};
  m.program.profile = &profile;
// GCC 12 at -O2 and above reports a -Wrestrict overlap inside libstdc++'s inlined
// operator+(const char*, std::string&&), a known false alarm of that compiler
// (the bounds it prints are impossible); nothing else here is exempt.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
  const std::string file = "[" + cp932::Encode(u"チェック") + "]\r\nCHECK1=1\r\n[" +
                           cp932::Encode(u"終了時フォルダ") + "]\r\nLAST-FLD=photos/\0CHECK1=0\r\n"s + "[" +
                           cp932::Encode(u"拡張子") + "]\r\nKAKUTYOUSI1=.jpg\0KAKUTYOUSI2=\t.png\r\n"s;
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
  profile.files[SettingsFilePath(u"C:\\Velnor")].bytes = file;
  LoadSettings(m.program);
  EXPECT_EQ(m.window.Check3.Value(), 1);
  EXPECT_EQ(m.window.Combo2.GetText(), u"photos/");
  EXPECT_EQ(m.window.Combo1.Items(), std::vector<String>{u".jpg"});
}

// A line that ends in a lead byte (F2, then LF): the entry after it is still read, and the
// exit keeps that line as it was.
TEST(FuzzRegressions, ALeadByteAtTheEndOfALineTakesNoEntryWithIt) {
  testing::ModelProgram m;
  MemoryProfile profile{u"C:\\Velnor"};
  m.program.profile = &profile;
  std::string file = "[";  // (appended: see the -Wrestrict note above)
  file += cp932::Encode(u"チェック") + "]\r\nC\xCE\xF2\nCHECK3=False\r\n";
  profile.files[SettingsFilePath(u"C:\\Velnor")].bytes = file;
  LoadSettings(m.program);
  EXPECT_TRUE(m.window.Option1.Value());
  EXPECT_NE(SettingsFileBytes(m.program, file).find("\r\nC\xCE\xF2\nCHECK3=False\r\nCHECK4=0\r\n"), std::string::npos);
}

}  // namespace
}  // namespace velnor
