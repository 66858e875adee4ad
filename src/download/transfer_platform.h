#pragma once
// What the download job asks of the platform: transfers that run off the user-interface
// thread and report back on it, the few file calls the job makes itself, and a clock.
// Implementations: WinHTTP and the Windows file calls (src/win32), models for tests.
#include <cstdint>
#include <optional>

#include "base/text.h"

namespace velnor {

struct TransferRequest {
  int item = 0;             // the item's index in the job
  String url;
  String referer;           // empty: send no Referer
  String partPath;          // full path of "<name>.part"
  uint64_t resumeFrom = 0;  // bytes the part holds; > 0: ask with "Range: bytes=N-"
  // Where the part goes once the whole file is in it (its size as the server gave it, where
  // it did): the worker renames it there, never replacing, so that the window's thread does
  // not wait for the file system between two transfers. Empty: the part stays.
  String finalPath;
  // > 0: a probe of whether the item exists: "Range: bytes=0-(probeBytes-1)", no more than
  // probeBytes of the body read, no file written (partPath and finalPath empty); kComplete
  // for a 200 or 206 that is not a page, kPage for a page.
  uint64_t probeBytes = 0;
};

enum class TransferOutcome {
  kComplete,         // 200/206 body written to the part; as long as Content-Length when given
  kHttpError,        // any other status: nothing written (status in `status`)
  kCutShort,         // the body ended before Content-Length; the part keeps what arrived
  kCannotConnect,
  kTimeout,
  kCertificate,
  kTooManyRedirects,
  kUnsupportedUrl,
  kWriteFailed,      // the part could not be written; the worker removed it
  kCancelled,        // CancelAll() stopped it; the part keeps what arrived
  kNotBegun,         // handed back unsent, after another transfer ended without a whole file
  kPage,             // a 200/206 page where the name asks for a picture (or other binary file)
};

struct TransferResult {
  int item = 0;
  TransferOutcome outcome = TransferOutcome::kCannotConnect;
  int status = 0;                         // the HTTP status, 0 when none arrived
  uint64_t partSize = 0;                  // bytes in the part now
  std::optional<uint64_t> totalSize;      // the whole file's size, when the server told it
  std::optional<int> retryAfterSeconds;   // from Retry-After, already capped
  bool renamed = false;  // kComplete: the part is at finalPath now (a failed rename: kWriteFailed)
};

// A request's end before any of its answer was written: the part is as it was.
inline TransferResult EndedUnanswered(const TransferRequest& request, TransferOutcome outcome) {
  TransferResult result;
  result.item = request.item;
  result.outcome = outcome;
  result.partSize = request.resumeFrom;
  return result;
}

// Requests the job hands over beyond those that run, for each connection: they begin the
// moment a transfer ends, and the job needs to hear of whole files only once about half of
// them have begun, a batch at a time rather than for each small file.
constexpr int kWaitingRequestsPerConnection = 16;

class TransferPlatform {
 public:
  virtual ~TransferPlatform() = default;
  // At most this many transfers run at once; requests beyond them wait their turn, in the
  // order given, so that a transfer that ends can begin the next at once. Only after a whole
  // file, though: a transfer that ends any other way hands back every request not begun yet
  // (each reported kNotBegun, after its own result), since the job may then want none of
  // them, or none to that server for a while.
  virtual void SetConnections(int connections) = 0;
  // Hands over one transfer and returns at once; it begins when a connection is free. Its
  // progress and its result come back to the job on the user-interface thread
  // (DownloadJob::OnProgress / OnFinished), never from inside this call.
  virtual void Start(const TransferRequest& request) = 0;
  // Takes back a request that has not begun: true, and nothing is ever reported for it;
  // false when it has begun (or is unknown), and its result will come.
  virtual bool Withdraw(int item) = 0;
  // Stops every transfer handed over (each then finishes with kCancelled) within a second.
  virtual void CancelAll() = 0;
};

// File-system calls the job makes on the user-interface thread.
class DownloadFolderPlatform {
 public:
  virtual ~DownloadFolderPlatform() = default;
  virtual bool CreateFolder(const String& path) = 0;     // with its parents; true if it exists after
  virtual bool FileExists(const String& path) = 0;       // a file (not a folder) is there
  virtual std::optional<uint64_t> FileSize(const String& path) = 0;  // nothing: no such file
  virtual bool Rename(const String& from, const String& to) = 0;     // same folder, never replaces
  virtual bool Remove(const String& path) = 0;
};

class DownloadClock {
 public:
  virtual ~DownloadClock() = default;
  virtual uint64_t NowMilliseconds() = 0;  // monotonic
};

}  // namespace velnor
