#pragma once
// Splitting one example URL into the fields of the main window, so that the expand command
// right after builds the whole series: the URL part, the subfolder, which parts are ticked,
// the end values of the numbers and the extension.
#include <optional>

#include "ui/program.h"

namespace velnor {

// The message that a URL which cannot be split gives: this, a line break, and the reason.
inline const String kSplitRefusedMessage = u"このURLは分解できません";
inline const String kSplitNoNumberReason = u"連番になる数字が見つかりません";
inline const String kSplitWidthReason = u"2桁か3桁の番号だけを分解できます";
inline const String kSplitNotLinkedReason = u"2つの番号が連動していません";

// What the split writes into the window.
struct SplitFields {
  bool selectStartZero = false;  // select Option0 first, as a click would
  int check3 = 0;
  int check1 = 0;
  int checkund = 0;
  int check2 = 0;
  String url;                         // urltxt
  std::optional<String> subfolder;    // Combo2, only when the split sets it
  String extension;                   // Combo1
  String secondEnd;                   // Combo3 (and so Text(2))
  String firstEnd;                    // Text(1)

  bool operator==(const SplitFields&) const = default;
};

enum class SplitRefusal { kNoNumber, kWidth, kNotLinked };

// The two ways to split a URL, worked out from its text and the start number alone. A form
// that does not fit carries the reason instead of fields.
struct SplitAnalysis {
  bool hasDigits = false;        // the file name holds a decimal digit
  bool twoNumbersFound = false;  // a place "digits_xy" in the file name
  std::optional<SplitFields> twoNumbers;
  SplitRefusal twoNumbersRefusal = SplitRefusal::kNotLinked;
  std::optional<SplitFields> oneNumber;
  SplitRefusal oneNumberRefusal = SplitRefusal::kNoNumber;
};

// The URL text without leading and trailing blanks, tabs and line breaks.
String TrimmedUrl(StringView text);

// Works out the fields for the URL (already trimmed) at the given start number.
SplitAnalysis AnalyseUrlSplit(StringView url, double startNumber);

// Writes the fields through the controls, so their change handling runs as for typing.
void ApplySplitFields(Program& program, const SplitFields& fields);

// Runs the expand command on a scratch copy of the window with the fields applied; true when
// the list it builds holds the URL and every item is as long as the URL (every number has
// the URL's width).
bool ExpansionRebuildsUrl(const Program& program, const SplitFields& fields, const String& url);

// Splits the URL in urltxt into the fields. Nothing changes when it cannot be split; unless
// silent, one message box says why. Returns true when the fields were set.
bool SplitUrl(Program& program, bool silent);

// The Edit menu's command (Ctrl+D).
void SplitUrlCommand(Program& program);

// After the clipboard watcher has put a URL into urltxt: splits it when the user has asked
// for that, without a word when it cannot be split.
void SplitCopiedUrl(Program& program);

}  // namespace velnor
