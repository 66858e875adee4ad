#include "expand/url_split.h"

#include "base/platform_without_boxes.h"
#include "expand/expand_command.h"
#include "expand/input_checks.h"
#include "ui/event_wiring.h"
#include "ui/input_fields.h"
#include "ui/model_form.h"

namespace velnor {
namespace {

// The second number counts 00 ... 9f: 160 values.
constexpr int kHighestSecondIndex = 159;

constexpr bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
constexpr bool IsLowerHexLetter(char16_t c) { return c >= u'a' && c <= u'f'; }
constexpr bool IsLetterOrDigit(char16_t c) {
  return IsDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

int DigitsValue(StringView digits) {
  int value = 0;
  for (char16_t c : digits) value = value * 10 + (c - u'0');
  return value;
}

int HexDigitValue(char16_t c) { return IsDigit(c) ? c - u'0' : c - u'a' + 10; }

// Entry `index` of the second list, as the list builder writes it: tens digit, then a digit
// or a letter a..f.
String SecondNumberText(int index) {
  static constexpr char16_t kUnits[] = u"0123456789abcdef";
  return String{static_cast<char16_t>(u'0' + index / 16), kUnits[index % 16]};
}

// The number in the URL, its value and the end value that makes every number of the list as
// wide as it: a two-digit number ends the list itself; so does a three-digit one from 100;
// below 100 it takes 100, the smallest end that gives three-digit numbers.
struct UrlNumber {
  int value = 0;
  int end = 0;
  String endText;
};

std::optional<UrlNumber> ReadUrlNumber(StringView digits) {
  if (digits.size() != 2 && digits.size() != 3) return std::nullopt;
  UrlNumber number;
  number.value = DigitsValue(digits);
  if (digits.size() == 3 && number.value < 100) {
    number.end = 100;
    number.endText = u"100";
  } else {
    number.end = number.value;
    number.endText = String(digits);
  }
  return number;
}

// Where the file name lies in the URL: after the last "/", up to the first "?" or "#".
struct FileName {
  size_t slash = String::npos;  // the "/" before the name; npos when there is none
  size_t begin = 0;
  size_t end = 0;
};

FileName FindFileName(StringView url) {
  FileName name;
  name.slash = url.rfind(u'/');
  name.begin = name.slash == String::npos ? 0 : name.slash + 1;
  name.end = url.find_first_of(u"?#", name.begin);
  if (name.end == String::npos) name.end = url.size();
  return name;
}

// The place "digits_xy" used by the two-number form: the last one in the name whose xy is a
// digit and then a digit or a..f, and which no letter or digit follows.
struct TwoNumberPlace {
  size_t digitsBegin = 0;
  size_t underscore = 0;
};

std::optional<TwoNumberPlace> FindTwoNumberPlace(StringView url, const FileName& name) {
  for (size_t u = name.end; u-- > name.begin;) {
    if (url[u] != u'_' || u + 2 >= name.end) continue;
    size_t begin = u;
    while (begin > name.begin && IsDigit(url[begin - 1])) --begin;
    if (begin == u) continue;
    if (!IsDigit(url[u + 1]) || !(IsDigit(url[u + 2]) || IsLowerHexLetter(url[u + 2]))) continue;
    if (u + 3 < name.end && IsLetterOrDigit(url[u + 3])) continue;
    return TwoNumberPlace{begin, u};
  }
  return std::nullopt;
}

void SplitTwoNumbers(StringView url, const FileName& name, const TwoNumberPlace& place, double startNumber,
                     SplitAnalysis& analysis) {
  analysis.twoNumbersFound = true;
  const std::optional<UrlNumber> first = ReadUrlNumber(url.substr(place.digitsBegin, place.underscore - place.digitsBegin));
  if (!first) {
    analysis.twoNumbersRefusal = SplitRefusal::kWidth;
    return;
  }
  const bool selectStartZero = first->value < startNumber;
  const int start = selectStartZero || startNumber == 0 ? 0 : 1;
  // Item i takes entry i of both lists: the first number must be the second's position
  // in its list, counted from the start number.
  const int position = HexDigitValue(url[place.underscore + 1]) * 16 + HexDigitValue(url[place.underscore + 2]);
  const int secondEnd = first->end - start;  // both lists equally long
  if (first->value != position + start || secondEnd < 0 || secondEnd > kHighestSecondIndex) {
    analysis.twoNumbersRefusal = SplitRefusal::kNotLinked;
    return;
  }

  SplitFields fields;
  fields.selectStartZero = selectStartZero;
  fields.check1 = fields.checkund = fields.check2 = 1;
  const StringView before = url.substr(name.begin, place.digitsBegin - name.begin);
  const size_t folderSlash =
      name.slash == String::npos || name.slash == 0 ? String::npos : url.rfind(u'/', name.slash - 1);
  // Directly under the host ("http://host/name"), or with no folder before the name at all,
  // there is no folder to put into the subfolder part.
  const bool underHost = folderSlash == String::npos || (folderSlash > 0 && url[folderSlash - 1] == u'/');
  if (underHost) {
    fields.url = String(url.substr(0, name.begin));
    fields.subfolder = String(before);
    fields.check3 = before.empty() ? 0 : 1;
  } else {
    fields.url = String(url.substr(0, folderSlash + 1));
    fields.subfolder = String(url.substr(folderSlash + 1, place.digitsBegin - folderSlash - 1));
    fields.check3 = 1;
  }
  fields.extension = String(url.substr(place.underscore + 3));
  fields.secondEnd = SecondNumberText(secondEnd);
  fields.firstEnd = first->endText;
  analysis.twoNumbers = fields;
}

void SplitOneNumber(StringView url, const FileName& name, double startNumber, SplitAnalysis& analysis) {
  size_t end = name.end;
  while (end > name.begin && !IsDigit(url[end - 1])) --end;
  size_t begin = end;
  while (begin > name.begin && IsDigit(url[begin - 1])) --begin;
  const std::optional<UrlNumber> number = ReadUrlNumber(url.substr(begin, end - begin));
  if (!number) {
    analysis.oneNumberRefusal = SplitRefusal::kWidth;
    return;
  }
  SplitFields fields;
  fields.selectStartZero = number->value < startNumber;
  fields.check1 = 1;
  fields.url = String(url.substr(0, begin));
  fields.extension = String(url.substr(end));
  fields.firstEnd = number->endText;
  analysis.oneNumber = fields;
}

void CopyItems(const ItemList& from, ItemList& to) {
  const int count = from.Count();
  for (int i = 0; i < count; ++i) to.AddItem(from.Item(i));
}

const String& ReasonText(SplitRefusal refusal) {
  switch (refusal) {
    case SplitRefusal::kWidth: return kSplitWidthReason;
    case SplitRefusal::kNotLinked: return kSplitNotLinkedReason;
    case SplitRefusal::kNoNumber: break;
  }
  return kSplitNoNumberReason;
}

}  // namespace

String TrimmedUrl(StringView text) {
  static constexpr char16_t kBlanks[] = u" \t\r\n";
  const size_t begin = text.find_first_not_of(kBlanks);
  if (begin == StringView::npos) return String();
  const size_t end = text.find_last_not_of(kBlanks);
  return String(text.substr(begin, end - begin + 1));
}

SplitAnalysis AnalyseUrlSplit(StringView url, double startNumber) {
  SplitAnalysis analysis;
  const FileName name = FindFileName(url);
  for (size_t i = name.begin; i < name.end && !analysis.hasDigits; ++i) analysis.hasDigits = IsDigit(url[i]);
  if (!analysis.hasDigits) return analysis;
  if (const auto place = FindTwoNumberPlace(url, name)) SplitTwoNumbers(url, name, *place, startNumber, analysis);
  SplitOneNumber(url, name, startNumber, analysis);
  return analysis;
}

void ApplySplitFields(Program& program, const SplitFields& fields) {
  const Form1& f = program.form;
  // Selecting start 0 empties Text(1), so it comes before the end values.
  if (fields.selectStartZero) f.Option0->Select();
  f.Check3->SetValue(fields.check3);
  f.Check1->SetValue(fields.check1);
  f.Check2->SetValue(fields.check2);
  f.Checkund->SetValue(fields.checkund);
  f.urltxt->SetText(fields.url);
  if (fields.subfolder) f.Combo2->SetText(*fields.subfolder);
  f.Combo1->SetText(fields.extension);
  f.Combo3->SetText(fields.secondEnd);  // copied into Text(2) by its change handling
  f.Text(1).SetText(fields.firstEnd);
}

bool ExpansionRebuildsUrl(const Program& program, const SplitFields& fields, const String& url) {
  const Form1& f = program.form;
  // No message box and no window messages; texts are measured and narrowed as the real
  // window does.
  PlatformWithoutBoxes platform(*program.platform, PlatformWithoutBoxes::kSkip);
  ModelForm window;
  Program scratch;
  scratch.form = window.form();
  scratch.platform = &platform;
  WireEvents(scratch);

  // The window as it is now, then the fields, then the expand command as the user's press
  // would run it.
  window.Check3.SetValue(f.Check3->Value());
  window.Check1.SetValue(f.Check1->Value());
  window.Check2.SetValue(f.Check2->Value());
  window.Checkund.SetValue(f.Checkund->Value());
  if (f.Option0->Value()) window.Option0.Select();
  if (f.Option1->Value()) window.Option1.Select();
  scratch.startNumber = program.startNumber;
  window.urltxt.SetText(f.urltxt->GetText());
  window.Combo1.SetText(f.Combo1->GetText());
  window.Combo2.SetText(f.Combo2->GetText());
  window.Combo3.SetText(f.Combo3->GetText());
  window.text1.SetText(f.Text(1).GetText());
  window.text2.SetText(f.Text(2).GetText());
  CopyItems(f.List(1), window.list1);
  CopyItems(f.List(2), window.list2);

  ApplySplitFields(scratch, fields);
  RunExpandCommand(scratch);

  bool found = false;
  for (const String& item : window.urllist.Items()) {
    if (item.size() != url.size()) return false;
    found = found || item == url;
  }
  return found;
}

bool SplitUrl(Program& program, bool silent) {
  auto refuse = [&program, silent](const String& text) {
    if (!silent) program.platform->ShowMessage(text, kWarningCaption, kOkOnly);
    return false;
  };
  const String url = TrimmedUrl(program.form.urltxt->GetText());
  if (url.empty() || url == kUrlPrompt) return refuse(kUrlMissingMessage);

  const SplitAnalysis analysis = AnalyseUrlSplit(url, program.startNumber);
  if (!analysis.hasDigits) return refuse(kSplitRefusedMessage + u"\n" + kSplitNoNumberReason);

  bool notLinked = analysis.twoNumbersFound && analysis.twoNumbersRefusal == SplitRefusal::kNotLinked;
  if (analysis.twoNumbers) {
    if (ExpansionRebuildsUrl(program, *analysis.twoNumbers, url)) {
      ApplySplitFields(program, *analysis.twoNumbers);
      return true;
    }
    notLinked = true;
  }
  SplitRefusal oneNumberRefusal = analysis.oneNumberRefusal;
  if (analysis.oneNumber) {
    if (ExpansionRebuildsUrl(program, *analysis.oneNumber, url)) {
      ApplySplitFields(program, *analysis.oneNumber);
      return true;
    }
    oneNumberRefusal = SplitRefusal::kNoNumber;
  }
  return refuse(kSplitRefusedMessage + u"\n" + ReasonText(notLinked ? SplitRefusal::kNotLinked : oneNumberRefusal));
}

void SplitUrlCommand(Program& program) { SplitUrl(program, false); }

void SplitCopiedUrl(Program& program) {
  if (program.autoSplit) SplitUrl(program, true);
}

}  // namespace velnor
