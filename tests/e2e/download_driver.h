#pragma once
// The download window driven from outside, as the download cases and the download benchmark
// use it: found once the command has opened it, its fields set, its buttons pressed, its
// status line and the cells of its virtual list read across the process boundary.
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

namespace velnor::e2e {

inline String ToString(const std::wstring& text) { return String(text.begin(), text.end()); }
inline String ToString(const std::string& ascii) { return String(ascii.begin(), ascii.end()); }

// The cases' web server (download_server.py) on 127.0.0.1, serving the folder `root` (created
// empty) below the case folder; it stops when the case ends, or by itself after two minutes.
class Server {
 public:
  explicit Server(const std::wstring& caseFolder);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  bool started() const { return !base_.empty(); }
  const String& base() const { return base_; }  // "http://127.0.0.1:PORT/"
  const std::wstring& root() const { return root_; }
  std::wstring Log() const { return folder_ + L"\\requests.log"; }
  // The log's lines that mention text (a path, a header value).
  std::vector<std::string> Requests(const std::string& text = "") const;

 private:
  std::wstring folder_, root_;
  String base_;
};

// Bytes that differ from file to file, some larger than one read.
std::string FileBytes(int seed, size_t size);

class DownloadWindow {
 public:
  // Waits up to 5 s for the program's visible download window.
  explicit DownloadWindow(Velnor& app);
  HWND window() const { return window_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  String Text(int id) const;
  void SetFolder(const std::wstring& folder);
  void SetField(int id, const std::wstring& text);  // WM_SETTEXT, as a paste
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

// What a download case starts with: the program, its web server, and an empty download
// folder "dl".
struct Stage {
  explicit Stage(Context& ctx) : app(ctx), server(app.folder()), folder(app.folder() + L"\\dl") {
    RemoveFilesInFolder(folder);
  }
  bool ready() const { return app.started() && server.started(); }
  Velnor app;
  Server server;
  std::wstring folder;
};

}  // namespace velnor::e2e
