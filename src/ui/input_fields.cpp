#include "ui/input_fields.h"

#include "base/text.h"

namespace velnor {
namespace {

bool EndsInLetterBeyondF(const String& text) {
  const StringView last = LastCharacter(text);
  return last.size() == 1 && last[0] >= u'g' && last[0] <= u'z';
}

}  // namespace

void OnUrlFocusGained(Program& program) {
  TextBox& url = *program.form.urltxt;
  if (url.GetText() == kUrlPrompt) url.SetText(String());
}

void OnUrlFocusLost(Program& program) {
  TextBox& url = *program.form.urltxt;
  if (url.GetText().empty()) url.SetText(kUrlPrompt);
}

void OnCombo3Changed(Program& program) {
  program.form.Text(2).SetText(program.form.Combo3->GetText());
}

void OnNumberFieldChanged(Program& program, int /*index*/) { LimitNumberFields(program); }

void OnOption0Selected(Program& program) {
  program.startNumber = 0;
  program.form.Text(1).SetText(String());
}

void OnOption1Selected(Program& program) {
  program.startNumber = 1;
  program.form.Text(1).SetText(String());
}

void OnPatternSampleClicked(Program& program) {
  const Form1& f = program.form;
  const int v = f.List1->Selected(0) ? 1 : 0;
  f.Check3->SetValue(v);
  f.Check1->SetValue(1);
  f.Check2->SetValue(v);
  f.Checkund->SetValue(v);
}

void LimitNumberFields(Program& program) {
  const Form1& f = program.form;
  // Each step reads the fields afresh: the nested runs of the writes above it may have
  // changed them already.
  if (EndsInLetterBeyondF(f.Combo3->GetText())) {
    f.Combo3->SetText(String());
    f.Text(2).SetText(String());
  }
  // Lengths count characters: a surrogate pair is one, and the cut never splits it.
  if (const String first = f.Text(1).GetText(); CharacterCount(first) > 3) {
    f.Text(1).SetText(String(FirstCharacters(first, 3)));
  }
  if (const String second = f.Combo3->GetText(); CharacterCount(second) > 2) {
    f.Combo3->SetText(String(FirstCharacters(second, 2)));
    f.Text(2).SetText(String(FirstCharacters(f.Text(2).GetText(), 2)));
  }
}

}  // namespace velnor
