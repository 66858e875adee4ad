#include "search/series_command.h"

#include "expand/expand_command.h"
#include "expand/input_checks.h"

namespace velnor {
namespace {

// What the search reads of the fields, to tell whether they still hold it at its end.
struct FieldValues {
  String urltxt, combo2, combo1, text1, text2;
  int check3 = 0, check1 = 0, checkund = 0, check2 = 0;
  bool option0 = false;
  bool operator==(const FieldValues&) const = default;

  static FieldValues Of(const Form1& f) {
    return {f.urltxt->GetText(), f.Combo2->GetText(), f.Combo1->GetText(), f.Text(1).GetText(), f.Text(2).GetText(),
            f.Check3->Value(),   f.Check1->Value(),   f.Checkund->Value(), f.Check2->Value(),   f.Option0->Value()};
  }
};

void Warn(Program& program, const String& text) { program.platform->ShowMessage(text, kWarningCaption, kOkOnly); }

}  // namespace

void FindSeriesCommand(Program& program, SeriesSearchRunner& runner) {
  if (!CheckExpansionInput(program)) return;
  const Form1& f = program.form;
  if (f.Check1->Value() != 1 && f.Check2->Value() != 1) {
    Warn(program, kNoSeriesNumberMessage);
    return;
  }
  const PlanOrRefusal planned = PlanSeries(program);
  if (!planned.plan) {
    Warn(program, planned.refusal == PlanRefusal::kAtLimit ? kNothingFoundMessage : kNoSeriesNumberMessage);
    return;
  }
  const FieldValues before = FieldValues::Of(f);
  const SeriesSearchResult result = runner.Run(*planned.plan, program.downloadOptions);
  // A URL copied meanwhile went into the fields: the answers are about another series.
  if (result.cancelled || FieldValues::Of(f) != before) return;
  if (result.found) {
    if (planned.plan->first) f.Text(1).SetText(result.found->first);
    if (planned.plan->second) f.Combo3->SetText(result.found->second);  // copied into Text(2)
    RunExpandCommand(program);
  }
  if (result.failure) {
    Warn(program, kSearchFailedMessage + u"\n" + result.failure->reason + u"\n" + result.failure->url);
  } else if (!result.found) {
    Warn(program, kNothingFoundMessage);
  }
}

}  // namespace velnor
