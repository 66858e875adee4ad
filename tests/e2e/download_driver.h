#pragma once
// The download window driven from outside, as the download cases and the download benchmark
// use it: found once the command has opened it, its fields set, its buttons pressed, its
// status line and the cells of its virtual list read across the process boundary.
#include <string>
#include <vector>

#include "driver.h"

namespace velnor::e2e {

inline String ToString(const std::wstring& text) { return String(text.begin(), text.end()); }
inline String ToString(const std::string& ascii) { return String(ascii.begin(), ascii.end()); }

class DownloadWindow {
 public:
  // Waits up to 5 s for the program's visible download window.
  explicit DownloadWindow(Velnor& app);
  HWND window() const { return window_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  String Text(int id) const;
  void SetFolder(const std::wstring& folder);
  void SetConnections(int n);  // the drop-down list's choice, as the job reads it at 開始
  bool Checked(int id) const;
  // Presses a button and answers the message boxes it shows (OK, or answer: IDYES, IDNO).
  std::vector<ShownBox> Press(int id, int answer = IDOK);
  // Presses 開始 and waits for the end of the job; returns the status line then.
  String Run(DWORD timeoutMs = 40000);
  bool Finished() const;  // the status line gives the summary of the end
  int Rows() const;
  // A cell of the virtual list (LVM_GETITEMTEXTW through a buffer in the program's memory).
  String Cell(int row, int column) const;

 private:
  HWND Find() const;
  Velnor& app_;
  HWND window_ = nullptr;
};

}  // namespace velnor::e2e
