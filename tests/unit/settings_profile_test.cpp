// The settings file's platform without Windows: whole files read and replaced, in memory and
// on disk in a folder of the test's own; and a section cut in the middle of a character.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "base/cp932.h"
#include "settings/ini_text.h"
#include "settings/portable_profile.h"
#include "settings/settings_file.h"

namespace velnor {
namespace {

using namespace std::string_literals;

const String kPath = u"C:\\Velnor\\Velnor.ini";

TEST(PortableProfile, AFolderInThePlaceOfTheFileIsNeitherReadNorReplaced) {
  MemoryProfile profile(u"C:\\Velnor");
  EXPECT_EQ(profile.ReadWholeFile(kPath), std::nullopt);
  profile.folders.insert(kPath);
  EXPECT_TRUE(profile.PathFileExists(kPath));
  EXPECT_FALSE(profile.FindOrdinaryFile(kPath));
  EXPECT_FALSE(profile.ReplaceWholeFile(kPath, "[A]\r\n"));
  EXPECT_EQ(profile.files.count(kPath), 0u);
}

// The limit counts bytes; the text comes back in characters.
TEST(PortableProfile, ASectionCutAfterTheFirstByteOfACharacter) {
  // "k=" and 20 000 two-byte characters: cut at 32 765 bytes, that is "k=", 16 381
  // characters and the first byte of the next one, which reads as one U+30FB.
  const String value(20000, u'写');
  const std::string file = "[A]\r\n" + cp932::Encode(u"k=" + value) + "\r\n";
  const String cut = cp932::Decode(ini::ReadSection(file, "A", 32767));
  ASSERT_EQ(cut.size(), 2u + 16381u + 1u);
  EXPECT_EQ(cut, u"k=" + value.substr(0, 16381) + u'\u30FB');
  EXPECT_EQ(cp932::Decode(ini::ReadSection(file, "A", 50000)), u"k=" + value + u'\0');
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

TEST_F(IniFileProfileTest, CreatesAndReplacesTheFileWhole) {
  IniFileProfile profile(Folder());
  const String path = PathOf("Velnor.ini");
  EXPECT_FALSE(profile.PathFileExists(path));
  EXPECT_EQ(profile.ReadWholeFile(path), std::nullopt);
  ASSERT_TRUE(profile.ReplaceWholeFile(path, "[B]\r\nb=2\r\n"));
  ASSERT_TRUE(profile.ReplaceWholeFile(path, "[A]\r\na=\x8E\xCA\r\n"));
  EXPECT_EQ(Bytes("Velnor.ini"), "[A]\r\na=\x8E\xCA\r\n");
  EXPECT_EQ(profile.ReadWholeFile(path), "[A]\r\na=\x8E\xCA\r\n");
  EXPECT_TRUE(profile.PathFileExists(path));
  EXPECT_TRUE(profile.FindOrdinaryFile(path));
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()), 1);
}

// A save cut off leaves its temporary file; the next one writes over it, and nothing piles up.
TEST_F(IniFileProfileTest, OneTemporaryFileOfAFixedName) {
  const struct {
    const char16_t* path;
    const char16_t* temporary;
  } names[] = {{u"C:\\Velnor\\Velnor.ini", u"C:\\Velnor\\Velnor.in~"}, {u"D:\\a~", u"D:\\a_"},
               {u"x", u"~"}, {u"C:\\", u""}};
  for (const auto& n : names) EXPECT_EQ(SettingsTemporaryPath(n.path), n.temporary) << ToUtf8(n.path);

  IniFileProfile profile(Folder());
  Put("Velnor.in~", "[A]\r\na=");
  std::filesystem::permissions(folder_ / "Velnor.in~", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  for (const char* bytes : {"[B]\r\nb=2\r\n", "[C]\r\n"}) {
    ASSERT_TRUE(profile.ReplaceWholeFile(PathOf("Velnor.ini"), bytes));
    EXPECT_EQ(Bytes("Velnor.ini"), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()), 1);
  }
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
    EXPECT_EQ(profile.PathFileExists(PathOf(c.name)), c.exists) << c.name;
    EXPECT_EQ(profile.FindOrdinaryFile(PathOf(c.name)), c.ordinary) << c.name;
  }
  EXPECT_TRUE(profile.PathFileExists(Folder()));
  EXPECT_FALSE(profile.FindOrdinaryFile(Folder()));
}

TEST_F(IniFileProfileTest, AWriteThatCannotReachTheDiskFails) {
  IniFileProfile profile(Folder());
  EXPECT_FALSE(profile.ReplaceWholeFile(PathOf("missing") + u"\\Velnor.ini", "[A]\r\n"));
  std::filesystem::create_directory(folder_ / "Velnor.ini");
  EXPECT_FALSE(profile.ReplaceWholeFile(PathOf("Velnor.ini"), "[A]\r\n"));
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "Velnor.ini"));
}

TEST_F(IniFileProfileTest, FolderNamesOutsideTheCodePage) {
  for (const char* name : {"設定", "app한"}) {
    std::filesystem::create_directory(folder_ / std::u8string(reinterpret_cast<const char8_t*>(name)));
    const String path = PathOf(name) + u"\\Velnor.ini";
    ASSERT_TRUE(IniFileProfile(PathOf(name)).ReplaceWholeFile(path, "[A]\r\n")) << name;
    EXPECT_EQ(IniFileProfile(PathOf(name)).ReadWholeFile(path), "[A]\r\n") << name;
  }
}

}  // namespace
}  // namespace velnor
