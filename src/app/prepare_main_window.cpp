#include "app/prepare_main_window.h"

#include "app/main_window_frame.h"
#include "ui/input_fields.h"

namespace velnor {

void PrepareMainWindow(Program& program) {
  const Form1& f = program.form;

  // Refusing a second instance comes first, before anything is touched; it belongs to the
  // single-instance work and is not here yet.

  program.frame->SetCaption(kApplicationTitle);
  program.frame->SetOuterSize(kMainWindowWidthTwips, kMainWindowHeightTwips);

  f.urllist->Clear();
  f.urltxt->SetText(String());
  for (int index = 1; index <= 2; ++index) {
    f.List(index).Clear();
    f.Text(index).SetText(String());  // runs the fields' change handling like any write
  }

  // Loading the settings into the check boxes, option buttons and histories goes here,
  // between emptying the fields and filling Combo3's choices.

  FillSecondNumberChoices(program);

  // Setting the help file and programFolder from the program's folder goes here.

  f.urltxt->SetText(kUrlPrompt);
}

void FillSecondNumberChoices(Program& program) {
  ComboBox& choices = *program.form.Combo3;
  static constexpr char16_t kUnits[] = u"0123456789abcdef";
  for (char16_t tens = u'0'; tens <= u'9'; ++tens) {
    for (int u = 0; u < 16; ++u) choices.AddItem(String{tens, kUnits[u]});
  }
}

}  // namespace velnor
