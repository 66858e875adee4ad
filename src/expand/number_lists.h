#pragma once
// The work lists List(1) and List(2): the texts of the two running numbers, made from the
// end values in Text(1) and Text(2) before the URLs are generated.
#include "ui/program.h"

namespace velnor {

inline const String kLetterDigitMessage =
    u"1桁のみでの英文字入力、または2桁目の英文字入力はエラーになります";
inline const String kEndValueOutOfRangeMessage = u"終了値が範囲外です";

// Decimal numbers from startNumber up to Text(1), two digits wide, three from 100 on.
void BuildFirstNumberList(Program& program);
// Two-character numbers 00..09, 0a..0f, 10.. up to Text(2), whose first character must be
// a decimal digit.
void BuildSecondNumberList(Program& program);
// With the first number on and no end given: takes the end from the size of List(2), so
// both lists get the same number of entries.
void DeriveFirstEndNumber(Program& program);

}  // namespace velnor
