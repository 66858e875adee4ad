#pragma once
// The whole program on models: the model window and clipboard, settings files in memory, a
// shell that records what it is asked, and a frame that records start-up and shut-down.
#include <string>
#include <vector>

#include "app/main_window_frame.h"
#include "app/shell_platform.h"
#include "model_clipboard.h"
#include "settings/portable_profile.h"

namespace velnor::testing {

class ModelShell : public ShellPlatform {
 public:
  bool OpenDocument(const String& document, const String& workingFolder) override {
    opened.push_back(document + u" in " + workingFolder);
    return true;
  }
  bool AnotherInstanceRunning() override { return otherInstance; }
  bool HandOver(const String& text) override {
    handedOver.push_back(text);
    return handOverTaken;
  }

  bool otherInstance = false;
  bool handOverTaken = true;  // the other instance's window answers
  std::vector<String> handedOver;
  std::vector<String> opened;
};

// Records frame calls into a log shared with the rest of the test.
class RecordingFrame : public MainWindowFrame {
 public:
  explicit RecordingFrame(std::vector<std::string>& log) : log_(log) {}
  void SetCaption(const String& text) override {
    caption = text;
    log_.push_back("SetCaption");
  }
  void SetOuterSize(int width, int height) override {
    widthTwips = width;
    heightTwips = height;
    log_.push_back("SetOuterSize");
  }
  void MakeTopMost() override { log_.push_back("MakeTopMost"); }
  void CloseAllForms() override { log_.push_back("CloseAllForms"); }

  String caption;
  int widthTwips = 0;
  int heightTwips = 0;

 private:
  std::vector<std::string>& log_;
};

struct AppModelProgram : ClipboardModelProgram {
  explicit AppModelProgram(const String& folder = u"C:\\Tools\\Velnor") : profile(folder) {
    program.profile = &profile;
    program.shell = &shell;
    program.frame = &frame;
  }
  String SettingsPath() const { return profile.ProgramFolder() + u"\\Velnor.ini"; }

  MemoryProfile profile;
  ModelShell shell;
  std::vector<std::string> log;
  RecordingFrame frame{log};
};

}  // namespace velnor::testing
