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
inline const String kSplitBlankReason = u"URLに空白や改行が含まれています";

// What the split writes into the window. The texts are views into the URL that was analysed:
// they live as long as it does.
struct SplitFields {
  std::optional<int> selectStart;  // select Option0 (0) or Option1 (1) first, as a click would
  int check3 = 0;
  int check1 = 0;
  int checkund = 0;
  int check2 = 0;
  StringView url;                       // urltxt
  std::optional<StringView> subfolder;  // Combo2, only when the split sets it
  StringView extension;                 // Combo1
  String secondEnd;                     // Combo3 (and so Text(2))
  String firstEnd;                      // Text(1)

  bool operator==(const SplitFields&) const = default;
};

enum class SplitRefusal { kNoNumber, kWidth, kNotLinked };

// The two ways to split a URL, worked out from its text and the start number alone. A form
// that does not fit carries the reason instead of fields.
struct SplitAnalysis {
  bool hasDigits = false;        // the file name holds a decimal digit outside "%xx" escapes
  bool twoNumbersFound = false;  // a place "digits_xy" in the file name
  std::optional<SplitFields> twoNumbers;
  SplitRefusal twoNumbersRefusal = SplitRefusal::kNotLinked;
  std::optional<SplitFields> oneNumber;
  SplitRefusal oneNumberRefusal = SplitRefusal::kNoNumber;
};

// The URL text without leading and trailing blanks (U+3000 and U+00A0 too), tabs and line
// breaks: a view into `text`.
StringView TrimmedUrl(StringView text);

// True when the (trimmed) text holds a blank (U+3000 and U+00A0 too), a tab or a line break:
// more than one URL, or none.
bool HasBlankInside(StringView url);

// Works out the fields for the URL (already trimmed) at the given start number. The file name
// is looked for in the path only: after the scheme's "//" the host (with user information and
// port) runs up to the next "/", "?" or "#"; a text without "//" takes all after its last "/".
// Its cost grows with the URL's length only.
SplitAnalysis AnalyseUrlSplit(StringView url, double startNumber);

// Writes the fields through the controls, so their change handling runs as for typing.
void ApplySplitFields(Program& program, const SplitFields& fields);

// Runs the expand command on a scratch copy of the window with the fields applied; true when
// the list it builds holds the URL and every item is as long as the URL (every number has
// the URL's width). The texts around the numbers take no part in the numbering, so the
// scratch window gets short stand-ins for them: the proof costs the same for any URL length.
bool ExpansionRebuildsUrl(const Program& program, const SplitFields& fields, StringView url);

// Splits the URL in urltxt into the fields. Nothing changes when it cannot be split; unless
// silent, one message box says why. Returns true when the fields were set.
bool SplitUrl(Program& program, bool silent);

// The same for a text that is not in urltxt yet: urltxt gets its first part only when it
// splits, and is not touched otherwise.
bool SplitUrlText(Program& program, const String& text, bool silent);

// The Edit menu's command (Ctrl+D).
void SplitUrlCommand(Program& program);

// For a URL that the clipboard watcher takes: splits it into the fields when the user has
// asked for that, without a word when it cannot be split. True when it was split; urltxt then
// holds its first part, written once (a long URL costs the edit control seconds a write).
bool SplitCopiedUrl(Program& program, const String& url);

}  // namespace velnor
