#pragma once
// The Edit menu's 「続きを探す」 (Ctrl+F): the expand command's input checks, then the search
// for the series' end while the user waits, before or after the list's end, then the end
// fields set to the last item that exists and the list expanded as 「連番 展開」 does (or, for
// an end the fields cannot hold without fewer digits, the list expanded and cut after it).
#include "search/series_search.h"

namespace velnor {

inline const String kNoSeriesNumberMessage = u"続きを探せる番号がありません";
inline const String kNothingFoundMessage = u"続きは見つかりませんでした";
// The list runs past the series' end, and none of its items exists.
inline const String kListNotFoundMessage = u"一覧のURLは見つかりませんでした";
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
