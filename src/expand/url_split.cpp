#include "expand/url_split.h"

#include <vector>

#include "expand/expand_command.h"
#include "expand/input_checks.h"
#include "expand/scratch_window.h"
#include "ui/input_fields.h"
#include "ui/model_form.h"

namespace velnor {
namespace {

// The second number counts 00 ... 9f: 160 values.
constexpr int kHighestSecondIndex = 159;

constexpr bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
constexpr bool IsLowerHexLetter(char16_t c) { return c >= u'a' && c <= u'f'; }
constexpr bool IsHexDigit(char16_t c) { return IsDigit(c) || IsLowerHexLetter(c) || (c >= u'A' && c <= u'F'); }
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

// Where the file name lies in the URL, and which of its digits may belong to a running
// number: the two characters of a "%xx" escape never do.
class FileName {
 public:
  explicit FileName(StringView url) : url_(url) {
    const size_t scheme = url.find(u"//");
    if (scheme != StringView::npos && url.substr(0, scheme).find_first_of(u"/?#") == StringView::npos) {
      // The host, with user information and port, runs up to the next "/", "?" or "#"; the
      // path from there up to the query or the fragment.
      const size_t pathBegin = url.find_first_of(u"/?#", scheme + 2);
      if (pathBegin == StringView::npos || url[pathBegin] != u'/') {
        slash = begin = end = url.size();  // no path: no name
        return;
      }
      end = url.find_first_of(u"?#", pathBegin);
      if (end == StringView::npos) end = url.size();
      slash = url.rfind(u'/', end - 1);
    } else {
      slash = url.rfind(u'/');
      end = url.find_first_of(u"?#", slash == StringView::npos ? 0 : slash + 1);
      if (end == StringView::npos) end = url.size();
    }
    begin = slash == StringView::npos ? 0 : slash + 1;
    escaped_.assign(end - begin, false);
    for (size_t i = begin; i + 2 < end; ++i) {
      if (url[i] == u'%' && IsHexDigit(url[i + 1]) && IsHexDigit(url[i + 2])) {
        escaped_[i + 1 - begin] = escaped_[i + 2 - begin] = true;
        i += 2;
      }
    }
  }

  // A decimal digit of the name that is not part of an escape.
  bool NumberDigit(size_t i) const { return IsDigit(url_[i]) && !escaped_[i - begin]; }

  size_t slash = StringView::npos;  // the "/" before the name; npos when there is none
  size_t begin = 0;
  size_t end = 0;

 private:
  StringView url_;
  std::vector<bool> escaped_;
};

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
    while (begin > name.begin && name.NumberDigit(begin - 1)) --begin;
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
  // Item i takes entry i of both lists: the first number must be the second's position in
  // its list, counted from the start number. Only one start number can make that hold; it
  // is selected when it is not the one selected now.
  const int position = HexDigitValue(url[place.underscore + 1]) * 16 + HexDigitValue(url[place.underscore + 2]);
  auto linkedFrom = [&first, position](int start) {
    const int secondEnd = first->end - start;  // both lists equally long
    return first->value == position + start && secondEnd >= 0 && secondEnd <= kHighestSecondIndex;
  };
  const int selected = startNumber == 1 ? 1 : 0;
  int start = selected;
  if (!linkedFrom(start)) {
    start = 1 - selected;
    if (!linkedFrom(start)) {
      analysis.twoNumbersRefusal = SplitRefusal::kNotLinked;
      return;
    }
  }

  SplitFields fields;
  if (start != selected) fields.selectStart = start;
  fields.check1 = fields.checkund = fields.check2 = 1;
  const StringView before = url.substr(name.begin, place.digitsBegin - name.begin);
  const size_t folderSlash =
      name.slash == String::npos || name.slash == 0 ? String::npos : url.rfind(u'/', name.slash - 1);
  // Directly under the host ("http://host/name"), or with no folder before the name at all,
  // there is no folder to put into the subfolder part.
  const bool underHost = folderSlash == String::npos || (folderSlash > 0 && url[folderSlash - 1] == u'/');
  if (underHost) {
    fields.url = url.substr(0, name.begin);
    fields.subfolder = before;
    fields.check3 = before.empty() ? 0 : 1;
  } else {
    fields.url = url.substr(0, folderSlash + 1);
    fields.subfolder = url.substr(folderSlash + 1, place.digitsBegin - folderSlash - 1);
    fields.check3 = 1;
  }
  fields.extension = url.substr(place.underscore + 3);
  fields.secondEnd = SecondNumberText(first->end - start);
  fields.firstEnd = first->endText;
  analysis.twoNumbers = fields;
}

void SplitOneNumber(StringView url, const FileName& name, double startNumber, SplitAnalysis& analysis) {
  size_t end = name.end;
  while (end > name.begin && !name.NumberDigit(end - 1)) --end;
  size_t begin = end;
  while (begin > name.begin && name.NumberDigit(begin - 1)) --begin;
  const std::optional<UrlNumber> number = ReadUrlNumber(url.substr(begin, end - begin));
  if (!number) {
    analysis.oneNumberRefusal = SplitRefusal::kWidth;
    return;
  }
  SplitFields fields;
  if (number->value < startNumber) fields.selectStart = 0;
  fields.check1 = 1;
  fields.url = url.substr(0, begin);
  fields.extension = url.substr(end);
  fields.firstEnd = number->endText;
  analysis.oneNumber = fields;
}

// A short text in place of a long one around the numbers of a trial expansion.
String StandIn(StringView text) {
  constexpr size_t kLongest = 16;
  return String(text.substr(0, kLongest));
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

StringView TrimmedUrl(StringView text) {
  // The ideographic space and the no-break space come with text copied from pages and
  // Japanese documents.
  static constexpr char16_t kBlanks[] = u" \t\r\n\u3000\u00A0";
  const size_t begin = text.find_first_not_of(kBlanks);
  if (begin == StringView::npos) return StringView();
  const size_t end = text.find_last_not_of(kBlanks);
  return text.substr(begin, end - begin + 1);
}

bool HasBlankInside(StringView url) {
  // Blanks (the ideographic and the no-break space too), tabs, line breaks of every kind, and
  // the line and paragraph separators.
  return url.find_first_of(u" \t\r\n\v\f\u0085\u2028\u2029\u3000\u00A0") != StringView::npos;
}

SplitAnalysis AnalyseUrlSplit(StringView url, double startNumber) {
  SplitAnalysis analysis;
  const FileName name(url);
  for (size_t i = name.begin; i < name.end && !analysis.hasDigits; ++i) analysis.hasDigits = name.NumberDigit(i);
  if (!analysis.hasDigits) return analysis;
  if (const auto place = FindTwoNumberPlace(url, name)) SplitTwoNumbers(url, name, *place, startNumber, analysis);
  SplitOneNumber(url, name, startNumber, analysis);
  return analysis;
}

void ApplySplitFields(Program& program, const SplitFields& fields) {
  const Form1& f = program.form;
  // Selecting a start number empties Text(1), so it comes before the end values.
  if (fields.selectStart == 0) f.Option0->Select();
  if (fields.selectStart == 1) f.Option1->Select();
  f.Check3->SetValue(fields.check3);
  f.Check1->SetValue(fields.check1);
  f.Check2->SetValue(fields.check2);
  f.Checkund->SetValue(fields.checkund);
  f.urltxt->SetText(String(fields.url));
  if (fields.subfolder) f.Combo2->SetText(String(*fields.subfolder));
  f.Combo1->SetText(String(fields.extension));
  f.Combo3->SetText(fields.secondEnd);  // copied into Text(2) by its change handling
  f.Text(1).SetText(fields.firstEnd);
}

bool ExpansionRebuildsUrl(const Program& program, const SplitFields& fields, StringView url) {
  const Form1& f = program.form;
  // What of the window the fields leave as it is: the start number, the work lists and the
  // subfolder (which takes part only when the fields set it).
  ScratchWindow scratch(program);
  ModelForm& window = scratch.window;
  window.Combo2.SetText(StandIn(f.Combo2->GetText()));

  // The URL is the fields' texts with the numbers between them: the same with stand-ins.
  const size_t numbersBegin = fields.url.size() + (fields.subfolder ? fields.subfolder->size() : 0);
  const StringView numbers = url.substr(numbersBegin, url.size() - numbersBegin - fields.extension.size());
  const String url0 = StandIn(fields.url);
  const String subfolder0 = fields.subfolder ? StandIn(*fields.subfolder) : String();
  const String extension0 = StandIn(fields.extension);
  SplitFields shortFields = fields;
  shortFields.url = url0;
  if (fields.subfolder) shortFields.subfolder = StringView(subfolder0);
  shortFields.extension = extension0;
  const String shortUrl = url0 + subfolder0 + String(numbers) + extension0;

  // The fields, then the expand command as the user's press would run it.
  ApplySplitFields(scratch.program, shortFields);
  RunExpandCommand(scratch.program);

  bool found = false;
  for (const String& item : window.urllist.Items()) {
    if (item.size() != shortUrl.size()) return false;
    found = found || item == shortUrl;
  }
  return found;
}

bool SplitUrl(Program& program, bool silent) {
  // The fields are views into this copy until they are written.
  return SplitUrlText(program, program.form.urltxt->GetText(), silent);
}

bool SplitUrlText(Program& program, const String& text, bool silent) {
  auto refuse = [&program, silent](const String& message) {
    if (!silent) program.platform->ShowMessage(message, kWarningCaption, kOkOnly);
    return false;
  };
  const StringView url = TrimmedUrl(text);
  if (url.empty() || url == kUrlPrompt) return refuse(kUrlMissingMessage);
  if (HasBlankInside(url)) return refuse(kSplitRefusedMessage + u"\n" + kSplitBlankReason);

  const SplitAnalysis analysis = AnalyseUrlSplit(url, program.startNumber);
  if (!analysis.hasDigits) return refuse(kSplitRefusedMessage + u"\n" + kSplitNoNumberReason);

  bool notLinked = analysis.twoNumbersFound && analysis.twoNumbersRefusal == SplitRefusal::kNotLinked;
  if (analysis.twoNumbers) {
    if (ExpansionRebuildsUrl(program, *analysis.twoNumbers, url)) {
      ApplySplitFields(program, *analysis.twoNumbers);
      program.splitUrl = String(url);
      return true;
    }
    notLinked = true;
  }
  SplitRefusal oneNumberRefusal = analysis.oneNumberRefusal;
  if (analysis.oneNumber) {
    if (ExpansionRebuildsUrl(program, *analysis.oneNumber, url)) {
      ApplySplitFields(program, *analysis.oneNumber);
      program.splitUrl = String(url);
      return true;
    }
    oneNumberRefusal = SplitRefusal::kNoNumber;
  }
  return refuse(kSplitRefusedMessage + u"\n" + ReasonText(notLinked ? SplitRefusal::kNotLinked : oneNumberRefusal));
}

void SplitUrlCommand(Program& program) { SplitUrl(program, false); }

bool SplitCopiedUrl(Program& program, const String& url) {
  return program.autoSplit && SplitUrlText(program, url, true);
}

}  // namespace velnor
