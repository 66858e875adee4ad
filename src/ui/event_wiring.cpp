#include "ui/event_wiring.h"

#include "ui/input_fields.h"

namespace velnor {

void WireEvents(Program& program) {
  Program* p = &program;
  const Form1& f = program.form;
  f.urltxt->GotFocus = [p] { OnUrlFocusGained(*p); };
  f.urltxt->LostFocus = [p] { OnUrlFocusLost(*p); };
  f.Combo3->Change = [p] { OnCombo3Changed(*p); };
  f.Combo3->Click = [p] { OnCombo3Changed(*p); };
  f.Text(1).Change = [p] { OnNumberFieldChanged(*p, 1); };
  f.Text(2).Change = [p] { OnNumberFieldChanged(*p, 2); };
  f.Option0->Selected = [p] { OnOption0Selected(*p); };
  f.Option1->Selected = [p] { OnOption1Selected(*p); };
  f.List1->Click = [p] { OnPatternSampleClicked(*p); };
}

}  // namespace velnor
