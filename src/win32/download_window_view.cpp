#include "win32/download_window_class.h"

#include <algorithm>
#include <utility>

#include "win32/download_layout.h"
#include "win32/win32_dpi.h"

namespace velnor {

// The list, the bar, the status line, the buttons and the taskbar, when the job changed.
void DownloadWindow::Refresh() {
  const uint64_t revision = job_->Revision();
  if (revision == shownRevision_) return;
  shownRevision_ = revision;
  const HWND list = Control(ids::kDlList);
  if (ListView_GetItemCount(list) != job_->Count()) {
    ListView_SetItemCountEx(list, job_->Count(), LVSICF_NOSCROLL);
  }
  RedrawChangedRows(list);
  SendMessageW(Control(ids::kDlProgress), PBM_SETPOS, static_cast<WPARAM>(job_->ProgressPercent()), 0);
  const String status = job_->StatusLine();
  if (WindowText(Control(ids::kDlStatus)) != status) SetWindowTextW(Control(ids::kDlStatus), Wide(status));

  const bool running = job_->Running();
  const HWND focus = GetFocus();
  EnableWindow(Control(ids::kDlAbort), running);
  EnableWindow(Control(ids::kDlStart), !running && !pendingStart_);  // waits while the folder is listed
  if (running && focus == Control(ids::kDlStart)) SetFocus(Control(ids::kDlAbort));
  if (!running && focus == Control(ids::kDlAbort)) SetFocus(Control(ids::kDlStart));
  if (!running) KillTimer(window_, kTickTimer);
  ShowTaskbarProgress();
}

// Only the rows in view whose state or size changed are drawn again: drawing every row in
// view ten times a second was about half of what the window's thread did during a job of
// small files under Wine.
void DownloadWindow::RedrawChangedRows(HWND list) {
  const int top = ListView_GetTopIndex(list);
  const int rows = std::max(0, std::min(ListView_GetCountPerPage(list) + 1, job_->Count() - top));
  if (top != shownTop_) {
    shownTop_ = top;
    shownRows_.clear();
  }
  shownRows_.resize(static_cast<size_t>(rows));
  for (int row = 0; row < rows; ++row) {
    String texts = job_->StateText(top + row) + u'\t' + job_->SizeText(top + row);
    if (texts == shownRows_[static_cast<size_t>(row)]) continue;
    shownRows_[static_cast<size_t>(row)] = std::move(texts);
    ListView_RedrawItems(list, top + row, top + row);
  }
}

// The main window's taskbar button shows the job's progress (the download window has none).
void DownloadWindow::ShowTaskbarProgress() {
  if (!taskbar_) return;
  if (job_->Running()) {
    taskbar_->SetProgressState(owner_, TBPF_NORMAL);
    taskbar_->SetProgressValue(owner_, static_cast<ULONGLONG>(job_->ProgressPercent()), 100);
  } else {
    taskbar_->SetProgressState(owner_, TBPF_NOPROGRESS);
  }
}

void DownloadWindow::FillDisplayInfo(NMLVDISPINFOW& info) {
  LVITEMW& item = info.item;
  if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iItem >= job_->Count()) return;
  const DownloadItem& entry = job_->Item(item.iItem);
  String text;
  switch (item.iSubItem) {
    case 0: text = entry.name; break;
    case 1: text = job_->StateText(item.iItem); break;
    case 2: text = job_->SizeText(item.iItem); break;
    default: text = entry.url; break;
  }
  cellText_.assign(Wide(text), text.size());
  item.pszText = cellText_.data();
}

void DownloadWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  const int oldDpi = dpi_;
  dpi_ = dpi;
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  const HFONT oldFont = font_;
  font_ = CreateUiFont(dpi_);
  for (const DownloadControlSpec& c : kDownloadControls) {
    SendMessageW(Control(c.id), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  DeleteObject(oldFont);
  ScaleDownloadListColumns(Control(ids::kDlList), oldDpi, dpi_);
  LayOutDownloadWindow(window_, font_, dpi_);
  RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace velnor
