#include "expand/expand_command.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "base/numbers.h"
#include "expand/input_checks.h"
#include "expand/number_lists.h"
#include "expand/url_list.h"
#include "settings/list_history.h"
#include "ui/input_fields.h"

namespace velnor {

namespace {

void Expand(Program& program, int lastIndex) {
  CheckExpansionInput(program);
  program.platform->ProcessPendingMessages();
  BuildFirstNumberList(program);
  BuildSecondNumberList(program);
  DeriveFirstEndNumber(program);
  // urllist stays hidden from its emptying until its extent is set: its scroll bars then
  // change once, when the finished list is shown. No message runs in between.
  ListBox& urllist = *program.form.urllist;
  const bool shown = urllist.Visible();
  urllist.SetVisible(false);
  GenerateUrlList(program);
  // From the end: a list box takes its last item away without moving the others.
  for (int i = urllist.Count() - 1; i > lastIndex; --i) urllist.RemoveItem(i);
  ClearEntryFields(program);
  SetResultListExtent(program);
  if (shown) urllist.SetVisible(true);
  UpdateHistoryLists(program);
  program.form.urltxt->SetText(kUrlPrompt);
}

}  // namespace

void RunExpandCommand(Program& program) { Expand(program, INT_MAX); }

void RunExpandCommandUpTo(Program& program, int lastIndex) { Expand(program, std::max(lastIndex, -1)); }

void ClearEntryFields(Program& program) {
  const Form1& f = program.form;
  f.Text(1).SetText(String());
  f.Text(2).SetText(String());
  f.Combo3->SetText(String());
  f.urltxt->SetText(String());
}

void SetResultListExtent(Program& program) {
  ListBox& urllist = *program.form.urllist;
  double widest = 0;
  const int count = urllist.Count();
  for (int i = 0; i < count; ++i) {
    widest = std::max(widest, static_cast<double>(program.platform->AnsiByteCount(urllist.ItemText(i))));
  }
  // 1/16 inch a byte plus 1/12 inch, in 1/1440 inch.
  const double extent = RoundHalfEven(widest * 90 + 120);
  const double pixel = std::max(1.0, RoundHalfEven(program.platform->TwipsPerPixelX()));
  const double pixels = std::min(std::floor(extent / pixel), static_cast<double>(INT_MAX));
  urllist.SetHorizontalExtent(static_cast<int>(pixels));
}

}  // namespace velnor
