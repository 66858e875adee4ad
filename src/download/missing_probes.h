#pragma once
// Which waiting requests a transport keeps after a probe that says its item is missing (404,
// 410, a page). Any other end that is not a whole file hands back every request not begun
// (the search may then want none of them, or none to that server for a while); but a missing
// item leaves the items up to the fifth missing in a row wanted whatever they answer, so only
// those past the earliest place such a run can end go back. The probes of one search carry
// the items' positions, one after the other.
#include <optional>
#include <set>

#include "download/transfer_platform.h"

namespace velnor {

class MissingProbes {
 public:
  // Told of a probe's result: the highest item a waiting request may have and stay, when the
  // probe says missing; nothing otherwise (every waiting request goes back).
  std::optional<int> KeepAfter(const TransferResult& result);

 private:
  std::set<int> missing_;  // items probes said missing
};

}  // namespace velnor
