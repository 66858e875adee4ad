#include "download/folder_sentinels.h"

#include "download/item_transfer.h"

namespace velnor {

void FolderSentinels::Start(const DownloadOptions& options) {
  options_ = options;
  folders_.clear();
  byFolder_.clear();
  underWay_ = 0;
}

bool FolderSentinels::Answered(StringView url) {
  const auto [found, added] = byFolder_.try_emplace(SentinelFolder(url), folders_.size());
  if (added) folders_.push_back({SentinelUrl(url), State::kUnasked, nullptr});
  Folder& folder = folders_[found->second];
  if (folder.state == State::kUnasked) {
    folder.state = State::kAsking;
    ++underWay_;
    transfer_.Start(SentinelRequest(RequestId(found->second), folder.url, options_));
  }
  return folder.state == State::kAnswered;
}

std::shared_ptr<const AnswerFingerprint> FolderSentinels::Placeholder(StringView url) const {
  if (folders_.empty()) return nullptr;
  const auto found = byFolder_.find(SentinelFolder(url));
  return found == byFolder_.end() ? nullptr : folders_[found->second].placeholder;
}

std::optional<String> FolderSentinels::Take(const TransferResult& result) {
  if (!IsSentinel(result.item)) return std::nullopt;
  const auto index = static_cast<size_t>(-1 - static_cast<int64_t>(result.item));
  if (index >= folders_.size() || folders_[index].state != State::kAsking) return std::nullopt;
  Folder& folder = folders_[index];
  --underWay_;
  if (result.outcome == TransferOutcome::kNotBegun) {
    folder.state = State::kUnasked;
  } else {
    // Anything but a whole answer (an error, a page, a failure, a cancel) shows no placeholder.
    folder.state = State::kAnswered;
    if (result.outcome == TransferOutcome::kComplete) folder.placeholder = result.placeholder;
  }
  return folder.url;
}

void FolderSentinels::TakeBackUnbegun() {
  for (size_t i = 0; i < folders_.size(); ++i) {
    if (folders_[i].state == State::kAsking && transfer_.Withdraw(RequestId(i))) {
      folders_[i].state = State::kUnasked;
      --underWay_;
    }
  }
}

}  // namespace velnor
