#pragma once
// The choices of the download window, kept in the settings file.
#include "base/text.h"

namespace velnor {

constexpr int kMinDownloadConnections = 1;
constexpr int kMaxDownloadConnections = 4;

struct DownloadOptions {
  String folder;
  int connections = 2;  // kMinDownloadConnections ... kMaxDownloadConnections
  bool stopAfterMissing = true;
  bool sendReferer = true;
  // Sent as the Referer of every request while sendReferer; empty: each item's folder.
  String refererUrl{};
  // The full path of a cookies.txt whose cookies go with the requests; empty: none.
  String cookiesFile{};

  bool operator==(const DownloadOptions&) const = default;
};

}  // namespace velnor
