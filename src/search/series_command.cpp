#include "search/series_command.h"

#include "base/numbers.h"
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

// The end into the fields where they can hold it and keep the list's digits (a three-digit
// first number gets three digits only from 100 on), then 「連番 展開」; otherwise the fields
// stay and the list is cut after the end.
void WriteEnd(Program& program, const SeriesPlan& plan, const SeriesNumbers& end, size_t position) {
  const Form1& f = program.form;
  const bool fits = !plan.first || end.first.size() == 2 || LeadingNumberValue(end.first) >= 100;
  if (!fits) {
    RunExpandCommandUpTo(program, static_cast<int>(position));
    return;
  }
  if (plan.first) f.Text(1).SetText(end.first);
  if (plan.second) f.Combo3->SetText(end.second);  // copied into Text(2)
  RunExpandCommand(program);
}

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
  const SeriesPlan& plan = *planned.plan;
  const FieldValues before = FieldValues::Of(f);
  const SeriesSearchResult result = runner.Run(plan, program.downloadOptions);
  // A URL copied meanwhile went into the fields: the answers are about another series.
  if (result.cancelled || FieldValues::Of(f) != before) return;
  if (result.found && result.foundAt) {
    WriteEnd(program, plan, *result.found, *result.foundAt);
  } else if (result.pastEnd && plan.copied && !result.failure) {
    WriteEnd(program, plan, plan.items[*plan.copied], *plan.copied);  // nothing exists after it
  }
  if (result.failure) {
    Warn(program, kSearchFailedMessage + u"\n" + result.failure->reason + u"\n" + result.failure->url);
  } else if (!result.found && !result.pastEnd) {
    Warn(program, kNothingFoundMessage);
  } else if (!result.found && !plan.copied) {
    Warn(program, kListNotFoundMessage);
  }
}

}  // namespace velnor
