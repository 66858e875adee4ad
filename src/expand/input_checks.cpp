#include "expand/input_checks.h"

#include "ui/input_fields.h"

namespace velnor {

bool CheckExpansionInput(Program& program) {
  const Form1& f = program.form;
  auto warn = [&program](const String& text) {
    program.platform->ShowMessage(text, kWarningCaption, kOkOnly);
  };

  if (f.urltxt->GetText() == kUrlPrompt) {
    warn(kUrlMissingMessage);
    return false;
  }
  const bool firstEmpty = f.Text(1).GetText().empty();
  const bool secondEmpty = f.Text(2).GetText().empty();
  if (firstEmpty && secondEmpty) {
    warn(u"テキスト未入力です");
    return false;
  }
  if (secondEmpty && !firstEmpty && f.Check2->Value() == 1) {
    warn(u"入力項目で未入力があります");
    return false;
  }
  if (!firstEmpty && f.Check1->Value() == 0) {
    warn(u"チェックが入っていません");  // goes on with the next check
  }
  const bool subfolderOff = f.Check3->Value() == 0;
  const bool firstOff = f.Check1->Value() == 0;
  const bool secondOff = f.Check2->Value() == 0;
  const int underscore = f.Checkund->Value();
  if (subfolderOff && firstOff && secondOff && underscore == 0) {
    warn(u"未チェックです");
    return false;
  }
  if (underscore == 1 && subfolderOff && firstOff && secondOff) {
    warn(u"アンダーバーのみでは\n展開できません ");
    return false;
  }
  return true;
}

}  // namespace velnor
