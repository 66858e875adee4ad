#pragma once
// The sentinels of one run of the download or the search, one for each folder it asks in:
// asked before the first request there, and the placeholder its answer shows (if any), by
// which that folder's answers are judged. Runs on the user-interface thread with the job.
#include <cstddef>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/text.h"
#include "download/download_options.h"
#include "download/placeholder_rule.h"
#include "download/transfer_platform.h"

namespace velnor {

class FolderSentinels {
 public:
  explicit FolderSentinels(TransferPlatform& transfer) : transfer_(transfer) {}

  // Sentinels' requests have negative ids: they never meet an item's.
  static bool IsSentinel(int requestId) { return requestId < 0; }

  // A new run: nothing asked yet; its requests go out with these options.
  void Start(const DownloadOptions& options);
  // True once the sentinel of `url`'s folder has answered. Otherwise false, and a sentinel
  // not asked yet is handed to the transport now: requests to the folder wait for its answer.
  bool Answered(StringView url);
  // The placeholder of `url`'s folder; null when its sentinel showed none (or has not answered).
  std::shared_ptr<const AnswerFingerprint> Placeholder(StringView url) const;
  // A sentinel's result: its URL when it was under way (it is answered then, or to be asked
  // again when the transport handed it back unsent); nothing for anything else.
  std::optional<String> Take(const TransferResult& result);
  // Sentinels handed over and not begun are taken back, to be asked again when needed.
  void TakeBackUnbegun();
  bool UnderWay() const { return underWay_ > 0; }

 private:
  enum class State { kUnasked, kAsking, kAnswered };
  struct Folder {
    String url;  // the sentinel's
    State state = State::kUnasked;
    std::shared_ptr<const AnswerFingerprint> placeholder;
  };
  static int RequestId(size_t folder) { return -1 - static_cast<int>(folder); }

  TransferPlatform& transfer_;
  DownloadOptions options_;
  std::vector<Folder> folders_;                  // folder i asks with RequestId(i)
  std::unordered_map<String, size_t> byFolder_;  // SentinelFolder(url) -> its index
  int underWay_ = 0;
};

}  // namespace velnor
