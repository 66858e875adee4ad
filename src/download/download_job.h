#pragma once
// One download of a list of URLs into a folder: the items and their states, the names, and
// the rules of a polite download (a few connections, retries of transient failures with
// waits, Retry-After, the end of the series, resume of parts). The transfers themselves
// run elsewhere (TransferPlatform); everything here runs on the user-interface thread, so
// it needs no locks.
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "base/text.h"
#include "download/download_item.h"
#include "download/download_options.h"
#include "download/file_names.h"
#include "download/folder_sentinels.h"
#include "download/transfer_platform.h"

namespace velnor {

// Consecutive "見つかりません" items, in list order, that end the series.
constexpr int kMissingRunThatEndsSeries = 5;
// Retries of a transient failure, and the wait before the first (doubling after it). The
// count starts again whenever an attempt added bytes to the part, so a server that drops the
// connection every few megabytes still delivers a large file; an item gets at most
// kMaxAttemptsPerItem requests in a run, though, and then fails with its last reason.
constexpr int kMaxRetries = 3;
constexpr uint64_t kFirstRetryWaitMs = 1000;
constexpr int kMaxAttemptsPerItem = 20;

class DownloadJob {
 public:
  DownloadJob(TransferPlatform& transfer, DownloadFolderPlatform& folder, DownloadClock& clock);

  // While not running; the states go back to "待機中". The items are named in list order
  // as far as Item() or Start needs them, so a long list opens at once.
  void SetItems(std::vector<String> urls);

  // Creates the folder when missing (false: it cannot be a folder, nothing starts; the
  // window shows the message), then runs the whole list again from the start: every item
  // waits, and up to `connections` transfers start. A "<name>" already in the folder is
  // "既存" without a request when its turn comes. Before the first request to a folder its
  // sentinel is asked (FolderSentinels), and the items there wait for its answer: an item
  // that answers with the placeholder is "見つかりません (代わりの画像)". Does nothing (true)
  // while running.
  bool Start(const DownloadOptions& options);

  // A transfer's progress: `bytes` in its part now (what a resumed part held included),
  // `totalSize` the whole file's size when known.
  void OnProgress(int item, uint64_t bytes, std::optional<uint64_t> totalSize);
  // Transfers' ends, all the transport had to report, in its order: what may start next
  // starts once all are taken (a failure's handed-back requests come in the same batch).
  // Results for items that are not under way are ignored. A kEndUnknown is asked again at
  // once (with partVerified), never counted as a failure.
  void OnFinished(const std::vector<TransferResult>& results);
  // The window calls it about every 100 ms while running: retries and Retry-After waits
  // that are over start here, and the speed is sampled.
  void OnTick();

  // Stops the transfers under way (the transport's CancelAll) and starts no more: the items
  // not yet started become "未実行" and those waiting for a retry "中止" at once; those
  // under way become "中止" when their results come back (one that completed anyway is
  // "完了"), and the job runs until the last one has, so no late result can meet a new run.
  void Cancel();

  // From Start until the last transfer under way has reported. Besides the end of the list
  // and Cancel, a failed write ("書き込めません"; the transport decides about its part) stops
  // the job: the items not yet started become "未実行", those waiting for a retry fail with
  // their last reason, those under way finish. The end of the series (with stopAfterMissing:
  // 5 in a row "見つかりません", pages included) makes the items not yet started "未実行"
  // and lets the others finish, retries included.
  bool Running() const;
  int Count() const;
  // Items are named in list order on first need: this names every item up to the index.
  const DownloadItem& Item(int index);

  String StateText(int index) const;  // "待機中", "ダウンロード中 NN%", "完了", ... "失敗: HTTP 403"
  // Sizes in binary units with one decimal: "512 B", "64.0 KB", "1.2 MB", "3.4 GB".
  String SizeText(int index) const;   // the サイズ column: the size, or the bytes so far
  // "ダウンロード中: 残り N 件 · N.N MB/s" while running (MB = 1024 × 1024 bytes, over the
  // last three seconds of ticks), the summary of the states after; empty before a run.
  String StatusLine() const;
  int ProgressPercent() const;  // over all items, 0 ... 100
  uint64_t Revision() const;    // moves on every visible change: the window repaints then

 private:
  enum class Stop { kNone, kCancelled, kWriteFailed };
  // What the job keeps about an item beyond what the window shows.
  struct Pending {
    uint64_t retryAtMs = 0;      // earliest time of its next request
    uint64_t requestedFrom = 0;  // the Range start of its request under way
    int transientFailures = 0;   // since the part last grew
    bool partVerified = false;   // its next request follows a kEndUnknown
  };

  void NameUpTo(int index);
  void Finished(const TransferResult& result);
  void NoteRetryAfter(StringView url, const TransferResult& result);
  bool InFlight(int index) const;
  String PartPath(int index) const;
  bool HostReady(int index, uint64_t now) const;
  void Fill();
  bool TakeTurn(int index);
  void Launch(int index);
  void Settle(int index, ItemState state, const String& failure = {});
  void FailTransient(int index, const String& reason, bool atOnce = false);
  void StopForWriteFailure(int index);
  void CheckEndOfSeries(int index);
  void MarkUnstartedNotRun();
  void TakeBackQueued();
  void HandBack(int index);
  void FinishIfIdle();
  void CountBytes(int index, uint64_t bytes);
  uint64_t BytesPerSecond() const;

  TransferPlatform& transfer_;
  DownloadFolderPlatform& folder_;
  DownloadClock& clock_;

  std::vector<DownloadItem> items_;
  FileNamer namer_;  // the names of items_[0 ... named_ - 1] are given
  int named_ = 0;
  std::vector<Pending> pending_;
  DownloadOptions options_;
  bool started_ = false;  // a run began since SetItems: the status line has something to say
  bool running_ = false;
  Stop stop_ = Stop::kNone;
  int nextUnstarted_ = 0;  // items before it have had their turn
  int active_ = 0;         // transfers handed to the transport and not yet reported
  std::set<int> queued_;   // those of them with no byte yet: the transport may take them back
  std::set<int> retries_;  // items waiting for a retry, in list order
  bool listClosed_ = false;  // no new item starts: the series ended, or the job stopped
  std::map<String, uint64_t> hostReadyAtMs_;  // Retry-After: no request to the host before
  FolderSentinels sentinels_{transfer_};
  uint64_t revision_ = 0;

  // The speed: bytes received, sampled at each tick over the last few seconds.
  uint64_t bytesReceived_ = 0;
  std::deque<std::pair<uint64_t, uint64_t>> speedSamples_;  // (ms, bytesReceived_)
};

}  // namespace velnor
