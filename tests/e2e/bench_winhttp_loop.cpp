// The bare WinHTTP loop that Velnor's download job is measured against
// (scripts/bench-download.sh): one session, N threads that each take the next URL of a list,
// GET it, stream the body to "<name>.part" in the folder and rename it. Nothing else: no
// window, no names made safe, no retries. Prints the time it took. With PROBE, each GET asks
// for the first PROBE bytes only ("Range: bytes=0-(PROBE-1)"), reads no more and writes
// nothing, as 「続きを探す」 asks about the items after a list.
//   velnor_winhttp_loop LIST FOLDER THREADS [PROBE]
#include <windows.h>
#include <winhttp.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Loop {
  HINTERNET session = nullptr;
  std::vector<std::wstring> urls;
  std::wstring folder;
  LONG next = -1;
  LONG failures = 0;
  DWORD probe = 0;
};

// The first `probe` bytes of the answer, no more; a 404 is an answer like any other.
void ReadFirst(HINTERNET request, DWORD probe) {
  std::vector<char> buffer(probe);
  DWORD total = 0, got = 0;
  while (total < probe && WinHttpReadData(request, buffer.data() + total, probe - total, &got) && got > 0) total += got;
}

bool Fetch(Loop& loop, const std::wstring& url) {
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return false;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  const std::wstring name = path.substr(path.rfind(L'/') + 1);
  const std::wstring file = loop.folder + L"\\" + name;
  HINTERNET connection = WinHttpConnect(loop.session, host.c_str(), parts.nPort, 0);
  HINTERNET request = connection ? WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                      WINHTTP_DEFAULT_ACCEPT_TYPES, 0)
                                 : nullptr;
  const std::wstring range = L"Range: bytes=0-" + std::to_wstring(loop.probe - 1) + L"\r\n";
  bool ok = request &&
            WinHttpSendRequest(request, loop.probe ? range.c_str() : WINHTTP_NO_ADDITIONAL_HEADERS,
                               loop.probe ? static_cast<DWORD>(-1L) : 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
            WinHttpReceiveResponse(request, nullptr);
  if (ok && loop.probe) {
    ReadFirst(request, loop.probe);
  } else if (ok) {
    HANDLE out = CreateFileW((file + L".part").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    ok = out != INVALID_HANDLE_VALUE;
    std::vector<char> buffer(64 * 1024);
    while (ok) {
      DWORD available = 0, got = 0, written = 0;
      ok = WinHttpQueryDataAvailable(request, &available);
      if (!ok || available == 0) break;
      ok = WinHttpReadData(request, buffer.data(), std::min<DWORD>(available, 64 * 1024), &got) &&
           WriteFile(out, buffer.data(), got, &written, nullptr) && written == got;
    }
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    ok = ok && MoveFileExW((file + L".part").c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  if (request) WinHttpCloseHandle(request);
  if (connection) WinHttpCloseHandle(connection);
  return ok;
}

DWORD WINAPI Worker(LPVOID parameter) {
  auto& loop = *static_cast<Loop*>(parameter);
  for (LONG i; (i = InterlockedIncrement(&loop.next)) < static_cast<LONG>(loop.urls.size());) {
    if (!Fetch(loop, loop.urls[static_cast<size_t>(i)])) InterlockedIncrement(&loop.failures);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 && argc != 5) {
    std::printf("usage: velnor_winhttp_loop LIST FOLDER THREADS [PROBE]\n");
    return 2;
  }
  Loop loop;
  std::ifstream list(argv[1]);
  for (std::string line; std::getline(list, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) loop.urls.emplace_back(line.begin(), line.end());
  }
  loop.folder = argv[2];
  const int threads = _wtoi(argv[3]);
  if (argc == 5) loop.probe = static_cast<DWORD>(_wtoi(argv[4]));
  loop.session = WinHttpOpen(L"Velnor/1.00", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0);
  if (!loop.session || threads < 1) return 1;
  const ULONGLONG start = GetTickCount64();
  std::vector<HANDLE> workers;
  for (int i = 0; i < threads; ++i) workers.push_back(CreateThread(nullptr, 0, Worker, &loop, 0, nullptr));
  WaitForMultipleObjects(static_cast<DWORD>(workers.size()), workers.data(), TRUE, INFINITE);
  const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
  for (HANDLE worker : workers) CloseHandle(worker);
  WinHttpCloseHandle(loop.session);
  std::printf("loop %zu files %d threads %.3f s, %ld failed\n", loop.urls.size(), threads, seconds, loop.failures);
  return loop.failures == 0 ? 0 : 1;
}
