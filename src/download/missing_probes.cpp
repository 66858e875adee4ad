#include "download/missing_probes.h"

#include "download/download_job.h"
#include "download/item_transfer.h"

namespace velnor {

std::optional<int> MissingProbes::KeepAfter(const TransferResult& result) {
  const ItemVerdict verdict = JudgeResult(result, 0);
  if (verdict.next != ItemVerdict::Next::kSettle || !IsNotFound(verdict.state)) return std::nullopt;
  missing_.insert(result.item);
  // The run of missing items heard so far that this one belongs to can end, at the earliest,
  // with the fifth item from its first.
  int first = result.item;
  while (missing_.count(first - 1) > 0) --first;
  return first + kMissingRunThatEndsSeries - 1;
}

}  // namespace velnor
