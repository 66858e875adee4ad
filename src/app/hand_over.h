#pragma once
// A second start that was given an argument hands the URL to the running instance of the same
// program file instead of showing its refusal: the text goes to the running main window as a
// WM_COPYDATA message marked with the program's own tag.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/handed_url.h"

namespace velnor {

// The COPYDATASTRUCT's dwData of a hand-over ("VLNR"): the window takes no other data.
inline constexpr uintptr_t kHandOverTag = 0x564C4E52;

// The largest hand-over: the longest handed text, as UTF-16 without a terminating NUL.
inline constexpr size_t kMaxHandOverBytes = kMaxHandedTextLength * sizeof(char16_t);

// The text a WM_COPYDATA message hands over, or nothing when it is not a hand-over of this
// program's: another tag, no data or more than kMaxHandOverBytes, an odd number of bytes, or a
// NUL inside. The rule for handed URLs is applied afterwards.
std::optional<String> HandedOverText(uintptr_t tag, const void* data, size_t bytes);

// At a start with arguments, when another instance runs: hands the URL that the arguments
// hand (if any) to it. True when the start is to end quietly: the URL went over, or the
// arguments hand none. When it could not go over, the start goes on as one without arguments
// (and is refused with the box); false then, and when no other instance runs.
bool HandOverStartUrl(Program& program);

// Once the window is shown: takes the URL the command line handed, if any, by the rule.
void TakeStartUrl(Program& program);

}  // namespace velnor
