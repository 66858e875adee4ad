#include <gtest/gtest.h>

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

TEST(UnloadMainWindow, WritesTheFieldsOnceWithTheWatcherOutAndClosesEverything) {
  AppModelProgram p;
  ASSERT_TRUE(LoadMainWindow(p.program));
  auto& w = p.window;
  w.Combo2.SetText(u"photos/");
  w.Option1.Select();
  // Waiting in the queue at exit: a URL copied elsewhere and an edit of the subfolder field.
  p.platform.queued.push_back([&] { p.clipboard.CopyText(u"http://late/"); });
  p.platform.queued.push_back([&] { w.Combo2.SetText(u"typed-late/"); });

  UnloadMainWindow(p.program);

  EXPECT_FALSE(p.clipboard.InChain(ModelClipboard::kMainWindow));
  EXPECT_EQ(w.urltxt.GetText(), kUrlPrompt);
  EXPECT_EQ(p.log.back(), "CloseAllForms");
  EXPECT_EQ(p.profile.writeCalls, 7);  // six sections and the options, written once
  const String file = cp932::Decode(p.profile.files.at(p.SettingsPath()).bytes);
  // The history was taken before the queued edit ran; the field's text after it.
  EXPECT_NE(file.find(u"SUBFOLDER3=photos/\r\n"), String::npos);
  EXPECT_NE(file.find(u"LAST-FLD=typed-late/\r\n"), String::npos);
  EXPECT_NE(file.find(u"CHECK3=False\r\n"), String::npos);
}

TEST(UnloadMainWindow, AFileThatCannotBeWrittenIsReportedAndTheProgramStillEnds) {
  AppModelProgram p;
  ASSERT_TRUE(LoadMainWindow(p.program));
  p.profile.writable = false;
  UnloadMainWindow(p.program);
  ASSERT_EQ(p.platform.messages.size(), 1u);
  EXPECT_EQ(p.platform.messages[0].text, u"設定を保存できませんでした\nC:\\Tools\\Velnor\\Velnor.ini");
  EXPECT_EQ(p.platform.messages[0].caption, u"注意");
  EXPECT_EQ(p.log.back(), "CloseAllForms");
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
