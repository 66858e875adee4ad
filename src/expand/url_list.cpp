#include "expand/url_list.h"

#include "base/numbers.h"

namespace velnor {
namespace {

// The highest end index whose loop counter still fits in 16 bits after the last pass.
constexpr double kHighestEndIndex = 32766;

// Which parts an item is made of, for the check-box states that produce items.
struct Parts {
  bool subfolder;
  bool firstNumber;
  bool underscore;
  bool secondNumber;
};

// The ten supported combinations of Check3, Check1, Checkund and Check2 (1 on, 0 off).
// Both numbers without the underscore, and no number at all, produce nothing; so does any
// box in a state other than 0 or 1.
bool FindRow(int check3, int check1, int checkund, int check2, Parts& parts) {
  static constexpr int kRows[10][4] = {
      {1, 1, 1, 1}, {1, 1, 0, 0}, {1, 1, 1, 0}, {1, 0, 1, 1}, {1, 0, 0, 1},
      {0, 1, 1, 1}, {0, 1, 0, 0}, {0, 1, 1, 0}, {0, 0, 1, 1}, {0, 0, 0, 1},
  };
  // (cppcheck takes the row, a reference to a const array, for a pointer.)
  // cppcheck-suppress constVariable
  for (const auto& row : kRows) {
    if (row[0] == check3 && row[1] == check1 && row[2] == checkund && row[3] == check2) {
      parts = {row[0] == 1, row[1] == 1, row[2] == 1, row[3] == 1};
      return true;
    }
  }
  return false;
}

// Empties urllist and builds its items, while the list is hidden.
void FillUrlList(Program& program, ListBox& urllist) {
  const Form1& f = program.form;
  urllist.Clear();

  const bool firstOn = f.Check1->Value() == 1;
  const double end = firstOn ? LeadingNumberValue(f.Text(1).GetText()) : f.List(2).Count() - 1.0;
  if (end == -1) {
    f.Text(1).SetText(String());
    return;
  }
  if (end > kHighestEndIndex) return;

  Parts parts{};
  if (!(end >= 0) ||
      !FindRow(f.Check3->Value(), f.Check1->Value(), f.Checkund->Value(), f.Check2->Value(), parts)) {
    return;
  }

  const String url = f.urltxt->GetText();
  const String subfolder = parts.subfolder ? f.Combo2->GetText() : String();
  const String extension = f.Combo1->GetText();
  const ListBox& firstNumbers = f.List(1);
  const ListBox& secondNumbers = f.List(2);
  const int lastIndex = static_cast<int>(end);  // a fractional end stops at the whole number below

  urllist.ReserveItems(lastIndex + 1);
  String item;
  for (int i = 0; i <= lastIndex; ++i) {
    item.assign(url);
    item += subfolder;
    if (parts.firstNumber) item += firstNumbers.ItemText(i);
    if (parts.underscore) item += u'_';
    if (parts.secondNumber) item += secondNumbers.ItemText(i);
    item += extension;
    urllist.AddItem(item);
  }

  // With start number 1 the first list is one entry short of the passes, so the last pass
  // built an item without its first number: take that one away.
  if (f.Option1->Value() && firstOn) {
    const double position = RoundHalfEven(end);
    if (position >= 0 && position < urllist.Count()) urllist.RemoveItem(static_cast<int>(position));
  }
}

}  // namespace

void GenerateUrlList(Program& program) {
  ListBox& urllist = *program.form.urllist;
  // Hidden before it is emptied, so that a shown list box does not redraw its scroll bars as
  // its items go and come; shown again only if it was shown (the expand command keeps it
  // hidden until its extent is set too).
  const bool shown = urllist.Visible();
  if (shown) urllist.SetVisible(false);
  FillUrlList(program, urllist);
  if (shown) urllist.SetVisible(true);
}

}  // namespace velnor
