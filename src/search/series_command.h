#pragma once
// The Edit menu's 「続きを探す」 (Ctrl+F): the expand command's input checks, then the search
// for the items after the list while the user waits, then the end fields set to the last item
// that exists and the list expanded as 「連番 展開」 does.
#include "search/series_search.h"

namespace velnor {

inline const String kNoSeriesNumberMessage = u"続きを探せる番号がありません";
inline const String kNothingFoundMessage = u"続きは見つかりませんでした";
// This, a line break, the download's reason, a line break and the URL that failed.
inline const String kSearchFailedMessage = u"続きを探せませんでした";

// What runs the search while the user waits (a modal window on Win32, a model in tests).
class SeriesSearchRunner {
 public:
  virtual ~SeriesSearchRunner() = default;
  // Runs it to its end or until it is stopped; stopped by the user or by the program's end,
  // the result says cancelled.
  virtual SeriesSearchResult Run(const SeriesPlan& plan, const DownloadOptions& options) = 0;
};

void FindSeriesCommand(Program& program, SeriesSearchRunner& runner);

}  // namespace velnor
