#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "app/help_command.h"
#include "app/shell_platform.h"
#include "app/single_instance.h"
#include "model_program.h"

namespace velnor {
namespace {

// Records what the program asks of the shell; answers as a test tells it to.
class FakeShell : public ShellPlatform {
 public:
  struct Opened {
    String document;
    String workingFolder;
    bool operator==(const Opened&) const = default;
  };

  bool OpenDocument(const String& document, const String& workingFolder) override {
    opened.push_back({document, workingFolder});
    return openSucceeds;
  }
  bool AnotherInstanceRunning() override {
    ++instanceChecks;
    return anotherRunning;
  }
  bool HandOver(const String&) override { return false; }

  std::vector<Opened> opened;
  bool openSucceeds = true;
  bool anotherRunning = false;
  int instanceChecks = 0;
};

struct ShellProgram : testing::ModelProgram {
  ShellProgram() { program.shell = &shell; }
  FakeShell shell;
};

TEST(SetUpHelpFile, PutsExactlyOneBackslashBetweenFolderAndFile) {
  struct Case {
    const char16_t* folder;
    const char16_t* programFolder;
    const char16_t* helpFile;
  } const cases[] = {
      {u"C:\\Tools\\Velnor", u"C:\\Tools\\Velnor\\", u"C:\\Tools\\Velnor\\Velnor.chm"},
      {u"C:\\", u"C:\\", u"C:\\Velnor.chm"},  // a drive root already ends in one
      {u"D:\\ツール\\連番", u"D:\\ツール\\連番\\", u"D:\\ツール\\連番\\Velnor.chm"},
      {u"\\\\server\\share", u"\\\\server\\share\\", u"\\\\server\\share\\Velnor.chm"},
      {u"C:\\Tools\\Velnor\\", u"C:\\Tools\\Velnor\\", u"C:\\Tools\\Velnor\\Velnor.chm"},
      // A folder ending in "/" is not a folder ending in "\": the backslash is still added.
      {u"Z:/opt/velnor/", u"Z:/opt/velnor/\\", u"Z:/opt/velnor/\\Velnor.chm"},
  };
  for (const auto& c : cases) {
    ShellProgram p;
    EXPECT_EQ(SetUpHelpFile(p.program, c.folder), c.helpFile) << ToUtf8(c.folder);
    EXPECT_EQ(p.program.programFolder, c.programFolder) << ToUtf8(c.folder);
  }
}

TEST(OpenHelpFile, AsksTheShellForTheBareFileNameInTheProgramFolder) {
  // The folder goes to the shell as it stands, characters outside the ANSI code page too.
  for (const char16_t* folder : {u"C:\\Tools\\", u"C:\\", u"C:\\Users\\Zoë\\Ŝ文字\\"}) {
    ShellProgram p;
    p.program.programFolder = folder;
    OpenHelpFile(p.program);
    ASSERT_EQ(p.shell.opened.size(), 1u);
    EXPECT_EQ(p.shell.opened[0], (FakeShell::Opened{u"Velnor.chm", folder})) << ToUtf8(folder);
  }
}

TEST(OpenHelpFile, SaysNothingWhenTheShellCannotOpenIt) {
  ShellProgram p;
  SetUpHelpFile(p.program, u"C:\\Tools");
  p.shell.openSucceeds = false;
  OpenHelpFile(p.program);
  OpenHelpFile(p.program);
  EXPECT_EQ(p.shell.opened.size(), 2u);
  EXPECT_TRUE(p.platform.messages.empty());
}

TEST(RefuseSecondInstance, ShowsTheRefusalOnlyWhenAnotherInstanceRuns) {
  for (bool running : {false, true}) {
    ShellProgram p;
    p.shell.anotherRunning = running;
    EXPECT_EQ(RefuseSecondInstance(p.program), running);
    EXPECT_EQ(p.shell.instanceChecks, 1);
    std::vector<testing::ShownMessage> expected;
    if (running) {
      expected.push_back({u"このアプリケーションはすでに開かれています。", u"APP Load Error", 48});
    }
    EXPECT_EQ(p.platform.messages, expected) << running;
  }
}

TEST(InstanceObjectName, NamesOneObjectPerProgramFile) {
  const String paths[] = {
      u"C:\\TOOLS\\VELNOR.EXE",
      u"C:\\TOOLS\\COPY\\VELNOR.EXE",   // a copy in another folder is another program
      u"D:\\TOOLS\\VELNOR.EXE",
      u"C:\\TOOLS\\VELNOR.EXE ",
      u"C:\\ツール\\VELNOR.EXE",
      u"C:\\ヅール\\VELNOR.EXE",         // one character one code point further
      String(32767, u'A'),
      String(32766, u'A'),
  };
  std::set<String> names;
  for (const auto& path : paths) {
    const String name = InstanceObjectName(path);
    EXPECT_EQ(name, InstanceObjectName(path)) << "the same file gives the same name";
    ASSERT_EQ(name.rfind(u"Local\\", 0), 0u);
    EXPECT_EQ(name.find(u'\\', 6), String::npos) << ToUtf8(name);
    EXPECT_EQ(name.size(), 6u + 7u + 16u) << "fixed length, however long the path";
    names.insert(name);
  }
  EXPECT_EQ(names.size(), std::size(paths));
}

}  // namespace
}  // namespace velnor
