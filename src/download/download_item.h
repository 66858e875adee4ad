#pragma once
// One item of a download as the window shows it: its URL, its file's name, its state.
#include <cstdint>
#include <optional>

#include "base/text.h"

namespace velnor {

// kQueued: handed to the transport, no byte of it yet (shown as waiting); kRunning: bytes
// are arriving. kNotFoundPage: an HTML page came under a binary file's name;
// kNotFoundPlaceholder: the server's placeholder picture came; both count as "見つかりません"
// wherever those are counted.
enum class ItemState {
  kWaiting, kQueued, kRunning, kDone, kExisting, kNotFound, kNotFoundPage, kNotFoundPlaceholder, kFailed, kCancelled,
  kNotRun
};

constexpr bool IsNotFound(ItemState state) {
  return state == ItemState::kNotFound || state == ItemState::kNotFoundPage ||
         state == ItemState::kNotFoundPlaceholder;
}

struct DownloadItem {
  String url;
  String name;  // the file name in the folder
  ItemState state = ItemState::kWaiting;
  uint64_t bytes = 0;  // in the part (or the file) so far
  std::optional<uint64_t> totalSize;
  String failure;  // the short reason after "失敗: "
  int attempts = 0;  // requests sent in this run
};

}  // namespace velnor
