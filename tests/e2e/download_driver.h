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

#ifdef VELNOR_DOWNLOAD_SERVER
// The web server for one case (download_server.py on 127.0.0.1), serving the folder `root`
// (created empty); it stops when the case ends, or by itself after two minutes.
class Server {
 public:
  explicit Server(const std::wstring& caseFolder) : folder_(caseFolder + L"\\server") {
    root_ = folder_ + L"\\root";
    CreateDirectoryW(folder_.c_str(), nullptr);
    CreateDirectoryW(root_.c_str(), nullptr);
    RemoveFilesInFolder(root_);
    RemoveFilesInFolder(folder_);
    const char* script = VELNOR_DOWNLOAD_SERVER;
    std::wstring command = L"/usr/bin/python3 " + std::wstring(script, script + strlen(script)) + L" --root " +
                           UnixPath(root_) + L" --log " + UnixPath(Log()) + L" --port-file " +
                           UnixPath(folder_ + L"\\port") + L" --stop-file " + UnixPath(folder_ + L"\\stop");
    StartLinuxProgram(L"\\usr\\bin\\python3", command);
    WaitUntil([this] { return FileContent(folder_ + L"\\port") != "(cannot be read)"; }, 10000);
    const std::string port = FileContent(folder_ + L"\\port");
    if (port != "(cannot be read)") base_ = u"http://127.0.0.1:" + ToString(port) + u"/";
  }
  ~Server() { WriteFileContent(folder_ + L"\\stop", ""); }

  bool started() const { return !base_.empty(); }
  const String& base() const { return base_; }  // "http://127.0.0.1:PORT/"
  const std::wstring& root() const { return root_; }
  std::wstring Log() const { return folder_ + L"\\requests.log"; }
  // The log's lines that mention text (a path, a header value).
  std::vector<std::string> Requests(const std::string& text = "") const {
    std::vector<std::string> lines;
    std::string log = FileContent(Log());
    if (log == "(cannot be read)") log.clear();  // no request yet
    for (size_t start = 0, end; start < log.size(); start = end + 1) {
      end = log.find('\n', start);
      if (end == std::string::npos) end = log.size();
      const std::string line = log.substr(start, end - start);
      if (!line.empty() && line.find(text) != std::string::npos) lines.push_back(line);
    }
    return lines;
  }

 private:
  std::wstring folder_, root_;
  String base_;
};
#endif

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
