#include "search/series_plan.h"

#include "expand/expand_command.h"
#include "expand/scratch_window.h"

namespace velnor {
namespace {

constexpr bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The first number's next value in the same number of digits (2 or 3).
std::optional<String> NextFirst(const String& text) {
  if (text.size() != 2 && text.size() != 3) return std::nullopt;
  int value = 0;
  for (char16_t c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  String next = text;
  ++value;
  for (size_t i = next.size(); i-- > 0; value /= 10) next[i] = static_cast<char16_t>(u'0' + value % 10);
  if (value != 0) return std::nullopt;  // 99 or 999: no wider number
  return next;
}

// The second number counts 00 ... 09, 0a ... 0f, 10 ... 9f.
std::optional<String> NextSecond(const String& text) {
  if (text.size() != 2 || !IsDigit(text[0]) || !(IsDigit(text[1]) || (text[1] >= u'a' && text[1] <= u'f'))) {
    return std::nullopt;
  }
  if (text[1] == u'9') return String{text[0], u'a'};
  if (text[1] != u'f') return String{text[0], static_cast<char16_t>(text[1] + 1)};
  if (text[0] == u'9') return std::nullopt;
  return String{static_cast<char16_t>(text[0] + 1), u'0'};
}

bool Steppable(const String& first, const String& second, const SeriesPlan& plan) {
  auto wellFormed = [](const String& text, bool isFirst) {
    if (isFirst) return (text.size() == 2 || text.size() == 3) && text.find_first_not_of(u"0123456789") == String::npos;
    return text.size() == 2 && IsDigit(text[0]) && text.find_first_not_of(u"0123456789abcdef") == String::npos;
  };
  return (!plan.first || wellFormed(first, true)) && (!plan.second || wellFormed(second, false));
}

String EntryOrEmpty(const ItemList& list, int index) {
  return index >= 0 && index < list.Count() ? list.Item(index) : String();
}

// Where the URL the last split took stands in the list, if the fields still list it.
std::optional<size_t> CopiedItem(const SeriesPlan& plan, const String& url) {
  if (url.size() < plan.prefix.size() + plan.extension.size() || !url.starts_with(plan.prefix) ||
      !url.ends_with(plan.extension)) {
    return std::nullopt;
  }
  const StringView numbers =
      StringView(url).substr(plan.prefix.size(), url.size() - plan.prefix.size() - plan.extension.size());
  String shown;
  for (size_t i = 0; i < plan.items.size(); ++i) {
    shown.clear();
    if (plan.first) shown += plan.items[i].first;
    if (plan.underscore) shown += u'_';
    if (plan.second) shown += plan.items[i].second;
    if (shown == numbers) return i;
  }
  return std::nullopt;
}

}  // namespace

String SeriesPlan::Url(const SeriesNumbers& numbers) const {
  String url = prefix;
  if (first) url += numbers.first;
  if (underscore) url += u'_';
  if (second) url += numbers.second;
  return url + extension;
}

String SeriesPlan::Shown(const SeriesNumbers& numbers) {
  if (numbers.first.empty()) return numbers.second;
  if (numbers.second.empty()) return numbers.first;
  return numbers.first + u"_" + numbers.second;
}

std::optional<SeriesNumbers> NextNumbers(const SeriesNumbers& numbers) {
  SeriesNumbers next;
  if (!numbers.first.empty()) {
    const auto first = NextFirst(numbers.first);
    if (!first) return std::nullopt;
    next.first = *first;
  }
  if (!numbers.second.empty()) {
    const auto second = NextSecond(numbers.second);
    if (!second) return std::nullopt;
    next.second = *second;
  }
  return next;
}

PlanOrRefusal PlanSeries(const Program& program) {
  const Form1& f = program.form;
  SeriesPlan plan;
  plan.first = f.Check1->Value() == 1;
  plan.second = f.Check2->Value() == 1;
  plan.underscore = f.Checkund->Value() == 1;
  if (!plan.first && !plan.second) return {};

  // The expansion on a scratch window: the numbering does not depend on the texts around the
  // numbers, so short stand-ins take their place, and no box or window message runs.
  ScratchWindow scratch(program);
  ModelForm& window = scratch.window;
  window.Check3.SetValue(f.Check3->Value());
  window.Check1.SetValue(f.Check1->Value());
  window.Check2.SetValue(f.Check2->Value());
  window.Checkund.SetValue(f.Checkund->Value());
  window.urltxt.SetText(u"u");
  window.Combo2.SetText(u"s");
  window.Combo1.SetText(u"e");
  window.text1.SetText(f.Text(1).GetText());
  window.text2.SetText(f.Text(2).GetText());
  RunExpandCommand(scratch.program);

  // Item i is built from entry i of both work lists.
  const int count = window.urllist.Count();
  if (count <= 0) return {};
  plan.items.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    SeriesNumbers numbers;
    if (plan.first) numbers.first = EntryOrEmpty(window.list1, i);
    if (plan.second) numbers.second = EntryOrEmpty(window.list2, i);
    plan.items.push_back(std::move(numbers));
  }
  plan.last = plan.items.back();
  if (!Steppable(plan.last.first, plan.last.second, plan)) return {};

  plan.prefix = f.urltxt->GetText();
  if (f.Check3->Value() == 1) plan.prefix += f.Combo2->GetText();
  plan.extension = f.Combo1->GetText();
  plan.copied = CopiedItem(plan, program.splitUrl);
  if (plan.copied == plan.items.size() - 1 && !NextNumbers(plan.last)) return {std::nullopt, PlanRefusal::kAtLimit};
  return {std::move(plan), PlanRefusal::kNoNumber};
}

}  // namespace velnor
