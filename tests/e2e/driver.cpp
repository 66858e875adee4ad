#include "driver.h"

#include <algorithm>

#include "win32/control_ids.h"

namespace velnor::e2e {
namespace {

String WideToString(const std::wstring& text) { return String(text.begin(), text.end()); }
std::wstring StringToWide(const String& text) { return std::wstring(text.begin(), text.end()); }

String WindowTextOf(HWND hwnd) {
  const LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return String();
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  buffer.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return WideToString(buffer);
}

struct FindData {
  DWORD pid;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM param) {
  auto* data = reinterpret_cast<FindData*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != data->pid || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (lstrcmpW(name, data->className) != 0) return TRUE;
  data->found = hwnd;
  return FALSE;
}

}  // namespace

HWND FindVisibleTopLevel(DWORD pid, const wchar_t* className) {
  FindData data{pid, className, nullptr};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

ShownBox ReadMessageBox(HWND box) {
  ShownBox shown;
  shown.caption = WindowTextOf(box);
  if (HWND text = GetDlgItem(box, 0xFFFF)) shown.text = WindowTextOf(text);
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if (lstrcmpiW(name, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
        SendMessageW(child, STM_GETICON, 0, 0) != 0) {
      shown.hasIcon = true;
    }
  }
  return shown;
}

std::string Describe(const ShownBox& box) {
  return "{caption " + Describe(box.caption) + ", text " + Describe(box.text) + (box.hasIcon ? ", icon}" : "}");
}

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double AnswerTime(HWND window, DWORD limitMs) {
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, limitMs, &result)) return limitMs;
  return MillisecondsSince(start);
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    Sleep(10);
  }
  return true;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

RECT ClientRectOf(HWND window, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HFONT CreateUiFontAt(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

RECT SuggestedDpiRect(HWND window, int fromDpi, int toDpi) {
  RECT r{};
  GetWindowRect(window, &r);
  return RECT{r.left, r.top, r.left + MulDiv(r.right - r.left, toDpi, fromDpi),
              r.top + MulDiv(r.bottom - r.top, toDpi, fromDpi)};
}

bool SendDpiChanged(HANDLE process, HWND target, int dpi, const RECT& suggested) {
  void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote) return false;
  bool handled = WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr) != FALSE;
  if (handled) {
    DWORD_PTR ignored = 0;
    handled = SendMessageTimeoutW(target, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote),
                                  SMTO_NORMAL, 10000, &ignored) != 0;
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return handled;
}

std::wstring CaseFolder(const Context& ctx) {
  const std::wstring folder =
      ctx.options().workRoot + L"\\" + std::wstring(ctx.caseName().begin(), ctx.caseName().end());
  for (size_t i = 0; i < folder.size(); ++i) {
    if (folder[i] == L'\\' && i > 2) CreateDirectoryW(folder.substr(0, i).c_str(), nullptr);
  }
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

Velnor::Velnor(Context& ctx, SettingsFile settings, const std::wstring& subfolder, const std::wstring& arguments)
    : ctx_(ctx) {
  folder_ = CaseFolder(ctx);
  if (!subfolder.empty()) {
    folder_ += L"\\" + subfolder;
    CreateDirectoryW(folder_.c_str(), nullptr);
  }
  const std::wstring exe = folder_ + L"\\Velnor.exe";
  // A fresh folder for every start unless the case prepared it: no settings file from an
  // earlier run.
  if (settings == SettingsFile::kRemove) DeleteFileW((folder_ + L"\\Velnor.ini").c_str());
  if (!CopyFileW(ctx.options().exePath.c_str(), exe.c_str(), FALSE)) {
    ctx.Fail(__FILE__, __LINE__, "cannot copy Velnor.exe into the case's folder");
    return;
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  // Under Wine the first start in a prefix that has just booted can fail for a moment: try
  // again briefly before calling the case failed.
  DWORD error = 0;
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                       &si, &process_)) {
      error = 0;
      break;
    }
    error = GetLastError();
    Sleep(200);
  }
  if (error != 0) {
    ctx.Fail(__FILE__, __LINE__, "cannot start Velnor.exe (error " + std::to_string(error) + ")");
    return;
  }
  WaitForInputIdle(process_.hProcess, 10000);
  WaitUntil([&] { return (window_ = FindVisibleTopLevel(process_.dwProcessId, ids::kMainWindowClass)) != nullptr; },
            10000);
  if (!window_) ctx.Fail(__FILE__, __LINE__, "Velnor's main window did not show");
}

Velnor::~Velnor() {
  if (process_.hProcess) {
    if (!Exited()) Close(5000);
    if (!Exited()) TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
}

bool Velnor::Exited(DWORD timeoutMs) const {
  return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool Velnor::Close(DWORD timeoutMs) {
  if (window_ && IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
  return Exited(timeoutMs);
}

std::vector<ShownBox> Velnor::CloseAnswering(CloseBy how, DWORD timeoutMs, int answer) {
  std::vector<ShownBox> shown;
  if (how == CloseBy::kMenu) {
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(ids::kFileEnd, 0), 0);
  } else {
    PostMessageW(window_, WM_CLOSE, 0, 0);
  }
  const DWORD start = GetTickCount();
  while (!Exited(10)) {
    if (GetTickCount() - start > timeoutMs) {
      ctx_.Fail(__FILE__, __LINE__, "the program did not end after it was closed");
      break;
    }
    HWND box = FindVisibleTopLevel(process_.dwProcessId, L"#32770");
    if (!box) continue;
    shown.push_back(ReadMessageBox(box));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
    WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); });
  }
  return shown;
}

DWORD Velnor::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_.hProcess) GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

std::wstring Velnor::ImagePath() const {
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!process_.hProcess || !QueryFullProcessImageNameW(process_.hProcess, 0, path.data(), &size)) return {};
  path.resize(size);
  return path;
}

HWND Velnor::ComboEdit(int id) const { return FindWindowExW(Control(id), nullptr, L"Edit", nullptr); }

String Velnor::Text(int id) const { return WindowTextOf(Control(id)); }

namespace {

// Every item text of a list box or of a combo box's list, through the given messages.
std::vector<String> ItemTexts(HWND control, UINT countMessage, UINT lengthMessage, UINT textMessage) {
  std::vector<String> items;
  const auto count = static_cast<int>(SendMessageW(control, countMessage, 0, 0));
  for (int i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(control, lengthMessage, i, 0);
    std::wstring buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT copied = SendMessageW(control, textMessage, i, reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    items.push_back(WideToString(buffer));
  }
  return items;
}

}  // namespace

std::vector<String> Velnor::ListItems(int id) const {
  return ItemTexts(Control(id), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<String> Velnor::ComboItems(int id) const {
  return ItemTexts(Control(id), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int Velnor::CheckValue(int id) const { return static_cast<int>(SendMessageW(Control(id), BM_GETCHECK, 0, 0)); }

int Velnor::HorizontalExtent(int id) const {
  return static_cast<int>(SendMessageW(Control(id), LB_GETHORIZONTALEXTENT, 0, 0));
}

void Velnor::SetText(int id, const String& text) {
  const std::wstring wide = StringToWide(text);
  SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Velnor::Type(HWND field, const String& typed) {
  for (char16_t c : typed) SendMessageW(field, WM_CHAR, c, 1);
}

void Velnor::Erase(HWND field) {
  SendMessageW(field, EM_SETSEL, 0, -1);
  SendMessageW(field, WM_CHAR, VK_BACK, 1);
}

void Velnor::Click(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }

void Velnor::SetCheck(int id, int value) {
  for (int i = 0; i < 3 && CheckValue(id) != value; ++i) Click(id);
}

void Velnor::ClickAt(HWND target, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(target, WM_LBUTTONUP, 0, at);
}

std::vector<ShownBox> Velnor::ExpandNumbers(const String& url, int last, const String& extension) {
  const std::string typed = std::to_string(last);
  return ExpandNumbers(url, String(typed.begin(), typed.end()), extension);
}

std::vector<ShownBox> Velnor::ExpandNumbers(const String& url, const String& lastTyped, const String& extension) {
  ClickListEntry(ids::kList1, 1);
  Click(ids::kOption0);
  SendMessageW(ComboEdit(ids::kCombo1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(extension.c_str()));
  SetText(ids::kUrltxt, url);
  SetText(ids::kText1, u"");
  Type(ids::kText1, lastTyped);
  return Press(ids::kRenban);
}

void Velnor::ClickListEntry(int id, int index) {
  HWND list = Control(id);
  SendMessageW(list, LB_SETTOPINDEX, index, 0);
  const auto height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, index, 0));
  ClickAt(list, 4, height / 2);
}

void Velnor::PostKey(HWND target, UINT vk) {
  const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
  PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

HWND Velnor::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return nullptr;
  return info.hwndFocus;
}

std::vector<ShownBox> Velnor::Press(int id) { return SendAndAnswer(Control(id), BM_CLICK, 0, 0); }

}  // namespace velnor::e2e

// ---- Menu commands, list selections, the clipboard as another program uses it ----

namespace velnor::e2e {
namespace {

struct SentMessage {
  HWND target;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

DWORD WINAPI SendFromThread(LPVOID param) {
  const auto* sent = static_cast<SentMessage*>(param);
  SendMessageW(sent->target, sent->message, sent->wParam, sent->lParam);
  return 0;
}

bool OpenClipboardPatiently() {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(50);
  }
  return false;
}

// Empties the clipboard and puts data on it in format; the clipboard takes data when placed.
bool Place(UINT format, HANDLE data) {
  if (data == nullptr) return false;
  if (!OpenClipboardPatiently()) return false;
  const bool placed = EmptyClipboard() && SetClipboardData(format, data) != nullptr;
  CloseClipboard();
  return placed;
}

HGLOBAL GlobalCopy(const void* bytes, size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (memory == nullptr) return nullptr;
  memcpy(GlobalLock(memory), bytes, size);
  GlobalUnlock(memory);
  return memory;
}

// Runs on the clipboard's data while it is open; false when it could not be opened.
template <typename Read>
bool ReadClipboard(UINT format, Read read) {
  if (!OpenClipboardPatiently()) return false;
  bool found = false;
  if (HANDLE data = GetClipboardData(format)) {
    if (const void* p = GlobalLock(data)) {
      read(p, GlobalSize(data));
      found = true;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return found;
}

}  // namespace

std::vector<ShownBox> Velnor::SendAndAnswer(HWND target, UINT message, WPARAM wParam, LPARAM lParam, int answer) {
  std::vector<ShownBox> shown;
  // Left alive on purpose if the command hangs: the sending thread may still use it.
  auto* sent = new SentMessage{target, message, wParam, lParam};
  HANDLE sender = CreateThread(nullptr, 0, SendFromThread, sent, 0, nullptr);
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(sender, 10) == WAIT_TIMEOUT) {
    if (GetTickCount() - start > 60000) {
      ctx_.Fail(__FILE__, __LINE__, "the command did not finish within 60 s");
      break;
    }
    HWND box = FindVisibleTopLevel(process_.dwProcessId, L"#32770");
    if (!box) continue;
    shown.push_back(ReadMessageBox(box));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
    WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); });
  }
  if (WaitForSingleObject(sender, 5000) == WAIT_OBJECT_0) delete sent;
  CloseHandle(sender);
  return shown;
}

std::vector<ShownBox> Velnor::Command(int commandId) {
  return SendAndAnswer(window_, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

std::vector<int> Velnor::SelectedItems(int id) const {
  HWND list = Control(id);
  std::vector<int> selected;
  const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (SendMessageW(list, LB_GETSEL, i, 0) > 0) selected.push_back(i);
  }
  return selected;
}

void Velnor::SelectItem(int id, int index, bool selected) {
  SendMessageW(Control(id), LB_SETSEL, selected ? TRUE : FALSE, index);
}

bool WriteClipboardText(const String& text) {
  String terminated = text;
  terminated.push_back(u'\0');
  return Place(CF_UNICODETEXT, GlobalCopy(terminated.data(), terminated.size() * sizeof(char16_t)));
}

bool WriteClipboardImage(UINT format) {
  constexpr int kSide = 8;
  std::vector<DWORD> pixels(kSide * kSide, 0x00336699);
  if (format == CF_BITMAP) {
    return Place(CF_BITMAP, CreateBitmap(kSide, kSide, 1, 32, pixels.data()));
  }
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = kSide;
  header.biHeight = kSide;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
  bytes.append(reinterpret_cast<const char*>(pixels.data()), pixels.size() * sizeof(DWORD));
  return Place(CF_DIB, GlobalCopy(bytes.data(), bytes.size()));
}

std::optional<String> ReadClipboardText() {
  String text;
  const bool found = ReadClipboard(CF_UNICODETEXT, [&](const void* p, size_t size) {
    const auto* chars = static_cast<const char16_t*>(p);
    const size_t limit = size / sizeof(char16_t);
    size_t length = 0;
    while (length < limit && chars[length] != u'\0') ++length;
    text.assign(chars, length);
  });
  if (!found) return std::nullopt;
  return text;
}

std::optional<std::string> ReadClipboardAnsiText() {
  std::string text;
  const bool found = ReadClipboard(CF_TEXT, [&](const void* p, size_t size) {
    const auto* bytes = static_cast<const char*>(p);
    size_t length = 0;
    while (length < size && bytes[length] != '\0') ++length;
    text.assign(bytes, length);
  });
  if (!found) return std::nullopt;
  return text;
}

std::wstring UnixPath(const std::wstring& windowsPath) {
  std::wstring path = windowsPath.size() > 2 && windowsPath[1] == L':' ? windowsPath.substr(2) : windowsPath;
  for (auto& c : path) {
    if (c == L'\\') c = L'/';
  }
  return path;
}

bool StartLinuxProgram(const std::wstring& program, std::wstring commandLine) {
  // Only Wine runs a Linux program for CreateProcess.
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr) return false;
  // Its standard handles lead nowhere: the program stays in the background, and must not
  // keep the test runner's output pipes open.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE null = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdOutput = si.hStdError = null;
  PROCESS_INFORMATION pi{};
  const bool started = CreateProcessW((L"Z:" + program).c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &si, &pi) != FALSE;
  if (null != INVALID_HANDLE_VALUE) CloseHandle(null);
  if (!started) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

bool CopyFromX(const std::wstring& folder, const std::string& utf8) {
  // Only Wine maps drive Z: to the root.
  if (folder.size() < 3 || (folder[0] != L'Z' && folder[0] != L'z') || folder[1] != L':') return false;
  static int serial = 0;
  const std::wstring file = folder + L"\\xclip-" + std::to_wstring(++serial) + L".txt";
  if (!WriteFileContent(file, utf8)) return false;
  return StartLinuxProgram(L"\\usr\\bin\\xclip", L"/usr/bin/xclip -selection clipboard " + UnixPath(file));
}

ClipboardHold::ClipboardHold(DWORD ms) : ms_(ms) {
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  WaitForSingleObject(ready_, 5000);
}

ClipboardHold::~ClipboardHold() {
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  CloseHandle(ready_);
}

DWORD WINAPI ClipboardHold::Run(LPVOID param) {
  auto* self = static_cast<ClipboardHold*>(param);
  self->opened_ = OpenClipboardPatiently();
  SetEvent(self->ready_);
  if (self->opened_) {
    Sleep(self->ms_);
    CloseClipboard();
  }
  return 0;
}

namespace {
constexpr UINT kViewerLeave = WM_APP + 1;
constexpr UINT kViewerQuit = WM_APP + 2;
}  // namespace

ClipboardViewer::ClipboardViewer() {
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  WaitForSingleObject(ready_, 5000);
}

ClipboardViewer::~ClipboardViewer() {
  Leave();
  if (window_) PostMessageW(window_, kViewerQuit, 0, 0);
  WaitForSingleObject(thread_, 5000);
  CloseHandle(thread_);
  CloseHandle(ready_);
}

void ClipboardViewer::Leave() {
  if (joined_ && window_) SendMessageW(window_, kViewerLeave, 0, 0);
}

bool ClipboardViewer::WaitForNoticesAbove(int count, DWORD timeoutMs) const {
  return WaitUntil([&] { return notices_ > count; }, timeoutMs);
}

DWORD WINAPI ClipboardViewer::Run(LPVOID param) {
  auto* self = static_cast<ClipboardViewer*>(param);
  static const ATOM kClass = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelnorE2EClipboardViewer";
    return RegisterClassW(&wc);
  }();
  HWND window = CreateWindowExW(0, MAKEINTATOM(kClass), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (window) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
    self->next_ = SetClipboardViewer(window);
    self->joined_ = true;
  }
  SetEvent(self->ready_);
  if (!window) return 0;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

LRESULT CALLBACK ClipboardViewer::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ClipboardViewer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_DRAWCLIPBOARD: {
      ++self->notices_;
      const DWORD holdMs = self->holdMs_.exchange(0);
      self->holding_ = holdMs != 0 && OpenClipboardPatiently();
      if (self->next_) SendMessageW(self->next_, message, wParam, lParam);
      if (self->holding_) {
        Sleep(holdMs);
        CloseClipboard();
        self->holding_ = false;
      }
      return 0;
    }
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wParam) == self->next_) {
        self->next_ = reinterpret_cast<HWND>(lParam);
      } else if (self->next_) {
        SendMessageW(self->next_, message, wParam, lParam);
      }
      return 0;
    case kViewerLeave:
      if (self->joined_) ChangeClipboardChain(hwnd, self->next_);
      self->joined_ = false;
      return 0;
    case kViewerQuit:
      DestroyWindow(hwnd);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace velnor::e2e

namespace velnor::e2e {

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
  std::vector<INPUT> inputs;
  for (const auto& [vk, down] : keys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace velnor::e2e

// ---- The system's Save As dialog, as the program shows it ----

namespace velnor::e2e {
namespace {

// The file-name field: a combo box with an edit inside (cmb13) on newer dialogs, a plain
// edit (edt1) on older ones.
constexpr int kFileNameCombo = 0x047C;
constexpr int kFileNameEdit = 0x0480;

HWND FileNameField(HWND dialog) {
  if (HWND combo = GetDlgItem(dialog, kFileNameCombo)) {
    HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
    return edit ? edit : combo;
  }
  return GetDlgItem(dialog, kFileNameEdit);
}

BOOL CALLBACK CollectDialogs(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  if (pid == found->first && IsWindowVisible(hwnd) && lstrcmpW(name, L"#32770") == 0) found->second.push_back(hwnd);
  return TRUE;
}

// Every visible dialog window of the process, topmost first.
std::vector<HWND> VisibleDialogs(DWORD pid) {
  std::pair<DWORD, std::vector<HWND>> found{pid, {}};
  EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&found));
  return found.second;
}

// A button pressed as the dialog manager reports a click, then the window gone or hidden.
void PressDialogButton(HWND dialog, int id, bool closes) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  if (closes) WaitUntil([dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

}  // namespace

SaveAsSeen Velnor::SaveAs(int commandId, const SaveAsAnswer& answer) {
  SaveAsSeen seen;
  SentMessage* sent = nullptr;
  HANDLE sender = nullptr;
  if (commandId != 0) {
    sent = new SentMessage{window_, WM_COMMAND, MAKEWPARAM(commandId, 0), 0};
    sender = CreateThread(nullptr, 0, SendFromThread, sent, 0, nullptr);
  }
  HWND dialog = nullptr;
  const DWORD start = GetTickCount();
  for (;;) {
    if (sender ? WaitForSingleObject(sender, 10) == WAIT_OBJECT_0 : (Sleep(10), false)) break;
    if (GetTickCount() - start > 60000) {
      ctx_.Fail(__FILE__, __LINE__, "the save command did not finish within 60 s");
      break;
    }
    const std::vector<HWND> dialogs = VisibleDialogs(process_.dwProcessId);
    if (!sender) {
      if (!seen.shown && dialogs.empty() && GetTickCount() - start > 5000) break;
      // Answered and closed: once the program answers a message, the command is over unless
      // it has put up a box meanwhile.
      if (seen.shown && !IsWindow(dialog) && dialogs.empty()) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
        if (VisibleDialogs(process_.dwProcessId).empty()) break;
        continue;
      }
    }
    for (HWND box : dialogs) {
      const HWND owner = GetWindow(box, GW_OWNER);
      if (box == dialog) continue;  // answered; busy with the answer or asking something
      if (owner == window_ && FileNameField(box) != nullptr) {
        dialog = box;
        seen.shown = true;
        HWND field = FileNameField(box);
        seen.proposedName = WindowTextOf(field);
        if (answer.fileName.empty()) {
          PressDialogButton(box, IDCANCEL, false);
        } else {
          SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.fileName.c_str()));
          PressDialogButton(box, IDOK, false);
        }
      } else if (dialog != nullptr && owner == dialog) {
        seen.askedToReplace = true;
        PressDialogButton(box, answer.replace ? IDYES : IDNO, true);
        if (!answer.replace) PressDialogButton(dialog, IDCANCEL, false);
      } else {
        seen.boxes.push_back(ReadMessageBox(box));
        PressDialogButton(box, IDOK, true);
      }
    }
  }
  if (sender) {
    if (WaitForSingleObject(sender, 5000) == WAIT_OBJECT_0) delete sent;
    CloseHandle(sender);
  }
  return seen;
}

}  // namespace velnor::e2e

// ---- Files as a case sees them ----

namespace velnor::e2e {

std::string FileContent(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(cannot be read)";
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool WriteFileContent(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

std::vector<std::wstring> FilesInFolder(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && name != L"Velnor.exe" && name != L"Velnor.ini") {
      names.push_back(name);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  // Wine lists a folder in the order of the Linux file system, which is no order at all.
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveFilesInFolder(const std::wstring& folder) {
  for (const std::wstring& name : FilesInFolder(folder)) DeleteFileW((folder + L"\\" + name).c_str());
}

}  // namespace velnor::e2e
