#include "download_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "win32/control_ids.h"

namespace velnor::e2e {

Server::Server(const std::wstring& caseFolder) : folder_(caseFolder + L"\\server") {
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

Server::~Server() { WriteFileContent(folder_ + L"\\stop", ""); }

std::vector<std::string> Server::Requests(const std::string& text) const {
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

std::string FileBytes(int seed, size_t size) {
  std::string bytes(size, '\0');
  uint32_t x = 2463534242u + static_cast<uint32_t>(seed);
  for (char& b : bytes) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    b = static_cast<char>(x);
  }
  return bytes;
}

DownloadWindow::DownloadWindow(Velnor& app) : app_(app) {
  WaitUntil([this] { return (window_ = Find()) != nullptr; }, 5000);
}

HWND DownloadWindow::Find() const {
  for (HWND w = FindWindowExW(nullptr, nullptr, ids::kDownloadWindowClass, nullptr); w;
       w = FindWindowExW(nullptr, w, ids::kDownloadWindowClass, nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == app_.processId() && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

String DownloadWindow::Text(int id) const {
  wchar_t buffer[1024] = {};
  SendMessageW(Control(id), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
  return ToString(std::wstring(buffer));
}

void DownloadWindow::SetFolder(const std::wstring& folder) { SetField(ids::kDlFolder, folder); }

void DownloadWindow::SetField(int id, const std::wstring& text) {
  SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void DownloadWindow::SetConnections(int n) { SendMessageW(Control(ids::kDlConnections), CB_SETCURSEL, n - 1, 0); }

bool DownloadWindow::Checked(int id) const { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::vector<ShownBox> DownloadWindow::Press(int id, int answer) {
  return app_.SendAndAnswer(Control(id), BM_CLICK, 0, 0, answer);
}

bool DownloadWindow::Finished() const { return Text(ids::kDlStatus).starts_with(u"完了"); }

String DownloadWindow::Run(DWORD timeoutMs) {
  Press(ids::kDlStart);
  WaitUntil([this] { return Finished(); }, timeoutMs);
  return Text(ids::kDlStatus);
}

int DownloadWindow::Rows() const {
  return static_cast<int>(SendMessageW(Control(ids::kDlList), LVM_GETITEMCOUNT, 0, 0));
}

String DownloadWindow::Cell(int row, int column) const {
  constexpr SIZE_T kChars = 1024;
  auto* remote = static_cast<char*>(
      VirtualAllocEx(app_.process(), nullptr, sizeof(LVITEMW) + kChars * 2, MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return u"(no memory)";
  LVITEMW item{};
  item.iSubItem = column;
  item.cchTextMax = kChars;
  item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
  WriteProcessMemory(app_.process(), remote, &item, sizeof item, nullptr);
  const auto length = static_cast<size_t>(
      SendMessageW(Control(ids::kDlList), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote)));
  std::wstring text(std::min<size_t>(length, kChars), L'\0');
  ReadProcessMemory(app_.process(), item.pszText, text.data(), text.size() * 2, nullptr);
  VirtualFreeEx(app_.process(), remote, 0, MEM_RELEASE);
  return ToString(text);
}

}  // namespace velnor::e2e
