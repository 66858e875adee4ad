#include "download/download_job.h"

#include <algorithm>

#include "base/numbers.h"
#include "download/file_names.h"
#include "download/http_answer.h"

namespace velnor {
namespace {

// The speed is what arrived over this last stretch of time.
constexpr uint64_t kSpeedWindowMs = 3000;
constexpr StringView kSeparator = u" · ";

bool IsTransientStatus(int status) {
  return status == 408 || status == 429 || status == 500 || status == 502 || status == 503 || status == 504;
}

String Decimal(uint64_t value) { return DecimalText(static_cast<int64_t>(value)); }

// value / unit with one decimal, rounded: "1.2".
String Tenths(uint64_t value, uint64_t unit) {
  const uint64_t tenths = value / unit * 10 + ((value % unit) * 10 + unit / 2) / unit;
  return Decimal(tenths / 10) + u"." + Decimal(tenths % 10);
}

String ByteText(uint64_t bytes) {
  constexpr uint64_t kKilo = 1024;
  if (bytes < kKilo) return Decimal(bytes) + u" B";
  if (bytes < kKilo * kKilo - kKilo / 20) return Tenths(bytes, kKilo) + u" KB";
  if (bytes < kKilo * kKilo * kKilo - kKilo * kKilo / 20) return Tenths(bytes, kKilo * kKilo) + u" MB";
  return Tenths(bytes, kKilo * kKilo * kKilo) + u" GB";
}

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
  bytesReceived_ = 0;
  speedSamples_.clear();
  ++revision_;
  transfer_.SetConnections(options_.connections);
  Fill();
  return true;
}

String DownloadJob::PathInFolder(const String& name) const {
  const String& folder = options_.folder;
  if (!folder.empty() && (folder.back() == u'\\' || folder.back() == u'/')) return folder + name;
  return folder + u"\\" + name;
}

String DownloadJob::PartPath(int index) const { return PathInFolder(items_[index].name + String(kPartSuffix)); }

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
      const int index = nextUnstarted_++;
      if (items_[index].state == ItemState::kWaiting) TakeTurn(index);
    }
  }
  FinishIfIdle();
}

// An item's first turn: some are settled without a request.
void DownloadJob::TakeTurn(int index) {
  DownloadItem& item = items_[index];
  if (!IsSupportedUrl(item.url)) {
    Settle(index, ItemState::kFailed, u"対応していないURL");
    return;
  }
  const String path = PathInFolder(item.name);
  if (folder_.FileExists(path)) {
    item.totalSize = folder_.FileSize(path);
    item.bytes = item.totalSize.value_or(0);
    Settle(index, ItemState::kExisting);
    return;
  }
  Launch(index);
}

void DownloadJob::Launch(int index) {
  DownloadItem& item = items_[index];
  TransferRequest request;
  request.item = index;
  request.url = item.url;
  if (options_.sendReferer) request.referer = RefererFor(item.url);
  request.partPath = PartPath(index);
  request.finalPath = PathInFolder(item.name);
  request.resumeFrom = folder_.FileSize(request.partPath).value_or(0);
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
  if (index < 0 || index >= Count() || !InFlight(index)) return;
  --active_;
  queued_.erase(index);
  CountBytes(index, result.partSize);
  if (result.totalSize) items_[index].totalSize = result.totalSize;
  if (result.retryAfterSeconds) {
    uint64_t& readyAt = hostReadyAtMs_[HostKey(items_[index].url)];
    readyAt = std::max(readyAt, clock_.NowMilliseconds() + static_cast<uint64_t>(*result.retryAfterSeconds) * 1000);
  }
  switch (result.outcome) {
    case TransferOutcome::kComplete:
      Complete(index, result);
      break;
    case TransferOutcome::kHttpError: {
      const int status = result.status;
      const String reason = u"HTTP " + DecimalText(status);
      if (status == 404 || status == 410) {
        Settle(index, ItemState::kNotFound);
        CheckEndOfSeries(index);
      } else if (IsTransientStatus(status) || (status == 416 && pending_[index].requestedFrom > 0)) {
        // A 416 to a Range: the part reaches past the end of the file; it starts again.
        if (status == 416) folder_.Remove(PartPath(index));
        FailTransient(index, reason);
      } else {
        Settle(index, ItemState::kFailed, reason);
      }
      break;
    }
    case TransferOutcome::kPage:  // a page where a picture was asked for: missing
      Settle(index, ItemState::kNotFound);
      CheckEndOfSeries(index);
      break;
    case TransferOutcome::kCutShort:
      FailTransient(index, u"途中で切れました");
      break;
    case TransferOutcome::kCannotConnect:
      FailTransient(index, u"接続できません");
      break;
    case TransferOutcome::kTimeout:
      FailTransient(index, u"タイムアウト");
      break;
    case TransferOutcome::kCertificate:
      Settle(index, ItemState::kFailed, u"証明書エラー");
      break;
    case TransferOutcome::kTooManyRedirects:
      Settle(index, ItemState::kFailed, u"リダイレクトが多すぎます");
      break;
    case TransferOutcome::kUnsupportedUrl:
      Settle(index, ItemState::kFailed, u"対応していないURL");
      break;
    case TransferOutcome::kWriteFailed:
      StopForWriteFailure(index);
      break;
    case TransferOutcome::kCancelled:
      Settle(index, ItemState::kCancelled);
      break;
    case TransferOutcome::kNotBegun:
      HandBack(index);
      break;
  }
}

void DownloadJob::Complete(int index, const TransferResult& result) {
  DownloadItem& item = items_[index];
  if (result.renamed) {  // the worker found it whole and put it in place
    item.totalSize = result.partSize;
    Settle(index, ItemState::kDone);
    return;
  }
  if (result.totalSize && result.partSize != *result.totalSize) {
    // More than the whole file cannot be resumed: that part starts again.
    if (result.partSize > *result.totalSize) folder_.Remove(PartPath(index));
    FailTransient(index, u"途中で切れました");
    return;
  }
  if (!folder_.Rename(PartPath(index), PathInFolder(item.name))) {
    StopForWriteFailure(index);
    return;
  }
  item.totalSize = result.partSize;
  Settle(index, ItemState::kDone);
}

// Another try after 1, 2, 4 s; after the last one, or once the job stops, the item ends.
void DownloadJob::FailTransient(int index, const String& reason) {
  Pending& pending = pending_[index];
  if (stop_ == Stop::kCancelled) {
    Settle(index, ItemState::kCancelled);
  } else if (stop_ != Stop::kNone || pending.transientFailures >= kMaxRetries) {
    Settle(index, ItemState::kFailed, reason);
  } else {
    pending.retryAtMs = clock_.NowMilliseconds() + (kFirstRetryWaitMs << pending.transientFailures);
    ++pending.transientFailures;
    items_[index].state = ItemState::kWaiting;
    items_[index].failure = reason;  // shown if the job stops before the retry
    retries_.insert(index);
    ++revision_;
  }
}

// A write that fails ends the job: nothing more starts, the transfers under way finish.
void DownloadJob::StopForWriteFailure(int index) {
  folder_.Remove(PartPath(index));
  Settle(index, ItemState::kFailed, u"書き込めません");
  if (stop_ == Stop::kNone) stop_ = Stop::kWriteFailed;
  MarkUnstartedNotRun();
  for (const int waiting : retries_) Settle(waiting, ItemState::kFailed, items_[waiting].failure);
  retries_.clear();
}

// Once kMissingRunThatEndsSeries items in a row are "見つかりません", the items not yet
// started (all after the run: items start in list order) are not requested.
void DownloadJob::CheckEndOfSeries(int index) {
  if (!options_.stopAfterMissing) return;
  auto missing = [this](int k) { return k >= 0 && k < Count() && items_[k].state == ItemState::kNotFound; };
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
  if (pending_[index].transientFailures > 0) {
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
  if (running_ && active_ == 0 && retries_.empty() && nextUnstarted_ >= Count()) {
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

String DownloadJob::StateText(int index) const {
  const DownloadItem& item = items_[index];
  switch (item.state) {
    case ItemState::kWaiting:
    case ItemState::kQueued:
      return u"待機中";
    case ItemState::kRunning:
      if (item.totalSize && *item.totalSize > 0) {
        return u"ダウンロード中 " + Decimal(std::min<uint64_t>(100, item.bytes * 100 / *item.totalSize)) + u"%";
      }
      return u"ダウンロード中 " + ByteText(item.bytes);
    case ItemState::kDone:
      return u"完了";
    case ItemState::kExisting:
      return u"既存";
    case ItemState::kNotFound:
      return u"見つかりません";
    case ItemState::kFailed:
      return u"失敗: " + item.failure;
    case ItemState::kCancelled:
      return u"中止";
    case ItemState::kNotRun:
      return u"未実行";
  }
  return {};
}

String DownloadJob::SizeText(int index) const {
  const DownloadItem& item = items_[index];
  if (item.totalSize) return ByteText(*item.totalSize);
  return item.bytes > 0 ? ByteText(item.bytes) : String();
}

uint64_t DownloadJob::BytesPerSecond() const {
  if (speedSamples_.size() < 2) return 0;
  const auto& [firstMs, firstBytes] = speedSamples_.front();
  const auto& [lastMs, lastBytes] = speedSamples_.back();
  if (lastMs <= firstMs) return 0;
  return (lastBytes - firstBytes) * 1000 / (lastMs - firstMs);
}

String DownloadJob::StatusLine() const {
  if (!started_) return {};
  int counts[9] = {};
  for (const DownloadItem& item : items_) ++counts[static_cast<int>(item.state)];
  auto count = [&counts](ItemState state) { return DecimalText(counts[static_cast<int>(state)]) + u" 件"; };
  if (running_) {
    const int remaining = counts[static_cast<int>(ItemState::kWaiting)] +
                          counts[static_cast<int>(ItemState::kQueued)] + counts[static_cast<int>(ItemState::kRunning)];
    return u"ダウンロード中: 残り " + DecimalText(remaining) + u" 件" + String(kSeparator) +
           Tenths(BytesPerSecond(), 1024 * 1024) + u" MB/s";
  }
  const String separator(kSeparator);
  return u"完了 " + count(ItemState::kDone) + separator + u"既存 " + count(ItemState::kExisting) + separator +
         u"見つかりません " + count(ItemState::kNotFound) + separator + u"失敗 " + count(ItemState::kFailed) +
         separator + u"中止 " + count(ItemState::kCancelled) + separator + u"未実行 " + count(ItemState::kNotRun);
}

int DownloadJob::ProgressPercent() const {
  if (items_.empty()) return 0;
  double settled = 0;
  for (const DownloadItem& item : items_) {
    if (item.state == ItemState::kRunning) {
      if (item.totalSize && *item.totalSize > 0) {
        settled += std::min(1.0, static_cast<double>(item.bytes) / static_cast<double>(*item.totalSize));
      }
    } else if (item.state != ItemState::kWaiting && item.state != ItemState::kQueued) {
      settled += 1;
    }
  }
  return static_cast<int>(settled * 100 / static_cast<double>(items_.size()));
}

uint64_t DownloadJob::Revision() const { return revision_; }

}  // namespace velnor
