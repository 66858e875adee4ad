#include "download/item_transfer.h"

#include <algorithm>

#include "base/numbers.h"
#include "download/file_names.h"
#include "download/http_answer.h"
#include "download/page_rule.h"

namespace velnor {
namespace {

using Next = ItemVerdict::Next;

constexpr char16_t kCutShortReason[] = u"途中で切れました";

bool IsTransientStatus(int status) {
  return status == 408 || status == 429 || status == 500 || status == 502 || status == 503 || status == 504;
}

ItemVerdict Settled(ItemState state, String reason = {}) { return {Next::kSettle, state, std::move(reason), false}; }
ItemVerdict Then(Next next) { return {next, ItemState::kFailed, {}, false}; }
ItemVerdict Failed(String reason) { return Settled(ItemState::kFailed, std::move(reason)); }
ItemVerdict Transient(String reason, bool removePart = false) {
  return {Next::kRetry, ItemState::kFailed, std::move(reason), removePart};
}

ItemVerdict JudgeStatus(int status, uint64_t requestedFrom) {
  const String reason = u"HTTP " + DecimalText(status);
  if (status == 404 || status == 410) return Settled(ItemState::kNotFound);
  // A 416 to a Range: the part reaches past the end of the file; it starts again.
  if (status == 416 && requestedFrom > 0) return Transient(reason, true);
  if (IsTransientStatus(status)) return Transient(reason);
  return Failed(reason);
}

}  // namespace

String PathInFolder(StringView folder, StringView name) {
  String path(folder);
  if (folder.empty() || (folder.back() != u'\\' && folder.back() != u'/')) path += u'\\';
  return path + String(name);
}

String RequestReferer(const DownloadOptions& options, StringView url) {
  if (!options.sendReferer) return {};
  return options.refererUrl.empty() ? RefererFor(url) : options.refererUrl;
}

bool IsRefererUrlUsable(StringView url) { return IsSupportedUrl(url); }

TransferRequest ItemRequest(int index, const DownloadItem& item, const DownloadOptions& options, uint64_t resumeFrom,
                            bool partVerified) {
  TransferRequest request;
  request.item = index;
  request.url = item.url;
  request.referer = RequestReferer(options, item.url);
  request.partPath = PathInFolder(options.folder, item.name + String(kPartSuffix));
  request.finalPath = PathInFolder(options.folder, item.name);
  request.resumeFrom = resumeFrom;
  request.partVerified = partVerified && resumeFrom > 0;
  return request;
}

TransferRequest SentinelRequest(int id, const String& url, const DownloadOptions& options) {
  DownloadItem item;
  item.url = url;
  TransferRequest request = ItemRequest(id, item, options, 0, false);
  request.partPath.clear();
  request.finalPath.clear();
  request.probeBytes = kPageSniffBytes;
  request.sentinel = true;
  return request;
}

ItemVerdict JudgeResult(const TransferResult& result, uint64_t requestedFrom) {
  switch (result.outcome) {
    case TransferOutcome::kComplete: return Settled(ItemState::kDone);
    case TransferOutcome::kHttpError: return JudgeStatus(result.status, requestedFrom);
    // More than the whole file cannot be resumed: that part starts again.
    case TransferOutcome::kCutShort:
      return Transient(kCutShortReason, result.totalSize && result.partSize > *result.totalSize);
    case TransferOutcome::kEndUnknown: return {Next::kAgain, ItemState::kFailed, kCutShortReason, false};
    case TransferOutcome::kPage: return Settled(ItemState::kNotFoundPage);
    case TransferOutcome::kPlaceholder: return Settled(ItemState::kNotFoundPlaceholder);
    case TransferOutcome::kCannotConnect: return Transient(u"接続できません");
    case TransferOutcome::kTimeout: return Transient(u"タイムアウト");
    case TransferOutcome::kCertificate: return Failed(u"証明書エラー");
    case TransferOutcome::kTooManyRedirects: return Failed(u"リダイレクトが多すぎます");
    case TransferOutcome::kUnsupportedRedirect: return Failed(u"対応していないリダイレクト");
    case TransferOutcome::kUnsupportedUrl: return Failed(u"対応していないURL");
    case TransferOutcome::kWriteFailed: return Then(Next::kStop);
    case TransferOutcome::kCancelled: return Settled(ItemState::kCancelled);
    case TransferOutcome::kNotBegun: return Then(Next::kHandBack);
  }
  return Failed(u"接続できません");
}

std::vector<String> FailureReasons() {
  std::vector<String> reasons = {kWriteFailedReason};
  for (int outcome = 0; outcome <= static_cast<int>(TransferOutcome::kNotBegun); ++outcome) {
    TransferResult result;
    result.outcome = static_cast<TransferOutcome>(outcome);
    result.status = 503;
    const String reason = JudgeResult(result, 0).reason;
    if (!reason.empty() && std::find(reasons.begin(), reasons.end(), reason) == reasons.end()) reasons.push_back(reason);
  }
  return reasons;
}

}  // namespace velnor
