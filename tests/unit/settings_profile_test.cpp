// The portable profile functions: texts in and out as the program's String, Shift_JIS on
// disk, the buffer limit counted in bytes, and real files in a folder of the test's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "settings/portable_profile.h"

namespace velnor {
namespace {

using namespace std::string_literals;

const String kPath = u"C:\\Velnor\\Velnor.ini";
const String kSection = u"終了時フォルダ";
const std::string kSectionBytes = "\x8F\x49\x97\xB9\x8E\x9E\x83\x74\x83\x48\x83\x8B\x83\x5F";

// The section text a read hands back: the first `count` characters of the buffer.
String Read(ProfilePlatform& profile, const String& section, int size = 32767, const String& path = kPath) {
  String buffer;
  const int count = profile.GetPrivateProfileSectionA(section, buffer, size, path);
  EXPECT_GE(count, 0);
  EXPECT_LE(static_cast<size_t>(count), buffer.size());
  return buffer.substr(0, static_cast<size_t>(count));
}

TEST(PortableProfile, ReadsNothingFromAMissingFileOrSection) {
  MemoryProfile profile(u"C:\\Velnor");
  EXPECT_EQ(Read(profile, kSection), u"");
  profile.files[kPath].bytes = "[" + kSectionBytes + "]\r\n[other]\r\nk=v\r\n";
  EXPECT_EQ(Read(profile, kSection), u"");
  EXPECT_EQ(Read(profile, u"missing"), u"");
}

TEST(PortableProfile, WritesShiftJisWithCrLfAndReadsItBack) {
  MemoryProfile profile(u"C:\\Velnor");
  const String text = u"LAST-FLD=写真/ｶﾞ\0"s + u'\0';
  ASSERT_TRUE(profile.WritePrivateProfileSectionA(kSection, text, kPath));
  EXPECT_EQ(profile.files.at(kPath).bytes, "[" + kSectionBytes + "]\r\nLAST-FLD=\x8E\xCA\x90\x5E/\xB6\xDE\r\n");
  EXPECT_EQ(Read(profile, kSection), u"LAST-FLD=写真/ｶﾞ\0"s);
}

TEST(PortableProfile, ReadsAHandWrittenShiftJisFile) {
  MemoryProfile profile(u"C:\\Velnor");
  profile.files[kPath].bytes = "[" + kSectionBytes + "]\nLAST-FLD = \x8E\xCA\x90\x5E/\n";
  EXPECT_EQ(Read(profile, kSection), u"LAST-FLD=写真/\0"s);
}

TEST(PortableProfile, TextOutsideTheCodePageBecomesAQuestionMark) {
  MemoryProfile profile(u"C:\\Velnor");
  ASSERT_TRUE(profile.WritePrivateProfileSectionA(kSection, u"LAST-FLD=한/\0"s + u'\0', kPath));
  EXPECT_EQ(Read(profile, kSection), u"LAST-FLD=?/\0"s);
}

TEST(PortableProfile, CountsTheLimitInBytesAndTheResultInCharacters) {
  MemoryProfile profile(u"C:\\Velnor");
  // "k=" and 20 000 two-byte characters: 40 002 bytes with the entry's NUL, 20 003 characters.
  const String value(20000, u'写');
  ASSERT_TRUE(profile.WritePrivateProfileSectionA(u"A", u"k=" + value + u'\0' + u'\0', kPath));

  EXPECT_EQ(Read(profile, u"A", 50000), u"k=" + value + u'\0');
  // Cut at 32 765 bytes: "k=", 16 381 characters and the first byte of the next one, which
  // comes back as one replacement character.
  const String cut = Read(profile, u"A", 32767);
  ASSERT_EQ(cut.size(), 2u + 16381u + 1u);
  EXPECT_EQ(cut.substr(0, 2 + 16381), u"k=" + value.substr(0, 16381));
}

TEST(PortableProfile, WriteLeavesOtherSectionsAndFilesAlone) {
  MemoryProfile profile(u"C:\\Velnor");
  const String other = u"C:\\Other\\Velnor.ini";
  profile.files[other].bytes = "[A]\r\nk=0\r\n";
  profile.files[kPath].bytes = "[unknown]\r\nmine=1\r\n[A]\r\nk=0\r\n";
  ASSERT_TRUE(profile.WritePrivateProfileSectionA(u"A", u"k=1\0\0"s, kPath));
  EXPECT_EQ(profile.files.at(kPath).bytes, "[unknown]\r\nmine=1\r\n[A]\r\nk=1\r\n");
  EXPECT_EQ(profile.files.at(other).bytes, "[A]\r\nk=0\r\n");
}

TEST(PortableProfile, AFolderInThePlaceOfTheFileIsNeitherReadNorReplaced) {
  MemoryProfile profile(u"C:\\Velnor");
  profile.folders.insert(kPath);
  EXPECT_TRUE(profile.PathFileExistsA(kPath));
  EXPECT_FALSE(profile.FindOrdinaryFile(kPath));
  EXPECT_FALSE(profile.WritePrivateProfileSectionA(u"A", u"k=1\0\0"s, kPath));
  EXPECT_EQ(profile.files.count(kPath), 0u);
}

// A folder of the test's own, removed afterwards.
class IniFileProfileTest : public ::testing::Test {
 protected:
  IniFileProfileTest() {
    folder_ = std::filesystem::temp_directory_path() /
              ("velnor-settings-" + std::to_string(std::random_device{}()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~IniFileProfileTest() override { std::filesystem::remove_all(folder_); }

  String Folder() const { return FromUtf8(folder_.string()); }
  // The Windows-style path the settings code builds: folder, backslash, name.
  String PathOf(const std::string& name) const { return Folder() + u"\\" + FromUtf8(name); }
  std::string Bytes(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }

  std::filesystem::path folder_;
};

TEST_F(IniFileProfileTest, CreatesTheFileAndKeepsSectionsInWriteOrder) {
  IniFileProfile profile(Folder());
  const String path = PathOf("Velnor.ini");
  EXPECT_FALSE(profile.PathFileExistsA(path));
  ASSERT_TRUE(profile.WritePrivateProfileSectionA(u"B", u"b=2\0\0"s, path));
  ASSERT_TRUE(profile.WritePrivateProfileSectionA(u"A", u"a=1\0\0"s, path));
  ASSERT_TRUE(profile.WritePrivateProfileSectionA(u"B", u"b=3\0\0"s, path));
  EXPECT_EQ(Bytes("Velnor.ini"), "[B]\r\nb=3\r\n[A]\r\na=1\r\n");
  EXPECT_TRUE(profile.PathFileExistsA(path));
  EXPECT_TRUE(profile.FindOrdinaryFile(path));
  EXPECT_EQ(Read(profile, u"A", 32767, path), u"a=1\0"s);
}

TEST_F(IniFileProfileTest, LooksUpOrdinaryFilesOnly) {
  IniFileProfile profile(Folder());
  Put(".hidden.ini", "[A]\r\na=1\r\n");
  std::filesystem::create_directory(folder_ / "Velnor.ini");
  struct Case {
    std::string name;
    bool exists;
    bool ordinary;
  };
  const Case cases[] = {{".hidden.ini", true, false}, {"Velnor.ini", true, false}, {"none.ini", false, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(profile.PathFileExistsA(PathOf(c.name)), c.exists) << c.name;
    EXPECT_EQ(profile.FindOrdinaryFile(PathOf(c.name)), c.ordinary) << c.name;
  }
  EXPECT_TRUE(profile.PathFileExistsA(Folder()));
  EXPECT_FALSE(profile.FindOrdinaryFile(Folder()));
}

TEST_F(IniFileProfileTest, AWriteThatCannotReachTheDiskFails) {
  IniFileProfile profile(Folder());
  EXPECT_FALSE(profile.WritePrivateProfileSectionA(u"A", u"a=1\0\0"s, PathOf("missing") + u"\\Velnor.ini"));
  std::filesystem::create_directory(folder_ / "Velnor.ini");
  EXPECT_FALSE(profile.WritePrivateProfileSectionA(u"A", u"a=1\0\0"s, PathOf("Velnor.ini")));
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "Velnor.ini"));
}

TEST_F(IniFileProfileTest, JapaneseFolderNames) {
  std::filesystem::create_directory(folder_ / u8"設定");
  IniFileProfile profile(PathOf("設定"));
  const String path = PathOf("設定") + u"\\Velnor.ini";
  ASSERT_TRUE(profile.WritePrivateProfileSectionA(kSection, u"LAST-FLD=sam/\0\0"s, path));
  EXPECT_TRUE(std::filesystem::is_regular_file(folder_ / u8"設定" / "Velnor.ini"));
  EXPECT_EQ(Read(profile, kSection, 32767, path), u"LAST-FLD=sam/\0"s);
}

}  // namespace
}  // namespace velnor
