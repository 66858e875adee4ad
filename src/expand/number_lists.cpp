#include "expand/number_lists.h"

#include "base/numbers.h"
#include "base/text.h"

namespace velnor {
namespace {

// The counter must be able to step past the end, so the end stops one short of 16 bits.
constexpr int kHighestEnd = 32766;

// The zeros in front, then the digits. (Built by appending: GCC 12 warns falsely about
// literal + temporary string.)
String ZeroPadded(const char16_t* zeros, int n) {
  String text(zeros);
  text += DecimalText(n);
  return text;
}

String FirstNumberText(int n, bool threeDigits) {
  if (threeDigits) {
    if (n < 10) return ZeroPadded(u"00", n);
    if (n < 100) return ZeroPadded(u"0", n);
    return DecimalText(n);
  }
  return n < 10 ? ZeroPadded(u"0", n) : DecimalText(n);
}

bool IsDecimalDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

void BuildFirstNumberList(Program& program) {
  const Form1& f = program.form;
  if (f.Text(1).GetText().empty() || f.Check1->Value() == 0) return;

  f.Text(1).SetText(program.platform->NarrowFullWidth(f.Text(1).GetText()));
  program.firstEndNumber = LeadingNumberValue(f.Text(1).GetText());

  const auto first = RoundToInt16(program.startNumber);
  const auto last = RoundToInt16(program.firstEndNumber);
  if (!first || !last || *last > kHighestEnd) {
    program.platform->ShowMessage(kEndValueOutOfRangeMessage, kWarningCaption, kOkOnly);
    return;
  }

  ListBox& list = f.List(1);
  list.Clear();
  list.SetVisible(false);
  const bool threeDigits = !(program.firstEndNumber < 100);
  if (*last >= *first) list.ReserveItems(*last - *first + 1);
  for (int n = *first; n <= *last; ++n) list.AddItem(FirstNumberText(n, threeDigits));
  list.SetVisible(true);
}

void BuildSecondNumberList(Program& program) {
  const Form1& f = program.form;
  const String s = f.Text(2).GetText();
  if (s.empty() || f.Check2->Value() == 0) return;

  // Only a decimal digit can stand in the tens place; a letter there (or as the only
  // character) has no meaning, and neither has any other character.
  if (!IsDecimalDigit(s.front())) {
    program.platform->ShowMessage(kLetterDigitMessage, kWarningCaption, kOkOnly);
    return;
  }
  program.secondEndNumber = LeadingNumberValue(s);
  const int tens = s.front() - u'0';
  // The last character as a whole: a surrogate pair there is one character, not its half.
  const String last(LastCharacter(s));

  ListBox& list = f.List(2);
  list.Clear();
  list.SetVisible(false);
  if (CharacterCount(s) == 1) {
    for (int u = 0; u <= program.secondEndNumber; ++u) list.AddItem(ZeroPadded(u"0", u));
  } else {
    static constexpr char16_t kLetters[] = u"abcdef";
    for (int t = 0; t <= tens; ++t) {
      const String prefix = DecimalText(t);
      if (t < tens) {
        for (int u = 0; u <= 9; ++u) list.AddItem(prefix + DecimalText(u));
        for (int k = 0; k < 6; ++k) list.AddItem(prefix + kLetters[k]);
        continue;
      }
      if (last.size() == 1 && last[0] >= u'a' && last[0] <= u'f') {
        for (int u = 0; u <= 9; ++u) list.AddItem(prefix + DecimalText(u));
        for (char16_t letter = u'a'; letter <= last[0]; ++letter) list.AddItem(prefix + letter);
      } else {
        // Any other last character reads as its leading-number value: a digit as itself,
        // a capital letter or anything else as 0.
        const double unit = LeadingNumberValue(last);
        for (int u = 0; u <= unit; ++u) list.AddItem(prefix + DecimalText(u));
      }
    }
  }
  list.SetVisible(true);
}

void DeriveFirstEndNumber(Program& program) {
  const Form1& f = program.form;
  if (!f.Text(1).GetText().empty() || f.Check1->Value() == 0) return;
  const int entries = f.List(2).Count();
  const int end = program.startNumber == 0 ? entries - 1 : entries;
  f.Text(1).SetText(DecimalText(end));
  BuildFirstNumberList(program);
}

}  // namespace velnor
