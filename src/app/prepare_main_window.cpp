#include "app/prepare_main_window.h"

#include "app/help_command.h"
#include "app/main_window_frame.h"
#include "app/single_instance.h"
#include "settings/profile_platform.h"
#include "settings/settings_file.h"
#include "ui/input_fields.h"

namespace velnor {

bool PrepareMainWindow(Program& program) {
  const Form1& f = program.form;

  // Before anything is touched: a refused instance never reads the settings file.
  if (RefuseSecondInstance(program)) {
    program.frame->CloseAllForms();
    return false;
  }

  program.frame->SetCaption(kApplicationTitle);
  program.frame->SetOuterSize(kMainWindowWidthTwips, kMainWindowHeightTwips);

  f.urllist->Clear();
  f.urltxt->SetText(String());
  for (int index = 1; index <= 2; ++index) {
    f.List(index).Clear();
    f.Text(index).SetText(String());  // runs the fields' change handling like any write
  }

  LoadSettings(program);
  FillSecondNumberChoices(program);
  SetUpHelpFile(program, program.profile->ProgramFolder());
  f.urltxt->SetText(kUrlPrompt);
  return true;
}

void FillSecondNumberChoices(Program& program) {
  ComboBox& choices = *program.form.Combo3;
  static constexpr char16_t kUnits[] = u"0123456789abcdef";
  for (char16_t tens = u'0'; tens <= u'9'; ++tens) {
    for (int u = 0; u < 16; ++u) choices.AddItem(String{tens, kUnits[u]});
  }
}

}  // namespace velnor
