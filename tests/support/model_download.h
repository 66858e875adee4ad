#pragma once
// The download job's platform as models: a transport that records the requests it is
// given and leaves their answers to the test, a folder of files kept in memory, and a clock
// the test moves.
#include <deque>
#include <map>
#include <set>

#include "download/download_job.h"

namespace velnor::testing {

class ModelTransport : public TransferPlatform {
 public:
  void Start(const TransferRequest& request) override {
    waiting.push_back(request);
    requests.push_back(request);
  }
  void CancelAll() override { ++cancelAllCalls; }

  std::deque<TransferRequest> waiting;  // started and not yet answered
  std::vector<TransferRequest> requests;  // every request, in order
  int cancelAllCalls = 0;
};

class ModelFolder : public DownloadFolderPlatform {
 public:
  bool CreateFolder(const String& path) override { return path != unusable; }
  bool FileExists(const String& path) override { return files.count(path) > 0; }
  std::optional<uint64_t> FileSize(const String& path) override {
    const auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
  }
  bool Rename(const String& from, const String& to) override {
    if (!files.count(from) || files.count(to) || renameFails.count(to)) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }
  bool Remove(const String& path) override { return files.erase(path) > 0; }

  std::map<String, uint64_t> files;  // full path -> size
  std::set<String> renameFails;      // targets a rename cannot reach
  String unusable;                   // a folder path that cannot be created
};

class ModelClock : public DownloadClock {
 public:
  uint64_t NowMilliseconds() override { return now; }
  uint64_t now = 0;
};

}  // namespace velnor::testing
