#pragma once
// Asking the server where a series ends, wherever that lies. First the list's last item
// (unless it is the copied one, known to exist): when it exists, the items after the list, in
// order; when it is missing, the list runs past the series' end, and the items of the list
// are asked forward instead, from the one after the copied item (from the first without one).
// Each with a GET of its first KB (a probe: nothing is written), by the download's rules (its
// connections, Referer, retries of transient failures with their waits, Retry-After). An item
// exists when the answer is 200 or 206 and not a page; 404, 410 and a page say it is missing.
// The search ends at 5 missing items in a row, at the numbers' width limit or the list's last
// item, or at an item that fails; the end of the series is the last item found before that.
// Runs on the user-interface thread with the transport's results handed in, like the download
// job. As the download does, it asks a folder's sentinel before its first request there:
// an answer with the placeholder is missing.
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "download/download_job.h"
#include "download/folder_sentinels.h"
#include "search/series_plan.h"

namespace velnor {

// Bytes of each answer read: enough for the page rule to judge the item.
constexpr uint64_t kSeriesProbeBytes = 1024;

struct SeriesFailure {
  String reason;  // as the download says it: "HTTP 403", "接続できません", ...
  String url;
  bool operator==(const SeriesFailure&) const = default;
};

struct SeriesSearchResult {
  bool cancelled = false;
  // The last item that exists among those asked after the list (or, when the list runs past
  // the series' end, within it); its position in the list, counting on past its end.
  std::optional<SeriesNumbers> found{};
  std::optional<size_t> foundAt{};
  std::optional<SeriesFailure> failure{};  // the item that ended the search by failing
  bool pastEnd = false;  // the list's last item is missing: the series ends within the list
  bool operator==(const SeriesSearchResult&) const = default;
};

class SeriesSearch {
 public:
  SeriesSearch(TransferPlatform& transfer, DownloadClock& clock);

  void Start(const SeriesPlan& plan, const DownloadOptions& options);
  // The transport's results, all it had to report, in its order.
  void OnFinished(const std::vector<TransferResult>& results);
  // About every 100 ms while running: retries whose wait is over start here.
  void OnTick();
  // Stops every request; the result says cancelled.
  void Cancel();

  bool Running() const { return running_; }
  int Asked() const { return asked_; }  // URLs the server has answered so far
  std::optional<SeriesNumbers> FoundSoFar() const;
  SeriesSearchResult Result() const;

 private:
  // What is asked: the list's last item alone, then the items after it or those before it.
  enum class Walk { kLastItem, kAfterList, kWithinList };
  enum class Answer { kUnasked, kAsking, kRetryWait, kExists, kMissing, kFailed, kDropped };
  struct Candidate {
    SeriesNumbers numbers;
    String url;
    Answer answer = Answer::kUnasked;
    bool answered = false;  // the server answered it once at least
    int transientFailures = 0;
    uint64_t retryAtMs = 0;
    String reason;
  };
  // Where the answers so far put the end: the last item found, and whether the search is
  // over (a run of missing items, a failure, the width limit) and by which item.
  struct Answers {
    std::optional<size_t> lastFound;
    bool over = false;
    std::optional<size_t> failed;
  };

  bool Generate(size_t index);  // makes candidate `index`; false at the width limit or the list's end
  void Fill();
  void Launch(size_t index);
  void Finished(const TransferResult& result);
  void Settle(size_t index, Answer answer, const String& reason = {});
  void FailTransient(size_t index, const String& reason);
  void Narrow(size_t limit);  // nothing at or past `limit` is wanted any more
  void HandBack(size_t index);
  Answers WalkAnswers() const;
  void Begin(Walk walk);
  void AfterLastItem();  // the last item answered: the walk it calls for
  void FinishIfOver();

  TransferPlatform& transfer_;
  DownloadClock& clock_;
  SeriesPlan plan_;
  DownloadOptions options_;
  Walk walk_ = Walk::kAfterList;
  size_t first_ = 0;  // the list position of candidates_[0]: the requests' item
  std::vector<Candidate> candidates_;
  size_t limit_ = SIZE_MAX;  // candidates wanted: those below it
  size_t next_ = 0;          // candidates before it have had their first turn
  std::set<size_t> again_;   // handed back unsent, or waiting for a retry
  std::set<size_t> queued_;  // handed over; may not have begun
  int active_ = 0;
  int asked_ = 0;
  uint64_t hostReadyAtMs_ = 0;  // Retry-After: no request before
  bool running_ = false;
  bool cancelled_ = false;
  FolderSentinels sentinels_{transfer_};
};

}  // namespace velnor
