#include <gtest/gtest.h>

#include <algorithm>

#include "app/lifecycle.h"
#include "app_program.h"
#include "settings/settings_file.h"
#include "ui/input_fields.h"

namespace velnor {
namespace {

using testing::AppModelProgram;
using testing::ModelClipboard;

TEST(LoadMainWindow, FirstStartShowsDefaultsWatchesTheClipboardAndStaysOnTop) {
  AppModelProgram p;
  p.clipboard.CopyText(u"http://already.there/");  // on the clipboard before the start
  ASSERT_TRUE(LoadMainWindow(p.program));
  auto& w = p.window;

  EXPECT_EQ(w.urltxt.GetText(), kUrlPrompt);
  EXPECT_EQ(w.Combo3.Count(), 160);
  EXPECT_TRUE(w.Option0.Value());
  EXPECT_EQ(w.Combo2.Items(), (std::vector<String>{u"sam/", u"image/"}));
  EXPECT_EQ(p.program.programFolder, u"C:\\Tools\\Velnor\\");
  EXPECT_TRUE(p.clipboard.WatcherInstalled());
  EXPECT_EQ(p.log, (std::vector<std::string>{"SetCaption", "SetOuterSize", "MakeTopMost"}));
  EXPECT_TRUE(p.profile.files.empty());  // nothing is written at start
  EXPECT_TRUE(p.platform.messages.empty());

  p.clipboard.CopyText(u"http://copied.later/");
  EXPECT_EQ(w.urltxt.GetText(), u"http://copied.later/");
}

TEST(LoadMainWindow, ASecondInstanceIsRefusedBeforeAnythingIsTouched) {
  AppModelProgram p;
  p.shell.otherInstance = true;
  p.profile.files[p.SettingsPath()].bytes = "[\x83\x60\x83\x46\x83\x62\x83\x4E]\r\nCHECK2=1\r\n";
  EXPECT_FALSE(LoadMainWindow(p.program));

  ASSERT_EQ(p.platform.messages.size(), 1u);
  EXPECT_EQ(p.platform.messages[0].text, u"このアプリケーションはすでに開かれています。");
  EXPECT_EQ(p.platform.messages[0].caption, u"APP Load Error");
  EXPECT_EQ(p.platform.messages[0].style, 48);
  EXPECT_EQ(p.log, std::vector<std::string>{"CloseAllForms"});
  EXPECT_TRUE(p.clipboard.calls.empty());
  EXPECT_EQ(p.window.Check1.Value(), 0);  // the settings file was not read
  EXPECT_EQ(p.window.urltxt.GetText(), u"URL");
  EXPECT_EQ(p.window.Combo3.Count(), 0);
}

// The two ways the program ends: its window is closed (close box or File_end), or Windows
// ends the session.
struct Ending {
  const char* name;
  void (*end)(Program&);
  bool closesTheWindows;
  bool tellsOfAFailedSave;
};
const Ending kEndings[] = {
    {"closed", UnloadMainWindow, true, true},
    {"session ends", [](Program& program) { EndSessionMainWindow(program, true); }, false, false},
};

// The calls to the profile that one save makes.
int WritesOfOneSave() {
  AppModelProgram p;
  LoadMainWindow(p.program);
  SaveSettings(p.program);
  return p.profile.writeCalls;
}

TEST(UnloadMainWindow, WritesTheFieldsOnceWithTheWatcherOut) {
  for (const Ending& e : kEndings) {
    SCOPED_TRACE(e.name);
    AppModelProgram p;
    ASSERT_TRUE(LoadMainWindow(p.program));
    auto& w = p.window;
    w.Combo2.SetText(u"photos/");
    w.Option1.Select();
    // Waiting in the queue at exit: a URL copied elsewhere and an edit of the subfolder field.
    p.platform.queued.push_back([&] { p.clipboard.CopyText(u"http://late/"); });
    p.platform.queued.push_back([&] { w.Combo2.SetText(u"typed-late/"); });

    e.end(p.program);

    EXPECT_FALSE(p.clipboard.InChain(ModelClipboard::kMainWindow));
    EXPECT_EQ(w.urltxt.GetText(), kUrlPrompt);
    EXPECT_EQ(p.log.back(), e.closesTheWindows ? "CloseAllForms" : "MakeTopMost");
    EXPECT_EQ(p.platform.pendingPasses, 1);
    EXPECT_EQ(p.profile.writeCalls, WritesOfOneSave());
    const String file = cp932::Decode(p.profile.files.at(p.SettingsPath()).bytes);
    // The history was taken before the queued edit ran; the field's text after it.
    EXPECT_NE(file.find(u"SUBFOLDER3=photos/\r\n"), String::npos);
    EXPECT_NE(file.find(u"LAST-FLD=typed-late/\r\n"), String::npos);
    EXPECT_NE(file.find(u"CHECK3=False\r\n"), String::npos);
    EXPECT_TRUE(p.platform.messages.empty());
  }
}

TEST(UnloadMainWindow, AFileThatCannotBeWrittenIsReportedOnlyWhileTheSessionGoesOn) {
  for (const Ending& e : kEndings) {
    SCOPED_TRACE(e.name);
    AppModelProgram p;
    ASSERT_TRUE(LoadMainWindow(p.program));
    p.profile.writable = false;
    e.end(p.program);
    if (e.tellsOfAFailedSave) {
      ASSERT_EQ(p.platform.messages.size(), 1u);
      EXPECT_EQ(p.platform.messages[0].text, u"設定を保存できませんでした\nC:\\Tools\\Velnor\\Velnor.ini");
      EXPECT_EQ(p.platform.messages[0].caption, u"注意");
    } else {
      EXPECT_TRUE(p.platform.messages.empty());
    }
    EXPECT_EQ(p.profile.writeCalls, WritesOfOneSave());  // every section was still tried
    EXPECT_EQ(p.log.back(), e.closesTheWindows ? "CloseAllForms" : "MakeTopMost");
  }
}

// Whatever comes first, later or in the middle, the settings are written once; a window
// closed after the end of the session still closes, without a second save.
TEST(EndSessionMainWindow, SavesOnceWhateverFollows) {
  enum Step { kEnds, kDoesNotEnd, kClose, kEndsMeanwhile, kCloseMeanwhile };
  struct Case {
    const char* name;
    std::vector<Step> steps;  // "meanwhile": queued for the next pending pass
    int saves;
    int closes;  // calls to CloseAllForms
    bool box;    // the save failed in the close's shut-down, which says so
  };
  const Case cases[] = {
      {"ends", {kEnds}, 1, 0, false},
      {"does not end", {kDoesNotEnd}, 0, 0, false},
      {"does not end, then closed", {kDoesNotEnd, kClose}, 1, 1, true},
      {"ends twice", {kEnds, kEnds}, 1, 0, false},
      {"ends, then closed", {kEnds, kClose}, 1, 1, false},
      {"ends, then closed twice", {kEnds, kClose, kClose}, 1, 2, false},
      {"closed while the end of the session saves", {kCloseMeanwhile, kEnds}, 1, 0, false},
      {"the session ends while the close lets messages run", {kEndsMeanwhile, kClose}, 1, 1, false},
      {"ends twice while the close lets messages run", {kEndsMeanwhile, kEndsMeanwhile, kClose}, 1, 1, false},
  };
  const int oneSave = WritesOfOneSave();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppModelProgram p;
    ASSERT_TRUE(LoadMainWindow(p.program));
    p.profile.writable = false;  // a box for the close, none for the end of the session
    for (Step step : c.steps) {
      switch (step) {
        case kEnds: EndSessionMainWindow(p.program, true); break;
        case kDoesNotEnd: EndSessionMainWindow(p.program, false); break;
        case kClose: UnloadMainWindow(p.program); break;
        case kEndsMeanwhile:
          p.platform.queued.push_back([&] {
            EndSessionMainWindow(p.program, true);
            EXPECT_EQ(p.profile.writeCalls, oneSave);  // written before Windows is answered
          });
          break;
        case kCloseMeanwhile: p.platform.queued.push_back([&] { UnloadMainWindow(p.program); }); break;
      }
    }
    EXPECT_EQ(p.profile.writeCalls, c.saves * oneSave);
    EXPECT_EQ(std::count(p.log.begin(), p.log.end(), "CloseAllForms"), c.closes);
    EXPECT_EQ(p.clipboard.WatcherInstalled(), c.saves == 0);
    EXPECT_EQ(p.platform.pendingPasses, c.saves);
    EXPECT_EQ(p.platform.messages.size(), c.box ? 1u : 0u);
  }
}

TEST(LoadMainWindow, SettingsSurviveARestart) {
  AppModelProgram first;
  ASSERT_TRUE(LoadMainWindow(first.program));
  first.window.Option1.Select();
  first.window.Check3.SetValue(0);
  first.window.Combo1.SetText(u".png");
  UnloadMainWindow(first.program);

  AppModelProgram second;
  second.profile.files = first.profile.files;
  ASSERT_TRUE(LoadMainWindow(second.program));
  EXPECT_TRUE(second.window.Option1.Value());
  EXPECT_EQ(second.program.startNumber, 1);
  EXPECT_EQ(second.window.Check3.Value(), 0);
  EXPECT_EQ(second.window.Combo1.GetText(), u".png");
  EXPECT_EQ(second.window.Combo1.Items(), (std::vector<String>{u".jpg", u".jpeg", u".gif", u".png"}));
}

}  // namespace
}  // namespace velnor
