#include "win32/http_worker_win32.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

#include "download/file_names.h"
#include "download/http_answer.h"
#include "download/page_rule.h"
#include "download/placeholder_rule.h"
#include "win32/download_folder_win32.h"
#include "win32/http_exchange_win32.h"
#include "win32/part_file_win32.h"
#include "win32/winhttp_calls_win32.h"
#include "win32/win32_text.h"

namespace velnor {
namespace {

constexpr ULONGLONG kProgressIntervalMs = 100;  // at most about 10 updates a second a transfer
static_assert(kResumeOverlapBytes <= kTransferBufferSize && kPageSniffBytes <= kTransferBufferSize);

String NameOf(const String& path) {
  const size_t separator = path.find_last_of(u"\\/");
  return separator == String::npos ? path : path.substr(separator + 1);
}

class Worker {
 public:
  Worker(WinHttpTransfer::Shared& shared, Transfer& transfer);
  TransferResult Run();

 private:
  enum class BodyEnd { kEnded, kNotThisFile };

  bool StillWanted();
  TransferResult& End(TransferOutcome outcome);  // kCancelled instead once cancelled
  TransferResult& Fail(DWORD error, bool bodyStarted) { return End(OutcomeOfError(error, bodyStarted)); }
  bool Open(const std::wstring& range);  // false: the result is set
  TransferResult& HttpError();
  TransferResult Download();
  TransferResult Probe();
  BodyEnd Body(uint64_t bodyStart, const std::string& tail);
  void EndBody(bool failedWrite, uint64_t received, std::optional<uint64_t> length);
  bool Judged(const String& name, DWORD got);
  AnswerFingerprint Fingerprint(DWORD got);
  bool IsPlaceholder(DWORD got);
  TransferResult Sentinel(DWORD got);
  void DropPart();
  void WaitForPartLetGo();
  bool OpenPart(uint64_t start);
  bool PartGone(uint64_t start);
  bool Keep(DWORD size);
  bool WriteBuffered();
  TransferResult& Place();
  void ClosePart();
  void DiscardPart();
  void Progress(uint64_t received, std::optional<uint64_t> length);
  template <typename Note>
  void TellFolder(Note note);

  WinHttpTransfer::Shared& shared_;
  Transfer& transfer_;
  const TransferRequest& request_;
  HttpExchange exchange_;
  DWORD filled_ = 0;  // buffer[0, filled_) is this worker's and not yet written
  DWORD readError_ = ERROR_SUCCESS;
  TransferResult result_;
  ULONGLONG lastProgress_ = 0;
  // The part proved another file's: it goes once the new body is written over it, or at the
  // end; never for the placeholder, which leaves an earlier run's part as it was.
  bool partDropped_ = false;
};

Worker::Worker(WinHttpTransfer::Shared& shared, Transfer& transfer)
    : shared_(shared), transfer_(transfer), request_(transfer.request), exchange_(shared.session, transfer, &shared.cookies) {
  result_.item = request_.item;
  result_.partSize = request_.resumeFrom;
}

TransferResult Worker::Run() {
  if (!IsSupportedUrl(request_.url)) return End(TransferOutcome::kUnsupportedUrl);
  if (request_.probeBytes > 0) return Probe();
  TransferResult result = Download();
  // Not after a cancel: the next run may have that part in hand already.
  if (partDropped_ && result.outcome != TransferOutcome::kPlaceholder && StillWanted()) DiscardPart();
  return result;
}

bool Worker::StillWanted() {
  AcquireSRWLockShared(&transfer_.lock);
  const bool wanted = !transfer_.cancelled;
  ReleaseSRWLockShared(&transfer_.lock);
  return wanted;
}

TransferResult& Worker::End(TransferOutcome outcome) {
  result_.outcome = StillWanted() ? outcome : TransferOutcome::kCancelled;
  return result_;
}

bool Worker::Open(const std::wstring& range) {
  const std::optional<TransferOutcome> failed = exchange_.Open(request_.url, request_.referer, range);
  result_.status = exchange_.status();
  if (failed) End(*failed);
  return !failed;
}

TransferResult& Worker::HttpError() {
  const std::wstring retryAfter = exchange_.Header(WINHTTP_QUERY_RETRY_AFTER);
  if (!retryAfter.empty()) {
    result_.retryAfterSeconds =
        ParseRetryAfterSeconds(FromWide(retryAfter.data(), retryAfter.size()), static_cast<int64_t>(time(nullptr)));
  }
  exchange_.Close();
  return End(TransferOutcome::kHttpError);
}

// A part is resumed only when the server proves it is the same file: the request asks from
// up to 64 KB before the part's end, and those bytes must come back unchanged; otherwise the
// part goes and the file is fetched whole, in this same transfer.
TransferResult Worker::Download() {
  WaitForPartLetGo();
  if (!StillWanted()) return End(TransferOutcome::kCancelled);
  // The part as it is now: a cancel may have let it go with more than the job saw.
  uint64_t have = request_.resumeFrom > 0 ? PartSizeOnDisk(request_.partPath).value_or(0) : 0;
  std::string tail;
  if (have > 0 && !request_.partVerified) {
    tail = ReadPartBytes(request_.partPath, have - std::min(kResumeOverlapBytes, have), have);
    if (tail.empty()) have = 0;
  }
  for (;;) {
    result_.partSize = have;
    const uint64_t from = have - tail.size();
    if (!Open(have > 0 ? L"Range: bytes=" + std::to_wstring(from) + L"-\r\n" : std::wstring())) return result_;
    const int status = exchange_.status();
    if (status == 416 && have > 0) {
      exchange_.Close();
      // Nothing past a part this run has proven: it is the whole file.
      if (request_.partVerified && OpenPart(have)) return Place();
      if (request_.partVerified && !PartGone(have)) return End(TransferOutcome::kWriteFailed);
      DropPart();  // it reaches past the file's end: not this file's beginning
      have = 0;
      tail.clear();
      continue;
    }
    if (status != 200 && status != 206) return HttpError();
    if (status == 206) {
      const std::wstring header = exchange_.Header(WINHTTP_QUERY_CONTENT_RANGE);
      // A cancel closes the request: a header read after it is missing, not another range.
      if (!StillWanted()) return End(TransferOutcome::kCancelled);
      const ContentRange answered = ParseContentRange(FromWide(header.data(), header.size()));
      if (answered.first != from) {
        // Part of the file, but not the part asked for: the part goes and the file is asked
        // for whole (a second time it fails as cut short).
        exchange_.Close();
        DropPart();
        if (have == 0) {
          result_.partSize = 0;
          return End(TransferOutcome::kCutShort);
        }
        have = 0;
        tail.clear();
        continue;
      }
      result_.totalSize = answered.total;
    } else {
      result_.totalSize = Number(exchange_.Header(WINHTTP_QUERY_CONTENT_LENGTH));
    }
    if (Body(status == 206 ? from : 0, status == 206 ? tail : std::string()) == BodyEnd::kEnded) return result_;
    have = 0;  // the part was another file's
    tail.clear();
  }
}

// A page under a picture's name? Judged on the body's first bytes, read into the buffer.
bool Worker::Judged(const String& name, DWORD got) {
  const std::wstring type = exchange_.Header(WINHTTP_QUERY_CONTENT_TYPE);
  return IsPageNotPicture(name, FromWide(type.data(), type.size()),
                          std::string_view(transfer_.buffer, std::min(got, static_cast<DWORD>(kPageSniffBytes))));
}

// The answer whose first bytes are in the buffer, as the placeholder rule compares answers.
AnswerFingerprint Worker::Fingerprint(DWORD got) {
  const std::wstring range = exchange_.Header(WINHTTP_QUERY_CONTENT_RANGE);
  return FingerprintOf(FromWide(range.data(), range.size()), Number(exchange_.Header(WINHTTP_QUERY_CONTENT_LENGTH)),
                       std::string_view(transfer_.buffer, got), exchange_.RedirectedTo());
}

bool Worker::IsPlaceholder(DWORD got) {
  return request_.placeholder && IsPlaceholderAnswer(request_.placeholder.get(), Fingerprint(got));
}

Worker::BodyEnd Worker::Body(uint64_t bodyStart, const std::string& tail) {
  const String name = NameOf(request_.finalPath);
  const bool judged = bodyStart == 0 && IsBinaryTypeName(name);
  const bool compared = bodyStart == 0 && request_.placeholder;
  const std::optional<uint64_t> length = Number(exchange_.Header(WINHTTP_QUERY_CONTENT_LENGTH));
  // The first bytes are judged, and compared with the part, before anything is written.
  const auto overlap = static_cast<DWORD>(tail.size());
  DWORD got = 0;
  if (!exchange_.Read(transfer_.buffer, std::max<DWORD>(overlap, judged || compared ? static_cast<DWORD>(kPageSniffBytes) : 0), got, readError_)) {
    Fail(readError_, true);
    return BodyEnd::kEnded;
  }
  if (judged && Judged(name, got)) {
    exchange_.Close();
    // Nothing of a page is kept; a part it answered a resume with stays as it was (a page
    // of maintenance or of a limit is no proof that the file changed), an empty one goes.
    if (result_.partSize == 0) DiscardPart();
    End(TransferOutcome::kPage);
    return BodyEnd::kEnded;
  }
  if (compared && IsPlaceholder(got)) {
    exchange_.Close();  // nothing written
    End(TransferOutcome::kPlaceholder);
    return BodyEnd::kEnded;
  }
  if (overlap > 0) {
    if (got < overlap || std::memcmp(transfer_.buffer, tail.data(), overlap) != 0) {
      exchange_.Close();
      DropPart();
      return BodyEnd::kNotThisFile;
    }
    std::memmove(transfer_.buffer, transfer_.buffer + overlap, got - overlap);
  }
  filled_ = got - overlap;
  uint64_t received = got;
  bool failedWrite = false;
  if (!OpenPart(bodyStart + overlap) && StillWanted()) {
    if (PartGone(bodyStart + overlap)) {
      exchange_.Close();  // taken away meanwhile: nothing to continue, the file is fetched whole
      return BodyEnd::kNotThisFile;
    }
    failedWrite = true;
  }
  while (!failedWrite && StillWanted()) {
    if (filled_ == kTransferBufferSize && !WriteBuffered()) {
      failedWrite = StillWanted();
      break;
    }
    DWORD more = 0;
    if (!exchange_.ReadSome(transfer_.buffer + filled_, kTransferBufferSize - filled_, more, readError_) ||
        more == 0 || !Keep(more)) {
      break;
    }
    received += more;
    Progress(received, length);
  }
  // What arrived before a read failed is written too: the next try resumes after it, and
  // the part's size counts only bytes on the disk.
  if (!failedWrite && filled_ > 0 && StillWanted()) failedWrite = !WriteBuffered() && StillWanted();
  EndBody(failedWrite, received, length);
  return BodyEnd::kEnded;
}

void Worker::EndBody(bool failedWrite, uint64_t received, std::optional<uint64_t> length) {
  AcquireSRWLockShared(&transfer_.lock);
  result_.partSize = transfer_.partSize + transfer_.buffered;
  ReleaseSRWLockShared(&transfer_.lock);
  const bool whole = StillWanted() && !failedWrite && readError_ == ERROR_SUCCESS && !(length && received < *length);
  // All that was sent is in the part, but a 206 "bytes N-M/*" does not say where the file
  // ends; a part not as long as the file's size is not whole either.
  const bool endUnknown = whole && exchange_.status() == 206 && !result_.totalSize;
  if (whole && !endUnknown && !(result_.totalSize && result_.partSize != *result_.totalSize)) {
    Place();
    return;
  }
  ClosePart();
  if (!StillWanted()) {
    End(TransferOutcome::kCancelled);  // the part stays
  } else if (failedWrite) {
    DiscardPart();
    result_.partSize = 0;
    End(TransferOutcome::kWriteFailed);
  } else if (readError_ != ERROR_SUCCESS) {
    Fail(readError_, true);
  } else if (endUnknown) {
    End(TransferOutcome::kEndUnknown);
  } else {
    // More than the whole file cannot be resumed: that part starts again.
    if (result_.totalSize && result_.partSize > *result_.totalSize) {
      DiscardPart();
      result_.partSize = 0;
    }
    End(TransferOutcome::kCutShort);
  }
}

// The first bytes of the answer, and nothing written: is the file there, and not a page?
TransferResult Worker::Probe() {
  if (!Open(L"Range: bytes=0-" + std::to_wstring(request_.probeBytes - 1) + L"\r\n")) return result_;
  const int status = exchange_.status();
  if (status != 200 && status != 206) return HttpError();
  DWORD got = 0;
  const auto want = static_cast<DWORD>(std::min<uint64_t>(request_.probeBytes, kTransferBufferSize));
  if (!exchange_.Read(transfer_.buffer, want, got, readError_)) return Fail(readError_, true);
  if (request_.sentinel) return Sentinel(got);
  const String name = DownloadFileName(request_.url);
  const bool page = IsBinaryTypeName(name) && Judged(name, got);
  const bool placeholder = !page && IsPlaceholder(got);
  exchange_.Close();  // a server that ignored the Range is cut off here
  result_.partSize = 0;
  return End(page ? TransferOutcome::kPage : placeholder ? TransferOutcome::kPlaceholder : TransferOutcome::kComplete);
}

// A folder's sentinel answered 200 or 206: the placeholder, unless it is a page.
TransferResult Worker::Sentinel(DWORD got) {
  const std::wstring type = exchange_.Header(WINHTTP_QUERY_CONTENT_TYPE);
  if (auto placeholder = SentinelPlaceholder(exchange_.status(), FromWide(type.data(), type.size()), Fingerprint(got))) {
    result_.placeholder = std::make_shared<const AnswerFingerprint>(std::move(*placeholder));
  }
  exchange_.Close();
  result_.partSize = 0;
  return End(TransferOutcome::kComplete);
}

// A cancel may have taken this part from a worker a moment ago: it is let go first.
void Worker::WaitForPartLetGo() {
  AcquireSRWLockExclusive(&shared_.lock);
  while (shared_.Releasing(request_.partPath) && !shared_.closing && StillWanted()) {
    SleepConditionVariableSRW(&shared_.released, &shared_.lock, 100, 0);
  }
  ReleaseSRWLockExclusive(&shared_.lock);
}

bool Worker::OpenPart(uint64_t start) {
  const HANDLE file = OpenPartForWriting(request_.partPath, start);
  if (file == INVALID_HANDLE_VALUE) return false;
  partDropped_ = false;  // what it held is gone now
  TellFolder([this](Win32DownloadFolder& folder) { folder.NoteCreated(request_.partPath); });
  AcquireSRWLockExclusive(&transfer_.lock);
  const bool cancelled = transfer_.cancelled;
  if (!cancelled) {
    transfer_.file = file;
    transfer_.partSize = start;
    transfer_.buffered = filled_;
  }
  ReleaseSRWLockExclusive(&transfer_.lock);
  if (cancelled) CloseHandle(file);
  return !cancelled;
}

// A resume's part is no longer there (or shorter than where the answer goes on): it was
// removed meanwhile, and nothing is made up in its place.
bool Worker::PartGone(uint64_t start) {
  return start > 0 && StillWanted() && PartSizeOnDisk(request_.partPath).value_or(0) < start;
}

// `size` more bytes arrived in the buffer; false once cancelled, and then they are not kept.
bool Worker::Keep(DWORD size) {
  AcquireSRWLockExclusive(&transfer_.lock);
  const bool kept = !transfer_.cancelled;
  if (kept) transfer_.buffered += size;
  ReleaseSRWLockExclusive(&transfer_.lock);
  if (kept) filled_ += size;
  return kept;
}

// What the buffer holds goes to the part. A cancel meanwhile leaves the part to this worker:
// it lets it go as soon as the write returns.
bool Worker::WriteBuffered() {
  AcquireSRWLockExclusive(&transfer_.lock);
  const bool wanted = !transfer_.cancelled && transfer_.file != INVALID_HANDLE_VALUE;
  const HANDLE file = transfer_.file;
  if (wanted) transfer_.step = Transfer::Step::kWriting;
  ReleaseSRWLockExclusive(&transfer_.lock);
  if (!wanted) return false;
  const bool written = shared_.writes->Write(file, transfer_.buffer, filled_);
  AcquireSRWLockExclusive(&transfer_.lock);
  transfer_.step = Transfer::Step::kNetwork;
  if (written) {
    transfer_.partSize += filled_;
    transfer_.buffered = 0;
  }
  const bool cancelled = transfer_.cancelled;
  ReleaseSRWLockExclusive(&transfer_.lock);
  if (written) filled_ = 0;
  if (cancelled) ClosePart();
  return written && !cancelled;
}

// The whole part takes the file's name, never replacing a file that is there. Once the
// rename is under way a cancel leaves the result to this worker: a file in place is complete.
TransferResult& Worker::Place() {
  AcquireSRWLockExclusive(&transfer_.lock);
  const bool wanted = !transfer_.cancelled && transfer_.file != INVALID_HANDLE_VALUE;
  const HANDLE file = transfer_.file;
  if (wanted) transfer_.step = Transfer::Step::kPlacing;
  ReleaseSRWLockExclusive(&transfer_.lock);
  if (!wanted) {
    ClosePart();
    return End(TransferOutcome::kCancelled);
  }
  const bool renamed = RenameOpenFileNeverReplacing(file, request_.finalPath);
  ClosePart();
  if (!renamed) return End(TransferOutcome::kWriteFailed);  // another program took the name: the part stays
  TellFolder([this](Win32DownloadFolder& folder) { folder.NoteRenamed(request_.partPath, request_.finalPath); });
  result_.outcome = TransferOutcome::kComplete;
  return result_;
}

// A part the cancel left to this worker (inside a write or a rename) is let go here.
void Worker::ClosePart() {
  AcquireSRWLockExclusive(&transfer_.lock);
  const HANDLE file = transfer_.file;
  transfer_.file = INVALID_HANDLE_VALUE;
  const bool cancelled = transfer_.cancelled;
  ReleaseSRWLockExclusive(&transfer_.lock);
  if (file == INVALID_HANDLE_VALUE) return;
  CloseHandle(file);
  if (cancelled) shared_.EndRelease(request_.partPath);
}

void Worker::DropPart() { partDropped_ = true; }

// A cancelled transfer's part is the cancel's: it keeps what arrived, whatever the worker
// read after the cancel.
void Worker::DiscardPart() {
  partDropped_ = false;
  if (StillWanted() && DeleteFileW(Wide(request_.partPath))) {
    TellFolder([this](Win32DownloadFolder& folder) { folder.NoteRemoved(request_.partPath); });
  }
}

template <typename Note>
void Worker::TellFolder(Note note) {
  AcquireSRWLockExclusive(&shared_.lock);
  if (shared_.folder) note(*shared_.folder);
  ReleaseSRWLockExclusive(&shared_.lock);
}

// No notice: the window takes progress with its timer, which is as often as it shows it. A
// body that has all arrived needs none: its result follows at once.
void Worker::Progress(uint64_t received, std::optional<uint64_t> length) {
  if (length && received >= *length) return;
  const ULONGLONG now = GetTickCount64();
  if (now - lastProgress_ < kProgressIntervalMs) return;
  lastProgress_ = now;
  AcquireSRWLockShared(&transfer_.lock);
  const TransferProgress progress{request_.item, transfer_.partSize + transfer_.buffered, result_.totalSize};
  ReleaseSRWLockShared(&transfer_.lock);
  // A cancel marks the transfer under the shared lock too: no progress follows its result.
  AcquireSRWLockExclusive(&shared_.lock);
  if (StillWanted()) {
    auto same = std::find_if(shared_.progress.begin(), shared_.progress.end(),
                             [&](const TransferProgress& p) { return p.item == progress.item; });
    if (same != shared_.progress.end()) *same = progress;
    else shared_.progress.push_back(progress);
  }
  ReleaseSRWLockExclusive(&shared_.lock);
}

}  // namespace

TransferResult RunTransfer(WinHttpTransfer::Shared& shared, Transfer& transfer) {
  return Worker(shared, transfer).Run();
}

}  // namespace velnor
