#pragma once
// The download job's platform as models: a transport that begins as many requests as it has
// connections, records them (folders' sentinels apart) and leaves their answers to the test
// (WholeBody gives the transport's end of a whole file), a folder of files kept in memory, and
// a clock the test moves.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <set>

#include "download/download_job.h"
#include "download/missing_probes.h"

namespace velnor::testing {

class ModelTransport : public TransferPlatform {
 public:
  void SetConnections(int n) override {
    connections = static_cast<size_t>(n);
    Begin();
  }
  void Start(const TransferRequest& request) override {
    queued.push_back(request);
    Begin();
  }
  bool Withdraw(int item) override {
    const auto found = std::find_if(queued.begin(), queued.end(), [item](const auto& r) { return r.item == item; });
    if (found == queued.end()) return false;
    queued.erase(found);
    return true;
  }
  void CancelAll() override { ++cancelAllCalls; }

  // The transfer under way for result.item (else the oldest) ends with `result`: what the job
  // hears, in order. After a whole file a free connection begins the next request at once,
  // before the job hears of the end, as a worker does; after anything else the requests not
  // begun are handed back (after a missing probe, those past the earliest end of its run of
  // missing items).
  std::vector<TransferResult> End(const TransferResult& result) {
    const auto same = std::find_if(waiting.begin(), waiting.end(), [&](const auto& r) { return r.item == result.item; });
    const auto ended = same != waiting.end() ? same : waiting.begin();
    const bool probe = ended->probeBytes > 0;
    waiting.erase(ended);
    std::vector<TransferResult> heard{result};
    if (result.outcome != TransferOutcome::kComplete) {
      const std::optional<int> keep = probe ? missingProbes.KeepAfter(result) : std::nullopt;
      std::deque<TransferRequest> kept;
      for (const TransferRequest& r : queued) {
        if (keep && r.item <= *keep) kept.push_back(r);
        else heard.push_back(EndedUnanswered(r, TransferOutcome::kNotBegun));
      }
      queued.swap(kept);
    }
    Begin();
    return heard;
  }

  size_t connections = SIZE_MAX;  // until the job sets it
  std::deque<TransferRequest> queued;   // handed over, not begun
  std::deque<TransferRequest> waiting;  // begun and not yet answered
  std::vector<TransferRequest> requests;  // every item's request begun, in order
  std::vector<TransferRequest> sentinels;  // every sentinel begun, in order
  std::vector<int> begun;  // the ids of both, in order
  int cancelAllCalls = 0;
  MissingProbes missingProbes;

 private:
  void Begin() {
    while (waiting.size() < connections && !queued.empty()) {
      waiting.push_back(queued.front());
      (queued.front().sentinel ? sentinels : requests).push_back(queued.front());
      begun.push_back(queued.front().item);
      queued.pop_front();
    }
  }
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
  bool Remove(const String& path) override { return files.erase(path) > 0; }

  std::map<String, uint64_t> files;  // full path -> size
  std::set<String> renameFails;      // names another program took: a rename to them is refused
  String unusable;                   // a folder path that cannot be created
};

// What the transport reports once the whole body of `size` bytes is in the part: the part
// renamed to the file's name, never replacing (kComplete), or, when the name is taken, the
// part kept whole and kWriteFailed.
inline TransferResult WholeBody(const TransferRequest& request, ModelFolder& folder, uint64_t size) {
  TransferResult result{.item = request.item, .outcome = TransferOutcome::kComplete, .status = 200,
                        .partSize = size, .totalSize = size, .retryAfterSeconds = {}, .placeholder = {}};
  folder.files[request.partPath] = size;
  if (folder.files.count(request.finalPath) || folder.renameFails.count(request.finalPath)) {
    result.outcome = TransferOutcome::kWriteFailed;
    return result;
  }
  folder.files.erase(request.partPath);
  folder.files[request.finalPath] = size;
  return result;
}

// A sentinel's answer that shows the placeholder: a small picture of 3000 bytes.
inline TransferResult PlaceholderAnswer(String redirectedTo = {}) {
  TransferResult result{.item = 0, .outcome = TransferOutcome::kComplete, .status = 206, .partSize = 0,
                        .totalSize = {}, .retryAfterSeconds = {}, .placeholder = {}};
  result.placeholder = std::make_shared<const AnswerFingerprint>(
      AnswerFingerprint{3000, std::string("\x89PNG\r\n\x1a\n", 8), std::move(redirectedTo)});
  return result;
}

class ModelClock : public DownloadClock {
 public:
  uint64_t NowMilliseconds() override { return now; }
  uint64_t now = 0;
};

}  // namespace velnor::testing
