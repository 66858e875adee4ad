// 開始 on the download window: the folder made and checked at once, listed off the window's
// thread, and the job started on that listing.
#include "win32/download_window_class.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "download/download_folder_path.h"
#include "win32/http_cookies_win32.h"

namespace velnor {

// Shared by the window and the thread that lists the folder: either may go first.
struct PendingStart {
  HWND window = nullptr;
  DownloadOptions options;  // as they were at 開始
  std::optional<CookieJar> cookies;  // the cookie file as read at 開始
  SRWLOCK lock = SRWLOCK_INIT;
  FolderListing listing;
};

namespace {

DWORD WINAPI ListFolderThread(LPVOID parameter) {
  const std::unique_ptr<std::shared_ptr<PendingStart>> held(static_cast<std::shared_ptr<PendingStart>*>(parameter));
  PendingStart& pending = **held;
  FolderListing listing = MakeAndListFolder(pending.options.folder);
  AcquireSRWLockExclusive(&pending.lock);
  pending.listing = std::move(listing);
  ReleaseSRWLockExclusive(&pending.lock);
  PostMessageW(pending.window, kFolderListedMessage, 0, 0);  // a window gone meanwhile takes nothing
  return 0;
}

}  // namespace

void DownloadWindow::StartJob() {
  if (Running() || pendingStart_) return;
  KeepOptions();
  // The Referer page and the cookie file before anything is made.
  RunRequests requests = PrepareRunRequests(program_.downloadOptions);
  if (!requests.refusal.empty()) {
    Modal([&] { MessageBoxW(window_, requests.refusal.c_str(), kCautionCaption, MB_OK); });
    return;
  }
  // Only a folder named in full: a relative one would follow the current folder.
  const String& folder = program_.downloadOptions.folder;
  if (!IsAbsoluteFolderPath(folder) || !MakeFolder(folder)) {
    Caution(kCannotMakeFolder, folder);
    return;
  }
  auto pending = std::make_shared<PendingStart>();
  pending->window = window_;
  pending->options = program_.downloadOptions;
  pending->cookies = std::move(requests.cookies);
  auto* forThread = new std::shared_ptr<PendingStart>(pending);
  const HANDLE thread = CreateThread(nullptr, 0, ListFolderThread, forThread, 0, nullptr);
  if (thread) CloseHandle(thread);
  else ListFolderThread(forThread);  // here, then
  pendingStart_ = std::move(pending);
  // The last run's summary goes until the job starts; 開始 waits.
  SetWindowTextW(Control(ids::kDlStatus), L"");
  EnableWindow(Control(ids::kDlStart), FALSE);
  NameAhead(0);
}

// While the folder is listed the window's thread is free: the items are named then, a slice
// a message, so that the start names none (naming 30000 items takes about 45 ms under Wine).
void DownloadWindow::NameAhead(int from) {
  constexpr int kSlice = 4000;
  const int end = std::min(from + kSlice, job_->Count());
  if (!pendingStart_ || end <= from) return;
  job_->Item(end - 1);
  PostMessageW(window_, kNameAheadMessage, static_cast<WPARAM>(end), 0);
}

void DownloadWindow::OnFolderListed() {
  const std::shared_ptr<PendingStart> pending = std::move(pendingStart_);
  if (!pending) return;
  AcquireSRWLockExclusive(&pending->lock);
  folder_.Adopt(std::move(pending->listing));
  ReleaseSRWLockExclusive(&pending->lock);
  transfer_->UseCookies(std::move(pending->cookies));
  const bool started = job_->Start(pending->options);
  shownRevision_ = ~uint64_t{0};  // the status line and the buttons as the job has them
  if (started) SetTimer(window_, kTickTimer, kTickMs, nullptr);
  Refresh();
  if (!started) Caution(kCannotMakeFolder, pending->options.folder);
}

}  // namespace velnor
