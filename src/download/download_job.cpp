#include "download/download_job.h"

#include <algorithm>

#include "download/download_texts.h"
#include "download/file_names.h"
#include "download/http_answer.h"
#include "download/item_transfer.h"

namespace velnor {
namespace {

// The speed is what arrived over this last stretch of time.
constexpr uint64_t kSpeedWindowMs = 3000;

}  // namespace

DownloadJob::DownloadJob(TransferPlatform& transfer, DownloadFolderPlatform& folder, DownloadClock& clock)
    : transfer_(transfer), folder_(folder), clock_(clock) {}

void DownloadJob::SetItems(std::vector<String> urls) {
  if (running_) return;
  items_.clear();
  items_.reserve(urls.size());
  for (String& url : urls) {
    DownloadItem item;
    item.url = std::move(url);
    items_.push_back(std::move(item));
  }
  // Named in list order as far as they are needed: the window shows the rows in view at
  // first, and a long list opens without naming every item.
  namer_ = FileNamer();
  named_ = 0;
  pending_.assign(items_.size(), {});
  started_ = false;
  ++revision_;
}

void DownloadJob::NameUpTo(int index) {
  for (; named_ <= index && named_ < Count(); ++named_) items_[named_].name = namer_.Next(items_[named_].url);
}

bool DownloadJob::Start(const DownloadOptions& options) {
  if (running_) return true;
  if (options.folder.empty() || !folder_.CreateFolder(options.folder)) return false;
  NameUpTo(Count() - 1);
  options_ = options;
  options_.connections = std::clamp(options.connections, kMinDownloadConnections, kMaxDownloadConnections);
  for (DownloadItem& item : items_) {
    item.state = ItemState::kWaiting;
    item.bytes = 0;
    item.totalSize.reset();
    item.failure.clear();
    item.attempts = 0;
  }
  pending_.assign(items_.size(), {});
  started_ = true;
  running_ = true;
  stop_ = Stop::kNone;
  nextUnstarted_ = 0;
  active_ = 0;
  queued_.clear();
  retries_.clear();
  listClosed_ = false;
  hostReadyAtMs_.clear();
  sentinels_.Start(options_);
  bytesReceived_ = 0;
  speedSamples_.clear();
  ++revision_;
  transfer_.SetConnections(options_.connections);
  Fill();
  return true;
}

String DownloadJob::PartPath(int index) const {
  return PathInFolder(options_.folder, items_[index].name + String(kPartSuffix));
}

bool DownloadJob::HostReady(int index, uint64_t now) const {
  if (hostReadyAtMs_.empty()) return true;
  const auto found = hostReadyAtMs_.find(HostKey(items_[index].url));
  return found == hostReadyAtMs_.end() || now >= found->second;
}

bool DownloadJob::InFlight(int index) const {
  return items_[index].state == ItemState::kQueued || items_[index].state == ItemState::kRunning;
}

// Hands over what may start now: retries whose wait is over first, then new items in list
// order. A new item whose server asked for a wait holds back the ones after it, so the
// list is still requested in order.
void DownloadJob::Fill() {
  if (running_ && stop_ == Stop::kNone) {
    const uint64_t now = clock_.NowMilliseconds();
    const int capacity = (1 + kWaitingRequestsPerConnection) * options_.connections;
    for (auto it = retries_.begin(); it != retries_.end() && active_ < capacity;) {
      const int index = *it;
      if (now >= pending_[index].retryAtMs && HostReady(index, now)) {
        it = retries_.erase(it);
        Launch(index);
      } else {
        ++it;
      }
    }
    const int count = Count();
    while (running_ && stop_ == Stop::kNone && !listClosed_ && active_ < capacity && nextUnstarted_ < count &&
           HostReady(nextUnstarted_, now)) {
      // An item handed back by the transport may be followed by some settled meanwhile.
      const int index = nextUnstarted_;
      if (items_[index].state == ItemState::kWaiting && !TakeTurn(index)) break;  // its folder's sentinel first
      ++nextUnstarted_;
    }
  }
  FinishIfIdle();
}

// An item's first turn: some are settled without a request. False when it has to wait for
// the answer of its folder's sentinel (asked now, if it was not yet).
bool DownloadJob::TakeTurn(int index) {
  DownloadItem& item = items_[index];
  if (!IsSupportedUrl(item.url)) {
    Settle(index, ItemState::kFailed, u"対応していないURL");
    return true;
  }
  const String path = PathInFolder(options_.folder, item.name);
  if (folder_.FileExists(path)) {
    item.totalSize = folder_.FileSize(path);
    item.bytes = item.totalSize.value_or(0);
    Settle(index, ItemState::kExisting);
    return true;
  }
  if (!sentinels_.Answered(item.url)) return false;
  Launch(index);
  return true;
}

void DownloadJob::Launch(int index) {
  DownloadItem& item = items_[index];
  TransferRequest request = ItemRequest(index, item, options_, folder_.FileSize(PartPath(index)).value_or(0),
                                        pending_[index].partVerified);
  request.placeholder = sentinels_.Placeholder(item.url);
  pending_[index].requestedFrom = request.resumeFrom;
  item.state = ItemState::kQueued;
  item.bytes = request.resumeFrom;
  ++item.attempts;
  ++active_;
  queued_.insert(index);
  ++revision_;
  transfer_.Start(request);
}

void DownloadJob::CountBytes(int index, uint64_t bytes) {
  if (bytes > items_[index].bytes) bytesReceived_ += bytes - items_[index].bytes;
  items_[index].bytes = bytes;
}

void DownloadJob::OnProgress(int item, uint64_t bytes, std::optional<uint64_t> totalSize) {
  if (item < 0 || item >= Count() || !InFlight(item)) return;
  queued_.erase(item);
  items_[item].state = ItemState::kRunning;
  CountBytes(item, bytes);
  if (totalSize) items_[item].totalSize = totalSize;
  ++revision_;
}

void DownloadJob::OnFinished(const std::vector<TransferResult>& results) {
  for (const TransferResult& result : results) Finished(result);
  Fill();
}

void DownloadJob::Finished(const TransferResult& result) {
  const int index = result.item;
  if (FolderSentinels::IsSentinel(index)) {
    if (const std::optional<String> url = sentinels_.Take(result)) NoteRetryAfter(*url, result);
    return;
  }
  if (index >= Count() || !InFlight(index)) return;
  --active_;
  queued_.erase(index);
  CountBytes(index, result.partSize);
  if (result.totalSize) items_[index].totalSize = result.totalSize;
  NoteRetryAfter(items_[index].url, result);
  Pending& pending = pending_[index];
  if (result.outcome != TransferOutcome::kNotBegun) pending.partVerified = false;
  if (result.partSize > pending.requestedFrom) pending.transientFailures = 0;  // it moved on
  const ItemVerdict verdict = JudgeResult(result, pending.requestedFrom);
  if (verdict.removePart) folder_.Remove(PartPath(index));
  switch (verdict.next) {
    case ItemVerdict::Next::kSettle:
      // A whole file is in place even when a cancel came meanwhile: it is "完了".
      if (verdict.state == ItemState::kDone) items_[index].totalSize = result.partSize;
      Settle(index, verdict.state, verdict.reason);
      if (IsNotFound(verdict.state)) CheckEndOfSeries(index);
      break;
    case ItemVerdict::Next::kRetry:
      FailTransient(index, verdict.reason);
      break;
    case ItemVerdict::Next::kAgain:
      FailTransient(index, verdict.reason, true);
      break;
    case ItemVerdict::Next::kStop:
      StopForWriteFailure(index);
      break;
    case ItemVerdict::Next::kHandBack:
      HandBack(index);
      break;
  }
}

void DownloadJob::NoteRetryAfter(StringView url, const TransferResult& result) {
  if (!result.retryAfterSeconds) return;
  uint64_t& readyAt = hostReadyAtMs_[HostKey(url)];
  readyAt = std::max(readyAt, clock_.NowMilliseconds() + static_cast<uint64_t>(*result.retryAfterSeconds) * 1000);
}

// Another try after 1, 2, 4 s, or at once (a part whose end is unknown: not a failure);
// after the last one, or once the job stops, the item ends.
void DownloadJob::FailTransient(int index, const String& reason, bool atOnce) {
  Pending& pending = pending_[index];
  if (stop_ == Stop::kCancelled) {
    Settle(index, ItemState::kCancelled);
  } else if (stop_ != Stop::kNone || items_[index].attempts >= kMaxAttemptsPerItem ||
             (!atOnce && pending.transientFailures >= kMaxRetries)) {
    Settle(index, ItemState::kFailed, reason);
  } else {
    if (atOnce) {
      pending.retryAtMs = clock_.NowMilliseconds();
      pending.partVerified = true;
    } else {
      pending.retryAtMs = clock_.NowMilliseconds() + (kFirstRetryWaitMs << pending.transientFailures);
      ++pending.transientFailures;
    }
    items_[index].state = ItemState::kWaiting;
    items_[index].failure = reason;  // shown if the job stops before the retry
    retries_.insert(index);
    ++revision_;
  }
}

// A write that fails ends the job: nothing more starts, the transfers under way finish.
void DownloadJob::StopForWriteFailure(int index) {
  Settle(index, ItemState::kFailed, kWriteFailedReason);
  if (stop_ == Stop::kNone) stop_ = Stop::kWriteFailed;
  MarkUnstartedNotRun();
  for (const int waiting : retries_) Settle(waiting, ItemState::kFailed, items_[waiting].failure);
  retries_.clear();
}

// Once kMissingRunThatEndsSeries items in a row are "見つかりません", the items not yet
// started (all after the run: items start in list order) are not requested.
void DownloadJob::CheckEndOfSeries(int index) {
  if (!options_.stopAfterMissing) return;
  auto missing = [this](int k) { return k >= 0 && k < Count() && IsNotFound(items_[k].state); };
  int first = index, last = index;
  while (missing(first - 1) && last - first + 1 < kMissingRunThatEndsSeries) --first;
  while (missing(last + 1) && last - first + 1 < kMissingRunThatEndsSeries) ++last;
  if (last - first + 1 >= kMissingRunThatEndsSeries) MarkUnstartedNotRun();
}

// No new item starts: those not yet requested are not run, and so are the requests the
// transport has not begun yet, which it hands back.
void DownloadJob::MarkUnstartedNotRun() {
  listClosed_ = true;
  TakeBackQueued();
  for (; nextUnstarted_ < Count(); ++nextUnstarted_) {
    if (items_[nextUnstarted_].state == ItemState::kWaiting) items_[nextUnstarted_].state = ItemState::kNotRun;
  }
  ++revision_;
}

void DownloadJob::TakeBackQueued() {
  sentinels_.TakeBackUnbegun();
  for (auto it = queued_.begin(); it != queued_.end();) {
    const int index = *it;
    if (!transfer_.Withdraw(index)) {  // it has begun: its result will come
      ++it;
      continue;
    }
    it = queued_.erase(it);
    --active_;
    HandBack(index);
  }
}

// A request that never went out: the item is as it was before it was handed over. A retry
// waits for its turn again (or ends as the stopped job has it); a first request goes back to
// the list, or is not run once no new item starts.
void DownloadJob::HandBack(int index) {
  DownloadItem& item = items_[index];
  --item.attempts;
  item.bytes = 0;
  item.state = ItemState::kWaiting;
  if (item.attempts > 0) {  // a retry
    if (stop_ == Stop::kCancelled) Settle(index, ItemState::kCancelled);
    else if (stop_ == Stop::kWriteFailed) Settle(index, ItemState::kFailed, item.failure);
    else retries_.insert(index);
  } else if (listClosed_) {
    Settle(index, ItemState::kNotRun);
  } else {
    nextUnstarted_ = std::min(nextUnstarted_, index);
  }
  ++revision_;
}

void DownloadJob::Settle(int index, ItemState state, const String& failure) {
  items_[index].state = state;
  items_[index].failure = failure;
  ++revision_;
}

void DownloadJob::FinishIfIdle() {
  if (running_ && active_ == 0 && !sentinels_.UnderWay() && retries_.empty() && nextUnstarted_ >= Count()) {
    running_ = false;
    ++revision_;
  }
}

void DownloadJob::OnTick() {
  if (!running_) return;
  const uint64_t now = clock_.NowMilliseconds();
  speedSamples_.emplace_back(now, bytesReceived_);
  while (speedSamples_.size() > 2 && now - speedSamples_[1].first >= kSpeedWindowMs) speedSamples_.pop_front();
  ++revision_;
  Fill();
}

void DownloadJob::Cancel() {
  if (!running_ || stop_ == Stop::kCancelled) return;
  stop_ = Stop::kCancelled;
  MarkUnstartedNotRun();
  for (const int waiting : retries_) Settle(waiting, ItemState::kCancelled);
  retries_.clear();
  transfer_.CancelAll();
  FinishIfIdle();
}

bool DownloadJob::Running() const { return running_; }

int DownloadJob::Count() const { return static_cast<int>(items_.size()); }

const DownloadItem& DownloadJob::Item(int index) {
  NameUpTo(index);
  return items_[index];
}

String DownloadJob::StateText(int index) const { return ItemStateText(items_[index]); }

String DownloadJob::SizeText(int index) const { return ItemSizeText(items_[index]); }

uint64_t DownloadJob::BytesPerSecond() const {
  if (speedSamples_.size() < 2) return 0;
  const auto& [firstMs, firstBytes] = speedSamples_.front();
  const auto& [lastMs, lastBytes] = speedSamples_.back();
  if (lastMs <= firstMs) return 0;
  return (lastBytes - firstBytes) * 1000 / (lastMs - firstMs);
}

String DownloadJob::StatusLine() const {
  if (!started_) return {};
  return StatusLineText(items_, running_, BytesPerSecond());
}

int DownloadJob::ProgressPercent() const { return ItemsProgressPercent(items_); }

uint64_t DownloadJob::Revision() const { return revision_; }

}  // namespace velnor
