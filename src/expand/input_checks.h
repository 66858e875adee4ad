#pragma once
#include "ui/program.h"

namespace velnor {

// The check's answer to a URL box that holds nothing but the URL prompt.
inline const String kUrlMissingMessage = u"URLを入力して下さい";

// Warns, one message box at a time, about input from which no list can be built. The expand
// command goes on with its later steps whatever it finds; false when a check stopped the
// checks (every warning but "チェックが入っていません", after which they go on).
bool CheckExpansionInput(Program& program);

}  // namespace velnor
