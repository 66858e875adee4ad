#pragma once
// What the WinHTTP transport shares with its workers: the requests waiting, the transfers
// under way, the notes for the window and the parts being let go after a cancel. Only the
// transport (http_transfer_win32.cpp) and its worker (http_worker_win32.cpp) include this.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <deque>
#include <vector>

#include "download/missing_probes.h"
#include "win32/http_cookies_win32.h"
#include "win32/http_transfer_win32.h"

namespace velnor {

class PartWrites;

constexpr DWORD kTransferBufferSize = 64 * 1024;

// One transfer under way, shared by its worker and the cancel. Its lock guards the fields
// below and is held only to read or change them, never across a system call, so that a
// cancel never waits on the disk or the network. The body goes to the part a whole buffer at
// a time (an eighth of the writes of one for each read, under Wine).
struct Transfer {
  // What the worker is doing with the part: a cancel takes the part from a worker that waits
  // on the network, leaves it to one inside a write (it lets it go when the write returns),
  // and lets one that renames a whole part report what came of it.
  enum class Step { kNetwork, kWriting, kPlacing };

  SRWLOCK lock = SRWLOCK_INIT;
  TransferRequest request;
  HINTERNET handle = nullptr;          // the request handle while open; a cancel takes and closes it
  HANDLE file = INVALID_HANDLE_VALUE;  // the part while its worker has it
  uint64_t partSize = 0;               // bytes written to the part
  char* buffer = nullptr;              // its worker's, kTransferBufferSize
  DWORD buffered = 0;                  // arrived and not yet written: buffer[0, buffered)
  Step step = Step::kNetwork;
  bool cancelled = false;
  bool reported = false;  // the cancel reported it: its worker reports nothing
};

struct WinHttpTransfer::Shared {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;      // a request waits, or closing
  CONDITION_VARIABLE released = CONDITION_VARIABLE_INIT;  // a part was let go
  HWND window = nullptr;
  Win32DownloadFolder* folder = nullptr;  // told of each part a worker creates; gone: nullptr
  PartWrites* writes = nullptr;
  HINTERNET session = nullptr;
  RunCookies cookies;  // the run's, with a lock of its own
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
  // Parts a cancel took from their workers and that are not closed yet: a request for one of
  // them begins once it is let go, and resumes from all it holds.
  std::vector<String> releasing;
  MissingProbes missingProbes;  // which waiting probes a missing item leaves to begin
  LONG references = 1;  // the owner's, one a worker and one a part being let go

  // Under the lock: one notice at a time tells the window there is something to take.
  void Notify() {
    if (!notified && PostMessageW(window, kTransferNotesMessage, 0, 0)) notified = true;
  }
  // A whole file needs the window only once half the requests it handed over have begun, so
  // that it hands over more in one go instead of waking for every small file; anything else
  // at once. Once closing, nothing is reported.
  void Report(const TransferResult& result) {
    if (closing) return;
    results.push_back(result);
    const size_t fewWait = static_cast<size_t>(kWaitingRequestsPerConnection / 2) * static_cast<size_t>(connections);
    if (result.outcome != TransferOutcome::kComplete || queue.size() <= fewWait) Notify();
  }
  // Every request not begun, or those past `keepUpTo` (the rest keep their order).
  void HandBackQueue(std::optional<int> keepUpTo = std::nullopt) {
    std::deque<TransferRequest> kept;
    for (TransferRequest& waiting : queue) {
      if (keepUpTo && waiting.item <= *keepUpTo) kept.push_back(std::move(waiting));
      else Report(EndedUnanswered(waiting, TransferOutcome::kNotBegun));
    }
    queue.swap(kept);
  }
  // Under the lock.
  bool Releasing(const String& path) const {
    return std::find(releasing.begin(), releasing.end(), path) != releasing.end();
  }
  void EndRelease(const String& path) {
    AcquireSRWLockExclusive(&lock);
    if (const auto found = std::find(releasing.begin(), releasing.end(), path); found != releasing.end()) {
      releasing.erase(found);
    }
    ReleaseSRWLockExclusive(&lock);
    WakeAllConditionVariable(&released);
  }
  void Release() {
    if (InterlockedDecrement(&references) != 0) return;
    if (session) WinHttpCloseHandle(session);
    delete this;
  }
};

}  // namespace velnor
