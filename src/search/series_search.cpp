#include "search/series_search.h"

#include <algorithm>

#include "download/http_answer.h"
#include "download/item_transfer.h"

namespace velnor {
namespace {

constexpr auto kMissingRun = static_cast<size_t>(kMissingRunThatEndsSeries);

}  // namespace

SeriesSearch::SeriesSearch(TransferPlatform& transfer, DownloadClock& clock) : transfer_(transfer), clock_(clock) {}

void SeriesSearch::Start(const SeriesPlan& plan, const DownloadOptions& options) {
  plan_ = plan;
  options_ = options;
  options_.connections = std::clamp(options.connections, kMinDownloadConnections, kMaxDownloadConnections);
  candidates_.clear();
  limit_ = SIZE_MAX;
  next_ = 0;
  again_.clear();
  queued_.clear();
  active_ = 0;
  asked_ = 0;
  hostReadyAtMs_ = 0;
  running_ = true;
  cancelled_ = false;
  transfer_.SetConnections(options_.connections);
  Fill();
}

bool SeriesSearch::Generate(size_t index) {
  if (index >= limit_) return false;
  if (index < candidates_.size()) return true;
  const SeriesNumbers& previous = index == 0 ? plan_.last : candidates_.back().numbers;
  const std::optional<SeriesNumbers> numbers = NextNumbers(previous);
  if (!numbers) {
    limit_ = index;
    return false;
  }
  Candidate candidate;
  candidate.numbers = *numbers;
  candidate.url = plan_.Url(*numbers);
  candidates_.push_back(std::move(candidate));
  return true;
}

// Retries whose wait is over and requests handed back first, then new items in order; the
// transport gets a few beyond its connections, so that a worker that ends one begins the
// next at once, as the download does.
void SeriesSearch::Fill() {
  if (!running_) return;
  const uint64_t now = clock_.NowMilliseconds();
  const int capacity = (1 + kWaitingRequestsPerConnection) * options_.connections;
  if (now >= hostReadyAtMs_) {
    for (auto it = again_.begin(); it != again_.end() && active_ < capacity;) {
      const size_t index = *it;
      if (index < limit_ && now >= candidates_[index].retryAtMs) {
        it = again_.erase(it);
        Launch(index);
      } else {
        ++it;
      }
    }
    while (active_ < capacity && Generate(next_)) {
      const size_t index = next_++;
      if (!IsSupportedUrl(candidates_[index].url)) {
        Settle(index, Answer::kFailed, u"対応していないURL");
        Narrow(index + 1);
        break;
      }
      Launch(index);
    }
  }
  FinishIfOver();
}

void SeriesSearch::Launch(size_t index) {
  Candidate& candidate = candidates_[index];
  TransferRequest request;
  request.item = static_cast<int>(index);
  request.url = candidate.url;
  request.referer = RequestReferer(options_, candidate.url);
  request.probeBytes = kSeriesProbeBytes;
  candidate.answer = Answer::kAsking;
  ++active_;
  queued_.insert(index);
  transfer_.Start(request);
}

void SeriesSearch::OnFinished(const std::vector<TransferResult>& results) {
  if (!running_) return;  // what was under way at the end is not heeded
  for (const TransferResult& result : results) Finished(result);
  Fill();
}

void SeriesSearch::Finished(const TransferResult& result) {
  if (result.item < 0 || static_cast<size_t>(result.item) >= candidates_.size()) return;
  const auto index = static_cast<size_t>(result.item);
  if (candidates_[index].answer != Answer::kAsking) return;
  --active_;
  queued_.erase(index);
  if (result.retryAfterSeconds) {
    hostReadyAtMs_ = std::max(hostReadyAtMs_,
                              clock_.NowMilliseconds() + static_cast<uint64_t>(*result.retryAfterSeconds) * 1000);
  }
  if (result.outcome == TransferOutcome::kNotBegun) {
    HandBack(index);
    return;
  }
  if (result.outcome == TransferOutcome::kCancelled) {
    Settle(index, Answer::kDropped);
    return;
  }
  if (!candidates_[index].answered) ++asked_;
  candidates_[index].answered = true;
  if (index >= limit_) {
    Settle(index, Answer::kDropped);
    return;
  }
  // An answer means for the series what it means for a download of the item.
  const ItemVerdict verdict = JudgeResult(result, 0);
  const bool settled = verdict.next == ItemVerdict::Next::kSettle;
  if (settled && verdict.state == ItemState::kDone) {
    Settle(index, Answer::kExists);
  } else if (settled && IsNotFound(verdict.state)) {
    Settle(index, Answer::kMissing);
    // Five missing in a row end the series: nothing after the fifth is wanted.
    size_t first = index;
    while (first > 0 && index - first + 1 < kMissingRun &&
           candidates_[first - 1].answer == Answer::kMissing) {
      --first;
    }
    size_t last = index;
    while (last + 1 < candidates_.size() && last - first + 1 < kMissingRun &&
           candidates_[last + 1].answer == Answer::kMissing) {
      ++last;
    }
    if (last - first + 1 >= kMissingRun) Narrow(last + 1);
  } else if (verdict.next == ItemVerdict::Next::kRetry) {
    FailTransient(index, verdict.reason);
  } else {
    Settle(index, Answer::kFailed, verdict.reason.empty() ? String(u"書き込めません") : verdict.reason);
    Narrow(index + 1);
  }
}

void SeriesSearch::Settle(size_t index, Answer answer, const String& reason) {
  candidates_[index].answer = answer;
  candidates_[index].reason = reason;
}

// Another try after 1, 2, 4 s, as the download waits; after the last one the item fails.
void SeriesSearch::FailTransient(size_t index, const String& reason) {
  Candidate& candidate = candidates_[index];
  if (candidate.transientFailures >= kMaxRetries) {
    Settle(index, Answer::kFailed, reason);
    Narrow(index + 1);
    return;
  }
  candidate.retryAtMs = clock_.NowMilliseconds() + (kFirstRetryWaitMs << candidate.transientFailures);
  ++candidate.transientFailures;
  Settle(index, Answer::kRetryWait, reason);
  again_.insert(index);
}

// Requests for unwanted items that have not begun are taken back; those under way finish
// unheeded.
void SeriesSearch::Narrow(size_t limit) {
  limit_ = std::min(limit_, limit);
  for (auto it = queued_.lower_bound(limit_); it != queued_.end();) {
    const size_t index = *it;
    if (transfer_.Withdraw(static_cast<int>(index))) {
      --active_;
      Settle(index, Answer::kDropped);
      it = queued_.erase(it);
    } else {
      ++it;
    }
  }
  again_.erase(again_.lower_bound(limit_), again_.end());
}

// A request that never went out: the item waits for its turn again.
void SeriesSearch::HandBack(size_t index) {
  Settle(index, index < limit_ ? Answer::kUnasked : Answer::kDropped, candidates_[index].reason);
  if (index < limit_) again_.insert(index);
}

SeriesSearch::Walk SeriesSearch::WalkAnswers() const {
  Walk walk;
  int missingRun = 0;
  for (size_t i = 0; i < candidates_.size(); ++i) {
    const Answer answer = candidates_[i].answer;
    if (answer == Answer::kExists) {
      walk.lastFound = i;
      missingRun = 0;
    } else if (answer == Answer::kMissing) {
      if (++missingRun == kMissingRunThatEndsSeries) {
        walk.over = true;
        return walk;
      }
    } else {
      walk.over = answer == Answer::kFailed;
      if (walk.over) walk.failed = i;
      return walk;
    }
  }
  walk.over = candidates_.size() >= limit_;  // every item up to the width limit answered
  return walk;
}

void SeriesSearch::FinishIfOver() {
  if (!running_ || !WalkAnswers().over) return;
  running_ = false;
  Narrow(0);
  if (active_ > 0) transfer_.CancelAll();
}

void SeriesSearch::OnTick() { Fill(); }

void SeriesSearch::Cancel() {
  if (!running_) return;
  running_ = false;
  cancelled_ = true;
  transfer_.CancelAll();
}

std::optional<SeriesNumbers> SeriesSearch::FoundSoFar() const {
  const Walk walk = WalkAnswers();
  if (!walk.lastFound) return std::nullopt;
  return candidates_[*walk.lastFound].numbers;
}

SeriesSearchResult SeriesSearch::Result() const {
  SeriesSearchResult result;
  if (cancelled_) {
    result.cancelled = true;
    return result;
  }
  const Walk walk = WalkAnswers();
  if (walk.lastFound) result.found = candidates_[*walk.lastFound].numbers;
  if (walk.failed) result.failure = SeriesFailure{candidates_[*walk.failed].reason, candidates_[*walk.failed].url};
  return result;
}

}  // namespace velnor
