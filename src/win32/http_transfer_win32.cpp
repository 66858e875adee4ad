#include "win32/http_transfer_win32.h"

#include <winhttp.h>

#include <algorithm>
#include <ctime>
#include <deque>
#include <string>
#include <vector>

#include "download/http_answer.h"
#include "win32/download_folder_win32.h"
#include "win32/winhttp_calls_win32.h"
#include "win32/win32_text.h"

namespace velnor {

namespace {

constexpr DWORD kBufferSize = 64 * 1024;
constexpr ULONGLONG kProgressIntervalMs = 100;  // at most about 10 updates a second a transfer
constexpr DWORD kMaxRedirects = 10;
constexpr DWORD kWorkerGoneWaitMs = 1000;

// One transfer under way, shared by its worker and CancelAll. Its lock makes "still wanted?"
// and the write that follows one step, so that nothing is written once a cancel returned.
// The body goes to the part a whole buffer at a time (an eighth of the writes of one for
// each read, under Wine); what the buffer holds is written when it is full, at the end, and
// by a cancel, so that the part keeps all that arrived.
struct Transfer {
  SRWLOCK lock = SRWLOCK_INIT;
  TransferRequest request;
  HINTERNET handle = nullptr;  // the request handle while open; CancelAll may close it first
  HANDLE file = INVALID_HANDLE_VALUE;  // the part while written; CancelAll closes it
  uint64_t partSize = 0;
  char* buffer = nullptr;    // its worker's, kBufferSize: the worker reads into it past `buffered`
  DWORD buffered = 0;        // bytes arrived and not yet written
  bool cancelled = false;

  // Under the lock: what the buffer holds goes to the part.
  bool WriteBuffered() {
    if (buffered == 0 || file == INVALID_HANDLE_VALUE) return buffered == 0;
    DWORD done = 0;
    const bool written = WriteFile(file, buffer, buffered, &done, nullptr) && done == buffered;
    if (written) partSize += buffered;
    buffered = 0;
    return written;
  }
};

class Worker {
 public:
  Worker(WinHttpTransfer::Shared& shared, Transfer& transfer);
  TransferResult Run();

 private:
  bool StillWanted();
  TransferResult Fail(DWORD error, bool bodyStarted);
  TransferResult Answer();
  TransferResult Body(BodyPlacement placement, std::optional<uint64_t> length);
  bool Placeable() const;
  bool PutInPlace();
  // Under the transfer's lock: false once it was cancelled, and then nothing is written.
  bool Keep(DWORD size);
  bool Flush();
  // The part opened for this body, from `start` on; false when it cannot be written (or the
  // transfer was cancelled meanwhile).
  bool OpenPart(bool append, uint64_t start);
  void ClosePart();
  // The folder's listing learns of the part.
  void NoteCreated();
  void Progress();

  WinHttpTransfer::Shared& shared_;
  Transfer& transfer_;
  const TransferRequest& request_;
  HINTERNET request_handle_ = nullptr;
  TransferResult result_;
  bool renamed_ = false;  // the whole part is at finalPath
  ULONGLONG lastProgress_ = 0;
};

}  // namespace

struct WinHttpTransfer::Shared {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;
  HWND window = nullptr;
  Win32DownloadFolder* folder = nullptr;  // told of each part a worker creates; gone: nullptr
  HINTERNET session = nullptr;
  std::deque<TransferRequest> queue;  // handed over, not begun
  std::vector<Transfer*> active;      // begun and not ended
  // Those of them not cancelled: never more than `connections`. (A cancelled one may keep its
  // worker blocked for a while under Wine; it holds no connection of the job's.)
  int running = 0;
  int connections = 1;
  std::vector<HANDLE> threads;
  // What the window has still to take: the latest progress of each transfer, the results.
  std::vector<TransferProgress> progress;
  std::vector<TransferResult> results;
  bool notified = false;  // a notice is on its way to the window
  int idleWorkers = 0;
  bool closing = false;
  LONG references = 1;  // the owner's and one a worker

  // Under the lock: one notice at a time tells the window there is something to take.
  void Notify() {
    if (!notified && PostMessageW(window, kTransferNotesMessage, 0, 0)) notified = true;
  }
  // A whole file needs the window only once half the requests it handed over have begun, so
  // that it hands over more in one go instead of waking for every small file; anything else
  // at once.
  void Report(const TransferResult& result) {
    results.push_back(result);
    const size_t fewWait = static_cast<size_t>(kWaitingRequestsPerConnection / 2) * static_cast<size_t>(connections);
    if (result.outcome != TransferOutcome::kComplete || queue.size() <= fewWait) Notify();
  }

  void HandBackQueue() {
    for (const TransferRequest& waiting : queue) {
      results.push_back(EndedUnanswered(waiting, TransferOutcome::kNotBegun));
    }
    queue.clear();
  }

  void Release() {
    if (InterlockedDecrement(&references) != 0) return;
    if (session) WinHttpCloseHandle(session);
    delete this;
  }
};

namespace {

Worker::Worker(WinHttpTransfer::Shared& shared, Transfer& transfer)
    : shared_(shared), transfer_(transfer), request_(transfer.request) {
  result_.item = request_.item;
  result_.partSize = request_.resumeFrom;
}

bool Worker::StillWanted() {
  AcquireSRWLockShared(&transfer_.lock);
  const bool wanted = !transfer_.cancelled;
  ReleaseSRWLockShared(&transfer_.lock);
  return wanted;
}

TransferResult Worker::Fail(DWORD error, bool bodyStarted) {
  result_.outcome = StillWanted() ? OutcomeOfError(error, bodyStarted) : TransferOutcome::kCancelled;
  return result_;
}

TransferResult Worker::Run() {
  if (!IsSupportedUrl(request_.url)) {
    result_.outcome = TransferOutcome::kUnsupportedUrl;
    return result_;
  }
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(Wide(request_.url), static_cast<DWORD>(request_.url.size()), 0, &parts) ||
      parts.dwHostNameLength == 0) {
    result_.outcome = TransferOutcome::kUnsupportedUrl;
    return result_;
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring path = RequestPath(parts.lpszUrlPath, parts.dwUrlPathLength, parts.lpszExtraInfo,
                                        parts.dwExtraInfoLength);
  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

  HINTERNET connection = WinHttpConnect(shared_.session, host.c_str(), parts.nPort, 0);
  if (!connection) return Fail(GetLastError(), false);
  HINTERNET request = WinHttpOpenRequest(
      connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
      WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY | (secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) {
    const DWORD error = GetLastError();
    WinHttpCloseHandle(connection);
    return Fail(error, false);
  }
  AcquireSRWLockExclusive(&transfer_.lock);
  const bool cancelled = transfer_.cancelled;
  if (!cancelled) transfer_.handle = request;
  ReleaseSRWLockExclusive(&transfer_.lock);
  if (cancelled) {
    WinHttpCloseHandle(request);
    WinHttpCloseHandle(connection);
    result_.outcome = TransferOutcome::kCancelled;
    return result_;
  }
  request_handle_ = request;
  const TransferResult result = Answer();
  // A handle CancelAll has not closed already is closed here.
  AcquireSRWLockExclusive(&transfer_.lock);
  HINTERNET open = transfer_.handle;
  transfer_.handle = nullptr;
  ReleaseSRWLockExclusive(&transfer_.lock);
  if (open) WinHttpCloseHandle(open);
  WinHttpCloseHandle(connection);
  return result;
}

TransferResult Worker::Answer() {
  HINTERNET request = request_handle_;
  // Redirects followed up to ten times, never from https to http; bodies left as they come.
  DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
  WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
  DWORD redirects = kMaxRedirects;
  WinHttpSetOption(request, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects, sizeof redirects);

  std::wstring headers;
  if (!request_.referer.empty()) headers += L"Referer: " + std::wstring(Wide(request_.referer)) + L"\r\n";
  if (request_.resumeFrom > 0) headers += L"Range: bytes=" + std::to_wstring(request_.resumeFrom) + L"-\r\n";
  if (!WinHttpSendRequest(request, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                          headers.empty() ? 0 : static_cast<DWORD>(-1L), WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !WinHttpReceiveResponse(request, nullptr)) {
    return Fail(GetLastError(), false);
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return Fail(GetLastError(), false);
  }
  result_.status = static_cast<int>(status);
  if (status != 200 && status != 206) {
    const std::wstring retryAfter = Header(request, WINHTTP_QUERY_RETRY_AFTER);
    if (!retryAfter.empty()) {
      result_.retryAfterSeconds =
          ParseRetryAfterSeconds(FromWide(retryAfter.data(), retryAfter.size()), static_cast<int64_t>(time(nullptr)));
    }
    // A redirect still unanswered after ten is one too many, unless it was one from https
    // to http, which is never followed and fails as the answer it is.
    const std::wstring location = Header(request, WINHTTP_QUERY_LOCATION);
    const bool redirect = status >= 300 && status < 400 && status != 304 && !location.empty();
    result_.outcome = redirect && !LeavesHttps(request, location) ? TransferOutcome::kTooManyRedirects
                                                                  : TransferOutcome::kHttpError;
    return result_;
  }
  const std::wstring contentRange = status == 206 ? Header(request, WINHTTP_QUERY_CONTENT_RANGE) : std::wstring();
  const std::optional<uint64_t> length = Number(Header(request, WINHTTP_QUERY_CONTENT_LENGTH));
  BodyPlacement placement =
      PlaceBody(request_.resumeFrom, static_cast<int>(status), FromWide(contentRange.data(), contentRange.size()));
  if (status == 206) {
    const ContentRange range = ParseContentRange(contentRange);
    result_.totalSize = range.total;
    // Part of the file, but not from where the part ends: it cannot be placed. The part is
    // emptied, and the next try asks for the whole file.
    if (placement == BodyPlacement::kRewrite && range.first.value_or(1) != 0) {
      HANDLE file = CreateFileW(Wide(request_.partPath), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        NoteCreated();
      }
      result_.partSize = 0;
      result_.outcome = TransferOutcome::kCutShort;
      return result_;
    }
  } else {
    result_.totalSize = length;
  }
  return Body(placement, length);
}

// `size` more bytes arrived in the buffer; a full buffer is written.
bool Worker::Keep(DWORD size) {
  AcquireSRWLockExclusive(&transfer_.lock);
  bool kept = false;
  if (!transfer_.cancelled) {
    transfer_.buffered += size;
    kept = transfer_.buffered < kBufferSize || transfer_.WriteBuffered();
  }
  ReleaseSRWLockExclusive(&transfer_.lock);
  return kept;
}

bool Worker::Flush() {
  AcquireSRWLockExclusive(&transfer_.lock);
  const bool written = !transfer_.cancelled && transfer_.WriteBuffered();
  ReleaseSRWLockExclusive(&transfer_.lock);
  return written;
}

bool Worker::OpenPart(bool append, uint64_t start) {
  // Others may read and delete the part while it is written, never write it.
  // DELETE: a whole part is renamed through this handle.
  HANDLE file = CreateFileW(Wide(request_.partPath), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  NoteCreated();
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(start);
  if (append && !(SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file))) {
    CloseHandle(file);
    return false;
  }
  AcquireSRWLockExclusive(&transfer_.lock);
  const bool cancelled = transfer_.cancelled;
  if (!cancelled) {
    transfer_.file = file;
    transfer_.partSize = start;
  }
  ReleaseSRWLockExclusive(&transfer_.lock);
  if (cancelled) CloseHandle(file);
  return !cancelled;
}

void Worker::NoteCreated() {
  AcquireSRWLockExclusive(&shared_.lock);
  if (shared_.folder) shared_.folder->NoteCreated(request_.partPath);
  ReleaseSRWLockExclusive(&shared_.lock);
}

void Worker::ClosePart() {
  AcquireSRWLockExclusive(&transfer_.lock);
  if (transfer_.file != INVALID_HANDLE_VALUE) CloseHandle(transfer_.file);
  transfer_.file = INVALID_HANDLE_VALUE;
  ReleaseSRWLockExclusive(&transfer_.lock);
}

void Worker::Progress() {
  const ULONGLONG now = GetTickCount64();
  if (now - lastProgress_ < kProgressIntervalMs) return;
  lastProgress_ = now;
  AcquireSRWLockShared(&transfer_.lock);
  const TransferProgress progress{request_.item, transfer_.partSize + transfer_.buffered, result_.totalSize};
  ReleaseSRWLockShared(&transfer_.lock);
  // A cancel marks the transfer under the shared lock too: no progress follows its result.
  // No notice: the window takes progress with its timer, which is as often as it shows it.
  AcquireSRWLockExclusive(&shared_.lock);
  if (!transfer_.cancelled) {
    auto same = std::find_if(shared_.progress.begin(), shared_.progress.end(),
                             [&](const TransferProgress& p) { return p.item == progress.item; });
    if (same != shared_.progress.end()) *same = progress;
    else shared_.progress.push_back(progress);
  }
  ReleaseSRWLockExclusive(&shared_.lock);
}

TransferResult Worker::Body(BodyPlacement placement, std::optional<uint64_t> length) {
  const bool append = placement == BodyPlacement::kAppend;
  const uint64_t start = append ? request_.resumeFrom : 0;
  // A part shorter than it was when the request was made cannot be continued: it starts again.
  if (append && Win32DownloadFolder().FileSize(request_.partPath).value_or(0) < start) {
    DeleteFileW(Wide(request_.partPath));
    result_.partSize = 0;
    result_.outcome = TransferOutcome::kCutShort;
    return result_;
  }
  bool failedWrite = !OpenPart(append, start);
  result_.partSize = start;

  // Read what has arrived, as much as there is: a read of more than that waits for all of it
  // under Wine, and what arrived meanwhile would be in no buffer a cancel could write. Only
  // this thread moves `buffered` up, so `filled` is where the next read goes.
  uint64_t received = 0;
  DWORD filled = 0;
  DWORD readError = ERROR_SUCCESS;
  while (!failedWrite && StillWanted()) {
    DWORD available = 0;
    DWORD got = 0;
    if (!WinHttpQueryDataAvailable(request_handle_, &available) ||
        (available > 0 && !WinHttpReadData(request_handle_, transfer_.buffer + filled,
                                           std::min(available, kBufferSize - filled), &got))) {
      readError = GetLastError();
      break;
    }
    if (got == 0) break;
    failedWrite = !Keep(got) && StillWanted();
    filled = (filled + got) % kBufferSize;
    received += got;
    // A body that has all arrived needs no progress of its own: its result follows at once.
    if (!length || received < *length) Progress();
  }
  if (!failedWrite) failedWrite = !Flush() && StillWanted();

  AcquireSRWLockShared(&transfer_.lock);
  const bool cancelled = transfer_.cancelled;
  result_.partSize = transfer_.partSize;
  ReleaseSRWLockShared(&transfer_.lock);
  const bool whole = !cancelled && !failedWrite && readError == ERROR_SUCCESS && !(length && received < *length);
  if (!whole || !PutInPlace()) ClosePart();
  // Whole, and it could not take its name: a failed write, unless a cancel came meanwhile.
  const bool notPlaced = whole && !renamed_ && Placeable();
  if (cancelled || (notPlaced && !StillWanted())) {
    result_.outcome = TransferOutcome::kCancelled;  // the part stays
  } else if (failedWrite || notPlaced) {
    DeleteFileW(Wide(request_.partPath));
    result_.partSize = 0;
    result_.outcome = TransferOutcome::kWriteFailed;
  } else if (readError != ERROR_SUCCESS) {
    result_.outcome = OutcomeOfError(readError, true);
  } else if (length && received < *length) {
    result_.outcome = TransferOutcome::kCutShort;
  } else {
    // Complete means in place; a part that is not the whole file is resumed by the job.
    result_.outcome = renamed_ ? TransferOutcome::kComplete : TransferOutcome::kCutShort;
  }
  return result_;
}

// The part is the whole file as the server gave its size (a part that is not is left to the
// job, which starts it again), and it has a name to go to.
bool Worker::Placeable() const {
  return !request_.finalPath.empty() && !(result_.totalSize && result_.partSize != *result_.totalSize);
}

// A whole file goes to its name here, off the window's thread, renamed through the handle it
// was written with and then closed. False: the part is left as it is, still open.
bool Worker::PutInPlace() {
  if (!Placeable()) return false;
  AcquireSRWLockExclusive(&transfer_.lock);
  const bool open = !transfer_.cancelled && transfer_.file != INVALID_HANDLE_VALUE;
  const bool renamed = open && RenameOpenFileNeverReplacing(transfer_.file, request_.finalPath);
  if (renamed) {
    CloseHandle(transfer_.file);
    transfer_.file = INVALID_HANDLE_VALUE;
  }
  ReleaseSRWLockExclusive(&transfer_.lock);
  if (!renamed) return false;
  renamed_ = true;
  AcquireSRWLockExclusive(&shared_.lock);
  if (shared_.folder) shared_.folder->NoteRenamed(request_.partPath, request_.finalPath);
  ReleaseSRWLockExclusive(&shared_.lock);
  return true;
}

DWORD WINAPI WorkerThread(LPVOID parameter) {
  auto* shared = static_cast<WinHttpTransfer::Shared*>(parameter);
  std::vector<char> buffer(kBufferSize);
  AcquireSRWLockExclusive(&shared->lock);
  for (;;) {
    while ((shared->queue.empty() || shared->running >= shared->connections) && !shared->closing) {
      SleepConditionVariableSRW(&shared->wake, &shared->lock, INFINITE, 0);
    }
    if (shared->closing) break;
    Transfer transfer;
    transfer.buffer = buffer.data();
    transfer.request = std::move(shared->queue.front());
    transfer.partSize = transfer.request.resumeFrom;
    shared->queue.pop_front();
    shared->active.push_back(&transfer);
    ++shared->running;
    --shared->idleWorkers;
    ReleaseSRWLockExclusive(&shared->lock);

    const TransferResult result = Worker(*shared, transfer).Run();

    AcquireSRWLockExclusive(&shared->lock);
    std::erase(shared->active, &transfer);
    if (!transfer.cancelled) --shared->running;
    ++shared->idleWorkers;
    // A cancelled transfer was reported by CancelAll already. One that ended without a whole
    // file hands back what waits, before another worker begins any of it.
    if (!transfer.cancelled) {
      shared->Report(result);
      if (result.outcome != TransferOutcome::kComplete) shared->HandBackQueue();
    }
  }
  --shared->idleWorkers;
  ReleaseSRWLockExclusive(&shared->lock);
  shared->Release();
  return 0;
}

}  // namespace

WinHttpTransfer::WinHttpTransfer(HWND window, Win32DownloadFolder& folder) : shared_(new Shared) {
  shared_->window = window;
  shared_->folder = &folder;
  shared_->session = OpenSession();
}

WinHttpTransfer::~WinHttpTransfer() {
  AcquireSRWLockExclusive(&shared_->lock);
  shared_->closing = true;
  shared_->folder = nullptr;
  ReleaseSRWLockExclusive(&shared_->lock);
  StopAll();
  WakeAllConditionVariable(&shared_->wake);
  if (!shared_->threads.empty()) {
    WaitForMultipleObjects(static_cast<DWORD>(shared_->threads.size()), shared_->threads.data(), TRUE,
                           kWorkerGoneWaitMs);
  }
  for (HANDLE thread : shared_->threads) CloseHandle(thread);
  shared_->threads.clear();
  shared_->Release();
}

void WinHttpTransfer::Start(const TransferRequest& request) {
  AcquireSRWLockExclusive(&shared_->lock);
  shared_->queue.push_back(request);
  bool failedToStart = false;
  if (static_cast<int>(shared_->queue.size()) > shared_->idleWorkers &&
      shared_->idleWorkers + shared_->running < shared_->connections) {
    InterlockedIncrement(&shared_->references);
    HANDLE thread = CreateThread(nullptr, 0, WorkerThread, shared_, 0, nullptr);
    if (thread) {
      ++shared_->idleWorkers;
      shared_->threads.push_back(thread);
    } else {
      InterlockedDecrement(&shared_->references);
      failedToStart = shared_->idleWorkers + shared_->running == 0;
    }
  }
  if (failedToStart || !shared_->session) {
    // No thread or no session: nothing waiting can connect.
    for (const TransferRequest& waiting : shared_->queue) {
      shared_->Report(EndedUnanswered(waiting, TransferOutcome::kCannotConnect));
    }
    shared_->queue.clear();
  }
  ReleaseSRWLockExclusive(&shared_->lock);
  WakeConditionVariable(&shared_->wake);
}

void WinHttpTransfer::SetConnections(int connections) {
  AcquireSRWLockExclusive(&shared_->lock);
  shared_->connections = std::max(connections, 1);
  ReleaseSRWLockExclusive(&shared_->lock);
  WakeAllConditionVariable(&shared_->wake);
}

bool WinHttpTransfer::Withdraw(int item) {
  AcquireSRWLockExclusive(&shared_->lock);
  const auto found = std::find_if(shared_->queue.begin(), shared_->queue.end(),
                                  [item](const TransferRequest& request) { return request.item == item; });
  const bool waiting = found != shared_->queue.end();
  if (waiting) shared_->queue.erase(found);
  ReleaseSRWLockExclusive(&shared_->lock);
  return waiting;
}

void WinHttpTransfer::CancelAll() { StopAll(); }

WinHttpTransfer::Notes WinHttpTransfer::TakeNotes() {
  Notes notes;
  AcquireSRWLockExclusive(&shared_->lock);
  notes.progress.swap(shared_->progress);
  notes.results.swap(shared_->results);
  shared_->notified = false;
  ReleaseSRWLockExclusive(&shared_->lock);
  return notes;
}

void WinHttpTransfer::StopAll() {
  std::vector<HINTERNET> handles;
  AcquireSRWLockExclusive(&shared_->lock);
  const bool report = !shared_->closing;
  for (const TransferRequest& waiting : shared_->queue) {
    if (report) shared_->Report(EndedUnanswered(waiting, TransferOutcome::kCancelled));
  }
  shared_->queue.clear();
  for (Transfer* transfer : shared_->active) {
    AcquireSRWLockExclusive(&transfer->lock);
    if (!transfer->cancelled) {
      transfer->cancelled = true;
      --shared_->running;
      transfer->WriteBuffered();  // the part keeps all that arrived
      TransferResult result;
      result.item = transfer->request.item;
      result.outcome = TransferOutcome::kCancelled;
      result.partSize = transfer->partSize;
      if (report) shared_->Report(result);
      if (transfer->handle) handles.push_back(transfer->handle);
      transfer->handle = nullptr;
      // Its worker may stay blocked in a read for a while (Wine does not end the read when
      // the handle closes): the part is let go now, so that a resume can write it at once.
      if (transfer->file != INVALID_HANDLE_VALUE) CloseHandle(transfer->file);
      transfer->file = INVALID_HANDLE_VALUE;
    }
    ReleaseSRWLockExclusive(&transfer->lock);
  }
  ReleaseSRWLockExclusive(&shared_->lock);
  // Closing a request handle ends the call its worker is blocked in.
  for (HINTERNET handle : handles) WinHttpCloseHandle(handle);
}

}  // namespace velnor
