#pragma once
// What the download job asks of the platform: transfers that run off the user-interface
// thread and report back on it, the few file calls the job makes itself, and a clock.
// Implementations: WinHTTP and the Windows file calls (src/win32), models for tests.
#include <cstdint>
#include <memory>
#include <optional>

#include "base/text.h"
#include "download/placeholder_rule.h"

namespace velnor {

struct TransferRequest {
  int item = 0;             // the item's index in the job
  String url;
  String referer;           // empty: send no Referer
  String partPath;          // full path of "<name>.part"
  // Where the part goes once the whole file is in it: the transport renames it there, never
  // replacing, before it reports kComplete.
  String finalPath;
  // Bytes the part holds. 0: the whole file is asked for ("<name>.part" is written anew).
  // N > 0: a part is resumed only when the server proves it is the same file. The transport
  // asks "Range: bytes=N-k-" with k = min(kResumeOverlapBytes, N) and compares the first k
  // bytes of a 206 from N-k with the part's last k; a mismatch, or any other answer with the
  // file (a 200, a range elsewhere), discards the part and takes the whole file within the
  // same transfer; a matching overlap that the file ends with (nothing after it) means the
  // part was whole already: it goes in place, kComplete. A 416 there means the part reaches
  // past the file's end: it is discarded and the file taken whole, as for a mismatch. The
  // transport resumes from all the part holds when it begins (a cancel may have let it go
  // with more than N).
  uint64_t resumeFrom = 0;
  // The part was proven this server's file by this run (the last answer was kEndUnknown):
  // the transport asks "Range: bytes=N-" without the overlap, and a 416 there means the part
  // is the whole file: the transport puts it in place and reports kComplete.
  bool partVerified = false;
  // > 0: a probe, not a download: "Range: bytes=0-(probeBytes-1)" is asked, no more than that
  // is read, nothing is written (partPath and finalPath unused), and the page rule is judged
  // on what was read under the URL's file name. kComplete: a 200 or 206 that is not a page.
  uint64_t probeBytes = 0;
  // A probe that asks a folder's sentinel: a 200 or 206 answer that is not a page (whatever
  // the name) comes back as the result's `placeholder`.
  bool sentinel = false;
  // The placeholder of the item's folder (null: none): an answer that begins the file and has
  // its fingerprint is kPlaceholder, judged on its first bytes and size before anything is
  // written.
  std::shared_ptr<const AnswerFingerprint> placeholder;
};

// How far before the part's end a resume asks, to compare with the part.
constexpr uint64_t kResumeOverlapBytes = 65536;

enum class TransferOutcome {
  kComplete,             // the whole file is at finalPath (as long as Content-Length or the
                         // Content-Range total where given); no part is left
  kHttpError,            // any other status: nothing written (status in `status`)
  kCutShort,             // the body ended short of its length, or the part is not as long as
                         // the Content-Range total: the part keeps what arrived (the job
                         // removes one longer than the total)
  kEndUnknown,           // a 206 "bytes N-M/*" arrived whole and is in the part, but whether
                         // the file ends there is unknown: the job asks again at once
  kPage,                 // an HTML page under a binary file's name (IsPageNotPicture): no file,
                         // nothing of the page is kept; a part it answered a resume for stays
                         // byte for byte (partSize: its bytes)
  kPlaceholder,          // the folder's placeholder (IsPlaceholderAnswer): no file is written,
                         // and a part from an earlier run stays as it was
  kCannotConnect,
  kTimeout,
  kCertificate,
  kTooManyRedirects,     // more than 10 redirects
  kUnsupportedRedirect,  // a redirect to another scheme (file:, ftp:, https to http): not followed
  kUnsupportedUrl,
  kWriteFailed,          // the part could not be written (the transport removed it), or a whole
                         // part could not take its name (another program took it: the part stays)
  kCancelled,            // CancelAll() stopped it; the part keeps what arrived (any answer read
                         // after the cancel is the cancel: it never discards the part)
  kNotBegun,             // handed back unsent, after another transfer ended without a whole file
};

struct TransferResult {
  int item = 0;
  TransferOutcome outcome = TransferOutcome::kCannotConnect;
  int status = 0;                         // the HTTP status, 0 when none arrived
  uint64_t partSize = 0;                  // bytes in the part now (kComplete: in the file)
  std::optional<uint64_t> totalSize;      // the whole file's size, when the server told it
  std::optional<int> retryAfterSeconds;   // from Retry-After, already capped
  std::shared_ptr<const AnswerFingerprint> placeholder;  // a sentinel's answer (SentinelPlaceholder)
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
  // them, or none to that server for a while. A probe that says its item is missing keeps
  // those that are wanted whatever it answers (MissingProbes).
  virtual void SetConnections(int connections) = 0;
  // Hands over one transfer and returns at once; it begins when a connection is free. Its
  // progress and its result come back to the job on the user-interface thread
  // (DownloadJob::OnProgress / OnFinished), never from inside this call.
  virtual void Start(const TransferRequest& request) = 0;
  // Takes back a request that has not begun: true, and nothing is ever reported for it;
  // false when it has begun (or is unknown), and its result will come.
  virtual bool Withdraw(int item) = 0;
  // Stops every transfer handed over (each then finishes with kCancelled) within a second. A
  // transfer that had put its file in place already reports kComplete.
  virtual void CancelAll() = 0;
};

// File-system calls the job makes on the user-interface thread.
class DownloadFolderPlatform {
 public:
  virtual ~DownloadFolderPlatform() = default;
  virtual bool CreateFolder(const String& path) = 0;     // with its parents; true if it exists after
  virtual bool FileExists(const String& path) = 0;       // a file (not a folder) is there
  virtual std::optional<uint64_t> FileSize(const String& path) = 0;  // nothing: no such file
  virtual bool Remove(const String& path) = 0;
};

class DownloadClock {
 public:
  virtual ~DownloadClock() = default;
  virtual uint64_t NowMilliseconds() = 0;  // monotonic
};

}  // namespace velnor
