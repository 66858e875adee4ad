#pragma once
// The list that the fields describe and the items that come after it: each item's running
// numbers as 「連番 展開」 would make them, where the URL the last split took stands among them,
// the numbers that follow the last (each number keeps its width: a two-digit first number ends
// at 99, a three-digit one at 999, the second number at "9f"; both step together, as the list
// pairs them) and the URL of an item.
#include <optional>
#include <vector>

#include "ui/program.h"

namespace velnor {

// The texts of the running numbers of one item; empty for a number that is not ticked.
struct SeriesNumbers {
  String first;
  String second;
  bool operator==(const SeriesNumbers&) const = default;
};

struct SeriesPlan {
  String prefix;      // urltxt, then Combo2 when Check3 is ticked
  bool first = false;       // Check1
  bool underscore = false;  // Checkund
  bool second = false;      // Check2
  String extension;   // Combo1
  SeriesNumbers last;  // the list's last item
  std::vector<SeriesNumbers> items;  // every item of the list, in order; the last is `last`
  // The list's item the last split took from a URL (Program::splitUrl): known to exist.
  std::optional<size_t> copied;

  // The item with these numbers, put together as the list's items are.
  String Url(const SeriesNumbers& numbers) const;
  // The numbers as they appear in the URL: "37", "25" or "37_25".
  static String Shown(const SeriesNumbers& numbers);
};

// The item after the one with these numbers; nothing at a number's width limit.
std::optional<SeriesNumbers> NextNumbers(const SeriesNumbers& numbers);

enum class PlanRefusal { kNoNumber, kAtLimit };

// What the fields describe, worked out on a scratch copy of the window (the window itself is
// not touched and no message is shown): the plan, or why there is nothing to ask about:
// kNoNumber when neither number is ticked, the list would be empty, or its last item lacks a
// ticked number; kAtLimit when the last item is the copied one and a number of it is at its
// width limit (a last item typed by hand may be past the series' end, so it is asked about).
struct PlanOrRefusal {
  std::optional<SeriesPlan> plan;
  PlanRefusal refusal = PlanRefusal::kNoNumber;
};
PlanOrRefusal PlanSeries(const Program& program);

}  // namespace velnor
