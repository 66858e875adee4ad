#pragma once
// One item's transfer apart from the job that schedules many: the request made for it, and
// what its result makes of it. The job applies the verdict (settles the item, waits for a
// retry, stops) and keeps the order, the waits and the end of the series.
#include <cstdint>
#include <vector>

#include "base/text.h"
#include "download/download_item.h"
#include "download/download_options.h"
#include "download/transfer_platform.h"

namespace velnor {

// "<folder>\<name>", with one separator whether or not the folder ends in one.
String PathInFolder(StringView folder, StringView name);

// The Referer of a request for `url`: none unless the options send one; the page the user
// gave, or else the URL's folder.
String RequestReferer(const DownloadOptions& options, StringView url);

// A Referer URL the user gave can be sent: an http:// or https:// URL on one line, printable,
// without blanks. (Empty means none given.)
bool IsRefererUrlUsable(StringView url);

// The request for the item at `index`, whose part holds `resumeFrom` bytes (proven this
// server's file by this run when `partVerified`).
TransferRequest ItemRequest(int index, const DownloadItem& item, const DownloadOptions& options, uint64_t resumeFrom,
                            bool partVerified);

// The request that asks a folder's sentinel `url`: a probe of the first KB, as the search
// asks, with the run's Referer; it writes nothing. `id` is negative (FolderSentinels).
TransferRequest SentinelRequest(int id, const String& url, const DownloadOptions& options);

struct ItemVerdict {
  enum class Next {
    kSettle,    // the item ends in `state`, with `reason` when it failed
    kRetry,     // a transient failure: another try after a wait; `reason` once none is left
    kAgain,     // the part is this server's file, its end unknown: asked again at once
    kStop,      // the part could not be written: the job stops
    kHandBack,  // the request never went out
  };
  Next next = Next::kSettle;
  ItemState state = ItemState::kFailed;
  String reason;
  bool removePart = false;  // the part cannot be resumed: the next try starts from nothing
};

// What `result` makes of its item, whose request asked from `requestedFrom`.
ItemVerdict JudgeResult(const TransferResult& result, uint64_t requestedFrom);

// The reason of an item whose part could not be written (the job stops).
inline const String kWriteFailedReason = u"書き込めません";

// Every reason a failed item can show, an HTTP status as "HTTP 503" (all are three digits).
std::vector<String> FailureReasons();

}  // namespace velnor
