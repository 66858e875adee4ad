#pragma once
// The download job's transfers over WinHTTP, the system's own HTTP stack: one session, a few
// worker threads that each run one GET at a time synchronously and stream its body to the part
// file (http_worker_win32.cpp). Requests beyond the connections wait in a queue, so that a
// worker that ends a transfer begins the next without waiting for the window. The workers only
// transfer and write; every progress and result is posted to a window, whose thread hands it
// to the job, so the job itself needs no locks. Nothing crosses in the message itself: a window
// that is gone leaves nothing behind. The window's thread never waits on the disk or the
// network here: a cancel marks the transfers and closes their requests, and the parts are let
// go off that thread.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "download/cookies.h"
#include "download/transfer_platform.h"

namespace velnor {

class Win32DownloadFolder;  // win32/download_folder_win32.h
class PartWrites;           // win32/part_file_win32.h

// Posted to the window given when results wait to be taken (TakeNotes): a failure at once, a
// whole file once few requests are left to begin; one notice at a time, however many
// transfers reported meanwhile. Progress waits for the window to take it (its timer does).
inline constexpr UINT kTransferNotesMessage = WM_APP + 40;

struct TransferProgress {
  int item = 0;
  uint64_t bytes = 0;                 // in the part now
  std::optional<uint64_t> totalSize;  // the whole file's, when the server told it
};

class WinHttpTransfer : public TransferPlatform {
 public:
  // folder: told of every part a worker creates; it outlives the transfer. writes: the part
  // files' writes (the system's, unless a test holds them).
  WinHttpTransfer(HWND window, Win32DownloadFolder& folder);
  WinHttpTransfer(HWND window, Win32DownloadFolder& folder, PartWrites& writes);
  // Cancels what runs and lets the workers go without waiting for them (a worker that WinHTTP
  // or the disk keeps blocked ends on its own later, posting nothing); it waits a moment for
  // the parts being let go, so that they keep what arrived when the program ends next.
  ~WinHttpTransfer() override;
  WinHttpTransfer(const WinHttpTransfer&) = delete;
  WinHttpTransfer& operator=(const WinHttpTransfer&) = delete;

  // The cookies every request from now on carries, and keeps from the answers: the run's
  // cookies.txt; nothing, as WinHTTP always did.
  void UseCookies(std::optional<CookieJar> jar);

  void SetConnections(int connections) override;
  void Start(const TransferRequest& request) override;
  bool Withdraw(int item) override;
  // Every transfer started and not yet finished is reported kCancelled at once (from here,
  // with the bytes its part holds), and its request handle closed so that its worker stops;
  // the worker posts nothing more for it. One whose worker is renaming its whole part reports
  // what came of it itself (kComplete: the file is in place). Returns without waiting for any
  // worker: the parts still open are written out and closed off this thread.
  void CancelAll() override;

  // What the transfers reported since the last call, in the order to hand it to the job:
  // the latest progress of each, then the results.
  struct Notes {
    std::vector<TransferProgress> progress;
    std::vector<TransferResult> results;
  };
  Notes TakeNotes();

  struct Shared;  // the queue, the transfers under way and the session, shared with the workers

 private:
  // CancelAll's work; once closing, it reports nothing.
  void StopAll();

  Shared* shared_;
};

}  // namespace velnor
