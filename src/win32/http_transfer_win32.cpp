#include "win32/http_transfer_win32.h"

#include <algorithm>
#include <string>
#include <vector>

#include "win32/http_transfer_state_win32.h"
#include "win32/http_worker_win32.h"
#include "win32/part_file_win32.h"
#include "win32/winhttp_calls_win32.h"

namespace velnor {
namespace {

// How long closing waits for the parts being let go, which takes a few milliseconds unless
// the disk stalls (it never waits for a worker).
constexpr ULONGLONG kReleaseWaitMs = 20;

DWORD WINAPI WorkerThread(LPVOID parameter) {
  auto* shared = static_cast<WinHttpTransfer::Shared*>(parameter);
  std::vector<char> buffer(kTransferBufferSize);
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

    const TransferResult result = RunTransfer(*shared, transfer);

    AcquireSRWLockExclusive(&shared->lock);
    std::erase(shared->active, &transfer);
    if (!transfer.cancelled) --shared->running;
    ++shared->idleWorkers;
    // One that ended without a whole file hands back what waits, before another worker
    // begins any of it (after a missing probe, what is wanted whatever it answers stays).
    if (!transfer.reported) {
      shared->Report(result);
      if (result.outcome != TransferOutcome::kComplete) {
        shared->HandBackQueue(transfer.request.probeBytes > 0 ? shared->missingProbes.KeepAfter(result)
                                                              : std::nullopt);
      }
    }
  }
  --shared->idleWorkers;
  ReleaseSRWLockExclusive(&shared->lock);
  shared->Release();
  return 0;
}

// A part a cancel took from its worker: what its buffer held is written and the part closed,
// on a thread of the system's pool, so that neither the window nor a resume waits for it.
struct PartToLetGo {
  WinHttpTransfer::Shared* shared;
  HANDLE file;
  std::string bytes;
  String path;
};

DWORD WINAPI LetPartGo(LPVOID parameter) {
  auto* part = static_cast<PartToLetGo*>(parameter);
  if (!part->bytes.empty()) part->shared->writes->Write(part->file, part->bytes.data(), static_cast<DWORD>(part->bytes.size()));
  CloseHandle(part->file);
  part->shared->EndRelease(part->path);
  part->shared->Release();
  delete part;
  return 0;
}

}  // namespace

WinHttpTransfer::WinHttpTransfer(HWND window, Win32DownloadFolder& folder)
    : WinHttpTransfer(window, folder, SystemPartWrites()) {}

WinHttpTransfer::WinHttpTransfer(HWND window, Win32DownloadFolder& folder, PartWrites& writes)
    : shared_(new Shared) {
  shared_->window = window;
  shared_->folder = &folder;
  shared_->writes = &writes;
  shared_->session = OpenSession();
}

WinHttpTransfer::~WinHttpTransfer() {
  AcquireSRWLockExclusive(&shared_->lock);
  shared_->closing = true;
  shared_->folder = nullptr;
  ReleaseSRWLockExclusive(&shared_->lock);
  StopAll();
  WakeAllConditionVariable(&shared_->wake);
  WakeAllConditionVariable(&shared_->released);
  const ULONGLONG until = GetTickCount64() + kReleaseWaitMs;
  AcquireSRWLockExclusive(&shared_->lock);
  for (ULONGLONG now = GetTickCount64(); !shared_->releasing.empty() && now < until; now = GetTickCount64()) {
    SleepConditionVariableSRW(&shared_->released, &shared_->lock, static_cast<DWORD>(until - now), 0);
  }
  ReleaseSRWLockExclusive(&shared_->lock);
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

void WinHttpTransfer::UseCookies(std::optional<CookieJar> jar) { shared_->cookies.Use(std::move(jar)); }

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

// Marks every transfer cancelled and closes its request; takes each part from a worker that
// waits on the network (a worker inside a write lets its part go when the write returns).
// Nothing here waits: the transfers' locks are never held across a system call.
void WinHttpTransfer::StopAll() {
  std::vector<HINTERNET> handles;
  std::vector<PartToLetGo*> parts;
  AcquireSRWLockExclusive(&shared_->lock);
  for (const TransferRequest& waiting : shared_->queue) {
    shared_->Report(EndedUnanswered(waiting, TransferOutcome::kCancelled));
  }
  shared_->queue.clear();
  for (Transfer* transfer : shared_->active) {
    AcquireSRWLockExclusive(&transfer->lock);
    if (!transfer->cancelled) {
      transfer->cancelled = true;
      --shared_->running;
      if (transfer->handle) handles.push_back(transfer->handle);
      transfer->handle = nullptr;
      if (transfer->step != Transfer::Step::kPlacing) {
        TransferResult result;
        result.item = transfer->request.item;
        result.outcome = TransferOutcome::kCancelled;
        result.partSize = transfer->partSize + transfer->buffered;  // the part keeps all that arrived
        shared_->Report(result);
        transfer->reported = true;
      }
      if (transfer->file != INVALID_HANDLE_VALUE) {
        shared_->releasing.push_back(transfer->request.partPath);
        if (transfer->step == Transfer::Step::kNetwork) {
          parts.push_back(new PartToLetGo{shared_, transfer->file,
                                          std::string(transfer->buffer, transfer->buffered),
                                          transfer->request.partPath});
          transfer->file = INVALID_HANDLE_VALUE;
          transfer->buffered = 0;
        }
      }
    }
    ReleaseSRWLockExclusive(&transfer->lock);
  }
  ReleaseSRWLockExclusive(&shared_->lock);
  // Closing a request handle ends the call its worker is blocked in (where the system can).
  for (HINTERNET handle : handles) WinHttpCloseHandle(handle);
  for (PartToLetGo* part : parts) {
    InterlockedIncrement(&shared_->references);
    if (!QueueUserWorkItem(LetPartGo, part, WT_EXECUTEDEFAULT)) {
      HANDLE thread = CreateThread(nullptr, 0, LetPartGo, part, 0, nullptr);
      if (thread) CloseHandle(thread);
      else LetPartGo(part);  // no thread to be had: the part is let go here
    }
  }
}

}  // namespace velnor
