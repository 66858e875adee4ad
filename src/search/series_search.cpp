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
  active_ = 0;
  asked_ = 0;
  hostReadyAtMs_ = 0;
  running_ = true;
  cancelled_ = false;
  sentinels_.Start(options_);
  transfer_.SetConnections(options_.connections);
  // The copied item is known to exist: the series goes on past it, as far as it goes.
  Begin(plan_.copied == plan_.items.size() - 1 ? Walk::kAfterList : Walk::kLastItem);
  Fill();
}

void SeriesSearch::Begin(Walk walk) {
  const size_t last = plan_.items.size() - 1;
  walk_ = walk;
  candidates_.clear();
  limit_ = SIZE_MAX;
  next_ = 0;
  again_.clear();
  queued_.clear();
  if (walk == Walk::kLastItem) {
    first_ = last;
    limit_ = 1;
  } else if (walk == Walk::kAfterList) {
    first_ = last + 1;
  } else {
    // The last item is missing: the list's own items up to it, from the one after the item
    // the user had in hand.
    first_ = plan_.copied ? *plan_.copied + 1 : 0;
    limit_ = last - first_;
  }
}

// Only an item that exists lets the search go past the list's end; nothing past it is asked
// before its answer.
void SeriesSearch::AfterLastItem() {
  if (walk_ != Walk::kLastItem || candidates_.empty()) return;
  const Answer answer = candidates_[0].answer;
  if (answer == Answer::kExists) Begin(Walk::kAfterList);
  if (answer == Answer::kMissing) Begin(Walk::kWithinList);
}

bool SeriesSearch::Generate(size_t index) {
  if (index >= limit_) return false;
  if (index < candidates_.size()) return true;
  std::optional<SeriesNumbers> numbers;
  if (walk_ == Walk::kAfterList) {
    numbers = NextNumbers(index == 0 ? plan_.last : candidates_.back().numbers);
  } else {
    numbers = plan_.items[first_ + index];  // below the limit: within the list
  }
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
    // Each folder's sentinel first (unsupported URLs are refused without one).
    while (active_ < capacity && Generate(next_) &&
           (!IsSupportedUrl(candidates_[next_].url) || sentinels_.Answered(candidates_[next_].url))) {
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
  request.item = static_cast<int>(first_ + index);
  request.url = candidate.url;
  request.referer = RequestReferer(options_, candidate.url);
  request.probeBytes = kSeriesProbeBytes;
  request.placeholder = sentinels_.Placeholder(candidate.url);
  candidate.answer = Answer::kAsking;
  ++active_;
  queued_.insert(index);
  transfer_.Start(request);
}

void SeriesSearch::OnFinished(const std::vector<TransferResult>& results) {
  if (!running_) return;  // what was under way at the end is not heeded
  for (const TransferResult& result : results) Finished(result);
  AfterLastItem();
  Fill();
}

void SeriesSearch::Finished(const TransferResult& result) {
  if (sentinels_.Take(result) && result.retryAfterSeconds) {
    hostReadyAtMs_ = std::max(hostReadyAtMs_,
                              clock_.NowMilliseconds() + static_cast<uint64_t>(*result.retryAfterSeconds) * 1000);
  }
  // Items of this walk only (the list positions from first_ on).
  if (result.item < 0 || static_cast<size_t>(result.item) < first_ ||
      static_cast<size_t>(result.item) - first_ >= candidates_.size()) {
    return;
  }
  const size_t index = static_cast<size_t>(result.item) - first_;
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
    if (transfer_.Withdraw(static_cast<int>(first_ + index))) {
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

SeriesSearch::Answers SeriesSearch::WalkAnswers() const {
  Answers seen;
  int missingRun = 0;
  for (size_t i = 0; i < candidates_.size(); ++i) {
    const Answer answer = candidates_[i].answer;
    if (answer == Answer::kExists) {
      seen.lastFound = i;
      missingRun = 0;
    } else if (answer == Answer::kMissing) {
      if (++missingRun == kMissingRunThatEndsSeries) {
        seen.over = true;
        return seen;
      }
    } else {
      seen.over = answer == Answer::kFailed;
      if (seen.over) seen.failed = i;
      return seen;
    }
  }
  seen.over = candidates_.size() >= limit_;  // every item up to the width limit or the list's end answered
  return seen;
}

void SeriesSearch::FinishIfOver() {
  if (!running_ || !WalkAnswers().over) return;
  running_ = false;
  Narrow(0);
  if (active_ > 0 || sentinels_.UnderWay()) transfer_.CancelAll();
}

void SeriesSearch::OnTick() { Fill(); }

void SeriesSearch::Cancel() {
  if (!running_) return;
  running_ = false;
  cancelled_ = true;
  transfer_.CancelAll();
}

std::optional<SeriesNumbers> SeriesSearch::FoundSoFar() const {
  const Answers seen = WalkAnswers();
  if (!seen.lastFound || walk_ == Walk::kLastItem) return std::nullopt;
  return candidates_[*seen.lastFound].numbers;
}

SeriesSearchResult SeriesSearch::Result() const {
  SeriesSearchResult result;
  if (cancelled_) {
    result.cancelled = true;
    return result;
  }
  const Answers seen = WalkAnswers();
  result.pastEnd = walk_ == Walk::kWithinList;
  if (seen.lastFound && walk_ != Walk::kLastItem) {
    result.found = candidates_[*seen.lastFound].numbers;
    result.foundAt = first_ + *seen.lastFound;
  }
  if (seen.failed) result.failure = SeriesFailure{candidates_[*seen.failed].reason, candidates_[*seen.failed].url};
  return result;
}

}  // namespace velnor
